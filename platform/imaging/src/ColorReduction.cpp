#include "ColorReduction.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <unordered_set>

#include <imaging/ToolkitTypes.h>

namespace imaging {
namespace {

struct Rgb {
    int r, g, b;
};

int Clamp(int v) {
    return v < 0 ? 0 : v > 255 ? 255 : v;
}

// The 16 standard colours of a 4-bit display.
constexpr BYTE kStandard16[16][3] = {
    {0, 0, 0},     {128, 0, 0},     {0, 128, 0},     {128, 128, 0},  {0, 0, 128}, {128, 0, 128},
    {0, 128, 128}, {192, 192, 192}, {128, 128, 128}, {255, 0, 0},    {0, 255, 0}, {255, 255, 0},
    {0, 0, 255},   {255, 0, 255},   {0, 255, 255},   {255, 255, 255}};

std::vector<Rgb> FixedPalette(int bits) {
    std::vector<Rgb> p;
    if (bits == 1) return {{0, 0, 0}, {255, 255, 255}};
    if (bits == 4) {
        for (const auto& c : kStandard16)
            p.push_back({c[0], c[1], c[2]});
        return p;
    }
    // The half-tone table: a 6 x 6 x 6 cube, then greys between its steps.
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                p.push_back({r * 51, g * 51, b * 51});
    for (int i = 1; p.size() < 256; ++i) {
        const int v = i * 255 / 41;
        if (v % 51 != 0) p.push_back({v, v, v});
        if (i > 300) break;
    }
    while (p.size() < 256)
        p.push_back({255, 255, 255});
    return p;
}

struct Box {
    std::vector<std::uint32_t> colors; // 0xRRGGBB with counts kept apart
    std::vector<std::uint32_t> counts;
};

// Median cut over the picture's distinct colours (exact when there are few enough).
std::vector<Rgb> MedianCut(const PictureView& src, int wanted) {
    // Histogram on 5-5-5 cells, keeping the sum of the exact colours of each cell.
    std::vector<std::uint32_t> count(32768, 0);
    std::vector<std::array<std::uint64_t, 3>> sum(32768, {0, 0, 0});
    std::unordered_set<std::uint32_t> distinct;
    bool few = true;
    BYTE c[3];
    for (long y = 0; y < src.Height(); ++y) {
        const BYTE* row = src.Row(y);
        for (long x = 0; x < src.Width(); ++x) {
            src.Rgb(row, x, c);
            const int cell = (c[0] >> 3) << 10 | (c[1] >> 3) << 5 | (c[2] >> 3);
            ++count[size_t(cell)];
            sum[size_t(cell)][0] += c[0];
            sum[size_t(cell)][1] += c[1];
            sum[size_t(cell)][2] += c[2];
            if (few) {
                distinct.insert(std::uint32_t(c[0]) << 16 | std::uint32_t(c[1]) << 8 | c[2]);
                if (distinct.size() > size_t(wanted)) few = false;
            }
        }
    }
    std::vector<Rgb> palette;
    if (few) {
        std::vector<std::uint32_t> sorted(distinct.begin(), distinct.end());
        std::sort(sorted.begin(), sorted.end());
        for (std::uint32_t v : sorted)
            palette.push_back({int(v >> 16), int((v >> 8) & 255), int(v & 255)});
        return palette;
    }
    struct Cell {
        int c[3];
        std::uint32_t n;
        int index;
    };
    std::vector<Cell> cells;
    for (int i = 0; i < 32768; ++i)
        if (count[size_t(i)])
            cells.push_back({{i >> 10, (i >> 5) & 31, i & 31}, count[size_t(i)], i});
    struct Range {
        size_t begin, end;
    };
    std::vector<Range> boxes{{0, cells.size()}};
    auto extent = [&](const Range& r, int& axis) {
        int best = -1;
        for (int a = 0; a < 3; ++a) {
            int lo = 31, hi = 0;
            for (size_t i = r.begin; i < r.end; ++i) {
                lo = std::min(lo, cells[i].c[a]);
                hi = std::max(hi, cells[i].c[a]);
            }
            if (hi - lo > best) best = hi - lo, axis = a;
        }
        return best;
    };
    while (boxes.size() < size_t(wanted)) {
        int pick = -1, axis = 0, widest = 0;
        for (size_t b = 0; b < boxes.size(); ++b) {
            int a = 0;
            const int e = boxes[b].end - boxes[b].begin > 1 ? extent(boxes[b], a) : 0;
            if (e > widest) widest = e, pick = int(b), axis = a;
        }
        if (pick < 0) break;
        Range r = boxes[size_t(pick)];
        std::sort(cells.begin() + long(r.begin), cells.begin() + long(r.end),
                  [axis](const Cell& p, const Cell& q) { return p.c[axis] < q.c[axis]; });
        std::uint64_t total = 0, half = 0;
        for (size_t i = r.begin; i < r.end; ++i)
            total += cells[i].n;
        size_t split = r.begin + 1;
        for (size_t i = r.begin; i < r.end - 1; ++i) {
            half += cells[i].n;
            split = i + 1;
            if (2 * half >= total) break;
        }
        boxes[size_t(pick)] = {r.begin, split};
        boxes.push_back({split, r.end});
    }
    for (const Range& r : boxes) {
        std::uint64_t n = 0, s[3] = {0, 0, 0};
        for (size_t i = r.begin; i < r.end; ++i) {
            n += cells[i].n;
            for (int a = 0; a < 3; ++a)
                s[a] += sum[size_t(cells[i].index)][size_t(a)];
        }
        palette.push_back({int(s[0] / n), int(s[1] / n), int(s[2] / n)});
    }
    return palette;
}

// Nearest palette entry, with a direct-mapped cache of exact colours.
class Nearest {
public:
    explicit Nearest(const std::vector<Rgb>& p)
        : m_palette(p), m_key(4096, 0xFFFFFFFFu), m_value(4096) {}
    int operator()(int r, int g, int b) {
        const std::uint32_t key = std::uint32_t(r) << 16 | std::uint32_t(g) << 8 | std::uint32_t(b);
        const size_t slot = (key * 2654435761u) >> 20;
        if (m_key[slot] == key) return m_value[slot];
        int best = 0;
        long bestD = -1;
        for (size_t i = 0; i < m_palette.size(); ++i) {
            const long dr = r - m_palette[i].r, dg = g - m_palette[i].g, db = b - m_palette[i].b;
            const long d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
            if (bestD < 0 || d < bestD) bestD = d, best = int(i);
        }
        m_key[slot] = key;
        m_value[slot] = best;
        return best;
    }

private:
    const std::vector<Rgb>& m_palette;
    std::vector<std::uint32_t> m_key;
    std::vector<int> m_value;
};

constexpr int kBayer[8][8] = {{0, 32, 8, 40, 2, 34, 10, 42},  {48, 16, 56, 24, 50, 18, 58, 26},
                              {12, 44, 4, 36, 14, 46, 6, 38}, {60, 28, 52, 20, 62, 30, 54, 22},
                              {3, 35, 11, 43, 1, 33, 9, 41},  {51, 19, 59, 27, 49, 17, 57, 25},
                              {15, 47, 7, 39, 13, 45, 5, 37}, {63, 31, 55, 23, 61, 29, 53, 21}};

} // namespace

int Reduce(const PictureView& src, const Reduction& how, Picture& out) {
    if (!src.Valid()) return IMG_ERR_PARAM;
    const long w = src.Width(), h = src.Height();
    if (how.bits == 24 || how.bits == 16) {
        if (const int r = out.Create(w, h, 24); r != IMG_SUCCESS) return r;
        BYTE c[3];
        for (long y = 0; y < h; ++y) {
            const BYTE* s = src.Row(y);
            BYTE* d = out.Row(y);
            for (long x = 0; x < w; ++x) {
                src.Rgb(s, x, c);
                if (how.bits == 16)
                    for (BYTE& v : c)
                        v = BYTE((v >> 3) * 255 / 31);
                d[3 * x] = c[2];
                d[3 * x + 1] = c[1];
                d[3 * x + 2] = c[0];
            }
        }
        out.Header()->biXPelsPerMeter = src.Header()->biXPelsPerMeter;
        out.Header()->biYPelsPerMeter = src.Header()->biYPelsPerMeter;
        return IMG_SUCCESS;
    }
    if (how.bits != 1 && how.bits != 4 && how.bits != 8) return IMG_ERR_PARAM;
    const int most = 1 << how.bits;
    const int colors = std::clamp(how.colors, 2, most);
    if (const int r = out.Create(w, h, how.bits); r != IMG_SUCCESS) return r;
    out.Header()->biXPelsPerMeter = src.Header()->biXPelsPerMeter;
    out.Header()->biYPelsPerMeter = src.Header()->biYPelsPerMeter;

    // A palette picture that fits keeps its indices and table.
    if (src.Bits() <= how.bits && how.palette == PaletteKind::Optimised &&
        TableEntries(src.Bits()) <= colors) {
        std::memcpy(out.Table(), src.Table(), size_t(TableEntries(src.Bits())) * sizeof(RGBQUAD));
        for (long y = 0; y < h; ++y)
            for (long x = 0; x < w; ++x)
                SetIndex(out.Row(y), x, how.bits, GetIndex(src.Row(y), x, src.Bits()));
        return IMG_SUCCESS;
    }

    std::vector<Rgb> palette =
        how.palette == PaletteKind::Fixed ? FixedPalette(how.bits) : MedianCut(src, colors);
    if (palette.size() > size_t(most)) palette.resize(size_t(most));
    for (size_t i = 0; i < palette.size(); ++i)
        out.Table()[i] = RGBQUAD{BYTE(palette[i].b), BYTE(palette[i].g), BYTE(palette[i].r), 0};
    Nearest nearest(palette);
    // Spread of the ordered dither: about one step between neighbouring palette colours.
    const int spread = how.bits == 1 ? 255 : how.bits == 4 ? 96 : 48;
    std::vector<int> err(how.dither == Dither::Diffusion ? size_t(w + 2) * 3 * 2 : 0, 0);
    BYTE c[3];
    for (long y = 0; y < h; ++y) {
        const BYTE* s = src.Row(y);
        BYTE* d = out.Row(y);
        int* cur = err.empty() ? nullptr : err.data() + size_t(y & 1) * size_t(w + 2) * 3;
        int* next = err.empty() ? nullptr : err.data() + size_t((y + 1) & 1) * size_t(w + 2) * 3;
        if (next) std::fill(next, next + (w + 2) * 3, 0);
        for (long x = 0; x < w; ++x) {
            src.Rgb(s, x, c);
            int v[3] = {c[0], c[1], c[2]};
            if (how.dither == Dither::Ordered) {
                const int o = (kBayer[y & 7][x & 7] * 2 - 63) * spread / 128;
                for (int& t : v)
                    t = Clamp(t + o);
            } else if (cur) {
                for (int a = 0; a < 3; ++a)
                    v[a] = Clamp(v[a] + cur[(x + 1) * 3 + a] / 16);
            }
            const int i = nearest(v[0], v[1], v[2]);
            SetIndex(d, x, how.bits, i);
            if (cur) {
                const int e[3] = {v[0] - palette[size_t(i)].r, v[1] - palette[size_t(i)].g,
                                  v[2] - palette[size_t(i)].b};
                for (int a = 0; a < 3; ++a) {
                    cur[(x + 2) * 3 + a] += e[a] * 7;
                    next[x * 3 + a] += e[a] * 3;
                    next[(x + 1) * 3 + a] += e[a] * 5;
                    next[(x + 2) * 3 + a] += e[a];
                }
            }
        }
    }
    return IMG_SUCCESS;
}

int ConvertDepth(const PictureView& source, int bits, Picture& out) {
    Reduction how;
    how.bits = bits;
    how.colors = bits <= 8 ? 1 << bits : 0;
    how.dither = Dither::None;
    return Reduce(source, how, out);
}

} // namespace imaging
