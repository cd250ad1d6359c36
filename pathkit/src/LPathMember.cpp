#include "pathkit/LPathMember.h"

#include <algorithm>
#include <cmath>

#include "pathkit/BBox.h"
#include "pathkit/PathMember.h"

namespace {

// floor(factor * v + 0.5) in the 32-bit range; NaN gives 0.
std::int32_t ToUnits(float v, double factor) {
    double u = std::floor(double(v) * factor + 0.5);
    if (std::isnan(u)) return 0;
    if (u >= 2147483647.0) return 2147483647;
    if (u <= -2147483648.0) return -2147483647 - 1;
    return std::int32_t(u);
}

longPoint ToUnits(const floatPoint& p, double factor) {
    longPoint l;
    l.Fill(ToUnits(p.x, factor), ToUnits(p.y, factor));
    return l;
}

} // namespace

void LPathMember::Fill(const PathMember& m, double factor) {
    flags = m.flags;
    start = ToUnits(m.start, factor);
    end = ToUnits(m.end, factor);
    if (m.IsCurve()) {
        ctrl1 = ToUnits(m.ctrl1, factor);
        ctrl2 = ToUnits(m.ctrl2, factor);
    }
}

void LPathMember::CtrlBBox(longBBox& box) const {
    box.left = std::min(start.x, end.x);
    box.right = std::max(start.x, end.x);
    box.bottom = std::min(start.y, end.y);
    box.top = std::max(start.y, end.y);
    if (IsCurve()) {
        box.left = std::min({box.left, ctrl1.x, ctrl2.x});
        box.right = std::max({box.right, ctrl1.x, ctrl2.x});
        box.bottom = std::min({box.bottom, ctrl1.y, ctrl2.y});
        box.top = std::max({box.top, ctrl1.y, ctrl2.y});
    }
}
