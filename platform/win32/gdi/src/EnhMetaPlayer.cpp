// Playing and enumerating enhanced metafiles.
//
// During an enumeration onto a DC the metafile's own mapping (its mapping-mode, window,
// viewport and world-transform records) is not given to the DC as such: it is composed into
// one world transform, from the records' logical units to the metafile's device units (the
// space of the header's bounds). The DC's window and viewport hold only the mapping of the
// frame onto the playback rectangle. GetWorldTransform during the enumeration therefore
// answers the records' transform, and the rectangle only scales what is painted.

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "MetaFileObjects.h"
#include "MetaRecorder.h"
#include "win32/EnhMetaRecords.h"
#include "win32/gdifont.h"
#include "win32/nls.h"

using namespace sdgdi;

namespace {

struct Mapping {
    int mapMode = MM_TEXT;
    POINT wOrg{0, 0}, vOrg{0, 0};
    SIZE wExt{1, 1}, vExt{1, 1};
    XFORM world{1, 0, 0, 1, 0, 0};
};

struct PlayState {
    HDC dc = nullptr;
    SIZEL device{}, millimetres{};
    Mapping map;
    std::vector<Mapping> saved;
};

thread_local PlayState* current = nullptr;
thread_local UINT skipped = 0;

XFORM multiply(const XFORM& a, const XFORM& b) { // a first, then b
    return XFORM{a.eM11 * b.eM11 + a.eM12 * b.eM21,       a.eM11 * b.eM12 + a.eM12 * b.eM22,
                 a.eM21 * b.eM11 + a.eM22 * b.eM21,       a.eM21 * b.eM12 + a.eM22 * b.eM22,
                 a.eDx * b.eM11 + a.eDy * b.eM21 + b.eDx, a.eDx * b.eM12 + a.eDy * b.eM22 + b.eDy};
}

// The record's world-then-page transform onto the DC.
void apply(PlayState& s) {
    const Mapping& m = s.map;
    double sx = 1, sy = 1;
    auto metric = [&](double mmPerUnit) {
        sx = mmPerUnit * s.device.cx / (s.millimetres.cx ? s.millimetres.cx : 1);
        sy = -mmPerUnit * s.device.cy / (s.millimetres.cy ? s.millimetres.cy : 1);
    };
    switch (m.mapMode) {
    case MM_LOMETRIC:
        metric(0.1);
        break;
    case MM_HIMETRIC:
        metric(0.01);
        break;
    case MM_LOENGLISH:
        metric(0.254);
        break;
    case MM_HIENGLISH:
        metric(0.0254);
        break;
    case MM_TWIPS:
        metric(25.4 / 1440);
        break;
    case MM_ISOTROPIC:
    case MM_ANISOTROPIC:
        sx = double(m.vExt.cx) / (m.wExt.cx ? m.wExt.cx : 1);
        sy = double(m.vExt.cy) / (m.wExt.cy ? m.wExt.cy : 1);
        if (m.mapMode == MM_ISOTROPIC) {
            double k = std::min(std::fabs(sx), std::fabs(sy));
            sx = sx < 0 ? -k : k;
            sy = sy < 0 ? -k : k;
        }
        break;
    default:
        break;
    }
    XFORM page{FLOAT(sx),
               0,
               0,
               FLOAT(sy),
               FLOAT(m.vOrg.x - m.wOrg.x * sx),
               FLOAT(m.vOrg.y - m.wOrg.y * sy)};
    XFORM all = multiply(m.world, page);
    SetWorldTransform(s.dc, &all);
}

std::vector<POINT> readPoints(const BYTE* p, std::size_t n, bool small) {
    std::vector<POINT> out(n);
    for (std::size_t i = 0; i < n; ++i) {
        if (small)
            out[i] = POINT{getI16(p + 4 * i), getI16(p + 4 * i + 2)};
        else
            out[i] = POINT{getI32(p + 8 * i), getI32(p + 8 * i + 4)};
    }
    return out;
}

LONG arg(const ENHMETARECORD* r, int i) {
    return getI32(reinterpret_cast<const BYTE*>(r) + 8 + 4 * i);
}

FLOAT argF(const ENHMETARECORD* r, int i) {
    FLOAT f;
    std::memcpy(&f, reinterpret_cast<const BYTE*>(r) + 8 + 4 * i, 4);
    return f;
}

BOOL playPolyDraw(HDC dc, const std::vector<POINT>& pts, const BYTE* types) {
    for (std::size_t i = 0; i < pts.size(); ++i) {
        BYTE t = types[i] & ~PT_CLOSEFIGURE;
        if (t == PT_MOVETO) {
            MoveToEx(dc, pts[i].x, pts[i].y, nullptr);
        } else if (t == PT_LINETO) {
            LineTo(dc, pts[i].x, pts[i].y);
        } else if (t == PT_BEZIERTO && i + 2 < pts.size()) {
            PolyBezierTo(dc, &pts[i], 3);
            i += 2;
        } else {
            return FALSE;
        }
        if (types[i] & PT_CLOSEFIGURE) CloseFigure(dc);
    }
    return TRUE;
}

// The page mapping of the DC (window/viewport, without the world transform): the metafile's
// device units onto the DC's device units while enumerating.
Matrix pageMapping(HDC dc) {
    auto d = findDc(dc);
    if (!d) return Matrix{};
    XFORM world = d->st.world;
    d->st.world = XFORM{1, 0, 0, 1, 0, 0};
    Matrix m = d->toDevice();
    d->st.world = world;
    return m;
}

// The region of the RGNDATA at `data` (cb bytes, metafile device units) in the DC's device
// units; painted regions are shifted back by the DC's origin, as the paint calls take them.
HRGN playRegion(HDC dc, const BYTE* data, DWORD cb, bool painted) {
    if (cb < 32) return nullptr;
    DWORD headerSize = getU32(data), type = getU32(data + 4), n = getU32(data + 8);
    if (headerSize < 32 || headerSize > cb || type != RDH_RECTANGLES ||
        std::uint64_t(n) * 16 > cb - headerSize)
        return nullptr;
    Matrix m = pageMapping(dc);
    POINT o{0, 0};
    if (painted)
        if (auto d = findDc(dc)) o = d->lpToDpPoint(0, 0);
    std::vector<BYTE> out(32 + std::size_t(n) * 16, 0);
    RGNDATAHEADER h{32, RDH_RECTANGLES, n, n * 16, RECT{0, 0, 0, 0}};
    std::memcpy(out.data(), &h, sizeof h);
    for (DWORD i = 0; i < n; ++i) {
        const BYTE* r = data + headerSize + 16 * std::size_t(i);
        double x0, y0, x1, y1;
        m.apply(getI32(r), getI32(r + 4), x0, y0);
        m.apply(getI32(r + 8), getI32(r + 12), x1, y1);
        auto at = [](double v, LONG origin) { return SdDeviceCoord(std::round(v) - origin); };
        RECT rc{at(std::min(x0, x1), o.x), at(std::min(y0, y1), o.y), at(std::max(x0, x1), o.x),
                at(std::max(y0, y1), o.y)};
        std::memcpy(out.data() + 32 + 16 * std::size_t(i), &rc, sizeof rc);
    }
    return ExtCreateRegion(nullptr, DWORD(out.size()), reinterpret_cast<const RGNDATA*>(out.data()));
}

} // namespace

