#include <cmath>
#include <cstdint>
#include <limits>

#include <gtest/gtest.h>

#include "MemoryFailure.h"
#include "PathTestUtil.h"
#include "pathkit/LPathMember.h"
#include "pathkit/Path.h"
#include "pathkit/TMatrix.h"

using pathtest::Describe;
using pathtest::Pt;

namespace {

PathMember Curve(floatPoint s, floatPoint c1, floatPoint c2, floatPoint e) {
    PathMember m(s, e);
    m.flags = PM_CURVE;
    m.ctrl1 = c1;
    m.ctrl2 = c2;
    return m;
}

PathMember Line(floatPoint s, floatPoint e) {
    PathMember m(s, e);
    m.ctrl1 = s;
    m.ctrl2 = e;
    return m;
}

std::string Box(const floatBBox& b) {
    char s[96];
    std::snprintf(s, sizeof s, "x %g..%g y %g..%g", b.left, b.right, b.bottom, b.top);
    return s;
}

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

} // namespace

// ---- PathMember

TEST(PathMember, ConstructorsAndFill) {
    PathMember d;
    EXPECT_EQ(d.flags, 0);
    EXPECT_EQ(Pt(d.start) + " " + Pt(d.end) + " " + Pt(d.ctrl1) + " " + Pt(d.ctrl2),
              "0,0 0,0 0,0 0,0");
    PathMember two(floatPoint(1, 2), floatPoint(3, 4));
    EXPECT_EQ(Pt(two.ctrl1) + " " + Pt(two.ctrl2), "0,0 0,0");
    two.flags = PM_CURVE | PM_SELECTED;
    two.ctrl1 = floatPoint(7, 7);
    two.Fill(floatPoint(5, 5), floatPoint(6, 6));
    EXPECT_EQ(two.flags, 0);
    EXPECT_EQ(Pt(two.ctrl1), "7,7"); // kept
}

TEST(PathMember, SelectionMarksChangedOnlyOnChange) {
    PathMember m;
    m.SelectPM();
    EXPECT_EQ(m.flags, PM_SELECTED | PM_CHANGED);
    m.flags = PM_SELECTED;
    m.SelectPM();
    EXPECT_EQ(m.flags, PM_SELECTED);
    m.UnselectPM();
    EXPECT_EQ(m.flags, PM_CHANGED);
    m.flags = 0;
    m.UnselectPM();
    EXPECT_EQ(m.flags, 0);
    m.Touch();
    EXPECT_TRUE(m.IsChanged());
    m.flags = PM_SMOOTH;
    EXPECT_FALSE(m.IsGeneral());
}

TEST(PathMember, HorizontalAndVerticalWithinTenMicrometres) {
    EXPECT_TRUE(Line({0, 1}, {5, 1.000009f}).IsHorizontal());
    EXPECT_FALSE(Line({0, 1}, {5, 1.00002f}).IsHorizontal());
    EXPECT_TRUE(Line({2, 0}, {2.000009f, 5}).IsVertical());
    EXPECT_FALSE(Line({2, 0}, {2.00002f, 5}).IsVertical());
}

TEST(PathMember, ControlBoxIgnoresControlPointsOfLines) {
    floatBBox b;
    PathMember line(floatPoint(0, 0), floatPoint(2, 1));
    line.ctrl1 = floatPoint(50, 50);
    line.CtrlBBox(b);
    EXPECT_EQ(Box(b), "x 0..2 y 0..1");
    Curve({0, 0}, {-1, 5}, {3, -2}, {2, 1}).CtrlBBox(b);
    EXPECT_EQ(Box(b), "x -1..3 y -2..5");
}

