"""The collision models, species and coefficients per cell from Python:
the model classes as the library's table makes them, the rate of each model
against the sum over pairs of its weight computed here with NumPy, momentum
and energy with unequal masses, the bits that must not change, and every
refusal leaving the arrays as they were."""
import math

import numpy as np
import pytest

import collide
from test_collide import copy_of, random_gas, same_bits

Z = 3.29  # the normal's two-sided 0.1% point


def test_models_take_their_parameters_by_name_with_defaults():
    vss = collide.VSS(0.75, 2.0, alpha=1.5)
    assert (vss.omega, vss.g_ref, vss.alpha, vss.scale) == (0.75, 2.0, 1.5, 1.0)
    assert repr(vss) == "VSS(omega=0.75, g_ref=2.0, alpha=1.5, scale=1.0)"
    assert collide.HardSphere() == collide.HardSphere(scale=1.0) != collide.HardSphere(2.0)
    assert collide.VHS(0.5, 1.0) != collide.HardSphere()
    assert len({collide.VHS(0.8, 1.0), collide.VHS(0.8, 1.0)}) == 1
    assert str(collide.VHS.__signature__) == "(omega, g_ref, scale=1.0)"
    with pytest.raises(AttributeError, match="immutable"):
        vss.alpha = 2.0
    with pytest.raises(TypeError):
        collide.VHS(0.75)


@pytest.mark.parametrize("make, error, message", [
    (lambda: collide.VHS(0.4, 1.0), ValueError, r"^VHS: omega is 0.4; it must lie in \[0.5, 1\]$"),
    (lambda: collide.VHS(0.75, -2.0), ValueError, r"^VHS: g_ref is -2; it must lie in \[1e-150"),
    (lambda: collide.VSS(0.75, 1.0, 2.5), ValueError, r"^VSS: alpha is 2.5; it must lie in \[1, 2\]$"),
    (lambda: collide.HardSphere(math.inf), ValueError,
     "^HardSphere: scale is inf; it must be above 0 and at most 1e100$"),
    (lambda: collide.HardSphere(0), ValueError,
     "^HardSphere: scale is 0; it must be above 0 and at most 1e100$"),
    (lambda: collide.HardSphere(1e308), ValueError, "^HardSphere: scale is 1e\\+308; it must be"),
    (lambda: collide.VHS(0.7, 10**400), ValueError,
     "^VHS: g_ref is a number beyond a double's range$"),
    (lambda: collide.VHS("0.75", 1.0), TypeError, "^VHS: omega must be a number, not str$"),
    (lambda: collide.VSS(0.75, 1.0, True), TypeError, "^VSS: alpha must be a number, not bool$"),
])
def test_a_parameter_out_of_its_range_is_refused_by_name(make, error, message):
    with pytest.raises(error, match=message):
        make()


def test_a_model_cannot_be_made_again_by_init():
    """__init__ on a model that exists refuses, whether its values are good
    or not, and leaves the model as it was."""
    model = collide.VHS(0.75, 2.0)
    for args in ((0.3, 1.0), (0.8, 1.0)):
        with pytest.raises(TypeError, match="^VHS is immutable; make a new one$"):
            model.__init__(*args)
        assert (model.omega, model.g_ref) == (0.75, 2.0)
    assert model == collide.VHS(0.75, 2.0)


def pair_weights(velocity, model):
    """w = scale (sigma(g) / sigma_ref) g for every ordered pair of the rows,
    sigma(g) / sigma_ref = (g_ref / g)^(2 omega - 1); zero on the diagonal."""
    g = np.linalg.norm(velocity[:, None, :] - velocity[None, :, :], axis=2)
    np.fill_diagonal(g, 1.0)
    if isinstance(model, collide.HardSphere):
        w = model.scale * g
    else:
        w = model.scale * (model.g_ref / g) ** (2 * model.omega - 1) * g
    np.fill_diagonal(w, 0.0)
    return w


