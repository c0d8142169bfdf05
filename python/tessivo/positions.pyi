from typing import Any, Optional, Sequence, Union

import numpy as np
import numpy.typing as npt

from . import Residue

def cycles(
    values: npt.ArrayLike,
    *,
    filter: float = 0.0,
    residue: Residue = "decomposition",
    bins: Union[None, int, Sequence[float]] = None,
    normalize: bool = False,
    unlimited: bool = False,
) -> dict[str, npt.NDArray[Any]]: ...
