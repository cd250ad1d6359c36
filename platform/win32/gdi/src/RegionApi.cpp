// Regions (banded rectangle sets in device pixels, pixman_region32 doing the set algebra,
// fed by our scan converter) and clipping.

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "GdiPath.h"
#include "GdiSettings.h"
#include "Paint.h"
#include "MetaRecorder.h"

using namespace sdgdi;

namespace {

// pixman keeps 32-bit boxes; a region is limited to this range so that every box fits.
constexpr std::int64_t kRegionLimit = std::int64_t(1) << 30;
// Polygons are scan-converted row by row: within ±2^20 pixels (far beyond any page or view),
// so that far-off points cost bounded time and memory.
constexpr std::int64_t kScanLimit = std::int64_t(1) << 20;

std::int32_t clampCoord(std::int64_t v) {
    return std::int32_t(std::clamp(v, -kRegionLimit, kRegionLimit));
}

int complexity(const pixman_region32_t* r) {
    int n = pixman_region32_n_rects(const_cast<pixman_region32_t*>(r));
    return n == 0 ? NULLREGION : n == 1 ? SIMPLEREGION : COMPLEXREGION;
}

HRGN newRegion(std::shared_ptr<RegionObject>& out) {
    out = std::make_shared<RegionObject>();
    return static_cast<HRGN>(registerObject(out));
}

void setRect(pixman_region32_t* r, std::int64_t l, std::int64_t t, std::int64_t rt, std::int64_t b) {
    if (l > rt) std::swap(l, rt);
    if (t > b) std::swap(t, b);
    std::int32_t x0 = clampCoord(l), y0 = clampCoord(t), x1 = clampCoord(rt), y1 = clampCoord(b);
    pixman_region32_fini(r);
    if (x1 > x0 && y1 > y0)
        // A rectangle across the whole region range is 2^31 wide: more than an int holds.
        pixman_region32_init_rect(r, x0, y0, unsigned(std::int64_t(x1) - x0),
                                  unsigned(std::int64_t(y1) - y0));
    else
        pixman_region32_init(r);
}

} // namespace

bool sdgdi::regionFromPolygons(const std::vector<FixPolygon>& polygons, bool winding,
                               pixman_region32_t* out) {
    // Spans row by row; consecutive rows with equal spans merge into one band.
    std::vector<pixman_box32_t> boxes;
    std::vector<pixman_box32_t> band, row;
    std::int64_t bandY0 = 0, bandY1 = 0, rowY0 = 0, rowY1 = 0;
    bool haveRow = false;
    auto emitBand = [&]() {
        for (pixman_box32_t b : band) {
            b.y1 = std::int32_t(bandY0);
            b.y2 = std::int32_t(bandY1);
            boxes.push_back(b);
        }
        band.clear();
    };
    auto endRow = [&]() {
        if (!haveRow) return;
        bool same = !band.empty() && bandY1 == rowY0 && band.size() == row.size() &&
                    std::equal(band.begin(), band.end(), row.begin(),
                               [](const pixman_box32_t& a, const pixman_box32_t& b) {
                                   return a.x1 == b.x1 && a.x2 == b.x2;
                               });
        if (same) {
            bandY1 = rowY1;
        } else {
            emitBand();
            band = row;
            bandY0 = rowY0;
            bandY1 = rowY1;
        }
        row.clear();
        haveRow = false;
    };
    PixelBox bounds{-kScanLimit, -kScanLimit, kScanLimit, kScanLimit};
    fillPolygons(polygons, winding, bounds,
                 [&](std::int64_t y0, std::int64_t y1, std::int64_t x0, std::int64_t x1) {
                     if (haveRow && (y0 != rowY0 || y1 != rowY1)) endRow();
                     if (!haveRow) {
                         rowY0 = y0;
                         rowY1 = y1;
                         haveRow = true;
                     }
                     // Touching spans of one row join.
                     if (!row.empty() && row.back().x2 >= x0) {
                         row.back().x2 = std::max<std::int32_t>(row.back().x2, std::int32_t(x1));
                         return;
                     }
                     row.push_back(pixman_box32_t{std::int32_t(x0), 0, std::int32_t(x1), 0});
                 });
    endRow();
    emitBand();
    pixman_region32_fini(out);
    if (!pixman_region32_init_rects(out, boxes.data(), int(boxes.size()))) {
        pixman_region32_init(out);
        return false;
    }
    return true;
}

