#include "app/CPaletteBar.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include <doc/CColourEditor.h>
#include <mfc/CDC.h>
#include <mfc/CFileDialog.h>
#include <mfc/CGdiObject.h>
#include <mfc/CMenu.h>
#include <mfc/CString.h>
#include <mfc/CWinApp.h>
#include <settings/ProgramFolders.h>
#include <sheet/SheetIds.h>
#include <shell/MeasureFields.h>
#include <shell/PrivateMessages.h>
#include <win32/clipboard.h>
#include <win32/controls.h>
#include <win32/userdraw.h>

#include "app/AppIds.h"
#include "app/AppSettings.h"
#include "app/CPaletteEditorDialog.h"
#include "app/CPaletteNameDialog.h"
#include "app/PaletteFiles.h"

IMPLEMENT_DYNAMIC(CPaletteBar, CDialogBar)

BEGIN_MESSAGE_MAP(CPaletteBar, CDialogBar)
ON_WM_SIZE()
ON_WM_DRAWITEM()
ON_WM_DESTROY()
ON_WM_TIMER()
ON_COMMAND(IDC_PAL_GRID, OnGridClick)
ON_COMMAND(IDC_PAL_NOCOLOR, OnNoColor)
ON_COMMAND_RANGE(IDC_PAL_BACK, IDC_PAL_FORWARD, OnScroll)
ON_COMMAND_RANGE(IDC_PAL_BACK_PAGE, IDC_PAL_FORWARD_PAGE, OnScroll)
ON_COMMAND(IDC_PAL_WIDTH, OnWidthEntered)
ON_NOTIFY(UDN_DELTAPOS, IDC_PAL_ROWS, OnRowsSpin)
ON_MESSAGE(WM_CTRLDRAGOVER, OnCtrlDragOver)
ON_MESSAGE(WM_CTRLDROP, OnCtrlDrop)
ON_COMMAND_RANGE(ID_COLOR_RGB, ID_COLOR_RGB, OnColorMode)
ON_COMMAND_RANGE(ID_COLOR_CMYK, ID_COLOR_CMYK, OnColorMode)
ON_COMMAND_RANGE(ID_COLOR_HLS, ID_COLOR_HLS, OnColorMode)
ON_COMMAND(ID_SHOW_COLOUR_EDITOR, OnShowColourEditor)
ON_COMMAND(ID_OPEN_PALETTE, OnOpenPalette)
ON_COMMAND(ID_SAVE_PALETTE, OnSavePalette)
ON_COMMAND(ID_IMPORT_CMYK, OnImportCmyk)
ON_COMMAND(ID_LOAD_DEFAULT_PALETTE, LoadDefaultPalette)
ON_COMMAND(ID_PRINT_PALETTE, PrintPalette)
ON_COMMAND(ID_PASTE_PALETTE, OnPastePalette)
ON_COMMAND(ID_CLEAR_COLORS, OnClearColors)
ON_COMMAND(IDC_PAL_OPTIONS, OnOptionsMenu)
ON_COMMAND(ID_NAME_COLOR, OnNameColor)
ON_COMMAND(ID_PALETTE_EDITOR, OnShowPaletteEditor)
END_MESSAGE_MAP()

CPaletteBar::CPaletteBar() = default;
CPaletteBar::~CPaletteBar() = default;

BOOL CPaletteBar::Create(CWnd* pParentWnd, UINT nIDTemplate, UINT nStyle, UINT nID) {
    if (!CDialogBar::Create(pParentWnd, nIDTemplate, nStyle | WS_VISIBLE, nID)) return FALSE;
    if (!grid.SubclassDlgItem(IDC_PAL_GRID, this) ||
        !noColor.SubclassDlgItem(IDC_PAL_NOCOLOR, this) ||
        !widthField.SubclassDlgItem(IDC_PAL_WIDTH, this) ||
        !backOne.SubclassDlgItem(IDC_PAL_BACK, this) ||
        !backPage.SubclassDlgItem(IDC_PAL_BACK_PAGE, this) ||
        !forwardOne.SubclassDlgItem(IDC_PAL_FORWARD, this) ||
        !forwardPage.SubclassDlgItem(IDC_PAL_FORWARD_PAGE, this)) {
        DestroyWindow();
        return FALSE;
    }
    SetWindowMeasure(&widthField, Settings().DefaultWidth);
    CRect client;
    GetClientRect(&client);
    OnSize(0, client.Width(), client.Height());
    LoadDefaultPalette();
    return TRUE;
}

