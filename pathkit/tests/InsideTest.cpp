// Ray crossings, inside tests, containment and outline hit tests.

#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <string>

#include <gtest/gtest.h>

#include "PathTestUtil.h"
#include "pathkit/Path.h"

namespace {

using pathtest::Polygon;
using pathtest::Square;

constexpr double Pi = std::numbers::pi;
const float NaN = std::numeric_limits<float>::quiet_NaN();

// A circle of four or more cubics (one per 45 degrees), counter-clockwise from (cx + r, cy).
void Circle(Path& path, float cx, float cy, float r, float ys = 1) {
    Arc(path, cx, cy, r, 0, 2 * Pi, ys);
    // The last point of the arc is computed; make the contour close exactly.
    PathMember* last = path.building.members.last();
    last->end = path.building.members[0].start;
    path.ClosePath();
}

// The shapes of the ray table.
Path Shape(const std::string& name) {
    Path path(0.01f);
    if (name == "diamond") {
        Polygon(path, {{0, -10}, {10, 0}, {0, 10}, {-10, 0}});
    } else if (name == "square") {
        Square(path, 0, 0, 10, false);
    } else if (name == "step") {
        Polygon(path, {{0, 0}, {20, 0}, {20, 10}, {10, 10}, {10, 20}, {0, 20}});
    } else if (name == "circle") {
        Circle(path, 0, 0, 10);
    }
    path.Validate(SP_ALL_INVALID);
    return path;
}

// Rays through vertices, along edges and through joints of curves: the number of crossings
// counted and the inside answer of that single ray.
TEST(Crossings, RaysThroughVerticesEdgesAndJoints) {
    struct Case {
        const char* shape;
        floatPoint p;
        int direction;
        int count;
    } cases[] = {
        // Level with the diamond's side corners, from outside: through both corners.
        {"diamond", {20, 0}, 0, 2},
        {"diamond", {-20, 0}, 2, 2},
        {"diamond", {0, 20}, 1, 2},
        {"diamond", {0, -20}, 3, 2},
        // From the centre through one corner in every direction.
        {"diamond", {0, 0}, 0, 1},
        {"diamond", {0, 0}, 1, 1},
        {"diamond", {0, 0}, 2, 1},
        {"diamond", {0, 0}, 3, 1},
        // Along the square's bottom and top edges, from either side.
        {"square", {15, 0}, 0, 2},
        {"square", {-5, 0}, 2, 0},
        {"square", {15, 10}, 0, 0},
        {"square", {-5, 10}, 2, 2},
        {"square", {5, -5}, 3, 2},
        {"square", {5, 5}, 1, 1},
        // Along the inner edge of a step, from outside and from inside.
        {"step", {30, 10}, 0, 2},
        {"step", {5, 10}, 0, 1},
        {"step", {5, 10}, 2, 1},
        {"step", {10, 25}, 1, 2},
        // Through the joints of the circle's cubics, and touching it at joints.
        {"circle", {20, 0}, 0, 2},
        {"circle", {0, 0}, 0, 1},
        {"circle", {0, 0}, 1, 1},
        {"circle", {0, 0}, 2, 1},
        {"circle", {0, 0}, 3, 1},
        {"circle", {20, 10}, 0, 0},
        {"circle", {20, -10}, 0, 2},
        {"circle", {10, 20}, 1, 2},
        {"circle", {-10, 20}, 1, 0},
        {"circle", {-10, -20}, 3, 2},
    };
    for (const Case& c : cases) {
        Path path = Shape(c.shape);
        SubPath& sp = path.subPaths[0];
        std::string what =
            std::string(c.shape) + " " + pathtest::Pt(c.p) + " dir " + std::to_string(c.direction);
        EXPECT_EQ(sp.GetCrossings(c.p, c.direction, 0), c.count) << what;
        EXPECT_EQ(sp.SimpleInside(c.p, c.direction, 0), c.count & 1) << what;
        EXPECT_EQ(sp.SimpleInside(c.p, c.direction, 1), c.count & 1) << what;
    }
}

TEST(Crossings, SignFollowsTheRay) {
    Path ccw = Shape("square");
    SubPath& sp = ccw.subPaths[0];
    floatPoint p(5, 5);
    // Counter-clockwise: -1 seen to the left and upwards, +1 downwards and to the right.
    EXPECT_EQ(sp.GetCrossings(p, 0, 1), -1);
    EXPECT_EQ(sp.GetCrossings(p, 1, 1), 1);
    EXPECT_EQ(sp.GetCrossings(p, 2, 1), 1);
    EXPECT_EQ(sp.GetCrossings(p, 3, 1), -1);
    sp.Reverse();
    EXPECT_EQ(sp.GetCrossings(p, 0, 1), 1);
    EXPECT_EQ(sp.GetCrossings(p, 2, 1), -1);
    // Towards the nearest edge: (1, 5) is nearest the left edge.
    EXPECT_EQ(sp.GetCrossings({1, 5}, -1, 1), sp.GetCrossings({1, 5}, 0, 1));
    EXPECT_EQ(sp.GetCrossings({5, 9}, -1, 1), sp.GetCrossings({5, 9}, 3, 1));
    // A contour wound twice.
    Path twice(0.01f);
    Polygon(twice, {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}, {10, 0}, {10, 10}, {0, 10}});
    twice.Validate(SP_ALL_INVALID);
    EXPECT_EQ(twice.subPaths[0].GetCrossings(p, 1, 1), 2);
    EXPECT_EQ(twice.subPaths[0].GetCrossings(p, 1, 0), 2);
    EXPECT_EQ(twice.subPaths[0].SimpleInside(p, 1, 1), 1);
    EXPECT_EQ(twice.subPaths[0].SimpleInside(p, 1, 0), 0);
}

