#pragma once
// The page of the application's default printer, in millimetres.

#include <cstdint>

// The printable area, the paper, the printing offset, the set-up's orientation (1 portrait
// when it names none) and paper size (9, A4, when it names none). -1, outputs untouched,
// without a default printer set-up. When no context can be made for the printer the six
// measures of the last call that made one are given (0 before any).
int GetDefaultPrinterPage(float& printableWidth, float& printableHeight, float& paperWidth,
                          float& paperHeight, float& offsetX, float& offsetY,
                          std::uint8_t& orientation, std::uint16_t& paperSize);

// The default sheet: the paper's height as width and its width as height; without a printer
// 500 x 250 and -1.
int GetDefaultPaperSize(float& width, float& height);