TEST(PathMember, ExactBoxOfCurvesBulgingOutOfTheirChordBox) {
    floatBBox b;
    // y: 0, 10, 10, 0 peaks at t = 0.5 with 3/8 * 10 + 3/8 * 10 = 7.5; x is monotonic.
    Curve({0, 0}, {0, 10}, {10, 10}, {10, 0}).AccBBox(b);
    EXPECT_EQ(Box(b), "x 0..10 y 0..7.5");
    // x: 0, 12, 12, 0 peaks at 9.
    Curve({0, 0}, {12, 0}, {12, 6}, {0, 6}).AccBBox(b);
    EXPECT_EQ(Box(b), "x 0..9 y 0..6");
    // Asymmetric: x = 0, 30, 0, 10. x'(t)/3 = 30 - 120 t + 100 t^2 = 0 at t = 0.3550510 with
    // x = 13.739388 (beyond both ends) and at t = 0.8449490 with x = 7.860612 (a minimum above
    // the start, so the left edge stays 0).
    Curve({0, 0}, {30, 1}, {0, 2}, {10, 3}).AccBBox(b);
    EXPECT_NEAR(b.right, 13.739388, 1e-5);
    EXPECT_FLOAT_EQ(b.left, 0);
    EXPECT_FLOAT_EQ(b.top, 3);
    // Degenerate curves: all points equal; straight with control points on the chord.
    Curve({4, 4}, {4, 4}, {4, 4}, {4, 4}).AccBBox(b);
    EXPECT_EQ(Box(b), "x 4..4 y 4..4");
    Curve({0, 0}, {1, 1}, {2, 2}, {3, 3}).AccBBox(b);
    EXPECT_EQ(Box(b), "x 0..3 y 0..3");
}

TEST(PathMember, PointsAlongLinesAndCurves) {
    floatPoint p;
    PathMember c = Curve({0, 0}, {0, 10}, {10, 10}, {10, 0});
    c.GetPointAt(0x40000000u, p);
    EXPECT_EQ(Pt(p), "5,7.5");
    c.GetPointAt(0, p);
    EXPECT_EQ(Pt(p), "0,0");
    c.GetPointAt(PM_PARAM_ONE, p);
    EXPECT_EQ(Pt(p), "10,0");
    Line({0, 0}, {8, 4}).GetPointAt(0x20000000u, p);
    EXPECT_EQ(Pt(p), "2,1");
}

TEST(PathMember, TransformAndReverseTouchControlPointsOfCurvesOnly) {
    floatTMatrix shift(1, 0, 0, 1, 10, 20);
    PathMember line(floatPoint(0, 0), floatPoint(1, 1));
    line.ctrl1 = floatPoint(5, 5);
    line.Transform(shift);
    line.Reverse();
    EXPECT_EQ(Pt(line.start) + " " + Pt(line.end) + " " + Pt(line.ctrl1), "11,21 10,20 5,5");

    PathMember c = Curve({0, 0}, {1, 0}, {2, 0}, {3, 0});
    c.Transform(shift);
    c.Reverse();
    EXPECT_EQ(Pt(c.start) + " " + Pt(c.ctrl1) + " " + Pt(c.ctrl2) + " " + Pt(c.end),
              "13,20 12,20 11,20 10,20");
}

TEST(PathMember, IsLineMeasuresControlPointsAgainstTheChordSegment) {
    EXPECT_TRUE(Line({0, 0}, {0, 0}).IsLine(0.1f));
    EXPECT_TRUE(Curve({0, 0}, {3, 0.05f}, {7, -0.05f}, {10, 0}).IsLine(0.1f));
    EXPECT_FALSE(Curve({0, 0}, {3, 0.2f}, {7, 0}, {10, 0}).IsLine(0.1f));
    // On the chord's line but beyond its end: the curve runs past the end and back.
    EXPECT_FALSE(Curve({0, 0}, {20, 0}, {20, 0}, {10, 0}).IsLine(0.1f));
    // A loop back to the start.
    EXPECT_FALSE(Curve({0, 0}, {5, 5}, {-5, 5}, {0, 0}).IsLine(0.1f));
    EXPECT_TRUE(Curve({0, 0}, {0.01f, 0.01f}, {-0.01f, 0}, {0, 0}).IsLine(0.1f));
}

// ---- LPathMember

TEST(LPathMember, RoundsToNearestAndSaturates) {
    struct {
        float v;
        std::int32_t units; // at factor 2
    } cases[] = {
        {1.25f, 3},
        {-1.25f, -2},
        {0.2f, 0},
        {-0.3f, -1},
        {1e30f, INT32_MAX},
        {-1e30f, INT32_MIN},
        {kNaN, 0},
        {std::numeric_limits<float>::infinity(), INT32_MAX},
        {1073741823.0f, INT32_MAX}, // 2^31 after doubling: just out of range
    };
    for (const auto& c : cases) {
        LPathMember l;
        l.Fill(Curve({c.v, 0}, {0, c.v}, {c.v, c.v}, {0, 0}), 2.0);
        EXPECT_EQ(l.start.x, c.units) << c.v;
        EXPECT_EQ(l.ctrl1.y, c.units) << c.v;
        EXPECT_EQ(l.ctrl2.x, c.units) << c.v;
    }
}

