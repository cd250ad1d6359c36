// Hit test, cutting and turning angles of single members.

#include "SegmentGeometry.h"

#include <cmath>
#include <cstdint>

#include "pathkit/BBox.h"
#include "pathkit/Bez3Engines.h"
#include "pathkit/BezierSplit.h"
#include "pathkit/NumericToolkit.h"
#include "pathkit/PathMember.h"
#include "pathkit/PathQueries.h"

namespace {

constexpr double Sqrt2 = 1.4142135623730951;

// A parameter t in [0, 1] as a member parameter.
std::uint32_t ToParam(double t) {
    if (!(t > 0)) return 0;
    if (t >= 1) return PM_PARAM_ONE;
    return std::uint32_t(std::floor(t * double(PM_PARAM_ONE) + 0.5));
}

struct Point2 {
    double x, y;
};

floatPoint ToFloat(const Point2& p) {
    return floatPoint(float(p.x), float(p.y));
}

// Flattens a curve near p and stops at the first flat piece whose chord passes within tol.
class BesideSearch : public floatBez3Base {
public:
    BesideSearch(const floatPoint& p, float tol, float flatness)
        : floatBez3Base(flatness), p(p), tol(tol), half(float(tol * Sqrt2)), found(false),
          param(0) {}

    int CheckEntry(floatPoint& p0, floatPoint& c1, floatPoint& c2, floatPoint& p3) override {
        if (found) return 0;
        floatBBox box(p0.x, p0.y, p3.x, p3.y);
        box += c1;
        box += c2;
        return box.IsInside(p, half);
    }

    // The distance to the chord includes its ends: beside a convex joint of two chords a point
    // projects beyond both of them.
    void Output(floatPoint& p0, floatPoint&, floatPoint&, floatPoint& p3) override {
        if (found) return;
        double t = 0;
        if (!(SegmentDist2(p0, p3, p, &t) < double(tol) * tol)) return;
        found = true;
        param = tStart + std::uint32_t(std::floor(t * double(tEnd - tStart) + 0.5));
    }

    floatPoint p;
    float tol;
    float half;
    bool found;
    std::uint32_t param;
};

} // namespace

int IsBeside(const floatPoint& a, const floatPoint& b, const floatPoint& p, float tol, double& t) {
    t = SegmentProjection(a, b, p);
    if (!(tol >= 0) || !(Dist2(a, b, p) < double(tol) * tol)) return 0;
    return t >= 0 && t <= 1;
}

// The search subdivides with the accuracy as flatness. A chord may then miss a point on the
// curve by up to the accuracy, so when nothing is found a second pass subdivides down to a
// quarter of the finer of tol and the accuracy.
int PathMember::IsBeside(const floatPoint& p, float tol, float accuracy, std::uint32_t& param,
                         int ends) {
    if (!(tol >= 0)) return 0;
    floatBBox box;
    CtrlBBox(box);
    if (!box.IsInside(p, tol)) return 0;

    if (ends || tol == 0) {
        if (std::fabs(p.x - start.x) <= tol && std::fabs(p.y - start.y) <= tol) {
            param = 0;
            return 1;
        }
        if (std::fabs(p.x - end.x) <= tol && std::fabs(p.y - end.y) <= tol) {
            param = PM_PARAM_ONE;
            return 1;
        }
        if (tol == 0) return 0;
    }

    if (!IsCurve()) {
        double t;
        if (!::IsBeside(start, end, p, tol, t)) return 0;
        param = ToParam(t);
        return 1;
    }

    float flatness =
        accuracy > 0 && std::isfinite(accuracy) ? accuracy : floatBez3Base::DefaultTolerance;
    BesideSearch first(p, tol, flatness);
    first.CalcCurve(start, ctrl1, ctrl2, end, 0);
    if (first.found) {
        param = first.param;
        return 1;
    }
    float finer = (tol < flatness ? tol : flatness) / 4;
    if (!(finer > 0)) return 0;
    BesideSearch second(p, tol, finer);
    second.CalcCurve(start, ctrl1, ctrl2, end, 0);
    if (!second.found) return 0;
    param = second.param;
    return 1;
}

int PathMember::Cut(std::uint32_t p1, std::uint32_t p2, PathMember& out, floatPoint* newStart,
                    floatPoint* newEnd) {
    if (p1 > PM_PARAM_ONE) p1 = PM_PARAM_ONE;
    if (p2 > PM_PARAM_ONE) p2 = PM_PARAM_ONE;
    if (p1 >= p2) {
        floatPoint at;
        GetPointAt(p1, at);
        out.flags = flags;
        out.start = out.end = out.ctrl1 = out.ctrl2 = at;
        return 0;
    }

    out.flags = flags;
    if (IsCurve()) {
        Point2 c[4] = {{start.x, start.y}, {ctrl1.x, ctrl1.y}, {ctrl2.x, ctrl2.y}, {end.x, end.y}};
        double t1 = double(p1) / double(PM_PARAM_ONE), t2 = double(p2) / double(PM_PARAM_ONE);
        if (p2 < PM_PARAM_ONE) KeepCubicTo(c, t2);
        // Within the left part the first parameter is at t1 / t2.
        if (p1 > 0) KeepCubicFrom(c, t1 / t2);
        out.start = p1 == 0 ? start : ToFloat(c[0]);
        out.ctrl1 = ToFloat(c[1]);
        out.ctrl2 = ToFloat(c[2]);
        out.end = p2 == PM_PARAM_ONE ? end : ToFloat(c[3]);
    } else {
        if (p1 == 0) {
            out.start = start;
        } else {
            GetPointAt(p1, out.start);
        }
        if (p2 == PM_PARAM_ONE) {
            out.end = end;
        } else {
            GetPointAt(p2, out.end);
        }
    }
    if (newStart) out.start = *newStart;
    if (newEnd) out.end = *newEnd;
    if (!out.IsCurve()) {
        out.ctrl1 = out.start;
        out.ctrl2 = out.end;
    }
    return 1;
}

double PathMember::Spin() {
    if (!IsCurve() || ctrl1 == start || ctrl2 == end) return 0;
    return VectAngle(double(ctrl1.x) - start.x, double(ctrl1.y) - start.y, double(end.x) - ctrl2.x,
                     double(end.y) - ctrl2.y);
}

double Angle(const PathMember& a, const PathMember& b) {
    const floatPoint& aFrom = a.IsCurve() ? a.ctrl2 : a.start;
    const floatPoint& bTo = b.IsCurve() ? b.ctrl1 : b.end;
    return VectAngle(double(a.end.x) - aFrom.x, double(a.end.y) - aFrom.y,
                     double(bTo.x) - b.start.x, double(bTo.y) - b.start.y);
}

namespace {

bool Near(const floatPoint& a, const floatPoint& b, float tol) {
    return std::fabs(a.x - b.x) < tol && std::fabs(a.y - b.y) < tol;
}

} // namespace

int IsEqual(const PathMember& a, const PathMember& b, float tol) {
    if (a.IsLine(tol) && b.IsLine(tol)) {
        if (a.start == b.end && a.end == b.start) return -1;
        if (a.start == b.start && a.end == b.end) return 1;
        return 0;
    }
    if (!a.IsCurve() || !b.IsCurve()) return 0;
    if (a.start == b.end && a.end == b.start && Near(a.ctrl1, b.ctrl2, tol) &&
        Near(a.ctrl2, b.ctrl1, tol))
        return -1;
    if (a.start == b.start && a.end == b.end && Near(a.ctrl1, b.ctrl1, tol) &&
        Near(a.ctrl2, b.ctrl2, tol))
        return 1;
    return 0;
}
