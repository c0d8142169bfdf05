"""Fatigue over a design life from many recordings, and a summary row per
channel: tessivo-count --lifetime and --summary with the same numbers.

A recording stands for hours_per_year hours of every year of the design life:
over design_life years it is repeated design_life x hours_per_year x 3600 /
duration times, and the lifetime damage is the sum of those repetitions times
its damage D. The damage-equivalent loads of the lifetime refer to N_eq cycles:
del_cycles, or del_frequency times the lifetime's seconds (design_life x the
sum of the hours per year x 3600), or 1e7.
"""

from __future__ import annotations

import os

from . import _tessivo
from .fatigue import _DESIGN_KEYS, _curve, _exponents

__all__ = ["LifetimeResult", "lifetime", "summary"]


def _fatigue_settings(sn_curve, del_, sn_measure, mean_stress, material, design, equivalent_cycles, duration):
    """The fatigue keywords as the module's evaluation takes them."""
    exponents = _exponents(del_)
    on_curve = any(isinstance(e, str) and e == "curve" for e in exponents)
    curve = _curve(sn_curve)
    return {
        "curve": None if curve is None else curve._curve,
        "sn_measure": sn_measure,
        "mean_stress": mean_stress,
        "material": material,
        "del": [e for e in exponents if not (isinstance(e, str) and e == "curve")],
        "del_on_curve": on_curve,
        "equivalent_cycles": 1e7 if equivalent_cycles is None else equivalent_cycles,
        "duration": duration,
        "design": {key: design.get(key) for key in _DESIGN_KEYS},
    }


def _entries(weights):
    """(path, hours per year) of a weights table file, a mapping or a pandas.DataFrame."""
    if isinstance(weights, (str, os.PathLike)):
        return [(path, hours) for path, hours in _tessivo.read_lifetime_table(os.fspath(weights))]
    columns = getattr(weights, "columns", None)
    if columns is not None:
        if "file" not in columns or "hours_per_year" not in columns:
            raise ValueError("a table of weights needs the columns file and hours_per_year")
        return [(os.fspath(p), h) for p, h in zip(weights["file"], weights["hours_per_year"])]
    if hasattr(weights, "items"):
        return [(os.fspath(p), h) for p, h in weights.items()]
    raise TypeError(f"weights must be a weights table's path, a mapping {{path: hours_per_year}} or a "
                    f"pandas.DataFrame, not {type(weights).__name__}")


def _count_recording(path, hours, column, count_parameters, keywords, lifetime_parameters):
    """One recording's count and evaluation: the same on the client and on a worker (keywords, not the
    module's objects, travel to it)."""
    return _tessivo.count_recording(path, hours, column, keywords["duration"], **count_parameters,
                                    fatigue=_settings(keywords), **lifetime_parameters)


def _settings(keywords):
    settings = _fatigue_settings(keywords["sn_curve"], keywords["del_"], keywords["sn_measure"],
                                 keywords["mean_stress"], keywords["material"], keywords["design"], None,
                                 keywords["duration"])
    if settings["curve"] is None and not settings["del"]:
        raise ValueError("a lifetime needs sn_curve or del_")
    return settings


def _lifetime_arguments(weights, design_life, sn_curve, column, duration, del_, del_cycles, del_frequency, filter,
                        residue, bins, unlimited, sn_measure, mean_stress, material, design):
    """The entries, the count's parameters, the fatigue keywords and the lifetime's, checked here."""
    count_parameters = {"filter": filter, "residue": residue, "bins": bins, "unlimited": unlimited}
    keywords = {"sn_curve": sn_curve, "del_": del_, "sn_measure": sn_measure, "mean_stress": mean_stress,
                "material": material, "design": design, "duration": duration}
    lifetime_parameters = {"design_life": design_life, "del_cycles": del_cycles, "del_frequency": del_frequency}
    if del_cycles is not None and del_frequency is not None:
        raise ValueError("give del_cycles or del_frequency, not both")
    # Bad settings fail here, not on a worker (the frequency's N_eq needs the recordings' hours).
    _tessivo.combine_recordings([], _settings(keywords), design_life=design_life, del_cycles=del_cycles,
                                del_frequency=None)
    return _entries(weights), count_parameters, keywords, lifetime_parameters


