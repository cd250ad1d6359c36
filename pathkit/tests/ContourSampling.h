#pragma once
// Dense sampling of contours and distances to them, for tests of fitted geometry.

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "pathkit/PathMember.h"
#include "pathkit/Point.h"
#include "pathkit/SubPath.h"

namespace contour {

struct Pt {
    double x, y;
};

inline Pt Cubic(Pt a, Pt b, Pt c, Pt d, double t) {
    double u = 1 - t;
    double w0 = u * u * u, w1 = 3 * t * u * u, w2 = 3 * t * t * u, w3 = t * t * t;
    return {w0 * a.x + w1 * b.x + w2 * c.x + w3 * d.x, w0 * a.y + w1 * b.y + w2 * c.y + w3 * d.y};
}

inline Pt P(const floatPoint& p) {
    return {p.x, p.y};
}

// perMember + 1 points along every member (a line gives its two ends).
inline std::vector<Pt> Sample(const SubPath& sp, int perMember = 400) {
    std::vector<Pt> out;
    for (const PathMember& m : sp.members) {
        if (out.empty()) out.push_back(P(m.start));
        if (!m.IsCurve()) {
            out.push_back(P(m.end));
            continue;
        }
        for (int i = 1; i <= perMember; ++i)
            out.push_back(
                Cubic(P(m.start), P(m.ctrl1), P(m.ctrl2), P(m.end), double(i) / perMember));
    }
    return out;
}

inline double SegmentDistance(Pt a, Pt b, Pt p) {
    double dx = b.x - a.x, dy = b.y - a.y;
    double len2 = dx * dx + dy * dy;
    double f = len2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2 : 0;
    f = f < 0 ? 0 : f > 1 ? 1 : f;
    return std::hypot(p.x - a.x - f * dx, p.y - a.y - f * dy);
}

// Distance from p to the polyline through the points.
inline double PolylineDistance(const std::vector<Pt>& line, Pt p) {
    if (line.size() == 1) return std::hypot(p.x - line[0].x, p.y - line[0].y);
    double best = std::numeric_limits<double>::infinity();
    for (std::size_t i = 1; i < line.size(); ++i) {
        double d = SegmentDistance(line[i - 1], line[i], p);
        if (d < best) best = d;
    }
    return best;
}

// The largest distance of any point of `from` from the polyline `to`.
inline double MaxDistance(const std::vector<Pt>& from, const std::vector<Pt>& to) {
    double worst = 0;
    for (Pt p : from) {
        double d = PolylineDistance(to, p);
        if (!(d <= worst)) worst = d;
    }
    return worst;
}

inline bool AllFinite(const SubPath& sp) {
    for (const PathMember& m : sp.members)
        for (const floatPoint& p : {m.start, m.ctrl1, m.ctrl2, m.end})
            if (!std::isfinite(p.x) || !std::isfinite(p.y)) return false;
    return true;
}

} // namespace contour
