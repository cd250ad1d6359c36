// The page layout record: placement, fitting, centring, filling and the preview's mouse.
#include <gtest/gtest.h>

#include <cmath>

#include <win32/user.h>

#include "output/CPageLayout.h"

namespace {
class BoxLayout : public CPageLayout {
public:
    floatBBox box{0, 0, 40, 20};
    void GetBox(floatBBox& b) override { b = box; }
    float UsableWidth() override { return 190; }
    float UsableHeight() override { return 247; }
};

floatPoint Map(const floatTMatrix& m, float x, float y) {
    m.Transform(x, y);
    return floatPoint(x, y);
}
} // namespace

TEST(PageLayout, PlacementMirrorsTurnsThenMoves) {
    struct Case {
        int mirror, rotation, sense;
        floatPoint origin, farCorner; // where (0, 0) and (40, 20) land before the move
    } cases[] = {
        {0, 0, 1, {0, 0}, {40, 20}}, {0, 2, 1, {40, 20}, {0, 0}}, {0, 1, 1, {0, 40}, {20, 0}},
        {0, 1, 0, {20, 0}, {0, 40}}, {0, 3, 1, {20, 0}, {0, 40}}, {1, 0, 1, {40, 0}, {0, 20}},
        {0, 7, 1, {0, 0}, {40, 20}},
    };
    for (const Case& c : cases) {
        BoxLayout l;
        l.designWidth = 40;
        l.designHeight = 20;
        l.mirror = c.mirror;
        l.rotation = c.rotation;
        floatTMatrix m;
        l.GetPlacement(m, 100, 50, c.sense);
        floatPoint a = Map(m, 0, 0), b = Map(m, 40, 20);
        EXPECT_NEAR(a.x, c.origin.x + 100, 1e-4) << c.rotation << "/" << c.sense;
        EXPECT_NEAR(a.y, c.origin.y + 50, 1e-4) << c.rotation << "/" << c.sense;
        EXPECT_NEAR(b.x, c.farCorner.x + 100, 1e-4) << c.rotation << "/" << c.sense;
        EXPECT_NEAR(b.y, c.farCorner.y + 50, 1e-4) << c.rotation << "/" << c.sense;
    }
}

TEST(PageLayout, QuarterTurnsSwapTheLayoutSides) {
    BoxLayout l;
    l.designWidth = 40;
    l.designHeight = 20;
    l.rotation = 3;
    EXPECT_FLOAT_EQ(l.GetLayoutWidth(), 20);
    EXPECT_FLOAT_EQ(l.GetLayoutHeight(), 40);
}

TEST(PageLayout, FillThePageWithCopies) {
    BoxLayout l;
    l.box = floatBBox(0, 0, 50, 30);
    l.designWidth = 50;
    l.designHeight = 30;
    l.leftMargin = 15;
    l.topMargin = 15;
    l.rightMargin = 5;
    l.bottomMargin = 35;
    l.FillPage(0);
    EXPECT_EQ(l.copies, 24);
    EXPECT_NEAR(l.gap, 7.0 / 9.0, 1e-5);
    EXPECT_NEAR(l.xPosition, 15 + (190 - (150 + 14.0 / 9.0)) / 2, 1e-4);
    EXPECT_NEAR(l.yPosition, 15 + (247 - (240 + 49.0 / 9.0)) / 2, 1e-4);
}

TEST(PageLayout, FitToPageScalesTheLongerSide) {
    BoxLayout l;
    l.leftMargin = l.topMargin = l.rightMargin = l.bottomMargin = 10;
    l.FitToPage(5); // 40 x 20 into 190 x 277 less 10: by the width
    EXPECT_FLOAT_EQ(l.scale, (190 - 10 - 1.0f) / 40);
    EXPECT_FLOAT_EQ(l.designWidth, 179);
    EXPECT_FLOAT_EQ(l.xPosition, 10);
    l.box = floatBBox(0, 0, 10, 100);
    l.FitToPage(0); // by the height
    EXPECT_FLOAT_EQ(l.scale, (277 - 1.0f) / 100);
}

