#pragma once
// Helpers of the drawing-layer tests: DIB sections in memory contexts and pixel checks.

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "testing/DibCanvas.h"
#include "win32/GdiTesting.h"
#include "win32/wingdi.h"

struct DibInfo {
    BITMAPINFOHEADER header{};
    RGBQUAD colors[256]{};
    const BITMAPINFO* info() const { return reinterpret_cast<const BITMAPINFO*>(this); }
};

inline DibInfo dibInfo(int width, int height, int bpp, std::vector<RGBQUAD> colors = {}) {
    DibInfo d;
    d.header.biSize = sizeof(BITMAPINFOHEADER);
    d.header.biWidth = width;
    d.header.biHeight = height;
    d.header.biPlanes = 1;
    d.header.biBitCount = WORD(bpp);
    d.header.biCompression = BI_RGB;
    d.header.biClrUsed = DWORD(colors.size());
    for (std::size_t i = 0; i < colors.size() && i < 256; ++i) d.colors[i] = colors[i];
    return d;
}

inline int countColor(const SdGdiImage& img, COLORREF c) {
    int n = 0;
    for (COLORREF p : img.pixels) n += p == c;
    return n;
}

// The image as text rows: '#' for the colour, '.' for anything else.
inline std::vector<std::string> mask(const SdGdiImage& img, COLORREF c) {
    std::vector<std::string> rows;
    for (int y = 0; y < img.height; ++y) {
        std::string r;
        for (int x = 0; x < img.width; ++x) r += img.at(x, y) == c ? '#' : '.';
        rows.push_back(r);
    }
    return rows;
}
