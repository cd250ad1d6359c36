#include <cmath>
#include <limits>
#include <numbers>
#include <set>
#include <vector>

#include <gtest/gtest.h>

#include "ContourSampling.h"
#include "pathkit/NonLinearTrans.h"
#include "pathkit/Path.h"

namespace {

using contour::Pt;

constexpr double kPi = std::numbers::pi;
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

// Moves every point by (dx, 0) and counts the points mapped.
class Shift : public NonLinearTrans {
public:
    Shift(float accuracy, int stepFactor, float dx)
        : NonLinearTrans(accuracy, stepFactor, 0, 0), dx(dx) {}
    void TransformPoint(floatPoint& p) override {
        p.x += dx;
        ++mapped;
    }
    float dx;
    int mapped = 0;
};

class Breaker : public NonLinearTrans {
public:
    Breaker(std::set<unsigned> at) : NonLinearTrans(0.01f, 10, 0, 0), at(std::move(at)) {}
    int Break(SubPath&, unsigned i) override { return at.count(i) ? 1 : 0; }
    std::set<unsigned> at;
};

// Points right of x = limit become NaN.
class CutAway : public NonLinearTrans {
public:
    explicit CutAway(float limit) : NonLinearTrans(0.01f, 10, 0, 0), limit(limit) {}
    void TransformPoint(floatPoint& p) override {
        if (p.x > limit) p.x = kNaN;
    }
    float limit;
};

void Circle(Path& path, float cx, float cy, float r) {
    Arc(path, cx, cy, r, 0, 2 * kPi, 1);
    path.ClosePath();
}

void Polyline(Path& path, std::initializer_list<floatPoint> points) {
    const floatPoint* p = points.begin();
    path.MoveTo(*p);
    for (++p; p != points.end(); ++p)
        path.LineTo(*p);
    path.ClosePath();
}

// Largest deviation of the contour from the circle, and of the circle from the contour.
void ExpectOnCircle(const SubPath& sp, double cx, double cy, double r, double tol) {
    ASSERT_GT(sp.members.Filled(), 0);
    EXPECT_TRUE(contour::AllFinite(sp));
    EXPECT_TRUE(sp.IsClosed());
    std::vector<Pt> fitted = contour::Sample(sp), exact;
    double worst = 0;
    for (Pt p : fitted)
        worst = std::max(worst, std::fabs(std::hypot(p.x - cx, p.y - cy) - r));
    EXPECT_LE(worst, tol);
    for (int i = 0; i < 2000; ++i) {
        double a = 2 * kPi * i / 2000;
        exact.push_back({cx + r * std::cos(a), cy + r * std::sin(a)});
    }
    EXPECT_LE(contour::MaxDistance(exact, fitted), tol) << "the contour must go all the way round";
}

bool HasNode(const SubPath& sp, const floatPoint& p) {
    for (const PathMember& m : sp.members)
        if (m.end == p) return true;
    return false;
}

TEST(NonLinearTrans, IdentityRefitsACircleWithinTwiceTheAccuracy) {
    Path path(0.01f);
    Circle(path, 20, 20, 10);
    NonLinearTrans identity(0.01f, 10, 0, 0);
    identity.Transform(path.subPaths[0]);

    const SubPath& sp = path.subPaths[0];
    ExpectOnCircle(sp, 20, 20, 10, 0.02 + 1e-4);
    EXPECT_EQ(sp.members[0].start, floatPoint(30, 20));
    EXPECT_LE(sp.members.Filled(), 12);
    EXPECT_TRUE(sp.members[0].IsCurve());
    EXPECT_FLOAT_EQ(sp.accuracy, 0.01f);
    // The result was handed over: nothing is left in the transformer's path.
    EXPECT_EQ(identity.output.subPaths.Filled(), 0);
    EXPECT_EQ(identity.output.building.members.Filled(), 0);
}

TEST(NonLinearTrans, ShiftMovesEveryContourOfAPath) {
    Path path(0.01f);
    Circle(path, 20, 20, 10);
    Circle(path, 60, 20, 5);
    Shift shift(0.01f, 10, 5);
    shift.Transform(path);
    ASSERT_EQ(path.subPaths.Filled(), 2);
    ExpectOnCircle(path.subPaths[0], 25, 20, 10, 0.02 + 1e-4);
    ExpectOnCircle(path.subPaths[1], 65, 20, 5, 0.02 + 1e-4);
}

TEST(NonLinearTrans, LinesAreSlicedMappedOnceAndKeepTheirCorner) {
    Path path(0.01f);
    Polyline(path, {{0, 0}, {10, 0}, {10, 10}});
    // Steps of 100 accuracies = 1 mm: ten per line. The start, ten steps, the end reported
    // again and the next start are one point each: 11 + 10 points mapped.
    Shift shift(0.01f, 100, 1);
    shift.Transform(path.subPaths[0]);
    EXPECT_EQ(shift.mapped, 21);
    const SubPath& sp = path.subPaths[0];
    ASSERT_GT(sp.members.Filled(), 0);
    EXPECT_EQ(sp.members[0].start, floatPoint(1, 0));
    EXPECT_TRUE(HasNode(sp, floatPoint(11, 0)));
    EXPECT_EQ(sp.members.last()->end, floatPoint(11, 10));
    for (const PathMember& m : sp.members) {
        EXPECT_FALSE(m.IsCurve());
        EXPECT_TRUE(m.end.y == 0 || m.end.x == 11);
    }
}

TEST(NonLinearTrans, BreakForcesANode) {
    {
        Path path(0.01f);
        Polyline(path, {{0, 0}, {10, 0}, {20, 0}});
        NonLinearTrans plain(0.01f, 10, 0, 0);
        plain.Transform(path.subPaths[0]);
        const SubPath& sp = path.subPaths[0];
        ASSERT_EQ(sp.members.Filled(), 1);
        EXPECT_EQ(sp.members[0].end, floatPoint(20, 0));
    }
    {
        Path path(0.01f);
        Polyline(path, {{0, 0}, {10, 0}, {20, 0}});
        Breaker breaker({1});
        breaker.Transform(path.subPaths[0]);
        const SubPath& sp = path.subPaths[0];
        EXPECT_TRUE(HasNode(sp, floatPoint(10, 0)));
        EXPECT_EQ(sp.members.last()->end, floatPoint(20, 0));
        for (const PathMember& m : sp.members) {
            EXPECT_FALSE(m.IsCurve());
            EXPECT_EQ(m.end.y, 0);
        }
    }
    {
        // The circle's eight arcs; member 4 starts on the far left.
        Path path(0.01f);
        Circle(path, 20, 20, 10);
        floatPoint left = path.subPaths[0].members[4].start;
        Breaker breaker({4});
        breaker.Transform(path.subPaths[0]);
        EXPECT_TRUE(HasNode(path.subPaths[0], left));
        ExpectOnCircle(path.subPaths[0], 20, 20, 10, 0.02 + 1e-4);
    }
}

TEST(NonLinearTrans, PointsMappedToNaNAreLeftOut) {
    Path path(0.01f);
    Circle(path, 20, 20, 10);
    Circle(path, 60, 20, 5);
    CutAway cut(25);
    cut.Transform(path);
    ASSERT_EQ(path.subPaths.Filled(), 2);
    // The first circle keeps its left part, the second loses everything.
    const SubPath& kept = path.subPaths[0];
    ASSERT_GT(kept.members.Filled(), 0);
    EXPECT_TRUE(contour::AllFinite(kept));
    for (Pt p : contour::Sample(kept))
        EXPECT_LE(p.x, 25 + 0.02);
    EXPECT_EQ(path.subPaths[1].members.Filled(), 0);

    // An empty contour stays as it is.
    SubPath empty;
    cut.Transform(empty);
    EXPECT_EQ(empty.members.Filled(), 0);
}

TEST(NonLinearTrans, AccuracyThatIsNoPositiveNumberTakesTheDefault) {
    for (float a : {0.0f, -1.0f, kNaN}) {
        SCOPED_TRACE(a);
        NonLinearTrans t(a, 10, 0, 0);
        float def = Path::ValidAccuracy(0);
        EXPECT_FLOAT_EQ(t.output.accuracy, def);
        EXPECT_FLOAT_EQ(t.tolerance, def);
        EXPECT_FLOAT_EQ(t.maxStep, 10 * def);
        EXPECT_FLOAT_EQ(t.fitter.tolerance, 2 * def);
    }
    NonLinearTrans t(0.05f, 4, 1, 1);
    EXPECT_FLOAT_EQ(t.output.accuracy, 0.05f);
    EXPECT_FLOAT_EQ(t.maxStep, 0.2f);
    EXPECT_FLOAT_EQ(t.fitter.tolerance, 0.1f);
    EXPECT_EQ(t.fitter.searchMode, 1);
    EXPECT_EQ(t.fitter.tangentMode, 1);
}

} // namespace