namespace sdgdi {

bool recordDib(const BYTE* b, DWORD offBmi, DWORD cbBmi, DWORD offBits, DWORD cbBits, UINT usage,
               RecordDib& out, UINT start, std::int64_t scans) {
    if (!SdEnhMetaDibFits(b + offBmi, cbBmi, cbBits, usage, start, scans)) return false;
    out.info.assign((std::size_t(cbBmi) + 3) / 4 + 256, 0);
    out.bits.assign((std::size_t(cbBits) + 3) / 4 + 1, 0);
    std::memcpy(out.info.data(), b + offBmi, cbBmi);
    if (cbBits) std::memcpy(out.bits.data(), b + offBits, cbBits);
    return true;
}

// A pattern brush from a record's DIB; monochrome ones as a device-dependent bitmap, so that
// they paint in the text and background colours.
HBRUSH patternBrush(HDC dc, const RecordDib& dib, UINT usage, bool mono) {
    const BITMAPINFOHEADER& h = dib.bmi()->bmiHeader;
    HBITMAP bmp = nullptr;
    if (mono && h.biBitCount == 1 && h.biCompression == BI_RGB) {
        int w = h.biWidth, rows = int(std::min<std::int64_t>(std::abs(std::int64_t(h.biHeight)), 4096));
        if (w > 4096) return nullptr;
        std::size_t in = ((std::size_t(w) + 31) / 32) * 4, outRow = ((std::size_t(w) + 15) / 16) * 2;
        std::vector<BYTE> top(outRow * std::size_t(rows));
        const BYTE* src = reinterpret_cast<const BYTE*>(dib.bits.data());
        for (int y = 0; y < rows; ++y) {
            int from = h.biHeight > 0 ? rows - 1 - y : y;
            std::memcpy(top.data() + outRow * std::size_t(y), src + in * std::size_t(from), outRow);
        }
        bmp = CreateBitmap(w, rows, 1, 1, top.data());
    } else {
        void* bits = nullptr;
        bmp = CreateDIBSection(dc, dib.bmi(), usage, &bits, nullptr, 0);
        if (!bmp || !bits) {
            if (bmp) DeleteObject(bmp);
            return nullptr;
        }
        DIBSECTION ds{};
        GetObjectA(bmp, sizeof ds, &ds);
        std::size_t n = std::size_t(ds.dsBm.bmWidthBytes) * std::size_t(std::abs(ds.dsBm.bmHeight));
        std::memcpy(bits, dib.bits.data(), std::min(n, dib.bits.size() * 4));
    }
    if (!bmp) return nullptr;
    HBRUSH brush = CreatePatternBrush(bmp);
    DeleteObject(bmp);
    return brush;
}

} // namespace sdgdi

