#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "geomkit/FClipBox.h"

namespace {

using D = WPont<double>;

const double kPi = 3.14159265358979323846;

DOUBLELINE Line(double x0, double y0, double x1, double y1) {
    return DOUBLELINE{{x0, y0, -1, -1}, {x1, y1, -1, -1}};
}

} // namespace

TEST(FClipBox, ClipLineCases) {
    // Box x 0..10, y 0..10.
    struct Case {
        const char* name;
        DOUBLELINE line;
        int visible;
        double start[2];
        double end[2];
        int startSide, endSide;
        CLIPINFO info;
    };
    const Case cases[] = {
        {"wholly inside", Line(1, 2, 8, 9), 1, {1, 2}, {8, 9}, 0, 0, {0, 0, 0, 0}},
        {"wholly above", Line(1, 12, 8, 15), 0, {1, 12}, {8, 15}, 0, 0, {0, 0, 0, 0}},
        {"above, left to right", Line(-3, 12, 13, 15), 0, {-3, 12}, {13, 15}, 0, 0, {0, 0, 0, -2}},
        {"left to right", Line(-5, 2, 15, 8), 1, {0, 3.5}, {10, 6.5}, 1, 2, {1, 0, 1, 0}},
        {"horizontal through", Line(-5, 5, 15, 5), 1, {0, 5}, {10, 5}, 1, 2, {1, 0, 1, 0}},
        {"vertical through", Line(3, 15, 3, -5), 1, {3, 10}, {3, 0}, 4, 8, {1, 0, 1, 0}},
        {"corner to corner", Line(-5, -5, 15, 15), 1, {0, 0}, {10, 10}, 8, 4, {1, 1, 1, -1}},
        {"from upper left", Line(-5, 15, 5, 5), 1, {0, 10}, {5, 5}, 4, 0, {1, -1, 0, 0}},
        {"to lower right", Line(5, 5, 15, -5), 1, {5, 5}, {10, 0}, 0, 8, {0, 0, 1, 1}},
        // Corner regions to the opposite corner, missing the box on either side.
        {"missing above right", Line(-1, 30, 30, -1), 0, {-1, 30}, {30, -1}, 0, 0, {0, 0, 0, -4}},
        {"missing below left", Line(-20, 11, 11, -20), 0, {-20, 11}, {11, -20}, 0, 0, {0, 0, 0, 4}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FClipBox box(10, 10, 0, 0);
        DOUBLELINE line = c.line;
        CLIPINFO info{9, 9, 9, 9};
        ASSERT_EQ(box.ClipLine(line, &info), c.visible);
        EXPECT_NEAR(line.start.x, c.start[0], 1e-9);
        EXPECT_NEAR(line.start.y, c.start[1], 1e-9);
        EXPECT_NEAR(line.end.x, c.end[0], 1e-9);
        EXPECT_NEAR(line.end.y, c.end[1], 1e-9);
        EXPECT_EQ(line.start.side, c.startSide);
        EXPECT_EQ(line.end.side, c.endSide);
        EXPECT_EQ(info.startClipped, c.info.startClipped);
        EXPECT_EQ(info.startTurn, c.info.startTurn);
        EXPECT_EQ(info.endClipped, c.info.endClipped);
        EXPECT_EQ(info.endTurn, c.info.endTurn);
        // Without info the line is clipped the same way.
        DOUBLELINE again = c.line;
        EXPECT_EQ(box.ClipLine(again, nullptr), c.visible);
        EXPECT_EQ(again.end.x, line.end.x);
    }
}

TEST(FClipBox, TurnTable) {
    EXPECT_EQ(FClipBox::Turn(1, 4), -2);
    EXPECT_EQ(FClipBox::Turn(1, 8), 2);
    EXPECT_EQ(FClipBox::Turn(1, 2), 4);
    EXPECT_EQ(FClipBox::Turn(4, 8), 4);
    EXPECT_EQ(FClipBox::Turn(10, 6), 2);
    EXPECT_EQ(FClipBox::Turn(6, 10), -2);
    EXPECT_EQ(FClipBox::Turn(9, 2), 3);
    for (int code : {1, 2, 4, 5, 6, 8, 9, 10})
        EXPECT_EQ(FClipBox::Turn(code, code), 0);
    EXPECT_EQ(FClipBox::Turn(0, 4), 0);
    EXPECT_EQ(FClipBox::Turn(3, 4), 0);
}

TEST(FClipBox, ChordThroughPoint) {
    FClipBox box(0, 0, 10, 10);
    struct Case {
        const char* name;
        D p;
        double angle;
        int found;
        double start[2];
        double end[2];
    };
    const Case cases[] = {
        {"horizontal", D(5, 5), 0, 1, {0, 5}, {10, 5}},
        {"vertical", D(5, 5), kPi / 2, 1, {5, 0}, {5, 10}},
        {"steep", D(5, 5), std::atan(2.0), 1, {2.5, 0}, {7.5, 10}},
        {"through two corners", D(5, 5), kPi / 4, 1, {0, 0}, {10, 10}},
        {"from the lower left corner", D(0, 0), kPi / 4, 1, {0, 0}, {10, 10}},
        {"from the upper left corner", D(0, 10), -kPi / 4, 1, {0, 10}, {10, 0}},
        {"along the bottom", D(3, 0), 0, 1, {0, 0}, {10, 0}},
        {"missing the box", D(5, 20), 0, 0, {}, {}},
        {"NaN", D(std::numeric_limits<double>::quiet_NaN(), 5), 0, 0, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DOUBLELINE out = Line(-1, -1, -1, -1);
        ASSERT_EQ(box.ClipLine(c.p, c.angle, out), c.found);
        if (!c.found) continue;
        EXPECT_NEAR(out.start.x, c.start[0], 1e-9);
        EXPECT_NEAR(out.start.y, c.start[1], 1e-9);
        EXPECT_NEAR(out.end.x, c.end[0], 1e-9);
        EXPECT_NEAR(out.end.y, c.end[1], 1e-9);
    }
    // A chord that is nearly vertical comes out exactly vertical.
    DOUBLELINE out;
    ASSERT_EQ(box.ClipLine(D(5, 5), kPi / 2, out), 1);
    EXPECT_EQ(out.start.x, out.end.x);
}

TEST(FClipBox, RectangleOperations) {
    FClipBox box(D(10, 0), D(0, 10));
    EXPECT_EQ(box.GetMinX(), 0);
    EXPECT_EQ(box.GetMaxY(), 10);
    EXPECT_EQ(box.GetCenter(), D(5, 5));
    EXPECT_EQ(box.GetBBox(), WBoundingBox(0, 10, 0, 10));

    EXPECT_EQ(box.PtInRect(D(0, 0)), 1);
    EXPECT_EQ(box.PtInRect(D(10, 10)), 0);
    EXPECT_EQ(box.PtInRect(D(-0.000005, 5)), 1);
    EXPECT_EQ(box.PtInRect(D(9.999995, 5)), 0);
    EXPECT_EQ(box.PtInRect(D(std::numeric_limits<double>::quiet_NaN(), 5)), 0);

    // Sharing a side: a box of zero width.
    FClipBox shared(box);
    ASSERT_EQ(shared.IntersectBox(FClipBox(10, 2, 20, 8)), 1);
    EXPECT_EQ(shared.GetMinX(), 10);
    EXPECT_EQ(shared.GetMaxX(), 10);
    EXPECT_EQ(shared.GetMinY(), 2);
    EXPECT_TRUE(shared.IsRectEmpty());

    FClipBox overlap;
    ASSERT_EQ(overlap.IntersectBox(box, FClipBox(5, -5, 15, 5)), 1);
    EXPECT_EQ(overlap.GetBBox(), WBoundingBox(5, 10, 0, 5));
    EXPECT_EQ(overlap.GetCenter(), D(7.5, 2.5));
    EXPECT_FALSE(overlap.IsRectEmpty());
    ASSERT_EQ(overlap.IntersectBox(overlap, box), 1);
    EXPECT_EQ(overlap.GetBBox(), WBoundingBox(5, 10, 0, 5));

    FClipBox apart(box);
    EXPECT_EQ(apart.IntersectBox(FClipBox(11, 0, 20, 10)), 0);
    EXPECT_EQ(apart.GetMaxX(), 0);
    EXPECT_TRUE(apart.IsRectEmpty());
    FClipBox invalid(box);
    EXPECT_EQ(invalid.IntersectBox(WBoundingBox()), 0);
    FClipBox withBox(box);
    EXPECT_EQ(withBox.IntersectBox(WBoundingBox(-5, 5, 8, 20)), 1);
    EXPECT_EQ(withBox.GetBBox(), WBoundingBox(0, 5, 8, 10));

    FClipBox assigned;
    assigned = box;
    EXPECT_EQ(assigned.GetBBox(), WBoundingBox(0, 10, 0, 10));
    assigned.SetRectEmpty();
    EXPECT_TRUE(assigned.IsRectEmpty());
    EXPECT_EQ(assigned.GetMaxX(), 0);
}

TEST(FClipBox, NaNIsNeverVisible) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    FClipBox box(0, 0, 10, 10);
    DOUBLELINE line = Line(nan, 5, 5, 5);
    CLIPINFO info{9, 9, 9, 9};
    EXPECT_EQ(box.ClipLine(line, &info), 0);
    EXPECT_EQ(info.startClipped, 0);
    EXPECT_EQ(info.endClipped, 0);
    FClipBox bad(nan, 0, 10, 10);
    DOUBLELINE inside = Line(2, 2, 3, 3);
    EXPECT_EQ(bad.ClipLine(inside, nullptr), 0);
    // Infinite ends of a line across the box still clip to the box.
    const double inf = std::numeric_limits<double>::infinity();
    DOUBLELINE across = Line(-inf, 5, inf, 5);
    ASSERT_EQ(box.ClipLine(across, nullptr), 1);
    EXPECT_EQ(across.start.x, 0);
    EXPECT_EQ(across.end.x, 10);
    DOUBLELINE slanted = Line(-inf, 0, 5, inf);
    EXPECT_EQ(box.ClipLine(slanted, nullptr), 0);
}
