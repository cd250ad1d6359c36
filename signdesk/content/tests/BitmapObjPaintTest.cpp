// Drawing bitmap objects into bitmap contexts, mode by mode, read back by pixels.
#include <gtest/gtest.h>

#include <content/CBitmapObj.h>
#include <mfc/CMetaFileDC.h>
#include <model/CSign.h>
#include <model/ViewColors.h>
#include <rasterkit/CDibDC.h>
#include <testing/PlatformTest.h>
#include <testing/PostScriptPrinterTest.h>

#include <cstdlib>
#include <fstream>

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

namespace {

class BitmapObjPostScriptTest : public PostScriptPrinterTest {};

// A 10 x 10 picture, red above and blue below.
HGLOBAL TwoBands() {
    CDib dib;
    EXPECT_TRUE(dib.Create(10, 10, 24));
    dib.Fill(0, 0, 255, 0, 0, 0, 0);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 10; ++x) {
            unsigned red = 0xFF0000;
            dib.SetPixel(x, y, red);
        }
    return static_cast<HGLOBAL>(dib.ChangeToDIB());
}

} // namespace

// The PostScript a printer gets, drawn by Ghostscript, shows the page the raster printer does.
TEST_F(BitmapObjPostScriptTest, GhostscriptDrawsTheRasterPage) {
    if (std::system("command -v gs >/dev/null 2>&1") != 0)
        GTEST_FAIL() << "gs is not installed (scripts/setup.sh)";
    CBitmapObj obj(TwoBands(), nullptr);
    const floatBBox& b = obj.m_bbClip;
    floatTMatrix ps;
    ps.BoxTransformation(b.left, b.bottom, b.right, b.top, 10, 10, 50, 50); // y up
    obj.Paint(&dc, ps, 2, obj.GetLayer(), 1);
    const std::string program = "%!PS\n" + Captured() + "showpage\n";
    const std::string psFile = (DataFolder() / "page.ps").string(),
                      ppm = (DataFolder() / "page.ppm").string();
    std::ofstream(psFile, std::ios::binary) << program;
    ASSERT_EQ(
        std::system(("gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=ppmraw -r72 -g60x60 -sOutputFile=" +
                     ppm + " " + psFile + " >/dev/null 2>&1")
                        .c_str()),
        0);
    std::ifstream in(ppm, std::ios::binary);
    std::string magic;
    in >> magic;
    auto number = [&in]() { // comment lines are skipped
        in >> std::ws;
        while (in.peek() == '#') {
            std::string line;
            std::getline(in, line);
            in >> std::ws;
        }
        int v = 0;
        in >> v;
        return v;
    };
    const int w = number(), h = number();
    number();
    in.get();
    std::vector<BYTE> page(size_t(w * h * 3));
    in.read(reinterpret_cast<char*>(page.data()), std::streamsize(page.size()));
    ASSERT_EQ(w, 60);

    CDibDC raster(60, 60);
    raster.m_DIB.Fill(255, 255, 255, 0, 0, 0, 0);
    floatTMatrix m;
    m.BoxTransformation(b.left, b.top, b.right, b.bottom, 10, 10, 50, 50); // y down
    obj.Paint(&raster, m, 2, obj.GetLayer(), 1);
    for (int y = 5; y < 60; y += 5)
        for (int x = 5; x < 60; x += 5) {
            if (x == 10 || x == 50 || y == 10 || y == 30 || y == 50) continue; // edges
            BYTE c[3];
            raster.m_DIB.GetRGB(x, y, c); // blue, green, red
            const BYTE* g = page.data() + (y * 60 + x) * 3;
            EXPECT_NEAR(g[0], c[2], 8) << x << "," << y;
            EXPECT_NEAR(g[2], c[0], 8) << x << "," << y;
        }
}

// Drawn as GDI output at half scale, the picture covers half the units of the whole scale:
// a fraction of a scale is not cut to nothing.
TEST_F(BitmapObjPaintTest, GdiOutputAtFractionalScales) {
    for (float scale : {1.0f, 0.5f}) {
        SCOPED_TRACE(scale);
        CBitmapObj obj(Solid(10, 10, 24, RGB(200, 0, 0)), nullptr);
        const floatBBox area = obj.m_bbClip;
        CMetaFileDC meta;
        ASSERT_TRUE(meta.CreateEnhanced(nullptr, nullptr, nullptr, nullptr));
        obj.DrawGdiPath(&meta, &area, obj.GetLayer(), 0, scale);
        HENHMETAFILE emf = meta.CloseEnhanced();
        ASSERT_NE(emf, nullptr);
        ENHMETAHEADER h{};
        ASSERT_NE(GetEnhMetaFileHeader(emf, sizeof h, &h), 0u);
        DeleteEnhMetaFile(emf);
        const double w = double(area.right - area.left) * scale * 100;
        const double t = double(area.top - area.bottom) * scale * 100;
        EXPECT_GT(w, 50);
        EXPECT_NEAR(h.rclBounds.left, 0, 1);
        EXPECT_NEAR(h.rclBounds.top, 0, 1);
        EXPECT_NEAR(h.rclBounds.right, w, 2);
        EXPECT_NEAR(h.rclBounds.bottom, t, 2);
    }
}
