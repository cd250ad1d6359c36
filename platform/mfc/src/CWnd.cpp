#include "mfc/CWnd.h"

IMPLEMENT_DYNCREATE(CWnd, CCmdTarget)

CWnd::~CWnd() = default;

HWND CWnd::GetSafeHwnd() const {
    // Callers rely on a null CWnd* giving a null handle; keep the compiler from assuming that
    // this is never null.
    const CWnd* self = this;
    asm("" : "+r"(self));
    return self == nullptr ? nullptr : self->m_hWnd;
}
