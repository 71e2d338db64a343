#!/bin/bash
# Builds the Windows unit of the platform layer and its test with mingw-w64, as a static Windows
# executable, and runs it under Wine in a private prefix: code page 932, the record lock between
# two programs, appends from two programs, the single instance and the launcher.
# usage: test-windows.sh SOURCE_DIR BUILD_DIR
set -eu
SOURCE=$(cd "${1:-.}" && pwd)
BUILD=$(mkdir -p "${2:-build}" && cd "${2:-build}" && pwd)
CXX=x86_64-w64-mingw32-g++-posix
WINE=/usr/lib/wine/wine64
command -v "$CXX" >/dev/null || { echo "FAIL: $CXX is missing: run scripts/install-deps.sh"; exit 1; }
[ -x "$WINE" ] || { echo "FAIL: Wine (wine64) is missing: run scripts/install-deps.sh"; exit 1; }
OUT="$BUILD/windows"
mkdir -p "$OUT"
"$CXX" -std=c++20 -O1 -Wall -Wextra -static -municode -I"$SOURCE/src" \
    "$SOURCE/src/platform/native_common.cpp" "$SOURCE/src/platform/native_windows.cpp" \
    "$SOURCE/tests/platform/tst_native.cpp" -o "$OUT/tst_native.exe"
# Wine turns Unix file names into Windows ones through the locale: a UTF-8 one of its own
# (C.UTF-8 is on every Debian), whatever the caller's is, so that Japanese names survive.
export LC_ALL=C.UTF-8
export WINEPREFIX="$OUT/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# A fresh prefix is made once (about ten seconds); its messages are not the test's.
[ -d "$WINEPREFIX" ] || "$WINE" cmd /c exit >/dev/null 2>&1 || true
"$WINE" "$OUT/tst_native.exe"
