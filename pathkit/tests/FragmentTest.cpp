// Runs of members and the rebuilding of paths from them.

#include <cstdint>
#include <initializer_list>
#include <numbers>

#include <gtest/gtest.h>

#include "PathTestUtil.h"
#include "pathkit/FragmentArray.h"
#include "pathkit/Path.h"

namespace {

using pathtest::Describe;
using pathtest::Polygon;

constexpr double Pi = std::numbers::pi;

// An open polyline as one sub-path.
void Open(Path& path, std::initializer_list<floatPoint> points) {
    const floatPoint* p = points.begin();
    path.MoveTo(*p);
    for (++p; p != points.end(); ++p)
        path.LineTo(*p);
    path.ClosePath();
}

// A closed contour of five members, with the given members selected and inserted.
struct FiveMembers : ::testing::Test {
    Path path{0.01f};
    SubPath* sp = nullptr;

    void SetUp() override {
        Polygon(path, {{0, 0}, {10, 0}, {20, 0}, {20, 10}, {0, 10}});
        sp = &path.subPaths[0];
    }
    void Select(std::initializer_list<int> which) {
        for (int i : which)
            sp->members[i].flags |= PM_SELECTED;
    }
    void Insert(std::initializer_list<int> which) {
        for (int i : which)
            sp->members[i].flags |= PM_INSERTED;
    }
};

TEST_F(FiveMembers, SelectedRuns) {
    Select({0, 1, 2, 3, 4});
    FragmentArray all;
    all.FillWithSelected(*sp);
    ASSERT_EQ(all.Filled(), 1);
    EXPECT_EQ(all[0].count, 5);
    EXPECT_TRUE(all[0].IsClosed());

    for (PathMember& m : sp->members)
        m.flags = 0;
    Select({1, 2, 4});
    FragmentArray some;
    some.FillWithSelected(*sp);
    ASSERT_EQ(some.Filled(), 2);
    EXPECT_EQ(some[0].members, &sp->members[1]);
    EXPECT_EQ(some[0].count, 2);
    EXPECT_EQ(some[1].members, &sp->members[4]);
    EXPECT_EQ(some[1].count, 1);
    EXPECT_EQ(some[0].accuracy, 0.01f);
    EXPECT_EQ(some[0].box.left, 10);
    EXPECT_EQ(some[0].box.top, 10);
    EXPECT_FALSE(some[0].IsClosed());
}

TEST_F(FiveMembers, InsertedMembersEndSelectedRuns) {
    Select({0, 1, 2, 3});
    Insert({0, 2});
    FragmentArray f;
    f.FillWithSelected(*sp);
    ASSERT_EQ(f.Filled(), 2);
    EXPECT_EQ(f[0].count, 2); // 0-1
    EXPECT_EQ(f[1].count, 2); // 2-3
    // The run starts lost their inserted marks.
    EXPECT_FALSE(sp->members[0].IsInserted());
    EXPECT_FALSE(sp->members[2].IsInserted());
}

TEST_F(FiveMembers, RunsBetweenInsertions) {
    Insert({2, 4});
    FragmentArray f;
    f.FillByInsertions(*sp);
    ASSERT_EQ(f.Filled(), 3);
    EXPECT_EQ(f[0].count, 2);
    EXPECT_EQ(f[1].count, 2);
    EXPECT_EQ(f[2].count, 1);
    EXPECT_EQ(f[1].start(), floatPoint(20, 0));
    EXPECT_EQ(f[1].end(), floatPoint(0, 10));
    EXPECT_TRUE(sp->members[2].IsInserted()); // left as it was
}

TEST_F(FiveMembers, QueriesOnARun) {
    Fragment f;
    EXPECT_EQ(f.StartPathMember(), nullptr);
    EXPECT_EQ(f.EndPathMember(), nullptr);
    EXPECT_FALSE(f.IsClosed());
    f.Fill(&sp->members[1], 3, 0.01f); // (10,0) -> (20,0) -> (20,10) -> (0,10)
    EXPECT_EQ(f.StartPathMember(), &sp->members[1]);
    EXPECT_EQ(f.EndPathMember(), &sp->members[3]);
    EXPECT_NEAR(f.Spin(), Pi, 1e-9); // two left turns
    EXPECT_TRUE(f.IsBeside({20.03f, 5}, 0.05f, 1));
    EXPECT_TRUE(f.IsBeside({0.04f, 10}, 0.05f, -1));
    EXPECT_FALSE(f.IsBeside({10, 5}, 0.05f, 1));

    sp->members[2].flags = PM_SELECTED;
    f.SetPMState(PM_SELECTED | PM_OVERLAYED, 0x1);
    EXPECT_EQ(sp->members[1].flags, 0x1 | PM_CHANGED);
    EXPECT_EQ(sp->members[2].flags, 0x1 | PM_CHANGED);
    sp->members[3].flags = 0x1;
    f.SetPMState(PM_OVERLAYED, 0x1);
    EXPECT_EQ(sp->members[3].flags, 0x1); // unchanged, not marked
}

// Filling makes room for all runs at once, but ends with the capacity that growing by the
// step for each run would give; a second fill into a part-full array grows step by step.
TEST(FragmentArrayGrowth, CapacityAsGrowingStepByStep) {
    struct Case {
        int runs;
        int capacity;
    };
    for (Case c : {Case{1, 50}, Case{50, 50}, Case{51, 100}, Case{120, 150}}) {
        Path path(0.01f);
        path.MoveTo({0, 0});
        for (int i = 1; i <= c.runs + 1; ++i)
            path.LineTo({float(i), float(i % 2)});
        path.ClosePath();
        SubPath& sp = path.subPaths[0];
        for (int i = 1; i < c.runs; ++i)
            sp.members[i].flags |= PM_INSERTED;
        // The last run holds two members.
        FragmentArray f;
        f.FillByInsertions(path);
        EXPECT_EQ(f.Filled(), c.runs) << c.runs;
        EXPECT_EQ(f.Allocated(), c.capacity) << c.runs;
        EXPECT_EQ(f[std::uint16_t(c.runs - 1)].count, 2) << c.runs;
        f.FillByInsertions(sp);
        EXPECT_EQ(f.Filled(), 2 * c.runs) << c.runs;
        EXPECT_EQ(f.Allocated(), (2 * c.runs + 49) / 50 * 50) << c.runs;
    }
}

TEST(FragmentEqual, SameRunsEitherWay) {
    Path path(0.01f);
    Open(path, {{0, 0}, {10, 0}, {10, 10}});
    Open(path, {{0, 0}, {5, 0}, {10, 0}, {10, 10}}); // the same with an extra vertex
    Open(path, {{10, 10}, {10, 0}, {0, 0}});
    Open(path, {{0, 0}, {10, 0.5f}, {10, 10}});
    FragmentArray f;
    f.FillByInsertions(path);
    ASSERT_EQ(f.Filled(), 4);
    EXPECT_EQ(IsEqual(f[0], f[1], 0.01f), 1);
    EXPECT_EQ(IsEqual(f[0], f[2], 0.01f), -1);
    EXPECT_EQ(IsEqual(f[1], f[2], 0.01f), -1);
    EXPECT_EQ(IsEqual(f[0], f[3], 0.01f), 0);
    EXPECT_EQ(IsEqual(f[0], f[3], 1.0f), 1);
}

TEST(FragmentSearch, ConnectionsAndProcessedMarks) {
    Path path(0.01f);
    Open(path, {{0, 0}, {5, 5}});
    Open(path, {{5, 5}, {10, 0}});
    Open(path, {{5, 5}, {0, 0}});
    FragmentArray f;
    f.FillByInsertions(path);
    floatPoint p(5, 5);
    EXPECT_EQ(f.SearchStartConnection(&p), 1);
    EXPECT_EQ(f.SearchEndConnection(&p), 0);
    f[1].fragmentFlags |= FR_PROCESSED;
    EXPECT_EQ(f.SearchStartConnection(&p), 2);
    f[0].fragmentFlags |= FR_PROCESSED;
    EXPECT_EQ(f.SearchUnProcessed(), 2);
    EXPECT_EQ(f.SearchEndConnection(&p), -1);

    FragmentArray copy(f);
    ASSERT_EQ(copy.Filled(), 3);
    EXPECT_EQ(copy[2].members, f[2].members);
    EXPECT_TRUE(copy[0].IsProcessed());
}

TEST(FragmentArrange, LensClosesWithTheSecondBackwards) {
    Path path(0.01f);
    path.MoveTo({0, 0});
    path.CurveTo({3, 4}, {7, 4}, {10, 0});
    path.ClosePath();
    Open(path, {{0, 0}, {5, -3}, {10, 0}});
    FragmentArray f;
    f.FillByInsertions(path);
    Path out(0.01f);
    EXPECT_EQ(f.BuildPath(out), 0);
    ASSERT_EQ(f.Filled(), 2);
    EXPECT_TRUE(f[0].IsStarting());
    EXPECT_FALSE(f[0].IsTurning());
    EXPECT_TRUE(f[1].IsTurning());
    EXPECT_TRUE(f[1].IsProcessed());
    EXPECT_EQ(Describe(out), "0,0 L5,-3 L10,0 C7,4 3,4 0,0");
    EXPECT_TRUE(out.subPaths[0].IsClosed());
}

TEST(FragmentArrange, OddJunctionStartsFromDanglingEnds) {
    Path path(0.01f);
    Open(path, {{-10, 0}, {0, 0}});
    Open(path, {{0, 0}, {10, 5}});
    Open(path, {{0, 0}, {10, -5}});
    FragmentArray f;
    f.FillByInsertions(path);
    Path out(0.01f);
    EXPECT_EQ(f.BuildPath(out), -1);
    EXPECT_EQ(Describe(out), "10,-5 L0,0 L10,5 | -10,0 L0,0");
}

TEST(FragmentArrange, ClosedRunsComeFirst) {
    Path path(0.01f);
    Open(path, {{0, 0}, {5, 5}});
    Polygon(path, {{20, 0}, {30, 0}, {30, 10}});
    Open(path, {{5, 5}, {0, 0}});
    FragmentArray f;
    f.FillByInsertions(path);
    Path out(0.01f);
    EXPECT_EQ(f.BuildPath(out), 0);
    EXPECT_EQ(Describe(out), "20,0 L30,0 L30,10 L20,0 | 0,0 L5,5 L0,0");
    EXPECT_TRUE(f[0].IsStarting());
    EXPECT_TRUE(f[1].IsStarting());
    EXPECT_FALSE(f[2].IsStarting());
}

TEST(FragmentArrange, JunctionTakesTheTurnTheChainPrefers) {
    // Two loops meet at (0, 0). The chain starts on the left, heading east into the junction
    // without turning, and so takes the smallest turn there: the right loop, entered backwards
    // through its lower half.
    Path path(0.01f);
    Open(path, {{-10, 0}, {0, 0}});
    Open(path, {{0, 0}, {-5, 5}, {-10, 0}});
    Open(path, {{0, 0}, {10, 5}, {10, 0}});
    Open(path, {{10, 0}, {10, -5}, {0, 0}});
    FragmentArray f;
    f.FillByInsertions(path);
    Path out(0.01f);
    EXPECT_EQ(f.BuildPath(out), 0);
    EXPECT_EQ(Describe(out), "-10,0 L0,0 L10,-5 L10,0 L10,5 L0,0 L-5,5 L-10,0");
}

TEST(FragmentArrange, EmptyArrayBuildsNothing) {
    FragmentArray f;
    Path out(0.01f);
    EXPECT_EQ(f.BuildPath(out), 0);
    EXPECT_EQ(out.subPaths.Filled(), 0);
}

} // namespace
