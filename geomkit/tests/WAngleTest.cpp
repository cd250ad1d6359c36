#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "geomkit/WAngle.h"

namespace {
constexpr double kPi = 3.14159265358979323846;
}

TEST(WAngle, ConstantsAreTheSinglePrecisionTurnAndTwoTurns) {
    EXPECT_EQ(kFullTurn, double(float(2 * kPi)));
    EXPECT_EQ(kFullTurn, 6.2831854820251465);
    EXPECT_EQ(kAngleLimit, 12.56637061436);
}

TEST(WAngle, StoredAngleKeepsTwoTurnsEitherWay) {
    struct Case {
        double in, out;
    } cases[] = {
        {7.0, 7.0},                            // within two turns: unchanged
        {13.0, 13.0 - 6.2831854820251465},     // one turn off
        {-13.0, -13.0 + 6.2831854820251465},   // the same below
        {12.56637061436, 12.56637061436},      // the limit itself stays
        {26.0, 26.0 - 3 * 6.2831854820251465}, // 13.43 is still beyond two turns
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(WAngle(c.in).Value(), c.out) << c.in;
}

TEST(WAngle, NormToCircleAndFDiff) {
    WAngle a(-0.5);
    EXPECT_DOUBLE_EQ(a.NormToCircle(), 5.7831854820251465);
    WAngle full(kFullTurn);
    EXPECT_EQ(full.NormToCircle(), kFullTurn); // the full turn itself stays

    EXPECT_EQ(WAngle(1.25).FDiff(WAngle(1.25)), 0.0); // never the full turn
    EXPECT_DOUBLE_EQ(WAngle(0.5).FDiff(WAngle(1.0)), kFullTurn - 0.5);
    EXPECT_DOUBLE_EQ(WAngle(1.0).FDiff(WAngle(0.5)), 0.5);
}

TEST(WAngle, ArithmeticNormalises) {
    EXPECT_DOUBLE_EQ((WAngle(12.0) + WAngle(1.0)).Value(), 13.0 - kFullTurn);
    EXPECT_DOUBLE_EQ((WAngle(-12.0) - WAngle(1.0)).Value(), -13.0 + kFullTurn);
    EXPECT_DOUBLE_EQ(WAngle(12.0).Diff(WAngle(1.0)).Value(), 11.0);
    WAngle a(12.0);
    a += WAngle(1.0);
    EXPECT_DOUBLE_EQ(a.Value(), 13.0 - kFullTurn);
    EXPECT_DOUBLE_EQ((WAngle(3.0) / 2).Value(), 1.5);
    EXPECT_TRUE(WAngle(1.0) < WAngle(2.0));
    EXPECT_TRUE(WAngle(2.0) > WAngle(1.0));
    EXPECT_TRUE(WAngle(2.0) == WAngle(2.0));
}

TEST(WAngle, NonFiniteAndHugeValuesEndInRange) {
    const double inf = std::numeric_limits<double>::infinity();
    for (double v : {inf, -inf, std::nan("")}) {
        WAngle a(v);
        EXPECT_EQ(a.Value(), 0.0);
        EXPECT_EQ(a.NormToCircle(), 0.0);
        EXPECT_EQ((a / 0.0).Value(), 0.0);
    }
    for (double v : {1e300, -1e300, 1e17}) {
        WAngle a(v);
        EXPECT_LE(std::fabs(a.Value()), kAngleLimit) << v;
        double c = a.NormToCircle();
        EXPECT_GE(c, 0.0);
        EXPECT_LE(c, kFullTurn);
    }
}

TEST(WAngleRange, DefaultIsTheFullCircle) {
    WAngleRange r;
    EXPECT_EQ(r.Start().Value(), 0.0);
    EXPECT_EQ(r.End().Value(), kFullTurn);
    EXPECT_EQ(r.FAngleDiff(), kFullTurn);
    r.Exchange();
    EXPECT_EQ(r.Start().Value(), kFullTurn);
    EXPECT_EQ(r.FAngleDiff(), 0.0);

    WAngleRange n(WAngle(-1.0), WAngle(7.0));
    n.Normalize();
    EXPECT_DOUBLE_EQ(n.Start().Value(), kFullTurn - 1.0);
    EXPECT_DOUBLE_EQ(n.End().Value(), 7.0 - kFullTurn);
}

TEST(WDirectedAngleRange, SweepPiecesAndTangents) {
    WDirectedAngleRange up(WAngle(0.0), WAngle(kPi / 2), 0);
    WDirectedAngleRange down(WAngle(0.0), WAngle(kPi / 2), 7);
    EXPECT_EQ(down.Direction(), 1); // stored as 0 or 1
    EXPECT_DOUBLE_EQ(up.FAngleDiff(), kPi / 2);
    EXPECT_DOUBLE_EQ(down.FAngleDiff(), kFullTurn - kPi / 2);

    WDirectedAngleRange half = up.PieceOfRange(0.5, 1.0);
    EXPECT_DOUBLE_EQ(half.Start().Value(), kPi / 4);
    EXPECT_DOUBLE_EQ(half.End().Value(), kPi / 2);
    EXPECT_EQ(half.Direction(), 0);
    WDirectedAngleRange back = down.PieceOfRange(0.0, 0.5);
    EXPECT_DOUBLE_EQ(back.End().Value(), -(kFullTurn - kPi / 2) / 2);
    EXPECT_EQ(back.Direction(), 1);

    // Anticlockwise travel at 0 is +y, at π/2 it is −x.
    WVektor<float> p, q;
    up.Tangent(2.0, p, q);
    EXPECT_NEAR(p.x, 0, 1e-6);
    EXPECT_NEAR(p.y, -2, 1e-6);
    EXPECT_NEAR(q.x, -2, 1e-6);
    EXPECT_NEAR(q.y, 0, 1e-6);
    down.Tangent(2.0, p, q);
    EXPECT_NEAR(p.y, 2, 1e-6);
    EXPECT_NEAR(q.x, 2, 1e-6);
}