// Away from the outline every ray direction gives the same answer.
TEST(Crossings, AllDirectionsAgreeOffTheOutline) {
    Path path(0.01f);
    Circle(path, 0, 0, 10);
    Polygon(path, {{-4, -4}, {-4, 4}, {4, 4}, {4, -4}, {0, 0}});
    path.Validate(SP_ALL_INVALID);
    int inside = 0;
    for (float x = -12; x <= 12; x += 0.5f) {
        for (float y = -12; y <= 12; y += 0.5f) {
            floatPoint p(x, y);
            unsigned s, m;
            std::uint32_t param;
            if (path.IsBeside(p, 0.02f, s, m, param)) continue;
            for (int rule = 0; rule < 2; ++rule) {
                int first = path.SimpleInside(p, 0, rule);
                for (int d = 1; d < 4; ++d)
                    EXPECT_EQ(path.SimpleInside(p, d, rule), first)
                        << pathtest::Pt(p) << " dir " << d << " rule " << rule;
            }
            inside += path.SimpleInside(p, 0, 0);
        }
    }
    EXPECT_GT(inside, 100);
}

// ---- inside tests on letters

// "O": a circle with a round hole; "8": a block with two square holes.
struct Letters : ::testing::Test {
    Path o{0.01f};
    Path eight{0.01f};

    void SetUp() override {
        Circle(o, 0, 0, 10);
        Circle(o, 0, 0, 5);
        o.Prepare();
        Polygon(eight, {{0, 0}, {10, 0}, {10, 20}, {0, 20}});
        Square(eight, 2, 2, 6, false);
        Square(eight, 2, 12, 6, false);
        eight.Prepare();
    }
};

