#pragma once
// The device range: a device coordinate is what a LONG holds. Sums, differences and scaled
// values of coordinates are computed in 64 bits (or in double) and brought back into the range
// here, once, so that a drawing at strong zoom ends at the edge of the range instead of
// wrapping round to the other side. The overloads take no int: a sum of two ints has already
// overflowed before it could be clamped.

#include <cstdint>
#include <limits>

#include "win32/base.h"

inline constexpr LONG SdDeviceMin = std::numeric_limits<LONG>::min();
inline constexpr LONG SdDeviceMax = std::numeric_limits<LONG>::max();

// v clamped to the device range.
inline LONG SdDeviceCoord(std::int64_t v) {
    return v < SdDeviceMin ? SdDeviceMin : v > SdDeviceMax ? SdDeviceMax : LONG(v);
}

// v clamped to the device range, then truncated (round it first as the caller's rule says);
// NaN gives 0.
inline LONG SdDeviceCoord(double v) {
    if (!(v == v)) return 0;
    return v <= SdDeviceMin ? SdDeviceMin : v >= SdDeviceMax ? SdDeviceMax : LONG(v);
}

// The rectangle grown by dx and dy on each side (shrunk for negative values), its edges kept
// in the device range.
inline void SdInflateDeviceRect(RECT& r, int dx, int dy) {
    r.left = SdDeviceCoord(std::int64_t(r.left) - dx);
    r.top = SdDeviceCoord(std::int64_t(r.top) - dy);
    r.right = SdDeviceCoord(std::int64_t(r.right) + dx);
    r.bottom = SdDeviceCoord(std::int64_t(r.bottom) + dy);
}
