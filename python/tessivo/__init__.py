"""Rainflow counting with Tessivo's engine, for numpy arrays.

``count`` counts the load cycles of a load sequence exactly as the command-line
tool ``tessivo-count`` counts the same values read from a sequence file: the
same parameters, the same checks, the same cycles to the last bit.
"""

from __future__ import annotations

from . import _tessivo
from .fatigue import FatigueResult, SNCurve, damage, del_, rainflow_matrix, sn_presets
from .tables import read_table

__version__: str = _tessivo.__version__

__all__ = ["count", "read_sequence", "count_partial", "extent", "merge", "Counter", "PartialCount", "PartialCountError", "CountResult", "MatrixAppliedWarning", "MATRIX_THRESHOLD", "MAX_CYCLES",
           "RESIDUE_METHODS", "MEAN_STRESS_METHODS", "MEASURES", "MATRIX_KINDS", "BIN_COUNTS", "SN_PRESETS",
           "SNCurve", "sn_presets", "FatigueResult", "damage", "del_", "rainflow_matrix", "read_table"]

MATRIX_THRESHOLD = _tessivo.MATRIX_THRESHOLD
MAX_CYCLES = _tessivo.MAX_CYCLES
# The names of the engine's choices, as every front end takes them.
RESIDUE_METHODS = _tessivo.RESIDUE_METHODS
MEAN_STRESS_METHODS = _tessivo.MEAN_STRESS_METHODS
MEASURES = _tessivo.MEASURES
MATRIX_KINDS = _tessivo.MATRIX_KINDS
BIN_COUNTS = _tessivo.BIN_COUNTS
SN_PRESETS = _tessivo.SN_PRESETS
PartialCountError = _tessivo.PartialCountError


class MatrixAppliedWarning(UserWarning):
    """A count of MATRIX_THRESHOLD values or more was made in load bins (result 769)."""


class CountResult:
    """The result of a count: the spectrum characteristics and the cycles.

    Attributes
    ----------
    sequence_length : int
        The number of values counted.
    highest_peak, lowest_trough : numpy.longdouble or None
        The extremes of the values as given (numpy.longdouble), None for an empty sequence.
    result : int
        The engine's result code: 0 normal, 2 when the cycle table of MAX_CYCLES entries was full (the count
        went on into its last entry), 769 when the count switched to load bins.
    range, upper, lower : numpy.ndarray of numpy.longdouble
        The cycles' load range, maximum and minimum load (numpy.longdouble arrays: the engine's extended
        precision; class edges when counted in load bins; divided by the highest peak when normalized), ordered
        by descending range, then descending upper load.
    count : numpy.ndarray of int64 or float64
        How many cycles with exactly these loads (int64 array; float64 in steps of 0.5 with residue="half").
    cumulative : numpy.ndarray of int64 or float64
        The running total of count from the largest range down (of count's type).
    normalized : bool
        True when counted with normalize=True: the loads are divided by the highest peak, and damage() and
        del_() refuse them.
    """

    __slots__ = ("sequence_length", "highest_peak", "lowest_trough", "result",
                 "range", "upper", "lower", "count", "cumulative", "normalized")

    def __init__(self, fields: dict):
        for name in self.__slots__:
            setattr(self, name, fields[name])

    @property
    def matrix_applied(self) -> bool:
        """True when the count switched to load bins (result 769)."""
        return self.result == _tessivo.MATRIX_APPLIED

    @property
    def table_full(self) -> bool:
        """True when the fixed cycle table overflowed (result 2)."""
        return self.result == _tessivo.TABLE_FULL

    def __len__(self) -> int:
        return len(self.count)

    def to_pandas(self):
        """The cycles as a pandas.DataFrame.

        Needs pandas.

        Returns
        -------
        pandas.DataFrame
            The columns range, upper, lower, count and cumulative.
        """
        import pandas

        return pandas.DataFrame({name: getattr(self, name)
                                 for name in ("range", "upper", "lower", "count", "cumulative")})

    def __repr__(self) -> str:
        def load(v):
            return "None" if v is None else repr(float(v)) if float(v) == v else str(v)

        head = (f"CountResult(sequence_length={self.sequence_length}, "
                f"highest_peak={load(self.highest_peak)}, lowest_trough={load(self.lowest_trough)}, "
                f"result={self.result}, cycles={len(self)})")
        shown = min(len(self), 10)
        if shown == 0:
            return head
        rows = [("range", "upper", "lower", "count", "cumulative")]
        rows += [(load(self.range[i]), load(self.upper[i]), load(self.lower[i]),
                  str(self.count[i]), str(self.cumulative[i])) for i in range(shown)]
        widths = [max(len(r[c]) for r in rows) for c in range(5)]
        lines = ["  " + "  ".join(cell.rjust(w) for cell, w in zip(r, widths)) for r in rows]
        if shown < len(self):
            lines.append(f"  ... {len(self) - shown} more")
        return head + "\n" + "\n".join(lines)


