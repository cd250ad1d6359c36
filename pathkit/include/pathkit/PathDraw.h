#pragma once
// Drawing paths on a device context: fills and strokes for views, previews and printing, the
// node editor's display of members with node, control-point and gap marks, clip regions, GDI
// paths, and the device rectangle of a box. Design coordinates pass through the matrix and
// are rounded to integers as floor(v + 0.5); curves are flattened with the integer flattener
// at one device unit.

#include "pathkit/BBox.h"
#include "pathkit/Path.h"
#include "pathkit/PathMember.h"
#include "pathkit/SubPath.h"
#include "pathkit/TMatrix.h"
#include "pathkit/export.h"

class CDC;
class CRgn;
class CRect;

// Node display flags of Draw and the sub-path Paint (low and second byte of one word).
constexpr unsigned PD_CURVE = 0x2;           // draw curve members themselves
constexpr unsigned PD_NODES = 0x4;           // node marks at starts and ends, gap marks
constexpr unsigned PD_HANDLES = 0x8;         // control handles of curves
constexpr unsigned PD_ONLY_SELECTED = 0x20;  // only members with PM_SELECTED
constexpr unsigned PD_ONLY_UNSELECTED = 0x40;
// Marks and handles only at the member's selected points: PM_START_SEL, PM_CTRL1_SEL,
// PM_CTRL2_SEL and PM_END_SEL of its flags (pathkit/NodeEdit.h).
constexpr unsigned PD_SELECTION_AWARE = 0x80;
constexpr unsigned PD_NO_VISIBILITY = 0x100; // no per-member visibility test
constexpr unsigned PD_ALL_VISIBLE = 0x200;   // set when the sub-path lies inside the clip box
constexpr unsigned PD_ONLY_CURVES = 0x400;   // only curve members
constexpr unsigned PD_ONLY_LINES = 0x800;    // only line members
// Flags of the path Paint.
constexpr unsigned PP_FILL = 0x1;
constexpr unsigned PP_STROKE = 0x2;
constexpr unsigned PP_BOX_ONLY = 0x10;
constexpr unsigned PP_NO_CLIP_TEST = 0x100;
// With PP_STROKE, any of these draws member by member with the node display.
constexpr unsigned PP_NODE_DISPLAY = 0xCEC;

// Receives the outline of what was filled or stroked, pixel by pixel.
class PATHKIT_API ContourProcessor {
public:
    virtual ~ContourProcessor();
    // One device point; the base does nothing.
    virtual void Output(CDC* dc, int x, int y);
    // Walks the digital line from (x1, y1) towards (x2, y2) with Bresenham steps (error term
    // starting at half the longer extent) and calls the point Output for every point but the
    // last.
    virtual void Output(CDC* dc, int x1, int y1, int x2, int y2);
};

// Fill (0x1) and/or stroke (0x2) of the path. 0 for an empty path or one outside the clip
// box; 0 also when a band of a fill had to be given up because GDI kept failing down to a
// single row; else 1 (or the Rectangle result with 0x10 | 0x1).
PATHKIT_API int Paint(CDC* dc, const floatTMatrix& m, Path& path, ContourProcessor* processor,
                      unsigned flags);
PATHKIT_API int Paint(CDC* dc, const floatTMatrix& m, Path& path, unsigned flags);
// Member-by-member display of one sub-path.
PATHKIT_API void Paint(CDC* dc, const floatTMatrix& m, SubPath& subPath, unsigned flags);
// One member.
PATHKIT_API void Draw(CDC* dc, const floatTMatrix& m, PathMember& member, unsigned flags);
// The region of the closed sub-paths (ALTERNATE), attached to rgn: 1, or 0 when there are
// none or the region cannot be made. Paths of more points than one GDI call takes are built
// in bands that are OR-combined.
PATHKIT_API int PathRegion(CRgn* rgn, const floatTMatrix& m, Path& path);
// Intersects the clip region with the path: 0 when nothing stays visible or the region
// cannot be made (callers skip drawing), else 1. An empty path changes nothing (1).
PATHKIT_API int Clip(CDC* dc, floatTMatrix m, Path& path);
// A GDI path of all, the closed or the open sub-paths: 1, or 0 when none qualifies.
PATHKIT_API int MakePath(CDC* dc, const floatTMatrix& m, Path& path, int closedOnly, int openOnly);
// The device rectangle of the box's four transformed corners.
PATHKIT_API void Transform(const floatTMatrix& m, floatBBox& box, CRect& rect);
