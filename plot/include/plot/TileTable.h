#pragma once
// Panels of a design larger than one sheet: lines of tiles with overlaps, the selected tiles
// numbered in cutting order. In order modes 0 to 2 a line is a row along x (line position y,
// tile position x); in mode 3 (manual feed) a line is a column. Lengths are millimetres.

#include <mfc/CRect.h>
#include <pathkit/DynArr.h>

#include "plot/export.h"

class CDC;
class CPen;
class Layout;
class floatTMatrix;
struct MouseTracker;

struct PLOT_API Tile {
    float pos;  // along the line
    int select; // 0 not selected, else the order number (1 until numbered)
    int isSelected() const { return select > 0; }
};

class PLOT_API TileLine {
public:
    TileLine();
    TileLine(const TileLine& other);
    TileLine& operator=(const TileLine& other);

    EDynArr<Tile> tiles;
    float pos; // across the lines
};

class PLOT_API TileTable {
public:
    // Reasons the tiling cannot be built from the current values.
    enum Fault {
        NoFault = 0,
        TileTooSmall = 1, // no tile left after the panel marks
        StepTooSmall = 2, // the overlap leaves a step under 1 mm
        TooManyTiles = 3, // more than 65,534 in a line or in all
    };

    explicit TileTable(Layout* owner = nullptr);
    TileTable(const TileTable&) = delete;
    TileTable& operator=(const TileTable&) = delete;

    float getEarLength() const;
    float getEarWidth() const;
    int horizontalTiles() const { return orderMode != 3; }
    int isTiling() const { return columns > 1 || rows > 1; }
    float getMaxWidth() const { return tileWidth; }
    float getMaxHeight() const { return tileHeight; }
    float getFullWidth() const { return fullWidth; }
    float getFullHeight() const { return fullHeight; }
    int getNoTiles() const { return noTiles; }
    int getSelTiles() const { return selTiles; }
    int getNoLines() const { return lines.Filled(); }
    int getNoTilesIn(int line);
    TileLine& getTileLine(int line);
    // Why the last calcTileLayout built no tiling although the content needed one.
    int getFault() const { return fault; }

    void calcTileSize(float w, float h);
    void calcTileLayout(float contentW, float contentH, float sheetW, float sheetH, float extraX,
                        float extraY, int force);
    void createTileLine(TileLine& line);
    void recalcTileOrder();
    // 0 none, 1 all, 2 inverted.
    void select(int how);
    void adjustTiles();

    float getLineLength();
    float getLinePos(int i);
    float getTilePos(int line, int i);
    float getLineWidth(int i);
    float getTileLength(int line, int i);
    int getTileData(int order, int& row, int& column, float& x, float& y, float& width,
                    float& height);
    void getContinuousTileRange(int order, int& first, int& last);
    void getOverlapSize(int row, int column, float& ox, float& oy);

    // Display points go through the owner's display matrix.
    int findHandle(CPoint p);
    void toggleCellSelection(CPoint p);
    void updateLinePositions(float dx, float dy);
    void updateCellPositions(float dx, float dy);

    void drawTile(CDC& dc, floatTMatrix& toDisplay, int line, int tile, CPen& solid, CPen& dotted);
    void draw(CDC& dc, floatTMatrix& toDisplay, CRect& area);

    void MouseMove(MouseTracker& tracker);
    void LeftButtonDown(MouseTracker& tracker);
    void LeftButtonUp(MouseTracker& tracker);
    void RightButtonDown(MouseTracker& tracker);
    void RightButtonUp(MouseTracker& tracker);

    EClassDynArr<TileLine> lines;
    Layout* layout;
    float tileWidth;
    float tileHeight;
    float fullWidth;
    float fullHeight;
    int columns;
    int rows;
    int noTiles;
    int selTiles;
    int lineIndex; // under the mouse, -1 none
    int tileIndex;
    int fault;
    int orderMode; // 0 fixed, 1 lines alike, 2 free, 3 columns (manual feed)
    float overlapX;
    float overlapY;
    int panelMarks;
    float panelMarkLength;
    float panelMarkWidth;
    int lastX;
    int lastY;
    int dragMode; // 0 none, 1 pan, 2 line edges, 3 tile edges

private:
    // Across the lines and along them, in the current mode.
    float acrossOverlap() const { return orderMode == 3 ? overlapX : overlapY; }
    float alongOverlap() const { return orderMode == 3 ? overlapY : overlapX; }
    float acrossTile() const { return orderMode == 3 ? tileWidth : tileHeight; }
    float alongTile() const { return orderMode == 3 ? tileHeight : tileWidth; }
    float areaAcross() const { return orderMode == 3 ? fullWidth : fullHeight; }
    float areaAlong() const { return orderMode == 3 ? fullHeight : fullWidth; }
    TileLine& lineAt(int i);
};
