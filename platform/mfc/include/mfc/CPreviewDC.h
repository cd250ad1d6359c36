#pragma once
// The print preview's context: draws on the screen (output) what the printer (attributes)
// would print, scaled by a ratio and offset to the page's place on the screen.

#include "mfc/CDC.h"

class MFC_API CPreviewDC : public CDC {
    DECLARE_DYNAMIC(CPreviewDC)
public:
    CPreviewDC() = default;
    // Screen units per printer unit as numerator / denominator.
    void SetScaleRatio(int numerator, int denominator);
    void SetTopLeftOffset(SIZE offset);
    // Printer device point to screen device point: scaled, then offset.
    void PrinterDPtoScreenDP(LPPOINT point) const;

protected:
    int m_nScaleNum = 1;
    int m_nScaleDen = 1;
    CSize m_sizeTopLeft;
};
