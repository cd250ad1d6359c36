// Member hit tests, cutting, turning angles, coincidence, touch points, crossings, breaking,
// snapping and smoothing.

#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>

#include <gtest/gtest.h>

#include "PathTestUtil.h"
#include "pathkit/LPathMember.h"
#include "pathkit/NumericToolkit.h"
#include "pathkit/Path.h"
#include "pathkit/PathQueries.h"

namespace {

using pathtest::Polygon;
using pathtest::Square;

constexpr double Pi = std::numbers::pi;
constexpr std::uint32_t Half = 0x40000000u;
constexpr std::uint32_t Quarter = 0x20000000u;
constexpr std::uint32_t ThreeQuarters = 0x60000000u;

PathMember Line(floatPoint a, floatPoint b) {
    PathMember m(a, b);
    m.ctrl1 = a;
    m.ctrl2 = b;
    return m;
}

PathMember Curve(floatPoint a, floatPoint c1, floatPoint c2, floatPoint b) {
    PathMember m(a, b);
    m.flags = PM_CURVE;
    m.ctrl1 = c1;
    m.ctrl2 = c2;
    return m;
}

// An arch over [0, 10]: x = 30t^2 - 20t^3, y = 30t(1 - t). At t = 0.25 it passes
// (1.5625, 5.625), at 0.5 its top (5, 7.5), at 0.75 (8.4375, 5.625).
PathMember Arch() {
    return Curve({0, 0}, {0, 10}, {10, 10}, {10, 0});
}

double T(std::uint32_t param) {
    return double(param) / double(PM_PARAM_ONE);
}

void ExpectPoint(const floatPoint& p, double x, double y, double tol = 1e-5) {
    EXPECT_NEAR(p.x, x, tol);
    EXPECT_NEAR(p.y, y, tol);
}

// ---- member level

TEST(SegmentBeside, ProjectionAndDistance) {
    struct Case {
        floatPoint p;
        float tol;
        int beside;
        double t;
    } cases[] = {
        {{3, 0.5f}, 1, 1, 0.3},    // inside the band
        {{3, 1}, 1, 0, 0.3},       // distance equal to tol is not closer
        {{11, 0}, 2, 0, 1.1},      // on the line beyond the end
        {{-0.5f, 0}, 1, 0, -0.05}, // before the start
        {{10, 0}, 0.5f, 1, 1.0},   // the end itself
    };
    for (const Case& c : cases) {
        double t = -7;
        EXPECT_EQ(IsBeside({0, 0}, {10, 0}, c.p, c.tol, t), c.beside) << pathtest::Pt(c.p);
        EXPECT_NEAR(t, c.t, 1e-9) << pathtest::Pt(c.p);
    }
    double t = -7;
    EXPECT_EQ(IsBeside({2, 2}, {2, 2}, {2.5f, 2}, 1, t), 1);
    EXPECT_EQ(t, 0);
    EXPECT_EQ(IsBeside({2, 2}, {2, 2}, {3.5f, 2}, 1, t), 0);
}

TEST(MemberBeside, LineParametersAndEnds) {
    PathMember m = Line({0, 0}, {10, 0});
    std::uint32_t param = 7;
    EXPECT_EQ(m.IsBeside({2.5f, 0.2f}, 0.5f, 0.01f, param, 0), 1);
    EXPECT_EQ(param, Quarter);
    // Outside the box widened by tol.
    EXPECT_EQ(m.IsBeside({5, 0.6f}, 0.5f, 0.01f, param, 0), 0);
    // With ends allowed a point near the start snaps to it.
    EXPECT_EQ(m.IsBeside({0.3f, 0.3f}, 0.5f, 0.01f, param, 1), 1);
    EXPECT_EQ(param, 0u);
    EXPECT_EQ(m.IsBeside({9.8f, -0.4f}, 0.5f, 0.01f, param, 1), 1);
    EXPECT_EQ(param, PM_PARAM_ONE);
    // tol 0: only the end points themselves.
    EXPECT_EQ(m.IsBeside({0, 0}, 0, 0.01f, param, 0), 1);
    EXPECT_EQ(param, 0u);
    EXPECT_EQ(m.IsBeside({10, 0}, 0, 0.01f, param, 0), 1);
    EXPECT_EQ(param, PM_PARAM_ONE);
    EXPECT_EQ(m.IsBeside({5, 0}, 0, 0.01f, param, 0), 0);
    // Bad tolerances find nothing.
    EXPECT_EQ(m.IsBeside({5, 0}, -1, 0.01f, param, 0), 0);
    EXPECT_EQ(m.IsBeside({5, 0}, std::numeric_limits<float>::quiet_NaN(), 0.01f, param, 0), 0);
}

TEST(MemberBeside, CurveParameters) {
    PathMember m = Arch();
    std::uint32_t param = 0;
    ASSERT_EQ(m.IsBeside({5, 7.5f}, 0.05f, 0.01f, param, 0), 1);
    EXPECT_NEAR(T(param), 0.5, 0.004);
    ASSERT_EQ(m.IsBeside({1.5625f, 5.625f}, 0.05f, 0.01f, param, 0), 1);
    EXPECT_NEAR(T(param), 0.25, 0.004);
    ASSERT_EQ(m.IsBeside({8.4375f, 5.64f}, 0.05f, 0.01f, param, 0), 1);
    EXPECT_NEAR(T(param), 0.75, 0.004);
    // 0.04 above the top is beside with tol 0.05, 0.1 above is not.
    EXPECT_EQ(m.IsBeside({5, 7.54f}, 0.05f, 0.01f, param, 0), 1);
    EXPECT_EQ(m.IsBeside({5, 7.6f}, 0.05f, 0.01f, param, 0), 0);
    // Inside the control box but far from the curve.
    EXPECT_EQ(m.IsBeside({5, 2}, 0.05f, 0.01f, param, 0), 0);
}

TEST(MemberBeside, FineToleranceOnCoarseFlattening) {
    // Chords of a flattening at accuracy 2 stray far more than 0.01 from the curve; the point
    // on the curve must still be found.
    PathMember m = Arch();
    std::uint32_t param = 0;
    ASSERT_EQ(m.IsBeside({1.5625f, 5.625f}, 0.01f, 2.0f, param, 0), 1);
    EXPECT_NEAR(T(param), 0.25, 0.001);
}

TEST(MemberCut, CurveMatchesDeCasteljau) {
    PathMember m = Arch();
    m.flags |= PM_SMOOTH;
    PathMember out;
    ASSERT_EQ(m.Cut(Half, PM_PARAM_ONE, out, nullptr, nullptr), 1);
    EXPECT_EQ(out.flags, PM_CURVE | PM_SMOOTH);
    ExpectPoint(out.start, 5, 7.5);
    ExpectPoint(out.ctrl1, 7.5, 7.5);
    ExpectPoint(out.ctrl2, 10, 5);
    EXPECT_EQ(out.end, m.end); // exactly

    ASSERT_EQ(m.Cut(0, Half, out, nullptr, nullptr), 1);
    EXPECT_EQ(out.start, m.start);
    ExpectPoint(out.ctrl1, 0, 5);
    ExpectPoint(out.ctrl2, 2.5, 7.5);
    ExpectPoint(out.end, 5, 7.5);

    ASSERT_EQ(m.Cut(Quarter, ThreeQuarters, out, nullptr, nullptr), 1);
    ExpectPoint(out.start, 1.5625, 5.625);
    ExpectPoint(out.ctrl1, 3.4375, 8.125);
    ExpectPoint(out.ctrl2, 6.5625, 8.125);
    ExpectPoint(out.end, 8.4375, 5.625);

    floatPoint s(1.5f, 5.5f), e(8.5f, 5.5f);
    ASSERT_EQ(m.Cut(Quarter, ThreeQuarters, out, &s, &e), 1);
    EXPECT_EQ(out.start, s);
    EXPECT_EQ(out.end, e);
    ExpectPoint(out.ctrl1, 3.4375, 8.125);
}

TEST(MemberCut, LinesAndEmptyRanges) {
    PathMember m = Line({0, 0}, {10, 4});
    PathMember out;
    ASSERT_EQ(m.Cut(Quarter, Half, out, nullptr, nullptr), 1);
    ExpectPoint(out.start, 2.5, 1);
    ExpectPoint(out.end, 5, 2);
    EXPECT_FALSE(out.IsCurve());
    EXPECT_EQ(out.ctrl1, out.start);
    EXPECT_EQ(out.ctrl2, out.end);

    PathMember c = Arch();
    c.flags |= PM_SELECTED;
    EXPECT_EQ(c.Cut(Half, Half, out, nullptr, nullptr), 0);
    EXPECT_EQ(out.flags, c.flags);
    ExpectPoint(out.start, 5, 7.5);
    EXPECT_EQ(out.start, out.end);
    EXPECT_EQ(c.Cut(ThreeQuarters, Quarter, out, nullptr, nullptr), 0);
}

TEST(MemberAngles, SpinAndJunctionTurns) {
    // A left turn is positive, a right turn negative.
    EXPECT_NEAR(Curve({0, 0}, {10, 0}, {10, 0}, {10, 10}).Spin(), Pi / 2, 1e-9);
    EXPECT_NEAR(Curve({0, 0}, {10, 0}, {10, 0}, {10, -10}).Spin(), -Pi / 2, 1e-9);
    EXPECT_NEAR(Arch().Spin(), Pi, 1e-9); // up, then down
    EXPECT_EQ(Curve({0, 0}, {0, 0}, {10, 0}, {10, 10}).Spin(), 0);
    EXPECT_EQ(Line({0, 0}, {10, 10}).Spin(), 0);

    PathMember east = Line({0, 0}, {10, 0});
    EXPECT_NEAR(Angle(east, Line({10, 0}, {10, 10})), Pi / 2, 1e-9);
    EXPECT_NEAR(Angle(east, Line({10, 0}, {10, -5})), -Pi / 2, 1e-9);
    EXPECT_NEAR(Angle(east, Line({10, 0}, {20, 0})), 0, 1e-9);
    EXPECT_NEAR(Angle(east, Line({10, 0}, {0, 0})), Pi, 1e-9);
    // Curves use their control points: the arch ends heading down, then a line heads east.
    EXPECT_NEAR(Angle(Arch(), Line({10, 0}, {20, 0})), Pi / 2, 1e-9);
    EXPECT_NEAR(Angle(east, Curve({10, 0}, {10, 3}, {20, 3}, {20, 0})), Pi / 2, 1e-9);
    // A zero tangent gives 0.
    EXPECT_EQ(Angle(Curve({0, 0}, {0, 5}, {10, 0}, {10, 0}), east), 0);
}

TEST(MemberEqual, DirectionsAndTolerance) {
    PathMember line = Line({0, 0}, {10, 0});
    EXPECT_EQ(IsEqual(line, Line({0, 0}, {10, 0}), 0.01f), 1);
    EXPECT_EQ(IsEqual(line, Line({10, 0}, {0, 0}), 0.01f), -1);
    EXPECT_EQ(IsEqual(line, Line({0, 0}, {10, 0.001f}), 0.01f), 0);
    // A curve whose points all lie on the line but whose control points reach beyond it.
    EXPECT_EQ(IsEqual(line, Curve({0, 0}, {12, 0}, {-2, 0}, {10, 0}), 0.01f), 0);
    // A straight curve counts as a line.
    EXPECT_EQ(IsEqual(line, Curve({0, 0}, {3, 0.001f}, {7, 0}, {10, 0}), 0.01f), 1);

    PathMember arch = Arch();
    EXPECT_EQ(IsEqual(arch, Arch(), 0.01f), 1);
    PathMember back = Arch();
    back.Reverse();
    back.ctrl1.x += 0.005f;
    EXPECT_EQ(IsEqual(arch, back, 0.01f), -1);
    back.ctrl1.x += 0.01f; // now 0.015 off
    EXPECT_EQ(IsEqual(arch, back, 0.01f), 0);
    PathMember moved = Arch();
    moved.end.x += 0.0001f; // end points compare exactly
    EXPECT_EQ(IsEqual(arch, moved, 0.01f), 0);
}

TEST(IntegerMember, FlatnessAndHalving) {
    LPathMember c;
    c.flags = PM_CURVE;
    c.start.Fill(0, 0);
    c.ctrl1.Fill(3, 2);
    c.ctrl2.Fill(7, 2);
    c.end.Fill(10, 0);
    EXPECT_FALSE(c.IsLine(2)); // distance 2 is not below 2
    EXPECT_TRUE(c.IsLine(3));

    LPathMember arch;
    arch.flags = PM_CURVE;
    arch.start.Fill(0, 0);
    arch.ctrl1.Fill(0, 10);
    arch.ctrl2.Fill(10, 10);
    arch.end.Fill(10, 0);
    LPathMember a, b;
    arch.SplitAtHalf(a, b);
    // Midpoints (0,5) (5,10) (10,5), then (2,7) (7,7), then (4,7): every sum shifted right.
    EXPECT_EQ(a.ctrl1.y, 5);
    EXPECT_EQ(a.ctrl2.x, 2);
    EXPECT_EQ(a.ctrl2.y, 7);
    EXPECT_EQ(a.end.x, 4);
    EXPECT_EQ(a.end.y, 7);
    EXPECT_EQ(b.start.x, 4);
    EXPECT_EQ(b.ctrl1.x, 7);
    EXPECT_EQ(b.ctrl2.x, 10);
    EXPECT_EQ(b.ctrl2.y, 5);
    EXPECT_EQ(b.end.x, 10);
    EXPECT_TRUE(a.IsCurve());

    // A shift rounds down, also below zero.
    LPathMember line;
    line.flags = 0;
    line.start.Fill(-3, -3);
    line.end.Fill(0, 0);
    line.SplitAtHalf(a, b);
    EXPECT_EQ(a.end.x, -2);
    EXPECT_EQ(a.end.y, -2);
    EXPECT_EQ(b.start.x, -2);
    EXPECT_EQ(b.end.x, 0);
    EXPECT_TRUE(a.IsLine(1));
}

longPoint L(std::int32_t x, std::int32_t y) {
    longPoint p;
    p.Fill(x, y);
    return p;
}

TEST(IntegerIntersection, RoundsAndRefusesOutOfRange) {
    longPoint out = L(-1, -1);
    ASSERT_EQ(IntersectionPoint(L(0, 0), L(10, 10), L(0, 10), L(10, 0), out), 1);
    EXPECT_EQ(out.x, 5);
    EXPECT_EQ(out.y, 5);
    // (1.5, 0.5) rounds to (2, 1).
    ASSERT_EQ(IntersectionPoint(L(0, 0), L(3, 1), L(0, 1), L(3, 0), out), 1);
    EXPECT_EQ(out.x, 2);
    EXPECT_EQ(out.y, 1);
    // The second line meets y = 0 at x = 2 * 2147483647.
    out = L(-1, -1);
    EXPECT_EQ(IntersectionPoint(L(0, 0), L(1, 0), L(0, 2), L(2147483647, 1), out), 0);
    EXPECT_EQ(out.x, -1);
    EXPECT_EQ(IntersectionPoint(L(0, 0), L(10, 0), L(0, 5), L(10, 5), out), 0);
}

// ---- touch points and crossings between contours

// The sub-path of a path holding one polygon.
struct OnePolygon {
    Path path;
    OnePolygon(std::initializer_list<floatPoint> points, float accuracy = 0.01f) : path(accuracy) {
        Polygon(path, points);
        path.Validate(SP_ALL_INVALID);
    }
    SubPath& sp() { return path.subPaths[0]; }
};

TEST(TouchPoints, VertexOnAnEdge) {
    OnePolygon a({{0, 0}, {10, 0}, {10, 10}, {0, 10}});
    OnePolygon b({{10, 5}, {20, 0}, {20, 10}});
    EXPECT_EQ(GetTouchPoints(a.sp(), b.sp(), 0), 1);
    ASSERT_EQ(a.sp().intersections.Filled(), 1);
    const Intersection& is = a.sp().intersections[0];
    EXPECT_EQ(is.index, 1u);
    EXPECT_EQ(is.param, Half);
    EXPECT_EQ(is.point, floatPoint(10, 5));
    EXPECT_TRUE(b.sp().members[0].IsInserted());
    EXPECT_EQ(b.sp().intersections.Filled(), 0);
    EXPECT_EQ(a.sp().Count(PM_INSERTED, PM_INSERTED), 0u);

    // Breaking a there: the edge is cut in two, the second half starts the contour.
    EXPECT_EQ(a.sp().BreakApart(), 1);
    EXPECT_EQ(pathtest::Describe(a.sp()), "10,5 L10,10 L0,10 L0,0 L10,0 L10,5");
    EXPECT_TRUE(a.sp().members[0].IsInserted());
    EXPECT_EQ(a.sp().Count(PM_INSERTED, PM_INSERTED), 1u);
    EXPECT_EQ(a.sp().intersections.Filled(), 0);
}

TEST(TouchPoints, SharedEdgeAndSharedStarts) {
    OnePolygon a({{0, 0}, {10, 0}, {10, 10}, {0, 10}});
    OnePolygon b({{10, 0}, {20, 0}, {20, 10}, {10, 10}});
    GetTouchPoints(a.sp(), b.sp(), 0);
    // The shared edge is marked on both sides; so are the members starting at a shared corner.
    EXPECT_TRUE(a.sp().members[1].IsInserted()); // (10,0) -> (10,10)
    EXPECT_TRUE(b.sp().members[3].IsInserted()); // (10,10) -> (10,0)
    EXPECT_TRUE(a.sp().members[2].IsInserted()); // starts at (10,10), as b's last does
    EXPECT_TRUE(b.sp().members[0].IsInserted()); // starts at (10,0), as a's second does
    EXPECT_FALSE(a.sp().members[0].IsInserted());
    EXPECT_FALSE(b.sp().members[1].IsInserted());
}

TEST(Crossings, TwoSquares) {
    OnePolygon a({{0, 0}, {10, 0}, {10, 10}, {0, 10}});
    OnePolygon b({{5, 5}, {15, 5}, {15, 15}, {5, 15}});
    EXPECT_EQ(GetIntersections(a.sp(), b.sp()), 2);
    ASSERT_EQ(a.sp().intersections.Filled(), 2);
    ASSERT_EQ(b.sp().intersections.Filled(), 2);
    a.sp().BreakApart();
    b.sp().BreakApart();
    EXPECT_EQ(pathtest::Describe(a.sp()), "10,5 L10,10 L5,10 L0,10 L0,0 L10,0 L10,5");
    EXPECT_EQ(pathtest::Describe(b.sp()), "10,5 L15,5 L15,15 L5,15 L5,10 L5,5 L10,5");
    EXPECT_EQ(a.sp().Count(PM_INSERTED, PM_INSERTED), 2u);
    EXPECT_EQ(b.sp().Count(PM_INSERTED, PM_INSERTED), 2u);
}

TEST(Crossings, ThroughAVertexAreLeftToTouchPoints) {
    // b's corner (10, 5) lies on a's edge: no crossing is reported at a member's start.
    OnePolygon a({{0, 0}, {10, 0}, {10, 10}, {0, 10}});
    OnePolygon b({{10, 5}, {20, 0}, {20, 10}});
    EXPECT_EQ(GetIntersections(a.sp(), b.sp()), 0);
    // Two polygons meeting only at a common vertex.
    OnePolygon c({{10, 10}, {20, 10}, {20, 20}});
    EXPECT_EQ(GetIntersections(a.sp(), c.sp()), 0);
}

TEST(Crossings, CurveAndLine) {
    Path arch(0.01f);
    arch.MoveTo({0, 0});
    arch.CurveTo({0, 10}, {10, 10}, {10, 0});
    arch.LineTo({0, 0});
    arch.ClosePath();
    OnePolygon line({{-1, 5.625f}, {11, 5.625f}, {11, 20}, {-1, 20}});
    SubPath& c = arch.subPaths[0];
    ASSERT_EQ(GetIntersections(c, line.sp()), 2);
    ASSERT_EQ(c.intersections.Filled(), 2);
    double t[2] = {T(c.intersections[0].param), T(c.intersections[1].param)};
    if (t[0] > t[1]) std::swap(t[0], t[1]);
    EXPECT_NEAR(t[0], 0.25, 0.002);
    EXPECT_NEAR(t[1], 0.75, 0.002);
    for (const Intersection& is : c.intersections) {
        EXPECT_EQ(is.index, 0u);
        EXPECT_NEAR(is.point.y, 5.625, 0.01);
    }
    // The line's parameters: (1.5625 + 1) / 12 and (8.4375 + 1) / 12.
    const SubPath& l = line.sp();
    ASSERT_EQ(l.intersections.Filled(), 2);
    double u[2] = {T(l.intersections[0].param), T(l.intersections[1].param)};
    if (u[0] > u[1]) std::swap(u[0], u[1]);
    EXPECT_NEAR(u[0], 2.5625 / 12, 0.001);
    EXPECT_NEAR(u[1], 9.4375 / 12, 0.001);
    // Both lists hold the very same points.
    EXPECT_TRUE(c.intersections[0].point == l.intersections[0].point ||
                c.intersections[0].point == l.intersections[1].point);
}

TEST(Crossings, FarFromTheOriginAtFineAccuracy) {
    // 4 / 0.001 units per millimetre put these corners beyond 2^32 units from (0, 0).
    const float o = 1.0e6f;
    OnePolygon a({{o, o}, {o + 100, o}, {o + 100, o + 100}, {o, o + 100}}, 0.001f);
    OnePolygon b({{o + 50, o + 50}, {o + 150, o + 50}, {o + 150, o + 150}, {o + 50, o + 150}},
                 0.001f);
    ASSERT_EQ(GetIntersections(a.sp(), b.sp()), 2);
    a.sp().BreakApart();
    EXPECT_EQ(a.sp().members.Filled(), 6);
    EXPECT_EQ(a.sp().members[0].start, floatPoint(o + 100, o + 50));
}

// ---- breaking apart

TEST(BreakApart, CutsSortsAndMarks) {
    OnePolygon a({{0, 0}, {12, 0}, {12, 12}, {0, 12}});
    SubPath& sp = a.sp();
    // Two cuts on the bottom edge given out of order, one duplicate, one at a start.
    sp.intersections.Append()->Fill({8, 0}, 0x55555555u, 0);
    sp.intersections.Append()->Fill({4, 0}, 0x2AAAAAABu, 0);
    sp.intersections.Append()->Fill({4, 0}, 0x2AAAAAABu, 0);
    sp.intersections.Append()->Fill({0, 12}, 0, 3);
    EXPECT_EQ(sp.BreakApart(), 4);
    EXPECT_EQ(sp.intersections.Filled(), 0);
    EXPECT_TRUE(sp.IsClosed());
    // Rotated to the first inserted member: the piece from (4, 0).
    EXPECT_EQ(pathtest::Describe(sp), "4,0 L8,0 L12,0 L12,12 L0,12 L0,0 L4,0");
    const bool inserted[] = {true, true, false, false, true, false, false};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(sp.members[i].IsInserted(), inserted[i]) << i;
    EXPECT_EQ(sp.state & SP_ALL_INVALID, SP_ALL_INVALID);
}

TEST(BreakApart, DropsASpikeAtACutPoint) {
    OnePolygon a({{0, 0}, {10, 0}, {10, 10}, {5, 10}, {5, 15}, {5, 10}, {0, 10}});
    SubPath& sp = a.sp();
    sp.members[3].flags |= PM_INSERTED; // (5,10) -> (5,15)
    sp.members[4].flags |= PM_INSERTED; // and back
    sp.BreakApart();
    EXPECT_EQ(pathtest::Describe(sp), "0,0 L10,0 L10,10 L5,10 L0,10 L0,0");
    EXPECT_EQ(sp.Count(PM_INSERTED, PM_INSERTED), 0u);
}

TEST(BreakApart, AtTheMemberLimitNothingIsLost) {
    Path path(0.01f);
    path.building.members.Grow(65534);
    path.MoveTo({0, 0});
    for (int i = 1; i <= 65534; ++i)
        path.LineTo({float(i % 2), float(i)});
    path.ClosePath();
    SubPath& sp = path.subPaths[0];
    ASSERT_EQ(sp.members.Filled(), 65534);
    sp.intersections.Append()->Fill({0.5f, 0.5f}, Half, 0);
    EXPECT_ANY_THROW(sp.BreakApart());
    EXPECT_EQ(sp.members.Filled(), 65534);
    EXPECT_EQ(sp.members[0].end, floatPoint(1, 1));
}

// ---- overlays

TEST(MarkEqual, SharedEdgesBothWays) {
    Path path(0.01f);
    Square(path, 0, 0, 10, false);
    Square(path, 10, 0, 10, false);              // shares x = 10 running the other way
    Polygon(path, {{0, 10}, {10, 10}, {5, 20}}); // shares y = 10 with the first
    MarkEqualPM(path, path, 0);
    SubPath &a = path.subPaths[0], &b = path.subPaths[1], &c = path.subPaths[2];
    EXPECT_EQ(a.members[1].flags & PM_OVERLAYED, 0x2); // (10,0) -> (10,10)
    EXPECT_EQ(b.members[3].flags & PM_OVERLAYED, 0x2); // (10,10) -> (10,0)
    // a's top runs (10,10) -> (0,10), c's base (0,10) -> (10,10): opposite.
    EXPECT_EQ(a.members[2].flags & PM_OVERLAYED, 0x2);
    EXPECT_EQ(c.members[0].flags & PM_OVERLAYED, 0x2);
    EXPECT_EQ(a.members[0].flags & PM_OVERLAYED, 0);

    // Against another path: (10,0) -> (10,10) runs as in a and against b.
    Path other(0.01f);
    Polygon(other, {{10, 0}, {10, 10}, {20, 5}});
    Path one(0.01f);
    Square(one, 0, 0, 10, false);
    MarkEqualPM(one, other, 0);
    EXPECT_EQ(other.subPaths[0].members[0].flags & PM_OVERLAYED, 0x1);
    EXPECT_EQ(one.subPaths[0].members[1].flags & PM_OVERLAYED, 0x1);
    MarkEqualPM(path, other, 0);
    EXPECT_EQ(other.subPaths[0].members[0].flags & PM_OVERLAYED, 0x3);
}

// ---- snapping and smoothing

TEST(Snap, EndPointsOnlyToTheAccuracy) {
    Path path(0.5f);
    path.MoveTo({0.2f, 0.1f});
    path.LineTo({1.26f, 0.74f});
    path.CurveTo({1.33f, 2.07f}, {-0.3f, 2.2f}, {-0.24f, 1.6f});
    path.LineTo({0.2f, 0.1f});
    path.ClosePath();
    path.Snap();
    SubPath& sp = path.subPaths[0];
    EXPECT_EQ(sp.members[0].start, floatPoint(0, 0));
    EXPECT_EQ(sp.members[0].end, floatPoint(1.5f, 0.5f));
    EXPECT_EQ(sp.members[0].ctrl2, floatPoint(1.5f, 0.5f)); // a line keeps its form
    EXPECT_EQ(sp.members[1].start, floatPoint(1.5f, 0.5f));
    EXPECT_EQ(sp.members[1].ctrl1, floatPoint(1.33f, 2.07f));
    EXPECT_EQ(sp.members[1].ctrl2, floatPoint(-0.3f, 2.2f));
    EXPECT_EQ(sp.members[1].end, floatPoint(0, 1.5f));
    EXPECT_TRUE(sp.IsClosed());
    EXPECT_EQ(sp.state & SP_ALL_INVALID, SP_ALL_INVALID);
}

TEST(Smooth, RefitsAPolygonalCircle) {
    Path path(0.01f);
    const int n = 72;
    path.MoveTo({10, 0});
    for (int i = 1; i <= n; ++i) {
        double a = 2 * Pi * i / n;
        path.LineTo(i == n ? floatPoint(10, 0)
                           : floatPoint(float(10 * std::cos(a)), float(10 * std::sin(a))));
    }
    path.ClosePath();
    Path original(path);
    path.Smooth(0.02f);
    SubPath& sp = path.subPaths[0];
    EXPECT_LT(sp.members.Filled(), n / 2);
    EXPECT_GT(sp.Count(PM_CURVE, PM_CURVE), 0u);
    EXPECT_TRUE(sp.IsClosed());
    EXPECT_EQ(sp.members[0].start, floatPoint(10, 0));
    // Every old vertex stays within the fitting tolerance (2 x 0.02) of the new outline.
    for (const PathMember& m : original.subPaths[0].members) {
        unsigned member;
        std::uint32_t param;
        EXPECT_EQ(sp.IsBeside(m.start, 0.05f, member, param), 1) << pathtest::Pt(m.start);
    }
}

TEST(Smooth, ShortAndBrokenContoursStay) {
    Path path(0.01f);
    path.MoveTo({0, 0});
    path.LineTo({5, 5});
    path.ClosePath();
    path.Smooth(0);
    EXPECT_EQ(pathtest::Describe(path), "0,0 L5,5");

    const float nan = std::numeric_limits<float>::quiet_NaN();
    Path bad(0.01f);
    Polygon(bad, {{nan, nan}, {nan, 1}, {2, nan}});
    bad.Smooth(0);
    EXPECT_EQ(bad.subPaths.Filled(), 1);
}

} // namespace
