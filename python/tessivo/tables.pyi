import os
from typing import Any, Literal, Optional, Sequence, Union, overload

import numpy as np
import numpy.typing as npt

Column = Union[str, int]
Delimiter = Optional[Literal["comma", "semicolon", "tab", "blanks"]]

@overload
def read_table(  # type: ignore[misc]
    path: Union[str, "os.PathLike[str]"],
    columns: Column,
    *,
    delimiter: Delimiter = None,
    decimal: Optional[Literal[".", ","]] = None,
    skip_empty: bool = False,
    frame: Literal[False] = False,
) -> npt.NDArray[np.longdouble]: ...
@overload
def read_table(
    path: Union[str, "os.PathLike[str]"],
    columns: Optional[Sequence[Column]] = None,
    *,
    delimiter: Delimiter = None,
    decimal: Optional[Literal[".", ","]] = None,
    skip_empty: bool = False,
    frame: bool = False,
) -> dict[str, npt.NDArray[np.longdouble]]: ...
def table_layout(
    path: Union[str, "os.PathLike[str]"],
    *,
    delimiter: Delimiter = None,
    decimal: Optional[Literal[".", ","]] = None,
) -> dict[str, Any]: ...
