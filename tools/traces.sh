#!/usr/bin/env bash
# The golden traces under tests/traces: recordings of whole games with the
# digests of the game's state every 100 frames, which the test suite plays
# back (ctest -L traces); any change of behaviour departs from them.
#   tools/traces.sh make BUILD_DIR NAME   record NAME anew from NAME.script with
#                                         its line of tests/traces/traces.txt
#   tools/traces.sh check BUILD_DIR       play every trace back
#   tools/traces.sh rewrite BUILD_DIR     after an intended change: play each
#                                         trace back while recording it afresh
#                                         (same input, frame times and mission
#                                         reads), print the checkpoints that
#                                         moved and keep the new recording
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
traces=$root/tests/traces
usage() { sed -n '5,12p' "$0" | sed 's/^# \{0,1\}//' >&2; exit 2; }
[ $# -ge 2 ] || usage
command=$1
build=$(cd "$2" && pwd)
headless=$build/src/korvane-headless

# A folder with the campaign for a run (or none of it, for runs that start
# from an empty folder), removed on exit.
work=$(mktemp -d /tmp/korvane-traces.XXXXXX)
trap 'rm -rf "$work"' EXIT
folder() {
    rm -rf "$work/dir" && mkdir "$work/dir"
    [ "${1:-}" = EMPTY ] || cp "$build"/campaign/*.kvx "$work/dir"/
}

case $command in
make)
    [ $# -eq 3 ] || usage
    name=$3
    read -r _ size dt seed frames empty < <(grep "^$name " "$traces/traces.txt") ||
        { echo "traces: no line for $name in traces.txt" >&2; exit 2; }
    folder "$empty"
    "$headless" --size "$size" --dt "$dt" --seed "$seed" --frames "$frames" \
        --script "$traces/$name.script" --digest 100 --record "$traces/$name.kvr" \
        --dir "$work/dir" >/dev/null
    "$build/tools/kvxtool" replay "$traces/$name.kvr"
    ;;
check)
    status=0
    for trace in "$traces"/*.kvr; do
        if "$headless" --replay "$trace" >/dev/null; then
            echo "$(basename "$trace"): as recorded"
        else
            status=1
        fi
    done
    exit $status
    ;;
rewrite)
    for trace in "$traces"/*.kvr; do
        folder
        echo "$(basename "$trace"):"
        "$headless" --replay "$trace" --record "$work/new.kvr" --digest 100 --dir "$work/dir" |
            grep '^moved:' || echo "  nothing moved"
        mv "$work/new.kvr" "$trace"
    done
    ;;
*)
    usage
    ;;
esac
