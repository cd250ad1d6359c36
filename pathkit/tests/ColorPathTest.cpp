#include <gtest/gtest.h>

#include "PathTestUtil.h"
#include "pathkit/ColorPath.h"
#include "pathkit/PathGroup.h"

using pathtest::Describe;
using pathtest::SignedArea2;
using pathtest::Square;

namespace {

// An open contour: a square from (x0, y0) with side s that stops just short of its start.
void OpenSquare(Path& path, float x0, float y0, float s) {
    path.MoveTo({x0, y0});
    path.LineTo({x0 + s, y0});
    path.LineTo({x0 + s, y0 + s});
    path.LineTo({x0, y0 + s});
    path.LineTo({x0, y0 + 0.5f});
    path.ClosePath();
}

unsigned MemberCount(const Path& path) {
    unsigned n = 0;
    for (const SubPath& sp : path.subPaths)
        n += sp.members.Filled();
    return n;
}

TEST(ColorPath, StartsWithoutColourOnLayerOneWithoutFlags) {
    ColorPath cp;
    EXPECT_EQ(cp.colour, 0xFFFFFFFFu);
    EXPECT_EQ(cp.layer, 1);
    EXPECT_EQ(cp.pathFlags, 0);
    EXPECT_EQ(cp.accuracy, Path::DefAccuracy);
    EXPECT_EQ(cp.subPaths.Filled(), 0);
    EXPECT_EQ(&cp.This(), &cp);

    cp.pathFlags = CP_SHEET_BORDER;
    EXPECT_TRUE(cp.IsBorder());
    EXPECT_FALSE(cp.IsUsed());
    cp.pathFlags = CP_USED | CP_HAS_SELECTION;
    EXPECT_FALSE(cp.IsBorder());
    EXPECT_TRUE(cp.IsUsed());
    EXPECT_TRUE(cp.HasSelection());
}

TEST(ColorPath, CopyIsDeepAndAssignmentTransfers) {
    ColorPath a;
    Square(a, 0, 0, 10, false);
    a.colour = 0x123456;
    a.layer = -7;
    a.pathFlags = CP_LINES_ONLY;

    ColorPath copy(a);
    EXPECT_EQ(Describe(copy), Describe(a));
    EXPECT_NE(copy.subPaths[0].members.first(), a.subPaths[0].members.first());
    EXPECT_EQ(copy.colour, 0x123456u);
    EXPECT_EQ(copy.layer, -7);
    EXPECT_EQ(copy.pathFlags, CP_LINES_ONLY);
    copy.subPaths[0].members[0].end.x = 99;
    EXPECT_EQ(a.subPaths[0].members[0].end.x, 10);

    ColorPath target;
    Square(target, 50, 50, 1, false); // freed by the assignment
    const std::string before = Describe(a);
    target = a;
    EXPECT_EQ(Describe(target), before);
    EXPECT_EQ(target.colour, 0x123456u);
    EXPECT_EQ(target.layer, -7);
    EXPECT_EQ(target.pathFlags, CP_LINES_ONLY);
    EXPECT_EQ(a.subPaths.Filled(), 0);
    EXPECT_EQ(a.subPaths.first(), nullptr);
}

TEST(ColorPath, TakingOverClosesBothAndKeepsTheAttributes) {
    Path source(0.05f);
    Square(source, 0, 0, 10, false);
    source.MoveTo({20, 0}); // a sub-path still being built
    source.LineTo({30, 0});

    ColorPath cp;
    Square(cp, 100, 100, 5, false); // freed by the take-over
    cp.MoveTo({200, 200});          // closed first, then freed with the rest
    cp.LineTo({201, 200});
    cp.colour = 0xFF;
    cp.layer = 3;
    cp.pathFlags = CP_SHEET_BORDER;

    cp << source;
    EXPECT_EQ(Describe(cp), "0,0 L10,0 L10,10 L0,10 L0,0 | 20,0 L30,0");
    EXPECT_EQ(cp.accuracy, 0.05f);
    EXPECT_EQ(cp.building.members.Filled(), 0);
    EXPECT_EQ(cp.colour, 0xFFu);
    EXPECT_EQ(cp.layer, 3);
    EXPECT_EQ(cp.pathFlags, CP_SHEET_BORDER);

    EXPECT_EQ(source.subPaths.Filled(), 0);
    EXPECT_EQ(source.subPaths.Allocated(), 0);
    EXPECT_EQ(source.subPaths.first(), nullptr);
    EXPECT_EQ(source.building.members.Filled(), 0);

    cp << cp; // taking over itself changes nothing
    EXPECT_EQ(cp.subPaths.Filled(), 2);
}

// ---- islands

TEST(PathGroup, SplitsIntoOuterContoursWithTheirHoles) {
    Path source;
    Square(source, 20, 0, 10, false); // a separate square
    Square(source, 0, 0, 10, false);  // an "O": outline ...
    Square(source, 3, 3, 4, false);   // ... and its hole

    PathGroup group;
    group << source;
    EXPECT_EQ(source.subPaths.Filled(), 0);
    ASSERT_EQ(group.Filled(), 2);

    Path& o = group[0];
    ASSERT_EQ(o.subPaths.Filled(), 2);
    EXPECT_EQ(o.subPaths[0].depth, 1); // prepared: the hole first, clockwise
    EXPECT_LT(SignedArea2(o.subPaths[0]), 0);
    EXPECT_EQ(o.subPaths[1].depth, 0);
    EXPECT_GT(SignedArea2(o.subPaths[1]), 0);
    EXPECT_EQ(o.ctrlBox.left, 0);
    EXPECT_EQ(o.ctrlBox.right, 10);

    ASSERT_EQ(group[1].subPaths.Filled(), 1);
    EXPECT_EQ(group[1].ctrlBox.left, 20);
}

TEST(PathGroup, AnIslandInsideAHoleIsAnEntryOfItsOwn) {
    Path source;
    Square(source, 0, 0, 30, false);  // outline
    Square(source, 5, 5, 20, false);  // its hole
    Square(source, 10, 10, 10, true); // an island in the hole
    Square(source, 13, 13, 4, true);  // the island's hole

    PathGroup group;
    group << source;
    // Entries come in the prepared order of their outer contours: the deeper island first.
    ASSERT_EQ(group.Filled(), 2);
    EXPECT_EQ(group[0].subPaths.Filled(), 2);
    EXPECT_EQ(group[0].ctrlBox.left, 10);
    EXPECT_EQ(group[1].subPaths.Filled(), 2);
    EXPECT_EQ(group[1].ctrlBox.left, 0);
    for (Path& island : group) {
        // Each entry is prepared on its own: outer depth 0, hole depth 1.
        EXPECT_EQ(island.subPaths[0].depth, 1);
        EXPECT_EQ(island.subPaths[1].depth, 0);
    }
}

TEST(PathGroup, AnOpenSubPathStandsAloneAndGathersNothing) {
    Path probe;
    OpenSquare(probe, 0, 0, 20);
    Square(probe, 5, 5, 10, false);
    // The ray test counts the small square as inside the open contour, which therefore must
    // not be asked at all.
    ASSERT_NE(probe.subPaths[1].IsContainedBy(probe.subPaths[0]), 0);

    Path source;
    OpenSquare(source, 0, 0, 20);
    Square(source, 5, 5, 10, false);
    Square(source, 40, 0, 10, false);
    Square(source, 42, 2, 4, false);

    PathGroup group;
    group << source;
    ASSERT_EQ(group.Filled(), 3);
    unsigned open = 0, holed = 0, single = 0;
    for (Path& island : group) {
        if (island.subPaths.Filled() == 2) {
            ++holed;
        } else if (island.subPaths[0].IsOpen()) {
            ++open;
            EXPECT_EQ(MemberCount(island), 4u);
        } else {
            ++single;
        }
    }
    EXPECT_EQ(open, 1u);
    EXPECT_EQ(holed, 1u);
    EXPECT_EQ(single, 1u);
    // Open sub-paths come last in a prepared path, so first out of it: the last entry.
    EXPECT_TRUE(group[2].subPaths[0].IsOpen());
}

TEST(PathGroup, LaterSplitsAppendInOrderAndTheGroupTransfers) {
    PathGroup group;
    Path a;
    Square(a, 0, 0, 10, false);
    Square(a, 20, 0, 10, false);
    group << a;
    Path b;
    Square(b, 100, 0, 10, false);
    Square(b, 120, 0, 10, false);
    group << b;
    Path empty;
    group << empty;

    ASSERT_EQ(group.Filled(), 4);
    float lefts[] = {0, 20, 100, 120};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(group[std::uint16_t(i)].ctrlBox.left, lefts[i]) << i;

    PathGroup other(std::move(group));
    EXPECT_EQ(group.Filled(), 0);
    PathGroup third;
    third = other;
    EXPECT_EQ(other.Filled(), 0);
    ASSERT_EQ(third.Filled(), 4);
    EXPECT_EQ(third[3].ctrlBox.left, 120);
}

} // namespace
