"""Fatigue evaluation of counted cycles with Tessivo's engine: S-N curves
(with knee rules, cut-off and published presets), damage by Miner's rule and
life, damage-equivalent loads, mean-stress corrections.

The settings and their spellings are tessivo-count's fatigue options, with
"_" for "-": sn_measure is --sn-measure, del_cycles is --del-cycles, and so
on; the numbers equal those tessivo-count writes for the same cycles (its
JSON "fatigue" section) to the last bit. Numbers may be given as strings,
read as tessivo-count reads its options ("0.3" is the decimal 0.3 in extended
precision, where the float 0.3 is the nearest double).

Loads are taken as the cycles give them: count with normalize=False for the
loads as read (tessivo-count never evaluates normalised loads); counted in
load bins, the loads are class edges.
"""

from __future__ import annotations

import numpy as np

from . import _tessivo

__all__ = ["SNCurve", "sn_presets", "FatigueResult", "damage", "del_", "rainflow_matrix"]

_CURVE_KEYS = ("m", "logA", "S", "N", "knee", "m2", "Nknee", "Ncut")


class SNCurve:
    """An S-N (Woehler) curve: N(S), the cycles a part survives at the load S.

    The curve is given as text or by the same keys as keywords::

        SNCurve("m=3,logA=12.164")                       single slope, log N = logA - m log S
        SNCurve("m=5,S=100,N=2e6,knee=haibach,Ncut=1e8") through a point, knee rule, cut-off
        SNCurve("m=3,S=71,N=2e6,Nknee=5e6,m2=5")         second slope below the knee
        SNCurve("preset:EC3-71"), SNCurve.preset("DNV-D") published curves (sn_presets())
        SNCurve(m=5, S=100, N=2e6, knee="haibach")       the same keys as keywords

    Parameters
    ----------
    text : None or str, default None
        The text form, tessivo-count's --sn-curve: comma-separated key=value pairs of the keys below, or
        "preset:NAME". Not together with the keywords.
    m : float or str, optional
        The slope.
    logA : float or str, optional
        log A of log N = logA - m log S; else the point S and N.
    S, N : float or str, optional
        A point on the upper segment; else logA.
    knee : {"same", "cutoff", "haibach"}, optional
        "same" (the slope goes on), "cutoff" (no damage below the knee) or "haibach" (slope 2m - 1 below it).
    m2 : float or str, optional
        A second slope below the knee.
    Nknee : float or str, optional
        The knee's cycle number; the point's N when not given.
    Ncut : float or str, optional
        No damage beyond this cycle number.

    Raises
    ------
    ValueError
        With tessivo-count's message for a curve it would refuse (an unknown key or preset, a value that is not
        a finite positive number, neither or both of logA and S, N).
    """

    __slots__ = ("_curve", "_given")

    def __init__(self, text=None, *, m=None, logA=None, S=None, N=None, knee=None, m2=None, Nknee=None,
                 Ncut=None):
        keys = dict(m=m, logA=logA, S=S, N=N, knee=knee, m2=m2, Nknee=Nknee, Ncut=Ncut)
        self._given = (text, keys)  # what makes it again, for pickling (Dask sends curves to its workers)
        if text is not None:
            if not isinstance(text, str):
                raise TypeError(f"an S-N curve's text must be a string, not {type(text).__name__}")
            if any(v is not None for v in keys.values()):
                raise TypeError("give an S-N curve as text or as keywords, not both")
            self._curve = _tessivo.SnCurve(text)
        else:
            self._curve = _tessivo.SnCurve(*(keys[k] for k in _CURVE_KEYS))

    def __reduce__(self):
        return _curve_of, self._given

    @classmethod
    def preset(cls, name: str) -> "SNCurve":
        """A published curve by name.

        Parameters
        ----------
        name : str
            The preset's name ("EC3-71", "DNV-D", ...; see sn_presets()).

        Returns
        -------
        SNCurve
            The published curve.
        """
        return cls("preset:" + name)

    @property
    def m(self):
        """The slope above the knee."""
        return self._curve.m

    @property
    def slope_below_knee(self):
        """The slope below the knee (0 where nothing below it does damage)."""
        return self._curve.slope_below_knee

    @property
    def knee_load(self):
        """The load at the knee; 0 without a knee."""
        return self._curve.knee_load

    @property
    def knee_cycles(self):
        """The cycle number at the knee; 0 without a knee."""
        return self._curve.knee_cycles

    @property
    def cutoff_load(self):
        """The load below which a cycle does no damage; 0 without a cut-off."""
        return self._curve.cutoff_load

    def allowed_cycles(self, S):
        """N(S), the cycles the curve allows at the load S.

        Parameters
        ----------
        S : float or str
            The load.

        Returns
        -------
        numpy.longdouble
            N(S); infinity where the curve does no damage.
        """
        return self._curve.allowed_cycles(S)

    def load_at(self, N):
        """The load at which the curve allows N cycles.

        Parameters
        ----------
        N : float or str
            The cycle number (positive).

        Returns
        -------
        numpy.longdouble
            The load.
        """
        return self._curve.load_at(N)

    def __repr__(self) -> str:
        if self._curve.text:
            return f"SNCurve({self._curve.text!r})"
        return f"SNCurve(m={float(self.m)!r}, knee_load={float(self.knee_load)!r})"


