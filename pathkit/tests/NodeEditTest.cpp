#include <cmath>
#include <numbers>

#include <gtest/gtest.h>

#include "NodeEditTestUtil.h"
#include "PathTestUtil.h"
#include "pathkit/BBox.h"
#include "pathkit/NodeEdit.h"
#include "pathkit/Path.h"
#include "pathkit/PathQueries.h"

using namespace nodetest;

namespace {

void ExpectPoint(const floatPoint& p, double x, double y, double tol = 1e-4) {
    EXPECT_NEAR(p.x, x, tol) << "x of " << p.x << "," << p.y;
    EXPECT_NEAR(p.y, y, tol) << "y of " << p.x << "," << p.y;
}

double Deg(double d) {
    return d * std::numbers::pi / 180;
}

} // namespace

TEST(ConvertToCurve, PutsControlPointsAtThirdsOfTheChord) {
    PathMember m = Line({0, 0}, {3, 6}, PM_SELECTED);
    ConvertToCurve(m);
    EXPECT_EQ(m.flags, PM_SELECTED | PM_CURVE | PM_CHANGED);
    ExpectPoint(m.ctrl1, 0.99999, 1.99998, 1e-5);
    ExpectPoint(m.ctrl2, 2.00001, 4.00002, 1e-5);

    PathMember c = Curve({0, 0}, {1, 5}, {2, 5}, {3, 0});
    const PathMember before = c;
    ConvertToCurve(c);
    EXPECT_EQ(c.flags, before.flags);
    EXPECT_EQ(c.ctrl1, before.ctrl1);
}

