#include "CutPageDialogs.h"

#include <mfc/CDataExchange.h>
#include <mfc/CFileDialog.h>
#include <settings/PathNames.h>

#include "../PlotFields.h"
#include "SheetIds.h"
#include "plot/Plotter.h"

namespace plotsheet {

BEGIN_MESSAGE_MAP(CSpoolJobDialog, CDialog)
ON_COMMAND(IDC_BUTTON0, OnBrowse)
END_MESSAGE_MAP()

CSpoolJobDialog::CSpoolJobDialog(CWnd* parent) : CDialog(IDD_SPOOL_JOB, parent) {}

BOOL CSpoolJobDialog::OnInitDialog() {
    name_ = DRV.jobName;
    media_ = DRV.media;
    colour_ = DRV.color;
    folder_ = DRV.spoolDirectory;
    return CDialog::OnInitDialog();
}

void CSpoolJobDialog::DoDataExchange(CDataExchange* pDX) {
    DDX_Text(pDX, IDC_EDIT0, name_);
    DDX_Text(pDX, IDC_EDIT1, media_);
    DDX_Text(pDX, IDC_EDIT2, colour_);
    DDX_Text(pDX, IDC_EDIT3, folder_);
    DDV_MaxChars(pDX, folder_, 255);
}

void CSpoolJobDialog::OnOK() {
    if (!UpdateData(TRUE)) return;
    DRV.jobName = name_;
    DRV.media = media_;
    DRV.color = colour_;
    DRV.spoolDirectory = folder_;
    CDialog::OnOK();
}

void CSpoolJobDialog::OnBrowse() {
    if (!UpdateData(TRUE)) return;
    // A folder is chosen as the place of a file; the folder is what comes before its name.
    CFileDialog chooser(FALSE, nullptr, "Junk", OFN_HIDEREADONLY, nullptr, this);
    if (!folder_.IsEmpty()) chooser.m_ofn.lpstrInitialDir = folder_;
    if (chooser.DoModal() != IDOK) return;
    folder_ = GetPathDirectory(chooser.GetPathName());
    UpdateData(FALSE);
}

CJobParamDialog::CJobParamDialog(CWnd* parent) : CDialog(IDD_JOB_PARAMETERS, parent) {}

void CJobParamDialog::DoDataExchange(CDataExchange* pDX) {
    DDX_Text(pDX, IDC_EDIT1, count);
    DDV_MinMaxUInt(pDX, count, 1, 80);
    DDX_Length(pDX, IDC_EDIT0, length);
    DDV_Length(pDX, length, 0, 50000);
}

} // namespace plotsheet
