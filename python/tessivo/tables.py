"""Columns of table files (the loads of a simulation's or a measurement's
output: a line of names, perhaps units, several columns; plain or gzip) read
as tessivo-count --column reads them."""

from __future__ import annotations

import json
import os

from . import _tessivo

__all__ = ["read_table", "table_layout"]


def table_layout(path, *, delimiter=None, decimal=None):
    """What read_table and tessivo-count --column detect in a table file.

    The layout is given as tessivo-count --show-layout lists it.

    Parameters
    ----------
    path : str or os.PathLike
        The table file.
    delimiter : None or {"comma", "semicolon", "tab", "blanks"}, default None
        Sets what is detected, as for read_table.
    decimal : None or {".", ","}, default None
        Sets what is detected, as for read_table.

    Returns
    -------
    dict
        "delimiter" ("comma", "semicolon", "tab" or "blanks"), "decimal" ("." or ","), "names_line" and
        "units_line" (1-based, None when there is none), "first_row" (the 1-based line of the first row) and
        "columns": one dict per column with "name" (its label, as read_table's keys), "unit" and "numbers"
        (whether it holds numbers).

    Raises
    ------
    ValueError
        For a file that is no table.
    OSError
        When it cannot be read.
    """
    found = json.loads(_tessivo.table_layout(os.fsdecode(os.fspath(path)), delimiter, decimal))
    return {"delimiter": found["delimiter"], "decimal": found["decimal"], "names_line": found["namesLine"] or None,
            "units_line": found["unitsLine"] or None, "first_row": found["firstRow"], "columns": found["columns"]}


def read_table(path, columns=None, *, delimiter=None, decimal=None, skip_empty=False, frame=False):
    """The values of columns of a table file as numpy.longdouble arrays.

    Each value is as parsed (correctly rounded to extended precision), so that count(read_table(path,
    "RootMyc1")) equals tessivo-count --column RootMyc1 path to the last bit.

    Parameters
    ----------
    path : str or os.PathLike
        The table file. Its delimiter (tab, semicolon, comma or runs of blanks), decimal separator, line of
        names and of units are detected as tessivo-count detects them (--show-layout shows what was detected);
        below the first row of numbers every line is a row, an end (END, Ctrl-Z, delimiters only at the end, a
        footer after a blank line) or an error.
    columns : None, int, str or sequence of int or str, default None
        One column: its array is returned; a list of them: a dict of arrays by column label, in the order
        given; None: every column of numbers, as a dict. A column is a 1-based number (an int or a string of
        digits: always the column at that place), "name:X" (the column named X, also when X is a number) or a
        name (exactly, else the one name that differs only in case). Duplicate names are labelled "Force",
        "Force (2)", ...; a column without a name is "column 3".
    delimiter : None or {"comma", "semicolon", "tab", "blanks"}, default None
        "comma", "semicolon", "tab" or "blanks" instead of the one detected (--delimiter).
    decimal : None or {".", ","}, default None
        "." or "," instead of the one detected (--decimal-point, --decimal-comma).
    skip_empty : bool, default False
        Pass over empty cells (--skip-empty); else they are errors. Columns may then differ in length.
    frame : bool, default False
        Return a pandas.DataFrame instead of a dict (needs pandas).

    Returns
    -------
    numpy.ndarray, dict of str to numpy.ndarray or pandas.DataFrame
        The array of one column; else a dict of arrays by column label (a pandas.DataFrame with frame).

    Raises
    ------
    ValueError
        A column that the table does not have (the message lists those it has), a line below the first row
        that is no row (naming the line and column), a file that holds no table of numbers, a layout that
        reads two ways (the message names both and the argument that chooses).
    OSError
        The file cannot be opened or read.
    """
    single = columns is not None and (isinstance(columns, (str, int)) and not isinstance(columns, bool))
    wanted = None if columns is None else [columns] if single else list(columns)
    if wanted is not None:
        for c in wanted:
            if isinstance(c, bool) or not isinstance(c, (str, int)):
                raise TypeError(f"a column is a name or a 1-based number, not {type(c).__name__}")
        wanted = [str(c) for c in wanted]
    names, _units, arrays, _skipped = _tessivo.read_table(os.fsdecode(os.fspath(path)), wanted, delimiter, decimal,
                                                          bool(skip_empty))
    if single and not frame:
        return arrays[0]
    table = dict(zip(names, arrays))
    if frame:
        import pandas

        return pandas.DataFrame(table)
    return table
