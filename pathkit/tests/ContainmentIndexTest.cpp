// The containment index answers exactly as the path's own queries: beside the outline and
// inside the area, for points all over random outlines and right beside their members.
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "ContainmentIndex.h"
#include "RandomPolygon.h"
#include "pathkit/Path.h"
#include "pathkit/TMatrix.h"

namespace {

// With reused, that index is built again for the path in the memory it held, or with refined
// only made anew after the path's accuracy changed.
void Compare(Path& path, unsigned seed, ContainmentIndex* reused = nullptr, bool refined = false) {
    path.Validate(SP_ALL_INVALID);
    ContainmentIndex fresh(path);
    if (reused && refined) {
        reused->Rebuild();
    } else if (reused) {
        reused->Rebuild(path);
    }
    ContainmentIndex& index = reused ? *reused : fresh;
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> unit(0, 1), nudge(-0.05, 0.05);
    const floatBBox& box = path.ctrlBox;
    int mismatches = 0, beside = 0, inside = 0;
    auto check = [&](const floatPoint& p, float tol) {
        unsigned s, m;
        std::uint32_t param;
        bool b = path.IsBeside(p, tol, s, m, param) != 0;
        int q = path.QuickInside(p);
        beside += b;
        inside += q & 1;
        if (b != index.IsBeside(p, tol) || q != index.QuickInside(p)) ++mismatches;
    };
    for (int i = 0; i < 3000; ++i) {
        floatPoint p(float(box.left + unit(rng) * (box.right - box.left)),
                     float(box.bottom + unit(rng) * (box.top - box.bottom)));
        check(p, 0.04f);
    }
    for (const SubPath& sp : path.subPaths) {
        for (const PathMember& m : sp.members) {
            floatPoint p;
            m.GetPointAt(PM_PARAM_ONE / 3, p);
            check(p, 0.04f);
            check(floatPoint(p.x + float(nudge(rng)), p.y + float(nudge(rng))), 0.04f);
            check(m.start, 0);
            check(m.end, 0.001f);
        }
    }
    EXPECT_EQ(mismatches, 0);
    EXPECT_GT(beside, 0);
    EXPECT_GT(inside, 0);
}

TEST(ContainmentIndex, AnswersAsThePathDoes) {
    for (int jag : {50, 200, 800}) {
        for (unsigned seed : {1u, 2u}) {
            SCOPED_TRACE(testing::Message() << "jag " << jag << ", seed " << seed);
            Path polygon = pathtest::RandomPolygon(400, seed, jag / 1000.0, 0.01f);
            polygon.Prepare();
            Compare(polygon, seed);
            Path smooth =
                pathtest::Smoothed(pathtest::RandomPolygon(60, seed, jag / 1000.0, 0.01f));
            Path second =
                pathtest::Smoothed(pathtest::RandomPolygon(60, seed + 7, jag / 1000.0, 0.01f));
            smooth.Concat(second);
            smooth.Prepare();
            Compare(smooth, seed + 100);
        }
    }
    // Many contours, nested and overlapping: the first one around a point decides.
    Path many(0.01f);
    for (unsigned k = 0; k < 40; ++k) {
        Path p = pathtest::RandomPolygon(30, 50 + k, 0.3, 0.01f);
        many.Concat(p);
    }
    many.Prepare();
    Compare(many, 7);
    // A contour long enough for the members to be ordered digit by digit.
    Path big = pathtest::RandomPolygon(1500, 3, 0.2, 0.01f);
    big.Prepare();
    Compare(big, 8);
}

// One index rebuilt for paths of more, fewer and emptied contours, and after the accuracy of
// its path changed, answers as a new one.
TEST(ContainmentIndex, RebuiltForAnotherPathAnswersAsANewOne) {
    Path many(0.01f);
    for (unsigned k = 0; k < 12; ++k) {
        Path p = pathtest::RandomPolygon(40, 80 + k, 0.2, 0.01f);
        many.Concat(p);
    }
    many.Prepare();
    Path one = pathtest::RandomPolygon(300, 3, 0.8, 0.01f);
    one.Prepare();
    Path two = pathtest::Smoothed(pathtest::RandomPolygon(50, 4, 0.05, 0.01f));
    Path inner = pathtest::RandomPolygon(20, 5, 0.0, 0.01f);
    inner.Transform(floatTMatrix(0.3f, 0, 0, 0.3f, 0, 0));
    two.Concat(inner);
    two.Prepare();

    ContainmentIndex index(many);
    Compare(one, 11, &index);
    Compare(many, 12, &index);
    Compare(two, 13, &index);
    two.SetAccuracy(0.001f);
    Compare(two, 14, &index);
    Compare(one, 15, &index);
}

// Refined tenfold again and again as a combination refines the other path: the index made
// anew for the finer integer forms answers as the path does.
TEST(ContainmentIndex, RefinedAccuracyAnswersAsThePathDoes) {
    for (int jag : {50, 800}) {
        SCOPED_TRACE(testing::Message() << "jag " << jag);
        Path path = pathtest::RandomPolygon(1200, 21, jag / 1000.0, 0.05f);
        Path curves = pathtest::Smoothed(pathtest::RandomPolygon(40, 22, jag / 1000.0, 0.05f));
        path.Concat(curves);
        path.Prepare();
        path.Validate(SP_ALL_INVALID);
        ContainmentIndex index(path);
        for (int k = 0; k < 4; ++k) {
            path.SetAccuracy(path.accuracy * 0.1f);
            Compare(path, 30 + unsigned(k), &index, true);
        }
    }
}

} // namespace
