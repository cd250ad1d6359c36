#include "doc/CPaletteColors.h"

#include <mfc/CArchive.h>

const std::vector<COLORREF>& CPaletteColors::GetColors() const {
    if (m_read) m_colors = m_read();
    return m_colors;
}

void CPaletteColors::SetColors(const std::vector<COLORREF>& colors) {
    if (PaletteLock) return;
    m_colors = colors;
    if (m_write) m_write(m_colors);
}

void CPaletteColors::Bind(std::function<std::vector<COLORREF>()> read,
                          std::function<void(const std::vector<COLORREF>&)> write) {
    m_read = std::move(read);
    m_write = std::move(write);
}

void CPaletteColors::SerializeColors(CArchive& ar) {
    if (ar.IsStoring()) {
        const std::vector<COLORREF>& colors = GetColors();
        ar << DWORD(colors.size());
        for (COLORREF c : colors)
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
