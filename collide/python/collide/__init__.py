"""The collision step of a direct-simulation Monte Carlo gas, over NumPy arrays.

    n = collide.colider(velocity, max_rel_speed, select_remainder, select_coeff,
                        cell_population, cell_start, cross_ref, generator)

carries out one time step's collisions, cell by cell, and returns how many it
accepted. collide/README.md explains every argument in physical terms.

velocity          float64 (particles, 3), C-contiguous: updated in place
max_rel_speed     float64 (cells,): each cell's upper estimate of the
                  largest relative speed of a pair; updated in place
select_remainder  float64 (cells,): each cell's carried fraction of a
                  candidate pair; updated in place
select_coeff      1/2 F_N sigma dt / V_cell
cell_population   int32 (cells,): the particles in each cell
cell_start        int32 (cells,): where each cell's particles begin in
                  cross_ref
cross_ref         int32: particle indices grouped by cell; cell c's are
                  cross_ref[cell_start[c] : cell_start[c] + cell_population[c]]
generator         a numpy.random.Generator; its bit generator is drawn
                  through NumPy's C interface, under its lock

Everything counts from 0. Instead of a generator, key= and step= (whole
numbers in [0, 2**64)) draw each cell's deviates from a stream of its own,
Philox4x64-10 under the key (key, step) and the counters (c, 0), (c, 1), ...:
the same bits as the C++ colider_range and the C collide_cells_keyed.

A wrong dtype raises TypeError; a wrong shape, a non-contiguous or read-only
array, an index out of range or a per-cell value that is not finite raises
ValueError. Each names the argument, and nothing is changed. The step itself
runs without the GIL.
"""

import numpy as np

from . import _core

__all__ = ["colider"]

_UINT64_END = 2**64


def _array(value, name, dtype, ndim, writeable):
    if not isinstance(value, np.ndarray):
        raise TypeError(f"colider: {name} must be a numpy.ndarray of {np.dtype(dtype)}, "
                        f"not {type(value).__name__}")
    if value.dtype != dtype:
        raise TypeError(f"colider: {name} must have dtype {np.dtype(dtype)}, not {value.dtype}")
    if value.ndim != ndim:
        raise ValueError(f"colider: {name} must have {ndim} dimension{'s' * (ndim > 1)}, "
                         f"not {value.ndim}")
    if not value.flags.c_contiguous:
        raise ValueError(f"colider: {name} must be C-contiguous")
    if writeable and not value.flags.writeable:
        raise ValueError(f"colider: {name} must be writeable: it is updated in place")
    return value


def _whole(value, name):
    if isinstance(value, (bool, np.bool_)) or not isinstance(value, (int, np.integer)):
        raise TypeError(f"colider: {name} must be a whole number, not {type(value).__name__}")
    if not 0 <= int(value) < _UINT64_END:
        raise ValueError(f"colider: {name} is {value}; it must lie in [0, 2**64)")
    return int(value)


def colider(velocity, max_rel_speed, select_remainder, select_coeff, cell_population,
            cell_start, cross_ref, generator=None, *, key=None, step=None):
    """One time step's collisions; returns the number accepted (see the module's doc)."""
    velocity = _array(velocity, "velocity", np.float64, 2, True)
    if velocity.shape[1] != 3:
        raise ValueError(f"colider: velocity must have shape (particles, 3), "
                         f"not {velocity.shape}")
    max_rel_speed = _array(max_rel_speed, "max_rel_speed", np.float64, 1, True)
    select_remainder = _array(select_remainder, "select_remainder", np.float64, 1, True)
    cell_population = _array(cell_population, "cell_population", np.int32, 1, False)
    cell_start = _array(cell_start, "cell_start", np.int32, 1, False)
    cross_ref = _array(cross_ref, "cross_ref", np.int32, 1, False)
    cells = cell_population.shape[0]
    for name, array in (("cell_start", cell_start), ("max_rel_speed", max_rel_speed),
                        ("select_remainder", select_remainder)):
        if array.shape[0] != cells:
            raise ValueError(f"colider: {name} has {array.shape[0]} entries, "
                             f"cell_population {cells}: one per cell")
    int32_end = 2**31
    for name, size in (("velocity", velocity.shape[0]), ("cell_population", cells),
                       ("cross_ref", cross_ref.shape[0])):
        if size >= int32_end:
            raise ValueError(f"colider: {name} has {size} entries; at most {int32_end - 1}")
    if isinstance(select_coeff, (bool, np.bool_)) or not isinstance(
            select_coeff, (int, float, np.integer, np.floating)):
        raise TypeError(f"colider: select_coeff must be a number, "
                        f"not {type(select_coeff).__name__}")
    arrays = (velocity, max_rel_speed, select_remainder, float(select_coeff), cell_population,
              cell_start, cross_ref)

    if generator is None:
        if key is None or step is None:
            raise TypeError("colider: give a generator, or key= and step=")
        return _core.keyed(*arrays, _whole(key, "key"), _whole(step, "step"))
    if key is not None or step is not None:
        raise TypeError("colider: give a generator, or key= and step=, not both")
    if not isinstance(generator, np.random.Generator):
        raise TypeError(f"colider: generator must be a numpy.random.Generator, "
                        f"not {type(generator).__name__}")
    bit_generator = generator.bit_generator
    with bit_generator.lock:
        return _core.with_bit_generator(*arrays, bit_generator.capsule)
