#include <gtest/gtest.h>

#include <string>

#include "pathkit/BBox.h"
#include "pathkit/OutMemStream.h"
#include "pathkit/Path.h"
#include "shell/PSWriter.h"

namespace {

std::string Text(OutMemStream& out) {
    return std::string(out.GetBuffer(), std::size_t(out.TellP()));
}

// 2 x 1 pixels stored blue, green, red.
struct TwoPixels : PSImageSource {
    int BitmapWidth() override { return 2; }
    int BitmapHeight() override { return 1; }
    int SourceWidth() override { return 1; }
    int SourceHeight() override { return 1; }
    void GetPixel(int, int, BYTE out[4]) override {
        out[0] = 3, out[1] = 2, out[2] = 1, out[3] = 0;
    }
};

} // namespace

TEST(PSWriter, ColourWidthAndPath) {
    OutMemStream out;
    floatTMatrix m; // document millimetres to points, y kept
    m.Scale(2, 2);
    PSWriter ps(out, m);
    ps.WritePSColor(0x0000FF);
    ps.WritePSLineWidth(-0.25f);
    Path p;
    p.MoveTo({0, 0});
    p.LineTo({10, 0});
    p.CurveTo({10, 5}, {5, 10}, {0, 10});
    p.LineTo({0, 0});
    p.ClosePath();
    EXPECT_EQ(ps.WritePSPath(p, 1, 0), 1);
    EXPECT_EQ(Text(out), "1 0 0 setrgbcolor\r\n"
                         "0.5 setlinewidth\r\n"
                         "newpath\r\n"
                         "0 0 moveto\r\n"
                         "20 0 lineto\r\n"
                         "20 10 10 20 0 20 curveto\r\n"
                         "0 0 lineto\r\n");
}

TEST(PSWriter, PathSelection) {
    Path open;
    open.MoveTo({0, 0});
    open.LineTo({1, 1});
    open.ClosePath();
    OutMemStream out;
    PSWriter ps(out, floatTMatrix());
    EXPECT_EQ(ps.WritePSPath(open, 1, 0), 0);
    EXPECT_EQ(out.TellP(), 0);

    // A sub-path without members counts without closedOnly but writes no moveto.
    Path empty;
    SubPath none;
    empty.AddSubPath(none);
    EXPECT_EQ(ps.WritePSPath(empty, 0, 0), 1);
    EXPECT_EQ(Text(out), "newpath\r\n");
    EXPECT_EQ(ps.WritePSPath(empty, 1, 0), 0);
}

TEST(PSWriter, ImageRepeatsLastPixelOutsideTheSource) {
    OutMemStream out;
    PSWriter ps(out, floatTMatrix());
    TwoPixels image;
    ps.WritePSImage(image, floatBBox(0, 0, 4, 2));
    EXPECT_EQ(ps.imageWidth, 2);
    EXPECT_EQ(ps.imageHeight, 1);
    EXPECT_EQ(Text(out), std::string("gsave\r\n"
                                     "0 0 translate 4 2 scale\r\n"
                                     "/buf 2 string def\r\n"
                                     "2 1 8 [2 0 0 1 0 0] { currentfile buf readstring pop } "
                                     "false 3 colorimage\r\n") +
                             std::string("\x01\x02\x03\x01\x02\x03", 6) + "grestore\r\n");
}
