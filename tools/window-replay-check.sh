#!/usr/bin/env bash
# A game recorded in the real window and played back: under Xvfb, the game
# flies the first mission as pilot for a few seconds, is saved from the Save
# screen and left through Exit, recording itself (KORVANE_RECORD). The
# recording then plays back in korvane-headless to the same saved file, byte
# for byte, and in the real window's viewer again (KORVANE_REPLAY): paused,
# sought to its end and back, and left with Escape, without departing from
# the recording or writing into the folder it was started in.
# The first run plays its sound into a file (SDL's disk driver), which must
# hold the fight.
# Usage: window-replay-check.sh KORVANE KORVANE_HEADLESS CAMPAIGN_DIR WORK_DIR [SECONDS]
absolute() { echo "$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"; }
game=$(absolute "$1") headless=$(absolute "$2") campaign=$(absolute "$3")
work=$4 seconds=${5:-4}
rm -rf "$work" && mkdir -p "$work/played" "$work/again" "$work/watched"
work=$(cd "$work" && pwd)
source "$(dirname "$0")/check-lib.sh" replay "$work"
source "$(dirname "$0")/window-lib.sh"
cp "$campaign/kvxmap.AAAA.kvx" "$work/played/"

step "the X server"
start_x 1024x768x24

step "the game starts, recording"
cd "$work/played"
watch_log "$work/played/game.err"
# SDL's disk driver writes what the game plays to a file, in real time.
KORVANE_RECORD=game.kvr SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=sound.raw "$game" 2>game.err &
game_pid=$!
find_window "Korvane 1.05" >/dev/null || fail "the game's window did not appear"
sleep 1
shot "$work/start.png"

# Keys are read once a frame: each is held for a few frames.
step "the flight"
press c
xdotool keydown Up; sleep 0.5; xdotool keydown Left; sleep 0.5; xdotool keyup Left
xdotool keydown shift; sleep "$seconds"; xdotool keyup shift; xdotool keyup Up
shot "$work/flight.png"
step "Save from the menu"
press Escape                                  # the menu, on Exit
press Up; press Up; press Up; press Return    # Save
shot "$work/save.png"
press Return                                  # as kvxmap.0000.kvx
step "Exit from the menu"
press Down; press Down; press Down
shot "$work/exit.png"
press Return                                  # Exit
game_ends "$game_pid" 20

step "the recording in the real window's viewer"
cd "$work/watched"
watch_log "$work/watched.err"
KORVANE_REPLAY=../played/game.kvr SDL_AUDIODRIVER=dummy "$game" 2>"$work/watched.err" &
game_pid=$!
find_window "Korvane 1.05" >/dev/null || fail "the viewer's window did not appear"
sleep 2
press space                                   # paused
press End                                     # the end, where the recorded game left
sleep 3
shot "$work/watched-end.png"
press Home; press space; sleep 2              # and from the start again
press Escape
game_ends "$game_pid" 20
! grep -q "departs" "$work/watched.err" || fail "the viewer's playback departed (watched.err)"

step "the recording played back headless"
cd "$work"
[ -f "$work/played/kvxmap.0000.kvx" ] || fail "the game saved nothing"
watch_log "$work/again.err"
"$headless" --replay "$work/played/game.kvr" --dir "$work/again" >/dev/null 2>"$work/again.err"
cmp "$work/played/kvxmap.0000.kvx" "$work/again/kvxmap.0000.kvx"
[ -z "$(ls -A "$work/watched")" ] || fail "the window's playback wrote into its folder"

step "the sound"
# The fight was heard: samples well away from silence, not just a click or two.
loud=$(od -An -v -t d2 -w2 "$work/played/sound.raw" | awk '$1 > 2000 || $1 < -2000' | wc -l)
[ "$loud" -gt 4800 ] || fail "the game's sound file holds no fight ($loud loud samples)"
echo "replay: $(stat -c %s "$work/played/sound.raw") bytes of sound, $loud loud samples"
frames=$(gzip -dc "$work/played/game.kvr" | wc -c)
echo "replay: $(stat -c %s "$work/played/game.kvr") bytes ($frames unpacked) played back to the same saved file"
