#!/bin/bash
# The Windows program's whole road under Wine on a virtual display (Xvfb with openbox): the
# installer run silently into a fresh prefix, the installed program started, a pupil chosen by
# keys, a whole attempt of ten problems solved (the drill's number read off a screenshot with
# tesseract: the program has no door for tests), the end screen, the board, the menu, "0";
# then both records byte for byte, the launcher started with "001", an installation over it
# that keeps what the school has, and an uninstallation that keeps the results.
# usage: whole-road.sh SOURCE_DIR WINDOWS_BUILD_DIR
set -u
SOURCE=$(cd "$1" && pwd)
BUILD=$(cd "$2" && pwd)
. "$SOURCE/tests/display/display_session.sh"
WINE=/usr/lib/wine/wine64
for tool in tesseract convert import; do
    command -v "$tool" >/dev/null || fail "$tool is missing: run scripts/install-deps.sh --windows"
done
need_tools
VERSION=$(sed -n 's/^project(divisor_drill VERSION \([0-9.]*\).*/\1/p' "$SOURCE/CMakeLists.txt")
SETUP="$BUILD/dist/divisor-drill-$VERSION-setup.exe"
[ -f "$SETUP" ] || fail "$SETUP is missing: run make windows"

WORK=$(mktemp -d)
trap 'stop_all; "$WINE"server -k 2>/dev/null; /usr/lib/wine/wineserver -k 2>/dev/null' EXIT
# Wine turns Unix file names into Windows ones through the locale: a UTF-8 one of its own
# (C.UTF-8 is on every Debian), whatever the caller's is, so that Japanese names survive.
export LC_ALL=C.UTF-8
export WINEPREFIX="$WORK/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
TOP="$WINEPREFIX/drive_c/Corvalen88"
PROG="$TOP/約数ドリル"
started=$(date +%s)
"$WINE" cmd /c exit >/dev/null 2>&1
# A Japanese font, as every Japanese Windows has.
mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
cp /usr/share/fonts/opentype/ipafont-gothic/ipag*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
# The school face, as Windows 10 and later have it: the pupils' screens are read in it.
cp /usr/share/fonts/truetype/bizud-gothic/BIZUDPGothic-*.ttf /usr/share/fonts/truetype/bizud-mincho/BIZUDMincho-*.ttf \
    "$WINEPREFIX/drive_c/windows/Fonts/"

# The installer, silently, as an administrator sets up a room of PCs.
"$WINE" "$SETUP" /S '/D=C:\Corvalen88' >/dev/null 2>&1 || fail "the silent installation failed"
for file in 約数ドリル/divisor-drill.exe 約数ドリル/divisor-drill-tools.dll 約数ドリル/divisor-drill-logic.dll \
    約数ドリル/divisor-drill-screens.dll 約数ドリル/設定.txt \
    約数ドリル/タイム回数データ.txt 約数ドリル/help/contact.html 約数ドリル/uninstall.exe \
    files/共通データ.txt files/新音ファイル.txt files/生徒用名簿.txt files/seikai1.wav; do
    [ -f "$TOP/$file" ] || fail "the installation lacks $file"
done
[ "$(head -c 1 "$PROG/設定.txt")" = "1" ] || fail "設定.txt does not choose the family's layout"
[ -s "$TOP/files/生徒用名簿.txt" ] && fail "the installed roster is not empty"
[ -f "$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/約数早押しドリル.lnk" ] ||
    fail "no Start-menu shortcut"
# The school's roster and the family's launcher.
cp "$SOURCE/demo/files/生徒用名簿.txt" "$TOP/files/"
mkdir -p "$TOP/起動"
x86_64-w64-mingw32-g++-posix -O1 -static -municode "$SOURCE/tests/display/launcher_stub.cpp" \
    -o "$TOP/起動/プログラムメニュー.exe" || fail "the launcher stub did not build"

start_display
start_program() {
    (cd "$PROG" && SDL_AUDIODRIVER=dummy "$WINE" divisor-drill.exe) >"$WORK/program.log" 2>&1 &
    APP_PID=$!
}
# The newest visible window with the title, waited for (Wine's windows belong to its own
# processes, not to the one started here).
window() {
    local id
    for _ in $(seq 600); do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | tail -n 1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}

