from typing import Any, Iterable, Literal, Optional, Sequence, Union

import tessivo
from tessivo.design_life import Column, LifetimeResult, Weights
from tessivo.fatigue import MeanStress, Measure, Number, SNCurve

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
def lifetime(
    weights: Weights,
    *,
    design_life: Number,
    sn_curve: Optional[Union[SNCurve, str]] = None,
    column: Optional[Column] = None,
    duration: Optional[Number] = None,
    del_: Union[Number, Sequence[Union[Number, Literal["curve"]]]] = (),
    del_cycles: Optional[Number] = None,
    del_frequency: Optional[Number] = None,
    filter: Union[float, str] = 0.0,
    residue: tessivo.Residue = "decomposition",
    bins: tessivo.Bins = None,
    unlimited: bool = False,
    sn_measure: Measure = "range",
    mean_stress: MeanStress = None,
    ultimate: Optional[Number] = None,
    fatigue_strength_coefficient: Optional[Number] = None,
    walker_gamma: Optional[Number] = None,
    fkm_m: Optional[Number] = None,
    stress_factor: Optional[Number] = None,
    scf: Optional[Number] = None,
    gamma_ff: Optional[Number] = None,
    gamma_mf: Optional[Number] = None,
    dff: Optional[Number] = None,
    thickness: Optional[Number] = None,
    thickness_ref: Optional[Number] = None,
    thickness_exponent: Optional[Number] = None,
    size_factor: Optional[Number] = None,
    compressive_share: Optional[Number] = None,
    compute: bool = True,
) -> Union[LifetimeResult, Any]: ...
