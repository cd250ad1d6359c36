#include <gtest/gtest.h>

#include <cmath>

#include "geomkit/WBoundingBox.h"
#include "geomkit/WTransMatrix.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

void ExpectMatrix(const WTransMatrix& m, double a, double b, double c, double d, double e,
                  double f) {
    EXPECT_DOUBLE_EQ(m.A(), a);
    EXPECT_DOUBLE_EQ(m.B(), b);
    EXPECT_DOUBLE_EQ(m.C(), c);
    EXPECT_DOUBLE_EQ(m.D(), d);
    EXPECT_DOUBLE_EQ(m.E(), e);
    EXPECT_DOUBLE_EQ(m.F(), f);
}

struct FakeXform {
    float eM11, eM12, eM21, eM22, eDx, eDy;
};

} // namespace

TEST(WTransMatrix, IdentityAndKinds) {
    WTransMatrix m;
    ExpectMatrix(m, 1, 0, 0, 1, 0, 0);
    EXPECT_TRUE(m.IsIdentityTrafo());
    EXPECT_TRUE(m.IsSimpleTrafo());
    m.Translate(1, 0);
    EXPECT_FALSE(m.IsIdentityTrafo());
    EXPECT_TRUE(m.IsSimpleTrafo());
    m.Rotate(0.1);
    EXPECT_FALSE(m.IsSimpleTrafo());
    m.IdentMatrix();
    EXPECT_TRUE(m.IsIdentityTrafo());
}

TEST(WTransMatrix, InitFromXformSwapsTheOffDiagonal) {
    WTransMatrix m;
    m.Init(FakeXform{1, 2, 3, 4, 5, 6});
    ExpectMatrix(m, 1, 3, 2, 4, 5, 6); // b = eM21, c = eM12
}

TEST(WTransMatrix, CompositionAppliesThisFirst) {
    WTransMatrix t(1, 0, 0, 1, 1, 0), s(2, 0, 0, 3, 0, 0);
    WPont<double> p = (t * s).GetTransformed(WPont<double>(1, 1));
    EXPECT_DOUBLE_EQ(p.x, 4); // (1,1) → (2,1) → (4,3)
    EXPECT_DOUBLE_EQ(p.y, 3);
    WTransMatrix m;
    m.Translate(1, 0);
    m.Scale(2, 3);
    ExpectMatrix(m, 2, 0, 0, 3, 2, 0);
    WTransMatrix n(t);
    n *= s;
    ExpectMatrix(n, 2, 0, 0, 3, 2, 0);
}

TEST(WTransMatrix, RotationsAndSkews) {
    WTransMatrix r;
    r.Rotate(kPi / 2);
    WPont<float> p = r.GetTransformed(WPont<float>(1, 0));
    EXPECT_NEAR(p.x, 0, 1e-7);
    EXPECT_NEAR(p.y, -1, 1e-7); // clockwise in y-up coordinates

    WTransMatrix around;
    around.RotateAround(kPi, WPont<float>(1, 1));
    WPont<double> q = around.GetTransformed(WPont<double>(2, 1));
    EXPECT_NEAR(q.x, 0, 1e-12);
    EXPECT_NEAR(q.y, 1, 1e-12);

    WTransMatrix sx;
    sx.SkewX(kPi / 4);
    EXPECT_NEAR(sx.B(), 1, 1e-15); // x' = x + y
    WTransMatrix sy;
    sy.SkewY(kPi / 4);
    EXPECT_NEAR(sy.C(), 1, 1e-15); // y' = x + y

    WTransMatrix neg(1, 2, 3, 4, 5, 6);
    neg.Negate();
    ExpectMatrix(neg, -1, -2, -3, -4, -5, -6);
    neg.ChangeCoords();
    ExpectMatrix(neg, 0, 1, 1, 0, 0, 0);
}

TEST(WTransMatrix, VectorsIgnoreTheTranslation) {
    WTransMatrix m(2, 0, 0, 2, 10, 20);
    WVektor<float> v(1, 1);
    m.Transform(v);
    EXPECT_EQ(v, WVektor<float>(2, 2));
    EXPECT_EQ(m.GetTransformed(WVektor<double>(1, 0)), WVektor<double>(2, 0));
    WPont<float> p(1, 1);
    m.Transform(p);
    EXPECT_EQ(p, WPont<float>(12, 22));
    double x = 0, y = 0;
    m.Transform(x, y);
    EXPECT_EQ(x, 10);
    EXPECT_EQ(y, 20);
}

TEST(WTransMatrix, InverseAndSingularMatrices) {
    WTransMatrix m(2, 1, 1, 1, 3, 4);
    WTransMatrix id = m * m.Inverse();
    ExpectMatrix(id, 1, 0, 0, 1, 0, 0);
    WPont<double> p = m.GetInverseTransformed(m.GetTransformed(WPont<double>(5, -7)));
    EXPECT_NEAR(p.x, 5, 1e-12);
    EXPECT_NEAR(p.y, -7, 1e-12);

    WTransMatrix singular(1, 2, 2, 4, 5, 6);
    ExpectMatrix(singular.Inverse(), 1, 2, 2, 4, 5, 6); // returned unchanged
    EXPECT_EQ(singular.GetInverseTransformed(3, 4), WPont<double>(0, 0));
    WTransMatrix nan(std::nan(""), 0, 0, 1, 0, 0);
    EXPECT_TRUE(std::isnan(nan.Inverse().A())); // unchanged copy, no division
    EXPECT_EQ(nan.GetInverseTransformed(1, 1), WPont<double>(0, 0));
}

TEST(WTransMatrix, BoxTransformation) {
    WTransMatrix m(9, 9, 9, 9, 9, 9);
    m.BoxTransformation(WBoundingBox(0, 10, 0, 20), WBoundingBox(100, 120, 100, 140));
    ExpectMatrix(m, 2, 0, 0, 2, 100, 100);
    WPont<double> p = m.GetTransformed(WPont<double>(10, 20));
    EXPECT_DOUBLE_EQ(p.x, 120);
    EXPECT_DOUBLE_EQ(p.y, 140);

    // A degenerate source keeps scale 1: a pure translation onto the destination's corner.
    m.BoxTransformation(5, 5, 5, 5, 1, 2, 3, 4);
    ExpectMatrix(m, 1, 0, 0, 1, -4, -3);
    // Below the single-precision 1e-5 the extent is degenerate; at it, it is not.
    m.BoxTransformation(0, 0, 9.99e-6, 9.999999747378752e-06, 0, 0, 1, 1);
    EXPECT_EQ(m.A(), 1);
    EXPECT_NE(m.D(), 1);
    // NaN extents count as degenerate rather than leaking into the matrix.
    m.BoxTransformation(std::nan(""), 0, 1, std::nan(""), 0, 0, 1, 1);
    EXPECT_EQ(m.A(), 1);
    EXPECT_EQ(m.D(), 1);
}
