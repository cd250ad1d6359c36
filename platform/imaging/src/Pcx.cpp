// ZSoft PCX, version 5: 1 bit in one plane, 4 bits as four planes of 1 bit (the palette in the
// header), 8 bits in one plane (the palette after the data), 24 bits as three planes of 8.
// Rows are run-length coded (a byte of 0xC0 + n repeats the next byte n times); runs may pass
// from one plane or row into the next.
#include <algorithm>
#include <cstring>

#include "Codec.h"
#include "Limits.h"

namespace imaging {
namespace {

struct PcxHeader {
    long width = 0, height = 0;
    int bitsPerPlane = 0, planes = 0;
    unsigned bytesPerLine = 0;
    int xDpi = 0, yDpi = 0;
    int bits = 0; // loaded
};

int Parse(const BYTE* d, SIZE_T size, PcxHeader& h) {
    if (size < 128) return IMG_ERR_DAMAGED;
    const int xmin = Le16(d + 4), ymin = Le16(d + 6), xmax = Le16(d + 8), ymax = Le16(d + 10);
    if (xmax < xmin || ymax < ymin) return IMG_ERR_DAMAGED;
    h.width = xmax - xmin + 1;
    h.height = ymax - ymin + 1;
    h.bitsPerPlane = d[3];
    h.planes = d[65];
    h.bytesPerLine = Le16(d + 66);
    h.xDpi = Le16(d + 12);
    h.yDpi = Le16(d + 14);
    const int kind = h.bitsPerPlane * 16 + h.planes;
    h.bits = kind == 0x11 ? 1 : kind == 0x14 ? 4 : kind == 0x81 ? 8 : kind == 0x83 ? 24 : 0;
    if (h.bits == 0) return IMG_ERR_UNSUPPORTED;
    if (!SizeAllowed(h.width, h.height)) return IMG_ERR_TOO_LARGE;
    if (h.bytesPerLine < (std::uint64_t(h.width) * unsigned(h.bitsPerPlane) + 7) / 8)
        return IMG_ERR_DAMAGED;
    // A run of 63 bytes takes 2.
    const std::uint64_t raw =
        std::uint64_t(h.bytesPerLine) * unsigned(h.planes) * std::uint64_t(h.height);
    if (!CanFill(raw, size, 32)) return IMG_ERR_DAMAGED;
    return IMG_SUCCESS;
}

} // namespace

bool IsPcx(const BYTE* d, SIZE_T size) {
    return size >= 128 && d[0] == 0x0A && d[1] <= 5 && d[2] == 1 && d[64] == 0 &&
           (d[3] == 1 || d[3] == 2 || d[3] == 4 || d[3] == 8);
}

int InfoPcx(const BYTE* d, SIZE_T size, ImageInfo& info) {
    PcxHeader h;
    const int r = Parse(d, size, h);
    info.format = IMG_PCX;
    info.width = h.width;
    info.height = h.height;
    info.bits = h.bits;
    info.xDpi = h.xDpi;
    info.yDpi = h.yDpi;
    return r;
}

int DecodePcx(const BYTE* d, SIZE_T size, Picture& out) {
    PcxHeader h;
    if (const int r = Parse(d, size, h); r != IMG_SUCCESS) return r;
    if (const int r = out.Create(h.width, h.height, h.bits); r != IMG_SUCCESS) return r;
    // The 256-colour palette: 0x0C and 768 bytes at the end.
    if (h.bits == 8) {
        if (size < 128 + 769 || d[size - 769] != 0x0C) return IMG_ERR_DAMAGED;
        for (int i = 0; i < 256; ++i) {
            const BYTE* c = d + size - 768 + 3 * i;
            out.Table()[i] = RGBQUAD{c[2], c[1], c[0], 0};
        }
    } else if (h.bits == 4) {
        for (int i = 0; i < 16; ++i)
            out.Table()[i] = RGBQUAD{d[16 + 3 * i + 2], d[16 + 3 * i + 1], d[16 + 3 * i], 0};
    } else if (h.bits == 1) {
        out.SetGreyTable();
    }
    const SIZE_T end = h.bits == 8 ? size - 769 : size;
    SIZE_T at = 128;
    const SIZE_T lineBytes = SIZE_T(h.bytesPerLine) * unsigned(h.planes);
    std::vector<BYTE> line(lineBytes);
    BYTE runValue = 0;
    unsigned runLeft = 0;
    for (long y = 0; y < h.height; ++y) {
        for (SIZE_T i = 0; i < lineBytes; ++i) {
            if (runLeft == 0) {
                if (at >= end) return IMG_ERR_DAMAGED;
                const BYTE b = d[at++];
                if ((b & 0xC0) == 0xC0) {
                    if (at >= end) return IMG_ERR_DAMAGED;
                    runLeft = b & 0x3F;
                    runValue = d[at++];
                    if (runLeft == 0) {
                        --i;
                        continue;
                    }
                } else {
                    runLeft = 1;
                    runValue = b;
                }
            }
            line[i] = runValue;
            --runLeft;
        }
        BYTE* row = out.Row(y);
        const BYTE* p = line.data();
        const unsigned bpl = h.bytesPerLine;
        switch (h.bits) {
        case 1:
            std::memcpy(row, p, SIZE_T((h.width + 7) / 8));
            break;
        case 8:
            std::memcpy(row, p, SIZE_T(h.width));
            break;
        case 24:
            for (long x = 0; x < h.width; ++x) {
                row[3 * x + 2] = p[x];
                row[3 * x + 1] = p[bpl + SIZE_T(x)];
                row[3 * x] = p[2 * bpl + SIZE_T(x)];
            }
            break;
        default: // four planes of one bit, the first the lowest
            for (long x = 0; x < h.width; ++x) {
                int v = 0;
                for (int k = 0; k < 4; ++k)
                    v |= ((p[k * bpl + SIZE_T(x >> 3)] >> (7 - (x & 7))) & 1) << k;
                SetIndex(row, x, 4, v);
            }
        }
        if (h.bits == 1 && (h.width & 7))
            row[(h.width - 1) / 8] &= BYTE(0xFF << (8 - (h.width & 7)));
    }
    out.SetResolution(h.xDpi, h.yDpi);
    return IMG_SUCCESS;
}

int EncodePcx(const PictureView& pic, std::vector<BYTE>& out) {
    const long w = pic.Width(), h = pic.Height();
    const int bits = pic.Bits();
    if (w > 65535 || h > 65535) return IMG_ERR_TOO_LARGE;
    const int bitsPerPlane = bits == 1 || bits == 4 ? 1 : 8;
    const int planes = bits == 4 ? 4 : bits == 24 ? 3 : 1;
    unsigned bpl = unsigned((w * bitsPerPlane + 7) / 8);
    bpl += bpl & 1; // even
    out.assign(128, 0);
    out[0] = 0x0A;
    out[1] = 5;
    out[2] = 1;
    out[3] = BYTE(bitsPerPlane);
    auto put16 = [&](size_t at, unsigned v) {
        out[at] = BYTE(v);
        out[at + 1] = BYTE(v >> 8);
    };
    put16(8, unsigned(w - 1));
    put16(10, unsigned(h - 1));
    put16(12, unsigned(std::min(pic.XDpi(), 65535)));
    put16(14, unsigned(std::min(pic.YDpi(), 65535)));
    if (bits == 4 || bits == 1)
        for (int i = 0; i < TableEntries(bits); ++i) {
            out[16 + 3 * size_t(i)] = pic.Table()[i].rgbRed;
            out[17 + 3 * size_t(i)] = pic.Table()[i].rgbGreen;
            out[18 + 3 * size_t(i)] = pic.Table()[i].rgbBlue;
        }
    out[65] = BYTE(planes);
    put16(66, bpl);
    put16(68, bits == 8 && pic.GreyTable() ? 2 : 1);
    // One-bit files show 0 black and 1 white.
    const auto luma = [&](int i) {
        return pic.Table()[i].rgbRed * 3 + pic.Table()[i].rgbGreen * 6 + pic.Table()[i].rgbBlue;
    };
    const bool invert = bits == 1 && luma(0) > luma(1);
    std::vector<BYTE> line(size_t(bpl) * unsigned(planes));
    for (long y = 0; y < h; ++y) {
        std::fill(line.begin(), line.end(), 0);
        const BYTE* row = pic.Row(y);
        switch (bits) {
        case 1:
            std::memcpy(line.data(), row, SIZE_T((w + 7) / 8));
            break;
        case 8:
            std::memcpy(line.data(), row, SIZE_T(w));
            break;
        case 24:
            for (long x = 0; x < w; ++x) {
                line[SIZE_T(x)] = row[3 * x + 2];
                line[bpl + SIZE_T(x)] = row[3 * x + 1];
                line[2 * bpl + SIZE_T(x)] = row[3 * x];
            }
            break;
        default:
            for (long x = 0; x < w; ++x) {
                const int v = GetIndex(row, x, 4);
                for (int k = 0; k < 4; ++k)
                    if ((v >> k) & 1) line[k * bpl + SIZE_T(x >> 3)] |= BYTE(0x80 >> (x & 7));
            }
        }
        if (invert)
            for (SIZE_T i = 0; i < SIZE_T((w + 7) / 8); ++i)
                line[i] = BYTE(~line[i]);
        if (bits == 1 && (w & 7)) line[SIZE_T((w - 1) / 8)] &= BYTE(0xFF << (8 - (w & 7)));
        // Runs stay within a plane's line, as old readers expect.
        for (int k = 0; k < planes; ++k) {
            const BYTE* p = line.data() + size_t(k) * bpl;
            for (unsigned i = 0; i < bpl;) {
                unsigned n = 1;
                while (i + n < bpl && n < 63 && p[i + n] == p[i])
                    ++n;
                if (n > 1 || (p[i] & 0xC0) == 0xC0) out.push_back(BYTE(0xC0 | n));
                out.push_back(p[i]);
                i += n;
            }
        }
    }
    if (bits == 8) {
        out.push_back(0x0C);
        for (int i = 0; i < 256; ++i) {
            out.push_back(pic.Table()[i].rgbRed);
            out.push_back(pic.Table()[i].rgbGreen);
            out.push_back(pic.Table()[i].rgbBlue);
        }
    }
    return IMG_SUCCESS;
}

} // namespace imaging
