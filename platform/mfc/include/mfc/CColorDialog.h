#pragma once
// The colour dialog: the framework's own, with an edit field for each of red, green and blue
// (0 to 255) filled from the initial colour. DoModal runs it driven headless by a dialog
// script for the class name "CColorDialog"; OK takes the three numbers (a number outside
// 0..255 is refused and the dialog stays open).

#include <vector>

#include "mfc/CDialog.h"
#include "win32/commdlg.h"

// Control ids of the colour dialog's fields.
constexpr int SD_COLOR_RED = 706;
constexpr int SD_COLOR_GREEN = 707;
constexpr int SD_COLOR_BLUE = 708;

class MFC_API CColorDialog : public CDialog {
    DECLARE_DYNAMIC(CColorDialog)
public:
    explicit CColorDialog(COLORREF clrInit = 0, DWORD dwFlags = 0, CWnd* pParentWnd = nullptr);
    ~CColorDialog() override;

    INT_PTR DoModal() override;
    COLORREF GetColor() const { return m_cc.rgbResult; }
    void SetCurrentColor(COLORREF clr) { m_cc.rgbResult = clr; }

    CHOOSECOLORA m_cc{};

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    LPCDLGTEMPLATE FindTemplate(int* templateId) const override;

private:
    std::vector<BYTE> m_template;
};
