#include <gtest/gtest.h>

#include "output/CTileLayout.h"

namespace {
CTileLayout Rows(float tile, float overlap) {
    CTileLayout t;
    t.tileWidth = tile;
    t.tileHeight = tile;
    t.overlapX = overlap;
    t.overlapY = overlap;
    return t;
}
} // namespace

TEST(TileLayout, ColumnsCoverTheExtent) {
    struct Case {
        float extent;
        int columns;
        float total;
    } cases[] = {{390, 2, 390}, {380, 2, 390}, {391, 3, 580}, {201, 2, 390}};
    for (const Case& c : cases) {
        CTileLayout t = Rows(200, 10);
        t.BuildTiles(c.extent, 100, 150, 150, 0, 0, 1);
        EXPECT_EQ(t.tileColumns, c.columns) << c.extent;
        EXPECT_EQ(t.tileRows, 1) << c.extent;
        EXPECT_FLOAT_EQ(t.totalWidth, c.total) << c.extent;
        EXPECT_TRUE(t.IsTiled());
        EXPECT_EQ(t.selectedCount, c.columns);
    }
}

TEST(TileLayout, ACellThatFitsIsOneTile) {
    CTileLayout t = Rows(200, 10);
    t.BuildTiles(390, 100, 150, 150, 0, 0, 1);
    ASSERT_TRUE(t.IsTiled());
    t.BuildTiles(100, 100, 150, 150, 0, 0, 0);
    EXPECT_FALSE(t.IsTiled());
    EXPECT_EQ(t.tileCount, 0);
    EXPECT_EQ(t.lines.Filled(), 0);
}

TEST(TileLayout, GeometryOfEachTileInPrintOrder) {
    CTileLayout t = Rows(200, 10);
    t.BuildTiles(390, 250, 100, 100, 0, 0, 1); // 2 columns, 2 rows
    ASSERT_EQ(t.tileColumns, 2);
    ASSERT_EQ(t.tileRows, 2);
    struct Want {
        int column, row;
        float x, y, w, h;
    } want[] = {{0, 0, 0, 0, 200, 200},
                {1, 0, 190, 0, 200, 200},
                {0, 1, 0, 190, 200, 200},
                {1, 1, 190, 190, 200, 200}};
    for (int n = 1; n <= 4; ++n) {
        int c, r;
        float x, y, w, h;
        t.GetTileGeometry(n, c, r, x, y, w, h);
        const Want& e = want[n - 1];
        EXPECT_EQ(c, e.column) << n;
        EXPECT_EQ(r, e.row) << n;
        EXPECT_FLOAT_EQ(x, e.x) << n;
        EXPECT_FLOAT_EQ(y, e.y) << n;
        EXPECT_FLOAT_EQ(w, e.w) << n;
        EXPECT_FLOAT_EQ(h, e.h) << n;
    }
    int c, r;
    float x, y, w, h;
    t.GetTileGeometry(5, c, r, x, y, w, h);
    EXPECT_EQ(c, -1);
    EXPECT_EQ(r, -1);
    EXPECT_EQ(x + y + w + h, 0.0f);
}

TEST(TileLayout, ColumnModeSwapsLinesAndTiles) {
    CTileLayout t = Rows(200, 10);
    t.mode = 3;
    t.BuildTiles(390, 100, 100, 100, 0, 0, 1); // 2 columns, 1 row
    ASSERT_EQ(t.lines.Filled(), 2);            // a line per column
    int c, r;
    float x, y, w, h;
    t.GetTileGeometry(2, c, r, x, y, w, h);
    EXPECT_EQ(c, 1);
    EXPECT_EQ(r, 0);
    EXPECT_FLOAT_EQ(x, 190);
    EXPECT_FLOAT_EQ(w, 200);
}

TEST(TileLayout, SelectionSurvivesAnUnforcedBuildOfTheSameGrid) {
    CTileLayout t = Rows(200, 10);
    t.BuildTiles(390, 250, 100, 100, 0, 0, 1);
    t.SetSelection(2); // all off
    ASSERT_EQ(t.selectedCount, 0);
    t.lines[0].tiles[1].number = 1;
    t.Renumber();
    t.BuildTiles(390, 250, 100, 100, 0, 0, 0);
    EXPECT_EQ(t.selectedCount, 1);
    int c, r;
    float x, y, w, h;
    t.GetTileGeometry(1, c, r, x, y, w, h);
    EXPECT_EQ(c, 1);
    // Inverting twice restores it; a forced build selects every tile again.
    t.SetSelection(2);
    t.SetSelection(2);
    EXPECT_EQ(t.selectedCount, 1);
    t.BuildTiles(390, 250, 100, 100, 0, 0, 1);
    EXPECT_EQ(t.selectedCount, 4);
}

TEST(TileLayout, DoubleClickSelectsOnlyTheTileUnderThePointer) {
    CTileLayout t = Rows(200, 10);
    t.BuildTiles(390, 250, 100, 100, 0, 0, 1);
    EXPECT_TRUE(t.SelectOnly(300, 50));
    EXPECT_EQ(t.selectedCount, 1);
    EXPECT_EQ(t.lines[0].tiles[1].number, 1);
    EXPECT_FALSE(t.SelectOnly(500, 50));
    EXPECT_EQ(t.selectedCount, 1);
}

