#include "rasterkit/CDibDC.h"

IMPLEMENT_DYNCREATE(CDibDC, CDC)

CDibDC::CDibDC(CDC* ref) {
    RECT clip{0, 0, 0, 0};
    if (ref) ref->GetClipBox(&clip);
    Make(ref, clip);
}

CDibDC::CDibDC(CDC* ref, const RECT& r) {
    Make(ref, r);
}

CDibDC::CDibDC(int w, int h) {
    Make(nullptr, RECT{0, 0, w, h});
}

void CDibDC::Make(CDC* ref, const RECT& r) {
    m_pRefDC = ref;
    const long long w = (long long)r.right - r.left, h = (long long)r.bottom - r.top;
    if (w < 1 || h < 1 || w > 0x7FFFFFFF || h > 0x7FFFFFFF) return;
    if (!m_DIB.Create(int(w), int(h))) return;
    if (!m_DIB.AttachMemDC(*this, ref)) {
        m_DIB.Destroy();
        if (m_hDC) DeleteDC();
        return;
    }
    SetViewportOrg(-r.left, -r.top);
    if (ref) m_bPrinting = ref->m_bPrinting;
}

CDibDC::~CDibDC() {
    m_DIB.Destroy();
}

BOOL CDibDC::PtVisible(int x, int y) const {
    return ::PtVisible(m_hDC, x, y);
}

BOOL CDibDC::RectVisible(const RECT* rect) const {
    return ::RectVisible(m_hDC, rect);
}

BOOL CDibDC::TextOut(int x, int y, LPCSTR text, int length) {
    return ::TextOutA(m_hDC, x, y, text, length);
}

BOOL CDibDC::ExtTextOut(int x, int y, UINT options, const RECT* rect, LPCSTR text, UINT length,
                        const INT* dx) {
    return ::ExtTextOutA(m_hDC, x, y, options, rect, text, length, dx);
}

int CDibDC::Escape(int escape, int inSize, LPCSTR in, LPVOID out) {
    return ::Escape(m_hDC, escape, inSize, in, out);
}
