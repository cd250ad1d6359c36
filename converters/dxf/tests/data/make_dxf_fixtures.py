#!/usr/bin/python3
"""Writes the DXF fixtures of conv-dxf's tests with ezdxf (Debian: python3-ezdxf) and the
geometry they should convert to. Run from this folder; the outputs are committed, so the tests
need neither this script nor ezdxf.

expected.txt, one block per contour in the order the converter writes them, in millimetres as
the import reads them (drawing units times f/10, f = 10 for $LUNITS 2), y up:
  F <file>
  C <closed> <start x> <start y> <end x> <end y>
  L <x1> <y1> <x2> <y2>              a straight piece of the contour
  A <centre x> <centre y> <radius>   a circular piece of the contour
librecad.txt: <file under /usr/share/librecad> <contours> <xmin> <ymin> <xmax> <ymax> <lines only>
"""
import math
import os

import ezdxf
from ezdxf import bbox
from ezdxf.math import bulge_to_arc

MM = 1.0  # $LUNITS 2: one drawing unit is one millimetre

out = []


def contour(closed, start, end):
    out.append("C %d %.6f %.6f %.6f %.6f" % (closed, start[0], start[1], end[0], end[1]))


def line(a, b):
    out.append("L %.6f %.6f %.6f %.6f" % (a[0], a[1], b[0], b[1]))


def arc(c, r):
    out.append("A %.6f %.6f %.6f" % (c[0], c[1], abs(r)))


def polar(c, r, degrees):
    a = math.radians(degrees)
    return (c[0] + r * math.cos(a), c[1] + r * math.sin(a))


def polyline_expectation(points, closed):
    """points: (x, y, bulge); bulge of point i bends the piece from i to i + 1."""
    end = points[0] if closed else points[-1]
    contour(1 if closed else 0, points[0][:2], end[:2])
    n = len(points)
    pieces = n if closed else n - 1
    for i in range(pieces):
        a, b = points[i], points[(i + 1) % n]
        if a[2] == 0:
            line(a[:2], b[:2])
        else:
            centre, _, _, radius = bulge_to_arc(a[:2], b[:2], a[2])
            arc(centre, radius)


OPEN = [(0, 150, 0), (20, 150, 0.5), (40, 150, 0), (40, 170, -1), (60, 170, 0)]
SLOT = [(100, 150, 0), (140, 150, 1), (140, 170, 0), (100, 170, 1)]


def drawing(version, lightweight):
    doc = ezdxf.new(version)
    doc.header["$LUNITS"] = 2
    doc.layers.add("LINE")
    doc.layers.add("my layer")
    block = doc.blocks.new("B1")
    block.add_line((0, 0), (5, 5))
    msp = doc.modelspace()

    msp.add_line((0, 0), (30, 10), dxfattribs={"layer": "LINE"})
    contour(0, (0, 0), (30, 10))
    line((0, 0), (30, 10))

    # Across 0 degrees: written from the 10-degree point clockwise to the 350-degree point.
    msp.add_arc((50, 50), 10, 350, 10)
    contour(0, polar((50, 50), 10, 10), polar((50, 50), 10, 350))
    arc((50, 50), 10)

    # Equal angles: a full turn, clockwise, from that angle.
    msp.add_arc((80, 50), 5, 30, 30)
    contour(1, polar((80, 50), 5, 30), polar((80, 50), 5, 30))
    arc((80, 50), 5)

    msp.add_arc((110, 50), 8, 20, 120, dxfattribs={"layer": "my layer"})
    contour(0, polar((110, 50), 8, 20), polar((110, 50), 8, 120))
    arc((110, 50), 8)

    msp.add_circle((50, 100), 7)
    contour(1, polar((50, 100), 7, 225), polar((50, 100), 7, 225))
    arc((50, 100), 7)

    msp.add_blockref("B1", (200, 200))

    if lightweight:
        msp.add_lwpolyline(OPEN, format="xyb")
        slot = msp.add_lwpolyline(SLOT, format="xyb", close=True)
        slot.dxf.flags = 1 | 128
    else:
        msp.add_polyline2d([p[:2] for p in OPEN])
        poly = msp.query("POLYLINE")[-1]
        for v, p in zip(poly.vertices, OPEN):
            v.dxf.bulge = p[2]
        slot = msp.add_polyline2d([p[:2] for p in SLOT], close=True)
        for v, p in zip(slot.vertices, SLOT):
            v.dxf.bulge = p[2]
        slot.dxf.flags = 1 | 128  # closed, and the line-type pattern flag
    polyline_expectation(OPEN, False)
    polyline_expectation(SLOT, True)
    return doc


def single_line(name, lunits):
    doc = ezdxf.new("R12")
    if lunits is None:
        if "$LUNITS" in doc.header:
            del doc.header["$LUNITS"]
    else:
        doc.header["$LUNITS"] = lunits
    doc.modelspace().add_line((1, 2), (11, 7))
    doc.saveas(name)


def librecad(limit_lines=3, limit_curves=2):
    root = "/usr/share/librecad/library"
    if not os.path.isdir(root):
        return []
    rows = []
    files = sorted(
        os.path.join(d, f) for d, _, fs in os.walk(root) for f in fs if f.endswith(".dxf"))
    lines_only = curves = 0
    for path in files:
        try:
            doc = ezdxf.readfile(path)
        except Exception:
            continue
        f = {1: 1.0, 2: 10.0, 3: 25.4}.get(doc.header.get("$LUNITS"), 254.0)
        if any(len(layout) for layout in doc.layouts if not layout.is_modelspace):
            continue
        kinds = [e.dxftype() for e in doc.modelspace()]
        read = [e for e in doc.modelspace()
                if e.dxftype() in ("LINE", "ARC", "CIRCLE", "POLYLINE", "LWPOLYLINE")]
        if not read:
            continue
        only_lines = all(k == "LINE" for k in kinds)
        if only_lines and lines_only >= limit_lines:
            continue
        if not only_lines:
            if curves >= limit_curves or any(k not in ("LINE", "ARC", "CIRCLE") for k in kinds):
                continue
            if any(e.dxftype() == "ARC" and e.dxf.start_angle == e.dxf.end_angle for e in read):
                continue
        box = bbox.extents(read)
        s = f / 10
        rows.append("%s %d %.6f %.6f %.6f %.6f %d" % (
            os.path.relpath(path, "/usr/share/librecad"), len(read), box.extmin.x * s,
            box.extmin.y * s, box.extmax.x * s, box.extmax.y * s, 1 if only_lines else 0))
        if only_lines:
            lines_only += 1
        else:
            curves += 1
        if lines_only >= limit_lines and curves >= limit_curves:
            break
    return rows


for version, name, lightweight in (("R12", "entities_r12.dxf", False),
                                   ("R2000", "entities_r2000.dxf", True)):
    out.append("F " + name)
    drawing(version, lightweight).saveas(name)
with open("expected.txt", "w") as f:
    f.write("\n".join(out) + "\n")

single_line("lunits_1.dxf", 1)
single_line("lunits_3.dxf", 3)
single_line("lunits_absent.dxf", None)

doc = ezdxf.new("R12")
doc.blocks.new("ONLY").add_line((0, 0), (1, 1))
doc.saveas("blocks_only.dxf")

with open("librecad.txt", "w") as f:
    f.write("\n".join(librecad()) + "\n")
