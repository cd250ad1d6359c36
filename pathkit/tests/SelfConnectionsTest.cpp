// Contours that touch, cross or overlap themselves or each other, and their rebuilding.

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "PathTestUtil.h"
#include "pathkit/Path.h"
#include "pathkit/PathBreak.h"

namespace {

using pathtest::Describe;
using pathtest::Polygon;
using pathtest::SignedArea2;
using pathtest::Square;

double Area(const SubPath& sp) {
    return std::fabs(SignedArea2(sp)) / 2;
}

// The one sub-path of a path holding one polygon.
struct Contour {
    Path path{0.01f};
    explicit Contour(std::initializer_list<floatPoint> points) {
        Polygon(path, points);
        path.Validate(SP_ALL_INVALID);
    }
    SubPath& sp() { return path.subPaths[0]; }
};

void ExpectClosedPieces(const Path& out, std::initializer_list<double> areas) {
    ASSERT_EQ(out.subPaths.Filled(), areas.size()) << Describe(out);
    int i = 0;
    for (double a : areas) {
        EXPECT_TRUE(out.subPaths[i].IsClosed()) << Describe(out.subPaths[i]);
        EXPECT_NEAR(Area(out.subPaths[i]), a, 1e-3) << Describe(out.subPaths[i]);
        ++i;
    }
}

TEST(SelfConnections, FigureEightTouchingAtAVertex) {
    // Two triangles drawn in one stroke through (10, 10).
    Contour eight({{0, 0}, {10, 10}, {20, 0}, {20, 20}, {10, 10}, {0, 20}});
    Path out(0.01f);
    ASSERT_EQ(eight.sp().RemoveSelfConnections(out), 1);
    ExpectClosedPieces(out, {100, 100});
    EXPECT_EQ(Describe(out), "10,10 L20,0 L20,20 L10,10 | 10,10 L0,20 L0,0 L10,10");
}

TEST(SelfConnections, BowTieCrossingInAnEdge) {
    Contour tie({{0, 0}, {10, 10}, {10, 0}, {0, 10}});
    EXPECT_NE(tie.sp().BreakAtSelfConnections(), 0);
    // Both diagonals are cut at (5, 5); the contour now starts there.
    EXPECT_EQ(Describe(tie.sp()), "5,5 L10,10 L10,0 L5,5 L0,10 L0,0 L5,5");
    EXPECT_EQ(tie.sp().Count(PM_INSERTED, PM_INSERTED), 2u);

    Contour again({{0, 0}, {10, 10}, {10, 0}, {0, 10}});
    Path out(0.01f);
    ASSERT_EQ(again.sp().RemoveSelfConnections(out), 1);
    ExpectClosedPieces(out, {25, 25});
}

TEST(SelfConnections, VertexTouchingAnEdgeOfTheSameContour) {
    // The corner (10, 0) sits on the bottom edge.
    Contour w({{0, 0}, {20, 0}, {20, 20}, {10, 0}, {0, 20}});
    Path out(0.01f);
    ASSERT_EQ(w.sp().RemoveSelfConnections(out), 1);
    ExpectClosedPieces(out, {100, 100});
    EXPECT_EQ(Describe(out), "10,0 L20,0 L20,20 L10,0 | 10,0 L0,20 L0,0 L10,0");
}

TEST(SelfConnections, CurvedFigureEight) {
    // An "8" on its side whose two loops pass through (0, 0).
    Path path(0.01f);
    path.MoveTo({0, 0});
    path.CurveTo({5, 5}, {10, 5}, {10, 0});
    path.CurveTo({10, -5}, {5, -5}, {0, 0});
    path.CurveTo({-5, 5}, {-10, 5}, {-10, 0});
    path.CurveTo({-10, -5}, {-5, -5}, {0, 0});
    path.ClosePath();
    Path out(0.01f);
    ASSERT_EQ(path.subPaths[0].RemoveSelfConnections(out), 1);
    ASSERT_EQ(out.subPaths.Filled(), 2);
    for (const SubPath& sp : out.subPaths) {
        EXPECT_TRUE(sp.IsClosed());
        EXPECT_EQ(sp.members.Filled(), 2);
        EXPECT_EQ(sp.members[0].start, floatPoint(0, 0));
    }
    // One loop on each side.
    EXPECT_EQ(out.subPaths[0].members[0].end.x * out.subPaths[1].members[0].end.x, -100);
}

TEST(SelfConnections, CurvesCrossingInsideMembers) {
    // A loop: the closing curve crosses the first one away from any vertex.
    Path path(0.01f);
    path.MoveTo({0, 0});
    path.CurveTo({10, 0}, {20, 10}, {20, 20});
    path.LineTo({0, 20});
    path.CurveTo({20, 0}, {25, 0}, {30, 0});
    path.LineTo({0, 0});
    path.ClosePath();
    Path out(0.01f);
    ASSERT_EQ(path.subPaths[0].RemoveSelfConnections(out), 1);
    ASSERT_EQ(out.subPaths.Filled(), 2) << Describe(out);
    // Each piece begins at the crossing, which both share exactly.
    EXPECT_EQ(out.subPaths[0].members[0].start, out.subPaths[1].members[0].start);
    for (const SubPath& sp : out.subPaths)
        EXPECT_TRUE(sp.IsClosed()) << Describe(sp);
}

TEST(SelfConnections, SpikeIsDropped) {
    Contour spike({{0, 0}, {10, 0}, {10, 10}, {5, 10}, {5, 15}, {5, 10}, {0, 10}});
    Path out(0.01f);
    ASSERT_EQ(spike.sp().RemoveSelfConnections(out), 1);
    ASSERT_EQ(out.subPaths.Filled(), 1);
    EXPECT_EQ(Describe(out), "5,10 L0,10 L0,0 L10,0 L10,10 L5,10");
}

TEST(SelfConnections, SimpleContoursAreLeftAlone) {
    Contour square({{0, 0}, {10, 0}, {10, 10}, {0, 10}});
    std::string before = Describe(square.sp());
    Path out(0.01f);
    EXPECT_EQ(square.sp().RemoveSelfConnections(out), 0);
    EXPECT_EQ(out.subPaths.Filled(), 0);
    EXPECT_EQ(Describe(square.sp()), before);
    EXPECT_EQ(square.sp().Count(PM_INSERTED, PM_INSERTED), 0u);

    // A member shorter than the accuracy touches the members beyond its neighbours; the
    // contour comes back whole.
    Contour fine({{0, 0}, {10, 0}, {10, 0.004f}, {10, 10}, {0, 10}});
    ASSERT_EQ(fine.sp().RemoveSelfConnections(out), 1);
    ExpectClosedPieces(out, {100});
}

TEST(SelfConnections, NotANumberAndLoneMembers) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    Contour bad({{0, 0}, {nan, 10}, {10, nan}, {0, 10}});
    Path out(0.01f);
    bad.sp().RemoveSelfConnections(out);
    bad.path.Normalize();