HRGN CreateRectRgn(int left, int top, int right, int bottom) {
    if (injectedFailure("CreateRectRgn")) return nullptr;
    std::shared_ptr<RegionObject> r;
    HRGN h = newRegion(r);
    setRect(&r->region, left, top, right, bottom);
    return h;
}

HRGN CreateRectRgnIndirect(const RECT* rect) {
    if (!rect) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return CreateRectRgn(rect->left, rect->top, rect->right, rect->bottom);
}

namespace {

HRGN polygonRegion(const std::vector<FixPolygon>& polys, int mode, const char* name) {
    if (mode != ALTERNATE && mode != WINDING) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (injectedFailure(name)) return nullptr;
    auto r = std::make_shared<RegionObject>();
    if (!regionFromPolygons(polys, mode == WINDING, &r->region)) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    return static_cast<HRGN>(registerObject(r));
}

FixPolygon fixPolygon(const POINT* p, int n) {
    FixPolygon f;
    f.reserve(std::size_t(n));
    for (int i = 0; i < n; ++i) f.push_back(FixPoint{std::int64_t(p[i].x) * kFix, std::int64_t(p[i].y) * kFix});
    return f;
}

} // namespace

HRGN CreatePolygonRgn(const POINT* points, int count, int mode) {
    if (!points || count < 2) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return polygonRegion({fixPolygon(points, count)}, mode, "CreatePolygonRgn");
}

HRGN CreatePolyPolygonRgn(const POINT* points, const INT* counts, int polygons, int mode) {
    if (!points || !counts || polygons < 1) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::vector<FixPolygon> polys;
    const POINT* p = points;
    for (int i = 0; i < polygons; ++i) {
        if (counts[i] < 2) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
        }
        polys.push_back(fixPolygon(p, counts[i]));
        p += counts[i];
    }
    return polygonRegion(polys, mode, "CreatePolyPolygonRgn");
}

HRGN CreateEllipticRgn(int left, int top, int right, int bottom) {
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    double cx = (double(left) + right) / 2 * kFix, cy = (double(top) + bottom) / 2 * kFix;
    double rx = (double(right) - left) / 2 * kFix, ry = (double(bottom) - top) / 2 * kFix;
    return polygonRegion({ellipsePolygon(cx, cy, rx, ry)}, ALTERNATE, "CreateEllipticRgn");
}

HRGN CreateRoundRectRgn(int left, int top, int right, int bottom, int width, int height) {
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    double ew = std::min<double>(std::abs(width), double(right) - left) / 2;
    double eh = std::min<double>(std::abs(height), double(bottom) - top) / 2;
    FixPolygon p;
    auto quarter = [&](double cx, double cy, double a0) {
        for (int i = 0; i <= 16; ++i) {
            double t = a0 + M_PI / 2 * i / 16;
            p.push_back(FixPoint{std::int64_t(std::lround((cx + ew * std::cos(t)) * kFix)),
                                 std::int64_t(std::lround((cy - eh * std::sin(t)) * kFix))});
        }
    };
    quarter(right - ew, top + eh, 0);
    quarter(left + ew, top + eh, M_PI / 2);
    quarter(left + ew, bottom - eh, M_PI);
    quarter(right - ew, bottom - eh, 3 * M_PI / 2);
    return polygonRegion({p}, ALTERNATE, "CreateRoundRectRgn");
}

