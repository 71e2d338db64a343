#!/bin/bash
# Fails when a file compiled into the logic library (drillcore), or a project header it includes,
# includes a header of Qt Gui or Qt Widgets, however it is spelled: the logic must build and be
# tested without a window system.
# usage: check-logic-includes.sh SOURCE_DIR QT_INCLUDE_DIR FILE...   (files relative to SOURCE_DIR/src)
set -u
src="$1/src"
qt="$2"
shift 2
declare -A seen
bad=0

check() {
    local file="$1"
    [ -n "${seen[$file]:-}" ] && return
    seen[$file]=1
    local line header
    while IFS= read -r line; do
        if [[ "$line" =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\<([^\>]+)\> ]]; then
            header="${BASH_REMATCH[1]}"
            case "$header" in
            QtGui | QtGui/* | QtWidgets | QtWidgets/* | QtPrintSupport* | QtCharts*)
                echo "$file: <$header> is not for the logic"; bad=1; continue ;;
            esac
            for module in QtGui QtWidgets QtPrintSupport; do
                if [ -e "$qt/$module/$header" ]; then
                    echo "$file: <$header> belongs to $module"; bad=1
                fi
            done
        elif [[ "$line" =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\"([^\"]+)\" ]]; then
            header="${BASH_REMATCH[1]}"
            if [ -e "$(dirname "$file")/$header" ]; then
                check "$(dirname "$file")/$header"
            elif [ -e "$src/$header" ]; then
                check "$src/$header"
            fi
        fi
    done <"$file"
}

for f in "$@"; do
    case "$f" in /*) check "$f" ;; *) check "$src/$f" ;; esac
done
[ "$bad" -eq 0 ] && echo "the logic library includes no Qt Gui or Qt Widgets header (${#seen[@]} files)"
exit "$bad"
