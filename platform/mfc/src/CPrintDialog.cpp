#include "mfc/CPrintDialog.h"

#include <cstring>
#include <string>
#include <vector>

#include "DialogTemplateWriter.h"
#include "mfc/CWinApp.h"
#include "win32/kernel.h"
#include "win32/winspool.h"

IMPLEMENT_DYNAMIC(CPrintDialog, CDialog)

namespace {

struct PaperSize {
    short code;
    const char* name;
};
// Code 0: no paper chosen, the printer's own default media.
const PaperSize kPapers[] = {
    {0, "Printer default"},     {DMPAPER_A4, "A4"}, {DMPAPER_A3, "A3"}, {11, "A5"},
    {DMPAPER_LETTER, "Letter"}, {5, "Legal"},
};

std::vector<std::string> printers() {
    DWORD needed = 0, returned = 0;
    ::EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 5, nullptr, 0, &needed, &returned);
    std::vector<std::string> names;
    if (needed == 0) return names;
    std::vector<BYTE> buffer(needed);
    if (!::EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 5, buffer.data(), needed, &needed,
                         &returned))
        return names;
    const auto* info = reinterpret_cast<const PRINTER_INFO_5A*>(buffer.data());
    for (DWORD i = 0; i < returned; ++i) names.emplace_back(info[i].pPrinterName);
    return names;
}

std::string portOf(const std::string& printer) {
    DWORD needed = 0, returned = 0;
    ::EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 5, nullptr, 0, &needed, &returned);
    if (needed == 0) return "";
    std::vector<BYTE> buffer(needed);
    if (!::EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 5, buffer.data(), needed, &needed,
                         &returned))
        return "";
    const auto* info = reinterpret_cast<const PRINTER_INFO_5A*>(buffer.data());
    for (DWORD i = 0; i < returned; ++i)
        if (printer == info[i].pPrinterName && info[i].pPortName != nullptr) return info[i].pPortName;
    return "";
}

// The text at an offset of a locked DEVNAMES.
CString devNamesText(HGLOBAL hDevNames, int which) {
    if (hDevNames == nullptr) return CString();
    const auto* names = static_cast<const DEVNAMES*>(::GlobalLock(hDevNames));
    if (names == nullptr) return CString();
    const WORD offsets[3] = {names->wDriverOffset, names->wDeviceOffset, names->wOutputOffset};
    const SIZE_T size = ::GlobalSize(hDevNames);
    CString text;
    if (offsets[which] < size) {
        const char* start = reinterpret_cast<const char*>(names) + offsets[which];
        text = CString(start, int(strnlen(start, size - offsets[which])));
    }
    ::GlobalUnlock(hDevNames);
    return text;
}

void freeSetup(PRINTDLGA& pd) {
    if (pd.hDevMode != nullptr) ::GlobalFree(pd.hDevMode);
    if (pd.hDevNames != nullptr) ::GlobalFree(pd.hDevNames);
    pd.hDevMode = nullptr;
    pd.hDevNames = nullptr;
}

} // namespace

BOOL AfxMakePrinterSetup(LPCSTR lpszPrinter, HGLOBAL* phDevMode, HGLOBAL* phDevNames) {
    *phDevMode = nullptr;
    *phDevNames = nullptr;
    if (lpszPrinter == nullptr || *lpszPrinter == '\0') return FALSE;
    const std::string printer = lpszPrinter;
    HGLOBAL mode = ::GlobalAlloc(GHND, sizeof(DEVMODEA));
    if (mode == nullptr) return FALSE;
    auto* dm = static_cast<DEVMODEA*>(::GlobalLock(mode));
    std::snprintf(reinterpret_cast<char*>(dm->dmDeviceName), CCHDEVICENAME, "%s", lpszPrinter);
    dm->dmSize = sizeof(DEVMODEA);
    // No paper until the user chooses one: the printer prints on its own default media.
    dm->dmFields = DM_ORIENTATION;
    dm->dmOrientation = DMORIENT_PORTRAIT;
    dm->dmCopies = 1;
    ::GlobalUnlock(mode);

    const std::string driver = "winspool";
    const std::string port = portOf(printer);
    const SIZE_T size = sizeof(DEVNAMES) + driver.size() + printer.size() + port.size() + 3;
    HGLOBAL names = ::GlobalAlloc(GHND, size);
    if (names == nullptr) {
        ::GlobalFree(mode);
        return FALSE;
    }
    auto* dn = static_cast<DEVNAMES*>(::GlobalLock(names));
    char* base = reinterpret_cast<char*>(dn);
    WORD at = sizeof(DEVNAMES);
    auto put = [&](const std::string& s) {
        const WORD offset = at;
        std::memcpy(base + at, s.c_str(), s.size() + 1);
        at = WORD(at + s.size() + 1);
        return offset;
    };
    dn->wDriverOffset = put(driver);
    dn->wDeviceOffset = put(printer);
    dn->wOutputOffset = put(port);
    dn->wDefault = 1;
    ::GlobalUnlock(names);
    *phDevMode = mode;
    *phDevNames = names;
    return TRUE;
}

