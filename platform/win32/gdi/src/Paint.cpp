#include "Paint.h"

#include <algorithm>
#include <cmath>

#include "win32/DeviceRange.h"

namespace sdgdi {

namespace {

std::int64_t mod(std::int64_t a, std::int64_t m) {
    std::int64_t r = a % m;
    return r < 0 ? r + m : r;
}

// 8×8 hatch cells: true where the hatch line runs.
bool hatchBit(int hatch, int x, int y) {
    switch (hatch) {
    case HS_HORIZONTAL: return y == 7;
    case HS_VERTICAL: return x == 7;
    case HS_FDIAGONAL: return x == y;
    case HS_BDIAGONAL: return x + y == 7;
    case HS_CROSS: return x == 7 || y == 7;
    case HS_DIAGCROSS: return x == y || x + y == 7;
    default: return false;
    }
}

// PALETTEINDEX colours name an entry of the selected palette; on a colour surface that
// entry's colour is drawn.
COLORREF resolve(DeviceContext& dc, COLORREF c) {
    if ((c & 0xFF000000u) == 0x01000000u) {
        Surface* s = dc.surface();
        if (s && s->indexed()) return c;
        const auto& pal = dc.st.palette;
        std::size_t i = c & 0xFFFF;
        if (pal && i < pal->entries.size())
            return RGB(pal->entries[i].peRed, pal->entries[i].peGreen, pal->entries[i].peBlue);
        return 0;
    }
    return c & 0xFFFFFF;
}

const std::vector<int>& dashPattern(UINT style) {
    static const std::vector<int> none, dash{18, 6}, dot{3, 3}, dashDot{9, 6, 3, 6},
        dashDotDot{9, 3, 3, 3, 3, 3};
    switch (style) {
    case PS_DASH: return dash;
    case PS_DOT: return dot;
    case PS_DASHDOT: return dashDot;
    case PS_DASHDOTDOT: return dashDotDot;
    default: return none;
    }
}

} // namespace

Ink Ink::solid(DeviceContext& dc, COLORREF color) {
    Ink ink;
    Surface* s = dc.surface();
    ink.raw_ = s ? s->rawFromColor(resolve(dc, color)) : 0;
    return ink;
}

Ink Ink::brush(DeviceContext& dc, const BrushObject* b) {
    Ink ink;
    Surface* s = dc.surface();
    if (!b || b->style == BS_NULL || !s) {
        ink.none = true;
        return ink;
    }
    ink.ox_ = dc.st.brushOrg.x;
    ink.oy_ = dc.st.brushOrg.y;
    if (b->style == BS_SOLID) {
        ink.raw_ = s->rawFromColor(resolve(dc, b->color));
        return ink;
    }
    ink.patterned_ = true;
    if (b->style == BS_HATCHED) {
        ink.pw_ = ink.ph_ = 8;
        std::uint32_t fg = s->rawFromColor(resolve(dc, b->color));
        std::uint32_t bg = s->rawFromColor(resolve(dc, dc.st.bkColor));
        bool opaque = dc.st.bkMode == OPAQUE;
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) {
                bool on = hatchBit(b->hatch, x, y);
                ink.pattern_.push_back(on ? fg : bg);
                ink.opaque_.push_back(on || opaque);
            }
        return ink;
    }
    // Pattern bitmap.
    const Surface& p = *b->pattern;
    ink.pw_ = p.width();
    ink.ph_ = p.height();
    std::uint32_t fg = s->rawFromColor(resolve(dc, dc.st.textColor));
    std::uint32_t bg = s->rawFromColor(resolve(dc, dc.st.bkColor));
    for (int y = 0; y < ink.ph_; ++y)
        for (int x = 0; x < ink.pw_; ++x) {
            std::uint32_t v = p.get(x, y);
            ink.pattern_.push_back(p.monoDdb ? (v ? bg : fg) : s->rawFromColor(p.colorFromRaw(v)));
            ink.opaque_.push_back(1);
        }
    return ink;
}

bool Ink::at(std::int64_t x, std::int64_t y, std::uint32_t& raw) const {
    if (!patterned_) {
        raw = raw_;
        return true;
    }
    std::size_t i = std::size_t(mod(y - oy_, ph_) * pw_ + mod(x - ox_, pw_));
    raw = pattern_[i];
    return opaque_[i] != 0;
}

Painter::Painter(DeviceContext& dc, const Ink& ink)
    : dc_(dc), s_(dc.surface()), ink_(ink), rop2_(dc.st.rop2), rects_(dc.clipRects()) {
    if (!s_ || rects_.empty() || ink.none) return;
    bounds_ = PixelBox{rects_.front().x1, rects_.front().y1, rects_.front().x2,
                       rects_.back().y2};
    for (const auto& r : rects_) {
        bounds_.left = std::min<std::int64_t>(bounds_.left, r.x1);
        bounds_.right = std::max<std::int64_t>(bounds_.right, r.x2);
    }
}

void Painter::paintRow(int y, int x0, int x1) {
    std::uint32_t mask = s_->rawMask();
    if (rop2_ == R2_COPYPEN && ink_.uniform()) {
        std::uint32_t raw;
        ink_.at(x0, y, raw);
        s_->fillRow(y, x0, x1, raw & mask);
        return;
    }
    for (int x = x0; x < x1; ++x) {
        std::uint32_t p;
        if (!ink_.at(x, y, p)) continue;
        if (rop2_ == R2_COPYPEN)
            s_->set(x, y, p & mask);
        else
            s_->set(x, y, applyRop2(rop2_, p, s_->get(x, y), mask));
    }
}

