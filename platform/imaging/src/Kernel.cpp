// The kernel entries: making, handing over, copying and cutting toolkit bitmaps, mirrors.
#include <imaging/KovaKern.h>

#include <algorithm>
#include <cstring>

#include <rasterkit/CDib.h>

#include "Bitmap.h"
#include "Limits.h"

namespace imaging {
namespace {

int g_failures[4] = {0, 0, 0, 0};

void Describe(KOVABITMAP* b, const PictureView& v, HGLOBAL block) {
    b->dib = block;
    b->width = int(v.Width());
    b->height = int(v.Height());
    b->bitsPerPixel = v.Bits();
    b->xResolution = v.XDpi();
    b->yResolution = v.YDpi();
    b->allocated = TRUE;
}

} // namespace

bool InjectedFailure(KovaFailPoint point) {
    int& n = g_failures[point];
    if (n <= 0) return false;
    --n;
    return true;
}

bool HasPicture(const KOVABITMAP* b) {
    return b != nullptr && b->allocated && b->dib != nullptr;
}

int Install(KOVABITMAP* b, Picture& picture) {
    HGLOBAL block = picture.Release();
    PictureView view(block);
    if (!view.Valid()) {
        GlobalFree(block);
        return IMG_ERR_MEMORY;
    }
    if (HasPicture(b)) GlobalFree(b->dib);
    b->structSize = sizeof(KOVABITMAP);
    Describe(b, view, block);
    return IMG_SUCCESS;
}

} // namespace imaging

using namespace imaging;

void KovaTestingFailCalls(KovaFailPoint point, int count) {
    g_failures[point] = count;
}

int KovaInitBitmap(KOVABITMAP* b, int width, int height, int bits) {
    if (b == nullptr) return IMG_ERR_PARAM;
    *b = KOVABITMAP{};
    b->structSize = sizeof(KOVABITMAP);
    b->width = width;
    b->height = height;
    b->bitsPerPixel = bits;
    return IMG_SUCCESS;
}

int KovaInitFileInfo(KOVAFILEINFO* info) {
    if (info == nullptr) return IMG_ERR_PARAM;
    *info = KOVAFILEINFO{};
    info->structSize = sizeof(KOVAFILEINFO);
    return IMG_SUCCESS;
}

int KovaBitmapFromDib(KOVABITMAP* b, HGLOBAL dib) {
    if (b == nullptr || dib == nullptr) return IMG_ERR_PARAM;
    if (InjectedFailure(KOVA_FAIL_FROM_DIB)) return IMG_ERR_MEMORY;
    PictureView view(dib);
    if (!view.Valid()) return IMG_ERR_FORMAT;
    if (HasPicture(b) && b->dib != dib) GlobalFree(b->dib);
    b->structSize = sizeof(KOVABITMAP);
    Describe(b, view, dib);
    return IMG_SUCCESS;
}

HGLOBAL KovaDibFromBitmap(KOVABITMAP* b) {
    if (!HasPicture(b) || InjectedFailure(KOVA_FAIL_TO_DIB)) return nullptr;
    HGLOBAL block = b->dib;
    b->dib = nullptr;
    b->allocated = FALSE;
    return block;
}

int KovaFreeBitmap(KOVABITMAP* b) {
    if (b == nullptr) return IMG_ERR_PARAM;
    if (HasPicture(b)) GlobalFree(b->dib);
    b->dib = nullptr;
    b->allocated = FALSE;
    return IMG_SUCCESS;
}

int KovaFlipBitmap(KOVABITMAP* b) {
    if (!HasPicture(b)) return IMG_ERR_PARAM;
    Picture p;
    HGLOBAL block = b->dib;
    if (!p.Adopt(block)) return IMG_ERR_PARAM;
    std::vector<BYTE> tmp(p.StrideBytes());
    for (long y = 0; y < p.Height() / 2; ++y) {
        BYTE* a = p.Row(y);
        BYTE* c = p.Row(p.Height() - 1 - y);
        std::memcpy(tmp.data(), a, tmp.size());
        std::memcpy(a, c, tmp.size());
        std::memcpy(c, tmp.data(), tmp.size());
    }
    p.Release();
    return IMG_SUCCESS;
}

int KovaReverseBitmap(KOVABITMAP* b) {
    if (!HasPicture(b)) return IMG_ERR_PARAM;
    Picture p;
    if (!p.Adopt(b->dib)) return IMG_ERR_PARAM;
    const long w = p.Width();
    const int bits = p.Bits();
    std::vector<BYTE> row(p.StrideBytes());
    for (long y = 0; y < p.Height(); ++y) {
        BYTE* r = p.Row(y);
        if (bits == 24) {
            for (long x = 0; x < w / 2; ++x)
                for (int k = 0; k < 3; ++k)
                    std::swap(r[3 * x + k], r[3 * (w - 1 - x) + k]);
            continue;
        }
        std::memcpy(row.data(), r, row.size());
        std::memset(r, 0, row.size());
        for (long x = 0; x < w; ++x)
            SetIndex(r, x, bits, GetIndex(row.data(), w - 1 - x, bits));
    }
    p.Release();
    return IMG_SUCCESS;
}

