// Bitmap distortion through a point mapping, and the triangle coverage rule under it.

#include <cmath>
#include <limits>
#include <vector>

#include "RasterTestSupport.h"
#include "TriangleScan.h"
#include "rasterkit/DibDistortionBase.h"
#include "testing/PlatformTest.h"

namespace {

class DistortionTest : public PlatformTest {};

// Pixel (x, y) is red 20 x + 1, green 20 y + 1.
void Source(CDib& s, int w, int h) {
    ASSERT_TRUE(s.Create(w, h, 24));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            unsigned v = Bgr(BYTE(20 * x + 1), BYTE(20 * y + 1), 5);
            s.SetPixel(x, y, v);
        }
}

std::pair<int, int> From(CDib& dst, int x, int y) {
    int rgb[3];
    dst.GetPixel(x, y, rgb);
    if (rgb[2] != 5) return {-1, -1};
    return {(rgb[0] - 1) / 20, (rgb[1] - 1) / 20};
}

class Rotate90 : public DibDistortionBase {
public:
    void TransformPoint(floatPoint& p) override { p = floatPoint(-p.y, p.x); }
};

class Poisoned : public DibDistortionBase {
public:
    void TransformPoint(floatPoint& p) override {
        if (p.x > 2.5f && p.y > 1.5f) p.x = std::numeric_limits<float>::quiet_NaN();
    }
};

} // namespace

TEST_F(DistortionTest, IdentityEqualsNearestScaling) {
    struct Case {
        int w, h, W, H;
    };
    for (const Case c : {Case{4, 3, 8, 6}, Case{6, 4, 9, 6}, Case{5, 5, 5, 5}}) {
        SCOPED_TRACE(c.W);
        CDib src, dst(c.W, c.H, 24);
        Source(src, c.w, c.h);
        dst.Fill(0, 0, 0, 0, 0, 0, 0);
        floatBBox box(10, 20, 50, 80);
        DibDistortionBase identity;
        identity.Transform(src, box, dst, 2, 2, 0);
        for (int y = 0; y < c.H; ++y)
            for (int x = 0; x < c.W; ++x) {
                const int sx = int((x + 0.5) * c.w / c.W), sy = int((y + 0.5) * c.h / c.H);
                EXPECT_EQ(From(dst, x, y), (std::pair{sx, sy})) << x << "," << y;
            }
    }
}

TEST_F(DistortionTest, QuarterTurnGivesTheRotatedPicture) {
    CDib src, dst(3, 4, 24);
    Source(src, 4, 3);
    floatBBox box(0, 0, 4, 3);
    Rotate90 turn;
    turn.Transform(src, box, dst, 1, 1, 0);
    // Counter-clockwise in design space (y up): destination (X, Y) shows source (3 - Y, X).
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(From(dst, x, y), (std::pair{3 - y, x})) << x << "," << y;
}

TEST_F(DistortionTest, GridStepsBelowOneAndNonFiniteCornersAreHandled) {
    CDib src, a(8, 6, 24), b(8, 6, 24);
    Source(src, 4, 3);
    floatBBox box(0, 0, 4, 3);
    DibDistortionBase identity;
    identity.Transform(src, box, a, 0, -5, 0); // taken as 1: ends, same picture as step 1
    identity.Transform(src, box, b, 1, 1, 0);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(From(a, x, y), From(b, x, y));

    CDib c(4, 3, 24);
    c.Fill(0, 0, 0, 0, 0, 0, 0);
    Poisoned poisoned;
    poisoned.Transform(src, box, c, 1, 1, 0); // cells touching the poisoned corner: skipped
    EXPECT_EQ(From(c, 0, 0), (std::pair{0, 0}));
    EXPECT_EQ(From(c, 3, 0), (std::pair{-1, -1})); // design (3..4, 2..3) touches x > 2.5
    Rotate90 turn;
    CDib empty;
    turn.Transform(empty, box, c, 1, 1, 0);
    turn.Transform(src, box, empty, 1, 1, 0);
}

TEST_F(DistortionTest, SmoothSamplingKeepsUniformPictures) {
    CDib src(5, 4, 24), dst(13, 7, 24);
    src.Fill(255, 255, 255, 0, 0, 0, 0);
    dst.Fill(0, 0, 0, 0, 0, 0, 0);
    floatBBox box(0, 0, 5, 4);
    DibDistortionBase identity;
    identity.Transform(src, box, dst, 2, 2, 1);
    EXPECT_EQ(dst.IsFilledWith(255, 255, 255, 0, 0, 0, 0), 1);
}

// A grid warped without folds covers every pixel of its square exactly once, whatever the
// shared edges and corners look like.
TEST(TriangleScanTest, AMeshCoversEachPixelOnce) {
    const int W = 40, H = 30, N = 6;
    std::vector<FixedPoint> grid((N + 1) * (N + 1));
    for (int j = 0; j <= N; ++j)
        for (int i = 0; i <= N; ++i) {
            std::int64_t x = std::int64_t(i) * W * 256 / N, y = std::int64_t(j) * H * 256 / N;
            if (i > 0 && i < N && j > 0 && j < N) { // interior corners move, some onto centres
                x += ((i * 37 + j * 11) % 7 - 3) * 128;
                y += ((i * 13 + j * 29) % 5 - 2) * 128;
            }
            grid[std::size_t(j * (N + 1) + i)] = FixedPoint{x, y};
        }
    std::vector<int> count(W * H, 0);
    auto hit = [&](int x, int y) { ++count[std::size_t(y * W + x)]; };
    for (int j = 0; j < N; ++j)
        for (int i = 0; i < N; ++i) {
            auto g = [&](int a, int b) { return grid[std::size_t((j + b) * (N + 1) + i + a)]; };
            ScanTriangle(g(0, 0), g(1, 0), g(0, 1), W, H, hit);
            ScanTriangle(g(1, 1), g(1, 0), g(0, 1), W, H, hit);
        }
    for (int i = 0; i < W * H; ++i)
        EXPECT_EQ(count[std::size_t(i)], 1) << i % W << "," << i / W;
}
