// Windows and OS/2 bitmap files. Reading goes through rasterkit's one intake of outside
// bitmaps (every header form, RLE, bit fields); writing makes the three header forms.
#include <cstring>

#include <mfc/CMemFile.h>
#include <rasterkit/CDib.h>

#include "Codec.h"
#include "Limits.h"

namespace imaging {

bool IsBmp(const BYTE* data, SIZE_T size) {
    return size >= 18 && data[0] == 'B' && data[1] == 'M';
}

int InfoBmp(const BYTE* data, SIZE_T size, ImageInfo& info) {
    const std::uint32_t header = Le32(data + 14);
    info.format = IMG_BMP;
    long w = 0, h = 0;
    int bits = 0;
    LONG xm = 0, ym = 0;
    if (header == 12) {
        if (size < 26) return IMG_ERR_DAMAGED;
        info.format = IMG_OS2;
        w = Le16(data + 18);
        h = Le16(data + 20);
        bits = Le16(data + 24);
    } else if (header >= 16 && header <= 124) {
        if (size < 14 + SIZE_T(header)) return IMG_ERR_DAMAGED;
        if (header == 16 || header == 64) info.format = IMG_OS2_2;
        w = std::int32_t(Le32(data + 18));
        h = std::int32_t(Le32(data + 22));
        bits = Le16(data + 28);
        if (header >= 40) {
            xm = LONG(Le32(data + 38));
            ym = LONG(Le32(data + 42));
        }
    } else {
        return IMG_ERR_DAMAGED;
    }
    if (h < 0) h = -h;
    info.width = w;
    info.height = h;
    info.bits = bits == 16 || bits == 32 ? 24 : bits;
    info.xDpi = DpiFromMeter(xm);
    info.yDpi = DpiFromMeter(ym);
    if (!SizeAllowed(w, h)) return IMG_ERR_TOO_LARGE;
    return IMG_SUCCESS;
}

int DecodeBmp(const BYTE* data, SIZE_T size, Picture& out) {
    ImageInfo info;
    if (const int r = InfoBmp(data, size, info); r != IMG_SUCCESS) return r;
    CDib dib;
    CMemFile file(const_cast<BYTE*>(data), UINT(size));
    int loaded = -1;
    try {
        loaded = dib.Load(file);
    } catch (...) {
        loaded = -1;
    }
    file.Detach();
    if (loaded != 0) return dib.GetLoadError() == CDib::NoMemory ? IMG_ERR_MEMORY : IMG_ERR_DAMAGED;
    HGLOBAL block = static_cast<HGLOBAL>(dib.ChangeToDIB());
    if (!out.Adopt(block)) {
        GlobalFree(block);
        return IMG_ERR_DAMAGED;
    }
    return IMG_SUCCESS;
}

int EncodeBmp(const PictureView& pic, int format, int bits, std::vector<BYTE>& out) {
    const long w = pic.Width(), h = pic.Height();
    const int own = pic.Bits();
    if (bits == 0) bits = own;
    if (bits != own && !(own == 24 && (bits == 16 || bits == 32))) return IMG_ERR_PARAM;
    if (format != IMG_BMP && bits > 24) return IMG_ERR_PARAM;
    if (format != IMG_BMP && bits == 16) return IMG_ERR_PARAM;
    const int entries = TableEntries(bits);
    const unsigned headerSize = format == IMG_OS2 ? 12 : format == IMG_OS2_2 ? 64 : 40;
    const unsigned entrySize = format == IMG_OS2 ? 3 : 4;
    const SIZE_T stride = Stride(w, bits);
    const std::uint64_t offset = 14 + headerSize + std::uint64_t(entries) * entrySize;
    const std::uint64_t total = offset + std::uint64_t(stride) * std::uint64_t(h);
    if (total > 0x7FFF0000u || (format == IMG_OS2 && (w > 0xFFFF || h > 0xFFFF)))
        return IMG_ERR_TOO_LARGE;
    out.clear();
    out.reserve(size_t(total));
    out.push_back('B');
    out.push_back('M');
    PutLe32(out, std::uint32_t(total));
    PutLe32(out, 0);
    PutLe32(out, std::uint32_t(offset));
    PutLe32(out, headerSize);
    if (format == IMG_OS2) {
        PutLe16(out, unsigned(w));
        PutLe16(out, unsigned(h));
        PutLe16(out, 1);
        PutLe16(out, unsigned(bits));
    } else {
        PutLe32(out, std::uint32_t(w));
        PutLe32(out, std::uint32_t(h));
        PutLe16(out, 1);
        PutLe16(out, unsigned(bits));
        PutLe32(out, BI_RGB);
        PutLe32(out, std::uint32_t(stride * SIZE_T(h)));
        PutLe32(out, std::uint32_t(pic.Header()->biXPelsPerMeter));
        PutLe32(out, std::uint32_t(pic.Header()->biYPelsPerMeter));
        PutLe32(out, 0);
        PutLe32(out, 0);
        out.resize(out.size() + headerSize - 40, 0); // the OS/2 fields past the common ones
    }
    for (int i = 0; i < entries; ++i) {
        const RGBQUAD& q = pic.Table()[i];
        out.push_back(q.rgbBlue);
        out.push_back(q.rgbGreen);
        out.push_back(q.rgbRed);
        if (entrySize == 4) out.push_back(0);
    }
    for (long y = h - 1; y >= 0; --y) { // bottom-up
        const BYTE* src = pic.Row(y);
        const size_t at = out.size();
        out.resize(at + stride, 0);
        BYTE* dst = out.data() + at;
        if (bits == own) {
            std::memcpy(dst, src, Stride(w, own));
        } else if (bits == 16) {
            for (long x = 0; x < w; ++x) {
                const unsigned v = unsigned(src[3 * x + 2] >> 3) << 10 |
                                   unsigned(src[3 * x + 1] >> 3) << 5 | unsigned(src[3 * x] >> 3);
                dst[2 * x] = BYTE(v);
                dst[2 * x + 1] = BYTE(v >> 8);
            }
        } else {
            for (long x = 0; x < w; ++x) {
                std::memcpy(dst + 4 * x, src + 3 * x, 3);
            }
        }
    }
    return IMG_SUCCESS;
}

} // namespace imaging
