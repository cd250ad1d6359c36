#!/bin/sh
# Writes the PNG fixtures of the imaging tests with ImageMagick (run in this folder).
set -e
printf 'P2\n2 2\n255\n0 85\n170 255\n' > /tmp/grey8.pgm
convert /tmp/grey8.pgm -strip -define png:color-type=0 -depth 8 grey8.png
convert -size 1x1 xc:"rgba(255,0,0,0)" -strip PNG32:rgba-clear.png
convert -size 1x1 xc:"rgb(255,0,0)" -strip PNG48:rgb16.png
convert -size 1x1 xc:red xc:lime xc:blue xc:white +append -strip -define png:bit-depth=2 PNG8:pal2.png
convert -size 3x3 xc:"rgb(10,20,30)" -strip -interlace PNG PNG24:interlaced.png
rm -f /tmp/grey8.pgm
# 1-bit palette, interlaced: red where (x + 2y) % 3 == 0, else blue, 11 x 9.
{ printf 'P3\n11 9\n255\n'; for y in 0 1 2 3 4 5 6 7 8; do for x in 0 1 2 3 4 5 6 7 8 9 10; do
  if [ $(( (x + 2 * y) % 3 )) -eq 0 ]; then printf '255 0 0 '; else printf '0 0 255 '; fi
done; printf '\n'; done; } > /tmp/pal1.ppm
convert /tmp/pal1.ppm -strip -interlace PNG -define png:bit-depth=1 -define png:color-type=3 PNG8:pal1-interlaced.png
# 4-bit palette with a transparent entry: red, clear, lime, blue, white.
convert -size 1x1 xc:red xc:"rgba(0,0,0,0)" xc:lime xc:blue xc:white +append -strip -define png:bit-depth=4 PNG8:pal4-clear.png
rm -f /tmp/pal1.ppm
