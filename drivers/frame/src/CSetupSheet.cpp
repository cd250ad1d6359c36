#include "driverframe/CSetupSheet.h"

#include <string>

#include <mfc/CWinApp.h>
#include <win32/ProfileTransaction.h>
#include <win32/kernel.h>
#include <win32/user.h>

#include "DeviceLine.h"
#include "driverframe/CSetupPage.h"

IMPLEMENT_DYNAMIC(CSetupSheet, CPropertySheet)

namespace {

std::string Reason(DWORD error) {
    switch (error) {
    case ERROR_ACCESS_DENIED:
        return "the file is read-only or may not be written";
    case ERROR_DISK_FULL:
        return "the disk is full";
    case ERROR_LOCK_VIOLATION:
        return "another program has been writing it for more than 10 seconds";
    case ERROR_PATH_NOT_FOUND:
        return "its folder does not exist";
    case ERROR_ALREADY_EXISTS:
        return "another device already has this name";
    default:
        return "error " + std::to_string(error);
    }
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
        std::string question = "The device \"" + values_.Section() + "\" is no longer in " +
                               values_.IniPath() +
                               ".\n\nDo you want to write it again with every setting shown?";
        if (AfxMessageBox(question.c_str(), MB_YESNO | MB_ICONQUESTION) != IDYES) {
            EndDialog(IDCANCEL);
            return FALSE;
        }
        error = Write(true, target);
    }
    if (error != 0) {
        std::string text =
            "The settings could not be saved to " + values_.IniPath() + ": " + Reason(error) + ".";
        AfxMessageBox(text.c_str(), MB_OK | MB_ICONSTOP);
        return FALSE;
    }
    saved_ = true;
    values_.MarkSaved(target);
    return TRUE;
}