HRGN ExtCreateRegion(const XFORM* xform, DWORD size, const RGNDATA* data) {
    if (!data || size < sizeof(RGNDATAHEADER) || data->rdh.iType != RDH_RECTANGLES ||
        data->rdh.dwSize < sizeof(RGNDATAHEADER) ||
        data->rdh.nCount > (size - data->rdh.dwSize) / sizeof(RECT)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (injectedFailure("ExtCreateRegion")) return nullptr;
    auto r = std::make_shared<RegionObject>();
    const char* rects = reinterpret_cast<const char*>(data) + data->rdh.dwSize;
    for (DWORD i = 0; i < data->rdh.nCount; ++i) {
        RECT rc;
        std::memcpy(&rc, rects + i * sizeof(RECT), sizeof rc);
        if (xform) {
            // Only scale and translation keep rectangles rectangles.
            double x0 = rc.left * xform->eM11 + xform->eDx, y0 = rc.top * xform->eM22 + xform->eDy;
            double x1 = rc.right * xform->eM11 + xform->eDx, y1 = rc.bottom * xform->eM22 + xform->eDy;
            auto at = [](double v) { return SdDeviceCoord(std::round(v)); };
            rc = RECT{at(x0), at(y0), at(x1), at(y1)};
        }
        pixman_region32_t one;
        pixman_region32_init(&one);
        setRect(&one, rc.left, rc.top, rc.right, rc.bottom);
        pixman_region32_union(&r->region, &r->region, &one);
        pixman_region32_fini(&one);
    }
    return static_cast<HRGN>(registerObject(r));
}

int CombineRgn(HRGN dest, HRGN a, HRGN b, int mode) {
    auto d = findAs<RegionObject>(dest, OBJ_REGION);
    auto ra = findAs<RegionObject>(a, OBJ_REGION);
    if (!d || !ra) return ERROR;
    std::shared_ptr<RegionObject> rb;
    if (mode != RGN_COPY && !(rb = findAs<RegionObject>(b, OBJ_REGION))) return ERROR;
    if (mode < RGN_AND || mode > RGN_COPY) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return ERROR;
    }
    if (injectedFailure("CombineRgn")) return ERROR;
    pixman_region32_t result;
    pixman_region32_init(&result);
    bool ok = true;
    switch (mode) {
    case RGN_AND: ok = pixman_region32_intersect(&result, &ra->region, &rb->region); break;
    case RGN_OR: ok = pixman_region32_union(&result, &ra->region, &rb->region); break;
    case RGN_DIFF: ok = pixman_region32_subtract(&result, &ra->region, &rb->region); break;
    case RGN_COPY: ok = pixman_region32_copy(&result, &ra->region); break;
    case RGN_XOR: {
        pixman_region32_t u, i;
        pixman_region32_init(&u);
        pixman_region32_init(&i);
        ok = pixman_region32_union(&u, &ra->region, &rb->region) &&
             pixman_region32_intersect(&i, &ra->region, &rb->region) &&
             pixman_region32_subtract(&result, &u, &i);
        pixman_region32_fini(&u);
        pixman_region32_fini(&i);
        break;
    }
    }
    if (!ok) {
        pixman_region32_fini(&result);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return ERROR;
    }
    pixman_region32_fini(&d->region);
    d->region = result; // the destination takes over the result's storage
    return complexity(&d->region);
}

BOOL SetRectRgn(HRGN rgn, int left, int top, int right, int bottom) {
    auto r = findAs<RegionObject>(rgn, OBJ_REGION);
    if (!r) return FALSE;
    setRect(&r->region, left, top, right, bottom);
    return TRUE;
}

int OffsetRgn(HRGN rgn, int dx, int dy) {
    auto r = findAs<RegionObject>(rgn, OBJ_REGION);
    if (!r) return ERROR;
    pixman_box32_t* e = pixman_region32_extents(&r->region);
    if (pixman_region32_not_empty(&r->region) &&
        (std::int64_t(e->x1) + dx < -kRegionLimit || std::int64_t(e->x2) + dx > kRegionLimit ||
         std::int64_t(e->y1) + dy < -kRegionLimit || std::int64_t(e->y2) + dy > kRegionLimit)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return ERROR;
    }
    pixman_region32_translate(&r->region, dx, dy);
    return complexity(&r->region);
}

int GetRgnBox(HRGN rgn, LPRECT rect) {
    auto r = findAs<RegionObject>(rgn, OBJ_REGION);
    if (!r || !rect) return ERROR;
    if (!pixman_region32_not_empty(&r->region)) {
        *rect = RECT{0, 0, 0, 0};
        return NULLREGION;
    }
    pixman_box32_t* e = pixman_region32_extents(&r->region);
    *rect = RECT{e->x1, e->y1, e->x2, e->y2};
    return complexity(&r->region);
}

BOOL EqualRgn(HRGN a, HRGN b) {
    auto ra = findAs<RegionObject>(a, OBJ_REGION);
    auto rb = findAs<RegionObject>(b, OBJ_REGION);
    if (!ra || !rb) return ERROR;
    return pixman_region32_equal(&ra->region, &rb->region) ? TRUE : FALSE;
}

BOOL PtInRegion(HRGN rgn, int x, int y) {
    auto r = findAs<RegionObject>(rgn, OBJ_REGION);
    if (!r) return FALSE;
    return pixman_region32_contains_point(&r->region, x, y, nullptr) ? TRUE : FALSE;
}

