#include "plot/TileTable.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include <mfc/CDC.h>
#include <mfc/CGdiObject.h>
#include <mfc/CWinApp.h>
#include <win32/resource.h>
#include <win32/user.h>

#include "plot/Layout.h"

namespace {

constexpr std::uint16_t GrowStep = 4;
constexpr std::uint16_t Limit = 65534;
// Lines and tiles closer than this are one.
constexpr float Coincident = 0.0001f;
// A count of steps is taken this much short of a whole number as that number, so that an
// extent of exact multiples keeps its count when float sums land a hair above.
constexpr double CountTolerance = 0.0001;
constexpr WORD HandCursorId = 2517;

// Tiles of step `step` overlapping by `overlap` that cover `extent`: at least one.
double TileCount(float extent, float overlap, float step) {
    double n = std::ceil((double(extent) - overlap) / step - CountTolerance);
    return n >= 1 ? n : 1;
}

HCURSOR SystemCursor(LPCSTR id) {
    return LoadCursorA(nullptr, id);
}

HCURSOR HandCursor() {
    HCURSOR hand = LoadCursorA(AfxGetResourceHandle(), MAKEINTRESOURCEA(HandCursorId));
    return hand ? hand : SystemCursor(IDC_HAND);
}

} // namespace

TileLine::TileLine() : tiles(GrowStep, Limit), pos(0) {}

TileLine::TileLine(const TileLine& other) : tiles(GrowStep, Limit), pos(other.pos) {
    tiles += other.tiles;
}

TileLine& TileLine::operator=(const TileLine& other) {
    if (this != &other) {
        tiles.Reset();
        tiles += other.tiles;
        pos = other.pos;
    }
    return *this;
}

TileTable::TileTable(Layout* owner)
    : lines(GrowStep, Limit), layout(owner), tileWidth(0), tileHeight(0), fullWidth(0),
      fullHeight(0), columns(1), rows(1), noTiles(0), selTiles(0), lineIndex(-1), tileIndex(-1),
      fault(NoFault), orderMode(0), overlapX(0), overlapY(0), panelMarks(0), panelMarkLength(10),
      panelMarkWidth(5), lastX(0), lastY(0), dragMode(0) {}

float TileTable::getEarLength() const {
    return panelMarks ? panelMarkLength : 0;
}
float TileTable::getEarWidth() const {
    return panelMarks ? panelMarkWidth : 0;
}

TileLine& TileTable::lineAt(int i) {
    if (i < 0 || i >= lines.Filled()) throw EClassDynArr<TileLine>::RangeCheck();
    return lines[std::uint16_t(i)];
}

int TileTable::getNoTilesIn(int line) {
    return lineAt(line).tiles.Filled();
}
TileLine& TileTable::getTileLine(int line) {
    return lineAt(line);
}

void TileTable::calcTileSize(float w, float h) {
    float e = panelMarks ? panelMarkLength : 0;
    w -= 2 * e;
    h -= 2 * e;
    if (orderMode == 0) {
        tileWidth = w;
        tileHeight = h;
    } else {
        if (w > 0) tileWidth = w;
        if (h > 0) tileHeight = h;
    }
}

void TileTable::calcTileLayout(float contentW, float contentH, float sheetW, float sheetH,
                               float extraX, float extraY, int force) {
    fault = NoFault;
    if (contentW > sheetW || contentH > sheetH) {
        float dx = tileWidth - overlapX;
        float dy = tileHeight - overlapY;
        double newColumns = 0, newRows = 0;
        if (!(tileWidth > 0 && tileHeight > 0)) {
            fault = TileTooSmall;
        } else if (!(dx >= 1 && dy >= 1)) {
            fault = StepTooSmall;
        } else {
            newColumns = TileCount(contentW + extraX, overlapX, dx);
            newRows = TileCount(contentH + extraY, overlapY, dy);
            if (!(newColumns * newRows <= Limit)) fault = TooManyTiles;
        }
        if (fault == NoFault) {
            bool same = newColumns == columns && newRows == rows && lines.Filled() > 0;
            columns = int(newColumns);
            rows = int(newRows);
            fullWidth = dx * float(columns) + overlapX;
            fullHeight = overlapY + dy * float(rows);
            if (force || !same) {
                lines.Reset();
                int count = orderMode == 3 ? columns : rows;
                float step = orderMode == 3 ? dx : dy;
                for (int i = 0; i < count; ++i) {
                    TileLine line;
                    line.pos = step * float(i);
                    createTileLine(line);
                    lines.Append(line);
                }
            }
            recalcTileOrder();
            return;
        }
    }
    columns = 1;
    rows = 1;
    fullWidth = 0;
    fullHeight = 0;
    lines.Reset();
    recalcTileOrder();
}

