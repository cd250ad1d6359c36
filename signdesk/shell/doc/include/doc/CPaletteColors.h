#pragma once
// The colour list of the palette bar, as a design stores it: a u32 count, then red, green,
// blue and a 0 byte per colour.

#include <functional>
#include <vector>

#include <win32/base.h>

class CArchive;

class CPaletteColors {
public:
    // While set, offered lists are dropped: the palette keeps its colours.
    static inline BOOL PaletteLock = FALSE;

    // The bound owner's colours when one is bound, else the list's own.
    const std::vector<COLORREF>& GetColors() const;
    // Dropped while PaletteLock is set; otherwise the list, and the bound owner, take them.
    void SetColors(const std::vector<COLORREF>& colors);
    // The palette bar owns the program's list: a design stores the bar's colours and a loaded
    // design hands its colours to the bar. Unbind with two empty functions.
    void Bind(std::function<std::vector<COLORREF>()> read,
              std::function<void(const std::vector<COLORREF>&)> write);
    // Loading: a count below 1 gives an empty list; a count larger than the bytes left
    // raises the archive's end-of-file error before anything is allocated.
    void SerializeColors(CArchive& ar);

private:
    mutable std::vector<COLORREF> m_colors;
    std::function<std::vector<COLORREF>()> m_read;
    std::function<void(const std::vector<COLORREF>&)> m_write;
};
