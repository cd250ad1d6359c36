// Painting bitmaps on contexts, bitmap sections and bitmap contexts, the half-tone palette.

#include <cstring>

#include <mfc/CDC.h>
#include <mfc/CGdiObject.h>
#include <mfc/CPreviewDC.h>

#include "RasterTestSupport.h"
#include "rasterkit/CDIBSection.h"
#include "rasterkit/CDibDC.h"
#include "rasterkit/CWndDibDC.h"
#include "testing/PlatformTest.h"
#include "win32/GdiTesting.h"
#include "win32/KernelTesting.h"

namespace {

class PaintTest : public PlatformTest {
protected:
    void TearDown() override {
        SdGdiSetScreenDepth(24);
        SdGdiClearFailures();
        SdGdiFailPalettes(false);
        PlatformTest::TearDown();
    }
};

// Pixel (x, y) is red 10 x + 5, green 10 y + 5, blue 1: nothing the 256-colour table holds.
void Gradient(CDib& dib, int w, int h) {
    ASSERT_TRUE(dib.Create(w, h, 24));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            unsigned v = Bgr(BYTE(10 * x + 5), BYTE(10 * y + 5), 1);
            dib.SetPixel(x, y, v);
        }
}

// (x, y) of the gradient a painted pixel shows, or (-1, -1).
std::pair<int, int> Shown(DIBInterface& dib, int x, int y) {
    int rgb[3];
    dib.GetPixel(x, y, rgb);
    if (rgb[2] != 1) return {-1, -1};
    return {(rgb[0] - 5) / 10, (rgb[1] - 5) / 10};
}

// A plain memory context (not a bitmap context) over a white 24-bit section.
struct Target {
    CDIBSection section;
    CDC dc;
    explicit Target(int w, int h) {
        EXPECT_TRUE(section.Create(w, h));
        EXPECT_TRUE(section.AttachMemDC(dc, nullptr));
    }
    ~Target() { section.DetachMemDC(); }
};

} // namespace

TEST_F(PaintTest, PaintsTheSourceRectangleOneToOneAndStretched) {
    CDib pic;
    Gradient(pic, 6, 5);
    Target t(10, 10);
    pic.Paint(&t.dc, 1, 2, 3, 2, 4, 5, 3, 2, 0); // rows 2..3 of the picture, not its bottom
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            const bool in = x >= 4 && x < 7 && y >= 5 && y < 7;
            const auto expected = in ? std::pair{x - 4 + 1, y - 5 + 2} : std::pair{-1, -1};
            EXPECT_EQ(Shown(t.section, x, y), expected) << x << "," << y;
        }
    Target s(4, 4);
    RECT from{2, 1, 4, 3}, to{0, 0, 4, 4};
    pic.Paint(&s.dc, from, to, 0); // doubled
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(Shown(s.section, x, y), (std::pair{2 + x / 2, 1 + y / 2})) << x << "," << y;
}

