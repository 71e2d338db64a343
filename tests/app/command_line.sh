#!/bin/bash
# The program on the command line: --version and --help answer on the terminal without a
# window, and without a screen the program says why instead of aborting.
set -u
PROGRAM=$1
fail() { echo "FAIL: $*" >&2; exit 1; }
out=$("$PROGRAM" --version) || fail "--version ended with $?"
[[ "$out" == *"(divisor-drill) 1."* ]] || fail "--version printed: $out"
out=$("$PROGRAM" --help) || fail "--help ended with $?"
[[ "$out" == *"--check-results"* && "$out" == *"使い方"* ]] || fail "--help printed: $out"
out=$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$PROGRAM" 2>&1)
code=$?
[ "$code" -eq 1 ] || fail "without a screen the program ended with $code (134 is an abort): $out"
[[ "$out" == *"画面に接続できない"* ]] || fail "without a screen the program said: $out"
echo "command line: --version, --help and no screen answered"
