#pragma once
// The colour list of the palette bar, as a design stores it: a u32 count, then red, green,
// blue and a 0 byte per colour.

#include <vector>

#include <win32/base.h>

class CArchive;

class CPaletteColors {
public:
    // While set, offered lists are dropped: the palette keeps its colours.
    static inline BOOL PaletteLock = FALSE;

    const std::vector<COLORREF>& GetColors() const { return m_colors; }
    void SetColors(const std::vector<COLORREF>& colors);
    // Loading: a count below 1 gives an empty list; a count larger than the bytes left
    // raises the archive's end-of-file error before anything is allocated.
    void SerializeColors(CArchive& ar);

private:
    std::vector<COLORREF> m_colors;
};
