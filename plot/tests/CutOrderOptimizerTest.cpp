// The cut-order optimiser on paths in device steps (identity matrix unless stated).

#include <gtest/gtest.h>

#include <pathkit/Path.h>
#include <pathkit/TMatrix.h>

#include "CutOrderOptimizer.h"

namespace {

void AddRectangle(Path& path, float x1, float y1, float x2, float y2) {
    path.Append(PC_MOVETO, x1, y1);
    path.Append(x2, y1);
    path.Append(x2, y2);
    path.Append(x1, y2);
    path.Append(x1, y1);
    path.ClosePath();
}

void AddPolyline(Path& path, std::initializer_list<floatPoint> points) {
    bool first = true;
    for (const floatPoint& p : points) {
        if (first)
            path.Append(PC_MOVETO, p.x, p.y);
        else
            path.Append(p.x, p.y);
        first = false;
    }
    path.ClosePath();
}

Path Optimised(const Path& source, const floatTMatrix& m = floatTMatrix()) {
    Path path(source);
    CutOrderOptimizer optimizer;
    optimizer.Load(path);
    optimizer.SetMatrix(m);
    optimizer.Optimise();
    optimizer.Store(path);
    return path;
}

std::vector<floatPoint> Starts(const Path& path) {
    std::vector<floatPoint> starts;
    for (const SubPath& sp : path.subPaths)
        starts.push_back(sp.members[0].start);
    return starts;
}

using Points = std::vector<floatPoint>;

TEST(CutOrderOptimizerTest, WithinABandTheOutlineNearestTheKnifeComesFirst) {
    Path nearer;
    AddRectangle(nearer, 100, 0, 110, 10);
    AddRectangle(nearer, 20, 0, 30, 10);
    EXPECT_EQ(Starts(Optimised(nearer)), (Points{{20, 0}, {100, 0}}));

    // At equal distance the one earlier in the path.
    Path tied;
    AddRectangle(tied, 20, 0, 30, 10);
    AddRectangle(tied, -30, 0, -20, 10);
    EXPECT_EQ(Starts(Optimised(tied)), (Points{{20, 0}, {-20, 0}}));
}

TEST(CutOrderOptimizerTest, AHigherBandWaitsEvenWhenItIsNearer) {
    Path path;
    AddRectangle(path, 100, 0, 110, 10);
    AddRectangle(path, 0, 10, 10, 20); // top 20: the second band, though near the knife
    AddRectangle(path, 500, 0, 510, 10);
    EXPECT_EQ(Starts(Optimised(path)), (Points{{100, 0}, {500, 0}, {10, 10}}));
}

TEST(CutOrderOptimizerTest, AFlatOutlineOnTheLowestLineIsCutInTheFirstBand) {
    Path path;
    AddRectangle(path, 0, 20, 10, 30);
    AddPolyline(path, {{300, 0}, {400, 0}});
    Path result = Optimised(path);
    EXPECT_EQ(Starts(result), (Points{{300, 0}, {10, 20}}));
}

TEST(CutOrderOptimizerTest, AClosedOutlineStartsWhereItCrossesTheKnifesHeight) {
    Path path;
    AddPolyline(path, {{0, 0}, {0, 5}}); // open: the knife ends at (0, 5)
    AddRectangle(path, 100, 0, 200, 100);
    Path result = Optimised(path);
    ASSERT_EQ(result.subPaths.Filled(), 2u);
    const SubPath& rectangle = result.subPaths[1];
    ASSERT_EQ(rectangle.members.Filled(), 5u); // the left side was split
    EXPECT_EQ(rectangle.members[0].start, floatPoint(100, 5));
    EXPECT_EQ(rectangle.members[0].end, floatPoint(100, 0));
    EXPECT_EQ(rectangle.members[4].end, floatPoint(100, 5));

    // A corner nearer than every crossing is taken as it is.
    Path corner;
    AddPolyline(corner, {{0, 0}, {95, -1}}); // the knife ends below the rectangle
    AddRectangle(corner, 100, 0, 200, 100);
    result = Optimised(corner);
    EXPECT_EQ(result.subPaths[1].members.Filled(), 4u);
    EXPECT_EQ(result.subPaths[1].members[0].start, floatPoint(100, 0));
}

TEST(CutOrderOptimizerTest, AnOpenOutlineKeepsItsDirectionAndTheKnifeGoesOnFromItsEnd) {
    Path path;
    AddPolyline(path, {{50, 0}, {0, 0}, {300, 0}});
    AddRectangle(path, 290, 0, 295, 5);
    AddRectangle(path, 0, 0, 5, 5);
    Path result = Optimised(path);
    // The polyline ties with the corner at the knife and comes first in the path; from its
    // end the nearer rectangle is the one far from the start.
    EXPECT_EQ(Starts(result), (Points{{50, 0}, {295, 0}, {5, 0}}));
    EXPECT_EQ(result.subPaths[0].members[1].end, floatPoint(300, 0));
}

TEST(CutOrderOptimizerTest, BandsLieInTheDeviceButThePathStaysInMillimetres) {
    // 40 steps per millimetre: tops 0.5 mm apart lie in different bands of 10 steps, so the
    // lower outline comes first although the other is nearer the knife.
    floatTMatrix toDevice;
    toDevice.Scale(40, 40);
    Path path;
    AddRectangle(path, 0, 0.5f, 1, 1.5f);
    AddRectangle(path, 12, 0, 13, 1);
    Path result = Optimised(path, toDevice);
    EXPECT_EQ(Starts(result), (Points{{12, 0}, {1, 0.5f}}));
    EXPECT_EQ(result.subPaths[1].members[1].end, floatPoint(0, 1.5f));
}

TEST(CutOrderOptimizerTest, CurvesAndConnectionFlagsSurviveTheRoundTrip) {
    Path path;
    path.Append(PC_MOVETO, 0, 0);
    path.Append(0, 10, 10, 10, 10, 0);
    path.Append(20, 0);
    path.Append(20, 10, 30, 10, 30, 0);
    path.ClosePath();
    path.subPaths[0].members[0].flags |= PM_SMOOTH;
    path.subPaths[0].members[1].flags |= PM_SYMMETRIC;
    Path result = Optimised(path);
    ASSERT_EQ(result.subPaths.Filled(), 1u);
    const SubPath& sp = result.subPaths[0];
    ASSERT_EQ(sp.members.Filled(), 3u);
    EXPECT_TRUE(sp.members[0].IsCurve());
    EXPECT_EQ(sp.members[0].ctrl1, floatPoint(0, 10));
    EXPECT_EQ(sp.members[0].ctrl2, floatPoint(10, 10));
    EXPECT_TRUE(sp.members[0].IsSmooth());
    EXPECT_FALSE(sp.members[1].IsCurve());
    EXPECT_TRUE(sp.members[1].IsSymmetric());
    EXPECT_TRUE(sp.members[2].IsCurve());
    EXPECT_EQ(sp.members[2].end, floatPoint(30, 0));
}

TEST(CutOrderOptimizerTest, EmptyAndFarApartPathsFinish) {
    Path empty;
    EXPECT_EQ(Optimised(empty).subPaths.Filled(), 0u);

    // Bands are visited only where outlines are, however far apart they lie.
    Path far;
    AddRectangle(far, 0, 1e30f, 10, 1.0001e30f);
    AddRectangle(far, 0, 0, 10, 10);
    EXPECT_EQ(Starts(Optimised(far)), (Points{{0, 0}, {0, 1e30f}}));
}

TEST(CutOrderOptimizerTest, DistanceWeighsStepsAcrossTheBandsTwentyfold) {
    EXPECT_EQ(CutOrderOptimizer::Distance(0, 0, 3, 0), 9);
    EXPECT_EQ(CutOrderOptimizer::Distance(1, 1, 1, 2), 400);
}

} // namespace