void TileTable::createTileLine(TileLine& line) {
    int count = orderMode == 3 ? rows : columns;
    float step = orderMode == 3 ? tileHeight - overlapY : tileWidth - overlapX;
    line.tiles.Reset();
    for (int i = 0; i < count; ++i)
        line.tiles.Append(Tile{step * float(i), 1});
}

void TileTable::recalcTileOrder() {
    int order = 0, count = 0;
    for (TileLine& line : lines) {
        for (Tile& tile : line.tiles) {
            ++count;
            if (tile.isSelected()) tile.select = ++order;
        }
    }
    noTiles = count;
    selTiles = order;
}

void TileTable::select(int how) {
    for (TileLine& line : lines) {
        for (Tile& tile : line.tiles) {
            if (how == 0)
                tile.select = 0;
            else if (how == 1)
                tile.select = 1;
            else if (how == 2)
                tile.select = tile.isSelected() ? 0 : 1;
        }
    }
    recalcTileOrder();
}

void TileTable::adjustTiles() {
    if (orderMode != 1 || lineIndex < 0 || lineIndex >= lines.Filled()) return;
    const TileLine& model = lines[std::uint16_t(lineIndex)];
    for (int i = 0; i < lines.Filled(); ++i) {
        if (i == lineIndex) continue;
        TileLine& line = lines[std::uint16_t(i)];
        int n = model.tiles.Filled();
        if (line.tiles.Filled() > n) line.tiles.ResetTo(std::uint16_t(n));
        while (line.tiles.Filled() < n)
            line.tiles.Append(Tile{0, 1});
        for (int j = 0; j < n; ++j)
            line.tiles[std::uint16_t(j)].pos = model.tiles[std::uint16_t(j)].pos;
    }
    recalcTileOrder();
}

float TileTable::getLineLength() {
    return orderMode == 3 ? fullHeight : fullWidth;
}

float TileTable::getLinePos(int i) {
    if (i < 0) return 0;
    if (i < lines.Filled()) return lines[std::uint16_t(i)].pos;
    return areaAcross();
}

float TileTable::getTilePos(int line, int i) {
    if (i < 0) return 0;
    TileLine& l = lineAt(line);
    if (i < l.tiles.Filled()) return l.tiles[std::uint16_t(i)].pos;
    return areaAlong();
}

float TileTable::getLineWidth(int i) {
    if (i >= lines.Filled() - 1) return areaAcross() - getLinePos(i);
    return getLinePos(i + 1) + acrossOverlap() - getLinePos(i);
}

float TileTable::getTileLength(int line, int i) {
    if (i >= getNoTilesIn(line) - 1) return areaAlong() - getTilePos(line, i);
    return getTilePos(line, i + 1) + alongOverlap() - getTilePos(line, i);
}

int TileTable::getTileData(int order, int& row, int& column, float& x, float& y, float& width,
                           float& height) {
    for (int i = 0; i < lines.Filled(); ++i) {
        TileLine& line = lines[std::uint16_t(i)];
        for (int j = 0; j < line.tiles.Filled(); ++j) {
            if (line.tiles[std::uint16_t(j)].select != order || order <= 0) continue;
            float along = getTileLength(i, j), across = getLineWidth(i);
            if (orderMode == 3) {
                row = j;
                column = i;
                x = line.pos;
                y = line.tiles[std::uint16_t(j)].pos;
                width = across;
                height = along;
            } else {
                row = i;
                column = j;
                x = line.tiles[std::uint16_t(j)].pos;
                y = line.pos;
                width = along;
                height = across;
            }
            return 1;
        }
    }
    row = column = -1;
    x = y = width = height = 0;
    return 0;
}

