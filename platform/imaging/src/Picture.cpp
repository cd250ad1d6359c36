#include "Picture.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include <imaging/ToolkitTypes.h>

#include "Limits.h"

namespace imaging {

SIZE_T Stride(long width, int bits) {
    return SIZE_T((std::uint64_t(width) * unsigned(bits) + 31) / 32 * 4);
}

int TableEntries(int bits) {
    return bits <= 8 ? 1 << bits : 0;
}

int GetIndex(const BYTE* row, long x, int bits) {
    switch (bits) {
    case 1:
        return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case 4:
        return (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 15;
    default:
        return row[x];
    }
}

void SetIndex(BYTE* row, long x, int bits, int v) {
    switch (bits) {
    case 1:
        row[x >> 3] = BYTE(row[x >> 3] | ((v & 1) << (7 - (x & 7))));
        break;
    case 4:
        row[x >> 1] = BYTE(row[x >> 1] | ((v & 15) << ((x & 1) ? 0 : 4)));
        break;
    default:
        row[x] = BYTE(v);
        break;
    }
}

int DpiFromMeter(LONG perMeter) {
    return perMeter > 0 ? int(std::lround(double(perMeter) * 0.0254)) : 0;
}

LONG MeterFromDpi(int dpi) {
    return dpi > 0 ? LONG(std::min(std::lround(double(dpi) / 0.0254), 0x7FFFFFFFL)) : 0;
}

Picture::~Picture() {
    Free();
}

void Picture::Free() {
    if (m_block != nullptr) {
        GlobalUnlock(m_block);
        GlobalFree(m_block);
    }
    m_block = nullptr;
    m_base = nullptr;
}

int Picture::Create(long width, long height, int bits, bool zeroed) {
    if (!SizeAllowed(width, height)) return IMG_ERR_TOO_LARGE;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24) return IMG_ERR_PARAM;
    const SIZE_T stride = Stride(width, bits);
    const SIZE_T total = sizeof(BITMAPINFOHEADER) + SIZE_T(TableEntries(bits)) * sizeof(RGBQUAD) +
                         stride * SIZE_T(height);
    if (total > 0x7FFF0000u) return IMG_ERR_TOO_LARGE;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | (zeroed ? GMEM_ZEROINIT : 0), total);
    if (block == nullptr) return IMG_ERR_MEMORY;
    BYTE* base = static_cast<BYTE*>(GlobalLock(block));
    if (base == nullptr) {
        GlobalFree(block);
        return IMG_ERR_MEMORY;
    }
    Free();
    m_block = block;
    m_base = base;
    m_width = width;
    m_height = height;
    m_bits = bits;
    m_stride = stride;
    if (!zeroed) {
        std::memset(base, 0,
                    sizeof(BITMAPINFOHEADER) + SIZE_T(TableEntries(bits)) * sizeof(RGBQUAD));
        const SIZE_T used = (std::uint64_t(width) * unsigned(bits) + 7) / 8;
        BYTE* rows = base + sizeof(BITMAPINFOHEADER) + SIZE_T(TableEntries(bits)) * sizeof(RGBQUAD);
        if (used < stride)
            for (long y = 0; y < height; ++y)
                std::memset(rows + stride * SIZE_T(y) + used, 0, stride - used);
    }
    BITMAPINFOHEADER* h = Header();
    h->biSize = sizeof(BITMAPINFOHEADER);
    h->biWidth = LONG(width);
    h->biHeight = LONG(height);
    h->biPlanes = 1;
    h->biBitCount = WORD(bits);
    h->biCompression = BI_RGB;
    h->biSizeImage = DWORD(stride * SIZE_T(height));
    m_table = reinterpret_cast<RGBQUAD*>(base + sizeof(BITMAPINFOHEADER));
    m_pixels = base + sizeof(BITMAPINFOHEADER) + SIZE_T(TableEntries(bits)) * sizeof(RGBQUAD);
    return IMG_SUCCESS;
}

