"""A collision step called from Python against the same step called from
C++: 100,000 particles in 1,000 cells of 100 near equilibrium, per-cell
streams. Each round gives both identical copies of the same arrays; the
C++ time is taken inside the module around the C interface's call, the
Python time around collide.colider (the checks of the arrays, the binding,
the GIL released and taken back). Prints the medians and their ratio.

    python3 bench/python_colider.py [ROUNDS]   (with collide installed)
"""
import statistics
import sys
import time

import numpy as np

import collide
from collide import _hooks  # built by scripts/python_test.sh


def near_equilibrium(particles=100_000, cells=1000):
    rng = np.random.default_rng(7)
    cross_ref = rng.permutation(particles).astype(np.int32)  # rows all over memory
    population = np.full(cells, particles // cells, dtype=np.int32)
    start = (np.cumsum(population) - population).astype(np.int32)
    gas = {"velocity": rng.normal(size=(particles, 3)) / np.sqrt(3),
           "max_rel_speed": np.full(cells, 2.0),
           "select_remainder": rng.random(cells),
           # 0.2 collisions per particle and step at 100 a cell, as bench/colider_bench.cpp.
           "select_coeff": 1.5e-4 * 499 / 99,
           "cell_population": population, "cell_start": start, "cross_ref": cross_ref}
    for step in range(60):
        collide.colider(**gas, key=1, step=step)
    return gas


def copy_of(gas):
    return {k: v.copy() if isinstance(v, np.ndarray) else v for k, v in gas.items()}


def main():
    rounds = int(sys.argv[1]) if len(sys.argv) > 1 else 51
    gas = near_equilibrium()
    from_python, from_cxx = [], []
    for step in range(1000, 1000 + rounds):
        a, b = copy_of(gas), copy_of(gas)
        start = time.perf_counter()
        n_python = collide.colider(**a, key=1, step=step)
        from_python.append(time.perf_counter() - start)
        n_cxx, seconds = _hooks.timed_keyed(*b.values(), 1, step)
        from_cxx.append(seconds)
        assert n_python == n_cxx
        gas = a
    python_ms = statistics.median(from_python) * 1e3
    cxx_ms = statistics.median(from_cxx) * 1e3
    print(f"100,000 particles, medians of {rounds} steps: from Python {python_ms:.3f} ms, "
          f"from C++ {cxx_ms:.3f} ms, ratio {python_ms / cxx_ms:.3f}")


if __name__ == "__main__":
    main()
