"""tessivo.count against the built tessivo-count: the same values and
parameters give the same numbers to the last bit."""

import pickle
import signal
import threading
import time
import warnings

import numpy as np
import pytest

import tessivo
from conftest import EXAMPLES, assert_same_count, random_walk, run_cli, write_values

PARAMETER_SETS = [
    {},
    {"residue": "upward"},
    {"residue": "half", "filter": 1.0},
    {"bins": 32, "residue": "half"},
    {"filter": 2.5, "normalize": True},
    {"bins": 32},
    {"bins": 64, "residue": "upward", "filter": 1.0},
    {"bins": 100, "normalize": True},
    {"unlimited": True, "filter": "0.1"},
    {"bins": ["-1e6", "-3.5", "0", "2.25", 7.1, "1e6"], "normalize": True},
]


def example_values(name):
    # Read as tessivo-count reads the file: each decimal correctly rounded to extended precision.
    return np.array((EXAMPLES / name).read_text().split(), dtype=np.longdouble)


@pytest.mark.parametrize("name", ["worked_example.txt", "astm_e1049_example.txt", "block_sequence.txt",
                                  "random_walk.txt", "wisperx.txt"])
@pytest.mark.parametrize("parameters", PARAMETER_SETS, ids=repr)
def test_examples_equal_tessivo_count(name, parameters):
    values = example_values(name)
    if parameters.get("normalize") and values.max() <= 0:
        pytest.skip("normalizing needs a positive peak")
    assert_same_count(lambda: tessivo.count(values, **parameters), run_cli(EXAMPLES / name, **parameters))


def random_parameters(rng, values):
    span = float(values.max() - values.min())
    return {
        "filter": float(rng.choice([0.0, span * rng.uniform(0.0, 0.05)])),
        "residue": str(rng.choice(["decomposition", "upward", "half"])),
        "bins": [None, 32, 64, 100][rng.integers(4)],
        "normalize": bool(values.max() > 0 and rng.integers(2)),
        "unlimited": bool(rng.integers(2)),
    }


@pytest.mark.parametrize("seed", range(12))
def test_random_walks_equal_tessivo_count_in_every_layout(seed, tmp_path):
    rng = np.random.default_rng(seed)
    n = int(rng.choice([1, 2, 7, 500, 39999, 40000, 60000]))
    walk = random_walk(seed, n, step=float(rng.choice([0.01, 10.0, 1e6])))
    parameters = random_parameters(rng, walk)
    write_values(tmp_path / "walk.txt", walk)
    cli = run_cli(tmp_path / "walk.txt", **parameters)
    with warnings.catch_warnings():
        warnings.simplefilter("ignore", tessivo.MatrixAppliedWarning)
        assert_same_count(lambda: tessivo.count(walk, **parameters), cli)
        # The same values through a view with a stride and from a list.
        spaced = np.zeros(3 * n)
        spaced[::3] = walk
        assert_same_count(lambda: tessivo.count(spaced[::3], **parameters), cli)
        backwards = walk[::-1].copy()
        assert backwards[::-1].strides[0] < 0
        assert_same_count(lambda: tessivo.count(backwards[::-1], **parameters), cli)
        if n < 1000:
            assert_same_count(lambda: tessivo.count(walk.tolist(), **parameters), cli)


@pytest.mark.parametrize("dtype", [np.float32, np.int8, np.int16, np.int32, np.int64, np.uint16, np.uint64,
                                   np.dtype(">f8"), np.float16])
def test_every_element_type_equals_tessivo_count(dtype, tmp_path):
    rng = np.random.default_rng(7)
    values = rng.integers(0, 120, 3000).astype(dtype)
    if np.dtype(dtype).kind == "f":
        values = (values / np.asarray(8, dtype=dtype)).astype(dtype)  # fractions exact in every float
    write_values(tmp_path / "v.txt", values)
    for parameters in ({}, {"bins": 64, "normalize": True}):
        assert_same_count(lambda: tessivo.count(values, **parameters), run_cli(tmp_path / "v.txt", **parameters))


def test_long_sequence_switches_to_load_bins_with_a_warning():
    walk = random_walk(3, tessivo.MATRIX_THRESHOLD)
    with pytest.warns(tessivo.MatrixAppliedWarning, match=r"Markov matrix \(32x32\)"):
        switched = tessivo.count(walk)
    assert switched.matrix_applied and switched.result == 769
    with warnings.catch_warnings():
        warnings.simplefilter("error")
        exact = tessivo.count(walk, unlimited=True)
        binned = tessivo.count(walk, bins=32)
    assert exact.result == 0 and len(exact) > len(switched)
    np.testing.assert_array_equal(binned.range, switched.range)
    np.testing.assert_array_equal(binned.count, switched.count)


def test_empty_sequence_gives_the_empty_result():
    for empty in ([], np.array([], dtype=np.float32), ()):
        result = tessivo.count(empty)
        assert (result.sequence_length, result.highest_peak, result.lowest_trough, result.result) == (0, None, None, 0)
        assert len(result.range) == len(result.cumulative) == 0
    with pytest.raises(ValueError, match="Filter size must be equal to or larger than zero"):
        tessivo.count([], filter=-1)