# The program's window once it is another than the one given: the next screen has replaced it.
next_screen() {
    local id
    for _ in $(seq 300); do
        id=$(window "約数早押しドリル") && [ "$id" != "$1" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}

# Waits until the window shows the same picture twice in a row: the screen has settled.
settled() {
    local before="" now
    for _ in $(seq 200); do
        now=$(import -window "$1" png:- 2>/dev/null | md5sum)
        [ -n "$before" ] && [ "$now" = "$before" ] && return 0
        before=$now
        sleep 0.3
    done
    return 1
}
# The part of the window at a place of the form's 1024x768 design, read by OCR as digits.
read_digits() { # window x y width height [scale, in per cent]
    local width crop
    width=$(xdotool getwindowgeometry --shell "$1" | sed -n 's/^WIDTH=//p') || return 1
    # The form is scaled as a whole to fit the screen: the place scales with its width.
    crop=$(awk -v s="$width" -v x="$2" -v y="$3" -v w="$4" -v h="$5" \
        'BEGIN { s /= 1024; printf "%dx%d+%d+%d", w * s, h * s, x * s, y * s }')
    import -window "$1" "$WORK/shot.png" 2>/dev/null || return 1
    convert "$WORK/shot.png" -crop "$crop" +repage -resize "${6:-40}%" "$WORK/digits.png" || return 1
    tesseract "$WORK/digits.png" - --psm 7 -c tessedit_char_whitelist=0123456789 2>/dev/null | tr -dc '0-9'
}
# Digits read at a few sizes (one size alone misreads a digit of some faces now and then): what
# two sizes agree on, else nothing.
read_agreed() { # window x y width height
    for scale in 40 30 25 60; do
        read_digits "$@" "$scale"
        echo
    done | grep . | sort | uniq -d | head -1
}
# The drill's number (Label8) once the problems still to do (Label11, "あと") are $2: a number
# may come twice in a row, the count never does.
drill_number() {
    local n left
    for _ in $(seq 100); do
        left=$(read_digits "$1" 890 66 110 36 100)
        n=""
        [ "$left" = "$2" ] && n=$(read_agreed "$1" 24 56 330 170)
        [ -n "$n" ] && { echo "$n"; return 0; }
        sleep 0.2
    done
    return 1
}

start_program
menu=$(window "約数早押しドリル") || fail "the menu did not show: $(cat "$WORK/program.log")"
settled "$menu" || fail "the menu did not settle"
import -window "$menu" "$BUILD/road-menu.png" 2>/dev/null || true # to be looked at
xdotool windowactivate --sync "$menu" key Down Return # the first pupil: 青木 さくら, number 1
board=$(next_screen "$menu") || fail "the board did not show"
settled "$board" || fail "the board did not settle"
import -window "$board" "$BUILD/road-board.png" 2>/dev/null || true
xdotool windowactivate --sync "$board" key alt+1
drill=$(next_screen "$board") || fail "the drill did not show"
for ((k = 1; k <= 10; k++)); do
    n=$(drill_number "$drill" $((11 - k))) || { cp "$WORK/shot.png" "$BUILD/road-failure.png" 2>/dev/null
        fail "problem $k: no number could be read (the screen is in $BUILD/road-failure.png)"; }
    xdotool windowactivate --sync "$drill" type --delay 40 "$(keys_for "$n")"
done
end=$(window "終了") || fail "the end screen did not show"
settled "$end" || fail "the end screen did not settle"
for _ in $(seq 20); do
    shown=$(read_agreed "$end" 40 180 944 72) # "今の成績：NN秒"
    [ -n "$shown" ] && break
done
xdotool windowactivate --sync "$end" key Return # "メニューへ"
for _ in $(seq 300); do
    board=$(window "約数早押しドリル") && ! xdotool search --onlyvisible --name "終了" >/dev/null 2>&1 && break
    sleep 0.1
done
settled "$board" || fail "the board did not come back"
xdotool windowactivate --sync "$board" key 0
menu=$(next_screen "$board")
settled "$menu" || fail "the menu did not come back"
xdotool windowactivate --sync "$menu" key 0
for _ in $(seq 300); do
    xdotool search --onlyvisible --name "約数早押しドリル" >/dev/null 2>&1 || break
    sleep 0.1
done
for _ in $(seq 100); do [ -f "$TOP/launched" ] && break; sleep 0.1; done
[ "$(tr -d '\r\n' <"$TOP/launched" 2>/dev/null)" = "001" ] || fail "the launcher was not started with 001"

# The records, byte for byte: today, pupil 1, level 1, the time the end screen showed.
/usr/bin/python3 "$SOURCE/tests/display/check_records.py" --read-off "$PROG/成績累積データ.dat" "$TOP/files/成績累積データ家庭用.dat" \
    "$started" "" "$shown" || fail "the records are not what the attempt was"
# The attempt's problems in the problem log: the header and ten or more lines of pupil 1 on level 1.
/usr/bin/python3 - "$PROG/問題記録.csv" <<'PY' || fail "the problem log is not what the attempt was"
import sys
text = open(sys.argv[1], "rb").read()
assert text.startswith("\ufeff日付,".encode()), text[:20]
lines = text.split(b"\r\n")
assert lines[-1] == b"", "no CR LF at the end"
problems = [line.split(b",") for line in lines[1:-1]]
assert len(problems) >= 10 and all(p[2:4] == [b"1", b"1"] and len(p) == 9 for p in problems), problems
print(f"problem log: {len(problems)} problems of pupil 1 on level 1")
PY

# Installing again over it keeps what the school has, byte for byte.
kept=(files/生徒用名簿.txt files/共通データ.txt 約数ドリル/成績累積データ.dat files/成績累積データ家庭用.dat
    約数ドリル/設定.txt 約数ドリル/タイム回数データ.txt 約数ドリル/help/contact.html 約数ドリル/ヘルプアドレス.txt
    約数ドリル/問題記録.csv)
printf 'qrc:/help/index.html\r\n' >"$PROG/ヘルプアドレス.txt"
printf '<p>塾の連絡先</p>' >"$PROG/help/contact.html"
(cd "$TOP" && md5sum "${kept[@]}") >"$WORK/kept.md5"
"$WINE" "$SETUP" /S '/D=C:\Corvalen88' >/dev/null 2>&1 || fail "installing over it failed"
(cd "$TOP" && md5sum -c --quiet "$WORK/kept.md5") || fail "installing over it changed what the school has"

# Uninstalling removes the program and keeps the results, the roster and the settings.
# The uninstaller runs on from a copy of itself and removes its own file last.
(cd "$PROG" && "$WINE" uninstall.exe /S) >/dev/null 2>&1
for _ in $(seq 300); do [ -f "$PROG/uninstall.exe" ] || break; sleep 0.1; done
[ -f "$PROG/divisor-drill.exe" ] && fail "the uninstaller left the program"
[ -f "$PROG/Qt6Core.dll" ] && fail "the uninstaller left Qt"
(cd "$TOP" && md5sum -c --quiet "$WORK/kept.md5") || fail "uninstalling removed what the school has"
echo "whole road under Wine: installed silently, an attempt recorded byte for byte, installed over and" \
    "uninstalled keeping the school's files, in $(($(date +%s) - started)) s"
