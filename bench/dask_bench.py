"""The Dask half of bench/python_bench.py: tessivo.dask.count_files of 100
sequence files of one million values each (random walks, three decimals) on a
local cluster of one worker process, then of two."""

import tempfile
import time
from pathlib import Path

import numpy as np


def write_files(folder, files, values):
    paths = []
    for i in range(files):
        rng = np.random.default_rng(1000 + i)
        walk = np.round(np.cumsum(rng.normal(0.0, 10.0, values)), 3)
        path = Path(folder) / f"channel_{i:03}.txt"
        np.savetxt(path, walk, fmt="%.3f")
        paths.append(str(path))
    return paths


def bench_dask(files=100, values=1_000_000):
    import distributed
    import tessivo.dask

    with tempfile.TemporaryDirectory() as folder:
        print(f"\ntessivo.dask.count_files of {files} files of {values:,} values (joined), local cluster")
        paths = write_files(folder, files, values)
        times = {}
        for workers in (1, 2):
            with distributed.LocalCluster(n_workers=workers, threads_per_worker=1, processes=True,
                                          dashboard_address=None, silence_logs=40) as cluster, \
                    distributed.Client(cluster):
                tessivo.dask.count_files(paths[:2])  # workers warmed up: module imported
                start = time.perf_counter()
                result = tessivo.dask.count_files(paths)
                times[workers] = time.perf_counter() - start
            print(f"{workers} worker(s): {times[workers]:7.2f} s  ({result.sequence_length:,} values, "
                  f"result {result.result}, {len(result)} cycles)")
        print(f"speed-up with 2 workers: {times[1] / times[2]:.2f}x")
