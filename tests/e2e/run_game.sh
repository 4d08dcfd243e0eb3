#!/usr/bin/env bash
# The real game in a real window on a virtual X server of its own, driven with real X input
# (keys, clicks, the close request a window manager sends). The game runs with KX_TRACE=1 and
# reports on standard error what its window shows; screenshots of each step are kept.
# Usage: run_game.sh <scenario> <kryxspace> <xtool> <data folder> <artefact folder>
#   scenario: play | name | nodata | damaged | display (on a 3840 x 2160 screen)
set -u
scenario=$1
program=$(realpath "$2")
E2E_XTOOL=$(realpath "$3")
data=$(realpath "$4")
E2E_ART=$5/$scenario
source "$(dirname "$0")/e2e_lib.sh"
[ "$scenario" = display ] && export KX_E2E_SCREEN=3840x2160
e2e_start_x 280 "$0" "$@"

mkdir -p "$E2E_ART"
rm -f "$E2E_ART"/screen-*.png "$E2E_ART"/window-*.png
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
E2E_OUT=$E2E_ART/game.err

start_game() { e2e_start_game "$1" "$2" "$work" "$E2E_ART/game.out"; }
game_folder() { e2e_game_folder "$data" "$work"; }

seed_table() {
    mkdir -p "$work/xdg/KryxSpace/Score"
    printf '00001200 ANNA 3\r\n00000800 BRUNO 2\r\n' >"$work/xdg/KryxSpace/Score/Classifica.txt"
}

# The last value the trace gave for a key.
last() { grep "^kx-trace $1 " "$E2E_OUT" | tail -n 1 | cut -d' ' -f3-; }

# Holds a key until the command "$2" succeeds (checked every 0.1 s) or $3 seconds pass, as a
# player holds a key until the game answers; the command's status is returned.
hold_until() {
    local ok=0
    xdotool keydown "$1"
    e2e_until "$2" "$3" || ok=1
    xdotool keyup "$1"
    return $ok
}

# The ship's x now, compared with $2 by $1 (lt: below $2 - 0.5, gt: above $2 + 0.5).
ship_moved() {
    awk -v op="$1" -v from="$2" -v now="$(last ship | cut -d' ' -f1)" \
        'BEGIN { exit !(op == "lt" ? now < from - 0.5 : now > from + 0.5) }'
}

# Gives the main window the keyboard (there is no window manager to do it).
focus_main() {
    xdotool windowfocus --sync "$main" 2>/dev/null || xdotool windowfocus "$main"
    sleep 0.2
}

# Answers the open "Uscita" question with a click on its button: $1 = no | yes; $2 names the
# screenshot. The box's two 80 x 25 buttons sit centred 11 pixels above its bottom edge.
# At a scale of $quarters / 4 (4 unless set) every length grows by that much.
answer_exit() {
    local box X Y WIDTH HEIGHT x q=${quarters:-4}
    box=$(e2e_window '^Uscita$' 10) || e2e_fail "no exit question"
    sleep 0.5
    e2e_shot "$2"
    if [ -n "${E2E_WM:-}" ] && [ "$1" = yes ]; then
        # Under a window manager the geometry xdotool gives is off by the frame: the keyboard
        # answers (Yes is the default button).
        e2e_return_until_gone '^Uscita$' "$box" && return 0
        e2e_fail "the exit question did not take the answer"
    fi
    eval "$(xdotool getwindowgeometry --shell "$box")"
    x=$((X + (WIDTH - 168 * q / 4) / 2 + 40 * q / 4))
    [ "$1" = no ] && x=$((x + 88 * q / 4))
    for _ in 1 2 3; do
        e2e_click "$x" $((Y + HEIGHT - 24 * q / 4))
        e2e_until '! exit_question_up' 5 && return 0
    done
    e2e_fail "the exit question did not take the answer"
}

