"""tessivo.dask on a real local cluster of two worker processes: the results
equal tessivo.count's exactly, also when a worker dies in the middle of a
count, and nothing is left running afterwards."""

import os
import signal
import time
import warnings

import numpy as np
import pytest

import tessivo
from conftest import EXAMPLES, random_walk, write_values

distributed = pytest.importorskip("distributed")
psutil = pytest.importorskip("psutil")
import tessivo.dask  # noqa: E402

pytestmark = pytest.mark.slow


def assert_same_result(a, b):
    assert (a.sequence_length, a.result) == (b.sequence_length, b.result)
    assert a.highest_peak == b.highest_peak and a.lowest_trough == b.lowest_trough
    for name in ("range", "upper", "lower", "count", "cumulative"):
        np.testing.assert_array_equal(getattr(a, name), getattr(b, name), err_msg=name)


@pytest.fixture(scope="module")
def client():
    before = {p.pid for p in psutil.Process().children(recursive=True)}
    cluster = distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True,
                                       dashboard_address=None, silence_logs=40)
    with distributed.Client(cluster) as c:
        yield c
    cluster.close()
    # Every worker and nanny the cluster started is gone. (multiprocessing's
    # resource tracker serves this interpreter until it exits, by design.)
    deadline = time.monotonic() + 30
    while time.monotonic() < deadline:
        left = [p for p in psutil.Process().children(recursive=True)
                if p.pid not in before and p.is_running() and p.status() != psutil.STATUS_ZOMBIE
                and "resource_tracker" not in " ".join(p.cmdline())]
        if not left:
            break
        time.sleep(0.2)
    assert not left, f"left running: {[p.cmdline() for p in left]}"


@pytest.fixture(scope="module")
def files(tmp_path_factory):
    folder = tmp_path_factory.mktemp("files")
    paths = []
    for i in range(12):
        path = folder / f"channel_{i:02}.txt"
        write_values(path, np.round(random_walk(100 + i, 30_000 + 1000 * i), 3))
        paths.append(str(path))
    return paths


def test_files_joined_and_alone_equal_count_even_when_a_worker_dies(client, files):
    parameters = {"filter": 0.5, "residue": "upward", "bins": 64}
    expected = [tessivo.count(tessivo.read_sequence(p), normalize=True, **parameters) for p in files]
    whole = tessivo.count(np.concatenate([tessivo.read_sequence(p) for p in files]), normalize=True, **parameters)
    pending = client.compute(tessivo.dask.count_files(files, joined="both", normalize=True, compute=False,
                                                      split_every=3, **parameters))
    # Kill one worker process as soon as the cluster is busy with the files.
    deadline = time.monotonic() + 60
    while not any(client.processing().values()) and time.monotonic() < deadline:
        time.sleep(0.01)
    victim = next(iter(client.scheduler_info()["workers"]))
    os.kill(client.run(os.getpid, workers=[victim])[victim], signal.SIGKILL)
    table, joined = pending.result(timeout=300)
    assert_same_result(joined, whole)
    assert list(table.index) == files
    for path, want in zip(files, expected):
        assert_same_result(table.loc[path, "count"], want)
        assert table.loc[path, "sequence_length"] == want.sequence_length
        assert table.loc[path, "cycles"] == len(want)


def test_count_files_reads_columns_and_rejects_what_it_cannot_count(client, files, tmp_path):
    table = str(EXAMPLES / "nrel5mw_dlc2.3_loads.out")
    column = tessivo.read_table(table, "RootMyc1")
    assert_same_result(tessivo.dask.count_files([table, table], column="RootMyc1"),
                       tessivo.count(np.concatenate([column, column])))
    with pytest.raises(ValueError, match='no column "Nope"'):
        tessivo.dask.count_files([table], column="Nope")
    with pytest.raises(ValueError, match="Filter size must be equal to or larger than zero"):
        tessivo.dask.count_files(files, filter=-1)
    broken = tmp_path / "broken.txt"
    broken.write_text("1 2 x 3\n")
    for joined in (False, True):  # read into an array, or streamed into the count
        with pytest.raises(ValueError, match="Incorrect sequence file"):
            tessivo.dask.count_files([files[0], str(broken)], joined=joined)


@pytest.mark.parametrize("parameters", [{}, {"unlimited": True, "residue": "half"}, {"bins": 32, "filter": 1.0},
                                        {"bins": [-1e6, -100.0, 0.0, 50.5, 1e6]}], ids=repr)
def test_files_streamed_into_the_count_equal_count_of_their_values(client, files, tmp_path, parameters):
    # The fixture's files hold the exact decimals of binary values (rounded in the count); this one
    # holds values of three decimals, which are their own work-file values.
    short = tmp_path / "short.txt"
    short.write_text("\n".join(f"{v:.3f}" for v in random_walk(7, 45_000)) + "\n")
    paths = [files[0], str(short), *files[1:4]]
    values = np.concatenate([tessivo.read_sequence(p) for p in paths])
    with warnings.catch_warnings():
        warnings.simplefilter("ignore", tessivo.MatrixAppliedWarning)
        assert_same_result(tessivo.dask.count_files(paths, **parameters), tessivo.count(values, **parameters))


@pytest.mark.parametrize("parameters", [{}, {"unlimited": True, "residue": "upward"}, {"bins": 100, "filter": 2.0},
                                        {"bins": [-1e6, -100.0, 0.0, 50.5, 1e6]}], ids=repr)
def test_dask_array_in_chunks_equals_count_of_the_computed_values(client, parameters):
    import dask.array as da
    import dask.dataframe as dd

    walk = np.round(random_walk(11, 250_000), 3)
    x = da.from_array(walk, chunks=(9_000, 41_000, 100_000, 3, 99_997))
    want = tessivo.count(x.compute(), **parameters) if parameters else None
    if want is None:
        with pytest.warns(tessivo.MatrixAppliedWarning):
            want = tessivo.count(x.compute())
    assert_same_result(tessivo.dask.count(x, split_every=2, **parameters), want)
    column = dd.from_pandas(__import__("pandas").DataFrame({"load": walk}), npartitions=7)["load"]
    assert_same_result(tessivo.dask.count(column, **parameters), want)


@pytest.mark.parametrize("change, joined, parameters", [
    ("reversed", True, {}),                        # the same size: only the time tells
    ("reversed", "both", {"unlimited": True}),
    ("longer", False, {"bins": 64}),
])
def test_a_file_changed_between_two_calls_is_counted_again(client, tmp_path, change, joined, parameters):
    values = [np.round(random_walk(300 + i, 20_000), 3) for i in range(3)]
    paths = [str(tmp_path / f"part_{i}.txt") for i in range(3)]
    for path, v in zip(paths, values):
        write_values(path, v)
    # The first call's results stay in the cluster's memory while the second runs.
    held = client.compute(tessivo.dask.count_files(paths, joined=joined, compute=False, **parameters))
    held.result(timeout=300)
    time.sleep(0.05)  # past the file system's clock tick
    values[1] = values[1][::-1] if change == "reversed" else np.concatenate([values[1], values[1][:500] + 7.0])
    write_values(paths[1], values[1])
    again = client.compute(tessivo.dask.count_files(paths, joined=joined, compute=False, **parameters)).result(300)
    joined_result = again if joined is True else (again[1] if joined == "both" else None)
    if joined_result is not None:
        assert_same_result(joined_result, tessivo.count(np.concatenate(values), **parameters))
    if joined is not True:
        table = again if joined is False else again[0]
        assert_same_result(table.loc[paths[1], "count"], tessivo.count(values[1], **parameters))
    del held
