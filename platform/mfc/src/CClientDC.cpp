#include "mfc/CClientDC.h"

#include "mfc/CWnd.h"

IMPLEMENT_DYNAMIC(CClientDC, CDC)
IMPLEMENT_DYNAMIC(CWindowDC, CDC)
IMPLEMENT_DYNAMIC(CPaintDC, CDC)

CClientDC::CClientDC(CWnd* wnd) : m_hWnd(wnd ? wnd->GetSafeHwnd() : nullptr) {
    Attach(::GetDC(m_hWnd));
}

CClientDC::~CClientDC() {
    if (HDC dc = Detach()) ::ReleaseDC(m_hWnd, dc);
}

CWindowDC::CWindowDC(CWnd* wnd) : m_hWnd(wnd ? wnd->GetSafeHwnd() : nullptr) {
    Attach(::GetDC(m_hWnd));
}

CWindowDC::~CWindowDC() {
    if (HDC dc = Detach()) ::ReleaseDC(m_hWnd, dc);
}

CPaintDC::CPaintDC(CWnd* wnd) : m_hWnd(wnd ? wnd->GetSafeHwnd() : nullptr) {
    Attach(::BeginPaint(m_hWnd, &m_ps));
}

CPaintDC::~CPaintDC() {
    Detach();
    ::EndPaint(m_hWnd, &m_ps);
}