BOOL RectInRegion(HRGN rgn, const RECT* rect) {
    auto r = findAs<RegionObject>(rgn, OBJ_REGION);
    if (!r || !rect) return FALSE;
    pixman_box32_t b{std::min(rect->left, rect->right), std::min(rect->top, rect->bottom),
                     std::max(rect->left, rect->right), std::max(rect->top, rect->bottom)};
    if (b.x1 == b.x2 || b.y1 == b.y2) return FALSE;
    return pixman_region32_contains_rectangle(&r->region, &b) != PIXMAN_REGION_OUT;
}

DWORD GetRegionData(HRGN rgn, DWORD size, RGNDATA* data) {
    auto r = findAs<RegionObject>(rgn, OBJ_REGION);
    if (!r) return 0;
    int n = 0;
    pixman_box32_t* boxes = pixman_region32_rectangles(&r->region, &n);
    DWORD needed = DWORD(sizeof(RGNDATAHEADER) + std::size_t(n) * sizeof(RECT));
    if (!data || size < needed) return needed;
    RGNDATAHEADER h{};
    h.dwSize = sizeof(RGNDATAHEADER);
    h.iType = RDH_RECTANGLES;
    h.nCount = DWORD(n);
    h.nRgnSize = DWORD(std::size_t(n) * sizeof(RECT));
    if (n) {
        pixman_box32_t* e = pixman_region32_extents(&r->region);
        h.rcBound = RECT{e->x1, e->y1, e->x2, e->y2};
    }
    std::memcpy(data, &h, sizeof h);
    char* out = reinterpret_cast<char*>(data) + sizeof h;
    for (int i = 0; i < n; ++i) {
        RECT rc{boxes[i].x1, boxes[i].y1, boxes[i].x2, boxes[i].y2};
        std::memcpy(out + std::size_t(i) * sizeof(RECT), &rc, sizeof rc);
    }
    return needed;
}

namespace {

BOOL paintRegion(HDC dc, HRGN rgn, const BrushObject* brush, int rop2, const char* name) {
    auto d = dcOf(dc);
    auto r = findAs<RegionObject>(rgn, OBJ_REGION);
    if (!d || !r) return FALSE;
    if (d->logging) d->record(callLine(name));
    if (injectedFailure(name)) return FALSE;
    if (!d->draws()) return TRUE;
    int saved = d->st.rop2;
    d->st.rop2 = rop2;
    Ink ink = Ink::brush(*d, brush);
    Painter painter(*d, ink);
    // Region coordinates are logical under MM_TEXT offsets: shifted by the origins.
    POINT o = d->lpToDpPoint(0, 0);
    int n = 0;
    pixman_box32_t* boxes = pixman_region32_rectangles(&r->region, &n);
    for (int i = 0; i < n; ++i)
        painter.span(std::int64_t(boxes[i].y1) + o.y, std::int64_t(boxes[i].y2) + o.y,
                     std::int64_t(boxes[i].x1) + o.x, std::int64_t(boxes[i].x2) + o.x);
    d->st.rop2 = saved;
    return TRUE;
}

} // namespace

namespace {

// Records a region call on a metafile context; false when it cannot be recorded.
bool recordRegion(HDC dc, DWORD emr, HRGN rgn, HBRUSH brush, int w, int h) {
    auto d = findDc(dc);
    if (!d || !d->meta) return true;
    if (!findAs<RegionObject>(rgn, OBJ_REGION)) return false;
    return metaRegion(*d, emr, rgn, brush, w, h);
}

} // namespace

BOOL FillRgn(HDC dc, HRGN rgn, HBRUSH brush) {
    auto b = findAs<BrushObject>(brush, OBJ_BRUSH);
    if (!b) return FALSE;
    if (!recordRegion(dc, EMR_FILLRGN, rgn, brush, 0, 0)) return FALSE;
    return paintRegion(dc, rgn, b.get(), R2_COPYPEN, "FillRgn");
}

BOOL PaintRgn(HDC dc, HRGN rgn) {
    auto d = dcOf(dc);
    if (!d) return FALSE;
    if (!recordRegion(dc, EMR_PAINTRGN, rgn, nullptr, 0, 0)) return FALSE;
    return paintRegion(dc, rgn, d->st.brush.get(), d->st.rop2, "PaintRgn");
}

