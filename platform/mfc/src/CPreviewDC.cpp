#include "mfc/CPreviewDC.h"

IMPLEMENT_DYNAMIC(CPreviewDC, CDC)

void CPreviewDC::SetScaleRatio(int numerator, int denominator) {
    if (numerator > 0 && denominator > 0) {
        m_nScaleNum = numerator;
        m_nScaleDen = denominator;
    }
    MirrorMappingMode();
}

void CPreviewDC::SetTopLeftOffset(SIZE offset) {
    m_sizeTopLeft = offset;
    MirrorMappingMode();
}

void CPreviewDC::PrinterDPtoScreenDP(LPPOINT point) const {
    if (!point) return;
    point->x = MulDiv(point->x, m_nScaleNum, m_nScaleDen) + m_sizeTopLeft.cx;
    point->y = MulDiv(point->y, m_nScaleNum, m_nScaleDen) + m_sizeTopLeft.cy;
}

void CPreviewDC::SetOutputDC(HDC dc) {
    CDC::SetOutputDC(dc);
    MirrorMappingMode();
}

void CPreviewDC::SetAttribDC(HDC dc) {
    CDC::SetAttribDC(dc);
    MirrorMappingMode();
}

int CPreviewDC::SetMapMode(int mode) {
    const int old = ::SetMapMode(m_hAttribDC, mode);
    MirrorMappingMode();
    return old;
}

CPoint CPreviewDC::SetViewportOrg(int x, int y) {
    POINT old{0, 0};
    ::SetViewportOrgEx(m_hAttribDC, x, y, &old);
    MirrorMappingMode();
    return old;
}

CPoint CPreviewDC::OffsetViewportOrg(int dx, int dy) {
    POINT old{0, 0};
    ::OffsetViewportOrgEx(m_hAttribDC, dx, dy, &old);
    MirrorMappingMode();
    return old;
}

CSize CPreviewDC::SetViewportExt(int x, int y) {
    SIZE old{0, 0};
    ::SetViewportExtEx(m_hAttribDC, x, y, &old);
    MirrorMappingMode();
    return old;
}

CSize CPreviewDC::ScaleViewportExt(int xn, int xd, int yn, int yd) {
    SIZE old{0, 0};
    ::ScaleViewportExtEx(m_hAttribDC, xn, xd, yn, yd, &old);
    MirrorMappingMode();
    return old;
}

CPoint CPreviewDC::SetWindowOrg(int x, int y) {
    POINT old{0, 0};
    ::SetWindowOrgEx(m_hAttribDC, x, y, &old);
    MirrorMappingMode();
    return old;
}

CSize CPreviewDC::SetWindowExt(int x, int y) {
    SIZE old{0, 0};
    ::SetWindowExtEx(m_hAttribDC, x, y, &old);
    MirrorMappingMode();
    return old;
}

CSize CPreviewDC::ScaleWindowExt(int xn, int xd, int yn, int yd) {
    SIZE old{0, 0};
    ::ScaleWindowExtEx(m_hAttribDC, xn, xd, yn, yd, &old);
    MirrorMappingMode();
    return old;
}

void CPreviewDC::MirrorMappingMode() {
    if (m_hDC == nullptr || m_hAttribDC == nullptr || m_hDC == m_hAttribDC) return;
    POINT windowOrg{0, 0}, viewportOrg{0, 0};
    SIZE windowExt{1, 1}, viewportExt{1, 1};
    ::GetWindowOrgEx(m_hAttribDC, &windowOrg);
    ::GetViewportOrgEx(m_hAttribDC, &viewportOrg);
    if (::GetMapMode(m_hAttribDC) != MM_TEXT) {
        ::GetWindowExtEx(m_hAttribDC, &windowExt);
        ::GetViewportExtEx(m_hAttribDC, &viewportExt);
    }
    // screen = ((logical - windowOrg) * viewportExt / windowExt + viewportOrg) * num / den
    //          + topLeft
    ::SetMapMode(m_hDC, MM_ANISOTROPIC);
    ::SetWindowExtEx(m_hDC, windowExt.cx * m_nScaleDen, windowExt.cy * m_nScaleDen, nullptr);
    ::SetViewportExtEx(m_hDC, viewportExt.cx * m_nScaleNum, viewportExt.cy * m_nScaleNum, nullptr);
    ::SetWindowOrgEx(m_hDC, windowOrg.x, windowOrg.y, nullptr);
    ::SetViewportOrgEx(m_hDC, MulDiv(viewportOrg.x, m_nScaleNum, m_nScaleDen) + m_sizeTopLeft.cx,
                       MulDiv(viewportOrg.y, m_nScaleNum, m_nScaleDen) + m_sizeTopLeft.cy, nullptr);
}
