#pragma once
// Walks the flattened points (corners) of a sub-path member by member, wrapping around.
//
// The corners of a member are its start, the ends of the pieces of its flattening and its
// end; the end is the next member's start, so the walk visits it as that member's first
// corner. Besides the current corner it keeps the one before, the one after and the one after
// that.

#include <cstdint>

#include "pathkit/DynArr.h"
#include "pathkit/Point.h"
#include "pathkit/export.h"

class PathMember;
class SubPath;

class PATHKIT_API CornerIterator {
public:
    struct Corner {
        float x;
        float y;
        std::uint32_t param;  // t * 2^31 along the member
        std::uint32_t member; // member index

        floatPoint Point() const { return floatPoint(x, y); }
    };
    using CornerDynArr = DynArr<Corner>;

    CornerIterator();

    // Starts at the first corner of the given member (taken modulo the member count).
    // An accuracy that is not a positive finite number means the sub-path's.
    void Init(SubPath& sp, float accuracy, unsigned member);
    CornerIterator& operator++();
    CornerIterator& operator--();

    unsigned PMIndex() const { return member; }
    // Steps taken since Init: up by one with ++, down by one with --.
    int CornerIndex() const { return cornerCount; }
    // The next step leaves the current member.
    bool Overflow() const;
    // Refills the corner array with the points of m, recorded as member index.
    void Interpolate(const PathMember& m, unsigned index);

    const Corner& Previous() const { return prev; }
    const Corner& Current() const { return cur; }
    const Corner& Next() const { return next; }
    const Corner& AfterNext() const { return after; }
    // The corners of the current member.
    const CornerDynArr& Corners() const { return corners; }

private:
    void Flatten(const PathMember& m, unsigned index, CornerDynArr& out) const;
    // The corners of the member before (after) the current one, flattened on first use.
    const CornerDynArr& Before();
    const CornerDynArr& Ahead();
    void FillAfter();
    void FillPrevious();

    SubPath* subPath;
    CornerDynArr corners;
    int pos;         // current corner in corners
    unsigned member; // current member
    int cornerCount;
    float accuracy;
    Corner prev, cur, next, after;
    CornerDynArr before; // member before the current one
    CornerDynArr ahead;  // member after it
    bool beforeValid;
    bool aheadValid;
};
