#!/bin/bash
# `make test-windows`: the cross-built tests under Wine, then the whole road of the installed
# program under Wine on a virtual display.
# usage: test-all.sh SOURCE_DIR WINDOWS_BUILD_DIR
set -uo pipefail
SOURCE=$(cd "$1" && pwd)
BUILD=$(cd "$2" && pwd)
PREFIXES=$("$SOURCE/scripts/windows/target-libs.sh" --check) || {
    echo "FAIL: the Windows libraries are not built: run make windows"
    exit 1
}
status=0
"$SOURCE/scripts/windows/test.sh" "$BUILD" "${PREFIXES%%;*}" "${PREFIXES##*;}" || status=1
"$SOURCE/scripts/windows/whole-road.sh" "$SOURCE" "$BUILD" || status=1
[ $status -eq 0 ] && echo "== make test-windows: every test passed under Wine"
exit $status
