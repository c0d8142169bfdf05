#!/usr/bin/env bash
# tessivo-count.exe and the engine's unit tests under Wine, the outputs of the
# .exe compared byte for byte with the Linux build's.
#
#   wine_tests.sh prefix|cleanup|cli|unit LINUX_BIN WINDOWS_BUILD SOURCE_ROOT PREFIX_DIR
#
# prefix makes the Wine prefix that the other steps share (wineboot takes a
# while, so once per run); cleanup ends its wineserver and removes it. Exits
# 77 (CTest: skipped) without Wine or the Windows build, unless
# TESSIVO_REQUIRE_WINE=1 (CI), which makes that a failure.
set -uo pipefail
mode=$1 linux=$2 winbuild=$3 root=$4 prefix=$5

skip() {
    if [[ ${TESSIVO_REQUIRE_WINE:-0} == 1 ]]; then
        echo "wine tests: $1" >&2
        exit 1
    fi
    echo "SKIPPED: $1"
    exit 77
}
wine=$(command -v wine64 || { [[ -x /usr/lib/wine/wine64 ]] && echo /usr/lib/wine/wine64; } || command -v wine) ||
    skip "no Wine: install Debian's wine64"
wineserver=$(command -v wineserver || echo "$(dirname "$(readlink -f "$wine")")/wineserver")
exe=$winbuild/cli/tessivo-count.exe
tests_exe=$winbuild/tests/engine/engine_tests.exe
[[ -f $exe && -f $tests_exe ]] || skip "no Windows build in $winbuild: run scripts/windows"

export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" # no Mono or Gecko to install
export LC_ALL=C.UTF-8 # Wine turns the arguments into UTF-16 by the Unix locale

# The wineserver outlives this script: started here, without our output, or
# CTest would wait for it to close the test's output pipe.
start_server() { "$wineserver" -p </dev/null >/dev/null 2>&1; }

case $mode in
prefix)
    "$wineserver" -k 2>/dev/null
    rm -rf "$prefix"
    mkdir -p "$prefix"
    start_server
    "$wine" wineboot --init </dev/null >/dev/null 2>&1 || { echo "wineboot failed" >&2; exit 1; }
    exit 0
    ;;
cleanup)
    "$wineserver" -k 2>/dev/null
    rm -rf "$prefix"
    exit 0
    ;;
unit)
    [[ -d $prefix ]] || { echo "no Wine prefix at $prefix" >&2; exit 1; }
    start_server
    # The seeded random sweeps are the Linux build's (label slow).
    exec "$wine" "$tests_exe" --gtest_brief=1 \
        --gtest_filter='-*Slow.*'
    ;;
cli) ;;
*) echo "unknown step $mode" >&2; exit 1 ;;
esac

[[ -d $prefix ]] || { echo "no Wine prefix at $prefix" >&2; exit 1; }
start_server
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
in=$scratch/inputs
mkdir -p "$in" "$scratch/linux" "$scratch/windows"

# Random walks: three decimals, full double precision, past the 40000-value
# switch to the matrix, and a long one.
python3 - "$in" <<'PY'
import random, sys
def walk(name, seed, count, step, digits):
    rng = random.Random(seed)
    x = 0.0
    with open(f"{sys.argv[1]}/{name}", "w") as f:
        for _ in range(count):
            x += rng.uniform(-step, step)
            f.write((f"{x:.{digits}f}" if digits else repr(x)) + "\n")