TEST(LPathMember, LinesKeepTheirControlPointsAndCompareExactly) {
    LPathMember l;
    PathMember line(floatPoint(1, 2), floatPoint(3, 2));
    line.ctrl1 = floatPoint(100, 100);
    line.flags = PM_SELECTED;
    l.Fill(line, 10);
    EXPECT_EQ(l.flags, PM_SELECTED);
    EXPECT_EQ(l.ctrl1.x, 0);
    EXPECT_TRUE(l.IsHorizontal());
    EXPECT_FALSE(l.IsVertical());
    longBBox b;
    l.CtrlBBox(b);
    EXPECT_EQ(b.left, 10);
    EXPECT_EQ(b.right, 30);
    EXPECT_EQ(b.top, 20);
}

// ---- SubPath

TEST(SubPath, ClosedOpenAndHole) {
    SubPath sp;
    EXPECT_FALSE(sp.IsClosed());
    EXPECT_TRUE(sp.IsOpen());
    sp.members.Append(Line({0, 0}, {1, 0}));
    sp.members.Append(Line({1, 0}, {0, 0.000001f}));
    EXPECT_TRUE(sp.IsOpen()); // exact comparison
    sp.members[1].end = floatPoint(0, 0);
    EXPECT_TRUE(sp.IsClosed());
    EXPECT_FALSE(sp.IsHole());
    sp.depth = 3;
    EXPECT_TRUE(sp.IsHole());
    sp.depth = -1;
    sp.members[1].end = floatPoint(0, 1);
    EXPECT_FALSE(sp.IsHole());
    EXPECT_FALSE(sp.HasSelection());
    sp.state |= SP_HAS_SELECTION;
    EXPECT_TRUE(sp.HasSelection());
}

TEST(SubPath, TransformJoinsEachEndToTheNextStart) {
    SubPath sp;
    sp.members.Append(Line({0, 0}, {10, 0}));
    sp.members.Append(Line({10, 1}, {10, 10})); // a gap before this member
    sp.members.Append(Curve({10, 10}, {5, 12}, {2, 12}, {0, 9}));
    sp.Validate(SP_ALL_INVALID);
    sp.Transform(floatTMatrix(2, 0, 0, 2, 1, 0));
    EXPECT_EQ(Describe(sp), "1,0 L21,2 L21,20 C11,24 5,24 1,18");
    EXPECT_EQ(sp.state & SP_ALL_INVALID, SP_ALL_INVALID);
}

TEST(SubPath, ReverseRotateConcatAndMakeContinuous) {
    SubPath sp;
    sp.members.Append(Line({0, 0}, {1, 0}));
    sp.members.Append(Curve({1, 0}, {2, 0}, {2, 1}, {1, 1}));
    sp.members.Append(Line({1, 1}, {0, 0}));
    sp.rotation = 1;
    sp.clusterCount = 30;
    sp.Reverse();
    EXPECT_EQ(Describe(sp), "0,0 L1,1 C2,1 2,0 1,0 L0,0");
    EXPECT_EQ(sp.rotation, -1);
    EXPECT_EQ(sp.clusters.Filled(), 3); // rebuilt
    EXPECT_EQ(sp.state & SP_CLUSTERS_INVALID, 0);

    sp.Rotate(1);
    EXPECT_EQ(Describe(sp), "1,1 C2,1 2,0 1,0 L0,0 L1,1");
    EXPECT_NE(sp.state & SP_CLUSTERS_INVALID, 0);

    sp.members[0].end = floatPoint(9, 9); // a gap after member 0
    sp.Validate(SP_ALL_INVALID);
    sp.MakeContinuous();
    EXPECT_EQ(Describe(sp), "1,1 C2,1 2,0 1,0 L0,0 L1,1");
    EXPECT_EQ(sp.state & SP_ALL_INVALID, SP_CLUSTERS_INVALID);

    PathMemberDynArr more;
    more.Append(Line({1, 1}, {5, 5}));
    sp.Validate(SP_ALL_INVALID);
    sp.Concat(more);
    sp.Concat(sp.members); // from itself
    EXPECT_EQ(sp.members.Filled(), 8);
    EXPECT_EQ(sp.state & SP_ALL_INVALID, SP_ALL_INVALID);
}

