"""read_table against tessivo-count --column: a column read by the module
and counted equals the CLI's count of it to the last bit, and a table the CLI
refuses raises ValueError with its message."""

import gzip
from pathlib import Path
import json
import subprocess
import warnings

import numpy as np
import pytest

import tessivo
from conftest import COUNT_BINARY, EXAMPLES, assert_same_count, cli_arguments, random_walk

NREL = EXAMPLES / "nrel5mw_dlc2.3_loads.out"


def semicolon_gzip_table(folder):
    """Time and a load as a gzip table with decimal commas, names and units."""
    walk = np.round(random_walk(3, 45_000), 3)
    rows = "".join(f"{0.05 * i:.2f};{v:.3f}\n".replace(".", ",") for i, v in enumerate(walk))
    path = folder / "loads.csv.gz"
    path.write_bytes(gzip.compress(("time;load\n(s);(kN)\n" + rows).encode()))
    return path


def bad_cell_table(folder):
    path = folder / "bad.csv"
    path.write_text("a,b\n1.5,2\n3,x\n")
    return path


CASES = [  # (table, column, parameters of count)
    (lambda folder: NREL, "RootMyc1", {}),
    (lambda folder: NREL, 5, {"bins": 64, "filter": "100.5", "residue": "upward"}),
    (semicolon_gzip_table, "LOAD", {}),
    (semicolon_gzip_table, "load", {"unlimited": True}),
    (lambda folder: NREL, "Nope", {}),
    (bad_cell_table, "b", {}),
]


@pytest.mark.parametrize("table, column, parameters", CASES, ids=lambda v: str(v) if not callable(v) else "")
def test_column_counts_as_tessivo_count_column(table, column, parameters, tmp_path):
    if not COUNT_BINARY:
        pytest.skip("TESSIVO_COUNT names no tessivo-count binary")
    path = table(tmp_path)
    done = subprocess.run([COUNT_BINARY, "--format", "json", "--column", str(column), *cli_arguments(**parameters),
                           str(path)], capture_output=True, text=True)
    if done.returncode != 0:
        cli = done.stderr.strip().removeprefix("tessivo-count: ")
    else:
        cli = json.loads(done.stdout, parse_float=np.longdouble)["channels"][0]

    def count():
        with warnings.catch_warnings():
            warnings.simplefilter("ignore", tessivo.MatrixAppliedWarning)
            return tessivo.count(tessivo.read_table(path, column), **parameters)

    assert_same_count(count, cli)


def test_read_table_shapes_and_refusals(tmp_path):
    every = tessivo.read_table(NREL)
    assert list(every) == ["Time", "GenPwr", "RootMxc1", "RootMyc1", "TwrBsMxt", "TwrBsMyt"]
    chosen = tessivo.read_table(NREL, ["twrbsmyt", 2])
    assert list(chosen) == ["TwrBsMyt", "GenPwr"]
    np.testing.assert_array_equal(chosen["GenPwr"], every["GenPwr"])
    assert every["Time"].dtype == np.longdouble and len(every["Time"]) == 1201
    with pytest.raises(ValueError, match="delimiter must be"):
        tessivo.read_table(NREL, delimiter="pipe")
    with pytest.raises(TypeError, match="name or a 1-based number"):
        tessivo.read_table(NREL, [1.5])
    with pytest.raises(FileNotFoundError):
        tessivo.read_table(tmp_path / "missing.csv")


CORPUS = Path(__file__).resolve().parents[1] / "tables" / "corpus"


def corpus_entries():
    """The manifest of the table corpus: (table, column, options, expected)."""
    for line in (CORPUS / "manifest.txt").read_text().splitlines():
        if line and not line.startswith("#"):
            yield tuple(line.split("\t"))


def read_table_options(options):
    """tessivo-count's table options as read_table's arguments."""
    words, kwargs = options.split(), {}
    for i, word in enumerate(words):
        if word == "--decimal-comma":
            kwargs["decimal"] = ","
        elif word == "--decimal-point":
            kwargs["decimal"] = "."
        elif word == "--delimiter":
            kwargs["delimiter"] = words[i + 1]
        elif word == "--skip-empty":
            kwargs["skip_empty"] = True
    return kwargs


@pytest.mark.parametrize("table, column, options, expected", list(corpus_entries()),
                         ids=lambda v: str(v).replace(" ", "_"))
def test_corpus_column_is_its_sequence_or_refused_at_its_place(table, column, options, expected):
    if expected.startswith("refuse"):
        _, line, col = expected.split()
        with pytest.raises(ValueError) as refused:
            tessivo.read_table(CORPUS / table, column, **read_table_options(options))
        place = f": line {line}" if line != "0" else ""
        assert place in str(refused.value)
        if col != "0":
            assert f"{place}, column {col}" in str(refused.value)
        return
    values = tessivo.read_table(CORPUS / table, column, **read_table_options(options))
    written = (CORPUS / expected).read_text().split()
    assert values.dtype == np.longdouble
    assert values.tolist() == [np.longdouble(v) for v in written]


def test_duplicate_names_get_labels_of_their_own():
    table = tessivo.read_table(CORPUS / "duplicate_names.csv")
    assert list(table) == ["t", "Force", "Force (2)"]
    assert table["Force (2)"].tolist() == tessivo.read_table(CORPUS / "duplicate_names.csv", 3).tolist()


def test_table_layout_says_what_read_table_reads():
    from tessivo.tables import table_layout

    layout = table_layout(CORPUS / "short_units_line.csv")
    assert layout["delimiter"] == "semicolon" and layout["decimal"] == "."
    assert (layout["names_line"], layout["units_line"], layout["first_row"]) == (1, 2, 3)
    assert layout["columns"] == [{"name": "t", "unit": "(s)", "numbers": True},
                                 {"name": "F", "unit": "(kN)", "numbers": True},
                                 {"name": "M", "unit": "", "numbers": True}]
    assert table_layout(CORPUS / "no_names.csv")["names_line"] is None
    with pytest.raises(ValueError, match="reads as columns split by commas or as numbers with a decimal comma"):
        table_layout(CORPUS / "one_column_commas_no_names.csv")
    assert table_layout(CORPUS / "one_column_commas_no_names.csv", decimal=",")["decimal"] == ","
