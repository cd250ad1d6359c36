#pragma once
// The print and print set-up dialogs. The default printer is the first printer the spooler
// lists; its set-up starts portrait (DMORIENT_PORTRAIT), one copy, with no paper size: the
// printer's own default media until the user picks a paper in the set-up dialog.
// DoModal runs a dialog of the framework's own (printer list; for the set-up the
// orientation and paper, else the copies), driven headless by a dialog script for the
// runtime class name. Without a printer it tells the user and gives IDCANCEL.

#include <vector>

#include "mfc/CDialog.h"
#include "win32/commdlg.h"
#include "win32/wingdi.h"

// Control ids of the framework's print dialogs.
constexpr int SD_PRINT_PRINTER = 1139; // combo box of the printers
constexpr int SD_PRINT_PORTRAIT = 1056;
constexpr int SD_PRINT_LANDSCAPE = 1057;
constexpr int SD_PRINT_PAPER = 1137; // combo box of the paper sizes
constexpr int SD_PRINT_COPIES = 1154;

class MFC_API CPrintDialog : public CDialog {
    DECLARE_DYNAMIC(CPrintDialog)
public:
    explicit CPrintDialog(BOOL bPrintSetupOnly,
                          DWORD dwFlags = PD_ALLPAGES | PD_USEDEVMODECOPIES | PD_NOPAGENUMS |
                                          PD_HIDEPRINTTOFILE | PD_NOSELECTION,
                          CWnd* pParentWnd = nullptr);
    ~CPrintDialog() override;

    INT_PTR DoModal() override;
    // The default printer's set-up into m_pd (hDevMode, hDevNames; with PD_RETURNDC also
    // hDC); FALSE without a printer.
    BOOL GetDefaults();

    // The locked device mode, or null.
    DEVMODEA* GetDevMode() const;
    CString GetDriverName() const;
    CString GetDeviceName() const;
    CString GetPortName() const;
    int GetCopies() const;
    HDC GetPrinterDC() const { return m_pd.hDC; }
    HDC CreatePrinterDC();

    PRINTDLGA m_pd{};

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    LPCDLGTEMPLATE FindTemplate(int* templateId) const override;

private:
    BOOL m_bPrintSetupOnly;
    std::vector<BYTE> m_template;
};

// The set-up of a printer as the handles the dialogs exchange: a DEVMODEA and a DEVNAMES
// in movable global memory. Null handles when the printer is unknown.
MFC_API BOOL AfxMakePrinterSetup(LPCSTR lpszPrinter, HGLOBAL* phDevMode, HGLOBAL* phDevNames);
