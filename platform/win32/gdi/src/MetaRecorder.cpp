// Recording drawing calls as EMF records or WMF records.

#include "MetaRecorder.h"

#include "MetaFileObjects.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace sdgdi {

namespace {

void putRect(std::vector<BYTE>& v, const RECTL& r) {
    putU32(v, DWORD(r.left));
    putU32(v, DWORD(r.top));
    putU32(v, DWORD(r.right));
    putU32(v, DWORD(r.bottom));
}

// Device bounds of a set of logical points, inclusive.
RECTL deviceBoundsOf(const DeviceContext& dc, const POINT* p, std::size_t n) {
    RECTL r{0, 0, -1, -1};
    for (std::size_t i = 0; i < n; ++i) {
        POINT d = dc.lpToDpPoint(p[i].x, p[i].y);
        if (i == 0) r = RECTL{d.x, d.y, d.x, d.y};
        r.left = std::min(r.left, d.x);
        r.top = std::min(r.top, d.y);
        r.right = std::max(r.right, d.x);
        r.bottom = std::max(r.bottom, d.y);
    }
    return r;
}

// WMF form of a call that takes plain integers: the function and its parameters in the
// format's order (single coordinates y before x, boxes bottom, right, top, left).
bool wmfForm(DWORD emr, const std::vector<LONG>& a, WORD& fn, std::vector<LONG>& out) {
    auto rev = [&](WORD f) {
        fn = f;
        out.assign(a.rbegin(), a.rend());
        return true;
    };
    auto colour = [&](WORD f) {
        fn = f;
        out = {LONG(a[0] & 0xFFFF), LONG(DWORD(a[0]) >> 16)};
        return true;
    };
    switch (emr) {
    case EMR_SETMAPMODE:
        return rev(META_SETMAPMODE);
    case EMR_SETBKMODE:
        return rev(META_SETBKMODE);
    case EMR_SETROP2:
        return rev(META_SETROP2);
    case EMR_SETPOLYFILLMODE:
        return rev(META_SETPOLYFILLMODE);
    case EMR_SETBKCOLOR:
        return colour(META_SETBKCOLOR);
    case EMR_SETTEXTCOLOR:
        return colour(META_SETTEXTCOLOR);
    case EMR_SETWINDOWORGEX:
        return rev(META_SETWINDOWORG);
    case EMR_SETWINDOWEXTEX:
        return rev(META_SETWINDOWEXT);
    case EMR_SETVIEWPORTORGEX:
        return rev(META_SETVIEWPORTORG);
    case EMR_SETVIEWPORTEXTEX:
        return rev(META_SETVIEWPORTEXT);
    case EMR_MOVETOEX:
        return rev(META_MOVETO);
    case EMR_LINETO:
        return rev(META_LINETO);
    case EMR_RECTANGLE:
        return rev(META_RECTANGLE);
    case EMR_ELLIPSE:
        return rev(META_ELLIPSE);
    case EMR_INTERSECTCLIPRECT:
        return rev(META_INTERSECTCLIPRECT);
    case EMR_EXCLUDECLIPRECT:
        return rev(META_EXCLUDECLIPRECT);
    case EMR_ROUNDRECT:
        return rev(META_ROUNDRECT);
    case EMR_ARC:
        return rev(META_ARC);
    case EMR_CHORD:
        return rev(META_CHORD);
    case EMR_PIE:
        return rev(META_PIE);
    case EMR_SAVEDC:
        return rev(META_SAVEDC);
    case EMR_SETTEXTALIGN:
        return rev(META_SETTEXTALIGN);
    case EMR_SETPIXELV:
        fn = META_SETPIXEL;
        out = {LONG(a[2] & 0xFFFF), LONG(DWORD(a[2]) >> 16), a[1], a[0]};
        return true;
    case EMR_RESTOREDC:
        return rev(META_RESTOREDC);
    default:
        return false;
    }
}

bool isDrawing(DWORD emr) {
    switch (emr) {
    case EMR_RECTANGLE:
    case EMR_ELLIPSE:
    case EMR_ROUNDRECT:
    case EMR_ARC:
    case EMR_ARCTO:
    case EMR_CHORD:
    case EMR_PIE:
    case EMR_LINETO:
    case EMR_SETPIXELV:
        return true;
    default:
        return false;
    }
}

bool fail() {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
}

} // namespace

