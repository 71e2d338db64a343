#!/bin/bash
# Runs every fuzz target for a set time, each from a small corpus seeded with the demo's files.
# usage: run-fuzz.sh FUZZ_BUILD_DIR SECONDS
set -u
BUILD=$1
SECONDS_EACH=${2:-60}
status=0
for target in fuzz_settings fuzz_roster fuzz_roster_import fuzz_results fuzz_cp932 fuzz_problem_log; do
    corpus="$BUILD/corpus/$target"
    mkdir -p "$corpus"
    case $target in
    fuzz_settings | fuzz_cp932) cp demo/約数ドリル/*.txt demo/files/*.txt "$corpus/" ;;
    fuzz_roster) cp demo/files/生徒用名簿.txt "$corpus/" ;;
    fuzz_roster_import) printf '\xef\xbb\xbf番号,学年,組,出席番号,氏名,ふりがな\r\n,小5,1,7,山田　太郎,やまだ\r\n' >"$corpus/list" ;;
    fuzz_results) printf '' >"$corpus/empty" ;;
    fuzz_problem_log) printf '\xef\xbb\xbf日付\r\n2026/12/08,10:00:02,3,1,12,2.3,1,"3",1\r\n' >"$corpus/line" ;;
    esac
    echo "== $target, $SECONDS_EACH s"
    if ! "$BUILD/bin/$target" -max_total_time="$SECONDS_EACH" -timeout=10 -rss_limit_mb=4096 -print_final_stats=1 \
        -artifact_prefix="$BUILD/$target-" "$corpus" 2>"$BUILD/$target.log"; then
        status=1
        echo "$target found a problem: see $BUILD/$target.log and $BUILD/$target-*"
    fi
    grep -E "^stat::number_of_executed_units|^stat::peak_rss_mb|^#[0-9]+ +DONE" "$BUILD/$target.log" | tr '\n' ' '
    echo
done
exit $status
