#!/usr/bin/env bash
# The installed game (from the package) in a virtual X server of its own: started from an
# empty folder, so it must find its installed data, it opens its main window and shows the
# title screen. Used by scripts/check-package.sh, not by CTest.
# Usage: run_installed.sh <installed kryxspace>
set -u
program=$1
source "$(dirname "$0")/e2e_lib.sh"
e2e_start_x 60 "$0" "$@"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
E2E_OUT=$work/game.err
mkdir -p "$work/cwd"
(cd "$work/cwd" && KX_TRACE=1 XDG_DATA_HOME="$work/xdg" XDG_CONFIG_HOME="$work/config" \
    SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy exec "$program" >/dev/null 2>"$E2E_OUT") &
E2E_PID=$!

e2e_wait_for "kx-trace alive 0" 30
e2e_wait_for "kx-trace status PREMI [G] o FIRE PER GIOCARE" 15
e2e_wait_for "kx-trace panel shown"
e2e_window '^Kryx Space' 10 >/dev/null || e2e_fail "no main window titled Kryx Space"
echo "the installed game shows its title screen in a window titled Kryx Space"
kill "$E2E_PID"
wait "$E2E_PID" 2>/dev/null
exit 0
