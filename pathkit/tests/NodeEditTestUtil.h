#pragma once
// Members, contours and measurements shared by the node editing tests.

#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <limits>

#include "pathkit/NodeEdit.h"
#include "pathkit/PathMember.h"
#include "pathkit/SubPath.h"

namespace nodetest {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

inline PathMember Line(floatPoint s, floatPoint e, std::uint16_t flags = 0) {
    PathMember m(s, e);
    m.ctrl1 = s;
    m.ctrl2 = e;
    m.flags = flags;
    return m;
}

inline PathMember Curve(floatPoint s, floatPoint c1, floatPoint c2, floatPoint e,
                        std::uint16_t flags = 0) {
    PathMember m(s, e);
    m.ctrl1 = c1;
    m.ctrl2 = c2;
    m.flags = std::uint16_t(flags | PM_CURVE);
    return m;
}

inline SubPath Contour(std::initializer_list<PathMember> members) {
    SubPath sp;
    for (const PathMember& m : members)
        sp.members.Append(m);
    return sp;
}

// Lines through the points; closed adds the line back to the first point.
inline SubPath Polyline(std::initializer_list<floatPoint> points, bool closed) {
    SubPath sp;
    const floatPoint* p = points.begin();
    for (; p + 1 != points.end(); ++p)
        sp.members.Append(Line(p[0], p[1]));
    if (closed) sp.members.Append(Line(*p, *points.begin()));
    return sp;
}

// Selects node i: the member ending there and the member starting there (wrapping).
inline void SelectNode(SubPath& sp, unsigned i) {
    sp.members[sp.members.Prev(int(i))].flags |= PM_CTRL2_SEL | PM_END_SEL | PM_SELECTED;
    sp.members[std::uint16_t(i)].flags |= PM_START_SEL | PM_CTRL1_SEL | PM_SELECTED;
}

inline double Dist(const floatPoint& a, const floatPoint& b) {
    return std::hypot(double(a.x) - b.x, double(a.y) - b.y);
}

// The member's point at t, in doubles.
inline floatPoint At(const PathMember& m, double t) {
    if (!m.IsCurve())
        return floatPoint(float(m.start.x + (m.end.x - m.start.x) * t),
                          float(m.start.y + (m.end.y - m.start.y) * t));
    double s = 1 - t, a = s * s * s, b = 3 * s * s * t, c = 3 * s * t * t, d = t * t * t;
    return floatPoint(float(a * m.start.x + b * m.ctrl1.x + c * m.ctrl2.x + d * m.end.x),
                      float(a * m.start.y + b * m.ctrl1.y + c * m.ctrl2.y + d * m.end.y));
}

// Distance from p to the nearest of 2000 points along the member.
inline double DistToMember(const PathMember& m, const floatPoint& p) {
    double best = HUGE_VAL;
    for (int k = 0; k <= 2000; ++k)
        best = std::fmin(best, Dist(At(m, k / 2000.0), p));
    return best;
}

// The largest distance of points along a from the members of b.
inline double Deviation(const SubPath& a, const SubPath& b) {
    double worst = 0;
    for (const PathMember& m : a.members) {
        for (int k = 0; k <= 40; ++k) {
            floatPoint p = At(m, k / 40.0);
            double best = HUGE_VAL;
            for (const PathMember& n : b.members)
                best = std::fmin(best, DistToMember(n, p));
            worst = std::fmax(worst, best);
        }
    }
    return worst;
}

// Every member starts exactly where the one before it ends.
inline bool IsContinuous(const SubPath& sp) {
    for (std::uint16_t i = 1; i < sp.members.Filled(); ++i)
        if (sp.members[std::uint16_t(i - 1)].end != sp.members[i].start) return false;
    return true;
}

} // namespace nodetest
