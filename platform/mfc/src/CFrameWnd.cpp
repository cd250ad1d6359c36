#include "mfc/CFrameWnd.h"

#include <algorithm>
#include <cstdio>

#include "mfc/CCmdUI.h"
#include "mfc/CDocTemplate.h"
#include "mfc/CDocument.h"
#include "mfc/CMenu.h"
#include "mfc/CMiniFrameWnd.h"
#include "mfc/CStatusBar.h"
#include "mfc/CView.h"
#include "mfc/CWinApp.h"
#include "win32/menu.h"
#include "win32/resource.h"

IMPLEMENT_DYNCREATE(CFrameWnd, CWnd)

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_CLOSE()
    ON_WM_SIZE()
    ON_WM_INITMENUPOPUP()
    ON_WM_SETFOCUS()
    ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
    ON_MESSAGE(WM_SETMESSAGESTRING, OnSetMessageString)
    ON_COMMAND_EX(ID_VIEW_STATUS_BAR, OnBarCheck)
    ON_COMMAND_EX(ID_VIEW_TOOLBAR, OnBarCheck)
    ON_UPDATE_COMMAND_UI(ID_VIEW_STATUS_BAR, OnUpdateControlBarMenu)
    ON_UPDATE_COMMAND_UI(ID_VIEW_TOOLBAR, OnUpdateControlBarMenu)
    ON_UPDATE_COMMAND_UI(ID_INDICATOR_CAPS, OnUpdateKeyIndicator)
    ON_UPDATE_COMMAND_UI(ID_INDICATOR_NUM, OnUpdateKeyIndicator)
    ON_UPDATE_COMMAND_UI(ID_INDICATOR_SCRL, OnUpdateKeyIndicator)
END_MESSAGE_MAP()

const CRect CFrameWnd::rectDefault(CW_USEDEFAULT, CW_USEDEFAULT, 0, 0);

DWORD AfxDockSideOf(UINT nDockBarID) {
    switch (nDockBarID) {
    case AFX_IDW_DOCKBAR_TOP:
        return CBRS_ALIGN_TOP;
    case AFX_IDW_DOCKBAR_BOTTOM:
        return CBRS_ALIGN_BOTTOM;
    case AFX_IDW_DOCKBAR_LEFT:
        return CBRS_ALIGN_LEFT;
    case AFX_IDW_DOCKBAR_RIGHT:
        return CBRS_ALIGN_RIGHT;
    default:
        return 0;
    }
}

namespace {

// The one side a bar style aligns to: top, bottom, left, right in that order of precedence.
DWORD sideOf(DWORD style) {
    for (DWORD side : {CBRS_ALIGN_TOP, CBRS_ALIGN_BOTTOM, CBRS_ALIGN_LEFT, CBRS_ALIGN_RIGHT})
        if (style & side) return side;
    return 0;
}

} // namespace

CFrameWnd::~CFrameWnd() {
    for (BarPlace& place : m_listControlBars) place.bar->m_pDockSite = nullptr;
    if (m_hAccelTable != nullptr) ::DestroyAcceleratorTable(m_hAccelTable);
    delete m_pPreviewState;
}

void CFrameWnd::PostNcDestroy() {
    delete this;
}

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCT& cs) {
    if (cs.lpszClass == nullptr)
        cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorA(nullptr, IDC_ARROW));
    return TRUE;
}

