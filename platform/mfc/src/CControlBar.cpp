#include "mfc/CControlBar.h"

#include "mfc/CClientDC.h"
#include "mfc/CFrameWnd.h"

IMPLEMENT_DYNAMIC(CControlBar, CWnd)

BEGIN_MESSAGE_MAP(CControlBar, CWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
END_MESSAGE_MAP()

CControlBar::~CControlBar() {
    if (m_pDockSite != nullptr) m_pDockSite->RemoveControlBar(this);
}

BOOL CControlBar::CreateBar(LPCSTR lpszClassName, DWORD dwStyle, CWnd* pParentWnd, UINT nID,
                            DWORD dwExStyle) {
    if (pParentWnd == nullptr || pParentWnd->m_hWnd == nullptr) return FALSE;
    m_dwStyle = dwStyle & CBRS_ALL;
    // The bar styles are the framework's; the window gets the window styles.
    const DWORD windowStyle = (dwStyle & 0xFFFF0000) | WS_CHILD;
    if (lpszClassName == nullptr)
        lpszClassName = AfxRegisterWndClass(0, ::LoadCursorA(nullptr, IDC_ARROW));
    return CreateEx(dwExStyle, lpszClassName, "", windowStyle, CRect(0, 0, 0, 0), pParentWnd, nID);
}

int CControlBar::OnCreate(CREATESTRUCT*) {
    if (auto* frame = DYNAMIC_DOWNCAST(CFrameWnd, FromHandlePermanent(::GetParent(m_hWnd)))) {
        m_pDockSite = frame;
        frame->AddControlBar(this);
    }
    return 0;
}

void CControlBar::OnDestroy() {
    if (m_pDockSite != nullptr) {
        m_pDockSite->RemoveControlBar(this);
        m_pDockSite = nullptr;
    }
    Default();
}

void CControlBar::SetBarStyle(DWORD dwStyle) {
    if (m_dwStyle == (dwStyle & CBRS_ALL)) return;
    m_dwStyle = dwStyle & CBRS_ALL;
    if (m_hWnd != nullptr) Invalidate();
}

BOOL CControlBar::IsVisible() const {
    return m_hWnd != nullptr && (GetStyle() & WS_VISIBLE) != 0;
}

CSize CControlBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz) {
    CSize size;
    size.cx = bStretch && bHorz ? 32767 : m_cxLeftBorder + m_cxRightBorder;
    size.cy = bStretch && !bHorz ? 32767 : m_cyTopBorder + m_cyBottomBorder;
    return size;
}

void CControlBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) {
    UpdateDialogControls(pTarget, bDisableIfNoHndler);
}

void CControlBar::DoPaint(CDC*) {}

void CControlBar::DrawBorders(CDC* pDC, CRect& rect) {
    const COLORREF shadow = ::GetSysColor(COLOR_3DSHADOW);
    const COLORREF light = ::GetSysColor(COLOR_3DHIGHLIGHT);
    // Each border is an etched line: shadow, then light inside it.
    if (m_dwStyle & CBRS_BORDER_TOP) {
        pDC->FillSolidRect(rect.left, rect.top, rect.Width(), 1, shadow);
        pDC->FillSolidRect(rect.left, rect.top + 1, rect.Width(), 1, light);
        rect.top += 2;
    }
    if (m_dwStyle & CBRS_BORDER_BOTTOM) {
        pDC->FillSolidRect(rect.left, rect.bottom - 2, rect.Width(), 1, shadow);
        pDC->FillSolidRect(rect.left, rect.bottom - 1, rect.Width(), 1, light);
        rect.bottom -= 2;
    }
    if (m_dwStyle & CBRS_BORDER_LEFT) {
        pDC->FillSolidRect(rect.left, rect.top, 1, rect.Height(), shadow);
        pDC->FillSolidRect(rect.left + 1, rect.top, 1, rect.Height(), light);
        rect.left += 2;
    }
    if (m_dwStyle & CBRS_BORDER_RIGHT) {
        pDC->FillSolidRect(rect.right - 2, rect.top, 1, rect.Height(), shadow);
        pDC->FillSolidRect(rect.right - 1, rect.top, 1, rect.Height(), light);
        rect.right -= 2;
    }
}

BOOL CControlBar::OnEraseBkgnd(CDC* pDC) {
    if (pDC == nullptr || pDC->m_hDC == nullptr) return FALSE;
    CRect rect;
    GetClientRect(&rect);
    pDC->FillSolidRect(&rect, ::GetSysColor(COLOR_3DFACE));
    return TRUE;
}

void CControlBar::OnPaint() {
    CPaintDC dc(this);
    if (dc.m_hDC == nullptr) return;
    CRect rect;
    GetClientRect(&rect);
    if (dc.m_ps.fErase) dc.FillSolidRect(&rect, ::GetSysColor(COLOR_3DFACE));
    DrawBorders(&dc, rect);
    DoPaint(&dc);
}

LRESULT CControlBar::OnIdleUpdateCmdUI(WPARAM wParam, LPARAM) {
    if (!IsVisible()) return 0;
    CFrameWnd* target = m_pDockSite != nullptr ? m_pDockSite : GetParentFrame();
    if (target != nullptr) OnUpdateCmdUI(target, BOOL(wParam));
    return 0;
}

BOOL CControlBar::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (CWnd::OnCommand(wParam, lParam)) return TRUE;
    CWnd* owner = m_pDockSite != nullptr ? static_cast<CWnd*>(m_pDockSite) : GetParent();
    if (owner == nullptr) return FALSE;
    owner->SendMessage(WM_COMMAND, wParam, lParam);
    return TRUE;
}
