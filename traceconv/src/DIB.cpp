#include "traceconv/DIB.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include <mfc/CDC.h>
#include <mfc/CGdiObject.h>

namespace {

constexpr DWORD CoreHeaderSize = 12;
constexpr DWORD InfoHeaderSize = 40;
constexpr int MaxSide = 32767;

DWORD HeaderSize(const void* header) {
    DWORD size;
    std::memcpy(&size, header, sizeof size);
    return size;
}

int MaxColors(int bitCount) {
    switch (bitCount) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
    }
}

// Bit count, width and height from either header form.
void ReadHeader(const void* header, int& bitCount, long long& width, long long& height) {
    if (HeaderSize(header) < InfoHeaderSize) {
        BITMAPCOREHEADER core;
        std::memcpy(&core, header, sizeof core);
        bitCount = core.bcBitCount;
        width = core.bcWidth;
        height = core.bcHeight;
    } else {
        BITMAPINFOHEADER bi;
        std::memcpy(&bi, header, sizeof bi);
        bitCount = bi.biBitCount;
        width = bi.biWidth;
        height = bi.biHeight;
    }
}

long long Stride(int bitCount, long long width) {
    return ((bitCount * width + 31) >> 3) & ~3LL;
}

} // namespace

unsigned short DIBNumColors(char* header) {
    // Any header of 40 bytes or more begins with the info header's fields.
    if (HeaderSize(header) >= InfoHeaderSize) {
        BITMAPINFOHEADER bi;
        std::memcpy(&bi, header, sizeof bi);
        if (bi.biClrUsed != 0) return (unsigned short)std::min<DWORD>(bi.biClrUsed, 0xFFFF);
        return (unsigned short)MaxColors(bi.biBitCount);
    }
    BITMAPCOREHEADER core;
    std::memcpy(&core, header, sizeof core);
    return (unsigned short)MaxColors(core.bcBitCount);
}

unsigned short PaletteSize(char* header) {
    unsigned entry = HeaderSize(header) >= InfoHeaderSize ? sizeof(RGBQUAD) : sizeof(RGBTRIPLE);
    return (unsigned short)std::min<unsigned>(DIBNumColors(header) * entry, 0xFFFF);
}

DIB::~DIB() {
    Destroy();
}

void DIB::Lock() {
    if (lockCount++ == 0 && hDIB) info = static_cast<BITMAPINFO*>(GlobalLock(hDIB));
}

void DIB::UnLock() {
    if (lockCount <= 0) return;
    if (--lockCount == 0) {
        if (hDIB && info) GlobalUnlock(hDIB);
        info = nullptr;
    }
}

void DIB::SetData(void* handle) {
    Destroy();
    hDIB = handle;
}

void DIB::Empty() {
    // The block stays the caller's; a lock taken here is given back first.
    if (hDIB && lockCount > 0 && info) GlobalUnlock(hDIB);
    hDIB = nullptr;
    info = nullptr;
    lockCount = 0;
}

void DIB::Destroy() {
    if (hDIB) {
        if (lockCount != 0 && info) GlobalUnlock(hDIB);
        GlobalFree(hDIB);
    }
    hDIB = nullptr;
    info = nullptr;
    lockCount = 0;
}

// The header (read as a core header below 40 bytes) lies inside the block.
static bool HeaderInside(const BITMAPINFO* info, HDIB handle) {
    if (!info) return false;
    SIZE_T size = GlobalSize(handle);
    if (size < sizeof(DWORD)) return false;
    return size >= (HeaderSize(info) >= InfoHeaderSize ? InfoHeaderSize : CoreHeaderSize);
}

RGBQUAD* DIB::ColorTab() const {
    if (!HeaderInside(info, hDIB)) return nullptr;
    return reinterpret_cast<RGBQUAD*>(reinterpret_cast<char*>(info) + HeaderSize(info));
}

int DIB::BitsPerPixel() const {
    if (!HeaderInside(info, hDIB)) return 0;
    int bits;
    long long w, h;
    ReadHeader(info, bits, w, h);
    return bits;
}

int DIB::Width() const {
    if (!HeaderInside(info, hDIB)) return 0;
    int bits;
    long long w, h;
    ReadHeader(info, bits, w, h);
    return int(w);
}

int DIB::Height() const {
    if (!HeaderInside(info, hDIB)) return 0;
    int bits;
    long long w, h;
    ReadHeader(info, bits, w, h);
    return int(h);
}

void* DIB::GetBits() const {
    if (!HeaderInside(info, hDIB)) return nullptr;
    char* header = reinterpret_cast<char*>(info);
    return header + HeaderSize(info) + PaletteSize(header);
}

unsigned long DIB::GetSize() const {
    return hDIB ? (unsigned long)GlobalSize(hDIB) : 0;
}

int DIB::StorageWidth() const {
    if (!HeaderInside(info, hDIB)) return 0;
    int bits;
    long long w, h;
    ReadHeader(info, bits, w, h);
    long long stride = Stride(bits, w);
    return (stride < 0 || stride > 0x7FFFFFFF) ? 0 : int(stride);
}

int DIB::NumColorEntries() const {
    if (!HeaderInside(info, hDIB)) return 0;
    int bits;
    long long w, h;
    ReadHeader(info, bits, w, h);
    int maximum = MaxColors(bits);
    if (HeaderSize(info) >= InfoHeaderSize) {
        DWORD used = info->bmiHeader.biClrUsed;
        if (used != 0) {
            if (maximum != 0 && used > DWORD(maximum)) return maximum;
            return int(std::min<DWORD>(used, 0xFFFF));
        }
    }
    return maximum;
}