BOOL CPaletteBar::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
    if (nCode == CN_COMMAND && pHandlerInfo == nullptr && m_hWnd != nullptr) {
        if (nID == ID_UNIT_CHANGED) {
            // Shown again in the new unit; the command goes on to the others.
            SetWindowMeasure(&widthField, Settings().DefaultWidth);
            return FALSE;
        }
        if (nID == ID_COLOUR_EDITOR_TAKE) {
            ApplyEditorColour();
            return TRUE;
        }
    }
    return CDialogBar::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

void CPaletteBar::OnDestroy() {
    if (colourEditor && colourEditor->m_hWnd != nullptr) colourEditor->DestroyWindow();
    if (paletteEditor && paletteEditor->m_hWnd != nullptr) paletteEditor->DestroyWindow();
    if (tipWnd != nullptr && ::IsWindow(tipWnd)) ::DestroyWindow(tipWnd);
    tipWnd = nullptr;
    tipCells = 0;
    KillTimer(kTipTimer);
    KillTimer(kRepeatTimer);
    CDialogBar::OnDestroy();
}

// ---- the list ----

void CPaletteBar::SetColors(std::vector<COLORREF> list) {
    if (PaletteLock) return;
    colors = std::move(list);
    firstVisible = 0;
    RedrawGrid();
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

void CPaletteBar::OnClearColors() {
    if (colors.empty()) return;
    colors.clear();
    firstVisible = 0;
    RedrawGrid();
    RefreshPaletteEditor();
}

void CPaletteBar::RefreshPaletteEditor() {
    if (paletteEditor && paletteEditor->m_hWnd != nullptr) paletteEditor->Refresh();
}

// ---- layout ----

void CPaletteBar::OnSize(UINT, int cx, int cy) {
    if (cx == 0 || cy == 0 || grid.m_hWnd == nullptr || backOne.m_hWnd == nullptr ||
        backPage.m_hWnd == nullptr || forwardOne.m_hWnd == nullptr || forwardPage.m_hWnd == nullptr)
        return;
    auto rectOf = [this](CWnd& w) {
        CRect r;
        w.GetWindowRect(&r);
        ScreenToClient(&r);
        return r;
    };
    CRect fwd = rectOf(forwardOne), fwdPage = rectOf(forwardPage);
    CRect back = rectOf(backOne), backPg = rectOf(backPage);
    const int bw = fwd.Width(), bh = fwd.Height(), ph = fwdPage.Height();
    fwd = CRect(cx - 2 - bw, kMargin, cx - 2, kMargin + bh);
    fwdPage = CRect(fwd.left, fwd.bottom, fwd.right, fwd.bottom + ph);
    back = CRect(back.left, fwd.top, back.left + back.Width(), fwd.bottom);
    backPg = CRect(back.left, fwdPage.top, back.left + backPg.Width(), fwdPage.bottom);
    const CRect area(back.right + 2, kMargin, fwd.left - 2, cy - kMargin);
    const bool room = area.Width() > cellSize + 1;
    const int show = room ? SW_SHOWNOACTIVATE : SW_HIDE;
    for (auto [wnd, r] : {std::pair{&forwardOne, fwd}, std::pair{&forwardPage, fwdPage},
                          std::pair{&backOne, back}, std::pair{&backPage, backPg},
                          std::pair{static_cast<CMouseEventButton*>(nullptr), area}}) {
        CWnd* w = wnd != nullptr ? static_cast<CWnd*>(wnd) : &grid;
        if (room) w->MoveWindow(&r, FALSE);
        w->ShowWindow(show);
    }
    LayoutGrid(area);
    Invalidate();
}

void CPaletteBar::LayoutGrid() {
    CRect r;
    if (grid.m_hWnd != nullptr) grid.GetClientRect(&r);
    LayoutGrid(r);
}

void CPaletteBar::LayoutGrid(const CRect& r) {
    if (rows > 0) cellSize = r.Height() / rows;
    if (cellSize > 0) columns = r.Width() / cellSize;
    pageSize = columns * rows;
    firstVisible = std::min(firstVisible, std::max(int(colors.size()) - pageSize, 0));
    SyncCellTips();
}

void CPaletteBar::SyncCellTips() {
    if (grid.m_hWnd == nullptr || !(m_dwStyle & CBRS_TOOLTIPS)) return;
    if (tipWnd == nullptr) {
        tipWnd = ::CreateWindowExA(0, TOOLTIPS_CLASSA, "", WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0,
                                   m_hWnd, nullptr, nullptr, nullptr);
        if (tipWnd == nullptr) return;
        ::SendMessageA(tipWnd, TTM_SETDELAYTIME, TTDT_INITIAL, 300);
    }
    for (int i = 0; i < tipCells; ++i) {
        TOOLINFOA info{};
        info.cbSize = sizeof info;
        info.hwnd = grid.m_hWnd;
        info.uId = UINT_PTR(i);
        ::SendMessageA(tipWnd, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&info));
    }
    tipCells = cellSize > 0 ? rows * (columns + 1) : 0;
    for (int i = 0; i < tipCells; ++i) {
        const int r = i / (columns + 1), c = i % (columns + 1);
        TOOLINFOA info{};
        info.cbSize = sizeof info;
        info.uFlags = TTF_SUBCLASS;
        info.hwnd = grid.m_hWnd;
        info.uId = UINT_PTR(i);
        info.rect = RECT{c * cellSize, r * cellSize, (c + 1) * cellSize, (r + 1) * cellSize};
        info.lpszText = LPSTR_TEXTCALLBACKA;
        ::SendMessageA(tipWnd, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
    }
}

CString CPaletteBar::CellTipText(int slot) const {
    const int index = firstVisible + slot;
    if (slot < 0 || index >= int(colors.size())) return CString();
    return GetColorName(colors[size_t(index)]);
}

BOOL CPaletteGrid::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    auto* hdr = reinterpret_cast<NMHDR*>(lParam);
    auto* bar = dynamic_cast<CPaletteBar*>(GetParent());
    if (hdr != nullptr && bar != nullptr && hdr->hwndFrom == bar->GetToolTipWindow() &&
        hdr->code == TTN_GETDISPINFOA) {
        auto* info = reinterpret_cast<NMTTDISPINFOA*>(lParam);
        std::snprintf(info->szText, sizeof info->szText, "%s",
                      LPCSTR(bar->CellTipText(int(hdr->idFrom))));
        info->lpszText = info->szText;
        if (pResult != nullptr) *pResult = 0;
        return TRUE;
    }
    return CDragButton::OnNotify(wParam, lParam, pResult);
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

// ---- drawing ----

void CPaletteBar::RedrawGrid() {
    if (grid.m_hWnd != nullptr) grid.Invalidate(FALSE);
}

void CPaletteBar::RedrawSwatch() {
    if (CWnd* swatch = m_hWnd != nullptr ? GetDlgItem(IDC_PAL_SWATCH) : nullptr)
        swatch->Invalidate(FALSE);
}

void CPaletteBar::DrawGrid(CDC* dc, const CRect& area) {
    CBrush face(::GetSysColor(COLOR_BTNFACE));
    CBrush* oldBrush = dc->SelectObject(&face);
    dc->Rectangle(&area);
    dc->SelectObject(oldBrush);
    const int count = int(colors.size());
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c <= columns; ++c) {
            const int index = firstVisible + r * (columns + 1) + c;
            if (index >= count) break;
            const int left = area.left + c * cellSize, top = area.top + r * cellSize;
            const int right = left + cellSize, bottom = top + cellSize;
            dc->FillSolidRect(left, top, cellSize, cellSize, colors[size_t(index)]);
            dc->MoveTo(right - 1, top - 1);
            dc->LineTo(right - 1, bottom - 1);
            dc->LineTo(left - 1, bottom - 1);
            if (index == selectedIndex) {
                RECT cell{left, top, right - 1, bottom - 1};
                ::DrawEdge(dc->m_hDC, &cell, EDGE_ETCHED, BF_RECT);
            }
        }
    }
}

