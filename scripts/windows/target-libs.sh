#!/bin/bash
# Builds the libraries the Windows program needs — Qt (qtbase) and SDL2 — for
# x86_64-w64-mingw32 from Debian's own source packages, each into a prefix cached outside every
# build folder, and prints the prefixes (one per line) on its last line, separated by ';'.
#
#   target-libs.sh                 build what is missing, print the prefixes
#   target-libs.sh --check         print the prefixes if they are all built, exit 1 otherwise
#   target-libs.sh --names         print the prefixes, built or not
#
# The cache is ${XDG_CACHE_HOME:-$HOME/.cache}/divisor-drill; a prefix is named by the source
# package's version and a digest of the configuration, so `make clean` and a fresh clone reuse
# it and a changed configuration builds anew. MINGW_PREFIX_PATH (prefixes separated by ';')
# is used as it is, without building anything.
#
# The source version is the one of the host's own Qt and SDL packages: a cross-built Qt must be
# the same version as the host tools (moc, rcc, uic) it is built and used with.
set -euo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(cd "$HERE/../.." && pwd)
TOOLCHAIN="$ROOT/cmake/mingw-w64-x86_64.cmake"
CACHE="${XDG_CACHE_HOME:-$HOME/.cache}/divisor-drill"
JOBS="${JOBS:-2}"
MODE="${1:-build}"

if [ -n "${MINGW_PREFIX_PATH:-}" ]; then
    echo "$MINGW_PREFIX_PATH"
    exit 0
fi

hostVersion() { dpkg-query -W -f='${Version}' "$1" 2>/dev/null || true; }
QT_VERSION=$(hostVersion qt6-base-dev)
SDL_VERSION=$(hostVersion libsdl2-dev)
for v in "$QT_VERSION" "$SDL_VERSION"; do
    [ -n "$v" ] || { echo "target-libs: the host's qt6-base-dev and libsdl2-dev are needed (scripts/install-deps.sh)" >&2; exit 1; }
done

# Only what the program uses. Tablet events are off because Debian's source leaves out the
# bundled wintab.h; desktop OpenGL stays on because the 6.4 Windows platform plugin does not
# compile without OpenGL; Direct2D stays on because without it
# Qt Gui leaves out the DirectWrite font engine that Qt Print Support links against.
QT_OPTIONS=(
    -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF
    -DINPUT_opengl=desktop -DFEATURE_opengl_desktop=ON
    -DFEATURE_dbus=OFF -DFEATURE_sql=OFF -DFEATURE_icu=OFF -DFEATURE_openssl=OFF
    -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_vulkan=OFF
    -DFEATURE_tabletevent=OFF
    -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_harfbuzz=OFF
    -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF -DFEATURE_system_freetype=OFF
    -DFEATURE_system_doubleconversion=OFF
)
SDL_OPTIONS=(
    -DCMAKE_BUILD_TYPE=Release -DSDL_SHARED=ON -DSDL_STATIC=OFF -DSDL_TEST=OFF
    -DSDL_JOYSTICK=OFF -DSDL_HAPTIC=OFF -DSDL_SENSOR=OFF -DSDL_HIDAPI=OFF -DSDL_POWER=OFF
)
COMPILER=$(x86_64-w64-mingw32-g++-posix --version 2>/dev/null | head -1 || true)
[ -n "$COMPILER" ] || { echo "target-libs: x86_64-w64-mingw32-g++-posix is missing (scripts/install-deps.sh)" >&2; exit 1; }
digest() { { printf '%s\n' "$@"; cat "$TOOLCHAIN"; echo "$COMPILER"; } | sha1sum | cut -c1-10; }
QT_PREFIX="$CACHE/qt-${QT_VERSION}-$(digest "${QT_OPTIONS[@]}")"
SDL_PREFIX="$CACHE/sdl2-${SDL_VERSION}-$(digest "${SDL_OPTIONS[@]}")"

if [ "$MODE" = "--names" ]; then
    echo "$QT_PREFIX;$SDL_PREFIX"
    exit 0
fi
if [ "$MODE" = "--check" ]; then
    if [ -e "$QT_PREFIX/.qtbase-built" ] && [ -e "$SDL_PREFIX/.built" ]; then
        echo "$QT_PREFIX;$SDL_PREFIX"
        exit 0
    fi
    exit 1
fi

# Debian's source packages, through a private apt configuration that adds the deb-src lines;
# the system's own apt sources stay as they are.
APT_DIR="$CACHE/apt"
APT_OPTIONS=(-o "Dir::Etc::SourceList=$APT_DIR/sources.list" -o "Dir::Etc::SourceParts=/dev/null"
    -o "Dir::State::Lists=$APT_DIR/lists" -o "Dir::Cache=$APT_DIR/cache" -o "APT::Sandbox::User=root")
