#pragma once
// The growable arrays of the tile layout: the tiles of one line, and the lines.
#include <pathkit/DynArr.h>

// One tile along its line: where it starts (mm) and its print number (0 = not selected).
struct TileEntry {
    float start;
    int number;
};

class TileDynArr : public EDynArr<TileEntry> {
public:
    TileDynArr() : EDynArr<TileEntry>(4) {}
    TileDynArr(const TileDynArr& other) : EDynArr<TileEntry>(4) { *this += other; }
    TileDynArr& operator=(const TileDynArr& other) {
        if (this != &other) {
            Reset();
            *this += other;
        }
        return *this;
    }
};

// One line of tiles (a row, or a column in column mode) and where it starts across the lines.
struct TileLine {
    TileDynArr tiles;
    float start = 0;
};

class TileLineDynArr : public EClassDynArr<TileLine> {
public:
    static constexpr std::uint16_t MaxLines = 65534;
    TileLineDynArr() : EClassDynArr<TileLine>(4, MaxLines) {}
};
