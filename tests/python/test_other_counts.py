"""tessivo.level_crossings, range_pairs and time_at_level: the module gives
tessivo-count --count's numbers for the same values to the last bit, the
counts of a short sequence worked out by hand, to_pandas(), and the refusals."""

import json
import subprocess

import numpy as np
import pytest

import tessivo
from conftest import COUNT_BINARY, EXAMPLES, random_walk, write_values

# The module's call and the command line's options for the same count.
COUNTS = {
    "level crossings about the mean": (tessivo.level_crossings, {}, ["--count", "level-crossing"]),
    "level crossings, own levels and reference, hysteresis": (
        tessivo.level_crossings, {"levels": ["-20", "0", "12.5", "40"], "reference": "0", "hysteresis": "3"},
        ["--count", "level-crossing", "--level-edges", "-20,0,12.5,40", "--reference-level", "0",
         "--hysteresis", "3"]),
    "range pairs": (tessivo.range_pairs, {}, ["--count", "range-pair"]),
    "range pairs with hysteresis": (tessivo.range_pairs, {"hysteresis": "7.5"},
                                    ["--count", "range-pair", "--hysteresis", "7.5"]),
    "time at level, equal classes": (tessivo.time_at_level, {"edges": 12, "interval": "0.05"},
                                     ["--count", "time-at-level", "--levels", "12", "--interval", "0.05"]),
    "time at level, own edges, in values": (tessivo.time_at_level, {"edges": [-30, 0, 30]},
                                            ["--count", "time-at-level", "--level-edges", "-30,0,30"]),
}


def cli_json(path, args):
    if not COUNT_BINARY:
        pytest.skip("TESSIVO_COUNT names no tessivo-count binary")
    done = subprocess.run([COUNT_BINARY, *args, "--format", "json", str(path)], capture_output=True, text=True)
    assert done.returncode == 0, done.stderr
    return json.loads(done.stdout, parse_float=np.longdouble, parse_int=int)


def rows(cli, result):
    """The command line's rows and the module's columns, by the names each uses."""
    if isinstance(result, tessivo.LevelCrossings):
        return cli["levels"], {"level": "level", "crossings": "crossings"}
    if isinstance(result, tessivo.RangePairs):
        return cli["pairs"], {n: n for n in ("range", "upper", "lower", "count", "cumulative")}
    return cli["classes"], {"lower": "lower", "upper": "upper", "time": "time"}


@pytest.fixture(scope="module", params=["walk", "wisperx"])
def sequence(request, tmp_path_factory):
    if request.param == "wisperx":
        path = EXAMPLES / "wisperx.txt"
        return np.array(path.read_text().split(), dtype=np.longdouble), path
    values = random_walk(24, 3000)
    path = tmp_path_factory.mktemp("other") / "walk.txt"
    write_values(path, values)
    return values, path


@pytest.mark.parametrize("name", list(COUNTS))
def test_module_and_command_line_agree(sequence, name):
    function, keywords, args = COUNTS[name]
    values, path = sequence
    result = function(values, **keywords)
    cli = cli_json(path, args)
    assert cli["count"] == args[1]
    assert result.sequence_length == cli["spectrum"]["sequenceLength"]
    assert result.highest_peak == cli["spectrum"]["highestPeak"]
    assert result.lowest_trough == cli["spectrum"]["lowestTrough"]
    expected, names = rows(cli, result)
    assert len(result) == len(expected)
    for module_name, cli_name in names.items():
        np.testing.assert_array_equal(getattr(result, module_name),
                                      np.array([r[cli_name] for r in expected], dtype=np.longdouble),
                                      err_msg=module_name)
    if isinstance(result, tessivo.LevelCrossings):
        assert result.reference == cli["reference"]
        assert cli["referenceIsMean"] == ("reference" not in keywords)
    if isinstance(result, tessivo.TimeAtLevel):
        assert result.outside == cli["outside"]


def test_short_sequence_counts_as_worked_out_by_hand():
    x = [0, 5, 2, 4, 1, 6]
    # Stretches 0-5, 2-4, 1-6 rise, 5-2 and 4-1 fall; the mean 3 is the reference: 2 is crossed
    # downward by 5-2 and 4-1, 4 upward by all three rises (2-4 ends on it).
    lc = tessivo.level_crossings(x, levels=[2, 4])
    assert lc.reference == 3
    assert list(lc.crossings) == [2, 2 + 1]
    # 0 5 4 5 0: the pair 1 (5, 4), then 0 5 0 the pair 5 (5, 0).
    rp = tessivo.range_pairs(np.array([0, 5, 4, 5, 0], dtype=np.int32))
    assert rp.to_pandas().to_dict("list") == {"range": [5, 1], "upper": [5, 5], "lower": [0, 4],
                                              "count": [1, 1], "cumulative": [1, 2]}
    assert rp.range.dtype == np.longdouble and rp.count.dtype == np.float64
    # [0, 3): 0 1 2; [3, 6]: 5 4 6 - a quarter second each; nothing beyond.
    t = tessivo.time_at_level(x, edges=2, interval=0.25)
    assert list(t.to_pandas().columns) == ["lower", "upper", "time"]
    assert (list(t.lower), list(t.upper), list(t.time), t.outside) == ([0, 3], [3, 6], [0.75, 0.75], 0)
    # Every other value of a strided view: x again, the 99s between left out.
    assert list(tessivo.time_at_level(np.array([[v, 99] for v in x]).ravel()[::2], edges=[0, 3, 6]).time) == [3, 3]


@pytest.mark.parametrize("call, error, message", [
    (lambda: tessivo.level_crossings([1, 2], levels=[2, 1]), ValueError, "The levels must ascend"),
    (lambda: tessivo.level_crossings([1, 2], hysteresis=-1), ValueError, "The hysteresis must be 0 or more"),
    (lambda: tessivo.level_crossings([3, 3], levels=4), ValueError, "Levels need at least 2"),
    (lambda: tessivo.level_crossings([], levels=[0]), ValueError, "the sequence holds none"),
    (lambda: tessivo.level_crossings([1, 2], levels="4"), TypeError, "levels must be"),
    (lambda: tessivo.range_pairs([1, float("nan")]), ValueError, "values must be finite"),
    (lambda: tessivo.time_at_level([1, 2], edges=[1]), ValueError, "2 edges or more"),
    (lambda: tessivo.time_at_level([1, 2], edges=[0, 3], interval=0), ValueError, "sampling interval"),
    (lambda: tessivo.time_at_level([1, 2], edges=0), ValueError, "from 1 to 100000"),
])
def test_refusals_name_the_parameter(call, error, message):
    with pytest.raises(error, match=message):
        call()
