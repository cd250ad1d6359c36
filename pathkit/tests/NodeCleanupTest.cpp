#include <cmath>
#include <numbers>
#include <vector>

#include <gtest/gtest.h>

#include "NodeEditTestUtil.h"
#include "PathTestUtil.h"
#include "pathkit/NodeCleanup.h"
#include "pathkit/NodeEdit.h"
#include "pathkit/PathQueries.h"
#include "pathkit/TMatrix.h"

using namespace nodetest;

namespace {

void ExpectPoint(const floatPoint& p, double x, double y, double tol = 1e-4) {
    EXPECT_NEAR(p.x, x, tol) << "x of " << p.x << "," << p.y;
    EXPECT_NEAR(p.y, y, tol) << "y of " << p.x << "," << p.y;
}

// Lines through n + 1 points of a quarter circle of radius r about the origin.
SubPath QuarterPolygon(float r, int n) {
    SubPath sp;
    for (int k = 0; k < n; ++k) {
        double a0 = std::numbers::pi / 2 * k / n, a1 = std::numbers::pi / 2 * (k + 1) / n;
        sp.members.Append(Line({float(r * std::cos(a0)), float(r * std::sin(a0))},
                               {float(r * std::cos(a1)), float(r * std::sin(a1))}));
    }
    for (std::uint16_t i = 1; i < n; ++i)
        sp.members[i].start = sp.members[std::uint16_t(i - 1)].end;
    return sp;
}

} // namespace