walk("walk_short.txt", 11, 500, 10.0, 3)
walk("walk_exact.txt", 12, 5000, 1.0, 0)
walk("walk_switch.txt", 13, 45000, 10.0, 3)
walk("walk_long.txt", 14, 300000, 5.0, 2)
PY
ex=$root/examples
cp "$in/walk_short.txt" "$in/Lastfolge Ä€ 1.txt" # a non-ASCII name with blanks
windows_form() { # a Linux path as Windows writes it: drive Z: (Wine's root) and backslashes
    local p=${1//\//\\}
    echo "Z:$p"
}

# run SIDE NAME ARGS...: @WORK@ in ARGS is the side's own work folder.
run() {
    local side=$1 name=$2
    shift 2
    local dir=$scratch/$side args=() a
    for a in "$@"; do
        if [[ $a == *@WORK@* ]]; then
            mkdir -p "$dir/$name.work"
            if [[ $side == windows && $a == @WORK@ ]]; then
                a="$(windows_form "$dir/$name.work")\\" # C:\...\ with the backslash at the end
            else
                a=${a//@WORK@/$dir/$name.work}
            fi
        fi
        args+=("$a")
    done
    local rc=0
    if [[ $side == linux ]]; then
        "$linux" "${args[@]}" >"$dir/$name.out" 2>"$dir/$name.err" || rc=$?
    else
        "$wine" "$exe" "${args[@]}" >"$dir/$name.out" 2>"$dir/$name.err" || rc=$?
    fi
    echo "$rc" >"$dir/$name.rc"
}
both() { run linux "$@"; run windows "$@"; }
# paths NAME LINUX_FILE WINDOWS_FILE ARGS...: the same file named the two ways.
paths() {
    local name=$1 lf=$2 wf=$3
    shift 3
    run linux "$name" "$@" "$lf"
    run windows "$name" "$@" "$wf"
}

n=0
for f in "$ex"/*.txt "$in"/walk_*.txt; do
    [[ $f == *LICENSE* ]] && continue
    base=$(basename "$f" .txt)
    for fmt in report csv json; do
        both "$base.$fmt" --format "$fmt" "$f"
    done
done
w=$in/walk_switch.txt
both params.filter --filter 2 --normalize --format csv "$w"
both params.bins --load-bins --bin-count 64 --format report "$w"
both params.upward --residue upward --format json "$in/walk_exact.txt"
both params.half --residue half --unlimited --format csv "$w"
both params.cycles --format cycles "$in/walk_short.txt"
# Damage-equivalent loads (--del) take a root through the C library's powl,
# whose last bit differs between glibc and MinGW-w64: left out here.
both params.fatigue --sn-curve preset:EC3-71 --mean-stress goodman --ultimate 5000 --format json "$w"
both params.matrix --matrix range-mean --matrix-bins 16 "$w"
both long.unlimited --unlimited --format csv "$in/walk_long.txt"
both long.default --format report "$in/walk_long.txt"
# Every work file, Windows given its folder as C:\...\ with a backslash at the end.
both workdir.one --workdir @WORK@ --format csv "$in/walk_switch.txt"
both workdir.multi --workdir @WORK@ --format report --repetitions 3 "$ex/worked_example.txt" --scale 1.5 \
    "$ex/astm_e1049_example.txt" --repetitions 2 --scale -0.75 "$ex/block_sequence.txt"
both multi.a --format json --filter 1 --normalize --repetitions 10 "$ex/random_walk.txt" --scale 0.001 "$in/walk_exact.txt"
both multi.b --unlimited --format csv --repetitions 4 "$ex/wisperx.txt" --scale 2 "$in/walk_short.txt"
# Tables: one column by name, by number, every column.
t=$ex/nrel5mw_dlc2.3_loads.out
both table.column --column RootMyc1 --format csv "$t"
both table.columns --column TwrBsMyt --column 3 --format report "$t"
both table.all --all-columns --format json "$t"
both table.workdir --workdir @WORK@ --column RootMxc1 --format csv "$t"
# Counting in pieces: the parts are files of their own, then merged.
both partial.one --save-partial @WORK@/part1 "$in/walk_switch.txt"
both partial.two --save-partial @WORK@/part2 --piece 2 "$in/walk_exact.txt"
run linux partial.merge merge --format csv "$scratch/linux/partial.one.work/part1" "$scratch/linux/partial.two.work/part2"
run windows partial.merge merge --format csv "$(windows_form "$scratch/windows/partial.one.work/part1")" \
    "$scratch/windows/partial.two.work/part2"
# The ways Windows names a file.
s=$in/walk_short.txt
paths path.backslashes "$s" "$(windows_form "$s")" --format csv
paths path.drive-slashes "$s" "Z:$s" --format csv
paths path.long-form "$s" "\\\\?\\$(windows_form "$s")" --format csv
both path.non-ascii --format csv "$in/Lastfolge Ä€ 1.txt"
# Errors: the same messages and exit statuses.
printf '1 2 x\n' >"$in/bad.seq"
both error.bad-file "$in/bad.seq"
both error.missing "$in/missing.txt"
both error.folder "$in"
both error.filter --filter 1e9 "$ex/worked_example.txt"
both error.usage --no-such-option "$ex/worked_example.txt"
both help --help
both version --version

failed=0 passed=0
for f in "$scratch"/linux/*.rc; do
    name=$(basename "$f" .rc)
    if diff -r -q "$scratch/linux/$name.out" "$scratch/windows/$name.out" >/dev/null &&
        diff -q "$scratch/linux/$name.err" "$scratch/windows/$name.err" >/dev/null &&
        diff -q "$f" "$scratch/windows/$name.rc" >/dev/null &&
        { [[ ! -d $scratch/linux/$name.work ]] || diff -r -q "$scratch/linux/$name.work" "$scratch/windows/$name.work" >/dev/null; }; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "differs: $name (status $(cat "$f") on Linux, $(cat "$scratch/windows/$name.rc") under Wine)"
        diff "$scratch/linux/$name.err" "$scratch/windows/$name.err" | head -5
        diff "$scratch/linux/$name.out" "$scratch/windows/$name.out" 2>&1 | head -5
        [[ -d $scratch/linux/$name.work ]] && diff -r -q "$scratch/linux/$name.work" "$scratch/windows/$name.work" | head -5
    fi
done
echo "tessivo-count.exe under Wine against Linux: $passed passed, $failed failed"
[[ $failed -eq 0 ]]
