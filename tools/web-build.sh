#!/usr/bin/env bash
# Builds the game for the browser into OUTDIR, a folder of static files
# (index.html, korvane.js, korvane.wasm) to serve from any web host:
#
#   tools/web-build.sh OUTDIR [CAMPAIGN_DIR]
#
# Uses Debian's emscripten (package emscripten). The campaign built into the
# page comes from CAMPAIGN_DIR (a native build's campaign/), else a native
# build of kvxtool and the campaign is made in OUTDIR-native. The emscripten
# build tree is OUTDIR-cmake.
set -euo pipefail
if [ $# -lt 1 ] || [ $# -gt 2 ]; then
    echo "usage: tools/web-build.sh OUTDIR [CAMPAIGN_DIR]" >&2
    exit 2
fi
src="$(cd "$(dirname "$0")/.." && pwd)"
mkdir -p "$1"
out="$(cd "$1" && pwd)"
tree="$out-cmake"
jobs=$(nproc)

if ! command -v emcmake >/dev/null; then
    echo "web-build: emscripten is not installed (Debian package emscripten; tools/deps.sh installs it)" >&2
    exit 1
fi
# Debian's emscripten runs its JavaScript optimiser with the system's node,
# which finds acorn there.
export NODE_PATH="/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}"

if [ $# -eq 2 ]; then
    campaign="$(cd "$2" && pwd)"
else
    cmake -S "$src" -B "$out-native" -DCMAKE_BUILD_TYPE=Release -DKORVANE_SDL=OFF \
        -DKORVANE_TESTS=OFF -DKORVANE_BENCH=OFF -DKORVANE_WINDOWS=OFF >/dev/null
    cmake --build "$out-native" -j"$jobs" --target campaign
    campaign="$out-native/campaign"
fi

emcmake cmake -S "$src" -B "$tree" -DCMAKE_BUILD_TYPE=Release \
    -DKORVANE_WEB_CAMPAIGN="$campaign" >/dev/null
cmake --build "$tree" -j"$jobs" --target korvane-web
for f in index.html korvane.js korvane.wasm; do
    cp "$tree/$f" "$out/$f"
done
echo "web-build: the game's page is in $out"
