#include <gtest/gtest.h>

#include <cmath>

#include "geomkit/WCutSubPathWithLine.h"

namespace {

using P = WPont<float>;
using SubPath = WSubPath<WNode, WSegment>;

SubPath Square() {
    SubPath sp;
    sp.MoveTo(0, 0);
    sp.LineTo(10, 0);
    sp.LineTo(10, 10);
    sp.LineTo(0, 10);
    sp.Close();
    return sp;
}

float ParamAt(const WCutSubPathWithLine& cut, int segment) {
    COXSPtr<WBezierRef> ref = cut.GetCuttingPointsHandle()->GetHandle(segment);
    const WSegmentRef* s = dynamic_cast<const WSegmentRef*>(ref.Get());
    return s ? s->GetParam() : -1;
}

} // namespace

TEST(WCutSubPathWithLine, LinesThroughASquare) {
    SubPath sq = Square();
    const struct {
        int type;
        double value;
        int first, second;
        float t;
    } cases[] = {
        {WCutSubPathWithLine::eVertical, 5, 0, 2, 0.5f},
        {WCutSubPathWithLine::eVerticalNegated, 5, 0, 2, 0.5f},
        {WCutSubPathWithLine::eHorizontal, 2.5, 1, 3, 0.25f},
        {WCutSubPathWithLine::eHorizontalNegated, 2.5, 1, 3, 0.25f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        WCutSubPathWithLine cut;
        ASSERT_EQ(cut.CutWithLine(&sq, c.value, c.type), 1);
        EXPECT_EQ(cut.GetCuttingPointsNumber(), 2);
        EXPECT_EQ(cut.GetCuttingPoints().size(), 2u);
        EXPECT_NEAR(ParamAt(cut, c.first), c.t, 1e-6);
        EXPECT_NEAR(ParamAt(cut, c.second), 1 - c.t, 1e-6);
    }
    // The square is left as it was.
    EXPECT_EQ(sq.GetNode(1)->GetAnchor(), P(10, 0));

    WCutSubPathWithLine cut;
    EXPECT_EQ(cut.CutWithLine(&sq, 20, 0), 0);
    EXPECT_EQ(cut.GetCuttingPointsNumber(), 0);
    EXPECT_EQ(cut.CutWithLine(&sq, 5, 4), 0);
    EXPECT_EQ(cut.CutWithLine(nullptr, 5, 0), 0);
    SubPath empty;
    EXPECT_EQ(cut.CutWithLine(&empty, 5, 0), 0);
}

TEST(WCutSubPathWithLine, TwoPointsOnOneSegment) {
    // y(t) = 10 − 60t + 60t² crosses y = 0 at 0.5 ∓ √3/6.
    SubPath dip;
    dip.MoveTo(0, 10);
    dip.CurveTo(WVektor<float>(1, -20), WVektor<float>(-1, -20), P(3, 10));
    WCutSubPathWithLine cut;
    ASSERT_EQ(cut.CutWithLine(&dip, 0, WCutSubPathWithLine::eHorizontal), 1);
    // The handle holds one point per segment; the list holds both.
    EXPECT_EQ(cut.GetCuttingPointsNumber(), 1);
    ASSERT_EQ(cut.GetCuttingPoints().size(), 2u);
    EXPECT_NEAR(cut.GetCuttingPoints()[0].t, 0.211325, 1e-5);
    EXPECT_NEAR(cut.GetCuttingPoints()[1].t, 0.788675, 1e-5);
    EXPECT_NEAR(ParamAt(cut, 0), 0.211325, 1e-5);
}

TEST(WCutSubPathWithLine, StartOnTheLine) {
    // x(t) = −5t³ − 15t² + 15t: starts on x = 0, runs right, comes back across at
    // t = (√21 − 3) / 2. The start counts as a cutting point.
    SubPath sp;
    sp.MoveTo(0, 0);
    sp.CurveTo(WVektor<float>(5, 1), WVektor<float>(10, -1), P(-5, 3));
    WCutSubPathWithLine cut;
    ASSERT_EQ(cut.CutWithLine(&sp, 0, WCutSubPathWithLine::eVertical), 1);
    ASSERT_EQ(cut.GetCuttingPoints().size(), 2u);
    EXPECT_EQ(cut.GetCuttingPoints()[0].segment, 0);
    EXPECT_EQ(cut.GetCuttingPoints()[0].t, 0);
    EXPECT_NEAR(cut.GetCuttingPoints()[1].t, (std::sqrt(21.0) - 3) / 2, 1e-5);
    EXPECT_EQ(cut.GetCuttingPointsNumber(), 1);
}