def _curve_of(text, keys):
    return SNCurve(text, **keys)


def sn_presets() -> dict:
    """The published S-N curves by name, each with a one-line description.

    The detail categories of EN 1993-1-9 ("EC3-160" ... "EC3-36", "EC3-shear-100", "EC3-shear-80"), the curves
    of DNV-RP-C203 ("DNV-B1" ... "DNV-W3", "DNV-T"; in air, with "-CP" in seawater with cathodic protection,
    with "-FC" under free corrosion) and the IIW FAT classes for steel ("IIW-FAT160" ... "IIW-FAT36",
    "IIW-FAT100-shear", "IIW-FAT80-shear"), all in stress ranges (MPa).

    Returns
    -------
    dict of str to str
        The description of each curve by its name.
    """
    return _tessivo.sn_presets()


class FatigueResult:
    """The fatigue evaluation of counted cycles.

    Attributes
    ----------
    damage : numpy.longdouble or None
        Miner's sum D = sum n / N(S) (numpy.longdouble); None without a curve.
    life : numpy.longdouble or None
        1 / D, repetitions of the counted sequence (infinity for D = 0); None without a curve.
    life_hours : numpy.longdouble or None
        Life times the duration, in hours; None without duration.
    equivalent_cycles : numpy.longdouble
        N_eq of the damage-equivalent loads.
    del_ : dict
        The damage-equivalent loads by exponent, {m: DEL_m}.
    load : numpy.ndarray
        Per cycle row, S on the curve (after the mean-stress correction; the amplitude when
        sn_measure="amplitude").
    allowed, row_damage : numpy.ndarray or None
        Per cycle row, N(S) (infinity where the curve does no damage) and n / N(S); None without a curve.
    design_damage, utilisation, check : numpy.longdouble, numpy.longdouble, bool or None
        D x dff, the utilisation against the limit 1 and whether it passes (at most 1); None without a curve.
    curve_del : numpy.longdouble or None
        With "curve" among del_, the load whose N_eq cycles do the damage D on the curve itself (None where no
        load does).
    """

    __slots__ = ("damage", "life", "life_hours", "equivalent_cycles", "del_", "load", "allowed", "row_damage",
                 "design_damage", "utilisation", "check", "curve_del", "_cycles")

    def __init__(self, fields: dict, has_curve: bool, cycles):
        self.damage = fields["damage"] if has_curve else None
        self.life = fields["life"] if has_curve else None
        self.life_hours = fields["life_hours"] if has_curve else None
        self.equivalent_cycles = fields["equivalent_cycles"]
        self.del_ = {m: value for m, value in fields["del"]}
        self.load = fields["load"]
        self.allowed = fields["allowed"] if has_curve else None
        self.row_damage = fields["damage_per_row"] if has_curve else None
        self.design_damage = fields.get("design_damage")
        self.utilisation = fields.get("utilisation")
        self.check = fields.get("check")
        self.curve_del = fields.get("curve_del")
        self._cycles = cycles

    def to_pandas(self):
        """The cycle rows as a pandas.DataFrame.

        Needs pandas.

        Returns
        -------
        pandas.DataFrame
            The columns range, upper, lower, count, load and, with a curve, allowed and damage.
        """
        import pandas

        columns = dict(zip(("range", "upper", "lower"), self._cycles))
        columns["count"] = self._cycles[4]  # as given: whole counts stay whole
        columns["load"] = self.load
        if self.allowed is not None:
            columns["allowed"] = self.allowed
            columns["damage"] = self.row_damage
        return pandas.DataFrame(columns)

    def __repr__(self) -> str:
        parts = []
        if self.damage is not None:
            parts += [f"damage={float(self.damage):.6g}", f"life={float(self.life):.6g}"]
        if self.life_hours is not None:
            parts.append(f"life_hours={float(self.life_hours):.6g}")
        parts += [f"del_({float(m):g})={float(v):.6g}" for m, v in self.del_.items()]
        return f"FatigueResult({', '.join(parts)}, rows={len(self.load)})"


