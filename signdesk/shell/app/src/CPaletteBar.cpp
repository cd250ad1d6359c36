#include "app/CPaletteBar.h"

#include <algorithm>

#include <mfc/CDC.h>
#include <mfc/CGdiObject.h>
#include <mfc/CString.h>
#include <mfc/CWinApp.h>
#include <settings/ProgramFolders.h>

#include "app/AppIds.h"
#include "app/PaletteFiles.h"

IMPLEMENT_DYNAMIC(CPaletteBar, CControlBar)

BEGIN_MESSAGE_MAP(CPaletteBar, CControlBar)
ON_WM_SIZE()
ON_COMMAND(ID_LOAD_DEFAULT_PALETTE, LoadDefaultPalette)
ON_COMMAND(ID_CLEAR_COLORS, OnClearColors)
END_MESSAGE_MAP()

CPaletteBar::~CPaletteBar() = default;

BOOL CPaletteBar::Create(CWnd* pParentWnd, UINT, UINT nStyle, UINT nID) {
    if (!CreateBar(nullptr, WS_CHILD | WS_VISIBLE | nStyle, pParentWnd, nID)) return FALSE;
    LoadDefaultPalette();
    return TRUE;
}

CSize CPaletteBar::CalcFixedLayout(BOOL, BOOL) {
    return CSize(32767, kBarHeight);
}

CRect CPaletteBar::GridRect() const {
    CRect client;
    GetClientRect(&client);
    return CRect(kButtonRoom, kMargin, std::max(int(kButtonRoom), int(client.right) - kButtonRoom),
                 std::max(int(kMargin), int(client.bottom) - kMargin));
}

void CPaletteBar::LayoutGrid(const CRect& grid) {
    if (rows > 0) cellSize = grid.Height() / rows;
    if (cellSize > 0) columns = grid.Width() / cellSize;
    pageSize = columns * rows;
    firstVisible = std::min(firstVisible, std::max(int(colors.size()) - pageSize, 0));
}

int CPaletteBar::IndexAt(int x, int y) const {
    if (cellSize <= 0) return 0;
    const int index = (columns + 1) * (y / cellSize) + firstVisible + x / cellSize;
    return std::clamp(index, 0, int(colors.size()));
}

COLORREF CPaletteBar::ColorAt(int x, int y) const {
    const int index = IndexAt(x, y);
    return index < int(colors.size()) ? colors[size_t(index)] : COLORREF(-1);
}

void CPaletteBar::SetColors(std::vector<COLORREF> list) {
    if (PaletteLock) return;
    colors = std::move(list);
    firstVisible = 0;
    if (m_hWnd != nullptr) Invalidate();
}

void CPaletteBar::InsertColors(int index, int n) {
    if (index < 0 || index > int(colors.size()) || n < 0) return;
    std::vector<COLORREF> list = colors;
    list.insert(list.begin() + index, size_t(n), COLORREF(0));
    SetColors(std::move(list));
}

void CPaletteBar::RemoveColors(int index, int n) {
    if (index < 0 || n < 0 || index + n > int(colors.size())) return;
    std::vector<COLORREF> list = colors;
    list.erase(list.begin() + index, list.begin() + index + n);
    SetColors(std::move(list));
}

void CPaletteBar::LoadDefaultPalette() {
    CString folder;
    folder.LoadString(IDS_PALETTE_FOLDER);
    EnsureDefaultFolder(folder);
    const CString path = GetDataFilePath(folder + "/Default.wpl");
    std::vector<COLORREF> list;
    if (LoadPaletteFile(path)) list = ParsePaletteEntries();
    if (list.empty()) {
        AfxMessageBox(IDS_DEFAULT_PALETTE_FAILED);
        OnClearColors();
        return;
    }
    SetColors(std::move(list));
}

void CPaletteBar::OnClearColors() {
    if (colors.empty()) return;
    colors.clear();
    firstVisible = 0;
    if (m_hWnd != nullptr) Invalidate();
}

void CPaletteBar::OnSize(UINT, int, int) {
    LayoutGrid(GridRect());
    Invalidate();
}

void CPaletteBar::DoPaint(CDC* pDC) {
    const CRect grid = GridRect();
    if (grid.Width() <= cellSize + 1) return;
    LayoutGrid(grid);
    pDC->FillSolidRect(&grid, ::GetSysColor(COLOR_BTNFACE));
    CPen black(PS_SOLID, 1, RGB(0, 0, 0));
    CPen* oldPen = pDC->SelectObject(&black);
    const int count = int(colors.size());
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c <= columns; ++c) {
            const int index = firstVisible + r * (columns + 1) + c;
            if (index >= count) break;
            const int left = grid.left + c * cellSize;
            const int top = grid.top + r * cellSize;
            const int right = std::min(left + cellSize, int(grid.right));
            const int bottom = top + cellSize;
            if (left >= grid.right) break;
            pDC->FillSolidRect(left, top, right - left, cellSize, colors[size_t(index)]);
            pDC->MoveTo(right - 1, top - 1);
            pDC->LineTo(right - 1, bottom - 1);
            pDC->LineTo(left - 1, bottom - 1);
        }
    }
    pDC->SelectObject(oldPen);
}
