"""The module's side of the table of routes (tests/cli/cli_routes_test.cpp):
for each option of that table, every way the module counts (count() of the
array, partial counts of three pieces pickled and merged, a Counter fed in
blocks, the listing of every cycle) gives what tessivo-count writes for the
same file, to the last bit; and the refusals of the request are the command
line's, as ValueError."""

import json
import pickle
import subprocess
import warnings

import numpy as np
import pytest

import tessivo
from conftest import COUNT_BINARY, EXAMPLES, assert_same_count, cli_arguments

# The options of the table: the count's keywords, and the fatigue part as the
# command line's options with the module's keywords for damage().
OPTIONS = {
    "none": ({}, None),
    "curve with DELs": ({}, (["--sn-curve", "preset:EC3-71", "--del", "3,5"],
                             {"curve": "preset:EC3-71", "del_": ["3", "5"]})),
    "mean-stress method": ({}, (["--sn-curve", "m=3,logA=12", "--mean-stress", "goodman", "--ultimate", "5000"],
                                {"curve": "m=3,logA=12", "mean_stress": "goodman", "ultimate": "5000"})),
    "matrix": ({}, "matrix"),
    "load bins": ({"bins": 64}, None),
    "unlimited": ({"unlimited": True}, None),
    "filter": ({"filter": "2.5"}, None),
    "normalise": ({"normalize": True, "residue": "half"}, None),
}


def values():
    # WISPERX (past the switch to the matrix) after 2 x 5000 of its values, as a file: A, A, B.
    whole = np.array((EXAMPLES / "wisperx.txt").read_text().split(), dtype=np.longdouble)
    return np.concatenate([whole[:5000], whole[:5000], whole])


@pytest.fixture(scope="module")
def sequence(tmp_path_factory):
    data = values()
    path = tmp_path_factory.mktemp("routes") / "AAB.txt"
    original = (EXAMPLES / "wisperx.txt").read_text().split()
    path.write_text("\n".join(original[:5000] * 2 + original) + "\n")
    return data, path


def run_cli(path, *args):
    if not COUNT_BINARY:
        pytest.skip("TESSIVO_COUNT names no tessivo-count binary")
    done = subprocess.run([COUNT_BINARY, *args, str(path)], capture_output=True, text=True)
    assert done.returncode == 0, done.stderr
    return done.stdout


def counted(route, data, parameters):
    """The module's count of the values along one route."""
    with warnings.catch_warnings():
        warnings.simplefilter("ignore", tessivo.MatrixAppliedWarning)
        if route == "count":
            return tessivo.count(data, **parameters)
        counting = {k: v for k, v in parameters.items() if k != "normalize"}
        if route == "pieces":
            cuts = [data[:5000], data[5000:10000], data[10000:]]
            parts = [pickle.loads(pickle.dumps(tessivo.count_partial(p, piece=i + 1, **counting)))
                     for i, p in enumerate(cuts)]
            return tessivo.merge(parts).result(normalize=parameters.get("normalize", False))
        counter = tessivo.Counter(**parameters)
        for start in range(0, len(data), 7919):
            counter.feed(data[start:start + 7919])
        return counter.result()


