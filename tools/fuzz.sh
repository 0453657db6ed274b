#!/usr/bin/env bash
# Fuzzes the mission loader: configures build-fuzz with clang, builds the
# libFuzzer target and runs it for SECONDS (default 60) on a copy of the
# seeds kept in the build directory, which grows from run to run.
# Findings (crashing inputs) are written to build-fuzz/fuzz-findings/.
#   tools/fuzz.sh [SECONDS]
set -euo pipefail

seconds=${1:-60}
if ! [[ $seconds =~ ^[0-9]+$ ]] || [ "$seconds" -eq 0 ]; then
    echo "usage: $0 [SECONDS]" >&2
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
cmake --build "$build" -j2 --target load_fuzzer

corpus=$build/fuzz-corpus
findings=$build/fuzz-findings
mkdir -p "$corpus" "$findings"
cp "$root"/fuzz/seeds/* "$corpus"/

# Inputs up to a little more than a whole mission; longer ones add nothing.
exec "$build/fuzz/load_fuzzer" -max_total_time="$seconds" -max_len=52000 \
    -dict="$root/fuzz/mission.dict" -artifact_prefix="$findings/" \
    -print_final_stats=1 "$corpus"
