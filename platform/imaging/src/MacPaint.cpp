// MacPaint pictures: 576 x 720 pixels, one bit (set is black), after a 512-byte header
// (version, 38 patterns, padding) and an optional 128-byte MacBinary header of type "PNTG";
// each row of 72 bytes is PackBits coded (n < 128: n + 1 bytes as they stand; n > 128:
// the next byte 257 - n times; 128 nothing).
#include <algorithm>
#include <cstring>

#include "Codec.h"
#include "Limits.h"

namespace imaging {
namespace {

constexpr long kWidth = 576, kHeight = 720;
constexpr SIZE_T kRowBytes = 72, kHeader = 512, kMacBinary = 128;

bool MacBinary(const BYTE* d, SIZE_T size) {
    return size >= kMacBinary + kHeader && d[0] == 0 && d[1] >= 1 && d[1] <= 63 &&
           std::memcmp(d + 65, "PNTG", 4) == 0;
}

bool PlainHeader(const BYTE* d, SIZE_T size) {
    return size >= kHeader + kHeight && Be32(d) <= 3;
}

} // namespace

bool IsMacPaint(const BYTE* d, SIZE_T size) {
    return MacBinary(d, size) || PlainHeader(d, size);
}

int InfoMacPaint(const BYTE*, SIZE_T, ImageInfo& info) {
    info.format = IMG_MAC;
    info.width = kWidth;
    info.height = kHeight;
    info.bits = 1;
    info.xDpi = info.yDpi = 72;
    return IMG_SUCCESS;
}

int DecodeMacPaint(const BYTE* d, SIZE_T size, Picture& out) {
    SIZE_T at = (MacBinary(d, size) ? kMacBinary : 0) + kHeader;
    if (const int r = out.Create(kWidth, kHeight, 1); r != IMG_SUCCESS) return r;
    out.Table()[0] = RGBQUAD{255, 255, 255, 0};
    out.Table()[1] = RGBQUAD{0, 0, 0, 0};
    std::vector<BYTE> bits(kRowBytes * kHeight);
    SIZE_T x = 0;
    while (x < bits.size()) {
        if (at >= size) return IMG_ERR_DAMAGED;
        const BYTE n = d[at++];
        if (n < 128) {
            const SIZE_T count = SIZE_T(n) + 1;
            if (at + count > size) return IMG_ERR_DAMAGED;
            const SIZE_T take = std::min(count, bits.size() - x);
            std::memcpy(bits.data() + x, d + at, take);
            at += count;
            x += take;
        } else if (n > 128) {
            if (at >= size) return IMG_ERR_DAMAGED;
            const SIZE_T take = std::min(SIZE_T(257 - n), bits.size() - x);
            std::memset(bits.data() + x, d[at++], take);
            x += take;
        }
    }
    for (long y = 0; y < kHeight; ++y)
        std::memcpy(out.Row(y), bits.data() + SIZE_T(y) * kRowBytes, kRowBytes);
    out.SetResolution(72, 72);
    return IMG_SUCCESS;
}

// The picture on a white page of 576 x 720 from its top left, cut where it is larger.
int EncodeMacPaint(const PictureView& pic, std::vector<BYTE>& out) {
    if (pic.Bits() != 1) return IMG_ERR_PARAM;
    const auto luma = [&](int i) {
        return pic.Table()[i].rgbRed * 3 + pic.Table()[i].rgbGreen * 6 + pic.Table()[i].rgbBlue;
    };
    const bool invert = luma(0) < luma(1); // set bits are black
    out.assign(kHeader, 0);
    std::vector<BYTE> row(kRowBytes);
    for (long y = 0; y < kHeight; ++y) {
        std::fill(row.begin(), row.end(), 0);
        if (y < pic.Height()) {
            const long w = std::min(pic.Width(), kWidth);
            for (long x = 0; x < w; ++x) {
                const int v = GetIndex(pic.Row(y), x, 1) ^ (invert ? 1 : 0);
                if (v) row[SIZE_T(x >> 3)] |= BYTE(0x80 >> (x & 7));
            }
        }
        for (SIZE_T i = 0; i < kRowBytes;) {
            SIZE_T n = 1;
            while (i + n < kRowBytes && n < 128 && row[i + n] == row[i])
                ++n;
            if (n >= 3) {
                out.push_back(BYTE(257 - n));
                out.push_back(row[i]);
                i += n;
                continue;
            }
            SIZE_T m = 0;
            while (i + m < kRowBytes && m < 128 &&
                   !(i + m + 2 < kRowBytes && row[i + m] == row[i + m + 1] &&
                     row[i + m] == row[i + m + 2]))
                ++m;
            if (m == 0) m = 1;
            out.push_back(BYTE(m - 1));
            out.insert(out.end(), row.begin() + long(i), row.begin() + long(i + m));
            i += m;
        }
    }
    return IMG_SUCCESS;
}

} // namespace imaging
