#pragma once
// A device context over a white raster for the drawing tests, read back as an image.

#include "testing/DibCanvas.h"

inline constexpr COLORREF White = RGB(255, 255, 255);
inline constexpr COLORREF Black = RGB(0, 0, 0);

// A CDC over a white 24-bit top-down DIB section.
struct Canvas : DibCanvas {
    Canvas(int w, int h) : DibCanvas(w, h) { Clear(); }
};

inline int CountBlack(const SdGdiImage& img) {
    int n = 0;
    for (COLORREF p : img.pixels)
        n += p == Black;
    return n;
}