TEST(TileLayout, SetTileSizeLimitsOnlyOutsideModeZero) {
    CTileLayout t;
    t.SetTileSize(190, 277);
    EXPECT_FLOAT_EQ(t.tileWidth, 190);
    t.mode = 1;
    t.SetTileSize(150, 300); // smaller width shrinks, larger height leaves it
    EXPECT_FLOAT_EQ(t.tileWidth, 150);
    EXPECT_FLOAT_EQ(t.tileHeight, 277);
    t.marksFlag = 1; // the mark margins come off the given size
    t.mode = 0;
    t.SetTileSize(190, 277);
    EXPECT_FLOAT_EQ(t.tileWidth, 170);
    EXPECT_FLOAT_EQ(t.tileHeight, 257);
}

// An overlap as large as the tile gives no step to tile by: one tile, never a loop or a
// division by zero.
TEST(TileLayout, NoStepBuildsOneTile) {
    for (float overlap : {200.0f, 250.0f}) {
        CTileLayout t = Rows(200, overlap);
        t.BuildTiles(1000, 1000, 100, 100, 0, 0, 1);
        EXPECT_FALSE(t.IsTiled()) << overlap;
        EXPECT_FALSE(t.tooManyTiles);
    }
    CTileLayout zero = Rows(0, 0);
    zero.BuildTiles(1000, 1000, 100, 100, 0, 0, 1);
    EXPECT_FALSE(zero.IsTiled());
}

TEST(TileLayout, MoreTilesThanTheArraysHoldLaysOutNothing) {
    CTileLayout t = Rows(10, 0);
    t.BuildTiles(3000, 3000, 5, 5, 0, 0, 1); // 300 x 300 tiles
    EXPECT_TRUE(t.tooManyTiles);
    EXPECT_EQ(t.tileCount, 0);
    EXPECT_EQ(t.selectedCount, 0);
    t.BuildTiles(300, 300, 5, 5, 0, 0, 1);
    EXPECT_FALSE(t.tooManyTiles);
    EXPECT_EQ(t.tileCount, 900);
}

TEST(TileLayout, DraggingATileBorderKeepsTheCover) {
    struct Case {
        float delta;
        std::vector<float> starts;
        int hit;
    } cases[] = {
        {50, {0, 50, 240, 380}, 2},   // the first follows so that no gap opens; a tile at 0
        {-100, {0, 90, 280, 470}, 1}, // the next follows; a tile is added at the end
        {-500, {0, 190, 380}, 0},     // onto the first: merged, the cover rebuilt
        {1000, {0, 190, 380}, 2},     // onto the next: merged, the first pulled on
    };
    for (const Case& c : cases) {
        CTileLayout t = Rows(200, 10);
        t.BuildTiles(391, 100, 100, 100, 0, 0, 1); // tiles at 0, 190, 380; total 580
        ASSERT_EQ(t.lines[0].tiles.Filled(), 3);
        int hit = t.DragBorder(false, 0, 1, c.delta);
        const TileDynArr& tiles = t.lines[0].tiles;
        ASSERT_EQ(int(tiles.Filled()), int(c.starts.size())) << c.delta;
        for (std::size_t i = 0; i < c.starts.size(); ++i)
            EXPECT_FLOAT_EQ(tiles[std::uint16_t(i)].start, c.starts[i]) << c.delta << " #" << i;
        EXPECT_EQ(hit, c.hit) << c.delta;
        EXPECT_EQ(t.selectedCount, int(c.starts.size()));
    }
}

TEST(TileLayout, EqualRowsFollowTheDraggedRowAndLinesInsertAtTheStart) {
    CTileLayout t = Rows(200, 10);
    t.mode = 1;
    t.BuildTiles(391, 391, 100, 100, 0, 0, 1); // 3 x 3
    t.DragBorder(false, 1, 1, 50);
    for (int row = 0; row < 3; ++row) {
        ASSERT_EQ(t.lines[std::uint16_t(row)].tiles.Filled(), 4) << row;
        EXPECT_FLOAT_EQ(t.lines[std::uint16_t(row)].tiles[2].start, 240) << row;
    }
    EXPECT_EQ(t.selectedCount, 12);
    // A line border dragged forward from the first line leaves room for a new first line.
    CTileLayout u = Rows(200, 10);
    u.BuildTiles(391, 391, 100, 100, 0, 0, 1);
    u.HitTestBorder(50, 191, 3);
    EXPECT_EQ(u.hitLine, 1);
    EXPECT_EQ(u.hitTile, -1);
    u.HitTestBorder(189, 50, 3);
    EXPECT_EQ(u.hitLine, 0);
    EXPECT_EQ(u.hitTile, 1);
    int hit = u.DragBorder(true, 0, 0, 0);
    EXPECT_EQ(hit, 0);
    EXPECT_EQ(u.lines.Filled(), 3);
}
