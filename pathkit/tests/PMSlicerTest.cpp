#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "pathkit/PMSlicer.h"

namespace {

class PointRecorder : public PMSlicer {
public:
    using PMSlicer::PMSlicer;
    // Drops everything beyond a budget, so that a runaway subdivision fails instead of hanging.
    int CheckEntry(floatPoint&, floatPoint&, floatPoint&, floatPoint&) override {
        return points.size() < (1u << 21);
    }
    void PointOutput(floatPoint& p) override { points.push_back(p); }
    std::vector<floatPoint> points;
};

// Assembled byte by byte: the record is packed, so its point fields are never constructed in
// place.
PathMember Member(std::uint16_t flags, floatPoint s, floatPoint c1, floatPoint c2, floatPoint e) {
    unsigned char raw[sizeof(PathMember)];
    std::memcpy(raw + offsetof(PathMember, flags), &flags, sizeof flags);
    std::memcpy(raw + offsetof(PathMember, start), &s, sizeof s);
    std::memcpy(raw + offsetof(PathMember, end), &e, sizeof e);
    std::memcpy(raw + offsetof(PathMember, ctrl1), &c1, sizeof c1);
    std::memcpy(raw + offsetof(PathMember, ctrl2), &c2, sizeof c2);
    return std::bit_cast<PathMember>(raw);
}

PathMember Line(floatPoint s, floatPoint e) {
    return Member(0, s, s, e, e);
}

PathMember Curve(floatPoint s, floatPoint c1, floatPoint c2, floatPoint e) {
    return Member(PM_CURVE, s, c1, c2, e);
}

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

} // namespace

TEST(PMSlicer, LineIsCutIntoEqualStepsAndTheEndComesTwice) {
    PointRecorder r(0.01f, 3);
    r.CalcCornersFrom(Line({0, 0}, {10, 0}));
    // 10 / 3 truncates to 3 steps of 10/3.
    ASSERT_EQ(r.points.size(), 5u);
    EXPECT_EQ(r.points[0], floatPoint(0, 0));
    EXPECT_FLOAT_EQ(r.points[1].x, 10.0f / 3);
    EXPECT_FLOAT_EQ(r.points[2].x, 20.0f / 3);
    EXPECT_FLOAT_EQ(r.points[3].x, 10);
    EXPECT_EQ(r.points[4], floatPoint(10, 0)); // exactly the end, once more
    for (auto& p : r.points)
        EXPECT_EQ(p.y, 0);
}

TEST(PMSlicer, LineStepCounts) {
    struct Case {
        floatPoint s, e;
        float step;
        std::size_t steps;
    };
    const Case cases[] = {
        {{0, 0}, {6, 8}, 3, 3},                                     // length 10
        {{0, 0}, {9, 0}, 3, 3},                                     // exact multiple
        {{0, 0}, {1, 0}, 3, 1},                                     // shorter than a step
        {{5, 5}, {5, 5}, 3, 1},                                     // zero length
        {{0, 0}, {0, -100}, 0.5f, 200}, {{0, 0}, {10, 0}, kInf, 1}, // no step limit
    };
    for (const Case& c : cases) {
        PointRecorder r(0.01f, c.step);
        r.CalcCornersFrom(Line(c.s, c.e));
        ASSERT_EQ(r.points.size(), c.steps + 2) << c.e.x << "," << c.e.y;
        EXPECT_EQ(r.points.front(), c.s);
        EXPECT_EQ(r.points.back(), c.e);
        EXPECT_NEAR(r.points[c.steps].x, c.e.x, 1e-4);
        EXPECT_NEAR(r.points[c.steps].y, c.e.y, 1e-4);
    }
}

