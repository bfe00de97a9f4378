"""What a caller can get wrong, or do from another thread, against the
module: cell ranges, the checks made before anything changes, arrays that
share memory or change during a call, the private _core reached directly,
and Ctrl-C. Nothing here may crash the interpreter."""
import os
import signal
import threading

import numpy as np
import pytest

import collide
from collide import _core
from test_collide import copy_of, random_gas, same_bits


def test_ranges_in_any_order_give_one_calls_bits():
    whole, parts = random_gas(31), random_gas(31)
    for step in range(3):
        n = collide.colider(**whole, key=6, step=step)
        m = sum(collide.colider(**parts, key=6, step=step, first_cell=first, end_cell=end)
                for first, end in ((17, 30), (0, 9), (9, 17)))
        assert n == m
    assert same_bits(whole, parts)


def test_sort_cells_lists_each_cells_particles_in_ascending_order():
    population, start, cross_ref = collide.sort_cells(np.array([1, 0, 1, 1, 0], np.int32), 2)
    assert population.tolist() == [2, 3]
    assert start.tolist() == [0, 2]
    assert cross_ref.tolist() == [1, 4, 0, 2, 3]
    with pytest.raises(ValueError, match=r"cell_of\[2\] is 5; a cell must lie in \[0, 2\)"):
        collide.sort_cells(np.array([1, 0, 5], np.int32), 2)


def shared_view(gas):
    """cell_start as int32 in velocity's own memory."""
    return gas["velocity"].reshape(-1).view(np.int32)[:30]


@pytest.mark.parametrize("message, spoil", [
    (r"cell_population\[4\] is -3; it must not be negative",
     lambda g: g["cell_population"].__setitem__(4, -3)),
    (r"velocity\[\d+\] is \(nan, .*\) in cell \d+; each component must be finite",
     lambda g: g["velocity"].__setitem__((int(g["cross_ref"][0]), 0), np.nan)),
    (r"velocity\[\d+\] is \(.*, inf, .*\) in cell \d+",
     lambda g: g["velocity"].__setitem__((int(g["cross_ref"][-1]), 1), np.inf)),
    (r"velocity\[\d+\] is \(.*, 1e\+200\) in cell \d+; each component must be finite and at most "
     r"1e150 in size", lambda g: g["velocity"].__setitem__((int(g["cross_ref"][5]), 2), 1e200)),
    ("max_rel_speed and select_remainder share memory",
     lambda g: g.__setitem__("select_remainder", g["max_rel_speed"])),
    ("velocity and cell_start share memory",
     lambda g: g.__setitem__("cell_start", shared_view(g))),
    (r"the cells' candidate pairs add up to \d+, more than the 2147483647 collisions",
     lambda g: g.__setitem__("select_coeff", 2e4)),
    (r"first_cell 5 and end_cell 3 are not a range within 0 to 30",
     lambda g: g.update(first_cell=5, end_cell=3)),
])
def test_each_refusal_comes_before_any_change(message, spoil):
    gas = random_gas(32)
    spoil(gas)
    before = {name: np.array(gas[name], copy=True)
              for name in ("velocity", "max_rel_speed", "select_remainder")}
    with pytest.raises(ValueError, match="^colider: " + message):
        collide.colider(**gas, key=1, step=1)
    for name, array in before.items():
        assert gas[name].tobytes() == array.tobytes(), name


def test_a_whole_number_beyond_a_double_is_a_value_error_naming_it():
    gas = random_gas(32)
    gas["select_coeff"] = 10**400
    with pytest.raises(ValueError, match="^colider: select_coeff is a number beyond a double's range$"):
        collide.colider(**gas, key=1, step=1)


@pytest.mark.parametrize("velocity, error", [
    (np.zeros((3000, 1)), TypeError),        # writes past a row of one column
    (np.zeros((3000, 3))[:, :2], TypeError),  # neither 3 columns nor contiguous
])
def test_the_private_core_checks_shapes_itself(velocity, error):
    gas = random_gas(33)
    gas["velocity"] = velocity
    with pytest.raises(error):
        _core.keyed(*gas.values(), 1, 1)
    gas = random_gas(33)
    gas["max_rel_speed"] = gas["max_rel_speed"][:10].copy()
    with pytest.raises(ValueError, match="max_rel_speed has 10 entries, cell_population 30"):
        _core.keyed(*gas.values(), 1, 1)
    gas = random_gas(33)
    with pytest.raises(ValueError, match="species has 2 entries; it needs 3000"):
        _core.keyed(*gas.values(), 1, 1, species=np.zeros(2, np.int32), mass=np.ones(1))


def test_indices_rewritten_by_another_thread_never_crash():
    """A second thread rewrites cell_start and cross_ref with wild values
    while calls run: each call either completes or raises ValueError."""
    gas = random_gas(34)
    good_start, good_cross = gas["cell_start"].copy(), gas["cross_ref"].copy()
    start, cross = good_start.copy(), good_cross.copy()
    gas["cell_start"], gas["cross_ref"] = start, cross
    stop = threading.Event()

    def vandal():
        rng = np.random.default_rng(1)
        while not stop.is_set():
            start[rng.integers(30)] = rng.choice([-5, 2**30, int(rng.integers(3000))])
            cross[rng.integers(3000)] = rng.choice([-1, 2**30, int(rng.integers(3000))])
            start[:] = good_start
            cross[:] = good_cross

    thread = threading.Thread(target=vandal)
    thread.start()
    outcomes = set()
    try:
        for step in range(300):
            try:
                collide.colider(**gas, key=2, step=step)
                outcomes.add("done")
            except ValueError:
                outcomes.add("refused")
    finally:
        stop.set()
        thread.join()
    assert outcomes <= {"done", "refused"} and "done" in outcomes


def test_ctrl_c_stops_a_long_call_with_keyboard_interrupt():
    """A call of some 4e8 candidate pairs, a minute's work, interrupted
    after 0.3 s: KeyboardInterrupt, and the last cells never reached."""
    gas = random_gas(35)
    gas["select_coeff"] = 1.3e7 / (100 * 99 * 5.0)  # about 1.3e7 candidates a cell
    last = gas["select_remainder"][-1]
    timer = threading.Timer(0.3, os.kill, (os.getpid(), signal.SIGINT))
    timer.start()
    try:
        with pytest.raises(KeyboardInterrupt):
            collide.colider(**gas, key=3, step=0)
    finally:
        timer.cancel()
    assert gas["select_remainder"][-1] == last, "stopped before the last cell"