TEST(FindStraightLinesIn, NearlyStraightCurvesBecomeLines) {
    struct Case {
        const char* name;
        PathMember curve;
        float tol, factor;
        bool line;
    };
    const Case cases[] = {
        // Control points within 1 % of the chord: a line without flattening.
        {"flat handles", Curve({0, 0}, {3, 0.1f}, {7, -0.1f}, {10, 0}), 0.01f, 1, true},
        // 5 %: the peak lies 0.375 off the chord, 0.140625 squared.
        {"bulge within", Curve({0, 0}, {3, 0.5f}, {7, 0.5f}, {10, 0}), 0.2f, 1, true},
        {"bulge beyond", Curve({0, 0}, {3, 0.5f}, {7, 0.5f}, {10, 0}), 0.1f, 1, false},
        {"arch", Curve({0, 0}, {3, 2}, {7, 2}, {10, 0}), 100, 0, false},
        {"short", Curve({0, 0}, {3, 0.1f}, {7, -0.1f}, {10, 0}), 1, 11, false},
        {"loop", Curve({0, 0}, {3, 0.1f}, {7, -0.1f}, {0, 0}), 1, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SubPath sp = Contour({Line({-5, 0}, c.curve.start), c.curve});
        FindStraightLinesIn(sp, c.tol, c.factor);
        EXPECT_EQ(!sp.members[1].IsCurve(), c.line);
        if (c.line) {
            EXPECT_EQ(sp.members[1].ctrl1, c.curve.start);
            EXPECT_EQ(sp.members[1].ctrl2, c.curve.end);
            EXPECT_TRUE(sp.members[1].IsChanged());
        }
    }
    SubPath single = Contour({Curve({0, 0}, {3, 0.1f}, {7, -0.1f}, {10, 0})});
    FindStraightLinesIn(single, 1, 0);
    EXPECT_TRUE(single.members[0].IsCurve());
}

TEST(FindStraightLinesIn, CurveRunningPastItsEndStays) {
    // Control points on the chord's line but past its end: the curve runs out to the tip of
    // a thin stroke and back, and a line would cut the tip off.
    SubPath sp = Contour({Line({0, 5}, {0, 0}), Curve({0, 0}, {16, 0}, {16, 0}, {10, 0}),
                          Line({10, 0}, {10, 5})});
    FindStraightLinesIn(sp, 1, 1);
    EXPECT_TRUE(sp.members[1].IsCurve());
}

TEST(JoinStraightLinesIn, JoinsNearlyCollinearRuns) {
    SubPath sp = Polyline({{0, 0}, {5, 0.01f}, {10, 0}, {10, 10}}, false);
    JoinStraightLinesIn(sp, 0.001f);
    EXPECT_EQ(sp.members.Filled(), 3);
    JoinStraightLinesIn(sp, 0.05f);
    EXPECT_EQ(pathtest::Describe(sp), "0,0 L10,0 L10,10");
    EXPECT_TRUE(sp.members[0].IsChanged());
    EXPECT_EQ(sp.members[0].ctrl2, floatPoint(10, 0));

    // A side split in two on a closed square.
    SubPath sq = Polyline({{0, 0}, {5, 0}, {10, 0}, {10, 10}, {0, 10}}, true);
    JoinStraightLinesIn(sq, 0.01f);
    EXPECT_EQ(pathtest::Describe(sq), "0,0 L10,0 L10,10 L0,10 L0,0");

    SubPath two = Polyline({{0, 0}, {5, 0}, {10, 0}}, false);
    JoinStraightLinesIn(two, 1);
    EXPECT_EQ(two.members.Filled(), 2);
}

TEST(JoinStraightLinesIn, RunsThatTurnBackStay) {
    // A thin closed loop of lines, its chord a point: joined whole it would leave one line of
    // no length (a traced one-pixel bar that vanished). Only the side within reach of its
    // chord joins.
    SubPath loop = Polyline({{12, 0}, {24, 1}, {12, 2}, {0, 1}}, true);
    JoinStraightLinesIn(loop, 2);
    EXPECT_EQ(pathtest::Describe(loop), "12,0 L24,1 L0,1 L12,0");
    // A spike along the chord's own line, past the chord's end and back.
    SubPath spike = Polyline({{0, 0}, {10, 0}, {4, 0}, {4, 6}}, false);
    JoinStraightLinesIn(spike, 0.5f);
    EXPECT_EQ(pathtest::Describe(spike), "0,0 L10,0 L4,0 L4,6");
}

TEST(JoinStraightLinesIn, ClosedContourBeginsWithACurve) {
    // The run (0,10) (0,5) (0,0) (5,0) crosses the closing node only before the turn.
    SubPath sp = Contour({Line({0, 5}, {0, 0}), Line({0, 0}, {5, 0}), Line({5, 0}, {10, 0}),
                          Curve({10, 0}, {15, 0}, {15, 10}, {10, 10}), Line({10, 10}, {0, 10}),
                          Line({0, 10}, {0, 5})});
    JoinStraightLinesIn(sp, 0.01f);
    ASSERT_TRUE(sp.members[0].IsCurve());
    EXPECT_EQ(pathtest::Describe(sp), "10,0 C15,0 15,10 10,10 L0,10 L0,0 L10,0");
    EXPECT_TRUE(sp.IsClosed());
}

TEST(LocalSmooth, RefitsTheSelectedRun) {
    // A polygon of 16 sides on a quarter circle of radius 50 (sagitta 0.06) between two lines.
    SubPath arc = QuarterPolygon(50, 16);
    SubPath sp = Contour({Line({50, -10}, {50, 0})});
    for (const PathMember& m : arc.members)
        sp.members.Append(m);
    sp.members.Append(Line(arc.members.last()->end, {-10, 50}));
    sp.SetPMState(PM_SELECTED, PM_SELECTED, 0, 0);
    sp.members[0].flags = 0;
    sp.members.last()->flags = 0;
    const PathMember firstBefore = sp.members[0], lastBefore = *sp.members.last();

    LocalSmooth(sp, 0.1f, 0.5f);
    std::uint16_t n = sp.members.Filled();
    ASSERT_GE(n, 3);
    EXPECT_LT(n, 18);
    EXPECT_TRUE(IsContinuous(sp));
    EXPECT_EQ(sp.members[0].end, firstBefore.end);
    EXPECT_EQ(sp.members[0].flags, firstBefore.flags);
    EXPECT_EQ(sp.members[std::uint16_t(n - 1)].start, lastBefore.start);
    SubPath refit;
    for (std::uint16_t i = 1; i + 1 < n; ++i) {
        EXPECT_TRUE(sp.members[i].IsPMSelected());
        EXPECT_TRUE(sp.members[i].IsChanged());
        refit.members.Append(sp.members[i]);
        // Joints inside the result are smooth.
        if (i > 1) {
            EXPECT_NEAR(Angle(sp.members[std::uint16_t(i - 1)], sp.members[i]), 0, 1e-4);
        }
    }
    // Within twice the accuracy of the polygon, which lies within 0.06 of the circle.
    EXPECT_LT(Deviation(refit, arc), 0.2 + 0.02);

    // Nothing selected: nothing changes.
    SubPath plain = QuarterPolygon(50, 16);
    LocalSmooth(plain, 0.1f, 0.5f);
    EXPECT_EQ(plain.members.Filled(), 16);
}

TEST(LocalSmooth, ClosedContourFullySelectedStaysClosed) {
    SubPath sp = QuarterPolygon(50, 16);
    SubPath other = QuarterPolygon(50, 16);
    floatTMatrix turn;
    turn.Rotate(float(std::numbers::pi / 2));
    for (int q = 0; q < 3; ++q) {
        other.Transform(turn);
        for (const PathMember& m : other.members)
            sp.members.Append(m);
    }
    sp.members.last()->end = sp.members[0].start;
    ASSERT_TRUE(sp.IsClosed());
    sp.SetPMState(PM_SELECTED, PM_SELECTED, 0, 0);
    LocalSmooth(sp, 0.1f, 0.5f);
    EXPECT_TRUE(sp.IsClosed());
    EXPECT_TRUE(IsContinuous(sp));
    EXPECT_LT(sp.members.Filled(), 64);
}

TEST(MakeCornersIn, CornerCurveBecomesTwoLines) {
    // Handles 9 + 9 against a length of 17.44: the tangents meet at (10, 0).
    auto make = [](std::uint16_t flags) {
        return Contour({Line({-10, 0}, {0, 0}), Curve({0, 0}, {9, 0}, {10, 1}, {10, 10}, flags),
                        Line({10, 10}, {10, 20})});
    };
    SubPath sp = make(0);
    EXPECT_EQ(MakeCornersIn(sp, 0), 1);
    EXPECT_EQ(pathtest::Describe(sp), "-10,0 L0,0 L10,0 L10,10 L10,20");
    EXPECT_EQ(sp.members[1].flags, PM_CHANGED);
    EXPECT_EQ(sp.members[2].flags, PM_CHANGED);

    SubPath unselected = make(0);
    EXPECT_EQ(MakeCornersIn(unselected, 1), 0);
    SubPath selected = make(PM_SELECTED);
    EXPECT_EQ(MakeCornersIn(selected, 1), 1);

    // Short handles (share 0.53) and an S bend (halves turning opposite ways) stay.
    SubPath gentle = Contour({Line({-10, 0}, {0, 0}), Curve({0, 0}, {4, 0}, {10, 6}, {10, 10}),
                              Line({10, 10}, {10, 20})});
    EXPECT_EQ(MakeCornersIn(gentle, 0), 0);
    SubPath bend = Contour({Line({-10, 0}, {0, 0}), Curve({0, 0}, {10, 0}, {0, 10}, {10, 10}),
                            Line({10, 10}, {20, 10})});
    EXPECT_EQ(MakeCornersIn(bend, 0), 0);
    EXPECT_EQ(bend.members.Filled(), 3);
}

TEST(MakeCornersIn, HookTurningBackStaysACurve) {
    // The end of a stroke taken in one curve: its end tangents are 89 degrees apart and its
    // handles long, but its halves turn by 98 and 173 degrees; a corner where the tangents
    // cross would cut the stroke's end (down to y = 14) off.
    SubPath sp = Contour({Line({0, -10}, {0, 0}), Curve({0, 0}, {14, -2}, {8, 20}, {6, 4}),
                          Line({6, 4}, {20, 4})});
    EXPECT_EQ(MakeCornersIn(sp, 0), 0);
    EXPECT_TRUE(sp.members[1].IsCurve());
}

TEST(MakeCornersIn, LineBesideTheCurveGivesTheTangent) {
    // The curve leaves the line at 2.9 degrees; the line's own direction decides the corner.
    SubPath sp = Contour({Line({-10, 0}, {0, 0}), Curve({0, 0}, {9, 0.45f}, {10, 1}, {10, 10}),
                          Line({10, 10}, {10, 20})});
    EXPECT_EQ(MakeCornersIn(sp, 0), 1);
    ExpectPoint(sp.members[1].end, 10, 0);
}

TEST(MinAngle, TakesTheNearerOfTheTwoDirections) {
    struct Case {
        floatPoint dir;
        double angle, want;
    };
    const double q = std::numbers::pi / 4;
    const Case cases[] = {
        {{1, 0.1f}, 0, std::atan(0.1)},
        {{-1, 0.1f}, 0, -std::atan(0.1)},
        {{0, 1}, 0, 2 * q},
        {{1, 1}, 2 * q, -q},
        {{-1, -1}, 2 * q, -q},
        {{0, 0}, 1, 0},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(MinAngle(c.dir, c.angle), c.want, 1e-6) << c.dir.x << "," << c.dir.y;
}

TEST(SnapLinesIn, TurnsLinesAboutTheirMiddles) {
    const double half = std::sqrt(101.0) / 2; // half of the length of (10, 1)
    SubPath sp = Contour({Line({0, 0}, {10, 1}), Line({10, 1}, {11, 11}),
                          Curve({11, 11}, {11, 12}, {0, 12}, {0, 11})});
    sp.state = 0;
    EXPECT_EQ(SnapLinesIn(sp, 0, 0.2f, 0), 1);
    ExpectPoint(sp.members[0].start, 5 - half, 0.5);
    ExpectPoint(sp.members[0].end, 5 + half, 0.5);
    EXPECT_EQ(sp.members[0].start.y, sp.members[0].end.y);
    EXPECT_EQ(sp.members[0].flags, PM_SNAPPED | PM_CHANGED);
    EXPECT_EQ(sp.members[1].end, floatPoint(11, 11)); // 84 degrees off
    EXPECT_EQ(sp.members[2].ctrl1, floatPoint(11, 12));
    EXPECT_EQ(sp.state & SP_ALL_INVALID, SP_ALL_INVALID);

    // Tolerance 0 snaps every line, here onto the vertical as the tracer passes it.
    SubPath v = Polyline({{0, 0}, {0.5f, 10}}, false);
    EXPECT_EQ(SnapLinesIn(v, 1.5707964f, 0, 0), 1);
    EXPECT_NEAR(v.members[0].start.x, v.members[0].end.x, 1e-5);
    EXPECT_NEAR(Dist(v.members[0].start, v.members[0].end), std::sqrt(100.25), 1e-4);
    ExpectPoint(v.members[0].start, 0.25, 5 - std::sqrt(100.25) / 2);

    SubPath unselected = Polyline({{0, 0}, {10, 1}}, false);
    EXPECT_EQ(SnapLinesIn(unselected, 0, 0.2f, 1), 0);
    EXPECT_EQ(SnapLinesIn(unselected, kNaN, 0, 0), 0);
    EXPECT_EQ(unselected.members[0].end, floatPoint(10, 1));
}

TEST(RecoverConnectionsIn, SnappedRectangleMeetsAtItsCorners) {
    SubPath sp = Polyline({{0, 0}, {10, 0.5f}, {10.3f, 10}, {0, 10}}, true);
    SnapLinesIn(sp, 0, 0.1f, 0);
    SnapLinesIn(sp, float(std::numbers::pi / 2), 0.1f, 0);
    EXPECT_FALSE(IsContinuous(sp));
    RecoverConnectionsIn(sp);
    ASSERT_EQ(sp.members.Filled(), 4);
    EXPECT_TRUE(IsContinuous(sp));
    EXPECT_TRUE(sp.IsClosed());
    ExpectPoint(sp.members[0].start, 0, 0.25);
    ExpectPoint(sp.members[1].start, 10.15, 0.25);
    ExpectPoint(sp.members[2].start, 10.15, 10);
    ExpectPoint(sp.members[3].start, 0, 10);
    for (const PathMember& m : sp.members)
        EXPECT_FALSE(m.flags & PM_SNAPPED);
}

TEST(RecoverConnectionsIn, UnsnappedMemberFollows) {
    SubPath sp = Polyline({{0, 0}, {10, 1}, {20, 5}}, false);
    SnapLinesIn(sp, 0, 0.2f, 0); // only the first line
    const floatPoint end0 = sp.members[0].end;
    RecoverConnectionsIn(sp);
    EXPECT_EQ(sp.members[1].start, end0);
    EXPECT_EQ(sp.members[1].ctrl1, end0);
    EXPECT_EQ(sp.members[1].end, floatPoint(20, 5));

    SubPath back = Polyline({{-10, -4}, {0, 0}, {10, 1}}, false);
    SnapLinesIn(back, 0, 0.2f, 0); // only the second line
    const floatPoint start1 = back.members[1].start;
    RecoverConnectionsIn(back);
    EXPECT_EQ(back.members[0].end, start1);
    EXPECT_EQ(back.members[0].start, floatPoint(-10, -4));
}

TEST(RecoverConnectionsIn, ParallelSnappedLinesBecomeOne) {
    // Two lines snapped onto the horizontal at y = 0.1 and y = 0.4, after a steep line.
    SubPath sp = Polyline({{-5, -5}, {0, 0}, {10, 0.2f}, {20, 0.6f}}, false);
    SnapLinesIn(sp, 0, 0.1f, 0);
    const PathMember a = sp.members[1], b = sp.members[2];
    ASSERT_TRUE(a.flags & PM_SNAPPED);
    ASSERT_TRUE(b.flags & PM_SNAPPED);
    RecoverConnectionsIn(sp);
    ASSERT_EQ(sp.members.Filled(), 2);
    // The first snapped line moves by the gap to the second and reaches its end.
    floatPoint shifted = a.start + (b.start - a.end);
    ExpectPoint(sp.members[1].start, shifted.x, 0.4);
    EXPECT_EQ(sp.members[1].end, b.end);
    EXPECT_EQ(sp.members[0].end, sp.members[1].start);
    EXPECT_EQ(sp.members[0].start, floatPoint(-5, -5));
}

TEST(RecoverConnectionsIn, OpenContourEndsStayApart) {
    // Ends 1.0 apart, within what snapping the first line (length 10.05) could open.
    SubPath sp = Polyline({{0, 0}, {10, 1}, {10, 10}, {1, 0}}, false);
    sp.depth = -1; // as Path::Prepare leaves an open contour
    SnapLinesIn(sp, 0, 0.2f, 0);
    RecoverConnectionsIn(sp);
    EXPECT_FALSE(sp.IsClosed());
    EXPECT_EQ(sp.members[2].end, floatPoint(1, 0));
    ExpectPoint(sp.members[0].start, 5 - std::sqrt(101.0) / 2, 0.5);

    // Not prepared: the ends lie too far apart for snapping to have parted them.
    SubPath fresh = Polyline({{0, 0}, {10, 1}, {10, 10}}, false);
    SnapLinesIn(fresh, 0, 0.2f, 0);
    RecoverConnectionsIn(fresh);
    EXPECT_EQ(fresh.members[1].end, floatPoint(10, 10));
    ExpectPoint(fresh.members[0].start, 5 - std::sqrt(101.0) / 2, 0.5);
}

TEST(RecoverConnectionsIn, ClosingNodeOfParallelLinesTurnsTheMembers) {
    // The last and the first line snap onto y = 0.1 and y = 0.4 and run the same way.
    SubPath sp = Polyline({{10, 0.2f}, {20, 0.6f}, {20, 10}, {0, 10}, {0, 0}}, true);
    SnapLinesIn(sp, 0, 0.1f, 0);
    ASSERT_TRUE(sp.members[4].flags & PM_SNAPPED);
    ASSERT_TRUE(sp.members[0].flags & PM_SNAPPED);
    RecoverConnectionsIn(sp);
    ASSERT_EQ(sp.members.Filled(), 4);
    EXPECT_TRUE(IsContinuous(sp));
    EXPECT_TRUE(sp.IsClosed());
    // The last line moves up by the gap onto the first one's and reaches its end; the
    // members are turned by one, so it comes last.
    const double h0 = std::sqrt(100.16) / 2, h4 = std::sqrt(100.04) / 2;
    const PathMember& bottom = sp.members[3];
    ExpectPoint(bottom.start, 15 - h0 - 2 * h4, 0.4);
    ExpectPoint(bottom.end, 15 + h0, 0.4);
    ExpectPoint(sp.members[0].end, 20, 10);
    ExpectPoint(sp.members[2].start, 0, 10);
}
