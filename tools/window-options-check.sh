#!/usr/bin/env bash
# The options in the real window, under Xvfb, with the first mission: F1
# opens them, fire is bound to Space and the display switched to a window;
# Exit; the game started again comes up in that window with both kept in
# its settings file. With the mission going, F11 goes to full screen and
# back and the game plays on; F12 saves the frame as a PNG in screenshots/.
# Usage: window-options-check.sh KORVANE_BINARY CAMPAIGN_DIR WORK_DIR
game=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
campaign=$2
work=$3
rm -rf "$work" && mkdir -p "$work"
work=$(cd "$work" && pwd)
source "$(dirname "$0")/check-lib.sh" options "$work"
source "$(dirname "$0")/window-lib.sh"
cd "$work"
cp "$campaign/kvxmap.AAAA.kvx" .
settings=$XDG_CONFIG_HOME/korvane/settings.toml

# The game's window and its size: sets win, w and h.
geometry() {
    win=$(find_window "Korvane 1.05") || fail "the game's window did not appear"
    eval "$(xdotool getwindowgeometry --shell "$win")"
    w=$WIDTH h=$HEIGHT
    echo "options: the game's window is ${w}x${h}"
}

# The window's size once it is W x H, or as it stands after 10 seconds: the
# game sets its display a moment after the window first shows, later under load.
settle() {
    local i
    for i in $(seq 40); do
        geometry >/dev/null
        [ "$w" = "$1" ] && [ "$h" = "$2" ] && break
        sleep 0.25
    done
    echo "options: the game's window is ${w}x${h}"
}

start_game() {
    SDL_AUDIODRIVER=dummy "$game" 2>>game.err &
    game_pid=$!
    geometry
    xdotool windowfocus --sync "$win" 2>/dev/null || true
    sleep 1
}

step "the X server"
start_x 1280x1024x24
watch_log "$work/game.err"

step "the options: fire on Space, the display a window"
start_game
[ "$w" = 1280 ] && [ "$h" = 1024 ] || fail "the game did not start full screen (${w}x${h})"
press F1
shot options.png
# "Options" in white at the top left of the frozen game.
title=$(convert options.png -format '%[pixel:p{20,22}]' info:)
[ "$title" = "srgb(255,255,255)" ] || fail "no options on screen after F1 ($title, options.png)"
for i in 1 2 3 4 5; do press Down; done # Thrust, Turn left, Turn right, Brake, Fire
press Return
press space
shot bound.png
for i in 1 2 3 4 5; do press Up; done
press Right # the Display page
press Down
press Return # a window
press Escape
settle 1280 720
[ "$w" = 1280 ] && [ "$h" = 720 ] || fail "no 1280x720 window after choosing one (${w}x${h})"
grep -q '^fire = \["Shift", "Space"\]\|^fire = \["Space"' "$settings" ||
    fail "fire is not bound to Space in $settings: $(grep '^fire' "$settings" || echo none)"
grep -q '^full_screen = false' "$settings" || fail "the window is not kept in $settings"

step "Exit, and start again"
press Escape
press Return
game_ends $game_pid 10
cp "$settings" kept.toml
start_game
settle 1280 720
[ "$w" = 1280 ] && [ "$h" = 720 ] || fail "the second start is not in the kept window (${w}x${h})"
cmp -s "$settings" kept.toml || fail "the settings changed by only starting the game"

step "F11 with the mission going, and back"
press Return # spectator
sleep 1
press F11
settle 1280 1024
shot full.png
[ "$w" = 1280 ] && [ "$h" = 1024 ] || fail "F11 did not go to full screen (${w}x${h})"
press F11
settle 1280 720
[ "$w" = 1280 ] && [ "$h" = 720 ] || fail "F11 did not come back to the window (${w}x${h})"
kill -0 $game_pid 2>/dev/null || fail "the game ended on F11"

step "F12"
press F12
sleep 1
shots=(screenshots/*.png)
[ -f "${shots[0]}" ] || fail "F12 saved no PNG into screenshots/"
size=$(identify -format '%wx%h' "${shots[0]}")
echo "options: F12 saved ${shots[0]} ($size)"
[ "$size" = 1280x720 ] || fail "the screenshot is $size, not the 1280x720 frame"

step "Exit"
press Escape
press Return
game_ends $game_pid 10
echo "options: fire on Space and the window kept between starts; F11 and F12 in play"