BOOL CFrameWnd::Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                       CWnd* pParentWnd, LPCSTR lpszMenuName, DWORD dwExStyle,
                       CCreateContext* pContext) {
    HMENU menu = nullptr;
    if (lpszMenuName != nullptr) menu = ::LoadMenuA(AfxGetResourceHandle(), lpszMenuName);
    m_hMenuDefault = menu;
    if (lpszWindowName != nullptr && m_strTitle.IsEmpty()) m_strTitle = lpszWindowName;
    // The default place: the screen's top left, 800 x 600.
    int x = 0, y = 0, w = 800, h = 600;
    if (rect.left != CW_USEDEFAULT) {
        x = rect.left;
        y = rect.top;
        w = int(std::int64_t(rect.right) - rect.left);
        h = int(std::int64_t(rect.bottom) - rect.top);
    }
    // FWS_ADDTOTITLE titles read "document - application".
    if (dwStyle & FWS_ADDTOTITLE) dwStyle |= FWS_PREFIXTITLE;
    m_pCreating = pContext;
    if (!CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, x, y, w, h,
                  pParentWnd != nullptr ? pParentWnd->m_hWnd : nullptr, menu)) {
        // PostNcDestroy deleted the object.
        if (menu != nullptr) ::DestroyMenu(menu);
        return FALSE;
    }
    m_pCreating = nullptr;
    return TRUE;
}

BOOL CFrameWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd,
                          CCreateContext* pContext) {
    m_nIDHelp = nIDResource;
    CString title;
    if (title.LoadString(nIDResource)) {
        const int end = title.Find('\n');
        m_strTitle = end >= 0 ? title.Left(end) : title;
    }
    HINSTANCE module = AfxGetResourceHandle();
    LPCSTR name = MAKEINTRESOURCEA(WORD(nIDResource));
    HACCEL accelerators =
        ::FindResourceA(module, name, RT_ACCELERATOR) ? ::LoadAcceleratorsA(module, name) : nullptr;
    const LPCSTR menuName = ::FindResourceA(module, name, RT_MENU) ? name : nullptr;
    if (!Create(nullptr, m_strTitle, dwDefaultStyle, rectDefault, pParentWnd, menuName, 0, pContext)) {
        if (accelerators != nullptr) ::DestroyAcceleratorTable(accelerators);
        return FALSE;
    }
    m_hAccelTable = accelerators;
    OnUpdateFrameTitle(TRUE);
    return TRUE;
}

int CFrameWnd::OnCreate(CREATESTRUCT* lpcs) {
    if (!OnCreateClient(lpcs, m_pCreating)) return -1;
    return 0;
}

BOOL CFrameWnd::OnCreateClient(CREATESTRUCT*, CCreateContext* pContext) {
    if (pContext != nullptr && pContext->m_pNewViewClass != nullptr)
        return CreateView(pContext, AFX_IDW_PANE_FIRST) != nullptr;
    return TRUE;
}

CWnd* CFrameWnd::CreateView(CCreateContext* pContext, UINT nID) {
    CObject* object = pContext->m_pNewViewClass->CreateObject();
    auto* view = DYNAMIC_DOWNCAST(CWnd, object);
    if (view == nullptr) {
        delete object;
        return nullptr;
    }
    // A view that fails deletes itself (PostNcDestroy).
    if (!view->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), this, nID, pContext))
        return nullptr;
    return view;
}

void CFrameWnd::OnDestroy() {
    if (m_hMenuDefault != nullptr && ::GetMenu(m_hWnd) == m_hMenuDefault) ::SetMenu(m_hWnd, nullptr);
    if (m_hMenuDefault != nullptr) {
        ::DestroyMenu(m_hMenuDefault);
        m_hMenuDefault = nullptr;
    }
    Default();
}

void CFrameWnd::OnClose() {
    CDocument* doc = GetActiveDocument();
    if (doc != nullptr && !doc->CanCloseFrame(this)) return;
    CWinApp* app = AfxGetApp();
    const HWND self = m_hWnd;
    if (app != nullptr && app->m_pMainWnd == this) {
        // The main window ends the application: every document goes, and the loop ends.
        if (app->m_pDocManager != nullptr && !app->m_pDocManager->SaveAllModified()) return;
        app->m_pMainWnd = nullptr;
        ::PostQuitMessage(0);
        // Closing the documents destroys their frames, this one among them.
        if (app->m_pDocManager != nullptr) app->m_pDocManager->CloseAllDocuments(FALSE);
    }
    if (::IsWindow(self)) ::DestroyWindow(self);
}

