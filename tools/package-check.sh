#!/usr/bin/env bash
# The game as players install it. Builds the Debian package with CPack,
# checks it with lintian (no errors) and desktop-file-validate, installs it
# with apt-get, runs `korvane --version`, checks the installed files and the
# campaign, starts the installed game under Xvfb in a fresh player's folder
# (the first mission's start screen on a screenshot), and removes it again.
# Then packs the Windows zip and starts its korvane.exe under Wine from the
# unpacked folder, with the campaign beside it.
# Installing needs root (CI runs as root); otherwise the check says so and
# ends with 77, which CTest counts as skipped.
# Usage: package-check.sh BUILD_DIR
build=$(cd "$1" && pwd)
source_dir=$(cd "$(dirname "$0")/.." && pwd)
work=$build/package-check
rm -rf "$work" && mkdir -p "$work"
source "$source_dir/tools/check-lib.sh" package "$work"

if [ "$(id -u)" -ne 0 ]; then
    echo "package: installing a package needs root; skipped"
    exit 77
fi

step "the package built and checked"
watch_log "$work/cpack.log"
(cd "$build" && cpack -G DEB >"$work/cpack.log")
deb=$(ls "$build"/korvane_*.deb)
echo "package: $(basename "$deb"), $(stat -c %s "$deb") bytes"
lintian "$deb" 2>&1 | grep -v 'root privileges' | tee "$work/lintian.txt" || true
! grep -q '^E:' "$work/lintian.txt" || { echo "package: lintian found errors" >&2; exit 1; }
desktop-file-validate "$source_dir/packaging/korvane.desktop"

removed=0
remove() { [ $removed -eq 1 ] || apt-get remove -y -qq korvane >/dev/null; removed=1; }
at_exit remove
step "the package installed"
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >/dev/null
command -v korvane >/dev/null || { echo "package: korvane is not on the PATH" >&2; exit 1; }
[ "$(korvane --version)" = "korvane $(dpkg-deb -f "$deb" Version)" ] ||
    { echo "package: korvane --version says '$(korvane --version)'" >&2; exit 1; }
for f in /usr/share/applications/korvane.desktop /usr/share/icons/hicolor/48x48/apps/korvane.png \
    /usr/share/icons/hicolor/256x256/apps/korvane.png /usr/share/man/man6/korvane.6.gz \
    /usr/share/man/man1/kvxtool.1.gz /usr/share/doc/korvane/copyright; do
    [ -f "$f" ] || { echo "package: $f is missing" >&2; exit 1; }
done
kvxtool check /usr/share/korvane/campaign/kvxmap.*.kvx >"$work/check.txt"
echo "package: installed; the campaign checks: $(grep -c ': ok$' "$work/check.txt") missions ok"

# The installed game, from the menu's command, in a new player's folder.
home=$work/home
step "the X server"
start_x 1024x768x24
step "the installed game starts"
watch_log "$work/game.err"
bash -c '
    set -eu
    press() { xdotool keydown "$1"; sleep 0.2; xdotool keyup "$1"; sleep 0.3; }
    for i in $(seq 40); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.25; done
    KORVANE_HOME="$1" SDL_AUDIODRIVER=dummy korvane 2>"$2/game.err" & game=$!
    for i in $(seq 40); do xdotool search --name "Korvane 1.05" >/dev/null 2>&1 && break; sleep 0.25; done
    sleep 1.5
    xwd -root -silent | convert xwd:- "$2/installed.png"
    press Escape; press Return
    for i in $(seq 20); do kill -0 $game 2>/dev/null || break; sleep 0.5; done
    wait $game
' package "$home" "$work"
[ -f "$home/kvxmap.AAAA.kvx" ] || { echo "package: the campaign was not put in the player's folder" >&2; exit 1; }
# The first mission's start screen: its message in the text colour from (10, 10).
text=$(convert "$work/installed.png" -crop 300x12+10+10 -format '%[fx:maxima.b > 0.9 && maxima.r > 0.35]' info:)
[ "$text" = 1 ] || { echo "package: no start screen on $work/installed.png" >&2; exit 1; }
step "the package removed"
remove
[ ! -e /usr/games/korvane ] || { echo "package: korvane is still there after removing it" >&2; exit 1; }
echo "package: installed, started with the campaign and removed again"

# The Windows zip, unpacked and started under Wine.
windows=$build/windows
if [ -x "$windows/src/korvane.exe" ]; then
    (cd "$windows" && cpack -G ZIP >"$work/cpack-windows.log")
    zip=$(ls "$windows"/korvane-*-windows.zip)
    mkdir -p "$work/zip" && (cd "$work/zip" && unzip -q "$zip")
    folder=$(ls -d "$work"/zip/korvane-*-windows)
    for f in korvane.exe README.txt kvxmap.AAAA.kvx kvxmap.IIII.kvx; do
        [ -f "$folder/$f" ] || { echo "package: the zip has no $f" >&2; exit 1; }
    done
    source "$source_dir/tools/windows/wine-env.sh" "$build/windows-check"
    step "the Windows zip's game under Wine"
    # A screen of its own, the size the Windows checks use.
    stop_x
    start_x 800x600x24
    watch_log "$work/zip-game.err"
    (cd "$folder" && bash -c '
        set -u
        press() { xdotool keydown "$1"; sleep 0.3; xdotool keyup "$1"; sleep 0.7; }
        for i in $(seq 40); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.25; done
        wine korvane.exe 2>"$1/zip-game.err" & game=$!
        for i in $(seq 120); do xdotool search --name "Korvane 1.05" >/dev/null 2>&1 && break; sleep 0.5; done
        sleep 2
        # No message box: the first mission was found beside the game.
        if xdotool search --name "kvxmap.AAAA.kvx" >/dev/null 2>&1; then
            echo "package: the zip'"'"'s game did not find its campaign" >&2; kill $game; exit 1
        fi
        xwd -root -silent | convert xwd:- "$1/zip.png"
        press Escape; press Return
        for i in $(seq 30); do kill -0 $game 2>/dev/null || exit 0; sleep 1; done
        kill $game; exit 1
    ' zip "$work")
    wineserver -w
    text=$(convert "$work/zip.png" -crop 300x12+10+10 -format '%[fx:maxima.b > 0.9 && maxima.r > 0.35]' info:)
    [ "$text" = 1 ] || { echo "package: no start screen on $work/zip.png" >&2; exit 1; }
    echo "package: $(basename "$zip") unpacked, its game started under Wine with the campaign"
fi
