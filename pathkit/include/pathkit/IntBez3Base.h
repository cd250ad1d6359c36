#pragma once
// Integer flattening for device drawing, in 24.8 fixed point.

#include <cstdint>

#include "pathkit/Point.h"
#include "pathkit/export.h"

class PATHKIT_API IntBez3Base {
public:
    // Subdivision stops at this depth: at most 2^MaxDepth pieces, 2 points each.
    static constexpr int MaxDepth = 8;

    // Tolerance of one device unit.
    IntBez3Base();
    // Tolerance in device units.
    explicit IntBez3Base(int tolerance);

    // Receives every point after the start, in device units.
    virtual void Output(intPoint& p);
    virtual ~IntBez3Base();

    void SetErrorTolerance(int tolerance);

    // x << 8, saturated to the 32-bit range.
    static std::int32_t ScaleUp(int x);
    // Back to device units, halves rounded up.
    static int ScaleDown(std::int32_t x) { return (x >> 8) + ((x >> 7) & 1); }

    // Device coordinates: scaled up and flattened with the fixed-point form.
    void CalcCurve(const intPoint& p0, const intPoint& c1, const intPoint& c2, const intPoint& p3);
    // 24.8 fixed-point coordinates. Each accepted piece outputs its curve midpoint and its end.
    void CalcCurve(const longPoint& p0, const longPoint& c1, const longPoint& c2,
                   const longPoint& p3);

    intPoint point;         // the point being output
    longPoint chordMid;     // chord midpoint of the last test
    std::int32_t tolerance; // 1/256 device units
    std::int8_t depth;

private:
    void Subdivide(const longPoint& p0, const longPoint& c1, const longPoint& c2,
                   const longPoint& p3);
};
