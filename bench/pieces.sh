#!/usr/bin/env bash
# Counting in pieces, timed side by side with the tessivo-count of an earlier
# commit (default: the one before counting in pieces came in), in one run:
#  1. the 10,000,000-value walk counted with --load-bins and with
#     --unlimited --format json by both programs, alternately, ROUNDS times;
#  2. 1000 ten-minute pieces (12000 values each, 20 values a second) saved as
#     partial counts, then merged, against one count that reads their values.
# Wall time, CPU time (user + system, all threads) and peak memory by
# `/usr/bin/time` (Debian package "time"), each with the load average of the
# minute before it; a shared machine shows in the wall times long before it
# shows in the CPU times. Ends with a Markdown table of ranges over the rounds.
#   bench/pieces.sh [BASE_COMMIT] [ROUNDS]
set -euo pipefail
cd "$(dirname "$0")/.."
base=${1:-a63e874}
rounds=${2:-5}

build=build-bench
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTESSIVO_BUILD_GUI=OFF -DTESSIVO_BUILD_TESTS=OFF \
      -DTESSIVO_BUILD_BENCH=ON >/dev/null
cmake --build "$build" -j2 --target tessivo-count gen_random_walk >/dev/null
old_src=build-base-src
rm -rf "$old_src" && mkdir -p "$old_src"
git archive "$base" | tar -x -C "$old_src"
cmake -S "$old_src" -B build-base -G Ninja -DCMAKE_BUILD_TYPE=Release -DTESSIVO_BUILD_GUI=OFF \
      -DTESSIVO_BUILD_TESTS=OFF >/dev/null
cmake --build build-base -j2 --target tessivo-count >/dev/null

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
old=build-base/cli/tessivo-count
new=$build/cli/tessivo-count

results=$scratch/results
measure() { # label command...: prints "label wall_s cpu_s peak_MB load" and keeps it for the table
  local label=$1; shift
  local load
  load=$(cut -d' ' -f1 /proc/loadavg)
  /usr/bin/time -f '%e %U %S %M' -o "$scratch/time" "$@" >"$scratch/out" 2>/dev/null || true
  read -r wall user sys rss <"$scratch/time"
  local cpu
  cpu=$(awk -v u="$user" -v s="$sys" 'BEGIN { printf "%.2f", u + s }')
  printf '%-52s %7s s wall %7s s cpu %6d MB  load %s\n' "$label" "$wall" "$cpu" $((rss / 1024)) "$load"
  printf '%s\t%s\t%s\t%d\t%s\n' "$label" "$wall" "$cpu" $((rss / 1024)) "$load" >>"$results"
}

echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')," \
     "load average $(cut -d' ' -f1-3 /proc/loadavg)"
walk=$scratch/walk.txt
"$build/bench/gen_random_walk" 10000000 "$walk"
cat "$walk" >/dev/null
for round in $(seq "$rounds"); do
  for args in "--load-bins" "--unlimited --format json"; do
    # shellcheck disable=SC2086
    measure "before $args" "$old" $args "$walk"
    # shellcheck disable=SC2086
    measure "after  $args" "$new" $args "$walk"
  done
done

# A year is 52560 ten-minute files; 1000 of them here.
pieces=$scratch/pieces
mkdir "$pieces"
"$build/bench/gen_random_walk" 12000000 "$scratch/long.txt"
split -l 12000 -d -a 3 --additional-suffix=.txt "$scratch/long.txt" "$pieces/rec-"
read -r low high < <(awk 'NR == 1 || $1 < lo { lo = $1 } NR == 1 || $1 > hi { hi = $1 } END { print lo, hi }' \
  "$scratch/long.txt")
for mode in "--unlimited" "--load-bins --bin-lowest $low --bin-highest $high"; do
  n=0
  for f in "$pieces"/rec-*.txt; do
    n=$((n + 1))
    # shellcheck disable=SC2086
    "$new" $mode --save-partial "$f.part" --piece "$n" "$f"
  done
  parts=("$pieces"/rec-*.txt.part)
  measure "merge of ${#parts[@]} partial counts (${mode%% *})" "$new" merge --format csv "${parts[@]}"
  measure "one count reading their values (${mode%% *})" "$new" ${mode%% *} --format csv "$scratch/long.txt"
  measure "reading them: cat of the 1000 files" cat "$pieces"/rec-*.txt
  rm -f "$pieces"/*.part
done

# The table: ranges over the rounds, and the ratios of the best times.
echo
echo "| run | wall time | CPU time (user + sys) | peak memory | load average |"
echo "| --- | --- | --- | --- | --- |"
awk -F'\t' '
  { if (!($1 in n)) { order[++k] = $1 }
    n[$1]++
    if (!($1 in wlo) || $2 < wlo[$1]) wlo[$1] = $2; if (!($1 in whi) || $2 > whi[$1]) whi[$1] = $2
    if (!($1 in clo) || $3 < clo[$1]) clo[$1] = $3; if (!($1 in chi) || $3 > chi[$1]) chi[$1] = $3
    if (!($1 in mlo) || $4 < mlo[$1]) mlo[$1] = $4; if (!($1 in mhi) || $4 > mhi[$1]) mhi[$1] = $4
    if (!($1 in llo) || $5 < llo[$1]) llo[$1] = $5; if (!($1 in lhi) || $5 > lhi[$1]) lhi[$1] = $5 }
  function span(a, b) { return a == b ? a : a "–" b }
  END {
    for (i = 1; i <= k; i++) { l = order[i]
      printf "| `%s` | %s s | %s s | %s MB | %s |\n", l, span(wlo[l], whi[l]), span(clo[l], chi[l]), span(mlo[l], mhi[l]), span(llo[l], lhi[l]) }
    print ""
    for (i = 1; i <= k; i++) { l = order[i]
      if (l ~ /^before /) { a = "after  " substr(l, 8)
        if (a in wlo && wlo[a] > 0 && clo[a] > 0)
          printf "%s: %.2f times faster (best wall), %.2f times less CPU (best)\n", substr(l, 8), wlo[l] / wlo[a], clo[l] / clo[a] } }
  }' "$results"
