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
