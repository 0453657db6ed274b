#!/usr/bin/env bash
# Draws the raster cases with our rasterizer and with real GDI (the Windows
# build of the same program, under Wine) and compares them pixel for pixel.
# Usage: raster-check.sh NATIVE_RASTERDIFF WINDOWS_RASTERDIFF_EXE WORK_DIR
native=$1 exe=$2 work=$3
mkdir -p "$work"
source "$(dirname "$0")/../check-lib.sh" raster "$work"
source "$(dirname "$0")/wine-env.sh" "$work"
step "our rasterizer"
"$native" draw "$work/ours.bin"
step "GDI under Wine"
wine "$exe" draw "$(winepath -w "$work/gdi.bin")"
wineserver -w
step "the two compared"
"$native" compare "$work/ours.bin" "$work/gdi.bin" -v
