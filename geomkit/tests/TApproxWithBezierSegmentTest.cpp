#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>

#include "geomkit/TApproxWithBezierSegment.h"

namespace {

using P = WPont<float>;

WSegment Cubic() {
    WSegment s;
    s.Initialize(P(0, 0), P(10, 30), P(40, 30), P(50, 0));
    return s;
}

// n samples at evenly spaced parameters.
WPointArray Samples(const WSegment& s, int n) {
    WPointArray pts;
    for (int i = 0; i < n; ++i)
        pts.push_back(s.CoordAtParam(double(i) / (n - 1)));
    return pts;
}

void ExpectNear(const P& a, const P& b, double tol) {
    EXPECT_NEAR(a.x, b.x, tol);
    EXPECT_NEAR(a.y, b.y, tol);
}

} // namespace

TEST(TApproxWithBezierSegment, SolveLin2) {
    double x = 0, y = 0;
    EXPECT_EQ(TApproxWithBezierSegment::SolveLin2(2, 1, 1, 3, 5, 10, x, y), 1);
    EXPECT_DOUBLE_EQ(x, 1);
    EXPECT_DOUBLE_EQ(y, 3);
    EXPECT_EQ(TApproxWithBezierSegment::SolveLin2(0, 1, 1, 3, 5, 10, x, y), 0);
    EXPECT_EQ(TApproxWithBezierSegment::SolveLin2(1, 2, 2, 4, 5, 10, x, y), 0);
}

TEST(TApproxWithBezierSegment, RecoversASampledCubic) {
    const WSegment cubic = Cubic();
    const WPointArray pts = Samples(cubic, 100);
    TApproxWithBezierSegment fit;
    // Uniform parameters are the true ones here: the least-squares fit is exact.
    ASSERT_EQ(fit.Init(&pts, 0, 99, eParamUniform), 1);
    ASSERT_EQ(fit.Approximation(), 1);
    ExpectNear(fit.GetSegment().GetC1(), cubic.GetC1(), 1e-3);
    ExpectNear(fit.GetSegment().GetC2(), cubic.GetC2(), 1e-3);
    EXPECT_LT(fit.GetMaxError(), 1e-3);

    // Modified chord length with three parameter corrections comes within a few percent of
    // the curve's size (the corrections converge slowly).
    for (int weighting : {0, 1, 2, 3, 4}) {
        TApproxWithBezierSegment chord;
        chord.SetWeighting(weighting);
        ASSERT_EQ(chord.Init(&pts, 0, 99, eParamModifiedChord), 1);
        ASSERT_EQ(chord.Approximation(), 1);
        ExpectNear(chord.GetSegment().GetC1(), cubic.GetC1(), 4.0);
        ExpectNear(chord.GetSegment().GetC2(), cubic.GetC2(), 4.0);
        EXPECT_LT(chord.GetMaxError(), 1.5) << weighting;
        EXPECT_EQ(chord.GetSegment().GetP0(), pts.front()); // ends are kept
        EXPECT_EQ(chord.GetSegment().GetP3(), pts.back());
    }
    // A run from the middle of prepared whole-sequence distances.
    TApproxWithBezierSegment part;
    ASSERT_EQ(part.FillDistancesArray(&pts, eParamModifiedChord), 1);
    ASSERT_EQ(part.Init(&pts, 20, 60, eParamModifiedChord), 1);
    ASSERT_EQ(part.Approximation(), 1);
    EXPECT_EQ(part.GetSegment().GetP0(), pts[20]);
    EXPECT_LT(part.GetMaxError(), 0.1);
}

TEST(TApproxWithBezierSegment, CollinearPointsGiveControlPointsOnTheLine) {
    WPointArray pts;
    for (int i = 0; i < 20; ++i)
        pts.push_back(P(float(i * i) * 0.1f, float(i * i) * 0.05f)); // uneven spacing
    for (PARAMETRIZATION_TYPE type : {0, 1, 3, 4, 5}) {
        TApproxWithBezierSegment fit;
        ASSERT_EQ(fit.Init(&pts, 0, 19, type), 1) << type;
        ASSERT_EQ(fit.Approximation(), 1) << type;
        const WSegment& s = fit.GetSegment();
        for (const P& c : {s.GetC1(), s.GetC2()}) {
            EXPECT_TRUE(std::isfinite(c.x) && std::isfinite(c.y)) << type;
            EXPECT_NEAR(c.y, c.x * 0.5, 1e-3) << type;
        }
    }
}

