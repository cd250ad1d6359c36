#include "PathClipper.h"

#include <cmath>
#include <cstdint>

#include <pathkit/FragmentArray.h>
#include <pathkit/Path.h>
#include <pathkit/PathBreak.h>
#include <pathkit/PathCombination.h>
#include <pathkit/PathQueries.h>

namespace {

float Round(float v) {
    return std::floor(v + 0.5f);
}

// Every point to whole steps; a line keeps its control points on its ends.
void RoundToSteps(Path& path) {
    for (SubPath& sp : path.subPaths) {
        for (PathMember& pm : sp.members) {
            pm.start.Fill(Round(pm.start.x), Round(pm.start.y));
            pm.end.Fill(Round(pm.end.x), Round(pm.end.y));
            if (pm.IsCurve()) {
                pm.ctrl1.Fill(Round(pm.ctrl1.x), Round(pm.ctrl1.y));
                pm.ctrl2.Fill(Round(pm.ctrl2.x), Round(pm.ctrl2.y));
            } else {
                pm.ctrl1 = pm.start;
                pm.ctrl2 = pm.end;
            }
        }
    }
}

void Revalidate(Path& path) {
    path.Invalidate(SP_ALL_INVALID);
    path.Validate(SP_ALL_INVALID);
}

// Open sub-paths (and empty ones) of d move to open.
void MoveOpenSubPaths(Path& d, Path& open) {
    for (std::uint16_t i = 0; i < d.subPaths.Filled();) {
        SubPath& sp = d.subPaths[i];
        if (sp.IsClosed()) {
            ++i;
            continue;
        }
        open.AddSubPath(sp);
        d.subPaths.DeleteAt(i, 1);
    }
}

// Members with an end on the line x = value (vertical) or y = value are marked inserted, so
// that runs break there; members lying along the line are not cut.
void KeepEdge(Path& path, bool vertical, float value) {
    for (SubPath& sp : path.subPaths) {
        for (PathMember& pm : sp.members) {
            bool startOn = (vertical ? pm.start.x : pm.start.y) == value;
            bool endOn = (vertical ? pm.end.x : pm.end.y) == value;
            if (startOn || endOn) pm.flags |= PM_INSERTED;
            if (startOn && endOn) pm.UnselectPM();
        }
    }
}

void KeepEdges(Path& path, const floatBBox& box, const ClipEdges& edges) {
    if (edges.keepLeft) KeepEdge(path, true, box.left);
    if (edges.keepRight) KeepEdge(path, true, box.right);
    if (edges.keepBottom) KeepEdge(path, false, box.bottom);
    if (edges.keepTop) KeepEdge(path, false, box.top);
}

// The pieces of the open outlines inside the box, or lying on its edges.
void ClipOpenSubPaths(Path& open, const floatBBox& clip, Path& result) {
    Path box(0.5f);
    BuildClipPath(clip, box);
    box.SetAccuracy(0.5f);
    open.SetAccuracy(0.5f);
    open.Validate(SP_ALL_INVALID);
    box.Validate(SP_ALL_INVALID);
    BreakAtTouchPoints(box, open, 0, 0);
    BreakAtIntersections(box, open, 0);
    RoundToSteps(open);
    RoundToSteps(box);
    Revalidate(open);
    Revalidate(box);
    MarkEqualPM(open, box, 0);
    MarkContainment(open, box);
    open.SelectPM(PM_CONTAINED, PM_CONTAINED);
    open.SelectPM(0x1, 0x1);
    open.SelectPM(0x2, 0x2);

    FragmentArray fragments;
    fragments.FillWithSelected(open);
    Path built(0.5f);
    fragments.BuildPath(built);
    built.ClosePath();
    result.Concat(built);
}

} // namespace

void BuildClipPath(const floatBBox& clip, Path& out) {
    out.Append(PC_MOVETO, clip.left, clip.bottom);
    out.Append(clip.left, clip.top);
    out.Append(clip.right, clip.top);
    out.Append(clip.right, clip.bottom);
    out.Append(clip.left, clip.bottom);
    out.ClosePath();
}

void ClipPathToBox(Path& d, const floatBBox& clip, const ClipEdges& edges, Path& result) {
    Path box(0.5f);
    BuildClipPath(clip, box);
    box.SetAccuracy(0.5f);
    if (!d.subPaths.Filled() || !box.subPaths.Filled()) return;

    Path open(0.5f);
    MoveOpenSubPaths(d, open);

    if (d.subPaths.Filled()) {
        d.Prepare();
        box.Prepare();
        BreakAtTouchPoints(box, d, 0, 1);
        BreakAtIntersections(box, d, 1);
        RoundToSteps(d);
        RoundToSteps(box);
        Revalidate(d);
        Revalidate(box);
        MarkEqualPM(d, box, 0);
        MarkContainment(d, box);
        MarkContainment(box, d);
        // The intersection: each path's members inside the other and not on it, and the
        // shared boundary once.
        d.SelectPM(PM_OVERLAYED | PM_CONTAINED, PM_CONTAINED);
        box.SelectPM(PM_OVERLAYED | PM_CONTAINED, PM_CONTAINED);
        d.SelectPM(0x1, 0x1);
        floatBBox steps(Round(clip.left), Round(clip.bottom), Round(clip.right), Round(clip.top));
        KeepEdges(d, steps, edges);
        KeepEdges(box, steps, edges);
        BuildPath(d, box, result);
    }

    if (open.subPaths.Filled()) ClipOpenSubPaths(open, clip, result);
}
