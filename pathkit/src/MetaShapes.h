#pragma once
// Outlines shared by the metafile readers, in the records' own coordinates (y down).

#include "pathkit/Path.h"

namespace metashapes {

// The ellipse inscribed in the box: four cubics through the 45-degree points, spanning the
// box exactly.
void Ellipse(Path& path, float left, float top, float right, float bottom);
// The elliptic arc of the box between the angles of the start and end points seen from the
// centre. False (nothing added) for a box of zero width.
bool ArcOfBox(Path& path, float left, float top, float right, float bottom, float xs, float ys,
              float xe, float ye);
// Sides joined by quarter arcs of radius cw and y scale ch / cw; with cw or ch 0 the plain
// rectangle.
void RoundRect(Path& path, float left, float top, float right, float bottom, float cw, float ch);
// The plain rectangle, closed.
void Rect(Path& path, float left, float top, float right, float bottom);
// A line back to the figure's first point when the figure does not end there.
void CloseFigure(Path& path);

} // namespace metashapes
