#!/usr/bin/env bash
# Reading rate of the table reader against the plain sequence reader on a
# generated eight-column table (1 GB by default) and the same numbers as a
# plain sequence file; both are written under $TMPDIR and removed afterwards.
#   bench/table_read.sh [MEGABYTES]
set -euo pipefail
cd "$(dirname "$0")/.."
megabytes=${1:-1024}
build=build-bench
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTESSIVO_BUILD_GUI=OFF -DTESSIVO_BUILD_TESTS=OFF \
      -DTESSIVO_BUILD_BENCH=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target table_read_bench >/dev/null
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"
"$build/bench/table_read_bench" "$scratch" "$megabytes"