CPrintDialog::CPrintDialog(BOOL bPrintSetupOnly, DWORD dwFlags, CWnd* pParentWnd)
    : m_bPrintSetupOnly(bPrintSetupOnly) {
    m_pParentWnd = pParentWnd;
    m_pd.lStructSize = sizeof m_pd;
    m_pd.Flags = dwFlags | (bPrintSetupOnly ? PD_PRINTSETUP : 0);
    m_pd.nCopies = 1;
    m_pd.nFromPage = m_pd.nToPage = m_pd.nMinPage = m_pd.nMaxPage = 1;
}

CPrintDialog::~CPrintDialog() = default;

BOOL CPrintDialog::GetDefaults() {
    const std::vector<std::string> names = printers();
    if (names.empty()) return FALSE;
    freeSetup(m_pd);
    if (!AfxMakePrinterSetup(names.front().c_str(), &m_pd.hDevMode, &m_pd.hDevNames)) return FALSE;
    if (m_pd.Flags & PD_RETURNDC) CreatePrinterDC();
    return TRUE;
}

DEVMODEA* CPrintDialog::GetDevMode() const {
    return m_pd.hDevMode != nullptr ? static_cast<DEVMODEA*>(::GlobalLock(m_pd.hDevMode))
                                    : nullptr;
}

CString CPrintDialog::GetDriverName() const {
    return devNamesText(m_pd.hDevNames, 0);
}

CString CPrintDialog::GetDeviceName() const {
    return devNamesText(m_pd.hDevNames, 1);
}

CString CPrintDialog::GetPortName() const {
    return devNamesText(m_pd.hDevNames, 2);
}

int CPrintDialog::GetCopies() const {
    if (m_pd.Flags & PD_USEDEVMODECOPIES) {
        const DEVMODEA* dm = GetDevMode();
        const int copies = dm != nullptr ? dm->dmCopies : m_pd.nCopies;
        if (m_pd.hDevMode != nullptr) ::GlobalUnlock(m_pd.hDevMode);
        return copies;
    }
    return m_pd.nCopies;
}

HDC CPrintDialog::CreatePrinterDC() {
    if (m_pd.hDevNames == nullptr) return nullptr;
    const CString driver = GetDriverName();
    const CString device = GetDeviceName();
    const CString port = GetPortName();
    const DEVMODEA* dm = GetDevMode();
    m_pd.hDC = ::CreateDCA(driver, device, port, dm);
    if (m_pd.hDevMode != nullptr) ::GlobalUnlock(m_pd.hDevMode);
    return m_pd.hDC;
}

LPCDLGTEMPLATE CPrintDialog::FindTemplate(int* templateId) const {
    *templateId = 0;
    return reinterpret_cast<LPCDLGTEMPLATE>(m_template.data());
}

