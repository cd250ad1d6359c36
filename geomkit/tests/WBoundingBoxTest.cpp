#include <gtest/gtest.h>

#include <cmath>

#include "geomkit/WBoundingBox.h"
#include "geomkit/WTransMatrix.h"

namespace {

void ExpectBox(const WBoundingBox& b, double l, double r, double bo, double t) {
    EXPECT_DOUBLE_EQ(b.left, l);
    EXPECT_DOUBLE_EQ(b.right, r);
    EXPECT_DOUBLE_EQ(b.bottom, bo);
    EXPECT_DOUBLE_EQ(b.top, t);
}

} // namespace

TEST(WBoundingBox, EmptyBoxGrowsByPoints) {
    WBoundingBox b;
    EXPECT_FALSE(b.IsValid());
    ExpectBox(b, 1e38, -1e38, 1e38, -1e38);
    EXPECT_LT(b.Width(), 0);

    WPont<float> p(3, 4);
    b.Expand(p);
    EXPECT_TRUE(b.IsValid());
    ExpectBox(b, 3, 3, 4, 4);
    EXPECT_FALSE(b.IsInside(p)); // half-open
    EXPECT_TRUE(b.IsInsideWithTolerance(p, 0));

    // Points at ±1e38 or NaN are ignored.
    b.Expand(WPont<double>(1e38, 0));
    b.Expand(WPont<double>(0, -1e38));
    b.Expand(WPont<float>(std::nanf(""), 0));
    b.ExpandX(std::nan(""));
    b.ExpandY(1e38);
    ExpectBox(b, 3, 3, 4, 4);

    b.Expand(WPont<double>(-1, 10));
    ExpectBox(b, -1, 3, 4, 10);
    WBoundingBox empty;
    b.Expand(empty);
    ExpectBox(b, -1, 3, 4, 10);
}

TEST(WBoundingBox, ConstructionOrdersTheCorners) {
    ExpectBox(WBoundingBox(5, 1, 8, 2), 1, 5, 2, 8);
    ExpectBox(WBoundingBox(WPont<float>(5, 2), WPont<float>(1, 8)), 1, 5, 2, 8);
    WBoundingBox a(0, 1, 0, 1), b(2, 3, 2, 3);
    WBoundingBox u = a.Union(b);
    ExpectBox(u, 0, 3, 0, 3);
    ExpectBox(a, 0, 1, 0, 1); // Union leaves this box alone
}

TEST(WBoundingBox, InsideAndCrossingTests) {
    WBoundingBox b(0, 10, 0, 10);
    EXPECT_TRUE(b.IsInside(WPont<float>(0, 0)));
    EXPECT_FALSE(b.IsInside(WPont<float>(10, 5)));
    EXPECT_TRUE(b.IsInXRange(0));
    EXPECT_FALSE(b.IsInYRange(10));
    EXPECT_TRUE(b.IsInsideWithTolerance(10.5, -0.5, 0.5));
    EXPECT_FALSE(b.IsInsideWithTolerance(10.6, 0, 0.5));

    WBoundingBox edge(10, 20, 0, 10);
    EXPECT_FALSE(b.IsCrossing(edge));
    EXPECT_TRUE(b.IsCrossingWithBorder(edge));
    WBoundingBox overlap(5, 15, 5, 15);
    EXPECT_TRUE(b.IsCrossing(overlap));

    EXPECT_TRUE(b.Consist(WBoundingBox(0, 10, 2, 3)));
    EXPECT_FALSE(b.Consist(WBoundingBox(0, 10.5, 2, 3)));
    EXPECT_FALSE(b.Consist(WBoundingBox())); // an invalid box is never held
}

TEST(WBoundingBox, IntersectionOfTouchingAndDisjointBoxes) {
    WBoundingBox b(0, 10, 0, 10);
    EXPECT_EQ(b.InterSectBox(WBoundingBox(10, 20, 0, 10)), 1);
    ExpectBox(b, 10, 10, 0, 10);
    EXPECT_EQ(b.Width(), 0);

    WBoundingBox c(0, 10, 0, 10);
    EXPECT_EQ(c.InterSectBox(WBoundingBox(3, 20, -5, 4)), 1);
    ExpectBox(c, 3, 10, 0, 4);
    EXPECT_EQ(c.InterSectBox(WBoundingBox(30, 40, 0, 4)), 0);
    EXPECT_FALSE(c.IsValid());
}

