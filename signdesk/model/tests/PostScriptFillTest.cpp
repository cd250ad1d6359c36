// Fills painted on the fake PostScript printer: every band as its own clipped PostScript
// fragment, the texture as an image.
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "mfc/CDC.h"
#include "model/CFountainFill.h"
#include "model/CTextureFill.h"
#include "shared/CSharedBmp.h"
#include "testing/PlatformTest.h"
#include "testing/PostScriptPrinterTest.h"
#include "win32/GdiTesting.h"
#include "win32/SpoolerTesting.h"

namespace {

class PostScriptFillTest : public PostScriptPrinterTest {};

} // namespace

TEST_F(PostScriptFillTest, OneStopIsOneExactBand) {
    CFountainFill fill;
    fill.m_axis = floatPoint(10, 0);
    fill.AddNode(0, RGB(255, 0, 0));
    fill.PaintFill(&dc, floatTMatrix(), 3, floatBBox(0, 0, 10, 5));
    EXPECT_EQ(Captured(), "save\r\nnewpath\r\n0 0 moveto\r\n10 0 lineto\r\n10 5 lineto\r\n"
                          "0 5 lineto\r\n0 0 lineto\r\neoclip\r\ngsave\r\n1 0 0 setrgbcolor\r\n"
                          "eofill\r\ngrestore\r\nrestore\r\n");
}

TEST_F(PostScriptFillTest, EveryBandIsClippedAndFilledAlone) {
    CFountainFill fill(floatBBox(0, 0, 1, 1), RGB(0, 0, 0), RGB(255, 255, 255));
    fill.m_origin = floatPoint(0, 0);
    fill.m_axis = floatPoint(1000, 0);
    fill.PaintFill(&dc, floatTMatrix(), 0, floatBBox(0, 0, 1000, 10));
    const std::string text = Captured();
    const std::regex band("save\r\nnewpath\r\n(?:[-0-9.e]+ [-0-9.e]+ (?:moveto|lineto)\r\n){5}"
                          "eoclip\r\ngsave\r\n[0-9.]+ [0-9.]+ [0-9.]+ setrgbcolor\r\neofill\r\n"
                          "grestore\r\nrestore\r\n");
    std::string rest = std::regex_replace(text, band, "");
    EXPECT_EQ(rest, "");
    std::size_t bands = 0;
    for (std::size_t at = text.find("eofill"); at != std::string::npos; at = text.find("eofill", at + 1))
        ++bands;
    EXPECT_EQ(bands, 20u);
}

TEST_F(PostScriptFillTest, TextureIsAnImage) {
    CTextureFill fill;
    auto* bmp = new CSharedBmp;
    ASSERT_TRUE(bmp->image.Create(2, 2, 24));
    fill.SetBitmap(bmp);
    fill.SetFrame(floatBBox(0, 0, 2, 2), 0);
    fill.PaintFill(&dc, floatTMatrix(), 3, floatBBox(0, 0, 30, 30));
    const std::string text = Captured();
    // A third of the device resolution, truncated: 30 * 0.333333 gives 9 pixels a side.
    const std::string head = "save\r\ngsave\r\n0 0 translate 30 30 scale\r\n/buf 9 string def\r\n"
                             "9 9 8 [9 0 0 9 0 0] { currentfile buf readstring pop } false 3 "
                             "colorimage\r\n";
    const std::string tail = "grestore\r\nrestore\r\n";
    ASSERT_EQ(text.size(), head.size() + 9 * 9 * 3 + tail.size()) << text.substr(0, 140);
    EXPECT_EQ(text.substr(0, head.size()), head);
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
}
