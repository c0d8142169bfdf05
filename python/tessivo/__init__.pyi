import os
from typing import Literal, Optional, Sequence, Union

import numpy as np
import numpy.typing as npt

MATRIX_THRESHOLD: int
MAX_CYCLES: int

Values = Union[npt.ArrayLike, Sequence[float]]
Residue = Literal["decomposition", "upward"]
Bins = Optional[Literal[32, 64, 100]]

class MatrixAppliedWarning(UserWarning): ...

class CountResult:
    sequence_length: int
    highest_peak: Optional[np.longdouble]
    lowest_trough: Optional[np.longdouble]
    result: int
    range: npt.NDArray[np.longdouble]
    upper: npt.NDArray[np.longdouble]
    lower: npt.NDArray[np.longdouble]
    count: npt.NDArray[np.int64]
    cumulative: npt.NDArray[np.int64]
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
) -> CountResult: ...

def read_sequence(path: Union[str, "os.PathLike[str]"]) -> npt.NDArray[np.longdouble]: ...

class PartialCountError(ValueError): ...

class PartialCount:
    @property
    def length(self) -> int: ...
    @property
    def pieces(self) -> tuple[int, int]: ...
    def result(self, *, normalize: bool = False) -> CountResult: ...

def count_partial(
    values: Values,
    *,
    piece: int = 1,
    filter: Union[float, str, np.floating] = 0.0,
    residue: Residue = "decomposition",
    bins: Bins = None,
    unlimited: bool = False,
) -> PartialCount: ...
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

def cycles(
    values: Values,
    *,
    filter: Union[float, str, np.floating] = 0.0,
    residue: Residue = "decomposition",
    bins: Bins = None,
    normalize: bool = False,
    unlimited: bool = False,
) -> dict[str, npt.NDArray[np.generic]]: ...
