#include "driverframe/CSetupSheet.h"

#include <string>

#include <mfc/CWinApp.h>
#include <mfc/FrameworkStrings.h>
#include <win32/ProfileTransaction.h>
#include <win32/kernel.h>
#include <win32/user.h>

#include "DeviceLine.h"
#include "driverframe/CSetupPage.h"
#include "driverframe/SetupStrings.h"

IMPLEMENT_DYNAMIC(CSetupSheet, CPropertySheet)

namespace {

CString Reason(DWORD error) {
    CString text;
    switch (error) {
    case ERROR_ACCESS_DENIED:
        text.LoadString(IDS_SETUP_READ_ONLY);
        break;
    case ERROR_DISK_FULL:
        text.LoadString(IDS_SETUP_DISK_FULL);
        break;
    case ERROR_LOCK_VIOLATION:
        text.LoadString(IDS_SETUP_LOCKED);
        break;
    case ERROR_PATH_NOT_FOUND:
        text.LoadString(IDS_SETUP_NO_FOLDER);
        break;
    case ERROR_ALREADY_EXISTS:
        text.LoadString(IDS_SETUP_NAME_TAKEN);
        break;
    default:
        AfxFormatString1(text, IDS_SETUP_ERROR, std::to_string(error).c_str());
        break;
    }
    return text;
}

std::string Trimmed(const char* text) {
    std::string s = text ? text : "";
    s.erase(0, s.find_first_not_of(" \t"));
    s.erase(s.find_last_not_of(" \t") + 1);
    return s;
}

} // namespace

CSetupSheet::CSetupSheet(const char* caption, CWnd* parent, SetupValues& values)
    : CPropertySheet(caption, parent), values_(values) {}

BOOL CSetupSheet::OnInitDialog() {
    BOOL result = CPropertySheet::OnInitDialog();
    CenterWindow();
    return result;
}

DWORD CSetupSheet::Write(bool whole, const std::string& target) {
    ProfileTransaction edits(values_.IniPath().c_str());
    const bool rename = !SameName(target, values_.Section());
    if (!whole) {
        if (rename)
            edits.CopySection(values_.Section().c_str(), target.c_str());
        else
            edits.RequireSection(values_.Section().c_str());
    }
    values_.Collect(edits, target, whole);
    return edits.Commit() ? 0 : GetLastError();
}

BOOL CSetupSheet::Save() {
    const std::string target =
        targetName_ ? Trimmed(static_cast<const char*>(*targetName_)) : values_.Section();
    DWORD error = Write(false, target);
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_NOT_FOUND) {
        CString question;
        AfxFormatString2(question, IDS_SETUP_SECTION_GONE, values_.Section().c_str(),
                         values_.IniPath().c_str());
        if (AfxMessageBox(question, MB_YESNO | MB_ICONQUESTION) != IDYES) {
            EndDialog(IDCANCEL);
            return FALSE;
        }
        error = Write(true, target);
    }
    if (error != 0) {
        CString text;
        AfxFormatString2(text, IDS_SETUP_SAVE_FAILED, values_.IniPath().c_str(), Reason(error));
        AfxMessageBox(text, MB_OK | MB_ICONSTOP);
        return FALSE;
    }
    saved_ = true;
    values_.MarkSaved(target);
    return TRUE;
}
