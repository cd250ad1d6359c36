#include "select/CGuideLineDlg.h"

#include <mfc/CDataExchange.h>
#include <shell/MeasureFields.h>

void CGuideLineDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Measure(pDX, IDC_GUIDE_X, x);
    DDX_Measure(pDX, IDC_GUIDE_Y, y);
    DDX_Float(pDX, IDC_GUIDE_ANGLE, degrees);
    DDV_Float(pDX, degrees, -90, 90);
}
