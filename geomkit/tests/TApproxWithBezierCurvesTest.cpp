#include <gtest/gtest.h>

#include <cmath>

#include "geomkit/TApproxWithBezierCurves.h"
#include "geomkit/WSubPath.h"

namespace {

using SubPath = WSubPath<WNode, WSegment>;
using P = WPont<float>;
using V = WVektor<float>;

WPointArray SampleCubic(int n) {
    WSegment s;
    s.Initialize(P(0, 0), P(20, 60), P(80, 60), P(100, 0));
    WPointArray pts;
    for (int i = 0; i < n; ++i)
        pts.push_back(s.CoordAtParam(double(i) / (n - 1)));
    return pts;
}

} // namespace

TEST(TApproxWithBezierCurves, InitChecksTheType) {
    WPointArray pts = SampleCubic(10);
    TApproxWithBezierCurves a;
    EXPECT_EQ(a.Init(&pts, 0), 0);
    EXPECT_EQ(a.Init(&pts, 6), 0);
    EXPECT_EQ(a.Init(nullptr, 5), 0);
    EXPECT_EQ(a.Init(&pts, 5), 1);
    EXPECT_EQ(a.Init(&pts, 1), 1);
    // The affine types exist only for single runs.
    EXPECT_EQ(a.Init(&pts, 3), 1);
    EXPECT_EQ(a.Approximation(), 0);
}

TEST(TApproxWithBezierCurves, OneCubicGivesOneSegment) {
    WPointArray pts = SampleCubic(100);
    TApproxWithBezierCurves a;
    ASSERT_EQ(a.Init(&pts, 5), 1);
    ASSERT_EQ(a.Approximation(), 1);
    SubPath& r = *a.GetResult();
    ASSERT_EQ(r.GetNodeCount(), 2);
    EXPECT_FALSE(r.IsClosed());
    EXPECT_EQ(r.GetNode(0)->GetAnchor(), P(0, 0));
    EXPECT_EQ(r.GetNode(1)->GetAnchor(), pts.back());
    WSegment s;
    ASSERT_EQ(r.GetSegment(0, s), 1);
    EXPECT_NEAR(s.GetC1().x, 20, 8);
    EXPECT_NEAR(s.GetC1().y, 60, 8);
    EXPECT_NEAR(s.GetC2().x, 80, 8);
    EXPECT_NEAR(s.GetC2().y, 60, 8);

    // A tight tolerance needs more runs; every sample stays near the result.
    TApproxWithBezierCurves tight;
    tight.SetTolerance(0.05);
    ASSERT_EQ(tight.Init(&pts, 5), 1);
    ASSERT_EQ(tight.Approximation(), 1);
    EXPECT_GT(tight.GetResult()->GetNodeCount(), 2);
}

TEST(TApproxWithBezierCurves, TwoPointsAndStraightRuns) {
    WPointArray two = {P(0, 0), P(10, 5)};
    TApproxWithBezierCurves a;
    ASSERT_EQ(a.Init(&two, 5), 1);
    ASSERT_EQ(a.Approximation(), 1);
    SubPath& r = *a.GetResult();
    ASSERT_EQ(r.GetNodeCount(), 2);
    WSegment s;
    r.GetSegment(0, s);
    EXPECT_FALSE(s.IsCurve());

    WPointArray line;
    for (int i = 0; i <= 30; ++i)
        line.push_back(P(float(i), float(2 * i)));
    ASSERT_EQ(a.Init(&line, 5), 1);
    ASSERT_EQ(a.Approximation(), 1);
    ASSERT_EQ(a.GetResult()->GetSegment(0, s), 1);
    if (s.IsCurve()) {
        EXPECT_NEAR(s.GetC1().y, 2 * s.GetC1().x, 1e-3); // control points on the line
        EXPECT_NEAR(s.GetC2().y, 2 * s.GetC2().x, 1e-3);
    }

    WPointArray one = {P(1, 1)};
    ASSERT_EQ(a.Init(&one, 5), 1);
    EXPECT_EQ(a.Approximation(), 0);
}

TEST(TApproxWithBezierCurves, ClosedSquareStaysClosed) {
    COXSPtr<SubPath> square(new SubPath);
    square->MoveTo(0, 0);
    square->LineTo(40, 0);
    square->LineTo(40, 40);
    square->LineTo(0, 40);
    square->Close();
    WPointArray pts;
    ASSERT_EQ(TApproxWithBezierCurves::MakeThePointArray(pts, square, 1.0), 1);
    // Each 40-long side gives its start and 7 inner samples; the first anchor ends the array.
    ASSERT_EQ(pts.size(), 4u * 8 + 1);
    EXPECT_EQ(pts.front(), pts.back());
    EXPECT_EQ(pts[1], P(5, 0));

    TApproxWithBezierCurves a;
    a.SetTolerance(0.5);
    ASSERT_EQ(a.Init(&pts, 5), 1);
    ASSERT_EQ(a.Approximation(), 1);
    SubPath& r = *a.GetResult();
    EXPECT_TRUE(r.IsClosed());
    // Every corner of the square is kept within the tolerance by some node or segment.
    for (const P& corner : {P(40, 0), P(40, 40), P(0, 40)}) {
        int seg = -1;
        float t = 0;
        EXPECT_EQ(r.HitTest(corner, 0.6f, &seg, &t), 1);
    }

    TApproxWithBezierCurves smooth;
    smooth.SetSmoothJoins(1);
    smooth.SetTolerance(0.5);
    ASSERT_EQ(smooth.Init(&pts, 5), 1);
    ASSERT_EQ(smooth.Approximation(), 1);
    EXPECT_GE(smooth.GetResult()->GetNodeCount(), 2);
}

TEST(TApproxWithBezierCurves, MakeThePointArray) {
    WPointArray pts = {P(9, 9)};
    COXSPtr<SubPath> empty(new SubPath);
    EXPECT_EQ(TApproxWithBezierCurves::MakeThePointArray(pts, empty, 1.0), 0);
    EXPECT_TRUE(pts.empty());

    COXSPtr<SubPath> open(new SubPath);
    open->MoveTo(0, 0);
    open->LineTo(3, 0); // shorter than 5·step: no samples between
    open->LineTo(3, 12);
    ASSERT_EQ(TApproxWithBezierCurves::MakeThePointArray(pts, open, 1.0), 1);
    EXPECT_EQ(pts, (WPointArray{P(0, 0), P(3, 0), P(3, 6), P(3, 12)})); // 12 long: 2 pieces
    // A step that is not positive takes no samples instead of stalling.
    for (double step : {0.0, -1.0, std::nan("")}) {
        ASSERT_EQ(TApproxWithBezierCurves::MakeThePointArray(pts, open, step), 1);
        EXPECT_EQ(pts.size(), 3u);
    }
}
