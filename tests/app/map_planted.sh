#!/bin/bash
# The map check proves itself: on a copy of the sources with the map broken in one place, it
# fails and says where.
# usage: map_planted.sh SOURCE_DIR
set -u
SOURCE=$1
fail() { echo "FAIL: $*" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
plant() { # what-the-check-must-say command...
    local said=$1
    shift
    rm -rf "$work/copy" && mkdir -p "$work/copy"
    cp -R "$SOURCE/src" "$SOURCE/README.md" "$work/copy/"
    (cd "$work/copy" && "$@")
    out=$(python3 "$SOURCE/scripts/check-map.py" "$work/copy") && fail "'$*' passed the check"
    [[ "$out" == *"$said"* ]] || fail "'$*': the check said: $out"
}
plant "src/newpart: not in DRILL_FOLDERS" mkdir src/newpart
plant "lines for src/newpart, not one" mkdir src/newpart
plant "names src/gone, which is gone" sed -i 's|^- `src/menu`:|- `src/gone`: gone.\n&|' README.md
plant "src/board/extra.cpp: listed 0 times" touch src/board/extra.cpp
plant "src/menu/DESIGN.md: says it may use" sed -i 's/^May use: .*/May use: state./' src/menu/DESIGN.md
echo "the map check fails on each planted fault"
