#!/bin/bash
# Two builds of the Windows libraries never run in one cache at once: while one holds the
# cache, a second waits for it instead of starting its own ninja in the same folder.
# usage: build_lock.sh SOURCE_DIR
set -u
SOURCE=$1
fail() { echo "FAIL: $*" >&2; exit 1; }
CACHE_HOME=$(mktemp -d)
second=
trap '[ -n "$second" ] && kill -- -"$second" 2>/dev/null; rm -rf "$CACHE_HOME"' EXIT
mkdir -p "$CACHE_HOME/divisor-drill"
# This test stands for the first build: it holds the cache's lock while it runs.
exec 8>"$CACHE_HOME/divisor-drill/.build.lock"
flock 8
XDG_CACHE_HOME="$CACHE_HOME" setsid "$SOURCE/scripts/windows/target-libs.sh" >/dev/null 2>"$CACHE_HOME/said" 8>&- &
second=$!
for _ in $(seq 300); do
    grep -qs "waiting for it" "$CACHE_HOME/said" && break
    kill -0 "$second" 2>/dev/null || fail "the second build did not wait: $(cat "$CACHE_HOME/said")"
    sleep 0.1
done
grep -qs "waiting for it" "$CACHE_HOME/said" || fail "the second build said: $(cat "$CACHE_HOME/said")"
[ -e "$CACHE_HOME/divisor-drill/work" ] && fail "the second build started building beside the first"
echo "a second build of the Windows libraries waits for the first"
