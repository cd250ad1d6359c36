#pragma once
// The main frame's colour bar: the colour list as a grid of square cells, rows of
// columns + 1 cells (the last one cut by the grid's edge), scrolled by whole cells.

#include <vector>

#include <mfc/CControlBar.h>
#include <mfc/CRect.h>

class CPaletteBar : public CControlBar {
    DECLARE_DYNAMIC(CPaletteBar)
public:
    // Bar height: the grid of two 20-pixel rows and its 3-pixel margins.
    static constexpr int kBarHeight = 46;
    static constexpr int kMargin = 3;
    // Room left and right of the grid for the scroll buttons.
    static constexpr int kButtonRoom = 22;

    CPaletteBar() = default;
    ~CPaletteBar() override;

    BOOL Create(CWnd* pParentWnd, UINT nIDTemplate, UINT nStyle, UINT nID);
    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    void DoPaint(CDC* pDC) override;

    // Takes the list; dropped while PaletteLock is set.
    void SetColors(std::vector<COLORREF> list);
    void InsertColors(int index, int n);
    void RemoveColors(int index, int n);
    const std::vector<COLORREF>& Colors() const { return colors; }

    // The grid inside the bar, and the cell layout for a grid of that size.
    CRect GridRect() const;
    void LayoutGrid(const CRect& grid);
    int IndexAt(int x, int y) const;
    // The colour at the grid point, or -1 at the position after the last colour.
    COLORREF ColorAt(int x, int y) const;

    // The palette folder's "Default.wpl"; a failure says so and clears the list.
    void LoadDefaultPalette();
    void OnClearColors();

    static inline BOOL PaletteLock = FALSE;

    std::vector<COLORREF> colors;
    int firstVisible = 0;
    int rows = 2;
    int columns = 1;
    int pageSize = 1;
    int cellSize = 10;
    int selectedIndex = -1;
    // The colour of the drag in progress, and the colour under the last grid click; 0xFFFFFFFF
    // when none.
    COLORREF draggedColor = 0xFFFFFFFF;
    COLORREF lastPickedColor = 0xFFFFFFFF;

protected:
    void OnSize(UINT nType, int cx, int cy);
    DECLARE_MESSAGE_MAP()
};
