"""The counts beside rainflow: level crossings, range pairs and time at level.

Each takes the values as tessivo.count does (rounded to 15 significant digits, as a sequence file's values
are) and gives the numbers of ``tessivo-count --count level-crossing|range-pair|time-at-level``.
"""

from __future__ import annotations

from . import _tessivo


def _load(v):
    return "None" if v is None else repr(float(v)) if float(v) == v else str(v)


class _OtherCount:
    """What the three results share: the extent of the values, the columns, to_pandas() and the table shown."""

    __slots__ = ()
    _columns: tuple = ()
    _name = ""

    def __init__(self, fields: dict):
        for name in self.__slots__:
            setattr(self, name, fields[name])

    def __len__(self) -> int:
        return len(getattr(self, self._columns[0]))

    def to_pandas(self):
        """The rows as a pandas.DataFrame, one column for each array of the result.

        Needs pandas.

        Returns
        -------
        pandas.DataFrame
            The result's arrays as columns, in the order of the command line's CSV.
        """
        import pandas

        return pandas.DataFrame({name: getattr(self, name) for name in self._columns})

    def __repr__(self) -> str:
        head = (f"{self._name}(sequence_length={self.sequence_length}, "
                f"highest_peak={_load(self.highest_peak)}, lowest_trough={_load(self.lowest_trough)}, "
                f"rows={len(self)})")
        shown = min(len(self), 10)
        if shown == 0:
            return head
        rows = [self._columns] + [tuple(_load(getattr(self, c)[i]) for c in self._columns) for i in range(shown)]
        widths = [max(len(r[c]) for r in rows) for c in range(len(self._columns))]
        lines = ["  " + "  ".join(cell.rjust(w) for cell, w in zip(r, widths)) for r in rows]
        if shown < len(self):
            lines.append(f"  ... {len(self) - shown} more")
        return head + "\n" + "\n".join(lines)


class LevelCrossings(_OtherCount):
    """Level crossings: how often the loads cross each level.

    Attributes
    ----------
    sequence_length : int
        The number of values counted.
    highest_peak, lowest_trough : numpy.longdouble or None
        The extremes of the values, None for an empty sequence.
    level : numpy.ndarray of numpy.longdouble
        The levels, ascending.
    crossings : numpy.ndarray of float64
        The crossings of each level: upward ones for a level at or above the reference, downward ones below it.
    reference : numpy.longdouble
        The reference level (the mean of the values unless one was given).
    hysteresis : numpy.longdouble
        The hysteresis the reversals were filtered with.
    """

    __slots__ = ("sequence_length", "highest_peak", "lowest_trough", "level", "crossings", "reference",
                 "hysteresis")
    _columns = ("level", "crossings")
    _name = "LevelCrossings"


class RangePairs(_OtherCount):
    """Range pairs, gathered: one row per distinct range, maximum and minimum.

    Attributes
    ----------
    sequence_length : int
        The number of values counted.
    highest_peak, lowest_trough : numpy.longdouble or None
        The extremes of the values, None for an empty sequence.
    range, upper, lower : numpy.ndarray of numpy.longdouble
        The pairs' range, maximum and minimum load, by descending range, then descending upper load.
    count : numpy.ndarray of float64
        The pairs of exactly these loads; the ranges left at the end count 0.5 each.
    cumulative : numpy.ndarray of float64
        The running total of count from the largest range down.
    hysteresis : numpy.longdouble
        The hysteresis the reversals were filtered with.
    """

    __slots__ = ("sequence_length", "highest_peak", "lowest_trough", "range", "upper", "lower", "count",
                 "cumulative", "hysteresis")
    _columns = ("range", "upper", "lower", "count", "cumulative")
    _name = "RangePairs"


class TimeAtLevel(_OtherCount):
    """Time at level: the time the loads spend in each class (the load duration distribution).

    Attributes
    ----------
    sequence_length : int
        The number of values counted.
    highest_peak, lowest_trough : numpy.longdouble or None
        The extremes of the values, None for an empty sequence.
    lower, upper : numpy.ndarray of numpy.longdouble
        The classes' edges; a class holds its lower edge, the last one its upper edge too.
    time : numpy.ndarray of numpy.longdouble
        The seconds in each class (the number of values times the interval, to 15 significant digits), or
        the number of values when no interval was given.
    outside : numpy.longdouble
        The time beyond the edges.
    interval : numpy.longdouble or None
        The seconds each value stands for, as given.
    """

    __slots__ = ("sequence_length", "highest_peak", "lowest_trough", "lower", "upper", "time", "outside",
                 "interval")
    _columns = ("lower", "upper", "time")
    _name = "TimeAtLevel"


def level_crossings(values, *, levels=32, reference=None, hysteresis=0.0) -> LevelCrossings:
    """Counts how often the loads cross each level (tessivo-count --count level-crossing).

    A rising stretch from a to b crosses the levels L with a < L <= b, a falling one those with b <= L < a.
    As the standard practices for cycle counting have it, a level at or above the reference counts its upward
    crossings, a level below it its downward ones.

    Parameters
    ----------
    values : array_like
        The loads in time order, as for tessivo.count.
    levels : int or sequence of float, default 32
        That many equal levels from the lowest to the highest value, both included (at least 2), or the levels
        themselves, strictly ascending (tessivo-count --levels, --level-edges).
    reference : float or str, optional
        The reference level; the mean of the values when not given.
    hysteresis : float or str, default 0.0
        Reversals from which the load comes back by no more than this are passed over.

    Returns
    -------
    LevelCrossings
        The levels and their crossings.

    Raises
    ------
    TypeError
        Values or parameters of the wrong type.
    ValueError
        Values that are not finite, levels that do not ascend, a negative hysteresis, equal levels over a
        sequence of one value, the mean of no values.
    """
    return LevelCrossings(_tessivo.level_crossings(values, levels, reference, hysteresis))


def range_pairs(values, *, hysteresis=0.0) -> RangePairs:
    """Counts the range pairs of the loads (tessivo-count --count range-pair).

    Of the last three reversals, the older range is a pair once the newer one is at least as large; its two
    reversals then leave the history (the start is no special point, unlike rainflow). The ranges left at the
    end count half each.

    Parameters
    ----------
    values : array_like
        The loads in time order, as for tessivo.count.
    hysteresis : float or str, default 0.0
        Reversals from which the load comes back by no more than this are passed over.

    Returns
    -------
    RangePairs
        The pairs gathered by their loads.

    Raises
    ------
    TypeError
        Values or a hysteresis of the wrong type.
    ValueError
        Values that are not finite, a negative hysteresis.
    """
    return RangePairs(_tessivo.range_pairs(values, hysteresis))


def time_at_level(values, *, edges=32, interval=None) -> TimeAtLevel:
    """The time the loads spend in each class (tessivo-count --count time-at-level).

    Parameters
    ----------
    values : array_like
        The loads in time order, as for tessivo.count.
    edges : int or sequence of float, default 32
        That many equal classes from the lowest to the highest value, or the classes' edges, at least 2,
        strictly ascending (tessivo-count --levels, --level-edges).
    interval : float or str, optional
        The seconds each value stands for (the sampling interval); without it the time is the number of values.

    Returns
    -------
    TimeAtLevel
        The classes and their times.

    Raises
    ------
    TypeError
        Values or parameters of the wrong type.
    ValueError
        Values that are not finite, edges that do not ascend, an interval that is not positive, equal classes
        over a sequence of one value.
    """
    return TimeAtLevel(_tessivo.time_at_level(values, edges, interval))
