// Connection types of built paths, and the owning array of the font caches.
#include <gtest/gtest.h>

#include "SquarePath.h"
#include "model/CPathObj.h"
#include "model/CSignObjArray.h"
#include "model/PathConnections.h"
#include "pathkit/Path.h"

namespace {

unsigned Count(const Path& p, std::uint16_t bits) {
    return p.Count(bits, bits);
}

} // namespace

// A circle of four quarter arcs has four smooth, symmetric joints; a square has none; a
// shape of two curves and a line has one. Node selection never survives.
TEST(PathConnectionsTest, SmoothJointsAreMarkedAndCornersStay) {
    Path circle;
    const float k = 5.5228475f; // 10 x 0.55228475: quarter arcs of radius 10
    circle.MoveTo({10, 0});
    circle.CurveTo({10, k}, {k, 10}, {0, 10});
    circle.CurveTo({-k, 10}, {-10, k}, {-10, 0});
    circle.CurveTo({-10, -k}, {-k, -10}, {0, -10});
    circle.CurveTo({k, -10}, {10, -k}, {10, 0});
    circle.ClosePath();
    Path square;
    AddSquare(square, 0, 0, 5);
    Path drop;
    drop.MoveTo({0, 0});
    drop.CurveTo({5, 0}, {10, 5}, {10, 10});
    drop.CurveTo({10, 15}, {5, 20}, {0, 20});
    drop.LineTo({0, 0});
    drop.ClosePath();
    for (Path* p : {&circle, &square, &drop}) {
        p->SetPMState(0x3C00, 0x3C00, 0, 0);
        DetectPathConnections(*p);
        EXPECT_EQ(0u, Count(*p, 0x0400));
        EXPECT_EQ(0u, Count(*p, 0x2000));
    }
    EXPECT_EQ(4u, Count(circle, PM_SMOOTH));
    EXPECT_EQ(4u, Count(circle, PM_SYMMETRIC));
    EXPECT_EQ(0u, Count(square, PM_SMOOTH));
    // Only (10, 10) continues its tangent; the line meets both curves at right angles.
    EXPECT_EQ(1u, Count(drop, PM_SMOOTH));
    // Prepared: the outer contour runs counter-clockwise.
    EXPECT_EQ(-1, circle.subPaths[0].rotation);
}

TEST(PathConnectionsTest, SignObjArrayDeletesWhatItHolds) {
    auto* pArray = new CSignObjArray;
    pArray->Add(new CPathObj);
    pArray->Add(nullptr);
    pArray->Add(new CPathObj);
    delete pArray; // the sanitizer reports a leak otherwise
    SUCCEED();
}