TEST(SubPath, ExactBoxTakesCurveExtremaWhereTheyStickOut) {
    SubPath sp;
    sp.members.Append(Line({0, 0}, {20, 0}));
    // Bulges right and up to 20 + 3/4 * 10 = 27.5, short of their control points at 30.
    sp.members.Append(Curve({20, 0}, {30, 5}, {30, 15}, {20, 20}));
    sp.members.Append(Curve({20, 20}, {20, 30}, {0, 30}, {0, 20}));
    // Lies within the box found so far.
    sp.members.Append(Curve({0, 20}, {5, 15}, {5, 5}, {0, 0}));
    sp.Validate(SP_ALL_INVALID);
    EXPECT_EQ(Box(sp.ctrlBox), "x 0..30 y 0..30");
    EXPECT_EQ(Box(sp.accBox), "x 0..27.5 y 0..27.5");
}

TEST(SubPath, ClusterIndex) {
    SubPath sp(0.25f); // 16 units per millimetre
    for (int i = 0; i < 10; ++i)
        sp.members.Append(Line({float(i), 0}, {float(i + 1), 0.5f}));
    sp.BuildClusters(0);
    EXPECT_EQ(sp.clusters.Filled(), 0);
    EXPECT_EQ(sp.state & SP_CLUSTERS_INVALID, 0);

    sp.Invalidate(SP_CLUSTERS_INVALID);
    EXPECT_EQ(sp.Validate(SP_CLUSTERS_INVALID), SP_CLUSTERS_INVALID);
    EXPECT_EQ(sp.clusterCount, 30);
    EXPECT_EQ(sp.clusterStep, 1);
    ASSERT_EQ(sp.clusters.Filled(), 10);
    EXPECT_EQ(sp.clusters[3].left, 48);
    EXPECT_EQ(sp.clusters[3].right, 64);
    EXPECT_EQ(sp.clusters[3].top, 8);

    // 65 members in 30 clusters: 2 members each, the last one alone.
    for (int i = 10; i < 65; ++i)
        sp.members.Append(Line({float(i), 0}, {float(i + 1), 0}));
    sp.BuildClusters(30);
    EXPECT_EQ(sp.clusterStep, 2);
    ASSERT_EQ(sp.clusters.Filled(), 33);
    EXPECT_EQ(sp.clusters[0].left, 0);
    EXPECT_EQ(sp.clusters[0].right, 32);
    EXPECT_EQ(sp.clusters[32].left, 64 * 16);
    EXPECT_EQ(sp.clusters[32].right, 65 * 16);
}

TEST(SubPath, ClustersFarFromTheOriginSaturate) {
    SubPath sp(0.01f); // 400 units per millimetre: 1e9 mm is far beyond 32 bits
    sp.members.Append(Line({1e9f, -1e9f}, {1e9f, 1}));
    sp.members.Append(Line({kNaN, 0}, {0, 0}));
    sp.BuildClusters(30);
    ASSERT_EQ(sp.clusters.Filled(), 2);
    EXPECT_EQ(sp.clusters[0].right, INT32_MAX);
    EXPECT_EQ(sp.clusters[0].bottom, INT32_MIN);
    EXPECT_EQ(sp.clusters[0].top, 400);
    EXPECT_EQ(sp.clusters[1].left, 0);
}

TEST(SubPath, MemberStates) {
    Path path(0.1f);
    pathtest::Square(path, 0, 0, 1, false);
    pathtest::Square(path, 5, 0, 1, false);
    SubPath& a = path.subPaths[0];
    a.members[0].flags = PM_SELECTED;
    a.members[1].flags = PM_SELECTED | PM_SMOOTH;

    // Smooth the selected members: only member 1 changes, so only it is marked.
    a.SetPMState(PM_SMOOTH, PM_SMOOTH, PM_SELECTED, PM_SELECTED);
    EXPECT_EQ(a.members[0].flags, PM_SELECTED | PM_SMOOTH | PM_CHANGED);
    EXPECT_EQ(a.members[1].flags, PM_SELECTED | PM_SMOOTH);
    EXPECT_EQ(a.members[2].flags, 0);

    path.SelectPM(0, 0);
    EXPECT_EQ(path.Count(PM_SELECTED, PM_SELECTED), 8u);
    EXPECT_EQ(path.Count(PM_CHANGED, PM_CHANGED), 1u); // selecting does not mark
    path.UnSelectPM(PM_SMOOTH, 0);
    EXPECT_EQ(path.Count(PM_SELECTED, PM_SELECTED), 2u);
    path.SetPMState(PM_SMOOTH, 0, PM_SMOOTH, PM_SMOOTH);
    EXPECT_EQ(path.Count(PM_SMOOTH, PM_SMOOTH), 0u);
    EXPECT_EQ(path.Count(PM_CHANGED, PM_CHANGED), 2u);
}

