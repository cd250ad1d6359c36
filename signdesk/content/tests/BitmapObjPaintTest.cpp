// Drawing bitmap objects into bitmap contexts, mode by mode, read back by pixels.
#include <gtest/gtest.h>

#include <content/CBitmapObj.h>
#include <model/CSign.h>
#include <model/ViewColors.h>
#include <rasterkit/CDibDC.h>
#include <testing/PlatformTest.h>

namespace {

// A w x h picture of one colour.
HGLOBAL Solid(int w, int h, int bits, COLORREF colour) {
    CDib dib;
    EXPECT_TRUE(dib.Create(w, h, bits));
    if (bits == 1) {
        dib.GetColorTab()[1] = RGBQUAD{GetBValue(colour), GetGValue(colour), GetRValue(colour), 0};
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                unsigned one = 1;
                dib.SetPixel(x, y, one);
            }
    } else {
        dib.Fill(GetRValue(colour), GetGValue(colour), GetBValue(colour), 0, 0, 0, 0);
    }
    return static_cast<HGLOBAL>(dib.ChangeToDIB());
}

class BitmapObjPaintTest : public PlatformTest {
protected:
    // The object's box onto the device square 10..50.
    static floatTMatrix ToDevice(const CBitmapObj& obj) {
        floatTMatrix m;
        m.BoxTransformation(obj.m_bbClip.left, obj.m_bbClip.top, obj.m_bbClip.right,
                            obj.m_bbClip.bottom, 10, 10, 50, 50);
        return m;
    }
    static COLORREF At(CDibDC& dc, int x, int y) {
        BYTE c[3];
        dc.m_DIB.GetRGB(x, y, c); // blue, green, red
        return RGB(c[2], c[1], c[0]);
    }
};

} // namespace

TEST_F(BitmapObjPaintTest, ModesByPixels) {
    const COLORREF red = RGB(200, 0, 0), blue = RGB(0, 0, 255), white = RGB(255, 255, 255);
    struct Case {
        int mode;
        float outline; // mm; 0 for none
        COLORREF centre, inside, edge;
    } cases[] = {
        {0, 0, white, white, GetViewColors().LineColor}, // the contour only
        {1, 0, red, red, GetViewColors().LineColor},     // the picture and the contour
        {2, 0, red, red, red},
        {3, 0, red, red, red},
        {2, 0.5f, red, blue, blue},   // a wide outline inside the contour
        {6, 0.5f, white, blue, blue}, // the outline without the picture
        {2, 0.001f, red, red, blue},  // a hairline is a pixel wide, on the contour
        {0x82, 0, 0, 0, 0},           // the mask: its ones black, whatever table it came with
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        CBitmapObj obj(Solid(10, 10, 24, red), Solid(10, 10, 1, RGB(0, 90, 0)));
        obj.m_fOutlineWidth = c.outline;
        obj.m_clrOutline = c.outline > 0 ? blue : NO_COLOR;
        CDibDC dc(60, 60);
        ASSERT_TRUE(dc.IsValid());
        dc.m_DIB.Fill(255, 255, 255, 0, 0, 0, 0);
        obj.Paint(&dc, ToDevice(obj), c.mode, obj.GetLayer(), 1);
        EXPECT_EQ(At(dc, 30, 30), c.centre);
        EXPECT_EQ(At(dc, 13, 30), c.inside);
        EXPECT_EQ(At(dc, 10, 30), c.edge);
        EXPECT_EQ(At(dc, 5, 30), white); // nothing outside
    }
    // Another layer draws nothing.
    CBitmapObj obj(Solid(10, 10, 24, red), nullptr);
    CDibDC dc(60, 60);
    dc.m_DIB.Fill(255, 255, 255, 0, 0, 0, 0);
    obj.Paint(&dc, ToDevice(obj), 2, obj.GetLayer() + 1, 1);
    EXPECT_EQ(At(dc, 30, 30), white);
}

// Raster printers print a design with a bitmap object as a picture when bitmaps count.
TEST_F(BitmapObjPaintTest, BitmapsAskForRasterPrinting) {
    CDibDC raster(4, 4);
    CSign sign;
    sign.Add(new CBitmapObj(Solid(2, 2, 24, 0), nullptr));
    EXPECT_EQ(sign.NeedsRasterPrinting(&raster, 0), 0);
    EXPECT_EQ(sign.NeedsRasterPrinting(&raster, 1), 1);
}