void MetaRecorder::addDevicePoint(const DeviceContext& dc, LONG x, LONG y) {
    POINT d = dc.lpToDpPoint(x, y);
    if (!haveBounds) {
        bounds = RECTL{d.x, d.y, d.x, d.y};
        haveBounds = true;
        return;
    }
    bounds.left = std::min(bounds.left, d.x);
    bounds.top = std::min(bounds.top, d.y);
    bounds.right = std::max(bounds.right, d.x);
    bounds.bottom = std::max(bounds.bottom, d.y);
}

void MetaRecorder::emr(DWORD type, const std::vector<BYTE>& params) {
    std::size_t size = 8 + ((params.size() + 3) & ~std::size_t(3));
    putU32(body, type);
    putU32(body, DWORD(size));
    body.insert(body.end(), params.begin(), params.end());
    body.resize(body.size() + (size - 8 - params.size()), 0);
    ++records;
}

void MetaRecorder::wmr(WORD function, const std::vector<std::int16_t>& params,
                       const std::vector<BYTE>& tail) {
    DWORD words = DWORD(3 + params.size() + (tail.size() + 1) / 2);
    putU32(body, words);
    putU16(body, function);
    for (std::int16_t p : params)
        putU16(body, WORD(p));
    body.insert(body.end(), tail.begin(), tail.end());
    if (tail.size() % 2) body.push_back(0);
    maxRecordWords = std::max(maxRecordWords, words);
    ++records;
}

void MetaRecorder::addDeviceRect(const RECTL& b) {
    if (b.right < b.left || b.bottom < b.top) return;
    if (!haveBounds) {
        bounds = b;
        haveBounds = true;
        return;
    }
    bounds.left = std::min(bounds.left, b.left);
    bounds.top = std::min(bounds.top, b.top);
    bounds.right = std::max(bounds.right, b.right);
    bounds.bottom = std::max(bounds.bottom, b.bottom);
}

bool metaPoly(DeviceContext& dc, DWORD emr, const POINT* points, std::size_t count) {
    MetaRecorder& r = *dc.meta;
    bool small = true;
    for (std::size_t i = 0; i < count; ++i)
        small = small && fits16(points[i].x) && fits16(points[i].y);
    if (!r.enhanced) {
        if ((emr != EMR_POLYGON && emr != EMR_POLYLINE) || !small || count > 0x7FFF) return fail();
        std::vector<std::int16_t> p{std::int16_t(count)};
        for (std::size_t i = 0; i < count; ++i) {
            p.push_back(std::int16_t(points[i].x));
            p.push_back(std::int16_t(points[i].y));
        }
        r.wmr(emr == EMR_POLYGON ? META_POLYGON : META_POLYLINE, p);
        return true;
    }
    std::vector<BYTE> v;
    RECTL b = deviceBoundsOf(dc, points, count);
    putRect(v, b);
    putU32(v, DWORD(count));
    for (std::size_t i = 0; i < count; ++i) {
        if (small) {
            putU16(v, WORD(points[i].x));
            putU16(v, WORD(points[i].y));
        } else {
            putU32(v, DWORD(points[i].x));
            putU32(v, DWORD(points[i].y));
        }
        r.addDevicePoint(dc, points[i].x, points[i].y);
    }
    // The 16-bit forms are numbered 83 after their 32-bit originals.
    r.emr(small ? emr + 83 : emr, v);
    return true;
}

