#include <cmath>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "PathTestUtil.h"
#include "pathkit/Path.h"

using pathtest::Describe;
using pathtest::SignedArea2;
using pathtest::Square;

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

// The orientation that Prepare must leave: outer contours counter-clockwise, holes clockwise.
void ExpectCanonical(const SubPath& sp) {
    double area = SignedArea2(sp);
    if (sp.depth & 1) {
        EXPECT_LT(area, 0) << "hole at depth " << sp.depth << ": " << Describe(sp);
        EXPECT_EQ(sp.rotation, 1);
    } else {
        EXPECT_GT(area, 0) << "outer contour at depth " << sp.depth << ": " << Describe(sp);
        EXPECT_EQ(sp.rotation, -1);
    }
}

} // namespace

TEST(Prepare, NestedSquaresDrawnClockwiseGiveHoleFirstAndOuterReversed) {
    Path path(0.1f);
    Square(path, 0, 0, 10, true);
    Square(path, 3, 3, 4, true);
    std::string inner = Describe(path.subPaths[1]);
    path.Prepare();
    ASSERT_EQ(path.subPaths.Filled(), 2);
    const SubPath& hole = path.subPaths[0];
    const SubPath& outer = path.subPaths[1];
    EXPECT_EQ(hole.depth, 1);
    EXPECT_EQ(Describe(hole), inner); // already clockwise: untouched
    EXPECT_EQ(hole.rotation, 1);
    EXPECT_TRUE(hole.IsHole());
    EXPECT_EQ(outer.depth, 0);
    EXPECT_EQ(Describe(outer), "0,0 L10,0 L10,10 L0,10 L0,0"); // reversed
    EXPECT_EQ(outer.rotation, -1);
    ExpectCanonical(hole);
    ExpectCanonical(outer);
}

TEST(Prepare, NestedSquaresDrawnCounterClockwiseReverseOnlyTheHole) {
    Path path(0.1f);
    Square(path, 3, 3, 4, false);
    Square(path, 0, 0, 10, false);
    std::string outer = Describe(path.subPaths[1]);
    path.Prepare();
    EXPECT_EQ(path.subPaths[0].depth, 1);
    EXPECT_EQ(Describe(path.subPaths[1]), outer);
    ExpectCanonical(path.subPaths[0]);
    ExpectCanonical(path.subPaths[1]);
}

TEST(Prepare, ThreeLevelsAndASiblingSortDeepestFirstThenByLeftEdge) {
    Path path(0.1f);
    Square(path, 40, 0, 10, true); // a second outer contour, to the right
    Square(path, 2, 2, 16, false);
    Square(path, 0, 0, 20, true);
    Square(path, 5, 5, 2, false);
    Square(path, 10, 5, 2, true); // a second innermost one, further right
    path.Prepare();
    ASSERT_EQ(path.subPaths.Filled(), 5);
    const int depths[] = {2, 2, 1, 0, 0};
    const float lefts[] = {5, 10, 2, 0, 40};
    for (std::uint16_t i = 0; i < 5; ++i) {
        const SubPath& sp = path.subPaths[i];
        EXPECT_EQ(sp.depth, depths[i]) << i;
        EXPECT_FLOAT_EQ(sp.ctrlBox.left, lefts[i]) << i;
        ExpectCanonical(sp);
    }
}

TEST(Prepare, OpenSubPathsGoLastWithDepthMinusOne) {
    Path path(0.1f);
    path.MoveTo(floatPoint(1, 1));
    path.LineTo(floatPoint(5, 1)); // inside the square below, but open
    path.LineTo(floatPoint(5, 5));
    path.ClosePath();
    Square(path, 0, 0, 10, true);
    path.Prepare();
    ASSERT_EQ(path.subPaths.Filled(), 2);
    EXPECT_EQ(path.subPaths[0].depth, 0);
    ExpectCanonical(path.subPaths[0]);
    EXPECT_EQ(path.subPaths[1].depth, -1);
    EXPECT_EQ(Describe(path.subPaths[1]), "1,1 L5,1 L5,5"); // never reversed
}

