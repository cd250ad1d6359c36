#include "pathkit/PMSlicer.h"

#include <cmath>

namespace {

// The step limit is not pursued below pieces of width 2^-16: on its own it never asks for more
// than 65536 points, whatever the size of the curve.
constexpr int MaxStepDepth = 15;

float LongerAxis(const floatPoint& a, const floatPoint& b) {
    float dx = std::fabs(b.x - a.x), dy = std::fabs(b.y - a.y);
    return dx > dy ? dx : dy;
}

} // namespace

PMSlicer::PMSlicer(float tol, float step) : floatBez3Base(tol) {
    maxStep = step > 0 ? step : DefaultStepFactor * tolerance;
}

PMSlicer::~PMSlicer() = default;

int PMSlicer::CheckOutput(floatPoint& p0, floatPoint& mid, floatPoint& p3) {
    if (!floatBez3Base::CheckOutput(p0, mid, p3)) return 0;
    if (depth >= MaxStepDepth) return 1;
    // NaN lengths count as short.
    return !(LongerAxis(p0, mid) >= maxStep) && !(LongerAxis(mid, p3) >= maxStep);
}

void PMSlicer::Output(floatPoint&, floatPoint&, floatPoint&, floatPoint& p3) {
    PointOutput(p3);
}

void PMSlicer::PointOutput(floatPoint&) {}

void PMSlicer::CalcCornersFrom(const PathMember& member) {
    // Copies: the fields of the packed record are not aligned.
    floatPoint start = member.start, end = member.end;
    floatPoint p = start;
    PointOutput(p);
    if (member.IsCurve()) {
        floatPoint c1 = member.ctrl1, c2 = member.ctrl2;
        CalcCurve(start, c1, c2, end, 0);
    } else {
        double dx = double(end.x) - start.x, dy = double(end.y) - start.y;
        double steps = std::sqrt(dx * dx + dy * dy) / maxStep;
        unsigned n = 1;
        if (steps >= MaxSteps)
            n = MaxSteps;
        else if (steps >= 2)
            n = unsigned(steps);
        // NaN or below 2 leaves one step.
        floatPoint step = (end - start) / double(n);
        p = start;
        for (unsigned k = 1; k <= n; ++k) {
            p += step;
            floatPoint out = p;
            PointOutput(out);
        }
    }
    p = end;
    PointOutput(p);
}
