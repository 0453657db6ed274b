#!/usr/bin/env bash
# The game's page in a real browser: builds it with emscripten into BUILD/web
# (tools/web-build.sh, with BUILD's campaign), serves it on a free loopback
# port (tools/web-serve.js) and plays it in Debian's headless chromium with
# puppeteer-core (installed into BUILD/web-check by npm ci from tests/ports/web),
# comparing its frames with korvane-headless's (tests/ports/web/check.js).
# Screenshots and frames are left in BUILD/web-check. With --measure, times
# frames of a full battle at 1920x1080 instead.
# Usage: web-check.sh BUILD KORVANE_HEADLESS [--measure]
# Exit status 77 (skipped) only when the browser or the compiler is not installed.
src="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "$1" && pwd)"
headless=$2
work="$build/web-check"
mkdir -p "$work"
source "$src/tools/check-lib.sh" "web check" "$work"

chromium="${KORVANE_CHROMIUM:-/usr/bin/chromium}"
for need in "$chromium" emcmake node npm; do
    if ! command -v "$need" >/dev/null; then
        echo "web check skipped: $need is not installed (tools/deps.sh installs chromium and emscripten)"
        exit 77
    fi
done

step "the page built with emscripten"
"$src/tools/web-build.sh" "$build/web" "$build/campaign"

# puppeteer-core, at the version tests/ports/web/package-lock.json pins.
step "puppeteer-core installed"
cp "$src/tests/ports/web/package.json" "$src/tests/ports/web/package-lock.json" "$work/"
if ! cmp -s "$work/package-lock.json" "$work/node_modules/.installed-lock.json" 2>/dev/null; then
    (cd "$work" && npm ci --no-audit --no-fund --loglevel=error)
    cp "$work/package-lock.json" "$work/node_modules/.installed-lock.json"
fi

step "the page served on loopback"
watch_log "$work/serve.log"
node "$src/tools/web-serve.js" "$build/web" 0 > "$work/serve.log" 2>&1 &
server=$!
at_exit "kill $server 2>/dev/null || true"
url=""
for i in $(seq 50); do
    url=$(sed -n 's/^serving \(http:.*\)$/\1/p' "$work/serve.log")
    [ -n "$url" ] && break
    sleep 0.1
done
[ -n "$url" ] || fail "the page could not be served"

step "the page played in headless chromium (tests/ports/web/check.js)"
KORVANE_CHROMIUM="$chromium" NODE_PATH="$work/node_modules" \
    node "$src/tests/ports/web/check.js" "$url" "$headless" "$build/campaign" "$work" "${@:3}"
