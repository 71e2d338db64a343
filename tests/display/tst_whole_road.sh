#!/bin/bash
# A pupil's whole road through the real program on a real display (Xvfb with openbox), driven
# from outside by keys and read through the accessibility interface, from a new installation:
# its empty roster filled from a class list, the menu listing the new pupil, the pupil chosen,
# the board, Alt+1, ten problems solved, the end screen, "もう一度", a second attempt with one
# wrong answer and "+" "+", "メニューへ", the board, "0", the menu, "0"; then the records the
# program appended, byte for byte, and the launcher's "001".
set -uo pipefail
if [ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ]; then
    command -v dbus-run-session >/dev/null || { echo "FAIL: dbus-run-session is missing: run scripts/install-deps.sh"; exit 1; }
    exec dbus-run-session -- bash "$0" "$@"
fi
BUILD=$1
SOURCE=$2
. "$SOURCE/tests/display/display_session.sh"
trap stop_all EXIT
need_tools
[ -x /usr/bin/python3 ] && /usr/bin/python3 -c "import pyatspi" 2>/dev/null ||
    fail "python3-pyatspi is missing: run scripts/install-deps.sh"
READER="/usr/bin/python3 $SOURCE/tests/display/screen_reader.py"
stage_installation
# A new installation: the roster empty, a class list taken in as an administrator does.
: >"$WORK/files/生徒用名簿.txt"
printf '\xef\xbb\xbf氏名,ふりがな,学年\r\n青木　さくら,ｱｵｷ ｻｸﾗ,小3\r\n' >"$WORK/class.csv"
"$PROG/divisor-drill" --import-roster "$WORK/class.csv" >"$WORK/import.log" ||
    fail "the class list was not taken in: $(cat "$WORK/import.log")"
start_display
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
# The accessibility bus is started, and answering, before the program looks for it.
/usr/bin/python3 -c "import pyatspi; pyatspi.Registry.getDesktop(0)" >/dev/null 2>&1 ||
    fail "the accessibility bus did not start"
started=$(date +%s)


# Ten problems, each a number other than the one before (PREVIOUS, the first time).
solve_ten() {
    local previous=${1:-} n
    for ((k = 0; k < 10; k++)); do
        n=$($READER number "$previous") || fail "no number to solve"
        xdotool type --delay 15 "$(keys_for "$n")"
        previous=$n
    done
}

start_program
menu=$(window_titled "約数") || fail "the menu did not show: $(cat "$WORK/program.log")"
$READER find-line "青木　さくら" >/dev/null || fail "the menu does not list the pupil of the class list"
xdotool windowactivate --sync "$menu" key Down Return # the pupil taken in: 青木 さくら, number 1
$READER find-line "●" >/dev/null || fail "the board did not show its lists" # the board has settled
board=$(window_titled "約数") || fail "no board window"
xdotool windowactivate --sync "$board" key alt+1
solve_ten
first_time=$($READER find "今の成績" | sed 's/[^0-9]//g') || fail "the end screen did not show"
$READER press "もう一度"
n=$($READER number) || fail "the second attempt did not start"
xdotool type --delay 15 "99 " # a wrong answer
$READER find "を２回おしなさい" >/dev/null || fail "the answer was not shown"
xdotool type --delay 15 "++"
solve_ten "$n"
second_time=$($READER find "今の成績" | sed 's/[^0-9]//g') || fail "the second end screen did not show"
$READER press "メニューへ"
$READER find "獲得ポイント" >/dev/null || fail "the board did not come back"
$READER find-line "●" >/dev/null || fail "the board's lists were not filled" # the board has settled
board=$(window_titled "約数") || fail "no board window"
xdotool windowactivate --sync "$board" key 0
$READER find "名前を選びなさい" >/dev/null || fail "the menu did not come back"
menu=$(window_titled "約数") || fail "no menu window"
xdotool windowactivate --sync "$menu" key 0
wait_for_exit
[ "$EXIT_CODE" -eq 0 ] || fail "the program ended with code $EXIT_CODE"
[ "$(launched)" = "001" ] || fail "the launcher was not started with 001"
pgrep -f "$PROG/divisor-drill" >/dev/null && fail "a process of the program is left"

# The records, byte for byte: date, pupil 1, level 1, the times shown; the clock time within the run.
/usr/bin/python3 "$SOURCE/tests/display/check_records.py" "$PROG/成績累積データ.dat" "$WORK/files/成績累積データ家庭用.dat" \
    "$started" 12345 "$first_time" "$second_time" >/dev/null || fail "the records are not what the attempts were"

# The close box ends the program like "終了", and the next start is not refused.
start_program
menu=$(window_titled "約数") || fail "the menu did not show again"
close_window "$menu"
wait_for_exit
[ "$EXIT_CODE" -eq 0 ] || fail "closing the menu ended the program with code $EXIT_CODE"
start_program
menu=$(window_titled "約数") || fail "a start after closing was refused"
xdotool windowactivate --sync "$menu" key 0
wait_for_exit
[ "$EXIT_CODE" -eq 0 ] || fail "\"0\" on the menu ended the program with code $EXIT_CODE"
echo "whole road: two attempts recorded byte for byte in $(($(date +%s) - started)) s, the program ended cleanly"
