#include "pathkit/NumericToolkit.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>

namespace {

bool AllFinite(const double* c, int n) {
    for (int i = 0; i < n; ++i)
        if (!std::isfinite(c[i])) return false;
    return true;
}

// Truncation towards zero into the 32-bit range; NaN gives 0.
std::int32_t SaturateToInt32(double v) {
    if (std::isnan(v)) return 0;
    if (v >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
    if (v <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(v);
}

} // namespace

int SolveLin2(double a11, double a12, double a21, double a22, double r1, double r2, double& x,
              double& y) {
    double det = a11 * a22 - a12 * a21;
    if (!std::isfinite(det) || std::fabs(det) < 1e-10) return 0;
    double sx = (r1 * a22 - a12 * r2) / det;
    double sy = (a11 * r2 - r1 * a21) / det;
    if (!std::isfinite(sx) || !std::isfinite(sy)) return 0;
    x = sx;
    y = sy;
    return 1;
}

int IntersectionPoint(double x1, double y1, double x2, double y2, double x3, double y3, double x4,
                      double y4, double& x, double& y) {
    // Each line as (y1 - y2) X + (x2 - x1) Y = y1 x2 - y2 x1.
    if (SolveLin2(y1 - y2, x2 - x1, y3 - y4, x4 - x3, y1 * x2 - y2 * x1, y3 * x4 - y4 * x3, x, y))
        return 1;
    // Parallel: one line when P3 lies on P1P2.
    if (std::fabs((y3 - y1) * (x2 - x1) - (x3 - x1) * (y2 - y1)) < 1e-6) {
        x = x3;
        y = y3;
        return 1;
    }
    return 0;
}

int IntersectionPoint(const floatPoint& p1, const floatPoint& p2, const floatPoint& p3,
                      const floatPoint& p4, floatPoint& out) {
    double x, y;
    if (!IntersectionPoint(p1.x, p1.y, p2.x, p2.y, p3.x, p3.y, p4.x, p4.y, x, y)) return 0;
    out.Fill(float(x), float(y));
    return 1;
}

int IntersectionPoint(const longPoint& p1, const longPoint& p2, const longPoint& p3,
                      const longPoint& p4, longPoint& out) {
    double x, y;
    if (!IntersectionPoint(p1.x, p1.y, p2.x, p2.y, p3.x, p3.y, p4.x, p4.y, x, y)) return 0;
    x = std::floor(x + 0.5);
    y = std::floor(y + 0.5);
    // Also refuses NaN.
    if (!(x >= -2147483648.0 && x <= 2147483647.0 && y >= -2147483648.0 && y <= 2147483647.0))
        return 0;
    out.Fill(std::int32_t(x), std::int32_t(y));
    return 1;
}

double VectAngle(double ax, double ay, double bx, double by) {
    double L = std::sqrt(ax * ax + ay * ay) * std::sqrt(bx * bx + by * by);
    if (!(L > 0) || !std::isfinite(L)) return 0;
    double s = (ax * by - ay * bx) / L;
    double c = (ax * bx + ay * by) / L;
    if (std::fabs(s) < 1e-6) s = 0;
    if (std::fabs(c) < 1e-6) c = 0;
    constexpr double pi = std::numbers::pi;
    if (c != 0 && s != 0) {
        s = std::clamp(s, -1.0, 1.0);
        if (c > 0) return std::asin(s);
        return s > 0 ? pi - std::asin(s) : -pi - std::asin(s);
    }
    if (s == 0) return c < 0 ? pi : 0;
    return s > 0 ? pi / 2 : -pi / 2;
}

int SolveQuadratic(double c[3]) {
    if (!AllFinite(c, 3)) return 0;
    double c0 = c[0], c1 = c[1], c2 = c[2];
    if (c2 == 0) {
        if (c1 == 0) return -1;
        c[0] = -c0 / c1;
        return 1;
    }
    double D = c1 * c1 - 4 * c2 * c0;
    if (!(D >= 0)) return 0;
    // Written so that no root comes from the difference of two close values.
    double q = -(c1 + (c1 >= 0 ? std::sqrt(D) : -std::sqrt(D))) / 2;
    c[0] = q / c2;
    if (q != 0) {
        c[1] = c0 / q;
        return 2;
    }
    return 1;
}

int SolveCubic(double c[4]) {
    if (!AllFinite(c, 4)) return 0;
    if (c[3] == 0) return SolveQuadratic(c);
    double a = c[2] / c[3], b = c[1] / c[3], d = c[0] / c[3];
    // A cubic term too small to normalise by leaves the quadratic.
    if (!std::isfinite(a) || !std::isfinite(b) || !std::isfinite(d)) return SolveQuadratic(c);
    double Q = (a * a - 3 * b) / 9;
    double R = (2 * a * a * a - 9 * a * b + 27 * d) / 54;
    double R2 = R * R, Q3 = Q * Q * Q;
    if (!std::isfinite(R2) || !std::isfinite(Q3)) return 0;
    double shift = a / 3;
    if (R2 >= Q3) {
        double A = std::cbrt(std::fabs(R) + std::sqrt(R2 - Q3));
        if (R >= 0) A = -A;
        // A = 0 only for a triple root (Q = R = 0).
        double B = A != 0 ? Q / A : 0;
        c[0] = A + B - shift;
        return 1;
    }
    // Here Q > 0. Rounding can push the ratio just past +-1 near a multiple root.
    double ratio = std::clamp(R / std::sqrt(Q3), -1.0, 1.0);
    double theta = std::acos(ratio);
    double m = -2 * std::sqrt(Q);
    constexpr double twoPi = 2 * std::numbers::pi;
    c[0] = m * std::cos(theta / 3) - shift;
    c[1] = m * std::cos((theta + twoPi) / 3) - shift;
    c[2] = m * std::cos((theta - twoPi) / 3) - shift;
    return 3;
}

double Dist2(const floatPoint& a, const floatPoint& b, const floatPoint& p) {
    double px = double(p.x) - a.x, py = double(p.y) - a.y;
    if (std::fabs(a.x - b.x) < 1e-6 && std::fabs(a.y - b.y) < 1e-6) return px * px + py * py;
    double dx = double(b.x) - a.x, dy = double(b.y) - a.y;
    double cross = dx * py - dy * px;
    return cross * cross / (dx * dx + dy * dy);
}

double Dist2(const longPoint& a, const longPoint& b, const longPoint& p) {
    double px = double(p.x) - a.x, py = double(p.y) - a.y;
    if (a.x == b.x && a.y == b.y) return px * px + py * py;
    double dx = double(b.x) - a.x, dy = double(b.y) - a.y;
    double cross = dx * py - dy * px;
    return cross * cross / (dx * dx + dy * dy);
}

void BoxTransformation(floatTMatrix& m, const floatBBox& from, const floatBBox& to) {
    m.BoxTransformation(from.left, from.bottom, from.right, from.top, to.left, to.bottom, to.right,
                        to.top);
}

longBBox operator*(const floatBBox& box, float factor) {
    longBBox r;
    r.left = SaturateToInt32(box.left * factor);
    r.right = SaturateToInt32(box.right * factor);
    r.bottom = SaturateToInt32(box.bottom * factor);
    r.top = SaturateToInt32(box.top * factor);
    return r;
}
