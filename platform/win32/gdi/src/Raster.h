#pragma once
// The scanline rasteriser. Pixel rules, as the platform draws:
// - Polygon vertices are in 1/16 pixel (28.4 fixed point, 64-bit); the integer device point
//   (x, y) is the top-left corner of pixel (x, y), so its fixed point is (16x, 16y).
// - A pixel is inside when its centre (16x + 8, 16y + 8) is inside. A centre exactly on a
//   left or top edge is inside, on a right or bottom edge outside: a rectangle polygon
//   (0,0)-(10,0)-(10,10)-(0,10) covers pixels 0..9 × 0..9.
// - ALTERNATE counts crossings, WINDING the signed winding number.
// - Cosmetic lines step one pixel along the major axis, the minor coordinate of step i being
//   the start's plus floor((2i·|minor| + |major|) / (2·|major|)); the last pixel is not drawn.
// - Wide lines are polygons around the centre line through the pixel centres.
// All arithmetic is integer (128-bit where products need it): far-off points clip, never wrap.

#include <cstdint>
#include <functional>
#include <vector>

namespace sdgdi {

constexpr std::int64_t kFix = 16;

struct FixPoint {
    std::int64_t x;
    std::int64_t y;
};
using FixPolygon = std::vector<FixPoint>;

// Pixel rectangle [left, right) × [top, bottom).
struct PixelBox {
    std::int64_t left;
    std::int64_t top;
    std::int64_t right;
    std::int64_t bottom;
    bool empty() const { return right <= left || bottom <= top; }
};

// Receives rows [y0, y1) covered on [x0, x1), all inside the bounds given to the rasteriser.
// Rows come in increasing order; the spans of one row in increasing x.
using SpanSink = std::function<void(std::int64_t y0, std::int64_t y1, std::int64_t x0,
                                    std::int64_t x1)>;

void fillPolygons(const std::vector<FixPolygon>& polygons, bool winding, const PixelBox& bounds,
                  const SpanSink& sink);

// The pixels of a cosmetic line from (x0, y0) towards (x1, y1), without the last, inside the
// bounds; `step` is the pixel's index along the line (for dash patterns).
using PixelSink = std::function<void(std::int64_t x, std::int64_t y, std::int64_t step)>;
void linePixels(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1,
                const PixelBox& bounds, const PixelSink& sink);
// Number of pixels linePixels steps over (clipped or not).
std::int64_t lineLength(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1);

// Wide-line geometry, in pixel-centre fixed point. Caps and joins follow PS_ENDCAP_* and
// PS_JOIN_*; every polygon is oriented the same way so that WINDING fills their union.
struct StrokeStyle {
    double width;
    unsigned endCap;
    unsigned join;
};
// With `visible` (the pixels that can be painted) pieces wholly outside it are left out, and
// once one piece covers all of it the rest is skipped and true returned: out then holds the
// visible box as one more polygon. The painted pixels are the same either way; the work of
// a pen far wider than the surface stays bounded.
bool strokePolyline(const std::vector<FixPoint>& points, bool closed, const StrokeStyle& style,
                    std::vector<FixPolygon>& out, const PixelBox* visible = nullptr);

// A circle or ellipse as a polygon of enough vertices to stay within 1/8 pixel.
FixPolygon ellipsePolygon(double cx, double cy, double rx, double ry);

// Bezier flattening in fixed point (1/16 pixel); appends the points after p0.
void flattenBezier(const FixPoint& p0, const FixPoint& c1, const FixPoint& c2, const FixPoint& p3,
                   std::vector<FixPoint>& out);

} // namespace sdgdi