BOOL InvertRgn(HDC dc, HRGN rgn) {
    if (!recordRegion(dc, EMR_INVERTRGN, rgn, nullptr, 0, 0)) return FALSE;
    BrushObject black;
    return paintRegion(dc, rgn, &black, R2_NOT, "InvertRgn");
}

BOOL FrameRgn(HDC dc, HRGN rgn, HBRUSH brush, int width, int height) {
    auto r = findAs<RegionObject>(rgn, OBJ_REGION);
    if (!r) return FALSE;
    if (width < 1 || height < 1) return failWith(ERROR_INVALID_PARAMETER);
    if (!findAs<BrushObject>(brush, OBJ_BRUSH)) return FALSE;
    if (!recordRegion(dc, EMR_FRAMERGN, rgn, brush, width, height)) return FALSE;
    // Recorded as one call: the fill below is not recorded again.
    auto d = findDc(dc);
    std::shared_ptr<MetaRecorder> meta;
    if (d) meta = std::move(d->meta);
    // The frame is the region minus the region shrunk by the frame size (intersection of
    // the region shifted four ways).
    HRGN frame = CreateRectRgn(0, 0, 0, 0);
    HRGN inner = CreateRectRgn(0, 0, 0, 0);
    HRGN shifted = CreateRectRgn(0, 0, 0, 0);
    CombineRgn(inner, rgn, nullptr, RGN_COPY);
    const int shifts[4][2] = {{width, 0}, {-width, 0}, {0, height}, {0, -height}};
    for (const auto& s : shifts) {
        CombineRgn(shifted, rgn, nullptr, RGN_COPY);
        OffsetRgn(shifted, s[0], s[1]);
        CombineRgn(inner, inner, shifted, RGN_AND);
    }
    CombineRgn(frame, rgn, inner, RGN_DIFF);
    BOOL ok = FillRgn(dc, frame, brush);
    if (d) d->meta = std::move(meta);
    DeleteObject(frame);
    DeleteObject(inner);
    DeleteObject(shifted);
    return ok;
}

// ---------------------------------------------------------------- clipping

int ExtSelectClipRgn(HDC dc, HRGN rgn, int mode) {
    auto d = dcOf(dc);
    if (!d) return ERROR;
    if (d->logging) d->record(callLine("ExtSelectClipRgn", mode));
    if (mode < RGN_AND || mode > RGN_COPY) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return ERROR;
    }
    if (rgn && !findAs<RegionObject>(rgn, OBJ_REGION)) return ERROR;
    if (d->meta && !metaClipRegion(*d, rgn, mode)) return ERROR;
    if (injectedFailure("ExtSelectClipRgn")) return ERROR;
    RECT b = d->deviceBounds();
    if (!rgn) {
        if (mode != RGN_COPY) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return ERROR;
        }
        d->st.clip.reset();
        d->clipChanged();
        return SIMPLEREGION;
    }
    auto r = findAs<RegionObject>(rgn, OBJ_REGION);
    if (!r) return ERROR;
    auto next = std::make_shared<RegionObject>();
    if (mode == RGN_COPY) {
        pixman_region32_copy(&next->region, &r->region);
    } else {
        // The current clip, or the whole device when there is none.
        pixman_region32_t cur;
        if (d->st.clip) {
            pixman_region32_init(&cur);
            pixman_region32_copy(&cur, &d->st.clip->region);
        } else {
            pixman_region32_init_rect(&cur, b.left, b.top, unsigned(b.right - b.left),
                                      unsigned(b.bottom - b.top));
        }
        switch (mode) {
        case RGN_AND: pixman_region32_intersect(&next->region, &cur, &r->region); break;
        case RGN_OR: pixman_region32_union(&next->region, &cur, &r->region); break;
        case RGN_DIFF: pixman_region32_subtract(&next->region, &cur, &r->region); break;
        case RGN_XOR: {
            pixman_region32_t u, i;
            pixman_region32_init(&u);
            pixman_region32_init(&i);
            pixman_region32_union(&u, &cur, &r->region);
            pixman_region32_intersect(&i, &cur, &r->region);
            pixman_region32_subtract(&next->region, &u, &i);
            pixman_region32_fini(&u);
            pixman_region32_fini(&i);
            break;
        }
        }
        pixman_region32_fini(&cur);
    }
    d->st.clip = next;
    d->clipChanged();
    const auto& rects = d->clipRects();
    return rects.empty() ? NULLREGION : rects.size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

int SelectClipRgn(HDC dc, HRGN rgn) {
    return ExtSelectClipRgn(dc, rgn, RGN_COPY);
}

