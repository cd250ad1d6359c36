// Windows metafiles: recording contexts, loading, validation, enumeration and playback, and
// the conversions to and from enhanced metafiles.

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "MetaFileObjects.h"
#include "MetaRecorder.h"
#include "win32/gdifont.h"
#include "win32/nls.h"

namespace sdgdi {

bool validWindowsRecord(const BYTE* r, DWORD bytes) {
    if (bytes < 6) return false;
    WORD fn = getU16(r + 4);
    const BYTE* p = r + 6;
    std::uint64_t words = (bytes - 6) / 2;
    auto need = [&](std::uint64_t n) { return words >= n; };
    switch (fn) {
    case META_POLYGON:
    case META_POLYLINE: {
        if (!need(1)) return false;
        std::int16_t n = getI16(p);
        return n >= 0 && need(1 + 2 * std::uint64_t(n));
    }
    case META_POLYPOLYGON: {
        if (!need(1)) return false;
        std::int16_t n = getI16(p);
        if (n < 0 || !need(1 + std::uint64_t(n))) return false;
        std::uint64_t sum = 0;
        for (int i = 0; i < n; ++i) {
            std::int16_t c = getI16(p + 2 + 2 * i);
            if (c < 0) return false;
            sum += std::uint64_t(c);
        }
        return need(1 + std::uint64_t(n) + 2 * sum);
    }
    case META_SETBKMODE:
    case META_SETMAPMODE:
    case META_SETROP2:
    case META_SETPOLYFILLMODE:
    case META_RESTOREDC:
    case META_SELECTOBJECT:
    case META_DELETEOBJECT:
    case META_SETTEXTALIGN:
        return need(1);
    case META_SETPIXEL:
        return need(4);
    case META_SETBKCOLOR:
    case META_SETTEXTCOLOR:
    case META_SETWINDOWORG:
    case META_SETWINDOWEXT:
    case META_SETVIEWPORTORG:
    case META_SETVIEWPORTEXT:
    case META_OFFSETWINDOWORG:
    case META_OFFSETVIEWPORTORG:
    case META_LINETO:
    case META_MOVETO:
        return need(2);
    case META_SCALEWINDOWEXT:
    case META_SCALEVIEWPORTEXT:
    case META_EXCLUDECLIPRECT:
    case META_INTERSECTCLIPRECT:
    case META_ELLIPSE:
    case META_RECTANGLE:
    case META_CREATEBRUSHINDIRECT:
        return need(4);
    case META_CREATEPENINDIRECT:
        return need(5);
    case META_ROUNDRECT:
        return need(6);
    case META_EXTTEXTOUT: {
        if (!need(4)) return false;
        std::int16_t n = getI16(p + 4);
        WORD options = getU16(p + 6);
        std::uint64_t at = 4 + ((options & (ETO_OPAQUE | ETO_CLIPPED)) ? 4 : 0);
        return n >= 0 && need(at + (std::uint64_t(n) + 1) / 2);
    }
    case META_ARC:
    case META_PIE:
    case META_CHORD:
        return need(8);
    case META_PATBLT:
        return need(6);
    case META_DIBBITBLT:
    case META_DIBSTRETCHBLT:
    case META_STRETCHDIB: {
        // Without a bitmap the blits hold one reserved word instead.
        std::uint64_t at = fn == META_DIBBITBLT ? 8 : fn == META_DIBSTRETCHBLT ? 10 : 11;
        if (fn != META_STRETCHDIB && words == at + 1) return true;
        UINT usage = fn == META_STRETCHDIB && need(3) ? getU16(p + 4) : DIB_RGB_COLORS;
        return need(at) && packedDibHeaderBytes(p + 2 * at, 2 * (words - at), usage) != 0;
    }
    case META_SETDIBTODEV:
        return need(9) && packedDibHeaderBytes(p + 18, 2 * (words - 9), getU16(p)) != 0;
    case META_DIBCREATEPATTERNBRUSH:
        return need(2) && packedDibHeaderBytes(p + 4, 2 * (words - 2), getU16(p + 2)) != 0;
    case META_CREATEFONTINDIRECT:
        return need(9);
    case META_CREATEPALETTE:
        return need(2) && need(2 + 2 * std::uint64_t(getU16(p + 2)));
    case META_SELECTPALETTE:
    case META_INVERTREGION:
    case META_PAINTREGION:
    case META_SELECTCLIPREGION:
        return need(1);
    case META_FILLREGION:
    case META_OFFSETCLIPRGN:
        return need(2);
    case META_FRAMEREGION:
        return need(4);
    case META_CREATEREGION: {
        if (!need(11)) return false;
        std::uint64_t at = 11;
        for (int i = 0, n = getI16(p + 10); i < n; ++i) {
            if (!need(at + 3)) return false;
            std::int16_t count = getI16(p + 2 * at);
            if (count < 0 || count % 2) return false;
            at += 3 + std::uint64_t(count) + 1;
            if (!need(at)) return false;
        }
        return true;
    }
    default:
        return true;
    }
}

bool validWindows(const BYTE* data, std::size_t size) {
    if (!data || size < 18) return false;
    WORD type = getU16(data), headerWords = getU16(data + 2), version = getU16(data + 4);
    if ((type != 1 && type != 2) || headerWords != 9 || (version != 0x100 && version != 0x300))
        return false;
    std::uint64_t total = std::uint64_t(getU32(data + 6)) * 2;
    if (total < 18 || total > size) return false;
    std::size_t at = 18;
    while (at < total) {
        if (total - at < 6) return false;
        std::uint64_t bytes = std::uint64_t(getU32(data + at)) * 2;
        if (bytes < 6 || bytes > total - at) return false;
        if (!validWindowsRecord(data + at, DWORD(bytes))) return false;
        if (getU16(data + at + 4) == META_EOF) return at + bytes == total;
        at += std::size_t(bytes);
    }
    return false;
}

} // namespace sdgdi

