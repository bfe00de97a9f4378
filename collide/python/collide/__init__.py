"""The collision step of a direct-simulation Monte Carlo gas, over NumPy arrays.

    n = collide.colider(velocity, max_rel_speed, select_remainder, select_coeff,
                        cell_population, cell_start, cross_ref, generator,
                        model=collide.VHS(0.81, 1000.0))

carries out one time step's collisions, cell by cell, and returns how many it
accepted. collide/README.md explains every argument in physical terms.

velocity          float64 (particles, 3), C-contiguous: updated in place
max_rel_speed     float64 (cells,): each cell's upper estimate of the
                  largest weight of a pair (its relative speed, for hard
                  spheres); updated in place
select_remainder  float64 (cells,): each cell's carried fraction of a
                  candidate pair; updated in place
select_coeff      1/2 F_N sigma_ref dt / V_cell: a number for every cell,
                  or float64 (cells,), one per cell
cell_population   int32 (cells,): the particles in each cell
cell_start        int32 (cells,): where each cell's particles begin in
                  cross_ref
cross_ref         int32: particle indices grouped by cell; cell c's are
                  cross_ref[cell_start[c] : cell_start[c] + cell_population[c]]
generator         a numpy.random.Generator; its bit generator is drawn
                  through NumPy's C interface, under its lock
model             the collision model of every pair (HardSphere(), VHS,
                  VSS; hard spheres when None), or with species a symmetric
                  S x S sequence of sequences of models, one per pair of
                  species
species           int32 (particles,): each particle's species, from 0
mass              float64 (S,): each species' mass, finite and above 0
internal          the internal energy: one collide.Internal for the gas, or
                  with species a sequence of S, one per species
e_rot             float64 (particles,): each particle's rotational energy,
                  needed when a species rotates; updated in place
vib_level         int32 (particles,): each particle's vibrational level,
                  needed when a species vibrates; updated in place
cell_temperature  float64 (cells,): each cell's translational kT, needed by
                  vibration and by Parker's relaxation numbers
pair_collisions   int64 (S, S), or (1, 1) without species: the call adds
                  each collision it accepts of species a and b at
                  [min(a, b), max(a, b)]
particle_collisions  int32 (particles,): the call adds 1 to each particle
                  of a pair it accepts
position          float64 (particles, 3): each particle's position, needed
                  by separation and by partner="nearest"
separation        float64 (2,): the call adds each accepted pair's distance
                  to separation[0] and 1 to separation[1], so that their
                  ratio is the mean collision separation
partner           "random" (each candidate's second particle at random among
                  the cell's others) or "nearest" (the nearest of them to
                  the first, other than its partner in its last candidate
                  pair of the call); the
                  candidates, the acceptance and the deviates are the same
mean_population   float64 (cells,): each cell's time-averaged population
                  N-bar; a cell of N particles then expects
                  N select_coeff N-bar max_rel_speed + select_remainder
                  candidates instead of N select_coeff (N - 1) ...
first_cell, end_cell  only the cells first_cell to end_cell - 1 are done
                  (all by default), so that ranks or threads can each take
                  a range; ranges done in any order give one call's bits
                  with key= and step=
cell_offset       the cell the per-cell arrays begin with (0): they then
                  hold the cells cell_offset onward, so that a rank keeps
                  its own cells' entries only; first_cell, end_cell and the
                  streams keep the global cell numbers

Everything counts from 0. Instead of a generator, key= and step= (whole
numbers in [0, 2**64)) draw each cell's deviates from a stream of its own,
Philox4x64-10 under the key (key, step) and the counters (c, 0), (c, 1), ...:
the same bits as the C++ colider_range and the C collide_keyed.

A wrong dtype or type raises TypeError; a wrong shape, a non-contiguous or
read-only array, arrays that share memory, an index out of range, a
negative population, a velocity that is not finite (or whose square is
not), a model parameter out of its range or a per-cell value that is not
finite raises ValueError. Each names the argument, and nothing is changed.

The step runs without the GIL. Ctrl-C stops it within a fraction of a
second with KeyboardInterrupt: the cells done before keep their
collisions, and so do the pairs already done in the cell it stopped in;
the count is lost.

    cell_population, cell_start, cross_ref = collide.sort_cells(cell_of, cells)

makes the cell lists from each particle's cell in the order rule: each
cell's particles in ascending order, so that results depend only on which
particles share a cell, not on how they are numbered or split.

    models, sigma_ref = collide.mixture_models([collide.GAS_DATA["N2"],
                                                collide.GAS_DATA["O2"]], kind="VHS")
    select = collide.select_coeff(f_n, dt, cell_volume, sigma_ref)
    max_rel_speed[:] = collide.first_max_weight(models, mass, temperature)

make a step's numbers from molecular data, in SI units (kg, m, K, s, and
velocities in m/s): GAS_DATA holds the VHS and VSS data at 273 K of the
common gases, each a GasData(mass, d_ref_vhs, d_ref_vss, omega, alpha,
t_ref); mixture_models gives the model of every pair by the mixing rule, and
the first gas's sigma_ref, to which each pair's scale is relative.
"""