def _columns(cycles):
    """range, upper, lower (longdouble) and count (float64) of a CountResult,
    a pandas.DataFrame or a mapping with those columns."""
    def column(name):
        try:
            return cycles[name]
        except (TypeError, KeyError, IndexError):
            pass
        value = getattr(cycles, name, None)
        if value is None or callable(value):
            raise TypeError(f"cycles must be a CountResult or have the columns range, upper, lower and count; "
                            f"{type(cycles).__name__} has no {name!r}")
        return value

    loads = [np.asarray(column(name), dtype=np.longdouble) for name in ("range", "upper", "lower")]
    given = np.asarray(column("count"))
    return (*loads, np.asarray(given, dtype=np.float64), given)


def _normalized(cycles):
    """Whether the cycles are a count made with normalize=True (its loads divided by the highest peak)."""
    return bool(getattr(cycles, "normalized", False) is True)


def _curve(curve):
    if curve is None or isinstance(curve, SNCurve):
        return curve
    if isinstance(curve, str):
        return SNCurve(curve)
    raise TypeError(f"curve must be an SNCurve or its text, not {type(curve).__name__}")


def _is_single(m):
    return isinstance(m, str) or np.ndim(m) == 0


def _exponents(m):
    """The exponents as given, one or several (numpy.longdouble keeps its bits)."""
    return [m] if _is_single(m) else list(m)


_DESIGN_KEYS = ("stress_factor", "scf", "gamma_ff", "gamma_mf", "dff", "thickness", "thickness_ref",
                "thickness_exponent", "size_factor", "compressive_share")


def _evaluate(cycles, curve, exponents, sn_measure, mean_stress, ultimate, fatigue_strength_coefficient,
              walker_gamma, fkm_m, del_cycles, del_frequency, duration, design=None):
    if del_cycles is not None and del_frequency is not None:
        raise ValueError("give del_cycles or del_frequency, not both")
    if del_frequency is not None:
        if duration is None:
            raise ValueError("del_frequency needs duration")
        equivalent = _tessivo.equivalent_cycles(del_frequency, duration)
    else:
        equivalent = 1e7 if del_cycles is None else del_cycles
    columns = _columns(cycles)
    material = {"ultimate": ultimate, "fatigue_strength_coefficient": fatigue_strength_coefficient,
                "walker_gamma": walker_gamma, "fkm_m": fkm_m}
    on_curve = any(isinstance(e, str) and e == "curve" for e in exponents)
    exponents = [e for e in exponents if not (isinstance(e, str) and e == "curve")]
    design = {key: (design or {}).get(key) for key in _DESIGN_KEYS}
    fields = _tessivo.fatigue(*columns[:4], None if curve is None else curve._curve, sn_measure, mean_stress, material,
                              exponents, equivalent, duration, design, on_curve, _normalized(cycles))
    return FatigueResult(fields, curve is not None, columns)


def damage(cycles, curve, *, sn_measure="range", mean_stress=None, ultimate=None, fatigue_strength_coefficient=None,
           walker_gamma=None, fkm_m=None, duration=None, del_=(), del_cycles=None,
           del_frequency=None, stress_factor=None, scf=None, gamma_ff=None, gamma_mf=None, dff=None,
           thickness=None, thickness_ref=None, thickness_exponent=None, size_factor=None,
           compressive_share=None) -> FatigueResult:
    """Damage by Miner's rule and life on an S-N curve (tessivo-count --sn-curve).

    Parameters
    ----------
    cycles : CountResult, pandas.DataFrame or mapping
        The counted cycles: a CountResult (counted without normalize: a normalised one is refused), a
        pandas.DataFrame or a mapping with the columns range, upper, lower and count.
    curve : SNCurve or str
        An SNCurve or its text ("m=3,logA=12.164", "preset:EC3-71").
    sn_measure : {"range", "amplitude"}, default "range"
        What S is (--sn-measure).
    mean_stress : {None, "goodman", "gerber", "morrow", "swt", "walker", "fkm"}, default None
        The mean-stress correction (--mean-stress), with its material value: ultimate (Su, goodman and
        gerber), fatigue_strength_coefficient (sf', morrow), walker_gamma (0 < g <= 1) or fkm_m (0 <= M < 1).
    ultimate : float or str, optional
        Su, for goodman and gerber.
    fatigue_strength_coefficient : float or str, optional
        sf', for morrow.
    walker_gamma : float or str, optional
        For walker (0 < g <= 1).
    fkm_m : float or str, optional
        For fkm (0 <= M < 1).
    duration : float or str, optional
        Seconds the counted sequence lasts: life_hours as well.
    del_ : float, str or sequence of float or str, default ()
        Exponents m of damage-equivalent loads to compute as well (--del); "curve" among them: the one on the
        curve (curve_del).
    del_cycles, del_frequency : float or str, optional
        N_eq as for del_().
    stress_factor, scf : float or str, optional
        The stress is the load times both (--stress-factor, --scf).
    gamma_ff, gamma_mf, thickness, thickness_ref, thickness_exponent, size_factor : float or str, optional
        S on the curve times gamma_ff x gamma_mf x (t / t_ref)^k / size_factor: t the thickness (with
        thickness_ref t_ref and thickness_exponent k, else the curve's own) (--gamma-ff, ...).
    dff : float or str, optional
        The design damage D x dff (--dff).
    compressive_share : float or str, optional
        The part of a range below zero counts this share (0.6 for non-welded or stress-relieved details,
        EN 1993-1-9); not with mean_stress.

    Returns
    -------
    FatigueResult
        The fatigue evaluation of the cycles.

    Raises
    ------
    ValueError
        A setting tessivo-count would refuse (with its message), a cycle at or beyond the material's limit, a
        CountResult counted with normalize=True, a material value that the mean-stress method (or no method)
        does not read.
    TypeError
        Cycles without those columns, a curve of the wrong type.
    """
    design = dict(stress_factor=stress_factor, scf=scf, gamma_ff=gamma_ff, gamma_mf=gamma_mf, dff=dff,
                  thickness=thickness, thickness_ref=thickness_ref, thickness_exponent=thickness_exponent,
                  size_factor=size_factor, compressive_share=compressive_share)
    return _evaluate(cycles, _curve(curve), _exponents(del_), sn_measure,
                     mean_stress, ultimate, fatigue_strength_coefficient, walker_gamma, fkm_m, del_cycles,
                     del_frequency, duration, design)


