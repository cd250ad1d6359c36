#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "geomkit/WClipBezierSegment.h"
#include "geomkit/WSegment.h"

namespace {

using P = WPont<float>;

WSegment Line(float x0, float y0, float x1, float y1) {
    WSegment s;
    s.Initialize(P(x0, y0), P(x1, y1));
    return s;
}

WSegment Curve(P p0, P c1, P c2, P p3) {
    WSegment s;
    s.Initialize(p0, c1, c2, p3);
    return s;
}

// Exposes the protected steps.
class Clipper : public WClipBezierSegment {
public:
    using WClipBezierSegment::AboveAxis;
    using WClipBezierSegment::BelowAxis;
    using WClipBezierSegment::DetermineDirection;
    using WClipBezierSegment::Position;
    using WClipBezierSegment::TransformRelativeIntervalToAbsolute;
};

const double kSqrt3Over6 = std::sqrt(3.0) / 6;

} // namespace

TEST(WClipBezierSegment, CutBezierAtAxisCases) {
    // y(t) = 10 − 60t + 60t², below 0 between 0.5 ∓ √3/6.
    const WSegment dip = Curve(P(0, 10), P(1, -10), P(2, -10), P(3, 10));
    // y(t) = 192 (t − 0.25)(t − 0.5)(t − 0.75).
    const WSegment wave = Curve(P(0, -18), P(1, 26), P(2, -26), P(3, 18));
    const WSegment waveDown = Curve(P(0, 18), P(1, -26), P(2, 26), P(3, -18));
    struct Case {
        const char* name;
        WSegment segment;
        double axis;
        int coordinate;
        int result;
        double first[2];
        double second[2];
    };
    const Case cases[] = {
        {"line rising through x = 5", Line(0, 0, 10, 0), 5, 0, 1, {0.5, 1}, {}},
        {"line falling through x = 5", Line(10, 0, 0, 0), 5, 0, 1, {0, 0.5}, {}},
        {"end on the axis, rest below", Line(0, 0, 5, 0), 5, 0, -1, {}, {}},
        {"start on the axis, rest above", Line(5, 0, 9, 3), 5, 0, 0, {}, {}},
        {"wholly above", Line(6, 0, 9, 3), 5, 0, 0, {}, {}},
        {"lying on the axis", Line(0, 2, 9, 2), 2, 1, -1, {}, {}},
        {"dip below the axis", dip, 0, 1, 2, {0, 0.5 - kSqrt3Over6}, {0.5 + kSqrt3Over6, 1}},
        {"dip wholly above a lower axis", dip, -10, 1, 0, {}, {}},
        {"three crossings from below", wave, 0, 1, 2, {0.25, 0.5}, {0.75, 1}},
        {"three crossings from above", waveDown, 0, 1, 2, {0, 0.25}, {0.5, 0.75}},
        // Touching the axis at t = 0.5 neither claims the part below nor splits the part above.
        {"touching from below", Curve(P(0, -10), P(1, 10), P(2, 10), P(3, -10)), 5, 1, -1, {}, {}},
        {"touching from above", Curve(P(0, 10), P(1, -10), P(2, -10), P(3, 10)), -5, 1, 0, {}, {}},
        // Any other coordinate reads every value as 0.
        {"unknown coordinate, axis above 0", Line(-9, -9, 9, 9), 1, 7, -1, {}, {}},
        {"unknown coordinate, axis below 0", Line(-9, -9, 9, 9), -1, 7, 0, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WClipBezierSegment clipper;
        WInterval first(-7, -7), second(-7, -7);
        ASSERT_EQ(clipper.CutBezierAtAxis(&c.segment, first, second, c.axis, c.coordinate),
                  c.result);
        if (c.result >= 1) {
            EXPECT_TRUE(first.IsInside());
            EXPECT_NEAR(first.Lower(), c.first[0], 1e-6);
            EXPECT_NEAR(first.Upper(), c.first[1], 1e-6);
        }
        if (c.result == 2) {
            EXPECT_TRUE(second.IsInside());
            EXPECT_NEAR(second.Lower(), c.second[0], 1e-6);
            EXPECT_NEAR(second.Upper(), c.second[1], 1e-6);
        }
    }
}

TEST(WClipBezierSegment, AxisTestsAndPositions) {
    Clipper c;
    EXPECT_EQ(c.BelowAxis(5, 4, 4, 5, 5), 1);
    EXPECT_EQ(c.BelowAxis(5, 5, 4, 5, 5), 0); // control points must lie strictly below
    EXPECT_EQ(c.AboveAxis(5, 6, 6, 5, 5), 1);
    EXPECT_EQ(c.AboveAxis(5, 6, 5, 5, 5), 0);

    c.Initialize(0, 0, 10, 10);
    const struct {
        P p;
        int code;
    } positions[] = {{P(5, 5), 0},  {P(10, 5), 1},  {P(10, 10), 2}, {P(5, 10), 3},  {P(-1, 10), 4},
                     {P(-1, 5), 5}, {P(-1, -1), 6}, {P(5, -1), 7},  {P(11, -1), 8}, {P(0, 0), 0}};
    for (const auto& p : positions)
        EXPECT_EQ(c.Position(p.p), p.code) << p.p.x << ", " << p.p.y;

    EXPECT_EQ(c.DetermineDirection("BLJF"), 1);
    EXPECT_EQ(c.DetermineDirection("FJLB"), -1);
    EXPECT_EQ(c.DetermineDirection("BJ"), 0);
    EXPECT_EQ(c.DetermineDirection("B"), 0);
    EXPECT_EQ(c.DetermineDirection(""), 0);
    EXPECT_EQ(c.DetermineDirection("FBF"), 0);

    WInterval outer(0.2, 0.6), rel(0.5, 1);
    outer.Initialize(0.2, 0.6, 0);
    rel.Initialize(0.5, 1, 0);
    c.TransformRelativeIntervalToAbsolute(outer, rel);
    EXPECT_NEAR(rel.Lower(), 0.4, 1e-12);
    EXPECT_NEAR(rel.Upper(), 0.6, 1e-12);
    EXPECT_TRUE(rel.IsInside());
}

TEST(WClipBezierSegment, InitializeForms) {
    WClipBezierSegment c;
    c.Initialize(P(5, 5), 2.0);
    EXPECT_EQ(c.GetMinX(), 4);
    EXPECT_EQ(c.GetMaxX(), 6);
    EXPECT_EQ(c.GetMinY(), 4);
    EXPECT_EQ(c.GetMaxY(), 6);
    c.Initialize(P(5, 5), 4.0, 2.0);
    EXPECT_EQ(c.GetMinX(), 3);
    EXPECT_EQ(c.GetMaxY(), 6);
    // Taken as given, not reordered.
    c.Initialize(P(9, 8), P(1, 2));
    EXPECT_EQ(c.GetMinX(), 9);
    EXPECT_EQ(c.GetMaxX(), 1);
}

TEST(WClipBezierSegment, SegmentInsideAndOutside) {
    WClipBezierSegment c;
    c.Initialize(0, 0, 10, 10);
    const WSegment inside = Curve(P(1, 1), P(3, 9), P(7, 9), P(9, 1));
    ASSERT_EQ(c.CutBezier(&inside, 1), 1);
    EXPECT_EQ(c.GetInterval(0).Lower(), 0);
    EXPECT_EQ(c.GetInterval(0).Upper(), 1);
    EXPECT_EQ(c.GetPiece(0)->GetP3(), P(9, 1));
    EXPECT_TRUE(c.GetSides(0).IsEmpty());
    EXPECT_TRUE(c.GetSides(1).IsEmpty());

    const WSegment outside = Line(20, 20, 30, 25);
    EXPECT_EQ(c.CutBezier(&outside, 1), 0);
    EXPECT_TRUE(c.GetPiece(0).IsEmpty());
    EXPECT_EQ(c.GetSides(0), "J");
    EXPECT_EQ(c.CutBezier(nullptr, 1), 0);
}

TEST(WClipBezierSegment, LineCrossingTheBox) {
    WClipBezierSegment c;
    c.Initialize(0, 0, 10, 10);
    const WSegment s = Line(-5, 5, 15, 5);
    ASSERT_EQ(c.CutBezier(&s, 1), 1);
    EXPECT_NEAR(c.GetInterval(0).Lower(), 0.25, 1e-7);
    EXPECT_NEAR(c.GetInterval(0).Upper(), 0.75, 1e-7);
    EXPECT_NEAR(c.GetPiece(0)->GetP0().x, 0, 1e-5);
    EXPECT_NEAR(c.GetPiece(0)->GetP3().x, 10, 1e-5);
    EXPECT_EQ(c.GetSides(0), "B");
    EXPECT_EQ(c.GetSides(1), "J");
    EXPECT_EQ(c.GetStartPosition(), 5);
    EXPECT_EQ(c.GetEndPosition(), 1);
    EXPECT_EQ(c.GetGapTurn(0).entryFlag, 1);
    EXPECT_EQ(c.GetGapTurn(0).entryTurn, 0);
    EXPECT_EQ(c.GetGapTurn(1).exitFlag, 1);
    EXPECT_EQ(c.GetGapTurn(1).exitTurn, 0);

    // Without side tracking the strings are left alone.
    const WSegment other = Line(5, -5, 5, 15);
    ASSERT_EQ(c.CutBezier(&other, 0), 1);
    EXPECT_EQ(c.GetSides(0), "B");
}

TEST(WClipBezierSegment, CurveLeavingAndComingBack) {
    // Starts inside, leaves through the top, passes round the upper left corner and comes back
    // in through the left side.
    WClipBezierSegment c;
    c.Initialize(0, 0, 10, 10);
    const WSegment s = Curve(P(5, 5), P(5, 25), P(-20, 2), P(5, 2));
    ASSERT_EQ(c.CutBezier(&s, 1), 2);
    EXPECT_EQ(c.GetInterval(0).Lower(), 0);
    EXPECT_NEAR(c.GetInterval(0).Upper(), 0.106315, 1e-5);
    EXPECT_NEAR(c.GetInterval(1).Lower(), 0.92149, 1e-5);
    EXPECT_EQ(c.GetInterval(1).Upper(), 1);
    EXPECT_NEAR(c.GetPiece(0)->GetP3().y, 10, 1e-4);
    EXPECT_NEAR(c.GetPiece(1)->GetP0().x, 0, 1e-4);
    EXPECT_TRUE(c.GetSides(0).IsEmpty());
    EXPECT_EQ(c.GetSides(1), "FB");
    EXPECT_TRUE(c.GetSides(2).IsEmpty());
    // From the top side a quarter turn anticlockwise to the left side.
    EXPECT_EQ(c.GetGapTurn(1).exitFlag, 1);
    EXPECT_EQ(c.GetGapTurn(1).exitTurn, 2);
    EXPECT_EQ(c.GetGapTurn(0).entryFlag, 0);
}

TEST(WClipBezierSegment, LineThroughACorner) {
    WClipBezierSegment c;
    c.Initialize(0, 0, 10, 10);
    // Left of the box, through its lower left corner, below it.
    const WSegment s = Line(-5, 5, 5, -5);
    EXPECT_EQ(c.CutBezier(&s, 1), 0);
    EXPECT_EQ(c.GetSides(0), "BL");
    EXPECT_EQ(c.GetStartPosition(), 5);
    EXPECT_EQ(c.GetEndPosition(), 7);
    const WClipBezierSegment::GapTurn& turn = c.GetGapTurn(0);
    EXPECT_EQ(turn.entryFlag, 0);
    EXPECT_EQ(turn.exitFlag, 0);
    EXPECT_EQ(turn.exitTurn, 2);
}

TEST(WClipBezierSegment, PiecesMatchSampledCurve) {
    // Each result interval is inside the box and every sample inside the box lies in one.
    const WSegment curves[] = {
        Curve(P(-5, -5), P(30, 5), P(-20, 8), P(15, 15)),
        Curve(P(-3, 5), P(4, 20), P(6, -12), P(13, 5)),
        Curve(P(5, -3), P(-8, 4), P(18, 6), P(5, 13)),
        Curve(P(1, 1), P(12, 12), P(-2, 12), P(9, 1)),
        Line(-2, 11, 12, -1),
    };
    WClipBezierSegment c;
    c.Initialize(0, 0, 10, 10);
    for (const WSegment& s : curves) {
        const int n = c.CutBezier(&s, 1);
        for (int k = 0; k <= 1000; ++k) {
            const double t = k / 1000.0;
            const P p = s.CoordAtParam(t);
            const double margin = 1e-3;
            const bool clearlyIn =
                p.x > margin && p.x < 10 - margin && p.y > margin && p.y < 10 - margin;
            const bool clearlyOut =
                p.x < -margin || p.x > 10 + margin || p.y < -margin || p.y > 10 + margin;
            bool covered = false;
            for (int i = 0; i < n; ++i)
                covered |=
                    t >= c.GetInterval(i).Lower() - 1e-9 && t <= c.GetInterval(i).Upper() + 1e-9;
            if (clearlyIn) {
                EXPECT_TRUE(covered) << "t " << t;
            }
            if (clearlyOut) {
                EXPECT_FALSE(covered) << "t " << t;
            }
        }
        for (int i = 1; i < n; ++i)
            EXPECT_LT(c.GetInterval(i - 1).Upper(), c.GetInterval(i).Lower());
    }
}

TEST(WClipBezierSegment, NaNGivesNoPieces) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    WClipBezierSegment c;
    c.Initialize(0, 0, 10, 10);
    const WSegment s = Curve(P(nan, 1), P(2, 2), P(3, nan), P(4, 4));
    EXPECT_EQ(c.CutBezier(&s, 1), 0);
    WInterval a, b;
    EXPECT_EQ(c.CutBezierAtAxis(&s, a, b, 1, 0), -1);

    c.Initialize(nan, 0, 10, 10);
    const WSegment inside = Line(1, 1, 2, 2);
    EXPECT_EQ(c.CutBezier(&inside, 1), 0);
}
