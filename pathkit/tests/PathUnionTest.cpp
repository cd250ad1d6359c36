// The union of many outlines that keeps their holes, and combination with near islands.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

#include "PathTestUtil.h"
#include "pathkit/AbortHandler.h"
#include "pathkit/Exceptions.h"
#include "pathkit/PathCombination.h"
#include "pathkit/PathUnion.h"

using pathtest::Describe;
using pathtest::SignedArea2;
using pathtest::Square;

namespace unionfixture {

constexpr float Acc = 0.01f;

// A square ring: outer side s from (x, y), a hole of side s - 2w inside it.
Path Ring(float x, float y, float s, float w) {
    Path p(Acc);
    Square(p, x, y, s, false);
    Square(p, x + w, y + w, s - 2 * w, true);
    p.Prepare();
    return p;
}

struct Shape {
    double area = 0;
    int outer = 0, holes = 0;
};

Shape Measure(const Path& path) {
    Shape s;
    for (const SubPath& sp : path.subPaths) {
        double a = SignedArea2(sp) / 2;
        s.area += a;
        (a > 0 ? s.outer : s.holes) += 1;
    }
    return s;
}

// The object-by-object union: each outline merged into the running one.
Path OneByOne(const std::vector<Path>& paths) {
    Path running(Acc);
    for (const Path& p : paths) {
        Path copy(p), merged(Acc);
        SafeMerge(copy, running, merged);
        running.subPaths.Destroy();
        running.Concat(merged);
    }
    return running;
}

Path United(const std::vector<Path>& paths, int* code = nullptr) {
    PathUnion u(Acc);
    for (const Path& p : paths)
        u.Add(p);
    Path out(Acc);
    int c = u.Unite(out);
    if (code) *code = c;
    return out;
}

// Counts the polls and throws AbortedError at the k-th.
struct CountingHandler : AbortHandler {
    int polls = 0, abortAt = 0;
    void CheckAbort() override {
        if (++polls == abortAt) throw AbortedError();
    }
};

struct HandlerScope {
    AbortHandler* previous = DefAbortHandler;
    explicit HandlerScope(AbortHandler* h) { DefAbortHandler = h; }
    ~HandlerScope() { DefAbortHandler = previous; }
};

TEST(PathUnion, TwoOverlappingRingsKeepBothHoles) {
    // Rings 10 mm square with 4 mm holes, 8 mm apart: the squares overlap by 2 × 10 mm and the
    // holes stay clear of the overlap.
    Shape s = Measure(United({Ring(0, 0, 10, 3), Ring(8, 0, 10, 3)}));
    EXPECT_NEAR(2 * (100 - 16) - 20, s.area, 1e-3);
    EXPECT_EQ(1, s.outer);
    EXPECT_EQ(2, s.holes);
}

// The same region, contour for contour, as merging object by object.
TEST(PathUnion, EqualsTheObjectByObjectMerge) {
    struct Case {
        const char* name;
        std::function<std::vector<Path>()> make;
        int outer, holes;
    } cases[] = {
        {"a chain of nine rings",
         [] {
             std::vector<Path> v;
             for (int i = 0; i < 9; ++i)
                 v.push_back(Ring(float(i) * 8, float(i % 2), 10, 3));
             return v;
         },
         1, 9},
        {"a block of four by four rings",
         [] {
             std::vector<Path> v;
             for (int i = 0; i < 16; ++i)
                 v.push_back(Ring(float(i % 4) * 8, float(i / 4) * 8, 10, 3));
             return v;
         },
         1, 16},
        {"rings apart",
         [] {
             return std::vector<Path>{Ring(0, 0, 10, 3), Ring(20, 0, 10, 3)};
         },
         2, 2},
        {"a ring in the hole of another",
         [] {
             return std::vector<Path>{Ring(0, 0, 20, 4), Ring(6, 6, 8, 2)};
         },
         2, 2},
        {"a square filling a hole",
         [] {
             Path sq(Acc);
             Square(sq, 2, 2, 6, false);
             return std::vector<Path>{Ring(0, 0, 10, 3), sq};
         },
         1, 0},
        {"the same ring twice",
         [] {
             return std::vector<Path>{Ring(0, 0, 10, 3), Ring(0, 0, 10, 3)};
         },
         1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<Path> paths = c.make();
        int code = -1;
        Shape got = Measure(United(paths, &code));
        Shape want = Measure(OneByOne(paths));
        EXPECT_EQ(0, code);
        EXPECT_NEAR(want.area, got.area, 1e-3);
        EXPECT_EQ(c.outer, got.outer);
        EXPECT_EQ(c.holes, got.holes);
        EXPECT_EQ(want.outer, got.outer);
        EXPECT_EQ(want.holes, got.holes);
    }
}

TEST(PathUnion, ReadsEachPathByTheEvenOddRuleAndLeavesItAlone) {
    // One path of two crossing squares: their common part is outside by the even-odd rule.
    Path crossing(Acc);
    Square(crossing, 0, 0, 10, false);
    Square(crossing, 5, 5, 10, false);
    const std::string before = Describe(crossing);
    Shape s = Measure(United({crossing}));
    EXPECT_NEAR(200 - 2 * 25, s.area, 1e-3);
    EXPECT_EQ(before, Describe(crossing));

    // A second path covering the common part fills it.
    Path patch(Acc);
    Square(patch, 5, 5, 5, false);
    EXPECT_NEAR(175, Measure(United({crossing, patch})).area, 1e-3);
}

TEST(PathUnion, OpenContoursTakeNoPart) {
    Path open(Acc);
    open.MoveTo({0, 0});
    open.LineTo({30, 30});
    open.ClosePath();
    PathUnion u(Acc);
    EXPECT_EQ(0, u.Add(open));
    Path mixed(Ring(0, 0, 10, 3));
    mixed.MoveTo({-5, -5});
    mixed.LineTo({40, 2});
    mixed.ClosePath();
    EXPECT_EQ(1, u.Add(mixed));
    Path out(Acc);
    EXPECT_EQ(0, u.Unite(out));
    Shape s = Measure(out);
    EXPECT_NEAR(84, s.area, 1e-3);
    EXPECT_EQ(2, int(out.subPaths.Filled()));

    PathUnion none(Acc);
    Path untouched(Ring(0, 0, 10, 3));
    EXPECT_EQ(0, none.Unite(untouched));
    EXPECT_EQ(0, int(untouched.subPaths.Filled()));
}

TEST(PathUnion, PollsBetweenMergesAndLeavesOutAloneWhenStopped) {
    std::vector<Path> paths;
    // A block of rings that meet along both axes: four sets, three merges.
    for (int i = 0; i < 16; ++i)
        paths.push_back(Ring(float(i % 4) * 8, float(i / 4) * 8, 10, 3));
    CountingHandler counter;
    {
        HandlerScope scope(&counter);
        United(paths);
    }
    ASSERT_GE(counter.polls, 3);
    for (int k : {1, 2, counter.polls}) {
        SCOPED_TRACE(k);
        CountingHandler stop;
        stop.abortAt = k;
        HandlerScope scope(&stop);
        PathUnion u(Acc);
        for (const Path& p : paths)
            u.Add(p);
        Path out(Ring(100, 100, 10, 3));
        const std::string before = Describe(out);
        EXPECT_THROW(u.Unite(out), AbortedError);
        EXPECT_EQ(before, Describe(out));
    }
}

TEST(CombineNearIslands, WorksOnlyOnTheIslandsTheSourceMeets) {
    // The target: three rings far apart; the source overlaps the first only.
    Path target(Acc);
    for (float x : {0.0f, 100.0f, 200.0f}) {
        Path r = Ring(x, 0, 10, 3);
        target.Concat(r);
    }
    target.Prepare();
    Path farRing = Ring(100, 0, 10, 3);
    const std::string farText = Describe(farRing);
    Path source(Acc);
    Square(source, 8, 0, 10, false);

    struct Case {
        int op;
        double area;
        int contours;
    } cases[] = {
        {1, 3 * 84 + 80, 4 + 2}, // the first ring grows by 80 mm², the others as they were
        {2, 20, 1},              // only the overlap of the first; the far rings dropped
        {3, 3 * 84 - 20, 4 + 2}, // the first ring loses its overlap
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.op);
        Path a(source), b(target), out(Acc);
        EXPECT_EQ(0, CombineNearIslands(c.op, a, b, out));
        Shape s = Measure(out);
        EXPECT_NEAR(c.area, s.area, 1e-3);
        EXPECT_EQ(c.contours, int(out.subPaths.Filled()));
        bool carried = false;
        for (const SubPath& sp : out.subPaths)
            carried |= Describe(sp) == Describe(farRing.subPaths[0]) ||
                       Describe(sp) == Describe(farRing.subPaths[1]);
        EXPECT_EQ(c.op != 2, carried) << farText;
    }
}

// A target known in normal form (the outline of the last weld) is united contour by contour:
// the same region as through its islands, and the result is known in normal form again, so
// that the next click takes the same way.
TEST(CombineNearIslands, AnOutlineInNormalFormStaysSoAndGivesTheSameUnion) {
    Path target(Acc);
    for (float x : {0.0f, 8.0f, 100.0f}) {
        Path r = Ring(x, 0, 10, 3);
        target.Concat(r);
    }
    for (int i = 0; i < 2 && !target.IsNormal(); ++i)
        target.Normalize();
    ASSERT_TRUE(target.IsNormal());
    Path plain(target); // a copy does not know its form
    ASSERT_FALSE(plain.IsNormal());
    Path source(Acc);
    Square(source, 14, 2, 10, false);
    Path a1(source), a2(source), known(Acc), islands(Acc);
    EXPECT_EQ(0, CombineNearIslands(1, a1, target, known));
    EXPECT_EQ(0, CombineNearIslands(1, a2, plain, islands));
    const Shape k = Measure(known), i = Measure(islands);
    EXPECT_NEAR(i.area, k.area, 1e-3);
    EXPECT_EQ(i.outer, k.outer);
    EXPECT_EQ(i.holes, k.holes);
    EXPECT_TRUE(known.IsNormal());
    EXPECT_FLOAT_EQ(islands.ctrlBox.right, known.ctrlBox.right);
    EXPECT_FLOAT_EQ(110, known.ctrlBox.right);
}

// Clicks into an outline in normal form take its far contours over without preparing the whole
// outline again; what they leave equals a full Prepare of it, contour by contour: order,
// depth, turn and members. The clicks bridge nested rings (the far hole inside them drops from
// depth 3 to 1), touch a corner, and add an island inside a far hole.
TEST(CombineNearIslands, ClicksLeaveWhatAFullPrepareLeaves) {
    auto same = [](const Path& p, const Path& q) {
        if (p.subPaths.Filled() != q.subPaths.Filled()) return false;
        for (std::uint16_t i = 0; i < p.subPaths.Filled(); ++i) {
            const SubPath &a = p.subPaths[i], &b = q.subPaths[i];
            if (a.depth != b.depth || a.rotation != b.rotation ||
                a.members.Filled() != b.members.Filled())
                return false;
            for (std::uint16_t k = 0; k < a.members.Filled(); ++k)
                if (!(a.members[k].start == b.members[k].start) ||
                    !(a.members[k].end == b.members[k].end))
                    return false;
        }
        return true;
    };
    Path target(Acc);
    for (Path r :
         {Ring(0, 0, 10, 3), Ring(200, 0, 40, 4), Ring(215, 15, 10, 3), Ring(100, 0, 30, 5)})
        target.Concat(r);
    for (int i = 0; i < 2 && !target.IsNormal(); ++i)
        target.Normalize();
    ASSERT_TRUE(target.IsNormal());
    std::vector<Path> clicks;
    clicks.push_back(Ring(8, 0, 10, 3)); // overlaps the first ring
    clicks.emplace_back(Acc);            // bridges the big ring to the one inside it
    pathtest::Polygon(clicks.back(), {{203, 18}, {216, 18}, {216, 22}, {203, 22}});
    clicks.emplace_back(Acc); // touches a corner of the second ring
    Square(clicks.back(), 18, 10, 4, false);
    clicks.emplace_back(Acc); // an island in the far ring's hole
    Square(clicks.back(), 110, 10, 5, false);
    clicks.push_back(Ring(16, 12, 8, 2)); // overlaps the corner square
    int fast = 0;
    for (std::size_t c = 0; c < clicks.size(); ++c) {
        Path source(clicks[c]), out(Acc);
        ASSERT_EQ(0, CombineNearIslands(1, source, target, out)) << c;
        Path full(out); // a copy knows nothing: its Prepare works everything out
        full.Prepare();
        EXPECT_TRUE(same(out, full)) << c << "\n" << Describe(out) << "\n" << Describe(full);
        fast += out.IsNormal();
        target.subPaths.Destroy();
        target.Concat(out);
    }
    EXPECT_EQ(fast, int(clicks.size()));
    const Shape s = Measure(target);
    // Rings 0 and 8 (outer 18 x 10, holes 4 x 4 twice), corner square, ring at (16,12),
    // the bridged rings, the far ring and its island: only the counts are checked here.
    EXPECT_EQ(s.holes, 6);
}

} // namespace unionfixture
