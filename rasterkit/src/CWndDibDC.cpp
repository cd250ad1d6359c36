#include "rasterkit/CWndDibDC.h"

IMPLEMENT_DYNAMIC(CWndDibDC, CDibDC)

CWndDibDC::CWndDibDC(int w, int h) : CDibDC(w, h) {}

BOOL CWndDibDC::PtVisible(int x, int y) const {
    return ::PtVisible(m_hAttribDC, x, y);
}

BOOL CWndDibDC::RectVisible(const RECT* rect) const {
    return ::RectVisible(m_hAttribDC, rect);
}

BOOL CWndDibDC::TextOut(int x, int y, LPCSTR text, int length) {
    return ::TextOutA(m_hAttribDC, x, y, text, length);
}

BOOL CWndDibDC::ExtTextOut(int x, int y, UINT options, const RECT* rect, LPCSTR text, UINT length,
                           const INT* dx) {
    return ::ExtTextOutA(m_hAttribDC, x, y, options, rect, text, length, dx);
}

int CWndDibDC::Escape(int escape, int inSize, LPCSTR in, LPVOID out) {
    return ::Escape(m_hAttribDC, escape, inSize, in, out);
}
