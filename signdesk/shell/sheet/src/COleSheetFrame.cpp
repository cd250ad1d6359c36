#include "sheet/COleSheetFrame.h"

#include <cstdio>

#include <guardalloc/Guardalloc.h>
#include <mfc/CCmdUI.h>
#include <mfc/CMenu.h>
#include <mfc/CWinApp.h>
#include <settings/CUnit.h>
#include <settings/ProgramFolders.h>
#include <shell/PrivateMessages.h>
#include <shell/ProfileSettings.h>
#include <shell/StatusBarPrompts.h>
#include <win32/nls.h>

#include "sheet/COleSheetView.h"
#include "sheet/SheetIds.h"

IMPLEMENT_DYNCREATE(COleSheetFrame, CFrameWnd)

BEGIN_MESSAGE_MAP(COleSheetFrame, CFrameWnd)
ON_WM_CREATE()
ON_WM_DESTROY()
ON_WM_ACTIVATE()
ON_MESSAGE(WM_ALLOCFAILED, OnAllocFailure)
ON_MESSAGE(WM_CTRLDRAGOVER, OnCtrlDragOver)
ON_MESSAGE(WM_CTRLDROP, OnCtrlDrop)
ON_COMMAND_RANGE(ID_UNIT_MM, ID_UNIT_INCH, OnUnitCommand)
ON_COMMAND_RANGE(ID_UNIT_PIXELS, ID_UNIT_PIXELS, OnUnitCommand)
ON_COMMAND_RANGE(ID_UNIT_TABLE_FIRST, ID_UNIT_TABLE_LAST, OnUnitCommand)
ON_UPDATE_COMMAND_UI_RANGE(ID_UNIT_MM, ID_UNIT_INCH, OnUpdateUnit)
ON_UPDATE_COMMAND_UI(ID_UNIT_PIXELS, OnUpdateUnit)
ON_UPDATE_COMMAND_UI_RANGE(ID_UNIT_TABLE_FIRST, ID_UNIT_TABLE_LAST, OnUpdateUnit)
ON_COMMAND_EX(ID_VIEW_SHEET_TOOLBAR, OnBarCheck)
ON_UPDATE_COMMAND_UI(ID_VIEW_SHEET_TOOLBAR, OnUpdateControlBarMenu)
ON_COMMAND_EX(ID_VIEW_HRULER, OnBarCheck)
ON_UPDATE_COMMAND_UI(ID_VIEW_HRULER, OnUpdateControlBarMenu)
ON_COMMAND_EX(ID_VIEW_VRULER, OnVerticalRulerCheck)
ON_UPDATE_COMMAND_UI(ID_VIEW_VRULER, OnUpdateControlBarMenu)
END_MESSAGE_MAP()

namespace {

// The unit of a unit command.
int UnitOfCommand(UINT id) {
    if (id == ID_UNIT_PIXELS) return CUnit::PIXELS;
    if (id >= ID_UNIT_TABLE_FIRST) return int(id - ID_UNIT_TABLE_FIRST);
    return int(id - ID_UNIT_MM);
}

} // namespace

COleSheetFrame::~COleSheetFrame() = default;

int COleSheetFrame::OnCreate(CREATESTRUCT* lpCreateStruct) {
    if (CFrameWnd::OnCreate(lpCreateStruct) == -1) return -1;
    hErrorHandlerWnd = m_hWnd;
    if (++framesCreated == 1) RestoreWindowPlacement("MainFrame", this);
    LoadUnitTable(GetDataFilePath("Units.cfg"));
    SetBusyIndicator(this);
    return 0;
}

void COleSheetFrame::OnDestroy() {
    SaveBarState("General");
    SaveWindowPlacement("MainFrame", this);
    SetBusyIndicator(nullptr);
    if (hErrorHandlerWnd == m_hWnd) hErrorHandlerWnd = nullptr;
    CFrameWnd::OnDestroy();
}

