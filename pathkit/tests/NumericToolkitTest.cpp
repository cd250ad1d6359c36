#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <vector>

#include <gtest/gtest.h>

#include "pathkit/NumericToolkit.h"

namespace {

constexpr double pi = std::numbers::pi;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

} // namespace

TEST(SolveLin2, SolvesRegularAndRefusesSingularSystems) {
    double x = -1, y = -1;
    // 2x + y = 5, x - y = 1
    ASSERT_EQ(SolveLin2(2, 1, 1, -1, 5, 1, x, y), 1);
    EXPECT_DOUBLE_EQ(x, 2);
    EXPECT_DOUBLE_EQ(y, 1);

    struct Case {
        double a11, a12, a21, a22, r1, r2;
    };
    const Case singular[] = {
        {1, 2, 2, 4, 1, 1},         // rows proportional
        {1e-6, 0, 0, 1e-5, 1, 1},   // |det| = 1e-11 < 1e-10
        {0, 0, 0, 0, 0, 0},         // nothing at all
        {kNaN, 1, 1, 1, 1, 1},      // NaN coefficient
        {1e200, 1, 1, 1e200, 1, 1}, // determinant overflows
        {1, 0, 0, 1, kNaN, 1},      // NaN right-hand side
    };
    for (const Case& c : singular) {
        x = 7, y = 8;
        EXPECT_EQ(SolveLin2(c.a11, c.a12, c.a21, c.a22, c.r1, c.r2, x, y), 0) << c.a11;
        EXPECT_EQ(x, 7); // untouched
        EXPECT_EQ(y, 8);
    }

    // det = 2e-10 is still solved
    ASSERT_EQ(SolveLin2(2e-5, 0, 0, 1e-5, 4e-5, 3e-5, x, y), 1);
    EXPECT_NEAR(x, 2, 1e-9);
    EXPECT_NEAR(y, 3, 1e-9);
}

