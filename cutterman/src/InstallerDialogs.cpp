#include "InstallerDialogs.h"

#include <win32/ResourceBuilder.h>
#include <win32/controls.h>
#include <win32/icon.h>
#include <win32/user.h>
#include <win32/wingdi.h>

#include "Installer.h"

namespace {

constexpr DWORD kLabel = WS_CHILD | WS_VISIBLE | SS_LEFT;
constexpr DWORD kList = WS_CHILD | WS_VISIBLE | WS_TABSTOP | LBS_STANDARD;
constexpr DWORD kButton = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;

void registerClass(const char* name) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefDlgProcA;
    wc.cbWndExtra = DLGWINDOWEXTRA;
    wc.lpszClassName = name;
    RegisterClassA(&wc); // a second registration fails harmlessly
}

std::string listText(HWND dialog, int id, LRESULT index) {
    if (index < 0) return {};
    LRESULT length = SendDlgItemMessageA(dialog, id, LB_GETTEXTLEN, WPARAM(index), 0);
    if (length < 0) return {};
    std::string text(std::size_t(length) + 1, '\0');
    SendDlgItemMessageA(dialog, id, LB_GETTEXT, WPARAM(index), LPARAM(text.data()));
    text.resize(std::size_t(length));
    return text;
}

std::string selectedText(HWND dialog, int id) {
    return listText(dialog, id, SendDlgItemMessageA(dialog, id, LB_GETCURSEL, 0, 0));
}

std::string windowText(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    int length = GetWindowTextLengthA(control);
    std::string text(std::size_t(length) + 1, '\0');
    GetWindowTextA(control, text.data(), length + 1);
    text.resize(std::size_t(length));
    return text;
}

void setSystemFont(HWND dialog) {
    HGDIOBJ font = GetStockObject(SYSTEM_FONT);
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        SendMessageA(child, WM_SETFONT, WPARAM(font), FALSE);
}

Installer* installerOf(HWND dialog) {
    return reinterpret_cast<Installer*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

// Selects the first installed entry when none is, and shows the selection as the active
// cutter (set-up dialog).
void settleSelection(Installer& in, HWND dialog) {
    if (SendDlgItemMessageA(dialog, IDC_INSTALLED_LIST, LB_GETCURSEL, 0, 0) == LB_ERR)
        SendDlgItemMessageA(dialog, IDC_INSTALLED_LIST, LB_SETCURSEL, 0, 0);
    if (in.setup)
        SetDlgItemTextA(dialog, IDC_ACTIVE_CUTTER,
                        selectedText(dialog, IDC_INSTALLED_LIST).c_str());
}

void onAdd(Installer& in, HWND dialog) {
    std::string name = selectedText(dialog, IDC_MASTER_LIST);
    if (name.empty() || ContainsName(in.installed, name)) return;
    in.installed.push_back(name);
    SendDlgItemMessageA(dialog, IDC_INSTALLED_LIST, LB_ADDSTRING, 0, LPARAM(name.c_str()));
    if (!in.setup) EnableWindow(GetDlgItem(dialog, IDC_UPDATE), TRUE);
    settleSelection(in, dialog);
}

void onRemove(Installer& in, HWND dialog) {
    LRESULT index = SendDlgItemMessageA(dialog, IDC_INSTALLED_LIST, LB_GETCURSEL, 0, 0);
    if (index == LB_ERR) return;
    std::string name = listText(dialog, IDC_INSTALLED_LIST, index);
    if (in.setup && name == windowText(dialog, IDC_ACTIVE_CUTTER))
        SetDlgItemTextA(dialog, IDC_ACTIVE_CUTTER, "");
    RemoveName(in.installed, name);
    SendDlgItemMessageA(dialog, IDC_INSTALLED_LIST, LB_RESETCONTENT, 0, 0);
    for (const std::string& entry : in.installed)
        SendDlgItemMessageA(dialog, IDC_INSTALLED_LIST, LB_ADDSTRING, 0, LPARAM(entry.c_str()));
    settleSelection(in, dialog);
    if (!in.setup) EnableWindow(GetDlgItem(dialog, IDC_UPDATE), TRUE);
}

void onNext(Installer& in, HWND dialog) {
    std::string active = windowText(dialog, IDC_ACTIVE_CUTTER);
    if (active.empty()) {
        in.ShowError(dialog, CutterTexts::NoActiveCutter);
        return;
    }
    in.UpdateDeviceFile(in.programFolder, true);
    in.WritePlotSettings(active);
    in.WriteProgramSettings();
    in.WriteSpoolerSettings(active);
    EndDialog(dialog, IDOK);
}

INT_PTR installerProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) {
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        Installer& in = *reinterpret_cast<Installer*>(lParam);
        setSystemFont(dialog);
        if (HICON icon = LoadIconA(in.resources, MAKEINTRESOURCEA(kIconId))) {
            SendMessageA(dialog, WM_SETICON, ICON_BIG, LPARAM(icon));
            SendMessageA(dialog, WM_SETICON, ICON_SMALL, LPARAM(icon));
        }
        if (!in.FillLists(dialog)) {
            EndDialog(dialog, IDCANCEL);
            return FALSE;
        }
        if (!in.setup) {
            SendMessageA(dialog, WM_NEXTDLGCTL, WPARAM(GetDlgItem(dialog, IDC_QUIT)), TRUE);
            return FALSE;
        }
        return TRUE;
    }
    Installer* in = installerOf(dialog);
    if (!in || msg != WM_COMMAND) return FALSE;
    switch (LOWORD(wParam)) {
    case IDC_ADD:
        onAdd(*in, dialog);
        return TRUE;
    case IDC_REMOVE:
        onRemove(*in, dialog);
        return TRUE;
    case IDC_ACTIVE:
        if (in->setup) {
            std::string name = selectedText(dialog, IDC_INSTALLED_LIST);
            if (!name.empty()) SetDlgItemTextA(dialog, IDC_ACTIVE_CUTTER, name.c_str());
        }
        return TRUE;
    case IDC_UPDATE:
        if (in->setup) return TRUE;
        in->UpdateDeviceFile(in->DeviceFolder(dialog), false);
        EnableWindow(GetDlgItem(dialog, IDC_UPDATE), FALSE);
        if (!in->FillLists(dialog)) EndDialog(dialog, IDCANCEL);
        return TRUE;
    case IDC_NEXT:
        if (in->setup) onNext(*in, dialog);
        return TRUE;
    case IDC_QUIT:
    case IDCANCEL:
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    default:
        return FALSE;
    }
}

