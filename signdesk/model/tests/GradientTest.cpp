// Fountain fills painted on a bitmap context, checked by their pixels, and the unit shapes.
#include <gtest/gtest.h>

#include <cmath>

#include "model/CFountainFill.h"
#include "pathkit/Path.h"
#include "rasterkit/CDibDC.h"
#include "win32/GdiTesting.h"

namespace {

constexpr COLORREF Black = RGB(0, 0, 0);
constexpr COLORREF White = RGB(255, 255, 255);

COLORREF Grey(int v) {
    return RGB(BYTE(v), BYTE(v), BYTE(v));
}

// A fill painted with the identity matrix (object units are pixels) over the whole canvas.
SdGdiImage PaintOn(CFountainFill& fill, int w, int h, int mode) {
    CDibDC dc(w, h);
    EXPECT_TRUE(dc.IsValid());
    fill.PaintFill(&dc, floatTMatrix(), mode, floatBBox(0, 0, float(w), float(h)));
    return SdGdiReadDC(dc.m_hDC);
}

void SetLinear(CFountainFill& fill, float x0, float x1) {
    fill.m_origin = floatPoint(x0, 0);
    fill.m_axis = floatPoint(x1, 0);
}

} // namespace

TEST(GradientTest, BandCountRule) {
    struct Case {
        double l, delta, c, divisor;
        int n, bands;
    } cases[] = {
        {1000, 1, 300, 50, 1000, 20},  // long span: n / divisor
        {10, 1, 300, 50, 10, 1},       // short span: sqrt(30) * 10 / 50 rounds to 1
        {1000, 1, 300, 4, 1000, 250},  // mode 3
        {0.4, 1, 300, 50, 0, 0},       // no estimate: skipped
        {1, 1, 300, 50, 1, 0},         // n = 1 but no band: skipped, no division by zero
        {2, 1, 300, 50, 2, 0},
        {1000, -0.5, 300, 50, 0, 0},   // unsorted stops never give a negative count
        {NAN, 1, 300, 50, 0, 0},
    };
    for (const Case& c : cases) {
        int n = -1;
        EXPECT_EQ(GradientBandCount(c.l, c.delta, c.c, c.divisor, n), c.bands) << c.l;
        EXPECT_EQ(n, c.n) << c.l;
    }
}

TEST(GradientTest, LinearTwentyBandsOverAThousandUnits) {
    CFountainFill fill(floatBBox(0, 0, 1, 1), Black, White);
    SetLinear(fill, 50, 1050);
    const SdGdiImage img = PaintOn(fill, 1100, 6, 0);
    for (int j = 0; j < 20; ++j) {
        const int v = int(std::floor(255.0 * j / 20 + 0.5));
        EXPECT_EQ(img.at(75 + 50 * j, 3), Grey(v)) << "band " << j;
    }
    EXPECT_EQ(img.at(20, 3), Black);   // before P0: the first colour
    EXPECT_EQ(img.at(1080, 3), White); // after P1: the last colour
}

TEST(GradientTest, LinearOverTenUnitsIsOneBandOfTheFirstColour) {
    CFountainFill fill(floatBBox(0, 0, 1, 1), Black, White);
    SetLinear(fill, 5, 15);
    const SdGdiImage img = PaintOn(fill, 20, 4, 0);
    for (int x = 0; x < 15; ++x)
        EXPECT_EQ(img.at(x, 2), Black) << x;
    EXPECT_EQ(img.at(18, 2), White);
}

TEST(GradientTest, RadialStartsAtTheCentreAndEndsBeyondTheRim) {
    CFountainFill fill(floatBBox(10, 10, 90, 90), Black, White);
    fill.m_nKind = Gradient::Radial;
    fill.SetFrame(floatBBox(10, 10, 90, 90), 0);
    const SdGdiImage img = PaintOn(fill, 100, 100, 3);
    EXPECT_EQ(img.at(50, 50), Black);
    EXPECT_EQ(img.at(3, 3), White);
    EXPECT_EQ(img.at(97, 50), White);
    // Grey grows outwards along a radius.
    int previous = -1;
    for (int x = 50; x < 88; x += 6) {
        const int v = GetRValue(img.at(x, 50));
        EXPECT_GE(v, previous) << x;
        previous = v;
    }
}