void CPaletteBar::OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT item) {
    if (item == nullptr) return;
    CDC* dc = CDC::FromHandle(item->hDC);
    CRect area(item->rcItem);
    const int saved = dc->SaveDC();
    if (nIDCtl == IDC_PAL_GRID) {
        dc->IntersectClipRect(&area);
        DrawGrid(dc, area);
        RECT edge = area;
        ::DrawEdge(dc->m_hDC, &edge, EDGE_SUNKEN, BF_RECT);
    } else if (nIDCtl == IDC_PAL_SWATCH) {
        const AppSettings& s = Settings();
        CPen pen(s.DefaultOutlineColor == COLORREF(-1) ? PS_NULL : PS_SOLID, 5,
                 s.DefaultOutlineColor == COLORREF(-1) ? 0 : s.DefaultOutlineColor);
        CBrush brush(s.DefaultFillColor == COLORREF(-1) ? ::GetSysColor(COLOR_BTNFACE)
                                                        : s.DefaultFillColor);
        dc->SelectObject(&pen);
        dc->SelectObject(&brush);
        dc->Rectangle(&area);
    }
    dc->RestoreDC(saved);
}

// ---- picking ----

void CPaletteBar::PostToFrame(UINT command) {
    if (CWnd* parent = GetParent()) parent->PostMessage(WM_COMMAND, command, 0);
}

