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

} // namespace

HBITMAP LoadBitmapA(HINSTANCE instance, LPCSTR name) {
    if (!instance) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    HRSRC found = FindResourceA(instance, name, RT_BITMAP);
    if (!found) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    const auto* data = static_cast<const BYTE*>(LockResource(LoadResource(instance, found)));
    std::size_t size = SizeofResource(instance, found);
    if (!data) return nullptr;
    std::size_t bitsOffset = 0; // from the information header; 0: right after the colours
    if (size >= 14 && data[0] == 'B' && data[1] == 'M') {
        const std::uint32_t offset = readU32(data + 10);
        data += 14;
        size -= 14;
        if (offset >= 14) bitsOffset = offset - 14;
    }
    if (size < sizeof(BITMAPINFOHEADER)) return nullptr;
    BITMAPINFOHEADER header;
    std::memcpy(&header, data, sizeof header);
    const int bpp = header.biBitCount;
    if (header.biSize < sizeof(BITMAPINFOHEADER) || header.biSize > size || header.biWidth <= 0 ||
        header.biHeight == 0 || header.biHeight == LONG(0x80000000) || header.biPlanes != 1 ||
        header.biCompression != BI_RGB || (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32) ||
        header.biWidth > 32767 || header.biHeight > 32767 || header.biHeight < -32767)
        return nullptr;
    const std::size_t maxColors = bpp <= 8 ? std::size_t(1) << bpp : 0;
    const std::size_t colors = header.biClrUsed ? header.biClrUsed : maxColors;
    if (bpp <= 8 && colors > maxColors) return nullptr;
    const std::size_t tableEnd = header.biSize + colors * sizeof(RGBQUAD);
    if (tableEnd > size) return nullptr;
    const std::size_t rows = std::size_t(header.biHeight < 0 ? -header.biHeight : header.biHeight);
    const std::size_t stride = ((std::size_t(header.biWidth) * std::size_t(bpp) + 31) / 32) * 4;
    const std::size_t start = bitsOffset ? bitsOffset : tableEnd;
    if (start < tableEnd || start > size || (size - start) / stride < rows) return nullptr;
    // The information block with a full colour table, as the drawing layer reads it.
    std::vector<BYTE> info(sizeof(BITMAPINFOHEADER) + std::max<std::size_t>(maxColors, 1) * sizeof(RGBQUAD), 0);
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biClrUsed = DWORD(colors);
    std::memcpy(info.data(), &header, sizeof header);
    std::memcpy(info.data() + sizeof header, data + (tableEnd - colors * sizeof(RGBQUAD)), colors * sizeof(RGBQUAD));
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateDIBitmap(screen, &header, CBM_INIT, data + start,
                                    reinterpret_cast<const BITMAPINFO*>(info.data()), DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return bitmap;
}