using namespace sdgdi;

namespace {

HMETAFILE newWindows(std::vector<BYTE> bytes) {
    auto o = std::make_shared<MetaFileObject>(OBJ_METAFILE, std::move(bytes));
    return static_cast<HMETAFILE>(registerObject(o));
}

HMETAFILE badData() {
    SetLastError(ERROR_INVALID_DATA);
    return nullptr;
}

// The bytes of a loaded metafile, up to its stated size.
std::vector<BYTE> trimmed(const BYTE* data, std::size_t) {
    std::size_t total = std::size_t(getU32(data + 6)) * 2;
    return std::vector<BYTE>(data, data + total);
}

} // namespace

WORD SdPlaceableChecksum(const SdPlaceableHeader& h) {
    BYTE raw[22];
    std::memcpy(raw, &h, sizeof raw);
    WORD sum = 0;
    for (int i = 0; i < 10; ++i)
        sum ^= getU16(raw + 2 * i);
    return sum;
}

UINT SdPlaceableHeaderSize(const void* data, UINT size) {
    if (!data || size < sizeof(SdPlaceableHeader)) return 0;
    SdPlaceableHeader h;
    std::memcpy(&h, data, sizeof h);
    if (h.key != META_PLACEABLE_KEY || h.checksum != SdPlaceableChecksum(h)) return 0;
    return UINT(sizeof h);
}

HDC CreateMetaFileA(LPCSTR file) {
    auto r = std::make_shared<MetaRecorder>(false);
    if (file) {
        std::FILE* f = std::fopen(file, "wb");
        if (!f) {
            SetLastError(ERROR_ACCESS_DENIED);
            return nullptr;
        }
        std::fclose(f);
        r->fileName = file;
    }
    auto dc = newDc(DcKind::Recording);
    dc->width = screenWidth();
    dc->height = screenHeight();
    dc->meta = r;
    return static_cast<HDC>(registerDc(dc));
}

