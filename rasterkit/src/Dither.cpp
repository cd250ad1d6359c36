// Reduction of pictures to the built-in 256-colour table, and CMYK correction.

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "Clip.h"
#include "HalfToneTable.h"
#include "rasterkit/DIBInterface.h"

namespace {

// Indexed by [x & 3][y & 3].
constexpr BYTE kColourThreshold[4][4] = {
    {0, 25, 6, 31}, {38, 12, 44, 19}, {9, 35, 3, 28}, {47, 22, 41, 15}};
constexpr BYTE kGreyThreshold[4][4] = {{0, 8, 2, 10}, {13, 4, 15, 6}, {3, 12, 1, 9}, {16, 7, 14, 5}};

// The rectangle of src (w or h 0: src's size) shared with the 8-bit dst, or false.
bool DitherArea(DIBInterface& src, DIBInterface& dst, int x, int y, int w, int h, int& x0, int& x1,
                int& y0, int& y1) {
    if (!src.GetPixelInterface() || !dst.GetPixelInterface() || dst.GetBitsPerPixel() != 8)
        return false;
    if (w == 0) w = src.GetWidth();
    if (h == 0) h = src.GetHeight();
    if (w <= 0 || h <= 0) return false;
    int c0, c1, r0, r1;
    if (!ClipRun(w, {{x, src.GetWidth()}, {x, dst.GetWidth()}}, c0, c1) ||
        !ClipRun(h, {{y, src.GetHeight()}, {y, dst.GetHeight()}}, r0, r1))
        return false;
    x0 = x + c0;
    x1 = x + c1;
    y0 = y + r0;
    y1 = y + r1;
    return true;
}

// Blue, green, red of a source pixel.
inline void ReadBgr(PixelInterface* in, bool direct, int x, int y, BYTE* out) {
    if (direct) {
        const BYTE* p = in->GetPointer(x, y);
        out[0] = p[0];
        out[1] = p[1];
        out[2] = p[2];
    } else {
        in->GetRGB(x, y, out);
    }
}

inline int Level(BYTE c, int t) {
    return c / 51 + (c % 51 > t ? 1 : 0);
}

BYTE OrderedIndex(BYTE B, BYTE G, BYTE R, int x, int y) {
    if (B != G || G != R) {
        if (R == 0 && G == 0 && B == 128) return 1;
        if (R == 0 && G == 128 && B == 0) return 2;
        if (R == 128 && G == 0 && B == 0) return 4;
        const int t = kColourThreshold[x & 3][y & 3];
        return BYTE(kCubeBase + Level(B, t) + 6 * Level(G, t) + 36 * Level(R, t));
    }
    if (B == 255) return kWhite;
    if (B == 128) return kMediumGrey;
    return BYTE(kGreyBase + B / 17 + (B % 17 > kGreyThreshold[x & 3][y & 3] ? 1 : 0));
}

} // namespace

void DIBInterface::OrderedDither(DIBInterface& src, DIBInterface& dst, int x, int y, int w, int h) {
    int x0, x1, y0, y1;
    if (!DitherArea(src, dst, x, y, w, h, x0, x1, y0, y1)) return;
    PixelInterface* in = src.GetPixelInterface();
    const bool direct = src.GetBitsPerPixel() == 24;
    for (int row = y1 - 1; row >= y0; --row) {
        BYTE* out = dst.GetPixelInterface()->GetPointer(0, row);
        for (int col = x0; col < x1; ++col) {
            BYTE bgr[3];
            ReadBgr(in, direct, col, row, bgr);
            out[col] = OrderedIndex(bgr[0], bgr[1], bgr[2], col, row);
        }
    }
}

// Serpentine Floyd-Steinberg: odd rows run right to left. Errors are kept in sixteenths per
// channel; 7/16 go ahead in the row, 3/16 behind, 5/16 below and 1/16 ahead in the next row.
void DIBInterface::FSDither(DIBInterface& src, DIBInterface& dst, int x, int y, int w, int h) {
    int x0, x1, y0, y1;
    if (!DitherArea(src, dst, x, y, w, h, x0, x1, y0, y1)) return;
    PixelInterface* in = src.GetPixelInterface();
    const bool direct = src.GetBitsPerPixel() == 24;
    const int width = x1 - x0;
    std::vector<std::int16_t> cur(std::size_t(width) * 3, 0), next(std::size_t(width) * 3, 0);
    for (int row = y0; row < y1; ++row) {
        const bool leftward = row & 1;
        const int dir = leftward ? -1 : 1;
        // Blue, green, red index 0, 1, 2; right-to-left rows handle red first.
        const int order[3] = {leftward ? 2 : 0, 1, leftward ? 0 : 2};
        BYTE* out = dst.GetPixelInterface()->GetPointer(0, row);
        for (int k = 0; k < width; ++k) {
            const int i = leftward ? width - 1 - k : k;
            BYTE bgr[3];
            ReadBgr(in, direct, x0 + i, row, bgr);
            const bool grey = bgr[0] == bgr[1] && bgr[1] == bgr[2];
            int level[3];
            for (int ch : order) {
                std::int16_t& acc = cur[std::size_t(i) * 3 + ch];
                const int v = std::clamp((bgr[ch] * 16 + acc) >> 4, 0, 255);
                int l, d;
                if (grey) {
                    l = v / 17;
                    d = v - 17 * l;
                } else {
                    l = v / 51;
                    d = v - kCubeLevels[l];
                }
                acc = 0;
                level[ch] = l;
                const int ahead = i + dir, behind = i - dir;
                if (ahead >= 0 && ahead < width) {
                    cur[std::size_t(ahead) * 3 + ch] += std::int16_t(d * 7);
                    next[std::size_t(ahead) * 3 + ch] += std::int16_t(d);
                }
                if (behind >= 0 && behind < width)
                    next[std::size_t(behind) * 3 + ch] += std::int16_t(d * 3);
                next[std::size_t(i) * 3 + ch] += std::int16_t(d * 5);
            }
            out[x0 + i] = grey ? BYTE(kGreyBase + level[order[0]])
                               : BYTE(kCubeBase + level[0] + 6 * level[1] + 36 * level[2]);
        }
        std::swap(cur, next);
        std::fill(next.begin(), next.end(), std::int16_t(0));
    }
}

void DIBInterface::CMYKCorrection(const BYTE c[256], const BYTE m[256], const BYTE y[256],
                                  const BYTE k[256]) {
    if (GetBitsPerPixel() != 24 || !m_pixel) return;
    for (int row = 0; row < m_height; ++row) {
        BYTE* p = m_pixel->GetPointer(0, row);
        for (int col = 0; col < m_width; ++col, p += 3) {
            const int C = 255 - p[2], M = 255 - p[1], Y = 255 - p[0];
            const int K = std::min({C, M, Y});
            const int c2 = c[C - K], m2 = m[M - K], y2 = y[Y - K], k2 = k[K];
            p[2] = BYTE(255 - std::min(c2 + k2, 255));
            p[1] = BYTE(255 - std::min(m2 + k2, 255));
            p[0] = BYTE(255 - std::min(y2 + k2, 255));
        }
    }
}
