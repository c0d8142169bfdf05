from typing import Any, Iterable, Literal, Optional, Union

import tessivo

def count(
    x: Any,
    *,
    filter: Union[float, str] = 0.0,
    residue: tessivo.Residue = "decomposition",
    bins: tessivo.Bins = None,
    normalize: bool = False,
    unlimited: bool = False,
    split_every: int = 8,
    compute: bool = True,
) -> Any: ...
def count_files(
    paths: Iterable[Any],
    *,
    column: Optional[Union[str, int]] = None,
    joined: Union[bool, Literal["both"]] = True,
    filter: Union[float, str] = 0.0,
    residue: tessivo.Residue = "decomposition",
    bins: tessivo.Bins = None,
    normalize: bool = False,
    unlimited: bool = False,
    split_every: int = 8,
    compute: bool = True,
) -> Any: ...
