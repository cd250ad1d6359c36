#pragma once
// Small builders and readers shared by the path model tests.

#include <cstdio>
#include <initializer_list>
#include <string>

#include "pathkit/Path.h"

namespace pathtest {

// A closed polygon through the points, finished as one sub-path.
inline void Polygon(Path& path, std::initializer_list<floatPoint> points) {
    const floatPoint* p = points.begin();
    path.MoveTo(*p);
    for (++p; p != points.end(); ++p)
        path.LineTo(*p);
    path.LineTo(*points.begin());
    path.ClosePath();
}

// An axis-aligned square from (x0, y0) with side s; clockwise (y up) or counter-clockwise.
inline void Square(Path& path, float x0, float y0, float s, bool clockwise) {
    if (clockwise) {
        Polygon(path, {{x0, y0}, {x0, y0 + s}, {x0 + s, y0 + s}, {x0 + s, y0}});
    } else {
        Polygon(path, {{x0, y0}, {x0 + s, y0}, {x0 + s, y0 + s}, {x0, y0 + s}});
    }
}

// Twice the signed area of the polygon through the member starts: positive when the contour
// runs counter-clockwise (y up).
inline double SignedArea2(const SubPath& sp) {
    double a = 0;
    std::uint16_t n = sp.members.Filled();
    for (std::uint16_t i = 0; i < n; ++i) {
        floatPoint p = sp.members[i].start, q = sp.members[sp.members.Next(i)].start;
        a += double(p.x) * q.y - double(q.x) * p.y;
    }
    return a;
}

inline std::string Pt(const floatPoint& p) {
    char b[64];
    std::snprintf(b, sizeof b, "%g,%g", p.x, p.y);
    return b;
}

// "x,y L x,y C c1 c2 e ..." from the first start on.
inline std::string Describe(const SubPath& sp) {
    std::string s;
    for (const PathMember& m : sp.members) {
        if (s.empty()) s = Pt(m.start);
        if (m.IsCurve()) {
            s += " C" + Pt(m.ctrl1) + " " + Pt(m.ctrl2) + " " + Pt(m.end);
        } else {
            s += " L" + Pt(m.end);
        }
    }
    return s;
}

// The finished sub-paths, separated by " | ".
inline std::string Describe(const Path& path) {
    std::string s;
    for (const SubPath& sp : path.subPaths) {
        if (!s.empty()) s += " | ";
        s += Describe(sp);
    }
    return s;
}

} // namespace pathtest
