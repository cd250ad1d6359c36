#include <cstdint>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "pathkit/IntBez3Base.h"

namespace {

class IntRecorder : public IntBez3Base {
public:
    using IntBez3Base::IntBez3Base;
    void Output(intPoint& p) override { points.push_back(p); }
    std::vector<intPoint> points;
};

intPoint I(int x, int y) {
    intPoint p;
    p.Fill(x, y);
    return p;
}

constexpr int intMin = std::numeric_limits<int>::min();
constexpr int intMax = std::numeric_limits<int>::max();

} // namespace

TEST(IntBez3Base, FixedPointScaling) {
    struct Up {
        int in;
        std::int32_t out;
    };
    const Up ups[] = {{0, 0},
                      {3, 768},
                      {-3, -768},
                      {8388607, 2147483392},
                      {-8388608, intMin},
                      {8388608, intMax}, // saturates instead of wrapping
                      {intMax, intMax},
                      {intMin, intMin}};
    for (const Up& u : ups)
        EXPECT_EQ(IntBez3Base::ScaleUp(u.in), u.out) << u.in;

    // Back to device units with halves rounded up.
    struct Down {
        std::int32_t in;
        int out;
    };
    const Down downs[] = {{256, 1},   {383, 1},   {384, 2},          {127, 0},
                          {128, 1},   {-128, 0},  {-129, -1},        {-384, -1},
                          {-385, -2}, {-256, -1}, {intMax, 8388608}, {intMin, -8388608}};
    for (const Down& d : downs)
        EXPECT_EQ(IntBez3Base::ScaleDown(d.in), d.out) << d.in;
}

TEST(IntBez3Base, ToleranceIsKeptIn24Dot8) {
    IntBez3Base a;
    EXPECT_EQ(a.tolerance, 256);
    IntBez3Base b(2);
    EXPECT_EQ(b.tolerance, 512);
    b.SetErrorTolerance(3);
    EXPECT_EQ(b.tolerance, 768);
    b.SetErrorTolerance(intMax);
    EXPECT_EQ(b.tolerance, intMax);
}

TEST(IntBez3Base, OutputsMidpointAndEndOfEveryPiece) {
    // A straight cubic splits once: two pieces, each giving its midpoint and end.
    IntRecorder line;
    line.CalcCurve(I(0, 0), I(10, 0), I(20, 0), I(30, 0));
    ASSERT_EQ(line.points.size(), 4u);
    const int xs[4] = {8, 15, 23, 30}; // 7.5 and 22.5 round up
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(line.points[i].x, xs[i]);
        EXPECT_EQ(line.points[i].y, 0);
    }

    // x = 48t, y = 96t(1 - t): deviation 24 / 4^k device units at depth k; with one unit the
    // pieces are flat at depth 3, giving the curve at t = k/16.
    IntRecorder arch;
    arch.CalcCurve(I(0, 0), I(16, 32), I(32, 32), I(48, 0));
    ASSERT_EQ(arch.points.size(), 16u);
    const int ys[16] = {6, 11, 15, 18, 21, 23, 24, 24, 24, 23, 21, 18, 15, 11, 6, 0};
    for (int k = 0; k < 16; ++k) {
        EXPECT_EQ(arch.points[k].x, 3 * (k + 1)) << k;
        EXPECT_EQ(arch.points[k].y, ys[k]) << k;
    }
    EXPECT_EQ(arch.depth, 0);
}

TEST(IntBez3Base, NeverMoreThan512Points) {
    struct Case {
        const char* what;
        int tolerance;
        intPoint p[4];
    };
    const Case cases[] = {
        {"zero tolerance", 0, {I(0, 0), I(0, 1000), I(1000, 1000), I(1000, 0)}},
        {"negative tolerance", -5, {I(0, 0), I(0, 1000), I(1000, 1000), I(1000, 0)}},
        {"saturated coordinates",
         1,
         {I(intMin, intMin), I(intMin, intMax), I(intMax, intMax), I(intMax, intMin)}},
        {"all points equal", 0, {I(7, 7), I(7, 7), I(7, 7), I(7, 7)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        IntRecorder r(c.tolerance);
        r.CalcCurve(c.p[0], c.p[1], c.p[2], c.p[3]);
        EXPECT_EQ(r.points.size(), 512u); // every case here runs to depth 8
        EXPECT_EQ(r.points.back().x, IntBez3Base::ScaleDown(IntBez3Base::ScaleUp(c.p[3].x)));
        EXPECT_EQ(r.points.back().y, IntBez3Base::ScaleDown(IntBez3Base::ScaleUp(c.p[3].y)));
    }
}
