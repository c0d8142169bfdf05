#!/usr/bin/env bash
# End-to-end timings of tessivo-count on a 10-million-value random walk
# (about 92 MB of text, fixed seed). Prints wall time and peak memory of each
# run; `/usr/bin/time -v` (Debian package "time") measures them.
#   bench/e2e.sh [COUNT]
set -euo pipefail
cd "$(dirname "$0")/.."
count=${1:-10000000}
build=build-bench
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTESSIVO_BUILD_GUI=OFF -DTESSIVO_BUILD_TESTS=OFF \
      -DTESSIVO_BUILD_BENCH=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target tessivo-count gen_random_walk engine_bench >/dev/null

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
walk="$scratch/walk.txt"
"$build/bench/gen_random_walk" "$count" "$walk"
cat "$walk" >/dev/null # into the page cache, so every run reads it alike

measure() {
  local label=$1; shift
  /usr/bin/time -v "$@" >"$scratch/out" 2>"$scratch/time" || true
  local wall rss
  wall=$(grep 'Elapsed (wall clock)' "$scratch/time" | awk '{print $NF}')
  rss=$(grep 'Maximum resident set size' "$scratch/time" | awk '{print $NF}')
  printf '%-58s %10s s %8d MB\n' "$label" "$wall" $((rss / 1024))
}

tc="$build/cli/tessivo-count"
echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"
echo "input:   $count values, $(du -m "$walk" | cut -f1) MB"
measure "--unlimited --format csv (exact loads, no work files)" "$tc" --unlimited --format csv "$walk"
measure "--load-bins --format csv" "$tc" --load-bins --format csv "$walk"
measure "--format csv (switch to the matrix at 40000 values)" "$tc" --format csv "$walk"
mkdir -p "$scratch/work"
measure "--workdir (every work file written)" "$tc" --workdir "$scratch/work" --format csv "$walk"
