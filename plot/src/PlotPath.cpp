#include "plot/PlotPath.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include <pathkit/BBoxCalculator.h>
#include <pathkit/Path.h>
#include <pathkit/PathMeasure.h>
#include <pathkit/TMatrix.h>

#include "CutOrderOptimizer.h"
#include "PathClipper.h"
#include "plot/Plotter.h"

namespace {

// Accuracy of clipping and of measuring the overcut, in steps.
constexpr float kStepAccuracy = 0.5f;

// floor(v + 0.5) as a device coordinate; false for a value that is no number. Values beyond
// the 32-bit range saturate.
bool ToStep(float v, LONG& out) {
    if (!std::isfinite(v)) return false;
    double r = std::floor(double(v) + 0.5);
    out = LONG(std::clamp(r, double(INT32_MIN), double(INT32_MAX)));
    return true;
}

struct StepPoints {
    LONG sx, sy, c1x, c1y, c2x, c2y, ex, ey;
};

bool ToSteps(const PathMember& pm, StepPoints& s) {
    bool ok = ToStep(pm.start.x, s.sx) && ToStep(pm.start.y, s.sy) && ToStep(pm.end.x, s.ex) &&
              ToStep(pm.end.y, s.ey);
    if (ok && pm.IsCurve())
        ok = ToStep(pm.ctrl1.x, s.c1x) && ToStep(pm.ctrl1.y, s.c1y) && ToStep(pm.ctrl2.x, s.c2x) &&
             ToStep(pm.ctrl2.y, s.c2y);
    return ok;
}

// The member from the knife's position: a curve with its start, a line to its end.
bool Draw(Plotter& plotter, const PathMember& pm) {
    StepPoints s;
    if (!ToSteps(pm, s)) return false;
    if (pm.IsCurve())
        plotter.CurveTo(s.sx, s.sy, s.c1x, s.c1y, s.c2x, s.c2y, s.ex, s.ey);
    else
        plotter.LineTo(s.ex, s.ey);
    return true;
}

// The box spanned by the four mapped corners.
floatBBox MapBox(const floatBBox& box, const floatTMatrix& m) {
    float xs[4] = {box.left, box.left, box.right, box.right};
    float ys[4] = {box.bottom, box.top, box.bottom, box.top};
    for (int i = 0; i < 4; ++i)
        m.Transform(xs[i], ys[i]);
    floatBBox out;
    out.left = *std::min_element(xs, xs + 4);
    out.right = *std::max_element(xs, xs + 4);
    out.bottom = *std::min_element(ys, ys + 4);
    out.top = *std::max_element(ys, ys + 4);
    return out;
}

bool IsFinite(const floatBBox& b) {
    return std::isfinite(b.left) && std::isfinite(b.right) && std::isfinite(b.bottom) &&
           std::isfinite(b.top);
}

// Touching counts as meeting.
bool Meets(const floatBBox& a, const floatBBox& b) {
    return !(a.right < b.left || a.left > b.right || a.top < b.bottom || a.bottom > b.top);
}

bool Within(const floatBBox& inner, const floatBBox& outer) {
    return inner.left >= outer.left && inner.right <= outer.right && inner.bottom >= outer.bottom &&
           inner.top <= outer.top;
}

// Retraces the start of a closed outline for OverCutting millimetres.
void Overcut(Plotter& plotter, SubPath& sp, const floatTMatrix& m) {
    float h = OverCutting / plotter.GetStepSize();
    if (!(h > 0)) return;
    for (PathMember member : sp.members) {
        member.Transform(m);
        float length = GetPMLength(member, kStepAccuracy);
        if (length > h) {
            PathMember piece;
            member.Cut(0, GetTParamAt(member, h, kStepAccuracy), piece, nullptr, nullptr);
            Draw(plotter, piece);
            return;
        }
        if (!Draw(plotter, member)) return;
        h -= length;
        if (plotter.IsAborted()) return;
    }
}

void EmitSubPath(Plotter& plotter, SubPath& sp, const floatTMatrix& m) {
    if (plotter.IsAborted()) return;
    std::uint16_t n = sp.members.Filled();
    for (std::uint16_t i = 0; i < n; ++i) {
        PathMember member = sp.members[i];
        member.Transform(m);
        StepPoints s;
        // A point that is no number ends the outline; nothing sensible can be sent for it.
        if (!ToSteps(member, s)) return;
        if (i == 0) plotter.MoveTo(s.sx, s.sy);
        Draw(plotter, member);
        if (plotter.IsAborted()) return;
    }
    if (n && sp.IsClosed()) Overcut(plotter, sp, m);
}

void EmitPath(Plotter& plotter, Path& p, const floatTMatrix& m) {
    if (!p.subPaths.Filled()) return;
    if (Optimization) {
        CutOrderOptimizer optimizer;
        optimizer.Load(p);
        optimizer.SetMatrix(m);
        optimizer.Optimise();
        optimizer.Store(p);
    } else if (plotter.IsAborted()) {
        return;
    }
    for (SubPath& sp : p.subPaths) {
        EmitSubPath(plotter, sp, m);
        if (plotter.IsAborted()) return;
    }
}

} // namespace

void PlotPath(Plotter& plotter, Path& path, floatTMatrix& toDevice, floatBBox& clip, int keepLeft,
              int keepRight, int keepBottom, int keepTop, floatBBoxCalculator* extent) {
    if (plotter.IsAborted()) return;
    // Nothing lies inside a box without area, or one that is no box at all.
    if (!IsFinite(clip) || !(clip.left < clip.right && clip.bottom < clip.top)) return;
    path.Validate(SP_ACCBOX_INVALID | SP_CTRLBOX_INVALID);
    if (!path.subPaths.Filled()) return;

    floatBBox ctrl = MapBox(path.ctrlBox, toDevice);
    if (!Meets(ctrl, clip)) return;

    floatBBox acc = MapBox(path.accBox, toDevice);
    acc.left = std::floor(acc.left + 0.5f);
    acc.right = std::floor(acc.right + 0.5f);
    acc.bottom = std::floor(acc.bottom + 0.5f);
    acc.top = std::floor(acc.top + 0.5f);
    if (extent && IsFinite(acc)) *extent += acc;

    floatBBox inner = clip;
    inner.Inflate(-1);
    if (Within(acc, inner)) {
        if (Optimization) {
            // The optimiser reorders and restarts outlines: the caller's path stays as it is.
            Path work(path);
            EmitPath(plotter, work, toDevice);
        } else {
            EmitPath(plotter, path, toDevice);
        }
        return;
    }

    Path copy(kStepAccuracy);
    for (SubPath& sp : path.subPaths) {
        floatBBox box = MapBox(sp.ctrlBox, toDevice);
        if (IsFinite(box) && Meets(box, clip)) {
            SubPath piece(sp);
            piece.UnSelectPM(0, 0);
            copy.AddSubPath(piece);
        }
        if (plotter.IsAborted()) return;
    }
    if (!copy.subPaths.Filled()) return;
    copy.Transform(toDevice);
    copy.SetAccuracy(kStepAccuracy);

    Path result(kStepAccuracy);
    result.SetAccuracy(kStepAccuracy);
    ClipPathToBox(copy, clip, ClipEdges{keepLeft, keepRight, keepBottom, keepTop}, result);
    floatTMatrix identity;
    EmitPath(plotter, result, identity);
}
