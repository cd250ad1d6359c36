// Texture painting: wrap modes, samplings, degenerate matrices.

#include <cmath>
#include <limits>

#include "RasterTestSupport.h"
#include "rasterkit/TexturePaint.h"
#include "testing/PlatformTest.h"

namespace {

class TextureTest : public PlatformTest {};

// Texel (x, y) of a w x h texture is red 10 x + 1, green 10 y + 1, blue 7.
void Texture(CDib& t, int w, int h) {
    ASSERT_TRUE(t.Create(w, h, 24));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            unsigned v = Bgr(BYTE(10 * x + 1), BYTE(10 * y + 1), 7);
            t.SetPixel(x, y, v);
        }
}

// Which texel a painted pixel shows (-1, -1 for the untouched background 0, 0, 0).
std::pair<int, int> TexelAt(CDib& dst, int x, int y) {
    int rgb[3];
    dst.GetPixel(x, y, rgb);
    if (rgb[2] != 7) return {-1, -1};
    return {(rgb[0] - 1) / 10, (rgb[1] - 1) / 10};
}

RECT Rect(int l, int t, int r, int b) {
    return RECT{l, t, r, b};
}

} // namespace

TEST_F(TextureTest, TileRepeatsFromTheRectangleOrigin) {
    CDib tex, dst(10, 8, 24);
    Texture(tex, 3, 2);
    dst.Fill(0, 0, 0, 0, 0, 0, 0);
    floatTMatrix m;
    TexturePaint(tex, m, Rect(1, 1, 8, 6), dst, 0);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 10; ++x) {
            const bool inside = x >= 1 && x < 8 && y >= 1 && y < 6;
            const auto expected = inside ? std::pair{x % 3, y % 2} : std::pair{-1, -1};
            EXPECT_EQ(TexelAt(dst, x, y), expected) << x << "," << y;
        }
}

TEST_F(TextureTest, MirrorTileMirrorsEveryOddTile) {
    CDib tex, dst(12, 1, 24);
    Texture(tex, 3, 1);
    floatTMatrix m(1, 0, 0, 1, 3, 0); // texture x = destination x - 3: tile -1 on the left
    TexturePaint(tex, m, Rect(0, 0, 12, 1), dst, 1);
    const int expected[12] = {2, 1, 0, 0, 1, 2, 2, 1, 0, 0, 1, 2};
    for (int x = 0; x < 12; ++x)
        EXPECT_EQ(TexelAt(dst, x, 0).first, expected[x]) << x;
}

TEST_F(TextureTest, ClipLeavesPixelsOutsideTheTexture) {
    CDib tex, dst(8, 8, 24);
    Texture(tex, 3, 2);
    dst.Fill(0, 0, 0, 0, 0, 0, 0);
    floatTMatrix away(1, 0, 0, 1, 100, 100);
    TexturePaint(tex, away, Rect(0, 0, 8, 8), dst, 2);
    EXPECT_EQ(dst.IsFilledWith(0, 0, 0, 0, 0, 0, 0), 1);
    floatTMatrix shift(1, 0, 0, 1, 2, 3);
    TexturePaint(tex, shift, Rect(0, 0, 20, 20), dst, 2); // r reaches past dst too
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            const bool on = x >= 2 && x < 5 && y >= 3 && y < 5;
            const auto expected = on ? std::pair{x - 2, y - 3} : std::pair{-1, -1};
            EXPECT_EQ(TexelAt(dst, x, y), expected);
        }
}

TEST_F(TextureTest, InvalidModesAndMatricesPaintNothing) {
    CDib tex, dst(6, 6, 24);
    Texture(tex, 3, 3);
    dst.Fill(0, 0, 0, 0, 0, 0, 0);
    floatTMatrix m;
    for (int mode : {3, 7, 11, 12, 13, 20, 32, -1})
        TexturePaint(tex, m, Rect(0, 0, 6, 6), dst, mode);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    floatTMatrix bad[] = {floatTMatrix(nan, 0, 0, 1, 0, 0), floatTMatrix(1, 0, 0, 1, inf, 0),
                          floatTMatrix(0, 0, 0, 0, 0, 0), floatTMatrix(1, 2, 2, 4, 0, 0),
                          floatTMatrix(1e-30f, 0, 0, 1e-30f, 0, 0)};
    for (floatTMatrix& b : bad)
        for (int mode : {0, 4, 16})
            TexturePaint(tex, b, Rect(0, 0, 6, 6), dst, mode);
    CDib empty;
    TexturePaint(empty, m, Rect(0, 0, 6, 6), dst, 0);
    TexturePaint(tex, m, Rect(4, 4, 4, 9), dst, 0);  // empty rectangle
    TexturePaint(tex, m, Rect(5, 0, 2, 6), dst, 0);  // reversed
    EXPECT_EQ(dst.IsFilledWith(0, 0, 0, 0, 0, 0, 0), 1);
}

