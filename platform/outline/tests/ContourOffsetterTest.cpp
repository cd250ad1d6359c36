#include <cmath>

#include <gtest/gtest.h>

#include "ContourOffsetter.h"
#include "OutlineTestUtil.h"
#include "outline/OutlineManager.h"
#include "pathkit/MemberOffsetter.h"

using namespace outlinetest;

namespace {

// A quarter circle of radius 2 about the origin, counter-clockwise from (2, 0).
PathMember QuarterArc() {
    float k = float(4.0 / 3 * std::tan(Pi / 8) * 2);
    PathMember m({2, 0}, {0, 2});
    m.flags = PM_CURVE;
    m.ctrl1 = floatPoint(2, k);
    m.ctrl2 = floatPoint(k, 2);
    return m;
}

double RadialError(const PathMember& m, double r) {
    double worst = 0;
    for (int i = 0; i <= 100; ++i) {
        Pt p = Cubic(m, i / 100.0);
        worst = std::fmax(worst, std::fabs(std::hypot(p.x, p.y) - r));
    }
    return worst;
}

} // namespace

// Moved towards its centre by more than its radius, an arc turns into the arc of the
// difference on the far side of the centre, run through the other way round.
TEST(ContourOffsetter, ArcMovedPastItsCentreFoldsOver) {
    ContourOffsetter offsetter(-3, OUTLINE_ROUND, 60, 0.01f);
    PathMember arc = QuarterArc();
    PathMember folded = offsetter.OffsetPiece(arc);
    EXPECT_NEAR(folded.start.x, -1, 1e-6);
    EXPECT_NEAR(folded.start.y, 0, 1e-6);
    EXPECT_NEAR(folded.end.x, 0, 1e-6);
    EXPECT_NEAR(folded.end.y, -1, 1e-6);
    Pt mid = Cubic(folded, 0.5);
    EXPECT_NEAR(mid.x, -std::sqrt(0.5), 1e-3);
    EXPECT_NEAR(mid.y, -std::sqrt(0.5), 1e-3);
    EXPECT_LT(RadialError(folded, 1), 1e-3);
    EXPECT_LT(offsetter.OffsetError(arc, folded), 1e-3);

    // The member offsetter's own result keeps the handles' direction: a loop, far off.
    PathMember plain = MemberOffsetter::Offset(arc, -3);
    EXPECT_GT(offsetter.OffsetError(arc, plain), 0.1);

    // Short of the centre nothing folds.
    ContourOffsetter inwards(-1, OUTLINE_ROUND, 60, 0.01f);
    PathMember shrunk = inwards.OffsetPiece(arc);
    EXPECT_LT(RadialError(shrunk, 1), 1e-3);
    Pt half = Cubic(shrunk, 0.5);
    EXPECT_NEAR(half.x, std::sqrt(0.5), 1e-3);
}
