#!/usr/bin/env bash
# The game's CPU cost per frame in a real window: CPU time of the whole process (all
# threads, the GL rasteriser's included) over 20 s of level 1, divided by the ticks in that
# time, on a virtual X server of its own. Prints the figure.
# Usage: bench/measure_frame_cpu.sh <kryxspace> <data folder> [screen, e.g. 1024x768]
set -u
program=$(realpath "$1")
data=$(realpath "$2")
export KX_E2E_SCREEN=${3:-${KX_E2E_SCREEN:-1024x768}}
source "$(dirname "$0")/../tests/e2e/e2e_lib.sh"
e2e_start_x 120 "$0" "$@"

work=$(mktemp -d)
trap 'rm -rf "$work"; [ -n "$E2E_PID" ] && kill "$E2E_PID" 2>/dev/null' EXIT
E2E_OUT=$work/game.err
e2e_start_game "$(e2e_game_folder "$data" "$work")" "$program" "$work"
e2e_wait_title 20
xdotool windowfocus "$main"
xdotool keydown g
e2e_wait_for "kx-trace level 1 running" 20
xdotool keyup g

# utime + stime of the process (clock ticks), from /proc.
cpu() { awk '{ print $14 + $15 }' "/proc/$E2E_PID/stat"; }
hz=$(getconf CLK_TCK)
before=$(cpu)
sleep 20
after=$(cpu)
awk -v a="$before" -v b="$after" -v hz="$hz" -v s="$KX_E2E_SCREEN" 'BEGIN {
    ms = (b - a) * 1000 / hz
    printf "screen %s: %.0f ms of CPU in 20 s = %.2f ms per 30 ms frame\n", s, ms, ms / (20000 / 30) }'
grep "^kx-trace level" "$E2E_OUT" | tail -n 2
