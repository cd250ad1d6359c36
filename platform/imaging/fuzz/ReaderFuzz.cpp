// libFuzzer target: any bytes are described and loaded by content or refused with a code;
// a loaded picture saves as PNG and loads back the same.
//   bin/imaging_reader_fuzz CORPUS -max_total_time=600

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include <imaging/KovaFile.h>
#include <imaging/KovaKern.h>

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
        const SIZE_T n = GlobalSize(bitmap.dib);
        if (GlobalSize(back.dib) < n) std::abort();
        // Header fields past the size may differ (resolution rounding); the pixels may not.
        const BYTE* a = static_cast<const BYTE*>(GlobalLock(bitmap.dib));
        const BYTE* b = static_cast<const BYTE*>(GlobalLock(back.dib));
        if (std::memcmp(a + 40, b + 40, n - 40) != 0) std::abort();
        GlobalUnlock(bitmap.dib);
        GlobalUnlock(back.dib);
        KovaFreeBitmap(&back);
        GlobalFree(png);
    }
    KovaFreeBitmap(&bitmap);
    GlobalFree(block);
    return 0;
}
