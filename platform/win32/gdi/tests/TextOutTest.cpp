// Text output fills the selected font's glyph outlines and is recorded in the call log.

#include "GdiFixture.h"
#include "testing/PlatformTest.h"
#include "testing/SfntWriter.h"
#include "win32/FontTesting.h"
#include "win32/gdifont.h"

namespace {

class TextOutTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        SfntWriter face("Text Fixture", "Regular");
        face.winAscent = 800;
        face.winDescent = 200;
        face.AddGlyph('H', {{{100, 0, true}, {500, 0, true}, {500, 700, true}, {100, 700, true}}}, 600);
        std::string file = (DataFolder() / "text.ttf").string();
        ASSERT_TRUE(face.Write(file));
        SdUseFontFiles({file});
    }
    void TearDown() override {
        SdUseSystemFonts();
        PlatformTest::TearDown();
    }
};

TEST_F(TextOutTest, GlyphsAreFilledInTheTextColour) {
    DibCanvas c(100, 100);
    c.Clear(RGB(255, 255, 255));
    LOGFONTA lf{};
    lf.lfHeight = 100; // 0.1 pixel per font unit
    std::strcpy(lf.lfFaceName, "Text Fixture");
    HFONT font = CreateFontIndirectA(&lf);
    ASSERT_NE(font, nullptr);
    HGDIOBJ old = SelectObject(c.dc, font);
    SetTextColor(c.dc, RGB(0, 0, 255));
    ASSERT_TRUE(TextOutA(c.dc, 0, 0, "H", 1));
    // The square of H: x 10..50, from the baseline (80) up 70 pixels.
    SdGdiImage img = c.Read();
    EXPECT_EQ(img.at(30, 40), RGB(0, 0, 255));
    EXPECT_EQ(img.at(5, 40), RGB(255, 255, 255));
    EXPECT_NEAR(countColor(img, RGB(0, 0, 255)), 40 * 70, 100);
    SelectObject(c.dc, old);
    DeleteObject(font);
    // Calls are recorded too; the stock font draws with the default face.
    c.Clear(RGB(255, 255, 255));
    SdGdiSetLogging(c.dc, true);
    EXPECT_TRUE(TextOutA(c.dc, 0, 0, "H", 1));
    EXPECT_GT(countColor(c.Read(), RGB(0, 0, 255)), 0);
    EXPECT_EQ(SdGdiCallLog(c.dc).back(), "TextOutA(0,0,\"H\")");
    // An opaque rectangle without text is filled with the background colour.
    SetBkColor(c.dc, RGB(255, 0, 0));
    RECT r{0, 0, 10, 10};
    EXPECT_TRUE(ExtTextOutA(c.dc, 0, 0, ETO_OPAQUE, &r, "", 0, nullptr));
    EXPECT_EQ(countColor(c.Read(), RGB(255, 0, 0)), 100);
}

} // namespace