def two_species_table():
    a, b = collide.VHS(0.7, 1.0), collide.VSS(0.8, 1.0, 1.5, scale=1.5)
    return [[a, b], [b, collide.HardSphere(0.5)]]


@pytest.mark.parametrize("model, mixed", [
    (collide.VHS(0.75, 1.3), False),
    (collide.VSS(1.0, 0.7, 1.5, scale=2.0), False),
    (two_species_table(), True),
], ids=["VHS", "VSS-Maxwell", "mixture"])
def test_the_rate_is_the_coefficient_times_the_sum_of_pair_weights(model, mixed):
    """A fixed state restored after every call, at most one candidate per
    cell and call: accepted collisions have the mean
    calls sum_c coeff_c sum_{i != j} w_ij and a binomial spread."""
    rng = np.random.default_rng(12)
    cells, per_cell, calls = 50, 16, 4000
    particles = cells * per_cell
    start = rng.uniform(-1, 1, size=(particles, 3)) * np.repeat(np.linspace(0.2, 1.0, cells), per_cell)[:, None]
    species = (np.arange(particles) % 2).astype(np.int32)
    mass = np.array([1.0, 4.0])
    max_weight, coeff = np.empty(cells), np.empty(cells)
    mean = variance = 0.0
    for c in range(cells):
        rows = slice(c * per_cell, (c + 1) * per_cell)
        if mixed:
            s = species[rows]
            w = np.zeros((per_cell, per_cell))
            for a in range(2):
                for b in range(2):
                    mask = (s[:, None] == a) & (s[None, :] == b)
                    w[mask] = pair_weights(start[rows], model[a][b])[mask]
        else:
            w = pair_weights(start[rows], model)
        max_weight[c] = 1.25 * w.max()
        pairs = per_cell * (per_cell - 1)
        coeff[c] = 0.9 / (pairs * max_weight[c])
        accept = w.sum() / pairs / max_weight[c]
        mean += 0.9 * calls * accept
        variance += 0.9 * calls * accept * (1 - accept)
    population = np.full(cells, per_cell, dtype=np.int32)
    gas = {"velocity": start.copy(), "max_rel_speed": max_weight.copy(),
           "select_remainder": np.zeros(cells), "select_coeff": coeff,
           "cell_population": population,
           "cell_start": (np.arange(cells) * per_cell).astype(np.int32),
           "cross_ref": np.arange(particles, dtype=np.int32)}
    extra = {"species": species, "mass": mass} if mixed else {}
    collisions = 0
    for call in range(calls):
        collisions += collide.colider(**gas, key=3, step=call, model=model, **extra)
        gas["velocity"][:] = start
    assert abs(collisions - mean) <= Z * math.sqrt(variance), collisions / mean - 1
    assert np.array_equal(gas["max_rel_speed"], max_weight), "no pair outweighs the estimate"


@pytest.mark.parametrize("form", ["keyed", "generator"])
def test_momentum_and_energy_of_unequal_masses_survive_every_step(form):
    gas = random_gas(21)
    particles = gas["velocity"].shape[0]
    species = (np.arange(particles) % 3).astype(np.int32)
    mass = np.array([1.0, 4.0, 0.25])
    m = mass[species][:, None]
    gas["velocity"] /= np.sqrt(m)
    table = [[collide.HardSphere(), collide.VHS(0.75, 1.0), collide.VSS(0.8, 1.0, 1.5)],
             [collide.VHS(0.75, 1.0), collide.VSS(0.9, 2.0, 1.3), collide.VHS(1.0, 1.0)],
             [collide.VSS(0.8, 1.0, 1.5), collide.VHS(1.0, 1.0), collide.HardSphere(0.7)]]
    v = gas["velocity"]
    momentum, energy = (m * v).sum(axis=0), (m * v * v).sum()
    rng = np.random.default_rng(4)
    total = 0
    for step in range(10):
        extra = {"key": 5, "step": step} if form == "keyed" else {"generator": rng}
        total += collide.colider(**gas, model=table, species=species, mass=mass, **extra)
        assert np.all(np.abs((m * v).sum(axis=0) - momentum) <= 1e-12 * np.abs(m * v).sum(axis=0))
        assert abs((m * v * v).sum() - energy) <= 1e-12 * energy
    assert total > 1000, "too few collisions to show anything"


