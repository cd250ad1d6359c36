#include "app/CSignFrame.h"

#include "app/CSplashWnd.h"
#include "app/ModeToolBar.h"

#include <doc/CColourEditor.h>
#include <doc/CSignDoc.h>
#include <mfc/CCmdUI.h>
#include <mfc/CStatusBar.h>
#include <mfc/CView.h>
#include <mfc/CWinApp.h>
#include <mfc/FrameworkIds.h>
#include <sheet/SheetIds.h>
#include <shell/PrivateMessages.h>
#include <win32/shellapi.h>

#include <string>

#include "app/AppIds.h"
#include "app/AppSettings.h"

namespace {
// The flat tool-bar style of the common controls.
constexpr DWORD kFlatStyle = 0x0800;
} // namespace

IMPLEMENT_DYNCREATE(CSignFrame, COleSheetFrame)

BEGIN_MESSAGE_MAP(CSignFrame, COleSheetFrame)
ON_COMMAND_EX(ID_VIEW_PALETTE_BAR, OnBarCheck)
ON_UPDATE_COMMAND_UI(ID_VIEW_PALETTE_BAR, OnUpdateControlBarMenu)
ON_WM_CREATE()
ON_WM_DESTROY()
ON_WM_TIMER()
ON_WM_DROPFILES()
ON_COMMAND(ID_SHOW_NOTICE, OnShowNotice)
ON_COMMAND(ID_FLAT_LOOK, OnToggleFlatLook)
ON_UPDATE_COMMAND_UI(ID_FLAT_LOOK, OnUpdateFlatLook)
ON_COMMAND(ID_REDRAW_ALL, OnRedrawAll)
ON_COMMAND(ID_REDRAW_ALL_2, OnRedrawAll)
ON_UPDATE_COMMAND_UI(ID_REDRAW_ALL, OnUpdateRedrawAll)
ON_COMMAND_EX(ID_VIEW_TOOL_OPTIONS, OnBarCheck)
ON_UPDATE_COMMAND_UI(ID_VIEW_TOOL_OPTIONS, OnUpdateControlBarMenu)
ON_MESSAGE(WM_CTRLDRAGOVER, OnCtrlDragOver)
ON_MESSAGE(WM_CTRLDROP, OnCtrlDrop)
ON_COMMAND_EX(ID_VIEW_SIGN_TOOLBAR, OnBarCheck)
ON_UPDATE_COMMAND_UI(ID_VIEW_SIGN_TOOLBAR, OnUpdateControlBarMenu)
END_MESSAGE_MAP()

CSignFrame::~CSignFrame() = default;

