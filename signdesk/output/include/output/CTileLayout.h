#pragma once
// The tiles of a design larger than the page: how many, where each starts, which are
// selected and in which order they print. One tile layout serves the print engine.
#include "output/TileArrays.h"

class CPrintEngine;

class CTileLayout {
public:
    explicit CTileLayout(CPrintEngine* engine = nullptr);

    // Mode 0 takes the size (less the mark margins) as it is; the other modes treat it as a
    // limit that only shrinks a tile side.
    void SetTileSize(float width, float height);
    // One tile when the cell fits the available space; else the grid that covers the cell
    // from the position, rebuilt (every tile selected) when forced or when the counts change.
    void BuildTiles(float cellWidth, float cellHeight, float availableWidth, float availableHeight,
                    float x, float y, int force);
    void Renumber();
    // 0 deselects all, 1 selects all, 2 inverts.
    void SetSelection(int kind);
    // Selects only the tile that contains the point (mm from the tile origin); false when none.
    bool SelectOnly(float x, float y);

    float GetLinePosition(int i) const;
    float GetTilePosition(int line, int j) const;
    float GetLineExtent(int i) const;
    float GetTileExtent(int line, int j) const;
    // The tile printed as `number`; all zeros and column = row = -1 when none has it.
    void GetTileGeometry(int number, int& column, int& row, float& x, float& y, float& width,
                         float& height) const;

    // Moves a border by delta mm: a line border (lineBorder, index = the line) or the border
    // of tile `index` within `line`. Neighbours follow so that no gap exceeds a tile, tiles
    // are added at either end where the cover needs them, and coinciding ones removed.
    // Returns the dragged entry's index afterwards.
    int DragBorder(bool lineBorder, int line, int index, float delta);
    // The line and tile borders within `tolerance` mm of the point (mm from the tile origin)
    // into hitLine and hitTile; -1 where none.
    void HitTestBorder(float x, float y, float tolerance);

    bool IsTiled() const { return tileColumns > 1 || tileRows > 1; }
    float StepX() const { return tileWidth - overlapX; }
    float StepY() const { return tileHeight - overlapY; }

    TileLineDynArr lines;
    CPrintEngine* engine;
    float tileWidth = 0;
    float tileHeight = 0;
    float totalWidth = 0;
    float totalHeight = 0;
    int tileColumns = 1;
    int tileRows = 1;
    int tileCount = 0;
    int selectedCount = 0;
    int mode = 0;
    float overlapX = 0;
    float overlapY = 0;
    int marksFlag = 0;
    float markMargin = 10.0f;
    int hitLine = -1;
    int hitTile = -1;
    int dragState = 0;
    // The last build needed more tiles than the arrays hold; nothing is laid out.
    bool tooManyTiles = false;

private:
    bool ColumnMode() const { return mode == 3; }
};
