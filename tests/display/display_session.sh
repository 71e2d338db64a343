# Helpers for the tests that run the real program on a real X display with a window manager.
# Sourced by the test scripts; they set BUILD (the build folder) and SOURCE (the source folder).

fail() { echo "FAIL: $*" >&2; exit 1; }

need_tools() {
    for tool in Xvfb openbox xdotool wmctrl; do
        command -v "$tool" >/dev/null || fail "$tool is missing: run scripts/install-deps.sh"
    done
}

# A staged copy of the demo installation in a fresh temporary folder: $WORK/約数ドリル holds the
# program, $WORK/files the shared files; the launcher stub writes its arguments to $WORK/launched.
stage_installation() {
    WORK=$(mktemp -d)
    cp -R "$SOURCE/demo/." "$WORK/"
    PROG="$WORK/約数ドリル"
    cp "$BUILD/bin/divisor-drill" "$BUILD"/bin/divisor-drill-*.so "$PROG/"
    "$BUILD/bin/make-demo-sounds" "$WORK/files" >/dev/null
    mkdir -p "$WORK/起動"
    # The stub writes beside the file and renames it: a reader sees the file only when whole.
    printf '#!/bin/sh\necho "$@" > "%s/launched.part" && mv "%s/launched.part" "%s/launched"\n' \
        "$WORK" "$WORK" "$WORK" > "$WORK/起動/プログラムメニュー"
    chmod +x "$WORK/起動/プログラムメニュー"
}

# Xvfb at 1024x768 on a display number it picks itself, with openbox managing it.
start_display() {
    local fifo="$WORK/displayfd"
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" >"$WORK/xvfb.log" 2>&1 &
    XVFB_PID=$!
    local n
    read -r -t 30 n <"$fifo" || fail "Xvfb did not start: $(cat "$WORK/xvfb.log")"
    export DISPLAY=":$n"
    export XDG_RUNTIME_DIR="$WORK/runtime"
    mkdir -p -m 700 "$XDG_RUNTIME_DIR"
    for attempt in 1 2 3; do
        openbox >"$WORK/openbox.log" 2>&1 &
        WM_PID=$!
        for _ in $(seq 100); do wmctrl -m >/dev/null 2>&1 && return 0; sleep 0.1; done
        kill "$WM_PID" 2>/dev/null
        wait "$WM_PID" 2>/dev/null
    done
    fail "openbox did not start on $DISPLAY: $(cat "$WORK/openbox.log")"
}

stop_all() {
    [ -n "${APP_PID:-}" ] && kill "$APP_PID" 2>/dev/null
    [ -n "${WM_PID:-}" ] && kill "$WM_PID" 2>/dev/null
    [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null
    wait 2>/dev/null
    [ -n "${WORK:-}" ] && rm -rf "$WORK"
}

start_program() {
    SDL_AUDIODRIVER=dummy "$PROG/divisor-drill" >"$WORK/program.log" 2>&1 &
    APP_PID=$!
}

# The program's one visible top-level window whose title contains $1, waited for.
window_titled() {
    local id
    for _ in $(seq 300); do
        id=$(xdotool search --onlyvisible --pid "$APP_PID" --name "$1" 2>/dev/null | tail -n 1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        kill -0 "$APP_PID" 2>/dev/null || return 1
        sleep 0.1
    done
    return 1
}

# The window manager's close request, as the title bar's close box sends it.
close_window() {
    wmctrl -i -c "$1" || fail "wmctrl could not close window $1"
}

# What the launcher stub was started with: the stub runs on after the program has ended, so
# its file is waited for (a generous limit that only catches a launcher never started).
launched() {
    for _ in $(seq 300); do
        [ -f "$WORK/launched" ] && { cat "$WORK/launched"; return 0; }
        sleep 0.1
    done
    return 1
}

# Waits for the program to end (a generous limit that only catches a hang) and gives its code.
wait_for_exit() {
    for _ in $(seq 300); do
        kill -0 "$APP_PID" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$APP_PID" 2>/dev/null; then
        fail "the program still runs 30 s after the request: $(cat "$WORK/program.log")"
    fi
    wait "$APP_PID"
    EXIT_CODE=$?
    APP_PID=""
}

# The keys that solve a problem: its divisors in the order the drill asks for them (the smallest,
# its partner, the next smallest ...), each with the space bar, then the space bar alone.
keys_for() {
    local n=$1 d small=() large=()
    for ((d = 1; d * d <= n; d++)); do
        if ((n % d == 0)); then
            small+=("$d")
            ((d * d != n)) && large=("$((n / d))" "${large[@]}")
        fi
    done
    local keys="" i
    for ((i = 0; i < ${#small[@]}; i++)); do
        keys+="${small[$i]} "
        [ "$i" -lt "${#large[@]}" ] && keys+="${large[$((${#large[@]} - 1 - i))]} "
    done
    echo "$keys "
}