import importlib.metadata as _metadata
import inspect as _inspect
import numbers as _numbers
import types as _types
import typing as _typing

import numpy as _np

from . import _core

_UINT64_END = 2**64

__version__ = _metadata.version("collide")


class _Frozen:
    """What Model and Internal share: their values, set once by _freeze and
    read as attributes; immutable, compared by value. __init__ on an
    existing one raises before anything changes."""

    __slots__ = ("_values",)

    def _check_new(self):
        try:
            object.__getattribute__(self, "_values")
        except AttributeError:
            return
        raise TypeError(f"{type(self).__name__} is immutable; make a new one")

    def _freeze(self, values):
        object.__setattr__(self, "_values", values)

    def __getattr__(self, name):
        try:
            return object.__getattribute__(self, "_values")[name]
        except KeyError:
            raise AttributeError(f"{type(self).__name__} has no field {name!r}") from None

    def __setattr__(self, name, value):
        raise AttributeError(f"{type(self).__name__} is immutable; make a new one")

    def __repr__(self):
        shown = ", ".join(f"{name}={value!r}" for name, value in self._values.items())
        return f"{type(self).__name__}({shown})"

    def __eq__(self, other):
        return type(self) is type(other) and self._values == other._values

    def __hash__(self):
        return hash((type(self).__name__, tuple(self._values.items())))


class Model(_Frozen):
    """A collision model: how a pair's chance to collide depends on its
    relative speed g, and how it scatters. Make one with HardSphere, VHS or
    VSS. Its parameters are attributes; a model is immutable and compares
    by value."""

    __slots__ = ()
    _kind = 0
    _parameters = ()

    def __init__(self, *args, **kwargs):
        self._check_new()
        owner = type(self).__name__
        bound = self.__signature__.bind(*args, **kwargs)
        bound.apply_defaults()
        values = {name: _real(value, name, owner) for name, value in bound.arguments.items()}
        # Checked before it is stored: a refused model is never made.
        _core.check_model(self._tuple_of(values))
        self._freeze(values)

    def _as_tuple(self):
        return self._tuple_of(self._values)

    @classmethod
    def _tuple_of(cls, values):
        """(kind, parameters in the order of the library's table)."""
        return (cls._kind, [values[name] for name in cls._parameters])


def _real(value, name, owner):
    """value as a float, or TypeError/ValueError naming it under owner."""
    if isinstance(value, (bool, _np.bool_)) or not isinstance(value, _numbers.Real):
        raise TypeError(f"{owner}: {name} must be a number, not {type(value).__name__}")
    try:
        return float(value)
    except OverflowError:
        raise ValueError(f"{owner}: {name} is a number beyond a double's range") from None