TEST_F(Letters, HolesAreOutside) {
    struct Case {
        Path* path;
        floatPoint p;
        int inside;     // IsInside, either rule
        int count;      // Inside: closed contours around p
        int quickDepth; // QuickInside
    } cases[] = {
        {&o, {0, 0}, 0, 2, 2},      {&o, {7.5f, 0}, 1, 1, 1},    {&o, {0, -7.5f}, 1, 1, 1},
        {&o, {12, 0}, 0, 0, 0},     {&o, {9.5f, 9.5f}, 0, 0, 0}, {&eight, {5, 5}, 0, 2, 2},
        {&eight, {5, 10}, 1, 1, 1}, {&eight, {1, 15}, 1, 1, 1},  {&eight, {5, 15}, 0, 2, 2},
        {&eight, {5, 21}, 0, 0, 0},
    };
    for (const Case& c : cases) {
        std::string what = pathtest::Pt(c.p);
        EXPECT_EQ(c.path->IsInside(c.p, 0), c.inside) << what;
        EXPECT_EQ(c.path->IsInside(c.p, 1), c.inside) << what;
        EXPECT_EQ(c.path->Inside(c.p), c.count) << what;
        EXPECT_EQ(c.path->QuickInside(c.p), c.quickDepth) << what;
    }
}

TEST_F(Letters, SubPathsAreTestedAlone) {
    // Prepare put the holes first.
    ASSERT_EQ(eight.subPaths[0].depth, 1);
    SubPath& outer = eight.subPaths[2];
    ASSERT_EQ(outer.depth, 0);
    EXPECT_EQ(outer.IsInside({5, 5}, 0), 1);
    EXPECT_EQ(eight.subPaths[0].IsInside({5, 5}, 0) + eight.subPaths[1].IsInside({5, 5}, 0), 1);
    EXPECT_EQ(outer.IsInside({5, 25}, 0), 0);
    EXPECT_EQ(outer.IsInside({5, 25}, 1), 0);
}

TEST_F(Letters, HoleWindingCancelsUnderTheNonZeroRule) {
    // Outer contours run counter-clockwise and holes clockwise: around the centre of the O
    // the windings cancel.
    EXPECT_EQ(o.SimpleInside({0, 0}, 1, 1), 0);
    EXPECT_EQ(o.SimpleInside({7.5f, 0}, 1, 1), 1);
    long sum = 0;
    for (SubPath& sp : o.subPaths)
        sum += sp.GetCrossings({0, 0}, 1, 1);
    EXPECT_EQ(sum, 0);
}

// ---- containment

TEST(Containment, NestedTouchingAndApart) {
    Path path(0.01f);
    Square(path, 0, 0, 10, false); // 0 outer
    Square(path, 2, 2, 3, true);   // 1 inside 0
    Square(path, 0, 0, 5, false);  // 2 inside 0, sharing two of its edges
    Square(path, 20, 0, 5, false); // 3 apart
    Square(path, 8, 8, 5, false);  // 4 overlapping 0
    Circle(path, 5, 5, 2);         // 5 curved, inside 0, around nothing
    path.Validate(SP_ALL_INVALID);
    SubPath* s = path.subPaths.first();
    EXPECT_EQ(s[1].IsContainedBy(s[0]), 1);
    EXPECT_EQ(s[0].IsContainedBy(s[1]), 0);
    EXPECT_EQ(s[2].IsContainedBy(s[0]), 1);
    EXPECT_EQ(s[1].IsContainedBy(s[2]), 1);
    EXPECT_EQ(s[3].IsContainedBy(s[0]), 0);
    // The first member's points fall on both sides; the second member lies outside.
    EXPECT_EQ(s[4].IsContainedBy(s[0]), 0);
    EXPECT_EQ(s[5].IsContainedBy(s[0]), 1);
    EXPECT_EQ(s[1].IsContainedBy(s[5]), 0);
}

TEST(Containment, PrepareNestsTheLetterO) {
    Path o(0.01f);
    Circle(o, 0, 0, 5);
    Circle(o, 0, 0, 10);
    Circle(o, 0, 0, 2);
    o.Prepare();
    ASSERT_EQ(o.subPaths.Filled(), 3);
    EXPECT_EQ(o.subPaths[0].depth, 2);
    EXPECT_EQ(o.subPaths[1].depth, 1);
    EXPECT_EQ(o.subPaths[2].depth, 0);
    EXPECT_NEAR(o.subPaths[1].ctrlBox.right, 5, 1e-4);
}

