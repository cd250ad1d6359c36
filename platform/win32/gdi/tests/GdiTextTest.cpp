#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "GdiFixture.h"
#include "testing/PlatformTest.h"
#include "testing/SfntWriter.h"
#include "win32/FontTesting.h"
#include "win32/gdifont.h"

namespace {

// Glyph 'H' is a 40 x 70 box (side bearings 10) in a cell 60 wide and 100 high at size 100.
class GdiTextTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        SfntWriter w("Fixture Sans", "Regular");
        w.winAscent = 800;
        w.winDescent = 200;
        w.AddGlyph('H', {{{100, 0, true}, {500, 0, true}, {500, 700, true}, {100, 700, true}}},
                   600);
        w.AddGlyph(' ', {}, 250);
        std::string file = (DataFolder() / "f.ttf").string();
        ASSERT_TRUE(w.Write(file));
        SdUseFontFiles({file});
        LOGFONTA lf{};
        lf.lfHeight = 100;
        std::strcpy(lf.lfFaceName, "Fixture Sans");
        font = CreateFontIndirectA(&lf);
    }
    void TearDown() override {
        DeleteObject(font);
        SdUseSystemFonts();
        PlatformTest::TearDown();
    }
    HFONT font = nullptr;
};

TEST_F(GdiTextTest, GlyphsAreFilledInTheTextColour) {
    DibCanvas canvas(200, 120);
    canvas.Clear(RGB(255, 255, 255));
    HGDIOBJ old = SelectObject(canvas.dc, font);
    SetBkMode(canvas.dc, TRANSPARENT);
    SetTextColor(canvas.dc, RGB(0, 0, 0));
    ASSERT_TRUE(TextOutA(canvas.dc, 0, 0, "H H", 3));
    // Two boxes of 40 x 70 pixels: top at ascent 80 - 70 = 10.
    EXPECT_EQ(2 * 40 * 70, countColor(canvas.Read(), RGB(0, 0, 0)));
    SelectObject(canvas.dc, old);
}

TEST_F(GdiTextTest, OpaqueCellsAndBaselineAlignment) {
    DibCanvas canvas(200, 200);
    canvas.Clear(RGB(255, 255, 255));
    HGDIOBJ old = SelectObject(canvas.dc, font);
    SetBkMode(canvas.dc, OPAQUE);
    SetBkColor(canvas.dc, RGB(255, 0, 0));
    SetTextColor(canvas.dc, RGB(0, 0, 255));
    SetTextAlign(canvas.dc, TA_BASELINE);
    ASSERT_TRUE(TextOutA(canvas.dc, 10, 100, "H", 1));
    // The cell: 60 wide, 100 high, its baseline at y = 100; the glyph 40 x 70 in it.
    EXPECT_EQ(40 * 70, countColor(canvas.Read(), RGB(0, 0, 255)));
    EXPECT_EQ(60 * 100 - 40 * 70, countColor(canvas.Read(), RGB(255, 0, 0)));
    SelectObject(canvas.dc, old);
}

TEST_F(GdiTextTest, ClippedExtTextOut) {
    DibCanvas canvas(200, 120);
    canvas.Clear(RGB(255, 255, 255));
    HGDIOBJ old = SelectObject(canvas.dc, font);
    SetBkMode(canvas.dc, TRANSPARENT);
    RECT clip{0, 0, 30, 120};
    ASSERT_TRUE(ExtTextOutA(canvas.dc, 0, 0, ETO_CLIPPED, &clip, "H", 1, nullptr));
    EXPECT_EQ(20 * 70, countColor(canvas.Read(), RGB(0, 0, 0)));
    SelectObject(canvas.dc, old);
}

TEST_F(GdiTextTest, AdvancesFromDxAndTheCurrentPosition) {
    DibCanvas canvas(300, 120);
    canvas.Clear(RGB(255, 255, 255));
    HGDIOBJ old = SelectObject(canvas.dc, font);
    SetBkMode(canvas.dc, TRANSPARENT);
    const INT dx[2] = {100, 100};
    ASSERT_TRUE(ExtTextOutA(canvas.dc, 0, 0, 0, nullptr, "HH", 2, dx));
    SdGdiImage img = canvas.Read();
    EXPECT_EQ(RGB(0, 0, 0), img.at(115, 50)); // the second H starts at 100 + 10
    EXPECT_EQ(RGB(255, 255, 255), img.at(65, 50));

    canvas.Clear(RGB(255, 255, 255));
    SetTextAlign(canvas.dc, TA_UPDATECP);
    MoveToEx(canvas.dc, 20, 0, nullptr);
    ASSERT_TRUE(TextOutA(canvas.dc, 0, 0, "H", 1));
    ASSERT_TRUE(TextOutA(canvas.dc, 0, 0, "H", 1)); // continues at 80
    img = canvas.Read();
    EXPECT_EQ(RGB(0, 0, 0), img.at(35, 50));
    EXPECT_EQ(RGB(0, 0, 0), img.at(95, 50));
    EXPECT_EQ(RGB(255, 255, 255), img.at(15, 50));
    POINT p;
    GetCurrentPositionEx(canvas.dc, &p);
    EXPECT_EQ(140, p.x);
    SelectObject(canvas.dc, old);
}

} // namespace