namespace {

int clipRect(HDC dc, int l, int t, int r, int b, int mode, const char* name) {
    auto d = dcOf(dc);
    if (!d) return ERROR;
    if (d->logging) d->record(callLine(name, l, t, r, b));
    if (d->meta && !metaInts(*d, mode == RGN_DIFF ? EMR_EXCLUDECLIPRECT : EMR_INTERSECTCLIPRECT, {l, t, r, b}))
        return ERROR;
    POINT a = d->lpToDpPoint(l, t), c = d->lpToDpPoint(r, b);
    HRGN rect = CreateRectRgn(a.x, a.y, c.x, c.y);
    if (!rect) return ERROR;
    bool logging = d->logging;
    d->logging = false;
    auto meta = std::move(d->meta); // recorded above as the rectangle
    int result = ExtSelectClipRgn(dc, rect, mode);
    d->meta = std::move(meta);
    d->logging = logging;
    DeleteObject(rect);
    return result;
}

} // namespace

int IntersectClipRect(HDC dc, int l, int t, int r, int b) {
    return clipRect(dc, l, t, r, b, RGN_AND, "IntersectClipRect");
}

int ExcludeClipRect(HDC dc, int l, int t, int r, int b) {
    return clipRect(dc, l, t, r, b, RGN_DIFF, "ExcludeClipRect");
}

int OffsetClipRgn(HDC dc, int dx, int dy) {
    auto d = dcOf(dc);
    if (!d) return ERROR;
    if (d->meta && !metaOffsetClip(*d, dx, dy)) return ERROR;
    if (d->st.clip) {
        Matrix m = d->toDevice();
        int ddx = SdDeviceCoord(std::round(dx * m.a)), ddy = SdDeviceCoord(std::round(dy * m.d));
        auto copy = std::make_shared<RegionObject>();
        pixman_region32_copy(&copy->region, &d->st.clip->region);
        pixman_region32_translate(&copy->region, ddx, ddy);
        d->st.clip = copy;
        d->clipChanged();
    }
    const auto& rects = d->clipRects();
    return rects.empty() ? NULLREGION : rects.size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

int GetClipBox(HDC dc, LPRECT rect) {
    auto d = dcOf(dc);
    if (!d || !rect) return ERROR;
    const auto& rects = d->clipRects();
    if (rects.empty()) {
        *rect = RECT{0, 0, 0, 0};
        return NULLREGION;
    }
    RECT box{rects.front().x1, rects.front().y1, rects.front().x2, rects.back().y2};
    for (const auto& r : rects) {
        box.left = std::min(box.left, r.x1);
        box.right = std::max(box.right, r.x2);
    }
    // Back to logical units.
    POINT pts[2] = {{box.left, box.top}, {box.right, box.bottom}};
    DPtoLP(dc, pts, 2);
    *rect = RECT{std::min(pts[0].x, pts[1].x), std::min(pts[0].y, pts[1].y),
                 std::max(pts[0].x, pts[1].x), std::max(pts[0].y, pts[1].y)};
    return rects.size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

int GetClipRgn(HDC dc, HRGN rgn) {
    auto d = dcOf(dc);
    auto r = findAs<RegionObject>(rgn, OBJ_REGION);
    if (!d || !r) return -1;
    if (!d->st.clip) return 0;
    pixman_region32_copy(&r->region, &d->st.clip->region);
    return 1;
}

BOOL PtVisible(HDC dc, int x, int y) {
    auto d = dcOf(dc);
    if (!d) return -1;
    POINT p = d->lpToDpPoint(x, y);
    for (const auto& r : d->clipRects())
        if (p.x >= r.x1 && p.x < r.x2 && p.y >= r.y1 && p.y < r.y2) return TRUE;
    return FALSE;
}

BOOL RectVisible(HDC dc, const RECT* rect) {
    auto d = dcOf(dc);
    if (!d || !rect) return FALSE;
    POINT a = d->lpToDpPoint(rect->left, rect->top), c = d->lpToDpPoint(rect->right, rect->bottom);
    LONG l = std::min(a.x, c.x), t = std::min(a.y, c.y), r = std::max(a.x, c.x), b = std::max(a.y, c.y);
    for (const auto& q : d->clipRects())
        if (l < q.x2 && r > q.x1 && t < q.y2 && b > q.y1) return TRUE;
    return FALSE;
}
