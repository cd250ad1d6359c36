#!/usr/bin/env bash
# Makes the BMP fixtures of the rasterkit tests from small PPM pictures, with netpbm's
# ppmtobmp and ImageMagick's convert (Debian packages netpbm and imagemagick), plus a few
# forms neither writes (short palette, top-down rows, RLE4) made by rewriting their output.
# The results are committed; run this only to remake them. Writes bmp/ beside itself and
# bmp/fixtures.txt: one line per fixture, "file.bmp source.ppm".
set -euo pipefail
cd "$(dirname "$0")/bmp"
IM=/usr/bin/convert # the real ImageMagick, not any wrapper earlier on PATH

python3 - <<'PY'
# Three 7 x 5 sources: two colours, 16 colours, many colours; and one whose colours
# survive 5- and 6-bit channels exactly.
def write(name, pixels):
    with open(name, "wb") as f:
        f.write(b"P6\n7 5\n255\n" + bytes(v for p in pixels for v in p))
W, H = 7, 5
write("src-2.ppm", [(255, 255, 255) if (x * 3 + y) % 4 < 2 else (0, 0, 0)
                    for y in range(H) for x in range(W)])
pal = [(0, 0, 0), (255, 255, 255), (200, 30, 40), (20, 180, 60), (30, 40, 220), (250, 220, 10),
       (128, 128, 128), (90, 20, 140), (10, 200, 210), (240, 120, 30), (60, 60, 60),
       (180, 180, 250), (5, 90, 5), (250, 150, 200), (100, 60, 20), (220, 220, 220)]
write("src-16.ppm", [pal[(x + 2 * y) % 16] for y in range(H) for x in range(W)])
write("src-6.ppm", [pal[(x * y + x) % 6] for y in range(H) for x in range(W)])
write("src-rgb.ppm", [((37 * x + 11 * y) % 256, (53 * y + 7 * x * x) % 256, (x * y * 29 + 5) % 256)
                      for y in range(H) for x in range(W)])
exact = [(0, 0, 0), (255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 0), (0, 255, 255),
         (255, 0, 255), (255, 255, 255)]
write("src-exact.ppm", [exact[(x + 3 * y) % 8] for y in range(H) for x in range(W)])
PY

ppmtobmp -quiet -bpp 1 src-2.ppm > nb-1.bmp
ppmtobmp -quiet -bpp 4 src-16.ppm > nb-4.bmp
ppmtobmp -quiet -bpp 8 src-16.ppm > nb-8.bmp
ppmtobmp -quiet -bpp 24 src-rgb.ppm > nb-24.bmp
ppmtobmp -quiet -os2 -bpp 1 src-2.ppm > nb-os2-1.bmp
ppmtobmp -quiet -os2 -bpp 8 src-16.ppm > nb-os2-8.bmp
ppmtobmp -quiet -os2 -bpp 24 src-rgb.ppm > nb-os2-24.bmp
"$IM" src-rgb.ppm BMP3:im-bmp3-24.bmp
"$IM" src-rgb.ppm BMP:im-v5-24.bmp
"$IM" src-rgb.ppm -alpha on BMP:im-v5-32-bitfields.bmp
"$IM" src-16.ppm -type Palette -compress RLE BMP3:im-rle8.bmp
"$IM" src-exact.ppm -define bmp:subtype=RGB565 BMP:im-v5-16-565.bmp
"$IM" src-exact.ppm -define bmp:subtype=RGB555 BMP:im-v5-16-555.bmp

ppmtobmp -quiet -bpp 8 src-6.ppm > tmp-6.bmp
python3 - <<'PY'
import struct
d = open("tmp-6.bmp", "rb").read()
off = struct.unpack_from("<I", d, 10)[0]
hdr = bytearray(d[14:54])
assert struct.unpack_from("<I", hdr, 32)[0] in (0, 256)
struct.pack_into("<II", hdr, 32, 6, 6)
table = d[54:54 + 24]
bits = d[off:]
newoff = 14 + 40 + 24
out = struct.pack("<2sIHHI", b"BM", newoff + len(bits), 0, 0, newoff) + bytes(hdr) + table + bits
open("crafted-short-palette.bmp", "wb").write(out)

# Top-down: the 24-bit file with its rows reversed and a negative height.
d = open("nb-24.bmp", "rb").read()
off = struct.unpack_from("<I", d, 10)[0]
w, h = struct.unpack_from("<ii", d, 18)
stride = ((w * 24 + 31) // 32) * 4
rows = [d[off + i * stride: off + (i + 1) * stride] for i in range(h)]
hdr = bytearray(d[:off])
struct.pack_into("<i", hdr, 22, -h)
open("crafted-top-down-24.bmp", "wb").write(bytes(hdr) + b"".join(reversed(rows)))

# RLE4 from the 4-bit file: each row as runs of equal pixel pairs and literal groups,
# with a delta-free end of line, and end of bitmap.
d = open("nb-4.bmp", "rb").read()
off = struct.unpack_from("<I", d, 10)[0]
w, h = struct.unpack_from("<ii", d, 18)
stride = ((w * 4 + 31) // 32) * 4
enc = bytearray()
for i in range(h):
    row = d[off + i * stride: off + (i + 1) * stride]
    px = [(row[x // 2] >> 4) if x % 2 == 0 else (row[x // 2] & 15) for x in range(w)]
    # first three pixels as an encoded run of alternating pair (a, b), the rest literal
    enc += bytes([3, (px[0] << 4) | px[1]]) if px[0] == px[2] else b""
    start = 3 if px[0] == px[2] else 0
    rest = px[start:]
    if len(rest) >= 3:
        packed = bytes(((rest[k] << 4) | (rest[k + 1] if k + 1 < len(rest) else 0))
                       for k in range(0, len(rest), 2))
        if len(packed) % 2:
            packed += b"\0"
        enc += bytes([0, len(rest)]) + packed
    else:
        for p in rest:
            enc += bytes([1, p << 4])
    enc += b"\0\0"
enc += b"\0\1"
hdr = bytearray(d[14:54])
struct.pack_into("<I", hdr, 16, 2)
struct.pack_into("<I", hdr, 20, len(enc))
table = d[54:off]
newoff = 14 + 40 + len(table)
out = struct.pack("<2sIHHI", b"BM", newoff + len(enc), 0, 0, newoff) + bytes(hdr) + table + enc
open("crafted-rle4.bmp", "wb").write(out)
PY
rm -f tmp-6.bmp

cat > fixtures.txt <<'LIST'
nb-1.bmp src-2.ppm
nb-4.bmp src-16.ppm
nb-8.bmp src-16.ppm
nb-24.bmp src-rgb.ppm
nb-os2-1.bmp src-2.ppm
nb-os2-8.bmp src-16.ppm
nb-os2-24.bmp src-rgb.ppm
im-bmp3-24.bmp src-rgb.ppm
im-v5-24.bmp src-rgb.ppm
im-v5-32-bitfields.bmp src-rgb.ppm
im-rle8.bmp src-16.ppm
im-v5-16-565.bmp src-exact.ppm
im-v5-16-555.bmp src-exact.ppm
crafted-short-palette.bmp src-6.ppm
crafted-top-down-24.bmp src-rgb.ppm
crafted-rle4.bmp src-16.ppm
LIST
