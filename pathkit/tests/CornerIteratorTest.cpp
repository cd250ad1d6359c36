#include <cmath>
#include <limits>
#include <numbers>
#include <string>

#include <gtest/gtest.h>

#include "PathTestUtil.h"
#include "pathkit/CornerIterator.h"
#include "pathkit/Path.h"

using pathtest::Pt;

namespace {

std::string At(const CornerIterator::Corner& c) {
    return Pt(c.Point());
}

// prev | current | next | after
std::string Window(const CornerIterator& it) {
    return At(it.Previous()) + " | " + At(it.Current()) + " | " + At(it.Next()) + " | " +
           At(it.AfterNext());
}

SubPath& Square(Path& path) {
    pathtest::Polygon(path, {{0, 0}, {4, 0}, {4, 4}, {0, 4}});
    return path.subPaths[0];
}

} // namespace

TEST(CornerIterator, WalksTheCornersOfLinesBothWaysWithWrapAround) {
    Path path(0.1f);
    SubPath& sp = Square(path);
    CornerIterator it;
    it.Init(sp, 0, 1);
    EXPECT_EQ(Window(it), "0,0 | 4,0 | 4,4 | 0,4");
    EXPECT_EQ(it.PMIndex(), 1u);
    EXPECT_TRUE(it.Overflow()); // a line has no inner corners

    ++it;
    ++it;
    ++it;
    EXPECT_EQ(Window(it), "0,4 | 0,0 | 4,0 | 4,4");
    EXPECT_EQ(it.PMIndex(), 0u);
    EXPECT_EQ(it.CornerIndex(), 3);
    ++it;
    EXPECT_EQ(it.PMIndex(), 1u);
    EXPECT_EQ(Window(it), "0,0 | 4,0 | 4,4 | 0,4");

    --it;
    --it;
    EXPECT_EQ(Window(it), "4,4 | 0,4 | 0,0 | 4,0");
    EXPECT_EQ(it.PMIndex(), 3u);
    EXPECT_EQ(it.CornerIndex(), 2);

    it.Init(sp, 0, 9); // taken modulo the member count
    EXPECT_EQ(it.PMIndex(), 1u);
}

TEST(CornerIterator, CurveCornersAreFlattenedPiecesWithTheirParameters) {
    Path path(0.01f);
    Arc(path, 0, 0, 10, 0, std::numbers::pi / 2, 1);
    path.ClosePath();
    SubPath& sp = path.subPaths[0];
    ASSERT_EQ(sp.members.Filled(), 2);

    CornerIterator it;
    it.Init(sp, 0.01f, 0);
    const CornerIterator::CornerDynArr& c = it.Corners();
    // Never fewer than four pieces; the first corner is the start, the last the end.
    ASSERT_GE(c.Filled(), 5);
    EXPECT_EQ(c[0].param, 0u);
    EXPECT_EQ(c.last()->param, PM_PARAM_ONE);
    EXPECT_EQ(Pt(c.last()->Point()), Pt(sp.members[0].end));
    for (std::uint16_t k = 1; k < c.Filled(); ++k) {
        EXPECT_GT(c[k].param, c[k - 1].param);
        EXPECT_EQ(c[k].member, 0u);
        EXPECT_NEAR(std::hypot(c[k].x, c[k].y), 10, 0.02); // the arc's own deviation is 0.0098
    }

    // Walking on: the member's inner corners, then the next member from its first corner.
    std::uint16_t n = c.Filled();
    for (int k = 0; k < n - 2; ++k) {
        EXPECT_FALSE(it.Overflow()) << k;
        ++it;
    }
    EXPECT_TRUE(it.Overflow());
    ++it;
    EXPECT_EQ(it.PMIndex(), 1u);
    EXPECT_EQ(it.Current().param, 0u);
    EXPECT_EQ(At(it.Current()), Pt(sp.members[1].start));

    // A coarser tolerance gives fewer corners; 0 takes the sub-path's accuracy.
    CornerIterator coarse, own;
    coarse.Init(sp, 1.0f, 0);
    own.Init(sp, 0, 0);
    EXPECT_LT(coarse.Corners().Filled(), n);
    EXPECT_EQ(own.Corners().Filled(), n);
}

TEST(CornerIterator, SingleMemberLoopAndEmptySubPath) {
    Path path(0.1f);
    path.MoveTo(floatPoint(0, 0));
    path.CurveTo(floatPoint(10, 10), floatPoint(-10, 10), floatPoint(0, 0));
    path.ClosePath();
    CornerIterator it;
    it.Init(path.subPaths[0], 0, 0);
    std::uint16_t n = it.Corners().Filled();
    for (int k = 0; k < n - 1; ++k)
        ++it;
    EXPECT_EQ(it.PMIndex(), 0u);
    EXPECT_EQ(it.Current().param, 0u); // around once
    --it;
    EXPECT_EQ(it.Current().param, it.Corners()[std::uint16_t(n - 2)].param);

    SubPath empty;
    it.Init(empty, 0, 5);
    ++it;
    --it;
    EXPECT_EQ(it.CornerIndex(), 0);
}

TEST(CornerIterator, BadCurvesGiveABoundedNumberOfCorners) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    Path path(1e-6f);
    path.MoveTo(floatPoint(0, 0));
    path.CurveTo(floatPoint(nan, 1), floatPoint(2, nan), floatPoint(3, 0));
    path.CurveTo(floatPoint(1e30f, 1e30f), floatPoint(-1e30f, 1e30f), floatPoint(0, 0));
    path.CurveTo(floatPoint(0, 0), floatPoint(0, 0), floatPoint(0, 0)); // all points equal
    path.ClosePath();
    CornerIterator it;
    for (std::uint16_t m = 0; m < 3; ++m) {
        it.Init(path.subPaths[0], 1e-6f, m);
        EXPECT_GE(it.Corners().Filled(), 2);
        EXPECT_LE(it.Corners().Filled(), 16384 + 64);
    }
}
