#!/bin/bash
# A school's deployment under Wine, as its IT person does it: two prefixes (the server and a
# pupil's PC) that see one folder as drive S:. The server's installer puts the whole top folder on
# the share; the pupil's PC is set up with /CLIENT=, starts the program from its Start-menu
# shortcut, and uninstalls, which removes only that shortcut. Malformed options stop the
# installer with exit code 2 and nothing installed; the share is never written by the pupil's
# setup or its uninstallation.
# usage: client-road.sh SOURCE_DIR WINDOWS_BUILD_DIR [SCREENSHOT_DIR]
set -u
SOURCE=$(cd "$1" && pwd)
BUILD=$(cd "$2" && pwd)
SHOTS=${3:-}
. "$SOURCE/tests/display/display_session.sh"
WINE=/usr/lib/wine/wine64
need_tools
VERSION=$(sed -n 's/^project(divisor_drill VERSION \([0-9.]*\).*/\1/p' "$SOURCE/CMakeLists.txt")
SETUP="$BUILD/dist/divisor-drill-$VERSION-setup.exe"
[ -f "$SETUP" ] || fail "$SETUP is missing: run make windows"

WORK=$(mktemp -d)
SHARE="$WORK/share"
mkdir -p "$SHARE"
trap 'stop_all; for p in server pupil; do WINEPREFIX="$WORK/$p" /usr/lib/wine/wineserver -k 2>/dev/null; done' EXIT
# Wine takes its code page from the locale: a Japanese one of its own (code page 932, as on a
# Japanese Windows), so that the shortcut the installer makes keeps the Japanese folder name in
# every form and the shell can follow it. Made here, as the machine may have none.
localedef -i ja_JP -f UTF-8 "$WORK/ja_JP.UTF-8" 2>/dev/null || fail "no Japanese locale: the locales package is missing"
export LOCPATH="$WORK" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# (For Wine and the tools it starts; this shell itself keeps its own locale, hence the quiet.)
export LC_ALL=ja_JP.UTF-8 2>/dev/null
started=$(date +%s)
START_MENU="drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/約数早押しドリル.lnk"
UNINSTALL_KEY='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\divisor-drill-client'

# A prefix of its own that sees the share as S:, with a Japanese font.
use_prefix() {
    export WINEPREFIX="$WORK/$1"
    if [ ! -d "$WINEPREFIX" ]; then
        "$WINE" cmd /c exit >/dev/null 2>&1
        ln -s "$SHARE" "$WINEPREFIX/dosdevices/s:"
        mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
        cp /usr/share/fonts/opentype/ipafont-gothic/ipag*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
        cp "$SETUP" "$WINEPREFIX/drive_c/setup.exe"
    fi
}
# The installer as cmd runs it, the command line passed exactly as written; its exit code.
setup() {
    "$WINE" cmd /c "C:\\setup.exe $*" >/dev/null 2>&1
}
share_sums() {
    (cd "$SHARE" && find . -type f -print0 | sort -z | xargs -0 md5sum)
}

# Every Wine process of a prefix belongs to the display it first saw: the display comes first.
start_display

# The server: the whole top folder on the share.
use_prefix server
setup '/S /D=S:\Corvalen88' || fail "the silent installation on the share failed"
[ -f "$SHARE/Corvalen88/約数ドリル/divisor-drill.exe" ] || fail "nothing was installed on the share"
cp "$SOURCE/demo/files/生徒用名簿.txt" "$SHARE/Corvalen88/files/"
share_sums >"$WORK/share.md5"

