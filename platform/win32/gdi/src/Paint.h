#pragma once
// Putting pixels on a context's surface: spans and single pixels clipped to the context's
// clip rectangles, with a solid or brush ink, through the binary raster operation.

#include <cstdint>

#include "DeviceContext.h"
#include "Raster.h"

namespace sdgdi {

// Binary operation on raw values: result bit = bit ((P << 1) | D) of (rop2 - 1).
inline std::uint32_t applyRop2(int rop2, std::uint32_t p, std::uint32_t d, std::uint32_t mask) {
    unsigned t = unsigned(rop2 - 1) & 0xF;
    std::uint32_t r = 0;
    if (t & 1) r |= ~p & ~d;
    if (t & 2) r |= ~p & d;
    if (t & 4) r |= p & ~d;
    if (t & 8) r |= p & d;
    return r & mask;
}

// Ternary operation: result bit = bit ((P << 2) | (S << 1) | D) of the rop's bits 16..23.
inline std::uint32_t applyRop3(DWORD rop, std::uint32_t p, std::uint32_t s, std::uint32_t d,
                               std::uint32_t mask) {
    unsigned t = (rop >> 16) & 0xFF;
    switch (t) {
    case 0xCC: return s & mask;
    case 0xF0: return p & mask;
    case 0x00: return 0;
    case 0xFF: return mask;
    default: break;
    }
    std::uint32_t r = 0;
    for (unsigned i = 0; i < 8; ++i) {
        if (!(t & (1u << i))) continue;
        std::uint32_t term = ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
        r |= term;
    }
    return r & mask;
}
inline bool rop3UsesSource(DWORD rop) {
    unsigned t = (rop >> 16) & 0xFF;
    return ((t >> 2) & 0x33) != (t & 0x33);
}
inline bool rop3UsesPattern(DWORD rop) {
    unsigned t = (rop >> 16) & 0xFF;
    return ((t >> 4) & 0x0F) != (t & 0x0F);
}

// What a span is painted with.
class Ink {
public:
    // A solid colour.
    static Ink solid(DeviceContext& dc, COLORREF color);
    // The context's brush (null brush: nothing painted).
    static Ink brush(DeviceContext& dc, const BrushObject* brush);
    bool none = false;
    // Raw value at a device pixel; false where a hatch gap is transparent.
    bool at(std::int64_t x, std::int64_t y, std::uint32_t& raw) const;
    bool uniform() const { return !patterned_; }

private:
    bool patterned_ = false;
    std::uint32_t raw_ = 0;
    std::vector<std::uint32_t> pattern_;
    std::vector<std::uint8_t> opaque_;
    int pw_ = 0, ph_ = 0;
    std::int64_t ox_ = 0, oy_ = 0;
};

// Paints device spans / pixels with the ink through the context's ROP2, clipped.
class Painter {
public:
    Painter(DeviceContext& dc, const Ink& ink);
    void span(std::int64_t y0, std::int64_t y1, std::int64_t x0, std::int64_t x1);
    void pixel(std::int64_t x, std::int64_t y);
    // Bounds of everything that may be painted.
    PixelBox bounds() const { return bounds_; }
    SpanSink sink() {
        return [this](std::int64_t y0, std::int64_t y1, std::int64_t x0, std::int64_t x1) {
            span(y0, y1, x0, x1);
        };
    }

private:
    void paintRow(int y, int x0, int x1);
    DeviceContext& dc_;
    Surface* s_;
    const Ink& ink_;
    int rop2_;
    const std::vector<pixman_box32_t>& rects_;
    PixelBox bounds_{0, 0, 0, 0};
};

// Fills polygons (fixed point) with the brush; polygons' orientation and fill mode as given.
void fillWithBrush(DeviceContext& dc, const std::vector<FixPolygon>& polygons, bool winding);
// Strokes with the pen: each polyline in pixel-centre fixed point; cosmetic pens step
// pixels, wide pens fill their outline.
void strokeWithPen(DeviceContext& dc, const std::vector<std::vector<FixPoint>>& polylines,
                   const std::vector<bool>& closed);
// The pen's device width in pixels, from 1 to the device range's end; 0 for a null pen.
double penDeviceWidth(DeviceContext& dc);

} // namespace sdgdi
