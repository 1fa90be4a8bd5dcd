#!/bin/sh
# Renders the window's SVG icons to the PNG files the program embeds. Qt reads SVG only with an
# extra plugin, so the program ships PNGs drawn from these sources; run this after editing one.
# Needs ImageMagick (Debian: imagemagick).
set -eu
cd "$(dirname "$0")/../src/shell/resources/icons"
for svg in korvane.svg open.svg convert.svg message.svg; do
    convert -background none "$svg" "${svg%.svg}.png"
done
convert -background none -density 192 korvane.svg -resize 128x128 korvane-128.png
