// Enhanced metafiles: recording contexts, loading, validation and the object functions.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "MetaFileObjects.h"
#include "MetaRecorder.h"
#include "win32/nls.h"

namespace sdgdi {

std::shared_ptr<MetaFileObject> findMeta(const void* handle, DWORD type) {
    return findAs<MetaFileObject>(handle, type);
}

bool readWholeFile(const char* name, std::vector<BYTE>& out) {
    if (!name) return false;
    std::FILE* f = std::fopen(name, "rb");
    if (!f) return false;
    out.clear();
    BYTE buf[65536];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        out.insert(out.end(), buf, buf + n);
    bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

bool writeWholeFile(const char* name, const std::vector<BYTE>& bytes) {
    std::FILE* f = std::fopen(name, "wb");
    if (!f) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = std::fclose(f) == 0 && ok;
    return ok;
}

namespace {

// Bytes a poly record needs for n points from offset `at`, 16 or 32-bit points.
bool pointsFit(DWORD size, std::uint64_t at, std::uint64_t n, bool small) {
    return at + n * (small ? 4 : 8) <= size;
}

bool inside(DWORD size, std::uint64_t offset, std::uint64_t bytes) {
    return offset <= size && bytes <= size - offset;
}

} // namespace

bool validEnhancedRecord(const BYTE* r, DWORD size) {
    DWORD type = getU32(r);
    auto need = [&](DWORD n) { return size >= n; };
    switch (type) {
    case EMR_POLYBEZIER:
    case EMR_POLYGON:
    case EMR_POLYLINE:
    case EMR_POLYBEZIERTO:
    case EMR_POLYLINETO:
    case EMR_POLYBEZIER16:
    case EMR_POLYGON16:
    case EMR_POLYLINE16:
    case EMR_POLYBEZIERTO16:
    case EMR_POLYLINETO16:
        return need(28) && pointsFit(size, 28, getU32(r + 24), type >= EMR_POLYBEZIER16);
    case EMR_POLYPOLYLINE:
    case EMR_POLYPOLYGON:
    case EMR_POLYPOLYLINE16:
    case EMR_POLYPOLYGON16: {
        if (!need(32)) return false;
        std::uint64_t polys = getU32(r + 24), total = getU32(r + 28);
        if (!inside(size, 32, polys * 4)) return false;
        std::uint64_t sum = 0;
        for (std::uint64_t i = 0; i < polys; ++i)
            sum += getU32(r + 32 + 4 * i);
        return sum == total && pointsFit(size, 32 + polys * 4, total, type >= EMR_POLYBEZIER16);
    }
    case EMR_POLYDRAW:
    case EMR_POLYDRAW16: {
        if (!need(28)) return false;
        std::uint64_t n = getU32(r + 24);
        return inside(size, 28, n * (type == EMR_POLYDRAW16 ? 5 : 9));
    }
    case EMR_SETWINDOWEXTEX:
    case EMR_SETWINDOWORGEX:
    case EMR_SETVIEWPORTEXTEX:
    case EMR_SETVIEWPORTORGEX:
    case EMR_SETBRUSHORGEX:
    case EMR_MOVETOEX:
    case EMR_LINETO:
        return need(16);
    case EMR_SETMAPMODE:
    case EMR_SETBKMODE:
    case EMR_SETPOLYFILLMODE:
    case EMR_SETROP2:
    case EMR_SETSTRETCHBLTMODE:
    case EMR_SETTEXTALIGN:
    case EMR_SETTEXTCOLOR:
    case EMR_SETBKCOLOR:
    case EMR_RESTOREDC:
    case EMR_SELECTOBJECT:
    case EMR_DELETEOBJECT:
    case EMR_SETARCDIRECTION:
    case EMR_SELECTCLIPPATH:
        return need(12);
    case EMR_EXCLUDECLIPRECT:
    case EMR_INTERSECTCLIPRECT:
    case EMR_ELLIPSE:
    case EMR_RECTANGLE:
    case EMR_FILLPATH:
    case EMR_STROKEANDFILLPATH:
    case EMR_STROKEPATH:
        return need(24);
    case EMR_ROUNDRECT:
        return need(32);
    case EMR_ARC:
    case EMR_ARCTO:
    case EMR_CHORD:
    case EMR_PIE:
        return need(40);
    case EMR_ANGLEARC:
        return need(28);
    case EMR_SETWORLDTRANSFORM:
        return need(32);
    case EMR_MODIFYWORLDTRANSFORM:
        return need(36);
    case EMR_CREATEPEN:
        return need(28);
    case EMR_CREATEBRUSHINDIRECT:
        return need(24);
    case EMR_SETPIXELV:
        return need(20);
    case EMR_GDICOMMENT:
        return need(12) && inside(size, 12, getU32(r + 8));
    case EMR_EOF:
        return need(20);
    case EMR_STRETCHDIBITS: {
        if (!need(80)) return false;
        DWORD offBmi = getU32(r + 48), cbBmi = getU32(r + 52), offBits = getU32(r + 56),
              cbBits = getU32(r + 60);
        if (cbBmi && (!inside(size, offBmi, cbBmi) || cbBmi < sizeof(BITMAPINFOHEADER)))
            return false;
        return inside(size, offBits, cbBits);
    }
    case EMR_BITBLT:
    case EMR_STRETCHBLT: {
        if (!need(type == EMR_BITBLT ? 100 : 108)) return false;
        DWORD offBmi = getU32(r + 84), cbBmi = getU32(r + 88), offBits = getU32(r + 92),
              cbBits = getU32(r + 96);
        if (!cbBmi) return true;
        return cbBmi >= sizeof(BITMAPINFOHEADER) && inside(size, offBmi, cbBmi) &&
               inside(size, offBits, cbBits);
    }
    case EMR_CREATEMONOBRUSH:
    case EMR_CREATEDIBPATTERNBRUSHPT: {
        if (!need(32)) return false;
        DWORD offBmi = getU32(r + 16), cbBmi = getU32(r + 20), offBits = getU32(r + 24),
              cbBits = getU32(r + 28);
        return cbBmi >= sizeof(BITMAPINFOHEADER) && inside(size, offBmi, cbBmi) &&
               inside(size, offBits, cbBits);
    }
    case EMR_EXTCREATEPEN: {
        if (!need(52)) return false;
        DWORD offBmi = getU32(r + 12), cbBmi = getU32(r + 16), offBits = getU32(r + 20),
              cbBits = getU32(r + 24);
        if (cbBmi && (!inside(size, offBmi, cbBmi) || !inside(size, offBits, cbBits)))
            return false;
        return inside(size, 52, std::uint64_t(getU32(r + 48)) * 4);
    }
    case EMR_EXTCREATEFONTINDIRECTW:
        return need(104);
    case EMR_SETDIBITSTODEVICE:
        return need(76) && inside(size, getU32(r + 48), getU32(r + 52)) &&
               inside(size, getU32(r + 56), getU32(r + 60));
    case EMR_CREATEPALETTE:
        return need(16) && inside(size, 16, std::uint64_t(getU16(r + 14)) * 4);
    case EMR_SELECTPALETTE:
        return need(12);
    case EMR_OFFSETCLIPRGN:
        return need(16);
    case EMR_FILLRGN:
    case EMR_FRAMERGN:
    case EMR_INVERTRGN:
    case EMR_PAINTRGN: {
        DWORD at = type == EMR_FRAMERGN ? 40 : type == EMR_FILLRGN ? 32 : 28;
        return need(at) && inside(size, at, getU32(r + 24)) && getU32(r + 24) >= 32;
    }
    case EMR_EXTSELECTCLIPRGN:
        return need(16) && inside(size, 16, getU32(r + 8));
    case EMR_EXTTEXTOUTA:
    case EMR_EXTTEXTOUTW: {
        if (!need(76)) return false;
        std::uint64_t chars = getU32(r + 44), offString = getU32(r + 48), offDx = getU32(r + 72);
        if (!inside(size, offString, chars * (type == EMR_EXTTEXTOUTW ? 2 : 1))) return false;
        return offDx == 0 || inside(size, offDx, chars * 4);
    }
    default:
        return true; // others are only played or skipped
    }
}

bool validEnhanced(const BYTE* data, std::size_t size) {
    if (!data || size < 88 || size > 0xFFFFFFFFu) return false;
    if (getU32(data) != EMR_HEADER || getU32(data + 40) != ENHMETA_SIGNATURE) return false;
    DWORD headerSize = getU32(data + 4);
    if (headerSize < 88 || headerSize % 4 || headerSize > size) return false;
    DWORD bytes = getU32(data + 48), nRecords = getU32(data + 52);
    // Bytes after the stated size (padding some writers add) are not part of the metafile.
    if (bytes > size || bytes < headerSize) return false;
    size = bytes;
    DWORD nDesc = getU32(data + 60), offDesc = getU32(data + 64);
    if (nDesc && !inside(headerSize, offDesc, std::uint64_t(nDesc) * 2)) return false;
    std::size_t at = 0;
    DWORD count = 0;
    bool sawEof = false;
    while (at < size) {
        if (size - at < 8) return false;
        DWORD recSize = getU32(data + at + 4);
        if (recSize < 8 || recSize % 4 || recSize > size - at) return false;
        if (!validEnhancedRecord(data + at, recSize)) return false;
        ++count;
        if (getU32(data + at) == EMR_EOF) {
            sawEof = true;
            at += recSize;
            break;
        }
        at += recSize;
    }
    return sawEof && at == size && count == nRecords;
}

} // namespace sdgdi

using namespace sdgdi;

namespace {

HENHMETAFILE newEnhanced(std::vector<BYTE> bytes) {
    auto o = std::make_shared<MetaFileObject>(OBJ_ENHMETAFILE, std::move(bytes));
    return static_cast<HENHMETAFILE>(registerObject(o));
}

HENHMETAFILE badData() {
    SetLastError(ERROR_INVALID_DATA);
    return nullptr;
}

} // namespace

HDC CreateEnhMetaFileA(HDC reference, LPCSTR file, const RECT* frame, LPCSTR description) {
    HDC ref = reference;
    bool own = false;
    if (!ref) {
        ref = CreateCompatibleDC(nullptr);
        own = true;
    } else if (!findDc(reference)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    auto r = std::make_shared<MetaRecorder>(true);
    r->device = SIZEL{GetDeviceCaps(ref, HORZRES), GetDeviceCaps(ref, VERTRES)};
    r->millimetres = SIZEL{GetDeviceCaps(ref, HORZSIZE), GetDeviceCaps(ref, VERTSIZE)};
    int dpiX = GetDeviceCaps(ref, LOGPIXELSX), dpiY = GetDeviceCaps(ref, LOGPIXELSY);
    if (own) DeleteDC(ref);
    if (file) {
        // The file must be writable now, not only when the metafile is closed.
        std::FILE* f = std::fopen(file, "wb");
        if (!f) {
            SetLastError(ERROR_ACCESS_DENIED);
            return nullptr;
        }
        std::fclose(f);
        r->fileName = file;
    }
    if (frame) {
        r->haveFrame = true;
        r->frame = RECTL{frame->left, frame->top, frame->right, frame->bottom};
    }
    if (description) {
        // Up to the double NUL, both NULs included.
        std::size_t n = 0;
        while (description[n] || description[n + 1])
            ++n;
        n += 2;
        int wide = MultiByteToWideChar(CP_ACP, 0, description, int(n), nullptr, 0);
        std::vector<WCHAR> w(std::size_t(wide > 0 ? wide : 0));
        if (wide > 0) MultiByteToWideChar(CP_ACP, 0, description, int(n), w.data(), wide);
        for (WCHAR c : w)
            putU16(r->description, WORD(c));
    }
    auto dc = newDc(DcKind::Recording);
    dc->width = r->device.cx > 0 ? r->device.cx : 1;
    dc->height = r->device.cy > 0 ? r->device.cy : 1;
    dc->dpiX = dpiX > 0 ? dpiX : 96;
    dc->dpiY = dpiY > 0 ? dpiY : 96;
    dc->meta = r;
    return static_cast<HDC>(registerDc(dc));
}

HENHMETAFILE CloseEnhMetaFile(HDC dc) {
    std::vector<BYTE> bytes;
    if (!closeMetaContext(dc, true, bytes)) return nullptr;
    return newEnhanced(std::move(bytes));
}

namespace sdgdi {
bool closeMetaContext(HDC dc, bool enhanced, std::vector<BYTE>& bytes) {
    auto d = findDc(dc);
    if (!d || !d->meta || d->meta->enhanced != enhanced) {
        SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    auto r = d->meta;
    d->meta.reset();
    DeleteDC(dc);
    bytes = enhanced ? finishEnhanced(*r) : finishWindows(*r);
    if (!r->fileName.empty() && !writeWholeFile(r->fileName.c_str(), bytes)) {
        SetLastError(ERROR_WRITE_FAULT);
        return false;
    }
    return true;
}
} // namespace sdgdi

HENHMETAFILE GetEnhMetaFileA(LPCSTR file) {
    std::vector<BYTE> bytes;
    if (!readWholeFile(file, bytes)) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return nullptr;
    }
    if (!validEnhanced(bytes.data(), bytes.size())) return badData();
    bytes.resize(getU32(bytes.data() + 48));
    return newEnhanced(std::move(bytes));
}

HENHMETAFILE SetEnhMetaFileBits(UINT size, const BYTE* data) {
    if (!data || !validEnhanced(data, size)) return badData();
    return newEnhanced(std::vector<BYTE>(data, data + getU32(data + 48)));
}

UINT GetEnhMetaFileBits(HENHMETAFILE emf, UINT size, LPBYTE data) {
    auto m = findMeta(emf, OBJ_ENHMETAFILE);
    if (!m) return 0;
    if (!data) return UINT(m->bytes.size());
    if (size < m->bytes.size()) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(data, m->bytes.data(), m->bytes.size());
    return UINT(m->bytes.size());
}

UINT GetEnhMetaFileHeader(HENHMETAFILE emf, UINT size, ENHMETAHEADER* header) {
    auto m = findMeta(emf, OBJ_ENHMETAFILE);
    if (!m) return 0;
    UINT have = std::min<UINT>(getU32(m->bytes.data() + 4), UINT(sizeof(ENHMETAHEADER)));
    if (!header) return have;
    UINT n = std::min(size, have);
    std::memset(header, 0, std::min<std::size_t>(size, sizeof(ENHMETAHEADER)));
    std::memcpy(header, m->bytes.data(), n);
    return n;
}

UINT GetEnhMetaFileDescriptionA(HENHMETAFILE emf, UINT size, LPSTR description) {
    auto m = findMeta(emf, OBJ_ENHMETAFILE);
    if (!m) return UINT(-1);
    const BYTE* b = m->bytes.data();
    DWORD n = getU32(b + 60), off = getU32(b + 64);
    if (n == 0) return 0;
    std::vector<WCHAR> w(n);
    for (DWORD i = 0; i < n; ++i)
        w[i] = WCHAR(getU16(b + off + 2 * i));
    int len = WideCharToMultiByte(CP_ACP, 0, w.data(), int(n), nullptr, 0, nullptr, nullptr);
    if (len <= 0) return 0;
    if (!description) return UINT(len);
    std::vector<char> out(std::size_t(len), 0);
    WideCharToMultiByte(CP_ACP, 0, w.data(), int(n), out.data(), len, nullptr, nullptr);
    UINT give = std::min<UINT>(size, UINT(len));
    std::memcpy(description, out.data(), give);
    return give;
}

HENHMETAFILE CopyEnhMetaFileA(HENHMETAFILE emf, LPCSTR file) {
    auto m = findMeta(emf, OBJ_ENHMETAFILE);
    if (!m) return nullptr;
    if (file && !writeWholeFile(file, m->bytes)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    return newEnhanced(m->bytes);
}

BOOL DeleteEnhMetaFile(HENHMETAFILE emf) {
    if (!findMeta(emf, OBJ_ENHMETAFILE)) return FALSE;
    return removeHandle(emf) ? TRUE : FALSE;
}

BOOL AngleArc(HDC dc, int x, int y, DWORD radius, FLOAT startAngle, FLOAT sweepAngle) {
    auto d = dcOf(dc);
    if (!d) return FALSE;
    if (radius > 0x7FFFFFFF) return failWith(ERROR_INVALID_PARAMETER);
    if (d->meta && !metaAngleArc(*d, x, y, radius, startAngle, sweepAngle)) return FALSE;
    // A line to the start, then the arc, drawn with ArcTo in the sweep's direction.
    auto meta = std::move(d->meta);
    const double pi = 3.14159265358979323846;
    double a0 = startAngle * pi / 180, a1 = (double(startAngle) + sweepAngle) * pi / 180;
    double r = double(radius);
    int xs = int(std::lround(x + r * std::cos(a0))), ys = int(std::lround(y - r * std::sin(a0)));
    int xe = int(std::lround(x + r * std::cos(a1))), ye = int(std::lround(y - r * std::sin(a1)));
    int rad = int(radius);
    BOOL ok;
    if (sweepAngle == 0) {
        ok = LineTo(dc, xs, ys);
    } else {
        int old = SetArcDirection(dc, sweepAngle > 0 ? AD_COUNTERCLOCKWISE : AD_CLOCKWISE);
        ok = ArcTo(dc, x - rad, y - rad, x + rad, y + rad, xs, ys, xe, ye);
        SetArcDirection(dc, old);
    }
    d->meta = std::move(meta);
    return ok;
}
