#include "output/CTileLayout.h"

#include <algorithm>
#include <cmath>
#include <limits>

CTileLayout::CTileLayout(CPrintEngine* e) : engine(e) {}

void CTileLayout::SetTileSize(float width, float height) {
    float m = marksFlag ? markMargin : 0.0f;
    if (mode == 0) {
        tileWidth = width - 2 * m;
        tileHeight = height - 2 * m;
        return;
    }
    if (tileWidth + 2 * m <= 0 || tileWidth + 2 * m > width) tileWidth = width - 2 * m;
    if (tileHeight + 2 * m <= 0 || tileHeight + 2 * m > height) tileHeight = height - 2 * m;
}

namespace {
// How many steps of `step` overlapping by `overlap` cover `extent`; at least 1. Counts past
// what the arrays hold come back as `limit + 1`.
long CoverCount(float extent, float overlap, float step, long limit) {
    double n = std::ceil((double(extent) - overlap) / step);
    if (!(n >= 1)) return 1;
    if (n > double(limit)) return limit + 1;
    return long(n);
}
} // namespace

void CTileLayout::BuildTiles(float cellWidth, float cellHeight, float availableWidth,
                             float availableHeight, float x, float y, int force) {
    tooManyTiles = false;
    float sx = StepX();
    float sy = StepY();
    bool fits = cellWidth <= availableWidth && cellHeight <= availableHeight;
    // A tile no wider than its overlap cannot step on; such a grid is never built.
    if (fits || !(sx > 0) || !(sy > 0)) {
        tileColumns = tileRows = 1;
        lines.Reset();
        Renumber();
        return;
    }
    float wt = cellWidth + x;
    float ht = cellHeight + y;
    long columns = CoverCount(wt, overlapX, sx, TileLineDynArr::MaxLines);
    long rows = CoverCount(ht, overlapY, sy, TileLineDynArr::MaxLines);
    if (columns * rows > long(TileLineDynArr::MaxLines)) {
        // Refused by the print and cut actions; nothing is laid out.
        tooManyTiles = true;
        tileColumns = int(columns);
        tileRows = int(rows);
        lines.Reset();
        Renumber();
        return;
    }
    totalWidth = float(columns) * sx + overlapX;
    totalHeight = float(rows) * sy + overlapY;
    if (!force && columns == tileColumns && rows == tileRows && lines.Filled() > 0) return;
    tileColumns = int(columns);
    tileRows = int(rows);
    lines.Reset();
    long lineCount = ColumnMode() ? columns : rows;
    long perLine = ColumnMode() ? rows : columns;
    float lineStep = ColumnMode() ? sx : sy;
    float tileStep = ColumnMode() ? sy : sx;
    for (long i = 0; i < lineCount; ++i) {
        TileLine* line = lines.Append();
        line->start = float(i) * lineStep;
        for (long j = 0; j < perLine; ++j)
            line->tiles.Append(TileEntry{float(j) * tileStep, 1});
    }
    Renumber();
}

void CTileLayout::Renumber() {
    int next = 0;
    int count = 0;
    for (TileLine& line : lines) {
        for (TileEntry& tile : line.tiles) {
            ++count;
            tile.number = tile.number ? ++next : 0;
        }
    }
    tileCount = count;
    selectedCount = next;
}

void CTileLayout::SetSelection(int kind) {
    for (TileLine& line : lines)
        for (TileEntry& tile : line.tiles)
            tile.number = kind == 0 ? 0 : kind == 1 ? 1 : (tile.number ? 0 : 1);
    Renumber();
}

bool CTileLayout::SelectOnly(float x, float y) {
    float across = ColumnMode() ? x : y;
    float along = ColumnMode() ? y : x;
    int found = -1;
    int foundTile = -1;
    for (int i = 0; i < lines.Filled(); ++i) {
        if (across < GetLinePosition(i) || across >= GetLinePosition(i + 1)) continue;
        for (int j = 0; j < lines[std::uint16_t(i)].tiles.Filled(); ++j) {
            if (along >= GetTilePosition(i, j) && along < GetTilePosition(i, j + 1)) {
                found = i;
                foundTile = j;
            }
        }
    }
    if (found < 0) return false;
    SetSelection(0);
    lines[std::uint16_t(found)].tiles[std::uint16_t(foundTile)].number = 1;
    Renumber();
    return true;
}

float CTileLayout::GetLinePosition(int i) const {
    if (i < 0) return 0;
    if (i < lines.Filled()) return lines[std::uint16_t(i)].start;
    return ColumnMode() ? totalWidth : totalHeight;
}

float CTileLayout::GetTilePosition(int line, int j) const {
    if (j < 0) return 0;
    if (line >= 0 && line < lines.Filled() && j < lines[std::uint16_t(line)].tiles.Filled())
        return lines[std::uint16_t(line)].tiles[std::uint16_t(j)].start;
    return ColumnMode() ? totalHeight : totalWidth;
}

float CTileLayout::GetLineExtent(int i) const {
    if (i < 0 || i >= lines.Filled()) return 0;
    if (i == lines.Filled() - 1) return GetLinePosition(lines.Filled()) - GetLinePosition(i);
    return GetLinePosition(i + 1) - GetLinePosition(i) + (ColumnMode() ? overlapX : overlapY);
}

float CTileLayout::GetTileExtent(int line, int j) const {
    if (line < 0 || line >= lines.Filled()) return 0;
    int n = lines[std::uint16_t(line)].tiles.Filled();
    if (j < 0 || j >= n) return 0;
    if (j == n - 1) return GetTilePosition(line, n) - GetTilePosition(line, j);
    return GetTilePosition(line, j + 1) - GetTilePosition(line, j) +
           (ColumnMode() ? overlapY : overlapX);
}

