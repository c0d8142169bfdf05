"""Every cycle of a count with where it happened (tessivo.cycles)."""

from . import _tessivo


def cycles(values, *, filter=0.0, residue="decomposition", bins=None, normalize=False,
           unlimited=False) -> dict:
    """Lists every cycle of the count of `values`, not aggregated.

    The cycles come in the order the count closes them, as tessivo-count --format cycles lists them. A
    sequence that count() would count in load bins (bins given, or MATRIX_THRESHOLD values or more without
    unlimited) lists each cycle of the residue as a half cycle.

    Parameters
    ----------
    values : array_like
        The loads in time order, as for tessivo.count.
    filter : float or str, default 0.0
        As for tessivo.count.
    residue : {"decomposition", "upward", "half"}, default "decomposition"
        As for tessivo.count.
    bins : None, int or sequence of float, default None
        As for tessivo.count.
    normalize : bool, default False
        As for tessivo.count.
    unlimited : bool, default False
        As for tessivo.count.

    Returns
    -------
    dict of str to numpy.ndarray
        One-dimensional numpy arrays of equal length: "range", "upper", "lower" (longdouble; divided by the
        highest peak with normalize), "count" (1.0, or 0.5 for a half cycle), "start" and "end" (int64: the
        0-based indices into `values` of the cycle's first and second point; for a cycle of the residue the
        first point may come later).

    Warns
    -----
    MatrixAppliedWarning
        When the sequence is counted in load bins and bins were not asked for.
    """
    listing = _tessivo.cycles(values, filter, residue, bins, normalize, unlimited)
    if listing.pop("matrix_applied"):
        import warnings

        from . import MatrixAppliedWarning

        warnings.warn(_tessivo.matrix_applied_notice(32), MatrixAppliedWarning, stacklevel=2)
    return listing
