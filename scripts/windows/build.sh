#!/bin/bash
# `make windows`: the Windows program cross-built with mingw-w64, with its tests, and packed as
# a zip and an installer in WINDOWS_BUILD_DIR/dist.
# usage: build.sh SOURCE_DIR HOST_BUILD_DIR WINDOWS_BUILD_DIR
set -euo pipefail
SOURCE=$(cd "$1" && pwd)
HOST=$2
BUILD=$3
JOBS="${JOBS:-2}"
started=$(date +%s)
PREFIXES=$("$SOURCE/scripts/windows/target-libs.sh" | tail -1)
QT=${PREFIXES%%;*}
SDL=${PREFIXES##*;}
VERSION=$(sed -n 's/^project(divisor_drill VERSION \([0-9.]*\).*/\1/p' "$SOURCE/CMakeLists.txt")

# The demo's sounds are made by a tool of the host build.
cmake -S "$SOURCE" -B "$HOST" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$HOST" -j"$JOBS" --target make-demo-sounds >/dev/null

echo "== building the Windows program (Qt in $QT)"
mkdir -p "$BUILD"
cmake -S "$SOURCE" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$QT/lib/cmake/Qt6/qt.toolchain.cmake" \
    -DQT_CHAINLOAD_TOOLCHAIN_FILE="$SOURCE/cmake/mingw-w64-x86_64.cmake" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DQT_ADDITIONAL_PACKAGES_PREFIX_PATH="$SDL" >"$BUILD/configure.log" 2>&1 ||
    { tail -30 "$BUILD/configure.log"; exit 1; }
ninja -C "$BUILD" -j"$JOBS" | grep -E "warning|error|FAILED" || true
ninja -C "$BUILD" -j"$JOBS" >/dev/null # fails here, with its message, if the build did
"$SOURCE/scripts/windows/package.sh" "$SOURCE" "$BUILD" "$HOST" "$QT" "$SDL" "$VERSION"
echo "== make windows took $(($(date +%s) - started)) s"