void COleSheetFrame::OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized) {
    CFrameWnd::OnActivate(nState, pWndOther, bMinimized);
    activeState = nState;
}

BOOL COleSheetFrame::CreateFrameToolBar() {
    static const UINT small[] = {ID_ZOOM_TOOL, ID_ZOOM_BACK, ID_FIT_PAGE, ID_SMALLER_PAGE,
                                 ID_REAL_SIZE};
    static const UINT large[] = {ID_ZOOM_TOOL, ID_ZOOM_BACK, ID_FIT_PAGE, ID_SMALLER_PAGE,
                                 ID_REAL_SIZE, ID_FIT_WIDTH, ID_PAN_TOOL};
    const bool big = HasLargeToolBar();
    const UINT bitmap = big ? IDB_SHEET_TOOLBAR_LARGE : IDB_SHEET_TOOLBAR;
    if (!toolBar.LoadBitmap(MAKEINTRESOURCEA(WORD(bitmap)))) return FALSE;
    return big ? toolBar.SetButtons(large, 7) : toolBar.SetButtons(small, 5);
}

void COleSheetFrame::SetupStatusBar() {
    if (statusBar.m_hWnd == nullptr) return;
    if (extendedStatusBar) {
        static const UINT panes[] = {ID_SEPARATOR,      ID_SEPARATOR,     ID_SEPARATOR,
                                     ID_INDICATOR_CAPS, ID_INDICATOR_NUM, ID_INDICATOR_SCRL};
        statusBar.SetIndicators(panes, 6);
        statusBar.SetPaneInfo(1, ID_SEPARATOR, SBPS_NORMAL, 100);
        statusBar.SetPaneInfo(2, ID_SEPARATOR, SBPS_NOBORDERS, 40);
    } else {
        static const UINT panes[] = {ID_SEPARATOR, ID_INDICATOR_CAPS, ID_INDICATOR_NUM,
                                     ID_INDICATOR_SCRL};
        statusBar.SetIndicators(panes, 4);
    }
}

BOOL COleSheetFrame::BuildUnitsMenu(CMenu* out) {
    if (out == nullptr || !out->LoadMenu(IDR_SHEET_MENU)) return FALSE;
    CMenu* units = out->GetSubMenu(0);
    if (units == nullptr) return FALSE;
    const int tableCount = GetUnitTableCount();
    if (tableCount > 0) {
        while (units->GetMenuItemCount() > 0)
            units->DeleteMenu(0, MF_BYPOSITION);
        const int count = std::min(tableCount, int(ID_UNIT_TABLE_LAST - ID_UNIT_TABLE_FIRST + 1));
        for (int i = 0; i < count; ++i)
            units->AppendMenu(MF_STRING, ID_UNIT_TABLE_FIRST + i, AppUnit.GetName(i));
        units->CheckMenuItem(ID_UNIT_TABLE_FIRST + AppUnit.unit, MF_BYCOMMAND | MF_CHECKED);
    } else {
        static const UINT builtIn[] = {ID_UNIT_MM, ID_UNIT_CM, ID_UNIT_INCH, ID_UNIT_PIXELS};
        if (AppUnit.unit < 4)
            units->CheckMenuItem(builtIn[AppUnit.unit], MF_BYCOMMAND | MF_CHECKED);
    }
    return TRUE;
}

BOOL COleSheetFrame::CreateRulers() {
    if (!horizontalRuler.Create(this, WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM,
                                ID_VIEW_HRULER))
        return FALSE;
    if (!verticalRuler.Create(this, WS_CHILD | WS_VISIBLE | CBRS_ALIGN_LEFT | CBRS_BORDER_RIGHT,
                              ID_VIEW_VRULER))
        return FALSE;
    SetUnit(int(AppUnit.unit));
    return TRUE;
}