class Internal(_Frozen):
    """A species' internal energy, exchanged with its collisions' translational
    energy by the Larsen-Borgnakke model (collide/README.md, the exchange).

    rot_dof: rotational degrees of freedom, 0, 2 (a linear molecule) or 3.
    z_rot: the rotational relaxation number of Jeans' equation, at least 1.
    parker: (z_inf, t_star), Parker's Z_rot(T) at each cell's temperature in
        place of z_rot; t_star as k T*, in the units of the energies.
    vib_quantum: the vibrational quantum k theta_v; 0 for no vibration.
    z_vib: the vibrational relaxation number of Landau and Teller, at least 1.
    millikan_white: (c1, c2), Z_vib(T) = (c1 / T^omega) exp(c2 T^(-1/3)) at
        each cell's temperature in place of z_vib.

    Energies and temperatures (as kT) are in the units of m v^2 / 2 of the
    masses (1 without species) and velocities. Immutable; compares by value."""

    __slots__ = ()

    def __init__(self, rot_dof=0, z_rot=1.0, parker=None, vib_quantum=0.0, z_vib=1.0,
                 millikan_white=None):
        self._check_new()
        if isinstance(rot_dof, (bool, _np.bool_)) or not isinstance(rot_dof, (int, _np.integer)):
            raise TypeError(f"Internal: rot_dof must be a whole number, not {type(rot_dof).__name__}")
        values = {"rot_dof": int(rot_dof), "z_rot": _real(z_rot, "z_rot", "Internal"),
                  "parker": _pair(parker, "parker"),
                  "vib_quantum": _real(vib_quantum, "vib_quantum", "Internal"),
                  "z_vib": _real(z_vib, "z_vib", "Internal"),
                  "millikan_white": _pair(millikan_white, "millikan_white")}
        if not -2**31 <= values["rot_dof"] < 2**31:
            raise ValueError(f"Internal: rot_dof is {rot_dof}; it must be 0, 2 or 3")
        _core.check_internal(self._tuple_of(values))
        self._freeze(values)

    @staticmethod
    def _tuple_of(v):
        """The values as the library's collide_internal holds them."""
        parker = v["parker"] or (0.0, 0.0)
        mw = v["millikan_white"] or (0.0, 0.0)
        return (v["rot_dof"], v["z_rot"], parker[0], parker[1], v["vib_quantum"], v["z_vib"],
                mw[0], mw[1])

    def _as_tuple(self):
        return self._tuple_of(self._values)


def _pair(value, name):
    """None, or a pair of floats."""
    if value is None:
        return None
    if isinstance(value, (str, bytes)) or not hasattr(value, "__len__") or len(value) != 2:
        raise TypeError(f"Internal: {name} must be None or a pair of numbers")
    return tuple(_real(v, name, "Internal") for v in value)


def _model_class(kind, name, summary, parameters):
    """A Model subclass from one entry of the library's table of models."""
    signature = _inspect.Signature([
        _inspect.Parameter(p_name, _inspect.Parameter.POSITIONAL_OR_KEYWORD,
                          default=_inspect.Parameter.empty if default is None else default)
        for p_name, default, _, _ in parameters])
    lines = [f"{name}{signature}: {summary}.", ""]
    lines += [f"{p_name}: {meaning}; {rule.replace('it must', 'must')}."
              for p_name, _, rule, meaning in parameters]
    return type(name, (Model,), {"__slots__": (), "__doc__": "\n".join(lines),
                                 "__signature__": signature, "_kind": kind,
                                 "_parameters": tuple(p[0] for p in parameters),
                                 "__module__": __name__})


_MODELS = [_model_class(*entry) for entry in _core.model_kinds()]
globals().update({cls.__name__: cls for cls in _MODELS})

__all__ = ["colider", "sort_cells", "Model", "Internal", "GasData", "GAS_DATA",
           "mixture_models", "select_coeff", "first_max_weight"] + [cls.__name__ for cls in _MODELS]

_MODEL_OF_KIND = {cls._kind: cls for cls in _MODELS}


class GasData(_typing.NamedTuple):
    """A gas's molecular data, in SI units: the molecule's mass (kg), its
    VHS and VSS diameters (m) at t_ref (K), the viscosity-temperature
    exponent omega and the VSS scattering exponent alpha."""

    mass: float
    d_ref_vhs: float
    d_ref_vss: float
    omega: float
    alpha: float
    t_ref: float


