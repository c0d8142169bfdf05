#!/bin/sh
# The installed programs run from the installed tree: tessivo-count gives the
# worked example's report, and the desktop program gets through its start-up.
# Usage: installed_programs.sh PREFIX GUI(ON|OFF) VERSION EXAMPLES_DIR
set -eu
prefix=$1 gui=$2 version=$3 examples=$4
scratch=$(mktemp -d)
pid=
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2> /dev/null
    rm -rf "$scratch"
}
trap cleanup EXIT
failed=0

printf '%s\n' \
    'Spectrum characteristics' 'Sequence length: 	6' 'Highest Peak: 	6.000' 'Lowest Trough: 	0.000' '' \
    'Load cycles' 'Load	Maximum	Minimum	Number of	Cumulative' 'Range	Load	Load	Cycles	Number' \
    '6.000	6.000	0.000	1	1' '4.000	5.000	1.000	1	2' '2.000	4.000	2.000	1	3' > "$scratch/expected"
if ! "$prefix/bin/tessivo-count" "$examples/worked_example.txt" > "$scratch/report" 2>&1; then
    echo "tessivo-count failed:"; cat "$scratch/report"; failed=1
elif ! diff -u "$scratch/expected" "$scratch/report"; then
    echo "tessivo-count gave another report"; failed=1
fi
[ "$("$prefix/bin/tessivo-count" --version)" = "tessivo-count $version" ] || { echo "wrong version"; failed=1; }

case $gui in
    ON | on | 1 | TRUE | true) ;;
    *) exit $failed ;;
esac

# The desktop program has no way to quit by itself: start it headless with its
# own settings and data folders, wait until its first show has stored the
# window placement, check that it is still running, then stop it.
mkdir "$scratch/config" "$scratch/data" "$scratch/runtime"
chmod 700 "$scratch/runtime"
settings="$scratch/config/Morvane Engineering/Tessivo.reg"
QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$scratch/config" XDG_DATA_HOME="$scratch/data" \
    XDG_RUNTIME_DIR="$scratch/runtime" "$prefix/bin/tessivo" > "$scratch/gui.log" 2>&1 &
pid=$!
tries=0
while [ ! -f "$settings" ] && kill -0 "$pid" 2> /dev/null && [ $tries -lt 600 ]; do
    sleep 0.1
    tries=$((tries + 1))
done
if ! kill -0 "$pid" 2> /dev/null; then
    echo "tessivo ended by itself:"; cat "$scratch/gui.log"; failed=1
elif [ ! -f "$settings" ]; then
    echo "tessivo did not store its settings within a minute:"; cat "$scratch/gui.log"; failed=1
fi
kill "$pid" 2> /dev/null || true
wait "$pid" 2> /dev/null || true
pid=
exit $failed
