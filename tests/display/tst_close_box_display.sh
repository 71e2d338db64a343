#!/bin/bash
# The close box under a window manager: on the menu it ends the program like "終了" (the
# launcher is started, nothing is left running, the next start is not refused); on the board it
# goes back to the menu.
set -uo pipefail
BUILD=$1
SOURCE=$2
. "$SOURCE/tests/display/display_session.sh"
trap stop_all EXIT
need_tools
stage_installation
start_display

start_program
menu=$(window_titled "約数") || fail "the menu did not show: $(cat "$WORK/program.log")"
close_window "$menu"
wait_for_exit
[ "$EXIT_CODE" -eq 0 ] || fail "the program ended with code $EXIT_CODE: $(cat "$WORK/program.log")"
[ "$(launched)" = "001" ] || fail "the launcher was not started with 001"
rm -f "$WORK/launched"

# A second start is not refused: the menu shows, a pupil is chosen, the board's close box
# brings the menu back, and the menu's close box ends the program.
start_program
menu=$(window_titled "約数") || fail "the second start showed no menu: $(cat "$WORK/program.log")"
xdotool windowactivate --sync "$menu" key Down Down Return
board=""
for _ in $(seq 300); do
    board=$(window_titled "約数")
    [ -n "$board" ] && [ "$board" != "$menu" ] && break
    sleep 0.1
done
[ -n "$board" ] && [ "$board" != "$menu" ] || fail "the board did not replace the menu"
close_window "$board"
menu2=""
for _ in $(seq 300); do
    menu2=$(window_titled "約数")
    [ -n "$menu2" ] && [ "$menu2" != "$board" ] && break
    sleep 0.1
done
[ -n "$menu2" ] && [ "$menu2" != "$board" ] || fail "the board's close box did not bring the menu back"
kill -0 "$APP_PID" 2>/dev/null || fail "the board's close box ended the program"
close_window "$menu2"
wait_for_exit
[ "$EXIT_CODE" -eq 0 ] || fail "the program ended with code $EXIT_CODE: $(cat "$WORK/program.log")"
echo "close box: menu ends the program, board goes back to the menu"