# The VHS and VSS data at 273 K of the common gases, by formula ("Ar", "N2",
# ...; "air"), read-only: Bird (1994), Appendix A, Tables A1 and A2.
GAS_DATA = _types.MappingProxyType(
    {name: GasData(*values) for name, values in _core.gas_table()})


def _reals(values, name, function):
    if isinstance(values, (str, bytes)) or not hasattr(values, "__len__"):
        raise TypeError(f"{function}: {name} must be a sequence of numbers")
    return [_real(v, name, function) for v in values]


def mixture_models(gases, kind="VHS"):
    """(models, sigma_ref): the model of every pair of the gases (a sequence
    of GasData) by the mixing rule, as a list of lists, models[a][b] for
    gases a and b, and sigma_ref (m^2), the first gas's own cross-section at
    its g_ref, to which each pair's scale is relative. The pair a, b takes
    the means of the two gases' diameters, omega and alpha, and
    g_ref = sqrt(2 k t_ref / m_r) from its reduced mass m_r; its
    cross-section at g_ref is pi d^2 / Gamma(5/2 - omega). kind: "HardSphere"
    (the VHS diameters), "VHS" or "VSS". The gases must share one t_ref."""
    kinds = {cls.__name__: cls._kind for cls in _MODELS}
    if kind not in kinds:
        raise ValueError(f"mixture_models: kind is {kind!r}; it must be one of "
                         f"{', '.join(map(repr, kinds))}")
    if isinstance(gases, (str, bytes, GasData)) or not hasattr(gases, "__len__"):
        raise TypeError("mixture_models: gases must be a sequence of GasData")
    rows = [tuple(_reals(gas, f"gases[{a}]", "mixture_models")) for a, gas in enumerate(gases)]
    if any(len(row) != len(GasData._fields) for row in rows):
        raise TypeError("mixture_models: each gas must be a GasData")
    flat, sigma_ref = _core.mixture_models(rows, kinds[kind])
    S = len(rows)
    models = [_MODEL_OF_KIND[k](*values) for k, values in flat]
    return [models[a * S:(a + 1) * S] for a in range(S)], sigma_ref


def select_coeff(f_n, dt, cell_volume, sigma_ref):
    """1/2 f_n sigma_ref dt / cell_volume, the step's select_coeff: f_n real
    molecules a simulated particle, dt (s), cell_volume (m^3) and sigma_ref
    (m^2), each finite and above 0."""
    return _core.select_coeff(*(_real(v, n, "select_coeff") for v, n in (
        (f_n, "f_n"), (dt, "dt"), (cell_volume, "cell_volume"), (sigma_ref, "sigma_ref"))))


def first_max_weight(models, mass, temperature):
    """A first max_rel_speed, one number for every cell: the largest weight
    of any pair at four times its most probable relative speed
    sqrt(2 k T / m_r). models: one Model, or the table mixture_models gives;
    mass: the species' masses (kg), or one mass with one model; temperature
    in K. The step raises a cell's estimate where a pair outweighs it."""
    if isinstance(models, Model):
        table = [models._as_tuple()]
    else:
        try:
            table = [entry._as_tuple() if isinstance(entry, Model) else None
                     for row in models for entry in row]
        except TypeError:
            table = [None]
        if not table or None in table:
            raise TypeError("first_max_weight: models must be a collide.Model or a table of them")
    masses = ([_real(mass, "mass", "first_max_weight")] if isinstance(mass, _numbers.Real)
              else _reals(mass, "mass", "first_max_weight"))
    return _core.first_max_weight(table, masses,
                                  _real(temperature, "temperature", "first_max_weight"))


