#pragma once
// A device context over a white raster for the drawing tests, read back as an image.

#include "mfc/CDC.h"
#include "win32/GdiTesting.h"

inline constexpr COLORREF White = RGB(255, 255, 255);
inline constexpr COLORREF Black = RGB(0, 0, 0);

// A CDC over a white 24-bit top-down DIB section.
struct Canvas {
    CDC dc;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
    Canvas(int w, int h) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = w;
        info.bmiHeader.biHeight = -h;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        dc.CreateCompatibleDC(nullptr);
        void* bits = nullptr;
        bitmap = CreateDIBSection(dc.m_hDC, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        old = ::SelectObject(dc.m_hDC, bitmap);
        RECT r{0, 0, w, h};
        FillRect(dc.m_hDC, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    ~Canvas() {
        ::SelectObject(dc.m_hDC, old);
        DeleteObject(bitmap);
    }
    SdGdiImage Read() const { return SdGdiReadDC(dc.m_hDC); }
};

inline int CountBlack(const SdGdiImage& img) {
    int n = 0;
    for (COLORREF p : img.pixels)
        n += p == Black;
    return n;
}
