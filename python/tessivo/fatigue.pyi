from typing import Any, Literal, Mapping, Optional, Sequence, Union, overload

import numpy as np
import numpy.typing as npt

Number = Union[float, int, str, np.floating, np.integer]
MeanStressMethod = Literal["goodman", "gerber", "morrow", "swt", "walker", "fkm"]
MeanStress = Optional[MeanStressMethod]
Measure = Literal["range", "amplitude"]
MatrixKind = Literal["range-mean", "from-to"]
PresetName = Literal[
    "EC3-160", "EC3-140", "EC3-125", "EC3-112", "EC3-100", "EC3-90", "EC3-80", "EC3-71", "EC3-63", "EC3-56",
    "EC3-50", "EC3-45", "EC3-40", "EC3-36", "EC3-shear-100", "EC3-shear-80", "DNV-B1", "DNV-B2", "DNV-C", "DNV-C1",
    "DNV-C2", "DNV-D", "DNV-E", "DNV-F", "DNV-F1", "DNV-F3", "DNV-G", "DNV-W1", "DNV-W2", "DNV-W3", "DNV-T",
    "DNV-B1-CP", "DNV-B2-CP", "DNV-C-CP", "DNV-C1-CP", "DNV-C2-CP", "DNV-D-CP", "DNV-E-CP", "DNV-F-CP",
    "DNV-F1-CP", "DNV-F3-CP", "DNV-G-CP", "DNV-W1-CP", "DNV-W2-CP", "DNV-W3-CP", "DNV-T-CP", "DNV-B1-FC",
    "DNV-B2-FC", "DNV-C-FC", "DNV-C1-FC", "DNV-C2-FC", "DNV-D-FC", "DNV-E-FC", "DNV-F-FC", "DNV-F1-FC",
    "DNV-F3-FC", "DNV-G-FC", "DNV-W1-FC", "DNV-W2-FC", "DNV-W3-FC", "DNV-T-FC", "IIW-FAT160", "IIW-FAT140",
    "IIW-FAT125", "IIW-FAT112", "IIW-FAT100", "IIW-FAT90", "IIW-FAT80", "IIW-FAT71", "IIW-FAT63", "IIW-FAT56",
    "IIW-FAT50", "IIW-FAT45", "IIW-FAT40", "IIW-FAT36", "IIW-FAT100-shear", "IIW-FAT80-shear",
]
Cycles = Any  # a CountResult, a pandas.DataFrame or a mapping with range, upper, lower and count

class SNCurve:
    def __init__(
        self,
        text: Optional[str] = None,
        *,
        m: Optional[Number] = None,
        logA: Optional[Number] = None,
        S: Optional[Number] = None,
        N: Optional[Number] = None,
        knee: Optional[Literal["same", "cutoff", "haibach"]] = None,
        m2: Optional[Number] = None,
        Nknee: Optional[Number] = None,
        Ncut: Optional[Number] = None,
    ) -> None: ...
    @classmethod
    def preset(cls, name: Union[PresetName, str]) -> SNCurve: ...
    @property
    def m(self) -> np.longdouble: ...
    @property
    def slope_below_knee(self) -> np.longdouble: ...
    @property
    def knee_load(self) -> np.longdouble: ...
    @property
    def knee_cycles(self) -> np.longdouble: ...
    @property
    def cutoff_load(self) -> np.longdouble: ...
    def allowed_cycles(self, S: Number) -> np.longdouble: ...
    def load_at(self, N: Number) -> np.longdouble: ...

def sn_presets() -> dict[str, str]: ...

class FatigueResult:
    damage: Optional[np.longdouble]
    life: Optional[np.longdouble]
    life_hours: Optional[np.longdouble]
    equivalent_cycles: np.longdouble
    del_: dict[np.longdouble, np.longdouble]
    load: npt.NDArray[np.longdouble]
    allowed: Optional[npt.NDArray[np.longdouble]]
    row_damage: Optional[npt.NDArray[np.longdouble]]
    design_damage: Optional[np.longdouble]
    utilisation: Optional[np.longdouble]
    check: Optional[bool]
    curve_del: Optional[np.longdouble]
    def to_pandas(self) -> Any: ...

def damage(
    cycles: Cycles,
    curve: Union[SNCurve, str],
    *,
    sn_measure: Measure = "range",
    mean_stress: MeanStress = None,
    ultimate: Optional[Number] = None,
    fatigue_strength_coefficient: Optional[Number] = None,
    walker_gamma: Optional[Number] = None,
    fkm_m: Optional[Number] = None,
    duration: Optional[Number] = None,
    del_: Union[Number, Sequence[Union[Number, Literal["curve"]]]] = (),
    del_cycles: Optional[Number] = None,
    del_frequency: Optional[Number] = None,
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
) -> FatigueResult: ...
@overload
def del_(  # type: ignore[misc]
    cycles: Cycles,
    m: Number,
    *,
    del_cycles: Optional[Number] = None,
    del_frequency: Optional[Number] = None,
    duration: Optional[Number] = None,
    sn_measure: Measure = "range",
    mean_stress: MeanStress = None,
    ultimate: Optional[Number] = None,
    fatigue_strength_coefficient: Optional[Number] = None,
    walker_gamma: Optional[Number] = None,
    fkm_m: Optional[Number] = None,
    stress_factor: Optional[Number] = None,
    scf: Optional[Number] = None,
) -> np.longdouble: ...
@overload
def del_(
    cycles: Cycles,
    m: Sequence[Number],
    *,
    del_cycles: Optional[Number] = None,
    del_frequency: Optional[Number] = None,
    duration: Optional[Number] = None,
    sn_measure: Measure = "range",
    mean_stress: MeanStress = None,
    ultimate: Optional[Number] = None,
    fatigue_strength_coefficient: Optional[Number] = None,
    walker_gamma: Optional[Number] = None,
    fkm_m: Optional[Number] = None,
    stress_factor: Optional[Number] = None,
    scf: Optional[Number] = None,
) -> dict[Any, np.longdouble]: ...
def rainflow_matrix(
    cycles: Cycles, kind: MatrixKind = "range-mean", bins: int = 32
) -> tuple[npt.NDArray[np.longdouble], npt.NDArray[np.longdouble], npt.NDArray[np.longdouble]]: ...
