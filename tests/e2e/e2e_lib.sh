# Shared pieces of the end-to-end scripts: a virtual X server of the script's own, waiting for
# a program's output lines, screenshots and pointer clicks. Source it, then call e2e_start_x
# with the script's own arguments first thing.

# Re-runs the calling script inside a fresh virtual X server (once), within a time limit. The
# server's screen is KX_E2E_SCREEN (width x height) when set, else 1024x768.
# Usage: e2e_start_x <seconds> "$0" "$@"
e2e_start_x() {
    local limit=$1
    shift
    if [ -z "${KX_E2E_INNER:-}" ]; then
        for tool in xvfb-run xauth xdotool; do
            command -v "$tool" >/dev/null || { echo "FAIL: $tool is not installed"; exit 1; }
        done
        # xvfb-run -a takes the first free server number from where it starts looking; scripts
        # started together would race for the same one, so each starts from a number of its own.
        KX_E2E_INNER=1 exec timeout "$limit" xvfb-run -a -n $((99 + $$ % 400)) \
            -s "-screen 0 ${KX_E2E_SCREEN:-1024x768}x24" bash "$@"
    fi
}

# Starts a window manager (openbox) on the virtual X server and waits until it runs; it ends
# with the server.
e2e_start_wm() {
    command -v openbox >/dev/null || { echo "FAIL: openbox is not installed"; exit 1; }
    openbox --sm-disable >/dev/null 2>&1 &
    for _ in $(seq 50); do
        "$E2E_XTOOL" wm && { E2E_WM=1; return 0; }
        sleep 0.1
    done
    echo "FAIL: the window manager did not start"
    exit 1
}

# The program's output file and pid; set by the caller before using the helpers below.
E2E_OUT=
E2E_PID=

e2e_fail() {
    echo "FAIL: $*"
    if [ -n "$E2E_OUT" ]; then
        echo "--- program output (last 60 lines)"
        tail -n 60 "$E2E_OUT"
    fi
    [ -n "$E2E_PID" ] && kill "$E2E_PID" 2>/dev/null
    exit 1
}

# Output lines before this count are old: e2e_wait_for looks only at later ones.
E2E_FROM=0

# Forgets the output so far: what happens next must produce the lines waited for.
e2e_mark() {
    E2E_FROM=$(wc -l <"$E2E_OUT")
}

# Waits up to $2 seconds (default 10) for a whole line of the program's output after the mark.
e2e_wait_for() {
    e2e_wait_grep -xF "$1" "${2:-10}" || e2e_fail "no line '$1'"
}

# True when a whole line $1 came after the mark (no waiting).
e2e_seen() {
    tail -n +$((E2E_FROM + 1)) "$E2E_OUT" 2>/dev/null | grep -qxF -- "$1"
}

# The same for a line matching the extended regular expression $1.
e2e_wait_match() {
    e2e_wait_grep -E "$1" "${2:-10}" || e2e_fail "no line matching '$1'"
}

e2e_wait_grep() {
    for _ in $(seq $(($3 * 10))); do
        tail -n +$((E2E_FROM + 1)) "$E2E_OUT" 2>/dev/null | grep -q "$1" -- "$2" && return 0
        [ -n "$E2E_PID" ] && ! kill -0 "$E2E_PID" 2>/dev/null && break
        sleep 0.1
    done
    return 1
}

# Waits for a program's exit; its exit code in E2E_RC.
e2e_wait_exit() {
    for _ in $(seq $((${1:-10} * 10))); do
        kill -0 "$E2E_PID" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$E2E_PID" 2>/dev/null && e2e_fail "the program did not exit"
    wait "$E2E_PID"
    E2E_RC=$?
    E2E_PID=
}

# Presses Return in window $2 until no visible window's title matches $1: three tries of five
# seconds, since on a busy machine the first key can come before the window has the keyboard.
e2e_return_until_gone() {
    for _ in 1 2 3; do
        xdotool windowactivate "$2" 2>/dev/null || xdotool windowfocus "$2" 2>/dev/null
        sleep 0.3
        xdotool key Return
        for _ in $(seq 50); do
            xdotool search --onlyvisible --name "$1" >/dev/null || return 0
            sleep 0.1
        done
    done
    return 1
}

# The id of the first visible window whose title matches $1, waiting up to $2 seconds.
e2e_window() {
    local id
    for _ in $(seq $((${2:-10} * 10))); do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}

e2e_click() {
    # (no --sync: it waits for a motion that never comes when the pointer is already there)
    xdotool mousemove "$1" "$2"
    sleep 0.15
    xdotool click 1
}

# Saves the screen as $E2E_ART/screen-<name>.png with the xtool program in $E2E_XTOOL.
e2e_shot() {
    "$E2E_XTOOL" shot "$E2E_ART/screen-$1.png" || echo "note: screenshot $1 failed"
}
