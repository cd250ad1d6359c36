#pragma once
// Adaptive flattener of cubic Bezier curves in integer coordinates. Each curve is split at
// least once; a piece whose chord midpoint lies within the tolerance of the curve midpoint is
// output as its two halves. The parameter range of the whole curve is 2^31.

#include <cstdint>

#include "driverframe/longPoint.h"

class longBez3Base {
public:
    explicit longBez3Base(std::int32_t tolerance);

    // Receives one finished piece; the base does nothing.
    virtual void Output(longPoint& p0, longPoint& p1, longPoint& p2, longPoint& p3);
    // 0 skips the piece and everything below it.
    virtual int CheckEntry(longPoint& p0, longPoint& p1, longPoint& p2, longPoint& p3);
    // The flatness test; stores the chord midpoint and the deviation.
    virtual int CheckOutput(longPoint& p0, longPoint& mid, longPoint& p3);

    void SetErrorTolerance(std::int32_t tolerance) { errorTolerance = tolerance; }
    void CalcCurve(longPoint& p0, longPoint& p1, longPoint& p2, longPoint& p3, std::uint32_t start);

    // Mask[k] = 2^(31 - k): the parameter length of a piece at depth k.
    static const std::uint32_t Mask[32];

protected:
    ~longBez3Base() = default;

    longPoint chordMid;
    std::uint32_t paramStart = 0;
    std::uint32_t paramEnd = 0x80000000u;
    std::int32_t errorTolerance;
    std::int32_t deviation = 0;
    std::int8_t depth = 0;
};
