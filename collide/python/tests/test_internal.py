"""Rotational energy from Python: the exchange keeps momentum and total
energy in a mixture and moves energy toward equipartition, updates e_rot in
place, and every refusal (of Internal's values, of the arrays, of the
library's checks) names what is wrong and changes nothing. The physics
against kinetic theory is shown by the C++ tests (colider_internal_test)."""
import numpy as np
import pytest

import collide
from test_collide import random_gas

SPECIES = (np.arange(3000) % 2).astype(np.int32)
MASS = np.array([1.0, 3.0])
TABLE = [[collide.VHS(0.7, 1.0), collide.VSS(0.8, 1.0, 1.4)],
         [collide.VSS(0.8, 1.0, 1.4), collide.HardSphere(1.2)]]
ROTATING = [collide.Internal(rot_dof=2, z_rot=4.0), collide.Internal(rot_dof=3, z_rot=6.0)]


def test_internal_takes_its_fields_by_name_with_defaults():
    n2 = collide.Internal(rot_dof=2, z_rot=5.0)
    assert (n2.rot_dof, n2.z_rot, n2.parker, n2.vib_quantum) == (2, 5.0, None, 0.0)
    assert collide.Internal(2, parker=(18, 0.3)).parker == (18.0, 0.3)
    assert n2 == collide.Internal(2, 5.0) != collide.Internal(2, 6.0)
    assert repr(collide.Internal()) == ("Internal(rot_dof=0, z_rot=1.0, parker=None, "
                                        "vib_quantum=0.0, z_vib=1.0, millikan_white=None)")
    with pytest.raises(AttributeError, match="immutable"):
        n2.z_rot = 3.0
    with pytest.raises(TypeError, match="^Internal is immutable; make a new one$"):
        n2.__init__(3, 1.0)
    assert n2.rot_dof == 2


@pytest.mark.parametrize("make, error, message", [
    (lambda: collide.Internal(rot_dof=4), ValueError, r"^Internal: rot_dof is 4; it must be 0, 2 or 3$"),
    (lambda: collide.Internal(2, z_rot=0.5), ValueError, r"^Internal: z_rot is 0\.5; it must be finite and at least 1$"),
    (lambda: collide.Internal(2, parker=(18, 0)), ValueError, r"^Internal: parker_t_star is 0; it must be"),
    (lambda: collide.Internal(2, parker=(18,)), TypeError, r"^Internal: parker must be None or a pair"),
    (lambda: collide.Internal(2.0), TypeError, r"^Internal: rot_dof must be a whole number, not float$"),
    (lambda: collide.Internal(2, z_rot=10**400), ValueError, r"^Internal: z_rot is a number beyond"),
    (lambda: collide.Internal(0, vib_quantum=-1.0), ValueError, r"^Internal: vib_quantum is -1; it must be finite and 0 or more$"),
    (lambda: collide.Internal(0, vib_quantum=1.0, z_vib=0.2), ValueError, r"^Internal: z_vib is 0\.2; it must be"),
])
def test_internal_values_out_of_range_are_refused_by_name(make, error, message):
    with pytest.raises(error, match=message):
        make()


def rotating_gas(seed):
    gas = random_gas(seed)
    rng = np.random.default_rng(seed + 100)
    e_rot = rng.exponential(size=3000) * np.where(SPECIES == 0, 1.0, 1.5) * 0.2  # cold rotation
    return gas, e_rot


def test_vibration_keeps_the_total_energy_and_fills_the_levels():
    gas, e_rot = rotating_gas(5)
    v, m = gas["velocity"], MASS[SPECIES][:, None]
    levels = np.zeros(3000, np.int32)
    internal = [collide.Internal(2, 6.0, vib_quantum=0.8, z_vib=8.0), collide.Internal()]
    quantum = np.where(SPECIES == 0, 0.8, 0.0)
    e_rot[SPECIES == 1] = 0  # the atoms have no rotation
    energy = 0.5 * (m * v * v).sum() + e_rot.sum() + (levels * quantum).sum()
    temperature = np.ones(30)
    for step in range(20):
        collide.colider(**gas, key=6, step=step, model=TABLE, species=SPECIES, mass=MASS,
                        internal=internal, e_rot=e_rot, vib_level=levels,
                        cell_temperature=temperature)
    total = 0.5 * (m * v * v).sum() + e_rot.sum() + (levels * quantum).sum()
    assert abs(total - energy) <= 1e-12 * energy
    assert levels[SPECIES == 0].max() > 0 and levels[SPECIES == 1].max() == 0


