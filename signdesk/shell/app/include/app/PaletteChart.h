#pragma once
// The palette chart: the colours printed in cells of 25 x 16 mm, each a 21 x 8 mm swatch
// with its name and its RGB values below, as many cells as the printable area holds.

#include <win32/base.h>

struct PaletteChartLayout {
    static constexpr float kCellWidth = 25.0f;
    static constexpr float kCellHeight = 16.0f;
    int columns = 0;
    int rows = 0;
    float gapX = 0, gapY = 0;
    // The chart's top-left corner on the paper, in mm.
    float left = 0, top = 0;

    // Cells spread evenly over the printable area, the chart centred on the paper but kept
    // inside the printable area. FALSE (nothing set) when not one cell fits.
    bool Compute(float printableWidth, float printableHeight, float paperWidth, float paperHeight,
                 float offsetX, float offsetY);
};

// The four transfer tables (cyan, magenta, yellow, black) of printed colours; identity
// while null.
struct PaletteChartCorrection {
    static inline const BYTE* tables[4] = {nullptr, nullptr, nullptr, nullptr};
};

// The colour after the tables: through CMYK with the grey part as black.
COLORREF CorrectPrintColor(COLORREF colour);