HMETAFILE CloseMetaFile(HDC dc) {
    std::vector<BYTE> bytes;
    if (!closeMetaContext(dc, false, bytes)) return nullptr;
    return newWindows(std::move(bytes));
}

HMETAFILE GetMetaFileA(LPCSTR file) {
    std::vector<BYTE> bytes;
    if (!readWholeFile(file, bytes)) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return nullptr;
    }
    // A placeable file is refused: its readers strip the 22-byte header first.
    if (!validWindows(bytes.data(), bytes.size())) return badData();
    return newWindows(trimmed(bytes.data(), bytes.size()));
}

HMETAFILE SetMetaFileBitsEx(UINT size, const BYTE* data) {
    if (!validWindows(data, size)) return badData();
    return newWindows(trimmed(data, size));
}

UINT GetMetaFileBitsEx(HMETAFILE wmf, UINT size, LPVOID data) {
    auto m = findMeta(wmf, OBJ_METAFILE);
    if (!m) return 0;
    if (!data) return UINT(m->bytes.size());
    if (size < m->bytes.size()) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(data, m->bytes.data(), m->bytes.size());
    return UINT(m->bytes.size());
}

HMETAFILE CopyMetaFileA(HMETAFILE wmf, LPCSTR file) {
    auto m = findMeta(wmf, OBJ_METAFILE);
    if (!m) return nullptr;
    std::vector<BYTE> bytes = m->bytes;
    if (file) {
        bytes[0] = 2; // on disk
        if (!writeWholeFile(file, bytes)) {
            SetLastError(ERROR_ACCESS_DENIED);
            return nullptr;
        }
    }
    return newWindows(std::move(bytes));
}

BOOL DeleteMetaFile(HMETAFILE wmf) {
    if (!findMeta(wmf, OBJ_METAFILE)) return FALSE;
    return removeHandle(wmf) ? TRUE : FALSE;
}