    Path loop(0.01f);
    loop.MoveTo({0, 0});
    loop.CurveTo({10, 10}, {-10, 10}, {0, 0});
    loop.ClosePath();
    Path none(0.01f);
    EXPECT_EQ(loop.subPaths[0].RemoveSelfConnections(none), 0);
    loop.Normalize();
    EXPECT_EQ(loop.subPaths.Filled(), 1);
}

TEST(SelfConnections, FarFromTheOriginAtFineAccuracy) {
    const float o = 1.0e6f;
    Path tie(0.001f);
    Polygon(tie, {{o, o}, {o + 10, o + 10}, {o + 10, o}, {o, o + 10}});
    Path out(0.001f);
    ASSERT_EQ(tie.subPaths[0].RemoveSelfConnections(out), 1);
    ExpectClosedPieces(out, {25, 25});
    EXPECT_EQ(out.subPaths[0].members[0].start, floatPoint(o + 5, o + 5));
}

// ---- connections between sub-paths

TEST(PathConnections, SquaresSharingAnEdgeBecomeOneRectangle) {
    Path path(0.01f);
    Square(path, 0, 0, 10, false);
    Square(path, 10, 0, 10, false);
    ASSERT_EQ(path.RemoveSPConnections(), 1);
    ASSERT_EQ(path.subPaths.Filled(), 1) << Describe(path);
    const SubPath& sp = path.subPaths[0];
    EXPECT_TRUE(sp.IsClosed());
    EXPECT_NEAR(Area(sp), 200, 1e-3);
    for (const PathMember& m : sp.members)
        EXPECT_FALSE(m.start.x == 10 && m.end.x == 10) << Describe(sp);
}

