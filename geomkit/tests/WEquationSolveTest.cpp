#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "geomkit/WEquationSolve.h"

namespace {

std::vector<double> Roots(const WEquationSolve& e) {
    std::vector<double> v;
    for (int i = 0; i < e.GetCount(); ++i)
        v.push_back(e.GetRoot(i));
    return v;
}

void ExpectRoots(const std::vector<double>& got, const std::vector<double>& want, double tol,
                 const char* what) {
    ASSERT_EQ(got.size(), want.size()) << what;
    for (std::size_t i = 0; i < want.size(); ++i)
        EXPECT_NEAR(got[i], want[i], tol) << what << " root " << i;
}

} // namespace

TEST(WEquationSolve, CubicsByTable) {
    struct Case {
        const char* what;
        double a3, a2, a1, a0;
        int degree;
        std::vector<double> roots; // ascending
        double tol;
    } cases[] = {
        {"t^2 - 1 through the cubic form", 0, 1, 0, -1, 2, {-1, 1}, 0},
        {"(t-1)^2 (t+2): the double-root branch", 1, 0, -3, 2, 3, {-2, 1}, 1e-12},
        {"(t-1)^3: triple root", 1, -3, 3, -1, 3, {1}, 0},
        {"(t-1)(t-2)(t-3)", 1, -6, 11, -6, 3, {1, 2, 3}, 1e-12},
        {"(t-0.3)^3 with rounding", 1, -0.9, 0.27, -0.027, 3, {0.3, 0.3, 0.3}, 2e-5},
        {"2 (t-0.1)(t-0.2)(t-0.7)", 2, -2, 0.46, -0.028, 3, {0.1, 0.2, 0.7}, 1e-12},
        {"t^3 + t + 1: one real root", 1, 0, 1, 1, 3, {-0.6823278038280193}, 1e-12},
        {"t^3 + 3t: R = 0, Q < 0", 1, 0, 3, 0, 3, {0}, 0},
        {"tiny cubic term snapped", 1e-9, 1, 0, -1, 2, {-1, 1}, 0},
        {"small but real cubic term", 0.5, 1, 0, -1, 3, {0.8392867552141612}, 1e-12},
        {"t^2 + 1", 0, 1, 0, 1, 2, {}, 0},
        {"t^2: one root", 0, 1, 0, 0, 2, {0}, 0},
        {"2t^2 - 3t + 1", 0, 2, -3, 1, 2, {0.5, 1}, 1e-15},
        {"3t - 1", 0, 0, 3, -1, 1, {1.0 / 3}, 1e-16},
    };
    for (const Case& c : cases) {
        WEquationSolve e(c.a3, c.a2, c.a1, c.a0);
        EXPECT_EQ(e.GetDegree(), c.degree) << c.what;
        e.Solve();
        std::vector<double> got = Roots(e);
        if (std::string(c.what).find("(t-0.3)^3") != std::string::npos) {
            // Near-triple roots come back as one to three values, all close to 0.3, never NaN.
            ASSERT_GE(got.size(), 1u);
            for (double r : got)
                EXPECT_NEAR(r, 0.3, c.tol) << c.what;
            continue;
        }
        ExpectRoots(got, c.roots, c.tol, c.what);
    }
}

TEST(WEquationSolve, NormalizeKeepsTheUnitRange) {
    WEquationSolve e(0, 1, 0, -1);
    e.Solve();
    EXPECT_EQ(e.Normalize(1), 1);
    EXPECT_EQ(e.GetRoot(0), 1);
    e.Solve();
    EXPECT_EQ(e.Normalize(0), 0);

    WEquationSolve lin(2, 0); // 2t = 0
    EXPECT_EQ(lin.Solve(), 1);
    EXPECT_EQ(lin.Normalize(1), 1);
    lin.Solve();
    EXPECT_EQ(lin.Normalize(0), 0);

    WEquationSolve all(0, 0); // every t
    EXPECT_EQ(all.Solve(), -1);
    EXPECT_EQ(all.Normalize(1), -1);
    WEquationSolve none(0, 3);
    EXPECT_EQ(none.Solve(), 0);

    WEquationSolve three(1, -1.5, 0.5, 0); // t (t - 0.5)(t - 1)
    EXPECT_EQ(three.Solve(), 3);
    EXPECT_EQ(three.Normalize(0), 1);
    EXPECT_NEAR(three.GetRoot(0), 0.5, 1e-12);
}

TEST(WEquationSolve, ThreeCoefficientFormLeavesTheCubicTermAlone) {
    WEquationSolve e(1.0, 0, 0, 0);
    e.Initialize(1.0, 0.0, -4.0);
    EXPECT_EQ(e.GetDegree(), 2);
    e.Solve();
    ExpectRoots(Roots(e), {-2, 2}, 0, "t^2 - 4");
    e.Initialize(0.0, 0.0, 0.0);
    EXPECT_EQ(e.GetDegree(), 0);
    EXPECT_EQ(e.Solve(), -1);
}

TEST(WEquationSolve, NonFiniteCoefficientsGiveNoRoots) {
    const double nan = std::nan(""), inf = std::numeric_limits<double>::infinity();
    const double bad[][4] = {{nan, 1, 2, 3},
                             {1, nan, 0, 0},
                             {0, 1, inf, 0},
                             {0, 0, 1, nan},
                             {1e300, 1, 1e-300, 1e300},
                             {0, 0, 1e-300, 1e300}};
    for (const auto& c : bad) {
        WEquationSolve e(c[0], c[1], c[2], c[3]);
        int n = e.Solve();
        EXPECT_GE(n, 0);
        for (int i = 0; i < n; ++i)
            EXPECT_TRUE(std::isfinite(e.GetRoot(i)));
        e.Normalize(1);
    }
}

TEST(WEquationSolve, SignumIsOneZeroOrMinusOne) {
    EXPECT_EQ(WEquationSolve::Signum(-3), -1);
    EXPECT_EQ(WEquationSolve::Signum(0), 0);
    EXPECT_EQ(WEquationSolve::Signum(2e-300), 1);
}