def _array(value, name, dtype, ndim, writeable):
    if not isinstance(value, _np.ndarray):
        raise TypeError(f"colider: {name} must be a numpy.ndarray of {_np.dtype(dtype)}, "
                        f"not {type(value).__name__}")
    if value.dtype != dtype:
        raise TypeError(f"colider: {name} must have dtype {_np.dtype(dtype)}, not {value.dtype}")
    if value.ndim != ndim:
        raise ValueError(f"colider: {name} must have {ndim} dimension{'s' * (ndim > 1)}, "
                         f"not {value.ndim}")
    if not value.flags.c_contiguous:
        raise ValueError(f"colider: {name} must be C-contiguous")
    if writeable and not value.flags.writeable:
        raise ValueError(f"colider: {name} must be writeable: it is updated in place")
    return value


def _entries(array, name, count, what):
    if array.shape[0] != count:
        raise ValueError(f"colider: {name} has {array.shape[0]} entries; it needs {count}, "
                         f"one per {what}")
    return array


def _whole(value, name):
    if isinstance(value, (bool, _np.bool_)) or not isinstance(value, (int, _np.integer)):
        raise TypeError(f"colider: {name} must be a whole number, not {type(value).__name__}")
    if not 0 <= int(value) < _UINT64_END:
        raise ValueError(f"colider: {name} is {value}; it must lie in [0, 2**64)")
    return int(value)


def _select_coeff(select_coeff, cells):
    """(the number, the per-cell array or None)."""
    if isinstance(select_coeff, _np.ndarray):
        per_cell = _entries(_array(select_coeff, "select_coeff", _np.float64, 1, False),
                            "select_coeff", cells, "cell")
        return 0.0, per_cell
    if isinstance(select_coeff, (bool, _np.bool_)) or not isinstance(select_coeff, _numbers.Real):
        raise TypeError(f"colider: select_coeff must be a number, "
                        f"not {type(select_coeff).__name__} (or a numpy.ndarray of float64, "
                        f"one per cell)")
    return _real(select_coeff, "select_coeff", "colider"), None


def _models(model, species, mass, particles):
    """The model tuples, species and mass as the library takes them."""
    if (species is None) != (mass is None):
        raise ValueError("colider: give species= and mass= together, or neither")
    if species is not None:
        species = _entries(_array(species, "species", _np.int32, 1, False), "species",
                           particles, "particle")
        mass = _array(mass, "mass", _np.float64, 1, False)
        if mass.shape[0] == 0:
            raise ValueError("colider: mass has no entries; it needs one per species")
    if model is None:
        return [], species, mass
    if isinstance(model, Model):
        return [model._as_tuple()], species, mass
    if isinstance(model, (str, bytes)) or not hasattr(model, "__len__"):
        raise TypeError(f"colider: model must be a collide.Model or a sequence of sequences of "
                        f"them, not {type(model).__name__}")
    if species is None:
        raise ValueError("colider: a table of models needs species= and mass=")
    S = mass.shape[0]
    rows = list(model)
    if len(rows) != S or any(not hasattr(row, "__len__") or len(row) != S for row in rows):
        raise ValueError(f"colider: model must be {S} x {S}, one per pair of the {S} species "
                         f"of mass")
    table = []
    for a, row in enumerate(rows):
        for b, entry in enumerate(row):
            if not isinstance(entry, Model):
                raise TypeError(f"colider: model[{a}][{b}] must be a collide.Model, "
                                f"not {type(entry).__name__}")
            if b < a and entry != rows[b][a]:
                raise ValueError(f"colider: model[{a}][{b}] and model[{b}][{a}] differ; the "
                                 f"table must be symmetric")
            table.append(entry._as_tuple())
    return table, species, mass


