// The tile table: counts of panels, positions and sizes, numbering and selection, and the
// values from which no tiling can be built.

#include <gtest/gtest.h>

#include "plot/Layout.h"
#include "plot/TileTable.h"

namespace {

// A table with tiles of w x h and the given overlaps, laid out for content cw x ch.
struct Tiling {
    Tiling(float w, float h, float ox, float oy, float cw, float ch, int mode = 0) {
        t.orderMode = mode;
        t.overlapX = ox;
        t.overlapY = oy;
        t.calcTileSize(w, h);
        t.calcTileLayout(cw, ch, w, h, 0, 0, 1);
    }
    TileTable t;
};

TEST(TileTable, ColumnsCoverTheContentWithoutSliversOrLostPanels) {
    struct Case {
        const char* name;
        float cw, tile, overlap;
        int columns;
        float fullWidth;
    };
    const Case cases[] = {
        {"Banner", 1500, 590, 20, 3, 1730},
        {"NotAMultiple", 1000, 470, 5, 3, 1400},
        {"WholeMultipleOfTheStep", 930, 470, 5, 2, 935},
        {"OverlapPlusMultiple", 935, 470, 5, 2, 935},
        {"JustOver", 471, 470, 5, 2, 935},
        {"NoOverlap", 940, 470, 0, 2, 940},
    };
    for (const Case& c : cases) {
        Tiling g(c.tile, 100, c.overlap, 0, c.cw, 50);
        EXPECT_EQ(g.t.columns, c.columns) << c.name;
        EXPECT_EQ(g.t.rows, 1) << c.name;
        EXPECT_FLOAT_EQ(g.t.getFullWidth(), c.fullWidth) << c.name;
        EXPECT_GE(g.t.getFullWidth(), c.cw) << c.name;
        EXPECT_EQ(g.t.getFault(), TileTable::NoFault) << c.name;
    }
}

TEST(TileTable, PanelsOverlapTheirNeighbours) {
    Tiling g(590, 1980, 20, 5, 1500, 400);
    ASSERT_EQ(g.t.getNoLines(), 1);
    ASSERT_EQ(g.t.getNoTilesIn(0), 3);
    const float x[] = {0, 570, 1140};
    for (int i = 0; i < 3; ++i) {
        int row, column;
        float tx, ty, w, h;
        ASSERT_TRUE(g.t.getTileData(i + 1, row, column, tx, ty, w, h));
        EXPECT_EQ(row, 0);
        EXPECT_EQ(column, i);
        EXPECT_EQ(tx, x[i]);
        EXPECT_EQ(ty, 0);
        EXPECT_EQ(w, 590);
        EXPECT_EQ(h, 1980);
        float ox, oy;
        g.t.getOverlapSize(row, column, ox, oy);
        EXPECT_EQ(ox, i < 2 ? 20 : 0);
        EXPECT_EQ(oy, 0);
    }
    int row, column;
    float tx, ty, w, h;
    EXPECT_FALSE(g.t.getTileData(4, row, column, tx, ty, w, h));
    EXPECT_EQ(row, -1);
    EXPECT_EQ(w, 0);
}

TEST(TileTable, ManualFeedMakesColumnsTheLines) {
    Tiling g(300, 200, 10, 20, 500, 500, 3);
    EXPECT_EQ(g.t.columns, 2);
    EXPECT_EQ(g.t.rows, 3);
    ASSERT_EQ(g.t.getNoLines(), 2); // one per column
    EXPECT_EQ(g.t.getNoTilesIn(0), 3);
    EXPECT_EQ(g.t.getLinePos(1), 290);
    EXPECT_EQ(g.t.getTilePos(0, 1), 180);
    int row, column;
    float x, y, w, h;
    ASSERT_TRUE(g.t.getTileData(4, row, column, x, y, w, h)); // the second column's first
    EXPECT_EQ(row, 0);
    EXPECT_EQ(column, 1);
    EXPECT_EQ(x, 290);
    EXPECT_EQ(y, 0);
    EXPECT_EQ(w, 300);
    EXPECT_EQ(h, 200);
}

TEST(TileTable, ContentThatFitsIsNotTiled) {
    Tiling g(470, 800, 5, 5, 470, 800);
    EXPECT_FALSE(g.t.isTiling());
    EXPECT_EQ(g.t.getNoLines(), 0);
    EXPECT_EQ(g.t.getNoTiles(), 0);
}

TEST(TileTable, DeselectedTilesLoseTheirNumberAndSplitRuns) {
    Tiling g(470, 800, 5, 0, 1000, 100);
    ASSERT_EQ(g.t.getSelTiles(), 3);
    g.t.getTileLine(0).tiles[1].select = 0;
    g.t.recalcTileOrder();
    EXPECT_EQ(g.t.getSelTiles(), 2);
    EXPECT_EQ(g.t.getTileLine(0).tiles[2].select, 2);
    int first, last;
    g.t.getContinuousTileRange(1, first, last);
    EXPECT_EQ(first, 1);
    EXPECT_EQ(last, 1);

    g.t.select(2);
    EXPECT_EQ(g.t.getSelTiles(), 1);
    g.t.select(2);
    EXPECT_EQ(g.t.getSelTiles(), 2);
    EXPECT_EQ(g.t.getTileLine(0).tiles[2].select, 2);
    g.t.select(1);
    g.t.getContinuousTileRange(2, first, last);
    EXPECT_EQ(first, 1);
    EXPECT_EQ(last, 3);
    g.t.select(0);
    EXPECT_EQ(g.t.getSelTiles(), 0);
}

TEST(TileTable, ValuesThatLeaveNoStepBuildNoTiling) {
    struct Case {
        const char* name;
        float tile, overlap, marks, content;
        int fault;
    };
    const Case cases[] = {
        {"OverlapAsWideAsTheTile", 50, 50, 0, 200, TileTable::StepTooSmall},
        {"OverlapWiderThanTheTile", 50, 60, 0, 200, TileTable::StepTooSmall},
        {"StepUnderAMillimetre", 50, 49.5f, 0, 200, TileTable::StepTooSmall},
        {"MarksEatTheTile", 30, 0, 20, 200, TileTable::TileTooSmall},
        {"TooManyPanels", 10, 0, 0, 1e6f, TileTable::TooManyTiles},
        {"Infinite", 10, 0, 0, 1e38f, TileTable::TooManyTiles},
    };
    for (const Case& c : cases) {
        TileTable t;
        t.overlapX = t.overlapY = c.overlap;
        t.panelMarks = c.marks > 0;
        t.panelMarkLength = c.marks;
        t.calcTileSize(c.tile, c.tile);
        t.calcTileLayout(c.content, c.content, c.tile, c.tile, 0, 0, 1);
        EXPECT_EQ(t.getFault(), c.fault) << c.name;
        EXPECT_FALSE(t.isTiling()) << c.name;
        EXPECT_EQ(t.getNoTiles(), 0) << c.name;
    }
}

TEST(TileTable, DraggedLinesKeepTheAreaCovered) {
    Tiling g(100, 100, 0, 10, 50, 250, 2);
    ASSERT_EQ(g.t.getNoLines(), 3); // at 0, 90, 180
    // The second line pulled down to 60: the third follows to at most 60 + 90.
    g.t.lineIndex = 1;
    g.t.updateLinePositions(0, -30);
    EXPECT_EQ(g.t.getLinePos(1), 60);
    EXPECT_EQ(g.t.getLinePos(2), 150);
    // The first line moved up opens a new line at 0.
    g.t.lineIndex = 0;
    g.t.updateLinePositions(0, 20);
    EXPECT_EQ(g.t.getLinePos(0), 0);
    EXPECT_EQ(g.t.getLinePos(1), 20);
    EXPECT_EQ(g.t.lineIndex, 1);
    EXPECT_EQ(g.t.getNoTiles(), g.t.getNoLines());
}

TEST(TileTable, TheMouseFindsEdgesAndTilesAndClicksToggleThem) {
    Layout layout;
    // One pixel a millimetre, y up from the bottom of a 200-pixel window.
    layout.displayMatrix = floatTMatrix(1, 0, 0, -1, 0, 200);
    TileTable t(&layout);
    t.orderMode = 2;
    t.calcTileSize(100, 100);
    t.calcTileLayout(250, 150, 100, 100, 0, 0, 1); // 3 x 2 panels
    ASSERT_EQ(t.getNoTiles(), 6);
    EXPECT_EQ(t.findHandle(CPoint(50, 150)), 2); // inside the first tile
    EXPECT_EQ(t.lineIndex, 0);
    EXPECT_EQ(t.tileIndex, 0);
    EXPECT_EQ(t.findHandle(CPoint(50, 98)), 0);   // on the edge between the rows
    EXPECT_EQ(t.findHandle(CPoint(101, 150)), 1); // on the edge between the columns
    EXPECT_EQ(t.findHandle(CPoint(350, 150)), -1);
    EXPECT_EQ(t.lineIndex, -1);

    t.toggleCellSelection(CPoint(150, 50)); // the second row's second tile
    EXPECT_EQ(t.getSelTiles(), 5);
    EXPECT_EQ(t.getTileLine(1).tiles[1].select, 0);
    EXPECT_EQ(t.getTileLine(1).tiles[2].select, 5);

    // In mode 0 an edge cannot be dragged, but a click still toggles a tile.
    t.orderMode = 0;
    MouseTracker m;
    m.point = CPoint(101, 150);
    t.LeftButtonDown(m);
    EXPECT_EQ(t.dragMode, 0);
    m.point = CPoint(150, 50);
    t.LeftButtonDown(m);
    EXPECT_EQ(t.getSelTiles(), 6);
}

} // namespace
