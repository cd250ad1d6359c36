#include "FlatContours.h"

#include <algorithm>
#include <cmath>

#include "pathkit/Path.h"

FlatContours::FlatContours(const Path& path, double tolerance)
    : tolerance_(tolerance > 0 ? tolerance : 0.01) {
    for (const SubPath& sp : path.subPaths) {
        subPathFirst_.push_back(spans_.size());
        for (const PathMember& m : sp.members) {
            Span span{points_.size(), 0, 0, 0, 0, 0};
            double x0 = m.start.x, y0 = m.start.y, x1 = m.ctrl1.x, y1 = m.ctrl1.y;
            double x2 = m.ctrl2.x, y2 = m.ctrl2.y, x3 = m.end.x, y3 = m.end.y;
            points_.push_back({x0, y0});
            if (m.IsCurve()) {
                // Uniform steps: the chord error is at most 3/4 of the largest second
                // difference of the control points over the squared number of steps.
                double dd = std::max(std::hypot(x0 - 2 * x1 + x2, y0 - 2 * y1 + y2),
                                     std::hypot(x1 - 2 * x2 + x3, y1 - 2 * y2 + y3));
                double steps = std::ceil(std::sqrt(0.75 * dd / tolerance_));
                int n = 1;
                if (steps > MaxChords) {
                    n = MaxChords;
                } else if (steps > 1) {
                    n = int(steps);
                }
                for (int i = 1; i < n; ++i) {
                    double t = double(i) / n, u = 1 - t;
                    double w0 = u * u * u, w1 = 3 * t * u * u, w2 = 3 * t * t * u, w3 = t * t * t;
                    points_.push_back({w0 * x0 + w1 * x1 + w2 * x2 + w3 * x3,
                                       w0 * y0 + w1 * y1 + w2 * y2 + w3 * y3});
                }
            }
            points_.push_back({x3, y3});
            span.count = points_.size() - span.first;
            span.left = span.right = x0;
            span.bottom = span.top = y0;
            for (std::size_t i = span.first; i < points_.size(); ++i) {
                span.left = std::min(span.left, points_[i].x);
                span.right = std::max(span.right, points_[i].x);
                span.bottom = std::min(span.bottom, points_[i].y);
                span.top = std::max(span.top, points_[i].y);
            }
            spans_.push_back(span);
        }
    }
}

int FlatContours::Winding(double x, double y) const {
    // Crossings of the ray from (x, y) towards +x: a chord running upwards with the point on
    // its left counts +1, one running downwards with the point on its right -1. A chord's
    // lower end belongs to it, its upper end does not.
    int w = 0;
    for (const Span& s : spans_) {
        if (s.top <= y || s.bottom > y || s.right < x) continue;
        const Pt* p = points_.data() + s.first;
        for (std::size_t i = 1; i < s.count; ++i) {
            const Pt& a = p[i - 1];
            const Pt& b = p[i];
            double side = (b.x - a.x) * (y - a.y) - (x - a.x) * (b.y - a.y);
            if (a.y <= y) {
                if (b.y > y && side > 0) ++w;
            } else if (b.y <= y && side < 0) {
                --w;
            }
        }
    }
    return w;
}

bool FlatContours::Beside(std::size_t subPath, std::size_t member, double& mx, double& my,
                          double& lx, double& ly, double& rx, double& ry) const {
    if (subPath >= subPathFirst_.size()) return false;
    std::size_t index = subPathFirst_[subPath] + member;
    std::size_t end =
        subPath + 1 < subPathFirst_.size() ? subPathFirst_[subPath + 1] : spans_.size();
    if (index >= end) return false;
    const Span& s = spans_[index];
    const Pt* p = points_.data() + s.first;
    std::size_t chords = s.count - 1, middle = chords / 2;
    // middle, middle + 1, middle - 1, middle + 2, ...
    for (std::size_t k = 0; k < 2 * chords; ++k) {
        std::size_t step = (k + 1) / 2;
        if (k & 1 ? middle + step >= chords : step > middle) continue;
        std::size_t c = k & 1 ? middle + step : middle - step;
        double dx = p[c + 1].x - p[c].x, dy = p[c + 1].y - p[c].y;
        double len = std::hypot(dx, dy);
        if (!(len > 0)) continue;
        double eps = std::min(0.1 * len, 0.05 * tolerance_);
        mx = (p[c].x + p[c + 1].x) / 2;
        my = (p[c].y + p[c + 1].y) / 2;
        double nx = dy / len, ny = -dx / len; // right of travel
        lx = mx - eps * nx;
        ly = my - eps * ny;
        rx = mx + eps * nx;
        ry = my + eps * ny;
        return true;
    }
    return false;
}

bool FlatContours::NearerThan(double x, double y, double reach) const {
    if (!(reach > 0)) return false;
    double reach2 = reach * reach;
    for (const Span& s : spans_) {
        if (x < s.left - reach || x > s.right + reach || y < s.bottom - reach || y > s.top + reach)
            continue;
        const Pt* p = points_.data() + s.first;
        for (std::size_t i = 1; i < s.count; ++i) {
            double ax = p[i - 1].x, ay = p[i - 1].y;
            double dx = p[i].x - ax, dy = p[i].y - ay;
            double len2 = dx * dx + dy * dy;
            double f = len2 > 0 ? ((x - ax) * dx + (y - ay) * dy) / len2 : 0;
            f = std::clamp(f, 0.0, 1.0);
            double ex = ax + f * dx - x, ey = ay + f * dy - y;
            if (ex * ex + ey * ey < reach2) return true;
        }
    }
    return false;
}