void CPaletteBar::OnGridClick() {
    if (colors.empty()) {
        ::MessageBeep(0);
        return;
    }
    const POINT press = grid.pressPoint, release = grid.releasePoint;
    const int moved = std::max(std::abs(release.x - press.x), std::abs(release.y - press.y));
    // A drag that went further than the pick distance is the drop handlers' business.
    if (grid.dragged && (grid.dragFlags & MK_LBUTTON) && moved > Settings().MouseSens) return;
    outlineChanged = fillChanged = 0;
    const COLORREF colour = ColorAt(press.x, press.y);
    lastPickedColor = colour;
    selectedIndex = IndexAt(press.x, press.y);
    RedrawGrid();
    RefreshPaletteEditor();
    const UINT flags = grid.dragFlags;
    if (flags & MK_CONTROL) {
        OnShowColourEditor();
        if (colourEditor && colourEditor->m_hWnd != nullptr) colourEditor->SetColourAndShow(colour);
        return;
    }
    if (flags & MK_SHIFT) {
        CMenu menu;
        if (menu.LoadMenu(IDR_PALETTE_MENU) && menu.GetSubMenu(1) != nullptr) {
            POINT at;
            ::GetCursorPos(&at);
            menu.GetSubMenu(1)->TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, this);
        }
        return;
    }
    if (flags & MK_LBUTTON) {
        Settings().DefaultFillColor = colour;
        fillChanged = 1;
    } else if (flags & MK_RBUTTON) {
        Settings().DefaultOutlineColor = colour;
        outlineChanged = 1;
    } else {
        ::MessageBeep(0);
    }
    if (colourEditor && colourEditor->m_hWnd != nullptr) colourEditor->SetColourAndShow(colour);
    RedrawSwatch();
    PostToFrame(ID_COLORS_CHANGED);
}

void CPaletteBar::OnNoColor() {
    outlineChanged = fillChanged = 0;
    if (noColor.dragFlags & MK_LBUTTON) {
        Settings().DefaultFillColor = COLORREF(-1);
        fillChanged = 1;
    } else if (noColor.dragFlags & MK_RBUTTON) {
        Settings().DefaultOutlineColor = COLORREF(-1);
        outlineChanged = 1;
    } else {
        ::MessageBeep(0);
    }
    RedrawSwatch();
    PostToFrame(ID_COLORS_CHANGED);
}

void CPaletteBar::ApplyEditorColour() {
    if (!colourEditor) return;
    const COLORREF colour = colourEditor->GetColor();
    const UINT keys = colourEditor->GetSwatchKeys();
    outlineChanged = fillChanged = 0;
    if (keys & MK_LBUTTON) {
        Settings().DefaultFillColor = colour;
        fillChanged = 1;
    } else if (keys & MK_RBUTTON) {
        Settings().DefaultOutlineColor = colour;
        outlineChanged = 1;
    } else {
        ::MessageBeep(0);
        return;
    }
    RedrawSwatch();
    PostToFrame(ID_COLORS_CHANGED);
}