TEST(Prepare, EqualKeysKeepTheirOrder) {
    // Same depth, same left edge: the order given is kept, whichever it is.
    for (bool lowerFirst : {true, false}) {
        Path path(0.1f);
        Square(path, 0, lowerFirst ? 0.0f : 5.0f, 1, false);
        Square(path, 0, lowerFirst ? 5.0f : 0.0f, 1, false);
        path.Prepare();
        EXPECT_FLOAT_EQ(path.subPaths[0].ctrlBox.bottom, lowerFirst ? 0 : 5);
        EXPECT_FLOAT_EQ(path.subPaths[1].ctrlBox.bottom, lowerFirst ? 5 : 0);
    }
}

TEST(Prepare, RunsOnCircles) {
    // A full arc ends a rounding error away from its start: Close joins them.
    Path path(0.01f);
    Arc(path, 0, 0, 10, 0, 2 * 3.141592653589793, -1); // clockwise
    path.Close();
    path.ClosePath();
    Arc(path, 1, 0, 3, 0, 2 * 3.141592653589793, -1);
    path.Close();
    path.ClosePath();
    path.Prepare();
    ASSERT_EQ(path.subPaths.Filled(), 2);
    EXPECT_EQ(path.subPaths[0].depth, 1);
    EXPECT_EQ(path.subPaths[0].rotation, 1);
    EXPECT_EQ(path.subPaths[1].depth, 0);
    EXPECT_EQ(path.subPaths[1].rotation, -1);
    EXPECT_GT(path.subPaths[1].members[0].ctrl1.y, 0); // now counter-clockwise
}

TEST(Prepare, BuildBoxGivesOnePreparedRectangle) {
    Path path(0.1f);
    Square(path, 50, 50, 1, true);
    BuildBox(floatBBox(1, 2, 4, 6), path);
    ASSERT_EQ(path.subPaths.Filled(), 1);
    EXPECT_EQ(Describe(path.subPaths[0]), "1,2 L4,2 L4,6 L1,6 L1,2");
    EXPECT_EQ(path.subPaths[0].depth, 0);
    EXPECT_EQ(path.subPaths[0].rotation, -1);
    EXPECT_FLOAT_EQ(path.ctrlBox.right, 4);
}

// ---- Clean

TEST(Clean, RemovesZeroLengthMembersButKeepsLoops) {
    Path path(0.1f);
    path.MoveTo(floatPoint(0, 0));
    path.LineTo(floatPoint(0, 0)); // kept by the builder as the first member
    path.LineTo(floatPoint(10, 0));
    path.CurveTo(floatPoint(15, 5), floatPoint(5, 5), floatPoint(10, 0));          // a loop: kept
    path.CurveTo(floatPoint(10.05f, 0), floatPoint(10, 0.05f), floatPoint(10, 0)); // a dot
    path.CurveTo(floatPoint(10, 0), floatPoint(10, 0), floatPoint(10, 0));         // all equal
    path.LineTo(floatPoint(0, 0));
    path.ClosePath();
    path.MoveTo(floatPoint(3, 3));
    path.LineTo(floatPoint(3, 3)); // nothing but a point: the sub-path goes
    path.ClosePath();
    path.Validate(SP_ALL_INVALID);

    path.Clean();
    ASSERT_EQ(path.subPaths.Filled(), 1);
    EXPECT_EQ(Describe(path.subPaths[0]), "0,0 L10,0 C15,5 5,5 10,0 L0,0");
    // Member indices moved, so the clusters were marked for rebuilding.
    EXPECT_NE(path.subPaths[0].state & SP_CLUSTERS_INVALID, 0);
}

// ---- CollectOpenSubPaths

