#!/usr/bin/env bash
# A recording of a game killed as it plays: under Xvfb, the game flies the
# first mission as pilot, recording itself (KORVANE_RECORD), and is killed
# with SIGKILL after some seconds, as a crash or a power cut would end it. The
# recording plays back in korvane-headless to within a second of where the
# game was killed, says where it ends early and exits with 3. A game that
# crashes (SIGSEGV) as it records says where its recording is.
# Usage: window-killed-check.sh KORVANE KORVANE_HEADLESS KVXTOOL CAMPAIGN_DIR WORK_DIR [SECONDS]
absolute() { echo "$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"; }
game=$(absolute "$1") headless=$(absolute "$2") kvxtool=$(absolute "$3") campaign=$(absolute "$4")
work=$5 seconds=${6:-8}
rm -rf "$work" && mkdir -p "$work"
work=$(cd "$work" && pwd)
source "$(dirname "$0")/check-lib.sh" killed "$work"
source "$(dirname "$0")/window-lib.sh"
cd "$work"
cp "$campaign/kvxmap.AAAA.kvx" .

step "the X server"
start_x 1024x768x24
watch_log "$work/game.err"

step "the game flies, recording, and is killed"
KORVANE_RECORD=game.kvr SDL_AUDIODRIVER=dummy "$game" 2>game.err &
game_pid=$!
find_window "Korvane 1.05" >/dev/null || fail "the game's window did not appear"
started=$(date +%s.%N)
press c
xdotool keydown Up; xdotool keydown shift
sleep "$seconds"
kill -KILL $game_pid
killed=$(date +%s.%N)
wait $game_pid 2>/dev/null || true
xdotool keyup shift; xdotool keyup Up
ran=$(awk "BEGIN { printf \"%.2f\", $killed - $started }")
echo "killed: the game ran ${ran} s in its window; the recording has $(stat -c %s game.kvr) bytes"

step "the recording plays back to where the game was killed"
status=0
"$headless" --replay game.kvr >played.out 2>played.err || status=$?
cat played.err
[ "$status" = 3 ] || fail "the playback ended with status $status, not 3 (played.err)"
frames=$(sed -n 's/.*ends early at frame \([0-9]*\); played to there/\1/p' played.err)
[ -n "$frames" ] || fail "no 'ends early at frame N; played to there' line (played.err)"
recorded=$({ "$kvxtool" replay game.kvr 2>/dev/null || true; } | # 3: it ends early
    sed -n 's/^game time measured: \([0-9.]*\) s$/\1/p')
echo "killed: played to frame $frames, $recorded s of game time, the game ran $ran s"
# The game's time runs with the clock from its first frame, which comes a
# moment after its window shows.
awk "BEGIN { exit !($recorded >= $ran - 1) }" ||
    fail "the recording holds $recorded s of the $ran s the game ran: more than a second lost"

step "a crash says where its recording is"
"$headless" --frames 1000000 --dt 0.016 --record crashed.kvr 2>crashed.err &
crash_pid=$!
sleep 2
kill -SEGV $crash_pid
wait $crash_pid 2>/dev/null || true
grep -q "stopped by a fatal signal; the recording so far is in .*crashed.kvr" crashed.err ||
    fail "no line naming the recording after SIGSEGV: $(head -c 300 crashed.err)"
status=0
"$headless" --replay crashed.kvr >/dev/null 2>crash-played.err || status=$?
[ "$status" = 3 ] || fail "the crashed game's recording played with status $status, not 3"
echo "killed: $(head -1 crashed.err)"
