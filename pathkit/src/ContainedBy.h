#pragma once
// Whether one contour lies inside another, decided by points of the inner contour that are
// clear of the outer one's outline. The outline and inside questions about the outer contour
// are passed in, so that an index may answer them.

#include <cmath>
#include <cstdint>

#include "pathkit/SubPath.h"

namespace containment {

// Points at one third and two thirds of a member.
constexpr std::uint32_t OneThird = 708669603u;
constexpr std::uint32_t TwoThirds = 1417339207u;

// A pair of points of one member decides when neither lies on the outer outline (within the
// inner contour's accuracy) and both get the same inside answer; an undecided answer decides
// nothing. beside(p, tol) is outer.IsBeside(p, tol, ...) != 0, inside(p) is
// outer.IsInside(p, 0). Both contours' control boxes must be valid.
template <class Beside, class Inside>
int ContainedBy(const SubPath& inner, const SubPath& outer, Beside&& beside, Inside&& inside) {
    if (!inner.members.Filled() || !outer.members.Filled()) return 0;
    const floatBBox &a = inner.ctrlBox, &b = outer.ctrlBox;
    if (!(a.left <= b.right && b.left <= a.right && a.bottom <= b.top && b.bottom <= a.top))
        return 0;

    for (const PathMember& m : inner.members) {
        floatPoint p1, p2;
        m.GetPointAt(OneThird, p1);
        m.GetPointAt(TwoThirds, p2);
        if (!std::isfinite(p1.x) || !std::isfinite(p1.y) || !std::isfinite(p2.x) ||
            !std::isfinite(p2.y))
            continue;
        if (beside(p1, inner.accuracy) || beside(p2, inner.accuracy)) continue;
        int in1 = inside(p1);
        if (in1 >= 0 && in1 == inside(p2)) return in1;
    }
    return 0;
}

} // namespace containment
