#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>

#include <gtest/gtest.h>

#include "pathkit/Path.h"
#include "pathkit/PathMeasure.h"
#include "pathkit/PathMember.h"

namespace {

PathMember Line(floatPoint s, floatPoint e) {
    PathMember m(s, e);
    m.ctrl1 = s;
    m.ctrl2 = e;
    return m;
}

PathMember Curve(floatPoint s, floatPoint c1, floatPoint c2, floatPoint e) {
    PathMember m(s, e);
    m.flags = PM_CURVE;
    m.ctrl1 = c1;
    m.ctrl2 = c2;
    return m;
}

// Quarter circle of radius r about the origin, counter-clockwise from (r, 0), scaled from the
// usual handle of 55.228 at radius 100.
PathMember QuarterCircle(float r) {
    float h = r * 0.55228f;
    return Curve({r, 0}, {r, h}, {h, r}, {0, r});
}

// Length of QuarterCircle(100), integrated numerically with 200000 chords.
constexpr double QuarterCircleLength = 157.10146;

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr double One = double(PM_PARAM_ONE);

} // namespace

TEST(GetPMLength, LinesAreExact) {
    EXPECT_EQ(GetPMLength(Line({0, 0}, {3, 4}), 0.1f), 5.0f);
    EXPECT_EQ(GetPMLength(Line({-1, 2}, {-1, -8}), 0.1f), 10.0f);
    EXPECT_EQ(GetPMLength(Line({7, 7}, {7, 7}), 0.1f), 0.0f);
}

TEST(GetPMLength, QuarterCircleIsWithinTheAccuracy) {
    // Chords cut corners by up to an accuracy and the integer midpoints shrink the curve by a
    // few quarter accuracies: the sum stays within two accuracies below the cubic's length.
    for (float acc : {0.1f, 0.01f, 0.001f}) {
        SCOPED_TRACE(acc);
        float length = GetPMLength(QuarterCircle(100), acc);
        EXPECT_LE(length, QuarterCircleLength);
        EXPECT_GT(length, QuarterCircleLength - 2 * acc);
    }
    // Against the circle's pi r / 2.
    EXPECT_NEAR(GetPMLength(QuarterCircle(100), 0.1f), std::numbers::pi * 50, 0.1);
    EXPECT_NEAR(GetPMLength(QuarterCircle(100), 0.01f), std::numbers::pi * 50, 0.01);
}

TEST(GetPMLength, StraightCurveMeasuresItsChord) {
    EXPECT_NEAR(GetPMLength(Curve({0, 0}, {10, 0}, {20, 0}, {30, 0}), 0.01f), 30, 0.01);
    // Handles reaching beyond the end: x(t) = 45 t (1 - t) + 10 t^3 turns back at 7.5 sqrt 3,
    // so the curve runs 15 sqrt 3 - 10 in all.
    EXPECT_NEAR(GetPMLength(Curve({0, 0}, {15, 0}, {15, 0}, {10, 0}), 0.01f),
                15 * std::numbers::sqrt3 - 10, 0.02);
}

TEST(GetPMLength, FineAccuracyOnLargeCoordinatesKeepsItsScale) {
    // 4 / 0.001 units per millimetre would put this curve far outside the integer range.
    EXPECT_NEAR(GetPMLength(QuarterCircle(1e6f), 0.001f), QuarterCircleLength * 1e4, 1.0);
    PathMember far = QuarterCircle(100);
    for (floatPoint* p : {&far.start, &far.ctrl1, &far.ctrl2, &far.end})
        *p += floatPoint(5e6f, -5e6f);
    EXPECT_NEAR(GetPMLength(far, 0.01f), QuarterCircleLength, 1.0);
}

TEST(GetPMLength, BadAccuracyTakesTheDefault) {
    float expected = GetPMLength(QuarterCircle(100), Path::ValidAccuracy(0));
    for (float acc : {0.0f, -1.0f, kNaN, kInf})
        EXPECT_EQ(GetPMLength(QuarterCircle(100), acc), expected) << acc;
}

TEST(GetPMLength, DegenerateAndNonFiniteMembers) {
    EXPECT_EQ(GetPMLength(Curve({5, 5}, {5, 5}, {5, 5}, {5, 5}), 0.01f), 0.0f);
    EXPECT_TRUE(std::isnan(GetPMLength(Curve({0, 0}, {kNaN, 0}, {5, 5}, {10, 0}), 0.01f)));
    EXPECT_TRUE(std::isinf(GetPMLength(Curve({0, 0}, {kInf, 0}, {5, 5}, {10, 0}), 0.01f)));
    EXPECT_TRUE(std::isnan(GetPMLength(Line({0, 0}, {kNaN, 1}), 0.01f)));
}

TEST(GetTParamAt, Line) {
    PathMember line = Line({0, 0}, {0, 10});
    struct {
        float length;
        std::uint32_t param;
    } cases[] = {
        {0, 0},  {2.5f, 0x20000000u}, {5, 0x40000000u},     {10, PM_PARAM_ONE}, {12, PM_PARAM_ONE},
        {-1, 0}, {kNaN, 0},           {kInf, PM_PARAM_ONE},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GetTParamAt(line, c.length, 0.01f), c.param) << c.length;
    // A zero-length line is passed by every length.
    EXPECT_EQ(GetTParamAt(Line({3, 3}, {3, 3}), 0, 0.01f), PM_PARAM_ONE);
}

TEST(GetTParamAt, UniformStraightCurve) {
    // Control points at thirds: the parameter runs with the length.
    PathMember c = Curve({0, 0}, {10, 0}, {20, 0}, {30, 0});
    for (float f : {0.125f, 0.5f, 0.75f}) {
        std::uint32_t t = GetTParamAt(c, 30 * f, 0.01f);
        EXPECT_NEAR(double(t), f * One, 1e-4 * One) << f;
    }
}

