"""Partial counts and the Counter: a sequence cut into random pieces, counted
piece by piece (through pickling) and merged, equals count() of the whole."""

import pickle
import warnings

import numpy as np
import pytest

import tessivo
from conftest import random_walk
from test_count import random_parameters
from tessivo.dask import _span


def assert_same_result(a, b):
    assert (a.sequence_length, a.result) == (b.sequence_length, b.result)
    assert a.highest_peak == b.highest_peak and a.lowest_trough == b.lowest_trough
    for name in ("range", "upper", "lower", "count", "cumulative"):
        np.testing.assert_array_equal(getattr(a, name), getattr(b, name), err_msg=name)


def random_cuts(rng, n):
    inner = np.sort(rng.integers(0, n + 1, rng.integers(0, 8)))
    return [0, *inner.tolist(), n]


@pytest.mark.parametrize("seed", range(16))
def test_random_pieces_merged_equal_the_whole(seed):
    rng = np.random.default_rng(seed)
    n = int(rng.choice([3, 50, 5000, 45000]))
    walk = np.round(random_walk(seed, n, step=float(rng.choice([0.5, 10.0]))), 3)
    parameters = random_parameters(rng, walk)
    normalize = parameters.pop("normalize")
    cuts = random_cuts(rng, n)
    # Every other seed, the pieces count into the classes at once where the whole count ends in them.
    span = _span([tessivo.extent(walk)], parameters) if seed % 2 else None
    pieces = [pickle.loads(pickle.dumps(tessivo.count_partial(walk[a:b], piece=i + 1, extremes=span,
                                                              **parameters)))
              for i, (a, b) in enumerate(zip(cuts, cuts[1:]))]
    # A tree of merges in order, as Dask does it.
    while len(pieces) > 1:
        pieces = [tessivo.merge(pieces[i:i + 3]) for i in range(0, len(pieces), 3)]
    counter = tessivo.Counter(normalize=normalize, **parameters)
    for a, b in zip(cuts, cuts[1:]):
        counter.feed(walk[a:b])
    with warnings.catch_warnings():
        warnings.simplefilter("ignore", tessivo.MatrixAppliedWarning)
        try:
            whole = tessivo.count(walk, normalize=normalize, **parameters)
        except ValueError as rejected:
            with pytest.raises(ValueError, match=str(rejected)):
                pieces[0].result(normalize=normalize)
            return
    assert_same_result(pieces[0].result(normalize=normalize), whole)
    assert_same_result(counter.result(), whole)


def test_counter_gives_its_result_at_any_point_and_goes_on():
    walk = random_walk(5, 3000)
    counter = tessivo.Counter(residue="upward")
    counter.feed(walk[:1000])
    assert_same_result(counter.result(), tessivo.count(walk[:1000], residue="upward"))
    counter.feed(walk[1000:].tolist())
    assert_same_result(counter.result(), tessivo.count(walk, residue="upward"))
    assert counter.length == 3000
    assert_same_result(counter.partial().result(), counter.result())


def test_merge_rejects_pieces_that_do_not_fit():
    walk = random_walk(1, 100)
    first = tessivo.count_partial(walk[:50], piece=1)
    second = tessivo.count_partial(walk[50:], piece=2)
    with pytest.raises(tessivo.PartialCountError, match="piece"):
        tessivo.merge([first, tessivo.count_partial(walk[50:], piece=3)])
    with pytest.raises(tessivo.PartialCountError):
        tessivo.merge([first, tessivo.count_partial(walk[50:], piece=2, filter=1.0)])
    with pytest.raises(tessivo.PartialCountError, match="first piece"):
        second.result()
    with pytest.raises(ValueError, match="at least one"):
        tessivo.merge([])
    _, lowest, highest = tessivo.extent(walk)
    with pytest.raises(tessivo.PartialCountError, match="load classes were laid"):
        tessivo.count_partial(walk, bins=32, extremes=(lowest - 1, highest)).result()
    with pytest.raises(ValueError, match="above the lowest"):
        tessivo.count_partial(walk, bins=32, extremes=(highest, highest))
    state = list(first.__getstate__())
    corrupt = bytearray(state[0])
    corrupt[len(corrupt) // 2] ^= 0xFF
    state[0] = bytes(corrupt)
    with pytest.raises(tessivo.PartialCountError):
        tessivo.PartialCount.__new__(tessivo.PartialCount).__setstate__(tuple(state))
    # The inputs of a merge stay usable.
    assert_same_result(tessivo.merge([first, second]).result(), tessivo.count(walk))
    assert first.pieces == (1, 1) and first.length == 50


@pytest.mark.slow
def test_counter_goes_on_after_a_result_once_its_cycles_are_in_temporary_files():
    # Six decimals give more distinct cycles than an unlimited table keeps in memory.
    walk = np.round(random_walk(2, 1_000_000), 6)
    counter = tessivo.Counter(unlimited=True)
    counter.feed(walk[:700_000])
    assert_same_result(counter.result(), tessivo.count(walk[:700_000], unlimited=True))
    counter.feed(walk[700_000:])
    assert_same_result(counter.result(), tessivo.count(walk, unlimited=True))


@pytest.mark.parametrize("numbers, order, refusal", [
    ((None, None, None), (0, 1, 2), None),
    ((None, None, None), (2, 0, 1), None),  # the order given, whatever it is
    ((1, None, None), (0, 1, 2), None),
    ((None, 2, 3), (0, 1, 2), None),
    ((None, 1), (0, 1), "piece 1 cannot follow unnumbered pieces"),
    ((None, 3, 2), (0, 1, 2), "piece 2 cannot follow the pieces up to piece 3"),
    ((2, None), (0, 1), "first piece of the sequence is missing"),
])
def test_unnumbered_pieces_merge_in_the_order_given(numbers, order, refusal):
    walk = np.round(random_walk(4, 45000), 3)
    cuts = [0, 20000, 20001, 45000]
    pieces = [walk[a:b] for a, b in zip(cuts, cuts[1:])]
    parts = [pickle.loads(pickle.dumps(tessivo.count_partial(pieces[k], piece=n)))
             for k, n in zip(order, numbers)]
    if refusal:
        with pytest.raises(tessivo.PartialCountError, match=refusal):
            tessivo.merge(parts).result()
        return
    assert parts[0].pieces == (numbers[0], numbers[0])
    with warnings.catch_warnings():
        warnings.simplefilter("ignore", tessivo.MatrixAppliedWarning)
        assert_same_result(tessivo.merge(parts).result(), tessivo.count(np.concatenate([pieces[k] for k in order])))
    with pytest.raises(ValueError, match="numbered from 1"):
        tessivo.count_partial(walk, piece=0)
