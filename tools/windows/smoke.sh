#!/usr/bin/env bash
# Starts korvane.exe under Xvfb and Wine, takes a screenshot, checks that the
# game's picture is on screen, then presses Escape and checks that it quits.
# Usage: smoke.sh KORVANE_EXE WORK_DIR
set -euo pipefail
exe=$1 work=$2
mkdir -p "$work"
source "$(dirname "$0")/wine-env.sh" "$work"
shot="$work/smoke.png"
rm -f "$shot"

xvfb-run -a -s "-screen 0 800x600x24" bash -c '
    set -u
    wine "$1" & game=$!
    for i in $(seq 60); do
        xdotool search --name "Korvane 1.05" >/dev/null 2>&1 && break
        sleep 1
    done
    sleep 3
    xwd -root -silent | convert xwd:- "$2"
    xdotool key Escape
    for i in $(seq 20); do
        kill -0 $game 2>/dev/null || exit 0
        sleep 1
    done
    echo "smoke: the game did not quit on Escape" >&2
    kill $game
    exit 1
' smoke "$exe" "$shot"
wineserver -w

[ -f "$shot" ] || { echo "smoke: no screenshot" >&2; exit 1; }
# The test picture's title "Korvane 1.05" starts with the K's upright stroke
# at x = 440, from y = 15, in the text colour 0xffaf64, on an 800-wide screen.
pixel=$(convert "$shot" -format '%[pixel:p{440,18}]' info:)
echo "smoke: screenshot $shot, pixel (440,18) = $pixel"
case "$pixel" in
    "srgb(100,175,255)") echo "smoke: the game's picture is on screen" ;;
    *) echo "smoke: expected srgb(100,175,255) there" >&2; exit 1 ;;
esac
