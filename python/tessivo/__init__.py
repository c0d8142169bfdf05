"""Rainflow counting with Tessivo's engine, for numpy arrays.

``count`` counts the load cycles of a load sequence exactly as the command-line
tool ``tessivo-count`` counts the same values read from a sequence file: the
same parameters, the same checks, the same cycles to the last bit.
"""

from __future__ import annotations

from . import _tessivo

__all__ = ["count", "read_sequence", "CountResult", "MatrixAppliedWarning", "MATRIX_THRESHOLD", "MAX_CYCLES"]

MATRIX_THRESHOLD = _tessivo.MATRIX_THRESHOLD
MAX_CYCLES = _tessivo.MAX_CYCLES


class MatrixAppliedWarning(UserWarning):
    """A count of MATRIX_THRESHOLD values or more was made in load bins (result 769)."""


class CountResult:
    """The result of a count: the spectrum characteristics and the cycles.

    Attributes:
        sequence_length: the number of values counted.
        highest_peak, lowest_trough: the extremes of the values as given
            (numpy.longdouble), None for an empty sequence.
        result: the engine's result code: 0 normal, 2 when the cycle table
            of MAX_CYCLES entries was full (the count went on into its last
            entry), 769 when the count switched to load bins.
        range, upper, lower: the cycles' load range, maximum and minimum load
            (numpy.longdouble arrays: the engine's extended precision; class
            edges when counted in load bins; divided by the highest peak when
            normalized), ordered by descending range, then descending upper load.
        count: how many cycles with exactly these loads (int64 array).
        cumulative: the running total of count from the largest range down.
    """

    __slots__ = ("sequence_length", "highest_peak", "lowest_trough", "result",
                 "range", "upper", "lower", "count", "cumulative")

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
        """The cycles as a pandas.DataFrame with the columns range, upper,
        lower, count and cumulative (needs pandas)."""
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
          unlimited=False) -> CountResult:
    """Counts the load cycles of a load sequence by the rainflow method.

    Parameters:
        values: the loads in time order: a one-dimensional numpy array of
            floats (float16 to longdouble) or integers, of any stride (read in
            place, not copied), or any sequence of numbers. Every value must be
            finite. Each is rounded to 15 significant digits before counting,
            as a sequence file's values are. An empty sequence gives the empty
            result: length 0, no cycles.
        filter: the filter size (hysteresis band), 0 or more and smaller than
            the highest minus the lowest value: reversals from which the load
            moves back by no more than this are absorbed. A string is read as
            tessivo-count reads --filter ("0.1" is the decimal 0.1 in extended
            precision, where the float 0.1 is the nearest double).
        residue: how the residue left by the four-point rule is counted:
            "decomposition" (counted twice in a row, as tessivo-count's
            default) or "upward" (its upward half cycles as complete cycles).
        bins: None for exact loads, or 32, 64 or 100 to count in that many load
            classes through a from-to matrix (tessivo-count --load-bins
            --bin-count N).
        normalize: divide every load of the cycles by the highest peak (which
            must be above 0).
        unlimited: as tessivo-count --unlimited: exact loads at any length and
            a cycle table without limit. When False (the default, as in
            tessivo-count), a sequence of MATRIX_THRESHOLD (40000) values or
            more without bins is counted in load bins all the same (32 classes
            unless bins says otherwise): the result is then 769 and a
            MatrixAppliedWarning is issued; and a count that finds more than
            MAX_CYCLES (20000) distinct cycles keeps counting into the last
            entry of the table (result 2).

    Returns:
        CountResult.

    Raises:
        TypeError: values that are not numbers (strings, objects, booleans),
            a filter or bins of the wrong type.
        ValueError: values that are not one-dimensional or not finite, a
            parameter outside its range (with tessivo-count's message).
        KeyboardInterrupt: a count interrupted with Ctrl+C (the count runs
            without the GIL and checks for signals every 65536 values).
        OSError: an unlimited table could not write its temporary files.
    """
    result = CountResult(_tessivo.count(values, filter, residue, bins, normalize, unlimited))
    if result.matrix_applied:
        import warnings

        warnings.warn(_tessivo.matrix_applied_notice(32), MatrixAppliedWarning, stacklevel=2)
    return result


def read_sequence(path) -> "numpy.ndarray":
    """The values of a sequence file (plain text of numbers, as tessivo-count
    reads it) as a numpy.longdouble array, each value as parsed (correctly
    rounded to extended precision), so that count(read_sequence(path), ...)
    equals tessivo-count ... path to the last bit.

    Raises:
        ValueError: the file is not a proper sequence file ("Incorrect
            sequence file": no value, or a token that is not a number).
        OSError: the file cannot be opened or read.
    """
    import os

    return _tessivo.read_sequence(os.fsdecode(os.fspath(path)))