bool metaPolyPoly(DeviceContext& dc, DWORD emr, const POINT* points,
                  const std::vector<DWORD>& counts) {
    MetaRecorder& r = *dc.meta;
    std::size_t total = 0;
    for (DWORD c : counts)
        total += c;
    bool small = true;
    for (std::size_t i = 0; i < total; ++i)
        small = small && fits16(points[i].x) && fits16(points[i].y);
    if (!r.enhanced) {
        if (emr != EMR_POLYPOLYGON || !small || counts.size() > 0x7FFF || total > 0x3FFF)
            return fail();
        std::vector<std::int16_t> p{std::int16_t(counts.size())};
        for (DWORD c : counts)
            p.push_back(std::int16_t(c));
        for (std::size_t i = 0; i < total; ++i) {
            p.push_back(std::int16_t(points[i].x));
            p.push_back(std::int16_t(points[i].y));
        }
        r.wmr(META_POLYPOLYGON, p);
        return true;
    }
    std::vector<BYTE> v;
    putRect(v, deviceBoundsOf(dc, points, total));
    putU32(v, DWORD(counts.size()));
    putU32(v, DWORD(total));
    for (DWORD c : counts)
        putU32(v, c);
    for (std::size_t i = 0; i < total; ++i) {
        if (small) {
            putU16(v, WORD(points[i].x));
            putU16(v, WORD(points[i].y));
        } else {
            putU32(v, DWORD(points[i].x));
            putU32(v, DWORD(points[i].y));
        }
        r.addDevicePoint(dc, points[i].x, points[i].y);
    }
    r.emr(small ? emr + 83 : emr, v);
    return true;
}

bool metaInts(DeviceContext& dc, DWORD emr, std::initializer_list<LONG> values) {
    MetaRecorder& r = *dc.meta;
    std::vector<LONG> a(values);
    if (!r.enhanced) {
        WORD fn = 0;
        std::vector<LONG> out;
        if (!wmfForm(emr, a, fn, out)) return fail();
        std::vector<std::int16_t> p;
        for (LONG v : out) {
            if (!fits16(v) && fn != META_SETBKCOLOR && fn != META_SETTEXTCOLOR &&
                fn != META_SETPIXEL)
                return fail();
            p.push_back(std::int16_t(v));
        }
        r.wmr(fn, p);
        return true;
    }
    std::vector<BYTE> v;
    if (emr == EMR_FILLPATH || emr == EMR_STROKEPATH || emr == EMR_STROKEANDFILLPATH) {
        // Bounds of the path, device units.
        RECTL b{0, 0, -1, -1};
        bool first = true;
        for (const GdiPathPoint& p : dc.st.path) {
            LONG x = SdDeviceCoord(std::round(p.x)), y = SdDeviceCoord(std::round(p.y));
            if (first) b = RECTL{x, y, x, y};
            first = false;
            b.left = std::min(b.left, x);
            b.top = std::min(b.top, y);
            b.right = std::max(b.right, x);
            b.bottom = std::max(b.bottom, y);
        }
        if (!first) {
            if (!r.haveBounds) {
                r.bounds = b;
                r.haveBounds = true;
            } else {
                r.bounds.left = std::min(r.bounds.left, b.left);
                r.bounds.top = std::min(r.bounds.top, b.top);
                r.bounds.right = std::max(r.bounds.right, b.right);
                r.bounds.bottom = std::max(r.bounds.bottom, b.bottom);
            }
        }
        putRect(v, b);
    }
    for (LONG x : a)
        putU32(v, DWORD(x));
    if (isDrawing(emr) && a.size() >= 2) {
        for (std::size_t i = 0; i + 1 < std::min<std::size_t>(a.size(), 4); i += 2)
            r.addDevicePoint(dc, a[i], a[i + 1]);
        if (emr != EMR_LINETO && emr != EMR_SETPIXELV) {
            r.addDevicePoint(dc, a[0], a[3]);
            r.addDevicePoint(dc, a[2], a[1]);
        } else {
            r.addDevicePoint(dc, dc.st.position.x, dc.st.position.y);
        }
    }
    r.emr(emr, v);
    return true;
}

