#pragma once
// The print-and-cut page of the application's options sheet (template 249): the defaults of
// the output sheet's print options. The sheet fills the fields and takes them back after OK.
#include <mfc/CPropertySheet.h>
#include <shell/CColorSwatch.h>

class CPrintAndCutPage : public CPropertyPage {
public:
    enum { IDD = 249 };
    CPrintAndCutPage();

    COLORREF markColor = 0;
    int choice = 0;
    int cropMarks = 1;
    int syncMarks = 1;
    int detail = 1;
    CString profilePath;
    int colourCalibration = 0;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

private:
    void Enable();
    CColorSwatch swatch_;
};
