#!/usr/bin/env bash
# A game recorded in the real window and played back: under Xvfb, the game
# flies the first mission as pilot for a few seconds, is saved from the Save
# screen and left through Exit, recording itself (KORVANE_RECORD). The
# recording then plays back in korvane-headless to the same saved file, byte
# for byte, and in the real window again (KORVANE_REPLAY) to its end, where the
# game closes by itself without writing into the folder it was started in.
# The first run plays its sound into a file (SDL's disk driver), which must
# hold the fight.
# Usage: window-replay-check.sh KORVANE KORVANE_HEADLESS CAMPAIGN_DIR WORK_DIR [SECONDS]
set -euo pipefail
absolute() { echo "$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"; }
game=$(absolute "$1") headless=$(absolute "$2") campaign=$(absolute "$3")
work=$4 seconds=${5:-4}
rm -rf "$work" && mkdir -p "$work/played" "$work/again" "$work/watched"
cp "$campaign/kvxmap.AAAA.kvx" "$work/played/"

# Keys are read once a frame: each is held for a few frames.
cd "$work"
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    set -eu
    seconds=$2
    press() { xdotool keydown "$1"; sleep 0.2; xdotool keyup "$1"; sleep 0.3; }
    for i in $(seq 40); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.25; done
    cd played
    # SDL'"'"'s disk driver writes what the game plays to a file, in real time.
    KORVANE_RECORD=game.kvr SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=sound.raw "$1" 2>game.err &
    game=$!
    for i in $(seq 40); do xdotool search --name "Korvane 1.05" >/dev/null 2>&1 && break; sleep 0.25; done
    sleep 1
    press c
    xdotool keydown Up; sleep 0.5; xdotool keydown Left; sleep 0.5; xdotool keyup Left
    xdotool keydown shift; sleep "$seconds"; xdotool keyup shift; xdotool keyup Up
    press Escape                                  # the menu, on Exit
    press Up; press Up; press Up; press Return    # Save
    press Return                                  # as kvxmap.0000.kvx
    press Down; press Down; press Down; press Return  # Exit
    for i in $(seq 20); do kill -0 $game 2>/dev/null || break; sleep 0.5; done
    wait $game
    # The recording in the real window again: it plays to its end and closes.
    cd ../watched
    KORVANE_REPLAY=../played/game.kvr SDL_AUDIODRIVER=dummy timeout $((seconds + 120)) "$1"
' window "$game" "$seconds"

cd - >/dev/null
[ -f "$work/played/kvxmap.0000.kvx" ] || { echo "replay: the game saved nothing" >&2; exit 1; }
"$headless" --replay "$work/played/game.kvr" --dir "$work/again" >/dev/null
cmp "$work/played/kvxmap.0000.kvx" "$work/again/kvxmap.0000.kvx"
[ -z "$(ls -A "$work/watched")" ] || { echo "replay: the window's playback wrote into its folder" >&2; exit 1; }
# The fight was heard: samples well away from silence, not just a click or two.
loud=$(od -An -v -t d2 -w2 "$work/played/sound.raw" | awk '$1 > 2000 || $1 < -2000' | wc -l)
[ "$loud" -gt 4800 ] || { echo "replay: the game's sound file holds no fight ($loud loud samples)" >&2; exit 1; }
echo "replay: $(stat -c %s "$work/played/sound.raw") bytes of sound, $loud loud samples"
frames=$(gzip -dc "$work/played/game.kvr" | wc -c)
echo "replay: $(stat -c %s "$work/played/game.kvr") bytes ($frames unpacked) played back to the same saved file"
