#include <cmath>
#include <numbers>

#include <gtest/gtest.h>

#include "NodeEditTestUtil.h"
#include "PathTestUtil.h"
#include "pathkit/CornerEdit.h"
#include "pathkit/NodeEdit.h"
#include "pathkit/Path.h"
#include "pathkit/PathQueries.h"
#include "pathkit/SubPathArc.h"

using namespace nodetest;

namespace {

void ExpectPoint(const floatPoint& p, double x, double y, double tol = 1e-4) {
    EXPECT_NEAR(p.x, x, tol) << "x of " << p.x << "," << p.y;
    EXPECT_NEAR(p.y, y, tol) << "y of " << p.x << "," << p.y;
}

float Rad(double deg) {
    return float(deg * std::numbers::pi / 180);
}

// A cubic of the arc with handles r g / 3 strays inside the circle by up to 1.5 % for a
// quarter turn (0.98479 r at the middle).
void ExpectOnCircle(const PathMember& m, const floatPoint& c, double r) {
    for (int k = 0; k <= 20; ++k) {
        double d = Dist(At(m, k / 20.0), c);
        EXPECT_LE(d, r * 1.0001);
        EXPECT_GE(d, r * 0.984);
    }
}

} // namespace

TEST(SubPathArc, PiecesOfAtMost90Point1Degrees) {
    struct Case {
        double from, to; // degrees
        int pieces;
    };
    const Case cases[] = {
        {0, 90, 1},    {0, 90.09, 1}, {0, 90.11, 2}, {0, 90.2, 2}, {45, 135, 1},  {0, 180, 2},
        {0, 180.3, 3}, {0, -90, 1},   {90, -100, 3}, {0, 360, 4},  {0, 0.005, 0}, // below 0.0001
                                                                                  // rad
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.from << " to " << c.to);
        SubPath sp;
        Arc(floatPoint(1, 2), 10, Rad(c.from), Rad(c.to), sp);
        ASSERT_EQ(sp.members.Filled(), c.pieces);
        if (!c.pieces) continue;
        EXPECT_TRUE(IsContinuous(sp));
        ExpectPoint(sp.members[0].start, 1 + 10 * std::cos(Rad(c.from)),
                    2 + 10 * std::sin(Rad(c.from)));
        ExpectPoint(sp.members.last()->end, 1 + 10 * std::cos(Rad(c.to)),
                    2 + 10 * std::sin(Rad(c.to)));
        for (const PathMember& m : sp.members) {
            EXPECT_EQ(m.flags, 0x284);
            ExpectOnCircle(m, floatPoint(1, 2), 10);
        }
    }
}

TEST(SubPathArc, HandlesLieOnTheTangents) {
    SubPath sp;
    Arc(floatPoint(0, 0), 10, 0, Rad(90), sp);
    ASSERT_EQ(sp.members.Filled(), 1);
    const double h = 10 * std::numbers::pi / 2 / 3; // 5.23599
    ExpectPoint(sp.members[0].start, 10, 0);
    ExpectPoint(sp.members[0].ctrl1, 10, h);
    ExpectPoint(sp.members[0].ctrl2, h, 10);
    ExpectPoint(sp.members[0].end, 0, 10);

    // Clockwise: the handles point the other way round.
    SubPath cw;
    Arc(floatPoint(0, 0), 10, 0, Rad(-90), cw);
    ExpectPoint(cw.members[0].ctrl1, 10, -h);
    ExpectPoint(cw.members[0].ctrl2, h, -10);

    // Appended after what the sub-path holds, beside the path's own arc builder.
    Path path(0.01f);
    Arc(path, 0, 0, 10, 0, std::numbers::pi / 2, 1);
    path.ClosePath();
    EXPECT_EQ(path.subPaths[0].members.Filled(), 2); // one cubic per 45 degrees there
    Arc(floatPoint(0, 0), 10, Rad(90), Rad(180), path.subPaths[0]);
    EXPECT_EQ(path.subPaths[0].members.Filled(), 3);
}