def test_what_generalises_hard_spheres_of_one_species_keeps_their_bits():
    classic = random_gas(22)
    for variant in (
        {"model": collide.VHS(0.5, 3.0)},
        {"select_coeff": np.full(30, 0.002)},
        {"model": collide.HardSphere(), "species": np.zeros(3000, dtype=np.int32),
         "mass": np.array([2.0])},
        {"model": [[collide.HardSphere()] * 2] * 2,
         "species": (np.arange(3000) % 2).astype(np.int32), "mass": np.array([2.0, 2.0])},
    ):
        gas, reference = copy_of(classic), copy_of(classic)
        gas.update(variant)
        for step in range(3):
            assert collide.colider(**gas, key=8, step=step) == \
                collide.colider(**reference, key=8, step=step)
        assert same_bits(gas, reference), sorted(variant)


TABLE = two_species_table()
SPECIES = (np.arange(3000) % 2).astype(np.int32)
MASS = np.array([1.0, 4.0])
BAD_SPECIES = SPECIES.copy()
BAD_SPECIES[1234] = 2


@pytest.mark.parametrize("error, message, extra", [
    (TypeError, "species must have dtype int32, not int64",
     {"species": SPECIES.astype(np.int64), "mass": MASS}),
    (ValueError, "species has 2999 entries; it needs 3000, one per particle",
     {"species": SPECIES[:2999].copy(), "mass": MASS}),
    (ValueError, "give species= and mass= together, or neither", {"mass": MASS}),
    (TypeError, "mass must have dtype float64, not int64",
     {"species": SPECIES, "mass": np.array([1, 4])}),
    (ValueError, r"species\[1234\] is 2 in cell \d+; a species must lie in \[0, 2\)",
     {"species": BAD_SPECIES, "mass": MASS}),
    (ValueError, r"mass\[1\] is -4; a mass must be finite and above 0",
     {"species": SPECIES, "mass": np.array([1.0, -4.0])}),
    (ValueError, r"mass\[0\] is 5e-324; a mass must be a normal double",
     {"species": SPECIES, "mass": np.array([5e-324, 1.5e-323])}),
    (ValueError, "a table of models needs species= and mass=", {"model": TABLE}),
    (ValueError, "model must be 2 x 2", {"model": TABLE[:1], "species": SPECIES, "mass": MASS}),
    (ValueError, r"model\[1\]\[0\] and model\[0\]\[1\] differ; the table must be symmetric",
     {"model": [[TABLE[0][0], TABLE[0][1]], [collide.HardSphere(), TABLE[1][1]]],
      "species": SPECIES, "mass": MASS}),
    (TypeError, r"model\[0\]\[1\] must be a collide.Model, not float",
     {"model": [[TABLE[0][0], 1.0], [1.0, TABLE[1][1]]], "species": SPECIES, "mass": MASS}),
    (TypeError, "model must be a collide.Model or a sequence of sequences of them, not str",
     {"model": "VHS"}),
    (TypeError, "select_coeff must have dtype float64, not float32",
     {"select_coeff": np.full(30, 0.002, dtype=np.float32)}),
    (ValueError, "select_coeff has 29 entries; it needs 30, one per cell",
     {"select_coeff": np.full(29, 0.002)}),
    (ValueError, r"select_coeff is nan in cell 4; it must be finite",
     {"select_coeff": np.where(np.arange(30) == 4, np.nan, 0.002)}),
])
def test_each_refusal_of_models_species_and_coefficients_changes_nothing(error, message, extra):
    gas = random_gas(23)
    gas.update(extra)
    before = copy_of(gas)
    with pytest.raises(error, match="^colider: " + message):
        collide.colider(**gas, key=1, step=1)
    assert same_bits(gas, before)
