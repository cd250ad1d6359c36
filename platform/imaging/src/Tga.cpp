// Targa: colour-mapped, true-colour (15, 16, 24, 32 bits) and grey pictures, plain or
// run-length coded, in either row order. Written plain: 8 bits colour-mapped, 16 bits as
// 5-5-5, 24 and 32 bits true colour, bottom row first.
#include <algorithm>
#include <cstring>

#include "Codec.h"
#include "Limits.h"

namespace imaging {
namespace {

struct TgaHeader {
    int type = 0, mapType = 0, mapFirst = 0, mapLength = 0, mapEntryBits = 0;
    long width = 0, height = 0;
    int depth = 0;
    bool topDown = false, rightToLeft = false, rle = false;
    SIZE_T mapAt = 0, pixelsAt = 0;
    int bits = 0; // loaded
};

int Parse(const BYTE* d, SIZE_T size, TgaHeader& h) {
    if (size < 18) return IMG_ERR_DAMAGED;
    h.mapType = d[1];
    h.type = d[2];
    h.mapFirst = Le16(d + 3);
    h.mapLength = Le16(d + 5);
    h.mapEntryBits = d[7];
    h.width = Le16(d + 12);
    h.height = Le16(d + 14);
    h.depth = d[16];
    h.topDown = (d[17] & 0x20) != 0;
    h.rightToLeft = (d[17] & 0x10) != 0;
    h.rle = h.type >= 9;
    const int base = h.type & 7;
    h.mapAt = 18 + SIZE_T(d[0]);
    const SIZE_T mapBytes =
        h.mapType == 1 ? SIZE_T(h.mapLength) * SIZE_T((h.mapEntryBits + 7) / 8) : 0;
    h.pixelsAt = h.mapAt + mapBytes;
    if (h.pixelsAt > size) return IMG_ERR_DAMAGED;
    if (base == 1) {
        if (h.mapType != 1 || h.depth != 8 || h.mapFirst + h.mapLength > 256 ||
            (h.mapEntryBits != 15 && h.mapEntryBits != 16 && h.mapEntryBits != 24 &&
             h.mapEntryBits != 32))
            return IMG_ERR_UNSUPPORTED;
        h.bits = 8;
    } else if (base == 2) {
        if (h.depth != 15 && h.depth != 16 && h.depth != 24 && h.depth != 32)
            return IMG_ERR_UNSUPPORTED;
        h.bits = 24;
    } else if (base == 3) {
        if (h.depth != 8) return IMG_ERR_UNSUPPORTED;
        h.bits = 8;
    } else {
        return IMG_ERR_UNSUPPORTED;
    }
    if (!SizeAllowed(h.width, h.height)) return IMG_ERR_TOO_LARGE;
    const SIZE_T bytesPerPixel = SIZE_T((h.depth + 7) / 8);
    const std::uint64_t raw = std::uint64_t(h.width) * std::uint64_t(h.height) * bytesPerPixel;
    // A run packet repeats one pixel up to 128 times.
    if (h.rle ? !CanFill(raw, size - h.pixelsAt, 128) : raw > size - h.pixelsAt)
        return IMG_ERR_DAMAGED;
    return IMG_SUCCESS;
}

void Colour(const BYTE* p, int depth, BYTE rgb[3]) {
    if (depth == 15 || depth == 16) {
        const unsigned v = Le16(p);
        rgb[0] = BYTE(((v >> 10) & 31) * 255 / 31);
        rgb[1] = BYTE(((v >> 5) & 31) * 255 / 31);
        rgb[2] = BYTE((v & 31) * 255 / 31);
    } else {
        rgb[0] = p[2];
        rgb[1] = p[1];
        rgb[2] = p[0];
    }
}

} // namespace

// Targa has no signature: the header's fields must be of the forms read, and it is tried last.
bool IsTga(const BYTE* d, SIZE_T size) {
    if (size < 18 || d[1] > 1) return false;
    const int t = d[2];
    if (t != 1 && t != 2 && t != 3 && t != 9 && t != 10 && t != 11) return false;
    const int depth = d[16];
    if (depth != 8 && depth != 15 && depth != 16 && depth != 24 && depth != 32) return false;
    return Le16(d + 12) > 0 && Le16(d + 14) > 0 && (d[17] & 0xC0) == 0;
}

int InfoTga(const BYTE* d, SIZE_T size, ImageInfo& info) {
    TgaHeader h;
    const int r = Parse(d, size, h);
    info.format = IMG_TGA;
    info.width = h.width;
    info.height = h.height;
    info.bits = h.bits;
    return r;
}

int DecodeTga(const BYTE* d, SIZE_T size, Picture& out) {
    TgaHeader h;
    if (const int r = Parse(d, size, h); r != IMG_SUCCESS) return r;
    if (const int r = out.Create(h.width, h.height, h.bits); r != IMG_SUCCESS) return r;
    const int base = h.type & 7;
    if (base == 3) out.SetGreyTable();
    if (base == 1) {
        const SIZE_T entry = SIZE_T((h.mapEntryBits + 7) / 8);
        for (int i = 0; i < h.mapLength; ++i) {
            BYTE c[3];
            Colour(d + h.mapAt + SIZE_T(i) * entry, h.mapEntryBits, c);
            out.Table()[h.mapFirst + i] = RGBQUAD{c[2], c[1], c[0], 0};
        }
    }
    const SIZE_T bpp = SIZE_T((h.depth + 7) / 8);
    SIZE_T at = h.pixelsAt;
    unsigned left = 0;
    bool repeat = false;
    const BYTE* pixel = nullptr;
    for (long i = 0; i < h.height; ++i) {
        const long y = h.topDown ? i : h.height - 1 - i;
        BYTE* row = out.Row(y);
        for (long j = 0; j < h.width; ++j) {
            if (h.rle) {
                if (left == 0) {
                    if (at >= size) return IMG_ERR_DAMAGED;
                    const BYTE packet = d[at++];
                    left = (packet & 0x7Fu) + 1;
                    repeat = (packet & 0x80) != 0;
                    pixel = nullptr;
                }
                if (!repeat || pixel == nullptr) {
                    if (bpp > size - at) return IMG_ERR_DAMAGED;
                    pixel = d + at;
                    at += bpp;
                }
                --left;
            } else {
                pixel = d + at;
                at += bpp;
            }
            const long x = h.rightToLeft ? h.width - 1 - j : j;
            if (h.bits == 8) {
                row[x] = *pixel;
            } else {
                BYTE c[3];
                Colour(pixel, h.depth, c);
                // Alpha is not applied: the colours stand as stored.
                row[3 * x] = c[2];
                row[3 * x + 1] = c[1];
                row[3 * x + 2] = c[0];
            }
        }
    }
    return IMG_SUCCESS;
}

int EncodeTga(const PictureView& pic, int bits, std::vector<BYTE>& out) {
    const long w = pic.Width(), h = pic.Height();
    if (w > 65535 || h > 65535) return IMG_ERR_TOO_LARGE;
    if (bits == 0) bits = pic.Bits();
    const bool mapped = bits == 8;
    if (mapped != (pic.Bits() == 8) || (!mapped && pic.Bits() != 24)) return IMG_ERR_PARAM;
    out.assign(18, 0);
    out[1] = mapped ? 1 : 0;
    out[2] = mapped ? 1 : 2;
    if (mapped) {
        out[5] = 0; // 256 entries of 24 bits
        out[6] = 1;
        out[7] = 24;
    }
    out[12] = BYTE(w);
    out[13] = BYTE(w >> 8);
    out[14] = BYTE(h);
    out[15] = BYTE(h >> 8);
    out[16] = BYTE(mapped ? 8 : bits);
    out[17] = bits == 32 ? 8 : 0; // alpha bits; bottom row first
    if (mapped)
        for (int i = 0; i < 256; ++i) {
            out.push_back(pic.Table()[i].rgbBlue);
            out.push_back(pic.Table()[i].rgbGreen);
            out.push_back(pic.Table()[i].rgbRed);
        }
    for (long y = h - 1; y >= 0; --y) {
        const BYTE* row = pic.Row(y);
        for (long x = 0; x < w; ++x) {
            if (mapped) {
                out.push_back(row[x]);
            } else if (bits == 16) {
                const unsigned v = unsigned(row[3 * x + 2] >> 3) << 10 |
                                   unsigned(row[3 * x + 1] >> 3) << 5 | unsigned(row[3 * x] >> 3);
                PutLe16(out, v);
            } else {
                out.insert(out.end(), row + 3 * x, row + 3 * x + 3);
                if (bits == 32) out.push_back(255);
            }
        }
    }
    return IMG_SUCCESS;
}

} // namespace imaging
