#!/bin/bash
# The layer check proves itself: on a copy of the sources with one wrong include planted, it
# fails and names the file.
# usage: layers_planted.sh SOURCE_DIR
set -u
SOURCE=$1
fail() { echo "FAIL: $*" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
plant() { # file include what-the-check-must-say
    rm -rf "$work/src"
    cp -R "$SOURCE/src" "$work/src"
    printf '#include "%s"\n' "$2" >>"$work/src/$1"
    out=$(python3 "$SOURCE/scripts/check-layers.py" "$work/src") && fail "$1 including $2 passed the check"
    [[ "$out" == *"FAIL: $1"*"$3"* ]] || fail "$1 including $2: the check said: $out"
}
plant board/board_screen.cpp teacher/teacher_panel.h "board may not include teacher"
plant teacher/teacher_panel.cpp board/board_screen.h "includes another screen"
plant records/statistics.cpp board/course_board.h "records may not include board"
plant state/loose.cpp app/navigation.h "from the top"
echo "the layer check fails on each planted include"