def _internal(internal, e_rot, vib_level, cell_temperature, species, particles, cells):
    """The internal data as the library takes them, and the arrays."""
    if internal is None:
        for name, array in (("e_rot", e_rot), ("vib_level", vib_level),
                            ("cell_temperature", cell_temperature)):
            if array is not None:
                raise ValueError(f"colider: {name} is given without internal=")
        return [], {}
    entries = [internal] if isinstance(internal, Internal) else internal
    if isinstance(entries, (str, bytes)) or not hasattr(entries, "__len__"):
        raise TypeError(f"colider: internal must be a collide.Internal or a sequence of them, "
                        f"not {type(internal).__name__}")
    entries = list(entries)
    for k, entry in enumerate(entries):
        if not isinstance(entry, Internal):
            raise TypeError(f"colider: internal[{k}] must be a collide.Internal, "
                            f"not {type(entry).__name__}")
    if species is None and len(entries) != 1:
        raise ValueError("colider: internal must be one collide.Internal without species=")
    arrays = {}
    if any(entry.rot_dof > 0 for entry in entries):
        if e_rot is None:
            raise ValueError("colider: a species rotates (rot_dof above 0); give e_rot=")
        arrays["e_rot"] = _entries(_array(e_rot, "e_rot", _np.float64, 1, True), "e_rot",
                                   particles, "particle")
    elif e_rot is not None:
        raise ValueError("colider: e_rot is given, yet no species rotates")
    if any(entry.vib_quantum > 0 for entry in entries):
        if vib_level is None:
            raise ValueError("colider: a species vibrates (vib_quantum above 0); give vib_level=")
        arrays["vib_level"] = _entries(_array(vib_level, "vib_level", _np.int32, 1, True),
                                       "vib_level", particles, "particle")
    elif vib_level is not None:
        raise ValueError("colider: vib_level is given, yet no species vibrates")
    # Vibration's probability of exchange depends on theta_v / T.
    needs_temperature = any((entry.parker and entry.rot_dof > 0) or entry.vib_quantum > 0
                            for entry in entries)
    if cell_temperature is not None:
        arrays["cell_temperature"] = _entries(
            _array(cell_temperature, "cell_temperature", _np.float64, 1, False),
            "cell_temperature", cells, "cell")
    elif needs_temperature:
        raise ValueError("colider: vibration and Parker's numbers need cell_temperature=")
    return [entry._as_tuple() for entry in entries], arrays


def _diagnostics(pair_collisions, particle_collisions, position, separation, species,
                 mass, particles):
    """The diagnostics' arrays, each None when not asked for."""
    arrays = {}
    if pair_collisions is not None:
        count = 1 if species is None else mass.shape[0]
        pair_collisions = _array(pair_collisions, "pair_collisions", _np.int64, 2, True)
        if pair_collisions.shape != (count, count):
            raise ValueError(f"colider: pair_collisions has shape {pair_collisions.shape}; "
                             f"it needs {(count, count)}, a count per pair of species")
        arrays["pair_collisions"] = pair_collisions
    if particle_collisions is not None:
        arrays["particle_collisions"] = _entries(
            _array(particle_collisions, "particle_collisions", _np.int32, 1, True),
            "particle_collisions", particles, "particle")
    if separation is not None:
        if position is None:
            raise ValueError("colider: separation is given without position=")
        separation = _array(separation, "separation", _np.float64, 1, True)
        if separation.shape != (2,):
            raise ValueError(f"colider: separation has shape {separation.shape}; it needs (2,): "
                             f"the sum of separations and their number")
        arrays["separation"] = separation
    if position is not None:
        position = _array(position, "position", _np.float64, 2, False)
        if position.shape != (particles, 3):
            raise ValueError(f"colider: position must have shape ({particles}, 3), "
                             f"not {position.shape}")
        arrays["position"] = position
    return arrays


_PARTNERS = {"random": 0, "nearest": 1}


def _cell_range(first_cell, end_cell, cells, cell_offset):
    offset = _index(cell_offset, "cell_offset")
    if not 0 <= offset <= 2**31 - 1 - cells:
        raise ValueError(f"colider: cell_offset is {offset}; it must be 0 or more, and "
                         f"cell_offset + cells at most 2147483647")
    first = offset if first_cell is None else _index(first_cell, "first_cell")
    end = offset + cells if end_cell is None else _index(end_cell, "end_cell")
    if not offset <= first <= end <= offset + cells:
        raise ValueError(f"colider: first_cell {first} and end_cell {end} are not a range "
                         f"within {offset} to {offset + cells}")
    return offset, first, end


def _index(value, name):
    if isinstance(value, (bool, _np.bool_)) or not isinstance(value, (int, _np.integer)):
        raise TypeError(f"colider: {name} must be a whole number, not {type(value).__name__}")
    return int(value)


