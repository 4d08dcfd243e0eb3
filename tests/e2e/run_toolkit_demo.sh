#!/usr/bin/env bash
# Runs the toolkit demo in a real window on a virtual X server of its own, drives it with
# real X input (click the button, type into the edit box, choose menu items, open the name
# dialog over the form) and checks what the demo reports. With "wm" a window manager
# (openbox) runs on the server; with "nowm" none does, and the program places the keyboard
# itself. Screenshots of the screen are kept.
# Usage: run_toolkit_demo.sh <wm|nowm> <toolkit_demo program> <xtool program> <artefact folder>
set -u
mode=$1
demo=$2
E2E_XTOOL=$3
art=$4/demo-$mode
source "$(dirname "$0")/e2e_lib.sh"
e2e_start_x 80 "$0" "$@"

mkdir -p "$art"
rm -f "$art"/screen-*.png
E2E_OUT=$art/toolkit_demo.out
E2E_ART=$art
[ "$mode" = wm ] && e2e_start_wm
: >"$E2E_OUT"  # emptied here: the demo opens it later, and old lines must not count
SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy "$demo" >"$E2E_OUT" 2>"$art/toolkit_demo.err" &
E2E_PID=$!

point() { awk -v n="$1" '$1 == "at" && $2 == n { print $3, $4 }' "$E2E_OUT"; }

e2e_wait_for ready
read -r bx by <<<"$(point button)"
read -r ex ey <<<"$(point edit)"
read -r mx my <<<"$(point menu)"
[ -n "${bx:-}" ] && [ -n "${ex:-}" ] && [ -n "${mx:-}" ] || e2e_fail "no click points"
main=$(e2e_window '^Demo del toolkit$' 10) || e2e_fail "no demo window"
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

# The keyboard comes back to the edit box when a menu's popup closes: "a", File > Saluta,
# "b" leaves "ab". The window keeps the input focus all the while: a menu never takes it.
e2e_click "$ex" "$ey"
sleep 0.2
e2e_keys End a
e2e_mark
"$E2E_XTOOL" kept "$main" 1500 >"$art/focus-kept.txt" &
watch=$!
sleep 0.2
e2e_keys alt+f s
e2e_wait_for "menu saluta"
wait "$watch" || e2e_fail "the window lost the keyboard to its menu: $(cat "$art/focus-kept.txt")"
e2e_keys b

# The name dialog over the form: a click on the disabled form leaves the dialog on top, and
# typing reaches it; when it closes, the keyboard is back in the edit box.
e2e_keys alt+f n
e2e_wait_for "dialog open"
sleep 0.5
dialog=$(e2e_window '^Nome$' 10) || e2e_fail "no name dialog"
eval "$(xdotool getwindowgeometry --shell "$dialog")"
e2e_click "$bx" "$by"
sleep 0.5
e2e_shot 4-dialog-after-click
on_top=$("$E2E_XTOOL" top $((X + WIDTH / 2)) $((Y + HEIGHT / 2)))
[ "$on_top" = Nome ] || e2e_fail "after a click on the form, '$on_top' is on top, not the dialog"
xdotool type --delay 60 "zoe"
sleep 0.2
xdotool key Return
e2e_wait_for "name ZOE"
sleep 0.5
e2e_keys c
e2e_click "$bx" "$by"
e2e_wait_for "button ciao Kryxabc"

# Another program takes the keyboard and gives it back: the form hears of both.
e2e_mark
"$E2E_XTOOL" other 3 &
other_pid=$!
other=$(e2e_window '^altro$' 5) || e2e_fail "no other program's window"
xdotool windowactivate "$other" 2>/dev/null || xdotool windowfocus "$other"
e2e_wait_for "app 0"
xdotool windowactivate "$main" 2>/dev/null || xdotool windowfocus "$main"
e2e_wait_for "app 1"
wait "$other_pid"

# Minimising needs a window manager; restoring brings the form back.
if [ "$mode" = wm ]; then
    e2e_mark
    xdotool windowminimize "$main"
    e2e_wait_for "minimized 1"
    xdotool windowactivate "$main"
    e2e_wait_for "minimized 0"
fi

# Quitting through the menu's last item closes the window and ends the program.
e2e_click "$mx" "$my"
sleep 0.3
xdotool key Up Return
e2e_wait_for closing
e2e_wait_for end
e2e_wait_exit 5 0
echo "e2e toolkit demo ($mode): button, typing, menu, owned dialog, focus and minimise"
echo "1 passed, 0 failed"
