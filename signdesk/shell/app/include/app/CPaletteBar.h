#pragma once
// The main frame's colour bar (dialog 161): the colour list as a grid of square cells, rows
// of columns + 1 cells (the last one cut by the grid's edge), scrolled by whole cells; the
// current fill and outline colours and the outline width; drags within the grid, onto the
// sheet and from the colour editor; the palette files, clipboard palettes and the chart.

#include <memory>
#include <vector>

#include <mfc/CDialogBar.h>
#include <mfc/CRect.h>
#include <shell/CDragButton.h>
#include <shell/CFilterEdit.h>
#include <shell/CMouseEventButton.h>

class CColourEditor;
class CPaletteEditorDialog;

// The grid item: a drag source whose tool tips ask the bar for their text.
class CPaletteGrid : public CDragButton {
protected:
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};

class CPaletteBar : public CDialogBar {
    DECLARE_DYNAMIC(CPaletteBar)
public:
    // Margin of the grid and the buttons inside the bar.
    static constexpr int kMargin = 3;
    // Timers: the tooltip's delay and the scroll buttons' repeat.
    static constexpr UINT_PTR kTipTimer = 1;
    static constexpr UINT_PTR kRepeatTimer = 2;

    CPaletteBar();
    ~CPaletteBar() override;

    BOOL Create(CWnd* pParentWnd, UINT nIDTemplate, UINT nStyle, UINT nID) override;
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

    // Takes the list; dropped while PaletteLock is set.
    void SetColors(std::vector<COLORREF> list);
    void InsertColors(int index, int n);
    void RemoveColors(int index, int n);
    const std::vector<COLORREF>& Colors() const { return colors; }

    // Cell size, columns and page for a grid of that size; without one, the grid item's.
    void LayoutGrid(const CRect& area);
    void LayoutGrid();
    // Grid client coordinates; clamped to 0..count (count: after the last colour).
    int IndexAt(int x, int y) const;
    // The colour at the grid point, or -1 at the position after the last colour.
    COLORREF ColorAt(int x, int y) const;

    // The palette folder's "Default.wpl"; a failure says so and clears the list.
    void LoadDefaultPalette();
    void OnClearColors();
    // Prints the colours as a chart of 25 x 16 mm cells on the chosen printer.
    void PrintPalette();
    // The palette from a CF_PALETTE on the clipboard.
    void OnPastePalette();

    CColourEditor* GetColourEditor() const { return colourEditor.get(); }
    CPaletteEditorDialog* GetPaletteEditor() const { return paletteEditor.get(); }
    // The cells' tool tips (CBRS_TOOLTIPS): each names the colour under the pointer.
    HWND GetToolTipWindow() const { return tipWnd; }
    // The text of the cell slot's tip (row r, column c: slot r * (columns + 1) + c).
    CString CellTipText(int slot) const;

    static inline BOOL PaletteLock = FALSE;

    std::vector<COLORREF> colors;
    int firstVisible = 0;
    int rows = 2;
    int columns = 1;
    int pageSize = 1;
    int tooltipIndex = -1;
    int cellSize = 10;
    CPaletteGrid grid;
    CDragButton noColor;
    CFilterEdit widthField;
    CMouseEventButton backOne, backPage, forwardOne, forwardPage;
    UINT repeatButton = 0;
    // The colour of the drag in progress, and the colour under the last grid click; 0xFFFFFFFF
    // when none.
    COLORREF draggedColor = 0xFFFFFFFF;
    COLORREF lastPickedColor = 0xFFFFFFFF;
    int selectedIndex = -1;
    // Which of the two colours the last pick set.
    BYTE outlineChanged = 0;
    BYTE fillChanged = 0;

protected:
    void OnSize(UINT nType, int cx, int cy);
    void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct);
    void OnDestroy();
    void OnTimer(UINT_PTR nIDEvent);
    void OnGridClick();
    void OnNoColor();
    void OnScroll(UINT nID);
    void OnWidthEntered();
    void OnRowsSpin(NMHDR* pNotify, LRESULT* pResult);
    void OnColorMode(UINT nID);
    void OnShowColourEditor();
    void OnOpenPalette();
    void OnSavePalette();
    void OnImportCmyk();
    void OnOptionsMenu();
    void OnNameColor();
    void OnShowPaletteEditor();
    LRESULT OnCtrlDragOver(WPARAM wParam, LPARAM lParam);
    LRESULT OnCtrlDrop(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    void DrawGrid(CDC* dc, const CRect& area);
    void RedrawGrid();
    void RedrawSwatch();
    void PostToFrame(UINT command);
    // The pointer's position in grid client coordinates and whether it is on the grid or
    // inside the bar.
    CPoint CursorInGrid(bool* onGrid, bool* inBar) const;
    void ScrollStep(UINT nID);
    void ApplyEditorColour();
    void RefreshPaletteEditor();
    // One tool per cell of the grid, made again after each layout.
    void SyncCellTips();
    HWND tipWnd = nullptr;
    int tipCells = 0;

    std::unique_ptr<CColourEditor> colourEditor;
    std::unique_ptr<CPaletteEditorDialog> paletteEditor;
    // The colour editor's model the commands chose (0 RGB, 1 CMY, 2 HLS).
    int editorModel = 2;
};