TEST(PMSlicer, CurvePiecesAreFlatAndShorterThanTheStep) {
    // Straight cubic x = 3t: flat at depth 1, but halves of 0.75 exceed the step of 0.5,
    // so it goes one level deeper: 8 pieces of 0.375.
    PointRecorder r(0.1f, 0.5f);
    r.CalcCornersFrom(Curve({0, 0}, {1, 0}, {2, 0}, {3, 0}));
    ASSERT_EQ(r.points.size(), 10u);
    for (int k = 0; k <= 8; ++k)
        EXPECT_EQ(r.points[k], floatPoint(0.375f * k, 0)) << k;
    EXPECT_EQ(r.points[9], floatPoint(3, 0));

    // With a long step only the flatness counts: four quarters.
    PointRecorder q(0.1f, 100);
    q.CalcCornersFrom(Curve({0, 0}, {1, 0}, {2, 0}, {3, 0}));
    EXPECT_EQ(q.points.size(), 6u);

    // A real curve: every step is below the maximum in both axes.
    PointRecorder s(0.01f, 0.5f);
    s.CalcCornersFrom(Curve({0, 0}, {0, 10}, {10, 10}, {10, 0}));
    ASSERT_GT(s.points.size(), 20u);
    for (std::size_t i = 1; i < s.points.size(); ++i) {
        EXPECT_LT(std::fabs(s.points[i].x - s.points[i - 1].x), 0.5f) << i;
        EXPECT_LT(std::fabs(s.points[i].y - s.points[i - 1].y), 0.5f) << i;
    }
    EXPECT_EQ(s.points.back(), floatPoint(10, 0));
    EXPECT_EQ(s.points[s.points.size() - 2], floatPoint(10, 0));
}

TEST(PMSlicer, BadToleranceAndStepTakeDefaults) {
    struct Case {
        float tolerance, step;
        float wantTolerance, wantStep;
    };
    const Case cases[] = {
        {0.1f, 0, 0.1f, 3.0f}, // step = 30 tolerances
        {0.1f, -2, 0.1f, 3.0f}, {0.1f, kNaN, 0.1f, 3.0f}, {0, 0, 0.01f, 0.3f},
        {kNaN, 2, 0.01f, 2},    {-1, kInf, 0.01f, kInf},
    };
    for (const Case& c : cases) {
        PMSlicer s(c.tolerance, c.step);
        EXPECT_FLOAT_EQ(s.tolerance, c.wantTolerance) << c.tolerance << " " << c.step;
        EXPECT_FLOAT_EQ(s.maxStep, c.wantStep) << c.tolerance << " " << c.step;
    }
    // A zero step slices a line of 10 like a step of 3.
    PointRecorder r(0.1f, 0);
    r.CalcCornersFrom(Line({0, 0}, {10, 0}));
    EXPECT_EQ(r.points.size(), 5u);
}

TEST(PMSlicer, HugeAndNonFiniteMembersTerminate) {
    struct Case {
        const char* what;
        PathMember m;
        std::size_t minPoints, maxPoints;
    };
    const Case cases[] = {
        {"line far longer than the step cap", Line({0, 0}, {1e30f, 0}), PMSlicer::MaxSteps + 2,
         PMSlicer::MaxSteps + 2},
        {"infinite line", Line({0, 0}, {kInf, 0}), PMSlicer::MaxSteps + 2, PMSlicer::MaxSteps + 2},
        {"NaN line", Line({kNaN, 0}, {1, 0}), 3, 3},
        {"NaN curve", Curve({0, 0}, {kNaN, kNaN}, {1, 1}, {1, 0}), 4, 6},
        {"infinite curve", Curve({0, 0}, {0, kInf}, {1, 1}, {1, 0}), 4, 200},
        {"huge curve", Curve({0, 0}, {0, 1e30f}, {1e30f, 1e30f}, {1e30f, 0}), 6, 1 << 20},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PointRecorder r(0.01f, 0.03f);
        r.CalcCornersFrom(c.m);
        EXPECT_GE(r.points.size(), c.minPoints);
        EXPECT_LE(r.points.size(), c.maxPoints);
    }
}
