"""The Dask half of bench/python_bench.py: tessivo.dask.count_files of 100
sequence files of one million values each (random walks, three decimals) on a
local cluster of one worker process, then of two. Prints a table ready for the
README, with the machine's load (the one-minute load average before and after
each run): a speed-up measured on a busy machine says little.

    PYTHONPATH=BUILD/python python3 bench/dask_bench.py [--files N] [--values N]
"""

import argparse
import os
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


def _cpu_seconds():
    import resource

    usage = resource.getrusage(resource.RUSAGE_SELF)
    return usage.ru_utime + usage.ru_stime


def bench_dask(files=100, values=1_000_000, repeats=2):
    import distributed
    import tessivo.dask

    rows = []
    with tempfile.TemporaryDirectory() as folder:
        print(f"\ntessivo.dask.count_files of {files} files of {values:,} values (joined), local cluster "
              f"on {os.cpu_count()} cores")
        paths = write_files(folder, files, values)
        for workers in (1, 2):
            with distributed.LocalCluster(n_workers=workers, threads_per_worker=1, processes=True,
                                          dashboard_address=None, silence_logs=40) as cluster, \
                    distributed.Client(cluster) as client:
                tessivo.dask.count_files(paths[:2])  # workers warmed up: module imported
                best = float("inf")
                load_before = os.getloadavg()[0]
                cpu_before = sum(client.run(_cpu_seconds).values())
                for _ in range(repeats):
                    start = time.perf_counter()
                    result = tessivo.dask.count_files(paths)
                    best = min(best, time.perf_counter() - start)
                cpu = (sum(client.run(_cpu_seconds).values()) - cpu_before) / repeats
                load_after = os.getloadavg()[0]
                rows.append((workers, best, cpu, load_before, load_after, result))
    base = rows[0][1]
    # The workers' CPU seconds show the work itself: on a quiet machine the
    # time with two workers approaches half the CPU seconds of one.
    print("\n| workers | seconds (best of %d) | speed-up | workers' CPU s per run | load before | load after |"
          % repeats)
    print("|---|---|---|---|---|---|")
    for workers, seconds, cpu, before, after, _ in rows:
        print(f"| {workers} | {seconds:.2f} | {base / seconds:.2f}x | {cpu:.1f} | {before:.2f} | {after:.2f} |")
    result = rows[-1][5]
    print(f"\n({result.sequence_length:,} values, result {result.result}, {len(result)} cycles)")


if __name__ == "__main__":
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--files", default=100, type=int)
    parser.add_argument("--values", default=1_000_000, type=int)
    parser.add_argument("--repeats", default=2, type=int)
    args = parser.parse_args()
    bench_dask(args.files, args.values, args.repeats)