TEST(PathConnections, OverlappingSquaresSplitIntoOutlineAndOverlap) {
    Path path(0.01f);
    Square(path, 0, 0, 10, false);
    Square(path, 5, 5, 10, false);
    ASSERT_EQ(path.RemoveSPConnections(), 1);
    ExpectClosedPieces(path, {175, 25});
    path.Validate(SP_ALL_INVALID);
    EXPECT_EQ(path.subPaths[0].ctrlBox.right, 15);
    EXPECT_EQ(path.subPaths[1].ctrlBox.left, 5);
}

TEST(PathConnections, ApartOrOpenNothingChanges) {
    Path path(0.01f);
    Square(path, 0, 0, 10, false);
    Square(path, 20, 0, 10, false);
    path.MoveTo({0, 5});
    path.LineTo({30, 5}); // open: takes no part
    path.ClosePath();
    std::string before = Describe(path);
    EXPECT_EQ(path.RemoveSPConnections(), 0);
    EXPECT_EQ(Describe(path), before);
}

TEST(PathConnections, BreakingCountsTheAppliedPoints) {
    Path a(0.01f), b(0.01f);
    Square(a, 0, 0, 10, false);
    Polygon(b, {{10, 5}, {20, 0}, {20, 10}});
    EXPECT_EQ(BreakAtTouchPoints(a, b, 0, 1), 1);
    EXPECT_EQ(a.subPaths[0].members.Filled(), 5);
    // (10, 5) is now a vertex of a: c's edge through it is left to the touch points.
    Path c(0.01f);
    Square(c, 5, 5, 10, false);
    EXPECT_EQ(BreakAtIntersections(a, c, 1), 2);
    Path d(0.01f), e(0.01f);
    Square(d, 0, 0, 10, false);
    Square(e, 5, 5, 10, false);
    EXPECT_EQ(BreakAtIntersections(d, e, 1), 4); // two points on each side
    EXPECT_EQ(d.subPaths[0].members.Filled(), 6);
    EXPECT_EQ(e.subPaths[0].members.Filled(), 6);
}

TEST(Normalize, CleanPreparedAndWithoutConnections) {
    Path path(0.01f);
    Polygon(path, {{0, 0}, {10, 10}, {10, 0}, {0, 10}}); // bow tie
    Square(path, 20, 0, 10, false);
    Square(path, 30, 0, 10, true); // shares x = 30 with the one before
    path.MoveTo({50, 50});
    path.LineTo({50, 50}); // degenerate
    path.ClosePath();
    path.Normalize();
    ASSERT_EQ(path.subPaths.Filled(), 3) << Describe(path);
    double total = 0;
    for (const SubPath& sp : path.subPaths) {
        EXPECT_TRUE(sp.IsClosed());
        EXPECT_EQ(sp.depth, 0);
        EXPECT_GT(SignedArea2(sp), 0) << Describe(sp); // outer contours counter-clockwise
        total += Area(sp);
    }
    EXPECT_NEAR(total, 25 + 25 + 200, 1e-3);
}

TEST(Normalize, StaleMarksLoseNothing) {
    // Marks left by earlier work must not decide what is dropped.
    Path path(0.01f);
    Square(path, 0, 0, 10, false);
    Square(path, 10, 10, 10, false); // touches the first at (10, 10)
    for (SubPath& sp : path.subPaths)
        for (PathMember& m : sp.members)
            m.flags |= PM_OVERLAYED | PM_INSERTED;
    path.Normalize();
    double total = 0;
    for (const SubPath& sp : path.subPaths)
        total += Area(sp);
    EXPECT_NEAR(total, 200, 1e-3) << Describe(path);
}

} // namespace