INT_PTR CPrintDialog::DoModal() {
    if (printers().empty()) {
        AfxMessageBox("No printers are installed.", MB_OK | MB_ICONEXCLAMATION);
        return IDCANCEL;
    }
    if (m_pd.hDevNames == nullptr) {
        CPrintDialog defaults(TRUE);
        if (defaults.GetDefaults()) {
            m_pd.hDevMode = defaults.m_pd.hDevMode;
            m_pd.hDevNames = defaults.m_pd.hDevNames;
            defaults.m_pd.hDevMode = defaults.m_pd.hDevNames = nullptr;
        }
    }
    // The framework's template, built once per dialog.
    std::vector<sddlg::Item> items = {
        {"Static", "&Printer:", -1, 0, 6, 6, 40, 9},
        {"ComboBox", "", SD_PRINT_PRINTER, WS_TABSTOP | CBS_DROPDOWNLIST | WS_VSCROLL, 50, 4, 150,
         80},
        {"Button", "OK", IDOK, WS_TABSTOP | BS_DEFPUSHBUTTON, 206, 4, 50, 14},
        {"Button", "Cancel", IDCANCEL, WS_TABSTOP, 206, 22, 50, 14},
    };
    if (m_bPrintSetupOnly) {
        items.push_back({"Button", "P&ortrait", SD_PRINT_PORTRAIT,
                         WS_TABSTOP | WS_GROUP | BS_AUTORADIOBUTTON, 6, 26, 60, 10});
        items.push_back({"Button", "&Landscape", SD_PRINT_LANDSCAPE, BS_AUTORADIOBUTTON, 6, 38, 60,
                         10});
        items.push_back({"ComboBox", "", SD_PRINT_PAPER,
                         WS_TABSTOP | WS_GROUP | CBS_DROPDOWNLIST | WS_VSCROLL, 80, 26, 100, 80});
    } else {
        items.push_back({"Static", "&Copies:", -1, 0, 6, 28, 40, 9});
        items.push_back({"Edit", "", SD_PRINT_COPIES, WS_TABSTOP | WS_BORDER | ES_NUMBER, 50, 26,
                         30, 12});
    }
    m_template = sddlg::BuildTemplate(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 262, 56,
                                      m_bPrintSetupOnly ? "Print Setup" : "Print", items);
    m_pd.hwndOwner = m_pParentWnd != nullptr ? m_pParentWnd->m_hWnd : nullptr;
    const INT_PTR result = CDialog::DoModal();
    if (result == IDOK && (m_pd.Flags & PD_RETURNDC)) CreatePrinterDC();
    return result;
}

BOOL CPrintDialog::OnInitDialog() {
    const CString current = GetDeviceName();
    HWND list = ::GetDlgItem(m_hWnd, SD_PRINT_PRINTER);
    for (const std::string& name : printers())
        ::SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    if (::SendMessageA(list, CB_SELECTSTRING, WPARAM(-1),
                       reinterpret_cast<LPARAM>(static_cast<LPCSTR>(current))) == CB_ERR)
        ::SendMessageA(list, CB_SETCURSEL, 0, 0);
    const DEVMODEA* dm = GetDevMode();
    const short orientation = dm != nullptr ? dm->dmOrientation : DMORIENT_PORTRAIT;
    const short paper = dm != nullptr && (dm->dmFields & DM_PAPERSIZE) ? dm->dmPaperSize : 0;
    const short copies = dm != nullptr ? dm->dmCopies : 1;
    if (m_pd.hDevMode != nullptr) ::GlobalUnlock(m_pd.hDevMode);
    if (m_bPrintSetupOnly) {
        CheckRadioButton(SD_PRINT_PORTRAIT, SD_PRINT_LANDSCAPE,
                         orientation == DMORIENT_LANDSCAPE ? SD_PRINT_LANDSCAPE : SD_PRINT_PORTRAIT);
        HWND papers = ::GetDlgItem(m_hWnd, SD_PRINT_PAPER);
        for (const PaperSize& p : kPapers) {
            const int index = int(::SendMessageA(papers, CB_ADDSTRING, 0,
                                                 reinterpret_cast<LPARAM>(p.name)));
            ::SendMessageA(papers, CB_SETITEMDATA, WPARAM(index), LPARAM(p.code));
            if (p.code == paper) ::SendMessageA(papers, CB_SETCURSEL, WPARAM(index), 0);
        }
        // A paper of the set-up that the list does not name: the printer's default shown.
        if (::SendMessageA(papers, CB_GETCURSEL, 0, 0) == CB_ERR)
            ::SendMessageA(papers, CB_SETCURSEL, 0, 0);
    } else {
        SetDlgItemInt(SD_PRINT_COPIES,
                      UINT((m_pd.Flags & PD_USEDEVMODECOPIES) ? copies : m_pd.nCopies), FALSE);
    }
    return CDialog::OnInitDialog();
}