// ---- ownership

TEST(PathOwnership, CopyIsDeepAndBothCanBeDestroyed) {
    auto* original = new Path(0.2f);
    pathtest::Square(*original, 0, 0, 10, true);
    pathtest::Square(*original, 2, 2, 1, true);
    original->Prepare();
    original->MoveTo(floatPoint(7, 7));
    original->LineTo(floatPoint(8, 8)); // being built: not copied
    original->Append(PC_CURVETO, 1, 1);

    auto* copy = new Path(*original);
    EXPECT_EQ(Describe(*copy), Describe(*original));
    EXPECT_FLOAT_EQ(copy->accuracy, 0.2f);
    EXPECT_EQ(copy->building.members.Filled(), 0);
    EXPECT_EQ(copy->curveState, 1);
    EXPECT_EQ(Pt(copy->LastPoint()), "8,8");
    for (std::uint16_t i = 0; i < 2; ++i) {
        const SubPath& c = copy->subPaths[i];
        const SubPath& o = original->subPaths[i];
        EXPECT_NE(c.members.first(), o.members.first());
        EXPECT_EQ(c.depth, o.depth);
        EXPECT_EQ(c.rotation, o.rotation);
        EXPECT_EQ(c.state & SP_ALL_INVALID, SP_ALL_INVALID);
        EXPECT_EQ(c.clusters.Filled(), 0);
    }
    copy->subPaths[0].members[0].start = floatPoint(-1, -1);
    EXPECT_NE(Pt(original->subPaths[0].members[0].start), "-1,-1");
    delete original;
    copy->Prepare();
    EXPECT_EQ(copy->subPaths.Filled(), 2);
    delete copy;
}

TEST(PathOwnership, AssignmentTransfersAndEmptiesTheSource) {
    Path a(0.1f), b(0.3f);
    pathtest::Square(a, 0, 0, 1, false);
    pathtest::Square(b, 5, 5, 1, false);
    pathtest::Square(b, 8, 5, 1, false);
    const PathMember* buffer = b.subPaths[0].members.first();
    a = b;
    EXPECT_EQ(a.subPaths.Filled(), 2);
    EXPECT_EQ(a.subPaths[0].members.first(), buffer);
    EXPECT_FLOAT_EQ(a.accuracy, 0.3f);
    EXPECT_EQ(b.subPaths.Filled(), 0);
    a = a;
    EXPECT_EQ(a.subPaths.Filled(), 2);

    SubPath s;
    s = a.subPaths[1];
    EXPECT_EQ(s.members.Filled(), 4);
    EXPECT_EQ(a.subPaths[1].members.Filled(), 0);
}

TEST(PathOwnership, AddSubPathAndConcatMove) {
    Path a(0.1f), b(0.1f);
    pathtest::Square(a, 0, 0, 1, false);
    pathtest::Square(b, 5, 5, 1, false);
    pathtest::Square(b, 8, 5, 1, true);

    SubPath loose;
    loose.members.Append(Line({0, 0}, {3, 0}));
    const PathMember* buffer = loose.members.first();
    a.AddSubPath(loose);
    EXPECT_EQ(loose.members.Filled(), 0);
    EXPECT_EQ(loose.members.first(), nullptr);
    EXPECT_EQ(a.subPaths[1].members.first(), buffer);

    std::string moved = Describe(b);
    a.Concat(b);
    EXPECT_EQ(b.subPaths.Filled(), 0);
    EXPECT_EQ(a.subPaths.Filled(), 4);
    EXPECT_EQ(Describe(a.subPaths[2]) + " | " + Describe(a.subPaths[3]), moved);
    a.Concat(a);
    EXPECT_EQ(a.subPaths.Filled(), 4);
}

TEST(PathOwnership, AddSubPathThatCannotGrowKeepsTheArgument) {
    Path a(0.1f);
    SubPath loose;
    loose.members.Append(Line({0, 0}, {3, 0}));
    {
        MemoryFailureScope refuse;
        refuse.Refuse(1);
        EXPECT_THROW(a.AddSubPath(loose), NoMemory);
    }
    EXPECT_EQ(loose.members.Filled(), 1);
    EXPECT_EQ(a.subPaths.Filled(), 0);
}

