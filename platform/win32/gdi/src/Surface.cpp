#include "Surface.h"

#include <cstring>
#include <limits>

namespace sdgdi {

namespace {

bool supportedDepth(int bpp) {
    return bpp == 1 || bpp == 4 || bpp == 8 || bpp == 24 || bpp == 32;
}

} // namespace

std::int64_t Surface::strideFor(std::int64_t width, int bpp) {
    if (width <= 0 || width > (std::int64_t(1) << 30)) return 0;
    return ((width * bpp + 31) / 32) * 4;
}

std::shared_ptr<Surface> Surface::create(int width, int height, int bpp, bool topDown) {
    if (width <= 0 || height <= 0 || !supportedDepth(bpp)) return nullptr;
    std::int64_t stride = strideFor(width, bpp);
    if (stride == 0 || stride > std::numeric_limits<int>::max()) return nullptr;
    // Refuse what cannot be a picture on this machine rather than dying in the allocator.
    if (stride * std::int64_t(height) > (std::int64_t(1) << 32)) return nullptr;
    std::shared_ptr<Surface> s(new Surface);
    s->width_ = width;
    s->height_ = height;
    s->bpp_ = bpp;
    s->topDown_ = topDown;
    s->stride_ = int(stride);
    try {
        s->owned_.assign(std::size_t(stride) * std::size_t(height), 0);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    s->bits_ = s->owned_.data();
    if (bpp <= 8) s->colors_ = defaultColors(bpp);
    return s;
}

std::shared_ptr<Surface> Surface::wrap(int width, int height, int bpp, bool topDown, void* bits) {
    if (width <= 0 || height <= 0 || !supportedDepth(bpp) || !bits) return nullptr;
    std::int64_t stride = strideFor(width, bpp);
    if (stride == 0 || stride > std::numeric_limits<int>::max()) return nullptr;
    std::shared_ptr<Surface> s(new Surface);
    s->width_ = width;
    s->height_ = height;
    s->bpp_ = bpp;
    s->topDown_ = topDown;
    s->stride_ = int(stride);
    s->bits_ = static_cast<std::uint8_t*>(bits);
    if (bpp <= 8) s->colors_ = defaultColors(bpp);
    return s;
}

std::uint32_t Surface::get(int x, int y) const {
    const std::uint8_t* r = row(y);
    switch (bpp_) {
    case 1:
        return (r[x >> 3] >> (7 - (x & 7))) & 1;
    case 4:
        return (x & 1) ? r[x >> 1] & 0xF : r[x >> 1] >> 4;
    case 8:
        return r[x];
    case 24: {
        const std::uint8_t* p = r + std::size_t(x) * 3;
        return p[0] | (p[1] << 8) | (std::uint32_t(p[2]) << 16);
    }
    default: {
        const std::uint8_t* p = r + std::size_t(x) * 4;
        return p[0] | (p[1] << 8) | (std::uint32_t(p[2]) << 16);
    }
    }
}

void Surface::set(int x, int y, std::uint32_t v) {
    std::uint8_t* r = row(y);
    switch (bpp_) {
    case 1: {
        std::uint8_t bit = std::uint8_t(0x80 >> (x & 7));
        if (v & 1)
            r[x >> 3] |= bit;
        else
            r[x >> 3] &= std::uint8_t(~bit);
        break;
    }
    case 4:
        if (x & 1)
            r[x >> 1] = std::uint8_t((r[x >> 1] & 0xF0) | (v & 0xF));
        else
            r[x >> 1] = std::uint8_t((r[x >> 1] & 0x0F) | ((v & 0xF) << 4));
        break;
    case 8:
        r[x] = std::uint8_t(v);
        break;
    case 24: {
        std::uint8_t* p = r + std::size_t(x) * 3;
        p[0] = std::uint8_t(v);
        p[1] = std::uint8_t(v >> 8);
        p[2] = std::uint8_t(v >> 16);
        break;
    }
    default: {
        std::uint8_t* p = r + std::size_t(x) * 4;
        p[0] = std::uint8_t(v);
        p[1] = std::uint8_t(v >> 8);
        p[2] = std::uint8_t(v >> 16);
        p[3] = 0;
        break;
    }
    }
}

void Surface::fillRow(int y, int x0, int x1, std::uint32_t v) {
    if (x0 >= x1) return;
    std::uint8_t* r = row(y);
    if (bpp_ == 8) {
        std::memset(r + x0, int(v & 0xFF), std::size_t(x1 - x0));
    } else if (bpp_ == 32) {
        std::uint32_t px = v & 0xFFFFFF;
        for (int x = x0; x < x1; ++x) std::memcpy(r + std::size_t(x) * 4, &px, 4);
    } else if (bpp_ == 24) {
        std::uint8_t b = std::uint8_t(v), g = std::uint8_t(v >> 8), rd = std::uint8_t(v >> 16);
        std::uint8_t* p = r + std::size_t(x0) * 3;
        if (b == g && g == rd) {
            std::memset(p, b, std::size_t(x1 - x0) * 3);
        } else {
            for (int x = x0; x < x1; ++x, p += 3) p[0] = b, p[1] = g, p[2] = rd;
        }
    } else {
        for (int x = x0; x < x1; ++x) set(x, y, v);
    }
}

void Surface::fill(std::uint32_t v) {
    for (int y = 0; y < height_; ++y) fillRow(y, 0, width_, v);
}

void Surface::setColors(const std::vector<RGBQUAD>& colors) {
    if (bpp_ > 8) return;
    std::size_t n = std::size_t(1) << bpp_;
    colors_ = colors;
    colors_.resize(n, RGBQUAD{0, 0, 0, 0});
    nearest_.clear();
}

void Surface::setColor(int index, RGBQUAD c) {
    if (index < 0 || std::size_t(index) >= colors_.size()) return;
    colors_[std::size_t(index)] = c;
    nearest_.clear();
}

std::uint32_t Surface::rawFromColor(COLORREF c) const {
    if (bpp_ > 8) return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
    if (c & 0x01000000u) return (c & 0xFFFF) & rawMask(); // PALETTEINDEX
    c &= 0xFFFFFF;
    auto it = nearest_.find(c);
    if (it != nearest_.end()) return it->second;
    int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
    std::uint32_t best = 0;
    long bestDist = std::numeric_limits<long>::max();
    for (std::size_t i = 0; i < colors_.size(); ++i) {
        long dr = colors_[i].rgbRed - r, dg = colors_[i].rgbGreen - g, db = colors_[i].rgbBlue - b;
        long d = dr * dr + dg * dg + db * db;
        if (d < bestDist) {
            bestDist = d;
            best = std::uint32_t(i);
        }
    }
    if (nearest_.size() > 4096) nearest_.clear();
    nearest_[c] = best;
    return best;
}

COLORREF Surface::colorFromRaw(std::uint32_t v) const {
    if (bpp_ > 8) return RGB(BYTE(v >> 16), BYTE(v >> 8), BYTE(v));
    if (v >= colors_.size()) return 0;
    return colorOf(colors_[v]);
}

const std::vector<RGBQUAD>& systemStaticColors() {
    static const std::vector<RGBQUAD> colors = [] {
        const COLORREF c[20] = {RGB(0, 0, 0),       RGB(128, 0, 0),     RGB(0, 128, 0),
                                RGB(128, 128, 0),   RGB(0, 0, 128),     RGB(128, 0, 128),
                                RGB(0, 128, 128),   RGB(192, 192, 192), RGB(192, 220, 192),
                                RGB(166, 202, 240), RGB(255, 251, 240), RGB(160, 160, 164),
                                RGB(128, 128, 128), RGB(255, 0, 0),     RGB(0, 255, 0),
                                RGB(255, 255, 0),   RGB(0, 0, 255),     RGB(255, 0, 255),
                                RGB(0, 255, 255),   RGB(255, 255, 255)};
        std::vector<RGBQUAD> v;
        for (COLORREF x : c) v.push_back(quadOf(x));
        return v;
    }();
    return colors;
}

std::vector<RGBQUAD> defaultColors(int bpp) {
    if (bpp == 1) return {RGBQUAD{0, 0, 0, 0}, RGBQUAD{255, 255, 255, 0}};
    if (bpp == 4) {
        const COLORREF c[16] = {RGB(0, 0, 0),       RGB(128, 0, 0),   RGB(0, 128, 0),
                                RGB(128, 128, 0),   RGB(0, 0, 128),   RGB(128, 0, 128),
                                RGB(0, 128, 128),   RGB(128, 128, 128), RGB(192, 192, 192),
                                RGB(255, 0, 0),     RGB(0, 255, 0),   RGB(255, 255, 0),
                                RGB(0, 0, 255),     RGB(255, 0, 255), RGB(0, 255, 255),
                                RGB(255, 255, 255)};
        std::vector<RGBQUAD> v;
        for (COLORREF x : c) v.push_back(quadOf(x));
        return v;
    }
    if (bpp == 8) {
        // Static colours at both ends, a 6×6×6 cube and greys between.
        std::vector<RGBQUAD> v(256, RGBQUAD{0, 0, 0, 0});
        const auto& s = systemStaticColors();
        for (int i = 0; i < 10; ++i) v[std::size_t(i)] = s[std::size_t(i)];
        for (int i = 0; i < 10; ++i) v[std::size_t(246 + i)] = s[std::size_t(10 + i)];
        int k = 10;
        for (int r = 0; r < 6; ++r)
            for (int g = 0; g < 6; ++g)
                for (int b = 0; b < 6; ++b)
                    v[std::size_t(k++)] = RGBQUAD{BYTE(b * 51), BYTE(g * 51), BYTE(r * 51), 0};
        for (int i = 0; k < 246; ++i, ++k) {
            BYTE grey = BYTE(8 + i * 8);
            v[std::size_t(k)] = RGBQUAD{grey, grey, grey, 0};
        }
        return v;
    }
    return {};
}

} // namespace sdgdi
