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

    // The mapping is the printer's (the attribute context); the output context gets it
    // followed by the scale and offset, so that drawing meant for the page lands on its
    // picture on the screen.
    void SetOutputDC(HDC dc) override;
    void SetAttribDC(HDC dc) override;
    int SetMapMode(int mode) override;
    CPoint SetViewportOrg(int x, int y) override;
    CPoint OffsetViewportOrg(int dx, int dy) override;
    CSize SetViewportExt(int x, int y) override;
    CSize ScaleViewportExt(int xn, int xd, int yn, int yd) override;
    CPoint SetWindowOrg(int x, int y) override;
    CSize SetWindowExt(int x, int y) override;
    CSize ScaleWindowExt(int xn, int xd, int yn, int yd) override;
    using CDC::SetViewportExt;
    using CDC::SetViewportOrg;
    using CDC::SetWindowExt;
    using CDC::SetWindowOrg;
    // Sets the output context's mapping from the printer's.
    void MirrorMappingMode();

protected:
    int m_nScaleNum = 1;
    int m_nScaleDen = 1;
    CSize m_sizeTopLeft;
};