void CFrameWnd::OnSize(UINT nType, int, int) {
    if (nType != SIZE_MINIMIZED) RecalcLayout();
}

void CFrameWnd::OnSetFocus(CWnd*) {
    if (m_pViewActive != nullptr && m_pViewActive->m_hWnd != nullptr) m_pViewActive->SetFocus();
}

// ---- views and documents ----

void CFrameWnd::SetActiveView(CView* pViewNew, BOOL bNotify) {
    CView* old = m_pViewActive;
    if (old == pViewNew) return;
    m_pViewActive = pViewNew;
    if (bNotify && old != nullptr && old->m_hWnd != nullptr) old->OnActivateView(FALSE, pViewNew, old);
    if (bNotify && pViewNew != nullptr) pViewNew->OnActivateView(TRUE, pViewNew, old);
}

CDocument* CFrameWnd::GetActiveDocument() {
    return m_pViewActive != nullptr ? m_pViewActive->GetDocument() : nullptr;
}

void CFrameWnd::InitialUpdateFrame(CDocument* pDoc, BOOL bMakeVisible) {
    if (m_pViewActive == nullptr)
        if (auto* view = DYNAMIC_DOWNCAST(CView, GetDlgItem(int(AFX_IDW_PANE_FIRST))))
            SetActiveView(view, FALSE);
    // Every view (the frame's descendants with objects) gets its first update.
    SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, TRUE, TRUE);
    if (bMakeVisible) ActivateFrame();
    if (pDoc != nullptr) OnUpdateFrameTitle(TRUE);
    RecalcLayout();
}

void CFrameWnd::ActivateFrame(int nCmdShow) {
    if (nCmdShow == -1) nCmdShow = IsWindowVisible() ? SW_SHOWNORMAL : SW_SHOW;
    ShowWindow(nCmdShow);
    if (m_pViewActive != nullptr && m_pViewActive->m_hWnd != nullptr) m_pViewActive->SetFocus();
}

void CFrameWnd::OnUpdateFrameTitle(BOOL bAddToTitle) {
    if (m_hWnd == nullptr) return;
    CString text = m_strTitle;
    CDocument* doc = GetActiveDocument();
    if (bAddToTitle && (GetStyle() & FWS_ADDTOTITLE) && doc != nullptr && !doc->GetTitle().IsEmpty()) {
        if (GetStyle() & FWS_PREFIXTITLE)
            text = doc->GetTitle() + (m_strTitle.IsEmpty() ? CString() : CString(" - ") + m_strTitle);
        else
            text = m_strTitle + " - " + doc->GetTitle();
    }
    CString current;
    GetWindowText(current);
    if (current != text) SetWindowText(text);
}

// ---- commands ----