TEST(CollectOpenSubPaths, SplitsAtGaps) {
    Path path(0.1f);
    SubPath sp;
    auto line = [](float x0, float y0, float x1, float y1) {
        PathMember m(floatPoint(x0, y0), floatPoint(x1, y1));
        m.ctrl1 = m.start;
        m.ctrl2 = m.end;
        return m;
    };
    // One gap, between (10,10) and (5,10).
    sp.members.Append(line(0, 0, 10, 0));
    sp.members.Append(line(10, 0, 10, 10));
    sp.members.Append(line(5, 10, 0, 0));
    path.AddSubPath(sp);
    // Two gaps.
    sp.members.Append(line(20, 0, 30, 0));
    sp.members.Append(line(31, 0, 31, 5));
    sp.members.Append(line(31, 6, 20, 0));
    path.AddSubPath(sp);
    Square(path, 50, 0, 1, false); // no gap: stays as it is

    EXPECT_EQ(path.CollectOpenSubPaths(), 3);
    ASSERT_EQ(path.subPaths.Filled(), 4);
    EXPECT_EQ(Describe(path.subPaths[0]), "50,0 L51,0 L51,1 L50,1 L50,0");
    EXPECT_EQ(Describe(path.subPaths[1]), "5,10 L0,0 L10,0 L10,10");
    // Open pieces sort by their left edges.
    EXPECT_EQ(Describe(path.subPaths[2]), "31,6 L20,0 L30,0");
    EXPECT_EQ(Describe(path.subPaths[3]), "31,0 L31,5");
    for (std::uint16_t i = 1; i < 4; ++i)
        EXPECT_EQ(path.subPaths[i].depth, -1);

    EXPECT_EQ(path.CollectOpenSubPaths(), 3); // open pieces have their gap between the ends
    EXPECT_EQ(path.subPaths.Filled(), 4);
}

TEST(CollectOpenSubPaths, NothingToSplit) {
    Path path(0.1f);
    Square(path, 0, 0, 1, true);
    EXPECT_EQ(path.CollectOpenSubPaths(), 0);
    EXPECT_EQ(Describe(path), "0,0 L0,1 L1,1 L1,0 L0,0"); // not prepared either
}

// ---- bad coordinates

TEST(PrepareBadInput, NotANumberAndInfinityNeitherCrashNorHang) {
    const float bad[] = {kNaN, kInf, -kInf};
    for (float v : bad) {
        Path path(0.1f);
        Square(path, 0, 0, 10, true);
        path.MoveTo(floatPoint(1, 1));
        path.LineTo(floatPoint(v, 2));
        path.CurveTo(floatPoint(3, v), floatPoint(v, v), floatPoint(4, 4));
        path.LineTo(floatPoint(1, 1));
        path.ClosePath();
        path.MoveTo(floatPoint(v, v));
        path.CurveTo(floatPoint(v, 0), floatPoint(0, v), floatPoint(v, v));
        path.LineTo(floatPoint(5, 5));
        path.LineTo(floatPoint(v, v));
        path.ClosePath();
        path.Prepare();
        path.RefreshBBoxes();
        path.CollectOpenSubPaths();
        // The square itself still gets an orientation.
        int squares = 0;
        for (const SubPath& sp : path.subPaths) {
            if (sp.members.Filled() != 4 || sp.ctrlBox.left != 0 || sp.ctrlBox.top != 10) continue;
            ++squares;
            EXPECT_NE(sp.rotation, 0) << v;
        }
        EXPECT_EQ(squares, 1) << v;
    }
}

TEST(PrepareBadInput, ContourWithNotANumberBoxHasUnknownRotation) {
    SubPath sp;
    PathMember m(floatPoint(kNaN, kNaN), floatPoint(1, 0));
    sp.members.Append(m);
    sp.members.Append(PathMember(floatPoint(1, 0), floatPoint(kNaN, kNaN)));
    sp.rotation = 1;
    sp.CalcRotation();
    EXPECT_EQ(sp.rotation, 0);
}

TEST(PrepareBadInput, FarFromTheOrigin) {
    // Floats still hold whole millimetres at 1e7 mm; the cluster units (400 per millimetre)
    // leave the 32-bit range.
    Path path(0.01f);
    Square(path, 1e7f, 1e7f, 100, true);
    Square(path, 1e7f + 10, 1e7f + 10, 20, true);
    path.Prepare();
    ASSERT_EQ(path.subPaths.Filled(), 2);
    ExpectCanonical(path.subPaths[0]);
    ExpectCanonical(path.subPaths[1]);
    EXPECT_EQ(path.subPaths[1].clusters[0].left, INT32_MAX);

    // Far beyond any resolution: finishes, whatever it decides.
    Path huge(1e-6f);
    Square(huge, 1e30f, -1e30f, 1e25f, true);
    huge.MoveTo(floatPoint(-1e30f, 0));
    huge.CurveTo(floatPoint(1e30f, 1e30f), floatPoint(1e30f, -1e30f), floatPoint(-1e30f, 0));
    huge.ClosePath();
    huge.Prepare();
    EXPECT_EQ(huge.subPaths.Filled(), 2);
}
