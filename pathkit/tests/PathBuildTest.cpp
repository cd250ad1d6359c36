#include <cmath>
#include <limits>
#include <numbers>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "PathTestUtil.h"
#include "pathkit/Path.h"

using pathtest::Describe;

namespace {

// Pseudo-commands of the table besides the PathCmd values.
constexpr int kClosePath = -1;
constexpr int kClose = -2;
constexpr int kLine = -3; // the line form Append(x, y)

struct Step {
    int cmd;
    float x = 0;
    float y = 0;
};

struct BuildCase {
    const char* name;
    std::vector<Step> steps;
    const char* finished; // the finished sub-paths as Describe writes them
};

void RunSteps(Path& path, const std::vector<Step>& steps) {
    for (const Step& s : steps) {
        switch (s.cmd) {
        case kClosePath:
            path.ClosePath();
            break;
        case kClose:
            path.Close();
            break;
        case kLine:
            path.Append(s.x, s.y);
            break;
        default:
            path.Append(PathCmd(s.cmd), s.x, s.y);
        }
    }
}

const BuildCase kBuildCases[] = {
    {"MoveAfterMoveLeavesNothing", {{1, 0, 0}, {1, 5, 5}, {kClosePath}}, ""},
    {"ZeroLengthFirstLineKeptRepeatedPointDropped",
     {{1, 1, 1}, {2, 1, 1}, {2, 4, 1}, {2, 4, 1}, {kLine, 4, 1}, {kClosePath}},
     "1,1 L1,1 L4,1"},
    {"CurvePointWithoutFirstControlAddsNothing",
     {{1, 0, 0}, {0, 5, 5}, {0, 6, 6}, {2, 1, 0}, {kClosePath}},
     "0,0 L1,0"},
    {"CubicFromThreeCommands",
     {{1, 2, 2}, {3, 1, 2}, {0, 3, 4}, {0, 5, 6}, {kClosePath}},
     "2,2 C1,2 3,4 5,6"},
    {"CubicNeedsBothCurvePoints", {{1, 0, 0}, {3, 1, 2}, {0, 3, 4}, {kClosePath}}, ""},
    {"LowBitsFourToSevenAddNothing",
     {{1, 0, 0}, {4, 1, 1}, {5, 2, 2}, {6, 3, 3}, {7, 4, 4}, {12, 5, 5}, {2, 1, 0}, {kClosePath}},
     "0,0 L1,0"},
    {"HighBitsIgnored", {{1, 0, 0}, {8 + 2, 1, 0}, {8 + 1, 5, 5}, {kClosePath}}, "0,0 L1,0"},
    {"ClosePathAddsNoLine", {{1, 0, 0}, {2, 10, 0}, {2, 10, 10}, {kClosePath}}, "0,0 L10,0 L10,10"},
    {"CloseAddsLineBack",
     {{1, 0, 0}, {2, 10, 0}, {2, 10, 10}, {kClose}, {kClosePath}},
     "0,0 L10,0 L10,10 L0,0"},
    {"CloseOnClosedAddsNothing",
     {{1, 0, 0}, {2, 10, 0}, {2, 0, 0}, {kClose}, {kClosePath}},
     "0,0 L10,0 L0,0"},
    {"CloseWithoutMembersAddsNothing", {{1, 3, 3}, {kClose}, {kClosePath}}, ""},
    {"MoveFinishesTheSubPathInProgress",
     {{1, 0, 0}, {2, 1, 0}, {1, 5, 5}, {2, 6, 5}, {kClosePath}},
     "0,0 L1,0 | 5,5 L6,5"},
    {"LineBeforeAnyMoveStartsAtOrigin", {{2, 3, 4}, {kClosePath}}, "0,0 L3,4"},
    {"CurveContinuesFromLastEnd",
     {{1, 0, 0}, {2, 4, 0}, {3, 5, 1}, {0, 6, 2}, {0, 7, 3}, {2, 7, 3}, {kClosePath}},
     "0,0 L4,0 C5,1 6,2 7,3"},
};

void PrintTo(const BuildCase& c, std::ostream* os) {
    *os << c.name;
}

class BuildProtocol : public testing::TestWithParam<BuildCase> {};

} // namespace

TEST_P(BuildProtocol, FinishedSubPaths) {
    Path path(0.1f);
    RunSteps(path, GetParam().steps);
    EXPECT_EQ(Describe(path), GetParam().finished);
    EXPECT_EQ(path.building.members.Filled(), 0);
}

