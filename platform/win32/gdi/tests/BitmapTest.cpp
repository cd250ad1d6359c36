// DIB sections of every depth and row order, GetDIBits and bad bitmap input.

#include "GdiFixture.h"

namespace {

struct DepthCase {
    int bpp;
    bool topDown;
};

TEST(DibSection, PixelLandsWhereTheFormatSays) {
    const DepthCase cases[] = {{1, true},  {1, false}, {4, true},  {4, false}, {8, true},
                               {8, false}, {24, true}, {24, false}, {32, true}, {32, false}};
    for (const DepthCase& k : cases) {
        std::vector<RGBQUAD> colors;
        if (k.bpp <= 8)
            for (int i = 0; i < (1 << k.bpp); ++i)
                colors.push_back(RGBQUAD{BYTE(i == 1 ? 255 : 0), 0, 0, 0}); // index 1 is blue
        DibCanvas c(10, 3, k.bpp, k.topDown, colors);
        ASSERT_NE(c.bitmap, nullptr) << k.bpp;
        c.Clear(RGB(0, 0, 0));
        // Pixel (9, 0): the top row, last column.
        SetPixel(c.dc, 9, 0, RGB(0, 0, 255));
        int stride = ((10 * k.bpp + 31) / 32) * 4;
        const BYTE* row = static_cast<const BYTE*>(c.bits) + (k.topDown ? 0 : 2 * stride);
        switch (k.bpp) {
        case 1: EXPECT_EQ(row[1], 0x40) << "1 bit"; break;
        case 4: EXPECT_EQ(row[4], 0x01) << "4 bits"; break;
        case 8: EXPECT_EQ(row[9], 1) << "8 bits"; break;
        case 24: EXPECT_EQ(row[27], 255) << "24 bits"; break;
        case 32: EXPECT_EQ(row[36], 255) << "32 bits"; break;
        }
        EXPECT_EQ(GetPixel(c.dc, 9, 0), RGB(0, 0, 255)) << k.bpp << (k.topDown ? " top-down" : " bottom-up");
        DIBSECTION ds{};
        ASSERT_EQ(GetObjectA(c.bitmap, sizeof ds, &ds), int(sizeof ds));
        EXPECT_EQ(ds.dsBm.bmBits, c.bits);
        EXPECT_EQ(ds.dsBm.bmWidthBytes, stride);
        EXPECT_EQ(ds.dsBmih.biHeight, k.topDown ? -3 : 3);
    }
}

TEST(DibSection, GetDIBitsConvertsToTheRequestedFormat) {
    std::vector<RGBQUAD> colors{{0, 0, 0, 0}, {0, 0, 255, 0}};
    DibCanvas c(3, 2, 8, true, colors);
    SetPixel(c.dc, 2, 1, RGB(255, 0, 0)); // bottom right, index 1
    DibInfo req = dibInfo(3, 2, 24);      // bottom-up request
    BYTE out[2][12];
    std::memset(out, 0xEE, sizeof out);
    EXPECT_EQ(GetDIBits(c.dc, c.bitmap, 0, 2, out, reinterpret_cast<BITMAPINFO*>(&req), DIB_RGB_COLORS), 2);
    // Scan 0 is the bottom row: its third pixel is red (B, G, R = 0, 0, 255).
    EXPECT_EQ(out[0][6], 0);
    EXPECT_EQ(out[0][8], 255);
    EXPECT_EQ(out[1][8], 0);
    // A null buffer with bit count 0 describes the bitmap.
    DibInfo ask{};
    ask.header.biSize = sizeof(BITMAPINFOHEADER);
    EXPECT_EQ(GetDIBits(c.dc, c.bitmap, 0, 0, nullptr, reinterpret_cast<BITMAPINFO*>(&ask), DIB_RGB_COLORS), 1);
    EXPECT_EQ(ask.header.biBitCount, 8);
    EXPECT_EQ(ask.header.biWidth, 3);
    EXPECT_EQ(ask.header.biSizeImage, 8u);
}

TEST(DibSection, BadHeadersFailBeforeAllocating) {
    HDC dc = CreateCompatibleDC(nullptr);
    struct Bad {
        int w, h, bpp;
        DWORD compression;
    };
    const Bad bad[] = {{0, 10, 24, BI_RGB},         {-5, 10, 24, BI_RGB},  {10, 0, 24, BI_RGB},
                       {10, 10, 7, BI_RGB},         {10, 10, 8, BI_RLE8},  {1 << 30, 1 << 30, 32, BI_RGB},
                       {10, INT32_MIN, 24, BI_RGB}, {0x7FFFFFFF, 2, 32, BI_RGB}};
    for (const Bad& b : bad) {
        DibInfo info = dibInfo(b.w, b.h, b.bpp);
        info.header.biCompression = b.compression;
        void* bits = reinterpret_cast<void*>(1);
        SetLastError(0);
        EXPECT_EQ(CreateDIBSection(dc, info.info(), DIB_RGB_COLORS, &bits, nullptr, 0), nullptr)
            << b.w << 'x' << b.h << '@' << b.bpp;
        EXPECT_EQ(bits, nullptr);
        EXPECT_NE(GetLastError(), 0u);
    }
    DibInfo colors = dibInfo(4, 4, 4);
    colors.header.biClrUsed = 17;
    EXPECT_EQ(CreateDIBSection(dc, colors.info(), DIB_RGB_COLORS, nullptr, nullptr, 0), nullptr);
    EXPECT_EQ(CreateBitmap(-1, 4, 1, 1, nullptr), nullptr);
    EXPECT_EQ(CreateCompatibleBitmap(dc, 5, -1), nullptr);
    DeleteDC(dc);
}

TEST(Bitmaps, MemoryContextsAndSelection) {
    HDC a = CreateCompatibleDC(nullptr), b = CreateCompatibleDC(nullptr);
    BITMAP bm{};
    HGDIOBJ first = GetCurrentObject(a, OBJ_BITMAP);
    ASSERT_EQ(GetObjectA(first, sizeof bm, &bm), int(sizeof bm));
    EXPECT_EQ(bm.bmWidth, 1);
    EXPECT_EQ(bm.bmBitsPixel, 1);
    HDC screen = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    HBITMAP colour = CreateCompatibleBitmap(screen, 4, 4);
    DeleteDC(screen);
    ASSERT_EQ(GetObjectA(colour, sizeof bm, &bm), int(sizeof bm));
    EXPECT_EQ(bm.bmBitsPixel, 32);
    ASSERT_NE(SelectObject(a, colour), nullptr);
    // One bitmap, one context; a selected bitmap cannot be deleted.
    EXPECT_EQ(SelectObject(b, colour), nullptr);
    EXPECT_FALSE(DeleteObject(colour));
    SelectObject(a, first);
    EXPECT_TRUE(DeleteObject(colour));
    // Stale handles fail with ERROR_INVALID_HANDLE.
    SetLastError(0);
    EXPECT_EQ(SelectObject(a, colour), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    DeleteDC(a);
    DeleteDC(b);
    EXPECT_EQ(SaveDC(a), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST(Bitmaps, ScreenDepthHook) {
    HDC screen = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    EXPECT_EQ(GetDeviceCaps(screen, BITSPIXEL), 24);
    EXPECT_EQ(GetDeviceCaps(screen, RASTERCAPS) & RC_PALETTE, 0);
    DeleteDC(screen);
    SdGdiSetScreenDepth(8);
    screen = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    EXPECT_EQ(GetDeviceCaps(screen, BITSPIXEL), 8);
    EXPECT_EQ(GetDeviceCaps(screen, SIZEPALETTE), 256);
    EXPECT_NE(GetDeviceCaps(screen, RASTERCAPS) & RC_PALETTE, 0);
    HBITMAP bm = CreateCompatibleBitmap(screen, 2, 2);
    BITMAP info{};
    GetObjectA(bm, sizeof info, &info);
    EXPECT_EQ(info.bmBitsPixel, 8);
    DeleteObject(bm);
    DeleteDC(screen);
    SdGdiResetTesting();
}

} // namespace