void CPaletteBar::OnWidthEntered() {
    float value = 0;
    if (GetWindowMeasure(&widthField, value) && value >= 0) {
        Settings().DefaultWidth = value;
        PostToFrame(ID_WIDTH_CHANGED);
    } else {
        ::MessageBeep(0);
    }
    SetWindowMeasure(&widthField, Settings().DefaultWidth);
}

// ---- scrolling and rows ----

void CPaletteBar::ScrollStep(UINT nID) {
    const int count = int(colors.size());
    int first = firstVisible;
    switch (nID) {
    case IDC_PAL_BACK:
        first -= 1;
        break;
    case IDC_PAL_BACK_PAGE:
        first -= pageSize;
        break;
    case IDC_PAL_FORWARD:
        first = std::min(first + 1, count - pageSize);
        break;
    case IDC_PAL_FORWARD_PAGE:
        first = std::min(first + pageSize, count - pageSize);
        break;
    default:
        return;
    }
    first = std::max(first, 0);
    if (first != firstVisible) {
        firstVisible = first;
        RedrawGrid();
    }
}

void CPaletteBar::OnScroll(UINT nID) {
    CMouseEventButton* button = nID == IDC_PAL_BACK        ? &backOne
                                : nID == IDC_PAL_BACK_PAGE ? &backPage
                                : nID == IDC_PAL_FORWARD   ? &forwardOne
                                                           : &forwardPage;
    if (button->eventKind == CMouseEventButton::MouseMove && button->eventCaptured) return;
    if (button->eventFlags & MK_LBUTTON) {
        CRect client;
        grid.GetClientRect(&client);
        if (client.IsRectEmpty()) return;
        ScrollStep(nID);
        repeatButton = nID;
        SetTimer(kRepeatTimer, 100);
    } else {
        KillTimer(kRepeatTimer);
    }
}

void CPaletteBar::OnTimer(UINT_PTR nIDEvent) {
    if (nIDEvent == kRepeatTimer) ScrollStep(repeatButton);
    if (nIDEvent == kTipTimer) KillTimer(kTipTimer);
}

void CPaletteBar::OnRowsSpin(NMHDR* pNotify, LRESULT* pResult) {
    const auto* change = reinterpret_cast<NMUPDOWN*>(pNotify);
    if (change->iDelta >= 0) {
        if (rows >= 2) --rows;
    } else if (rows < 3) {
        ++rows;
    }
    LayoutGrid();
    RedrawGrid();
    *pResult = 1; // the spin's own change is refused
}

// ---- colour text and the editor ----

void CPaletteBar::OnColorMode(UINT nID) {
    const int model = nID == ID_COLOR_CMYK ? 1 : nID == ID_COLOR_HLS ? 2 : 0;
    ColorDisplayMode = nID == ID_COLOR_CMYK ? 1 : 0;
    editorModel = model;
    if (colourEditor && colourEditor->m_hWnd != nullptr) colourEditor->SetModel(model);
}

void CPaletteBar::OnShowColourEditor() {
    if (!colourEditor) colourEditor = std::make_unique<CColourEditor>();
    if (colourEditor->m_hWnd == nullptr && colourEditor->Create(this)) {
        colourEditor->SetModel(editorModel);
        colourEditor->ShowWindow(SW_SHOWNORMAL);
    }
}

void CPaletteBar::OnShowPaletteEditor() {
    if (paletteEditor && paletteEditor->m_hWnd != nullptr) return;
    paletteEditor = std::make_unique<CPaletteEditorDialog>(*this);
    paletteEditor->startColor = Settings().DefaultFillColor;
    paletteEditor->endColor = Settings().DefaultOutlineColor;
    paletteEditor->Create(this);
}

