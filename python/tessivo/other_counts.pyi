from typing import Optional, Sequence, Union

import numpy as np
import numpy.typing as npt

from . import Values

Number = Union[float, str, np.floating]
Levels = Union[int, Sequence[Number], npt.NDArray[np.floating]]

class _OtherCount:
    sequence_length: int
    highest_peak: Optional[np.longdouble]
    lowest_trough: Optional[np.longdouble]
    def __init__(self, fields: dict[str, object]) -> None: ...
    def __len__(self) -> int: ...
    def to_pandas(self): ...

class LevelCrossings(_OtherCount):
    level: npt.NDArray[np.longdouble]
    crossings: npt.NDArray[np.float64]
    reference: np.longdouble
    hysteresis: np.longdouble

class RangePairs(_OtherCount):
    range: npt.NDArray[np.longdouble]
    upper: npt.NDArray[np.longdouble]
    lower: npt.NDArray[np.longdouble]
    count: npt.NDArray[np.float64]
    cumulative: npt.NDArray[np.float64]
    hysteresis: np.longdouble

class TimeAtLevel(_OtherCount):
    lower: npt.NDArray[np.longdouble]
    upper: npt.NDArray[np.longdouble]
    time: npt.NDArray[np.longdouble]
    outside: np.longdouble
    interval: Optional[np.longdouble]

def level_crossings(
    values: Values,
    *,
    levels: Levels = 32,
    reference: Optional[Number] = None,
    hysteresis: Number = 0.0,
) -> LevelCrossings: ...
def range_pairs(values: Values, *, hysteresis: Number = 0.0) -> RangePairs: ...
def time_at_level(values: Values, *, edges: Levels = 32, interval: Optional[Number] = None) -> TimeAtLevel: ...
