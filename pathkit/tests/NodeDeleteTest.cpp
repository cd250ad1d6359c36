#include <gtest/gtest.h>

#include "NodeEditTestUtil.h"
#include "PathTestUtil.h"
#include "pathkit/NodeDelete.h"
#include "pathkit/NodeEdit.h"
#include "pathkit/Path.h"
#include "win32/UserTesting.h"

using namespace nodetest;

namespace {

// The curve cut into halves at t = 0.5.
void Halves(PathMember curve, PathMember& a, PathMember& b) {
    curve.Cut(0, PM_PARAM_ONE / 2, a, nullptr, nullptr);
    curve.Cut(PM_PARAM_ONE / 2, PM_PARAM_ONE, b, nullptr, nullptr);
    b.start = a.end;
}

} // namespace

TEST(DeleteConnection, TwoLinesBecomeOneLine) {
    PathMember out;
    DeleteConnection(Line({0, 0}, {5, 0}, PM_SELECTED | PM_SMOOTH), Line({5, 0}, {10, 2}), out,
                     0.01f);
    EXPECT_FALSE(out.IsCurve());
    EXPECT_EQ(out.flags, PM_SELECTED | PM_SMOOTH);
    EXPECT_EQ(out.start, floatPoint(0, 0));
    EXPECT_EQ(out.end, floatPoint(10, 2));
    EXPECT_EQ(out.ctrl1, floatPoint(0, 0));
    EXPECT_EQ(out.ctrl2, floatPoint(10, 2));
}

TEST(DeleteConnection, RefitsTheHalvesOfACurve) {
    // A quarter circle of radius 50 cut in halves. One least-squares fit over chord-length
    // parameters comes within 0.3 % of the radius and keeps the mirror symmetry.
    const PathMember quarter = Curve({50, 0}, {50, 27.614f}, {27.614f, 50}, {0, 50});
    PathMember a, b, out;
    Halves(quarter, a, b);
    a.flags |= PM_SMOOTH;
    DeleteConnection(a, b, out, 0.01f);
    EXPECT_EQ(out.flags, PM_CURVE | PM_SMOOTH);
    EXPECT_EQ(out.start, quarter.start);
    EXPECT_EQ(out.end, quarter.end);
    EXPECT_NEAR(out.ctrl1.x, out.ctrl2.y, 1e-3);
    EXPECT_NEAR(out.ctrl1.y, out.ctrl2.x, 1e-3);
    SubPath fitted = Contour({out}), original = Contour({quarter});
    EXPECT_LT(Deviation(fitted, original), 0.15);
    EXPECT_LT(Deviation(original, fitted), 0.15);
}

TEST(DeleteConnection, StraightRefitBecomesALine) {
    PathMember out;
    DeleteConnection(Curve({0, 0}, {1, 0}, {4, 0}, {5, 0}), Line({5, 0}, {10, 0}), out, 0.01f);
    EXPECT_FALSE(out.IsCurve());
    EXPECT_EQ(out.ctrl1, floatPoint(0, 0));
    EXPECT_EQ(out.ctrl2, floatPoint(10, 0));
}

TEST(DeleteConnectionAt, MergesTheMembersAtTheNode) {
    SubPath open = Polyline({{0, 0}, {10, 0}, {10, 10}, {20, 10}}, false);
    EXPECT_EQ(DeleteConnectionAt(open, 1), 0);
    EXPECT_EQ(pathtest::Describe(open), "0,0 L10,10 L20,10");
    EXPECT_TRUE(open.members[0].IsChanged());
    EXPECT_EQ(DeleteConnectionAt(open, 0), -1); // the start of an open contour
    EXPECT_EQ(DeleteConnectionAt(open, 5), -1);

    // Node 0 of a closed triangle: the members are turned first.
    SubPath tri = Polyline({{0, 0}, {10, 0}, {0, 10}}, true);
    EXPECT_EQ(DeleteConnectionAt(tri, 0), 0);
    EXPECT_EQ(pathtest::Describe(tri), "0,10 L10,0 L0,10");
    EXPECT_TRUE(tri.IsClosed());

    SubPath one = Contour({Curve({0, 0}, {0, 10}, {10, 10}, {10, 0})});
    EXPECT_EQ(DeleteConnectionAt(one, 0), -1);
    EXPECT_EQ(one.members.Filled(), 1);
}

