#!/usr/bin/env bash
# Serves the game's page (built by tools/web-build.sh) on 127.0.0.1 to try it
# in a browser, with node (tools/web-serve.js), until stopped:
#
#   tools/web-serve.sh [OUTDIR] [PORT]     # defaults: build/web, 8000
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
dir="${1:-$here/../build/web}"
if [ ! -f "$dir/index.html" ]; then
    echo "web-serve: $dir has no index.html; build it first: tools/web-build.sh $dir" >&2
    exit 1
fi
exec node "$here/web-serve.js" "$dir" "${2:-8000}"
