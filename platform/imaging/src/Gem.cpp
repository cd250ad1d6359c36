// GEM raster images (IMG), one plane: a header of big-endian words (version, header length in
// words, planes, pattern length, pixel width and height in micrometres, width, height), then
// each row as vertical replications (00 00 FF n: the next row stands n times), pattern runs
// (00 n: the next pattern-length bytes n times), bit strings (80 n: n bytes as they stand) and
// solid runs (one byte: its low 7 bits count bytes of all ones when the top bit is set, of
// zeros when not). A set bit is black.
#include <algorithm>
#include <cstring>

#include "Codec.h"
#include "Limits.h"

namespace imaging {
namespace {

struct GemHeader {
    unsigned headerWords = 0, planes = 0, patternLength = 0;
    long width = 0, height = 0;
    int xDpi = 0, yDpi = 0;
};

int Parse(const BYTE* d, SIZE_T size, GemHeader& h) {
    if (size < 16) return IMG_ERR_DAMAGED;
    h.headerWords = Be16(d + 2);
    h.planes = Be16(d + 4);
    h.patternLength = Be16(d + 6);
    const unsigned um[2] = {Be16(d + 8), Be16(d + 10)};
    h.width = Be16(d + 12);
    h.height = Be16(d + 14);
    h.xDpi = um[0] ? int((25400 + um[0] / 2) / um[0]) : 0;
    h.yDpi = um[1] ? int((25400 + um[1] / 2) / um[1]) : 0;
    if (SIZE_T(h.headerWords) * 2 > size) return IMG_ERR_DAMAGED;
    if (h.planes != 1) return IMG_ERR_UNSUPPORTED;
    if (!SizeAllowed(h.width, h.height)) return IMG_ERR_TOO_LARGE;
    // A replication of 4 bytes stands for at most 255 rows.
    if (std::uint64_t(h.height) > (std::uint64_t(size) + 64) * 64) return IMG_ERR_DAMAGED;
    return IMG_SUCCESS;
}

} // namespace

bool IsGem(const BYTE* d, SIZE_T size) {
    if (size < 16) return false;
    const unsigned version = Be16(d), words = Be16(d + 2), planes = Be16(d + 4),
                   pattern = Be16(d + 6);
    return version <= 3 && words >= 8 && words <= 64 && planes >= 1 && planes <= 8 &&
           pattern >= 1 && pattern <= 8 && Be16(d + 12) > 0 && Be16(d + 14) > 0;
}

int InfoGem(const BYTE* d, SIZE_T size, ImageInfo& info) {
    GemHeader h;
    const int r = Parse(d, size, h);
    info.format = IMG_GEM;
    info.width = h.width;
    info.height = h.height;
    info.bits = 1;
    info.xDpi = h.xDpi;
    info.yDpi = h.yDpi;
    return r;
}

int DecodeGem(const BYTE* d, SIZE_T size, Picture& out) {
    GemHeader h;
    if (const int r = Parse(d, size, h); r != IMG_SUCCESS) return r;
    if (const int r = out.Create(h.width, h.height, 1); r != IMG_SUCCESS) return r;
    out.Table()[0] = RGBQUAD{255, 255, 255, 0};
    out.Table()[1] = RGBQUAD{0, 0, 0, 0};
    const SIZE_T bpl = SIZE_T((h.width + 7) / 8);
    std::vector<BYTE> line(bpl);
    SIZE_T at = SIZE_T(h.headerWords) * 2;
    long y = 0;
    while (y < h.height) {
        unsigned repeat = 1;
        SIZE_T x = 0;
        std::fill(line.begin(), line.end(), 0);
        while (x < bpl) {
            if (at >= size) return IMG_ERR_DAMAGED;
            const BYTE b = d[at++];
            if (b == 0) {
                if (at >= size) return IMG_ERR_DAMAGED;
                const BYTE n = d[at++];
                if (n == 0) { // 00 00 FF n: vertical replication
                    if (at + 2 > size || d[at] != 0xFF) return IMG_ERR_DAMAGED;
                    repeat = d[at + 1];
                    at += 2;
                    continue;
                }
                if (at + h.patternLength > size) return IMG_ERR_DAMAGED;
                for (unsigned k = 0; k < n; ++k)
                    for (unsigned j = 0; j < h.patternLength && x < bpl; ++j)
                        line[x++] = d[at + j];
                at += h.patternLength;
            } else if (b == 0x80) {
                if (at >= size) return IMG_ERR_DAMAGED;
                const unsigned n = d[at++];
                if (at + n > size) return IMG_ERR_DAMAGED;
                for (unsigned k = 0; k < n && x < bpl; ++k)
                    line[x++] = d[at + k];
                at += n;
            } else {
                const BYTE v = (b & 0x80) ? 0xFF : 0x00;
                for (unsigned k = 0; k < (b & 0x7Fu) && x < bpl; ++k)
                    line[x++] = v;
            }
        }
        for (unsigned k = 0; k < std::max(repeat, 1u) && y < h.height; ++k, ++y) {
            BYTE* row = out.Row(y);
            std::memcpy(row, line.data(), bpl);
            if (h.width & 7) row[bpl - 1] &= BYTE(0xFF << (8 - (h.width & 7)));
        }
    }
    out.SetResolution(h.xDpi, h.yDpi);
    return IMG_SUCCESS;
}

int EncodeGem(const PictureView& pic, std::vector<BYTE>& out) {
    if (pic.Bits() != 1) return IMG_ERR_PARAM;
    const long w = pic.Width(), h = pic.Height();
    if (w > 65535 || h > 65535) return IMG_ERR_TOO_LARGE;
    auto put16 = [&](unsigned v) {
        out.push_back(BYTE(v >> 8));
        out.push_back(BYTE(v));
    };
    auto um = [](int dpi) { return unsigned(dpi > 0 ? (25400 + dpi / 2) / dpi : 85); };
    out.clear();
    put16(1);
    put16(8);
    put16(1);
    put16(2);
    put16(um(pic.XDpi()));
    put16(um(pic.YDpi()));
    put16(unsigned(w));
    put16(unsigned(h));
    // Set bits are black: the table's darker entry becomes 1.
    const auto luma = [&](int i) {
        return pic.Table()[i].rgbRed * 3 + pic.Table()[i].rgbGreen * 6 + pic.Table()[i].rgbBlue;
    };
    const bool invert = luma(0) < luma(1);
    const SIZE_T bpl = SIZE_T((w + 7) / 8);
    auto row = [&](long y) {
        std::vector<BYTE> r(pic.Row(y), pic.Row(y) + bpl);
        if (invert)
            for (BYTE& b : r)
                b = BYTE(~b);
        if (w & 7) r[bpl - 1] &= BYTE(0xFF << (8 - (w & 7)));
        return r;
    };
    for (long y = 0; y < h;) {
        const std::vector<BYTE> r = row(y);
        long same = 1;
        while (y + same < h && same < 255 && row(y + same) == r)
            ++same;
        if (same > 1) {
            out.insert(out.end(), {0, 0, 0xFF, BYTE(same)});
        }
        for (SIZE_T x = 0; x < bpl;) {
            if (r[x] == 0 || r[x] == 0xFF) {
                SIZE_T n = 1;
                while (x + n < bpl && n < 127 && r[x + n] == r[x])
                    ++n;
                out.push_back(BYTE((r[x] ? 0x80 : 0) | n));
                x += n;
                continue;
            }
            SIZE_T n = 1;
            while (x + n < bpl && n < 255 && r[x + n] != 0 && r[x + n] != 0xFF)
                ++n;
            out.push_back(0x80);
            out.push_back(BYTE(n));
            out.insert(out.end(), r.begin() + long(x), r.begin() + long(x + n));
            x += n;
        }
        y += same;
    }
    return IMG_SUCCESS;
}

} // namespace imaging