BOOL PlayMetaFileRecord(HDC dc, HANDLETABLE* table, METARECORD* record, UINT handles) {
    if (!record || !findDc(dc)) return failWith(ERROR_INVALID_PARAMETER);
    const BYTE* r = reinterpret_cast<const BYTE*>(record);
    std::uint64_t bytes = std::uint64_t(getU32(r)) * 2;
    if (bytes < 6 || bytes > 0xFFFFFFFFu || !validWindowsRecord(r, DWORD(bytes)))
        return failWith(ERROR_INVALID_DATA);
    const BYTE* p = r + 6;
    auto P = [&](int i) { return int(getI16(p + 2 * i)); };
    auto U = [&](int i) { return getU16(p + 2 * i); };
    auto colour = [&](int i) { return COLORREF(U(i) | DWORD(U(i + 1)) << 16); };
    // A new object takes the first free entry; with none free it is not made.
    // An object that cannot be made still takes its entry (later indexes count on it), as an
    // object selecting does nothing with.
    auto placeholder = [] {
        LOGPALETTE lp{0x300, 1, {{0, 0, 0, 0}}};
        return CreatePalette(&lp);
    };
    auto store = [&](HGDIOBJ object) -> BOOL {
        BOOL made = object != nullptr;
        if (!object) object = placeholder();
        for (UINT i = 0; table && i < handles; ++i) {
            if (!table->objectHandle[i]) {
                table->objectHandle[i] = object;
                return made ? TRUE : failWith(ERROR_INVALID_DATA);
            }
        }
        if (object) DeleteObject(object);
        return failWith(ERROR_INVALID_DATA);
    };
    auto entry = [&](int i) -> HGDIOBJ* {
        if (!table || i < 0 || UINT(i) >= handles) return nullptr;
        return &table->objectHandle[i];
    };
    switch (getU16(r + 4)) {
    case META_EOF:
        return TRUE;
    case META_SAVEDC:
        return SaveDC(dc) != 0;
    case META_RESTOREDC:
        return RestoreDC(dc, P(0));
    case META_SETBKMODE:
        return SetBkMode(dc, P(0)) != 0;
    case META_SETTEXTALIGN:
        SetTextAlign(dc, U(0));
        return TRUE;
    case META_SETPIXEL:
        SetPixel(dc, P(3), P(2), colour(0));
        return TRUE;
    case META_SETMAPMODE:
        return SetMapMode(dc, P(0)) != 0;
    case META_SETROP2:
        return SetROP2(dc, P(0)) != 0;
    case META_SETPOLYFILLMODE:
        return SetPolyFillMode(dc, P(0)) != 0;
    case META_SETBKCOLOR:
        return SetBkColor(dc, colour(0)) != CLR_INVALID;
    case META_SETTEXTCOLOR:
        return SetTextColor(dc, colour(0)) != CLR_INVALID;
    case META_SETWINDOWORG:
        return SetWindowOrgEx(dc, P(1), P(0), nullptr);
    case META_SETWINDOWEXT:
        return SetWindowExtEx(dc, P(1), P(0), nullptr);
    case META_SETVIEWPORTORG:
        return SetViewportOrgEx(dc, P(1), P(0), nullptr);
    case META_SETVIEWPORTEXT:
        return SetViewportExtEx(dc, P(1), P(0), nullptr);
    case META_OFFSETWINDOWORG:
        return OffsetWindowOrgEx(dc, P(1), P(0), nullptr);
    case META_OFFSETVIEWPORTORG:
        return OffsetViewportOrgEx(dc, P(1), P(0), nullptr);
    case META_SCALEWINDOWEXT:
        return ScaleWindowExtEx(dc, P(3), P(2), P(1), P(0), nullptr);
    case META_SCALEVIEWPORTEXT:
        return ScaleViewportExtEx(dc, P(3), P(2), P(1), P(0), nullptr);
    case META_MOVETO:
        return MoveToEx(dc, P(1), P(0), nullptr);
    case META_LINETO:
        return LineTo(dc, P(1), P(0));
    case META_EXCLUDECLIPRECT:
        return ExcludeClipRect(dc, P(3), P(2), P(1), P(0)) != ERROR;
    case META_INTERSECTCLIPRECT:
        return IntersectClipRect(dc, P(3), P(2), P(1), P(0)) != ERROR;
    case META_ELLIPSE:
        return Ellipse(dc, P(3), P(2), P(1), P(0));
    case META_RECTANGLE:
        return Rectangle(dc, P(3), P(2), P(1), P(0));
    case META_ROUNDRECT:
        return RoundRect(dc, P(5), P(4), P(3), P(2), P(1), P(0));
    case META_ARC:
        return Arc(dc, P(7), P(6), P(5), P(4), P(3), P(2), P(1), P(0));
    case META_PIE:
        return Pie(dc, P(7), P(6), P(5), P(4), P(3), P(2), P(1), P(0));
    case META_CHORD:
        return Chord(dc, P(7), P(6), P(5), P(4), P(3), P(2), P(1), P(0));
    case META_POLYGON:
    case META_POLYLINE: {
        int n = P(0);
        std::vector<POINT> pts(std::size_t(n), POINT{0, 0});
        for (int i = 0; i < n; ++i)
            pts[std::size_t(i)] = POINT{P(1 + 2 * i), P(2 + 2 * i)};
        if (n < 2) return TRUE;
        return getU16(r + 4) == META_POLYGON ? Polygon(dc, pts.data(), n)
                                             : Polyline(dc, pts.data(), n);
    }
    case META_POLYPOLYGON: {
        int n = P(0);
        std::vector<INT> counts;
        std::size_t total = 0;
        for (int i = 0; i < n; ++i) {
            counts.push_back(P(1 + i));
            total += std::size_t(P(1 + i));
        }
        std::vector<POINT> pts(total);
        for (std::size_t i = 0; i < total; ++i)
            pts[i] = POINT{P(1 + n + 2 * int(i)), P(2 + n + 2 * int(i))};
        if (n == 0) return TRUE;
        return PolyPolygon(dc, pts.data(), counts.data(), n);
    }
    case META_EXTTEXTOUT: {
        int n = P(2);
        UINT options = U(3);
        bool withRect = options & (ETO_OPAQUE | ETO_CLIPPED);
        int at = 4 + (withRect ? 4 : 0);
        RECT rc{withRect ? P(4) : 0, withRect ? P(5) : 0, withRect ? P(6) : 0, withRect ? P(7) : 0};
        std::string text(reinterpret_cast<const char*>(p + 2 * at), std::size_t(n));
        std::vector<INT> dx;
        std::uint64_t words = (bytes - 6) / 2;
        if (words >= std::uint64_t(at) + (std::uint64_t(n) + 1) / 2 + std::uint64_t(n))
            for (int i = 0; i < n; ++i)
                dx.push_back(P(at + (n + 1) / 2 + i));
        // Plain text (no options, rectangle or spacing) is what TextOut records.
        if (options == 0 && dx.empty()) return TextOutA(dc, P(1), P(0), text.data(), n);
        return ExtTextOutA(dc, P(1), P(0), options, withRect ? &rc : nullptr, text.data(), UINT(n),
                           dx.empty() ? nullptr : dx.data());
    }
    case META_CREATEPENINDIRECT: {
        // Caps and joins belong to geometric pens.
        UINT style = U(0);
        if (style & (PS_ENDCAP_MASK | PS_JOIN_MASK)) {
            LOGBRUSH lb{BS_SOLID, colour(3), 0};
            return store(ExtCreatePen(PS_GEOMETRIC | style, DWORD(std::max(P(1), 0)), &lb, 0, nullptr));
        }
        return store(CreatePen(P(0), P(1), colour(3)));
    }
    case META_PATBLT:
        return PatBlt(dc, P(5), P(4), P(3), P(2), DWORD(U(0)) | DWORD(U(1)) << 16);
    case META_DIBBITBLT:
    case META_DIBSTRETCHBLT:
    case META_STRETCHDIB: {
        WORD fn = getU16(r + 4);
        std::uint64_t words = (bytes - 6) / 2;
        DWORD rop = DWORD(U(0)) | DWORD(U(1)) << 16;
        bool stretch = fn != META_DIBBITBLT;
        int at = fn == META_DIBBITBLT ? 8 : fn == META_DIBSTRETCHBLT ? 10 : 11;
        int k = fn == META_STRETCHDIB ? 3 : 2; // first of the rectangles
        int srcH = stretch ? P(k) : 0, srcW = stretch ? P(k + 1) : 0;
        int ys = P(k + (stretch ? 2 : 0)), xs = P(k + (stretch ? 3 : 1));
        if (fn != META_STRETCHDIB && words == std::uint64_t(at) + 1) {
            // No bitmap: a reserved word, then the destination.
            return PatBlt(dc, P(at), P(at - 1), P(at - 2), P(at - 3), rop);
        }
        int h = P(at - 4), w = P(at - 3), y = P(at - 2), x = P(at - 1);
        if (!stretch) {
            srcW = w;
            srcH = h;
        }
        UINT usage = fn == META_STRETCHDIB ? U(2) : DIB_RGB_COLORS;
        const BYTE* dibBytes = p + 2 * at;
        std::uint64_t dibSize = 2 * (words - std::uint64_t(at));
        DWORD cbBmi = packedDibHeaderBytes(dibBytes, dibSize, usage);
        RecordDib dib;
        if (!recordDib(dibBytes, 0, cbBmi, cbBmi, DWORD(dibSize - cbBmi), usage, dib))
            return failWith(ERROR_INVALID_DATA);
        // The blits address the source from its top row; StretchDIBits a bottom-up DIB's
        // rows from the bottom.
        LONG height = dib.bmi()->bmiHeader.biHeight;
        if (fn != META_STRETCHDIB && height > 0) ys = SdDeviceCoord(std::int64_t(height) - ys - srcH);
        return StretchDIBits(dc, x, y, w, h, xs, ys, srcW, srcH, dib.bits.data(), dib.bmi(),
                             usage, rop) != 0;
    }
    case META_SETDIBTODEV: {
        std::uint64_t words = (bytes - 6) / 2;
        const BYTE* dibBytes = p + 18;
        std::uint64_t dibSize = 2 * (words - 9);
        DWORD cbBmi = packedDibHeaderBytes(dibBytes, dibSize, U(0));
        UINT start = U(2), scans = U(1);
        RecordDib dib;
        if (!recordDib(dibBytes, 0, cbBmi, cbBmi, DWORD(dibSize - cbBmi), U(0), dib, start, scans))
            return failWith(ERROR_INVALID_DATA);
        return SetDIBitsToDevice(dc, P(8), P(7), DWORD(std::max(P(6), 0)), DWORD(std::max(P(5), 0)),
                                 P(4), P(3), start, scans, dib.bits.data(), dib.bmi(), U(0)) != 0;
    }
    case META_DIBCREATEPATTERNBRUSH: {
        std::uint64_t words = (bytes - 6) / 2;
        const BYTE* dibBytes = p + 4;
        std::uint64_t dibSize = 2 * (words - 2);
        DWORD cbBmi = packedDibHeaderBytes(dibBytes, dibSize, U(1));
        RecordDib dib;
        if (!recordDib(dibBytes, 0, cbBmi, cbBmi, DWORD(dibSize - cbBmi), U(1), dib))
            return store(nullptr);
        return store(patternBrush(dc, dib, U(1), false));
    }
    case META_CREATEFONTINDIRECT: {
        LOGFONTA lf{};
        lf.lfHeight = P(0);
        lf.lfWidth = P(1);
        lf.lfEscapement = P(2);
        lf.lfOrientation = P(3);
        lf.lfWeight = P(4);
        std::memcpy(&lf.lfItalic, p + 10, 8);
        std::uint64_t faceBytes = std::min<std::uint64_t>(bytes - 6 - 18, LF_FACESIZE - 1);
        std::memcpy(lf.lfFaceName, p + 18, std::size_t(faceBytes));
        return store(CreateFontIndirectA(&lf));
    }
    case META_CREATEPALETTE: {
        WORD n = U(1);
        if (n == 0) return store(nullptr);
        std::vector<BYTE> lp(4 + 4 * std::size_t(n));
        std::memcpy(lp.data(), p, lp.size());
        reinterpret_cast<LOGPALETTE*>(lp.data())->palVersion = 0x300;
        return store(CreatePalette(reinterpret_cast<const LOGPALETTE*>(lp.data())));
    }
    case META_SELECTPALETTE: {
        HGDIOBJ* h = entry(P(0));
        if (!h || GetObjectType(*h) != OBJ_PAL) return failWith(ERROR_INVALID_DATA);
        return SelectPalette(dc, static_cast<HPALETTE>(*h), FALSE) != nullptr;
    }
    case META_REALIZEPALETTE:
        return RealizePalette(dc) != GDI_ERROR;
    case META_CREATEREGION: {
        // Scans of equal top and bottom, each a list of left/right pairs.
        std::vector<RECT> rects;
        std::size_t at = 11;
        for (int i = 0, n = P(5); i < n; ++i) {
            int count = P(int(at)), top = P(int(at) + 1), bottom = P(int(at) + 2);
            for (int k = 0; k + 1 < count; k += 2)
                rects.push_back(RECT{P(int(at) + 3 + k), top, P(int(at) + 4 + k), bottom});
            at += 3 + std::size_t(count) + 1;
        }
        std::vector<BYTE> data(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
        RGNDATAHEADER h{sizeof(RGNDATAHEADER), RDH_RECTANGLES, DWORD(rects.size()),
                        DWORD(rects.size() * sizeof(RECT)), RECT{0, 0, 0, 0}};
        std::memcpy(data.data(), &h, sizeof h);
        if (!rects.empty())
            std::memcpy(data.data() + sizeof h, rects.data(), rects.size() * sizeof(RECT));
        return store(ExtCreateRegion(nullptr, DWORD(data.size()),
                                     reinterpret_cast<const RGNDATA*>(data.data())));
    }
    case META_FILLREGION:
    case META_FRAMEREGION:
    case META_INVERTREGION:
    case META_PAINTREGION:
    case META_SELECTCLIPREGION: {
        WORD fn = getU16(r + 4);
        HGDIOBJ* region = entry(P(0));
        if (!region || GetObjectType(*region) != OBJ_REGION) return failWith(ERROR_INVALID_DATA);
        HRGN rgn = static_cast<HRGN>(*region);
        if (fn == META_FILLREGION || fn == META_FRAMEREGION) {
            HGDIOBJ* brush = entry(P(1));
            if (!brush || GetObjectType(*brush) != OBJ_BRUSH) return failWith(ERROR_INVALID_DATA);
            if (fn == META_FILLREGION) return FillRgn(dc, rgn, static_cast<HBRUSH>(*brush));
            return FrameRgn(dc, rgn, static_cast<HBRUSH>(*brush), P(3), P(2));
        }
        if (fn == META_INVERTREGION) return InvertRgn(dc, rgn);
        if (fn == META_PAINTREGION) return PaintRgn(dc, rgn);
        return SelectClipRgn(dc, rgn) != ERROR;
    }
    case META_OFFSETCLIPRGN:
        return OffsetClipRgn(dc, P(1), P(0)) != ERROR;
    case META_CREATEBRUSHINDIRECT: {
        LOGBRUSH lb{U(0), colour(1), std::uintptr_t(U(3))};
        if (lb.lbStyle == BS_PATTERN) lb.lbStyle = BS_SOLID;
        return store(CreateBrushIndirect(&lb));
    }
    case META_CREATEPATTERNBRUSH:
        // Device-dependent pattern bitmaps are not performed; the entry is taken.
        return store(placeholder());
    case META_SELECTOBJECT: {
        HGDIOBJ* h = entry(P(0));
        if (!h || !*h) return failWith(ERROR_INVALID_DATA);
        if (GetObjectType(*h) == OBJ_PAL) return TRUE;
        return SelectObject(dc, *h) != nullptr;
    }
    case META_DELETEOBJECT: {
        HGDIOBJ* h = entry(P(0));
        if (!h || !*h) return failWith(ERROR_INVALID_DATA);
        DeleteObject(*h);
        *h = nullptr;
        return TRUE;
    }
    default:
        return TRUE; // records this player does not perform
    }
}

BOOL EnumMetaFile(HDC dc, HMETAFILE wmf, MFENUMPROC proc, LPARAM data) {
    auto m = findMeta(wmf, OBJ_METAFILE);
    if (!m) return FALSE;
    if (!proc) return failWith(ERROR_INVALID_PARAMETER);
    std::vector<BYTE> bytes = m->bytes;
    UINT handles = getU16(bytes.data() + 10);
    std::vector<HGDIOBJ> table(std::max<UINT>(handles, 1), nullptr);
    auto* ht = reinterpret_cast<HANDLETABLE*>(table.data());
    int saved = dc ? SaveDC(dc) : 0;
    BOOL ok = TRUE;
    std::size_t at = 18;
    while (at + 6 <= bytes.size()) {
        std::uint64_t size = std::uint64_t(getU32(bytes.data() + at)) * 2;
        if (size < 6 || size > bytes.size() - at) {
            ok = failWith(ERROR_INVALID_DATA);
            break;
        }
        // A copy: the callback gets a writable record.
        std::vector<BYTE> rec(bytes.begin() + std::ptrdiff_t(at),
                              bytes.begin() + std::ptrdiff_t(at + size));
        if (!proc(dc, ht, reinterpret_cast<METARECORD*>(rec.data()), int(handles), data)) {
            ok = FALSE;
            break;
        }
        if (getU16(rec.data() + 4) == META_EOF) break;
        at += std::size_t(size);
    }
    if (dc) RestoreDC(dc, saved);
    for (HGDIOBJ h : table)
        if (h) DeleteObject(h);
    return ok;
}

namespace {

int playOne(HDC dc, HANDLETABLE* table, METARECORD* rec, int handles, LPARAM) {
    PlayMetaFileRecord(dc, table, rec, UINT(handles));
    return 1;
}

} // namespace

BOOL PlayMetaFile(HDC dc, HMETAFILE wmf) {
    if (!findDc(dc)) return failWith(ERROR_INVALID_HANDLE);
    return EnumMetaFile(dc, wmf, playOne, 0);
}

// ---------------------------------------------------------------- conversions

HENHMETAFILE SetWinMetaFileBits(UINT size, const BYTE* data, HDC reference,
                                const METAFILEPICT* pict) {
    HMETAFILE wmf = SetMetaFileBitsEx(size, data);
    if (!wmf) return nullptr;
    RECT frame{};
    bool haveFrame = pict && (pict->mm == MM_ISOTROPIC || pict->mm == MM_ANISOTROPIC) &&
                     pict->xExt > 0 && pict->yExt > 0;
    if (haveFrame) frame = RECT{0, 0, pict->xExt, pict->yExt};
    HDC dc = CreateEnhMetaFileA(reference, nullptr, haveFrame ? &frame : nullptr, nullptr);
    if (!dc) {
        DeleteMetaFile(wmf);
        return nullptr;
    }
    if (haveFrame) {
        // The picture's extents in device units: the metafile's own window maps onto them.
        int w = MulDiv(pict->xExt, GetDeviceCaps(dc, HORZRES), GetDeviceCaps(dc, HORZSIZE) * 100);
        int h = MulDiv(pict->yExt, GetDeviceCaps(dc, VERTRES), GetDeviceCaps(dc, VERTSIZE) * 100);
        SetMapMode(dc, pict->mm);
        SetViewportExtEx(dc, w > 0 ? w : 1, h > 0 ? h : 1, nullptr);
    }
    PlayMetaFile(dc, wmf);
    DeleteMetaFile(wmf);
    return CloseEnhMetaFile(dc);
}

namespace {

int toWindows(HDC, HANDLETABLE* table, const ENHMETARECORD* rec, int handles, LPARAM target) {
    // What the WMF format cannot express fails on the WMF context and is left out.
    PlayEnhMetaFileRecord(reinterpret_cast<HDC>(target), table, rec, UINT(handles));
    return 1;
}

} // namespace

UINT GetWinMetaFileBits(HENHMETAFILE emf, UINT size, LPBYTE data, INT mapMode, HDC reference) {
    if (!findMeta(emf, OBJ_ENHMETAFILE)) return 0;
    if (mapMode < MM_TEXT || mapMode > MM_ANISOTROPIC || (reference && !findDc(reference))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    HDC dc = CreateMetaFileA(nullptr);
    if (!dc) return 0;
    if (mapMode != MM_TEXT) SetMapMode(dc, mapMode);
    EnumEnhMetaFile(nullptr, emf, toWindows, reinterpret_cast<LPVOID>(dc), nullptr);
    HMETAFILE wmf = CloseMetaFile(dc);
    if (!wmf) return 0;
    UINT n = GetMetaFileBitsEx(wmf, size, data);
    DeleteMetaFile(wmf);
    return n;
}