// Joint at the origin; prev arrives along +x unless said otherwise.
TEST(MakeSmoothConnection, TwoCurvesEndWithOppositeHandles) {
    struct Case {
        const char* name;
        floatPoint prevCtrl2, nextCtrl1; // handles as points, joint at the origin
        floatPoint wantCtrl2, wantCtrl1;
    };
    const double h = std::sqrt(0.5);
    const Case cases[] = {
        // Equal handles turn by half the 90 degree turn each.
        {"equal 90", {-1, 0}, {0, 1}, {float(-h), float(-h)}, {float(h), float(h)}},
        // Equal handles, 120 degrees: each turns by 60, not the long way round.
        {"equal 120",
         {-1, 0},
         {-0.5f, float(std::sqrt(0.75))},
         {-0.5f, float(-std::sqrt(0.75))},
         {0.5f, float(std::sqrt(0.75))}},
        // Long incoming handle (length 2), short outgoing one, 30 degrees: tan 2e = 4 sin 60 /
        // (1 + 4 cos 60) gives e = 24.5533; the long handle turns by 5.4467 degrees.
        {"unequal 30",
         {-2, 0},
         {float(std::cos(Deg(30))), float(std::sin(Deg(30)))},
         {-1.99097f, -0.18984f},
         {0.99548f, 0.09492f}},
        // Long incoming handle at 90 degrees: the short handle turns all the way.
        {"unequal 90", {-2, 0}, {0, 1}, {-2, 0}, {1, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PathMember prev = Curve({-5, 0}, {-4, 0}, c.prevCtrl2, {0, 0});
        PathMember next = Curve({0, 0}, c.nextCtrl1, {4, 3}, {5, 3});
        MakeSmoothConnection(prev, next);
        ExpectPoint(prev.ctrl2, c.wantCtrl2.x, c.wantCtrl2.y);
        ExpectPoint(next.ctrl1, c.wantCtrl1.x, c.wantCtrl1.y);
        EXPECT_NEAR(Angle(prev, next), 0, 1e-5);
        EXPECT_TRUE(next.IsSmooth());
        EXPECT_TRUE(next.IsChanged());
        EXPECT_EQ(prev.IsChanged(), prev.ctrl2 != c.prevCtrl2);
        EXPECT_EQ(next.ctrl2, floatPoint(4, 3)); // the far control points stay
        EXPECT_EQ(prev.ctrl1, floatPoint(-4, 0));
    }
}

TEST(MakeSmoothConnection, CurveBesideLineTakesTheLinesDirection) {
    // Curve then line: the incoming handle (length sqrt 2) turns onto the line's direction.
    PathMember prev = Curve({-5, 0}, {-4, 0}, {-1, -1}, {0, 0});
    PathMember next = Line({0, 0}, {3, 4});
    MakeSmoothConnection(prev, next);
    ExpectPoint(prev.ctrl2, -0.6 * std::sqrt(2), -0.8 * std::sqrt(2));
    EXPECT_TRUE(next.IsSmooth());

    // Line then curve: the outgoing handle (length 2) continues the line.
    PathMember line = Line({-5, 0}, {0, 0});
    PathMember curve = Curve({0, 0}, {0, 2}, {4, 3}, {5, 3});
    MakeSmoothConnection(line, curve);
    ExpectPoint(curve.ctrl1, 2, 0);
    EXPECT_TRUE(curve.IsSmooth());
}

TEST(MakeSmoothConnection, TwoLinesAreOnlyJoined) {
    PathMember prev = Line({0, 0}, {1, 1});
    PathMember next = Line({2, 0}, {3, 0});
    MakeSmoothConnection(prev, next);
    EXPECT_EQ(prev.end, floatPoint(2, 0));
    EXPECT_EQ(prev.ctrl2, floatPoint(2, 0));
    EXPECT_EQ(next.start, floatPoint(2, 0));
    EXPECT_FALSE(next.IsSmooth());
    EXPECT_TRUE(prev.IsChanged());
    EXPECT_FALSE(next.IsChanged());
}

TEST(MakeSymmetricConnection, GivesBothHandlesTheirMeanLength) {
    PathMember prev = Curve({-5, 0}, {-4, 0}, {-1, 0}, {0, 0});
    PathMember next = Curve({0, 0}, {3, 0}, {4, 3}, {5, 3});
    MakeSymmetricConnection(prev, next);
    ExpectPoint(prev.ctrl2, -2, 0);
    ExpectPoint(next.ctrl1, 2, 0);
    EXPECT_TRUE(next.IsSmooth() && next.IsSymmetric());

    // A zero handle has no direction and stays.
    PathMember flat = Curve({-5, 0}, {-4, 0}, {0, 0}, {0, 0});
    PathMember other = Curve({0, 0}, {4, 0}, {4, 3}, {5, 3});
    MakeSymmetricConnection(flat, other);
    EXPECT_EQ(flat.ctrl2, floatPoint(0, 0));
    ExpectPoint(other.ctrl1, 2, 0);

    // Smooth first: a 90 degree joint ends straight with handles of length 2.
    PathMember a = Curve({-5, 0}, {-4, 0}, {-1, 0}, {0, 0});
    PathMember b = Curve({0, 0}, {0, 3}, {4, 3}, {5, 3});
    MakeSymmetricConnection(a, b);
    EXPECT_NEAR(Angle(a, b), 0, 1e-5);
    EXPECT_NEAR(Dist(a.ctrl2, a.end), 2, 1e-5);
    EXPECT_NEAR(Dist(b.ctrl1, b.start), 2, 1e-5);
}

TEST(Touch, MarksMembersMatchingTheTest) {
    SubPath sp = Contour({Line({0, 0}, {1, 0}, PM_SELECTED), Line({1, 0}, {2, 0}, 0),
                          Curve({2, 0}, {2, 1}, {1, 1}, {0, 0}, PM_SELECTED)});
    Touch(sp, PM_SELECTED, PM_SELECTED);
    EXPECT_TRUE(sp.members[0].IsChanged());
    EXPECT_FALSE(sp.members[1].IsChanged());
    EXPECT_TRUE(sp.members[2].IsChanged());
}

TEST(SelectPathMembersIn, SetsAndTogglesTheNodesInTheBox) {
    Path path(0.01f);
    pathtest::Square(path, 0, 0, 10, false); // (0,0) (10,0) (10,10) (0,10)
    pathtest::Square(path, 100, 100, 10, false);
    path.subPaths[1].members[2].flags = PM_SELECTED; // outside every box below: kept
    auto flags = [&](int i) { return path.subPaths[0].members[std::uint16_t(i)].flags; };

    // The box's edges count: (10, 0) lies on its left and bottom edges.
    SelectPathMembersIn(path, floatBBox(10, 0, 12, 2), 0);
    EXPECT_EQ(flags(0), PM_CTRL2_SEL | PM_END_SEL | PM_SELECTED | PM_CHANGED);
    EXPECT_EQ(flags(1), PM_START_SEL | PM_CTRL1_SEL | PM_SELECTED | PM_CHANGED);
    EXPECT_EQ(flags(2), 0);
    EXPECT_EQ(flags(3), 0);

    SelectPathMembersIn(path, floatBBox(9, 9, 11, 11), 1);
    EXPECT_EQ(flags(1) & PM_ALL_SEL, PM_ALL_SEL);
    EXPECT_EQ(flags(2) & PM_ALL_SEL, PM_START_SEL | PM_CTRL1_SEL | PM_SELECTED);

    // Toggling (10, 0) again: member 0 has no point left and loses its selection.
    SelectPathMembersIn(path, floatBBox(9, -1, 11, 1), 1);
    EXPECT_EQ(flags(0) & PM_ALL_SEL, 0);
    EXPECT_EQ(flags(1) & PM_ALL_SEL, PM_CTRL2_SEL | PM_END_SEL | PM_SELECTED);
    EXPECT_EQ(path.subPaths[1].members[2].flags, PM_SELECTED);
}

TEST(CountSelectionIn, CountsAndKeepsTheSelectionBit) {
    SubPath sp = Polyline({{0, 0}, {1, 0}, {2, 0}, {3, 0}}, false);
    sp.members[0].flags = PM_SELECTED;
    sp.members[2].flags = PM_SELECTED | PM_CURVE;
    EXPECT_EQ(CountSelectionIn(sp), 2u);
    EXPECT_TRUE(sp.HasSelection());
    sp.UnSelectPM(0, 0);
    EXPECT_EQ(CountSelectionIn(sp), 0u);
    EXPECT_FALSE(sp.HasSelection());
}

TEST(MoveSelectionIn, MovesSelectedNodesAndTheirSelectedHandles) {
    // A selected corner of a square moves with both its members.
    SubPath square = Polyline({{0, 0}, {10, 0}, {10, 10}, {0, 10}}, true);
    SelectNode(square, 2);
    square.state = 0;
    MoveSelectionIn(square, floatPoint(1, 2));
    EXPECT_EQ(square.members[1].end, floatPoint(11, 12));
    EXPECT_EQ(square.members[1].ctrl2, floatPoint(11, 12));
    EXPECT_EQ(square.members[2].start, floatPoint(11, 12));
    EXPECT_EQ(square.members[0].end, floatPoint(10, 0));
    EXPECT_TRUE(square.members[1].IsChanged() && square.members[2].IsChanged());
    EXPECT_FALSE(square.members[0].IsChanged());
    EXPECT_EQ(square.state & SP_ALL_INVALID, SP_ALL_INVALID);

    // A handle moves with its node only when its own bit is set.
    SubPath curves =
        Contour({Curve({0, 0}, {1, 1}, {4, 1}, {5, 0}), Curve({5, 0}, {6, -1}, {9, -1}, {10, 0})});
    curves.members[0].flags |= PM_END_SEL | PM_CTRL2_SEL | PM_SELECTED;
    curves.members[1].flags |= PM_START_SEL | PM_SELECTED;
    MoveSelectionIn(curves, floatPoint(0, 3));
    EXPECT_EQ(curves.members[0].end, floatPoint(5, 3));
    EXPECT_EQ(curves.members[0].ctrl2, floatPoint(4, 4));
    EXPECT_EQ(curves.members[1].start, floatPoint(5, 3));
    EXPECT_EQ(curves.members[1].ctrl1, floatPoint(6, -1));
}

TEST(MoveSelectionIn, JoinedNodeNeedsBothSidesButAFreeEndMovesAlone) {
    SubPath open = Polyline({{0, 0}, {10, 0}, {20, 0}}, false);
    // Start point of an open contour: no member ends there.
    open.members[0].flags |= PM_START_SEL | PM_CTRL1_SEL | PM_SELECTED;
    // Half a node: the member ending at (10, 0) is not selected there.
    open.members[1].flags |= PM_START_SEL | PM_SELECTED;
    MoveSelectionIn(open, floatPoint(0, 5));
    EXPECT_EQ(open.members[0].start, floatPoint(0, 5));
    EXPECT_EQ(open.members[0].ctrl1, floatPoint(0, 5));
    EXPECT_EQ(open.members[0].end, floatPoint(10, 0));
    EXPECT_EQ(open.members[1].start, floatPoint(10, 0));
    EXPECT_EQ(open.members[1].end, floatPoint(20, 0));

    open.UnSelectPM(0, 0);
    open.SetPMState(PM_NODE_SEL, 0, 0, 0);
    open.members[1].flags |= PM_END_SEL | PM_SELECTED;
    MoveSelectionIn(open, floatPoint(1, 1));
    EXPECT_EQ(open.members[1].end, floatPoint(21, 1));

    // Nothing moves by a delta that is not a number.
    MoveSelectionIn(open, floatPoint(kNaN, 0));
    EXPECT_EQ(open.members[1].end, floatPoint(21, 1));
}

TEST(MoveSelectionIn, ReappliesSmoothJoints) {
    // Moving the line's start turns it to (10, 10); the smooth curve's handle (length 3) follows.
    SubPath sp =
        Contour({Line({-10, 0}, {0, 0}), Curve({0, 0}, {3, 0}, {7, 3}, {10, 3}, PM_SMOOTH)});
    sp.members[0].flags |= PM_START_SEL | PM_CTRL1_SEL | PM_SELECTED;
    MoveSelectionIn(sp, floatPoint(0, -10));
    EXPECT_EQ(sp.members[0].start, floatPoint(-10, -10));
    ExpectPoint(sp.members[1].ctrl1, 3 * std::sqrt(0.5), 3 * std::sqrt(0.5));
}

TEST(ControlPointEdit, DragsOneHandle) {
    struct Case {
        const char* name;
        PathMember prev, next;
        floatPoint point;
        int which;
        floatPoint wantCtrl2, wantCtrl1; // prev's second and next's first control point
    };
    const PathMember cPrev = Curve({-5, 0}, {-4, 0}, {-2, 0}, {0, 0});
    const PathMember cNext = Curve({0, 0}, {1, 0}, {4, 3}, {5, 3});
    PathMember smooth = cNext;
    smooth.flags |= PM_SMOOTH;
    PathMember symmetric = smooth;
    symmetric.flags |= PM_SYMMETRIC;
    const PathMember lPrev = Line({-10, 0}, {0, 0});
    const PathMember lNext = Line({0, 0}, {0, 10}, PM_SMOOTH);
    PathMember smoothAfterLine = cNext;
    smoothAfterLine.flags |= PM_SMOOTH;
    const Case cases[] = {
        {"cusp", cPrev, cNext, {0, 3}, 1, {-2, 0}, {0, 3}},
        // The opposite handle turns along and keeps its length 2.
        {"smooth next", cPrev, smooth, {0, 3}, 1, {0, -2}, {0, 3}},
        {"smooth prev", cPrev, smooth, {0, 4}, 0, {0, 4}, {0, -1}},
        {"symmetric", cPrev, symmetric, {0, 3}, 1, {0, -3}, {0, 3}},
        // After a line the handle is projected onto the line's direction.
        {"after line", lPrev, smoothAfterLine, {3, 4}, 1, {0, 0}, {3, 0}},
        {"after line, back", lPrev, smoothAfterLine, {-2, 5}, 1, {0, 0}, {-2, 0}},
        // Before a line onto the line's direction reversed.
        {"before line", cPrev, lNext, {1, -3}, 0, {0, -3}, {0, 0}},
        // The control point of a line is never moved.
        {"line dragged", lPrev, cNext, {5, 5}, 0, {0, 0}, {1, 0}},
        {"not a number", cPrev, cNext, {kNaN, 1}, 1, {-2, 0}, {1, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PathMember prev = c.prev, next = c.next;
        ControlPointEdit(prev, next, c.point, c.which);
        ExpectPoint(prev.ctrl2, c.wantCtrl2.x, c.wantCtrl2.y);
        ExpectPoint(next.ctrl1, c.wantCtrl1.x, c.wantCtrl1.y);
    }
}

TEST(EditCurve, MovesTheCurvePointByExactlyTheDelta) {
    const PathMember arch = Curve({0, 0}, {0, 10}, {10, 10}, {10, 0});
    struct Case {
        double t;
        floatPoint delta;
        floatPoint move1, move2; // of the control points
    };
    const Case cases[] = {
        {0.5, {0, 3}, {0, 4}, {0, 4}},                  // 4/3 of delta each
        {0.25, {4, 0}, {8.533333f, 0}, {2.844444f, 0}}, // x = 32/15, y = 32/45
        {0, {4, 0}, {0, 0}, {0, 0}},                    // singular
        {1, {4, 0}, {0, 0}, {0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.t);
        PathMember m = arch;
        EditCurve(m, c.t, c.delta);
        ExpectPoint(m.ctrl1 - arch.ctrl1, c.move1.x, c.move1.y);
        ExpectPoint(m.ctrl2 - arch.ctrl2, c.move2.x, c.move2.y);
        if (c.t > 0 && c.t < 1) {
            floatPoint moved = At(m, c.t) - At(arch, c.t);
            ExpectPoint(moved, c.delta.x, c.delta.y);
        }
    }
    PathMember line = Line({0, 0}, {10, 0});
    EditCurve(line, 0.5, floatPoint(0, 3));
    EXPECT_EQ(line.ctrl1, floatPoint(0, 0));
}

TEST(UpdateConnectionsIn, SmoothsMarkedJointsButNeverJoinsOpenEnds) {
    SubPath closed = Contour({Curve({0, 0}, {5, 0}, {10, 5}, {10, 10}),
                              Curve({10, 10}, {10, 15}, {0, 5}, {0, 0}, PM_SMOOTH)});
    UpdateConnectionsIn(closed);
    EXPECT_NEAR(Angle(closed.members[0], closed.members[1]), 0, 1e-5);
    EXPECT_NE(Angle(closed.members[1], closed.members[0]), 0); // node 0 is not smooth

    // A smooth mark on an open contour's first member: its start is no joint.
    SubPath open = Contour({Curve({0, 0}, {5, 0}, {10, 5}, {10, 10}, PM_SMOOTH),
                            Curve({10, 10}, {10, 15}, {5, 20}, {0, 20})});
    UpdateConnectionsIn(open);
    EXPECT_EQ(open.members[1].end, floatPoint(0, 20));
    EXPECT_EQ(open.members[1].ctrl2, floatPoint(5, 20));
    EXPECT_EQ(open.members[0].ctrl1, floatPoint(5, 0));
}

TEST(DetectConnectionTypesIn, SelectsAndClassifiesJoints) {
    // Node 1 turns by about 0.1 degree with handles of length 2; node 2 is a right angle.
    auto make = [] {
        return Contour({Curve({-10, 0}, {-8, 0}, {-2, 0.0035f}, {0, 0}),
                        Curve({0, 0}, {2, 0}, {10, 2}, {10, 5}),
                        Curve({10, 5}, {12, 5}, {15, 8}, {20, 8}, PM_SMOOTH)});
    };
    const float tol = 0.0034906585f; // 0.2 degrees

    SubPath sp = make();
    EXPECT_EQ(DetectConnectionTypesIn(sp, 1, 0, 1, 0.01f, 0), 0);
    EXPECT_EQ(DetectConnectionTypesIn(sp, 1, tol, 1, 0.01f, 0), 1);
    EXPECT_EQ(sp.members[0].flags & PM_ALL_SEL, PM_ALL_SEL);
    EXPECT_EQ(sp.members[1].flags & PM_ALL_SEL, PM_ALL_SEL);
    EXPECT_EQ(sp.members[2].flags & PM_ALL_SEL, 0);

    // Only flags in mode 2: node 1 becomes smooth and symmetric, the geometry stays.
    sp = make();
    SelectNode(sp, 1);
    SelectNode(sp, 2);
    EXPECT_EQ(DetectConnectionTypesIn(sp, 1, tol, 1, 0.01f, 2), 1);
    EXPECT_TRUE(sp.members[1].IsSmooth() && sp.members[1].IsSymmetric());
    EXPECT_EQ(sp.members[0].ctrl2, floatPoint(-2, 0.0035f));
    EXPECT_FALSE(sp.members[2].IsSmooth()); // the corner loses its old mark
    EXPECT_TRUE(sp.members[2].IsChanged());

    // Mode 1 reshapes the joint too.
    sp = make();
    SelectNode(sp, 1);
    DetectConnectionTypesIn(sp, 1, tol, 1, 0.01f, 1);
    EXPECT_TRUE(sp.members[1].IsSmooth() && sp.members[1].IsSymmetric());
    EXPECT_NEAR(Angle(sp.members[0], sp.members[1]), 0, 1e-6);

    // Handles of lengths 2 and 3 are not symmetric within 1 %; an unselected node is left.
    sp = make();
    sp.members[1].ctrl1 = floatPoint(3, 0);
    SelectNode(sp, 1);
    DetectConnectionTypesIn(sp, 1, tol, 1, 0.01f, 2);
    EXPECT_TRUE(sp.members[1].IsSmooth());
    EXPECT_FALSE(sp.members[1].IsSymmetric());
    EXPECT_TRUE(sp.members[2].IsSmooth());
}

TEST(AlignIn, SelectsPointsOnTheCoordinate) {
    SubPath sp = Polyline({{0, 0}, {10, 0}, {10.3f, 10}, {0, 10}}, true);
    sp.members[3].flags = PM_ALL_SEL;
    EXPECT_EQ(AlignIn(sp, 10, 0.5f, 0, 0), 1);
    EXPECT_EQ(sp.members[0].flags & PM_ALL_SEL, PM_END_SEL | PM_SELECTED);
    EXPECT_EQ(sp.members[1].flags & PM_ALL_SEL, PM_START_SEL | PM_END_SEL | PM_SELECTED);
    EXPECT_EQ(sp.members[2].flags & PM_ALL_SEL, PM_START_SEL | PM_SELECTED);
    EXPECT_EQ(sp.members[3].flags & PM_ALL_SEL, 0);
    EXPECT_TRUE(sp.members[3].IsChanged());
    EXPECT_EQ(AlignIn(sp, 10, 0.5f, 0, 0), 0); // nothing changes the second time
}

TEST(AlignIn, MovesSelectedPointsOntoTheCoordinate) {
    SubPath sp = Contour({Line({0, 0}, {10, 0}), Curve({10, 0}, {11, 3}, {12, 7}, {10.3f, 10}),
                          Line({10.3f, 10}, {0, 10})});
    sp.members[1].flags |= PM_START_SEL | PM_CTRL1_SEL | PM_END_SEL | PM_SELECTED;
    sp.members[2].flags |= PM_START_SEL | PM_SELECTED;
    sp.state = 0;
    EXPECT_EQ(AlignIn(sp, 12, 0, 0, 1), 1);
    EXPECT_EQ(sp.members[1].start, floatPoint(12, 0));
    EXPECT_EQ(sp.members[1].ctrl1, floatPoint(12, 3));
    EXPECT_EQ(sp.members[1].ctrl2, floatPoint(12, 7)); // its bit is not set: already on 12
    EXPECT_EQ(sp.members[1].end, floatPoint(12, 10));
    EXPECT_EQ(sp.members[2].start, floatPoint(12, 10));
    EXPECT_EQ(sp.members[2].ctrl1, floatPoint(12, 10));
    EXPECT_EQ(sp.members[0].end, floatPoint(10, 0)); // not selected
    EXPECT_EQ(sp.state & SP_ALL_INVALID, SP_ALL_INVALID);
    EXPECT_EQ(AlignIn(sp, kNaN, 0, 0, 1), 0);
    EXPECT_EQ(sp.members[1].start, floatPoint(12, 0));
}