UINT SdEnhMetaSkippedRecords(bool reset) {
    UINT n = skipped;
    if (reset) skipped = 0;
    return n;
}

BOOL PlayEnhMetaFileRecord(HDC dc, HANDLETABLE* table, const ENHMETARECORD* r, UINT handles) {
    if (!r || !findDc(dc)) return failWith(ERROR_INVALID_PARAMETER);
    const BYTE* b = reinterpret_cast<const BYTE*>(r);
    DWORD size = r->nSize;
    if (enhRecordAt(b, size, 0) != size || !SdEnhMetaRecordFits(b, size)) return failWith(ERROR_INVALID_DATA);
    PlayState* s = current && current->dc == dc ? current : nullptr;
    auto slot = [&](DWORD ih) -> HGDIOBJ* {
        if (!table || ih == 0 || ih >= handles) return nullptr;
        return &table->objectHandle[ih];
    };
    auto objectAt = [&](DWORD ih) -> HGDIOBJ {
        if (ih & ENHMETA_STOCK_OBJECT) return GetStockObject(int(ih & ~ENHMETA_STOCK_OBJECT));
        HGDIOBJ* h = slot(ih);
        return h ? *h : nullptr;
    };
    auto create = [&](DWORD ih, HGDIOBJ object) -> BOOL {
        HGDIOBJ* h = slot(ih);
        if (!h) {
            if (object) DeleteObject(object);
            return failWith(ERROR_INVALID_DATA);
        }
        if (*h) DeleteObject(*h);
        *h = object;
        return object ? TRUE : failWith(ERROR_INVALID_DATA);
    };
    auto mapping = [&](auto change, auto direct) {
        if (s) {
            change(s->map);
            apply(*s);
            return TRUE;
        }
        return BOOL(direct());
    };
    switch (r->iType) {
    case EMR_HEADER:
    case EMR_EOF:
    case EMR_GDICOMMENT:
        return TRUE;
    case EMR_POLYBEZIER:
    case EMR_POLYGON:
    case EMR_POLYLINE:
    case EMR_POLYBEZIERTO:
    case EMR_POLYLINETO:
    case EMR_POLYBEZIER16:
    case EMR_POLYGON16:
    case EMR_POLYLINE16:
    case EMR_POLYBEZIERTO16:
    case EMR_POLYLINETO16: {
        bool small = r->iType >= EMR_POLYBEZIER16;
        DWORD kind = small ? r->iType - 83 : r->iType;
        auto pts = readPoints(b + 28, getU32(b + 24), small);
        if (pts.empty()) return TRUE;
        switch (kind) {
        case EMR_POLYBEZIER:
            return PolyBezier(dc, pts.data(), DWORD(pts.size()));
        case EMR_POLYGON:
            return Polygon(dc, pts.data(), int(pts.size()));
        case EMR_POLYLINE:
            return Polyline(dc, pts.data(), int(pts.size()));
        case EMR_POLYBEZIERTO:
            return PolyBezierTo(dc, pts.data(), DWORD(pts.size()));
        default:
            return PolylineTo(dc, pts.data(), DWORD(pts.size()));
        }
    }
    case EMR_POLYPOLYLINE:
    case EMR_POLYPOLYGON:
    case EMR_POLYPOLYLINE16:
    case EMR_POLYPOLYGON16: {
        bool small = r->iType >= EMR_POLYBEZIER16;
        DWORD polys = getU32(b + 24), total = getU32(b + 28);
        if (polys == 0) return TRUE;
        std::vector<DWORD> counts(polys);
        std::vector<INT> icounts(polys);
        for (DWORD i = 0; i < polys; ++i)
            icounts[i] = INT(counts[i] = getU32(b + 32 + 4 * i));
        auto pts = readPoints(b + 32 + 4 * std::size_t(polys), total, small);
        if ((small ? r->iType - 83 : r->iType) == EMR_POLYPOLYGON)
            return PolyPolygon(dc, pts.data(), icounts.data(), int(polys));
        return PolyPolyline(dc, pts.data(), counts.data(), polys);
    }
    case EMR_POLYDRAW:
    case EMR_POLYDRAW16: {
        bool small = r->iType == EMR_POLYDRAW16;
        DWORD n = getU32(b + 24);
        auto pts = readPoints(b + 28, n, small);
        return playPolyDraw(dc, pts, b + 28 + std::size_t(n) * (small ? 4 : 8));
    }
    case EMR_SETWINDOWEXTEX:
        return mapping(
            [&](Mapping& m) {
                if (arg(r, 0) && arg(r, 1)) m.wExt = SIZE{arg(r, 0), arg(r, 1)};
            },
            [&] { return SetWindowExtEx(dc, arg(r, 0), arg(r, 1), nullptr); });
    case EMR_SETWINDOWORGEX:
        return mapping(
            [&](Mapping& m) {
                m.wOrg = POINT{arg(r, 0), arg(r, 1)};
            },
            [&] { return SetWindowOrgEx(dc, arg(r, 0), arg(r, 1), nullptr); });
    case EMR_SETVIEWPORTEXTEX:
        return mapping(
            [&](Mapping& m) {
                if (arg(r, 0) && arg(r, 1)) m.vExt = SIZE{arg(r, 0), arg(r, 1)};
            },
            [&] { return SetViewportExtEx(dc, arg(r, 0), arg(r, 1), nullptr); });
    case EMR_SETVIEWPORTORGEX:
        return mapping(
            [&](Mapping& m) {
                m.vOrg = POINT{arg(r, 0), arg(r, 1)};
            },
            [&] { return SetViewportOrgEx(dc, arg(r, 0), arg(r, 1), nullptr); });
    case EMR_SETMAPMODE:
        if (arg(r, 0) < MM_TEXT || arg(r, 0) > MM_ANISOTROPIC) return failWith(ERROR_INVALID_DATA);
        return mapping([&](Mapping& m) { m.mapMode = arg(r, 0); },
                       [&] { return SetMapMode(dc, arg(r, 0)) != 0; });
    case EMR_SETWORLDTRANSFORM: {
        XFORM x;
        std::memcpy(&x, b + 8, 24);
        return mapping([&](Mapping& m) { m.world = x; }, [&] { return SetWorldTransform(dc, &x); });
    }
    case EMR_MODIFYWORLDTRANSFORM: {
        XFORM x;
        std::memcpy(&x, b + 8, 24);
        DWORD mode = getU32(b + 32);
        return mapping(
            [&](Mapping& m) {
                if (mode == MWT_IDENTITY)
                    m.world = XFORM{1, 0, 0, 1, 0, 0};
                else if (mode == MWT_LEFTMULTIPLY)
                    m.world = multiply(x, m.world);
                else if (mode == MWT_RIGHTMULTIPLY)
                    m.world = multiply(m.world, x);
            },
            [&] { return ModifyWorldTransform(dc, &x, mode); });
    }
    case EMR_SETBRUSHORGEX:
        return SetBrushOrgEx(dc, arg(r, 0), arg(r, 1), nullptr);
    case EMR_SETPIXELV:
        return SetPixelV(dc, arg(r, 0), arg(r, 1), COLORREF(arg(r, 2)));
    case EMR_SETBKMODE:
        return SetBkMode(dc, arg(r, 0)) != 0;
    case EMR_SETPOLYFILLMODE:
        return SetPolyFillMode(dc, arg(r, 0)) != 0;
    case EMR_SETROP2:
        return SetROP2(dc, arg(r, 0)) != 0;
    case EMR_SETSTRETCHBLTMODE:
        return SetStretchBltMode(dc, arg(r, 0)) != 0;
    case EMR_SETTEXTALIGN:
        SetTextAlign(dc, UINT(arg(r, 0)));
        return TRUE;
    case EMR_SETTEXTCOLOR:
        return SetTextColor(dc, COLORREF(arg(r, 0))) != CLR_INVALID;
    case EMR_SETBKCOLOR:
        return SetBkColor(dc, COLORREF(arg(r, 0))) != CLR_INVALID;
    case EMR_SETARCDIRECTION:
        return SetArcDirection(dc, arg(r, 0)) != 0;
    case EMR_MOVETOEX:
        return MoveToEx(dc, arg(r, 0), arg(r, 1), nullptr);
    case EMR_LINETO:
        return LineTo(dc, arg(r, 0), arg(r, 1));
    case EMR_EXCLUDECLIPRECT:
        return ExcludeClipRect(dc, arg(r, 0), arg(r, 1), arg(r, 2), arg(r, 3)) != ERROR;
    case EMR_INTERSECTCLIPRECT:
        return IntersectClipRect(dc, arg(r, 0), arg(r, 1), arg(r, 2), arg(r, 3)) != ERROR;
    case EMR_SAVEDC:
        if (!SaveDC(dc)) return FALSE;
        if (s) s->saved.push_back(s->map);
        return TRUE;
    case EMR_RESTOREDC: {
        LONG level = arg(r, 0);
        if (level >= 0) return failWith(ERROR_INVALID_DATA); // only relative levels are stored
        if (s) {
            // Never below the state the enumeration started from.
            if (std::size_t(-std::int64_t(level)) > s->saved.size()) return FALSE;
            if (!RestoreDC(dc, level)) return FALSE;
            s->map = s->saved[s->saved.size() - std::size_t(-std::int64_t(level))];
            s->saved.resize(s->saved.size() - std::size_t(-std::int64_t(level)));
            return TRUE;
        }
        return RestoreDC(dc, level);
    }
    case EMR_CREATEPEN: {
        HGDIOBJ* h = slot(getU32(b + 8));
        if (!h) return failWith(ERROR_INVALID_DATA);
        if (*h) DeleteObject(*h);
        *h = CreatePen(int(getU32(b + 12)), getI32(b + 16), getU32(b + 24));
        return *h != nullptr;
    }
    case EMR_CREATEBRUSHINDIRECT: {
        HGDIOBJ* h = slot(getU32(b + 8));
        if (!h) return failWith(ERROR_INVALID_DATA);
        if (*h) DeleteObject(*h);
        LOGBRUSH lb{getU32(b + 12), getU32(b + 16), std::uintptr_t(getU32(b + 20))};
        if (lb.lbStyle == BS_PATTERN) lb.lbStyle = BS_SOLID; // no pattern bitmap in this record
        *h = CreateBrushIndirect(&lb);
        return *h != nullptr;
    }
    case EMR_SELECTOBJECT: {
        DWORD ih = getU32(b + 8);
        HGDIOBJ o = nullptr;
        if (ih & ENHMETA_STOCK_OBJECT)
            o = GetStockObject(int(ih & ~ENHMETA_STOCK_OBJECT));
        else if (HGDIOBJ* h = slot(ih))
            o = *h;
        if (!o) return failWith(ERROR_INVALID_DATA);
        return SelectObject(dc, o) != nullptr;
    }
    case EMR_DELETEOBJECT: {
        HGDIOBJ* h = slot(getU32(b + 8));
        if (!h || !*h) return failWith(ERROR_INVALID_DATA);
        DeleteObject(*h);
        *h = nullptr;
        return TRUE;
    }
    case EMR_ANGLEARC:
        return AngleArc(dc, arg(r, 0), arg(r, 1), getU32(b + 16), argF(r, 3), argF(r, 4));
    case EMR_ELLIPSE:
        return Ellipse(dc, arg(r, 0), arg(r, 1), arg(r, 2), arg(r, 3));
    case EMR_RECTANGLE:
        return Rectangle(dc, arg(r, 0), arg(r, 1), arg(r, 2), arg(r, 3));
    case EMR_ROUNDRECT:
        return RoundRect(dc, arg(r, 0), arg(r, 1), arg(r, 2), arg(r, 3), arg(r, 4), arg(r, 5));
    case EMR_ARC:
    case EMR_ARCTO:
    case EMR_CHORD:
    case EMR_PIE: {
        auto f = r->iType == EMR_ARC     ? Arc
                 : r->iType == EMR_ARCTO ? ArcTo
                 : r->iType == EMR_CHORD ? Chord
                                         : Pie;
        return f(dc, arg(r, 0), arg(r, 1), arg(r, 2), arg(r, 3), arg(r, 4), arg(r, 5), arg(r, 6),
                 arg(r, 7));
    }
    case EMR_BEGINPATH:
        return BeginPath(dc);
    case EMR_ENDPATH:
        return EndPath(dc);
    case EMR_CLOSEFIGURE:
        return CloseFigure(dc);
    case EMR_ABORTPATH:
        return AbortPath(dc);
    case EMR_FILLPATH:
        return FillPath(dc);
    case EMR_STROKEANDFILLPATH:
        return StrokeAndFillPath(dc);
    case EMR_STROKEPATH:
        return StrokePath(dc);
    case EMR_SELECTCLIPPATH:
        return SelectClipPath(dc, arg(r, 0));
    case EMR_STRETCHDIBITS: {
        DWORD offBmi = getU32(b + 48), cbBmi = getU32(b + 52), offBits = getU32(b + 56),
              cbBits = getU32(b + 60);
        if (!cbBmi) return TRUE;
        RecordDib dib;
        if (!recordDib(b, offBmi, cbBmi, offBits, cbBits, getU32(b + 64), dib))
            return failWith(ERROR_INVALID_DATA);
        return StretchDIBits(dc, arg(r, 4), arg(r, 5), arg(r, 16), arg(r, 17), arg(r, 6), arg(r, 7),
                             arg(r, 8), arg(r, 9), dib.bits.data(), dib.bmi(), getU32(b + 64),
                             getU32(b + 68)) != 0;
    }
    case EMR_SETDIBITSTODEVICE: {
        // The record holds `scans` rows from `start` on.
        UINT start = getU32(b + 68), scans = getU32(b + 72);
        RecordDib dib;
        if (!recordDib(b, getU32(b + 48), getU32(b + 52), getU32(b + 56), getU32(b + 60), getU32(b + 64),
                       dib, start, scans))
            return failWith(ERROR_INVALID_DATA);
        return SetDIBitsToDevice(dc, getI32(b + 24), getI32(b + 28), getU32(b + 40), getU32(b + 44),
                                 getI32(b + 32), getI32(b + 36), start, scans, dib.bits.data(),
                                 dib.bmi(), getU32(b + 64)) != 0;
    }
    case EMR_FLATTENPATH:
        return FlattenPath(dc);
    case EMR_BITBLT:
    case EMR_STRETCHBLT: {
        LONG x = getI32(b + 24), y = getI32(b + 28), cx = getI32(b + 32), cy = getI32(b + 36);
        DWORD rop = getU32(b + 40);
        DWORD offBmi = getU32(b + 84), cbBmi = getU32(b + 88), offBits = getU32(b + 92),
              cbBits = getU32(b + 96);
        if (!cbBmi) return PatBlt(dc, x, y, cx, cy, rop);
        RecordDib dib;
        if (!recordDib(b, offBmi, cbBmi, offBits, cbBits, getU32(b + 80), dib))
            return failWith(ERROR_INVALID_DATA);
        // The source rectangle through the source transform gives DIB pixels (top-down rows).
        XFORM xf;
        std::memcpy(&xf, b + 52, 24);
        LONG cxs = r->iType == EMR_STRETCHBLT ? getI32(b + 100) : cx;
        LONG cys = r->iType == EMR_STRETCHBLT ? getI32(b + 104) : cy;
        double sx = double(getI32(b + 44)) * xf.eM11 + double(getI32(b + 48)) * xf.eM21 + xf.eDx;
        double sy = double(getI32(b + 44)) * xf.eM12 + double(getI32(b + 48)) * xf.eM22 + xf.eDy;
        auto toInt = [](double v) { return SdDeviceCoord(std::round(v)); };
        int xs = toInt(sx), ys = toInt(sy), ws = toInt(cxs * double(xf.eM11)),
            hs = toInt(cys * double(xf.eM22));
        LONG height = dib.bmi()->bmiHeader.biHeight;
        // StretchDIBits counts rows of a bottom-up DIB from the bottom.
        if (height > 0) ys = SdDeviceCoord(std::int64_t(height) - ys - hs);
        return StretchDIBits(dc, x, y, cx, cy, xs, ys, ws, hs, dib.bits.data(), dib.bmi(),
                             getU32(b + 80), rop) != 0;
    }
    case EMR_FILLRGN:
    case EMR_FRAMERGN:
    case EMR_INVERTRGN:
    case EMR_PAINTRGN: {
        bool withBrush = r->iType == EMR_FILLRGN || r->iType == EMR_FRAMERGN;
        DWORD at = r->iType == EMR_FRAMERGN ? 40 : withBrush ? 32 : 28;
        HGDIOBJ brush = withBrush ? objectAt(getU32(b + 28)) : nullptr;
        if (withBrush && GetObjectType(brush) != OBJ_BRUSH) return failWith(ERROR_INVALID_DATA);
        HRGN rgn = playRegion(dc, b + at, getU32(b + 24), true);
        if (!rgn) return failWith(ERROR_INVALID_DATA);
        BOOL ok;
        switch (r->iType) {
        case EMR_FILLRGN:
            ok = FillRgn(dc, rgn, static_cast<HBRUSH>(brush));
            break;
        case EMR_FRAMERGN:
            ok = FrameRgn(dc, rgn, static_cast<HBRUSH>(brush), getI32(b + 32), getI32(b + 36));
            break;
        case EMR_INVERTRGN:
            ok = InvertRgn(dc, rgn);
            break;
        default:
            ok = PaintRgn(dc, rgn);
            break;
        }
        DeleteObject(rgn);
        return ok;
    }
    case EMR_EXTSELECTCLIPRGN: {
        DWORD cb = getU32(b + 8);
        int mode = getI32(b + 12);
        if (cb == 0) return ExtSelectClipRgn(dc, nullptr, mode) != ERROR;
        HRGN rgn = playRegion(dc, b + 16, cb, false);
        if (!rgn) return failWith(ERROR_INVALID_DATA);
        int result = ExtSelectClipRgn(dc, rgn, mode);
        DeleteObject(rgn);
        return result != ERROR;
    }
    case EMR_OFFSETCLIPRGN:
        return OffsetClipRgn(dc, arg(r, 0), arg(r, 1)) != ERROR;
    case EMR_CREATEPALETTE: {
        WORD n = getU16(b + 14);
        if (getU16(b + 12) != 0x300 || n == 0) return create(getU32(b + 8), nullptr);
        std::vector<BYTE> lp(4 + 4 * std::size_t(n));
        std::memcpy(lp.data(), b + 12, lp.size());
        return create(getU32(b + 8), CreatePalette(reinterpret_cast<const LOGPALETTE*>(lp.data())));
    }
    case EMR_SELECTPALETTE: {
        HGDIOBJ p = objectAt(getU32(b + 8));
        if (GetObjectType(p) != OBJ_PAL) return failWith(ERROR_INVALID_DATA);
        return SelectPalette(dc, static_cast<HPALETTE>(p), FALSE) != nullptr;
    }
    case EMR_REALIZEPALETTE:
        return RealizePalette(dc) != GDI_ERROR;
    case EMR_EXTCREATEFONTINDIRECTW: {
        LOGFONTA lf{};
        lf.lfHeight = getI32(b + 12);
        lf.lfWidth = getI32(b + 16);
        lf.lfEscapement = getI32(b + 20);
        lf.lfOrientation = getI32(b + 24);
        lf.lfWeight = getI32(b + 28);
        std::memcpy(&lf.lfItalic, b + 32, 8);
        WCHAR face[LF_FACESIZE]{};
        int chars = 0;
        while (chars < LF_FACESIZE - 1 && (face[chars] = WCHAR(getU16(b + 40 + 2 * chars))) != 0)
            ++chars;
        if (chars)
            WideCharToMultiByte(CP_ACP, 0, face, chars, lf.lfFaceName, LF_FACESIZE - 1, nullptr,
                                nullptr);
        return create(getU32(b + 8), CreateFontIndirectA(&lf));
    }
    case EMR_CREATEMONOBRUSH:
    case EMR_CREATEDIBPATTERNBRUSHPT: {
        RecordDib dib;
        if (!recordDib(b, getU32(b + 16), getU32(b + 20), getU32(b + 24), getU32(b + 28), getU32(b + 12), dib))
            return create(getU32(b + 8), nullptr);
        return create(getU32(b + 8), patternBrush(dc, dib, getU32(b + 12),
                                                  r->iType == EMR_CREATEMONOBRUSH));
    }
    case EMR_EXTCREATEPEN: {
        DWORD style = getU32(b + 28), width = getU32(b + 32);
        LOGBRUSH lb{getU32(b + 36), getU32(b + 40), std::uintptr_t(getU32(b + 44))};
        if (lb.lbStyle != BS_NULL && lb.lbStyle != BS_HATCHED) lb.lbStyle = BS_SOLID;
        HPEN pen = ExtCreatePen(style, width, &lb, 0, nullptr);
        // Cosmetic pens wider than a pixel are kept as plain pens.
        if (!pen) pen = CreatePen(int(style & PS_STYLE_MASK), int(std::min<DWORD>(width, 0x7FFFFFFF)), lb.lbColor);
        return create(getU32(b + 8), pen);
    }
    case EMR_EXTTEXTOUTA:
    case EMR_EXTTEXTOUTW: {
        DWORD n = getU32(b + 44), offString = getU32(b + 48), options = getU32(b + 52),
              offDx = getU32(b + 72);
        RECT rc{getI32(b + 56), getI32(b + 60), getI32(b + 64), getI32(b + 68)};
        std::string text;
        if (r->iType == EMR_EXTTEXTOUTA) {
            text.assign(reinterpret_cast<const char*>(b + offString), n);
        } else {
            std::vector<WCHAR> w(n);
            for (DWORD i = 0; i < n; ++i)
                w[i] = WCHAR(getU16(b + offString + 2 * i));
            int len =
                n ? WideCharToMultiByte(CP_ACP, 0, w.data(), int(n), nullptr, 0, nullptr, nullptr)
                  : 0;
            text.assign(std::size_t(std::max(len, 0)), '\0');
            if (len > 0)
                WideCharToMultiByte(CP_ACP, 0, w.data(), int(n), text.data(), len, nullptr,
                                    nullptr);
        }
        std::vector<INT> dx;
        if (offDx) {
            for (DWORD i = 0; i < n; ++i)
                dx.push_back(getI32(b + offDx + 4 * i));
            dx.resize(std::max<std::size_t>(dx.size(), text.size()), 0);
        }
        // Plain text (no options, rectangle or spacing) is what TextOut records.
        if (options == 0 && dx.empty() && rc.right < rc.left)
            return TextOutA(dc, getI32(b + 36), getI32(b + 40), text.data(), int(text.size()));
        return ExtTextOutA(dc, getI32(b + 36), getI32(b + 40), options, &rc, text.data(),
                           UINT(text.size()), dx.empty() ? nullptr : dx.data());
    }
    default:
        ++skipped;
        return TRUE;
    }
}

