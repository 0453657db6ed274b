#!/usr/bin/env bash
# KORVANE_WINDOW in the real window: under Xvfb the game starts in a 640x360
# window (not full screen), the message about the missing first mission is
# dismissed, Escape shows the menu inside the window at the window's size,
# and Exit ends the game.
# Usage: window-size-check.sh KORVANE_BINARY WORK_DIR
set -euo pipefail
game=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
work=$2
rm -rf "$work" && mkdir -p "$work"
cd "$work"
# One more try when the X server under xvfb-run was not there for the game
# (seen in a loaded run, as in window-check.sh); any other failure counts at once.
for attempt in 1 2; do
    set +e
    xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    set -eu
    press() { xdotool keydown "$1"; sleep 0.2; xdotool keyup "$1"; sleep 0.4; }
    find_window() {
        for i in $(seq 40); do
            for w in $(xdotool search --onlyvisible "" 2>/dev/null); do
                [ "$(xdotool getwindowname "$w" 2>/dev/null)" = "$1" ] && { echo "$w"; return 0; }
            done
            sleep 0.25
        done
        return 1
    }
    for i in $(seq 40); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.25; done
    KORVANE_WINDOW=640x360 SDL_AUDIODRIVER=dummy "$1" 2>game.err & game=$!
    box=$(find_window "kvxmap.AAAA.kvx") || {
        cat game.err >&2
        kill -0 $game 2>/dev/null || { echo "size: the game found no display" >&2; exit 3; }
        echo "size: no message box" >&2; kill $game; exit 1
    }
    eval "$(xdotool getwindowgeometry --shell "$box")"
    xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT - 26)) click 1
    sleep 1
    win=$(find_window "Korvane 1.05")
    xdotool windowfocus --sync "$win" 2>/dev/null || true
    press Escape
    eval "$(xdotool getwindowgeometry --shell "$win")"
    echo "$X $Y $WIDTH $HEIGHT" >geometry.txt
    xwd -root -silent | convert xwd:- screen.png
    press Return
    for i in $(seq 20); do kill -0 $game 2>/dev/null || break; sleep 0.5; done
    wait $game
' size "$game"
    status=$?
    set -e
    [ $status -eq 3 ] && [ $attempt -eq 1 ] && { sleep 2; continue; }
    break
done
[ $status -eq 0 ] || { echo "size: the check ended with status $status" >&2; exit 1; }
read -r x y w h <geometry.txt
echo "size: the game's window is ${w}x${h} at $x,$y"
[ "$w" = 640 ] && [ "$h" = 360 ] || { echo "size: not a 640x360 window" >&2; exit 1; }
# The menu's title in the text colour at (10, 15) of the window, Exit highlighted at (10, 140).
title=$(convert screen.png -format "%[pixel:p{$((x + 10)),$((y + 15))}]" info:)
exit_item=$(convert screen.png -format "%[pixel:p{$((x + 10)),$((y + 140))}]" info:)
[ "$title" = "srgb(100,175,255)" ] || { echo "size: no menu title in the window ($title)" >&2; exit 1; }
[ "$exit_item" = "srgb(255,175,100)" ] || { echo "size: Exit is not highlighted ($exit_item)" >&2; exit 1; }
echo "size: the menu was drawn in the 640x360 window and Exit ended the game"