# A pupil's PC: options the installer refuses, each with exit code 2 and nothing installed.
use_prefix pupil
for options in '/S /QUIET' '/S "/D=C:\Elsewhere"' '/S /D="C:\Elsewhere"' '/S /CLIENT=S:\NoSuchFolder' '/S /CLIENT='; do
    setup "$options"
    code=$?
    [ "$code" = 2 ] || fail "setup $options ended with $code, not 2"
    [ -e "$WINEPREFIX/drive_c/Elsewhere" ] && fail "setup $options installed into C:\\Elsewhere"
    [ -e "$WINEPREFIX/drive_c/Corvalen88" ] && fail "setup $options installed into the default folder"
    [ -e "$WINEPREFIX/$START_MENU" ] && fail "setup $options made a shortcut"
done

# The pupil's PC set up to start the share's copy.
setup '/S /CLIENT=S:\Corvalen88' || fail "setting up the pupil's PC failed"
[ -f "$WINEPREFIX/$START_MENU" ] || fail "the pupil's PC has no Start-menu shortcut"
python3 - "$WINEPREFIX/$START_MENU" <<'PY' || fail "the shortcut does not lead to the share's program"
import sys
data = open(sys.argv[1], "rb").read()
target = "S:\\Corvalen88\\約数ドリル\\divisor-drill.exe"
assert target.encode("utf-16-le") in data or target.encode("cp932") in data, "no share path in the shortcut"
PY
copied=$(find "$WINEPREFIX/drive_c" \( -name 'divisor-drill*' -o -name 'Qt6Core.dll' -o -name '生徒用名簿.txt' \) | head -n 3)
[ -z "$copied" ] || fail "the pupil's PC got program files: $copied"
"$WINE" reg query "$UNINSTALL_KEY" /v DisplayVersion >/dev/null 2>&1 || fail "no uninstall entry on the pupil's PC"
share_sums | diff -q - "$WORK/share.md5" >/dev/null || fail "setting up the pupil's PC changed the share"

# The pupil starts the program from the Start menu: its window comes up.
"$WINE" start "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\約数早押しドリル.lnk" >"$WORK/start.log" 2>&1
shown=""
for _ in $(seq 600); do
    shown=$(xdotool search --onlyvisible --name "約数早押しドリル" 2>/dev/null | tail -n 1)
    [ -n "$shown" ] && break
    sleep 0.1
done
[ -n "$shown" ] || fail "the program did not start from the pupil's shortcut: $(iconv -f cp932 -t utf-8 "$WORK/start.log" 2>/dev/null | tail -n 2)"
if [ -n "$SHOTS" ]; then
    sleep 1 # the first paint; only for the picture
    import -window root "$SHOTS/pupil-pc-from-share.png" 2>/dev/null
fi
/usr/lib/wine/wineserver -k 2>/dev/null
share_sums >"$WORK/share-after-run.md5"

# Uninstalling the pupil's PC removes its shortcut and entry, and nothing on the share.
"$WINE" "C:\\Program Files\\約数早押しドリル（共有フォルダから起動）\\uninstall.exe" /S >/dev/null 2>&1
for _ in $(seq 300); do [ -e "$WINEPREFIX/$START_MENU" ] || break; sleep 0.1; done
[ -e "$WINEPREFIX/$START_MENU" ] && fail "uninstalling left the pupil's shortcut"
for _ in $(seq 300); do "$WINE" reg query "$UNINSTALL_KEY" >/dev/null 2>&1 || break; sleep 0.1; done
"$WINE" reg query "$UNINSTALL_KEY" >/dev/null 2>&1 && fail "uninstalling left the pupil's uninstall entry"
share_sums | diff -q - "$WORK/share-after-run.md5" >/dev/null || fail "uninstalling the pupil's PC changed the share"
[ -f "$SHARE/Corvalen88/約数ドリル/divisor-drill.exe" ] || fail "uninstalling the pupil's PC removed the program"
[ -f "$WORK/server/$START_MENU" ] || fail "the server's shortcut went"
echo "client road under Wine: the share installed, a pupil's PC set up with /CLIENT=, started from its" \
    "shortcut and uninstalled, the share untouched, 5 malformed options refused, in $(($(date +%s) - started)) s"
