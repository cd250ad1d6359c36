// Integer flatness and halving of members in integer units.

#include <cstdint>

#include "pathkit/BezierSplit.h"
#include "pathkit/LPathMember.h"

#include "SegmentGeometry.h"

namespace {

// Floor of the average: an arithmetic shift of the 64-bit sum.
longPoint Half(const longPoint& a, const longPoint& b) {
    longPoint m;
    m.Fill(std::int32_t((std::int64_t(a.x) + b.x) >> 1),
           std::int32_t((std::int64_t(a.y) + b.y) >> 1));
    return m;
}

} // namespace

bool LPathMember::IsLine(std::int32_t tol) const {
    if (!IsCurve()) return true;
    double tol2 = double(tol) * tol;
    return SegmentDist2(start, end, ctrl1) < tol2 && SegmentDist2(start, end, ctrl2) < tol2;
}

void LPathMember::SplitAtHalf(LPathMember& first, LPathMember& second) const {
    first.flags = second.flags = flags;
    if (!IsCurve()) {
        longPoint mid = Half(start, end);
        first.start = first.ctrl1 = start;
        first.end = first.ctrl2 = mid;
        second.start = second.ctrl1 = mid;
        second.end = second.ctrl2 = end;
        return;
    }
    CubicHalves<longPoint> h = HalveCubic(start, ctrl1, ctrl2, end, Half);
    first.start = start;
    first.ctrl1 = h.l1;
    first.ctrl2 = h.l2;
    first.end = h.m;
    second.start = h.m;
    second.ctrl1 = h.r1;
    second.ctrl2 = h.r2;
    second.end = end;
}