class LifetimeResult:
    """The fatigue of a design life.

    Attributes
    ----------
    design_life : numpy.longdouble
        The years.
    seconds : numpy.longdouble
        design_life x the sum of the hours per year x 3600.
    cycles : numpy.longdouble
        The counted cycles of every recording times its repetitions over the design life.
    damage, design_damage, utilisation, check : numpy.longdouble, numpy.longdouble, numpy.longdouble, bool or None
        The lifetime damage (Miner), times dff, the utilisation against the limit 1 and whether it passes;
        None without a curve.
    equivalent_cycles : numpy.longdouble
        N_eq of the lifetime's damage-equivalent loads.
    del_ : dict
        The lifetime's damage-equivalent loads by exponent, {m: DEL_m}.
    curve_del : numpy.longdouble or None
        With "curve" among del_, the load whose N_eq cycles do the lifetime damage on the curve.
    recordings : list of dict
        One per recording: name (its path), points, highest_peak, lowest_trough, cycles, hours_per_year,
        duration, and damage, life, utilisation, check (with a curve) and del (pairs (m, DEL_m) for its own
        N_eq: del_cycles, or del_frequency x its duration, or 1e7) of one pass.
    """

    __slots__ = ("design_life", "seconds", "cycles", "damage", "design_damage", "utilisation", "check",
                 "equivalent_cycles", "del_", "curve_del", "recordings")

    def __init__(self, totals: dict, recordings: list):
        self.design_life = totals["design_life"]
        self.seconds = totals["seconds"]
        self.cycles = totals["cycles"]
        self.damage = totals.get("damage")
        self.design_damage = totals.get("design_damage")
        self.utilisation = totals.get("utilisation")
        self.check = totals.get("check")
        self.equivalent_cycles = totals["equivalent_cycles"]
        self.del_ = {m: value for m, value in totals["del"]}
        self.curve_del = totals.get("curve_del")
        self.recordings = [{k: v for k, v in r.items() if k not in ("share_damage", "unit_del")}
                           for r in recordings]

    def to_pandas(self):
        """The recordings as a pandas.DataFrame, one row each (columns as summary() gives them).

        Returns
        -------
        pandas.DataFrame
        """
        return _frame(self.recordings)

    def __repr__(self) -> str:
        parts = [f"design_life={float(self.design_life):g}"]
        if self.damage is not None:
            parts += [f"damage={float(self.damage):.6g}", f"utilisation={float(self.utilisation):.6g}"]
        parts += [f"del_({float(m):g})={float(v):.6g}" for m, v in self.del_.items()]
        return f"LifetimeResult({', '.join(parts)}, recordings={len(self.recordings)})"


def _frame(rows):
    """The rows as a pandas.DataFrame, numbers as numpy.longdouble columns (pandas would make them float64)."""
    import numpy as np
    import pandas

    flat = []
    for row in rows:
        one = {k: v for k, v in row.items() if k != "del"}
        for m, value in row.get("del", []):
            one[f"del_{float(m):g}"] = value
        flat.append(one)
    names = list(dict.fromkeys(name for one in flat for name in one))
    columns = {}
    for name in names:
        values = [one.get(name) for one in flat]
        columns[name] = (np.array(values, dtype=np.longdouble)
                         if values and all(isinstance(v, np.longdouble) for v in values) else values)
    return pandas.DataFrame(columns)


