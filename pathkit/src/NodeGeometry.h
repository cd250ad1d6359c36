#pragma once
// Vector arithmetic and member edits shared by the node editing functions.

#include <cmath>
#include <cstdint>

#include "pathkit/NodeEdit.h"
#include "pathkit/NumericToolkit.h"
#include "pathkit/PathMember.h"
#include "pathkit/Point.h"
#include "pathkit/SubPath.h"

namespace nodegeom {

struct Vec {
    double x, y;
};

inline Vec Diff(const floatPoint& to, const floatPoint& from) {
    return {double(to.x) - from.x, double(to.y) - from.y};
}
inline double Length(const Vec& v) {
    return std::hypot(v.x, v.y);
}
inline Vec Scaled(const Vec& v, double f) {
    return {v.x * f, v.y * f};
}
// Counter-clockwise by a radians.
inline Vec Rotated(const Vec& v, double a) {
    double c = std::cos(a), s = std::sin(a);
    return {v.x * c - v.y * s, v.x * s + v.y * c};
}
inline floatPoint Plus(const floatPoint& p, const Vec& v) {
    return floatPoint(float(p.x + v.x), float(p.y + v.y));
}
inline double VectAngle(const Vec& a, const Vec& b) {
    return ::VectAngle(a.x, a.y, b.x, b.y);
}

inline bool IsFinite(const floatPoint& p) {
    return std::isfinite(p.x) && std::isfinite(p.y);
}
inline bool IsFinite(const PathMember& m) {
    return IsFinite(m.start) && IsFinite(m.end) && IsFinite(m.ctrl1) && IsFinite(m.ctrl2);
}

// A line keeps its control points on its end points.
inline void SetStart(PathMember& m, const floatPoint& p) {
    m.start = p;
    if (!m.IsCurve()) m.ctrl1 = p;
}
inline void SetEnd(PathMember& m, const floatPoint& p) {
    m.end = p;
    if (!m.IsCurve()) m.ctrl2 = p;
}
inline void MakeLine(PathMember& m) {
    m.flags = std::uint16_t(m.flags & ~PM_CURVE);
    m.ctrl1 = m.start;
    m.ctrl2 = m.end;
}

// Bitwise equal flags and exactly equal points.
inline bool Same(const PathMember& a, const PathMember& b) {
    return a.flags == b.flags && a.start == b.start && a.end == b.end && a.ctrl1 == b.ctrl1 &&
           a.ctrl2 == b.ctrl2;
}
inline bool MarkIfChanged(PathMember& m, const PathMember& before) {
    if (Same(m, before)) return false;
    m.flags |= PM_CHANGED;
    return true;
}

inline bool IsNodeSelected(const PathMember& prev, const PathMember& next) {
    return (prev.flags & (PM_END_SEL | PM_SELECTED)) == (PM_END_SEL | PM_SELECTED) &&
           (next.flags & (PM_START_SEL | PM_SELECTED)) == (PM_START_SEL | PM_SELECTED);
}

// The end tangent of a member: from its second control point (its start for a line) to its end.
inline const floatPoint& EndTangentFrom(const PathMember& m) {
    return m.IsCurve() ? m.ctrl2 : m.start;
}
// The start tangent: from its start to its first control point (its end for a line).
inline const floatPoint& StartTangentTo(const PathMember& m) {
    return m.IsCurve() ? m.ctrl1 : m.end;
}

// Crossing of the lines p1p2 and p3p4; collinear lines give p3. 0 when a line has no
// direction, the lines are parallel or the crossing is not finite.
inline int CrossLines(const floatPoint& p1, const floatPoint& p2, const floatPoint& p3,
                      const floatPoint& p4, floatPoint& out) {
    if (p1 == p2 || p3 == p4) return 0;
    floatPoint x;
    if (!IntersectionPoint(p1, p2, p3, p4, x) || !IsFinite(x)) return 0;
    out = x;
    return 1;
}

// Replaces members first .. last by the n members given (which must not lie in the sub-path).
// Growth happens before anything is overwritten, so a failing array leaves the run as it was.
inline void ReplaceRun(SubPath& sp, unsigned first, unsigned last, const PathMember* by,
                       unsigned n) {
    unsigned run = last - first + 1;
    if (n > run) sp.members.InsertAt(std::uint16_t(first + run), by + run, std::uint16_t(n - run));
    unsigned copied = n < run ? n : run;
    for (unsigned k = 0; k < copied; ++k)
        sp.members[std::uint16_t(first + k)] = by[k];
    if (n < run) sp.members.DeleteAt(std::uint16_t(first + n), std::uint16_t(run - n));
}

} // namespace nodegeom
