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

    # A list whose seat column is headed 番号: nobody already in the roster is touched.
    roster="$top/files/生徒用名簿.txt"
    readings="$top/files/生徒用名簿よみ.txt"
    cp "$roster" "$top/roster.before"; cp "$readings" "$top/readings.before"
    printf '番号,氏名,ふりがな,学年\r\n1,鈴木　一郎,すずき,小5\r\n2,林　二郎,はやし,小5\r\n' >"$top/seats.csv"
    out=$("$program" --import-roster "$top/seats.csv") || fail "the seat list ended with $?: $out"
    [[ "$out" == *"新しく登録 2 人"* ]] || fail "the seat list said: $out"
    # Pupils 1 and 2, in the roster before, keep their readings.
    [ "$(head -2 "$readings")" = "$(head -2 "$top/readings.before")" ] ||
        fail "the seat list changed the readings of pupils already there"
    out=$("$program" --undo-import) || fail "--undo-import ended with $?: $out"
    cmp -s "$roster" "$top/roster.before" || fail "--undo-import did not put the roster back byte for byte"
    cmp -s "$readings" "$top/readings.before" || fail "--undo-import did not put the readings back"
    "$program" --undo-import >/dev/null
    [ $? -eq 1 ] || fail "a second --undo-import did not end with 1"

    # A pupil number that belongs to another pupil: listed, exit 1, nothing written; with
    # --skip-problems the sound rows only.
    printf '生徒番号,氏名,学年,備考\r\n1,林　二郎,小5,x\r\n,森　三郎,小4,y\r\n' >"$top/numbers.csv"
    out=$("$program" --import-roster "$top/numbers.csv")
    [ $? -eq 1 ] || fail "another pupil's number did not end with 1: $out"
    [[ "$out" == *"名簿では「山田　太郎」さんです"* && "$out" == *"「備考」"* ]] || fail "the mismatch was not said: $out"
    cmp -s "$roster" "$top/roster.before" || fail "a list with a mismatch changed the roster"
    out=$("$program" --import-roster "$top/numbers.csv" --skip-problems --column 備考=読まない)
    [ $? -eq 1 ] || fail "--skip-problems did not end with 1 for the rows it left: $out"
    [[ "$out" == *"新しく登録 1 人"* && "$out" != *"「備考」"* ]] || fail "--skip-problems said: $out"
    grep -q "$(printf '\x90\x58')" "$roster" || fail "--skip-problems did not take 森 in" # 森 in code page 932
    printf 'a,b\r\n1,2\r\n' >"$top/unknown.csv"
    out=$("$program" --import-roster "$top/unknown.csv")
    [ $? -eq 1 ] || fail "a list without a known header did not end with 1: $out"
    [[ "$out" == *"名前の列がありません"* ]] || fail "a list without a known header said: $out"
    echo "command line: a seat column, another pupil's number, --skip-problems, --column and --undo-import"
fi
