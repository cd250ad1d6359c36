#pragma once
// What a drawn object calls to paint its fill inside its outline, and the fill classes'
// run-time tests used by the object list and the export and printing decisions.

#include <pathkit/BBox.h>
#include <pathkit/TMatrix.h>
#include <win32/base.h>

class CDC;
class CFillObj;
class Path;

// Intersects the context's clip region with the closed sub-paths of path and lets the fill
// paint the area there. Nothing is painted (0) when the clip leaves nothing visible or
// cannot be made: a fill is never spread over the whole area. The caller saves and
// restores the context's state around the call.
BOOL PaintFillClipped(CDC* pDC, const floatTMatrix& m, Path& path, CFillObj* pFill, int mode,
                      const floatBBox& area);

// The grey level a transparency value paints into a mask: the low byte of 255 × value,
// truncated; a value beyond the range of int (or not a number) ends at its edge.
BYTE TransparencyLevel(float transparency);

BOOL IsFountainFill(const CFillObj* pFill);
BOOL IsTextureFill(const CFillObj* pFill);
