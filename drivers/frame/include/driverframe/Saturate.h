#pragma once
// Conversions into the 32-bit range of device coordinates that never overflow: values
// beyond the range saturate, NaN becomes 0.

#include <cmath>
#include <cstdint>
#include <limits>

inline std::int32_t Saturate32(std::int64_t v) {
    if (v > std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    if (v < std::numeric_limits<std::int32_t>::min())
        return std::numeric_limits<std::int32_t>::min();
    return std::int32_t(v);
}

// Truncation toward zero.
inline std::int32_t TruncateToInt32(double v) {
    if (std::isnan(v)) return 0;
    if (v >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
    if (v <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
    return std::int32_t(v);
}

// A double narrowed to float; values beyond the float range become infinities.
inline float NarrowToFloat(double v) {
    if (v > double(std::numeric_limits<float>::max()))
        return std::numeric_limits<float>::infinity();
    if (v < -double(std::numeric_limits<float>::max()))
        return -std::numeric_limits<float>::infinity();
    return float(v);
}

// floor(v + 0.5), the rounding of lengths into steps.
inline std::int32_t RoundToInt32(double v) {
    return TruncateToInt32(std::floor(v + 0.5));
}