def lifetime(weights, *, design_life, sn_curve=None, column=None, duration=None, del_=(), del_cycles=None,
             del_frequency=None, filter=0.0, residue="decomposition", bins=None, unlimited=False, sn_measure="range",
             mean_stress=None, ultimate=None, fatigue_strength_coefficient=None, walker_gamma=None, fkm_m=None,
             stress_factor=None, scf=None, gamma_ff=None, gamma_mf=None, dff=None, thickness=None,
             thickness_ref=None, thickness_exponent=None, size_factor=None,
             compressive_share=None) -> LifetimeResult:
    """The fatigue of a design life over recordings (tessivo-count --design-life Y --lifetime WEIGHTS.csv).

    Parameters
    ----------
    weights : str, os.PathLike, mapping or pandas.DataFrame
        The recordings with their hours per year: a weights table file (a line of names, then
        file,hours_per_year; paths from its folder), a mapping {path: hours_per_year} or a pandas.DataFrame with
        the columns file and hours_per_year.
    design_life : float or str
        Years.
    sn_curve : SNCurve or str, optional
        The S-N curve (--sn-curve); with it damage, utilisation and check.
    column : None, int or str, default None
        None for sequence files; else the one column of each table (--column).
    duration : float or str, optional
        Seconds of each recording without a time column (a table's first column that rises all the way gives
        its own: the last time minus the first).
    del_ : float, str or sequence of them, default ()
        Exponents of damage-equivalent loads; "curve" among them: the one on the curve.
    del_cycles, del_frequency : float or str, optional
        N_eq of the lifetime, or the frequency that makes it with the lifetime's seconds; else 1e7.
    filter, residue, bins, unlimited
        As for count().
    sn_measure, mean_stress, ultimate, fatigue_strength_coefficient, walker_gamma, fkm_m
        As for damage().
    stress_factor, scf, gamma_ff, gamma_mf, dff, thickness, thickness_ref, thickness_exponent, size_factor, compressive_share
        As for damage().

    Returns
    -------
    LifetimeResult

    Raises
    ------
    ValueError
        A setting tessivo-count refuses, a row of the weights table that cannot be read (with the file and
        line), a recording without a duration.
    OSError
        A file that cannot be read.
    """
    entries, count_parameters, keywords, lifetime_parameters = _lifetime_arguments(
        weights, design_life, sn_curve, column, duration, del_, del_cycles, del_frequency, filter, residue, bins,
        unlimited, sn_measure, mean_stress, _material(locals()), _design(locals()))
    rows = [_count_recording(path, hours, column, count_parameters, keywords, lifetime_parameters)
            for path, hours in entries]
    return combine(rows, keywords, lifetime_parameters)


def _material(given):
    return {key: given[key] for key in ("ultimate", "fatigue_strength_coefficient", "walker_gamma", "fkm_m")}


def _design(given):
    return {key: given[key] for key in _DESIGN_KEYS}


def combine(rows, keywords, lifetime_parameters) -> LifetimeResult:
    """The lifetime of recordings counted elsewhere (tessivo.dask.lifetime counts them on its workers)."""
    return LifetimeResult(_tessivo.combine_recordings(rows, _settings(keywords), **lifetime_parameters), rows)


def summary(paths, *, column=None, sn_curve=None, del_=(), del_cycles=None, del_frequency=None, duration=None,
            filter=0.0, residue="decomposition", bins=None, unlimited=False, sn_measure="range", mean_stress=None,
            ultimate=None, fatigue_strength_coefficient=None, walker_gamma=None, fkm_m=None, stress_factor=None,
            scf=None, gamma_ff=None, gamma_mf=None, dff=None, thickness=None, thickness_ref=None,
            thickness_exponent=None, size_factor=None, compressive_share=None):
    """One row per channel, or one for the files joined (tessivo-count --summary).

    Parameters
    ----------
    paths : str, os.PathLike or sequence of them
        Sequence files or tables, joined in order as tessivo-count joins its FILEs.
    column : None, int, str, sequence of int or str, or "all", default None
        None: one row for the count of the files joined; a column or a list of them: one row per column
        (--column); "all": every column of numbers but time (--all-columns).
    sn_curve, del_, del_cycles, del_frequency, duration
        As for damage() (del_frequency needs duration).
    filter, residue, bins, unlimited
        As for count().
    sn_measure, mean_stress, ultimate, fatigue_strength_coefficient, walker_gamma, fkm_m
        As for damage().
    stress_factor, scf, gamma_ff, gamma_mf, dff, thickness, thickness_ref, thickness_exponent, size_factor, compressive_share
        As for damage().

    Returns
    -------
    pandas.DataFrame
        The columns name, points, highest_peak, lowest_trough, cycles; with a curve damage, life, utilisation
        and check; del_M for each exponent M; curve_del when asked.
    """
    if isinstance(paths, (str, os.PathLike)):
        paths = [paths]
    if del_cycles is not None and del_frequency is not None:
        raise ValueError("give del_cycles or del_frequency, not both")
    if del_frequency is not None:
        if duration is None:
            raise ValueError("del_frequency needs duration")
        del_cycles = _tessivo.equivalent_cycles(del_frequency, duration)
    count_parameters = {"filter": filter, "residue": residue, "bins": bins, "unlimited": unlimited}
    settings = _fatigue_settings(sn_curve, del_, sn_measure, mean_stress, _material(locals()), _design(locals()),
                                 del_cycles, duration)
    rows = _tessivo.summary([os.fspath(p) for p in paths], column, **count_parameters, fatigue=settings)
    return _frame(rows)