@pytest.mark.parametrize("route", ["count", "pieces", "counter"])
@pytest.mark.parametrize("option", list(OPTIONS))
def test_every_route_of_the_module_equals_tessivo_count(sequence, route, option):
    data, path = sequence
    parameters, fatigue = OPTIONS[option]
    cli = json.loads(run_cli(path, "--format", "json", *cli_arguments(**parameters)), parse_float=np.longdouble)
    assert_same_count(lambda: counted(route, data, parameters), cli)
    result = counted(route, data, parameters)
    if fatigue == "matrix":
        rows = [line.split(",") for line in run_cli(path, "--matrix", "range-mean", "--matrix-bins", "8",
                                                    *cli_arguments(**parameters)).splitlines()[1:]]
        range_edges, mean_edges, counts = tessivo.rainflow_matrix(result, "range-mean", 8)
        cells = [(range_edges[r], range_edges[r + 1], mean_edges[c], mean_edges[c + 1], counts[r, c])
                 for r in range(counts.shape[0]) for c in range(counts.shape[1]) if counts[r, c] != 0]
        assert len(cells) == len(rows) > 0
        for cell, row in zip(cells, rows):
            assert cell == tuple(np.longdouble(v) for v in row)
    elif fatigue is not None:
        options, keywords = fatigue
        part = json.loads(run_cli(path, "--format", "json", *options, *cli_arguments(**parameters)),
                          parse_float=np.longdouble)["fatigue"]
        evaluated = tessivo.damage(result, **keywords)
        assert evaluated.damage == part["damage"]
        assert [v for v in evaluated.del_.values()] == [d["value"] for d in part["del"]]


@pytest.mark.parametrize("option", ["none", "load bins", "unlimited", "filter", "normalise"])
def test_the_listing_equals_tessivo_count(sequence, option):
    data, path = sequence
    parameters, _ = OPTIONS[option]
    rows = [line.split(",") for line in
            run_cli(path, "--format", "cycles", *cli_arguments(**parameters)).splitlines()[1:]]
    with warnings.catch_warnings():
        warnings.simplefilter("ignore", tessivo.MatrixAppliedWarning)
        listing = tessivo.cycles(data, **parameters)
    assert len(listing["range"]) == len(rows) > 0
    for name, column in (("range", 0), ("upper", 1), ("lower", 2)):
        np.testing.assert_array_equal(listing[name], [np.longdouble(r[column]) for r in rows], err_msg=name)
    np.testing.assert_array_equal(listing["count"], [float(r[3]) for r in rows])
    np.testing.assert_array_equal(listing["start"], [int(r[4]) for r in rows])


WORKED = [0, 6, 1, 5, 2, 4, 3]

REFUSALS = [
    # Fatigue on a normalised count.
    (lambda: tessivo.damage(tessivo.count(WORKED, normalize=True), "preset:EC3-71"),
     "counted with normalize=True"),
    (lambda: tessivo.del_(tessivo.count(WORKED, normalize=True), 3), "counted with normalize=True"),
    (lambda: tessivo.damage(tessivo.merge([tessivo.count_partial(WORKED)]).result(normalize=True), "m=3,logA=12"),
     "counted with normalize=True"),
    # Material values without the method that reads them.
    (lambda: tessivo.damage(tessivo.count(WORKED), "m=3,logA=12", ultimate=500),
     "ultimate is a material value of a mean-stress correction"),
    (lambda: tessivo.damage(tessivo.count(WORKED), "m=3,logA=12", mean_stress="goodman", ultimate=500,
                            walker_gamma=0.5),
     "walker_gamma is not read by mean_stress='goodman', which takes ultimate"),
    # The checks of a count of the joined sequence, on merged pieces.
    (lambda: tessivo.merge([tessivo.count_partial(WORKED[:3], filter=6),
                            tessivo.count_partial(WORKED[3:], piece=2, filter=6)]).result(),
     "Filter size must be smaller than the difference"),
    # Names from the engine's lists.
    (lambda: tessivo.count(WORKED, residue="sideways"), "residue must be 'decomposition', 'upward' or 'half'"),
    (lambda: tessivo.damage(tessivo.count(WORKED), "m=3,logA=12", sn_measure="diameter"),
     "sn_measure must be range or amplitude"),
]


@pytest.mark.parametrize("call, message", REFUSALS, ids=[m for _, m in REFUSALS])
def test_refusals_are_value_errors_naming_the_setting(call, message):
    with pytest.raises(ValueError, match=message):
        call()


def test_a_normalised_result_says_so():
    assert tessivo.count(WORKED, normalize=True).normalized
    assert not tessivo.count(WORKED).normalized