def del_(cycles, m, *, del_cycles=None, del_frequency=None, duration=None, sn_measure="range", mean_stress=None,
         ultimate=None, fatigue_strength_coefficient=None, walker_gamma=None, fkm_m=None, stress_factor=None,
         scf=None):
    """Damage-equivalent loads DEL_m = (sum n S^m / N_eq)^(1/m) (tessivo-count --del).

    Parameters
    ----------
    cycles : CountResult, pandas.DataFrame or mapping
        As for damage().
    m : float, str or sequence of float or str
        One exponent (the S-N slope) or a sequence of them.
    del_cycles : float or str, optional
        N_eq, 1e7 by default (--del-cycles); or del_frequency instead; not both.
    del_frequency : float or str, optional
        In Hz, with duration in seconds: N_eq = frequency * duration (--del-frequency); not with del_cycles.
    duration : float or str, optional
        In seconds, for del_frequency.
    sn_measure : {"range", "amplitude"}, default "range"
        As for damage().
    mean_stress : {None, "goodman", "gerber", "morrow", "swt", "walker", "fkm"}, default None
        As for damage().
    ultimate, fatigue_strength_coefficient, walker_gamma, fkm_m : float or str, optional
        The material values, as for damage().
    stress_factor, scf : float or str, optional
        As for damage().

    Returns
    -------
    numpy.longdouble or dict
        DEL_m as numpy.longdouble for one exponent; a dict {m: DEL_m} for a sequence.
    """
    exponents = _exponents(m)
    result = _evaluate(cycles, None, exponents, sn_measure, mean_stress, ultimate, fatigue_strength_coefficient,
                       walker_gamma, fkm_m, del_cycles, del_frequency, duration,
                       dict(stress_factor=stress_factor, scf=scf))
    values = list(result.del_.values())
    return values[0] if _is_single(m) else dict(zip(exponents, values))


def rainflow_matrix(cycles, kind="range-mean", bins=32):
    """The rainflow matrix of counted cycles (tessivo-count --matrix KIND --matrix-bins N).

    Parameters
    ----------
    cycles : CountResult, pandas.DataFrame or mapping
        As for damage().
    kind : {"range-mean", "from-to"}, default "range-mean"
        "range-mean" (rows: classes of range, columns: classes of mean) or "from-to" (rows: classes of the
        maximum, where the cycle turns down; columns: classes of the minimum, on the same load axis).
    bins : int, default 32
        Classes per axis, 1 to 1000; they span the cycles' values, and a value on the upper end falls into the
        last class.

    Returns
    -------
    row_edges : numpy.ndarray of numpy.longdouble
        bins + 1 ascending edges (empty without cycles).
    column_edges : numpy.ndarray of numpy.longdouble
        bins + 1 ascending edges (empty without cycles).
    counts : numpy.ndarray
        The counts as a rows x columns array.
    """
    if isinstance(bins, bool) or not isinstance(bins, (int, np.integer)):
        raise TypeError(f"bins must be a whole number, not {type(bins).__name__}")
    return _tessivo.rainflow_matrix(*_columns(cycles)[:4], kind, int(bins))
