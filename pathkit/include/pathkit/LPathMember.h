#pragma once
// A path member in integer units, for exact integer-space tests.

#include <cstdint>

#include "pathkit/Point.h"
#include "pathkit/export.h"

class PathMember;
class longBBox;

class PATHKIT_API LPathMember {
public:
    LPathMember() : flags(0) {}

    // Copies the flags and converts start, end and, for curves, the control points as
    // floor(factor * v + 0.5). Values beyond the 32-bit range saturate; NaN gives 0.
    void Fill(const PathMember& m, double factor);

    bool IsCurve() const { return flags & 0x0004; } // PM_CURVE
    // Exact comparisons.
    bool IsHorizontal() const { return start.y == end.y; }
    bool IsVertical() const { return start.x == end.x; }

    // Box of start, end and, for curves, both control points.
    void CtrlBBox(longBBox& box) const;

    // queries and repair
    // Lines: true. Curves: both control points lie closer than tol to the chord segment.
    bool IsLine(std::int32_t tol) const;
    // De Casteljau at t = 0.5 with every midpoint (a + b) >> 1; a line splits at its middle.
    void SplitAtHalf(LPathMember& first, LPathMember& second) const;

    std::uint16_t flags;
    longPoint start;
    longPoint end;
    longPoint ctrl1;
    longPoint ctrl2;
};
