// Integer flatness and halving of members in integer units.

#include <cstdint>

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
    longPoint l1 = Half(start, ctrl1), h = Half(ctrl1, ctrl2), r2 = Half(ctrl2, end);
    longPoint m1 = Half(l1, h), m2 = Half(h, r2);
    longPoint m = Half(m1, m2);
    first.start = start;
    first.ctrl1 = l1;
    first.ctrl2 = m1;
    first.end = m;
    second.start = m;
    second.ctrl1 = m2;
    second.ctrl2 = r2;
    second.end = end;
}
