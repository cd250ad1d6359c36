#!/bin/sh
# Makes the AVI fixtures of the frame reader's tests with ffmpeg (needed only to remake them;
# the tests read the files committed beside this script). Three frames of ffmpeg's test
# pattern, 32 x 16 at 25 frames a second, in three codings, and each frame as a PPM.
set -eu
cd "$(dirname "$0")"
src="testsrc=size=32x16:rate=25:duration=0.12"
ff() { ffmpeg -hide_banner -loglevel error -y "$@"; }
ff -f lavfi -i "$src" -c:v rawvideo -pix_fmt bgr24 raw-bgr24.avi
ff -f lavfi -i "$src" -c:v rawvideo -pix_fmt pal8 raw-pal8.avi
ff -f lavfi -i "$src" -c:v mjpeg -q:v 2 -pix_fmt yuvj444p mjpeg.avi
for n in 0 1 2; do
    ff -i raw-bgr24.avi -vf "select=eq(n\,$n)" -frames:v 1 -pix_fmt rgb24 "frame$n.ppm"
    ff -i raw-pal8.avi -vf "select=eq(n\,$n)" -frames:v 1 -pix_fmt rgb24 "pal8-frame$n.ppm"
done
