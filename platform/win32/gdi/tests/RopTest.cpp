// Raster operations: the sixteen binary codes, ternary codes through the block transfers,
// monochrome-colour conversion and bottom-up rows.

#include "GdiFixture.h"

namespace {

constexpr COLORREF White = RGB(255, 255, 255);
constexpr COLORREF Black = RGB(0, 0, 0);

// One pen pixel at (0, 0) drawn over the destination colour through the code.
DWORD penPixel(int rop2, COLORREF pen, COLORREF dest, int bpp, std::vector<RGBQUAD> colors = {}) {
    DibCanvas c(4, 1, bpp, true, colors);
    c.Clear(dest);
    HPEN p = CreatePen(PS_SOLID, 1, pen);
    SelectObject(c.dc, p);
    SetROP2(c.dc, rop2);
    MoveToEx(c.dc, 0, 0, nullptr);
    LineTo(c.dc, 1, 0);
    DWORD raw = c.Read().rawAt(0, 0);
    SelectObject(c.dc, GetStockObject(BLACK_PEN));
    DeleteObject(p);
    return raw;
}

TEST(Rop2, SixteenCodesOnColour) {
    // Pen 0xF0CCAA, destination 0xAA0F33 (raw 0x00RRGGBB), worked out bit by bit.
    const DWORD expected[17] = {0,        0x000000, 0x053044, 0x0A0311, 0x0F3355, 0x50C088,
                                0x55F0CC, 0x5AC399, 0x5FF3DD, 0xA00C22, 0xA53C66, 0xAA0F33,
                                0xAF3F77, 0xF0CCAA, 0xF5FCEE, 0xFACFBB, 0xFFFFFF};
    for (int rop = R2_BLACK; rop <= R2_WHITE; ++rop)
        EXPECT_EQ(penPixel(rop, RGB(0xF0, 0xCC, 0xAA), RGB(0xAA, 0x0F, 0x33), 24), expected[rop])
            << "ROP2 " << rop;
    EXPECT_EQ(penPixel(R2_XORPEN, RGB(0xF0, 0xCC, 0xAA), RGB(0xAA, 0x0F, 0x33), 32), 0x5AC399u);
}

TEST(Rop2, PaletteSurfacesOperateOnTheIndex) {
    std::vector<RGBQUAD> greys;
    for (int i = 0; i < 256; ++i) greys.push_back(RGBQUAD{BYTE(i), BYTE(i), BYTE(i), 0});
    COLORREF pen = RGB(0xB5, 0xB5, 0xB5), dest = RGB(0x3C, 0x3C, 0x3C);
    EXPECT_EQ(penPixel(R2_XORPEN, pen, dest, 8, greys), 0xB5u ^ 0x3Cu);
    EXPECT_EQ(penPixel(R2_NOT, pen, dest, 8, greys), 0xFFu & ~0x3Cu);
    EXPECT_EQ(penPixel(R2_MERGEPEN, pen, dest, 8, greys), 0xB5u | 0x3Cu);
}

TEST(Rop2, NotXorTwiceRestoresTheSurface) {
    DibCanvas c(40, 40);
    c.Clear(RGB(10, 200, 77));
    SetPixel(c.dc, 5, 5, RGB(1, 2, 3));
    SdGdiImage before = c.Read();
    SetROP2(c.dc, R2_NOTXORPEN);
    HPEN wide = CreatePen(PS_SOLID, 3, RGB(200, 100, 50));
    for (int pass = 0; pass < 2; ++pass) {
        SelectObject(c.dc, GetStockObject(BLACK_PEN));
        POINT zig[] = {{1, 1}, {30, 5}, {5, 30}, {38, 38}, {1, 1}};
        Polyline(c.dc, zig, 5);
        SelectObject(c.dc, wide);
        Ellipse(c.dc, 3, 3, 35, 20);
    }
    EXPECT_EQ(c.Read().raw, before.raw);
    SelectObject(c.dc, GetStockObject(BLACK_PEN));
    DeleteObject(wide);
}

struct Rop3Case {
    DWORD rop;
    DWORD expected; // for P = 0xF0F0F0, S = 0xCCCCCC, D = 0xAAAAAA
};

TEST(Rop3, TruthTablesThroughBitBlt) {
    // Each byte holds the eight (P, S, D) combinations, so the result byte is the table.
    const Rop3Case cases[] = {{SRCCOPY, 0xCCCCCC},     {SRCPAINT, 0xEEEEEE},  {SRCAND, 0x888888},
                              {SRCINVERT, 0x666666},   {SRCERASE, 0x444444},  {NOTSRCCOPY, 0x333333},
                              {NOTSRCERASE, 0x111111}, {MERGECOPY, 0xC0C0C0}, {MERGEPAINT, 0xBBBBBB},
                              {PATCOPY, 0xF0F0F0},     {PATPAINT, 0xFBFBFB},  {PATINVERT, 0x5A5A5A},
                              {DSTINVERT, 0x555555},   {BLACKNESS, 0x000000}, {WHITENESS, 0xFFFFFF},
                              {0x00B8074A, 0xB8B8B8}};
    DibCanvas src(2, 2);
    src.Clear(RGB(0xCC, 0xCC, 0xCC));
    for (const Rop3Case& k : cases) {
        DibCanvas dst(2, 2);
        dst.Clear(RGB(0xAA, 0xAA, 0xAA));
        HBRUSH b = CreateSolidBrush(RGB(0xF0, 0xF0, 0xF0));
        SelectObject(dst.dc, b);
        ASSERT_TRUE(BitBlt(dst.dc, 0, 0, 2, 2, src.dc, 0, 0, k.rop));
        EXPECT_EQ(dst.Read().rawAt(1, 1), k.expected) << std::hex << k.rop;
        SelectObject(dst.dc, GetStockObject(WHITE_BRUSH));
        DeleteObject(b);
    }
    // The same tables without a source through PatBlt.
    DibCanvas dst(2, 2);
    dst.Clear(RGB(0xAA, 0xAA, 0xAA));
    HBRUSH b = CreateSolidBrush(RGB(0xF0, 0xF0, 0xF0));
    SelectObject(dst.dc, b);
    ASSERT_TRUE(PatBlt(dst.dc, 0, 0, 2, 2, PATINVERT));
    EXPECT_EQ(dst.Read().rawAt(0, 0), 0x5A5A5Au);
    EXPECT_FALSE(PatBlt(dst.dc, 0, 0, 2, 2, SRCCOPY));
    SelectObject(dst.dc, GetStockObject(WHITE_BRUSH));
    DeleteObject(b);
}

TEST(Rop3, MonochromeAndColourConvert) {
    // A monochrome bitmap: 1 bits become the background colour, 0 bits the text colour.
    const BYTE rows[2][2] = {{0x80, 0}, {0x40, 0}}; // (0,0) and (1,1) set
    HBITMAP mono = CreateBitmap(2, 2, 1, 1, rows);
    HDC monoDc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(monoDc, mono);
    DibCanvas colour(2, 2);
    SetTextColor(colour.dc, RGB(255, 0, 0));
    SetBkColor(colour.dc, RGB(0, 0, 255));
    ASSERT_TRUE(BitBlt(colour.dc, 0, 0, 2, 2, monoDc, 0, 0, SRCCOPY));
    SdGdiImage img = colour.Read();
    EXPECT_EQ(img.at(0, 0), RGB(0, 0, 255));
    EXPECT_EQ(img.at(1, 0), RGB(255, 0, 0));
    EXPECT_EQ(img.at(1, 1), RGB(0, 0, 255));
    // Back: pixels equal to the source's background colour become 1 (white).
    SetBkColor(colour.dc, RGB(0, 0, 255));
    ASSERT_TRUE(BitBlt(monoDc, 0, 0, 2, 2, colour.dc, 0, 0, NOTSRCCOPY));
    SdGdiImage back = SdGdiReadDC(monoDc);
    EXPECT_EQ(back.rawAt(0, 0), 0u);
    EXPECT_EQ(back.rawAt(1, 0), 1u);
    SelectObject(monoDc, old);
    DeleteDC(monoDc);
    DeleteObject(mono);
}

TEST(Rop3, BottomUpRowsThroughEveryTransfer) {
    // A 2×2 bottom-up DIB: the first row in memory is the bottom of the picture.
    DibInfo info = dibInfo(2, 2, 24);
    BYTE bits[2][8] = {{0, 0, 255, 0, 255, 0, 0, 0},      // bottom: red, green
                       {255, 0, 0, 255, 255, 255, 0, 0}}; // top: blue, white
    const COLORREF expected[2][2] = {{RGB(0, 0, 255), White}, {RGB(255, 0, 0), RGB(0, 255, 0)}};
    auto check = [&](const SdGdiImage& img, int scale, const char* what) {
        for (int y = 0; y < 2 * scale; ++y)
            for (int x = 0; x < 2 * scale; ++x)
                EXPECT_EQ(img.at(x, y), expected[y / scale][x / scale]) << what << ' ' << x << ',' << y;
    };
    {
        DibCanvas c(2, 2);
        EXPECT_EQ(SetDIBitsToDevice(c.dc, 0, 0, 2, 2, 0, 0, 0, 2, bits, info.info(), DIB_RGB_COLORS), 2);
        check(c.Read(), 1, "SetDIBitsToDevice");
    }
    {
        DibCanvas c(4, 4);
        SetStretchBltMode(c.dc, COLORONCOLOR);
        EXPECT_EQ(StretchDIBits(c.dc, 0, 0, 4, 4, 0, 0, 2, 2, bits, info.info(), DIB_RGB_COLORS, SRCCOPY), 2);
        check(c.Read(), 2, "StretchDIBits");
    }
    {
        DibCanvas src(2, 2, 24, false), dst(4, 4);
        std::memcpy(src.bits, bits, sizeof bits);
        ASSERT_TRUE(BitBlt(dst.dc, 0, 0, 2, 2, src.dc, 0, 0, SRCCOPY));
        check(dst.Read(), 1, "BitBlt");
        ASSERT_TRUE(StretchBlt(dst.dc, 0, 0, 4, 4, src.dc, 0, 0, 2, 2, SRCCOPY));
        check(dst.Read(), 2, "StretchBlt");
    }
    {
        // Only the upper scan line handed over (scan 1 of 2), at its own place.
        DibCanvas c(2, 2);
        c.Clear(Black);
        EXPECT_EQ(SetDIBitsToDevice(c.dc, 0, 0, 2, 2, 0, 0, 1, 1, bits[1], info.info(), DIB_RGB_COLORS), 1);
        SdGdiImage img = c.Read();
        EXPECT_EQ(img.at(0, 0), RGB(0, 0, 255));
        EXPECT_EQ(img.at(0, 1), Black);
    }
}

TEST(Rop3, StretchMirrorsWithNegativeExtents) {
    DibCanvas src(3, 1), dst(3, 1);
    SetPixel(src.dc, 0, 0, RGB(1, 1, 1));
    SetPixel(src.dc, 1, 0, RGB(2, 2, 2));
    SetPixel(src.dc, 2, 0, RGB(3, 3, 3));
    ASSERT_TRUE(StretchBlt(dst.dc, 2, 0, -3, 1, src.dc, 0, 0, 3, 1, SRCCOPY));
    SdGdiImage img = dst.Read();
    EXPECT_EQ(img.at(0, 0), RGB(3, 3, 3));
    EXPECT_EQ(img.at(2, 0), RGB(1, 1, 1));
}

} // namespace