TEST_F(PaintTest, DithersOnlyOnAnEightBitScreenAndNotIntoBitmapContexts) {
    CDib pic(4, 4, 24);
    pic.Fill(60, 0, 0, 0, 0, 0, 0); // between the cube's 44 and 86
    auto exact = [](DIBInterface& d) { return d.IsFilledWith(60, 0, 0, 4, 4, 0, 0) == 1; };
    {
        Target t(4, 4);
        pic.Paint(&t.dc, 0, 0, 4, 4, 0, 0, 4, 4, 1);
        EXPECT_TRUE(exact(t.section)) << "24-bit screen";
    }
    SdGdiSetScreenDepth(8);
    for (int dither : {1, 2}) {
        Target t(4, 4);
        pic.Paint(&t.dc, 0, 0, 4, 4, 0, 0, 4, 4, dither);
        EXPECT_FALSE(exact(t.section)) << "8-bit screen, dither " << dither;
        int rgb[3];
        t.section.GetPixel(0, 0, rgb);
        EXPECT_TRUE(rgb[0] == 44 || rgb[0] == 86) << rgb[0];
    }
    {
        Target t(4, 4);
        pic.Paint(&t.dc, 0, 0, 4, 4, 0, 0, 4, 4, 0);
        EXPECT_TRUE(exact(t.section)) << "dither 0";
    }
    {
        Target t(4, 4);
        t.dc.m_bPrinting = TRUE;
        pic.Paint(&t.dc, 0, 0, 4, 4, 0, 0, 4, 4, 1);
        EXPECT_TRUE(exact(t.section)) << "printing";
    }
    {
        CDIBSection section; // a print preview draws on the screen: it dithers
        ASSERT_TRUE(section.Create(4, 4));
        CPreviewDC preview;
        ASSERT_TRUE(section.AttachMemDC(preview, nullptr));
        preview.m_bPrinting = TRUE;
        pic.Paint(&preview, 0, 0, 4, 4, 0, 0, 4, 4, 1);
        section.DetachMemDC();
        EXPECT_FALSE(exact(section)) << "print preview";
    }
    {
        CDibDC dc(4, 4);
        ASSERT_TRUE(dc.IsValid());
        pic.Paint(&dc, 0, 0, 4, 4, 0, 0, 4, 4, 1);
        EXPECT_TRUE(exact(dc.m_DIB)) << "bitmap context";
    }
}

TEST_F(PaintTest, BitmapContextDrawsAndSavesTheSamePixels) {
    CDibDC dc(20, 10);
    ASSERT_TRUE(dc.IsValid());
    EXPECT_EQ(dc.m_DIB.GetBitsPerPixel(), 24);
    EXPECT_EQ(dc.m_DIB.IsFilledWith(255, 255, 255, 0, 0, 0, 0), 1);
    dc.FillSolidRect(2, 3, 5, 4, RGB(10, 200, 30));
    CDib copy(dc.m_DIB.ConvertToDIB());
    ASSERT_FALSE(copy.IsEmpty());
    EXPECT_EQ(copy.IsFilledWith(10, 200, 30, 5, 4, 2, 3), 1);
    EXPECT_EQ(copy.IsFilledWith(255, 255, 255, 2, 10, 0, 0), 1);
    CMemFile file;
    ASSERT_GT(copy.Save(file), 0);
    file.SeekToBegin();
    CDib loaded;
    ASSERT_EQ(loaded.Load(file), 0);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x) {
            int a[3], b[3];
            dc.m_DIB.GetPixel(x, y, a);
            loaded.GetPixel(x, y, b);
            EXPECT_TRUE(a[0] == b[0] && a[1] == b[1] && a[2] == b[2]) << x << "," << y;
        }
    EXPECT_STREQ(RUNTIME_CLASS(CDibDC)->m_lpszClassName, "CDibDC");
    EXPECT_TRUE(dc.IsKindOf(RUNTIME_CLASS(CDC)));
}

TEST_F(PaintTest, WindowBitmapContextSendsTextToItsAttributeContext) {
    CWndDibDC dc(40, 20);
    ASSERT_TRUE(dc.IsValid());
    EXPECT_TRUE(dc.IsKindOf(RUNTIME_CLASS(CDibDC)));
    // Its own section takes the text while it is the attribute context too.
    dc.SetTextColor(RGB(0, 0, 0));
    ASSERT_TRUE(dc.TextOut(1, 1, "WW", 2));
    EXPECT_EQ(dc.m_DIB.IsFilledWith(255, 255, 255, 40, 20, 0, 0), 0);
    EXPECT_TRUE(dc.PtVisible(39, 19));
    EXPECT_FALSE(dc.PtVisible(40, 5));
    // Another attribute context: the text goes there, the section stays blank.
    CDibDC other(40, 20);
    ASSERT_TRUE(other.IsValid());
    CWndDibDC second(40, 20);
    ASSERT_TRUE(second.IsValid());
    second.SetAttribDC(other.m_hDC);
    ASSERT_TRUE(second.TextOut(1, 1, "WW", 2));
    EXPECT_EQ(second.m_DIB.IsFilledWith(255, 255, 255, 40, 20, 0, 0), 1);
    EXPECT_EQ(other.m_DIB.IsFilledWith(255, 255, 255, 40, 20, 0, 0), 0);
    second.SetAttribDC(second.m_hDC);
}

