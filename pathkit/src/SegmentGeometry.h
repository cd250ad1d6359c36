#pragma once
// Point-to-segment geometry on float or integer points, computed in double.

#include <cmath>

// Projection parameter of p onto the line a..b (0 at a, 1 at b), not clamped; 0 for a
// zero-length segment, NaN when a coordinate is NaN.
template <class P> double SegmentProjection(const P& a, const P& b, const P& p) {
    double dx = double(b.x) - a.x, dy = double(b.y) - a.y;
    double len2 = dx * dx + dy * dy;
    if (len2 == 0) return 0;
    return ((double(p.x) - a.x) * dx + (double(p.y) - a.y) * dy) / len2;
}

// Squared distance of p from the segment a..b (its ends included); the clamped projection
// parameter goes to *t when asked for.
template <class P> double SegmentDist2(const P& a, const P& b, const P& p, double* t = nullptr) {
    double dx = double(b.x) - a.x, dy = double(b.y) - a.y;
    double u = SegmentProjection(a, b, p);
    u = u < 0 ? 0 : (u > 1 ? 1 : u);
    double ex = double(p.x) - a.x - u * dx, ey = double(p.y) - a.y - u * dy;
    if (t) *t = u;
    return ex * ex + ey * ey;
}