void TileTable::getContinuousTileRange(int order, int& first, int& last) {
    first = last = order;
    for (TileLine& line : lines) {
        int n = line.tiles.Filled();
        for (int j = 0; j < n; ++j) {
            if (line.tiles[std::uint16_t(j)].select != order || order <= 0) continue;
            int a = j, b = j;
            while (a > 0 && line.tiles[std::uint16_t(a - 1)].isSelected())
                --a;
            while (b + 1 < n && line.tiles[std::uint16_t(b + 1)].isSelected())
                ++b;
            first = line.tiles[std::uint16_t(a)].select;
            last = line.tiles[std::uint16_t(b)].select;
            return;
        }
    }
}

void TileTable::getOverlapSize(int row, int column, float& ox, float& oy) {
    bool lastX, lastY;
    if (orderMode == 3) {
        lastX = column >= lines.Filled() - 1;
        lastY = column < 0 || column >= lines.Filled() || row >= getNoTilesIn(column) - 1;
    } else {
        lastY = row >= lines.Filled() - 1;
        lastX = row < 0 || row >= lines.Filled() || column >= getNoTilesIn(row) - 1;
    }
    ox = lastX ? 0 : overlapX;
    oy = lastY ? 0 : overlapY;
}

int TileTable::findHandle(CPoint p) {
    lineIndex = tileIndex = -1;
    if (!layout) return -1;
    floatPoint mm = layout->DisplayToMM(p);
    float tol = layout->GetPixelSize(3);
    float across = orderMode == 3 ? mm.x : mm.y;
    float along = orderMode == 3 ? mm.y : mm.x;
    for (int i = 0; i < lines.Filled(); ++i) {
        float a0 = getLinePos(i), a1 = getLinePos(i + 1);
        if (!(a0 - tol <= across && across <= a1 - tol)) continue;
        for (int j = 0; j < getNoTilesIn(i); ++j) {
            float t0 = getTilePos(i, j), t1 = getTilePos(i, j + 1);
            if (!(t0 - tol <= along && along <= t1 - tol)) continue;
            lineIndex = i;
            tileIndex = j;
            bool nearLineEdge = std::fabs(across - a0) <= tol || std::fabs(across - a1) <= tol;
            bool nearTileEdge = std::fabs(along - t0) <= tol || std::fabs(along - t1) <= tol;
            // A line edge runs along x in modes 0 to 2 (horizontal), along y in mode 3.
            bool horizontal = orderMode == 3 ? nearTileEdge : nearLineEdge;
            bool vertical = orderMode == 3 ? nearLineEdge : nearTileEdge;
            if (horizontal) return 0;
            if (vertical) return 1;
            return 2;
        }
    }
    return -1;
}

void TileTable::toggleCellSelection(CPoint p) {
    if (findHandle(p) != 2) return;
    Tile& tile = lines[std::uint16_t(lineIndex)].tiles[std::uint16_t(tileIndex)];
    tile.select = tile.isSelected() ? 0 : 1;
    recalcTileOrder();
}

void TileTable::updateLinePositions(float dx, float dy) {
    int k = lineIndex, n = lines.Filled();
    if (k < 0 || k >= n) return;
    float delta = orderMode == 3 ? dx : dy;
    float s = acrossTile() - acrossOverlap();
    TileLine& edited = lines[std::uint16_t(k)];
    edited.pos = std::max(
        0.0f, std::min(getLinePos(k + 1), std::max(getLinePos(k - 1), edited.pos + delta)));
    for (int i = k + 1; i < n; ++i)
        lines[std::uint16_t(i)].pos =
            std::min(lines[std::uint16_t(i)].pos, lines[std::uint16_t(i - 1)].pos + s);
    for (int i = k - 1; i >= 0; --i)
        lines[std::uint16_t(i)].pos =
            std::max(lines[std::uint16_t(i)].pos, lines[std::uint16_t(i + 1)].pos - s);
    // A table at its limit takes no further line (and throws from no mouse handler).
    if (lines[0].pos > 0 && !lines.IsFull() &&
        noTiles + (orderMode == 3 ? rows : columns) < Limit) {
        TileLine line;
        createTileLine(line);
        lines.InsertAt(0, &line, 1);
        recalcTileOrder();
        ++lineIndex;
        adjustTiles();
    }
    TileLine* last = lines.last();
    if (areaAcross() - last->pos > acrossTile() && !lines.IsFull() &&
        noTiles + (orderMode == 3 ? rows : columns) < Limit) {
        TileLine line;
        line.pos = last->pos + acrossTile() - acrossOverlap();
        createTileLine(line);
        lines.Append(line);
        recalcTileOrder();
        adjustTiles();
    }
    for (int i = 1; i < lines.Filled();) {
        if (lines[std::uint16_t(i)].pos - lines[std::uint16_t(i - 1)].pos < Coincident) {
            lines.DeleteAt(std::uint16_t(i), 1);
            if (lineIndex >= i) --lineIndex;
            recalcTileOrder();
        } else {
            ++i;
        }
    }
}