int DIB::IsTraceable() const {
    if (!HeaderInside(info, hDIB)) return 0;
    unsigned long long size = GlobalSize(hDIB);
    if (size < sizeof(DWORD)) return 0;
    DWORD headerSize = HeaderSize(info);
    if (headerSize != CoreHeaderSize && headerSize < InfoHeaderSize) return 0;
    if (headerSize > size) return 0;
    int bits;
    long long w, h;
    ReadHeader(info, bits, w, h);
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return 0;
    if (w <= 0 || h <= 0 || w > MaxSide || h > MaxSide) return 0;
    if (headerSize >= InfoHeaderSize && info->bmiHeader.biCompression != BI_RGB) return 0;
    // The table size GetBits skips must be the true one: no count past what it can hold.
    unsigned long long colors = DIBNumColors(reinterpret_cast<char*>(info));
    unsigned long long table = colors * (headerSize >= InfoHeaderSize ? 4 : 3);
    if (headerSize >= InfoHeaderSize && info->bmiHeader.biClrUsed > 0xFFFF / 4) return 0;
    unsigned long long end =
        headerSize + table + (unsigned long long)Stride(bits, w) * (unsigned long long)h;
    return end <= size ? 1 : 0;
}

long long DIB::PixelOffset(int x, int y) const {
    if (!HeaderInside(info, hDIB) || x < 0 || y < 0) return -1;
    int bits;
    long long w, h;
    ReadHeader(info, bits, w, h);
    if (x >= w || y >= h) return -1;
    long long column;
    int bytes = 1;
    switch (bits) {
    case 1: column = x / 8; break;
    case 4: column = x / 2; break;
    case 8: column = x; break;
    case 16: column = 2LL * x; bytes = 2; break;
    case 24: column = 3LL * x; bytes = 3; break;
    default: return -1;
    }
    char* header = reinterpret_cast<char*>(info);
    long long bitsStart = HeaderSize(info) + PaletteSize(header);
    long long offset = (long long)y * Stride(bits, w) + column;
    if ((unsigned long long)(bitsStart + offset + bytes) > GlobalSize(hDIB)) return -1;
    return offset;
}

void* DIB::GetPixelAddress(int x, int y) const {
    long long offset = PixelOffset(x, y);
    if (offset < 0) return nullptr;
    return static_cast<char*>(GetBits()) + offset;
}

long DIB::GetPixel(int x, int y) const {
    auto* p = static_cast<const BYTE*>(GetPixelAddress(x, y));
    if (!p) return 0;
    switch (BitsPerPixel()) {
    case 1: return (*p & (128 >> (x & 7))) ? 1 : 0;
    case 4: return (x & 1) ? (*p & 0x0F) : (*p >> 4);
    case 8: return *p;
    case 24: return (long(p[2]) << 16) + (long(p[1]) << 8) + p[0];
    default: return 0;
    }
}

void DIB::SetPixel(int x, int y, long value) {
    auto* p = static_cast<BYTE*>(GetPixelAddress(x, y));
    if (!p) return;
    switch (BitsPerPixel()) {
    case 1:
        *p = BYTE(*p & ~(128 >> (x & 7)));
        if (value) *p = BYTE(*p | (128 >> (x & 7)));
        break;
    case 4:
        if (x & 1)
            *p = BYTE((*p & 0xF0) | (value & 0x0F));
        else
            *p = BYTE((*p & 0x0F) | ((value & 0x0F) << 4));
        break;
    case 8: *p = BYTE(value); break;
    case 24:
        p[0] = BYTE(value);
        p[1] = BYTE(value >> 8);
        p[2] = BYTE(value >> 16);
        break;
    default: break;
    }
}

int DIB::CreatePalette(CPalette& palette) {
    Lock();
    int result = 0;
    int n = NumColorEntries();
    const BYTE* table = reinterpret_cast<const BYTE*>(ColorTab());
    bool core = info && HeaderSize(info) < InfoHeaderSize;
    std::size_t entry = core ? sizeof(RGBTRIPLE) : sizeof(RGBQUAD);
    bool inside = table && (unsigned long long)(HeaderSize(info) + n * entry) <= GetSize();
    if (n > 0 && inside) {
        auto* logical = static_cast<LOGPALETTE*>(
            std::malloc(sizeof(LOGPALETTE) + std::size_t(n) * sizeof(PALETTEENTRY)));
        if (logical) {
            logical->palVersion = 0x300;
            logical->palNumEntries = WORD(n);
            for (int i = 0; i < n; ++i) {
                const BYTE* e = table + i * entry; // blue, green, red
                logical->palPalEntry[i] = PALETTEENTRY{e[2], e[1], e[0], 0};
            }
            palette.DeleteObject();
            result = palette.CreatePalette(logical);
            std::free(logical);
        }
    }
    UnLock();
    return result;
}

void DIB::Paint(CDC* dc, int xs, int ys, int ws, int hs, int xd, int yd, int wd, int hd) {
    if (!hDIB || !dc) return;
    // Locked for the call (the count makes this harmless when the caller holds a lock); the
    // drawing layer reads the rows the header promises, so the block must hold them.
    Lock();
    if (IsTraceable()) {
        HDC hdc = dc->GetSafeHdc();
        ::SetStretchBltMode(hdc, COLORONCOLOR);
        if (ws == wd && hs == hd)
            ::SetDIBitsToDevice(hdc, xd, yd, DWORD(wd), DWORD(hd), xs, Height() - ys - hs, 0,
                                UINT(hs), GetBits(), BmpInfo(), DIB_RGB_COLORS);
        else
            ::StretchDIBits(hdc, xd, yd, wd, hd, xs, ys, ws, hs, GetBits(), BmpInfo(),
                            DIB_RGB_COLORS, SRCCOPY);
    }
    UnLock();
}
