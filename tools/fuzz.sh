#!/usr/bin/env bash
# Fuzzes the mission loader (TARGET missions, the default) or the recording
# reader and playback (TARGET replays): configures build-fuzz with clang,
# builds the libFuzzer target and runs it for SECONDS (default 60) on a copy
# of its seeds kept in the build directory, which grows from run to run.
# Findings (crashing inputs) are written to build-fuzz/fuzz-findings/.
#   tools/fuzz.sh [SECONDS] [missions|replays]
set -euo pipefail

seconds=${1:-60}
target=${2:-missions}
if ! [[ $seconds =~ ^[0-9]+$ ]] || [ "$seconds" -eq 0 ] ||
    { [ "$target" != missions ] && [ "$target" != replays ]; }; then
    echo "usage: $0 [SECONDS] [missions|replays]" >&2
    exit 2
fi
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-fuzz

for tool in clang clang++; do
    if ! command -v $tool >/dev/null; then
        echo "$tool is missing; tools/deps.sh installs it" >&2
        exit 1
    fi
done
# A build directory once configured with another compiler keeps it.
if [ -f "$build/CMakeCache.txt" ] &&
    ! grep -q '^CMAKE_CXX_COMPILER:FILEPATH=.*clang' "$build/CMakeCache.txt"; then
    echo "$build was configured without clang; remove it and run again" >&2
    exit 1
fi

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DKORVANE_FUZZ=ON -DKORVANE_TESTS=OFF \
    -DKORVANE_BENCH=OFF -DKORVANE_SDL=OFF -DKORVANE_WINDOWS=OFF >/dev/null
if [ "$target" = missions ]; then
    fuzzer=load_fuzzer seeds=$root/fuzz/seeds
    # Inputs up to a little more than a whole mission; longer ones add nothing.
    options=(-max_len=52000 -dict="$root/fuzz/mission.dict")
else
    fuzzer=replay_fuzzer seeds=$root/fuzz/replay-seeds
    options=(-max_len=65536 -dict="$root/fuzz/replay.dict")
fi
cmake --build "$build" -j2 --target $fuzzer

corpus=$build/fuzz-corpus-$target
findings=$build/fuzz-findings
mkdir -p "$corpus" "$findings"
cp "$seeds"/* "$corpus"/

exec "$build/fuzz/$fuzzer" -max_total_time="$seconds" "${options[@]}" \
    -artifact_prefix="$findings/$target-" -print_final_stats=1 "$corpus"
