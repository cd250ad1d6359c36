#include "testing/DibCanvas.h"

#include <cstring>

DibCanvas::DibCanvas(int width, int height, int bitCount, bool topDown,
                     std::vector<RGBQUAD> colors) {
    // The header and up to 256 colours, laid out as a BITMAPINFO.
    std::vector<unsigned char> info(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
    BITMAPINFOHEADER header{};
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = width;
    header.biHeight = topDown ? -height : height;
    header.biPlanes = 1;
    header.biBitCount = WORD(bitCount);
    header.biCompression = BI_RGB;
    if (colors.size() > 256) colors.resize(256);
    header.biClrUsed = DWORD(colors.size());
    std::memcpy(info.data(), &header, sizeof header);
    if (!colors.empty())
        std::memcpy(info.data() + sizeof header, colors.data(), colors.size() * sizeof(RGBQUAD));
    dc.CreateCompatibleDC(nullptr);
    bitmap = CreateDIBSection(dc.m_hDC, reinterpret_cast<const BITMAPINFO*>(info.data()),
                              DIB_RGB_COLORS, &bits, nullptr, 0);
    old_ = ::SelectObject(dc.m_hDC, bitmap);
}

DibCanvas::~DibCanvas() {
    ::SelectObject(dc.m_hDC, old_);
    DeleteObject(bitmap);
    dc.DeleteDC();
}

void DibCanvas::Clear(COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    RECT all{0, 0, 1 << 20, 1 << 20};
    FillRect(dc.m_hDC, &all, brush);
    DeleteObject(brush);
}
