"""The fatigue functions against tessivo-count's JSON "fatigue" section: the
same settings, spelt as its options, give the same numbers to the last bit,
and the settings it refuses raise ValueError with its message."""

import json
import subprocess

import numpy as np
import pytest

import tessivo
from conftest import COUNT_BINARY, EXAMPLES

# tessivo-count's fatigue options; the module takes each as a keyword with
# "_" for "-" (--sn-curve is the curve, --del the exponents), values as text.
CASES = [
    ["--sn-curve", "m=5,S=100,N=2e6,knee=haibach,Ncut=1e8", "--del", "3,5", "--duration", "600"],
    ["--sn-curve", "preset:EC3-71", "--sn-measure", "amplitude", "--mean-stress", "swt"],
    ["--sn-curve", "m=3,S=71,N=2e6,Nknee=5e6,m2=5", "--mean-stress", "fkm", "--fkm-m", "0.3", "--del", "4",
     "--del-frequency", "2", "--duration", "100"],
    ["--sn-curve", "m=4,logA=13.1", "--mean-stress", "goodman", "--ultimate", "900", "--del-cycles", "2e6",
     "--del", "3,4.5"],
    ["--del", "3,10", "--mean-stress", "walker", "--walker-gamma", "0.5", "--del-cycles", "1e6"],
    ["--sn-curve", "preset:DNV-D-CP", "--thickness", "40", "--dff", "3", "--gamma-mf", "1.15", "--del", "3,curve",
     "--stress-factor", "2.5", "--scf", "1.2"],
    ["--sn-curve", "preset:EC3-71", "--gamma-ff", "1.1", "--size-factor", "0.9", "--dff", "1e9", "--del", "curve"],
    ["--sn-curve", "preset:IIW-FAT71", "--compressive-share", "0.6", "--del", "3"],
    # Refused, with the message of tessivo-count.
    ["--sn-curve", "m=3,S=100"],
    ["--sn-curve", "m=3,logA=12,S=100,N=2e6"],
    ["--sn-curve", "preset:EC3-72"],
    ["--sn-curve", "m=3,logA=12", "--mean-stress", "gerber"],
    ["--sn-curve", "m=3,logA=12", "--mean-stress", "morrow", "--fatigue-strength-coefficient", "-5"],
    ["--del", "0"],
    ["--sn-curve", "m=3,S=71,N=2e6,Nknee=1e6,knee=cutoff"],
    ["--sn-curve", "m=5000,S=0.01,N=1"],
    ["--sn-curve", "m=3,logA=12", "--mean-stress", "goodman", "--ultimate", "1"],
    ["--sn-curve", "m=3,S=71,N=2e6,Nknee=5e6,m2=5", "--sn-measure", "amplitude", "--mean-stress", "swt"],
]


def keywords(options):
    """The module's keywords for tessivo-count's options."""
    names = {"--sn-curve": "curve", "--del": "del_"}
    given = {names.get(o, o[2:].replace("-", "_")): v for o, v in zip(options[::2], options[1::2])}
    if "del_" in given:
        given["del_"] = given["del_"].split(",")
    return given


def cli_fatigue(options, path):
    done = subprocess.run([COUNT_BINARY, "--format", "json", *options, str(path)], capture_output=True, text=True)
    if done.returncode != 0:
        return done.stderr.splitlines()[0].removeprefix("tessivo-count: ")
    return json.loads(done.stdout, parse_float=np.longdouble)["fatigue"]


def loads(values):
    return np.array([np.inf if v is None else v for v in values], dtype=np.longdouble)


@pytest.mark.parametrize("options", CASES, ids=" ".join)
def test_fatigue_equals_tessivo_count(options):
    if not COUNT_BINARY:
        pytest.skip("TESSIVO_COUNT names no tessivo-count binary")
    path = EXAMPLES / "random_walk.txt"
    want = cli_fatigue(options, path)
    cycles = tessivo.count(tessivo.read_sequence(path))
    given = keywords(options)
    curve = given.pop("curve", None)

    def evaluate():
        if curve is None:
            exponents = given.pop("del_")
            values = tessivo.del_(cycles, exponents, **given)
            return tessivo.damage(cycles, "m=1,logA=1", del_=exponents, **given), values
        return tessivo.damage(cycles, curve, **given), None

    if isinstance(want, str):
        with pytest.raises(ValueError) as refused:
            evaluate()
        assert str(refused.value) == want
        return
    got, values = evaluate()
    np.testing.assert_array_equal(got.load, loads(row["load"] for row in want["rows"]))
    assert list(got.del_.items()) == [(d["m"], d["value"]) for d in want["del"]]
    assert got.equivalent_cycles == want["equivalentCycles"]
    if values is not None:
        assert list(values.values()) == [d["value"] for d in want["del"]]
    if curve is not None:
        assert (got.damage, got.life, got.life_hours) == (want["damage"], want["life"], want.get("lifeHours"))
        np.testing.assert_array_equal(got.allowed, loads(row["allowed"] for row in want["rows"]))
        np.testing.assert_array_equal(got.row_damage, loads(row["damage"] for row in want["rows"]))
        if "check" in want:
            assert (got.design_damage, got.utilisation, got.check) == (want["designDamage"], want["utilisation"],
                                                                         want["check"])
        if "curveDel" in want:
            assert got.curve_del == want["curveDel"]


@pytest.mark.parametrize("kind, bins", [("range-mean", 32), ("from-to", 7)])
def test_rainflow_matrix_equals_tessivo_count_matrix(kind, bins):
    if not COUNT_BINARY:
        pytest.skip("TESSIVO_COUNT names no tessivo-count binary")
    path = EXAMPLES / "block_sequence.txt"
    done = subprocess.run([COUNT_BINARY, "--matrix", kind, "--matrix-bins", str(bins), str(path)],
                          capture_output=True, text=True, check=True)
    want = {tuple(np.longdouble(v) for v in line.split(",")[:4]): np.longdouble(line.split(",")[4])
            for line in done.stdout.splitlines()[1:]}
    rows, columns, counts = tessivo.rainflow_matrix(tessivo.count(tessivo.read_sequence(path)), kind, bins)
    assert counts.shape == (bins, bins)
    got = {(rows[r], rows[r + 1], columns[c], columns[c + 1]): counts[r, c]
           for r, c in zip(*np.nonzero(counts))}
    assert got == want


TABLE_REFUSALS = [
    ({"count": [1.0, -1.0]}, "The cycle in row 2 has the count -1; a count must be a finite number, 0 or more"),
    ({"count": [np.nan, 1.0]}, "The cycle in row 1 has the count nan; a count must be a finite number, 0 or more"),
    ({"range": [10.0, 12.0]},
     "The cycle in row 2 (from 0 to 8) has the range 12; a range must be upper minus lower, 8"),
    ({"upper": [10.0, np.inf], "range": [10.0, np.inf]},
     "The cycle in row 2 has loads that are not finite numbers (range inf, upper inf, lower 0)"),
]


@pytest.mark.parametrize("change, message", TABLE_REFUSALS, ids=[m for _, m in TABLE_REFUSALS])
def test_damage_refuses_tables_no_count_gives(change, message):
    pandas = pytest.importorskip("pandas")
    table = {"range": [10.0, 8.0], "upper": [10.0, 8.0], "lower": [0.0, 0.0], "count": [1.0, 0.5]}
    table.update(change)
    with pytest.raises(ValueError) as refused:
        tessivo.damage(pandas.DataFrame(table), "m=3,logA=12")
    assert str(refused.value) == message
