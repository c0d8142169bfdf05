"""tessivo.dask.count_files on a local cluster of worker processes against
tessivo-count on the same files.

Writes FILES sequence files of VALUES values each (random walks, three
decimals), then, REPEATS times each, best time kept:
  - tessivo-count with every file on one command line: the same joined count
    in one process (the fair comparison: count_files joined is that count),
    on both cores and, with taskset, on one (as one worker of one thread);
    and tessivo-count once per file, one after the other (each file counted on
    its own, as count_files joined=False does), for reference;
  - tessivo.dask.count_files(paths) on a LocalCluster of 1 and of 2 worker
    processes of one thread each, once with Dask's own worker setting
    MALLOC_TRIM_THRESHOLD_=65536 and once without it.
Prints a Markdown table with the one-minute load average before and after
each measurement: a speed-up measured on a busy machine says little.

    PYTHONPATH=BUILD/python python3 bench/dask_bench.py --count BUILD/cli/tessivo-count \
        [--files 40] [--values 250000] [--repeats 3] [--unlimited]
"""

import argparse
import os
import shutil
import subprocess
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


def touch(paths):
    """New modification times: count_files then counts the files again rather
    than take the result of the run before from the cluster's memory."""
    for p in paths:
        stat = os.stat(p)
        os.utime(p, ns=(stat.st_atime_ns, stat.st_mtime_ns + 1000))


def best_of(repeats, run, prepare=lambda: None):
    """(best seconds, load before, load after)."""
    before = os.getloadavg()[0]
    best = float("inf")
    for _ in range(repeats):
        prepare()
        start = time.perf_counter()
        run()
        best = min(best, time.perf_counter() - start)
    return best, before, os.getloadavg()[0]


def bench_cli(binary, paths, repeats, options):
    joined = best_of(repeats, lambda: subprocess.run([binary, *options, "--format", "csv", *paths], check=True,
                                                     stdout=subprocess.DEVNULL))

    def one_by_one():
        for p in paths:
            subprocess.run([binary, *options, "--format", "csv", p], check=True, stdout=subprocess.DEVNULL)

    rows = [("tessivo-count, all files on one command line", joined)]
    if shutil.which("taskset"):  # one core, as one worker of one thread has
        rows.append(("the same on one core (taskset -c 0)",
                     best_of(repeats, lambda: subprocess.run(["taskset", "-c", "0", binary, *options, "--format", "csv",
                                                              *paths], check=True, stdout=subprocess.DEVNULL))))
    return rows + [("tessivo-count, once per file", best_of(repeats, one_by_one))]


def _worker_environ(trim):
    import dask

    environ = dict(dask.config.get("distributed.nanny.pre-spawn-environ"))
    environ.pop("MALLOC_TRIM_THRESHOLD_", None)
    if trim:
        environ["MALLOC_TRIM_THRESHOLD_"] = 65536
    return environ


def bench_dask(paths, repeats, parameters):
    import dask
    import distributed
    import tessivo.dask

    rows = []
    for trim in (True, False):
        for workers in (1, 2):
            # A local cluster's nannies set the variable in this process too, before spawning.
            os.environ.pop("MALLOC_TRIM_THRESHOLD_", None)
            with dask.config.set({"distributed.nanny.pre-spawn-environ": _worker_environ(trim)}), \
                    distributed.LocalCluster(n_workers=workers, threads_per_worker=1, processes=True,
                                             dashboard_address=None, silence_logs=40) as cluster, \
                    distributed.Client(cluster) as client:
                seen = set(client.run(lambda: os.environ.get("MALLOC_TRIM_THRESHOLD_")).values())
                assert seen == ({"65536"} if trim else {None}), seen
                tessivo.dask.count_files(paths[:2], **parameters)  # workers warmed up: module imported
                cpu_before = sum(client.run(_cpu_seconds).values())
                own_before = _cpu_seconds()
                figures = best_of(repeats, lambda: tessivo.dask.count_files(paths, **parameters),
                                  lambda: touch(paths))
                cpu = (sum(client.run(_cpu_seconds).values()) - cpu_before) / repeats
                own = (_cpu_seconds() - own_before) / repeats
                label = f"count_files, {workers} worker{'s' if workers > 1 else ''}, " + \
                        ("MALLOC_TRIM_THRESHOLD_=65536 (Dask's)" if trim else "no MALLOC_TRIM_THRESHOLD_")
                rows.append((label, figures, cpu, own))
    return rows


def report(binary, files=40, values=250_000, repeats=3, unlimited=False):
    parameters = {"unlimited": True} if unlimited else {}
    with tempfile.TemporaryDirectory() as folder:
        paths = write_files(folder, files, values)
        cli = bench_cli(binary, paths, repeats, ["--unlimited"] if unlimited else [])
        dask_rows = bench_dask(paths, repeats, parameters)
    base = cli[0][1][0]
    one_worker = {label.split(", ")[-1]: seconds for label, (seconds, _, _), _, _ in dask_rows if "1 worker" in label}
    print(f"\n{files} files of {values:,} values{' (unlimited)' if unlimited else ''}, "
          f"{os.cpu_count()} cores, best of {repeats}\n")
    # CPU seconds per run: the workers', and the client's (with a local
    # cluster the scheduler runs in the client's process).
    print("| run | seconds | / tessivo-count (one command line) | speed-up over 1 worker | workers' CPU s | "
          "client and scheduler CPU s | load before / after |")
    print("| --- | --- | --- | --- | --- | --- | --- |")
    for label, (seconds, before, after) in cli:
        print(f"| {label} | {seconds:.2f} | {seconds / base:.2f} | | | | {before:.2f} / {after:.2f} |")
    for label, (seconds, before, after), cpu, own in dask_rows:
        speedup = one_worker[label.split(", ")[-1]] / seconds
        print(f"| {label} | {seconds:.2f} | {seconds / base:.2f} | {speedup:.2f}x | {cpu:.2f} | {own:.2f} | "
              f"{before:.2f} / {after:.2f} |")


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--count", required=True, help="the tessivo-count to compare with")
    parser.add_argument("--files", default=40, type=int)
    parser.add_argument("--values", default=250_000, type=int)
    parser.add_argument("--repeats", default=3, type=int)
    parser.add_argument("--unlimited", action="store_true")
    args = parser.parse_args()
    report(args.count, args.files, args.values, args.repeats, args.unlimited)


if __name__ == "__main__":
    main()
