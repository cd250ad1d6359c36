#pragma once
// Closed intervals of floats and integers.

#include <cstdint>

#include "pathkit/export.h"

class PATHKIT_API floatRange {
public:
    floatRange() : low(0), high(0) {}

    void Set(float l, float h) {
        low = l;
        high = h;
    }
    floatRange& operator=(float v) {
        low = high = v;
        return *this;
    }
    // Extends the range to include v.
    floatRange& operator+=(float v) {
        if (v < low) low = v;
        if (v > high) high = v;
        return *this;
    }
    floatRange& operator+=(const floatRange& r) {
        *this += r.low;
        return *this += r.high;
    }

    bool IsInside(float v) const { return low <= v && v <= high; }
    bool IsInside(float v, float tol) const { return low - tol <= v && v <= high + tol; }
    // Half-open: excludes high.
    bool OpenInside(float v) const { return low <= v && v < high; }
    bool IsInside(const floatRange& r) const { return IsInside(r.low) && IsInside(r.high); }

    float Size() const { return high - low; }
    float Middle() const { return (high + low) * 0.5f; }

    bool operator==(const floatRange& r) const { return low == r.low && high == r.high; }
    bool operator!=(const floatRange& r) const { return !(*this == r); }

    float low;
    float high;
};

class PATHKIT_API intRange {
public:
    intRange() : low(0), high(0) {}

    intRange& operator=(int v) {
        low = high = v;
        return *this;
    }
    bool IsInside(int v) const { return low <= v && v <= high; }
    // Integer division: the middle of (1, 2) is 1. Summed in 64 bits so that no sum overflows.
    int Middle() const { return int((std::int64_t(high) + low) / 2); }

    int low;
    int high;
};

class PATHKIT_API longRange {
public:
    longRange() : low(0), high(0) {}

    longRange& operator=(std::int32_t v) {
        low = high = v;
        return *this;
    }
    bool IsInside(std::int32_t v) const { return low <= v && v <= high; }
    std::int32_t Middle() const { return std::int32_t((std::int64_t(high) + low) / 2); }

    std::int32_t low;
    std::int32_t high;
};
