#include <gtest/gtest.h>

#include <cmath>

#include "geomkit/WQSegmentClickOn.h"
#include "geomkit/WSegment.h"

namespace {

using P = WPont<float>;

WSegment Line(P a, P b) {
    WSegment s;
    s.Initialize(a, b);
    return s;
}

} // namespace

TEST(WQSegmentClickOn, ClicksOnLines) {
    WSegment s = Line(P(0, 0), P(10, 0));
    struct Case {
        P click;
        int hit;
        float t;
    } cases[] = {
        {P(5, 0.5f), 1, 0.5f}, {P(10.5f, 0), 1, 1.05f}, // up to tol beyond the end
        {P(11.5f, 0), 0, 0},   {P(-0.5f, 0), 0, 0},     // never before the start
        {P(5, 1.5f), 0, 0},    {P(std::nanf(""), 0), 0, 0},
    };
    WQSegmentClickOn q;
    for (const Case& c : cases) {
        q.Initialize(c.click, 1);
        EXPECT_EQ(q.Answer(&s), c.hit) << c.click.x << "," << c.click.y;
        if (c.hit) {
            EXPECT_FLOAT_EQ(q.GetClickedParam(), c.t);
        }
    }

    WSegment point = Line(P(3, 3), P(3, 3));
    q.Initialize(P(3.5f, 3), 1);
    EXPECT_EQ(q.Answer(&point), 1);
    EXPECT_EQ(q.GetClickedParam(), 0);
    q.Initialize(P(4, 3), 1);
    EXPECT_EQ(q.Answer(&point), 0);

    COXSPtr<WBezierRef> ref = s.IsPointNear(P(2, -0.5f), 1);
    ASSERT_FALSE(ref.IsEmpty());
    EXPECT_EQ(ref->IsNodeRef(), 0);
    EXPECT_FLOAT_EQ(static_cast<WSegmentRef*>(ref.Get())->GetParam(), 0.2f);
    EXPECT_TRUE(s.IsPointNear(P(2, 5), 1).IsEmpty());
    EXPECT_EQ(s.HitTest(P(2, 0), 0.1f), 1);
}

TEST(WQSegmentClickOn, ClicksOnCurves) {
    // y(t) = 30·t·(1 − t), x(t) = 30t² − 20t³ (scaled by 10): the top is (5, 7.5) at t = 0.5.
    WSegment arch;
    arch.Initialize(P(0, 0), P(0, 10), P(10, 10), P(10, 0));
    WQSegmentClickOn q;
    q.Initialize(P(5, 7.7f), 0.5f);
    ASSERT_EQ(q.Answer(&arch), 1);
    EXPECT_NEAR(q.GetClickedParam(), 0.5, 0.02);
    P on = arch.CoordAtParam(0.2);
    q.Initialize(P(on.x + 0.1f, on.y), 0.5f);
    ASSERT_EQ(q.Answer(&arch), 1);
    EXPECT_NEAR(q.GetClickedParam(), 0.2, 0.03);

    q.Initialize(P(5, 5), 0.5f); // inside the control box, away from the curve
    EXPECT_EQ(q.Answer(&arch), 0);
    q.Initialize(P(5, 20), 0.5f); // outside the grown control box
    EXPECT_EQ(q.Answer(&arch), 0);
    q.Initialize(P(std::nanf(""), 5), 0.5f);
    EXPECT_EQ(q.Answer(&arch), 0);

    // Copies share the clipper but keep their own click.
    WQSegmentClickOn copy(q);
    copy.Initialize(P(5, 7.5f), 0.5f);
    EXPECT_EQ(copy.Answer(&arch), 1);
    EXPECT_EQ(arch.HitTest(P(5, 7.5f), 0.5f), 1);
}
