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

# The administrator's import of a class list into a new installation's empty roster.
SOURCE=${2:-}
if [ -n "$SOURCE" ]; then
    top=$(mktemp -d)
    trap 'rm -rf "$top"' EXIT
    cp -R "$SOURCE/demo/." "$top/"
    : >"$top/files/生徒用名簿.txt"
    cp "$PROGRAM" "$(dirname "$PROGRAM")"/divisor-drill-*.so "$top/約数ドリル/"
    program="$top/約数ドリル/$(basename "$PROGRAM")"
    printf '\xef\xbb\xbf氏名,ふりがな,学年\r\n山田　太郎,やまだ　たろう,小5\r\n佐藤　花子,ｻﾄｳ ﾊﾅｺ,小4\r\n' >"$top/class.csv"
    out=$("$program" --import-roster "$top/class.csv" --dry-run) || fail "--dry-run ended with $?: $out"
    [ -s "$top/files/生徒用名簿.txt" ] && fail "--dry-run wrote the roster"
    out=$("$program" --import-roster "$top/class.csv") || fail "the import ended with $?: $out"
    [[ "$out" == *"新しく登録 2 人"* ]] || fail "the import said: $out"
    grep -c $'\r$' "$top/files/生徒用名簿.txt" | grep -qx 2 || fail "the roster does not hold two lines"
    printf '氏名,学年\r\n=cmd,小5\r\n' >"$top/bad.csv"
    "$program" --import-roster "$top/bad.csv" >/dev/null
    [ $? -eq 1 ] || fail "a class list with a problem did not end with 1"
    "$program" --import-roster "$top/none.csv" >/dev/null
    [ $? -eq 2 ] || fail "a missing class list did not end with 2"
    echo "command line: --import-roster imported a class list, refused a bad one and a missing one"
fi