# Flies the ship for at most $1 seconds by the nearest rock or saucer in front of it. $2 =
# score: lines up with it while it is far (so the held fire meets it) and steps aside when it
# comes close, until the score is positive. $2 = nameform: flies into it, until the energy is
# gone and the name form is open.
chase() {
    local end=$((SECONDS + $1)) held_h="" held_v="" want_h want_v sx sy nx ny nz
    while [ $SECONDS -lt $end ]; do
        if [ "$2" = score ]; then
            [ "$(last score)" != 0 ] && break
        elif [ "$(last nameform)" = open ]; then
            break
        fi
        read -r sx sy _ <<<"$(last ship)"
        read -r nx ny nz <<<"$(last nearest)"
        want_h="" want_v=""
        if [ -n "${nx:-}" ] && [ -n "${sx:-}" ]; then
            read -r want_h want_v <<<"$(awk -v sx="$sx" -v sy="$sy" -v nx="$nx" -v ny="$ny" \
                -v nz="$nz" -v mode="$2" 'BEGIN {
                    h = "-"; v = "-"
                    if (mode == "score" && nz < 3) {
                        if (nx - sx < 1.5 && sx - nx < 1.5) h = (nx > sx ? "Left" : "Right")
                    } else {
                        if (nx < sx - 0.15) h = "Left"; else if (nx > sx + 0.15) h = "Right"
                        if (ny < sy - 0.15) v = "Down"; else if (ny > sy + 0.15) v = "Up"
                    }
                    print h, v }')"
            want_h=${want_h#-} want_v=${want_v#-}
        fi
        switch_key "$held_h" "$want_h"
        switch_key "$held_v" "$want_v"
        held_h=$want_h held_v=$want_v
        sleep 0.05
    done
    switch_key "$held_h" ""
    switch_key "$held_v" ""
}

# Releases the key $1 and holds $2 instead (either may be empty).
switch_key() {
    [ "$1" = "$2" ] && return
    [ -n "$1" ] && xdotool keyup "$1"
    [ -n "$2" ] && xdotool keydown "$2"
}

# Chooses a menu item with the keys $2... from the main window and waits up to 10 s for the
# command "$1" to succeed. A busy machine can take a key before the menu it belongs to is up,
# so the choice is tried up to three times, closing any open menu in between.
menu_command() {
    local check=$1
    shift
    for _ in 1 2 3; do
        focus_main
        e2e_keys "$@"
        e2e_until "$check" 10 && return 0
        e2e_keys Escape Escape
    done
    e2e_fail "the menu keys $* did nothing"
}

exit_question_up() { xdotool search --onlyvisible --name '^Uscita$' >/dev/null; }

# File > Esci, then Yes: the game must end with exit code 0. $1 names the screenshot.
quit_game() {
    menu_command exit_question_up alt+f e
    answer_exit yes "$1"
    e2e_wait_exit 10 0
}

# Starts the game from a copy of the data folder and waits for the title's prompt and the
# main window (in $main).
start_at_title() {
    start_game "$(game_folder)" "$program"
    e2e_wait_title
}

# Answers the one box titled $1 (an extended regular expression) with Enter; the program must
# then end with exit code $2. $3 names the screenshot.
answer_box_and_exit() {
    local box
    box=$(e2e_window "$1" 10) || e2e_fail "no box $1"
    sleep 0.5
    e2e_shot "$3"
    e2e_return_until_gone "$1" "$box" || e2e_fail "the box $1 did not take Return"
    e2e_wait_exit 10 "$2"
}

# G at the title: the level 1 picture ($1 names its screenshot), then level 1 running.
start_level1() {
    e2e_mark
    hold_until g '[ "$(last banner)" = "Livello1.bmp shown" ]' 5 || e2e_fail "G started nothing"
    e2e_shot "$1"
    e2e_wait_for "kx-trace level 1 running" 15
}

# Opens the menu with the key $1 over the main window for the screenshot $2, then closes it.
menu_shot() {
    focus_main
    e2e_keys "$1"
    e2e_shot "$2"
    e2e_keys Escape Escape
}

# Waits for the heartbeat to move on: the game is still ticking.
still_ticking() {
    local before
    before=$(last alive)
    e2e_wait_for "kx-trace alive $((before + 2))" 15
}