TEST(GradientTest, ConicalIsMirroredAcrossItsAxis) {
    CFountainFill fill(floatBBox(0, 0, 100, 100), RGB(255, 0, 0), RGB(0, 0, 255));
    fill.m_nKind = Gradient::Conical;
    fill.SetFrame(floatBBox(10, 10, 90, 90), 0);
    const SdGdiImage img = PaintOn(fill, 100, 100, 0);
    // Rows 50 + d and 49 - d are mirror images about the axis y = 50.
    int distinct = 0;
    COLORREF last = 0;
    for (int j = 0; j < 7; ++j) {
        const double a = (j + 0.5) * M_PI / 7;
        const int x = int(50 + 30 * std::cos(a)), d = int(30 * std::sin(a));
        const COLORREF above = img.at(x, 50 + d), below = img.at(x, 49 - d);
        EXPECT_EQ(above, below) << j;
        EXPECT_NE(above, White) << j;
        distinct += above != last;
        last = above;
    }
    EXPECT_GE(distinct, 6);
    // Every pixel of the area is covered by some wedge.
    for (COLORREF p : img.pixels)
        ASSERT_NE(p, White);
}

TEST(GradientTest, UnitShapes) {
    Gradient g(Black, White);
    g.m_nKind = Gradient::Polygon;
    g.m_nSides = 3;
    Path p;
    g.BuildUnitShape(p);
    ASSERT_EQ(p.subPaths.Filled(), 1);
    const SubPath& sp = p.subPaths[0];
    ASSERT_EQ(sp.members.Filled(), 3);
    const double expected[3] = {-30, 90, 210};
    for (int i = 0; i < 3; ++i) {
        const floatPoint& v = sp.members[std::uint16_t(i)].start;
        EXPECT_NEAR(std::hypot(v.x, v.y), 1.0, 1e-6);
        double a = std::atan2(v.y, v.x) * 180 / M_PI;
        if (a < -90) a += 360;
        EXPECT_NEAR(a, expected[i], 1e-4) << i;
    }
    g.m_nKind = Gradient::Star;
    g.m_nSides = 5;
    g.BuildUnitShape(p);
    ASSERT_EQ(p.subPaths.Filled(), 1);
    EXPECT_EQ(p.subPaths[0].members.Filled(), 10);
    const floatPoint& inner = p.subPaths[0].members[0].end;
    EXPECT_NEAR(std::hypot(inner.x, inner.y), 0.5, 1e-6);
    // Too few or absurdly many corners give no shape (and no hang).
    for (int sides : {2, 0, -4, 1 << 30}) {
        g.m_nSides = sides;
        g.BuildUnitShape(p);
        EXPECT_EQ(p.subPaths.Filled(), 0) << sides;
    }
}

TEST(GradientTest, StopCountsThatAreNotTwo) {
    // One stop paints its colour everywhere; none paints nothing.
    CFountainFill one;
    one.m_axis = floatPoint(100, 0);
    one.AddNode(0.3f, RGB(0, 128, 0));
    SdGdiImage img = PaintOn(one, 10, 10, 3);
    for (COLORREF p : img.pixels)
        ASSERT_EQ(p, RGB(0, 128, 0));
    CFountainFill none;
    none.m_axis = floatPoint(100, 0);
    img = PaintOn(none, 10, 10, 3);
    for (COLORREF p : img.pixels)
        ASSERT_EQ(p, White);
}

TEST(GradientTest, BandDivisorTable) {
    EXPECT_EQ(CFountainFill::BandDivisor(0, 0), 50);
    EXPECT_EQ(CFountainFill::BandDivisor(2, 1), 16);
    EXPECT_EQ(CFountainFill::BandDivisor(4, 2), 8);
    EXPECT_EQ(CFountainFill::BandDivisor(1, 3), 4);
    EXPECT_EQ(CFountainFill::BandDivisor(3, 4), 4);
    EXPECT_EQ(CFountainFill::BandDivisor(0, 5), 4); // above the table: mode 4's
    EXPECT_EQ(CFountainFill::BandDivisor(0, 0x13), 4);
}