// ---- hit tests of the outline

TEST(OutlineBeside, MemberParameterAndSubPath) {
    Path path(0.01f);
    Square(path, 0, 0, 10, false);
    Circle(path, 30, 0, 5);
    unsigned s = 9, m = 9;
    std::uint32_t param = 0;
    ASSERT_EQ(path.IsBeside({10.02f, 2.5f}, 0.05f, s, m, param), 1);
    EXPECT_EQ(s, 0u);
    EXPECT_EQ(m, 1u);
    EXPECT_EQ(param, 0x20000000u);
    // Right above the top joint of the circle, where the second cubic ends.
    ASSERT_EQ(path.IsBeside({30, 5.01f}, 0.05f, s, m, param), 1);
    EXPECT_EQ(s, 1u);
    EXPECT_EQ(m, 1u);
    EXPECT_NEAR(double(param) / 0x80000000u, 1.0, 0.01);
    ASSERT_EQ(path.IsBeside({32.5f, 4.34f}, 0.05f, s, m, param), 1); // 60 degrees
    EXPECT_EQ(m, 1u);
    EXPECT_NEAR(double(param) / 0x80000000u, 1.0 / 3, 0.01);
    EXPECT_EQ(path.IsBeside({5, 5}, 0.05f, s, m, param), 0);
    EXPECT_EQ(path.IsBeside({50, 50}, 0.05f, s, m, param), 0);
    // tol 0 finds only member starts and ends.
    ASSERT_EQ(path.IsBeside({10, 0}, 0, s, m, param), 1);
    EXPECT_EQ(m, 0u);
    EXPECT_EQ(param, 0x80000000u);
    EXPECT_EQ(path.IsBeside({10, 5}, 0, s, m, param), 0);
}

// ---- bad input

TEST(BadInput, NaNAndEmptyContoursGiveAnswersWithoutHarm) {
    SubPath empty(0.01f);
    unsigned m;
    std::uint32_t param;
    EXPECT_EQ(empty.GetCrossings({0, 0}, 0, 0), 0);
    EXPECT_EQ(empty.IsInside({0, 0}, 0), 0);
    EXPECT_EQ(empty.IsBeside({0, 0}, 1, m, param), 0);
    EXPECT_EQ(empty.IsContainedBy(empty), 0);
    empty.Snap();
    empty.Smooth(0, 0, 0);
    EXPECT_EQ(empty.BreakApart(), 0);
    EXPECT_EQ(empty.BreakAtSelfConnections(), 0);
    Path out(0.01f);
    EXPECT_EQ(empty.RemoveSelfConnections(out), 0);

    Path none(0.01f);
    EXPECT_EQ(none.Inside({0, 0}), 0);
    EXPECT_EQ(none.QuickInside({0, 0}), 0);
    EXPECT_EQ(none.IsInside({0, 0}, 1), 0);
    EXPECT_EQ(none.RemoveSPConnections(), 0);
    none.Normalize();
    EXPECT_EQ(none.subPaths.Filled(), 0);

    Path bad(0.01f);
    Polygon(bad, {{NaN, 0}, {10, NaN}, {10, 10}, {0, 10}});
    Square(bad, 0, 0, 10, false);
    bad.Validate(SP_ALL_INVALID);
    EXPECT_EQ(bad.subPaths[1].IsInside({NaN, 5}, 0), 0);
    EXPECT_EQ(bad.subPaths[1].IsInside({5, 5}, 1), 1);
    unsigned s;
    bad.IsInside({5, 5}, 0);
    bad.IsBeside({5, 5}, 0.1f, s, m, param);
    bad.Inside({5, 5});
    bad.subPaths[0].IsContainedBy(bad.subPaths[1]);
    bad.subPaths[1].IsContainedBy(bad.subPaths[0]);
    bad.subPaths[0].GetCrossings({5, 5}, -1, 1);

    Path inf(0.01f);
    const float big = std::numeric_limits<float>::infinity();
    Polygon(inf, {{0, 0}, {big, 0}, {big, big}, {-big, 5}});
    inf.Validate(SP_ALL_INVALID);
    inf.subPaths[0].IsInside({1, 1}, 1);
    inf.IsBeside({1, 1}, 0.5f, s, m, param);
}

