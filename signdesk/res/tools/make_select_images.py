#!/usr/bin/env python3
"""Writes the selection tools' pictures into images/: the tool-options bar of the selection
tool (select-tools.bmp: duplicate, transformation tool, keep proportions; 16 x 15 each) and the
labels of its fields (select-label-*.bmp, 20 x 15: x, y, width, height, small and large nudge
step) and of the transformation tool's fields (transform-label-*.bmp: centre x, centre y,
rotation, skew), and the alignment tool's bar (align-tools.bmp: the ten alignments and the
page switch), and the weld tool's bar (weld-tools.bmp: weld, intersect, subtract, keep
sources, keep target); and the tools' cursors (select-cursor-<id>.cur). The pictures are
24-bit BMPs on button grey, drawn in black, so that a mapped bitmap takes the system's
colours."""
import math
import os
import struct
import sys

GREY, BLACK, WHITE, BLUE = (192, 192, 192), (0, 0, 0), (255, 255, 255), (0, 0, 128)
GLYPHS = {  # 5 x 7, rows top to bottom
    'X': ["10001", "10001", "01010", "00100", "01010", "10001", "10001"],
    'Y': ["10001", "10001", "01010", "00100", "00100", "00100", "00100"],
    'W': ["10001", "10001", "10001", "10101", "10101", "10101", "01010"],
    'H': ["10001", "10001", "10001", "11111", "10001", "10001", "10001"],
    'c': ["00000", "00000", "01110", "10000", "10000", "10000", "01110"],
}


class Picture:
    def __init__(self, w, h):
        self.w, self.h = w, h
        self.px = [[GREY] * w for _ in range(h)]

    def set(self, x, y, c=BLACK):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def hline(self, x0, x1, y, c=BLACK):
        for x in range(x0, x1 + 1):
            self.set(x, y, c)

    def vline(self, x, y0, y1, c=BLACK):
        for y in range(y0, y1 + 1):
            self.set(x, y, c)

    def box(self, x0, y0, x1, y1, c=BLACK, fill=None):
        if fill:
            for y in range(y0, y1 + 1):
                self.hline(x0, x1, y, fill)
        self.hline(x0, x1, y0, c)
        self.hline(x0, x1, y1, c)
        self.vline(x0, y0, y1, c)
        self.vline(x1, y0, y1, c)

    def glyph(self, ch, x0, y0):
        for r, row in enumerate(GLYPHS[ch]):
            for c, bit in enumerate(row):
                if bit == '1':
                    self.set(x0 + c, y0 + r)

    def bmp(self):
        stride = (self.w * 3 + 3) & ~3
        rows = b""
        for y in range(self.h - 1, -1, -1):
            row = b"".join(struct.pack("<BBB", b, g, r) for r, g, b in self.px[y])
            rows += row + b"\0" * (stride - len(row))
        header = struct.pack("<2sIHHI", b"BM", 54 + len(rows), 0, 0, 54)
        info = struct.pack("<IiiHHIIiiII", 40, self.w, self.h, 1, 24, 0, len(rows), 2835, 2835,
                           0, 0)
        return header + info + rows


def side_by_side(pictures):
    out = Picture(sum(p.w for p in pictures), pictures[0].h)
    x = 0
    for p in pictures:
        for y in range(p.h):
            out.px[y][x:x + p.w] = p.px[y]
        x += p.w
    return out


def duplicate():
    p = Picture(16, 15)
    p.box(1, 1, 9, 9, fill=WHITE)
    p.box(6, 5, 14, 13, fill=WHITE)
    return p