TEST_F(PaintTest, BitmapContextOverARectangleMovesTheOrigin) {
    CDibDC ref(50, 50);
    RECT r{10, 20, 30, 30};
    CDibDC dc(&ref, r);
    ASSERT_TRUE(dc.IsValid());
    EXPECT_EQ(dc.m_DIB.GetWidth(), 20);
    EXPECT_EQ(dc.m_DIB.GetHeight(), 10);
    dc.FillSolidRect(11, 21, 2, 2, RGB(1, 2, 3)); // lands at (1, 1) of the section
    EXPECT_EQ(dc.m_DIB.IsFilledWith(1, 2, 3, 2, 2, 1, 1), 1);
    EXPECT_EQ(dc.m_DIB.IsFilledWith(255, 255, 255, 1, 10, 0, 0), 1);

    ref.m_bPrinting = TRUE;
    CDibDC fromClip(&ref); // the reference's clip box: its whole 50 x 50
    EXPECT_EQ(fromClip.m_DIB.GetWidth(), 50);
    EXPECT_TRUE(fromClip.IsPrinting());
}

TEST_F(PaintTest, AFailingSectionIsReported) {
    const SIZE_T live = SdLiveGlobalCount();
    SdGdiFailCall("CreateDIBSection", 3);
    CDIBSection s;
    EXPECT_EQ(s.Create(5, 5), 0);
    EXPECT_EQ(s.GetBits(), nullptr);
    CDibDC dc(5, 5);
    EXPECT_FALSE(dc.IsValid());
    EXPECT_FALSE(dc.Rectangle(0, 0, 3, 3)); // draws nothing, says so
    CDib pic(3, 3, 24);
    CDIBSection fromDib;
    EXPECT_EQ(fromDib.CreateFromDIB(pic.ChangeToDIB()), 0); // consumed all the same
    EXPECT_EQ(SdLiveGlobalCount(), live);
    EXPECT_EQ(s.Create(0, 5), 0);
}

TEST_F(PaintTest, SectionFromAPackedBitmapAndBack) {
    const SIZE_T live = SdLiveGlobalCount();
    {
        CDib pic;
        Gradient(pic, 5, 3);
        CDIBSection s;
        ASSERT_EQ(s.CreateFromDIB(pic.Copy()), 1);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x)
                EXPECT_EQ(Shown(s, x, y), (std::pair{x, y}));
        CDib back(s.ChangeToDIB());
        EXPECT_TRUE(s.GetBits() == nullptr);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x)
                EXPECT_EQ(Shown(back, x, y), (std::pair{x, y}));
        CDIBSection t;
        ASSERT_EQ(t.Create(4, 4), 1);
        HBITMAP h = t.ChangeToDDB();
        EXPECT_NE(h, nullptr);
        EXPECT_EQ(t.GetBits(), nullptr);
        DeleteObject(h);
    }
    EXPECT_EQ(SdLiveGlobalCount(), live);
}

TEST_F(PaintTest, HalfTonePalette) {
    CPalette palette;
    ASSERT_EQ(DIBInterface::GetHalfTonePalette(&palette), 1);
    EXPECT_EQ(palette.GetEntryCount(), 256);
    PALETTEENTRY e[2];
    ASSERT_EQ(palette.GetPaletteEntries(0, 2, e), 2u);
    EXPECT_EQ(e[1].peRed, 128); // the table's first byte taken as red
    EXPECT_EQ(e[1].peBlue, 0);
    CPalette failing;
    SdGdiFailPalettes(true);
    EXPECT_EQ(DIBInterface::GetHalfTonePalette(&failing), 0);
    EXPECT_EQ(DIBInterface::GetHalfTonePalette(nullptr), 0);
}
