"""The Python module against the laws a collision keeps, against the C++
form bit for bit, and at every refusal, which must leave the arrays as they
were."""
import numpy as np
import pytest

import collide
from collide import _hooks


def random_gas(seed, particles=3000, cells=30):
    """A gas in the module's arrays: each particle in one cell, listed in an
    order unrelated to its number, cells of uneven size."""
    rng = np.random.default_rng(seed)
    cell_of = rng.integers(0, cells, size=particles)
    order = rng.permutation(particles)
    order = order[np.argsort(cell_of[order], kind="stable")]
    population = np.bincount(cell_of, minlength=cells).astype(np.int32)
    return {
        "velocity": rng.normal(size=(particles, 3)),
        "max_rel_speed": np.full(cells, 5.0),
        "select_remainder": rng.random(cells),
        "select_coeff": 0.002,
        "cell_population": population,
        "cell_start": (np.cumsum(population) - population).astype(np.int32),
        "cross_ref": order.astype(np.int32),
    }


def copy_of(gas):
    return {name: value.copy() if isinstance(value, np.ndarray) else value
            for name, value in gas.items()}


def same_bits(a, b):
    return all(np.array_equal(a[name].view(np.uint64), b[name].view(np.uint64))
               for name in ("velocity", "max_rel_speed", "select_remainder"))


@pytest.mark.parametrize("form", ["keyed", "generator"])
def test_momentum_and_energy_survive_every_step(form):
    gas = random_gas(1)
    v = gas["velocity"]
    momentum, energy = v.sum(axis=0), (v * v).sum()
    rng = np.random.default_rng(9)
    total = 0
    for step in range(10):
        if form == "keyed":
            total += collide.colider(**gas, key=2026, step=step)
        else:
            total += collide.colider(**gas, generator=rng)
    assert total > 1000, "too few collisions to show anything"
    scale = np.abs(v).sum(axis=0)
    assert np.all(np.abs(v.sum(axis=0) - momentum) <= 1e-12 * scale)
    assert abs((v * v).sum() - energy) <= 1e-12 * energy


def test_keyed_steps_give_the_bits_of_the_cxx_range_form():
    gas = random_gas(2)
    reference = copy_of(gas)
    for step in range(5):
        n = collide.colider(**gas, key=77, step=step)
        assert n == _hooks.cxx_range(*reference.values(), 77, step)
        assert same_bits(gas, reference), f"step {step}"


def test_a_generator_gives_the_same_bits_again_from_the_same_seed():
    first, second = random_gas(3), random_gas(3)
    a, b = np.random.default_rng(42), np.random.default_rng(42)
    for _ in range(3):
        assert collide.colider(**first, generator=a) == collide.colider(**second, generator=b)
    assert same_bits(first, second)
    # The bit generator advanced: its next draws agree too.
    assert a.random() == b.random()


def spoil(name, make):
    """A refusal: the argument `name` replaced by make(gas)."""
    def apply(gas):
        gas[name] = make(gas)
    return apply


def poke(name, index, value):
    def apply(gas):
        gas[name] = gas[name].copy()
        gas[name][index] = value
    return apply


def read_only(name):
    def apply(gas):
        gas[name].flags.writeable = False
    return apply


REFUSALS = [
    (TypeError, "velocity must have dtype float64, not float32",
     spoil("velocity", lambda g: g["velocity"].astype(np.float32))),
    (TypeError, "cross_ref must have dtype int32, not int64",
     spoil("cross_ref", lambda g: g["cross_ref"].astype(np.int64))),
    (TypeError, "max_rel_speed must be a numpy.ndarray of float64, not list",
     spoil("max_rel_speed", lambda g: list(g["max_rel_speed"]))),
    (ValueError, r"velocity must have shape \(particles, 3\), not \(3000, 4\)",
     spoil("velocity", lambda g: np.zeros((3000, 4)))),
    (ValueError, "velocity must be C-contiguous",
     spoil("velocity", lambda g: np.asfortranarray(g["velocity"]))),
    (ValueError, "cell_start must be C-contiguous",
     spoil("cell_start", lambda g: np.repeat(g["cell_start"], 2)[::2])),
    (ValueError, "select_remainder must be writeable", read_only("select_remainder")),
    (ValueError, "max_rel_speed has 29 entries, cell_population 30",
     spoil("max_rel_speed", lambda g: g["max_rel_speed"][:29].copy())),
    (ValueError, r"cross_ref\[7\] is 3000 in cell 0; a particle index must lie in \[0, 3000\)",
     poke("cross_ref", 7, 3000)),
    (ValueError, r"cross_ref\[\d+\] is -1 in cell 29", poke("cross_ref", -1, -1)),
    (ValueError, r"cell_start\[4\] is -2 in cell 4", poke("cell_start", 4, -2)),
    (ValueError, "max_rel_speed is nan in cell 12; it must be finite",
     poke("max_rel_speed", 12, np.nan)),
    (ValueError, "select_remainder is inf in cell 3; it must be finite",
     poke("select_remainder", 3, np.inf)),
    (ValueError, r"the expected candidate count .* is [0-9.]+e\+30[0-9] in cell 0",
     spoil("select_coeff", lambda g: 1e300)),
    (TypeError, "select_coeff must be a number, not str", spoil("select_coeff", lambda g: "0.1")),
]


@pytest.mark.parametrize("error, message, make_bad", REFUSALS,
                         ids=[r[1].split(" ")[0] + "-" + str(i) for i, r in enumerate(REFUSALS)])
def test_each_refusal_names_the_argument_and_changes_nothing(error, message, make_bad):
    gas = random_gas(4)
    make_bad(gas)
    before = copy_of(gas)
    with pytest.raises(error, match="^colider: " + message):
        collide.colider(**gas, key=1, step=1)
    for name in ("velocity", "max_rel_speed", "select_remainder"):
        # Compared as bytes, so that a NaN planted by the refusal equals itself.
        assert np.asarray(gas[name]).tobytes() == np.asarray(before[name]).tobytes(), name


@pytest.mark.parametrize("error, message, extra", [
    (TypeError, "give a generator, or key= and step=$", {}),
    (TypeError, "give a generator, or key= and step=, not both",
     {"generator": np.random.default_rng(), "key": 1, "step": 1}),
    (TypeError, "generator must be a numpy.random.Generator, not RandomState",
     {"generator": np.random.RandomState(1)}),
    (ValueError, r"key is -1; it must lie in \[0, 2\*\*64\)", {"key": -1, "step": 0}),
    (ValueError, r"step is 18446744073709551616", {"key": 1, "step": 2**64}),
    (TypeError, "step must be a whole number, not float", {"key": 1, "step": 1.0}),
])
def test_the_deviates_come_from_a_generator_or_a_key_and_a_step(error, message, extra):
    gas = random_gas(5)
    before = copy_of(gas)
    with pytest.raises(error, match="^colider: " + message):
        collide.colider(**gas, **extra)
    assert same_bits(gas, before)
