#include "mfc/COlePasteSpecialDialog.h"

#include "DialogTemplateWriter.h"
#include "mfc/CString.h"
#include "win32/controls.h"

IMPLEMENT_DYNAMIC(COlePasteSpecialDialog, CDialog)

BEGIN_MESSAGE_MAP(COlePasteSpecialDialog, CDialog)
ON_CONTROL(LBN_SELCHANGE, SD_PS_LIST, OnSelChange)
ON_CONTROL(LBN_DBLCLK, SD_PS_LIST, OnOK)
END_MESSAGE_MAP()

COlePasteSpecialDialog::COlePasteSpecialDialog(DWORD dwFlags, COleDataObject* pDataObject,
                                               CWnd* pParentWnd)
    : m_dwFlags(dwFlags), m_pDataObject(pDataObject) {
    m_pParentWnd = pParentWnd;
}

COlePasteSpecialDialog::~COlePasteSpecialDialog() = default;

void COlePasteSpecialDialog::AddFormat(UINT cf, DWORD tymed, UINT nFormatID, BOOL, BOOL bLink) {
    Entry entry{CLIPFORMAT(cf), tymed, {}, {}, bLink};
    CString text;
    if (nFormatID != 0 && text.LoadString(nFormatID)) {
        const std::string all = static_cast<LPCSTR>(text);
        const auto newline = all.find('\n');
        entry.name = all.substr(0, newline);
        if (newline != std::string::npos) entry.result = all.substr(newline + 1);
    }
    if (entry.name.empty()) {
        char name[128] = {};
        if (::GetClipboardFormatNameA(cf, name, sizeof name) > 0)
            entry.name = name;
        else
            entry.name = "Format " + std::to_string(cf);
    }
    m_entries.push_back(std::move(entry));
}

void COlePasteSpecialDialog::AddStandardFormats(BOOL bEnableLink) {
    const struct {
        UINT cf;
        DWORD tymed;
        const char* name;
        const char* result;
    } standard[] = {
        {CF_METAFILEPICT, TYMED_MFPICT, "Picture (Metafile)", "Inserts the picture as a metafile."},
        {CF_DIB, TYMED_HGLOBAL, "Device Independent Bitmap", "Inserts the picture as a bitmap."},
        {CF_BITMAP, TYMED_GDI, "Bitmap", "Inserts the picture as a bitmap."},
    };
    for (const auto& s : standard)
        m_entries.push_back(Entry{CLIPFORMAT(s.cf), s.tymed, s.name, s.result, bEnableLink});
}

LPCDLGTEMPLATE COlePasteSpecialDialog::FindTemplate(int* templateId) const {
    *templateId = 0;
    return reinterpret_cast<LPCDLGTEMPLATE>(m_template.data());
}

INT_PTR COlePasteSpecialDialog::DoModal() {
    // Only what the clipboard holds is offered.
    COleDataObject own;
    COleDataObject* data = m_pDataObject;
    if (data == nullptr) {
        own.AttachClipboard();
        data = &own;
    }
    m_shown.clear();
    for (const Entry& e : m_entries)
        if (data->IsDataAvailable(e.cfFormat)) m_shown.push_back(e);
    m_cfSelected = 0;
    const std::vector<sddlg::Item> items = {
        {"Static", "&As:", -1, 0, 6, 6, 120, 9},
        {"ListBox", "", SD_PS_LIST, WS_TABSTOP | WS_BORDER | WS_VSCROLL | LBS_NOTIFY, 6, 16, 160,
         70},
        {"Static", "", SD_PS_RESULT, SS_NOPREFIX, 6, 90, 160, 20},
        {"Button", "OK", IDOK, WS_TABSTOP | BS_DEFPUSHBUTTON, 174, 6, 50, 14},
        {"Button", "Cancel", IDCANCEL, WS_TABSTOP, 174, 24, 50, 14},
    };
    m_template = sddlg::BuildTemplate(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 230, 116,
                                      "Paste Special", items);
    return CDialog::DoModal();
}

BOOL COlePasteSpecialDialog::OnInitDialog() {
    for (const Entry& e : m_shown)
        ::SendDlgItemMessageA(m_hWnd, SD_PS_LIST, LB_ADDSTRING, 0,
                              reinterpret_cast<LPARAM>(e.name.c_str()));
    if (!m_shown.empty()) {
        ::SendDlgItemMessageA(m_hWnd, SD_PS_LIST, LB_SETCURSEL, 0, 0);
        OnSelChange();
    }
    return CDialog::OnInitDialog();
}

void COlePasteSpecialDialog::OnSelChange() {
    const int index = int(::SendDlgItemMessageA(m_hWnd, SD_PS_LIST, LB_GETCURSEL, 0, 0));
    const bool valid = index >= 0 && index < int(m_shown.size());
    SetDlgItemText(SD_PS_RESULT, valid ? m_shown[std::size_t(index)].result.c_str() : "");
}

void COlePasteSpecialDialog::OnOK() {
    const int index = int(::SendDlgItemMessageA(m_hWnd, SD_PS_LIST, LB_GETCURSEL, 0, 0));
    if (index < 0 || index >= int(m_shown.size())) {
        ::MessageBeep(0);
        return;
    }
    m_cfSelected = m_shown[std::size_t(index)].cfFormat;
    EndDialog(IDOK);
}