def count(values, *, filter=0.0, residue="decomposition", bins=None, normalize=False,
          unlimited=False, read_ahead=True) -> CountResult:
    """Counts the load cycles of a load sequence by the rainflow method.

    Parameters
    ----------
    values : array_like
        The loads in time order: a one-dimensional numpy array of floats (float16 to longdouble) or integers,
        of any stride (read in place, not copied), or any sequence of numbers. Every value must be finite. Each
        is rounded to 15 significant digits before counting, as a sequence file's values are. An empty sequence
        gives the empty result: length 0, no cycles.
    filter : float or str, default 0.0
        The filter size (hysteresis band), 0 or more and smaller than the highest minus the lowest value:
        reversals from which the load moves back by no more than this are absorbed. A string is read as
        tessivo-count reads --filter ("0.1" is the decimal 0.1 in extended precision, where the float 0.1 is
        the nearest double).
    residue : {"decomposition", "upward", "half"}, default "decomposition"
        How the residue left by the four-point rule is counted: "decomposition" (counted twice in a row, as
        tessivo-count's default), "upward" (its upward half cycles as complete cycles) or "half" (every half
        cycle of the residue counts 0.5; count and cumulative are then floats in steps of 0.5).
    bins : None, int or sequence of float, default None
        None for exact loads, or 32, 64 or 100 to count in that many load classes through a from-to matrix
        (tessivo-count --load-bins --bin-count N), or the classes' edges: a sequence of at least two finite
        numbers, strictly ascending, at most 257, holding every value between the first and the last
        (ValueError otherwise). Class k runs from edge k-1 to edge k, an inner edge belongs to the class above
        it; the cycles' loads are then edges. The same edges for every recording give spectra that add up cell
        by cell.
    normalize : bool, default False
        Divide every load of the cycles by the highest peak (which must be above 0).
    unlimited : bool, default False
        As tessivo-count --unlimited: exact loads at any length and a cycle table without limit. When False
        (the default, as in tessivo-count), a sequence of MATRIX_THRESHOLD (40000) values or more without bins
        is counted in load bins all the same (32 classes unless bins says otherwise): the result is then 769
        and a MatrixAppliedWarning is issued; and a count that finds more than MAX_CYCLES (20000) distinct
        cycles keeps counting into the last entry of the table (result 2).
    read_ahead : bool, default True
        Round the values on a second thread (from 65536 values on, on a machine of more than one core); False
        where every core already counts, as on the workers of a Dask cluster.

    Returns
    -------
    CountResult
        The spectrum characteristics and the cycles.

    Raises
    ------
    TypeError
        Values that are not numbers (strings, objects, booleans), a filter or bins of the wrong type.
    ValueError
        Values that are not one-dimensional or not finite, a parameter outside its range (with
        tessivo-count's message).
    KeyboardInterrupt
        A count interrupted with Ctrl+C (the count runs without the GIL and checks for signals every 65536
        values).
    OSError
        An unlimited table could not write its temporary files.

    Warns
    -----
    MatrixAppliedWarning
        When a sequence of MATRIX_THRESHOLD values or more without bins is counted in load bins all the same
        (result 769; see unlimited).
    """
    result = CountResult(_tessivo.count(values, filter, residue, bins, normalize, unlimited, read_ahead))
    if result.matrix_applied:
        import warnings

        warnings.warn(_tessivo.matrix_applied_notice(32), MatrixAppliedWarning, stacklevel=2)
    return result


def read_sequence(path) -> "numpy.ndarray":
    """The values of a sequence file as a numpy.longdouble array.

    A sequence file is plain text of numbers, as tessivo-count reads it. Each value is as parsed (correctly
    rounded to extended precision), so that count(read_sequence(path), ...) equals tessivo-count ... path to
    the last bit.

    Parameters
    ----------
    path : str or os.PathLike
        The sequence file.

    Returns
    -------
    numpy.ndarray of numpy.longdouble
        The values of the file, in order.

    Raises
    ------
    ValueError
        The file is not a proper sequence file ("Incorrect sequence file": no value, or a token that is not a
        number).
    OSError
        The file cannot be opened or read.
    """
    import os

    return _tessivo.read_sequence(os.fsdecode(os.fspath(path)))


class PartialCount:
    """The count of one piece (or of consecutive pieces) of a load sequence.

    Made by count_partial() or Counter.partial(); merge() joins the counts of
    consecutive pieces in order, and result() finishes them: the result equals
    count() of all their values, to the last bit. Partial counts pickle (the
    engine's binary form), so they travel to and from Dask workers and
    multiprocessing pools.
    """

    __slots__ = ("_count",)

    def __init__(self, engine_count):
        self._count = engine_count

    @property
    def length(self) -> int:
        """The number of values counted."""
        return self._count.length

    @property
    def pieces(self) -> tuple:
        """The numbers of the first and the last piece this count covers.

        Each is None where that piece has no number.
        """
        return (self._count.first_piece, self._count.last_piece)

    def result(self, *, normalize=False) -> CountResult:
        """The count of the sequence these pieces form.

        The pieces must start at piece 1 or at a piece without a number.

        Parameters
        ----------
        normalize : bool, default False
            As for count().

        Returns
        -------
        CountResult
            The count of the sequence.

        Raises
        ------
        PartialCountError
            For pieces that do not start the sequence.
        ValueError
            Where count() would.
        """
        return CountResult(self._count.result(normalize))

    def __getstate__(self):
        return self._count.__getstate__()

    def __setstate__(self, state):
        self._count = _tessivo.PartialCount.__new__(_tessivo.PartialCount)
        self._count.__setstate__(state)

    def __repr__(self) -> str:
        first, last = ("?" if p is None else p for p in self.pieces)
        return f"PartialCount(pieces={first}..{last}, length={self.length})"