BAD_INPUTS = [
    ([[0, 5], [2, 4]], {}, ValueError, r"one-dimensional, not an array of shape \(2, 2\)"),
    (np.float64(3.0), {}, ValueError, "one-dimensional"),
    ([0.0, 5.0, float("nan"), 1.0], {}, ValueError, r"finite: values\[2\] is nan"),
    (np.array([0.0, np.inf]), {}, ValueError, r"finite: values\[1\] is inf"),
    (np.array([0.0, -np.inf], dtype=np.float32)[::-1], {}, ValueError, r"values\[0\] is -inf"),
    ([1, None, 3], {}, TypeError, "not object"),
    (np.array([1, 2], dtype=object), {}, TypeError, "not object"),
    (["1", "2"], {}, TypeError, "must hold numbers"),
    ("0 5 2", {}, TypeError, "not str"),
    (np.array([True, False]), {}, TypeError, "not bool"),
    (np.array([1 + 2j]), {}, TypeError, "not complex128"),
    ([0, 5, 2, 4, 1, 6], {"filtr": 1}, TypeError, "unexpected keyword argument 'filtr'"),
    ([0, 5, 2, 4, 1, 6], {"residue": "halves"}, ValueError, "'decomposition', 'upward' or 'half'"),
    ([0, 5, 2, 4, 1, 6], {"bins": 50}, ValueError, "None, 32, 64 or 100"),
    ([0, 5, 2, 4, 1, 6], {"bins": "32"}, TypeError, "None, 32, 64, 100 or a sequence of class edges"),
    ([0, 5, 2, 4, 1, 6], {"bins": [0, 6, 3]}, ValueError, "must rise strictly"),
    ([0, 5, 2, 4, 1, 6], {"bins": [0]}, ValueError, "at least two edges"),
    ([0, 5, 2, 4, 1, 6], {"bins": [0, 5.5]}, ValueError, "loads run from 0.000 to 6.000, beyond the class edges"),
    ([0, 5, 2, 4, 1, 6], {"filter": -0.5}, ValueError, "Filter size must be equal to or larger than zero"),
    ([0, 5, 2, 4, 1, 6], {"filter": 6}, ValueError, "Filter size must be smaller than the difference"),
    ([0, 5, 2, 4, 1, 6], {"filter": "1,5"}, ValueError, "with '.' as decimal point"),
    ([0, 5, 2, 4, 1, 6], {"filter": float("nan")}, ValueError, "filter must be finite"),
    ([0, 5, 2, 4, 1, 6], {"filter": None}, TypeError, "filter must be a number"),
    ([-1, -5, -2], {"normalize": True}, ValueError, "All loads below zero"),
]


@pytest.mark.parametrize("values, keywords, error, message", BAD_INPUTS, ids=lambda c: repr(c)[:40])
def test_bad_input_raises_a_clear_python_error(values, keywords, error, message):
    with pytest.raises(error, match=message):
        tessivo.count(values, **keywords)


def test_results_read_as_python_objects():
    result = tessivo.count([0, 5, 2, 4, 1, 6])
    text = repr(result)
    assert "sequence_length=6" in text and "cycles=3" in text
    assert [float(r) for r in result.range] == [6.0, 4.0, 2.0]
    pandas = pytest.importorskip("pandas")
    frame = result.to_pandas()
    assert isinstance(frame, pandas.DataFrame)
    assert list(frame.columns) == ["range", "upper", "lower", "count", "cumulative"]
    assert frame["cumulative"].tolist() == [1, 2, 3]


def test_keyboard_interrupt_stops_a_long_count():
    values = np.tile(np.random.default_rng(1).integers(-100, 100, 1_000_000, dtype=np.int8), 60)
    main = threading.get_ident()
    timer = threading.Timer(0.3, signal.pthread_kill, (main, signal.SIGINT))
    started = time.monotonic()
    timer.start()
    try:
        with pytest.raises(KeyboardInterrupt):
            tessivo.count(values, bins=32)
    finally:
        timer.cancel()
    assert time.monotonic() - started < 30


@pytest.mark.parametrize("seed", range(6))
def test_class_edges_put_each_exact_cycle_into_its_classes(seed):
    # The model: the exact cycles, each counted in the cell of its lower and
    # upper load's classes (an inner edge belongs to the upper class); cycles
    # within one class drop out. Pieces merged through pickling give the same.
    rng = np.random.default_rng(seed)
    walk = np.round(random_walk(seed, int(rng.choice([50, 5000, 50000]))), 3)
    inner = rng.uniform(walk.min(), walk.max(), int(rng.integers(0, 40)))
    edges = np.unique(np.concatenate([[walk.min() - rng.uniform(0, 5)], inner, [walk.max()]]))
    residue = str(rng.choice(["decomposition", "upward", "half"]))
    exact = tessivo.count(walk, unlimited=True, residue=residue)
    bounds = edges.astype(np.longdouble)

    def classes(loads):
        return np.clip(np.searchsorted(bounds, loads, side="right"), 1, len(bounds) - 1)

    model = {}
    for low, high, n in zip(classes(exact.lower), classes(exact.upper), exact.count):
        if low < high:
            model[(bounds[low - 1], bounds[high])] = model.get((bounds[low - 1], bounds[high]), 0) + n
    binned = tessivo.count(walk, bins=edges, residue=residue)
    assert binned.result == 0
    assert dict(zip(zip(binned.lower, binned.upper), binned.count)) == model
    cut = int(rng.integers(0, len(walk) + 1))
    pieces = [pickle.loads(pickle.dumps(tessivo.count_partial(part, piece=i + 1, bins=edges, residue=residue)))
              for i, part in enumerate((walk[:cut], walk[cut:]))]
    merged = tessivo.merge(pieces).result()
    for name in ("range", "upper", "lower", "count"):
        np.testing.assert_array_equal(getattr(merged, name), getattr(binned, name))
    with pytest.raises(tessivo.PartialCountError, match="load classes"):
        tessivo.merge([pieces[0], tessivo.count_partial(walk[cut:], piece=2, bins=edges * 2, residue=residue)])
