#!/bin/sh
# Renders the PNG sizes of the icons from their SVG drawings (rsvg-convert, Debian package librsvg2-bin).
# The PNGs are kept in the source tree, so building needs no SVG renderer; run this after changing an SVG.
#
#   sh desktop/icons/render_icons.sh
set -eu
cd "$(dirname "$0")"
for size in 16 22 24 32 48 64 128 256; do
    mkdir -p "png/$size"
    for svg in *.svg; do
        rsvg-convert -w "$size" -h "$size" "$svg" -o "png/$size/${svg%.svg}.png"
    done
done