INSTANTIATE_TEST_SUITE_P(Table, BuildProtocol, testing::ValuesIn(kBuildCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PathBuild, CallbackSeesEveryCompletedMemberAndDroppedLines) {
    static std::vector<std::string> seen;
    seen.clear();
    PMCallback record = [](PathMember* m) {
        seen.push_back((m->IsCurve() ? "C" : "L") + pathtest::Pt(m->end));
    };
    Path path(0.1f);
    path.Append(PC_MOVETO, 0, 0, record);
    path.Append(PC_LINETO, 1, 0, record);
    path.Append(PC_LINETO, 1, 0, record); // dropped, still reported
    path.Append(PC_CURVETO, 2, 0, record);
    path.Append(PC_CURVEPOINT, 3, 0, record);
    path.Append(PC_CURVEPOINT, 4, 0, record);
    EXPECT_EQ(seen, (std::vector<std::string>{"L1,0", "L1,0", "C4,0"}));
    EXPECT_EQ(path.building.members.Filled(), 2);
}

TEST(PathBuild, LastPointAndPendingLineShape) {
    Path path(0.1f);
    path.MoveTo(floatPoint(1, 2));
    EXPECT_EQ(pathtest::Pt(path.LastPoint()), "1,2");
    path.LineTo(floatPoint(5, 2));
    const PathMember& m = path.building.members[0];
    // A line keeps its control points on its ends.
    EXPECT_EQ(pathtest::Pt(m.ctrl1), "1,2");
    EXPECT_EQ(pathtest::Pt(m.ctrl2), "5,2");
    EXPECT_EQ(path.curveState, 0);
    path.Append(PC_CURVETO, 6, 6);
    EXPECT_EQ(path.curveState, 1);
    EXPECT_EQ(pathtest::Pt(path.LastPoint()), "5,2");
}

TEST(PathBuild, EveryCallMarksTheBuildingSubPathInvalid) {
    Path path(0.1f);
    path.MoveTo(floatPoint(0, 0));
    path.LineTo(floatPoint(1, 0));
    path.building.Validate(SP_ALL_INVALID);
    ASSERT_EQ(path.building.state & SP_ALL_INVALID, 0);
    path.Append(PC_CURVETO, 2, 2);
    EXPECT_EQ(path.building.state & SP_ALL_INVALID, SP_ALL_INVALID);
}

TEST(PathBuild, ClosePathMovesTheSubPathAndKeepsAccuracyAndClusterCount) {
    Path path(0.5f);
    path.building.clusterCount = 7;
    path.building.depth = 3;
    path.building.rotation = 1;
    path.MoveTo(floatPoint(0, 0));
    for (int i = 1; i <= 25; ++i)
        path.LineTo(floatPoint(float(i), 0));
    path.ClosePath();
    ASSERT_EQ(path.subPaths.Filled(), 1);
    const SubPath& sp = path.subPaths[0];
    EXPECT_EQ(sp.members.Filled(), 25);
    EXPECT_EQ(sp.members.Allocated(), 25); // compacted
    EXPECT_EQ(sp.state & SP_ALL_INVALID, SP_ALL_INVALID);
    EXPECT_EQ(path.building.members.Filled(), 0);
    EXPECT_EQ(path.building.members.first(), nullptr);
    EXPECT_FLOAT_EQ(path.building.accuracy, 0.5f);
    EXPECT_EQ(path.building.clusterCount, 7);
    EXPECT_EQ(path.building.depth, 0);
    EXPECT_EQ(path.building.rotation, 0);
    // The next sub-path is built in fresh buffers.
    path.MoveTo(floatPoint(0, 0));
    path.LineTo(floatPoint(0, 1));
    EXPECT_NE(path.building.members.first(), sp.members.first());
}

TEST(PathBuild, AccuracyZeroNegativeOrNotFiniteTakesTheDefault) {
    EXPECT_FLOAT_EQ(Path::DefAccuracy, 0.1f);
    const float bad[] = {0.0f, -1.0f, std::numeric_limits<float>::quiet_NaN(),
                         std::numeric_limits<float>::infinity()};
    for (float a : bad) {
        Path path(a);
        EXPECT_FLOAT_EQ(path.accuracy, 0.1f) << a;
        EXPECT_FLOAT_EQ(path.building.accuracy, 0.1f) << a;

        Path good(0.25f);
        pathtest::Square(good, 0, 0, 1, false);
        good.SetAccuracy(a);
        EXPECT_FLOAT_EQ(good.accuracy, 0.1f) << a;
        EXPECT_FLOAT_EQ(good.subPaths[0].accuracy, 0.1f) << a;

        SubPath sp(a);
        EXPECT_FLOAT_EQ(sp.accuracy, 0.1f) << a;
        sp.SetAccuracy(0.3f);
        sp.SetAccuracy(a);
        EXPECT_FLOAT_EQ(sp.accuracy, 0.1f) << a;
        EXPECT_GT(sp.ScaleFactor(), 0);
    }

    float saved = Path::DefAccuracy;
    Path::DefAccuracy = 0.01f;
    EXPECT_FLOAT_EQ(Path(0).accuracy, 0.01f);
    Path::DefAccuracy = -5; // a broken default falls back to 0.1
    EXPECT_FLOAT_EQ(Path(0).accuracy, 0.1f);
    Path::DefAccuracy = saved;
}

TEST(PathBuild, SetAccuracyMarksExactBoxAndClustersButNotControlBox) {
    Path path(0.1f);
    pathtest::Square(path, 0, 0, 1, false);
    path.Validate(SP_ALL_INVALID);
    path.SetAccuracy(0.05f);
    EXPECT_FLOAT_EQ(path.building.accuracy, 0.05f);
    EXPECT_EQ(path.subPaths[0].state & SP_ALL_INVALID, SP_ACCBOX_INVALID | SP_CLUSTERS_INVALID);
}

// ---- arcs

struct ArcCase {
    const char* name;
    double a0, a1;
    int cubics;
};

void PrintTo(const ArcCase& c, std::ostream* os) {
    *os << c.name;
}

class ArcPieces : public testing::TestWithParam<ArcCase> {};

TEST_P(ArcPieces, OneCubicPer45DegreesOrPart) {
    Path path(0.01f);
    Arc(path, 0, 0, 10, GetParam().a0, GetParam().a1, 1);
    path.ClosePath();
    if (GetParam().cubics == 0) {
        EXPECT_EQ(path.subPaths.Filled(), 0);
        return;
    }
    ASSERT_EQ(path.subPaths.Filled(), 1);
    const SubPath& sp = path.subPaths[0];
    EXPECT_EQ(sp.members.Filled(), GetParam().cubics);
    for (const PathMember& m : sp.members)
        EXPECT_TRUE(m.IsCurve());
    floatPoint e = sp.members.last()->end;
    EXPECT_NEAR(e.x, 10 * std::cos(GetParam().a1), 1e-5);
    EXPECT_NEAR(e.y, 10 * std::sin(GetParam().a1), 1e-5);
}

constexpr double kPi = std::numbers::pi;

INSTANTIATE_TEST_SUITE_P(
    Sweeps, ArcPieces,
    testing::Values(ArcCase{"Quarter", 0, kPi / 2, 2},
                    ArcCase{"QuarterInFloatRadians", 0, double(float(kPi / 2)), 2},
                    ArcCase{"Quarter01DegreeMore", 0, 90.1 * kPi / 180, 3},
                    ArcCase{"Full", 0, 2 * kPi, 8}, ArcCase{"Backwards", kPi, 0, 4},
                    ArcCase{"Tiny", 1, 1.00005, 0},
                    ArcCase{"NotANumber", 0, std::numeric_limits<double>::quiet_NaN(), 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PathArc, QuarterCircleControlPoints) {
    // Each 45-degree piece gets handles of length t r / 3 = (pi/4) 10 / 3 along the tangents.
    Path path(0.01f);
    Arc(path, 1, 2, 10, 0, kPi / 2, 1);
    const PathMember& m = path.building.members[0];
    double h = kPi / 4 * 10 / 3; // 2.6179939
    EXPECT_NEAR(m.start.x, 11, 1e-6);
    EXPECT_NEAR(m.start.y, 2, 1e-6);
    EXPECT_NEAR(m.ctrl1.x, 11, 1e-6);
    EXPECT_NEAR(m.ctrl1.y, 2 + h, 1e-5);
    double c = std::cos(kPi / 4), s = std::sin(kPi / 4);
    EXPECT_NEAR(m.ctrl2.x, 1 + 10 * c + h * s, 1e-5);
    EXPECT_NEAR(m.ctrl2.y, 2 + 10 * s - h * c, 1e-5);
    EXPECT_NEAR(m.end.x, 1 + 10 * c, 1e-5);
}

TEST(PathArc, MirroredAndContinuingArcs) {
    Path path(0.01f);
    Arc(path, 0, 0, 10, 0, kPi / 2, -1); // mirrored: runs clockwise into negative y
    EXPECT_NEAR(path.building.members.last()->end.y, -10, 1e-5);
    EXPECT_LT(path.building.members[0].ctrl1.y, 0);

    // With members already present the arc's first point is joined by a line.
    Path joined(0.01f);
    joined.MoveTo(floatPoint(0, 0));
    joined.LineTo(floatPoint(5, 0));
    Arc(joined, 0, 0, 10, 0, kPi / 2, 1);
    ASSERT_EQ(joined.building.members.Filled(), 4);
    EXPECT_FALSE(joined.building.members[1].IsCurve());
    EXPECT_EQ(pathtest::Pt(joined.building.members[1].end), "10,0");
}
