#pragma once
// Adaptive flattener of cubic Bezier curves in integer coordinates. Each curve is split at
// least once; a piece whose chord midpoint lies within the tolerance of the curve midpoint is
// output as its two halves. The parameter range of the whole curve is 2^31. Works on
// SaturatingPoint; its deviation saturates at the 32-bit range. (The path library's
// longBez3Base is another rule: it always splits twice and never goes below a tolerance of 2.)

#include <cstdint>

#include "driverframe/SaturatingPoint.h"

class SaturatingBez3Base {
public:
    explicit SaturatingBez3Base(std::int32_t tolerance);

    // Receives one finished piece; the base does nothing.
    virtual void Output(SaturatingPoint& p0, SaturatingPoint& p1, SaturatingPoint& p2,
                        SaturatingPoint& p3);
    // 0 skips the piece and everything below it.
    virtual int CheckEntry(SaturatingPoint& p0, SaturatingPoint& p1, SaturatingPoint& p2,
                           SaturatingPoint& p3);
    // The flatness test; stores the chord midpoint and the deviation.
    virtual int CheckOutput(SaturatingPoint& p0, SaturatingPoint& mid, SaturatingPoint& p3);

    void SetErrorTolerance(std::int32_t tolerance) { errorTolerance = tolerance; }
    void CalcCurve(SaturatingPoint& p0, SaturatingPoint& p1, SaturatingPoint& p2,
                   SaturatingPoint& p3, std::uint32_t start);

    // Mask[k] = 2^(31 - k): the parameter length of a piece at depth k.
    static const std::uint32_t Mask[32];

protected:
    ~SaturatingBez3Base() = default;

    SaturatingPoint chordMid;
    std::uint32_t paramStart = 0;
    std::uint32_t paramEnd = 0x80000000u;
    std::int32_t errorTolerance;
    std::int32_t deviation = 0;
    std::int8_t depth = 0;
};