struct Selection {
    const std::vector<std::string>* names;
    std::string answer;
    HWND focus = nullptr;
};

std::string trimmed(const std::string& text) {
    std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

INT_PTR selectProgramProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) {
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        auto& s = *reinterpret_cast<Selection*>(lParam);
        for (const std::string& name : *s.names)
            SendDlgItemMessageA(dialog, IDC_PROGRAM_LIST, LB_ADDSTRING, 0, LPARAM(name.c_str()));
        SendDlgItemMessageA(dialog, IDC_PROGRAM_LIST, LB_SETCURSEL, 0, 0);
        s.answer = trimmed(selectedText(dialog, IDC_PROGRAM_LIST));
        return TRUE;
    }
    auto* s = reinterpret_cast<Selection*>(GetWindowLongPtrA(dialog, DWLP_USER));
    if (!s) return FALSE;
    switch (msg) {
    case WM_ACTIVATE:
        // The focus goes back where it was when the dialog lost activation.
        if (LOWORD(wParam) == 0) // WA_INACTIVE
            s->focus = GetFocus();
        else if (s->focus && IsWindow(s->focus))
            SetFocus(s->focus);
        return FALSE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_PROGRAM_NEXT && HIWORD(wParam) <= 1) {
            std::string name = trimmed(selectedText(dialog, IDC_PROGRAM_LIST));
            if (SendDlgItemMessageA(dialog, IDC_PROGRAM_LIST, LB_GETCURSEL, 0, 0) != LB_ERR) {
                s->answer = name;
                EndDialog(dialog, IDOK);
            }
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

} // namespace