def transform():
    p = Picture(16, 15)
    # A square turned a little, with the arrow of a turn above it.
    for i in range(7):
        p.set(4 + i, 6 + i // 3)
        p.set(4 + i // 3, 6 + i)
        p.set(10 + i // 3 - 2, 8 + i - 2)
        p.set(4 + i, 12 + i // 3 - 2)
    p.hline(4, 11, 2)
    p.set(12, 3)
    p.set(13, 4)
    p.vline(13, 5, 6)
    p.set(12, 5)
    p.set(14, 5)
    return p


def keep_proportions():
    p = Picture(16, 15)
    p.box(1, 3, 14, 12)
    for i in range(9):
        p.set(3 + i + (i + 1) // 3, 10 - i * 2 // 3 - (i % 2 == 1 and 0))
    return p


def label(text, arrow=None):
    p = Picture(20, 15)
    x = 2
    for ch in text:
        p.glyph(ch, x, 4)
        x += 6
    if arrow is not None:  # a nudge step: an arrow of this length to the right
        y = 7
        p.hline(2, 2 + arrow, y)
        for i in range(1, 4):
            p.vline(2 + arrow - i, y - i, y + i)
        p.vline(2, y - 3, y + 3)
    return p


def rotation():
    p = Picture(20, 15)
    for x in range(4, 15):
        p.set(x, 12)
    for i in range(9):
        p.set(4 + i, 12 - i)
    p.vline(10, 8, 12, BLUE)
    p.set(11, 9, BLUE)
    return p


def skew():
    p = Picture(20, 15)
    p.hline(3, 11, 12)
    p.hline(8, 16, 3)
    for i in range(10):
        p.set(3 + i // 2, 12 - i)
        p.set(11 + i // 2, 12 - i)
    return p


def align(kind):
    """The alignment tool's buttons: 0 left, 1 top, 2 right, 3 bottom, 4 centres across,
    5 centres up, 6 equal gaps across, 7 equal gaps up, 8 equal centre steps across, 9 equal
    centre steps up; 10 against the page."""
    p = Picture(16, 15)
    if kind == 10:
        p.box(2, 1, 13, 13, fill=WHITE)
        p.hline(11, 13, 3)
        p.box(4, 5, 9, 10, fill=BLUE)
        return p
    if kind in (0, 2, 4):
        x = {0: 2, 2: 13, 4: 7}[kind]
        for y0, w in ((2, 9), (7, 6), (11, 11)):
            x0 = {0: x + 1, 2: x - w, 4: x - w // 2}[kind]
            p.box(x0, y0, x0 + w - 1, y0 + 2, fill=WHITE)
        p.vline(x, 0, 14, BLUE)
        return p
    if kind in (1, 3, 5):
        y = {1: 1, 3: 13, 5: 7}[kind]
        for x0, h in ((2, 9), (7, 6), (11, 11)):
            y0 = {1: y + 1, 3: y - h, 5: y - h // 2}[kind]
            p.box(x0, y0, x0 + 2, y0 + h - 1, fill=WHITE)
        p.hline(0, 15, y, BLUE)
        return p
    across = kind in (6, 8)
    for i, size in enumerate((3, 4, 3)):
        a = 1 + i * 5
        if across:
            p.box(a, 7 - size, a + 3, 7 + size, fill=WHITE)
        else:
            p.box(7 - size, a, 7 + size, a + 3, fill=WHITE)
    if kind in (8, 9):  # the centres marked
        for i in range(3):
            c = 2 + i * 5
            if across:
                p.vline(c + 1, 0, 14, BLUE)
            else:
                p.hline(0, 15, c + 1, BLUE)
    return p


def weld(kind):
    """The weld tool's buttons: 0 weld, 1 intersect, 2 subtract (two overlapping discs, the
    result filled), 3 keep the sources, 4 keep the target (the discs apart, one kept)."""
    p = Picture(16, 15)
    a, b, r = (5.5, 7.0), (10.5, 7.0), 4.6
    for y in range(15):
        for x in range(16):
            ina = (x - a[0]) ** 2 + (y - a[1]) ** 2 <= r * r
            inb = (x - b[0]) ** 2 + (y - b[1]) ** 2 <= r * r
            edge = any(abs(((x - c[0]) ** 2 + (y - c[1]) ** 2) ** 0.5 - r) < 0.6 for c in (a, b))
            filled = {0: ina or inb, 1: ina and inb, 2: inb and not ina}.get(kind, False)
            if kind >= 3:
                keep = ina if kind == 3 else inb
                filled = keep
            if filled:
                p.set(x, y, BLUE)
            if edge:
                p.set(x, y)
    return p


class Cursor:
    """A 32 x 32 black-and-white cursor: white shapes with a black outline on a clear ground."""

    def __init__(self, hotspot):
        self.hotspot = hotspot
        self.ink = set()

    def line(self, x0, y0, x1, y1):
        n = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(n + 1):
            self.ink.add((round(x0 + (x1 - x0) * i / n), round(y0 + (y1 - y0) * i / n)))

    def arrow(self, x0, y0, x1, y1, heads=2):
        """A shaft with arrowheads at its ends (heads: 1 at the end only, 2 at both)."""
        self.line(x0, y0, x1, y1)
        dx, dy = x1 - x0, y1 - y0
        length = max((dx * dx + dy * dy) ** 0.5, 1)
        ux, uy = dx / length, dy / length
        ends = [(x1, y1, ux, uy)] + ([(x0, y0, -ux, -uy)] if heads == 2 else [])
        for ex, ey, vx, vy in ends:
            for side in (1, -1):
                self.line(ex, ey, round(ex - 4 * vx + side * 3 * vy), round(ey - 4 * vy - side * 3 * vx))

    def cur(self):
        # The outline: every clear pixel next to ink turns white, the ink is black.
        white = set()
        for x, y in self.ink:
            for dx in (-1, 0, 1):
                for dy in (-1, 0, 1):
                    q = (x + dx, y + dy)
                    if q not in self.ink and 0 <= q[0] < 32 and 0 <= q[1] < 32:
                        white.add(q)
        xor_rows, and_rows = b"", b""
        for y in range(31, -1, -1):
            xor_bits, and_bits = 0, 0
            for x in range(32):
                bit = 1 << (31 - x)
                if (x, y) in white:
                    xor_bits |= bit
                elif (x, y) not in self.ink:
                    and_bits |= bit
            xor_rows += struct.pack(">I", xor_bits)
            and_rows += struct.pack(">I", and_bits)
        info = struct.pack("<IiiHHIIiiII", 40, 32, 64, 1, 1, 0, 256, 0, 0, 2, 0)
        palette = struct.pack("<BBBBBBBB", 0, 0, 0, 0, 255, 255, 255, 0)
        body = info + palette + xor_rows + and_rows
        header = struct.pack("<HHH", 0, 2, 1)
        entry = struct.pack("<BBBBHHII", 32, 32, 0, 0, self.hotspot[0], self.hotspot[1],
                            len(body), 22)
        return header + entry + body


def cursor(kind):
    """The selection tools' cursors, by resource id."""
    c = Cursor((15, 15))
    if kind == 30983:  # top-left and bottom-right handles
        c.arrow(8, 8, 22, 22)
    elif kind == 30984:  # top-right and bottom-left handles
        c.arrow(22, 8, 8, 22)
    elif kind == 30985:  # top and bottom handles
        c.arrow(15, 5, 15, 25)
    elif kind == 30986:  # left and right handles
        c.arrow(5, 15, 25, 15)
    elif kind == 30987:  # move
        c.arrow(15, 4, 15, 26)
        c.arrow(4, 15, 26, 15)
    elif kind == 2509:  # rubber band
        c.hotspot = (4, 4)
        c.line(4, 0, 4, 8)
        c.line(0, 4, 8, 4)
        for x0, y0, x1, y1 in ((10, 10, 24, 10), (24, 10, 24, 22), (24, 22, 10, 22), (10, 22, 10, 10)):
            for i in range(0, 15, 3):
                t = min(i / 14, 1)
                c.ink.add((round(x0 + (x1 - x0) * t), round(y0 + (y1 - y0) * t)))
    elif kind == 111:  # skew along x
        c.arrow(6, 12, 24, 12)
        c.line(6, 18, 24, 18)
    elif kind == 112:  # skew along y
        c.arrow(12, 6, 12, 24)
        c.line(18, 6, 18, 24)
    elif kind == 113:  # rotate: a quarter circle with an arrowhead
        points = [(15 + round(9 * math.cos(a / 10)),
                   15 - round(9 * math.sin(a / 10))) for a in range(0, 17)]
        for (x0, y0), (x1, y1) in zip(points, points[1:]):
            c.line(x0, y0, x1, y1)
        c.line(points[-1][0], points[-1][1], points[-1][0] - 3, points[-1][1] - 3)
        c.line(points[-1][0], points[-1][1], points[-1][0] + 3, points[-1][1] - 3)
    elif kind == 114:  # mirror top-bottom
        c.line(6, 15, 24, 15)
        c.arrow(15, 5, 15, 25)
    elif kind == 115:  # mirror left-right
        c.line(15, 6, 15, 24)
        c.arrow(5, 15, 25, 15)
    elif kind == 116:  # the centre: a small cross in a circle
        c.line(15, 9, 15, 21)
        c.line(9, 15, 21, 15)
        for a in range(0, 63):
            c.ink.add((15 + round(5 * math.cos(a / 10)), 15 + round(5 * math.sin(a / 10))))
    return c


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__),
                                                                "..", "images")
    files = {
        "select-tools.bmp": side_by_side([duplicate(), transform(), keep_proportions()]),
        "align-tools.bmp": side_by_side([align(k) for k in range(11)]),
        "weld-tools.bmp": side_by_side([weld(k) for k in range(5)]),
        "select-label-x.bmp": label("X"),
        "select-label-y.bmp": label("Y"),
        "select-label-w.bmp": label("W"),
        "select-label-h.bmp": label("H"),
        "select-label-nudge-small.bmp": label("", 6),
        "select-label-nudge-large.bmp": label("", 14),
        "transform-label-cx.bmp": label("cX"),
        "transform-label-cy.bmp": label("cY"),
        "transform-label-rotation.bmp": rotation(),
        "transform-label-skew.bmp": skew(),
    }
    for name, picture in files.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(picture.bmp())
    for kind in (30983, 30984, 30985, 30986, 30987, 2509, 111, 112, 113, 114, 115, 116):
        with open(os.path.join(folder, "select-cursor-%d.cur" % kind), "wb") as f:
            f.write(cursor(kind).cur())


if __name__ == "__main__":
    main()
