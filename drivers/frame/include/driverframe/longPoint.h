#pragma once
// A point in device steps. The drivers carry their own copy of this class.

#include <cstdint>

class longPoint {
public:
    longPoint() = default;
    longPoint(std::int32_t px, std::int32_t py) : x(px), y(py) {}

    void Fill(std::int32_t px, std::int32_t py) {
        x = px;
        y = py;
    }
    longPoint& This() { return *this; }

    longPoint operator+(const longPoint& p) const;
    longPoint operator-(const longPoint& p) const;
    longPoint& operator+=(const longPoint& p);
    longPoint& operator-=(const longPoint& p);
    // Each coordinate scaled and truncated toward zero; results beyond the 32-bit range
    // saturate, and a NaN result gives 0.
    longPoint operator*(double f) const;
    longPoint operator/(double f) const;

    bool operator==(const longPoint& p) const { return x == p.x && y == p.y; }
    bool operator!=(const longPoint& p) const { return !(*this == p); }

    std::int32_t x = 0;
    std::int32_t y = 0;
};