def test_the_exchange_keeps_momentum_and_total_energy_and_heats_the_cold_rotation():
    gas, e_rot = rotating_gas(3)
    v, m = gas["velocity"], MASS[SPECIES][:, None]
    momentum = (m * v).sum(axis=0)
    energy = 0.5 * (m * v * v).sum() + e_rot.sum()
    before = e_rot.sum()
    for step in range(20):
        collide.colider(**gas, key=5, step=step, model=TABLE, species=SPECIES, mass=MASS,
                        internal=ROTATING, e_rot=e_rot)
    assert np.all(np.abs((m * v).sum(axis=0) - momentum) <= 1e-12 * energy)
    assert abs(0.5 * (m * v * v).sum() + e_rot.sum() - energy) <= 1e-12 * energy
    assert e_rot.sum() > 1.5 * before, "energy flows into the cold rotation"
    assert np.all(e_rot >= 0)


@pytest.mark.parametrize("error, message, extra", [
    (ValueError, "a species rotates", {"internal": ROTATING}),
    (TypeError, "e_rot must have dtype float64, not float32",
     {"internal": ROTATING, "e_rot": np.zeros(3000, np.float32)}),
    (ValueError, "e_rot has 2999 entries; it needs 3000",
     {"internal": ROTATING, "e_rot": np.zeros(2999)}),
    (ValueError, "e_rot must be writeable",
     {"internal": ROTATING, "e_rot": np.zeros(3000)[::1].copy().view()}),
    (ValueError, "e_rot is given without internal=", {"e_rot": np.zeros(3000)}),
    (ValueError, r"internal has 1 entries; it needs 2|internal must be", {"internal": ROTATING[:1], "e_rot": np.zeros(3000)}),
    (TypeError, r"internal\[1\] must be a collide.Internal", {"internal": [ROTATING[0], 3], "e_rot": np.zeros(3000)}),
    (ValueError, r"e_rot\[\d+\] is -1 in cell \d+; a rotational energy must be finite and 0 or more",
     {"internal": ROTATING, "e_rot": np.concatenate([[-1.0], np.zeros(2999)])}),
    (ValueError, "need cell_temperature=",
     {"internal": [collide.Internal(2, parker=(18, 0.3)), ROTATING[1]], "e_rot": np.zeros(3000)}),
    (ValueError, "a species vibrates",
     {"internal": [collide.Internal(0, vib_quantum=1.0, z_vib=8.0), ROTATING[1]], "e_rot": np.zeros(3000),
      "cell_temperature": np.ones(30)}),
    (TypeError, "vib_level must have dtype int32",
     {"internal": [collide.Internal(0, vib_quantum=1.0, z_vib=8.0), ROTATING[1]], "e_rot": np.zeros(3000),
      "vib_level": np.zeros(3000), "cell_temperature": np.ones(30)}),
    (ValueError, r"vib_level\[\d+\] is -2 in cell \d+; a vibrational level must be 0 or more",
     {"internal": [collide.Internal(0, vib_quantum=1.0, z_vib=8.0), ROTATING[1]], "e_rot": np.zeros(3000),
      "vib_level": np.full(3000, -2, np.int32), "cell_temperature": np.ones(30)}),
    (ValueError, r"species 0 and 0 would exchange internal energy with probabilities",
     {"internal": [collide.Internal(2, z_rot=1.1), ROTATING[1]], "e_rot": np.zeros(3000)}),
])
def test_each_refusal_names_its_argument_and_changes_nothing(error, message, extra):
    gas, _ = rotating_gas(4)
    if "e_rot must be writeable" in message:
        extra = dict(extra)
        extra["e_rot"].flags.writeable = False
    before = {name: gas[name].copy() for name in ("velocity", "max_rel_speed", "select_remainder")}
    e_rot = extra.get("e_rot")
    e_rot_before = None if e_rot is None else e_rot.copy()
    with pytest.raises(error, match=message):
        collide.colider(**gas, key=1, step=1, model=TABLE, species=SPECIES, mass=MASS, **extra)
    for name, array in before.items():
        assert gas[name].tobytes() == array.tobytes(), name
    if e_rot is not None:
        assert e_rot.tobytes() == e_rot_before.tobytes()