TEST(DeleteSelNodesIn, KindsReplaceRunsOfSelectedNodes) {
    // An open contour: line, rounded corner, line. Nodes 1 and 2 span three members.
    auto corner = [] {
        SubPath sp = Contour({Line({0, 0}, {8, 0}), Curve({8, 0}, {9.1f, 0}, {10, 0.9f}, {10, 2}),
                              Line({10, 2}, {10, 10})});
        SelectNode(sp, 1);
        SelectNode(sp, 2);
        return sp;
    };
    SubPath sp = corner();
    DeleteSelNodesIn(sp, 1);
    EXPECT_EQ(pathtest::Describe(sp), "0,0 L10,10");
    EXPECT_EQ(sp.members[0].flags, PM_SELECTED | PM_CHANGED);

    sp = corner();
    DeleteSelNodesIn(sp, 2);
    EXPECT_EQ(pathtest::Describe(sp), "0,0 L10,0 L10,10");

    sp = corner();
    DeleteSelNodesIn(sp, 0);
    ASSERT_EQ(sp.members.Filled(), 1);
    EXPECT_EQ(sp.members[0].flags, PM_CURVE | PM_SELECTED | PM_CHANGED);
    EXPECT_EQ(sp.members[0].start, floatPoint(0, 0));
    EXPECT_EQ(sp.members[0].end, floatPoint(10, 10));

    sp = corner();
    DeleteSelNodesIn(sp, 3); // no such kind
    EXPECT_EQ(sp.members.Filled(), 3);
}

TEST(DeleteSelNodesIn, CurveRefitStaysCloseToTheRun) {
    // A flat arch: its halves refit within 0.08 (the speed along it varies by a quarter).
    const PathMember arch = Curve({0, 0}, {3.3f, 3}, {6.7f, 3}, {10, 0});
    PathMember a, b;
    Halves(arch, a, b);
    SubPath sp = Contour({Line({-5, 0}, {0, 0}), a, b, Line({10, 0}, {15, 0})});
    SelectNode(sp, 2);
    DeleteSelNodesIn(sp, 0);
    ASSERT_EQ(sp.members.Filled(), 3);
    EXPECT_TRUE(IsContinuous(sp));
    SubPath fitted = Contour({sp.members[1]}), original = Contour({arch});
    EXPECT_LT(Deviation(fitted, original), 0.08);
    EXPECT_EQ(sp.members[0].end, floatPoint(0, 0));
    EXPECT_EQ(sp.members[2].start, floatPoint(10, 0));
}

TEST(DeleteSelNodesIn, KindTwoBeepsAtParallelTangents) {
    // A U-turn: the run's outer tangents run opposite ways.
    SubPath sp = Contour({Line({0, 0}, {10, 0}), Curve({10, 0}, {15, 0}, {15, 10}, {10, 10}),
                          Line({10, 10}, {0, 10})});
    SelectNode(sp, 1);
    SelectNode(sp, 2);
    SdResetBeeps();
    DeleteSelNodesIn(sp, 2);
    EXPECT_EQ(SdBeepCount(), 1);
    EXPECT_EQ(sp.members.Filled(), 3);

    // Runs of two members are left to the other kinds.
    SubPath two = Polyline({{0, 0}, {10, 0}, {10, 10}}, false);
    SelectNode(two, 1);
    DeleteSelNodesIn(two, 2);
    EXPECT_EQ(two.members.Filled(), 2);
    EXPECT_EQ(SdBeepCount(), 1);
}