BOOL CFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
    if (m_pViewActive != nullptr && m_pViewActive->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
    CWinApp* app = AfxGetApp();
    return app != nullptr && app->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

BOOL CFrameWnd::PreTranslateMessage(MSG* pMsg) {
    if (m_hAccelTable != nullptr && pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST)
        return ::TranslateAcceleratorA(m_hWnd, m_hAccelTable, pMsg) != 0;
    return FALSE;
}

void CFrameWnd::OnInitMenuPopup(CMenu* pPopupMenu, UINT, BOOL bSysMenu) {
    if (bSysMenu || pPopupMenu == nullptr) return;
    CCmdUI state;
    state.m_pMenu = pPopupMenu;
    state.m_nIndexMax = UINT(pPopupMenu->GetMenuItemCount());
    for (UINT i = 0; i < state.m_nIndexMax; ++i) {
        state.m_nIndex = i;
        state.m_nID = pPopupMenu->GetMenuItemID(int(i));
        if (state.m_nID == 0 || state.m_nID == UINT(-1)) continue; // separators and submenus
        state.m_pSubMenu = nullptr;
        state.DoUpdate(this, m_bAutoMenuEnable);
    }
}

LRESULT CFrameWnd::OnIdleUpdateCmdUI(WPARAM, LPARAM) {
    OnUpdateFrameTitle(TRUE);
    return 0;
}

LRESULT CFrameWnd::OnSetMessageString(WPARAM wParam, LPARAM lParam) {
    auto* bar = DYNAMIC_DOWNCAST(CStatusBar, GetControlBar(AFX_IDW_STATUS_BAR));
    if (bar == nullptr) return 0;
    CString text;
    if (lParam != 0) text = reinterpret_cast<LPCSTR>(lParam);
    else if (wParam != 0) text.LoadString(UINT(wParam));
    // A command's string is its prompt, then its tip after a line break.
    const int tip = text.Find('\n');
    if (tip >= 0) text = text.Left(tip);
    bar->SetPaneText(0, text);
    return 0;
}

void CFrameWnd::SetMessageText(LPCSTR lpszText) {
    SendMessage(WM_SETMESSAGESTRING, 0, reinterpret_cast<LPARAM>(lpszText));
}

void CFrameWnd::SetMessageText(UINT nID) {
    SendMessage(WM_SETMESSAGESTRING, nID, 0);
}

BOOL CFrameWnd::OnBarCheck(UINT nID) {
    CControlBar* bar = GetControlBar(nID);
    if (bar == nullptr) return FALSE;
    ShowControlBar(bar, !bar->IsVisible(), FALSE);
    return TRUE;
}

void CFrameWnd::OnUpdateControlBarMenu(CCmdUI* pCmdUI) {
    CControlBar* bar = GetControlBar(pCmdUI->m_nID);
    if (bar == nullptr) {
        pCmdUI->m_bContinueRouting = TRUE;
        return;
    }
    pCmdUI->SetCheck(bar->IsVisible() ? 1 : 0);
}

void CFrameWnd::OnUpdateKeyIndicator(CCmdUI* pCmdUI) {
    int key = 0;
    switch (pCmdUI->m_nID) {
    case ID_INDICATOR_CAPS:
        key = VK_CAPITAL;
        break;
    case ID_INDICATOR_NUM:
        key = VK_NUMLOCK;
        break;
    case ID_INDICATOR_SCRL:
        key = VK_SCROLL;
        break;
    default:
        pCmdUI->m_bContinueRouting = TRUE;
        return;
    }
    pCmdUI->Enable((::GetKeyState(key) & 1) != 0);
}

// ---- bars ----

void CFrameWnd::AddControlBar(CControlBar* pBar) {
    for (const BarPlace& place : m_listControlBars)
        if (place.bar == pBar) return;
    m_listControlBars.push_back(BarPlace{pBar, 0});
}

void CFrameWnd::RemoveControlBar(CControlBar* pBar) {
    std::erase_if(m_listControlBars, [pBar](const BarPlace& p) { return p.bar == pBar; });
}

CControlBar* CFrameWnd::GetControlBarAt(int nIndex) const {
    return nIndex >= 0 && nIndex < GetControlBarCount() ? m_listControlBars[std::size_t(nIndex)].bar
                                                         : nullptr;
}

CControlBar* CFrameWnd::GetControlBar(UINT nID) {
    for (const BarPlace& place : m_listControlBars)
        if (place.bar->m_hWnd != nullptr && UINT(place.bar->GetDlgCtrlID()) == nID) return place.bar;
    return nullptr;
}

void CFrameWnd::ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL) {
    if (pBar == nullptr || pBar->m_hWnd == nullptr) return;
    pBar->ShowWindow(bShow ? SW_SHOWNOACTIVATE : SW_HIDE);
    RecalcLayout();
}

