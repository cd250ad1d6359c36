#!/usr/bin/env python3
"""Writes the program's start-up picture (data/signdesk.bmp): an 8-bit BMP of a blue panel
with a star and the program's name in block letters."""
import math
import struct
import sys

W, H = 360, 160
FONT = {  # 5 x 7 block letters, rows top to bottom
    's': ["01111", "10000", "10000", "01110", "00001", "00001", "11110"],
    'i': ["00100", "00000", "01100", "00100", "00100", "00100", "01110"],
    'g': ["01111", "10001", "10001", "01111", "00001", "10001", "01110"],
    'n': ["10110", "11001", "10001", "10001", "10001", "10001", "10001"],
    'd': ["00001", "00001", "01101", "10011", "10001", "10011", "01101"],
    'e': ["01110", "10001", "10001", "11111", "10000", "10001", "01110"],
    'k': ["10000", "10000", "10010", "10100", "11000", "10100", "10010"],
}
WHITE, YELLOW = 250, 251


def palette():
    entries = []
    for i in range(256):
        if i < 128:  # the panel's gradient, dark to light blue
            t = i / 127
            entries.append((int(140 + 100 * t), int(50 + 70 * t), int(20 + 30 * t)))  # B, G, R
        elif i == WHITE:
            entries.append((255, 255, 255))
        elif i == YELLOW:
            entries.append((40, 200, 250))
        else:
            entries.append((0, 0, 0))
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for b, g, r in entries)


def inside_star(x, y, cx, cy, outer, inner):
    angle = math.atan2(y - cy, x - cx)
    d = math.hypot(x - cx, y - cy)
    sector = (angle + math.pi / 2) % (2 * math.pi / 5)
    t = abs(sector - math.pi / 5) / (math.pi / 5)
    return d <= inner + (outer - inner) * t ** 2


def picture():
    rows = [[int(127 * y / (H - 1)) for _ in range(W)] for y in range(H)]  # top row first
    for y in range(H):
        for x in range(W):
            if inside_star(x, y, 62, 80, 46, 20):
                rows[y][x] = YELLOW
    scale, x0, y0 = 5, 120, 58
    for n, ch in enumerate("signdesk"):
        for r, line in enumerate(FONT[ch]):
            for c, bit in enumerate(line):
                if bit == "1":
                    for dy in range(scale):
                        for dx in range(scale):
                            rows[y0 + r * scale + dy][x0 + n * 28 + c * scale + dx] = WHITE
    return rows


def main(path):
    pal = palette()
    stride = (W + 3) & ~3
    bits = b"".join(bytes(row) + b"\0" * (stride - W) for row in reversed(picture()))
    offset = 14 + 40 + len(pal)
    header = struct.pack("<2sIHHI", b"BM", offset + len(bits), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, W, H, 1, 8, 0, len(bits), 2835, 2835, 256, 0)
    with open(path, "wb") as f:
        f.write(header + info + pal + bits)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "signdesk.bmp")