play() {
    seed_table
    local folder started
    folder=$(game_folder)
    started=$(date +%s%N)
    start_game "$folder" "$program"
    # The first tick draws the first frame and then writes its first trace lines.
    e2e_wait_for "kx-trace alive 0" 30
    echo "startup to the first frame: $((($(date +%s%N) - started) / 1000000)) ms"
    e2e_wait_for "kx-trace table 00001200 ANNA 3 | 00000800 BRUNO 2"
    e2e_wait_title
    focus_main
    e2e_shot 1-title
    "$E2E_XTOOL" shot "$E2E_ART/window-title.png" "$main"
    # The icon the title bar, the taskbar and the window switcher show: the ship.
    "$E2E_XTOOL" icon "$E2E_ART/window-icon.png" "$main" || e2e_fail "the main window has no icon"
    grep -E '^Vm(RSS|HWM)' "/proc/$E2E_PID/status" | tr -s ' \t' ' ' | sed 's/^/memory at the title: /'

    start_level1 2-banner
    e2e_wait_for "kx-trace panel shown"
    sleep 0.5
    e2e_shot 3-level1
    "$E2E_XTOOL" shot "$E2E_ART/window-level1.png" "$main"

    local x
    x=$(last ship | cut -d' ' -f1)
    hold_until Left "ship_moved lt $x" 5 || e2e_fail "Left did not move the ship from $x"
    x=$(last ship | cut -d' ' -f1)
    hold_until Right "ship_moved gt $x" 5 || e2e_fail "Right did not move the ship from $x"

    hold_until Control_L '[ "$(last shots)" != 0 ]' 5 || e2e_fail "Ctrl fired no shot"
    e2e_shot 4-fire

    e2e_mark
    xdotool key p
    e2e_wait_for "kx-trace paused 1" 10
    sleep 0.3
    local ship
    ship=$(last ship)
    e2e_shot 5-paused-a
    xdotool keydown Left
    sleep 0.5
    xdotool keyup Left
    e2e_shot 5-paused-b
    [ "$(last ship)" = "$ship" ] || e2e_fail "the ship moved while paused"
    "$E2E_XTOOL" same "$E2E_ART/screen-5-paused-a.png" "$E2E_ART/screen-5-paused-b.png" \
        0 0 1024 768 >/dev/null || e2e_fail "the screen changed while paused"
    e2e_mark
    xdotool key p
    e2e_wait_for "kx-trace paused 0" 10

    # The close box asks; No keeps the game running.
    "$E2E_XTOOL" close "$main"
    answer_exit no 6-close-question
    still_ticking
    xdotool search --onlyvisible --name '^Kryx Space' >/dev/null || e2e_fail "the window went away"

    # File > Esci asks the same.
    menu_shot alt+f 7-file-menu
    menu_command exit_question_up alt+f e
    answer_exit no 8-exit-question
    still_ticking

    # ? > Info... opens the About box; Escape closes it; a second time there is one box again.
    for round in 1 2; do
        e2e_mark
        menu_command 'e2e_seen "kx-trace about open"' alt+f Right Right i
        local about
        about=$(e2e_window '^Info\.\.\.$' 10) || e2e_fail "no About box"
        [ "$(xdotool search --onlyvisible --name '^Info\.\.\.$' | wc -l)" -eq 1 ] ||
            e2e_fail "more than one About box"
        e2e_shot "9-about-$round"
        e2e_mark
        e2e_press_until "$about" Escape 'e2e_seen "kx-trace about closed"' 10 ||
            e2e_fail "Escape did not close the About box"
    done

    # Opzioni > Abilita Joystick toggles its check mark.
    e2e_mark
    menu_command 'e2e_seen "kx-trace joystick checked"' alt+o a
    menu_shot alt+o 10-joystick-checked
    e2e_mark
    menu_command 'e2e_seen "kx-trace joystick unchecked"' alt+o a

    # Esci, then Yes: the program ends.
    quit_game 11-exit-yes
    echo "e2e play: title, level 1, steering, fire, pause, exit question, About, joystick item"
}

# Under a window manager: the name form stays above the main window and takes the typing.
name() {
    e2e_start_wm
    seed_table
    start_at_title
    focus_main
    start_level1 0-banner

    # Fire until something is hit, then fly into the rocks until the energy is gone.
    xdotool keydown Control_L
    chase 150 score
    xdotool keyup Control_L
    [ "$(last score)" != 0 ] || e2e_fail "no point scored ($(last status))"
    chase 240 nameform
    e2e_shot 1-scored
    e2e_wait_for "kx-trace nameform open" 10
    e2e_shot 2-name-form
    local form X Y WIDTH HEIGHT on_top
    form=$(e2e_window '^Classifica$' 10) || e2e_fail "no name form"
    sleep 0.5
    # A click on the main window beside the form: the form stays on top with the keyboard.
    eval "$(xdotool getwindowgeometry --shell "$main")"
    e2e_click $((X + 40)) $((Y + 60))
    sleep 0.5
    e2e_shot 3-main-clicked
    eval "$(xdotool getwindowgeometry --shell "$form")"
    on_top=$("$E2E_XTOOL" top $((X + WIDTH / 2)) $((Y + HEIGHT / 2)))
    [ "$on_top" = Classifica ] || e2e_fail "after a click on the main window '$on_top' is on top"
    xdotool type --delay 60 "zoe"
    e2e_shot 4-name-typed
    e2e_mark
    xdotool key Return
    e2e_wait_for "kx-trace nameform closed" 5
    local score
    score=$(last score)
    local line
    line="$(printf '%08d' "$score") ZOE +Livello 1"
    grep -qE "^$line"$'\r'"?$" "$work/xdg/KryxSpace/Score/Classifica.txt" ||
        e2e_fail "Classifica.txt has no line '$line'"
    e2e_wait_match "^kx-trace table 00001200 ANNA 3 \| 00000800 BRUNO 2 \| $line\$" 10
    e2e_until '[ "$(last status)" = "PREMI [G] o FIRE PER GIOCARE" ]' 15 ||
        e2e_fail "the title did not come back"
    e2e_shot 5-title-with-name
    quit_game 6-exit
    echo "e2e name: a game lost with $score points, the name typed stored and on the title"
}