void CFrameWnd::FloatControlBar(CControlBar* pBar, CPoint point, DWORD dwStyle) {
    if (pBar == nullptr || pBar->m_hWnd == nullptr) return;
    AddControlBar(pBar);
    const DWORD side = (dwStyle & CBRS_ALIGN_ANY) != 0 ? sideOf(dwStyle) : CBRS_ALIGN_TOP;
    pBar->m_dwStyle = (pBar->m_dwStyle & ~CBRS_ALIGN_ANY) | side | CBRS_FLOATING;
    CMiniFrameWnd* mini = pBar->m_pFloatFrame;
    if (mini == nullptr) {
        mini = new CMiniFrameWnd;
        CString title;
        pBar->GetWindowText(title);
        if (!mini->CreateFloating(this, title, CRect(point, CSize(10, 10)))) {
            delete mini;
            pBar->m_dwStyle &= ~CBRS_FLOATING;
            return;
        }
        pBar->m_pFloatFrame = mini;
        ::SetParent(pBar->m_hWnd, mini->m_hWnd);
    }
    for (BarPlace& place : m_listControlBars)
        if (place.bar == pBar) place.row = 0;
    const CSize size = pBar->CalcFixedLayout(FALSE, (side & CBRS_ORIENT_HORZ) != 0);
    mini->FitBar(pBar, point, size);
    pBar->ShowWindow(SW_SHOWNOACTIVATE);
    mini->ShowWindow(SW_SHOWNOACTIVATE);
    RecalcLayout();
}

void CFrameWnd::DockControlBar(CControlBar* pBar, UINT nDockBarID, LPCRECT lpRect) {
    if (pBar == nullptr) return;
    if (CMiniFrameWnd* mini = pBar->m_pFloatFrame) {
        pBar->m_pFloatFrame = nullptr;
        pBar->m_dwStyle &= ~CBRS_FLOATING;
        if (pBar->m_hWnd != nullptr) {
            ::SetParent(pBar->m_hWnd, m_hWnd);
            pBar->ShowWindow(SW_SHOWNOACTIVATE);
        }
        mini->m_pBar = nullptr;
        mini->DestroyWindow(); // deletes itself
    }
    AddControlBar(pBar);
    DWORD side = AfxDockSideOf(nDockBarID);
    if (side == 0) side = sideOf(pBar->m_dwStyle);
    if (side == 0) side = CBRS_ALIGN_TOP;
    pBar->m_dwStyle = (pBar->m_dwStyle & ~CBRS_ALIGN_ANY) | side;
    auto self = std::find_if(m_listControlBars.begin(), m_listControlBars.end(),
                             [pBar](const BarPlace& p) { return p.bar == pBar; });
    int row = 0;
    if (lpRect != nullptr) {
        // The row of another bar on that side that the rectangle meets across the row.
        const bool horizontal = (side & CBRS_ORIENT_HORZ) != 0;
        for (BarPlace& other : m_listControlBars) {
            if (other.bar == pBar || sideOf(other.bar->m_dwStyle) != side || !other.bar->IsVisible())
                continue;
            CRect r;
            other.bar->GetWindowRect(&r);
            const bool meets = horizontal ? lpRect->top < r.bottom && lpRect->bottom > r.top
                                          : lpRect->left < r.right && lpRect->right > r.left;
            if (!meets) continue;
            if (other.row == 0) other.row = m_nextRow++;
            row = other.row;
            break;
        }
    }
    if (row == 0) row = m_nextRow++;
    BarPlace place{pBar, row};
    m_listControlBars.erase(self);
    if (lpRect != nullptr) {
        // Within the row, bars stand in the order of their leading edges.
        const bool horizontal = (side & CBRS_ORIENT_HORZ) != 0;
        const LONG lead = horizontal ? lpRect->left : lpRect->top;
        auto at = m_listControlBars.end();
        for (auto it = m_listControlBars.begin(); it != m_listControlBars.end(); ++it) {
            if (it->row != row) continue;
            CRect r;
            it->bar->GetWindowRect(&r);
            at = it + 1;
            if ((horizontal ? r.left : r.top) > lead) {
                at = it;
                break;
            }
        }
        m_listControlBars.insert(at, place);
    } else {
        m_listControlBars.push_back(place);
    }
    RecalcLayout();
}

