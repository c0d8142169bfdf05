import os
from typing import Literal, Optional, Sequence, Union

import numpy as np
import numpy.typing as npt

__version__: str
MATRIX_THRESHOLD: int
MAX_CYCLES: int
# The engine's lists of its choices; tests/python/test_stubs.py checks the Literals below against them.
RESIDUE_METHODS: tuple[str, ...]
MEAN_STRESS_METHODS: tuple[str, ...]
MEASURES: tuple[str, ...]
MATRIX_KINDS: tuple[str, ...]
BIN_COUNTS: tuple[int, ...]
SN_PRESETS: tuple[str, ...]

Values = Union[npt.ArrayLike, Sequence[float]]
# "half": every half cycle of the residue counts 0.5 (counts are floats then).
Residue = Literal["decomposition", "upward", "half"]
BinCount = Literal[32, 64, 100]
Bins = Optional[Union[BinCount, Sequence[Union[float, str, np.floating]], npt.NDArray[np.floating]]]

class MatrixAppliedWarning(UserWarning): ...

class CountResult:
    sequence_length: int
    highest_peak: Optional[np.longdouble]
    lowest_trough: Optional[np.longdouble]
    result: int
    range: npt.NDArray[np.longdouble]
    upper: npt.NDArray[np.longdouble]
    lower: npt.NDArray[np.longdouble]
    # float64 in steps of 0.5 with residue="half", int64 otherwise
    count: Union[npt.NDArray[np.int64], npt.NDArray[np.float64]]
    cumulative: Union[npt.NDArray[np.int64], npt.NDArray[np.float64]]
    normalized: bool
    @property
    def matrix_applied(self) -> bool: ...
    @property
    def table_full(self) -> bool: ...
    def __len__(self) -> int: ...
    def to_pandas(self): ...

def count(
    values: Values,
    *,
    filter: Union[float, str, np.floating] = 0.0,
    residue: Residue = "decomposition",
    bins: Bins = None,
    normalize: bool = False,
    unlimited: bool = False,
    read_ahead: bool = True,
) -> CountResult: ...

def read_sequence(path: Union[str, "os.PathLike[str]"]) -> npt.NDArray[np.longdouble]: ...

class PartialCountError(ValueError): ...

class PartialCount:
    @property
    def length(self) -> int: ...
    @property
    def pieces(self) -> tuple[Optional[int], Optional[int]]: ...
    def result(self, *, normalize: bool = False) -> CountResult: ...

def count_partial(
    values: Values,
    *,
    piece: Optional[int] = None,
    filter: Union[float, str, np.floating] = 0.0,
    residue: Residue = "decomposition",
    bins: Bins = None,
    unlimited: bool = False,
    extremes: Optional[tuple[Union[float, str, np.floating], Union[float, str, np.floating]]] = None,
    read_ahead: bool = True,
) -> PartialCount: ...
def extent(values: Values) -> tuple[int, Optional[np.longdouble], Optional[np.longdouble]]: ...
def merge(partials: Sequence[PartialCount]) -> PartialCount: ...

class Counter:
    def __init__(
        self,
        *,
        filter: Union[float, str, np.floating] = 0.0,
        residue: Residue = "decomposition",
        bins: Bins = None,
        normalize: bool = False,
        unlimited: bool = False,
    ) -> None: ...
    def feed(self, values: Values) -> Counter: ...
    @property
    def length(self) -> int: ...
    def partial(self) -> PartialCount: ...
    def result(self) -> CountResult: ...

from .fatigue import FatigueResult as FatigueResult
from .fatigue import SNCurve as SNCurve
from .fatigue import damage as damage
from .fatigue import del_ as del_
from .fatigue import rainflow_matrix as rainflow_matrix
from .fatigue import sn_presets as sn_presets
from .tables import read_table as read_table
from .design_life import LifetimeResult as LifetimeResult
from .design_life import lifetime as lifetime
from .design_life import summary as summary
from .other_counts import LevelCrossings as LevelCrossings
from .other_counts import RangePairs as RangePairs
from .other_counts import TimeAtLevel as TimeAtLevel
from .other_counts import level_crossings as level_crossings
from .other_counts import range_pairs as range_pairs
from .other_counts import time_at_level as time_at_level
def cycles(
    values: Values,
    *,
    filter: Union[float, str, np.floating] = 0.0,
    residue: Residue = "decomposition",
    bins: Bins = None,
    normalize: bool = False,
    unlimited: bool = False,
) -> dict[str, npt.NDArray[np.generic]]: ...
