#!/usr/bin/env python3
"""Writes the cut page's registration-point icons, 32 x 32 at 24 bits with a mask
(registration-1.ico, -2.ico and -3.ico), and the same pictures as black cursors with their
hot spots (registration-1.cur, -2.cur, -3.cur), beside this script.

Each shows the corner of a registration mark in red with its arms running into the icon from
the hot spot (point 1 (5, 26), the lower left; point 2 (5, 5), the upper left; point 3
(26, 5), the upper right), a dot on the hot spot and the point's number in black. Everything
else is transparent.

    python3 make_registration_icons.py
"""
import os
import struct

SIZE = 32
HOT = {1: (5, 26), 2: (5, 5), 3: (26, 5)}
RED = (220, 0, 0)
BLACK = (0, 0, 0)
# 3 x 5 digits, one string a row.
DIGITS = {
    1: ["010", "110", "010", "010", "111"],
    2: ["111", "001", "111", "100", "111"],
    3: ["111", "001", "011", "001", "111"],
}


def picture(number):
    pixels = {}
    hx, hy = HOT[number]
    dx = 1 if hx < SIZE // 2 else -1
    dy = 1 if hy < SIZE // 2 else -1
    # The mark's two arms, two pixels thick, 20 pixels long.
    for i in range(20):
        for t in range(2):
            pixels[(hx + dx * i, hy + dy * t)] = RED
            pixels[(hx + dx * t, hy + dy * i)] = RED
    # The dot on the hot spot.
    for y in range(hy - 2, hy + 3):
        for x in range(hx - 2, hx + 3):
            pixels[(x, y)] = RED
    # The number, doubled, inside the corner.
    ox = hx + dx * 6 - (0 if dx > 0 else 5)
    oy = hy + dy * 6 - (0 if dy > 0 else 9)
    for row, bits in enumerate(DIGITS[number]):
        for col, bit in enumerate(bits):
            if bit == "1":
                for sy in range(2):
                    for sx in range(2):
                        pixels[(ox + col * 2 + sx, oy + row * 2 + sy)] = BLACK
    return {p: c for p, c in pixels.items() if 0 <= p[0] < SIZE and 0 <= p[1] < SIZE}


def icon(pixels):
    xor = bytearray()
    mask = bytearray()
    for y in reversed(range(SIZE)):  # rows bottom-up
        bits = 0
        for x in range(SIZE):
            c = pixels.get((x, y))
            if c is None:
                xor += bytes((0, 0, 0))
                bits |= 1 << (SIZE - 1 - x)
            else:
                xor += bytes((c[2], c[1], c[0]))
        mask += struct.pack(">I", bits)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 24, 0, len(xor) + len(mask),
                         0, 0, 0, 0)
    image = header + bytes(xor) + bytes(mask)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 24, len(image), 6 + 16)
    return directory + entry + image


def cursor(pixels, hot):
    xor = bytearray()
    mask = bytearray()
    for y in reversed(range(SIZE)):  # rows bottom-up
        shape = 0
        for x in range(SIZE):
            if (x, y) not in pixels:
                shape |= 1 << (SIZE - 1 - x)
        mask += struct.pack(">I", shape)
        xor += struct.pack(">I", 0)  # colour 0, black, where drawn
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 1, 0, len(xor) + len(mask),
                         0, 0, 0, 0)
    colours = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    image = header + colours + bytes(xor) + bytes(mask)
    directory = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, hot[0], hot[1], len(image), 6 + 16)
    return directory + entry + image


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    for number in HOT:
        with open(os.path.join(here, "registration-%d.ico" % number), "wb") as f:
            f.write(icon(picture(number)))
        with open(os.path.join(here, "registration-%d.cur" % number), "wb") as f:
            f.write(cursor(picture(number), HOT[number]))


if __name__ == "__main__":
    main()
