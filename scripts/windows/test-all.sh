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
# The logic and the screens exist once, in their DLLs, as on Linux (whose build tells which
# functions are theirs).
HOST="$SOURCE/build"
# That reference is built here: `make windows` builds only the host's sound maker, so on a fresh
# clone `make windows` then `make test-windows` found no Linux libraries to compare with.
cmake -S "$SOURCE" -B "$HOST" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null &&
    cmake --build "$HOST" -j"${JOBS:-2}" --target drillcore drillscreens >/dev/null ||
    { echo "FAIL: the Linux libraries for the one-copy check did not build"; status=1; }
python3 "$SOURCE/scripts/check-one-copy.py" x86_64-w64-mingw32-nm \
    --shared "$BUILD/bin/divisor-drill-logic.dll" "$BUILD/bin/divisor-drill-screens.dll" \
    --users "$BUILD/bin/divisor-drill.exe" "$BUILD/bin/divisor-drill-tools.dll" \
    --reference "$HOST/bin/divisor-drill-logic.so" "$HOST/bin/divisor-drill-screens.so" || status=1
"$SOURCE/scripts/windows/test.sh" "$BUILD" "${PREFIXES%%;*}" "${PREFIXES##*;}" || status=1
"$SOURCE/scripts/windows/whole-road.sh" "$SOURCE" "$BUILD" || status=1
"$SOURCE/scripts/windows/client-road.sh" "$SOURCE" "$BUILD" || status=1
[ $status -eq 0 ] && echo "== make test-windows: every test passed under Wine"
exit $status
