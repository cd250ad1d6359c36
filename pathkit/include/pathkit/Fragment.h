#pragma once
// A run of consecutive members of one sub-path, referenced in place.

#include <cstdint>
#include <type_traits>

#include "pathkit/BBox.h"
#include "pathkit/DynArr.h"
#include "pathkit/PathMember.h"
#include "pathkit/Point.h"
#include "pathkit/export.h"

// Bits of Fragment::fragmentFlags.
enum : std::uint8_t {
    FR_PROCESSED = 0x1,
    FR_TURNING = 0x2,  // used backwards
    FR_STARTING = 0x4, // begins a new sub-path
};

// A plain record, copied bitwise. The members belong to a sub-path, which must stay unchanged
// while the fragment is used.
class PATHKIT_API Fragment {
public:
    Fragment() : members(nullptr), count(0), accuracy(0), fragmentFlags(0) {}

    // n members from first on; computes the box.
    void Fill(PathMember* first, int n, float accuracy);

    // The first member's start and the last member's end; (0, 0) without members.
    floatPoint start() const { return count > 0 ? members[0].start : floatPoint(); }
    floatPoint end() const { return count > 0 ? members[count - 1].end : floatPoint(); }
    PathMember* StartPathMember() const { return count > 0 ? members : nullptr; }
    PathMember* EndPathMember() const { return count > 0 ? members + count - 1 : nullptr; }

    bool IsProcessed() const { return fragmentFlags & FR_PROCESSED; }
    bool IsTurning() const { return fragmentFlags & FR_TURNING; }
    bool IsStarting() const { return fragmentFlags & FR_STARTING; }
    // The first start equals the last end exactly.
    bool IsClosed() const { return count > 0 && start() == end(); }

    // Recomputes the box from the members' control boxes.
    void BoundingBox();
    // Total turning: every member's Spin and the Angle at every junction (radians).
    double Spin() const;
    // The point lies within tol of the run: a member's own hit test, a member's start or the
    // last end. A negative direction searches from the last member backwards.
    bool IsBeside(const floatPoint& p, float tol, int direction) const;
    // On every member: flags = (flags & ~mask) | (mask & value), marked changed when that
    // changes them.
    void SetPMState(std::uint16_t mask, std::uint16_t value);

    PathMember* members; // not owned
    int count;
    float accuracy; // of the owning sub-path
    floatBBox box;  // control box of the members
    std::uint8_t fragmentFlags;
};

static_assert(std::is_trivially_copyable_v<Fragment>, "Fragment is copied bitwise");

// 1 when the runs coincide in the same direction, -1 in opposite directions, else 0.
PATHKIT_API int IsEqual(Fragment& a, Fragment& b, float tol);

using FragmentDynArr = DynArr<Fragment>;
using FragmentEDynArr = EDynArr<Fragment>;