void CPaletteBar::OnOptionsMenu() {
    CMenu menu;
    if (!menu.LoadMenu(IDR_PALETTE_MENU) || menu.GetSubMenu(0) == nullptr) return;
    CMenu* popup = menu.GetSubMenu(0);
    const int model = colourEditor ? colourEditor->GetModel() : editorModel;
    popup->CheckMenuItem(ID_COLOR_RGB, model == 0 ? MF_CHECKED : MF_UNCHECKED);
    popup->CheckMenuItem(ID_COLOR_HLS, model == 2 ? MF_CHECKED : MF_UNCHECKED);
    popup->CheckMenuItem(ID_COLOR_CMYK, model == 1 ? MF_CHECKED : MF_UNCHECKED);
    if (!::IsClipboardFormatAvailable(CF_PALETTE))
        popup->EnableMenuItem(ID_PASTE_PALETTE, MF_GRAYED);
    POINT at;
    ::GetCursorPos(&at);
    popup->TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, this);
}

void CPaletteBar::OnNameColor() {
    CStringArray& entries = PaletteEntries();
    const COLORREF selected = selectedIndex >= 0 && selectedIndex < int(colors.size())
                                  ? colors[size_t(selectedIndex)]
                                  : lastPickedColor;
    int index = FindPaletteEntry(selected);
    if (index < 0) {
        entries.Add(FormatColorHex(lastPickedColor));
        index = int(entries.GetSize()) - 1;
    }
    CPaletteNameDialog dialog(this);
    const CString entry = entries[index];
    dialog.name = entry.GetLength() > 7 ? entry.Right(entry.GetLength() - 7) : CString();
    if (dialog.DoModal() != IDOK) return;
    entries[index] = entry.Left(6) + " " + dialog.name;
}

// ---- drag and drop ----

CPoint CPaletteBar::CursorInGrid(bool* onGrid, bool* inBar) const {
    POINT cursor;
    ::GetCursorPos(&cursor);
    CRect barRect, gridRect;
    GetWindowRect(&barRect);
    grid.GetWindowRect(&gridRect);
    *inBar = barRect.PtInRect(cursor) != FALSE;
    *onGrid = grid.IsWindowVisible() && gridRect.PtInRect(cursor) != FALSE;
    return CPoint(cursor.x - gridRect.left, cursor.y - gridRect.top);
}

namespace {
void showCursor(UINT id) {
    HCURSOR cursor = ::LoadCursorA(AfxGetResourceHandle(), MAKEINTRESOURCEA(id));
    ::SetCursor(cursor != nullptr ? cursor : ::LoadCursorA(nullptr, IDC_ARROW));
}
bool shiftHeld(WPARAM flags) {
    return (flags & MK_SHIFT) != 0;
}
} // namespace

LRESULT CPaletteBar::OnCtrlDragOver(WPARAM wParam, LPARAM lParam) {
    const HWND source = reinterpret_cast<HWND>(lParam);
    bool onGrid = false, inBar = false;
    CursorInGrid(&onGrid, &inBar);
    CWnd* frame = GetParent();
    if (source == noColor.m_hWnd) {
        draggedColor = COLORREF(-1);
        if (frame) frame->SendMessage(WM_CTRLDRAGOVER, wParam, LPARAM(m_hWnd));
        return 0;
    }
    if (source == grid.m_hWnd) {
        draggedColor = ColorAt(grid.pressPoint.x, grid.pressPoint.y);
        if (!inBar) {
            if (frame) frame->SendMessage(WM_CTRLDRAGOVER, wParam, LPARAM(m_hWnd));
        } else if (onGrid) {
            showCursor(shiftHeld(wParam) ? IDC_PAL_COPY : IDC_PAL_MOVE);
        } else {
            showCursor(IDC_PAL_DELETE);
        }
        return 0;
    }
    // Another source, routed here by the frame.
    if (onGrid) {
        showCursor(shiftHeld(wParam) ? IDC_PAL_COPY : IDC_PAL_DROP);
        return 1;
    }
    ::SetCursor(::LoadCursorA(nullptr, IDC_ARROW));
    return 0;
}