fetchSource() { # package version → prints the unpacked folder
    local package=$1 version=$2 into="$CACHE/src/$1-$2"
    if [ ! -e "$into/.unpacked" ]; then
        rm -rf "$into" # what a fetch stopped halfway left
        mkdir -p "$APT_DIR/lists/partial" "$APT_DIR/cache/archives/partial" "$into"
        if [ ! -e "$APT_DIR/sources.list" ]; then
            cat >"$APT_DIR/sources.list" <<EOF
deb-src http://deb.debian.org/debian bookworm main
deb-src http://deb.debian.org/debian bookworm-updates main
deb-src http://deb.debian.org/debian-security bookworm-security main
EOF
        fi
        command -v dpkg-source >/dev/null || { echo "target-libs: dpkg-dev is missing (scripts/install-deps.sh --windows)" >&2; exit 1; }
        echo "== fetching Debian's source package $package $version" >&2
        apt-get "${APT_OPTIONS[@]}" update -qq >&2
        (cd "$into" && apt-get "${APT_OPTIONS[@]}" source -qq "$package=$version" >&2)
        touch "$into/.unpacked"
    fi
    find "$into" -mindepth 1 -maxdepth 1 -type d | head -1
}

# Runs a Ninja build, keeping its output in a log and printing how far it is.
buildWithProgress() { # build-folder log-file
    local folder=$1 log=$2
    ninja -C "$folder" -j"$JOBS" >"$log" 2>&1 &
    local pid=$! last=""
    while kill -0 "$pid" 2>/dev/null; do
        sleep 20
        local line
        line=$(grep -o '^\[[0-9]*/[0-9]*\]' "$log" | tail -1 || true)
        [ -n "$line" ] && [ "$line" != "$last" ] && { echo "   step $line  $(date +%H:%M)" >&2; last=$line; }
    done
    if ! wait "$pid"; then
        echo "target-libs: the build failed; the last lines of $log:" >&2
        tail -30 "$log" >&2
        exit 1
    fi
}

# One build of the cache at a time: a second one (`make windows` in one terminal while `make
# test-windows` builds in another) waits for the first and then finds its work done. The lock
# goes with the process, however it ends; a build stopped halfway is continued by the next.
mkdir -p "$CACHE"
exec 9>"$CACHE/.build.lock"
if ! flock -n 9; then
    echo "== another build of the Windows libraries is running in $CACHE: waiting for it" >&2
    flock 9
fi

started=$(date +%s)
WORK="$CACHE/work/$(basename "$QT_PREFIX")"
SDL_WORK="$CACHE/work/$(basename "$SDL_PREFIX")"
mkdir -p "$WORK" "$SDL_WORK"

if [ ! -e "$QT_PREFIX/.qtbase-built" ]; then
    src=$(fetchSource qt6-base "$QT_VERSION")
    echo "== building Qt $QT_VERSION (qtbase) for Windows into $QT_PREFIX" >&2
    echo "   This is done once and cached: about 1360 steps, 25 to 35 minutes at -j2 on a 2-core machine." >&2
    # A build folder left by an interrupted build of the same prefix is continued.
    cmake -S "$src" -B "$WORK/qtbase" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
        -DCMAKE_INSTALL_PREFIX="$QT_PREFIX" "${QT_OPTIONS[@]}" >"$WORK/qtbase-configure.log" 2>&1 ||
        { tail -40 "$WORK/qtbase-configure.log" >&2; exit 1; }
    echo "   configured: $(ninja -C "$WORK/qtbase" -n 2>/dev/null | tail -1 | grep -o '/[0-9]*' | tr -d /) steps to build" >&2
    buildWithProgress "$WORK/qtbase" "$WORK/qtbase-build.log"
    ninja -C "$WORK/qtbase" install >"$WORK/qtbase-install.log" 2>&1
    touch "$QT_PREFIX/.qtbase-built"
    rm -rf "$WORK" "$CACHE/src/qt6-base-$QT_VERSION" # only the built prefix is kept
fi

if [ ! -e "$SDL_PREFIX/.built" ]; then
    src=$(fetchSource libsdl2 "$SDL_VERSION")
    echo "== building SDL2 $SDL_VERSION for Windows (a few minutes)" >&2
    cmake -S "$src" -B "$SDL_WORK/sdl2" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
        -DCMAKE_INSTALL_PREFIX="$SDL_PREFIX" "${SDL_OPTIONS[@]}" >"$SDL_WORK/sdl2-configure.log" 2>&1 ||
        { tail -40 "$SDL_WORK/sdl2-configure.log" >&2; exit 1; }
    buildWithProgress "$SDL_WORK/sdl2" "$SDL_WORK/sdl2-build.log"
    ninja -C "$SDL_WORK/sdl2" install >"$SDL_WORK/sdl2-install.log" 2>&1
    touch "$SDL_PREFIX/.built"
    rm -rf "$SDL_WORK" "$CACHE/src/libsdl2-$SDL_VERSION"
fi

elapsed=$(($(date +%s) - started))
[ "$elapsed" -gt 5 ] && echo "== target libraries ready after $((elapsed / 60)) min $((elapsed % 60)) s" >&2
echo "$QT_PREFIX;$SDL_PREFIX"