nodata() {
    mkdir -p "$work/empty/bin"
    cp "$program" "$work/empty/bin/kryxspace"
    start_game "$work/empty/bin" "$work/empty/bin/kryxspace"
    answer_box_and_exit '^Errore$' 1 1-errore
    echo "e2e nodata: the Errore box, then exit code 1"
}

damaged() {
    local bin
    bin=$(game_folder)
    rm "$work/game/data/Livello5.bmp"
    cp "$data/Livello5.bmp" "$work/game/data/Livello5.bmp"
    printf 'XX' | dd of="$work/game/data/Livello5.bmp" bs=1 seek=100 conv=notrunc status=none
    start_game "$bin" "$program"
    # A second box or the exit question would keep the program waiting.
    answer_box_and_exit '^errore$' 0 1-damaged
    echo "e2e damaged: one box, then the window closed without the question"
}

# The game on a 3840 x 2160 screen: the window opens at scale 2 or more with the panel drawn,
# a click on a menu at that scale opens the right one, F11 fills the screen with the content
# centred between black bars and the game going on, and F11 again brings the window back.
display() {
    start_at_title
    local X Y WIDTH HEIGHT width
    eval "$(xdotool getwindowgeometry --shell "$main")"
    [ "$WIDTH" -ge 1280 ] || e2e_fail "the window is $WIDTH pixels wide: under scale 2"
    quarters=$((WIDTH * 4 / 640))
    width=$WIDTH
    sleep 1
    e2e_shot 1-scaled
    "$E2E_XTOOL" lit "$E2E_ART/screen-1-scaled.png" $((X + WIDTH / 4)) $((Y + HEIGHT / 4)) \
        $((WIDTH / 2)) $((HEIGHT / 3)) || e2e_fail "the scaled panel shows nothing"

    # "&File" lies at (15, 9) of the menu strip; its first item "&Esci" opens the question.
    focus_main
    e2e_click $((X + 15 * quarters / 4)) $((Y + 9 * quarters / 4))
    sleep 0.8
    e2e_shot 2-file-menu
    e2e_click $((X + 30 * quarters / 4)) $((Y + 30 * quarters / 4))
    e2e_until exit_question_up 5 || e2e_fail "a click on the File menu at scale $quarters/4 did not open it"
    answer_exit no 3-exit-no

    focus_main
    xdotool key F11
    sleep 1.5
    eval "$(xdotool getwindowgeometry --shell "$main")"
    [ "$WIDTH" -eq 3840 ] && [ "$HEIGHT" -eq 2160 ] || e2e_fail "F11 gave ${WIDTH}x$HEIGHT"
    e2e_shot 4-fullscreen
    # 640 x 525 scaled to the screen's height: the content in the middle, bars at the sides.
    "$E2E_XTOOL" lit "$E2E_ART/screen-4-fullscreen.png" 1400 400 1000 900 ||
        e2e_fail "the fullscreen panel shows nothing"
    "$E2E_XTOOL" lit "$E2E_ART/screen-4-fullscreen.png" 0 0 600 2160 &&
        e2e_fail "no black bar at the left"
    still_ticking
    xdotool key F11
    sleep 1.5
    eval "$(xdotool getwindowgeometry --shell "$main")"
    [ "$WIDTH" -eq "$width" ] || e2e_fail "F11 again gave a window $WIDTH wide, not $width"
    quit_game 5-exit
    echo "e2e display: scale $quarters/4 on 3840x2160, a menu clicked, F11 there and back"
}

"$scenario"
echo "1 passed, 0 failed"
