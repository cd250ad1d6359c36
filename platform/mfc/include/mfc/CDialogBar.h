#pragma once
// A control bar made from a dialog template: the template's controls on the bar's face, the
// bar as tall (or wide) as the template. Commands of its controls that the bar's own map
// does not take go on to the frame.

#include "mfc/CControlBar.h"

class MFC_API CDialogBar : public CControlBar {
    DECLARE_DYNAMIC(CDialogBar)
public:
    CDialogBar() = default;
    ~CDialogBar() override;

    // The template is made a child of pParentWnd whatever its own style; nStyle holds the
    // bar style (CBRS_) and window style bits. FALSE when the template is missing or bad.
    virtual BOOL Create(CWnd* pParentWnd, UINT nIDTemplate, UINT nStyle, UINT nID);
    using CWnd::Create;

    // Horizontal: stretched along the edge when asked, the template's height across it.
    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;

    // The template's size in pixels.
    CSize m_sizeDefault;
};
