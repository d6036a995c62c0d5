#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Redraws the window icon and the two logo pictures in data/Ptn, and the desktop icons in
# packaging/icons, with ImageMagick.
# The .ptn pictures are 24-bit BMP files on pure white: the program draws white as
# transparent, so near-white edge pixels are snapped to white to avoid a light halo.
set -euo pipefail
cd "$(dirname "$0")/.."
out=data/Ptn
mkdir -p "$out"

font=DejaVu-Sans-Bold
teal='#1f8a8a'
navy='#1d3557'

# MVG for one footprint: centre x y, rotation in degrees, scale, mirrored (1) or not (0).
footprint() {
    local x=$1 y=$2 angle=$3 scale=$4 mirror=$5
    local sx=$scale
    [ "$mirror" = 1 ] && sx=-$scale
    echo "push graphic-context translate $x,$y rotate $angle scale $sx,$scale
          ellipse 0,6 9,14 0,360 ellipse -1,-4 9.5,8 0,360
          circle -5,-16 -1.4,-16 circle 0.6,-18.6 3.4,-18.6 circle 5.2,-17.2 7.6,-17.2
          circle 8.8,-14 10.8,-14 circle 11,-9.6 12.7,-9.6
          pop graphic-context"
}

snap_white() { convert "$1" -fuzz 12% -fill white -opaque white -type TrueColor "BMP3:$2"; }

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# Company logo: two steps climbing to the right above the name (3:2, like its frame).
convert -size 192x128 xc:white -fill "$teal" \
    -draw "$(footprint 74 48 -12 1.45 1)" -draw "$(footprint 118 36 12 1.45 0)" \
    -fill "$navy" -font "$font" -pointsize 34 -gravity south -annotate +0+8 'Stepora' \
    "$tmp/company.png"
snap_white "$tmp/company.png" "$out/CompanyLogo.ptn"

# Search picture: a trail of steps leading into a magnifier (wide, like the search box).
convert -size 256x80 xc:white -fill '#8fc9c9' \
    -draw "$(footprint 28 52 80 0.75 1)" -draw "$(footprint 64 32 80 0.75 0)" \
    -draw "$(footprint 100 52 80 0.75 1)" -fill "$teal" \
    -draw "$(footprint 140 32 80 0.75 0)" \
    -fill none -stroke "$navy" -strokewidth 7 -draw 'circle 186,34 186,8' \
    -stroke "$navy" -strokewidth 11 -draw 'line 206,54 234,74' \
    -stroke none -fill "$teal" -draw "$(footprint 186 34 80 0.7 1)" \
    "$tmp/search.png"
snap_white "$tmp/search.png" "$out/SearchLogo.ptn"

# Window icon: a white footprint on a teal rounded square, at the usual icon sizes.
convert -size 256x256 xc:none -fill "$teal" -draw 'roundrectangle 8,8 247,247 48,48' \
    -fill white -draw "$(footprint 128 136 10 5.2 0)" "$tmp/icon.png"
for s in 16 32 48; do convert "$tmp/icon.png" -resize ${s}x${s} "$tmp/icon$s.png"; done
convert "$tmp/icon16.png" "$tmp/icon32.png" "$tmp/icon48.png" "$out/APPTitle.ico"

# Desktop icons (hicolor theme) from the same drawing; no time chunks, so a redraw of an
# unchanged picture leaves the file as it was.
mkdir -p packaging/icons
convert "$tmp/icon.png" -strip -define png:exclude-chunks=date,time packaging/icons/stepora-256.png
convert "$tmp/icon.png" -resize 48x48 -strip -define png:exclude-chunks=date,time \
    packaging/icons/stepora-48.png