TEST(GetTParamAt, QuarterCircle) {
    PathMember arc = QuarterCircle(100);
    float length = GetPMLength(arc, 0.01f);
    EXPECT_EQ(GetTParamAt(arc, 0, 0.01f), 0u);
    // The float length may fall a hair short of the sum it was made from.
    EXPECT_NEAR(double(GetTParamAt(arc, length, 0.01f)), One, 1e-6 * One);
    EXPECT_EQ(GetTParamAt(arc, length + 1, 0.01f), PM_PARAM_ONE);
    // Symmetric: half the length is half the parameter.
    EXPECT_NEAR(double(GetTParamAt(arc, length / 2, 0.01f)), 0.5 * One, 1e-4 * One);
    // A quarter of the length lies at 22.5 degrees, reached at t = 0.245505 (integrated).
    std::uint32_t t = GetTParamAt(arc, length / 4, 0.01f);
    EXPECT_NEAR(double(t) / One, 0.245505, 1e-4);
    floatPoint p;
    arc.GetPointAt(t, p);
    EXPECT_NEAR(std::atan2(p.y, p.x) * 180 / std::numbers::pi, 22.5, 0.01);
}

TEST(GetTParamAt, GrowsWithTheLength) {
    PathMember c = Curve({0, 0}, {40, 80}, {90, -30}, {100, 20});
    float length = GetPMLength(c, 0.01f);
    std::uint32_t before = 0;
    for (int i = 1; i <= 50; ++i) {
        std::uint32_t t = GetTParamAt(c, length * float(i) / 50, 0.01f);
        EXPECT_GT(t, before) << i;
        before = t;
    }
    EXPECT_EQ(before, PM_PARAM_ONE);
}

TEST(GetTParamAt, DegenerateAndNonFiniteMembers) {
    PathMember dot = Curve({5, 5}, {5, 5}, {5, 5}, {5, 5});
    EXPECT_EQ(GetTParamAt(dot, 0, 0.01f), 0u);
    EXPECT_EQ(GetTParamAt(dot, 1, 0.01f), PM_PARAM_ONE);
    EXPECT_EQ(GetTParamAt(Curve({0, 0}, {kNaN, 0}, {5, 5}, {10, 0}), 3, 0.01f), 0u);
    EXPECT_EQ(GetTParamAt(Curve({0, 0}, {kInf, 0}, {5, 5}, {10, 0}), 3, 0.01f), 0u);
    EXPECT_EQ(GetTParamAt(Line({0, 0}, {kNaN, 0}), 3, 0.01f), 0u);
    EXPECT_EQ(GetTParamAt(Line({0, 0}, {kInf, 0}), 3, 0.01f), 0u);
    EXPECT_EQ(GetTParamAt(QuarterCircle(100), kNaN, 0.01f), 0u);
    EXPECT_EQ(GetTParamAt(QuarterCircle(100), -5, 0.01f), 0u);
}

TEST(FindFootPoint, Line) {
    PathMember line = Line({0, 0}, {10, 0});
    std::uint32_t t = 7;
    EXPECT_EQ(FindFootPoint(line, {2.5f, 4}, 0.01f, t), 1);
    EXPECT_EQ(t, 0x20000000u);
    EXPECT_EQ(FindFootPoint(line, {10, -3}, 0.01f, t), 1);
    EXPECT_EQ(t, PM_PARAM_ONE);
    t = 7;
    EXPECT_EQ(FindFootPoint(line, {-0.5f, 1}, 0.01f, t), 0);
    EXPECT_EQ(FindFootPoint(line, {10.5f, 1}, 0.01f, t), 0);
    EXPECT_EQ(FindFootPoint(line, {kNaN, 1}, 0.01f, t), 0);
    EXPECT_EQ(t, 7u);
    // A zero-length line projects everything onto its start.
    EXPECT_EQ(FindFootPoint(Line({1, 1}, {1, 1}), {40, -3}, 0.01f, t), 1);
    EXPECT_EQ(t, 0u);
}

TEST(FindFootPoint, QuarterCircle) {
    PathMember arc = QuarterCircle(100);
    std::uint32_t t = 7;
    // Inside on the 45-degree ray: the foot is the middle of the arc, to within the chord
    // that takes it last.
    EXPECT_GE(FindFootPoint(arc, {50, 50}, 0.01f, t), 1);
    EXPECT_NEAR(double(t), 0.5 * One, 0.01 * One);
    // The centre projects into the middle of every chord; the last one wins.
    int chords = FindFootPoint(arc, {0, 0}, 0.01f, t);
    EXPECT_GE(chords, 4);
    EXPECT_GT(t, 0.9 * One);
    EXPECT_LT(t, PM_PARAM_ONE);
    // Beyond the end on its tangent no chord takes the point.
    t = 7;
    EXPECT_EQ(FindFootPoint(arc, {-200, 100}, 0.01f, t), 0);
    EXPECT_EQ(t, 7u);
}

TEST(FindFootPoint, FineAccuracyOnLargeCoordinatesEnds) {
    // Pieces cannot get flatter than the float resolution here; the search still ends.
    PathMember far = Curve({1e7f, 0}, {1e7f + 3, 4}, {1e7f - 3, 4}, {1e7f, 0});
    std::uint32_t t = 0;
    EXPECT_GE(FindFootPoint(far, {1e7f, 1}, 1e-6f, t), 0);
    EXPECT_EQ(FindFootPoint(Curve({0, 0}, {kNaN, 0}, {5, 5}, {10, 0}), {1, 1}, 0.01f, t), 0);
}