TEST_F(TextureTest, UniformTextureKeepsItsValueInEverySampling) {
    for (BYTE value : {BYTE(255), BYTE(0), BYTE(37)}) {
        CDib tex(5, 4, 24);
        tex.Fill(value, value, value, 0, 0, 0, 0);
        floatTMatrix m;
        m.Scale(3.3f, 2.1f);
        m.Rotate(0.4f);
        m.Translate(1.5f, -2.25f);
        for (int mode : {0, 1, 2, 4, 5, 6, 8, 9, 10, 16, 17, 18}) {
            SCOPED_TRACE(mode);
            CDib dst(20, 20, 24);
            dst.Fill(1, 2, 3, 0, 0, 0, 0);
            TexturePaint(tex, m, Rect(0, 0, 20, 20), dst, mode);
            int painted = 0, wrong = 0;
            for (int y = 0; y < 20; ++y)
                for (int x = 0; x < 20; ++x) {
                    int rgb[3];
                    dst.GetPixel(x, y, rgb);
                    if (rgb[0] == 1 && rgb[1] == 2 && rgb[2] == 3) continue;
                    ++painted;
                    if (rgb[0] != value || rgb[1] != value || rgb[2] != value) ++wrong;
                }
            EXPECT_EQ(wrong, 0);
            EXPECT_GT(painted, 40);
            if ((mode & 3) != 2) {
                EXPECT_EQ(painted, 400);
            }
        }
    }
}

TEST_F(TextureTest, BilinearBlendsNeighbours) {
    CDib tex(2, 1, 24), dst(4, 1, 24);
    unsigned black = Bgr(0, 0, 0), grey = Bgr(200, 200, 200);
    tex.SetPixel(0, 0, black);
    tex.SetPixel(1, 0, grey);
    floatTMatrix m(2, 0, 0, 1, 0, 0);
    TexturePaint(tex, m, Rect(0, 0, 4, 1), dst, 4);
    int rgb[3];
    dst.GetPixel(1, 0, rgb); // u = 0.5: half of each
    EXPECT_EQ(rgb[0], 100);
    dst.GetPixel(2, 0, rgb); // u = 1: the grey texel alone
    EXPECT_EQ(rgb[0], 200);
}

TEST_F(TextureTest, StrongDownScaleSamplesTheRightTexels) {
    // 4096 texels onto 8 pixels (a scale that floats hold exactly): the determinant is
    // 3.8e-6, and pixel x shows texel 512 x.
    CDib tex(4096, 1, 24), dst(8, 1, 24);
    tex.Fill(0, 0, 0, 0, 0, 0, 0);
    for (int k = 0; k < 8; ++k) {
        unsigned v = Bgr(BYTE(10 * k + 1), 1, 7);
        tex.SetPixel(512 * k, 0, v);
    }
    floatTMatrix m(1.0f / 512, 0, 0, 1.0f / 512, 0, 0);
    TexturePaint(tex, m, Rect(0, 0, 8, 1), dst, 0);
    for (int x = 0; x < 8; ++x)
        EXPECT_EQ(TexelAt(dst, x, 0).first, x) << x;
}

TEST_F(TextureTest, OtherDepthsTakeRawValues) {
    CDib tex(2, 2, 8), dst(5, 1, 8);
    unsigned a = 17, b = 99;
    tex.SetPixel(0, 0, a);
    tex.SetPixel(1, 0, b);
    floatTMatrix m;
    TexturePaint(tex, m, Rect(0, 0, 5, 1), dst, 4); // bilinear asked: nearest used
    const int expected[5] = {17, 99, 17, 99, 17};
    for (int x = 0; x < 5; ++x)
        EXPECT_EQ(*dst.GetPointer(x, 0), expected[x]);
    TexturePaint(tex, m, Rect(0, 0, 5, 1), dst, 3);
    EXPECT_EQ(*dst.GetPointer(0, 0), 17);
}