TEST(TApproxWithBezierSegment, ShortRuns) {
    WPointArray pts = {P(0, 0), P(5, 5), P(10, 0)};
    TApproxWithBezierSegment fit;
    ASSERT_EQ(fit.Init(&pts, 0, 1, eParamModifiedChord), 1);
    ASSERT_EQ(fit.Approximation(), 1);
    EXPECT_FALSE(fit.GetSegment().IsCurve());
    EXPECT_EQ(fit.GetSegment().GetP3(), P(5, 5));

    // Three points: the curve passes through the middle one at its parameter (0.5 here).
    ASSERT_EQ(fit.Init(&pts, 0, 2, eParamModifiedChord), 1);
    ASSERT_EQ(fit.Approximation(), 1);
    EXPECT_TRUE(fit.GetSegment().IsCurve());
    ExpectNear(fit.GetSegment().CoordAtParam(0.5), P(5, 5), 1e-5);
    EXPECT_EQ(fit.GetMaxError(), 0);

    // A middle point on top of the first has parameter 0: the straight segment.
    WPointArray twice = {P(0, 0), P(0, 0), P(10, 0)};
    ASSERT_EQ(fit.Init(&twice, 0, 2, eParamModifiedChord), 1);
    ASSERT_EQ(fit.Approximation(), 1);
    EXPECT_FALSE(fit.GetSegment().IsCurve());
    WPointArray last = {P(0, 0), P(10, 0), P(10, 0)};
    ASSERT_EQ(fit.Init(&last, 0, 2, eParamModifiedChord), 1);
    ASSERT_EQ(fit.Approximation(), 1);
    EXPECT_FALSE(fit.GetSegment().IsCurve());

    EXPECT_EQ(fit.Init(&pts, 2, 1, eParamModifiedChord), 0);
    EXPECT_EQ(fit.Init(&pts, 0, 3, eParamModifiedChord), 0);
    EXPECT_EQ(fit.Init(nullptr, 0, 1, eParamModifiedChord), 0);
    EXPECT_EQ(fit.Init(&pts, 0, 2, 9), 0);
}

TEST(TApproxWithBezierSegment, WholeSequenceDistancesRefuseAffineTypes) {
    WPointArray pts = Samples(Cubic(), 10);
    TApproxWithBezierSegment fit;
    EXPECT_EQ(fit.FillDistancesArray(&pts, eParamAffineChord), 0);
    EXPECT_EQ(fit.FillDistancesArray(&pts, eParamAffineModified), 0);
    EXPECT_EQ(fit.FillDistancesArray(&pts, eParamCentripetal), 1);
    EXPECT_EQ(fit.FillDistancesArray(nullptr, eParamCentripetal), 0);
    // Per run they work.
    EXPECT_EQ(fit.Init(&pts, 0, 9, eParamAffineChord), 1);
    EXPECT_EQ(fit.Approximation(), 1);
    EXPECT_LT(fit.GetMaxError(), 1.5);
}

TEST(TApproxWithBezierSegment, DegenerateRunsStayFinite) {
    WPointArray same(6, P(3, 4));
    TApproxWithBezierSegment fit;
    ASSERT_EQ(fit.Init(&same, 0, 5, eParamModifiedChord), 1);
    ASSERT_EQ(fit.Approximation(), 1);
    ExpectNear(fit.GetSegment().GetC1(), P(3, 4), 1e-5);
    EXPECT_EQ(fit.GetMaxError(), 0);

    WPointArray bad = Samples(Cubic(), 8);
    bad[3] = P(std::nanf(""), 1);
    TApproxWithBezierSegment nan;
    nan.Init(&bad, 0, 7, eParamUniform);
    if (nan.Approximation()) {
        EXPECT_EQ(nan.GetMaxError(), DBL_MAX); // never a NaN that passes a tolerance test
    }
}

TEST(TApproxWithBezierSegment, DirectionConstraint) {
    const WPointArray pts = Samples(Cubic(), 50);
    WVektor<float> along(1, 3); // the true first control vector is (10, 30)
    TApproxWithBezierSegment fit;
    fit.SetDirection(&along);
    ASSERT_EQ(fit.Init(&pts, 0, 49, eParamUniform), 1);
    ASSERT_EQ(fit.Approximation(), 1);
    EXPECT_NEAR(fit.GetDirectionFactor(), 10, 1e-3);
    ExpectNear(fit.GetSegment().GetC1(), P(10, 30), 1e-3);
    ExpectNear(fit.GetSegment().GetC2(), P(40, 30), 1e-3);

    WVektor<float> up(0, 1); // constrained off the true direction: a worse but valid fit
    fit.SetDirection(&up);
    ASSERT_EQ(fit.Approximation(), 1);
    EXPECT_EQ(fit.GetSegment().GetV1().x, 0);
    EXPECT_GT(fit.GetDirectionFactor(), 0);
    EXPECT_GT(fit.GetMaxError(), 0.1);
    EXPECT_LT(fit.GetMaxError(), 10);

    WVektor<float> down(0, -1); // the fit wants a negative factor: rejected by its errors
    fit.SetDirection(&down);
    ASSERT_EQ(fit.Approximation(), 1);
    EXPECT_LE(fit.GetDirectionFactor(), 0);
    EXPECT_EQ(fit.GetMaxError(), DBL_MAX);
    EXPECT_EQ(fit.GetSumSquaredError(), DBL_MAX);
}
