#include "rasterkit/DIBInterface.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

#include "Clip.h"

BYTE DIBInterface::Transparency[256][256];
bool DIBInterface::TransparencyBuilt = false;

namespace {

void BuildTransparency() {
    if (DIBInterface::TransparencyBuilt) return;
    for (int a = 0; a < 256; ++a)
        for (int b = 0; b < 256; ++b)
            DIBInterface::Transparency[a][b] = BYTE((a * b) >> 8);
    DIBInterface::TransparencyBuilt = true;
}

} // namespace

DIBInterface& DIBInterface::operator=(DIBInterface&& other) noexcept {
    if (this != &other) {
        Destroy();
        MoveFrom(other);
    }
    return *this;
}

void DIBInterface::MoveFrom(DIBInterface& other) noexcept {
    m_pInfo = std::exchange(other.m_pInfo, nullptr);
    m_pBits = std::exchange(other.m_pBits, nullptr);
    m_pEnd = std::exchange(other.m_pEnd, nullptr);
    m_rows = std::move(other.m_rows);
    m_bytesPerRow = std::exchange(other.m_bytesPerRow, 0);
    m_width = std::exchange(other.m_width, 0);
    m_height = std::exchange(other.m_height, 0);
    m_pixel = std::move(other.m_pixel);
}

void DIBInterface::Destroy() {
    m_rows.reset();
    m_pixel.reset();
    m_pInfo = nullptr;
    m_pBits = m_pEnd = nullptr;
    m_bytesPerRow = m_width = m_height = 0;
}

DIBInterface::~DIBInterface() {
    // A derived Destroy has run already; this frees what the interface itself owns.
    DIBInterface::Destroy();
}

int DIBInterface::GetNoPaletteEntries(int bitCount) {
    switch (bitCount) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
    }
}

RGBQUAD* DIBInterface::GetColorTab() const {
    if (!m_pInfo) return nullptr;
    return reinterpret_cast<RGBQUAD*>(reinterpret_cast<BYTE*>(m_pInfo) +
                                      m_pInfo->bmiHeader.biSize);
}

void DIBInterface::Init(BITMAPINFO* info, void* bits) {
    BuildTransparency();
    DIBInterface::Destroy();
    m_pInfo = info;
    m_pBits = static_cast<BYTE*>(bits);
    if (!info || !bits) {
        m_pEnd = m_pBits;
        return;
    }
    const BITMAPINFOHEADER& h = info->bmiHeader;
    const std::int64_t width = h.biWidth;
    const std::int64_t height = std::llabs(std::int64_t(h.biHeight));
    const std::int64_t stride = ((width * h.biBitCount + 31) >> 3) & ~std::int64_t(3);
    if (width <= 0 || height <= 0 || stride <= 0 || stride > INT32_MAX || height > INT32_MAX) {
        m_pEnd = m_pBits;
        return;
    }
    m_width = int(width);
    m_height = int(height);
    m_bytesPerRow = int(stride);
    m_pEnd = m_pBits + stride * height;
    m_rows.reset(new (std::nothrow) BYTE*[std::size_t(height)]);
    if (!m_rows) {
        m_width = m_height = 0;
        return;
    }
    // Bottom-up storage: row 0 (the top row) is the last one stored. A negative height is a
    // top-down bitmap.
    const bool topDown = h.biHeight < 0;
    for (std::int64_t i = 0; i < height; ++i)
        m_rows[i] = m_pBits + (topDown ? i : height - 1 - i) * stride;
    RGBQUAD* colors = GetColorTab();
    switch (h.biBitCount) {
    case 1: m_pixel.reset(new (std::nothrow) DIB1Interface(m_rows.get(), colors)); break;
    case 4: m_pixel.reset(new (std::nothrow) DIB4Interface(m_rows.get(), colors)); break;
    case 8: m_pixel.reset(new (std::nothrow) DIB8Interface(m_rows.get(), colors)); break;
    case 24: m_pixel.reset(new (std::nothrow) DIB24Interface(m_rows.get())); break;
    default: break;
    }
}

BYTE* DIBInterface::GetPointer(int x, int y) {
    return m_pixel && IsInside(x, y) ? m_pixel->GetPointer(x, y) : nullptr;
}

void DIBInterface::GetPixel(int x, int y, unsigned& v) {
    if (m_pixel && IsInside(x, y)) m_pixel->GetPixel(x, y, v);
}

void DIBInterface::SetPixel(int x, int y, unsigned& v) {
    if (m_pixel && IsInside(x, y)) m_pixel->SetPixel(x, y, v);
}

void DIBInterface::GetRGB(int x, int y, BYTE* out) {
    if (m_pixel && IsInside(x, y)) m_pixel->GetRGB(x, y, out);
}

void DIBInterface::GetPixel(int x, int y, int rgb[3]) {
    if (!m_pixel || !IsInside(x, y)) return;
    BYTE bgr[3];
    m_pixel->GetRGB(x, y, bgr);
    rgb[0] = bgr[2];
    rgb[1] = bgr[1];
    rgb[2] = bgr[0];
}

void DIBInterface::Clear(BYTE v) {
    if (m_pBits && m_pEnd > m_pBits) std::memset(m_pBits, v, std::size_t(m_pEnd - m_pBits));
}

