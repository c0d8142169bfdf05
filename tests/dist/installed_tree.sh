#!/bin/sh
# The installed tree holds every piece where a Linux desktop looks for it, and
# the pieces agree with each other (menu entry, icon, file type, manual).
# Usage: installed_tree.sh PREFIX GUI(ON|OFF) MANUAL_SOURCE_DIR
set -eu
prefix=$1 gui=$2 manual_src=$3
failed=0
need() {
    [ -f "$prefix/$1" ] || { echo "missing: $1"; failed=1; }
}

need bin/tessivo-count
[ -x "$prefix/bin/tessivo-count" ] || { echo "not executable: bin/tessivo-count"; failed=1; }
need share/man/man1/tessivo-count.1
need share/doc/tessivo/copyright
need share/doc/tessivo/examples/worked_example.txt
for f in "$manual_src"/*; do
    name=share/doc/tessivo/manual/$(basename "$f")
    need "$name"
    [ -f "$prefix/$name" ] && ! cmp -s "$f" "$prefix/$name" && { echo "differs from its source: $name"; failed=1; }
done

case $gui in
    ON | on | 1 | TRUE | true) ;;
    *) exit $failed ;;
esac

need bin/tessivo
desktop=share/applications/tessivo.desktop
need "$desktop"
need share/icons/hicolor/scalable/apps/tessivo.svg
need share/mime/packages/tessivo-sequence.xml
[ $failed -eq 0 ] || exit 1

# The About window's Help looks for the manual relative to the executable.
[ -f "$prefix/bin/../share/doc/tessivo/manual/index.html" ] || { echo "Help cannot find the manual from bin/"; failed=1; }

entry() { sed -n "s/^$1=//p" "$prefix/$desktop"; }
exec_program=$(entry Exec | cut -d' ' -f1)
[ -f "$prefix/bin/$exec_program" ] || { echo "Exec names no installed program: $exec_program"; failed=1; }
icon=$(entry Icon)
[ -f "$prefix/share/icons/hicolor/scalable/apps/$icon.svg" ] || { echo "Icon names no installed icon: $icon"; failed=1; }
for type in $(entry MimeType | tr ';' ' '); do
    case $type in
        text/plain) ;;
        *) grep -q "type=\"$type\"" "$prefix"/share/mime/packages/*.xml || { echo "MimeType not declared: $type"; failed=1; } ;;
    esac
done

# When shared-mime-info is at hand, let it compile our type as a desktop would.
if command -v update-mime-database > /dev/null 2>&1; then
    mime=$(mktemp -d)
    mkdir "$mime/packages"
    cp "$prefix"/share/mime/packages/tessivo-sequence.xml "$mime/packages/"
    if update-mime-database "$mime" > "$mime.log" 2>&1 && grep -q 'application/x-tessivo-sequence:\*\.seq' "$mime/globs2"; then
        :
    else
        echo "update-mime-database did not take the sequence type:"; cat "$mime.log"; failed=1
    fi
    rm -rf "$mime" "$mime.log"
fi
exit $failed