TEST(FarFromTheOrigin, FineAccuracyKeepsItsResolution) {
    // At accuracy 0.001 a unit is 0.00025 mm: these coordinates lie beyond 2^32 units.
    const float o = 1.0e6f;
    Path path(0.001f);
    Square(path, o, o, 100, false);
    Square(path, o + 25, o + 25, 50, true);
    path.Prepare();
    EXPECT_EQ(path.subPaths[0].depth, 1);
    EXPECT_EQ(path.IsInside({o + 10, o + 50}, 0), 1);
    EXPECT_EQ(path.IsInside({o + 50, o + 50}, 0), 0);
    EXPECT_EQ(path.IsInside({o - 10, o + 50}, 0), 0);
    EXPECT_EQ(path.Inside({o + 50, o + 50}), 2);
    for (int d = 0; d < 4; ++d)
        EXPECT_EQ(path.SimpleInside({o + 10, o + 50}, d, 1), 1) << d;
    unsigned s, m;
    std::uint32_t param;
    ASSERT_EQ(path.IsBeside({o + 100, o + 50}, 0.01f, s, m, param), 1);
    EXPECT_EQ(s, 1u);
}

TEST(LargeContours, AtTheMemberLimit) {
    // A comb of 65533 members: 32766 teeth and the base line under them.
    Path path(0.01f);
    path.building.members.Grow(65534);
    path.MoveTo({0, 0});
    const int teeth = 32766;
    for (int i = 0; i < teeth; ++i) {
        path.LineTo({float(i) + 0.5f, 10});
        path.LineTo({float(i) + 1, 0});
    }
    path.LineTo({0, 0});
    path.ClosePath();
    path.Validate(SP_ALL_INVALID);
    SubPath& sp = path.subPaths[0];
    ASSERT_EQ(sp.members.Filled(), 65533);
    EXPECT_EQ(sp.IsInside({100.5f, 5}, 0), 1);
    EXPECT_EQ(sp.IsInside({100.9f, 8}, 0), 0);
    unsigned m;
    std::uint32_t param;
    ASSERT_EQ(sp.IsBeside({20000.5f, 10}, 0.01f, m, param), 1);
    EXPECT_EQ(m, 40000u);
    sp.Snap();
    EXPECT_EQ(sp.members.Filled(), 65533);
    // Every tooth touches the base line: cutting it there would pass the member limit. The
    // contour stays as it was.
    EXPECT_THROW(sp.BreakAtSelfConnections(), LimitCheckError);
    EXPECT_EQ(sp.members.Filled(), 65533);
    EXPECT_EQ(sp.members[65532].start, floatPoint(32766, 0));
    EXPECT_EQ(sp.members[65532].end, floatPoint(0, 0));
}

TEST(LargeContours, SimpleContourAtTheMemberLimitIsLeftAlone) {
    Path path(0.01f);
    path.building.members.Grow(65534);
    path.MoveTo({1000, 0});
    for (int i = 1; i < 65534; ++i) {
        double a = 2 * Pi * i / 65534;
        path.LineTo({float(1000 * std::cos(a)), float(1000 * std::sin(a))});
    }
    path.LineTo({1000, 0});
    path.ClosePath();
    ASSERT_EQ(path.subPaths[0].members.Filled(), 65534);
    Path out(0.01f);
    EXPECT_EQ(path.subPaths[0].RemoveSelfConnections(out), 0);
    EXPECT_EQ(path.subPaths[0].members.Filled(), 65534);
    EXPECT_EQ(path.Inside({0, 0}), 1);
}

} // namespace
