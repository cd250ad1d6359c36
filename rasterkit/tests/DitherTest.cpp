// Ordered and Floyd-Steinberg dithering onto the built-in table, and CMYK correction.

#include <array>
#include <initializer_list>

#include "RasterTestSupport.h"
#include "testing/PlatformTest.h"

namespace {

class DitherTest : public PlatformTest {};

// A 24-bit picture from red, green, blue triples, row by row.
void Picture24(CDib& dib, int w, int h, std::initializer_list<std::array<BYTE, 3>> pixels) {
    ASSERT_TRUE(dib.Create(w, h, 24));
    int i = 0;
    for (const auto& p : pixels) {
        unsigned v = Bgr(p[0], p[1], p[2]);
        dib.SetPixel(i % w, i / w, v);
        ++i;
    }
}

std::vector<int> Indices(CDib& dib) {
    std::vector<int> v;
    for (int y = 0; y < dib.GetHeight(); ++y)
        for (int x = 0; x < dib.GetWidth(); ++x)
            v.push_back(*dib.GetPointer(x, y));
    return v;
}

} // namespace

TEST_F(DitherTest, OrderedDitherOfGrey100FollowsTheThresholdTable) {
    // Grey 100 is level 5 (85) with remainder 15: one level up where the grey threshold is
    // below 15, i.e. everywhere but [x 3][y 0] (16) and [x 1][y 2] (15).
    CDib src(4, 4, 24), dst(4, 4, 8);
    src.Fill(100, 100, 100, 0, 0, 0, 0);
    DIBInterface::OrderedDither(src, dst, 0, 0, 0, 0);
    EXPECT_EQ(Indices(dst), (std::vector<int>{232, 232, 232, 231, //
                                              232, 232, 232, 232, //
                                              232, 231, 232, 232, //
                                              232, 232, 232, 232}));
}

TEST_F(DitherTest, OrderedDitherOfSpecialColours) {
    struct Case {
        BYTE r, g, b;
        int x, y;
        int index;
    };
    const Case cases[] = {
        {255, 255, 255, 0, 0, 255}, {128, 128, 128, 1, 1, 248}, {0, 0, 0, 2, 3, 226},
        {254, 0, 0, 0, 0, 190},     {254, 0, 0, 3, 0, 190},     {0, 0, 128, 0, 0, 1},
        {0, 128, 0, 0, 0, 2},       {128, 0, 0, 0, 0, 4},
        // Red 60 is level 1 with remainder 9: up where the colour threshold is below 9.
        {60, 0, 0, 0, 0, 10 + 36 * 2}, {60, 0, 0, 1, 0, 10 + 36 * 1},
        // Blue, green, red levels each count: 10 + b + 6 g + 36 r.
        {0, 255, 51, 0, 0, 10 + 1 + 6 * 5},
    };
    for (const Case& c : cases) {
        CDib src(4, 4, 24), dst(4, 4, 8);
        src.Fill(c.r, c.g, c.b, 0, 0, 0, 0);
        DIBInterface::OrderedDither(src, dst, 0, 0, 0, 0);
        EXPECT_EQ(*dst.GetPointer(c.x, c.y), c.index)
            << int(c.r) << "," << int(c.g) << "," << int(c.b) << " at " << c.x << "," << c.y;
    }
    // A palette source is read through its colour table: built-in entry 249 is (255, 0, 0)
    // stored, i.e. blue 255.
    CDib pal(2, 2, 8), dst(2, 2, 8);
    unsigned blue = 249;
    pal.SetPixel(0, 0, blue);
    DIBInterface::OrderedDither(pal, dst, 0, 0, 0, 0);
    EXPECT_EQ(*dst.GetPointer(0, 0), 10 + 5);
    EXPECT_EQ(*dst.GetPointer(1, 1), 255); // index 255: white
}

TEST_F(DitherTest, DitherOnlyTouchesTheRectangleInsideBothBitmaps) {
    CDib src(6, 6, 24), dst(4, 4, 8);
    src.Fill(0, 0, 0, 0, 0, 0, 0);
    DIBInterface::OrderedDither(src, dst, 2, 1, 10, 2);
    DIBInterface::FSDither(src, dst, 3, 3, 10, 10);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            const bool ordered = x >= 2 && y >= 1 && y < 3;
            const bool fs = x >= 3 && y >= 3;
            EXPECT_EQ(*dst.GetPointer(x, y), ordered || fs ? 226 : 255) << x << "," << y;
        }
    CDib wide(4, 4, 24);
    DIBInterface::FSDither(src, wide, 0, 0, 0, 0); // not an 8-bit destination: nothing
    EXPECT_EQ(wide.IsFilledWith(255, 255, 255, 0, 0, 0, 0), 1);
}

// Worked by hand: row 0 runs right, blue first; row 1 runs left, red first, and its greys
// take the red level.
TEST_F(DitherTest, FloydSteinbergSerpentineAndChannelOrder) {
    CDib src, dst(3, 2, 8);
    Picture24(src, 3, 2,
              {{100, 100, 100}, {100, 100, 100}, {60, 120, 250}, //
               {10, 10, 10}, {50, 50, 50}, {203, 203, 203}});
    DIBInterface::FSDither(src, dst, 0, 0, 0, 0);
    // (0,0) level 5, error 15; (1,0) gets 105/16 more: 106 -> level 6; (2,0) colour
    // 251/121/61 -> levels 4, 2, 1 -> 10 + 4 + 12 + 36. Row 1 from the right: (2,1) red
    // 208 -> 12 (blue would be 221 -> 13); (1,1) 57 -> 3; (0,1) 18 -> 1.
    EXPECT_EQ(Indices(dst), (std::vector<int>{231, 232, 62, 227, 229, 238}));
}

TEST_F(DitherTest, CmykCorrection) {
    CDib dib(3, 1, 24);
    unsigned a = Bgr(100, 100, 100), b = Bgr(255, 0, 0), c = Bgr(12, 200, 99);
    dib.SetPixel(0, 0, a);
    dib.SetPixel(1, 0, b);
    dib.SetPixel(2, 0, c);
    BYTE identity[256], zero[256] = {};
    for (int i = 0; i < 256; ++i)
        identity[i] = BYTE(i);
    const std::vector<unsigned> before = {a, b, c};
    dib.CMYKCorrection(identity, identity, identity, identity);
    for (int x = 0; x < 3; ++x) {
        unsigned v;
        dib.GetPixel(x, 0, v);
        EXPECT_EQ(v, before[std::size_t(x)]);
    }
    // Without black the grey turns white; the pure red has no black and stays.
    dib.CMYKCorrection(identity, identity, identity, zero);
    unsigned v;
    dib.GetPixel(0, 0, v);
    EXPECT_EQ(v, Bgr(255, 255, 255));
    dib.GetPixel(1, 0, v);
    EXPECT_EQ(v, Bgr(255, 0, 0));
    // Not 24-bit: untouched.
    CDib eight(2, 2, 8);
    eight.CMYKCorrection(zero, zero, zero, zero);
    EXPECT_EQ(*eight.GetPointer(0, 0), 255);
}
