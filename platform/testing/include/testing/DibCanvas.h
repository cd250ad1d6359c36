#pragma once
// A memory device context over a new DIB section, for tests that draw and read pixels back.

#include <vector>

#include "mfc/CDC.h"
#include "win32/GdiTesting.h"

class DibCanvas {
public:
    // The section as it comes (all bits zero); 24-bit top-down unless told otherwise.
    DibCanvas(int width, int height, int bitCount = 24, bool topDown = true,
              std::vector<RGBQUAD> colors = {});
    ~DibCanvas();
    DibCanvas(const DibCanvas&) = delete;
    DibCanvas& operator=(const DibCanvas&) = delete;

    // Fills the whole section with one colour.
    void Clear(COLORREF colour = RGB(255, 255, 255));
    SdGdiImage Read() const { return SdGdiReadDC(dc.m_hDC); }

    CDC dc;
    HBITMAP bitmap = nullptr;
    void* bits = nullptr;

private:
    HGDIOBJ old_ = nullptr;
};
