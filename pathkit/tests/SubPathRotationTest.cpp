#include <numbers>
#include <ostream>
#include <string>

#include <gtest/gtest.h>

#include "PathTestUtil.h"
#include "pathkit/Path.h"

namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;

struct RotationCase {
    const char* name;
    void (*build)(Path&);
    int rotation; // as drawn: 1 clockwise, -1 counter-clockwise (y up)
};

const RotationCase kCases[] = {
    {"SquareClockwise", [](Path& p) { pathtest::Square(p, 0, 0, 10, true); }, 1},
    {"SquareCounterClockwise", [](Path& p) { pathtest::Square(p, 0, 0, 10, false); }, -1},
    {"CircleCounterClockwise",
     [](Path& p) {
         Arc(p, 0, 0, 10, 0, kTwoPi, 1);
         p.ClosePath();
     },
     -1},
    {"CircleClockwise",
     [](Path& p) {
         Arc(p, 5, 5, 10, 1, 1 + kTwoPi, -1);
         p.ClosePath();
     },
     1},
    {"CircleBelowTheCoarseStep", // radius 0.05 against a first step of 0.32
     [](Path& p) {
         Arc(p, 0, 0, 0.05f, 0, kTwoPi, 1);
         p.ClosePath();
     },
     -1},
    {"TriangleWithRightMostVertex",
     [](Path& p) {
         pathtest::Polygon(p, {{0, 0}, {10, 5}, {0, 10}});
     },
     -1},
    {"RightEdgeWithCollinearVertex",
     [](Path& p) {
         pathtest::Polygon(p, {{0, 0}, {10, 0}, {10, 5}, {10, 10}, {0, 10}});
     },
     -1},
    {"ConcaveChevron",
     [](Path& p) {
         pathtest::Polygon(p, {{0, 0}, {10, 5}, {0, 10}, {5, 5}});
     },
     -1},
    {"RepeatedPointAtTheRightMostVertex",
     [](Path& p) {
         p.MoveTo(floatPoint(10, 5));
         p.LineTo(floatPoint(10, 5)); // kept: first member
         p.LineTo(floatPoint(0, 10));
         p.LineTo(floatPoint(0, 0));
         p.LineTo(floatPoint(10, 5));
         p.ClosePath();
     },
     -1},
    {"RightMostPointMidCurve", // D shape: the bulge peaks at x = 10 at t = 0.5
     [](Path& p) {
         p.MoveTo(floatPoint(0, 0));
         p.CurveTo(floatPoint(40 / 3.0f, 0), floatPoint(40 / 3.0f, 10), floatPoint(0, 10));
         p.LineTo(floatPoint(0, 0));
         p.ClosePath();
     },
     -1},
    {"LensOfTwoCurves",
     [](Path& p) {
         p.MoveTo(floatPoint(0, 0));
         p.CurveTo(floatPoint(4, -4), floatPoint(8, -4), floatPoint(12, 0));
         p.CurveTo(floatPoint(8, 4), floatPoint(4, 4), floatPoint(0, 0));
         p.ClosePath();
     },
     -1},
    {"SingleCurveLoop",
     [](Path& p) {
         p.MoveTo(floatPoint(0, 0));
         p.CurveTo(floatPoint(10, 10), floatPoint(-10, 10), floatPoint(0, 0));
         p.ClosePath();
     },
     -1},
    {"ManyMembersCurvedRightSide", // the right-most point lies inside the third of five curves
     [](Path& p) {
         p.MoveTo(floatPoint(0, 0));
         p.LineTo(floatPoint(5, 0));
         p.CurveTo(floatPoint(7, 0), floatPoint(8, 1), floatPoint(9, 2));
         p.CurveTo(floatPoint(11, 4), floatPoint(11, 6), floatPoint(9, 8));
         p.CurveTo(floatPoint(8, 9), floatPoint(7, 10), floatPoint(5, 10));
         p.LineTo(floatPoint(0, 10));
         p.LineTo(floatPoint(0, 0));
         p.ClosePath();
     },
     -1},
};

void PrintTo(const RotationCase& c, std::ostream* os) {
    *os << c.name;
}

class Rotation : public testing::TestWithParam<RotationCase> {};

} // namespace

TEST_P(Rotation, SignOfTheTurnAtTheRightMostPoint) {
    Path path(0.01f);
    GetParam().build(path);
    ASSERT_EQ(path.subPaths.Filled(), 1);
    SubPath& sp = path.subPaths[0];
    EXPECT_EQ(sp.CalcRotation(), 0);
    EXPECT_EQ(sp.rotation, GetParam().rotation) << pathtest::Describe(sp);

    sp.Reverse();
    sp.rotation = 0;
    sp.CalcRotation();
    EXPECT_EQ(sp.rotation, -GetParam().rotation) << "reversed";
}

INSTANTIATE_TEST_SUITE_P(Contours, Rotation, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RotationEdge, FlatOrEmptyContourLeavesTheRotation) {
    Path path(0.01f);
    pathtest::Polygon(path, {{0, 0}, {0, 10}}); // up and back down: no width
    SubPath& sp = path.subPaths[0];
    sp.rotation = 1;
    EXPECT_EQ(sp.CalcRotation(), 0);
    EXPECT_EQ(sp.rotation, 1);
    EXPECT_EQ(sp.state & SP_ACCBOX_INVALID, 0);

    SubPath empty;
    empty.rotation = -1;
    empty.CalcRotation();
    EXPECT_EQ(empty.rotation, -1);
}

TEST(RotationEdge, ValidatesTheCaches) {
    Path path(0.01f);
    pathtest::Square(path, 0, 0, 1, true);
    SubPath& sp = path.subPaths[0];
    ASSERT_EQ(sp.state & SP_ALL_INVALID, SP_ALL_INVALID);
    sp.CalcRotation();
    EXPECT_EQ(sp.state & SP_ALL_INVALID, 0);
    EXPECT_EQ(sp.clusters.Filled(), 4);
}
