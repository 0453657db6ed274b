#!/usr/bin/env bash
# The real game in a real window: starts the game binary under Xvfb in an empty
# folder, dismisses the message about the missing first mission, presses Escape
# and checks that the menu is on screen, then chooses Exit and checks that the
# game ends with status 0. Screenshots are left in WORK_DIR.
# Usage: window-check.sh KORVANE_BINARY WORK_DIR
game=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
work=$2
rm -rf "$work" && mkdir -p "$work"
work=$(cd "$work" && pwd)
source "$(dirname "$0")/check-lib.sh" window "$work"
source "$(dirname "$0")/window-lib.sh"
cd "$work"

step "the X server"
start_x 1024x768x24

step "the message about the missing first mission"
watch_log "$work/game.err"
SDL_AUDIODRIVER=dummy "$game" 2>game.err &
game_pid=$!
if ! box=$(find_window "kvxmap.AAAA.kvx"); then
    kill -0 $game_pid 2>/dev/null || fail "the game ended without showing a window"
    kill $game_pid
    if grep -q "could not show a message box" game.err; then
        fail "the game could not show its message box about the first mission" \
             "(on X, SDL needs the X core fonts: Debian's xfonts-base)"
    fi
    fail "no message about the first mission"
fi
shot message.png

step "the menu"
dismiss_message "$box" >/dev/null
shot start.png
press Escape
shot menu.png
# The title "Korvane 1.05" in the text colour from (10, 10); after Escape the
# selection is on "Exit", the sixth item at y = 136, highlighted.
title=$(convert menu.png -format '%[pixel:p{10,15}]' info:)
exit_item=$(convert menu.png -format '%[pixel:p{10,140}]' info:)
echo "window: title pixel $title, Exit pixel $exit_item"
[ "$title" = "srgb(100,175,255)" ] || fail "no menu title on screen (menu.png)"
[ "$exit_item" = "srgb(255,175,100)" ] || fail "Exit is not highlighted (menu.png)"

step "Exit"
press Return
game_ends $game_pid 10
echo "window: the menu was on screen and Exit ended the game with status 0"
