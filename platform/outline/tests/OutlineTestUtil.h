#pragma once
// Shapes and measurements shared by the outline tests.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <limits>
#include <numbers>
#include <string>
#include <vector>

#include "pathkit/Path.h"

namespace outlinetest {

constexpr double Pi = std::numbers::pi;

struct Pt {
    double x, y;
};

// A full circle of four quarter cubics with the best circular handles, counter-clockwise
// (or clockwise) from (cx + r, cy).
inline void Circle(Path& path, double cx, double cy, double r, bool clockwise = false) {
    double k = 4.0 / 3 * std::tan(Pi / 8) * r;
    double s = clockwise ? -1 : 1;
    auto at = [&](double angle, double along) {
        double a = s * angle;
        return floatPoint(float(cx + r * std::cos(a) - s * along * std::sin(a)),
                          float(cy + r * std::sin(a) + s * along * std::cos(a)));
    };
    path.MoveTo(at(0, 0));
    for (int q = 0; q < 4; ++q) {
        double a0 = q * Pi / 2, a1 = (q + 1) * Pi / 2;
        floatPoint end = q == 3 ? at(0, 0) : at(a1, 0);
        path.CurveTo(at(a0, k), at(a1, -k), end);
    }
    path.ClosePath();
}

// A closed polygon, finished as one sub-path.
inline void Polygon(Path& path, std::initializer_list<floatPoint> points) {
    const floatPoint* p = points.begin();
    path.MoveTo(*p);
    for (++p; p != points.end(); ++p)
        path.LineTo(*p);
    path.LineTo(*points.begin());
    path.ClosePath();
}

// A rectangle from (x0, y0) to (x1, y1), counter-clockwise.
inline void Rect(Path& path, float x0, float y0, float x1, float y1) {
    Polygon(path, {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}});
}

// A rectangle with corners rounded by quarter circles of radius r, counter-clockwise.
inline void RoundedRect(Path& path, float x0, float y0, float x1, float y1, float r) {
    float k = float(4.0 / 3 * std::tan(Pi / 8) * r);
    path.MoveTo({x0 + r, y0});
    path.LineTo({x1 - r, y0});
    path.CurveTo({x1 - r + k, y0}, {x1, y0 + r - k}, {x1, y0 + r});
    path.LineTo({x1, y1 - r});
    path.CurveTo({x1, y1 - r + k}, {x1 - r + k, y1}, {x1 - r, y1});
    path.LineTo({x0 + r, y1});
    path.CurveTo({x0 + r - k, y1}, {x0, y1 - r + k}, {x0, y1 - r});
    path.LineTo({x0, y0 + r});
    path.CurveTo({x0, y0 + r - k}, {x0 + r - k, y0}, {x0 + r, y0});
    path.ClosePath();
}

inline Pt Cubic(const PathMember& m, double t) {
    double u = 1 - t;
    double w0 = u * u * u, w1 = 3 * t * u * u, w2 = 3 * t * t * u, w3 = t * t * t;
    return {w0 * m.start.x + w1 * m.ctrl1.x + w2 * m.ctrl2.x + w3 * m.end.x,
            w0 * m.start.y + w1 * m.ctrl1.y + w2 * m.ctrl2.y + w3 * m.end.y};
}

// perMember + 1 points along every member of the sub-path (perMember + 1 along a line too).
inline std::vector<Pt> Sample(const SubPath& sp, int perMember = 200) {
    std::vector<Pt> out;
    for (const PathMember& m : sp.members) {
        for (int i = out.empty() ? 0 : 1; i <= perMember; ++i) {
            double t = double(i) / perMember;
            if (m.IsCurve()) {
                out.push_back(Cubic(m, t));
            } else {
                out.push_back({m.start.x + t * (double(m.end.x) - m.start.x),
                               m.start.y + t * (double(m.end.y) - m.start.y)});
            }
        }
    }
    return out;
}

inline std::vector<Pt> Sample(const Path& path, int perMember = 200) {
    std::vector<Pt> out;
    for (const SubPath& sp : path.subPaths) {
        std::vector<Pt> s = Sample(sp, perMember);
        out.insert(out.end(), s.begin(), s.end());
    }
    return out;
}

// The outlines of a path as segments, for distances.
inline std::vector<std::pair<Pt, Pt>> Segments(const Path& path, int perMember = 400) {
    std::vector<std::pair<Pt, Pt>> out;
    for (const SubPath& sp : path.subPaths) {
        std::vector<Pt> s = Sample(sp, perMember);
        for (std::size_t i = 1; i < s.size(); ++i)
            out.push_back({s[i - 1], s[i]});
    }
    return out;
}

inline double SegmentDistance(const Pt& a, const Pt& b, const Pt& p) {
    double dx = b.x - a.x, dy = b.y - a.y;
    double len2 = dx * dx + dy * dy;
    double f = len2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2 : 0;
    f = f < 0 ? 0 : f > 1 ? 1 : f;
    return std::hypot(p.x - a.x - f * dx, p.y - a.y - f * dy);
}

inline double DistanceTo(const std::vector<std::pair<Pt, Pt>>& segments, const Pt& p) {
    double best = std::numeric_limits<double>::infinity();
    for (const auto& s : segments)
        best = std::fmin(best, SegmentDistance(s.first, s.second, p));
    return best;
}

