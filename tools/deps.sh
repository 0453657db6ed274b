#!/usr/bin/env bash
# Installs the Debian packages that are missing: `tools/deps.sh play` those
# that building and running the game needs (./play), `tools/deps.sh` all
# that the build, the tests and every check need (./test, CI). As root it
# uses apt-get; otherwise it names what to install.
set -euo pipefail

# Building and running the game.
packages=(cmake g++ make pkg-config libsdl2-dev libpng-dev zlib1g-dev
          # kvxtool, the mission tool, which builds the campaign: JSON
          nlohmann-json3-dev
          # the settings file (TOML), read with toml++ header-only
          libtomlplusplus-dev
          # SDL draws its message boxes on X with the X core fonts
          xfonts-base)
if [ "${1:-all}" != play ]; then
    packages+=(libgtest-dev libgmock-dev libbenchmark-dev
          # kvxtool video and its test
          ffmpeg
          # the checks in a real window under Xvfb
          xvfb xauth xdotool x11-apps imagemagick
          # the Debian package and its checks; the Windows zip
          dpkg-dev lintian desktop-file-utils unzip
          # the Windows build and its checks under Wine
          g++-mingw-w64-x86-64-posix libz-mingw-w64-dev wine wine64
          # the mission-file fuzzer (tools/fuzz.sh): clang with libFuzzer
          clang libclang-rt-14-dev
          # the game in a web page (tools/web-build.sh) and its check in headless
          # chromium (tools/web-check.sh, which installs puppeteer-core with npm)
          emscripten chromium nodejs)
    # npm comes with some builds of nodejs and apart with Debian's.
    command -v npm >/dev/null || packages+=(npm)
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages: ${missing[*]}" >&2
    echo "Install them with: sudo apt-get install ${missing[*]}" >&2
    exit 1
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