TEST(PathOwnership, ConcatBeyondTheLimitThrowsBeforeMoving) {
    Path a(0.1f), b(0.1f);
    a.subPaths.Grow(65530);
    for (int i = 0; i < 65530; ++i) {
        SubPath empty;
        a.AddSubPath(empty);
    }
    pathtest::Square(b, 0, 0, 1, false);
    for (int i = 0; i < 4; ++i)
        pathtest::Square(b, 0, 0, 1, false);
    EXPECT_THROW(a.Concat(b), SubPathDynArr::LimitCheck);
    EXPECT_EQ(a.subPaths.Filled(), 65530);
    EXPECT_EQ(b.subPaths.Filled(), 5);
    EXPECT_EQ(b.subPaths[4].members.Filled(), 4);
}

TEST(PathOwnership, ArraysOfPathsMoveTheirElementsSafely) {
    PathEClassDynArr paths;
    for (int i = 0; i < 5; ++i) {
        Path* p = paths.Append();
        pathtest::Square(*p, float(i), 0, 1, false);
    }
    paths.DeleteAt(1, 2);
    paths.Append(paths[0]); // deep copy of an element
    paths.Reverse(0, 3);
    ASSERT_EQ(paths.Filled(), 4);
    EXPECT_EQ(Describe(paths[0]), "0,0 L1,0 L1,1 L0,1 L0,0");
    EXPECT_EQ(Describe(paths[3]), "0,0 L1,0 L1,1 L0,1 L0,0");
    EXPECT_NE(paths[0].subPaths[0].members.first(), paths[3].subPaths[0].members.first());
}

// ---- validation

TEST(PathValidate, DropsEmptySubPathsAndUnitesTheBoxes) {
    Path path(0.1f);
    SubPath empty;
    path.AddSubPath(empty);
    path.MoveTo(floatPoint(0, 0));
    path.CurveTo(floatPoint(0, 10), floatPoint(10, 10), floatPoint(10, 0));
    path.ClosePath();
    path.AddSubPath(empty);
    pathtest::Square(path, -5, -5, 2, false);
    EXPECT_EQ(path.Validate(SP_CTRLBOX_INVALID), unsigned(SP_CTRLBOX_INVALID));
    EXPECT_EQ(path.subPaths.Filled(), 2);
    EXPECT_EQ(Box(path.ctrlBox), "x -5..10 y -5..10");
    EXPECT_EQ(path.subPaths[0].state & SP_ALL_INVALID, SP_ACCBOX_INVALID | SP_CLUSTERS_INVALID);
    // Nothing left to do.
    EXPECT_EQ(path.Validate(SP_CTRLBOX_INVALID), 0u);

    path.RefreshBBoxes();
    EXPECT_EQ(Box(path.accBox), "x -5..10 y -5..7.5");

    path.Transform(floatTMatrix(1, 0, 0, 1, 100, 0));
    path.RecalcCtrlBBox();
    path.RecalcAccBBox();
    EXPECT_EQ(Box(path.ctrlBox), "x 95..110 y -5..10");
    EXPECT_EQ(Box(path.accBox), "x 95..110 y -5..7.5");
}

TEST(PathValidate, BuildClustersStoresTheCount) {
    Path path(0.1f);
    pathtest::Square(path, 0, 0, 1, false);
    pathtest::Square(path, 3, 0, 1, false);
    path.BuildClusters(2);
    EXPECT_EQ(path.clusterCount, 2u);
    EXPECT_EQ(path.subPaths[1].clusters.Filled(), 2);
    EXPECT_EQ(path.subPaths[1].clusterStep, 2);
}

TEST(PathValidate, LongestSubPath) {
    Path path(0.01f);
    path.MoveTo(floatPoint(100, 0));
    const int n = 65534;
    for (int i = 1; i < n; ++i) {
        double a = 2 * 3.141592653589793 * i / n;
        path.LineTo(floatPoint(float(100 * std::cos(a)), float(100 * std::sin(a))));
    }
    path.LineTo(floatPoint(100, 0));
    EXPECT_EQ(path.building.members.Filled(), n);
    EXPECT_THROW(path.LineTo(floatPoint(1, 1)), PathMemberDynArr::LimitCheck);
    path.ClosePath();
    path.Prepare();
    ASSERT_EQ(path.subPaths.Filled(), 1);
    EXPECT_EQ(path.subPaths[0].rotation, -1);
    // 2184 members per cluster, the last 14 in a cluster of their own.
    EXPECT_EQ(path.subPaths[0].clusterStep, 2184);
    EXPECT_EQ(path.subPaths[0].clusters.Filled(), 31);
}