TEST(WBoundingBox, EqualityWithinSinglePrecisionEpsilon) {
    WBoundingBox a(0, 10, 0, 10), b(0, 10, 0, 10 + 1e-7), c(0, 10, 0, 10 + 1e-6);
    EXPECT_TRUE(a == b);
    EXPECT_TRUE(a != c);
}

TEST(WBoundingBox, RatiosFromTheCentre) {
    WBoundingBox b(0, 10, 0, 20);
    double rx = 9, ry = 9;
    b.GetRatioWithPoint(WPont<double>(5, 10), rx, ry);
    EXPECT_EQ(rx, 0);
    EXPECT_EQ(ry, 0);
    b.GetRatioWithPoint(WPont<double>(10, 10), rx, ry);
    EXPECT_DOUBLE_EQ(rx, 50);
    EXPECT_DOUBLE_EQ(ry, 0);
    WPont<double> p;
    b.GetPointWithRatio(p, 50, -50);
    EXPECT_EQ(p, WPont<double>(10, 0));

    WBoundingBox flat(0, 0, 0, 20); // zero width: its ratio is 0
    flat.GetRatioWithPoint(WPont<double>(3, 20), rx, ry);
    EXPECT_EQ(rx, 0);
    EXPECT_DOUBLE_EQ(ry, 50);
    WBoundingBox invalid;
    invalid.GetRatioWithPoint(WPont<double>(3, 20), rx, ry);
    EXPECT_EQ(rx, 0);
    EXPECT_EQ(ry, 0);
    invalid.GetPointWithRatio(p, 10, 10);
    EXPECT_EQ(p, WPont<double>(0, 0));
}

TEST(WBoundingBox, MovingAndInflating) {
    WBoundingBox b(0, 10, 0, 10);
    b.Inflate(1);
    ExpectBox(b, -1, 11, -1, 11);
    b.Offset(WVektor<float>(1, 2));
    ExpectBox(b, 0, 12, 1, 13);
    EXPECT_EQ(b.Center(), WPont<float>(6, 7));

    WBoundingBox small(0, 2, 0, 2), big(10, 20, 10, 30);
    EXPECT_EQ(big.CalcDisplacementToCenter(small), WVektor<float>(14, 19));
    small.CenterIn(big);
    ExpectBox(small, 14, 16, 19, 21);
}

TEST(WBoundingBox, DisplacementToContain) {
    WBoundingBox sheet(0, 100, 0, 100);
    EXPECT_EQ(sheet.CalcDisplacementToContain(WBoundingBox(10, 20, 10, 20), 0),
              WVektor<float>(0, 0));
    EXPECT_EQ(sheet.CalcDisplacementToContain(WBoundingBox(90, 110, -5, 20), 0),
              WVektor<float>(-10, 5));
    // The margin counts as part of the object.
    EXPECT_EQ(sheet.CalcDisplacementToContain(WBoundingBox(0, 20, 50, 60), 2),
              WVektor<float>(2, 0));
    // Too big to fit: centred instead.
    EXPECT_EQ(sheet.CalcDisplacementToContain(WBoundingBox(0, 120, 0, 10), 0),
              WVektor<float>(-10, 45));
}

TEST(WBoundingBox, TransformationMapsTheCorners) {
    WBoundingBox b(0, 2, 0, 1);
    WTransMatrix r;
    r.Rotate(3.14159265358979323846 / 2); // (x, y) → (y, −x)
    b.AcceptLinearTrans(r);
    EXPECT_NEAR(b.left, 0, 1e-6);
    EXPECT_NEAR(b.right, 1, 1e-6);
    EXPECT_NEAR(b.bottom, -2, 1e-6);
    EXPECT_NEAR(b.top, 0, 1e-6);

    // The empty box stays empty instead of turning into a huge valid box.
    WBoundingBox empty;
    empty.AcceptLinearTrans(WTransMatrix(1, 0, 0, 1, 5, 5));
    EXPECT_FALSE(empty.IsValid());
}
