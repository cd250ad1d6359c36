#include <gtest/gtest.h>

#include <cmath>

#include "geomkit/WQInsideSubPath.h"
#include "geomkit/WSubPath.h"

namespace {

using SubPath = WSubPath<WNode, WSegment>;
using P = WPont<float>;

COXSPtr<SubPath> Polygon(std::initializer_list<P> points, bool closed = true) {
    COXSPtr<SubPath> sp(new SubPath);
    bool first = true;
    for (const P& p : points) {
        if (first)
            sp->MoveTo(p.x, p.y);
        else
            sp->LineTo(p.x, p.y);
        first = false;
    }
    if (closed) sp->Close();
    return sp;
}

int Inside(const COXSPtr<SubPath>& sp, P p) {
    WQInsideSubPath q;
    q.Initialize(p);
    return q.Answer(sp.Get());
}

} // namespace

TEST(WQInsideSubPath, SquaresAndDiamonds) {
    COXSPtr<SubPath> square = Polygon({P(0, 0), P(1, 0), P(1, 1), P(0, 1)});
    EXPECT_EQ(Inside(square, P(0.5f, 0.5f)), 1);
    EXPECT_EQ(Inside(square, P(1.5f, 0.5f)), 0);
    EXPECT_EQ(Inside(square, P(0.5f, 0.999f)), 1);

    // Points level with a corner: the rays pass through nodes.
    COXSPtr<SubPath> diamond = Polygon({P(0, -2), P(2, 0), P(0, 2), P(-2, 0)});
    for (float x : {-1.5f, -0.5f, 0.0f, 0.5f, 1.5f})
        EXPECT_EQ(Inside(diamond, P(x, 0)), Inside(diamond, P(x, 0.01f))) << x;
    EXPECT_EQ(Inside(diamond, P(0, 0)), 1);
    EXPECT_EQ(Inside(diamond, P(0.5f, 0)), 1);
    // The box test is half-open: the rightmost corner itself is outside.
    EXPECT_EQ(Inside(diamond, P(2, 0)), 0);
    // Level with the top corner, beside the diamond.
    EXPECT_EQ(Inside(diamond, P(-1.9f, 1.9f)), 0);
}

TEST(WQInsideSubPath, CurvedOutline) {
    // A circle of radius 10 from four quarter curves.
    const float k = 5.5228475f;
    COXSPtr<SubPath> circle(new SubPath);
    circle->MoveTo(10, 0);
    circle->CurveTo(WVektor<float>(0, k), WVektor<float>(k, 0), P(0, 10));
    circle->CurveTo(WVektor<float>(-k, 0), WVektor<float>(0, k), P(-10, 0));
    circle->CurveTo(WVektor<float>(0, -k), WVektor<float>(-k, 0), P(0, -10));
    circle->CurveTo(WVektor<float>(k, 0), WVektor<float>(0, -k), P(10, 0));
    circle->Close();
    ASSERT_TRUE(circle->IsClosed());
    EXPECT_EQ(Inside(circle, P(0, 0)), 1);
    EXPECT_EQ(Inside(circle, P(6.9f, 6.9f)), 1);
    EXPECT_EQ(Inside(circle, P(7.2f, 7.2f)), 0); // inside the box, outside the circle
    EXPECT_EQ(Inside(circle, P(0, 9.99f)), 1);
}

TEST(WQInsideSubPath, OpenDegenerateAndBadInput) {
    COXSPtr<SubPath> open = Polygon({P(0, 0), P(1, 0), P(1, 1), P(0, 1)}, false);
    EXPECT_EQ(Inside(open, P(0.5f, 0.5f)), 0);
    COXSPtr<SubPath> square = Polygon({P(0, 0), P(1, 0), P(1, 1), P(0, 1)});
    EXPECT_EQ(Inside(square, P(std::nanf(""), 0.5f)), 0);
    EXPECT_EQ(Inside(square, P(INFINITY, 0.5f)), 0);
    WQInsideSubPath q;
    EXPECT_EQ(q.Answer(static_cast<SubPath*>(nullptr)), 0);
    COXSPtr<SubPath> flat = Polygon({P(0, 0), P(1, 0), P(2, 0)});
    EXPECT_EQ(Inside(flat, P(1, 0)), 0);
    COXSPtr<SubPath> empty(new SubPath);
    empty->Close();
    EXPECT_EQ(Inside(empty, P(0, 0)), 0);
}
