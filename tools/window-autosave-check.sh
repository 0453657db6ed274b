#!/usr/bin/env bash
# Autosave in the real window, under Xvfb: a ship placed in the editor, the
# game killed with SIGKILL once the autosave is due; started again, the
# editor offers the autosave at its foot, F9 restores it, and the mission
# saved from there is the autosave's, byte for byte, with the ship placed.
# Usage: window-autosave-check.sh KORVANE_BINARY CAMPAIGN_DIR WORK_DIR
game=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
campaign=$2
work=$3
rm -rf "$work" && mkdir -p "$work"
work=$(cd "$work" && pwd)
source "$(dirname "$0")/check-lib.sh" autosave "$work"
source "$(dirname "$0")/window-lib.sh"
cd "$work"
cp "$campaign/kvxmap.AAAA.kvx" .

start_game() {
    SDL_AUDIODRIVER=dummy "$game" 2>>game.err &
    game_pid=$!
    win=$(find_window "Korvane 1.05") || fail "the game's window did not appear"
    xdotool windowfocus --sync "$win" 2>/dev/null || true
    sleep 1
}

# A left click at a point of the frame (the window covers the screen at 1x).
click() {
    xdotool mousemove "$1" "$2"
    sleep 0.2
    xdotool mousedown 1
    sleep 0.25
    xdotool mouseup 1
    sleep 0.4
}

# From the start screen to the editor: the menu, then Editor.
to_editor() {
    press Escape
    press Up
    press Up
    press Return
    sleep 0.5
}

# The ships alive in a mission file (the byte at 68 of each ship record).
alive() {
    local n=0 k
    for k in $(seq 0 49); do
        [ "$(od -An -tu1 -j $((602 + 1009 * k + 68)) -N1 "$1" | tr -d ' ')" != 0 ] && n=$((n + 1))
    done
    echo $n
}

step "the X server"
start_x 1024x768x24
watch_log "$work/game.err"

step "a ship placed in the editor, the game killed once the autosave is due"
start_game
to_editor
click 215 35  # Add ship
click 700 600 # placed
sleep 33
saves=(autosave/*.kvx)
[ -f "${saves[0]}" ] || fail "no autosave in autosave/ 33 s after the change: $(ls -A autosave 2>&1)"
kill -KILL $game_pid
wait $game_pid 2>/dev/null || true
[ "${#saves[@]}" = 1 ] || fail "${#saves[@]} autosaves for one change: ${saves[*]}"
autosave=${saves[0]}
cp "$autosave" autosaved.kvx # the save after F9 removes it
echo "autosave: the killed game left $autosave ($(stat -c %s "$autosave") bytes)"
[ "$(stat -c %s "$autosave")" = 51052 ] || fail "$autosave is not a whole mission file"
before=$(alive kvxmap.AAAA.kvx) after=$(alive "$autosave")
[ "$after" = $((before + 1)) ] || fail "the autosave has $after ships, the mission $before"

step "started again: the offer, F9, and the mission saved"
start_game
to_editor
shot offer.png
# The offer's line at the foot: text in the game's colour about row 745.
lit=$(convert offer.png -crop 600x14+10+738 +repage -fill black +opaque 'rgb(100,175,255)' \
    -fill white -opaque 'rgb(100,175,255)' -format '%[fx:round(mean*w*h)]' info:)
[ "$lit" -gt 100 ] || fail "no offer of the autosave at the editor's foot (offer.png, $lit pixels)"
press F9
press Escape
press Up
press Return # Save
for k in R E C 1; do press $k; done
press Return
sleep 0.5
cmp -s kvxmap.REC1.kvx autosaved.kvx ||
    fail "the mission saved after F9 is not the autosave: $(cmp kvxmap.REC1.kvx autosaved.kvx 2>&1)"
[ -f "$autosave" ] && fail "the autosave restored is still there after the save"
for i in 1 2 3; do press Down; done # Exit
press Return
game_ends $game_pid 10
echo "autosave: the killed game's ship came back with F9, $after ships, saved byte for byte"
