#!/usr/bin/env bash
# KORVANE_WINDOW in the real window: under Xvfb the game starts in a 640x360
# window (not full screen), the message about the missing first mission is
# dismissed, Escape shows the menu inside the window at the window's size,
# and Exit ends the game.
# Usage: window-size-check.sh KORVANE_BINARY WORK_DIR
game=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
work=$2
rm -rf "$work" && mkdir -p "$work"
work=$(cd "$work" && pwd)
source "$(dirname "$0")/check-lib.sh" size "$work"
source "$(dirname "$0")/window-lib.sh"
cd "$work"

step "the X server"
start_x 1024x768x24

step "the message about the missing first mission"
watch_log "$work/game.err"
KORVANE_WINDOW=640x360 SDL_AUDIODRIVER=dummy "$game" 2>game.err &
game_pid=$!
box=$(find_window "kvxmap.AAAA.kvx") || fail "no message about the first mission"

step "the menu in the window"
win=$(dismiss_message "$box")
press Escape
eval "$(xdotool getwindowgeometry --shell "$win")"
x=$X y=$Y w=$WIDTH h=$HEIGHT
shot screen.png
echo "size: the game's window is ${w}x${h} at $x,$y"
[ "$w" = 640 ] && [ "$h" = 360 ] || fail "not a 640x360 window"
# The menu's title in the text colour at (10, 15) of the window, Exit highlighted at (10, 140).
title=$(convert screen.png -format "%[pixel:p{$((x + 10)),$((y + 15))}]" info:)
exit_item=$(convert screen.png -format "%[pixel:p{$((x + 10)),$((y + 140))}]" info:)
[ "$title" = "srgb(100,175,255)" ] || fail "no menu title in the window ($title, screen.png)"
[ "$exit_item" = "srgb(255,175,100)" ] || fail "Exit is not highlighted ($exit_item, screen.png)"

step "Exit"
press Return
game_ends $game_pid 10
echo "size: the menu was drawn in the 640x360 window and Exit ended the game"