// A line has no height and an empty design no size: nothing divides by zero.
TEST(PageLayout, LinesAndEmptyDesignsFitWithoutDividingByZero) {
    BoxLayout line;
    line.box = floatBBox(0, 0, 100, 0);
    line.leftMargin = line.topMargin = line.rightMargin = line.bottomMargin = 0;
    line.FitToPage(0);
    EXPECT_FLOAT_EQ(line.scale, 209.0f / 100);
    EXPECT_FLOAT_EQ(line.designHeight, 0);

    BoxLayout empty;
    empty.box = floatBBox();
    empty.scale = 1.5f;
    empty.designWidth = 60;
    empty.FitToPage(0);
    EXPECT_FLOAT_EQ(empty.scale, 1.5f);
    EXPECT_FLOAT_EQ(empty.designWidth, 60);
    empty.SetScale(0);
    empty.SetScale(std::nanf(""));
    EXPECT_FLOAT_EQ(empty.scale, 1.5f);

    // Dragging the scale handle of a design without width changes nothing.
    empty.designWidth = 0;
    empty.designRect = RECT{10, 10, 10, 30};
    empty.OnButtonDown(POINT{10, 30});
    ASSERT_EQ(empty.trackingState, 3);
    EXPECT_FALSE(empty.OnMouseMove(POINT{40, 30}, true));
    EXPECT_FLOAT_EQ(empty.scale, 1.5f);
}

TEST(PageLayout, CentringStaysInsideTheMargins) {
    BoxLayout l;
    l.leftMargin = 15;
    l.topMargin = 15;
    l.rightMargin = 5;
    l.bottomMargin = 35;
    l.blockWidth = 100;
    l.blockHeight = 100;
    l.CentreHorizontally();
    l.CentreVertically();
    EXPECT_FLOAT_EQ(l.xPosition, 15 + 45);
    EXPECT_FLOAT_EQ(l.yPosition, 15 + 73.5f);
    l.blockWidth = 300;
    l.blockHeight = 300;
    l.CentreHorizontally();
    l.CentreVertically();
    EXPECT_FLOAT_EQ(l.xPosition, 15);
    EXPECT_FLOAT_EQ(l.yPosition, 297 - 35 - 300); // the bottom margin wins
}

TEST(PageLayout, DraggingMovesWithinLimitsAndScalesNoLowerThanAThousandth) {
    BoxLayout l;
    l.designWidth = 40;
    l.designHeight = 20;
    l.leftMargin = l.topMargin = 10;
    l.xPosition = l.yPosition = 20;
    l.previewMatrix = floatTMatrix(2, 0, 0, 2, 0, 0); // 2 pixels a millimetre
    l.designRect = RECT{40, 40, 120, 80};
    l.OnButtonDown(POINT{80, 60}); // the centre: move
    ASSERT_EQ(l.trackingState, 2);
    EXPECT_TRUE(l.OnMouseMove(POINT{1000, 1000}, true));
    EXPECT_FLOAT_EQ(l.xPosition, 189);
    EXPECT_FLOAT_EQ(l.yPosition, 246);
    EXPECT_TRUE(l.OnMouseMove(POINT{-1000, -1000}, true));
    EXPECT_FLOAT_EQ(l.xPosition, 10);
    EXPECT_FLOAT_EQ(l.yPosition, 10);
    l.OnButtonUp();
    l.designRect = RECT{40, 40, 120, 80};
    l.OnButtonDown(POINT{121, 79}); // the scale handle
    ASSERT_EQ(l.trackingState, 3);
    l.OnMouseMove(POINT{-5000, 79}, true);
    EXPECT_FLOAT_EQ(l.scale, 0.001f);
}

TEST(PageLayout, PanningClampsBothWays) {
    BoxLayout l;
    l.previewRect = RECT{0, 0, 100, 100};
    l.pageRect = RECT{0, 0, 300, 400};
    l.OnPanDown(POINT{50, 50});
    ASSERT_EQ(l.trackingState, 1);
    EXPECT_TRUE(l.OnMouseMove(POINT{-1000, -1000}, true));
    EXPECT_EQ(l.scrollX, 300 + 28 - 100);
    EXPECT_EQ(l.scrollY, 400 + 28 - 100);
    EXPECT_TRUE(l.OnMouseMove(POINT{5000, 5000}, true));
    EXPECT_EQ(l.scrollX, 0);
    EXPECT_EQ(l.scrollY, 0);
    l.OnPanUp();
    EXPECT_EQ(l.cursor, IDC_ARROW);
}