def sort_cells(cell_of, cells):
    """The cell lists (cell_population, cell_start, cross_ref), int32, of the
    particles whose cells cell_of (int32, one per particle, 0 to cells - 1)
    gives: each cell's particles in ascending order, in one counting pass."""
    cell_of = _array(cell_of, "cell_of", _np.int32, 1, False)
    cells = _index(cells, "cells")
    if not 0 <= cells < 2**31:
        raise ValueError(f"colider: cells is {cells}; it must lie in [0, 2**31)")
    population = _np.empty(cells, dtype=_np.int32)
    start = _np.empty(cells, dtype=_np.int32)
    cross_ref = _np.empty(cell_of.shape[0], dtype=_np.int32)
    _core.sort_cells(cell_of, cells, population, start, cross_ref)
    return population, start, cross_ref


def colider(velocity, max_rel_speed, select_remainder, select_coeff, cell_population,
            cell_start, cross_ref, generator=None, *, key=None, step=None, model=None,
            species=None, mass=None, first_cell=None, end_cell=None, internal=None, e_rot=None,
            vib_level=None, cell_temperature=None, pair_collisions=None,
            particle_collisions=None, position=None, separation=None, partner="random",
            mean_population=None, cell_offset=0):
    """One time step's collisions; returns the number accepted (see the module's doc)."""
    velocity = _array(velocity, "velocity", _np.float64, 2, True)
    if velocity.shape[1] != 3:
        raise ValueError(f"colider: velocity must have shape (particles, 3), "
                         f"not {velocity.shape}")
    max_rel_speed = _array(max_rel_speed, "max_rel_speed", _np.float64, 1, True)
    select_remainder = _array(select_remainder, "select_remainder", _np.float64, 1, True)
    cell_population = _array(cell_population, "cell_population", _np.int32, 1, False)
    cell_start = _array(cell_start, "cell_start", _np.int32, 1, False)
    cross_ref = _array(cross_ref, "cross_ref", _np.int32, 1, False)
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
    coeff, per_cell = _select_coeff(select_coeff, cells)
    models, species, mass = _models(model, species, mass, velocity.shape[0])
    arrays = (velocity, max_rel_speed, select_remainder, coeff, cell_population, cell_start,
              cross_ref)
    offset, first, end = _cell_range(first_cell, end_cell, cells, cell_offset)
    internal_data, internal_arrays = _internal(internal, e_rot, vib_level, cell_temperature,
                                               species, velocity.shape[0], cells)
    diagnostics = _diagnostics(pair_collisions, particle_collisions, position, separation,
                               species, mass, velocity.shape[0])
    if not isinstance(partner, str) or partner not in _PARTNERS:
        raise ValueError(f"colider: partner is {partner!r}; it must be 'random' or 'nearest'")
    if partner == "nearest" and position is None:
        raise ValueError("colider: partner='nearest' needs position=")
    if mean_population is not None:
        diagnostics["mean_population"] = _entries(
            _array(mean_population, "mean_population", _np.float64, 1, False),
            "mean_population", cells, "cell")
    extras = {"select_coeff_per_cell": per_cell, "models": models, "species": species,
              "mass": mass, "first_cell": first, "end_cell": end, "cell_offset": offset, "internal": internal_data,
              "partner": _PARTNERS[partner], **internal_arrays, **diagnostics}

    if generator is None:
        if key is None or step is None:
            raise TypeError("colider: give a generator, or key= and step=")
        return _core.keyed(*arrays, _whole(key, "key"), _whole(step, "step"), **extras)
    if key is not None or step is not None:
        raise TypeError("colider: give a generator, or key= and step=, not both")
    if not isinstance(generator, _np.random.Generator):
        raise TypeError(f"colider: generator must be a numpy.random.Generator, "
                        f"not {type(generator).__name__}")
    bit_generator = generator.bit_generator
    with bit_generator.lock:
        return _core.with_bit_generator(*arrays, bit_generator.capsule, **extras)
