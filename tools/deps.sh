#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the game need, when
# any is missing. As root it uses apt-get; otherwise it names what to install.
set -euo pipefail

packages=(cmake g++ make pkg-config libsdl2-dev libgtest-dev libgmock-dev libbenchmark-dev
          libpng-dev zlib1g-dev xvfb xauth
          # SDL draws its message boxes on X with the X core fonts
          xfonts-base
          # kvxtool, the mission tool: JSON
          nlohmann-json3-dev
          # the Debian package and its checks; the Windows zip
          dpkg-dev lintian desktop-file-utils unzip
          # the Windows build and its checks under Wine
          g++-mingw-w64-x86-64-posix libz-mingw-w64-dev wine wine64 xdotool x11-apps imagemagick
          # the mission-file fuzzer (tools/fuzz.sh): clang with libFuzzer
          clang libclang-rt-14-dev
          # the game in a web page (tools/web-build.sh) and its check in headless
          # chromium (tools/web-check.sh, which installs puppeteer-core with npm)
          emscripten chromium nodejs)
# npm comes with some builds of nodejs and apart with Debian's.
command -v npm >/dev/null || packages+=(npm)

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
