#pragma once
// A point in device steps whose arithmetic saturates: a device is handed every coordinate,
// however far out, and a sum beyond the 32-bit range must not wrap around to the other side.
// (The path library's longPoint is the plain value, without arithmetic.)

#include <cstdint>

class SaturatingPoint {
public:
    SaturatingPoint() = default;
    SaturatingPoint(std::int32_t px, std::int32_t py) : x(px), y(py) {}

    void Fill(std::int32_t px, std::int32_t py) {
        x = px;
        y = py;
    }
    SaturatingPoint& This() { return *this; }

    SaturatingPoint operator+(const SaturatingPoint& p) const;
    SaturatingPoint operator-(const SaturatingPoint& p) const;
    SaturatingPoint& operator+=(const SaturatingPoint& p);
    SaturatingPoint& operator-=(const SaturatingPoint& p);
    // Each coordinate scaled and truncated toward zero; results beyond the 32-bit range
    // saturate, and a NaN result gives 0.
    SaturatingPoint operator*(double f) const;
    SaturatingPoint operator/(double f) const;

    bool operator==(const SaturatingPoint& p) const { return x == p.x && y == p.y; }
    bool operator!=(const SaturatingPoint& p) const { return !(*this == p); }

    std::int32_t x = 0;
    std::int32_t y = 0;
};
