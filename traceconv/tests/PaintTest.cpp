// Painting a traced bitmap and its logical palette, through the drawing layer.

#include <gtest/gtest.h>

#include <mfc/CDC.h>
#include <mfc/CGdiObject.h>
#include <testing/DibCanvas.h>
#include <traceconv/DIB.h>
#include <win32/GdiTesting.h>
#include <win32/wingdi.h>

#include "TraceTestUtil.h"

namespace {

// A 4 x 3 picture, one colour per pixel: index 4y + x on screen, stored bottom-up.
const std::vector<COLORREF> Palette = [] {
    std::vector<COLORREF> p;
    for (int i = 0; i < 12; ++i) p.push_back(RGB(BYTE(20 * i), BYTE(255 - 20 * i), BYTE(7 * i)));
    return p;
}();

HDIB Picture() {
    Pixels storage(4, 3);
    for (int line = 0; line < 3; ++line)
        for (int x = 0; x < 4; ++x) storage.at(x, line) = std::uint8_t(4 * (2 - line) + x);
    return MakeIndexedDib(8, storage, Palette);
}

// A 24-bit memory context filled with white.
struct Canvas : DibCanvas {
    Canvas(int w, int h) : DibCanvas(w, h) { Clear(); }
    COLORREF At(int x, int y) const { return Read().at(x, y); }
};

TEST(PaintTest, SameSizeCopiesTheSourceRectangleCountedFromThePictureTop) {
    DIB dib;
    dib.SetData(Picture());
    Canvas canvas(6, 5);
    // The 2 x 2 block at columns 1-2, picture rows 1-2, to (3, 2).
    dib.Paint(&canvas.dc, 1, 1, 2, 2, 3, 2, 2, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x)
            EXPECT_EQ(canvas.At(3 + x, 2 + y), Palette[4 * (1 + y) + 1 + x]) << x << "," << y;
    EXPECT_EQ(canvas.At(2, 2), RGB(255, 255, 255));
    EXPECT_EQ(canvas.At(5, 4), RGB(255, 255, 255));
    EXPECT_EQ(GetStretchBltMode(canvas.dc.m_hDC), COLORONCOLOR);
    EXPECT_EQ(GlobalFlags(dib.GetData()) & GMEM_LOCKCOUNT, 0u);
}

TEST(PaintTest, OtherSizesStretchTheWholePicture) {
    DIB dib;
    dib.SetData(Picture());
    Canvas canvas(8, 6);
    dib.Paint(&canvas.dc, 0, 0, 4, 3, 0, 0, 8, 6);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) {
            COLORREF expected = Palette[4 * y + x];
            EXPECT_EQ(canvas.At(2 * x, 2 * y), expected);
            EXPECT_EQ(canvas.At(2 * x + 1, 2 * y + 1), expected);
        }
}

TEST(PaintTest, NothingIsPaintedWithoutAHandleOrFromAShortBlock) {
    Canvas canvas(4, 3);
    DIB empty;
    empty.Paint(&canvas.dc, 0, 0, 4, 3, 0, 0, 4, 3);
    HDIB h = Picture();
    h = GlobalReAlloc(h, 40 + 12 * 4 + 4, GMEM_MOVEABLE); // one row of three
    DIB shortBlock;
    shortBlock.SetData(h);
    shortBlock.Paint(&canvas.dc, 0, 0, 4, 3, 0, 0, 4, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(canvas.At(x, y), RGB(255, 255, 255));
}

TEST(PaintTest, CreatePaletteReplacesThePaletteWithTheTableColours) {
    DIB dib;
    dib.SetData(Picture());
    CPalette palette;
    ASSERT_TRUE(palette.CreatePalette([] {
        static LOGPALETTE one{0x300, 1, {{1, 2, 3, 0}}};
        return &one;
    }()));
    ASSERT_NE(dib.CreatePalette(palette), 0);
    PALETTEENTRY entries[16];
    ASSERT_EQ(GetPaletteEntries(palette, 0, 16, entries), 12u);
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(RGB(entries[i].peRed, entries[i].peGreen, entries[i].peBlue), Palette[i]);
        EXPECT_EQ(entries[i].peFlags, 0);
    }
    EXPECT_EQ(GlobalFlags(dib.GetData()) & GMEM_LOCKCOUNT, 0u);

    // No colours (24 bits), or no palette to be had: 0, and the lock is given back.
    DIB deep;
    Pixels one(1, 1);
    HDIB h = MakeIndexedDib(8, one, {});
    auto* header = static_cast<BITMAPINFOHEADER*>(GlobalLock(h));
    header->biBitCount = 24;
    header->biClrUsed = 0;
    GlobalUnlock(h);
    deep.SetData(h);
    EXPECT_EQ(deep.CreatePalette(palette), 0);
    EXPECT_EQ(GlobalFlags(h) & GMEM_LOCKCOUNT, 0u);
    SdGdiFailPalettes(true);
    EXPECT_EQ(dib.CreatePalette(palette), 0);
    SdGdiFailPalettes(false);
    EXPECT_EQ(GlobalFlags(dib.GetData()) & GMEM_LOCKCOUNT, 0u);
}

} // namespace
