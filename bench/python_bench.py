#!/usr/bin/env python3
"""Timings of the Python module against the engine itself.

count: tessivo.count of a 10-million-value float64 random walk (fixed seed,
three decimals) against the engine's in-memory count of the same values
(memory_count_bench, the same engine calls without Python), best of several
runs each, and the peak memory the module's count adds to the input array.

dask: tessivo.dask.count_files of 40 sequence files of 250,000 values on a
local cluster of 1 and of 2 worker processes, against tessivo-count on the
same files (bench/dask_bench.py).

    bench/python_bench.py [--build build-bench] [--values N] [--skip-dask]

The build folder must hold the module (python/) and memory_count_bench
(configure with -DTESSIVO_BUILD_BENCH=ON); bench/python_bench.sh makes one.
"""

import argparse
import json
import os
import subprocess
import sys
import tempfile
import time
from pathlib import Path

import numpy as np

CASES = [
    ("defaults (switch to 32 load bins)", {}, "0", ""),
    ("bins=32", {"bins": 32}, "32", ""),
    ("unlimited=True (exact loads)", {"unlimited": True}, "0", "unlimited"),
]

# Runs in a fresh interpreter: the input array is the only large object, so the
# growth of the peak resident size during count() is what the module adds.
MODULE_RUN = r"""
import json, resource, sys, time, warnings
import numpy as np
import tessivo
values = np.fromfile(sys.argv[1], dtype=np.float64)
parameters = json.loads(sys.argv[2])
repeats = int(sys.argv[3])
warnings.simplefilter("ignore")
before = resource.getrusage(resource.RUSAGE_SELF).ru_maxrss
best = float("inf")
for _ in range(repeats):
    start = time.perf_counter()
    result = tessivo.count(values, **parameters)
    best = min(best, time.perf_counter() - start)
    del result
after = resource.getrusage(resource.RUSAGE_SELF).ru_maxrss
print(json.dumps({"seconds": best, "added_kb": after - before, "input_kb": values.nbytes / 1024}))
"""


def walk(n, seed=12345):
    rng = np.random.default_rng(seed)
    return np.round(np.cumsum(rng.normal(0.0, 10.0, n)), 3)


def bench_count(build, n, repeats):
    engine = build / "bench" / "memory_count_bench"
    env = dict(os.environ, PYTHONPATH=str(build / "python"))
    with tempfile.TemporaryDirectory() as scratch:
        raw = Path(scratch) / "walk.f64"
        walk(n).tofile(raw)
        print(f"tessivo.count of {n:,} float64 values against the engine's in-memory count (best of {repeats})")
        print(f"{'parameters':36} {'engine':>9} {'module':>9} {'ratio':>6} {'memory added':>13}")
        for label, parameters, bins, unlimited in CASES:
            out = subprocess.run([str(engine), str(raw), str(repeats), bins, unlimited],
                                 capture_output=True, text=True, check=True).stdout.split()
            engine_s = float(out[0])
            module = json.loads(subprocess.run([sys.executable, "-c", MODULE_RUN, str(raw), json.dumps(parameters),
                                                str(repeats)], capture_output=True, text=True, check=True,
                                               env=env).stdout)
            share = module["added_kb"] / module["input_kb"]
            print(f"{label:36} {engine_s:8.3f}s {module['seconds']:8.3f}s {module['seconds'] / engine_s:6.2f} "
                  f"{module['added_kb'] / 1024:7.1f} MB ({share:.0%} of the input)")


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default="build-bench", type=Path)
    parser.add_argument("--values", default=10_000_000, type=int)
    parser.add_argument("--repeats", default=5, type=int)
    parser.add_argument("--skip-dask", action="store_true")
    args = parser.parse_args()
    print(f"machine: {os.cpu_count()} cores")
    bench_count(args.build.resolve(), args.values, args.repeats)
    if not args.skip_dask:
        sys.path.insert(0, str(args.build.resolve() / "python"))
        from dask_bench import report
        report(str(args.build.resolve() / "cli" / "tessivo-count"))


if __name__ == "__main__":
    main()