TEST(SubPathArc, BadSweepsAddNothingOrThrow) {
    SubPath sp;
    sp.members.Append(Line({0, 0}, {1, 0}));
    Arc(floatPoint(0, 0), 10, 0, kNaN, sp);
    Arc(floatPoint(0, 0), 10, kInf, 0, sp);
    Arc(floatPoint(kNaN, 0), 10, 0, 1, sp);
    Arc(floatPoint(0, 0), kInf, 0, 1, sp);
    EXPECT_EQ(sp.members.Filled(), 1);
    // 1e6 radians would take more than 65534 pieces.
    EXPECT_THROW(Arc(floatPoint(0, 0), 10, 0, 1e6f, sp), PathMemberEDynArr::LimitCheck);
    EXPECT_EQ(sp.members.Filled(), 1);
}

TEST(RoundCornerAt, RightAngleGetsAQuarterArc) {
    struct Case {
        const char* name;
        floatPoint a, b, c; // the corner b between a -> b and b -> c
        float r;
        floatPoint centre, p, q; // fillet centre and where it touches each side
        int pieces;
    };
    // From the corner to where the fillet touches: r tan(turn / 2), r / tan(22.5) at 135.
    const double t45 = 5 * std::tan(std::numbers::pi / 8);  // 2.0711
    const double t135 = 1 / std::tan(std::numbers::pi / 8); // 2.4142
    const Case cases[] = {
        {"left", {0, 0}, {10, 0}, {10, 10}, 2, {8, 2}, {8, 0}, {10, 2}, 1},
        {"right", {0, 0}, {10, 0}, {10, -10}, 3, {7, -3}, {7, 0}, {10, -3}, 1},
        {"obtuse",
         {0, 0},
         {10, 0},
         {20, 10},
         5,
         {float(10 - t45), 5},
         {float(10 - t45), 0},
         {float(10 + t45 * std::sqrt(0.5)), float(t45 * std::sqrt(0.5))},
         1},
        // Turning by 135 degrees: two pieces of 67.5.
        {"acute",
         {0, 0},
         {10, 0},
         {0, 10},
         1,
         {float(10 - t135), 1},
         {float(10 - t135), 0},
         {float(10 - t135 * std::sqrt(0.5)), float(t135 * std::sqrt(0.5))},
         2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SubPath sp = Polyline({c.a, c.b, c.c}, false);
        ASSERT_EQ(RoundCornerAt(sp, 1, c.r), c.pieces);
        ASSERT_EQ(sp.members.Filled(), 2 + c.pieces);
        EXPECT_TRUE(IsContinuous(sp));
        const PathMember& prev = sp.members[0];
        const PathMember& next = *sp.members.last();
        // The centre is found to within the accuracy (0.01).
        ExpectPoint(prev.end, c.p.x, c.p.y, 0.01);
        EXPECT_EQ(prev.start, c.a);
        EXPECT_EQ(next.end, c.c);
        ExpectPoint(next.start, c.q.x, c.q.y, 0.01);
        EXPECT_TRUE(next.IsSmooth());
        for (int k = 1; k <= c.pieces; ++k) {
            const PathMember& m = sp.members[std::uint16_t(k)];
            EXPECT_EQ(m.flags, 0x284 | PM_SELECTED);
            ExpectOnCircle(m, c.centre, c.r);
        }
        // Tangent to both sides, to within the accuracy over the radius.
        EXPECT_NEAR(Angle(prev, sp.members[1]), 0, 0.01 / c.r);
        EXPECT_NEAR(Angle(sp.members[std::uint16_t(c.pieces)], next), 0, 0.01 / c.r);
    }
}

TEST(RoundCornerAt, QuarterArcHandles) {
    SubPath sp = Polyline({{0, 0}, {10, 0}, {10, 10}}, false);
    ASSERT_EQ(RoundCornerAt(sp, 1, 2), 1);
    const double h = 2 * std::numbers::pi / 2 / 3; // 1.0472
    ExpectPoint(sp.members[1].start, 8, 0);
    ExpectPoint(sp.members[1].ctrl1, 8 + h, 0);
    ExpectPoint(sp.members[1].ctrl2, 10, 2 - h);
    ExpectPoint(sp.members[1].end, 10, 2);
    EXPECT_EQ(sp.members[0].end, sp.members[1].start);
    EXPECT_EQ(sp.members[1].end, sp.members[2].start);
}

TEST(RoundCornerAt, CurveSide) {
    // A straight curve with uneven handles: the foot point comes from its flattening.
    SubPath sp = Contour({Curve({0, 0}, {3, 0}, {7, 0}, {10, 0}), Line({10, 0}, {10, 10})});
    ASSERT_EQ(RoundCornerAt(sp, 1, 2), 1);
    EXPECT_TRUE(sp.members[0].IsCurve());
    ExpectPoint(sp.members[0].end, 8, 0, 0.02);
    EXPECT_EQ(sp.members[0].end, sp.members[1].start);
    ExpectPoint(sp.members[2].start, 10, 2, 1e-3);
    ExpectOnCircle(sp.members[1], floatPoint(8, 2), 2);
}

TEST(RoundCornerAt, ClosedContourNodeZero) {
    SubPath sp = Polyline({{0, 0}, {10, 0}, {10, 10}, {0, 10}}, true);
    ASSERT_EQ(RoundCornerAt(sp, 0, 2), 1);
    ASSERT_EQ(sp.members.Filled(), 5);
    EXPECT_TRUE(sp.IsClosed());
    EXPECT_TRUE(IsContinuous(sp));
    ExpectPoint(sp.members[0].start, 0, 2, 1e-3);
    ExpectPoint(sp.members[0].end, 2, 0, 1e-3);
    EXPECT_EQ(sp.members[1].start, sp.members[0].end);
}

TEST(RoundCornerAt, NoFilletChangesNothing) {
    struct Case {
        const char* name;
        unsigned node;
        float r;
    };
    const Case cases[] = {
        {"radius beyond the sides", 1, 20}, {"zero radius", 1, 0}, {"negative radius", 1, -2},
        {"radius not a number", 1, kNaN},   {"open start", 0, 2},  {"beyond the members", 7, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SubPath sp = Polyline({{0, 0}, {10, 0}, {10, 10}}, false);
        EXPECT_EQ(RoundCornerAt(sp, c.node, c.r), 0);
        EXPECT_EQ(pathtest::Describe(sp), "0,0 L10,0 L10,10");
    }
    // Straight on: no turn to round.
    SubPath straight = Polyline({{0, 0}, {10, 0}, {20, 0}}, false);
    EXPECT_EQ(RoundCornerAt(straight, 1, 2), 0);
    EXPECT_EQ(straight.members.Filled(), 2);
}

TEST(RoundCorner, AppendsTheArcAndCutsBothMembers) {
    PathMember prev = Line({0, 0}, {10, 0}), next = Line({10, 0}, {10, 10});
    SubPath out(0.01f);
    ASSERT_EQ(RoundCorner(prev, next, 2, out), 0);
    ASSERT_EQ(out.members.Filled(), 1);
    EXPECT_EQ(prev.end, out.members[0].start);
    EXPECT_EQ(next.start, out.members[0].end);
    EXPECT_EQ(prev.start, floatPoint(0, 0));
    EXPECT_EQ(next.end, floatPoint(10, 10));
    EXPECT_TRUE(prev.IsChanged() && next.IsChanged());
}

TEST(CreateCornerAt, ExtendsTheNeighboursOverAChamfer) {
    SubPath sp = Polyline({{0, 0}, {10, 0}, {12, 2}, {12, 10}, {0, 10}}, true);
    sp.members[2].flags |= PM_SMOOTH | PM_SYMMETRIC;
    EXPECT_EQ(CreateCornerAt(sp, 1), 1);
    EXPECT_EQ(pathtest::Describe(sp), "0,0 L12,0 L12,10 L0,10 L0,0");
    EXPECT_FALSE(sp.members[1].IsSmooth() || sp.members[1].IsSymmetric());
    EXPECT_TRUE(sp.members[0].IsChanged() && sp.members[1].IsChanged());
}

TEST(CreateCornerAt, UTurnKeepsTheCurveAsALine) {
    // The curve's end tangent lies nearer the way on: it meets the line before it at (19, 0).
    SubPath end = Contour(
        {Line({0, 0}, {10, 0}), Curve({10, 0}, {13, 0}, {13, 2}, {10, 3}), Line({10, 3}, {0, 3})});
    EXPECT_EQ(CreateCornerAt(end, 1), 0);
    ASSERT_EQ(end.members.Filled(), 3);
    ExpectPoint(end.members[0].end, 19, 0);
    ExpectPoint(end.members[1].start, 19, 0);
    EXPECT_FALSE(end.members[1].IsCurve());
    EXPECT_EQ(end.members[1].end, floatPoint(10, 3));

    // Its start tangent lies nearer: it meets the line after it at (4, 3).
    SubPath start = Contour({Line({0, 0}, {10, 0}), Curve({10, 0}, {8, 1}, {8, 3}, {10, 3}),
                             Line({10, 3}, {0, 3}, PM_SMOOTH)});
    EXPECT_EQ(CreateCornerAt(start, 1), 0);
    EXPECT_EQ(pathtest::Describe(start), "0,0 L10,0 L4,3 L0,3");
    EXPECT_FALSE(start.members[2].IsSmooth());
}

TEST(CreateCornerAt, RefusedCases) {
    // A line at a U-turn.
    SubPath u = Polyline({{0, 0}, {10, 0}, {10, 2}, {0, 2}}, false);
    EXPECT_EQ(CreateCornerAt(u, 1), -1);
    EXPECT_EQ(pathtest::Describe(u), "0,0 L10,0 L10,2 L0,2");
    // The first and last member of an open contour lack a neighbour.
    SubPath open = Polyline({{0, 0}, {10, 0}, {12, 2}, {12, 10}}, false);
    EXPECT_EQ(CreateCornerAt(open, 0), -1);
    EXPECT_EQ(CreateCornerAt(open, 2), -1);
    EXPECT_EQ(open.members.Filled(), 3);
    // Parallel, not collinear tangents.
    SubPath step = Polyline({{0, 0}, {10, 0}, {10, 2}, {20, 2}}, false);
    EXPECT_EQ(CreateCornerAt(step, 1), -1);
    SubPath two = Polyline({{0, 0}, {10, 0}}, true);
    EXPECT_EQ(CreateCornerAt(two, 0), -1);
}

TEST(CreateCornersIn, WorksThroughTheSelectedMembers) {
    // Two chamfers of an octagon-like contour are selected, a third is not.
    SubPath sp =
        Polyline({{2, 0}, {10, 0}, {12, 2}, {12, 10}, {10, 12}, {2, 12}, {0, 10}, {0, 2}}, true);
    sp.members[1].flags |= PM_SELECTED;
    sp.members[3].flags |= PM_SELECTED;
    EXPECT_EQ(CreateCornersIn(sp), 1);
    EXPECT_EQ(pathtest::Describe(sp), "2,0 L12,0 L12,12 L2,12 L0,10 L0,2 L2,0");

    SubPath none = Polyline({{0, 0}, {10, 0}, {12, 2}, {12, 10}}, false);
    EXPECT_EQ(CreateCornersIn(none), 0);
}
