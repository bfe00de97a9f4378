"""The step's records of its collisions from Python: the same bits with and
without them, counts that add up to what the call returns, the refusals
that leave every array as it was, and a namespace of public names only."""
import numpy as np
import pytest

import collide
from test_collide import copy_of, random_gas, same_bits


def mixture(seed):
    gas = random_gas(seed)
    particles = gas["velocity"].shape[0]
    gas["species"] = (np.arange(particles) % 2).astype(np.int32)
    gas["mass"] = np.array([1.0, 3.0])
    gas["model"] = [[collide.VHS(0.8, 1.0), collide.HardSphere(1.3)],
                    [collide.HardSphere(1.3), collide.VSS(0.75, 1.5, 1.5)]]
    return gas


def records(particles, species=2):
    rng = np.random.default_rng(5)
    return {"pair_collisions": np.zeros((species, species), np.int64),
            "particle_collisions": np.zeros(particles, np.int32),
            "position": rng.random((particles, 3)),
            "separation": np.zeros(2)}


@pytest.mark.parametrize("gas_of, species", [(random_gas, 1), (mixture, 2)])
def test_the_records_add_up_and_leave_the_bits(gas_of, species):
    plain, recorded = gas_of(4), gas_of(4)
    kept = records(plain["velocity"].shape[0], species)
    total = 0
    for step in range(3):
        n = collide.colider(**plain, key=8, step=step)
        assert collide.colider(**recorded, **kept, key=8, step=step) == n
        total += n
        assert same_bits(plain, recorded)
    assert total > 500, "too few collisions to show anything"
    pairs = kept["pair_collisions"]
    assert pairs.sum() == total
    assert np.all(np.tril(pairs, -1) == 0), "a pair of species a > b counts at [b, a]"
    assert kept["particle_collisions"].sum() == 2 * total
    assert kept["separation"][1] == total
    assert 0 < kept["separation"][0] < np.sqrt(3) * total


def test_a_mean_population_of_n_minus_1_gives_the_default_bits():
    plain, counted = random_gas(8), random_gas(8)
    mean = counted["cell_population"] - 1.0
    for step in range(3):
        assert (collide.colider(**plain, key=2, step=step)
                == collide.colider(**counted, mean_population=mean, key=2, step=step))
    assert same_bits(plain, counted)
    # Twice the partners: twice the collisions, about 1350 against 2700 a
    # call, whose ratio has a relative spread of sqrt(1/1350 + 1/2700) =
    # 3.3%: 12.5% is beyond the 0.1% level.
    doubled = random_gas(8)
    n = collide.colider(**random_gas(8), key=3, step=0)
    m = collide.colider(**doubled, mean_population=2 * mean, key=3, step=0)
    assert 1.75 < m / n < 2.25


@pytest.mark.parametrize("name, make, message", [
    ("pair_collisions", lambda p: np.zeros((2, 2), np.int64),
     r"pair_collisions has shape \(2, 2\); it needs \(1, 1\)"),
    ("pair_collisions", lambda p: np.zeros((1, 1), np.int32),
     "pair_collisions must have dtype int64, not int32"),
    ("pair_collisions", lambda p: np.full((1, 1), -2, np.int64),
     r"pair_collisions\[0\] is -2; a count must lie in"),
    ("particle_collisions", lambda p: np.zeros(p - 1, np.int32),
     "particle_collisions has 2999 entries; it needs 3000, one per particle"),
    ("particle_collisions", lambda p: np.full(p, 2**31 - 1, np.int32),
     r"particle_collisions\[[0-9]+\] is 2147483647 in cell 0"),
    ("separation", lambda p: np.zeros(3), r"separation has shape \(3,\); it needs \(2,\)"),
    ("separation", lambda p: np.array([np.inf, 0.0]),
     r"separation is \(inf, 0\); its sum must lie in \[0, 1e300\]"),
    ("position", lambda p: np.zeros((p, 2)), r"position must have shape \(3000, 3\)"),
    ("position", lambda p: np.full((p, 3), np.nan), r"position\[[0-9]+\] is \(nan, nan, nan\)"),
    ("position", lambda p: None, "separation is given without position="),
    ("mean_population", lambda p: np.full(29, 30.0),
     "mean_population has 29 entries; it needs 30, one per cell"),
    ("mean_population", lambda p: np.full(30, -1.0),
     r"mean_population is -1 in cell 0; it must be finite and 0 or more"),
])
def test_each_refusal_names_the_argument_and_changes_nothing(name, make, message):
    gas = random_gas(6)
    kept = records(gas["velocity"].shape[0], 1)
    kept[name] = make(gas["velocity"].shape[0])
    if kept[name] is not None and name == "mean_population" and kept[name].shape[0] == 30:
        kept[name][1:] = 30.0
    before, kept_before = copy_of(gas), copy_of({k: v for k, v in kept.items() if v is not None})
    with pytest.raises((ValueError, TypeError), match=message):
        collide.colider(**gas, **kept, key=1, step=1)
    assert same_bits(gas, before)
    for key, value in kept_before.items():
        assert np.array_equal(kept[key], value, equal_nan=True), key


