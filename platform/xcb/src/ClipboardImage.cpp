#include "ClipboardImage.h"

#include <cstdint>
#include <cstring>

#include "imaging/ImagingToolkit.h"
#include "imaging/KovaFile.h"
#include "imaging/KovaKern.h"
#include "win32/wingdi.h"

namespace sdxcb {

namespace {

uint32_t le32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

void putLe32(std::string& s, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        s += char((v >> (8 * i)) & 0xFF);
}

// Where a packed bitmap's rows start: after the header, the bit-field masks a 40-byte header
// is followed by, and the colour table. 0 when the header is not whole.
size_t bitsOffset(const uint8_t* p, size_t size) {
    if (size < 40) return 0;
    const uint32_t header = le32(p);
    if (header < 40 || header > 124 || header > size) return 0;
    const unsigned bits = unsigned(p[14]) | unsigned(p[15]) << 8;
    const uint32_t compression = le32(p + 16);
    uint32_t colours = le32(p + 32);
    if (bits <= 8 && (colours == 0 || colours > (1u << bits))) colours = 1u << bits;
    if (bits > 8 && colours > 256) return 0;
    size_t offset = header + size_t(colours) * 4;
    if (header == 40 && (compression == 3 || compression == 6)) // BI_BITFIELDS, BI_ALPHABITFIELDS
        offset += compression == 3 ? 12 : 16;
    return offset <= size ? offset : 0;
}

// The packed bitmap as the toolkit's own form (any header, depth, direction and bit fields
// through its intake).
HGLOBAL canonicalDib(const void* dib, size_t size) {
    const auto* p = static_cast<const uint8_t*>(dib);
    const size_t offset = bitsOffset(p, size);
    if (!offset) return nullptr;
    KOVABITMAP bitmap;
    KovaInitBitmap(&bitmap, 1, 1, 1);
    if (KovaBitmapFromBitmapInfo(&bitmap, reinterpret_cast<const BITMAPINFO*>(p), p + offset,
                                 DWORD(size - offset)) != IMG_SUCCESS)
        return nullptr;
    return KovaDibFromBitmap(&bitmap);
}

std::string bytesOf(HGLOBAL mem, size_t size) {
    std::string out(static_cast<const char*>(GlobalLock(mem)), size);
    GlobalUnlock(mem);
    return out;
}

} // namespace

std::string PngFromDib(const void* dib, size_t size) {
    HGLOBAL png = nullptr;
    DWORD pngSize = 0;
    if (ImgEncode(dib, size, IMG_FORMAT_PNG, &png, &pngSize) != 0) {
        // Depths and layouts the encoder does not take (16 and 32 bits, bit fields, top-down
        // rows, short colour tables) go through the toolkit's form first.
        HGLOBAL canonical = canonicalDib(dib, size);
        if (!canonical) return {};
        const int result =
            ImgEncode(GlobalLock(canonical), GlobalSize(canonical), IMG_FORMAT_PNG, &png, &pngSize);
        GlobalUnlock(canonical);
        GlobalFree(canonical);
        if (result != 0) return {};
    }
    std::string out = bytesOf(png, pngSize);
    GlobalFree(png);
    return out;
}

std::string BmpFromDib(const void* dib, size_t size) {
    const size_t offset = bitsOffset(static_cast<const uint8_t*>(dib), size);
    if (!offset || size > 0xFFFFFFFFu - 14) return {};
    std::string out = "BM";
    putLe32(out, uint32_t(14 + size));
    putLe32(out, 0);
    putLe32(out, uint32_t(14 + offset));
    out.append(static_cast<const char*>(dib), size);
    return out;
}

HGLOBAL DibFromPng(const std::string& png) {
    return ImgDecode(png.data(), png.size());
}

HGLOBAL DibFromBmp(const std::string& bmp) {
    if (bmp.size() < 14 + 12 || bmp[0] != 'B' || bmp[1] != 'M' || bmp.size() > 0xFFFFFFFFu)
        return nullptr;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bmp.size());
    if (!block) return nullptr;
    std::memcpy(GlobalLock(block), bmp.data(), bmp.size());
    GlobalUnlock(block);
    KOVABITMAP bitmap;
    KovaInitBitmap(&bitmap, 1, 1, 1);
    const int result = KovaLoadMemory(block, &bitmap, 0, 0, 0, nullptr, nullptr, DWORD(bmp.size()));
    GlobalFree(block);
    if (result != IMG_SUCCESS) return nullptr;
    return KovaDibFromBitmap(&bitmap);
}

} // namespace sdxcb
