#include "mfc/COleInsertDialog.h"

#include "DialogTemplateWriter.h"
#include "win32/controls.h"

IMPLEMENT_DYNAMIC(COleInsertDialog, CDialog)

COleInsertDialog::COleInsertDialog(DWORD dwFlags, CWnd* pParentWnd) : m_dwFlags(dwFlags) {
    m_pParentWnd = pParentWnd;
}

COleInsertDialog::~COleInsertDialog() = default;

LPCDLGTEMPLATE COleInsertDialog::FindTemplate(int* templateId) const {
    *templateId = 0;
    return reinterpret_cast<LPCDLGTEMPLATE>(m_template.data());
}

INT_PTR COleInsertDialog::DoModal() {
    const std::vector<sddlg::Item> items = {
        {"Button", "Create &New", SD_INSERT_CREATE_NEW, WS_TABSTOP | WS_GROUP | BS_AUTORADIOBUTTON,
         6, 8, 70, 10},
        {"Button", "Create from &File", SD_INSERT_FROM_FILE, BS_AUTORADIOBUTTON, 6, 22, 70, 10},
        {"Static", "Object &Type:", -1, 0, 84, 6, 100, 9},
        {"ListBox", "", SD_INSERT_TYPES, WS_TABSTOP | WS_BORDER | WS_VSCROLL | LBS_NOTIFY, 84, 16,
         120, 60},
        {"Static", "F&ile:", -1, 0, 84, 80, 100, 9},
        {"Edit", "", SD_INSERT_FILE, WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, 84, 90, 120, 12},
        {"Button", "OK", IDOK, WS_TABSTOP | BS_DEFPUSHBUTTON, 212, 6, 50, 14},
        {"Button", "Cancel", IDCANCEL, WS_TABSTOP, 212, 24, 50, 14},
    };
    m_template = sddlg::BuildTemplate(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 268, 110,
                                      "Insert Object", items);
    return CDialog::DoModal();
}

BOOL COleInsertDialog::OnInitDialog() {
    const bool fromFile = (m_dwFlags & IOF_SELECTCREATEFROMFILE) != 0;
    CheckRadioButton(SD_INSERT_CREATE_NEW, SD_INSERT_FROM_FILE,
                     fromFile ? SD_INSERT_FROM_FILE : SD_INSERT_CREATE_NEW);
    return CDialog::OnInitDialog();
}

void COleInsertDialog::OnOK() {
    m_nSelection = IsDlgButtonChecked(SD_INSERT_FROM_FILE) ? insertFromFile : createNewItem;
    GetDlgItemText(SD_INSERT_FILE, m_strPathName);
    const HWND list = ::GetDlgItem(m_hWnd, SD_INSERT_TYPES);
    m_strTypeName.Empty();
    const LRESULT sel = list ? ::SendMessageA(list, LB_GETCURSEL, 0, 0) : LB_ERR;
    if (sel != LB_ERR) {
        char text[256] = {};
        ::SendMessageA(list, LB_GETTEXT, WPARAM(sel), LPARAM(text));
        m_strTypeName = text;
    }
    CDialog::OnOK();
}