bool metaSelect(DeviceContext& dc, HGDIOBJ object) {
    MetaRecorder& r = *dc.meta;
    DWORD type = GetObjectType(object);
    if (type != OBJ_PEN && type != OBJ_BRUSH && type != OBJ_FONT) return true; // bitmaps, regions
    DWORD ih = 0;
    if (!objectIndex(dc, object, ih)) return fail();
    if (r.enhanced) {
        std::vector<BYTE> v;
        putU32(v, ih);
        r.emr(EMR_SELECTOBJECT, v);
    } else {
        r.wmr(META_SELECTOBJECT, {std::int16_t(ih)});
    }
    return true;
}

bool metaXform(DeviceContext& dc, DWORD emr, const XFORM& x, DWORD mode) {
    MetaRecorder& r = *dc.meta;
    if (!r.enhanced) return fail();
    std::vector<BYTE> v(24);
    std::memcpy(v.data(), &x, 24);
    if (emr == EMR_MODIFYWORLDTRANSFORM) putU32(v, mode);
    r.emr(emr, v);
    return true;
}

bool metaAttribute(DeviceContext& dc, const char* setter, LONG value) {
    static const struct {
        const char* name;
        DWORD emr;
    } table[] = {{"SetBkColor", EMR_SETBKCOLOR},
                 {"SetTextColor", EMR_SETTEXTCOLOR},
                 {"SetBkMode", EMR_SETBKMODE},
                 {"SetROP2", EMR_SETROP2},
                 {"SetPolyFillMode", EMR_SETPOLYFILLMODE},
                 {"SetStretchBltMode", EMR_SETSTRETCHBLTMODE},
                 {"SetArcDirection", EMR_SETARCDIRECTION}};
    // (The brush origin has its own hook: it takes a point.)
    for (const auto& t : table) {
        if (std::strcmp(t.name, setter) != 0) continue;
        // The stretch mode and arc direction have no WMF record worth failing for.
        if (!dc.meta->enhanced && (t.emr == EMR_SETSTRETCHBLTMODE || t.emr == EMR_SETARCDIRECTION))
            return true;
        return metaInts(dc, t.emr, {value});
    }
    return true;
}

bool metaPathCall(DeviceContext& dc, const char* name) {
    if (std::strcmp(name, "FillPath") == 0) return metaInts(dc, EMR_FILLPATH, {});
    if (std::strcmp(name, "StrokePath") == 0) return metaInts(dc, EMR_STROKEPATH, {});
    if (std::strcmp(name, "StrokeAndFillPath") == 0) return metaInts(dc, EMR_STROKEANDFILLPATH, {});
    if (std::strcmp(name, "FlattenPath") == 0)
        return dc.meta->enhanced ? metaInts(dc, EMR_FLATTENPATH, {}) : fail();
    return dc.meta->enhanced ? true : fail();
}