void TileTable::updateCellPositions(float dx, float dy) {
    if (lineIndex < 0 || lineIndex >= lines.Filled()) return;
    EDynArr<Tile>& tiles = lines[std::uint16_t(lineIndex)].tiles;
    int k = tileIndex, n = tiles.Filled();
    if (k < 0 || k >= n) return;
    float delta = orderMode == 3 ? dy : dx;
    float s = alongTile() - alongOverlap();
    float before = k > 0 ? tiles[std::uint16_t(k - 1)].pos : 0;
    float after = k + 1 < n ? tiles[std::uint16_t(k + 1)].pos : areaAlong();
    tiles[std::uint16_t(k)].pos =
        std::max(0.0f, std::min(after, std::max(before, tiles[std::uint16_t(k)].pos + delta)));
    for (int i = k + 1; i < n; ++i)
        tiles[std::uint16_t(i)].pos =
            std::min(tiles[std::uint16_t(i)].pos, tiles[std::uint16_t(i - 1)].pos + s);
    for (int i = k - 1; i >= 0; --i)
        tiles[std::uint16_t(i)].pos =
            std::max(tiles[std::uint16_t(i)].pos, tiles[std::uint16_t(i + 1)].pos - s);
    if (tiles[0].pos > 0 && !tiles.IsFull() && noTiles < Limit) {
        Tile first{0, 1};
        tiles.InsertAt(0, &first, 1);
        ++tileIndex;
        recalcTileOrder();
    }
    if (areaAlong() - tiles.last()->pos > alongTile() && !tiles.IsFull() && noTiles < Limit) {
        tiles.Append(Tile{tiles.last()->pos + alongTile() - alongOverlap(), 1});
        recalcTileOrder();
    }
    for (int i = 1; i < tiles.Filled();) {
        if (tiles[std::uint16_t(i)].pos - tiles[std::uint16_t(i - 1)].pos < Coincident) {
            tiles.DeleteAt(std::uint16_t(i), 1);
            if (tileIndex >= i) --tileIndex;
            recalcTileOrder();
        } else {
            ++i;
        }
    }
    adjustTiles();
}

void TileTable::drawTile(CDC& dc, floatTMatrix& toDisplay, int line, int tile, CPen& solid,
                         CPen& dotted) {
    float x0, y0, w, h;
    TileLine& l = lineAt(line);
    float along = getTilePos(line, tile), across = l.pos;
    float alongLength = getTileLength(line, tile), acrossLength = getLineWidth(line);
    if (orderMode == 3) {
        x0 = across, y0 = along, w = acrossLength, h = alongLength;
    } else {
        x0 = along, y0 = across, w = alongLength, h = acrossLength;
    }
    auto pixel = [&](float x, float y) {
        toDisplay.Transform(x, y);
        return CPoint(x == x ? int(std::clamp(x, -1.0e9f, 1.0e9f)) : 0,
                      y == y ? int(std::clamp(y, -1.0e9f, 1.0e9f)) : 0);
    };
    CPoint lb = pixel(x0, y0), rb = pixel(x0 + w, y0), lt = pixel(x0, y0 + h),
           rt = pixel(x0 + w, y0 + h);

    float page = layout ? layout->getPageLength() : 0;
    if (page > 0 && h / page < 1000) {
        CPen* old = dc.SelectObject(&dotted);
        for (float y = std::ceil(y0 / page) * page; y < y0 + h; y += page) {
            if (y <= y0) continue;
            dc.MoveTo(pixel(x0, y));
            dc.LineTo(pixel(x0 + w, y));
        }
        dc.SelectObject(old);
    }

    CPen* old = dc.SelectObject(&solid);
    dc.MoveTo(lt);
    dc.LineTo(lb);
    dc.LineTo(rb);
    dc.SelectObject(&dotted);
    dc.LineTo(rt);
    dc.LineTo(lt);
    dc.SelectObject(old);

    const Tile& t = l.tiles[std::uint16_t(tile)];
    if (!t.isSelected()) {
        int rop = dc.SetROP2(R2_NOTXORPEN);
        CPoint corners[4] = {lb, rb, rt, lt};
        HGDIOBJ pen = dc.SelectObject(GetStockObject(NULL_PEN));
        dc.Polygon(corners, 4);
        dc.SelectObject(pen);
        dc.SetROP2(rop);
    } else {
        char text[16];
        std::snprintf(text, sizeof text, "%d", t.select);
        int left = std::min(lt.x, lb.x), top = std::min(lt.y, lb.y);
        int mode = dc.SetBkMode(TRANSPARENT);
        COLORREF colour = dc.SetTextColor(RGB(255, 255, 255));
        dc.TextOut(left + 3, top + 3, text, int(std::strlen(text)));
        dc.SetTextColor(RGB(0, 0, 0));
        dc.TextOut(left + 2, top + 2, text, int(std::strlen(text)));
        dc.SetTextColor(colour);
        dc.SetBkMode(mode);
    }
}

