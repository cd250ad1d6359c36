// Microsoft Paint pictures: a 32-byte header of little-endian words (the keys "DanM" for
// version 1 or "LinS" for version 2, width, height, aspect ratios, printer size, a checksum
// that makes the XOR of the first 13 words 0), then the rows from the top, one bit a pixel,
// a set bit white. Version 1 rows stand as they are; version 2 has a word of each row's byte
// length and rows of runs (0, count, value: count times value; n > 0: n bytes as they stand).
#include <algorithm>
#include <cstring>

#include "Codec.h"
#include "Limits.h"

namespace imaging {
namespace {

constexpr SIZE_T kHeader = 32;

int Version(const BYTE* d) {
    if (std::memcmp(d, "DanM", 4) == 0) return 1;
    if (std::memcmp(d, "LinS", 4) == 0) return 2;
    return 0;
}

} // namespace

bool IsMsp(const BYTE* d, SIZE_T size) {
    return size >= kHeader && Version(d) != 0;
}

int InfoMsp(const BYTE* d, SIZE_T size, ImageInfo& info) {
    info.format = IMG_MSP;
    info.width = Le16(d + 4);
    info.height = Le16(d + 6);
    info.bits = 1;
    if (!SizeAllowed(info.width, info.height)) return IMG_ERR_TOO_LARGE;
    const std::uint64_t bpl = (std::uint64_t(info.width) + 7) / 8;
    if (Version(d) == 1) {
        if (bpl * std::uint64_t(info.height) > size - kHeader) return IMG_ERR_DAMAGED;
    } else if (2 * std::uint64_t(info.height) > size - kHeader ||
               !CanFill(bpl * std::uint64_t(info.height), size, 128)) {
        return IMG_ERR_DAMAGED;
    }
    return IMG_SUCCESS;
}

int DecodeMsp(const BYTE* d, SIZE_T size, Picture& out) {
    ImageInfo info;
    if (const int r = InfoMsp(d, size, info); r != IMG_SUCCESS) return r;
    if (const int r = out.Create(info.width, info.height, 1); r != IMG_SUCCESS) return r;
    out.Table()[0] = RGBQUAD{0, 0, 0, 0};
    out.Table()[1] = RGBQUAD{255, 255, 255, 0};
    const SIZE_T bpl = SIZE_T((info.width + 7) / 8);
    const bool packed = Version(d) == 2;
    SIZE_T at = kHeader + (packed ? SIZE_T(info.height) * 2 : 0);
    for (long y = 0; y < info.height; ++y) {
        BYTE* row = out.Row(y);
        if (!packed) {
            std::memcpy(row, d + kHeader + SIZE_T(y) * bpl, bpl);
        } else {
            const SIZE_T length = Le16(d + kHeader + 2 * SIZE_T(y));
            if (length > size - at) return IMG_ERR_DAMAGED;
            const SIZE_T end = at + length;
            SIZE_T x = 0;
            while (at < end && x < bpl) {
                const BYTE type = d[at++];
                if (type == 0) {
                    if (at + 2 > end) return IMG_ERR_DAMAGED;
                    const SIZE_T n = std::min<SIZE_T>(d[at], bpl - x);
                    std::memset(row + x, d[at + 1], n);
                    x += n;
                    at += 2;
                } else {
                    if (at + type > end) return IMG_ERR_DAMAGED;
                    const SIZE_T n = std::min<SIZE_T>(type, bpl - x);
                    std::memcpy(row + x, d + at, n);
                    x += n;
                    at += type;
                }
            }
            at = end;
        }
        if (info.width & 7) row[bpl - 1] &= BYTE(0xFF << (8 - (info.width & 7)));
    }
    return IMG_SUCCESS;
}

int EncodeMsp(const PictureView& pic, std::vector<BYTE>& out) {
    if (pic.Bits() != 1) return IMG_ERR_PARAM;
    const long w = pic.Width(), h = pic.Height();
    if (w > 65535 || h > 65535) return IMG_ERR_TOO_LARGE;
    const auto luma = [&](int i) {
        return pic.Table()[i].rgbRed * 3 + pic.Table()[i].rgbGreen * 6 + pic.Table()[i].rgbBlue;
    };
    const bool invert = luma(0) > luma(1); // set bits are white
    const SIZE_T bpl = SIZE_T((w + 7) / 8);
    WORD header[16] = {0x694C,  0x536E,  WORD(w), WORD(h), 1, 1, 1, 1,
                       WORD(w), WORD(h), 0,       0,       0, 0, 0, 0};
    WORD sum = 0;
    for (int i = 0; i < 12; ++i)
        sum ^= header[i];
    header[12] = sum;
    out.clear();
    for (WORD v : header)
        PutLe16(out, v);
    const SIZE_T map = out.size();
    out.resize(map + SIZE_T(h) * 2, 0);
    std::vector<BYTE> row(bpl);
    for (long y = 0; y < h; ++y) {
        std::memcpy(row.data(), pic.Row(y), bpl);
        if (invert)
            for (BYTE& b : row)
                b = BYTE(~b);
        if (w & 7) row[bpl - 1] &= BYTE(0xFF << (8 - (w & 7)));
        const SIZE_T start = out.size();
        for (SIZE_T x = 0; x < bpl;) {
            SIZE_T n = 1;
            while (x + n < bpl && n < 255 && row[x + n] == row[x])
                ++n;
            if (n >= 3) {
                out.insert(out.end(), {0, BYTE(n), row[x]});
                x += n;
                continue;
            }
            SIZE_T m = 0;
            while (
                x + m < bpl && m < 255 &&
                !(x + m + 2 < bpl && row[x + m] == row[x + m + 1] && row[x + m] == row[x + m + 2]))
                ++m;
            if (m == 0) m = 1;
            out.push_back(BYTE(m));
            out.insert(out.end(), row.begin() + long(x), row.begin() + long(x + m));
            x += m;
        }
        const SIZE_T length = out.size() - start;
        if (length > 0xFFFF) return IMG_ERR_TOO_LARGE;
        out[map + 2 * SIZE_T(y)] = BYTE(length);
        out[map + 2 * SIZE_T(y) + 1] = BYTE(length >> 8);
    }
    return IMG_SUCCESS;
}

} // namespace imaging
