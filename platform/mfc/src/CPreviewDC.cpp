#include "mfc/CPreviewDC.h"

IMPLEMENT_DYNAMIC(CPreviewDC, CDC)

void CPreviewDC::SetScaleRatio(int numerator, int denominator) {
    if (numerator > 0 && denominator > 0) {
        m_nScaleNum = numerator;
        m_nScaleDen = denominator;
    }
}

void CPreviewDC::SetTopLeftOffset(SIZE offset) {
    m_sizeTopLeft = offset;
}

void CPreviewDC::PrinterDPtoScreenDP(LPPOINT point) const {
    if (!point) return;
    point->x = MulDiv(point->x, m_nScaleNum, m_nScaleDen) + m_sizeTopLeft.cx;
    point->y = MulDiv(point->y, m_nScaleNum, m_nScaleDen) + m_sizeTopLeft.cy;
}
