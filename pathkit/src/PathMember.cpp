#include "pathkit/PathMember.h"

#include "SegmentGeometry.h"

#include <cmath>

#include "pathkit/BBox.h"
#include "pathkit/Bez3.h"
#include "pathkit/NumericToolkit.h"
#include "pathkit/TMatrix.h"

namespace {

// Extends lo..hi by the values of one coordinate of the cubic at the roots of its derivative
// that lie inside the span.
void AddExtrema(double p0, double p1, double p2, double p3, float& lo, float& hi) {
    // Derivative / 3: (p3 - 3p2 + 3p1 - p0) t^2 + 2 (p0 - 2p1 + p2) t + (p1 - p0).
    double c[3] = {p1 - p0, 2 * (p0 - 2 * p1 + p2), p3 - 3 * p2 + 3 * p1 - p0};
    int n = SolveQuadratic(c);
    for (int i = 0; i < n; ++i) {
        double t = c[i];
        if (!(t > 0 && t < 1)) continue;
        float v = float(bez3(p0, p1, p2, p3, t));
        if (v < lo) lo = v;
        if (v > hi) hi = v;
    }
}

floatPoint Transformed(const floatTMatrix& m, floatPoint p) {
    m.Transform(p.x, p.y);
    return p;
}

} // namespace

bool PathMember::IsHorizontal() const {
    return std::fabs(double(end.y) - start.y) < 0.00001;
}

bool PathMember::IsVertical() const {
    return std::fabs(double(end.x) - start.x) < 0.00001;
}

void PathMember::CtrlBBox(floatBBox& box) const {
    box.Fill(start.x, start.y, end.x, end.y);
    if (IsCurve()) {
        box += ctrl1;
        box += ctrl2;
    }
}

void PathMember::AccBBox(floatBBox& box) const {
    box.Fill(start.x, start.y, end.x, end.y);
    if (!IsCurve()) return;
    AddExtrema(start.x, ctrl1.x, ctrl2.x, end.x, box.left, box.right);
    AddExtrema(start.y, ctrl1.y, ctrl2.y, end.y, box.bottom, box.top);
}

void PathMember::GetPointAt(std::uint32_t param, floatPoint& p) const {
    double t = double(param) / double(PM_PARAM_ONE);
    if (IsCurve()) {
        p.Fill(float(bez3(start.x, ctrl1.x, ctrl2.x, end.x, t)),
               float(bez3(start.y, ctrl1.y, ctrl2.y, end.y, t)));
    } else {
        p.Fill(float(start.x + (double(end.x) - start.x) * t),
               float(start.y + (double(end.y) - start.y) * t));
    }
}

void PathMember::Transform(const floatTMatrix& m) {
    start = Transformed(m, start);
    end = Transformed(m, end);
    if (IsCurve()) {
        ctrl1 = Transformed(m, ctrl1);
        ctrl2 = Transformed(m, ctrl2);
    }
}

void PathMember::Reverse() {
    floatPoint t = start;
    start = end;
    end = t;
    if (IsCurve()) {
        t = ctrl1;
        ctrl1 = ctrl2;
        ctrl2 = t;
    }
}

bool PathMember::IsLine(float tol) const {
    if (!IsCurve()) return true;
    double tol2 = double(tol) * tol;
    return SegmentDist2(start, end, ctrl1) < tol2 && SegmentDist2(start, end, ctrl2) < tol2;
}