def test_the_records_must_be_writeable_and_their_own():
    gas = random_gas(7)
    kept = records(gas["velocity"].shape[0], 1)
    kept["separation"].flags.writeable = False
    with pytest.raises(ValueError, match="separation must be writeable"):
        collide.colider(**gas, **kept, key=1, step=1)
    kept = records(gas["velocity"].shape[0], 1)
    kept["separation"] = gas["select_remainder"][:2]
    with pytest.raises(ValueError, match="share memory"):
        collide.colider(**gas, **kept, key=1, step=1)


def test_the_namespace_holds_the_public_names_only():
    public = {name for name in dir(collide) if not name.startswith("_")}
    assert public == set(collide.__all__), public ^ set(collide.__all__)


@pytest.mark.parametrize("split", [(0, 30), (0, 11, 30), (0, 1, 17, 29, 30)])
def test_a_ranges_own_per_cell_arrays_give_the_bits_of_the_whole_ones(split):
    whole, local = random_gas(10), random_gas(10)
    for step in range(3):
        for first, end in zip(split, split[1:]):
            n = collide.colider(**whole, first_cell=first, end_cell=end, key=5, step=step)
            own = dict(local)
            for name in ("max_rel_speed", "select_remainder", "cell_population", "cell_start"):
                own[name] = local[name][first:end].copy()
            m = collide.colider(**own, cell_offset=first, key=5, step=step)
            assert m == n
            local["max_rel_speed"][first:end] = own["max_rel_speed"]
            local["select_remainder"][first:end] = own["select_remainder"]
    assert same_bits(whole, local)


def test_a_range_outside_its_arrays_is_refused():
    gas = random_gas(11)
    own = dict(gas)
    for name in ("max_rel_speed", "select_remainder", "cell_population", "cell_start"):
        own[name] = gas[name][5:10].copy()
    with pytest.raises(ValueError, match="first_cell 4 and end_cell 10 are not a range within 5 to 10"):
        collide.colider(**own, cell_offset=5, first_cell=4, end_cell=10, key=1, step=1)
    with pytest.raises(ValueError, match="cell_offset is -1; it must be 0 or more"):
        collide.colider(**own, cell_offset=-1, key=1, step=1)


def test_nearest_partners_cut_the_separation_and_keep_the_split_bits():
    # 100 particles a cell uniform in a unit cube: a random partner lies at
    # 0.66 on average, the nearest of 99 where sampling the cube puts it
    # (0.10 in unbounded space, Gamma(4/3) (3 / (4 pi 99))^(1/3); the cube's
    # sides add some 40%).
    # Few candidates a call (about 0.2 a particle), so that a particle's
    # nearest is seldom the partner of its last pair; placed anew every call.
    rng = np.random.default_rng(12)
    random, nearest, split = (dict(random_gas(3), select_coeff=2e-4) for _ in range(3))
    far, near = np.zeros(2), np.zeros(2)
    for step in range(20):
        position = rng.random((3000, 3))
        collide.colider(**random, position=position, separation=far, key=1, step=step)
        collide.colider(**nearest, position=position, separation=near, partner="nearest",
                        key=1, step=step)
        for first, end in ((0, 13), (13, 30)):
            collide.colider(**split, position=position, partner="nearest", first_cell=first,
                            end_cell=end, key=1, step=step)
    assert same_bits(nearest, split)
    assert not same_bits(random, nearest)
    assert far[0] / far[1] == pytest.approx(0.6617, abs=0.02)
    points = np.random.default_rng(5).random((20000, 100, 3))
    geometry = np.linalg.norm(points[:, 1:] - points[:, :1], axis=2).min(axis=1).mean()
    # Over about 2700 pairs, a relative spread of about 1%; 20,000 samples,
    # 0.4%: 4% is beyond the 0.1% level.
    assert near[0] / near[1] == pytest.approx(geometry, rel=0.04)


@pytest.mark.parametrize("extra, message", [
    ({"partner": "nearest"}, "colider: partner='nearest' needs position="),
    ({"partner": "closest", "position": np.zeros((3000, 3))},
     "colider: partner is 'closest'; it must be 'random' or 'nearest'"),
])
def test_nearest_partners_are_refused_without_positions(extra, message):
    gas = random_gas(4)
    kept = copy_of(gas)
    with pytest.raises(ValueError) as refused:
        collide.colider(**gas, **extra, key=1, step=0)
    assert str(refused.value) == message
    assert same_bits(gas, kept)