INT_PTR RunInstallerDialog(Installer& in) {
    const CutterTexts& t = in.texts;
    sdrc::Bytes bytes;
    if (in.setup) {
        registerClass(kSetupDialogClass);
        bytes = sdrc::dialog(
            WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_CENTER, 0, 0, 0, 340, 200, kSetupDialogClass,
            t[CutterTexts::SetupCaption].c_str(), 0, nullptr,
            {
                {kLabel, 0, 10, 5, 120, 14, IDC_MASTER_LABEL, "STATIC",
                 t[CutterTexts::MasterLabel].c_str()},
                {kLabel, 0, 210, 5, 120, 14, IDC_INSTALLED_LABEL, "STATIC",
                 t[CutterTexts::InstalledLabel].c_str()},
                {kList, 0, 10, 20, 120, 150, IDC_MASTER_LIST, "LISTBOX", ""},
                {kList, 0, 210, 20, 120, 80, IDC_INSTALLED_LIST, "LISTBOX", ""},
                {WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_READONLY | ES_AUTOHSCROLL, 0,
                 210, 120, 120, 14, IDC_ACTIVE_CUTTER, "EDIT", ""},
                {kLabel, 0, 140, 75, 60, 42, IDC_HINT, "STATIC", t[CutterTexts::HintLabel].c_str()},
                {kButton, 0, 240, 100, 60, 14, IDC_ACTIVE, "BUTTON",
                 t[CutterTexts::ActiveButton].c_str()},
                {WS_CHILD | WS_VISIBLE | SS_RIGHT, 0, 140, 120, 60, 28, IDC_ACTIVE_LABEL, "STATIC",
                 t[CutterTexts::ActiveLabel].c_str()},
                {kButton, 0, 140, 30, 60, 14, IDC_ADD, "BUTTON", t[CutterTexts::AddButton].c_str()},
                {kButton, 0, 140, 50, 60, 14, IDC_REMOVE, "BUTTON",
                 t[CutterTexts::RemoveButton].c_str()},
                {kButton, 0, 240, 175, 60, 14, IDC_NEXT, "BUTTON",
                 t[CutterTexts::NextButton].c_str()},
            });
    } else {
        registerClass(kMaintenanceDialogClass);
        bytes = sdrc::dialog(
            WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_CENTER, 0, 0, 0, 340, 200,
            kMaintenanceDialogClass, t[CutterTexts::MaintenanceCaption].c_str(), 0, nullptr,
            {
                {kLabel, 0, 10, 5, 120, 14, IDC_MASTER_LABEL, "STATIC",
                 t[CutterTexts::MasterLabel].c_str()},
                {kLabel, 0, 210, 5, 120, 14, IDC_INSTALLED_LABEL, "STATIC",
                 t[CutterTexts::InstalledLabel].c_str()},
                {kList, 0, 10, 20, 120, 150, IDC_MASTER_LIST, "LISTBOX", ""},
                {kList, 0, 210, 20, 120, 150, IDC_INSTALLED_LIST, "LISTBOX", ""},
                {kButton, 0, 140, 80, 60, 14, IDC_ADD, "BUTTON", t[CutterTexts::AddButton].c_str()},
                {kButton, 0, 140, 100, 60, 14, IDC_REMOVE, "BUTTON",
                 t[CutterTexts::RemoveButton].c_str()},
                {kButton | WS_DISABLED, 0, 30, 175, 80, 14, IDC_UPDATE, "BUTTON",
                 t[CutterTexts::UpdateButton].c_str()},
                {kButton, 0, 240, 175, 60, 14, IDC_QUIT, "BUTTON",
                 t[CutterTexts::QuitButton].c_str()},
            });
    }
    return DialogBoxIndirectParamA(nullptr, reinterpret_cast<LPCDLGTEMPLATEA>(bytes.data()),
                                   nullptr, installerProc, LPARAM(&in));
}

std::string SelectProgram(HWND owner, const std::vector<std::string>& names, const CutterTexts& t) {
    registerClass(kSelectProgramClass);
    sdrc::Bytes bytes =
        sdrc::dialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 0, 110, 78, 201, 80,
                     kSelectProgramClass, t[CutterTexts::SelectCaption].c_str(), 0, nullptr,
                     {
                         {kList, 0, 125, 5, 65, 70, IDC_PROGRAM_LIST, "LISTBOX", ""},
                         {kLabel, 0, 15, 10, 95, 35, IDC_PROGRAM_LABEL, "STATIC",
                          t[CutterTexts::SelectLabel].c_str()},
                         {kButton, 0, 25, 55, 75, 20, IDC_PROGRAM_NEXT, "BUTTON",
                          t[CutterTexts::NextButton].c_str()},
                     });
    Selection selection{&names, {}, nullptr};
    DialogBoxIndirectParamA(nullptr, reinterpret_cast<LPCDLGTEMPLATEA>(bytes.data()), owner,
                            selectProgramProc, LPARAM(&selection));
    return selection.answer;
}
