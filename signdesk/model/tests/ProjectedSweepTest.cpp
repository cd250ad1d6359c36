// The projected sweep of block shadows: areas of the swept square, the projection modes and
// the finest accuracy the retries go down to.
#include <gtest/gtest.h>

#include <cmath>

#include "PathArea.h"
#include "SquarePath.h"
#include "model/CBoxProjection.h"
#include "pathkit/Path.h"

namespace {

void Square(Path& p, float x0, float y0, float s) {
    AddSquare(p, x0, y0, s);
    p.Prepare();
}

bool AllClosed(const Path& p) {
    for (const SubPath& sp : p.subPaths)
        if (!sp.IsClosed()) return false;
    return true;
}

} // namespace

TEST(BoxProjectionTest, SquareSweptByOneOne) {
    const struct {
        int subtract, merge;
        double area;
    } rows[] = {{0, 1, 120}, {1, 1, 120}, {0, 0, 20}, {1, 0, 20}};
    for (const auto& row : rows) {
        Path src, dst;
        Square(src, 0, 0, 10);
        CBoxProjection projection(floatBBox(0, 0, 10, 10), floatBBox(1, 1, 11, 11));
        ASSERT_EQ(projection.MapPath(src, dst, row.subtract, row.merge), 0);
        EXPECT_NEAR(SignedArea(dst), row.area, 1e-3) << row.subtract << row.merge;
        EXPECT_TRUE(AllClosed(dst));
        EXPECT_NEAR(dst.accBox.right, 11, 1e-4);
        EXPECT_NEAR(dst.accBox.top, 11, 1e-4);
        // The source keeps its square.
        EXPECT_NEAR(SignedArea(src), 100, 1e-3);
    }
}

TEST(BoxProjectionTest, HoleSweptInsideItsSquare) {
    // A 20 mm square with a 10 mm hole, swept by (1, 1): the outline covers 440 mm^2 and
    // leaves open only the part of the hole that every position shares, 9 x 9 mm.
    Path src, dst;
    Square(src, 0, 0, 20);
    Square(src, 5, 5, 10);
    src.Prepare();
    CBoxProjection projection(floatBBox(0, 0, 20, 20), floatBBox(1, 1, 21, 21));
    ASSERT_EQ(projection.MapPath(src, dst, 0, 1), 0);
    EXPECT_NEAR(SignedArea(dst), 440 - 81, 1e-2);
}

TEST(BoxProjectionTest, ParallelAndPerspectiveModes) {
    CBoxProjection parallel(floatBBox(0, 0, 10, 10), floatBBox(3, -2, 13.05f, 8));
    EXPECT_EQ(parallel.m_nMode, CBoxProjection::Parallel);
    EXPECT_FLOAT_EQ(parallel.m_ptRef.x, 3);
    EXPECT_FLOAT_EQ(parallel.m_ptRef.y, -2);

    // A narrower target: the lines through the lower corners meet at (5, 5).
    CBoxProjection perspective(floatBBox(0, 0, 10, 10), floatBBox(2, 2, 8, 8));
    EXPECT_EQ(perspective.m_nMode, CBoxProjection::Perspective);
    EXPECT_NEAR(perspective.m_ptRef.x, 5, 1e-5);
    EXPECT_NEAR(perspective.m_ptRef.y, 5, 1e-5);
    // The matrix maps the box onto the box either way.
    float x = 10, y = 10;
    perspective.m_matrix.Transform(x, y);
    EXPECT_NEAR(x, 8, 1e-5);
    EXPECT_NEAR(y, 8, 1e-5);
}

TEST(BoxProjectionTest, FinestAccuracyOfFlatAndEmptyBoxes) {
    Path line;
    line.MoveTo({0, 0});
    line.LineTo({10, 0});
    line.ClosePath();
    line.Validate(SP_ALL_INVALID);
    // Swept along its own direction the box has no height: the larger side counts.
    CBoxProjection along(floatBBox(0, 0, 10, 0), floatBBox(1, 0, 11, 0));
    EXPECT_NEAR(along.MinimumAccuracy(line), 11 * 2.5e-7, 1e-9);
    // A square goes by its smaller side, never below the floor.
    Path square;
    Square(square, 0, 0, 100);
    CBoxProjection tall(floatBBox(0, 0, 100, 100), floatBBox(0, 100, 100, 300));
    EXPECT_NEAR(tall.MinimumAccuracy(square), 100 * 2.5e-7, 1e-9);
    Path empty;
    EXPECT_GT(along.MinimumAccuracy(empty), 0);

    // The flat sweep ends with a result.
    Path dst;
    EXPECT_EQ(along.MapPath(line, dst, 0, 0), 0);
    EXPECT_NEAR(SignedArea(dst), 0, 1e-6);
}