void DIBInterface::CopyRect(DIBInterface& src, int w, int h, int dx, int dy, int sx, int sy) {
    if (GetBitsPerPixel() != 24 || !m_pixel || !src.m_pixel) return;
    if (w == 0) w = src.m_width;
    if (h == 0) h = src.m_height;
    int c0, c1, r0, r1;
    if (!ClipRun(w, {{dx, m_width}, {sx, src.m_width}}, c0, c1) ||
        !ClipRun(h, {{dy, m_height}, {sy, src.m_height}}, r0, r1))
        return;
    for (int r = r1 - 1; r >= r0; --r)
        for (int c = c0; c < c1; ++c)
            src.m_pixel->GetRGB(sx + c, sy + r, m_pixel->GetPointer(dx + c, dy + r));
}

void DIBInterface::Fill(BYTE r, BYTE g, BYTE b, int w, int h, int x, int y) {
    if (GetBitsPerPixel() != 24 || !m_pixel) return;
    if (w == 0) w = m_width;
    if (h == 0) h = m_height;
    int c0, c1, r0, r1;
    if (!ClipRun(w, {{x, m_width}}, c0, c1) || !ClipRun(h, {{y, m_height}}, r0, r1)) return;
    for (int row = r0; row < r1; ++row) {
        BYTE* p = m_pixel->GetPointer(x + c0, y + row);
        for (int c = c0; c < c1; ++c, p += 3) {
            p[0] = b;
            p[1] = g;
            p[2] = r;
        }
    }
}

int DIBInterface::IsFilledWith(BYTE r, BYTE g, BYTE b, int w, int h, int x, int y) {
    if (w == 0) w = m_width;
    if (h == 0) h = m_height;
    int c0, c1, r0, r1;
    if (!ClipRun(w, {{x, m_width}}, c0, c1) || !ClipRun(h, {{y, m_height}}, r0, r1)) return 1;
    if (!m_pixel) return 0;
    for (int row = r0; row < r1; ++row)
        for (int c = c0; c < c1; ++c) {
            BYTE bgr[3];
            m_pixel->GetRGB(x + c, y + row, bgr);
            if (bgr[0] != b || bgr[1] != g || bgr[2] != r) return 0;
        }
    return 1;
}

void DIBInterface::Flip() {
    if (!m_rows) return;
    for (int i = 0, j = m_height - 1; i < j; ++i, --j)
        std::swap_ranges(m_rows[i], m_rows[i] + m_bytesPerRow, m_rows[j]);
}

namespace {

// The rectangle shared by destination, source and mask, or false when there is none.
bool ClipThree(DIBInterface& dst, DIBInterface& src, DIBInterface& mask, int& w, int& h, int dx,
               int dy, int sx, int sy, int& c0, int& c1, int& r0, int& r1) {
    if (dst.GetBitsPerPixel() != 24 || src.GetBitsPerPixel() != 24 ||
        mask.GetBitsPerPixel() != 24 || !dst.GetPixelInterface() || !src.GetPixelInterface() ||
        !mask.GetPixelInterface())
        return false;
    if (w == 0) w = src.GetWidth();
    if (h == 0) h = src.GetHeight();
    return ClipRun(w, {{dx, dst.GetWidth()}, {sx, src.GetWidth()}, {sx, mask.GetWidth()}}, c0,
                   c1) &&
           ClipRun(h, {{dy, dst.GetHeight()}, {sy, src.GetHeight()}, {sy, mask.GetHeight()}}, r0,
                   r1);
}

} // namespace

void DIBInterface::AlphaMerge(DIBInterface& src, DIBInterface& mask, int w, int h, int dx, int dy,
                              int sx, int sy) {
    int c0, c1, r0, r1;
    if (!ClipThree(*this, src, mask, w, h, dx, dy, sx, sy, c0, c1, r0, r1)) return;
    const int n = 3 * (c1 - c0);
    for (int r = r1 - 1; r >= r0; --r) {
        BYTE* d = m_pixel->GetPointer(dx + c0, dy + r);
        const BYTE* s = src.m_pixel->GetPointer(sx + c0, sy + r);
        const BYTE* m = mask.m_pixel->GetPointer(sx + c0, sy + r);
        for (int i = 0; i < n; ++i)
            if (m[i] != 255) d[i] = BYTE(Transparency[255 - m[i]][s[i]] + Transparency[m[i]][d[i]]);
    }
}

void DIBInterface::Mask(DIBInterface& src, DIBInterface& mask, int w, int h, int dx, int dy,
                        int sx, int sy) {
    int c0, c1, r0, r1;
    if (!ClipThree(*this, src, mask, w, h, dx, dy, sx, sy, c0, c1, r0, r1)) return;
    const int n = 3 * (c1 - c0);
    for (int r = r1 - 1; r >= r0; --r) {
        BYTE* d = m_pixel->GetPointer(dx + c0, dy + r);
        const BYTE* s = src.m_pixel->GetPointer(sx + c0, sy + r);
        const BYTE* m = mask.m_pixel->GetPointer(sx + c0, sy + r);
        for (int i = 0; i < n; ++i)
            d[i] = m[i] == 255 ? 255 : s[i];
    }
}