// The largest deviation of the result's points from the distance d to the source's outline:
// for round corners every point of an offset lies exactly at |d| from the source.
inline double OffsetError(const Path& source, const Path& result, double d) {
    auto segments = Segments(source);
    double worst = 0;
    for (const Pt& p : Sample(result, 100))
        worst = std::fmax(worst, std::fabs(DistanceTo(segments, p) - std::fabs(d)));
    return worst;
}

// The largest deviation of the sub-path's points from the circle about (cx, cy) with radius r.
inline double RadialError(const SubPath& sp, double cx, double cy, double r) {
    double worst = 0;
    for (const Pt& p : Sample(sp, 400))
        worst = std::fmax(worst, std::fabs(std::hypot(p.x - cx, p.y - cy) - r));
    return worst;
}

// Area enclosed (shoelace over dense samples); positive counter-clockwise.
inline double Area(const SubPath& sp) {
    std::vector<Pt> s = Sample(sp, 200);
    double a = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const Pt& p = s[i];
        const Pt& q = s[(i + 1) % s.size()];
        a += p.x * q.y - q.x * p.y;
    }
    return a / 2;
}

// The corner points of a sub-path made of lines only, from its first start.
inline std::vector<Pt> Corners(const SubPath& sp) {
    std::vector<Pt> out;
    for (const PathMember& m : sp.members)
        out.push_back({m.start.x, m.start.y});
    return out;
}

} // namespace outlinetest

namespace outlinetest {

// Even-odd inside test against a dense sampling of all closed contours of a path.
class AreaProbe {
public:
    explicit AreaProbe(const Path& path, int perMember = 200) {
        for (const SubPath& sp : path.subPaths)
            rings_.push_back(Sample(sp, perMember));
        segments_ = Segments(path, perMember);
    }
    bool Inside(const Pt& p) const {
        bool in = false;
        for (const auto& ring : rings_) {
            for (std::size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
                const Pt& a = ring[i];
                const Pt& b = ring[j];
                if ((a.y > p.y) != (b.y > p.y) &&
                    p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x)
                    in = !in;
            }
        }
        return in;
    }
    double Boundary(const Pt& p) const { return DistanceTo(segments_, p); }

private:
    std::vector<std::vector<Pt>> rings_;
    std::vector<std::pair<Pt, Pt>> segments_;
};

// Points of a grid over the box where the result's inside test disagrees with the exact
// offset area of the source (round corners): inside the source grown (d > 0) or shrunk (d < 0)
// by |d|. Points within `margin` of either boundary are not judged.
inline int AreaMismatches(const Path& source, const Path& result, double d, double margin,
                          int steps = 60) {
    AreaProbe src(source), res(result);
    floatBBox box = source.ctrlBox;
    double x0 = box.left - std::fabs(d) - 1, x1 = box.right + std::fabs(d) + 1;
    double y0 = box.bottom - std::fabs(d) - 1, y1 = box.top + std::fabs(d) + 1;
    int bad = 0;
    for (int i = 0; i <= steps; ++i) {
        for (int j = 0; j <= steps; ++j) {
            Pt p{x0 + (x1 - x0) * i / steps, y0 + (y1 - y0) * j / steps};
            double b = src.Boundary(p);
            if (std::fabs(b - std::fabs(d)) < margin || res.Boundary(p) < margin) continue;
            bool in = src.Inside(p);
            bool expected = d > 0 ? (in || b < d) : (in && b > -d);
            if (res.Inside(p) != expected) ++bad;
        }
    }
    return bad;
}

} // namespace outlinetest

namespace outlinetest {

// The points where a contour of lines turns (collinear joints left out), from the first one
// at or after its first start.
inline std::vector<Pt> TurningPoints(const SubPath& sp) {
    std::vector<Pt> out;
    std::uint16_t n = sp.members.Filled();
    for (std::uint16_t i = 0; i < n; ++i) {
        const PathMember& a = sp.members[sp.members.Prev(i)];
        const PathMember& b = sp.members[i];
        double ax = double(a.end.x) - a.start.x, ay = double(a.end.y) - a.start.y;
        double bx = double(b.end.x) - b.start.x, by = double(b.end.y) - b.start.y;
        double cross = ax * by - ay * bx;
        if (std::fabs(cross) > 1e-6 * std::hypot(ax, ay) * std::hypot(bx, by))
            out.push_back({b.start.x, b.start.y});
    }
    return out;
}

// Whether the turning points are the expected ones in the same cyclic order, within tol.
inline bool SameCycle(const std::vector<Pt>& actual, const std::vector<Pt>& expected, double tol) {
    if (actual.size() != expected.size() || actual.empty()) return false;
    for (std::size_t shift = 0; shift < actual.size(); ++shift) {
        bool all = true;
        for (std::size_t i = 0; i < expected.size() && all; ++i) {
            const Pt& a = actual[(i + shift) % actual.size()];
            all = std::fabs(a.x - expected[i].x) <= tol && std::fabs(a.y - expected[i].y) <= tol;
        }
        if (all) return true;
    }
    return false;
}

inline std::string Text(const std::vector<Pt>& points) {
    std::string s;
    char b[64];
    for (const Pt& p : points) {
        std::snprintf(b, sizeof b, "(%.4f, %.4f) ", p.x, p.y);
        s += b;
    }
    return s;
}

} // namespace outlinetest
