#include "mfc/CMiniFrameWnd.h"

IMPLEMENT_DYNAMIC(CMiniFrameWnd, CFrameWnd)

BEGIN_MESSAGE_MAP(CMiniFrameWnd, CFrameWnd)
ON_WM_CLOSE()
ON_WM_SIZE()
END_MESSAGE_MAP()

CMiniFrameWnd::~CMiniFrameWnd() = default;

BOOL CMiniFrameWnd::CreateFloating(CFrameWnd* pOwner, LPCSTR lpszTitle, const RECT& rect) {
    m_pOwnerFrame = pOwner;
    const LPCSTR cls = AfxRegisterWndClass(0, ::LoadCursorA(nullptr, IDC_ARROW));
    return CreateEx(WS_EX_TOOLWINDOW, cls, lpszTitle, WS_POPUP | WS_CAPTION | WS_SYSMENU, rect.left,
                    rect.top, rect.right - rect.left, rect.bottom - rect.top,
                    pOwner != nullptr ? pOwner->m_hWnd : nullptr, nullptr);
}

void CMiniFrameWnd::FitBar(CControlBar* pBar, CPoint point, CSize barSize) {
    RECT r{point.x, point.y, point.x + barSize.cx, point.y + barSize.cy};
    ::AdjustWindowRectEx(&r, DWORD(GetStyle()), FALSE, DWORD(GetExStyle()));
    // The client area's corner stays at the point asked for.
    const int dx = point.x - r.left, dy = point.y - r.top;
    ::OffsetRect(&r, dx, dy);
    m_pBar = pBar;
    MoveWindow(&r);
    if (pBar != nullptr && pBar->m_hWnd != nullptr) pBar->MoveWindow(0, 0, barSize.cx, barSize.cy);
}

BOOL CMiniFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
    if (m_pOwnerFrame != nullptr) return m_pOwnerFrame->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
    return CFrameWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

void CMiniFrameWnd::OnClose() {
    // The bar is hidden with its window; docking it again shows it.
    if (m_pBar != nullptr && m_pBar->m_hWnd != nullptr) m_pBar->ShowWindow(SW_HIDE);
    ShowWindow(SW_HIDE);
}

void CMiniFrameWnd::OnSize(UINT, int cx, int cy) {
    if (m_pBar != nullptr && m_pBar->m_hWnd != nullptr && cx > 0 && cy > 0)
        m_pBar->MoveWindow(0, 0, cx, cy);
}