bool Picture::Adopt(HGLOBAL block) {
    PictureView view;
    if (!view.Open(block)) return false;
    const long w = view.Width(), h = view.Height();
    const int bits = view.Bits();
    Free();
    m_block = block;
    m_base = static_cast<BYTE*>(GlobalLock(block));
    m_width = w;
    m_height = h;
    m_bits = bits;
    m_stride = Stride(w, bits);
    m_table = reinterpret_cast<RGBQUAD*>(m_base + sizeof(BITMAPINFOHEADER));
    m_pixels = m_base + sizeof(BITMAPINFOHEADER) + SIZE_T(TableEntries(bits)) * sizeof(RGBQUAD);
    return true;
}

void Picture::SetResolution(int xDpi, int yDpi) {
    Header()->biXPelsPerMeter = MeterFromDpi(xDpi);
    Header()->biYPelsPerMeter = MeterFromDpi(yDpi);
}

void Picture::SetGreyTable() {
    const int n = TableEntries(m_bits);
    for (int i = 0; i < n; ++i) {
        const BYTE v = BYTE(i * 255 / (n - 1));
        m_table[i] = RGBQUAD{v, v, v, 0};
    }
}

HGLOBAL Picture::Release() {
    HGLOBAL block = m_block;
    if (block != nullptr) GlobalUnlock(block);
    m_block = nullptr;
    m_base = nullptr;
    return block;
}

PictureView::~PictureView() {
    if (m_block != nullptr) GlobalUnlock(m_block);
}

bool PictureView::Open(const void* packed, SIZE_T size) {
    m_header = nullptr;
    if (packed == nullptr || size < sizeof(BITMAPINFOHEADER)) return false;
    const auto* h = static_cast<const BITMAPINFOHEADER*>(packed);
    const int bits = h->biBitCount;
    if (h->biSize != sizeof(BITMAPINFOHEADER) || h->biCompression != BI_RGB ||
        (bits != 1 && bits != 4 && bits != 8 && bits != 24) ||
        !SizeAllowed(h->biWidth, h->biHeight))
        return false;
    const SIZE_T stride = Stride(h->biWidth, bits);
    const SIZE_T tableBytes = SIZE_T(TableEntries(bits)) * sizeof(RGBQUAD);
    if (size < sizeof(BITMAPINFOHEADER) + tableBytes ||
        (size - sizeof(BITMAPINFOHEADER) - tableBytes) / stride < SIZE_T(h->biHeight))
        return false;
    m_header = h;
    m_table = reinterpret_cast<const RGBQUAD*>(h + 1);
    m_pixels = reinterpret_cast<const BYTE*>(h + 1) + tableBytes;
    m_width = h->biWidth;
    m_height = h->biHeight;
    m_bits = bits;
    m_stride = stride;
    return true;
}

bool PictureView::Open(HGLOBAL block) {
    if (m_block != nullptr) GlobalUnlock(m_block);
    m_block = nullptr;
    m_header = nullptr;
    if (block == nullptr) return false;
    const void* p = GlobalLock(block);
    if (p == nullptr) return false;
    m_block = block;
    return Open(p, GlobalSize(block));
}

void PictureView::Rgb(const BYTE* row, long x, BYTE out[3]) const {
    if (m_bits == 24) {
        out[0] = row[3 * x + 2];
        out[1] = row[3 * x + 1];
        out[2] = row[3 * x];
        return;
    }
    const RGBQUAD& q = m_table[GetIndex(row, x, m_bits)];
    out[0] = q.rgbRed;
    out[1] = q.rgbGreen;
    out[2] = q.rgbBlue;
}

bool PictureView::GreyTable() const {
    const int n = TableEntries(m_bits);
    if (n == 0) return false;
    for (int i = 0; i < n; ++i) {
        const RGBQUAD& q = m_table[i];
        const int v = i * 255 / (n - 1);
        if (q.rgbRed != v || q.rgbGreen != v || q.rgbBlue != v) return false;
    }
    return true;
}

SIZE_T PictureView::TotalBytes() const {
    return sizeof(BITMAPINFOHEADER) + SIZE_T(TableEntries(m_bits)) * sizeof(RGBQUAD) +
           m_stride * SIZE_T(m_height);
}

} // namespace imaging
