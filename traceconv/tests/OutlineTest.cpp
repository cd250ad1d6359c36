// Outline extraction through the exports, with exact rings (no fitting).

#include <gtest/gtest.h>

#include <pathkit/Path.h>
#include <traceconv/TraceConv.h>

#include "TraceTestUtil.h"

namespace {

using Ring = std::vector<std::pair<int, int>>;

// Traces a 1-bit bitmap with the given bump width, step length and minimum size, no fitting.
Path TraceMono(const Pixels& p, int a = 0, int b = 0, int c = 0) {
    SetTraceParam(nullptr, a, b, c, 0);
    SetExtTraceParam(1, 1, 1, 1, 1, 1, 5, 5, 0);
    HDIB dib = MakeMonoDib(p);
    EXPECT_EQ(PrepareTracing(dib), 1);
    Path out;
    TraceAll(dib, out);
    GlobalFree(dib);
    return out;
}

// The ring turned to start at its smallest point, so rings compare whatever point they
// were written from; the direction is kept.
Ring Canonical(Ring r) {
    auto it = std::min_element(r.begin(), r.end());
    std::rotate(r.begin(), it, r.end());
    return r;
}

std::vector<Ring> CanonicalRings(const Path& path) {
    std::vector<Ring> rings;
    for (auto& r : Rings(path)) rings.push_back(Canonical(r));
    std::sort(rings.begin(), rings.end());
    return rings;
}

TEST(OutlineTest, SinglePixelIsItsSquareWrittenFromTheCornerAfterTheStart) {
    Path out = TraceMono(FromText({"   ", " # ", "   "}));
    ASSERT_EQ(out.subPaths.Filled(), 1);
    // Start point (4, 4): greatest x, then greatest y; written from its successor.
    Ring expected{{2, 4}, {2, 2}, {4, 2}, {4, 4}};
    EXPECT_EQ(Rings(out)[0], expected);
    const SubPath& sp = out.subPaths[0];
    EXPECT_TRUE(sp.IsClosed());
    EXPECT_EQ(sp.state & 0x0700, 0x0700);
    EXPECT_EQ(sp.state & 0xFF, 0); // the pass it was traced in
}

TEST(OutlineTest, MinimumSizeDropsOutlinesNoLargerThanIt) {
    // A single pixel is 2 half-pixels wide: dropped for c = 1 (M = 2), kept for c = 0.
    EXPECT_EQ(TraceMono(FromText({"#"}), 0, 0, 1).subPaths.Filled(), 0);
    EXPECT_EQ(TraceMono(FromText({"##"}), 0, 0, 1).subPaths.Filled(), 1);
}

TEST(OutlineTest, PixelsTouchingAtACornerBecomeOneRingThroughTheCorner) {
    Path out = TraceMono(FromText({"# ", " #"}));
    ASSERT_EQ(out.subPaths.Filled(), 1);
    Ring expected{{0, 0}, {2, 0}, {2, 2}, {4, 2}, {4, 4}, {2, 4}, {2, 2}, {0, 2}};
    EXPECT_EQ(Canonical(Rings(out)[0]), expected);

    Path mirrored = TraceMono(FromText({" #", "# "}));
    ASSERT_EQ(mirrored.subPaths.Filled(), 1);
    Ring expected2{{0, 2}, {2, 2}, {2, 0}, {4, 0}, {4, 2}, {2, 2}, {2, 4}, {0, 4}};
    EXPECT_EQ(Canonical(Rings(mirrored)[0]), expected2);
}

TEST(OutlineTest, AnOGivesOuterRingAndHoleWithTheCollinearPointsOfItsJoins) {
    Path out = TraceMono(FromText({"###", "# #", "###"}));
    std::vector<Ring> expected{
        // Outer, clockwise on screen, with the points left by joining rows.
        {{0, 0}, {6, 0}, {6, 2}, {6, 4}, {6, 6}, {0, 6}, {0, 4}, {0, 2}},
        // Hole, the other way round.
        {{2, 2}, {2, 4}, {4, 4}, {4, 2}},
    };
    EXPECT_EQ(CanonicalRings(out), expected);
}

TEST(OutlineTest, AllTracedIsOneRectangleAllBackgroundIsEmpty) {
    Pixels full(5, 3);
    std::fill(full.px.begin(), full.px.end(), 1);
    Path out = TraceMono(full);
    ASSERT_EQ(out.subPaths.Filled(), 1);
    Ring withJoins{{0, 0}, {10, 0}, {10, 2}, {10, 4}, {10, 6}, {0, 6}, {0, 4}, {0, 2}};
    EXPECT_EQ(Canonical(Rings(out)[0]), withJoins);
    // Fitted (tolerance 0.5, every switch on), the joins' points go: four straight members.
    Pixels block(20, 12);
    std::fill(block.px.begin(), block.px.end(), 1);
    SetTraceParam(nullptr, 0, 0, 0, 0.5f);
    SetExtTraceParam(1, 1, 1, 1, 1, 1, 5, 5, 0);
    HDIB dib = MakeMonoDib(block);
    PrepareTracing(dib);
    Path fitted;
    TraceAll(dib, fitted);
    GlobalFree(dib);
    ASSERT_EQ(fitted.subPaths.Filled(), 1);
    const SubPath& sp = fitted.subPaths[0];
    ASSERT_EQ(sp.members.Filled(), 4);
    for (const PathMember& m : sp.members) EXPECT_FALSE(m.IsCurve());
    Ring rectangle{{0, 0}, {40, 0}, {40, 24}, {0, 24}};
    EXPECT_EQ(Canonical(Rings(fitted)[0]), rectangle);

    EXPECT_EQ(TraceMono(Pixels(5, 3)).subPaths.Filled(), 0);
}

TEST(OutlineTest, BumpRemovalNeedsTheWidthAndEightPoints) {
    // A one-pixel bump on top of a long bar.
    Pixels bar = FromText({"   #    ", "########", "########"});
    Path kept = TraceMono(bar, 0, 0, 0);
    ASSERT_EQ(kept.subPaths.Filled(), 1);
    EXPECT_EQ(PolygonArea(kept), 17);
    // The bump is 2 half-pixels wide: a = 1 covers it.
    Path removed = TraceMono(bar, 1, 0, 0);
    ASSERT_EQ(removed.subPaths.Filled(), 1);
    EXPECT_EQ(PolygonArea(removed), 16);
    auto rings = Rings(removed);
    for (auto& [x, y] : rings[0]) EXPECT_GE(y, 2);
    // A one-pixel notch goes the same way.
    Path notch = TraceMono(FromText({"########", "### ####"}), 1, 0, 0);
    EXPECT_EQ(PolygonArea(notch), 16);
    // Too few points: a two-pixel step keeps its shape.
    Path small = TraceMono(FromText({"# ", "##"}), 1, 0, 0);
    EXPECT_EQ(PolygonArea(small), 3);
}

TEST(OutlineTest, OnlyBumpsOnARunningEdgeGo) {
    // Each keeps its area with the widest bump width: the side rows of a small block (its
    // collinear join points make a side look like a one-pixel step), a one-pixel bar over its
    // stem, a one-pixel spur past the end of an edge.
    struct Case {
        const char* name;
        std::vector<std::string> rows;
        double area;
    };
    const Case kept[] = {
        {"block", {"#####", "#####", "#####"}, 15},
        {"bar on a stem", {"##########", "    ##    ", "    ##    ", "    ##    "}, 16},
        {"bar under a stem", {"    ##    ", "    ##    ", "##########"}, 14},
    };
    for (const Case& c : kept) {
        Path out = TraceMono(FromText(c.rows), 10, 0, 0);
        EXPECT_EQ(PolygonArea(out), c.area) << c.name;
    }
    // Bumps and notches on a running edge still go, on every side.
    EXPECT_EQ(PolygonArea(TraceMono(FromText({"   ###  ", "########", "########"}), 10, 0, 0)), 16);
    EXPECT_EQ(PolygonArea(TraceMono(FromText({"########", "########", "  ###   "}), 10, 0, 0)), 16);
    EXPECT_EQ(PolygonArea(TraceMono(FromText({"##", "##", "###", "##", "##"}), 10, 0, 0)), 10);
}

} // namespace