void COleSheetFrame::DockBarLeftOf(CControlBar* bar, CControlBar* leftOf) {
    if (bar == nullptr || leftOf == nullptr) return;
    RecalcLayout(TRUE);
    CRect rect;
    leftOf->GetWindowRect(&rect);
    rect.OffsetRect(1, 0);
    const DWORD style = bar->GetBarStyle();
    const UINT side = (style & CBRS_ALIGN_TOP)      ? AFX_IDW_DOCKBAR_TOP
                      : (style & CBRS_ALIGN_BOTTOM) ? AFX_IDW_DOCKBAR_BOTTOM
                      : (style & CBRS_ALIGN_LEFT)   ? AFX_IDW_DOCKBAR_LEFT
                                                    : AFX_IDW_DOCKBAR_RIGHT;
    DockControlBar(bar, side, &rect);
}

LRESULT COleSheetFrame::OnAllocFailure(WPARAM, LPARAM) {
    CString text;
    text.LoadString(IDS_OUT_OF_MEMORY);
    return MessageBox(text, "", MB_RETRYCANCEL | MB_ICONEXCLAMATION) == IDRETRY ? 1 : 0;
}

void COleSheetFrame::SetStatusPrompt(UINT stringId) {
    ShowStatusBarPrompt(*this, stringId);
}

CFont* COleSheetFrame::GetBarFont() {
    if (barFont.m_hObject != nullptr) return &barFont;
    LOGFONTA lf{};
    lf.lfWeight = 400;
    lf.lfCharSet = DEFAULT_CHARSET;
    if (::GetSystemMetrics(SM_DBCSENABLED)) {
        lf.lfHeight = 12;
        // The Japanese proportional Gothic face, its name in Shift-JIS.
        static const char face[] = "\x82\x6c\x82\x72\x20\x82\x6f\x83\x53\x83\x56\x83\x62\x83\x4e";
        std::snprintf(lf.lfFaceName, sizeof lf.lfFaceName, "%s", face);
    } else {
        lf.lfHeight = 8;
        lf.lfPitchAndFamily = FF_SWISS;
        std::snprintf(lf.lfFaceName, sizeof lf.lfFaceName, "%s", "MS Sans Serif");
    }
    barFont.CreateFontIndirect(&lf);
    return &barFont;
}

void COleSheetFrame::SetUnit(int unit) {
    AppUnit.unit = std::uint32_t(unit);
    const double size = AppUnit.ToMM(1.0f);
    // A unit under a tenth of a millimetre keeps decade 1: the divisor is an integer.
    const int decade = size >= 1000  ? 10000
                       : size >= 100 ? 1000
                       : size >= 10  ? 100
                       : size >= 1   ? 10
                                     : 1;
    for (COleRuler* ruler : {&horizontalRuler, &verticalRuler}) {
        ruler->rulerDivisor = decade;
        ruler->rulerStep = float(size / decade);
        if (ruler->m_hWnd) ruler->Invalidate(TRUE);
    }
    if (extendedStatusBar && statusBar.m_hWnd && statusBar.GetCount() > 2)
        statusBar.SetPaneText(2, AppUnit.GetName());
    CWnd* main = AfxGetMainWnd();
    if (main == nullptr || main->m_hWnd == nullptr) main = this;
    main->SendMessageToDescendants(WM_COMMAND, ID_UNIT_CHANGED, 0, TRUE);
}

void COleSheetFrame::ShowPosition(float x, float y) {
    if (!extendedStatusBar || statusBar.m_hWnd == nullptr || statusBar.GetCount() < 3) return;
    const int n = int(AppUnit.ToMM(1.0f));
    const char* format = n >= 1000  ? " %-6.4f, %-6.4f"
                         : n >= 100 ? " %-6.3f, %-6.3f"
                         : n >= 1   ? " %-6.2f, %-6.2f"
                                    : " %-6.1f, %-6.1f";
    char text[128];
    std::snprintf(text, sizeof text, format, AppUnit.FromMM(x), AppUnit.FromMM(y));
    statusBar.SetPaneText(1, text);
    statusBar.SetPaneText(2, AppUnit.GetName());
}

void COleSheetFrame::AddDropTarget(CWnd* wnd) {
    if (wnd != nullptr) dropTargets.push_back(wnd);
}

