#!/bin/sh
# Every file the manual refers to (href, src) is shipped beside it, every
# "#anchor" names an id of the page, and nothing points outside its folder,
# so the manual works offline wherever it is installed.
# Usage: manual_links.sh MANUAL_DIR
set -eu
dir=$1
page="$dir/index.html"
[ -f "$page" ] || { echo "missing $page"; exit 1; }

failed=0
refs=$(grep -o -E '(href|src)="[^"]*"' "$page" | sed -E 's/^(href|src)="([^"]*)"$/\2/' | sort -u)
[ -n "$refs" ] || { echo "no references found in $page"; exit 1; }
for ref in $refs; do
    case $ref in
        http://* | https://* | mailto:*) continue ;;
        '#'*)
            grep -q "id=\"${ref#\#}\"" "$page" || { echo "no id for anchor $ref"; failed=1; } ;;
        /* | ../* | */../*)
            echo "reference leaves the manual's folder: $ref"; failed=1 ;;
        *)
            [ -f "$dir/${ref%%#*}" ] || { echo "missing file: $ref"; failed=1; } ;;
    esac
done
# A figure that no page shows is dead weight in the package.
for fig in "$dir"/*.svg; do
    [ -e "$fig" ] || continue
    grep -q "src=\"$(basename "$fig")\"" "$page" || { echo "figure not referenced: $(basename "$fig")"; failed=1; }
done
[ $failed -eq 0 ] && echo "$(echo "$refs" | wc -l) references checked"
exit $failed
