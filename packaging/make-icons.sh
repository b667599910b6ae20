#!/usr/bin/env bash
# Renders the icon drawing (capbeam.svg) into every image the program carries:
# PNGs for the desktop, the three small images (32x32 two-colour, 32x32
# 16-colour, 16x16 16-colour) as XPM for the window and as one .ico for
# Windows. Run by hand after changing the drawing; the outputs are committed.
# Needs librsvg2-bin and imagemagick.
set -euo pipefail
cd "$(dirname "$0")"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
for s in 16 32 48 256; do rsvg-convert -w $s -h $s capbeam.svg -o icon-$s.png; done
rsvg-convert -w 32 -h 32 capbeam.svg -o "$tmp/32.png"
rsvg-convert -w 16 -h 16 capbeam.svg -o "$tmp/16.png"
flat() { convert "$1" -background "#c0ffff" -alpha remove -alpha off "$2"; }
flat "$tmp/32.png" "$tmp/32f.png"
flat "$tmp/16.png" "$tmp/16f.png"
convert "$tmp/32f.png" -colorspace gray -threshold 55% -type bilevel "$tmp/32-2.png"
convert "$tmp/32f.png" -dither None -colors 16 "$tmp/32-16.png"
convert "$tmp/16f.png" -dither None -colors 16 "$tmp/16-16.png"
mkdir -p ../app/icons
convert "$tmp/32-2.png" ../app/icons/capbeam-32-2.xpm
convert "$tmp/32-16.png" ../app/icons/capbeam-32-16.xpm
convert "$tmp/16-16.png" ../app/icons/capbeam-16-16.xpm
convert "$tmp/32-2.png" -type bilevel BMP3:"$tmp/a.bmp"
convert "$tmp/32-16.png" -type palette BMP3:"$tmp/b.bmp"
convert "$tmp/16-16.png" -type palette BMP3:"$tmp/c.bmp"
convert "$tmp/a.bmp" "$tmp/b.bmp" "$tmp/c.bmp" capbeam.ico
