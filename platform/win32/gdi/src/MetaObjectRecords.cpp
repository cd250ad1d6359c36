// Recording objects (pens, brushes, fonts, palettes, regions), blits and region calls on
// metafile contexts.

#include <algorithm>
#include <cmath>
#include <cstring>

#include "MetaRecorder.h"
#include "TextDrawing.h"
#include "win32/nls.h"

namespace sdgdi {

namespace {

bool fail() {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
}

void putRect(std::vector<BYTE>& v, const RECTL& r) {
    for (LONG x : {r.left, r.top, r.right, r.bottom})
        putU32(v, DWORD(x));
}

std::int16_t lo(DWORD v) {
    return std::int16_t(v & 0xFFFF);
}
std::int16_t hi(DWORD v) {
    return std::int16_t(v >> 16);
}

constexpr DWORD BS_DIBPATTERNPT_ = 6;

// The region's rectangles (device units) and their bounds.
std::vector<RECT> regionRects(HRGN region, RECT& bound) {
    std::vector<BYTE> buf(GetRegionData(region, 0, nullptr));
    bound = RECT{0, 0, 0, 0};
    if (buf.size() < sizeof(RGNDATAHEADER)) return {};
    auto* data = reinterpret_cast<RGNDATA*>(buf.data());
    GetRegionData(region, DWORD(buf.size()), data);
    bound = data->rdh.rcBound;
    std::vector<RECT> rects(data->rdh.nCount);
    if (!rects.empty())
        std::memcpy(rects.data(), buf.data() + data->rdh.dwSize, rects.size() * sizeof(RECT));
    return rects;
}

// RGNDATA of the rectangles, as EMF region records hold it.
std::vector<BYTE> rgnData(const std::vector<RECT>& rects, const RECT& bound) {
    std::vector<BYTE> v;
    putU32(v, 32);
    putU32(v, RDH_RECTANGLES);
    putU32(v, DWORD(rects.size()));
    putU32(v, DWORD(rects.size() * 16));
    putRect(v, RECTL{bound.left, bound.top, bound.right, bound.bottom});
    for (const RECT& r : rects)
        putRect(v, RECTL{r.left, r.top, r.right, r.bottom});
    return v;
}

// A WMF region object: rectangles grouped into scans of equal top and bottom, in the region's
// own coordinates. False when a coordinate does not fit 16 bits.
bool wmfRegion(const std::vector<RECT>& rects, std::vector<BYTE>& out) {
    for (const RECT& r : rects)
        if (!fits16(r.left) || !fits16(r.top) || !fits16(r.right) || !fits16(r.bottom))
            return false;
    std::vector<BYTE> scans;
    std::size_t scanCount = 0, maxScan = 0;
    RECT bound{0, 0, 0, 0};
    for (std::size_t i = 0; i < rects.size();) {
        std::size_t j = i;
        while (j < rects.size() && rects[j].top == rects[i].top &&
               rects[j].bottom == rects[i].bottom)
            ++j;
        WORD count = WORD(2 * (j - i));
        putU16(scans, count);
        putU16(scans, WORD(rects[i].top));
        putU16(scans, WORD(rects[i].bottom));
        for (std::size_t k = i; k < j; ++k) {
            putU16(scans, WORD(rects[k].left));
            putU16(scans, WORD(rects[k].right));
        }
        putU16(scans, count);
        if (scanCount == 0 && i == 0) bound = rects[i];
        for (std::size_t k = i; k < j; ++k) {
            bound.left = std::min(bound.left, rects[k].left);
            bound.top = std::min(bound.top, rects[k].top);
            bound.right = std::max(bound.right, rects[k].right);
            bound.bottom = std::max(bound.bottom, rects[k].bottom);
        }
        ++scanCount;
        maxScan = std::max<std::size_t>(maxScan, j - i);
        i = j;
    }
    std::size_t size = 22 + scans.size();
    if (size > 0x7FFF * 2 || scanCount > 0x7FFF) return false;
    out.clear();
    putU16(out, 0);      // next in chain
    putU16(out, 6);      // region
    putU32(out, 0);      // object count
    putU16(out, WORD(size));
    putU16(out, WORD(scanCount));
    putU16(out, WORD(maxScan));
    for (LONG v : {bound.left, bound.top, bound.right, bound.bottom})
        putU16(out, WORD(v));
    out.insert(out.end(), scans.begin(), scans.end());
    return true;
}

// The EMF creation record or the WMF one of a new object; false when it has no form.
bool writeObject(DeviceContext& dc, HGDIOBJ object, DWORD ih) {
    MetaRecorder& r = *dc.meta;
    auto o = findObject(object);
    if (!o) return false;
    std::vector<BYTE> v;
    if (r.enhanced) putU32(v, ih);
    switch (o->type) {
    case OBJ_PEN: {
        auto p = std::static_pointer_cast<PenObject>(o);
        if (r.enhanced) {
            if (p->extended) {
                for (DWORD x : {0u, 0u, 0u, 0u}) // no brush bitmap
                    putU32(v, x);
                putU32(v, p->style);
                putU32(v, DWORD(p->width));
                putU32(v, p->brushStyle);
                putU32(v, p->color);
                putU32(v, p->hatch);
                putU32(v, 0); // no style entries
                r.emr(EMR_EXTCREATEPEN, v);
            } else {
                putU32(v, p->style);
                putU32(v, DWORD(p->width));
                putU32(v, 0);
                putU32(v, p->color);
                r.emr(EMR_CREATEPEN, v);
            }
            return true;
        }
        // The 16-bit style keeps caps, joins and the dash style.
        if (p->width > 0x7FFF) return false;
        r.wmr(META_CREATEPENINDIRECT, {std::int16_t(p->style & 0xFFFF), std::int16_t(p->width), 0,
                                       lo(p->color), hi(p->color)});
        return true;
    }
    case OBJ_BRUSH: {
        auto b = std::static_pointer_cast<BrushObject>(o);
        if (b->style == BS_PATTERN && b->pattern) {
            const Surface& s = *b->pattern;
            DWORD cbBmi = 0;
            std::vector<BYTE> dib = packedDib(s, 0, 0, s.width(), s.height(), cbBmi);
            if (r.enhanced) {
                putU32(v, DIB_RGB_COLORS);
                putU32(v, 32);
                putU32(v, cbBmi);
                putU32(v, 32 + cbBmi);
                putU32(v, DWORD(dib.size() - cbBmi));
                v.insert(v.end(), dib.begin(), dib.end());
                // Monochrome bitmaps take the text and background colours where used.
                r.emr(s.monoDdb ? EMR_CREATEMONOBRUSH : EMR_CREATEDIBPATTERNBRUSHPT, v);
                return true;
            }
            if (dib.size() > 0xFFFF0) return false;
            r.wmr(META_DIBCREATEPATTERNBRUSH, {std::int16_t(BS_DIBPATTERNPT_), DIB_RGB_COLORS},
                  dib);
            return true;
        }
        if (r.enhanced) {
            putU32(v, b->style);
            putU32(v, b->color);
            putU32(v, DWORD(b->hatch));
            r.emr(EMR_CREATEBRUSHINDIRECT, v);
        } else {
            r.wmr(META_CREATEBRUSHINDIRECT, {std::int16_t(b->style), lo(b->color), hi(b->color),
                                             std::int16_t(b->hatch)});
        }
        return true;
    }
    case OBJ_FONT: {
        LOGFONTA lf = logicalFontOf(*std::static_pointer_cast<FontObject>(o));
        if (r.enhanced) {
            for (LONG x : {lf.lfHeight, lf.lfWidth, lf.lfEscapement, lf.lfOrientation, lf.lfWeight})
                putU32(v, DWORD(x));
            for (BYTE x : {lf.lfItalic, lf.lfUnderline, lf.lfStrikeOut, lf.lfCharSet,
                           lf.lfOutPrecision, lf.lfClipPrecision, lf.lfQuality,
                           lf.lfPitchAndFamily})
                v.push_back(x);
            WCHAR face[LF_FACESIZE]{};
            int n = MultiByteToWideChar(CP_ACP, 0, lf.lfFaceName,
                                        int(strnlen(lf.lfFaceName, LF_FACESIZE - 1)), face,
                                        LF_FACESIZE - 1);
            (void)n;
            for (WCHAR c : face)
                putU16(v, WORD(c));
            r.emr(EMR_EXTCREATEFONTINDIRECTW, v);
            return true;
        }
        for (LONG x : {lf.lfHeight, lf.lfWidth, lf.lfEscapement, lf.lfOrientation, lf.lfWeight})
            if (!fits16(x)) return false;
        std::vector<BYTE> tail;
        for (BYTE x : {lf.lfItalic, lf.lfUnderline, lf.lfStrikeOut, lf.lfCharSet,
                       lf.lfOutPrecision, lf.lfClipPrecision, lf.lfQuality, lf.lfPitchAndFamily})
            tail.push_back(x);
        tail.insert(tail.end(), lf.lfFaceName, lf.lfFaceName + LF_FACESIZE);
        tail.back() = 0;
        r.wmr(META_CREATEFONTINDIRECT,
              {std::int16_t(lf.lfHeight), std::int16_t(lf.lfWidth), std::int16_t(lf.lfEscapement),
               std::int16_t(lf.lfOrientation), std::int16_t(lf.lfWeight)},
              tail);
        return true;
    }
    case OBJ_PAL: {
        auto p = std::static_pointer_cast<PaletteObject>(o);
        if (p->entries.empty() || p->entries.size() > 0x7FFF) return false;
        if (r.enhanced) {
            putU16(v, 0x300);
            putU16(v, WORD(p->entries.size()));
            for (const PALETTEENTRY& e : p->entries)
                v.insert(v.end(), {e.peRed, e.peGreen, e.peBlue, e.peFlags});
            r.emr(EMR_CREATEPALETTE, v);
            return true;
        }
        std::vector<BYTE> tail;
        for (const PALETTEENTRY& e : p->entries)
            tail.insert(tail.end(), {e.peRed, e.peGreen, e.peBlue, e.peFlags});
        r.wmr(META_CREATEPALETTE, {0x300, std::int16_t(p->entries.size())}, tail);
        return true;
    }
    case OBJ_REGION: {
        if (r.enhanced) return false; // EMF regions travel inside their records
        RECT bound;
        std::vector<BYTE> region;
        if (!wmfRegion(regionRects(static_cast<HRGN>(object), bound), region)) return false;
        r.wmr(META_CREATEREGION, {}, region);
        return true;
    }
    default:
        return false;
    }
}

} // namespace

std::vector<BYTE> packedDib(const Surface& s, int x, int y, int w, int h, DWORD& headerBytes) {
    w = std::max(w, 0);
    h = std::max(h, 0);
    bool mono = s.monoDdb;
    int bpp = mono ? 1 : 24;
    std::size_t stride = ((std::size_t(w) * std::size_t(bpp) + 31) / 32) * 4;
    std::vector<BYTE> v;
    putU32(v, 40);
    putU32(v, DWORD(w));
    putU32(v, DWORD(h));
    putU16(v, 1);
    putU16(v, WORD(bpp));
    putU32(v, BI_RGB);
    putU32(v, DWORD(stride * std::size_t(h)));
    putU32(v, 0);
    putU32(v, 0);
    putU32(v, mono ? 2 : 0);
    putU32(v, 0);
    if (mono) {
        putU32(v, 0);
        putU32(v, 0xFFFFFF);
    }
    headerBytes = DWORD(v.size());
    std::size_t at = v.size();
    v.resize(at + stride * std::size_t(h), 0);
    for (int row = 0; row < h; ++row) {
        BYTE* out = v.data() + at + stride * std::size_t(h - 1 - row); // bottom-up
        int sy = y + row;
        if (sy < 0 || sy >= s.height()) continue;
        for (int col = 0; col < w; ++col) {
            int sx = x + col;
            if (sx < 0 || sx >= s.width()) continue;
            std::uint32_t raw = s.get(sx, sy);
            if (mono) {
                if (raw & 1) out[col / 8] |= BYTE(0x80 >> (col % 8));
            } else {
                COLORREF c = s.colorFromRaw(raw);
                out[3 * col] = BYTE(c >> 16);
                out[3 * col + 1] = BYTE(c >> 8);
                out[3 * col + 2] = BYTE(c);
            }
        }
    }
    return v;
}

bool objectIndex(DeviceContext& dc, HGDIOBJ object, DWORD& index) {
    MetaRecorder& r = *dc.meta;
    if (r.enhanced) {
        for (int i = 0; i <= DEFAULT_GUI_FONT; ++i) {
            if (GetStockObject(i) == object) {
                index = ENHMETA_STOCK_OBJECT | DWORD(i);
                return true;
            }
        }
    }
    auto found = std::find(r.objects.begin(), r.objects.end(), object);
    std::size_t at = std::size_t(found - r.objects.begin());
    index = DWORD(r.enhanced ? at + 1 : at);
    if (found != r.objects.end()) return true;
    if (!r.enhanced && r.objects.size() >= 0xFFFF) return false;
    if (!writeObject(dc, object, index)) return false;
    r.objects.push_back(object);
    return true;
}

bool metaSelectPalette(DeviceContext& dc, HPALETTE palette) {
    MetaRecorder& r = *dc.meta;
    DWORD ih = 0;
    if (!objectIndex(dc, palette, ih)) return fail();
    if (r.enhanced) {
        std::vector<BYTE> v;
        putU32(v, ih);
        r.emr(EMR_SELECTPALETTE, v);
    } else {
        r.wmr(META_SELECTPALETTE, {std::int16_t(ih)});
    }
    return true;
}

bool metaRealizePalette(DeviceContext& dc) {
    MetaRecorder& r = *dc.meta;
    if (r.enhanced)
        r.emr(EMR_REALIZEPALETTE, {});
    else
        r.wmr(META_REALIZEPALETTE, {});
    return true;
}

bool metaBlt(DeviceContext& dc, int x, int y, int w, int h, DeviceContext* source, int xs, int ys,
             int ws, int hs, DWORD rop) {
    MetaRecorder& r = *dc.meta;
    // The source's pixels under its logical rectangle, as a DIB of device pixels.
    std::vector<BYTE> dib;
    DWORD cbBmi = 0;
    int sw = 0, sh = 0;
    if (source) {
        Surface* s = source->surface();
        if (!s) return fail();
        POINT a = source->lpToDpPoint(xs, ys);
        POINT b = source->lpToDpPoint(SdDeviceCoord(std::int64_t(xs) + ws),
                                      SdDeviceCoord(std::int64_t(ys) + hs));
        std::int64_t dw = std::int64_t(b.x) - a.x, dh = std::int64_t(b.y) - a.y;
        // Mirrored sources are copied as they lie; the destination's sign mirrors them.
        if (dw < 0 || dh < 0 || dw > 0x7FFF || dh > 0x7FFF) return fail();
        sw = int(dw);
        sh = int(dh);
        dib = packedDib(*s, a.x, a.y, sw, sh, cbBmi);
    }
    bool stretch = source && (sw != w || sh != h);
    POINT corners[2] = {{x, y}, {SdDeviceCoord(std::int64_t(x) + w), SdDeviceCoord(std::int64_t(y) + h)}};
    RECTL bounds{0, 0, -1, -1};
    for (const POINT& p : corners) {
        POINT d = dc.lpToDpPoint(p.x, p.y);
        if (bounds.right < bounds.left) {
            bounds = RECTL{d.x, d.y, d.x, d.y};
        } else {
            bounds.left = std::min(bounds.left, d.x);
            bounds.top = std::min(bounds.top, d.y);
            bounds.right = std::max(bounds.right, d.x);
            bounds.bottom = std::max(bounds.bottom, d.y);
        }
    }
    if (!r.enhanced) {
        for (int v : {x, y, w, h})
            if (!fits16(v)) return fail();
        if (!source) {
            r.wmr(META_PATBLT, {lo(rop), hi(rop), std::int16_t(h), std::int16_t(w),
                                std::int16_t(y), std::int16_t(x)});
        } else if (stretch) {
            r.wmr(META_DIBSTRETCHBLT,
                  {lo(rop), hi(rop), std::int16_t(sh), std::int16_t(sw), 0, 0, std::int16_t(h),
                   std::int16_t(w), std::int16_t(y), std::int16_t(x)},
                  dib);
        } else {
            r.wmr(META_DIBBITBLT, {lo(rop), hi(rop), 0, 0, std::int16_t(h), std::int16_t(w),
                                   std::int16_t(y), std::int16_t(x)},
                  dib);
        }
        return true;
    }
    std::vector<BYTE> v;
    putRect(v, bounds);
    for (LONG a : {x, y, w, h})
        putU32(v, DWORD(a));
    putU32(v, rop);
    putU32(v, 0); // source at the DIB's origin, identity transform
    putU32(v, 0);
    for (FLOAT f : {1.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f}) {
        DWORD bits;
        std::memcpy(&bits, &f, 4);
        putU32(v, bits);
    }
    putU32(v, source ? source->st.bkColor : 0);
    putU32(v, DIB_RGB_COLORS);
    const DWORD fixed = stretch ? 108 : 100;
    putU32(v, source ? fixed : 0);
    putU32(v, cbBmi);
    putU32(v, source ? fixed + cbBmi : 0);
    putU32(v, DWORD(dib.size() - cbBmi));
    if (stretch) {
        putU32(v, DWORD(sw));
        putU32(v, DWORD(sh));
    }
    v.insert(v.end(), dib.begin(), dib.end());
    r.addDeviceRect(bounds);
    r.emr(stretch ? EMR_STRETCHBLT : EMR_BITBLT, v);
    return true;
}

bool metaBrushBlts(DeviceContext& dc, HBRUSH brush, const std::vector<RECT>& rects, DWORD rop) {
    HGDIOBJ old = dc.st.brush ? dc.st.brush->handle : nullptr;
    bool swap = brush && brush != old;
    if (swap && !metaSelect(dc, brush)) return false;
    for (const RECT& rc : rects)
        if (!metaBlt(dc, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, nullptr, 0, 0,
                     0, 0, rop))
            return false;
    if (swap && old && !metaSelect(dc, old)) return false;
    return true;
}

bool metaRegion(DeviceContext& dc, DWORD emr, HRGN region, HBRUSH brush, int w, int h) {
    MetaRecorder& r = *dc.meta;
    RECT bound;
    std::vector<RECT> rects = regionRects(region, bound);
    if (!r.enhanced) {
        DWORD ir = 0, ib = 0;
        if (!objectIndex(dc, region, ir)) return fail();
        if (brush && !objectIndex(dc, brush, ib)) return fail();
        switch (emr) {
        case EMR_FILLRGN:
            r.wmr(META_FILLREGION, {std::int16_t(ir), std::int16_t(ib)});
            break;
        case EMR_FRAMERGN:
            if (!fits16(w) || !fits16(h)) return fail();
            r.wmr(META_FRAMEREGION,
                  {std::int16_t(ir), std::int16_t(ib), std::int16_t(h), std::int16_t(w)});
            break;
        case EMR_INVERTRGN:
            r.wmr(META_INVERTREGION, {std::int16_t(ir)});
            break;
        default:
            r.wmr(META_PAINTREGION, {std::int16_t(ir)});
            break;
        }
        return true;
    }
    // Painted regions lie in logical units shifted by the origins; the record holds device
    // units.
    POINT o = dc.lpToDpPoint(0, 0);
    auto shifted = [&](const RECT& rc) {
        return RECT{SdDeviceCoord(std::int64_t(rc.left) + o.x), SdDeviceCoord(std::int64_t(rc.top) + o.y),
                    SdDeviceCoord(std::int64_t(rc.right) + o.x), SdDeviceCoord(std::int64_t(rc.bottom) + o.y)};
    };
    for (RECT& rc : rects)
        rc = shifted(rc);
    bound = shifted(bound);
    std::vector<BYTE> data = rgnData(rects, bound);
    std::vector<BYTE> v;
    RECTL b{bound.left, bound.top, SdDeviceCoord(std::int64_t(bound.right) - 1),
            SdDeviceCoord(std::int64_t(bound.bottom) - 1)};
    putRect(v, rects.empty() ? RECTL{0, 0, -1, -1} : b);
    putU32(v, DWORD(data.size()));
    if (emr == EMR_FILLRGN || emr == EMR_FRAMERGN) {
        DWORD ib = 0;
        if (!objectIndex(dc, brush, ib)) return fail();
        putU32(v, ib);
        if (emr == EMR_FRAMERGN) {
            putU32(v, DWORD(w));
            putU32(v, DWORD(h));
        }
    }
    v.insert(v.end(), data.begin(), data.end());
    if (!rects.empty()) r.addDeviceRect(b);
    r.emr(emr, v);
    return true;
}

bool metaClipRegion(DeviceContext& dc, HRGN region, int mode) {
    MetaRecorder& r = *dc.meta;
    if (!r.enhanced) {
        // The format selects a region as the clip; it has no other mode and no "none".
        DWORD ir = 0;
        if (!region || mode != RGN_COPY || !objectIndex(dc, region, ir)) return fail();
        r.wmr(META_SELECTCLIPREGION, {std::int16_t(ir)});
        return true;
    }
    std::vector<BYTE> data;
    if (region) {
        RECT bound;
        std::vector<RECT> rects = regionRects(region, bound);
        data = rgnData(rects, bound);
    }
    std::vector<BYTE> v;
    putU32(v, DWORD(data.size()));
    putU32(v, DWORD(mode));
    v.insert(v.end(), data.begin(), data.end());
    r.emr(EMR_EXTSELECTCLIPRGN, v);
    return true;
}

bool metaOffsetClip(DeviceContext& dc, int dx, int dy) {
    MetaRecorder& r = *dc.meta;
    if (!r.enhanced) {
        if (!fits16(dx) || !fits16(dy)) return fail();
        r.wmr(META_OFFSETCLIPRGN, {std::int16_t(dy), std::int16_t(dx)});
        return true;
    }
    std::vector<BYTE> v;
    putU32(v, DWORD(dx));
    putU32(v, DWORD(dy));
    r.emr(EMR_OFFSETCLIPRGN, v);
    return true;
}

} // namespace sdgdi