void CFrameWnd::RecalcLayout(BOOL) {
    if (m_hWnd == nullptr || m_inLayout) return;
    m_inLayout = true;
    CRect rest;
    GetClientRect(&rest);
    std::vector<bool> placed(m_listControlBars.size(), false);
    for (std::size_t i = 0; i < m_listControlBars.size(); ++i) {
        if (placed[i]) continue;
        // The bars of this row (a bar without a row is a row of its own).
        std::vector<std::size_t> row{i};
        if (m_listControlBars[i].row != 0)
            for (std::size_t j = i + 1; j < m_listControlBars.size(); ++j)
                if (m_listControlBars[j].row == m_listControlBars[i].row) row.push_back(j);
        for (std::size_t j : row) placed[j] = true;
        const DWORD side = sideOf(m_listControlBars[i].bar->m_dwStyle);
        const bool horizontal = (side & CBRS_ORIENT_HORZ) != 0;
        if (side == 0 || m_listControlBars[i].bar->IsFloating()) continue;
        int thickness = 0;
        std::vector<std::pair<CControlBar*, CSize>> sizes;
        for (std::size_t j : row) {
            CControlBar* bar = m_listControlBars[j].bar;
            if (!bar->IsVisible() || sideOf(bar->m_dwStyle) != side) continue;
            const CSize size = bar->CalcFixedLayout(TRUE, horizontal ? TRUE : FALSE);
            thickness = std::max<int>(thickness, horizontal ? size.cy : size.cx);
            sizes.emplace_back(bar, size);
        }
        if (sizes.empty()) continue;
        const int length = horizontal ? rest.Width() : rest.Height();
        const int thick = std::min(thickness, horizontal ? rest.Height() : rest.Width());
        int at = 0;
        for (std::size_t k = 0; k < sizes.size(); ++k) {
            // A row of several bars gives each its own length, the last the rest.
            CSize wanted = sizes.size() == 1 ? sizes[k].second
                                             : sizes[k].first->CalcFixedLayout(FALSE, horizontal ? TRUE : FALSE);
            int span = horizontal ? wanted.cx : wanted.cy;
            if (k + 1 == sizes.size() || span > length - at) span = length - at;
            span = std::max(0, span);
            CRect r;
            if (side == CBRS_ALIGN_TOP) r = CRect(rest.left + at, rest.top, rest.left + at + span, rest.top + thick);
            else if (side == CBRS_ALIGN_BOTTOM) r = CRect(rest.left + at, rest.bottom - thick, rest.left + at + span, rest.bottom);
            else if (side == CBRS_ALIGN_LEFT) r = CRect(rest.left, rest.top + at, rest.left + thick, rest.top + at + span);
            else r = CRect(rest.right - thick, rest.top + at, rest.right, rest.top + at + span);
            sizes[k].first->MoveWindow(&r, TRUE);
            at += span;
        }
        if (side == CBRS_ALIGN_TOP) rest.top += thick;
        else if (side == CBRS_ALIGN_BOTTOM) rest.bottom -= thick;
        else if (side == CBRS_ALIGN_LEFT) rest.left += thick;
        else rest.right -= thick;
    }
    if (CWnd* pane = GetDlgItem(int(AFX_IDW_PANE_FIRST))) pane->MoveWindow(&rest, TRUE);
    m_inLayout = false;
}