LRESULT CPaletteBar::OnCtrlDrop(WPARAM wParam, LPARAM lParam) {
    const HWND source = reinterpret_cast<HWND>(lParam);
    bool onGrid = false, inBar = false;
    const CPoint at = CursorInGrid(&onGrid, &inBar);
    if (source == grid.m_hWnd && onGrid) {
        const int from = IndexAt(grid.pressPoint.x, grid.pressPoint.y);
        int to = IndexAt(at.x, at.y);
        selectedIndex = to;
        RefreshPaletteEditor();
        if (to == from) {
            RedrawGrid();
            return 1;
        }
        std::vector<COLORREF> list = colors;
        if (!shiftHeld(wParam) && from < int(list.size())) {
            list.erase(list.begin() + from);
            to = std::min(to, int(list.size()));
        }
        list.insert(list.begin() + to, draggedColor);
        SetColors(std::move(list));
        return 1;
    }
    if (source == grid.m_hWnd && inBar) {
        RemoveColors(IndexAt(grid.pressPoint.x, grid.pressPoint.y), 1);
        return 1;
    }
    if (source != grid.m_hWnd && source != noColor.m_hWnd && onGrid) {
        const int index = IndexAt(at.x, at.y);
        if (!shiftHeld(wParam) && index < int(colors.size())) {
            std::vector<COLORREF> list = colors;
            list[size_t(index)] = draggedColor;
            SetColors(std::move(list));
        } else {
            std::vector<COLORREF> list = colors;
            list.insert(list.begin() + index, draggedColor);
            SetColors(std::move(list));
        }
        return 1;
    }
    // Handed on with the bar as the source; one the frame routed back here ends here.
    if (source == m_hWnd) return 0;
    if (CWnd* frame = GetParent()) return frame->SendMessage(WM_CTRLDROP, wParam, LPARAM(m_hWnd));
    return 0;
}

// ---- files and the clipboard ----

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

namespace {
CString paletteFolder() {
    CString folder;
    folder.LoadString(IDS_PALETTE_FOLDER);
    return EnsureDefaultFolder(folder);
}
CString filter(UINT id) {
    CString text;
    text.LoadString(id);
    return text;
}
} // namespace

void CPaletteBar::OnOpenPalette() {
    const CString folder = paletteFolder();
    CFileDialog dialog(TRUE, nullptr, nullptr, OFN_HIDEREADONLY, filter(IDS_PALETTE_FILTER), this);
    dialog.m_ofn.lpstrInitialDir = folder;
    if (dialog.DoModal() != IDOK) return;
    LoadPaletteFile(dialog.GetPathName());
    std::vector<COLORREF> list = ParsePaletteEntries();
    if (!list.empty()) SetColors(std::move(list));
}

void CPaletteBar::OnSavePalette() {
    const CString folder = paletteFolder();
    CFileDialog dialog(FALSE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                       filter(IDS_PALETTE_FILTER), this);
    dialog.m_ofn.lpstrInitialDir = folder;
    if (dialog.DoModal() != IDOK) return;
    CString path = dialog.GetPathName();
    if (path.GetLength() < 4 || path.Right(4).CompareNoCase(".wpl") != 0) path += ".wpl";
    if (!SavePaletteFile(colors, path)) ::MessageBeep(0);
}

void CPaletteBar::OnImportCmyk() {
    CFileDialog dialog(TRUE, nullptr, nullptr, OFN_HIDEREADONLY, filter(IDS_CMYK_FILTER), this);
    if (dialog.DoModal() != IDOK) return;
    ImportCmykPalette(dialog.GetPathName());
    std::vector<COLORREF> list = ParsePaletteEntries();
    if (!list.empty()) SetColors(std::move(list));
}

void CPaletteBar::OnPastePalette() {
    if (!::IsClipboardFormatAvailable(CF_PALETTE) || !::OpenClipboard(m_hWnd)) return;
    auto palette = static_cast<HPALETTE>(::GetClipboardData(CF_PALETTE));
    WORD count = 0;
    if (palette != nullptr && ::GetObjectA(palette, sizeof count, &count) != 0 && count > 0) {
        std::vector<PALETTEENTRY> entries(count);
        const UINT got = ::GetPaletteEntries(palette, 0, count, entries.data());
        std::vector<COLORREF> list;
        for (UINT i = 0; i < got; ++i)
            list.push_back(RGB(entries[i].peRed, entries[i].peGreen, entries[i].peBlue));
        if (!list.empty()) SetColors(std::move(list));
    }
    ::CloseClipboard();
}
