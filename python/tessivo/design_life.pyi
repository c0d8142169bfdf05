import os
from typing import Any, Literal, Mapping, Optional, Sequence, Union

import numpy as np

import tessivo
from .fatigue import MeanStress, Measure, Number, SNCurve

Weights = Union[str, "os.PathLike[str]", Mapping[Any, Number], Any]  # a weights table's path, a mapping or a DataFrame
Column = Union[str, int]

class LifetimeResult:
    design_life: np.longdouble
    seconds: np.longdouble
    cycles: np.longdouble
    damage: Optional[np.longdouble]
    design_damage: Optional[np.longdouble]
    utilisation: Optional[np.longdouble]
    check: Optional[bool]
    equivalent_cycles: np.longdouble
    del_: dict[np.longdouble, np.longdouble]
    curve_del: Optional[np.longdouble]
    recordings: list[dict[str, Any]]
    def to_pandas(self) -> Any: ...

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
    filter: Union[float, str, np.floating] = 0.0,
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
) -> LifetimeResult: ...
def combine(rows: list[dict[str, Any]], keywords: dict[str, Any], lifetime_parameters: dict[str, Any]) -> LifetimeResult: ...
def summary(
    paths: Union[str, "os.PathLike[str]", Sequence[Union[str, "os.PathLike[str]"]]],
    *,
    column: Optional[Union[Column, Sequence[Column]]] = None,
    sn_curve: Optional[Union[SNCurve, str]] = None,
    del_: Union[Number, Sequence[Union[Number, Literal["curve"]]]] = (),
    del_cycles: Optional[Number] = None,
    del_frequency: Optional[Number] = None,
    duration: Optional[Number] = None,
    filter: Union[float, str, np.floating] = 0.0,
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
) -> Any: ...