void CPrintDialog::OnOK() {
    CString printer;
    GetDlgItemText(SD_PRINT_PRINTER, printer);
    int copies = 1;
    if (!m_bPrintSetupOnly) {
        BOOL ok = FALSE;
        copies = int(GetDlgItemInt(SD_PRINT_COPIES, &ok, FALSE));
        if (!ok || copies < 1 || copies > 9999) {
            MessageBox("Enter a number of copies from 1 to 9999.", nullptr,
                       MB_OK | MB_ICONEXCLAMATION);
            GotoDlgCtrl(GetDlgItem(SD_PRINT_COPIES));
            return;
        }
    }
    // A printer other than the one set up starts from its own defaults.
    if (printer != GetDeviceName()) {
        freeSetup(m_pd);
        AfxMakePrinterSetup(printer, &m_pd.hDevMode, &m_pd.hDevNames);
    }
    if (DEVMODEA* dm = GetDevMode()) {
        if (m_bPrintSetupOnly) {
            dm->dmOrientation = IsDlgButtonChecked(SD_PRINT_LANDSCAPE) ? DMORIENT_LANDSCAPE
                                                                       : DMORIENT_PORTRAIT;
            const int index = int(SendDlgItemMessageA(m_hWnd, SD_PRINT_PAPER, CB_GETCURSEL, 0, 0));
            const short code = index >= 0
                                   ? short(SendDlgItemMessageA(m_hWnd, SD_PRINT_PAPER,
                                                               CB_GETITEMDATA, WPARAM(index), 0))
                                   : short(0);
            if (code > 0) {
                dm->dmPaperSize = code;
                dm->dmFields |= DM_PAPERSIZE;
            } else if (index >= 0) {
                dm->dmPaperSize = 0;
                dm->dmFields &= ~DM_PAPERSIZE;
            }
        } else if (m_pd.Flags & PD_USEDEVMODECOPIES) {
            dm->dmCopies = short(copies);
        }
        ::GlobalUnlock(m_pd.hDevMode);
    }
    if (!m_bPrintSetupOnly && !(m_pd.Flags & PD_USEDEVMODECOPIES)) m_pd.nCopies = WORD(copies);
    CDialog::OnOK();
}

BOOL CWinApp::GetPrinterDeviceDefaults(PRINTDLGA* pPrintDlg) {
    if (m_hDevNames == nullptr) {
        CPrintDialog defaults(TRUE);
        if (defaults.GetDefaults()) {
            m_hDevMode = defaults.m_pd.hDevMode;
            m_hDevNames = defaults.m_pd.hDevNames;
            defaults.m_pd.hDevMode = defaults.m_pd.hDevNames = nullptr;
        }
    }
    pPrintDlg->hDevMode = m_hDevMode;
    pPrintDlg->hDevNames = m_hDevNames;
    return m_hDevNames != nullptr;
}

void CWinApp::SelectPrinter(HGLOBAL hDevNames, HGLOBAL hDevMode, BOOL bFreeOld) {
    if (bFreeOld) {
        if (m_hDevMode != nullptr && m_hDevMode != hDevMode) ::GlobalFree(m_hDevMode);
        if (m_hDevNames != nullptr && m_hDevNames != hDevNames) ::GlobalFree(m_hDevNames);
    }
    m_hDevMode = hDevMode;
    m_hDevNames = hDevNames;
}

int CWinApp::DoPrintDialog(CPrintDialog* pPD) {
    GetPrinterDeviceDefaults(&pPD->m_pd);
    const int result = int(pPD->DoModal());
    // A printer chosen in the dialog starts a set-up of its own (the old one already freed).
    SelectPrinter(pPD->m_pd.hDevNames, pPD->m_pd.hDevMode, FALSE);
    return result;
}
