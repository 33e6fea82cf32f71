#!/usr/bin/env bash
# Draws the pictures built into the program (read with RaViru::ReadResource), named after the
# resources they stand for. Run by hand when a picture changes; the results are committed.
set -euo pipefail
cd "$(dirname "$0")"
# A warm gradient with a few shapes: enough detail to tell a wrong decode at a glance.
draw() {
  convert -size 96x64 gradient:'#f6d365-#fda085' \
    -fill '#3a6ea5' -draw 'circle 30,32 30,14' \
    -fill '#ffffff' -draw 'rectangle 56,12 84,52' \
    -fill '#2e2e2e' -draw 'line 0,63 95,0' "$@"
}
draw -strip -quality 90 -density 72 -units PixelsPerInch IDR_JPG1.jpg
draw -strip -colors 64 1011.gif
draw -strip -compress lzw -density 72 -units PixelsPerInch 1015.tif
draw -strip -type TrueColor BMP3:3131.bmp
