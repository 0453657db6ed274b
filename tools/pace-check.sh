#!/usr/bin/env bash
# The real game's pace in a real window under Xvfb. Starts the game in a
# scratch folder with the first mission, as pilot; holds Left for one second;
# lets it run; leaves through the menu's Exit. Then prints, from the game's own
# recording of the run: the frame times (median, 95th percentile, worst), the
# CPU the game used while flying (percent of one core, from /proc), and the
# turn rate the second of Left gave the player's ship, beside the same input
# played at exactly 1/60 s a frame by korvane-headless.
# KORVANE_FPS passes through to the game (0: the unpaced loop). The scratch
# folder is removed after a run that passes and kept, and named, after one
# that fails.
#   tools/pace-check.sh BUILD_DIR [SECONDS]
build=$(cd "${1:?usage: pace-check.sh BUILD_DIR [SECONDS]}" && pwd)
seconds=${2:-10}
work=$(mktemp -d /tmp/korvane-pace.XXXXXX)
source "$(dirname "$0")/check-lib.sh" pace "$work"
cp "$build"/campaign/kvxmap.AAAA.kvx "$work"/
cd "$work"

step "the X server"
start_x 1920x1080x24
step "the game flown in the window"
watch_log "$work/game.err"
bash -c '
    set -eu
    seconds=$2
    # Keys are read once a frame: each is held for a few frames.
    press() { xdotool keydown "$1"; sleep 0.2; xdotool keyup "$1"; sleep 0.3; }
    KORVANE_RECORD=run.kvr SDL_AUDIODRIVER=dummy "$1" 2>game.err & game=$!
    for i in $(seq 40); do xdotool search --name "Korvane 1.05" >/dev/null 2>&1 && break; sleep 0.25; done
    sleep 1
    press c
    sleep 0.5
    xdotool keydown Left; sleep 1; xdotool keyup Left
    ticks() { awk "{print \$14 + \$15}" /proc/$game/stat; }
    t0=$(date +%s.%N); c0=$(ticks)
    sleep "$seconds"
    t1=$(date +%s.%N); c1=$(ticks)
    echo "cpu: $(echo "($c1 - $c0) * 100 / $(getconf CLK_TCK) / ($t1 - $t0)" | bc -l |
                 xargs printf "%.1f")% of one core over ${seconds} s"
    press Escape; press Return
    wait $game
' pace "$build/src/korvane" "$seconds"

step "the recording measured"
"$build"/tools/kvxtool replay run.kvr | grep 'frame times'
# The turn rate when Left was let go, from the recording; and the same second
# of Left at 1/60 s frames, played by korvane-headless.
"$build"/tools/kvxtool replay run.kvr --script >input.txt
up=$(awk '$2 == "up" && $3 == "Left" {print $1; exit}' input.txt)
spin() { python3 -c 'import json,sys; m=json.load(sys.stdin); print(abs(m["ships"][m["player"]]["spin"]))'; }
real=$("$build"/tools/kvxtool replay run.kvr --at "$up" | spin)
down=$(awk '$2 == "down" && $3 == "Left" {print $1; exit}' input.txt)
# The game time Left was held, and as many 1/60 s frames.
held=$("$build"/tools/kvxtool replay run.kvr --times | awk -v d="$down" -v u="$up" \
    'NR > d && NR <= u {t += $1} END {printf "%.3f", t}')
frames=$(awk -v t="$held" 'BEGIN {printf "%d", t * 60 + 0.5}')
printf '5 down C\n8 up C\n30 down Left\n%d up Left\n' $((30 + frames)) >steady.txt
"$build"/src/korvane-headless --script steady.txt --dt 0.0166667 --frames $((30 + frames)) \
    --record steady.kvr --dir . >/dev/null
steady=$("$build"/tools/kvxtool replay steady.kvr --at $((30 + frames)) | spin)
echo "turn rate after Left held $held s: $real rad/s in the window, $steady rad/s at 1/60 s frames"
rm -rf "$work"