void COleSheetFrame::RemoveDropTarget(CWnd* wnd) {
    std::erase(dropTargets, wnd);
    if (currentTarget == wnd) currentTarget = nullptr;
}

CWnd* COleSheetFrame::DropTargetUnderCursor() const {
    POINT cursor;
    ::GetCursorPos(&cursor);
    for (auto it = dropTargets.rbegin(); it != dropTargets.rend(); ++it) {
        CWnd* wnd = *it;
        if (wnd == nullptr || wnd->m_hWnd == nullptr) continue;
        CRect client;
        wnd->GetClientRect(&client);
        wnd->ClientToScreen(&client);
        if (client.PtInRect(cursor)) return wnd;
    }
    return nullptr;
}

LRESULT COleSheetFrame::OnCtrlDragOver(WPARAM wParam, LPARAM lParam) {
    CWnd* target = DropTargetUnderCursor();
    if (target == currentTarget) {
        if (target) target->SendMessage(WM_CTRLDRAGOVER, wParam, lParam);
        return 0;
    }
    if (currentTarget) currentTarget->SendMessage(WM_CTRLDRAGLEAVE, wParam, lParam);
    if (target) target->SendMessage(WM_CTRLDRAGENTER, wParam, lParam);
    currentTarget = target;
    return 0;
}

LRESULT COleSheetFrame::OnCtrlDrop(WPARAM wParam, LPARAM lParam) {
    // Only the target under the cursor gets the drop, not every window that overlaps it.
    CWnd* target = DropTargetUnderCursor();
    CWnd* previous = currentTarget;
    currentTarget = nullptr;
    if (previous != nullptr && previous != target)
        previous->SendMessage(WM_CTRLDRAGLEAVE, wParam, lParam);
    if (target != nullptr) target->SendMessage(WM_CTRLDROP, wParam, lParam);
    return 0;
}

void COleSheetFrame::OnUnitCommand(UINT nID) {
    SetUnit(UnitOfCommand(nID));
}

void COleSheetFrame::OnUpdateUnit(CCmdUI* pCmdUI) {
    pCmdUI->SetCheck(int(AppUnit.unit) == UnitOfCommand(pCmdUI->m_nID));
}

BOOL COleSheetFrame::OnVerticalRulerCheck(UINT nID) {
    const BOOL handled = OnBarCheck(nID);
    if (horizontalRuler.m_hWnd) horizontalRuler.Invalidate(TRUE);
    return handled;
}

void COleSheetFrame::OnSetPreviewMode(BOOL bPreview, CPrintPreviewState* pState) {
    if (bPreview) {
        rulersBeforePreview = BYTE((horizontalRuler.m_hWnd && horizontalRuler.IsVisible() ? 1 : 0) |
                                   (verticalRuler.m_hWnd && verticalRuler.IsVisible() ? 2 : 0));
        if (horizontalRuler.m_hWnd) ShowControlBar(&horizontalRuler, FALSE, FALSE);
        if (verticalRuler.m_hWnd) ShowControlBar(&verticalRuler, FALSE, FALSE);
    } else {
        if (rulersBeforePreview & 1) ShowControlBar(&horizontalRuler, TRUE, FALSE);
        if (rulersBeforePreview & 2) ShowControlBar(&verticalRuler, TRUE, FALSE);
    }
    CFrameWnd::OnSetPreviewMode(bPreview, pState);
}

// ---- busy prompts ----

void COleSheetFrame::StartBusyIndicator() {
    StartStatusBarBusy(*this);
}

void COleSheetFrame::ShowBusyPrompt() {
    ShowStatusBarPrompt(*this, IDS_BUSY_CANCELLED);
}

void COleSheetFrame::StepBusyIndicator() {
    StepStatusBarBusy(*this);
}

void COleSheetFrame::EndBusyIndicator() {
    ShowStatusBarPrompt(*this, IDS_BUSY_DONE);
}