BOOL EnumEnhMetaFile(HDC dc, HENHMETAFILE emf, ENHMFENUMPROC proc, LPVOID data, const RECT* rect) {
    auto m = findMeta(emf, OBJ_ENHMETAFILE);
    if (!m) return FALSE;
    if (!proc) return failWith(ERROR_INVALID_PARAMETER);
    if (dc && !findDc(dc)) return failWith(ERROR_INVALID_HANDLE);
    if (dc && !rect) return failWith(ERROR_INVALID_PARAMETER);
    std::vector<BYTE> bytes = m->bytes; // the handle may be deleted by the callback
    const BYTE* p = bytes.data();
    const ENHMETAHEADER* hp = reinterpret_cast<const ENHMETAHEADER*>(p);
    ENHMETAHEADER h{};
    std::memcpy(&h, hp, std::min<std::size_t>(getU32(p + 4), sizeof h));
    UINT handles = std::max<UINT>(h.nHandles, 1);
    std::vector<HGDIOBJ> table(handles, nullptr);
    table[0] = emf;
    auto* ht = reinterpret_cast<HANDLETABLE*>(table.data());

    PlayState state;
    PlayState* outer = current;
    int saveLevel = 0;
    if (dc) {
        state.dc = dc;
        state.device = h.szlDevice;
        state.millimetres = h.szlMillimeters;
        saveLevel = SaveDC(dc);
        // The frame, in the metafile's device units, onto the rectangle.
        auto px = [](LONG v, LONG mm, LONG dev) {
            return SdDeviceCoord(std::round(double(v) * dev / (100.0 * (mm ? mm : 1))));
        };
        // Extents are differences of two coordinates: 0 becomes 1.
        auto extent = [](LONG from, LONG to) {
            LONG e = SdDeviceCoord(std::int64_t(to) - from);
            return e ? e : 1;
        };
        LONG fl = px(h.rclFrame.left, h.szlMillimeters.cx, h.szlDevice.cx);
        LONG ft = px(h.rclFrame.top, h.szlMillimeters.cy, h.szlDevice.cy);
        LONG fr = px(h.rclFrame.right, h.szlMillimeters.cx, h.szlDevice.cx);
        LONG fb = px(h.rclFrame.bottom, h.szlMillimeters.cy, h.szlDevice.cy);
        SetGraphicsMode(dc, GM_ADVANCED);
        ModifyWorldTransform(dc, nullptr, MWT_IDENTITY);
        SetMapMode(dc, MM_ANISOTROPIC);
        SetWindowOrgEx(dc, fl, ft, nullptr);
        SetWindowExtEx(dc, extent(fl, fr), extent(ft, fb), nullptr);
        SetViewportOrgEx(dc, rect->left, rect->top, nullptr);
        SetViewportExtEx(dc, extent(rect->left, rect->right), extent(rect->top, rect->bottom), nullptr);
        current = &state;
    }
    BOOL ok = TRUE;
    std::size_t at = 0;
    while (at + 8 <= bytes.size()) {
        DWORD size = enhRecordAt(p, bytes.size(), at);
        if (!size) {
            ok = failWith(ERROR_INVALID_DATA);
            break;
        }
        const auto* rec = reinterpret_cast<const ENHMETARECORD*>(p + at);
        if (!proc(dc, ht, rec, int(handles), reinterpret_cast<LPARAM>(data))) {
            ok = FALSE;
            break;
        }
        if (rec->iType == EMR_EOF) break;
        at += size;
    }
    if (dc) {
        current = outer;
        RestoreDC(dc, saveLevel);
    }
    for (UINT i = 1; i < handles; ++i)
        if (table[i]) DeleteObject(table[i]);
    return ok;
}

namespace {

int CALLBACK_play(HDC dc, HANDLETABLE* table, const ENHMETARECORD* rec, int handles, LPARAM) {
    PlayEnhMetaFileRecord(dc, table, rec, UINT(handles));
    return 1;
}

} // namespace

BOOL PlayEnhMetaFile(HDC dc, HENHMETAFILE emf, const RECT* rect) {
    if (!rect) return failWith(ERROR_INVALID_PARAMETER);
    if (!findDc(dc)) return failWith(ERROR_INVALID_HANDLE);
    return EnumEnhMetaFile(dc, emf, CALLBACK_play, nullptr, rect);
}
