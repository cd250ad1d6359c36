// Whether one contour lies inside another.

#include "ContainedBy.h"
#include "pathkit/SubPath.h"

int SubPath::IsContainedBy(SubPath& other) {
    if (!members.Filled() || !other.members.Filled()) return 0;
    Validate(SP_CTRLBOX_INVALID);
    other.Validate(SP_CTRLBOX_INVALID);
    return containment::ContainedBy(
        *this, other,
        [&other](const floatPoint& p, float tol) {
            unsigned member;
            std::uint32_t param;
            return other.IsBeside(p, tol, member, param) != 0;
        },
        [&other](const floatPoint& p) { return other.IsInside(p, 0); });
}
