# Shared pieces of the end-to-end scripts: a virtual X server of the script's own, starting the
# game, waiting for a program's output lines, windows, keys, screenshots and pointer clicks.
# Source it, then call e2e_start_x with the script's own arguments first thing.

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
        # started together would race for the same one (the loser then runs against the
        # winner's server, whose cookie it lacks), so each starts from a number of its own,
        # spread far apart: scripts started one after the other have close process ids.
        KX_E2E_INNER=1 exec timeout "$limit" xvfb-run -a -n $((100 + $$ * 37 % 3000)) \
            -s "-screen 0 ${KX_E2E_SCREEN:-1024x768}x24" bash "$@"
    fi
}

# Starts a window manager (openbox) on the virtual X server and waits until it runs; it ends
# with the server.
e2e_start_wm() {
    command -v openbox >/dev/null || { echo "FAIL: openbox is not installed"; exit 1; }
    openbox --sm-disable >/dev/null 2>&1 &
    e2e_until '"$E2E_XTOOL" wm' 20 || { echo "FAIL: the window manager did not start"; exit 1; }
    E2E_WM=1
}

# The program's output file and pid; set by the caller (or e2e_start_game) before using the
# helpers below. Output lines before E2E_FROM are old: the waits look only at later ones.
E2E_OUT=
E2E_PID=
E2E_FROM=0

e2e_fail() {
    echo "FAIL: $*"
    if [ -n "$E2E_OUT" ]; then
        echo "--- program output (last 60 lines)"
        tail -n 60 "$E2E_OUT"
    fi
    [ -n "$E2E_PID" ] && kill "$E2E_PID" 2>/dev/null
    exit 1
}

# A scratch folder of the game with links to the data folder $1 beside bin/ ("..\data" seen
# from bin/), under the folder $2; prints the bin folder.
e2e_game_folder() {
    mkdir -p "$2/game/bin" "$2/game/data"
    for f in "$1"/*; do ln -s "$f" "$2/game/data/"; done
    echo "$2/game/bin"
}

# Runs the game $2 from the folder $1 with the trace on standard error (into E2E_OUT), the top
# ten and the settings in scratch homes under $3, and standard output into $4 (or nowhere).
e2e_start_game() {
    : >"$E2E_OUT"  # emptied here: the game opens it later, and old lines must not count
    (cd "$1" && KX_TRACE=1 XDG_DATA_HOME="$3/xdg" XDG_CONFIG_HOME="$3/config" \
        SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy exec ${E2E_WRAP:-} "$2" \
        >"${4:-/dev/null}" 2>"$E2E_OUT") &
    E2E_PID=$!
    E2E_FROM=0
}

# Waits for the title's prompt and the main window; its id in $main.
e2e_wait_title() {
    e2e_wait_for "kx-trace status PREMI [G] o FIRE PER GIOCARE" "${1:-15}"
    main=$(e2e_window '^Kryx Space' 10) || e2e_fail "no main window"
}

# Forgets the output so far: what happens next must produce the lines waited for.
e2e_mark() { E2E_FROM=$(wc -l <"$E2E_OUT"); }

# Waits up to $2 seconds (default 10) for a whole line $1 of the output after the mark.
e2e_wait_for() { e2e_wait_grep -xF "$1" "${2:-10}" || e2e_fail "no line '$1'"; }

# The same for a line matching the extended regular expression $1.
e2e_wait_match() { e2e_wait_grep -E "$1" "${2:-10}" || e2e_fail "no line matching '$1'"; }

# True when a whole line $1 came after the mark (no waiting).
e2e_seen() { tail -n +$((E2E_FROM + 1)) "$E2E_OUT" 2>/dev/null | grep -qxF -- "$1"; }

e2e_wait_grep() {
    for _ in $(seq $(($3 * 10))); do
        tail -n +$((E2E_FROM + 1)) "$E2E_OUT" 2>/dev/null | grep -q "$1" -- "$2" && return 0
        [ -n "$E2E_PID" ] && ! kill -0 "$E2E_PID" 2>/dev/null && break
        sleep 0.1
    done
    return 1
}

# Waits up to $2 seconds for the command "$1" to succeed (checked every 0.1 s).
e2e_until() {
    for _ in $(seq $(($2 * 10))); do
        eval "$1" && return 0
        sleep 0.1
    done
    return 1
}

# Waits for a program's exit; its exit code in E2E_RC. With $2, that code must be $2.
e2e_wait_exit() {
    e2e_until '! kill -0 "$E2E_PID" 2>/dev/null' "${1:-10}" || e2e_fail "the program did not exit"
    wait "$E2E_PID"
    E2E_RC=$?
    E2E_PID=
    [ -z "${2:-}" ] || [ "$E2E_RC" -eq "$2" ] || e2e_fail "exit code $E2E_RC, not $2"
}

# Presses keys one by one, letting the window system settle between them: an opening menu or
# box takes the X input focus when it is mapped.
e2e_keys() {
    for k in "$@"; do
        xdotool key "$k"
        sleep 0.4
    done
}

# Presses the key $2 in the window $1 until the command "$3" succeeds: three tries of $4
# seconds (default 5), since on a busy machine the first key can come before the window has
# the keyboard.
e2e_press_until() {
    for _ in 1 2 3; do
        xdotool windowactivate "$1" 2>/dev/null || xdotool windowfocus "$1" 2>/dev/null
        sleep 0.3
        xdotool key "$2"
        e2e_until "$3" "${4:-5}" && return 0
    done
    return 1
}

# Presses Return in the window $2 until no visible window's title matches $1.
e2e_return_until_gone() {
    e2e_press_until "$2" Return "! xdotool search --onlyvisible --name '$1' >/dev/null"
}

# The id of the first visible window whose title matches $1, waiting up to $2 seconds.
e2e_window() {
    e2e_until "xdotool search --onlyvisible --name '$1' 2>/dev/null | head -n 1 | grep ." "${2:-10}"
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
