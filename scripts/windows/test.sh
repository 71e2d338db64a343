#!/bin/bash
# Runs the cross-built tests of the Windows program under Wine: the logic tests, the screen
# tests on the offscreen platform and the platform test, each in turn, in a private Wine prefix
# with a Japanese font (the screens measure their text).
# usage: test.sh WINDOWS_BUILD_DIR QT_PREFIX SDL_PREFIX [TEST ...]
set -uo pipefail
BUILD=$(cd "$1" && pwd)
QT=$2
SDL=$3
shift 3
WINE=/usr/lib/wine/wine64
[ -x "$WINE" ] || { echo "FAIL: Wine (wine64) is missing: run scripts/install-deps.sh"; exit 1; }
# Wine turns Unix file names into Windows ones through the locale: a UTF-8 one of its own
# (C.UTF-8 is on every Debian), whatever the caller's is, so that Japanese names survive.
export LC_ALL=C.UTF-8
export WINEPREFIX="$BUILD/wine-tests" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -d "$WINEPREFIX" ]; then
    "$WINE" cmd /c exit >/dev/null 2>&1 || true
    mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
    cp /usr/share/fonts/opentype/ipafont-gothic/ipag*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
fi
# The school face, as Windows 10 and later have it, so that pupils' screens are tested in it.
cp -u /usr/share/fonts/truetype/bizud-gothic/BIZUDPGothic-*.ttf /usr/share/fonts/truetype/bizud-mincho/BIZUDMincho-*.ttf \
    "$WINEPREFIX/drive_c/windows/Fonts/"
# One Wine server for the whole run: left to itself it quits a few seconds after each program,
# and a program started just as it quits never starts at all.
/usr/lib/wine/wineserver -p
trap '/usr/lib/wine/wineserver -k >/dev/null 2>&1 || true' EXIT
windowsPath() { echo "Z:${1//\//\\}"; }
RUNTIME=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")
export WINEPATH="$(windowsPath "$QT/bin");$(windowsPath "$SDL/bin");$(windowsPath "$RUNTIME");$(windowsPath /usr/x86_64-w64-mingw32/lib)"
# Wine keeps the host's QT_ variables from Windows programs: the platform is set inside Wine,
# and Qt finds its plugins beside its own libraries.

if [ $# -eq 0 ]; then
    set -- $(cd "$BUILD/bin" && ls tst_*.exe | sed 's/\.exe$//')
fi
passed=0
failed=()
started=$(date +%s)
for test in "$@"; do
    log="$BUILD/test-logs/$test.log"
    mkdir -p "$BUILD/test-logs"
    begin=$(date +%s)
    rm -f "$log"
    # Qt Test writes to a file: a Windows program's standard output does not reach us.
    runTest() {
        (cd "$BUILD/bin" && timeout 300 "$WINE" cmd /c "set QT_QPA_PLATFORM=offscreen&& $test.exe -o $(windowsPath "$log"),txt") >"$log.out" 2>&1
    }
    # A test that wrote no log never ran: Wine did not start it. That, and only that, is tried
    # once more; a test that ran and failed is a failure.
    if runTest || { [ ! -s "$log" ] && echo "  (Wine did not start $test; once more)" && runTest; }; then
        passed=$((passed + 1))
        echo "  passed  $test ($(($(date +%s) - begin)) s)"
    else
        failed+=("$test")
        echo "  FAILED  $test ($(($(date +%s) - begin)) s): $log"
        if [ -s "$log" ]; then
            grep -E "^FAIL!|Loc:|Actual|Expected|passed, .* failed" "$log" | head -12 | sed 's/^/          /'
        else
            tail -12 "$log.out" | sed 's/^/          /'
        fi
    fi
done
echo "== under Wine: ${passed} passed, ${#failed[@]} failed ($(($(date +%s) - started)) s)"
[ ${#failed[@]} -eq 0 ]
