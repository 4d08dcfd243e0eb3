#!/usr/bin/env bash
# Runs the toolkit demo in a real window on a virtual X server of its own, drives it with
# real X input (click the button, type into the edit box, choose menu items) and checks what
# the demo reports. Pictures: the demo's own window pictures always, screenshots of the
# whole X screen when ImageMagick's `import` is installed.
# Usage: run_toolkit_demo.sh <toolkit_demo program> <artefact folder>
set -u
demo=$1
art=$2

if [ -z "${KX_E2E_INNER:-}" ]; then
    for tool in xvfb-run xauth xdotool; do
        command -v "$tool" >/dev/null || { echo "FAIL: $tool is not installed"; exit 1; }
    done
    mkdir -p "$art"
    rm -f "$art"/demo-*.png "$art"/screen-*.png
    KX_E2E_INNER=1 exec timeout 50 xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi

out=$art/toolkit_demo.out
err=$art/toolkit_demo.err
SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy "$demo" "$art" >"$out" 2>"$err" &
pid=$!

fail() {
    echo "FAIL: $*"
    echo "--- demo output"; cat "$out"
    echo "--- demo errors"; cat "$err"
    kill "$pid" 2>/dev/null
    exit 1
}

# Waits up to 10 s for a line of the demo's output (a whole line).
wait_for() {
    for _ in $(seq 100); do
        grep -qxF -- "$1" "$out" && return 0
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    fail "the demo did not report '$1'"
}

shot() {
    if command -v import >/dev/null; then
        import -window root "$art/screen-$1.png" 2>/dev/null || echo "note: screenshot $1 failed"
    fi
}

point() { awk -v n="$1" '$1 == "at" && $2 == n { print $3, $4 }' "$out"; }

click() {
    # (no --sync: it waits for a motion that never comes when the pointer is already there)
    xdotool mousemove "$1" "$2"
    sleep 0.15
    xdotool click 1
}

wait_for ready
read -r bx by <<<"$(point button)"
read -r ex ey <<<"$(point edit)"
read -r mx my <<<"$(point menu)"
[ -n "${bx:-}" ] && [ -n "${ex:-}" ] && [ -n "${mx:-}" ] || fail "no click points"
shot 1-start

# The button, with the edit box still empty.
click "$bx" "$by"
wait_for "button "

# Typing into the edit box; leaving it (clicking the button) reports the new text.
click "$ex" "$ey"
sleep 0.2
xdotool type --delay 40 "ciao Kryx"
sleep 0.2
shot 2-typed
click "$bx" "$by"
wait_for "text ciao Kryx"
wait_for "button ciao Kryx"

# The menu: a click on its title opens it, the keyboard chooses the first item.
click "$mx" "$my"
sleep 0.3
shot 3-menu-open
xdotool key Down Return
wait_for "menu saluta"

# Quitting through the menu's last item closes the window and ends the program.
click "$mx" "$my"
sleep 0.3
xdotool key Up Return
wait_for closing
wait_for end
for _ in $(seq 50); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "the demo did not exit"
wait "$pid"
rc=$?
[ "$rc" -eq 0 ] || fail "the demo exited with $rc"
echo "e2e toolkit demo: button, typing and menu seen through a real window"
echo "1 passed, 0 failed"
