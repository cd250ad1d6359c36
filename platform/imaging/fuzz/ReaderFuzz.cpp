// libFuzzer target: any bytes are described and loaded by content or refused with a code;
// a loaded picture saves as PNG and loads back the same.
//   bin/imaging_reader_fuzz CORPUS -max_total_time=600

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include <imaging/KovaFile.h>
#include <imaging/KovaKern.h>

namespace {

// The colour of pixel (x, y) of a packed bitmap as 0xRRGGBB.
std::uint32_t ColourAt(const BYTE* p, int x, int y) {
    const int w = int(p[4] | p[5] << 8 | p[6] << 16 | p[7] << 24), bits = p[14];
    const int entries = bits <= 8 ? 1 << bits : 0;
    const int stride = (w * bits + 31) / 32 * 4;
    const BYTE* row = p + 40 + entries * 4 + SIZE_T(stride) * SIZE_T(y);
    const BYTE* c;
    if (bits == 24) {
        c = row + 3 * x;
    } else {
        const int i = bits == 8   ? row[x]
                      : bits == 4 ? (row[x / 2] >> (x % 2 ? 0 : 4)) & 15
                                  : (row[x / 8] >> (7 - x % 8)) & 1;
        c = p + 40 + 4 * i;
    }
    return std::uint32_t(c[2]) << 16 | std::uint32_t(c[1]) << 8 | c[0];
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    if (size == 0) return 0;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    std::memcpy(GlobalLock(block), data, size);
    GlobalUnlock(block);
    KOVAFILEINFO info;
    KovaInitFileInfo(&info);
    KovaMemoryInfo(block, &info, DWORD(size));
    KOVABITMAP bitmap;
    KovaInitBitmap(&bitmap, 1, 1, 1);
    if (KovaLoadMemory(block, &bitmap, 0, 1, 0, nullptr, nullptr, DWORD(size)) == IMG_SUCCESS) {
        HGLOBAL png = nullptr;
        DWORD pngSize = 0;
        if (KovaSaveMemory(&png, &bitmap, IMG_PNG, 0, 2, &pngSize) != IMG_SUCCESS) std::abort();
        KOVABITMAP back;
        KovaInitBitmap(&back, 1, 1, 1);
        if (KovaLoadMemory(png, &back, 0, 1, 0, nullptr, nullptr, pngSize) != IMG_SUCCESS)
            std::abort();
        // The same colours in every pixel (a table may be ordered or merged otherwise).
        const BYTE* a = static_cast<const BYTE*>(GlobalLock(bitmap.dib));
        const BYTE* b = static_cast<const BYTE*>(GlobalLock(back.dib));
        if (bitmap.width != back.width || bitmap.height != back.height) std::abort();
        for (int y = 0; y < bitmap.height; ++y)
            for (int x = 0; x < bitmap.width; ++x)
                if (ColourAt(a, x, y) != ColourAt(b, x, y)) std::abort();
        GlobalUnlock(bitmap.dib);
        GlobalUnlock(back.dib);
        KovaFreeBitmap(&back);
        GlobalFree(png);
    }
    KovaFreeBitmap(&bitmap);
    GlobalFree(block);
    return 0;
}