int KovaCopyBitmap(KOVABITMAP* dest, const KOVABITMAP* source) {
    if (dest == nullptr || !HasPicture(source)) return IMG_ERR_PARAM;
    const SIZE_T size = GlobalSize(source->dib);
    HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, size);
    if (copy == nullptr) return IMG_ERR_MEMORY;
    std::memcpy(GlobalLock(copy), GlobalLock(source->dib), size);
    GlobalUnlock(source->dib);
    GlobalUnlock(copy);
    if (HasPicture(dest) && dest->dib != source->dib) GlobalFree(dest->dib);
    *dest = *source;
    dest->dib = copy;
    return IMG_SUCCESS;
}

int KovaBitmapFromBitmapInfo(KOVABITMAP* b, const BITMAPINFO* info, const void* bits,
                             DWORD bitsSize) {
    if (b == nullptr || info == nullptr || bits == nullptr) return IMG_ERR_PARAM;
    // The header, table and bits joined as a packed bitmap, then through the one intake.
    const DWORD headerSize = info->bmiHeader.biSize;
    if (headerSize < 12 || headerSize > 124) return IMG_ERR_FORMAT;
    const int depth = headerSize == 12 ? reinterpret_cast<const BITMAPCOREHEADER*>(info)->bcBitCount
                                       : info->bmiHeader.biBitCount;
    DWORD used = headerSize >= 40 ? info->bmiHeader.biClrUsed : 0;
    if (depth <= 8 && (used == 0 || used > (1u << depth))) used = 1u << depth;
    if (depth > 8 && headerSize >= 40 && info->bmiHeader.biCompression == BI_BITFIELDS &&
        headerSize == 40)
        used = 3;
    const SIZE_T tableBytes = SIZE_T(used) * (headerSize == 12 ? 3 : 4);
    std::vector<BYTE> packed(headerSize + tableBytes + bitsSize);
    std::memcpy(packed.data(), info, headerSize + tableBytes);
    std::memcpy(packed.data() + headerSize + tableBytes, bits, bitsSize);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, packed.size());
    if (block == nullptr) return IMG_ERR_MEMORY;
    std::memcpy(GlobalLock(block), packed.data(), packed.size());
    GlobalUnlock(block);
    CDib dib;
    if (!dib.ChangeFromDIB(block)) return IMG_ERR_DAMAGED; // the block is freed by the intake
    Picture p;
    HGLOBAL canonical = static_cast<HGLOBAL>(dib.ChangeToDIB());
    if (!p.Adopt(canonical)) {
        GlobalFree(canonical);
        return IMG_ERR_DAMAGED;
    }
    return Install(b, p);
}

int KovaTrimBitmap(KOVABITMAP* b, int left, int top, int width, int height) {
    if (!HasPicture(b)) return IMG_ERR_PARAM;
    PictureView src(b->dib);
    if (!src.Valid()) return IMG_ERR_PARAM;
    const long x0 = std::max(0, left), y0 = std::max(0, top);
    const long x1 = std::min<long>(src.Width(), long(left) + width);
    const long y1 = std::min<long>(src.Height(), long(top) + height);
    if (x1 <= x0 || y1 <= y0) return IMG_ERR_PARAM;
    Picture out;
    if (const int r = out.Create(x1 - x0, y1 - y0, src.Bits()); r != IMG_SUCCESS) return r;
    std::memcpy(out.Table(), src.Table(), size_t(TableEntries(src.Bits())) * sizeof(RGBQUAD));
    out.Header()->biXPelsPerMeter = src.Header()->biXPelsPerMeter;
    out.Header()->biYPelsPerMeter = src.Header()->biYPelsPerMeter;
    for (long y = y0; y < y1; ++y) {
        const BYTE* s = src.Row(y);
        BYTE* d = out.Row(y - y0);
        if (src.Bits() == 24)
            std::memcpy(d, s + 3 * x0, size_t(3 * (x1 - x0)));
        else
            for (long x = x0; x < x1; ++x)
                SetIndex(d, x - x0, src.Bits(), GetIndex(s, x, src.Bits()));
    }
    src.Open(HGLOBAL(nullptr));
    return Install(b, out);
}

int KovaBitmapFromDDB(HDC dc, KOVABITMAP* b, HBITMAP ddb, HPALETTE) {
    if (b == nullptr || ddb == nullptr) return IMG_ERR_PARAM;
    BITMAP bm{};
    if (!GetObject(ddb, sizeof bm, &bm) || bm.bmWidth < 1 || bm.bmHeight < 1) return IMG_ERR_PARAM;
    Picture p;
    if (const int r = p.Create(bm.bmWidth, bm.bmHeight, 24); r != IMG_SUCCESS) return r;
    BITMAPINFO info{};
    info.bmiHeader = *p.Header();
    if (GetDIBits(dc, ddb, 0, UINT(bm.bmHeight), p.Row(bm.bmHeight - 1), &info, DIB_RGB_COLORS) ==
        0)
        return IMG_ERR_PARAM;
    return Install(b, p);
}
