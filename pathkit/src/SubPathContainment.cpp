// Whether one contour lies inside another, decided by points of this contour that are clear of
// the other's outline.

#include <cmath>
#include <cstdint>

#include "pathkit/SubPath.h"

namespace {

// Points at one third and two thirds of a member.
constexpr std::uint32_t OneThird = 708669603u;
constexpr std::uint32_t TwoThirds = 1417339207u;

bool IsFinite(const floatPoint& p) {
    return std::isfinite(p.x) && std::isfinite(p.y);
}

} // namespace

// A pair of points of one member decides when neither lies on the other's outline (within this
// contour's accuracy) and both get the same inside answer; an undecided answer decides nothing.
int SubPath::IsContainedBy(SubPath& other) {
    if (!members.Filled() || !other.members.Filled()) return 0;
    Validate(SP_CTRLBOX_INVALID);
    other.Validate(SP_CTRLBOX_INVALID);
    const floatBBox &a = ctrlBox, &b = other.ctrlBox;
    if (!(a.left <= b.right && b.left <= a.right && a.bottom <= b.top && b.bottom <= a.top))
        return 0;

    for (const PathMember& m : members) {
        floatPoint p1, p2;
        m.GetPointAt(OneThird, p1);
        m.GetPointAt(TwoThirds, p2);
        if (!IsFinite(p1) || !IsFinite(p2)) continue;
        unsigned member;
        std::uint32_t param;
        if (other.IsBeside(p1, accuracy, member, param) ||
            other.IsBeside(p2, accuracy, member, param))
            continue;
        int in1 = other.IsInside(p1, 0);
        if (in1 >= 0 && in1 == other.IsInside(p2, 0)) return in1;
    }
    return 0;
}
