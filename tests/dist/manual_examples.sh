#!/bin/sh
# Runs every "$ command" of the manual's <pre> blocks in order, in one scratch
# folder that holds a copy of the examples, and compares what it prints with
# the lines that follow it in the manual, so the manual cannot drift from the
# program.
# Usage: manual_examples.sh MANUAL_HTML BIN_DIR EXAMPLES_DIR
set -eu
manual=$1 bindir=$2 examples=$3

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cp -R "$examples" "$scratch/examples"
mkdir "$scratch/cases"

# Split the blocks into cases/N.cmd and cases/N.expected.
awk -v out="$scratch/cases" '
  function decode(s) {
    gsub(/&lt;/, "<", s); gsub(/&gt;/, ">", s); gsub(/&quot;/, "\"", s); gsub(/&amp;/, "\\&", s)
    return s
  }
  function line(s) {
    if (cont) { sub(/^ +/, "", s); cmd = cmd " " s; cont = sub(/\\$/, "", cmd); if (!cont) print cmd > (out "/" n ".cmd"); return }
    if (s ~ /^\$ /) {
      n++; incmd = 1; cmd = substr(s, 3); printf "" > (out "/" n ".expected")
      cont = sub(/\\$/, "", cmd); if (!cont) print cmd > (out "/" n ".cmd"); return
    }
    if (incmd) print s > (out "/" n ".expected")
  }
  /<pre>/ { inpre = 1; incmd = 0; sub(/.*<pre>/, "") }  # a block of code without "$ " is no example
  inpre {
    done = sub(/<\/pre>.*/, "")
    s = decode($0)
    if (!(done && s == "")) line(s)
    if (done) { inpre = 0; if (n) close(out "/" n ".expected") }
  }
' "$manual"

count=$(ls "$scratch/cases" | grep -c '\.cmd$' || true)
[ "$count" -gt 0 ] || { echo "no examples found in $manual"; exit 1; }

failed=0
i=1
while [ "$i" -le "$count" ]; do
    cmd=$(cat "$scratch/cases/$i.cmd")
    (cd "$scratch" && PATH="$bindir:$PATH" sh -c "$cmd") > "$scratch/actual" 2>&1 || true
    if ! diff -u "$scratch/cases/$i.expected" "$scratch/actual" > "$scratch/diff"; then
        echo "example $i differs: \$ $cmd"
        cat "$scratch/diff"
        failed=1
    fi
    i=$((i + 1))
done
echo "$count examples checked"
exit $failed
