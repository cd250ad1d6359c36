// Bitmaps from resource modules: the resource holds a packed DIB (what a resource compiler
// stores) or a whole BMP file; both are checked against the resource's size before use.

#include <cstring>
#include <vector>

#include "win32/kernel.h"
#include "win32/resource.h"
#include "win32/user.h"
#include "win32/wingdi.h"

namespace {

std::uint32_t readU32(const BYTE* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

// A bitmap resource checked and unpacked: the header, a full colour table and the pixel rows.
struct ResourceDib {
    BITMAPINFOHEADER header;
    std::vector<BYTE> info; // header and colour table, as the drawing layer reads them
    std::vector<BYTE> bits;
};

bool ReadResourceDib(HINSTANCE instance, LPCSTR name, ResourceDib& out) {
    if (!instance) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return false;
    }
    HRSRC found = FindResourceA(instance, name, RT_BITMAP);
    if (!found) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return false;
    }
    const auto* data = static_cast<const BYTE*>(LockResource(LoadResource(instance, found)));
    std::size_t size = SizeofResource(instance, found);
    if (!data) return false;
    std::size_t bitsOffset = 0; // from the information header; 0: right after the colours
    if (size >= 14 && data[0] == 'B' && data[1] == 'M') {
        const std::uint32_t offset = readU32(data + 10);
        data += 14;
        size -= 14;
        if (offset >= 14) bitsOffset = offset - 14;
    }
    if (size < sizeof(BITMAPINFOHEADER)) return false;
    BITMAPINFOHEADER header;
    std::memcpy(&header, data, sizeof header);
    const int bpp = header.biBitCount;
    if (header.biSize < sizeof(BITMAPINFOHEADER) || header.biSize > size || header.biWidth <= 0 ||
        header.biHeight == 0 || header.biHeight == LONG(0x80000000) || header.biPlanes != 1 ||
        header.biCompression != BI_RGB ||
        (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32) || header.biWidth > 32767 ||
        header.biHeight > 32767 || header.biHeight < -32767)
        return false;
    const std::size_t maxColors = bpp <= 8 ? std::size_t(1) << bpp : 0;
    const std::size_t colors = header.biClrUsed ? header.biClrUsed : maxColors;
    if (bpp <= 8 && colors > maxColors) return false;
    const std::size_t tableEnd = header.biSize + colors * sizeof(RGBQUAD);
    if (tableEnd > size) return false;
    const std::size_t rows = std::size_t(header.biHeight < 0 ? -header.biHeight : header.biHeight);
    const std::size_t stride = ((std::size_t(header.biWidth) * std::size_t(bpp) + 31) / 32) * 4;
    const std::size_t start = bitsOffset ? bitsOffset : tableEnd;
    if (start < tableEnd || start > size || (size - start) / stride < rows) return false;
    out.info.assign(
        sizeof(BITMAPINFOHEADER) + std::max<std::size_t>(maxColors, 1) * sizeof(RGBQUAD), 0);
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biClrUsed = DWORD(colors);
    std::memcpy(out.info.data(), &header, sizeof header);
    std::memcpy(out.info.data() + sizeof header, data + (tableEnd - colors * sizeof(RGBQUAD)),
                colors * sizeof(RGBQUAD));
    out.header = header;
    out.bits.assign(data + start, data + start + stride * rows);
    return true;
}

HBITMAP MakeBitmap(ResourceDib& dib) {
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap =
        CreateDIBitmap(screen, &dib.header, CBM_INIT, dib.bits.data(),
                       reinterpret_cast<const BITMAPINFO*>(dib.info.data()), DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

// The map's colour for c, or c itself.
COLORREF Mapped(COLORREF c, const COLORMAP* map, int count) {
    for (int i = 0; i < count; ++i)
        if (map[i].from == c) return map[i].to;
    return c;
}

} // namespace

HBITMAP LoadBitmapA(HINSTANCE instance, LPCSTR name) {
    ResourceDib dib;
    if (!ReadResourceDib(instance, name, dib)) return nullptr;
    return MakeBitmap(dib);
}

HBITMAP CreateMappedBitmap(HINSTANCE instance, std::intptr_t id, UINT, const COLORMAP* map,
                           int count) {
    ResourceDib dib;
    if (!ReadResourceDib(instance, MAKEINTRESOURCEA(WORD(id)), dib)) return nullptr;
    // Without a map, the classic greys follow the system's button colours.
    const COLORMAP standard[4] = {{RGB(0, 0, 0), GetSysColor(COLOR_BTNTEXT)},
                                  {RGB(128, 128, 128), GetSysColor(COLOR_BTNSHADOW)},
                                  {RGB(192, 192, 192), GetSysColor(COLOR_BTNFACE)},
                                  {RGB(255, 255, 255), GetSysColor(COLOR_BTNHIGHLIGHT)}};
    if (map == nullptr || count <= 0) {
        map = standard;
        count = 4;
    }
    auto remap = [&](BYTE* bgr) {
        const COLORREF c = Mapped(RGB(bgr[2], bgr[1], bgr[0]), map, count);
        bgr[0] = GetBValue(c);
        bgr[1] = GetGValue(c);
        bgr[2] = GetRValue(c);
    };
    const int bpp = dib.header.biBitCount;
    if (bpp <= 8) {
        auto* table = reinterpret_cast<RGBQUAD*>(dib.info.data() + sizeof(BITMAPINFOHEADER));
        for (DWORD i = 0; i < dib.header.biClrUsed; ++i)
            remap(reinterpret_cast<BYTE*>(&table[i]));
    } else {
        const std::size_t rows =
            std::size_t(dib.header.biHeight < 0 ? -dib.header.biHeight : dib.header.biHeight);
        const std::size_t stride =
            ((std::size_t(dib.header.biWidth) * std::size_t(bpp) + 31) / 32) * 4;
        const std::size_t step = std::size_t(bpp / 8);
        for (std::size_t y = 0; y < rows; ++y)
            for (std::size_t x = 0; x < std::size_t(dib.header.biWidth); ++x)
                remap(dib.bits.data() + y * stride + x * step);
    }
    return MakeBitmap(dib);
}
