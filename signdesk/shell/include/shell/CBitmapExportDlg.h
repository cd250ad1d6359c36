#pragma once
// Asks for the resolution and pixel size of a design rendered into a raster file (template
// 221). The caller sets the physical size; resolution, pixel width and pixel height follow
// one another as the user edits any of them, and the caller reads the pixel size back.

#include <mfc/CDialog.h>
#include <mfc/CString.h>

#include "shell/BitmapExportDlgIds.h"

class CBitmapExportDlg : public CDialog {
public:
    explicit CBitmapExportDlg(CWnd* pParent = nullptr);

    // The control being edited (0 on the OK path): the data exchange leaves it alone.
    int m_nEditing = 0;
    float m_fWidthMM = 1.0f;
    float m_fHeightMM = 1.0f;
    CString m_strResolution;
    UINT m_nPixelHeight = 0;
    UINT m_nPixelWidth = 0;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnResolutionEdited();
    void OnResolutionPicked();
    void OnPixelWidthEdited();
    void OnPixelHeightEdited();
    // Shows every control but `editing` from the fields.
    void Refresh(int editing);
    DECLARE_MESSAGE_MAP()
};