void Painter::span(std::int64_t y0, std::int64_t y1, std::int64_t x0, std::int64_t x1) {
    if (bounds_.empty()) return;
    y0 = std::max(y0, bounds_.top);
    y1 = std::min(y1, bounds_.bottom);
    x0 = std::max(x0, bounds_.left);
    x1 = std::min(x1, bounds_.right);
    if (x0 >= x1) return;
    for (std::int64_t y = y0; y < y1; ++y) {
        // First rectangle of the band holding row y.
        auto it = std::upper_bound(rects_.begin(), rects_.end(), y,
                                   [](std::int64_t v, const pixman_box32_t& r) { return v < r.y2; });
        for (; it != rects_.end() && it->y1 <= y; ++it) {
            std::int64_t a = std::max<std::int64_t>(x0, it->x1), b = std::min<std::int64_t>(x1, it->x2);
            if (a < b) paintRow(int(y), int(a), int(b));
        }
    }
}

void Painter::pixel(std::int64_t x, std::int64_t y) {
    span(y, y + 1, x, x + 1);
}

void fillWithBrush(DeviceContext& dc, const std::vector<FixPolygon>& polygons, bool winding) {
    if (!dc.draws()) return;
    Ink ink = Ink::brush(dc, dc.st.brush.get());
    if (ink.none) return;
    Painter painter(dc, ink);
    fillPolygons(polygons, winding, painter.bounds(), painter.sink());
}

double penDeviceWidth(DeviceContext& dc) {
    const PenObject* pen = dc.st.pen.get();
    if (!pen || pen->dash() == PS_NULL) return 0;
    if ((pen->style & PS_TYPE_MASK) == PS_COSMETIC && pen->width <= 1) return 1;
    // A device width is a device length: at most the device range, as under a world
    // transform of strong zoom; not a number (an overflowing transform) draws the thinnest.
    const double w = pen->width * dc.lengthScale();
    if (!(w >= 1)) return 1;
    return std::min(w, double(SdDeviceMax));
}

void strokeWithPen(DeviceContext& dc, const std::vector<std::vector<FixPoint>>& polylines,
                   const std::vector<bool>& closed) {
    if (!dc.draws()) return;
    const PenObject* pen = dc.st.pen.get();
    double w = penDeviceWidth(dc);
    if (w <= 0) return;
    Ink ink = Ink::solid(dc, pen->color);
    Painter painter(dc, ink);
    if (painter.bounds().empty()) return;
    if (w > 1.5) {
        // Wide: the union of the stroke's polygons, each pixel painted once.
        std::vector<FixPolygon> polys;
        StrokeStyle style{std::floor(w + 0.5), pen->style & PS_ENDCAP_MASK,
                          pen->style & PS_JOIN_MASK};
        if ((pen->style & PS_TYPE_MASK) == PS_COSMETIC) style = {style.width, PS_ENDCAP_ROUND, PS_JOIN_ROUND};
        const PixelBox visible = painter.bounds();
        for (std::size_t i = 0; i < polylines.size(); ++i)
            if (strokePolyline(polylines[i], i < closed.size() && closed[i], style, polys, &visible))
                break;
        fillPolygons(polys, true, visible, painter.sink());
        return;
    }
    const std::vector<int>& dashes = dashPattern(pen->dash());
    int period = 0;
    for (int d : dashes) period += d;
    Ink gapInk = Ink::solid(dc, dc.st.bkColor);
    Painter gapPainter(dc, gapInk);
    bool opaqueGaps = dc.st.bkMode == OPAQUE;
    for (std::size_t k = 0; k < polylines.size(); ++k) {
        const auto& pts = polylines[k];
        std::int64_t styleOffset = 0;
        std::size_t n = pts.size();
        std::size_t segs = (k < closed.size() && closed[k] && n > 2) ? n : (n ? n - 1 : 0);
        for (std::size_t i = 0; i < segs; ++i) {
            const FixPoint& a = pts[i];
            const FixPoint& b = pts[(i + 1) % n];
            // The pixel whose centre is nearest.
            auto px = [](std::int64_t v) {
                std::int64_t q = v / kFix;
                if (v % kFix < 0) --q;
                return q;
            };
            std::int64_t x0 = px(a.x), y0 = px(a.y), x1 = px(b.x), y1 = px(b.y);
            std::int64_t base = styleOffset;
            linePixels(x0, y0, x1, y1, painter.bounds(),
                       [&](std::int64_t x, std::int64_t y, std::int64_t step) {
                           if (period == 0) {
                               painter.pixel(x, y);
                               return;
                           }
                           std::int64_t pos = (base + step) % period;
                           bool on = true;
                           for (std::size_t d = 0; d < dashes.size(); ++d) {
                               if (pos < dashes[d]) {
                                   on = (d % 2) == 0;
                                   break;
                               }
                               pos -= dashes[d];
                           }
                           if (on)
                               painter.pixel(x, y);
                           else if (opaqueGaps)
                               gapPainter.pixel(x, y);
                       });
            if (period) styleOffset = (base + lineLength(x0, y0, x1, y1)) % period;
        }
    }
}

} // namespace sdgdi
