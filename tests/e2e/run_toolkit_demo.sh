#!/usr/bin/env bash
# Runs the toolkit demo in a real window on a virtual X server of its own, drives it with
# real X input (click the button, type into the edit box, choose menu items) and checks what
# the demo reports. Pictures: the demo's own window pictures and screenshots of the screen.
# Usage: run_toolkit_demo.sh <toolkit_demo program> <xtool program> <artefact folder>
set -u
demo=$1
E2E_XTOOL=$2
art=$3
source "$(dirname "$0")/e2e_lib.sh"
e2e_start_x 50 "$0" "$@"

mkdir -p "$art"
rm -f "$art"/demo-*.png "$art"/screen-*.png
E2E_OUT=$art/toolkit_demo.out
E2E_ART=$art
SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy "$demo" "$art" >"$E2E_OUT" 2>"$art/toolkit_demo.err" &
E2E_PID=$!

point() { awk -v n="$1" '$1 == "at" && $2 == n { print $3, $4 }' "$E2E_OUT"; }

e2e_wait_for ready
read -r bx by <<<"$(point button)"
read -r ex ey <<<"$(point edit)"
read -r mx my <<<"$(point menu)"
[ -n "${bx:-}" ] && [ -n "${ex:-}" ] && [ -n "${mx:-}" ] || e2e_fail "no click points"
e2e_shot 1-start

# The button, with the edit box still empty.
e2e_click "$bx" "$by"
e2e_wait_for "button "

# Typing into the edit box; leaving it (clicking the button) reports the new text.
e2e_click "$ex" "$ey"
sleep 0.2
xdotool type --delay 40 "ciao Kryx"
sleep 0.2
e2e_shot 2-typed
e2e_click "$bx" "$by"
e2e_wait_for "text ciao Kryx"
e2e_wait_for "button ciao Kryx"

# The menu: a click on its title opens it, the keyboard chooses the first item.
e2e_click "$mx" "$my"
sleep 0.3
e2e_shot 3-menu-open
xdotool key Down Return
e2e_wait_for "menu saluta"

# Quitting through the menu's last item closes the window and ends the program.
e2e_click "$mx" "$my"
sleep 0.3
xdotool key Up Return
e2e_wait_for closing
e2e_wait_for end
e2e_wait_exit 5
[ "$E2E_RC" -eq 0 ] || e2e_fail "the demo exited with $E2E_RC"
echo "e2e toolkit demo: button, typing and menu seen through a real window"
echo "1 passed, 0 failed"