void CFrameWnd::SaveBarState(LPCSTR lpszProfileName) const {
    CWinApp* app = AfxGetApp();
    if (app == nullptr || lpszProfileName == nullptr) return;
    int count = 0;
    for (const BarPlace& place : m_listControlBars) {
        if (place.bar->m_hWnd == nullptr) continue;
        char section[256];
        std::snprintf(section, sizeof section, "%s-Bar%d", lpszProfileName, count++);
        app->WriteProfileInt(section, "BarID", place.bar->GetDlgCtrlID());
        app->WriteProfileInt(section, "Visible", place.bar->IsVisible() ? 1 : 0);
        app->WriteProfileInt(section, "DockSide", int(sideOf(place.bar->m_dwStyle)));
    }
    char summary[256];
    std::snprintf(summary, sizeof summary, "%s-Summary", lpszProfileName);
    app->WriteProfileInt(summary, "Bars", count);
}

void CFrameWnd::LoadBarState(LPCSTR lpszProfileName) {
    CWinApp* app = AfxGetApp();
    if (app == nullptr || lpszProfileName == nullptr) return;
    char summary[256];
    std::snprintf(summary, sizeof summary, "%s-Summary", lpszProfileName);
    const int count = int(app->GetProfileInt(summary, "Bars", 0));
    // A count beyond the bars there are cannot name more of them.
    const int limit = std::min(count, 256);
    for (int i = 0; i < limit; ++i) {
        char section[256];
        std::snprintf(section, sizeof section, "%s-Bar%d", lpszProfileName, i);
        const int id = int(app->GetProfileInt(section, "BarID", 0));
        CControlBar* bar = id != 0 ? GetControlBar(UINT(id)) : nullptr;
        if (bar == nullptr) continue;
        const int side = int(app->GetProfileInt(section, "DockSide", 0));
        if ((side == int(CBRS_ALIGN_TOP) || side == int(CBRS_ALIGN_BOTTOM) ||
             side == int(CBRS_ALIGN_LEFT) || side == int(CBRS_ALIGN_RIGHT)) &&
            (bar->m_dwDockStyle & DWORD(side)) && DWORD(side) != sideOf(bar->m_dwStyle))
            DockControlBar(bar, side == int(CBRS_ALIGN_TOP)      ? AFX_IDW_DOCKBAR_TOP
                                : side == int(CBRS_ALIGN_BOTTOM) ? AFX_IDW_DOCKBAR_BOTTOM
                                : side == int(CBRS_ALIGN_LEFT)   ? AFX_IDW_DOCKBAR_LEFT
                                                                 : AFX_IDW_DOCKBAR_RIGHT);
        const int visible = int(app->GetProfileInt(section, "Visible", 1));
        bar->ShowWindow(visible != 0 ? SW_SHOWNOACTIVATE : SW_HIDE);
    }
    RecalcLayout();
}

// ---- print preview ----

void CFrameWnd::OnSetPreviewMode(BOOL bPreview, CPrintPreviewState* pState) {
    if (pState == nullptr) return;
    if (bPreview) {
        // The bars are hidden while the preview stands in for the pane; the menu goes.
        pState->hiddenBars.clear();
        for (const BarPlace& place : m_listControlBars)
            if (place.bar->IsVisible()) {
                pState->hiddenBars.push_back(place.bar);
                place.bar->ShowWindow(SW_HIDE);
            }
        pState->hMenu = ::GetMenu(m_hWnd);
        ::SetMenu(m_hWnd, nullptr);
        pState->pViewActiveOld = m_pViewActive;
        m_pPreviewState = pState;
    } else {
        for (CControlBar* bar : pState->hiddenBars)
            if (std::any_of(m_listControlBars.begin(), m_listControlBars.end(),
                            [bar](const BarPlace& p) { return p.bar == bar; }))
                bar->ShowWindow(SW_SHOWNOACTIVATE);
        pState->hiddenBars.clear();
        ::SetMenu(m_hWnd, pState->hMenu);
        m_pPreviewState = nullptr;
    }
    RecalcLayout();
}
