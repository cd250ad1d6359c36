#include <gtest/gtest.h>

#include <cmath>

#include "geomkit/WQSegmentCrossing.h"
#include "geomkit/WSegment.h"

namespace {

using P = WPont<float>;

WSegment Line(P a, P b) {
    WSegment s;
    s.Initialize(a, b);
    return s;
}

} // namespace

TEST(WQSegmentCrossing, StraightSegments) {
    WSegment s = Line(P(0, -1), P(0, 1));
    WQSegmentCrossing q;
    q.Initialize(P(-1, 0), P(1, 0), WQSegmentCrossing::eInfinite);
    EXPECT_EQ(s.Question(q), 1);
    EXPECT_DOUBLE_EQ(q.GetParam(0), 0.5);

    q.Initialize(P(1, 0), P(2, 0), WQSegmentCrossing::eBounded);
    EXPECT_EQ(q.Answer(&s), 0);
    q.Initialize(P(1, 0), P(2, 0), WQSegmentCrossing::eInfinite);
    EXPECT_EQ(q.Answer(&s), 1);

    q.Initialize(P(-1, 2), P(1, 2), WQSegmentCrossing::eInfinite); // beyond the segment's end
    EXPECT_EQ(q.Answer(&s), 0);
    q.Initialize(P(1, -5), P(1, 5), WQSegmentCrossing::eInfinite); // parallel
    EXPECT_EQ(q.Answer(&s), 0);
    WSegment point = Line(P(0, 0), P(0, 0));
    q.Initialize(P(-1, 0), P(1, 0), WQSegmentCrossing::eInfinite);
    EXPECT_EQ(q.Answer(&point), 0);
    EXPECT_EQ(q.Answer(nullptr), 0);
}

TEST(WQSegmentCrossing, CurvesKeepRootsInOrder) {
    // y(t) = 30·t·(1 − t) crosses y = 5 at t = (1 ± √(1/3)) / 2.
    WSegment arch;
    arch.Initialize(P(0, 0), P(0, 10), P(10, 10), P(10, 0));
    WQSegmentCrossing q;
    q.Initialize(P(-1, 5), P(4, 5), WQSegmentCrossing::eInfinite);
    ASSERT_EQ(arch.Question(q), 2);
    EXPECT_NEAR(q.GetParam(0), (1 - std::sqrt(1.0 / 3)) / 2, 1e-9);
    EXPECT_NEAR(q.GetParam(1), (1 + std::sqrt(1.0 / 3)) / 2, 1e-9);
    q.Initialize(P(-1, 5), P(4, 5), WQSegmentCrossing::eBounded); // only the first lies on it
    ASSERT_EQ(q.Answer(&arch), 1);
    EXPECT_NEAR(q.GetParam(0), (1 - std::sqrt(1.0 / 3)) / 2, 1e-9);

    WSegment flat; // a curve lying on the line: no crossing reported
    flat.Initialize(P(0, 0), P(3, 0), P(6, 0), P(9, 0));
    q.Initialize(P(0, 0), P(1, 0), WQSegmentCrossing::eInfinite);
    EXPECT_EQ(q.Answer(&flat), 0);
}

TEST(WQSegmentCrossing, IntersectionPoint) {
    P out;
    EXPECT_EQ(WQSegmentCrossing::IntersectionPoint(P(0, 0), P(2, 2), P(0, 2), P(2, 0), out), 1);
    EXPECT_EQ(out, P(1, 1));
    EXPECT_EQ(WQSegmentCrossing::IntersectionPoint(P(0, 0), P(1, 1), P(0, 1), P(1, 2), out), 0);
}
