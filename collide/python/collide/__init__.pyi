# Type stubs of the collide package. The model classes are made at import
# from the library's table of models; tests/test_typing.py checks that the
# classes here are those, with the same parameters and defaults.
from typing import List, Mapping, NamedTuple, Optional, Sequence, Tuple, Union

import numpy as np
import numpy.typing as npt

__version__: str

Float64Array = npt.NDArray[np.float64]
Int32Array = npt.NDArray[np.int32]
Int64Array = npt.NDArray[np.int64]

class Model:
    def __eq__(self, other: object) -> bool: ...
    def __hash__(self) -> int: ...

class HardSphere(Model):
    scale: float
    def __init__(self, scale: float = 1.0) -> None: ...

class VHS(Model):
    omega: float
    g_ref: float
    scale: float
    def __init__(self, omega: float, g_ref: float, scale: float = 1.0) -> None: ...

class VSS(Model):
    omega: float
    g_ref: float
    alpha: float
    scale: float
    def __init__(self, omega: float, g_ref: float, alpha: float, scale: float = 1.0) -> None: ...

class Internal:
    rot_dof: int
    z_rot: float
    parker: Optional[Tuple[float, float]]
    vib_quantum: float
    z_vib: float
    millikan_white: Optional[Tuple[float, float]]
    def __init__(
        self,
        rot_dof: int = 0,
        z_rot: float = 1.0,
        parker: Optional[Tuple[float, float]] = None,
        vib_quantum: float = 0.0,
        z_vib: float = 1.0,
        millikan_white: Optional[Tuple[float, float]] = None,
    ) -> None: ...
    def __eq__(self, other: object) -> bool: ...
    def __hash__(self) -> int: ...

def colider(
    velocity: Float64Array,
    max_rel_speed: Float64Array,
    select_remainder: Float64Array,
    select_coeff: Union[float, Float64Array],
    cell_population: Int32Array,
    cell_start: Int32Array,
    cross_ref: Int32Array,
    generator: Optional[np.random.Generator] = None,
    *,
    key: Optional[int] = None,
    step: Optional[int] = None,
    model: Union[Model, Sequence[Sequence[Model]], None] = None,
    species: Optional[Int32Array] = None,
    mass: Optional[Float64Array] = None,
    first_cell: Optional[int] = None,
    end_cell: Optional[int] = None,
    internal: Union[Internal, Sequence[Internal], None] = None,
    e_rot: Optional[Float64Array] = None,
    vib_level: Optional[Int32Array] = None,
    cell_temperature: Optional[Float64Array] = None,
    pair_collisions: Optional[Int64Array] = None,
    particle_collisions: Optional[Int32Array] = None,
    position: Optional[Float64Array] = None,
    separation: Optional[Float64Array] = None,
    partner: str = "random",
    mean_population: Optional[Float64Array] = None,
    cell_offset: int = 0,
) -> int: ...

def sort_cells(cell_of: Int32Array, cells: int) -> Tuple[Int32Array, Int32Array, Int32Array]: ...

class GasData(NamedTuple):
    mass: float
    d_ref_vhs: float
    d_ref_vss: float
    omega: float
    alpha: float
    t_ref: float

GAS_DATA: Mapping[str, GasData]

def mixture_models(
    gases: Sequence[GasData], kind: str = ...
) -> Tuple[List[List[Model]], float]: ...
def select_coeff(f_n: float, dt: float, cell_volume: float, sigma_ref: float) -> float: ...
def first_max_weight(
    models: Union[Model, Sequence[Sequence[Model]]],
    mass: Union[float, Sequence[float]],
    temperature: float,
) -> float: ...
