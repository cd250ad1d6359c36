// The layout base: content matrix by rotation and mirror, display mapping, handles, and the
// dragging that moves and scales the content.

#include <gtest/gtest.h>

#include "plot/Layout.h"

namespace {

// Bounds of 100 x 50 and limits of 500 x 400.
class FixedLayout : public Layout {
public:
    float getMaxWidth() override { return 500; }
    float getMaxHeight() override { return 400; }
    void getBounds(floatBBox& b) override { b = floatBBox(0, 0, 100, 50); }
    void notifyTileChange(int) override { ++changes; }
    int changes = 0;
};

floatPoint Map(const floatTMatrix& m, float x, float y) {
    m.Transform(x, y);
    return floatPoint(x, y);
}

TEST(Layout, QuarterTurnsKeepTheContentInItsRectangle) {
    FixedLayout l;
    l.contentW = 100;
    l.contentH = 50;
    struct Case {
        int rotation, flag;
        float x, y; // where the content's (0, 0) lands
        float w, h; // content width and height on the media
    };
    const Case cases[] = {
        {0, 1, 0, 0, 100, 50},    {1, 1, 0, 100, 50, 100}, {1, 0, 50, 0, 50, 100},
        {2, 1, 100, 50, 100, 50}, {3, 1, 50, 0, 50, 100},  {3, 0, 0, 100, 50, 100},
    };
    for (const Case& c : cases) {
        l.rotation = c.rotation;
        floatTMatrix m = l.getContentMatrix(7, 3, c.flag);
        floatPoint origin = Map(m, 0, 0);
        EXPECT_FLOAT_EQ(origin.x, c.x + 7) << c.rotation << "/" << c.flag;
        EXPECT_FLOAT_EQ(origin.y, c.y + 3) << c.rotation << "/" << c.flag;
        EXPECT_EQ(l.getContentWidth(), c.w);
        EXPECT_EQ(l.getContentHeight(), c.h);
        // A turn, never a reflection.
        EXPECT_GT(m.m11 * m.m22 - m.m12 * m.m21, 0);
        floatPoint far = Map(m, 100, 50);
        EXPECT_FLOAT_EQ(std::min(origin.x, far.x), 7);
        EXPECT_FLOAT_EQ(std::max(origin.y, far.y), 3 + c.h);
    }
    l.rotation = 7;
    EXPECT_TRUE(l.getContentMatrix(0, 0, 1).IsIdentMatrix());
    EXPECT_EQ(l.rotation, 0);

    l.mirror = 1;
    floatTMatrix m = l.getContentMatrix(0, 0, 1);
    EXPECT_FLOAT_EQ(Map(m, 0, 0).x, 100);
    EXPECT_LT(m.m11 * m.m22 - m.m12 * m.m21, 0);
}

TEST(Layout, HandlesAreHitWithinFourPixels) {
    FixedLayout l;
    l.contentRect = CRect(10, 10, 110, 60);
    EXPECT_EQ(l.findHandle(CPoint(114, 64)), 1);
    EXPECT_EQ(l.findHandle(CPoint(115, 60)), -1);
    EXPECT_EQ(l.findHandle(CPoint(60, 35)), 0);
    EXPECT_EQ(l.findHandle(CPoint(64, 39)), 0);
    EXPECT_EQ(l.findHandle(CPoint(65, 35)), -1);
}

TEST(Layout, DraggingStopsAtTheMarginsAndTheScaleAtATenth) {
    FixedLayout l;
    l.setScale(1);
    l.displayMatrix = floatTMatrix(2, 0, 0, -2, 14, 500); // 2 pixels a millimetre, y flipped
    l.contentRect = CRect(100, 100, 300, 200);
    MouseTracker t;
    t.point = CPoint(200, 150); // the centre
    l.LeftButtonDown(t);
    EXPECT_EQ(l.dragMode, 2);
    t.captured = 1;
    t.point = CPoint(-1000, 150);
    l.MouseMove(t);
    EXPECT_EQ(l.contentX, l.leftMargin);
    t.point = CPoint(5000, 130); // 20 pixels up: 10 mm
    l.MouseMove(t);
    EXPECT_EQ(l.contentX, 499);
    EXPECT_EQ(l.contentY, l.bottomMargin + 10);
    EXPECT_EQ(l.changes, 2);
    l.LeftButtonUp(t);
    EXPECT_EQ(l.dragMode, 0);

    t.captured = 0;
    t.point = CPoint(300, 200);
    l.LeftButtonDown(t);
    EXPECT_EQ(l.dragMode, 3);
    t.captured = 1;
    t.point = CPoint(-2000, 200);
    l.MouseMove(t);
    EXPECT_FLOAT_EQ(l.scale, 0.1f);
    EXPECT_FLOAT_EQ(l.contentW, 10);
    EXPECT_FLOAT_EQ(l.contentH, 5);
}

TEST(Layout, DisplayMappingTruncatesAndMeasuresPixels) {
    FixedLayout l;
    l.displayMatrix = floatTMatrix(2, 0, 0, -2, 14, 500);
    floatPoint p(10.9f, 20.2f);
    CPoint d = l.MMtoDisplay(p);
    EXPECT_EQ(d.x, 35);
    EXPECT_EQ(d.y, 459);
    CPoint q(34, 460);
    floatPoint back = l.DisplayToMM(q);
    EXPECT_FLOAT_EQ(back.x, 10);
    EXPECT_FLOAT_EQ(back.y, 20);
    EXPECT_FLOAT_EQ(l.GetPixelSize(3), 1.5f);
}

} // namespace