bool metaText(DeviceContext& dc, int x, int y, UINT options, const RECT* rect, LPCSTR text,
              UINT length, const INT* dx) {
    MetaRecorder& r = *dc.meta;
    RECT rc = rect ? *rect : RECT{0, 0, -1, -1};
    if (!r.enhanced) {
        if (length > 0x3FFF || !fits16(x) || !fits16(y)) return fail();
        bool withRect = rect && (options & (ETO_OPAQUE | ETO_CLIPPED));
        std::vector<std::int16_t> p{std::int16_t(y), std::int16_t(x), std::int16_t(length),
                                    std::int16_t(options)};
        if (withRect)
            for (LONG v : {rc.left, rc.top, rc.right, rc.bottom})
                p.push_back(std::int16_t(v));
        for (UINT i = 0; i < length; i += 2)
            p.push_back(
                std::int16_t(BYTE(text[i]) | (i + 1 < length ? BYTE(text[i + 1]) << 8 : 0)));
        if (dx)
            for (UINT i = 0; i < length; ++i)
                p.push_back(std::int16_t(dx[i]));
        r.wmr(META_EXTTEXTOUT, p);
        return true;
    }
    // Bounds, graphics mode, scales, then the text record; string and spacing follow it.
    std::vector<BYTE> v;
    putRect(v, RECTL{0, 0, -1, -1});
    putU32(v, DWORD(dc.st.graphicsMode));
    float one = 1;
    DWORD bits;
    std::memcpy(&bits, &one, 4);
    putU32(v, bits);
    putU32(v, bits);
    const DWORD offString = 76, offDx = dx ? DWORD(offString + ((length + 3) & ~3u)) : 0;
    putU32(v, DWORD(x));
    putU32(v, DWORD(y));
    putU32(v, length);
    putU32(v, offString);
    putU32(v, options);
    putRect(v, RECTL{rc.left, rc.top, rc.right, rc.bottom});
    putU32(v, offDx);
    v.insert(v.end(), text, text + length);
    v.resize(offString - 8 + ((length + 3) & ~3u), 0);
    if (dx)
        for (UINT i = 0; i < length; ++i)
            putU32(v, DWORD(dx[i]));
    r.addDevicePoint(dc, x, y);
    r.emr(EMR_EXTTEXTOUTA, v);
    return true;
}

bool metaStretchDib(DeviceContext& dc, int xDest, int yDest, int cxDest, int cyDest, int xSrc,
                    int ySrc, int cxSrc, int cySrc, const void* bits, const BITMAPINFO* info,
                    UINT usage, DWORD rop) {
    MetaRecorder& r = *dc.meta;
    // The header with its colour table, and the bits, copied into the record.
    const BITMAPINFOHEADER& h = info->bmiHeader;
    std::uint64_t cbBmi = dibHeaderBytes(h, usage);
    std::uint64_t rows = std::uint64_t(h.biHeight < 0 ? -std::int64_t(h.biHeight) : h.biHeight);
    std::uint64_t cbBits = bits ? dibBitsBytes(h, rows) : 0;
    if (cbBmi + cbBits > 0x7FFFFF00u) return fail();
    const std::uint64_t cbBmiRaw = cbBmi;
    const BYTE* bi = reinterpret_cast<const BYTE*>(info);
    if (!r.enhanced) {
        for (int v : {xDest, yDest, cxDest, cyDest, xSrc, ySrc, cxSrc, cySrc})
            if (!fits16(v)) return fail();
        if (cbBmiRaw + cbBits > 0xFFFF0) return fail();
        std::vector<BYTE> dib(bi, bi + cbBmiRaw);
        if (bits)
            dib.insert(dib.end(), static_cast<const BYTE*>(bits),
                       static_cast<const BYTE*>(bits) + cbBits);
        r.wmr(META_STRETCHDIB,
              {std::int16_t(rop & 0xFFFF), std::int16_t(rop >> 16), std::int16_t(usage),
               std::int16_t(cySrc), std::int16_t(cxSrc), std::int16_t(ySrc), std::int16_t(xSrc),
               std::int16_t(cyDest), std::int16_t(cxDest), std::int16_t(yDest),
               std::int16_t(xDest)},
              dib);
        return true;
    }
    cbBmi = (cbBmi + 3) & ~std::uint64_t(3);
    std::vector<BYTE> v;
    const POINT far{SdDeviceCoord(std::int64_t(xDest) + cxDest),
                    SdDeviceCoord(std::int64_t(yDest) + cyDest)};
    POINT corners[2] = {{xDest, yDest}, far};
    putRect(v, deviceBoundsOf(dc, corners, 2));
    for (LONG x : {xDest, yDest, xSrc, ySrc, cxSrc, cySrc})
        putU32(v, DWORD(x));
    const DWORD offBmi = 80, offBits = DWORD(offBmi + cbBmi);
    putU32(v, offBmi);
    putU32(v, DWORD(cbBmiRaw));
    putU32(v, bits ? offBits : 0);
    putU32(v, DWORD(cbBits));
    putU32(v, usage);
    putU32(v, rop);
    putU32(v, DWORD(cxDest));
    putU32(v, DWORD(cyDest));
    v.insert(v.end(), bi, bi + cbBmiRaw);
    v.resize(offBits - 8, 0);
    if (bits)
        v.insert(v.end(), static_cast<const BYTE*>(bits), static_cast<const BYTE*>(bits) + cbBits);
    r.addDevicePoint(dc, xDest, yDest);
    r.addDevicePoint(dc, far.x, far.y);
    r.emr(EMR_STRETCHDIBITS, v);
    return true;
}

