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
e2e_start_game "$work/cwd" "$program" "$work"
e2e_wait_for "kx-trace alive 0" 30
e2e_wait_title
e2e_wait_for "kx-trace panel shown"
echo "the installed game shows its title screen in a window titled Kryx Space"
kill "$E2E_PID"
wait "$E2E_PID" 2>/dev/null
exit 0
