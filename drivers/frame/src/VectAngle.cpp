#include "VectAngle.h"

#include <algorithm>
#include <cmath>
#include <numbers>

double VectAngle(double ax, double ay, double bx, double by) {
    double lengths = std::hypot(ax, ay) * std::hypot(bx, by);
    if (lengths == 0 || !std::isfinite(lengths)) return 0;
    double s = (ax * by - ay * bx) / lengths;
    double c = (ax * bx + ay * by) / lengths;
    if (std::fabs(s) < 1e-6) s = 0;
    if (std::fabs(c) < 1e-6) c = 0;
    // Rounding may carry the sine a hair past 1.
    s = std::clamp(s, -1.0, 1.0);
    if (c > 0) return std::asin(s);
    if (c < 0) {
        if (s > 0) return std::numbers::pi - std::asin(s);
        if (s < 0) return -std::numbers::pi - std::asin(s);
        return std::numbers::pi;
    }
    if (s > 0) return std::numbers::pi / 2;
    if (s < 0) return -std::numbers::pi / 2;
    return 0;
}