BOOL CSignFrame::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
    // The palette bar sees every command first: start-up posts it the default palette.
    if (paletteBar.m_hWnd != nullptr && paletteBar.OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    return COleSheetFrame::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

BOOL CSignFrame::PreCreateWindow(CREATESTRUCT& cs) {
    cs.style &= ~WS_VISIBLE;
    return COleSheetFrame::PreCreateWindow(cs);
}

void CSignFrame::SetupStatusBar() {
    static const UINT panes[] = {ID_SEPARATOR, ID_SEPARATOR, ID_SEPARATOR, ID_SEPARATOR,
                                 ID_SEPARATOR, ID_SEPARATOR, ID_SEPARATOR};
    statusBar.SetIndicators(panes, 7);
    statusBar.SetPaneInfo(1, ID_SEPARATOR, SBPS_NORMAL, 80);
    statusBar.SetPaneInfo(2, ID_SEPARATOR, SBPS_NOBORDERS, 35);
    statusBar.SetPaneInfo(3, ID_SEPARATOR, SBPS_NORMAL, 15);
    statusBar.SetPaneInfo(4, ID_SEPARATOR, SBPS_NORMAL, 15);
    statusBar.SetPaneInfo(5, ID_SEPARATOR, SBPS_NORMAL, 15);
    statusBar.SetPaneInfo(6, ID_SEPARATOR, SBPS_NORMAL, 30);
}

int CSignFrame::OnCreate(CREATESTRUCT* lpCreateStruct) {
    if (COleSheetFrame::OnCreate(lpCreateStruct) == -1) return -1;
    const DWORD top = WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM;
    const DWORD left = WS_CHILD | WS_VISIBLE | CBRS_ALIGN_LEFT | CBRS_BORDER_RIGHT | CBRS_TOOLTIPS;
    if (!mainToolBar.Create(this, top, AFX_IDW_TOOLBAR) || !mainToolBar.LoadToolBar(IDR_MAINFRAME))
        return -1;
    if (!toolOptionsBar.Create(this, top | CBRS_TOOLTIPS, ID_VIEW_TOOL_OPTIONS)) return -1;
    if (!signToolBar.Create(this, left, ID_VIEW_SIGN_TOOLBAR) ||
        !signToolBar.LoadToolBar(IDR_SIGN_TOOLBAR))
        return -1;
    if (!toolBar.Create(this, left, ID_VIEW_SHEET_TOOLBAR) || !CreateFrameToolBar()) return -1;
    if (!statusBar.Create(this, WS_CHILD | WS_VISIBLE | CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP,
                          AFX_IDW_STATUS_BAR))
        return -1;
    SetupStatusBar();
    if (!paletteBar.Create(this, IDD_PALETTE_BAR,
                           CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP | CBRS_TOOLTIPS | CBRS_FLYBY |
                               CBRS_SIZE_FIXED,
                           ID_VIEW_PALETTE_BAR))
        return -1;
    AddDropTarget(&paletteBar);

    auto titled = [](CControlBar& bar, DWORD dock, DWORD extra, UINT title) {
        bar.EnableDocking(dock);
        bar.SetBarStyle(bar.GetBarStyle() | extra);
        CString text;
        text.LoadString(title);
        bar.SetWindowText(text);
    };
    titled(mainToolBar, CBRS_ALIGN_ANY, CBRS_TOOLTIPS | CBRS_FLYBY | CBRS_SIZE_DYNAMIC,
           IDS_MAIN_TOOLBAR);
    titled(signToolBar, CBRS_ALIGN_ANY, CBRS_TOOLTIPS | CBRS_FLYBY | CBRS_SIZE_DYNAMIC,
           IDS_SIGN_TOOLBAR);
    titled(toolOptionsBar, CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM, CBRS_TOOLTIPS | CBRS_FLYBY,
           IDS_TOOL_OPTIONS_BAR);
    titled(toolBar, CBRS_ALIGN_ANY, CBRS_TOOLTIPS | CBRS_FLYBY | CBRS_SIZE_DYNAMIC,
           IDS_SHEET_TOOLBAR);
    EnableDocking(CBRS_ALIGN_ANY);
    DockControlBar(&mainToolBar);
    DockBarLeftOf(&toolBar, &mainToolBar);
    DockControlBar(&toolOptionsBar, AFX_IDW_DOCKBAR_TOP);
    DockControlBar(&signToolBar, AFX_IDW_DOCKBAR_LEFT);

    SetFlatLook(Settings().FlatLook);
    if (!CreateRulers()) return -1;
    LoadBarState("General");
    SetAutoSaveTimer(-1);
    CSignDoc::Frame = &documentLink;
    // The designs store the palette bar's colours and give theirs to it.
    CSignDoc::Palette().Bind([this] { return paletteBar.colors; },
                             [this](const std::vector<COLORREF>& c) { paletteBar.SetColors(c); });
    ShowSplash(this);
    return 0;
}

void CSignFrame::OnDestroy() {
    if (CSignDoc::Frame == &documentLink) {
        CSignDoc::Frame = nullptr;
        CSignDoc::Palette().Bind(nullptr, nullptr);
    }
    COleSheetFrame::OnDestroy();
    KillTimer(kAutoSaveTimer);
    autoSaveTimer = 0;
}

UINT_PTR CSignFrame::SetAutoSaveTimer(int minutes) {
    if (autoSaveTimer != 0) {
        KillTimer(autoSaveTimer);
        autoSaveTimer = 0;
    }
    if (minutes >= 0) Settings().AutoSave = minutes;
    if (Settings().AutoSave <= 0) return 0;
    autoSaveTimer = SetTimer(kAutoSaveTimer, UINT(Settings().AutoSave) * 60000u);
    return autoSaveTimer;
}

void CSignFrame::OnTimer(UINT_PTR nIDEvent) {
    if (nIDEvent == kAutoSaveTimer && Settings().AutoSave >= 1) {
        if (printing != 0)
            SetAutoSaveTimer(-1);
        else if (autoSaveBusy == 0)
            PostMessage(WM_COMMAND, ID_AUTOSAVE);
    }
    Default();
}

void CSignFrame::OnDropFiles(HGLOBAL hDropInfo) {
    const UINT count = ::DragQueryFileA(hDropInfo, 0xFFFFFFFFu, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        // The whole path, however long.
        std::string path(::DragQueryFileA(hDropInfo, i, nullptr, 0) + 1, '\0');
        ::DragQueryFileA(hDropInfo, i, path.data(), UINT(path.size()));
        path.resize(path.size() - 1);
        if (!ImportDroppedFile(path.c_str())) ::MessageBeep(0);
    }
    ::DragFinish(hDropInfo);
}

BOOL CSignFrame::ImportDroppedFile(LPCSTR) {
    // The document's import readers are not part of the program yet: nothing is imported.
    return FALSE;
}

void CSignFrame::SetFlatLook(BOOL flag) {
    for (CToolBar* bar : {&mainToolBar, &toolBar, &signToolBar, &toolOptionsBar}) {
        if (bar->m_hWnd == nullptr) continue;
        bar->ModifyStyle(flag ? 0 : kFlatStyle, flag ? kFlatStyle : 0);
        bar->Invalidate();
    }
}

void CSignFrame::OnToggleFlatLook() {
    Settings().FlatLook = !Settings().FlatLook;
    SetFlatLook(Settings().FlatLook);
}

void CSignFrame::OnUpdateFlatLook(CCmdUI* pCmdUI) {
    pCmdUI->SetCheck(Settings().FlatLook ? 1 : 0);
}

void CSignFrame::OnShowNotice() {
    AfxMessageBox(IDS_NOTICE, MB_OK);
}

void CSignFrame::OnRedrawAll() {
    Invalidate();
    if (paletteBar.m_hWnd != nullptr) paletteBar.Invalidate();
    if (CView* view = GetActiveView()) view->Invalidate();
}

void CSignFrame::OnUpdateRedrawAll(CCmdUI* pCmdUI) {
    pCmdUI->SetCheck(0);
}

void CSignFrame::ShowKeyHints(BOOL shift, BOOL ctrl, BOOL shiftCtrl, BOOL alt) {
    statusBar.SetPaneText(3, shift ? "Sh" : "", FALSE);
    statusBar.SetPaneText(4, ctrl ? "Ct" : "", FALSE);
    statusBar.SetPaneText(5, alt ? "Alt" : "", FALSE);
    statusBar.SetPaneText(6, shiftCtrl ? "Sh+Ct" : "", FALSE);
    statusBar.UpdateWindow();
}

void CSignFrame::RecalcModeToolBar() {
    ::RecalcModeToolBar(&toolOptionsBar);
}

void CSignFrame::ShowStatusText(LPCSTR text) {
    statusBar.SetPaneText(0, text, FALSE);
    statusBar.UpdateWindow();
}

COLORREF CSignFrame::DocumentLink::GetPaletteColor() {
    const CPaletteBar& bar = frame.paletteBar;
    if (bar.selectedIndex >= 0 && bar.selectedIndex < int(bar.colors.size()))
        return bar.colors[std::size_t(bar.selectedIndex)];
    return Settings().DefaultFillColor;
}

void CSignFrame::DocumentLink::PostFrameCommand(UINT nID) {
    if (frame.m_hWnd != nullptr) frame.PostMessage(WM_COMMAND, nID);
}

namespace {
// The palette bar stands in for its colour editor, carrying the editor's colour.
LPARAM editorAsBar(CPaletteBar& bar, LPARAM source) {
    CColourEditor* editor = bar.GetColourEditor();
    if (editor == nullptr || editor->m_hWnd == nullptr ||
        reinterpret_cast<HWND>(source) != editor->m_hWnd)
        return source;
    bar.draggedColor = editor->GetColor();
    return reinterpret_cast<LPARAM>(bar.m_hWnd);
}
} // namespace

LRESULT CSignFrame::OnCtrlDragOver(WPARAM wParam, LPARAM lParam) {
    lParam = editorAsBar(paletteBar, lParam);
    if (DropTargetUnderCursor() == nullptr) ::SetCursor(::LoadCursorA(nullptr, IDC_ARROW));
    return COleSheetFrame::OnCtrlDragOver(wParam, lParam);
}

LRESULT CSignFrame::OnCtrlDrop(WPARAM wParam, LPARAM lParam) {
    lParam = editorAsBar(paletteBar, lParam);
    return COleSheetFrame::OnCtrlDrop(wParam, lParam);
}
