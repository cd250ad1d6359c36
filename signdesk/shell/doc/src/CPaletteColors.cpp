#include "doc/CPaletteColors.h"

#include <mfc/CArchive.h>

void CPaletteColors::SetColors(const std::vector<COLORREF>& colors) {
    if (PaletteLock) return;
    m_colors = colors;
}

void CPaletteColors::SerializeColors(CArchive& ar) {
    if (ar.IsStoring()) {
        ar << DWORD(m_colors.size());
        for (COLORREF c : m_colors)
            ar << BYTE(c & 0xFF) << BYTE((c >> 8) & 0xFF) << BYTE((c >> 16) & 0xFF) << BYTE(0);
        return;
    }
    LONG count = 0;
    ar >> count;
    std::vector<COLORREF> colors;
    if (count > 0) {
        ar.RequireBytes(std::uint64_t(count) * 4);
        colors.reserve(std::size_t(count));
        for (LONG i = 0; i < count; ++i) {
            BYTE r, g, b, zero;
            ar >> r >> g >> b >> zero;
            colors.push_back(RGB(r, g, b));
        }
    }
    SetColors(colors);
}