TEST(IntersectionPoint, CrossingParallelAndCollinearLines) {
    struct Case {
        const char* what;
        double x1, y1, x2, y2, x3, y3, x4, y4;
        int result;
        double x, y;
    };
    const Case cases[] = {
        {"diagonals cross", 0, 0, 2, 2, 0, 2, 2, 0, 1, 1, 1},
        {"crossing beyond the segments", 0, 0, 1, 0, 5, 1, 5, 2, 1, 5, 0},
        {"vertical meets horizontal", 3, -1, 3, 1, 0, 4, 1, 4, 1, 3, 4},
        {"collinear gives P3", 0, 0, 1, 1, 3, 3, 5, 5, 1, 3, 3},
        {"collinear, opposite directions", 0, 0, 2, 0, 7, 0, -4, 0, 1, 7, 0},
        {"parallel distinct", 0, 0, 1, 0, 0, 1, 1, 1, 0, 0, 0},
        {"parallel distinct, sloped", 0, 0, 1, 2, 1, 0, 2, 2, 0, 0, 0},
        {"NaN point", 0, 0, kNaN, 1, 0, 1, 1, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        double x = -99, y = -99;
        ASSERT_EQ(IntersectionPoint(c.x1, c.y1, c.x2, c.y2, c.x3, c.y3, c.x4, c.y4, x, y),
                  c.result);
        if (c.result) {
            EXPECT_NEAR(x, c.x, 1e-12);
            EXPECT_NEAR(y, c.y, 1e-12);
        }

        floatPoint out(-99, -99);
        ASSERT_EQ(IntersectionPoint(floatPoint(float(c.x1), float(c.y1)),
                                    floatPoint(float(c.x2), float(c.y2)),
                                    floatPoint(float(c.x3), float(c.y3)),
                                    floatPoint(float(c.x4), float(c.y4)), out),
                  c.result);
        if (c.result) {
            EXPECT_FLOAT_EQ(out.x, float(c.x));
            EXPECT_FLOAT_EQ(out.y, float(c.y));
        } else {
            EXPECT_EQ(out, floatPoint(-99, -99));
        }
    }
}

TEST(VectAngle, SignedAngleFromFirstToSecondVector) {
    struct Case {
        double ax, ay, bx, by, angle;
    };
    const Case cases[] = {
        {1, 0, -1, 0, pi},           // opposite: +pi, never -pi
        {0, 1, 0, -1, pi},           //
        {1, 0, 0, -1, -pi / 2},      //
        {1, 0, 0, 1, pi / 2},        //
        {2, 0, 0, 5, pi / 2},        // lengths do not matter
        {1, 0, 1, 1, pi / 4},        // 45 degrees
        {1, 1, 1, 0, -pi / 4},       //
        {1, 0, -1, 1, 3 * pi / 4},   // c < 0, s > 0
        {1, 0, -1, -1, -3 * pi / 4}, // c < 0, s < 0
        {0, -1, -1, 0, -pi / 2},     //
        {3, 4, 3, 4, 0},             // same direction
        {1, 0, 1, 1e-7, 0},          // sine below 1e-6 counts as 0
        {1, 0, -1, -1e-7, pi},       // ... also against an opposite vector
        {1, 0, 1e-7, 1, pi / 2},     // cosine below 1e-6 counts as 0
        {0, 0, 1, 0, 0},             // zero vectors
        {1, 0, 0, 0, 0},             //
        {0, 0, 0, 0, 0},             //
        {kNaN, 0, 1, 0, 0},          // not finite
        {kInf, 0, 0, 1, 0},          //
    };
    for (const Case& c : cases)
        EXPECT_NEAR(VectAngle(c.ax, c.ay, c.bx, c.by), c.angle, 1e-12)
            << "(" << c.ax << "," << c.ay << ") -> (" << c.bx << "," << c.by << ")";
}

TEST(SolveQuadratic, RootsDegenerateAndComplexCases) {
    struct Case {
        const char* what;
        double c[3];
        int result;
        std::vector<double> roots; // in the order written
    };
    const Case cases[] = {
        {"x^2 - 3x + 2", {2, -3, 1}, 2, {2, 1}},
        {"x^2 + 3x + 2", {2, 3, 1}, 2, {-2, -1}},
        {"2x^2 - 8", {-8, 0, 2}, 2, {-2, 2}},
        {"x^2 - 2x + 1 (double root)", {1, -2, 1}, 2, {1, 1}},
        {"x^2, q = 0", {0, 0, 1}, 1, {0}},
        {"linear 2x + 4", {4, 2, 0}, 1, {-2}},
        {"constant", {5, 0, 0}, -1, {}},
        {"zero polynomial", {0, 0, 0}, -1, {}},
        {"x^2 + 1", {1, 0, 1}, 0, {}},
        {"NaN coefficient", {kNaN, 1, 1}, 0, {}},
        {"infinite coefficient", {1, kInf, 1}, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        double r[3] = {c.c[0], c.c[1], c.c[2]};
        ASSERT_EQ(SolveQuadratic(r), c.result);
        for (std::size_t i = 0; i < c.roots.size(); ++i)
            EXPECT_DOUBLE_EQ(r[i], c.roots[i]);
    }

    // The cancellation-free form keeps the small root of x^2 - 1e8 x + 1 accurate.
    double r[3] = {1, -1e8, 1};
    ASSERT_EQ(SolveQuadratic(r), 2);
    EXPECT_DOUBLE_EQ(r[0], 1e8);
    EXPECT_DOUBLE_EQ(r[1], 1e-8);
}

TEST(SolveCubic, TrigonometricAndSingleRootBranches) {
    struct Case {
        const char* what;
        double c[4];
        int result;
        std::vector<double> roots; // in the order the formulas give them
        double tol;
    };
    const Case cases[] = {
        // a = -6, Q = 1/3, R = 0, theta = pi/2
        {"x^3 - 6x^2 + 11x - 6", {-6, 11, -6, 1}, 3, {1, 3, 2}, 1e-12},
        {"scaled by -2", {12, -22, 12, -2}, 3, {1, 3, 2}, 1e-12},
        {"x^3 - 1", {-1, 0, 0, 1}, 1, {1}, 1e-15},
        {"x^3 + 8", {8, 0, 0, 1}, 1, {-2}, 1e-15},
        // x^3 + x + 1: one real root
        {"x^3 + x + 1", {1, 1, 0, 1}, 1, {-0.68232780382801932}, 1e-14},
        // (x - 1)^3: Q = R = 0, A = 0 must not divide
        {"triple root at 1", {-1, 3, -3, 1}, 1, {1}, 0},
        {"triple root at 2, scaled", {-16, 24, -12, 2}, 1, {2}, 0},
        {"x^3", {0, 0, 0, 1}, 1, {0}, 0},
        // (x + 10)^2 (x + 8.25): rounding puts the ratio exactly at -1 in the trigonometric branch
        {"double root at the branch edge", {825, 265, 28.25, 1}, 3, {-10, -8.25, -10}, 1e-6},
        // (x - 1)(x - 1 - 1e-4)(x - 1 + 1e-4): three nearly equal roots
        {"near-triple root", {-(1 - 1e-8), 3 - 1e-8, -3, 1}, 3, {1 - 1e-4, 1 + 1e-4, 1}, 1e-9},
        {"no cubic term", {2, -3, 1, 0}, 2, {2, 1}, 0},
        {"no cubic or square term", {4, 2, 0, 0}, 1, {-2}, 0},
        {"constant", {3, 0, 0, 0}, -1, {}, 0},
        {"NaN coefficient", {1, 2, kNaN, 1}, 0, {}, 0},
        {"infinite coefficient", {kInf, 0, 0, 1}, 0, {}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        double r[4] = {c.c[0], c.c[1], c.c[2], c.c[3]};
        ASSERT_EQ(SolveCubic(r), c.result);
        for (std::size_t i = 0; i < c.roots.size(); ++i) {
            ASSERT_TRUE(std::isfinite(r[i])) << i;
            EXPECT_NEAR(r[i], c.roots[i], c.tol) << i;
        }
    }
}

TEST(SolveCubic, RootsSatisfyTheEquationOverAFamilyOfCloseRoots) {
    // Double and nearly triple roots are where rounding in R / sqrt(Q^3) bites.
    for (int i = -20; i <= 20; ++i) {
        for (int j = -20; j <= 20; ++j) {
            double r = i / 4.0, s = r + j * 1e-3;
            // (x - r)^2 (x - s)
            double c[4] = {-r * r * s, r * r + 2 * r * s, -(2 * r + s), 1};
            double orig[4] = {c[0], c[1], c[2], c[3]};
            int n = SolveCubic(c);
            ASSERT_TRUE(n == 1 || n == 3) << r << " " << s;
            for (int k = 0; k < n; ++k) {
                ASSERT_TRUE(std::isfinite(c[k])) << r << " " << s;
                double x = c[k];
                double value = orig[0] + x * (orig[1] + x * (orig[2] + x * orig[3]));
                EXPECT_NEAR(value, 0, 1e-6) << r << " " << s << " root " << x;
            }
        }
    }
}

TEST(Dist2, SquaredDistanceFromTheLine) {
    struct Case {
        floatPoint a, b, p;
        double d2;
    };
    const Case cases[] = {
        {{0, 0}, {10, 0}, {5, 3}, 9},
        {{0, 0}, {10, 0}, {20, -4}, 16},       // the line, not the segment
        {{0, 0}, {3, 4}, {4, -3}, 25},         // perpendicular
        {{1, 1}, {1, 1}, {4, 5}, 25},          // a = b: distance from a
        {{1, 1}, {1.0000005f, 1}, {4, 5}, 25}, // a and b within 1e-6
        {{2, 2}, {6, 6}, {4, 4}, 0},           // on the line
    };
    for (const Case& c : cases)
        EXPECT_NEAR(Dist2(c.a, c.b, c.p), c.d2, 1e-9) << c.p.x;

    auto lp = [](std::int32_t x, std::int32_t y) {
        longPoint p;
        p.Fill(x, y);
        return p;
    };
    EXPECT_DOUBLE_EQ(Dist2(lp(0, 0), lp(10, 0), lp(5, 3)), 9);
    EXPECT_DOUBLE_EQ(Dist2(lp(0, 0), lp(3, 4), lp(4, -3)), 25);
    EXPECT_DOUBLE_EQ(Dist2(lp(1, 1), lp(1, 1), lp(4, 5)), 25);
    // Extreme coordinates: no integer overflow.
    const std::int32_t lo = std::numeric_limits<std::int32_t>::min();
    const std::int32_t hi = std::numeric_limits<std::int32_t>::max();
    double h = double(hi);
    EXPECT_DOUBLE_EQ(Dist2(lp(lo, 0), lp(hi, 0), lp(0, hi)), h * h);
    EXPECT_DOUBLE_EQ(Dist2(lp(lo, lo), lp(lo, lo), lp(hi, lo)), (h - lo) * (h - lo));
}

TEST(BoxTransformation, MapsCornersOntoCorners) {
    floatTMatrix m(9, 9, 9, 9, 9, 9);
    floatBBox from(0, 0, 10, 20), to(100, 200, 120, 260);
    BoxTransformation(m, from, to);
    EXPECT_EQ(m.m12, 0);
    EXPECT_EQ(m.m21, 0);
    EXPECT_FLOAT_EQ(m.m11, 2);
    EXPECT_FLOAT_EQ(m.m22, 3);
    struct Case {
        floatPoint in, out;
    };
    const Case cases[] = {{{0, 0}, {100, 200}}, {{10, 20}, {120, 260}}, {{5, 10}, {110, 230}}};
    for (const Case& c : cases) {
        floatPoint p = c.in;
        m.Transform(p.x, p.y);
        EXPECT_FLOAT_EQ(p.x, c.out.x);
        EXPECT_FLOAT_EQ(p.y, c.out.y);
    }
}

TEST(BBoxTimesFactor, TruncatesTowardsZeroAndSaturates) {
    auto box = [](float l, float r, float b, float t) {
        floatBBox x;
        x.left = l, x.right = r, x.bottom = b, x.top = t;
        return x;
    };
    const float fnan = std::numeric_limits<float>::quiet_NaN();
    const float finf = std::numeric_limits<float>::infinity();
    const std::int32_t lo = std::numeric_limits<std::int32_t>::min();
    const std::int32_t hi = std::numeric_limits<std::int32_t>::max();
    struct Case {
        floatBBox in;
        float factor;
        std::int32_t l, r, b, t;
    };
    const Case cases[] = {
        {box(-1.9f, 1.9f, 2.5f, -2.5f), 1, -1, 1, 2, -2},
        {box(0.25f, 12.5f, -0.75f, 3), 4, 1, 50, -3, 12},
        {box(1e10f, -1e10f, 3e9f, -3e9f), 1, hi, lo, hi, lo},
        {box(fnan, finf, -finf, 5), 1, 0, hi, lo, 5},
        {box(1e30f, 1, 1, 1), 1e30f, hi, 2147483647, 2147483647, 2147483647},
        {box(1, 2, 3, 4), fnan, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        longBBox r = c.in * c.factor;
        EXPECT_EQ(r.left, c.l) << c.in.left;
        EXPECT_EQ(r.right, c.r) << c.in.right;
        EXPECT_EQ(r.bottom, c.b) << c.in.bottom;
        EXPECT_EQ(r.top, c.t) << c.in.top;
    }
}