TEST(DeleteSelNodesIn, OpenContourKeepsItsEnds) {
    SubPath sp = Polyline({{0, 0}, {1, 1}, {2, 0}, {3, 1}, {4, 0}}, false);
    sp.SetPMState(PM_ALL_SEL, PM_ALL_SEL, 0, 0); // every bit, the two ends included
    DeleteSelNodesIn(sp, 1);
    EXPECT_EQ(pathtest::Describe(sp), "0,0 L4,0");
}

TEST(DeleteSelNodesIn, ClosedContour) {
    // Every node selected: the contour is emptied.
    SubPath all = Polyline({{0, 0}, {10, 0}, {10, 10}, {0, 10}}, true);
    all.SetPMState(PM_ALL_SEL, PM_ALL_SEL, 0, 0);
    DeleteSelNodesIn(all, 1);
    EXPECT_EQ(all.members.Filled(), 0);
    EXPECT_EQ(all.state & SP_ALL_INVALID, SP_ALL_INVALID);

    // Node 0 selected: the members are turned to begin at the last unselected node.
    SubPath sq = Polyline({{0, 0}, {10, 0}, {10, 10}, {0, 10}}, true);
    SelectNode(sq, 0);
    DeleteSelNodesIn(sq, 1);
    EXPECT_EQ(pathtest::Describe(sq), "0,10 L10,0 L10,10 L0,10");
    EXPECT_TRUE(sq.IsClosed());

    // Nothing selected: nothing changes.
    SubPath none = Polyline({{0, 0}, {10, 0}, {10, 10}}, true);
    DeleteSelNodesIn(none, 1);
    EXPECT_EQ(none.members.Filled(), 3);
}

TEST(DeleteSelNodesIn, PathFormDropsEmptiedContours) {
    Path path(0.01f);
    pathtest::Square(path, 0, 0, 10, false);
    pathtest::Square(path, 20, 0, 10, false);
    path.subPaths[0].SetPMState(PM_ALL_SEL, PM_ALL_SEL, 0, 0);
    DeleteSelNodesIn(path, 0);
    ASSERT_EQ(path.subPaths.Filled(), 1);
    EXPECT_EQ(path.subPaths[0].members[0].start, floatPoint(20, 0));
}

TEST(DeleteSelLinesIn, SplitsContoursAtSelectedMembers) {
    // One selected side of a closed square: one open contour starting after it.
    Path square(0.01f);
    pathtest::Square(square, 0, 0, 10, false);
    square.subPaths[0].members[1].flags |= PM_SELECTED;
    DeleteSelLinesIn(square);
    EXPECT_EQ(pathtest::Describe(square), "10,10 L0,10 L0,0 L10,0");
    EXPECT_EQ(square.accuracy, 0.01f);

    // The first member selected: the rest in order.
    Path first(0.01f);
    pathtest::Square(first, 0, 0, 10, false);
    first.subPaths[0].members[0].flags |= PM_SELECTED;
    DeleteSelLinesIn(first);
    EXPECT_EQ(pathtest::Describe(first), "10,0 L10,10 L0,10 L0,0");

    // An open polyline falls apart around its selected middle member.
    Path open(0.01f);
    open.MoveTo({0, 0});
    for (floatPoint p : {floatPoint(1, 0), floatPoint(2, 0), floatPoint(3, 0), floatPoint(4, 0)})
        open.LineTo(p);
    open.ClosePath();
    open.subPaths[0].members[2].flags |= PM_SELECTED;
    DeleteSelLinesIn(open);
    ASSERT_EQ(open.subPaths.Filled(), 2);
    EXPECT_EQ(open.subPaths[0].members.Filled() + open.subPaths[1].members.Filled(), 3);

    // Every member selected: nothing is left.
    Path gone(0.01f);
    pathtest::Square(gone, 0, 0, 10, false);
    gone.SetPMState(PM_SELECTED, PM_SELECTED, 0, 0);
    DeleteSelLinesIn(gone);
    EXPECT_EQ(gone.subPaths.Filled(), 0);
}