def count_partial(values, *, piece=None, filter=0.0, residue="decomposition", bins=None,
                  unlimited=False, extremes=None, read_ahead=True) -> PartialCount:
    """Counts one piece of a load sequence cut into consecutive pieces.

    Parameters
    ----------
    values : array_like
        The piece's loads, as for count().
    piece : None or int, default None
        Its position in the sequence: 1 for the first piece, 2 for the one after it, and so on (merge() checks
        that numbered pieces follow on); None (no number): merge() takes it where it is given.
    filter : float or str, default 0.0
        As for count(); every piece of a sequence must have the same.
    residue : {"decomposition", "upward", "half"}, default "decomposition"
        As for count(); every piece of a sequence must have the same.
    bins : None, int or sequence of float, default None
        As for count(); every piece of a sequence must have the same.
    unlimited : bool, default False
        As for count(); every piece of a sequence must have the same. (normalize is given to result().)
    extremes : None or tuple of (float or str, float or str), default None
        None, or (lowest, highest) of the whole sequence when they are known beforehand (see extent()) and its
        count ends in load bins (bins given, or MATRIX_THRESHOLD values or more and not unlimited): the piece
        then counts straight into the load classes and its partial count stays small, whatever the piece's
        length. Every piece must be given the same; result() raises PartialCountError when the sequence spans
        other extremes.
    read_ahead : bool, default True
        As for count().

    Returns
    -------
    PartialCount
        The count of the piece.
    """
    return PartialCount(_tessivo.count_partial(values, piece, filter, residue, bins, unlimited, extremes,
                                               read_ahead))


def extent(values) -> tuple:
    """(length, lowest, highest) of the values as count() finds them.

    Parameters
    ----------
    values : array_like
        The loads, as for count().

    Returns
    -------
    tuple of (int, numpy.longdouble or None, numpy.longdouble or None)
        The length and the extremes as given (numpy.longdouble), None for an empty sequence.

    Raises
    ------
    TypeError, ValueError
        The same checks as count().
    """
    return _tessivo.extent(values)


def merge(partials) -> PartialCount:
    """Joins the partial counts of consecutive pieces, in the order given, into one.

    The inputs stay as they were.

    Parameters
    ----------
    partials : iterable of PartialCount
        The partial counts of consecutive pieces, in order.

    Returns
    -------
    PartialCount
        The joined count.

    Raises
    ------
    PartialCountError
        When the parameters differ, when piece 1 is not first, or when a numbered piece does not follow the
        numbered one before it.
    """
    return PartialCount(_tessivo.merge([p._count for p in partials]))


class Counter:
    """A count fed in blocks: c = Counter(...); c.feed(block); ...; c.result().

    result() can be asked for at any point and the count goes on; it equals count() of all values fed so far.

    Parameters
    ----------
    filter : float or str, default 0.0
        As for count().
    residue : {"decomposition", "upward", "half"}, default "decomposition"
        As for count().
    bins : None, int or sequence of float, default None
        As for count().
    normalize : bool, default False
        As for count().
    unlimited : bool, default False
        As for count().
    """

    __slots__ = ("_partial", "_normalize")

    def __init__(self, *, filter=0.0, residue="decomposition", bins=None, normalize=False, unlimited=False):
        self._partial = count_partial([], piece=1, filter=filter, residue=residue, bins=bins, unlimited=unlimited)
        self._normalize = normalize

    def feed(self, values) -> "Counter":
        """Counts the next values.

        Parameters
        ----------
        values : array_like
            The next loads, as count() takes them.

        Returns
        -------
        Counter
            This counter.
        """
        self._partial._count.feed(values)
        return self

    @property
    def length(self) -> int:
        return self._partial.length

    def partial(self) -> PartialCount:
        """The count so far as piece 1 of a longer sequence (a copy)."""
        return merge([self._partial])

    def result(self) -> CountResult:
        """The count of the values fed so far."""
        return self._partial.result(normalize=self._normalize)


from .positions import cycles  # noqa: E402  (the listing of every cycle with its positions)
from .design_life import LifetimeResult, lifetime, summary  # noqa: E402  (design life, summary rows)

__all__ += ["cycles", "LifetimeResult", "lifetime", "summary"]
from .other_counts import LevelCrossings, RangePairs, TimeAtLevel, level_crossings, range_pairs, time_at_level  # noqa: E402,E501
__all__ += ["level_crossings", "range_pairs", "time_at_level", "LevelCrossings", "RangePairs", "TimeAtLevel"]