void CTileLayout::GetTileGeometry(int number, int& column, int& row, float& x, float& y,
                                  float& width, float& height) const {
    column = row = -1;
    x = y = width = height = 0;
    if (number <= 0) return;
    for (int i = 0; i < lines.Filled(); ++i) {
        const TileLine& line = lines[std::uint16_t(i)];
        for (int j = 0; j < line.tiles.Filled(); ++j) {
            if (line.tiles[std::uint16_t(j)].number != number) continue;
            float along = line.tiles[std::uint16_t(j)].start;
            float alongExtent = GetTileExtent(i, j);
            float lineExtent = GetLineExtent(i);
            if (ColumnMode()) {
                column = i;
                row = j;
                x = line.start;
                y = along;
                width = lineExtent;
                height = alongExtent;
            } else {
                column = j;
                row = i;
                x = along;
                y = line.start;
                width = alongExtent;
                height = lineExtent;
            }
            return;
        }
    }
}

int CTileLayout::DragBorder(bool lineBorder, int line, int index, float delta) {
    const bool columns = ColumnMode();
    // Sizes in the direction of the drag.
    const bool alongX = lineBorder ? columns : !columns;
    const float t = alongX ? tileWidth : tileHeight;
    const float o = alongX ? overlapX : overlapY;
    const float extent = alongX ? totalWidth : totalHeight;
    if (lineBorder) {
        if (index < 0 || index >= lines.Filled()) return index;
    } else if (line < 0 || line >= lines.Filled() || index < 0 ||
               index >= lines[std::uint16_t(line)].tiles.Filled()) {
        return index;
    }
    auto count = [&]() -> int {
        return lineBorder ? lines.Filled() : lines[std::uint16_t(line)].tiles.Filled();
    };
    auto start = [&](int i) -> float& {
        return lineBorder ? lines[std::uint16_t(i)].start
                          : lines[std::uint16_t(line)].tiles[std::uint16_t(i)].start;
    };
    auto position = [&](int i) {
        return lineBorder ? GetLinePosition(i) : GetTilePosition(line, i);
    };
    auto insert = [&](int at, float where) {
        if (lineBorder) {
            // A new line has the tiles of its neighbour, every one selected.
            TileLine fresh;
            fresh.tiles = lines[std::uint16_t(at < lines.Filled() ? at : at - 1)].tiles;
            for (TileEntry& e : fresh.tiles)
                e.number = 1;
            fresh.start = where;
            lines.InsertAt(std::uint16_t(at), &fresh, 1);
        } else {
            TileEntry e{where, 1};
            lines[std::uint16_t(line)].tiles.InsertAt(std::uint16_t(at), &e, 1);
        }
    };
    auto remove = [&](int at) {
        if (lineBorder)
            lines.DeleteAt(std::uint16_t(at), 1);
        else
            lines[std::uint16_t(line)].tiles.DeleteAt(std::uint16_t(at), 1);
    };

    float lo = index > 0 ? position(index - 1) : 0.0f;
    float hi = position(index + 1);
    start(index) = std::max(0.0f, std::clamp(start(index) + delta, lo, std::max(lo, hi)));
    for (int k = index + 1; k < count(); ++k)
        start(k) = std::min(start(k), start(k - 1) + t - o);
    for (int k = index - 1; k >= 0; --k)
        start(k) = std::max(start(k), start(k + 1) - t + o);
    if (start(0) != 0) {
        insert(0, 0);
        ++index;
    }
    if (extent - start(count() - 1) > t && count() < TileLineDynArr::MaxLines)
        insert(count(), start(count() - 1) + t - o);
    for (int k = 1; k < count();) {
        if (std::fabs(start(k) - start(k - 1)) <= 0.0001f) {
            remove(k);
            if (index >= k) --index;
        } else {
            ++k;
        }
    }
    Renumber();
    if (mode == 1 && !lineBorder) {
        // Equal rows: every row takes the dragged row's tiles.
        const TileDynArr model = lines[std::uint16_t(line)].tiles;
        for (int i = 0; i < lines.Filled(); ++i) {
            if (i == line) continue;
            TileDynArr& row = lines[std::uint16_t(i)].tiles;
            while (row.Filled() > model.Filled())
                row.DeleteAt(std::uint16_t(row.Filled() - 1), 1);
            while (row.Filled() < model.Filled())
                row.Append(TileEntry{0, 1});
            for (int j = 0; j < row.Filled(); ++j)
                row[std::uint16_t(j)].start = model[std::uint16_t(j)].start;
        }
        Renumber();
    }
    return index;
}

void CTileLayout::HitTestBorder(float x, float y, float tolerance) {
    const bool columns = ColumnMode();
    float across = columns ? x : y;
    float along = columns ? y : x;
    hitLine = hitTile = -1;
    int inLine = -1;
    for (int i = 0; i < lines.Filled(); ++i) {
        float s = GetLinePosition(i);
        if (i > 0 && std::fabs(across - s) <= tolerance) hitLine = i;
        if (across >= s && across < GetLinePosition(i + 1)) inLine = i;
    }
    if (inLine < 0) return;
    const TileLine& line = lines[std::uint16_t(inLine)];
    for (int j = 1; j < line.tiles.Filled(); ++j)
        if (std::fabs(along - line.tiles[std::uint16_t(j)].start) <= tolerance) hitTile = j;
    if (hitTile >= 0 && hitLine < 0) hitLine = inLine;
}
