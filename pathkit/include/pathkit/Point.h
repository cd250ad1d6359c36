#pragma once
// Points of the design (float millimetres) and of device and integer space.

#include <cstdint>

#include "pathkit/export.h"

class PATHKIT_API floatPoint {
public:
    floatPoint() : x(0), y(0) {}
    floatPoint(float x, float y) : x(x), y(y) {}

    void Fill(float nx, float ny) {
        x = nx;
        y = ny;
    }

    floatPoint operator+(const floatPoint& p) const { return floatPoint(x + p.x, y + p.y); }
    floatPoint operator-(const floatPoint& p) const { return floatPoint(x - p.x, y - p.y); }
    floatPoint& operator+=(const floatPoint& p) {
        x += p.x;
        y += p.y;
        return *this;
    }
    floatPoint& operator-=(const floatPoint& p) {
        x -= p.x;
        y -= p.y;
        return *this;
    }
    floatPoint operator*(double f) const { return floatPoint(float(x * f), float(y * f)); }
    floatPoint operator/(double f) const { return floatPoint(float(x / f), float(y / f)); }

    // Exact comparison.
    bool operator==(const floatPoint& p) const { return x == p.x && y == p.y; }
    bool operator!=(const floatPoint& p) const { return !(*this == p); }

    float x;
    float y;
};

class PATHKIT_API intPoint {
public:
    intPoint() : x(0), y(0) {}
    void Fill(int nx, int ny) {
        x = nx;
        y = ny;
    }

    int x;
    int y;
};

// Device coordinates; 32 bits as on the original platform.
class PATHKIT_API longPoint {
public:
    longPoint() : x(0), y(0) {}
    void Fill(std::int32_t nx, std::int32_t ny) {
        x = nx;
        y = ny;
    }

    std::int32_t x;
    std::int32_t y;
};