void TileTable::draw(CDC& dc, floatTMatrix& toDisplay, CRect&) {
    CPen solid(PS_SOLID, 3, RGB(0, 0, 0));
    CPen dotted(PS_DOT, 1, RGB(0, 0, 0));
    CBrush hatch(HS_DIAGCROSS, RGB(0, 0, 255));
    CPen* oldPen = dc.SelectObject(&solid);
    CBrush* oldBrush = dc.SelectObject(&hatch);
    for (int i = 0; i < lines.Filled(); ++i)
        for (int j = 0; j < getNoTilesIn(i); ++j)
            drawTile(dc, toDisplay, i, j, solid, dotted);
    dc.SelectObject(oldPen);
    dc.SelectObject(oldBrush);
}

void TileTable::MouseMove(MouseTracker& tracker) {
    if (!tracker.captured) {
        if (orderMode == 0) {
            tracker.cursor = SystemCursor(IDC_ARROW);
            return;
        }
        switch (findHandle(tracker.point)) {
        case 0:
            tracker.cursor = SystemCursor(IDC_SIZENS);
            break;
        case 1:
            tracker.cursor = SystemCursor(IDC_SIZEWE);
            break;
        case 2:
            tracker.cursor = SystemCursor(IDC_CROSS);
            break;
        default:
            tracker.cursor = SystemCursor(IDC_ARROW);
            break;
        }
        return;
    }
    if (dragMode == 1) {
        if (layout) layout->MouseMove(tracker);
        return;
    }
    if ((dragMode == 2 || dragMode == 3) && layout) {
        float dx = float(tracker.point.x - lastX), dy = float(tracker.point.y - lastY);
        layout->displayMatrix.Inv().dTransform(dx, dy);
        if (dragMode == 2)
            updateLinePositions(dx, dy);
        else
            updateCellPositions(dx, dy);
        if (tracker.hwnd) InvalidateRect(tracker.hwnd, nullptr, TRUE);
        lastX = tracker.point.x;
        lastY = tracker.point.y;
    }
}

void TileTable::LeftButtonDown(MouseTracker& tracker) {
    lastX = tracker.point.x;
    lastY = tracker.point.y;
    int hit = findHandle(tracker.point);
    if (hit == 0 || hit == 1) {
        if (orderMode == 0) return;
        bool horizontal = hit == 0;
        bool lineEdge = orderMode == 3 ? !horizontal : horizontal;
        dragMode = lineEdge ? 2 : 3;
    } else if (hit == 2) {
        Tile& tile = lines[std::uint16_t(lineIndex)].tiles[std::uint16_t(tileIndex)];
        tile.select = tile.isSelected() ? 0 : 1;
        recalcTileOrder();
        if (tracker.hwnd) InvalidateRect(tracker.hwnd, nullptr, TRUE);
    }
}

void TileTable::LeftButtonUp(MouseTracker& tracker) {
    tracker.cursor = dragMode == 1 ? HandCursor() : SystemCursor(IDC_ARROW);
    dragMode = 0;
}

void TileTable::RightButtonDown(MouseTracker& tracker) {
    if (dragMode != 0) return;
    dragMode = 1;
    if (layout) layout->RightButtonDown(tracker);
}

void TileTable::RightButtonUp(MouseTracker& tracker) {
    if (dragMode != 1) return;
    if (layout) layout->RightButtonUp(tracker);
    dragMode = 0;
}
