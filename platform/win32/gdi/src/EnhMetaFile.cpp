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
    auto at = [](double v) { return SdDeviceCoord(std::round(v)); };
    int xs = at(x + r * std::cos(a0)), ys = at(y - r * std::sin(a0));
    int xe = at(x + r * std::cos(a1)), ye = at(y - r * std::sin(a1));
    BOOL ok;
    if (sweepAngle == 0) {
        ok = LineTo(dc, xs, ys);
    } else {
        int old = SetArcDirection(dc, sweepAngle > 0 ? AD_COUNTERCLOCKWISE : AD_CLOCKWISE);
        ok = ArcTo(dc, SdDeviceCoord(std::int64_t(x) - radius), SdDeviceCoord(std::int64_t(y) - radius),
                   SdDeviceCoord(std::int64_t(x) + radius), SdDeviceCoord(std::int64_t(y) + radius), xs,
                   ys, xe, ye);
        SetArcDirection(dc, old);
    }
    d->meta = std::move(meta);
    return ok;
}
