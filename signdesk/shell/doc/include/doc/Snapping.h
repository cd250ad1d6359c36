#pragma once
// The document's own snaps, tried before the grid: path end points, path outlines, guide
// lines. exclude names an object not snapped to (the one being dragged); ExcludeSelection
// (1), or an object that is itself selected, leaves out the whole selection.

#include <pathkit/Point.h>
#include <win32/base.h>
#include <win32/dialog.h>

#include "doc/GuideLine.h"

class CSign;
class CSignObj;

constexpr INT_PTR ExcludeSelection = 1;

// The nearest path member start or end point closer than 2 x tolerance; ties go to the
// first met (higher layer, later object, start before end).
BOOL SnapToNearestNode(CSign& sheet, floatPoint& p, float tolerance, INT_PTR exclude);
// The outline point of the first path object (same walk) that p lies beside.
BOOL SnapToObjectOutline(CSign& sheet, floatPoint& p, float tolerance, INT_PTR exclude);
// Projects p onto every guide within tolerance, in order, each from where the last left it.
BOOL SnapToGuides(const GuideLineDynArr& guides, floatPoint& p, float tolerance);
// The first guide within tolerance of p, -1 when none.
int FindGuideLine(const GuideLineDynArr& guides, const floatPoint& p, float tolerance);
