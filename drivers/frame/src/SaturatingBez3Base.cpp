#include "driverframe/SaturatingBez3Base.h"

#include <cstdlib>

#include "driverframe/Saturate.h"

namespace {

// The midpoint in floating point, truncated toward zero: mid(-3, 0) = -1.
std::int32_t Mid(std::int32_t a, std::int32_t b) {
    return TruncateToInt32((double(a) + double(b)) * 0.5);
}

SaturatingPoint Mid(const SaturatingPoint& a, const SaturatingPoint& b) {
    return {Mid(a.x, b.x), Mid(a.y, b.y)};
}

// Entries beyond the table count as 0.
std::uint32_t MaskAt(int k) {
    return k >= 0 && k < 32 ? SaturatingBez3Base::Mask[k] : 0;
}

} // namespace

const std::uint32_t SaturatingBez3Base::Mask[32] = {
    0x80000000u, 0x40000000u, 0x20000000u, 0x10000000u, 0x08000000u, 0x04000000u, 0x02000000u,
    0x01000000u, 0x00800000u, 0x00400000u, 0x00200000u, 0x00100000u, 0x00080000u, 0x00040000u,
    0x00020000u, 0x00010000u, 0x00008000u, 0x00004000u, 0x00002000u, 0x00001000u, 0x00000800u,
    0x00000400u, 0x00000200u, 0x00000100u, 0x00000080u, 0x00000040u, 0x00000020u, 0x00000010u,
    0x00000008u, 0x00000004u, 0x00000002u, 0x00000001u};

SaturatingBez3Base::SaturatingBez3Base(std::int32_t tolerance) : errorTolerance(tolerance) {}

void SaturatingBez3Base::Output(SaturatingPoint&, SaturatingPoint&, SaturatingPoint&,
                                SaturatingPoint&) {}

int SaturatingBez3Base::CheckEntry(SaturatingPoint&, SaturatingPoint&, SaturatingPoint&,
                                   SaturatingPoint&) {
    return 1;
}

int SaturatingBez3Base::CheckOutput(SaturatingPoint& p0, SaturatingPoint& mid,
                                    SaturatingPoint& p3) {
    chordMid = Mid(p0, p3);
    std::int64_t dx = std::llabs(std::int64_t(chordMid.x) - mid.x);
    std::int64_t dy = std::llabs(std::int64_t(chordMid.y) - mid.y);
    deviation = Saturate32(dx > dy ? dx : dy);
    return deviation < errorTolerance && depth > 0;
}

void SaturatingBez3Base::CalcCurve(SaturatingPoint& p0, SaturatingPoint& p1, SaturatingPoint& p2,
                                   SaturatingPoint& p3, std::uint32_t start) {
    paramStart = start;
    paramEnd = start + MaskAt(depth);
    if (!CheckEntry(p0, p1, p2, p3)) return;

    SaturatingPoint m01 = Mid(p0, p1);
    SaturatingPoint m12 = Mid(p1, p2);
    SaturatingPoint m23 = Mid(p2, p3);
    SaturatingPoint m012 = Mid(m01, m12);
    SaturatingPoint m123 = Mid(m12, m23);
    SaturatingPoint m = Mid(m012, m123);

    // Depth 31 is the last level: its pieces are output without the test.
    if (depth > 30 || CheckOutput(p0, m, p3)) {
        paramEnd = start + MaskAt(depth + 1);
        Output(p0, m01, m012, m);
        paramStart = paramEnd;
        paramEnd += MaskAt(depth + 1);
        Output(m, m123, m23, p3);
        return;
    }
    ++depth;
    CalcCurve(p0, m01, m012, m, start);
    CalcCurve(m, m123, m23, p3, start + MaskAt(depth));
    --depth;
}
