#pragma once
// One member of a contour: a straight line or a cubic Bezier segment.

#include <cstdint>
#include <type_traits>

#include "pathkit/DynArr.h"
#include "pathkit/Point.h"
#include "pathkit/export.h"

class floatBBox;
class floatTMatrix;

// Positions along a member: t * 2^31, so 0 is the start and 0x80000000 the end.
constexpr std::uint32_t PM_PARAM_ONE = 0x80000000u;

// Bits of PathMember::flags.
enum : std::uint16_t {
    PM_OVERLAYED = 0x0003,
    PM_CURVE = 0x0004,
    PM_SELECTED = 0x0008,
    PM_CONTAINED = 0x0010,
    PM_INSERTED = 0x0020,
    PM_SNAPPED = 0x0040,
    PM_SMOOTH = 0x0080,
    PM_SYMMETRIC = 0x0100,
    PM_CHANGED = 0x0200,
};

// A plain record, copied bitwise. The fields keep their order, but the points stay aligned
// (two bytes of padding follow the flags): in a packed record most members of an array would
// sit on misaligned addresses, where every call on a point field is undefined behaviour.
class PATHKIT_API PathMember {
public:
    // All four points (0, 0), flags 0.
    PathMember() : flags(0) {}
    // A line record from s to e; the control points are (0, 0).
    PathMember(const floatPoint& s, const floatPoint& e) : flags(0), start(s), end(e) {}

    // Sets start, end and flags 0; the control points stay as they are.
    void Fill(const floatPoint& s, const floatPoint& e) {
        flags = 0;
        start = s;
        end = e;
    }

    bool IsOverlayed() const { return flags & PM_OVERLAYED; }
    bool IsCurve() const { return flags & PM_CURVE; }
    bool IsPMSelected() const { return flags & PM_SELECTED; }
    bool IsContained() const { return flags & PM_CONTAINED; }
    bool IsInserted() const { return flags & PM_INSERTED; }
    bool IsSmooth() const { return flags & PM_SMOOTH; }
    bool IsSymmetric() const { return flags & PM_SYMMETRIC; }
    bool IsChanged() const { return flags & PM_CHANGED; }
    bool IsGeneral() const { return !(flags & (PM_SMOOTH | PM_SYMMETRIC)); }

    // Start and end differ by less than 0.00001 in y (x).
    bool IsHorizontal() const;
    bool IsVertical() const;

    void Touch() { flags |= PM_CHANGED; }
    // Both mark the member changed only when the selection bit actually changes.
    void SelectPM() {
        if (!(flags & PM_SELECTED)) flags |= PM_SELECTED | PM_CHANGED;
    }
    void UnselectPM() {
        if (flags & PM_SELECTED) flags = std::uint16_t((flags & ~PM_SELECTED) | PM_CHANGED);
    }

    // Box of start, end and, for curves, both control points.
    void CtrlBBox(floatBBox& box) const;
    // Exact box of the drawn member (curves: end points plus the extrema inside the span).
    void AccBBox(floatBBox& box) const;
    void GetPointAt(std::uint32_t param, floatPoint& p) const;
    // Transforms start, end and, for curves, the control points.
    void Transform(const floatTMatrix& m);
    // Swaps start and end and, for curves, the control points.
    void Reverse();
    // Lines: true. Curves: both control points lie closer than tol to the chord segment.
    bool IsLine(float tol) const;

    // Defined with the path queries.
    int IsBeside(const floatPoint& p, float tol, float accuracy, std::uint32_t& param, int ends);
    int Cut(std::uint32_t p1, std::uint32_t p2, PathMember& out, floatPoint* newStart,
            floatPoint* newEnd);
    double Spin();

    std::uint16_t flags;
    floatPoint start;
    floatPoint end;
    floatPoint ctrl1; // next to start; a line keeps start here
    floatPoint ctrl2; // next to end; a line keeps end here
};

static_assert(std::is_trivially_copyable_v<PathMember>, "PathMember is copied bitwise");

using PathMemberDynArr = DynArr<PathMember>;
using PathMemberEDynArr = EDynArr<PathMember>;
