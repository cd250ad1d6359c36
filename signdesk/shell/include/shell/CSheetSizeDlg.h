#pragma once
// The sheet size and grid dialog (template 2003): the sheet's width and height (free, from
// the standard sheets, or the default printer's page), its orientation, the grid's origin
// and spacing, whether the grid is drawn as lines, and the sheet and grid colours. Lengths
// are millimetres shown in the current unit. The opener fills the fields and reads them
// back after OK.

#include <mfc/CControls.h>
#include <mfc/CDialog.h>

#include "shell/CColorSwatch.h"
#include "shell/SheetSizeDlgIds.h"

class CSheetSizeDlg : public CDialog {
public:
    explicit CSheetSizeDlg(CWnd* pParent = nullptr);

    COLORREF backgroundColor = RGB(255, 255, 255);
    COLORREF gridColor = RGB(192, 192, 192);
    float sheetWidth = 0;
    float sheetHeight = 0;
    float gridOffsetX = 0;
    float gridOffsetY = 0;
    float gridDensityX = 25;
    float gridDensityY = 25;
    BOOL lineGrid = FALSE;
    BOOL landscape = FALSE;
    CComboBox sheetList;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnSheetColor();
    void OnGridColor();
    void OnSheetChosen();
    void OnLandscape();
    void OnPrinterPage();
    void OnStoreDefault();
    DECLARE_MESSAGE_MAP()

private:
    // Width and height editable only while the free size "[...]" is chosen.
    void EnableSizeFields();
    void ChooseColor(CColorSwatch& swatch, COLORREF& color);
    CColorSwatch backgroundSwatch;
    CColorSwatch gridSwatch;
};
