// The normal-form state of a path: recorded by a Normalize that changes nothing and by the
// guarded combinations, ended by every change, and never a cause of a different result.
#include <gtest/gtest.h>

#include <cmath>

#include "PathTestUtil.h"
#include "pathkit/PathCombination.h"
#include "pathkit/TMatrix.h"

namespace {

constexpr float Acc = 0.01f;

using pathtest::Polygon;
using pathtest::Square;

// Every member's flags and points, bitwise, with each sub-path's depth.
bool SameMembers(const Path& p, const Path& q) {
    if (p.subPaths.Filled() != q.subPaths.Filled()) return false;
    for (std::uint16_t i = 0; i < p.subPaths.Filled(); ++i) {
        const SubPath &a = p.subPaths[i], &b = q.subPaths[i];
        if (a.members.Filled() != b.members.Filled() || a.depth != b.depth ||
            a.rotation != b.rotation)
            return false;
        for (std::uint16_t k = 0; k < a.members.Filled(); ++k) {
            const PathMember &m = a.members[k], &n = b.members[k];
            if (m.flags != n.flags || !(m.start == n.start) || !(m.end == n.end) ||
                !(m.ctrl1 == n.ctrl1) || !(m.ctrl2 == n.ctrl2))
                return false;
        }
    }
    return true;
}

// A ring (its hole running the wrong way) and a square apart: nothing for Normalize to do but
// orient and order them.
Path Clean() {
    Path p(Acc);
    Square(p, 0, 0, 10, false);
    Square(p, 3, 3, 4, false);
    Square(p, 20, 0, 5, false);
    return p;
}

TEST(NormalForm, RecordedByANormalizeThatChangesNothing) {
    Path p = Clean();
    EXPECT_FALSE(p.IsNormal());
    p.Normalize(); // turns the hole round: a change
    EXPECT_FALSE(p.IsNormal());
    p.Normalize();
    EXPECT_TRUE(p.IsNormal());

    // Not recorded where Normalize rebuilds: two squares sharing an edge.
    Path joined(Acc);
    Square(joined, 0, 0, 10, false);
    Square(joined, 10, 0, 10, false);
    joined.Normalize();
    joined.Normalize();
    joined.Normalize();
    EXPECT_EQ(joined.subPaths.Filled(), 1);
}

TEST(NormalForm, EndedByEveryChange) {
    auto normal = [] {
        Path p = Clean();
        p.Normalize();
        p.Normalize();
        EXPECT_TRUE(p.IsNormal());
        return p;
    };
    struct Case {
        const char* name;
        void (*change)(Path&);
    };
    const Case cases[] = {
        {"Invalidate", [](Path& p) { p.Invalidate(SP_CLUSTERS_INVALID); }},
        {"sub-path Invalidate", [](Path& p) { p.subPaths[1].Invalidate(SP_CTRLBOX_INVALID); }},
        {"Reverse", [](Path& p) { p.subPaths[0].Reverse(); }},
        {"Rotate", [](Path& p) { p.subPaths[0].Rotate(1); }},
        {"SetAccuracy", [](Path& p) { p.SetAccuracy(Acc); }},
        {"accuracy field", [](Path& p) { p.accuracy = 0.02f; }},
        {"Transform", [](Path& p) { p.Transform(floatTMatrix()); }},
        {"Snap", [](Path& p) { p.Snap(); }},
        {"a sub-path built", [](Path& p) { Square(p, 40, 0, 1, false); }},
        {"AddSubPath",
         [](Path& p) {
             Path other = Clean();
             other.Normalize();
             other.Normalize();
             p.AddSubPath(other.subPaths[0]);
         }},
        {"Concat of a normal path",
         [](Path& p) {
             Path other = Clean();
             other.Normalize();
             other.Normalize();
             p.Concat(other);
         }},
        {"a sub-path emptied",
         [](Path& p) {
             p.subPaths[2].members.ResetTo(0);
             p.Validate(0);
         }},
    };
    for (const Case& c : cases) {
        Path p = normal();
        c.change(p);
        EXPECT_FALSE(p.IsNormal()) << c.name;
    }

    // Moved whole into an empty path, the sub-paths keep it; copies start without it.
    Path p = normal();
    Path moved(Acc);
    moved.Concat(p);
    EXPECT_TRUE(moved.IsNormal());
    EXPECT_FALSE(p.IsNormal());
    Path copy(moved);
    EXPECT_FALSE(copy.IsNormal());
}

// Contours that only touch at a point are broken there and built again as they were, so the
// second run (after the first has put the touching node into an edge or turned a hole) changes
// nothing and records the normal form. Areas by hand: squares 10 and 5; the triangle
// (10,5) (15,0) (15,10) 25; hole triangle (0,5) (5,3) (5,7) 10; hole squares 3.
TEST(NormalForm, ContoursTouchingAtAPointReachIt) {
    struct Case {
        const char* name;
        void (*make)(Path&);
        int contours, holes;
        double area;
    };
    const Case cases[] = {
        {"corner at corner",
         [](Path& p) {
             Square(p, 0, 0, 10, false);
             Square(p, 10, 10, 5, false);
         },
         2, 0, 125},
        {"corner on an edge",
         [](Path& p) {
             Square(p, 0, 0, 10, false);
             Polygon(p, {{10, 5}, {15, 0}, {15, 10}});
         },
         2, 0, 125},
        {"hole touching its outline",
         [](Path& p) {
             Square(p, 0, 0, 10, false);
             Polygon(p, {{0, 5}, {5, 3}, {5, 7}});
         },
         2, 1, 90},
        {"holes touching each other",
         [](Path& p) {
             Square(p, 0, 0, 10, false);
             Square(p, 2, 2, 3, false);
             Square(p, 5, 5, 3, false);
         },
         3, 2, 82},
    };
    for (const Case& c : cases) {
        Path p(Acc);
        c.make(p);
        p.Normalize();
        p.Normalize();
        EXPECT_TRUE(p.IsNormal()) << c.name;
        ASSERT_EQ(p.subPaths.Filled(), c.contours) << c.name;
        int holes = 0;
        double area = 0;
        for (const SubPath& sp : p.subPaths) {
            holes += sp.IsHole();
            area += pathtest::SignedArea2(sp) / 2;
        }
        EXPECT_EQ(holes, c.holes) << c.name;
        EXPECT_NEAR(std::fabs(area), c.area, 1e-3) << c.name;
        // Skipped, the run leaves what a full run leaves.
        Path full(p);
        ASSERT_FALSE(full.IsNormal());
        p.Normalize();
        full.Normalize();
        EXPECT_TRUE(SameMembers(p, full)) << c.name;
        EXPECT_TRUE(full.IsNormal()) << c.name;
    }
    // Where the rebuild changes the contours the form is recorded only once they stay.
    Path overlap(Acc);
    Square(overlap, 0, 0, 10, false);
    Square(overlap, 5, 5, 10, false);
    overlap.Normalize();
    EXPECT_FALSE(overlap.IsNormal());
}

// A skipped Normalize leaves what a full one leaves: the marks of earlier work cleared.
TEST(NormalForm, SkippedNormalizeLeavesWhatAFullOneLeaves) {
    Path p = Clean();
    p.Normalize();
    p.Normalize();
    ASSERT_TRUE(p.IsNormal());
    p.SetPMState(PM_INSERTED | PM_OVERLAYED | PM_SELECTED, PM_INSERTED | 0x1 | PM_SELECTED, 0, 0);
    Path full(p); // a copy is not normal: Normalize runs through
    ASSERT_FALSE(full.IsNormal());
    p.Normalize();
    full.Normalize();
    EXPECT_TRUE(SameMembers(p, full));
    p.Prepare();
    EXPECT_TRUE(SameMembers(p, full));
}

// What is known of each contour (its turn, its freedom from self-connections) goes with the
// first change to it.
TEST(NormalForm, KnowledgeOfAContourEndsWithItsFirstChange) {
    static constexpr std::uint16_t known = SP_TURN_KNOWN | SP_SELF_CLEAN;
    auto normal = [] {
        Path p = Clean();
        p.Normalize();
        p.Normalize();
        for (const SubPath& sp : p.subPaths)
            EXPECT_EQ(sp.state & known, known);
        return p;
    };
    struct Case {
        const char* name;
        void (*change)(SubPath&);
    };
    const Case cases[] = {
        {"Invalidate", [](SubPath& sp) { sp.Invalidate(SP_CLUSTERS_INVALID); }},
        {"Reverse", [](SubPath& sp) { sp.Reverse(); }},
        {"Rotate", [](SubPath& sp) { sp.Rotate(1); }},
        {"SetAccuracy", [](SubPath& sp) { sp.SetAccuracy(Acc); }},
        {"MakeContinuous", [](SubPath& sp) { sp.MakeContinuous(); }},
    };
    for (const Case& c : cases) {
        Path p = normal();
        c.change(p.subPaths[0]);
        EXPECT_EQ(p.subPaths[0].state & (known | SP_NORMAL), 0) << c.name;
        EXPECT_EQ(p.subPaths[1].state & known, known) << c.name;
    }
}

// Contours known free of self-connections are not searched again, with the same result as a
// full run: beside them, a contour with a spike is worked through first.
TEST(NormalForm, SkippedSearchesLeaveWhatFullOnesLeave) {
    Path p(Acc);
    Polygon(p, {{0, 0}, {10, 0}, {10, 10}, {5, 10}, {5, 15}, {5, 10}, {0, 10}});
    Square(p, 30, 0, 5, false);
    Square(p, 31, 1, 2, false);
    for (int round = 0; round < 3; ++round) {
        int skipped = 0;
        for (const SubPath& sp : p.subPaths)
            skipped += (sp.state & SP_SELF_CLEAN) != 0;
        EXPECT_EQ(skipped > 0, round > 0) << round;
        Path full(p); // copies know nothing
        p.SetPMState(PM_INSERTED | PM_SELECTED, PM_INSERTED | PM_SELECTED, 0, 0);
        full.SetPMState(PM_INSERTED | PM_SELECTED, PM_INSERTED | PM_SELECTED, 0, 0);
        p.Normalize();
        full.Normalize();
        EXPECT_TRUE(SameMembers(p, full)) << round;
    }
    // The second run changed nothing: the third was skipped whole.
    EXPECT_TRUE(p.IsNormal());
}

// The running outline of a weld stays known normal while no letter makes a contour that
// Normalize would rework, and the results equal those of a weld without the state.
TEST(NormalForm, WeldKeepsTheRunningOutlineNormal) {
    auto weld = [](bool keepState, int letters, std::vector<bool>* normal) {
        Path welded(Acc);
        for (int i = 0; i < letters; ++i) {
            Path letter(Acc);
            // Overlapping bars; the fifth touches the fourth at a corner only.
            if (i == 4) {
                Square(letter, 32, 10, 4, false);
            } else {
                Polygon(letter, {{float(8 * i), 0},
                                 {float(8 * i + 10), 0},
                                 {float(8 * i + 10), 10},
                                 {float(8 * i), 10}});
            }
            Path merged(Acc);
            if (!keepState) welded.Invalidate(SP_CLUSTERS_INVALID);
            SafeMerge(letter, welded, merged);
            welded.subPaths.Destroy();
            welded.Concat(merged);
            if (normal) normal->push_back(welded.IsNormal());
        }
        return welded;
    };
    std::vector<bool> normal;
    Path fast = weld(true, 6, &normal);
    Path slow = weld(false, 6, nullptr);
    EXPECT_TRUE(SameMembers(fast, slow));
    ASSERT_EQ(normal.size(), 6u);
    EXPECT_TRUE(normal[1] && normal[2] && normal[3]);
}

} // namespace