bool metaSetDibits(DeviceContext& dc, int xDest, int yDest, DWORD width, DWORD height, int xSrc,
                   int ySrc, UINT startScan, UINT lines, const void* bits, const BITMAPINFO* info,
                   UINT usage) {
    MetaRecorder& r = *dc.meta;
    // The header with its colour table, and the `lines` scans given.
    const BITMAPINFOHEADER& h = info->bmiHeader;
    std::uint64_t cbBmi = dibHeaderBytes(h, usage);
    std::uint64_t rows = std::uint64_t(h.biHeight < 0 ? -std::int64_t(h.biHeight) : h.biHeight);
    if (startScan >= rows) return fail();
    lines = UINT(std::min<std::uint64_t>(lines, rows - startScan));
    if (h.biCompression != BI_RGB && h.biCompression != BI_BITFIELDS) return fail();
    std::uint64_t cbBits = dibBitsBytes(h, lines);
    if (cbBmi + cbBits > 0x7FFFFF00u) return fail();
    const BYTE* bi = reinterpret_cast<const BYTE*>(info);
    const BYTE* px = static_cast<const BYTE*>(bits);
    if (!r.enhanced) {
        for (std::int64_t v : {std::int64_t(xDest), std::int64_t(yDest), std::int64_t(width),
                               std::int64_t(height), std::int64_t(xSrc), std::int64_t(ySrc),
                               std::int64_t(startScan), std::int64_t(lines)})
            if (!fits16(v)) return fail();
        if (cbBmi + cbBits > 0xFFFF0) return fail();
        std::vector<BYTE> dib(bi, bi + cbBmi);
        dib.insert(dib.end(), px, px + cbBits);
        r.wmr(META_SETDIBTODEV,
              {std::int16_t(usage), std::int16_t(lines), std::int16_t(startScan),
               std::int16_t(ySrc), std::int16_t(xSrc), std::int16_t(height), std::int16_t(width),
               std::int16_t(yDest), std::int16_t(xDest)},
              dib);
        return true;
    }
    const std::uint64_t cbBmiPadded = (cbBmi + 3) & ~std::uint64_t(3);
    std::vector<BYTE> v;
    POINT d0 = dc.lpToDpPoint(xDest, yDest); // pixels map one to one
    RECTL b{d0.x, d0.y, SdDeviceCoord(std::int64_t(d0.x) + width - 1),
            SdDeviceCoord(std::int64_t(d0.y) + height - 1)};
    putRect(v, b);
    for (LONG x : {LONG(xDest), LONG(yDest), LONG(xSrc), LONG(ySrc), LONG(width), LONG(height)})
        putU32(v, DWORD(x));
    const DWORD offBmi = 76, offBits = DWORD(offBmi + cbBmiPadded);
    putU32(v, offBmi);
    putU32(v, DWORD(cbBmi));
    putU32(v, offBits);
    putU32(v, DWORD(cbBits));
    putU32(v, usage);
    putU32(v, startScan);
    putU32(v, lines);
    v.insert(v.end(), bi, bi + cbBmi);
    v.resize(offBits - 8, 0);
    v.insert(v.end(), px, px + cbBits);
    r.addDeviceRect(b);
    r.emr(EMR_SETDIBITSTODEVICE, v);
    return true;
}

