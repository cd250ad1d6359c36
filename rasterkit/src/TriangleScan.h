#pragma once
// Which destination pixels a triangle covers. Corners are in 1/256 pixel; a pixel belongs to
// the triangle when its centre lies inside, or on an edge that is a top or left edge (GDI's
// convention). Triangles that share an edge therefore never both take a pixel on it, and a
// mesh without folds covers each pixel once. Coordinates are limited to +-2^22 pixels, so the
// edge products fit 64 bits.

#include <algorithm>
#include <cstdint>
#include <utility>

struct FixedPoint {
    std::int64_t x;
    std::int64_t y;
};

constexpr std::int64_t kScanLimit = std::int64_t(1) << 30; // 2^22 pixels in 1/256

inline std::int64_t EdgeValue(FixedPoint a, FixedPoint b, std::int64_t px, std::int64_t py) {
    return (b.x - a.x) * (py - a.y) - (b.y - a.y) * (px - a.x);
}

// Calls pixel(x, y) for every covered pixel with 0 <= x < width, 0 <= y < height.
template <class F>
void ScanTriangle(FixedPoint a, FixedPoint b, FixedPoint c, int width, int height, F&& pixel) {
    for (FixedPoint p : {a, b, c})
        if (p.x <= -kScanLimit || p.x >= kScanLimit || p.y <= -kScanLimit || p.y >= kScanLimit)
            return;
    std::int64_t area = EdgeValue(a, b, c.x, c.y);
    if (area == 0) return;
    if (area < 0) std::swap(b, c);
    // With this orientation an edge a -> b is top or left when it runs upward, or along a row
    // to the right: exactly one of two opposite edges qualifies.
    auto topLeft = [](FixedPoint p, FixedPoint q) {
        return q.y < p.y || (q.y == p.y && q.x > p.x);
    };
    const bool t0 = topLeft(a, b), t1 = topLeft(b, c), t2 = topLeft(c, a);
    auto floorDiv = [](std::int64_t v) { return v >= 0 ? v / 256 : -((-v + 255) / 256); };
    const std::int64_t x0 = std::max<std::int64_t>(floorDiv(std::min({a.x, b.x, c.x})) - 1, 0);
    const std::int64_t x1 = std::min<std::int64_t>(floorDiv(std::max({a.x, b.x, c.x})) + 1, width - 1);
    const std::int64_t y0 = std::max<std::int64_t>(floorDiv(std::min({a.y, b.y, c.y})) - 1, 0);
    const std::int64_t y1 = std::min<std::int64_t>(floorDiv(std::max({a.y, b.y, c.y})) + 1, height - 1);
    for (std::int64_t y = y0; y <= y1; ++y) {
        const std::int64_t py = y * 256 + 128;
        for (std::int64_t x = x0; x <= x1; ++x) {
            const std::int64_t px = x * 256 + 128;
            const std::int64_t e0 = EdgeValue(a, b, px, py), e1 = EdgeValue(b, c, px, py),
                               e2 = EdgeValue(c, a, px, py);
            if ((e0 > 0 || (e0 == 0 && t0)) && (e1 > 0 || (e1 == 0 && t1)) &&
                (e2 > 0 || (e2 == 0 && t2)))
                pixel(int(x), int(y));
        }
    }
}