bool metaAngleArc(DeviceContext& dc, int x, int y, DWORD radius, FLOAT start, FLOAT sweep) {
    MetaRecorder& r = *dc.meta;
    if (!r.enhanced) return fail();
    std::vector<BYTE> v;
    putU32(v, DWORD(x));
    putU32(v, DWORD(y));
    putU32(v, radius);
    DWORD bits;
    std::memcpy(&bits, &start, 4);
    putU32(v, bits);
    std::memcpy(&bits, &sweep, 4);
    putU32(v, bits);
    r.addDevicePoint(dc, SdDeviceCoord(std::int64_t(x) - radius), SdDeviceCoord(std::int64_t(y) - radius));
    r.addDevicePoint(dc, SdDeviceCoord(std::int64_t(x) + radius), SdDeviceCoord(std::int64_t(y) + radius));
    r.emr(EMR_ANGLEARC, v);
    return true;
}

std::vector<BYTE> finishEnhanced(MetaRecorder& r) {
    // End record: no palette entries.
    std::vector<BYTE> eof;
    putU32(eof, 0);
    putU32(eof, 16);
    putU32(eof, 20);
    r.emr(EMR_EOF, eof);

    RECTL bounds = r.haveBounds ? r.bounds : RECTL{0, 0, -1, -1};
    RECTL frame = r.frame;
    if (!r.haveFrame) {
        // From the bounds, through the reference device's size in millimetres.
        auto mm = [](LONG v, LONG mmSize, LONG px) {
            return SdDeviceCoord(std::round(double(v) * mmSize * 100.0 / (px ? px : 1)));
        };
        frame = RECTL{mm(bounds.left, r.millimetres.cx, r.device.cx),
                      mm(bounds.top, r.millimetres.cy, r.device.cy),
                      mm(bounds.right, r.millimetres.cx, r.device.cx),
                      mm(bounds.bottom, r.millimetres.cy, r.device.cy)};
    }
    std::size_t headerSize = sizeof(ENHMETAHEADER) + ((r.description.size() + 3) & ~std::size_t(3));
    ENHMETAHEADER h{};
    h.iType = EMR_HEADER;
    h.nSize = DWORD(headerSize);
    h.rclBounds = bounds;
    h.rclFrame = frame;
    h.dSignature = ENHMETA_SIGNATURE;
    h.nVersion = 0x10000;
    h.nBytes = DWORD(headerSize + r.body.size());
    h.nRecords = r.records + 1;
    h.nHandles = WORD(r.objects.size() + 1);
    h.nDescription = DWORD(r.description.size() / 2);
    h.offDescription = r.description.empty() ? 0 : DWORD(sizeof(ENHMETAHEADER));
    h.szlDevice = r.device;
    h.szlMillimeters = r.millimetres;
    h.szlMicrometers = SIZEL{r.millimetres.cx * 1000, r.millimetres.cy * 1000};
    std::vector<BYTE> out(headerSize, 0);
    std::memcpy(out.data(), &h, sizeof h);
    if (!r.description.empty())
        std::memcpy(out.data() + sizeof h, r.description.data(), r.description.size());
    out.insert(out.end(), r.body.begin(), r.body.end());
    return out;
}

std::vector<BYTE> finishWindows(MetaRecorder& r) {
    r.wmr(META_EOF, {});
    std::vector<BYTE> out;
    putU16(out, r.fileName.empty() ? 1 : 2);
    putU16(out, 9);
    putU16(out, 0x300);
    putU32(out, DWORD(9 + r.body.size() / 2));
    putU16(out, WORD(r.objects.size()));
    putU32(out, r.maxRecordWords);
    putU16(out, 0);
    out.insert(out.end(), r.body.begin(), r.body.end());
    return out;
}

} // namespace sdgdi
