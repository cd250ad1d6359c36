// Dialog creation from templates, the dialog class's defaults and modal dialogs.

#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <optional>
#include <strings.h>

#include "ControlSupport.h"
#include "DialogManager.h"
#include "DialogTemplate.h"
#include "win32/DialogTesting.h"
#include "win32/UserTesting.h"
#include "win32/WindowLook.h"
#include "win32/kernel.h"

namespace sddlg {

namespace {

struct Dialogs {
    std::recursive_mutex mutex;
    std::map<HWND, DialogInfo> info;
};

Dialogs& dialogs() {
    static auto* state = new Dialogs;
    return *state;
}

} // namespace

bool withDialog(HWND dialog, const std::function<void(DialogInfo&)>& action) {
    std::lock_guard<std::recursive_mutex> lock(dialogs().mutex);
    auto it = dialogs().info.find(dialog);
    if (it == dialogs().info.end()) return false;
    action(it->second);
    return true;
}

void focusControl(HWND dialog, HWND control) {
    if (!control) return;
    SetFocus(control);
    if (SendMessageA(control, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)
        SendMessageA(control, EM_SETSEL, 0, -1);
    withDialog(dialog, [control](DialogInfo& d) { d.savedFocus = control; });
}

LONG mapX(LONG units) {
    long long v = (long long)units * SD_DIALOG_BASE_X;
    return LONG(v >= 0 ? (v + 2) / 4 : -((-v + 2) / 4));
}

LONG mapY(LONG units) {
    long long v = (long long)units * SD_DIALOG_BASE_Y;
    return LONG(v >= 0 ? (v + 4) / 8 : -((-v + 4) / 8));
}

namespace {

HWND makeDialog(HINSTANCE instance, const DialogTemplateData& t, HWND parent, DLGPROC proc,
                LPARAM initParam, bool modal) {
    DWORD style = t.style;
    LONG x = mapX(t.x);
    LONG y = mapY(t.y);
    LONG cx = mapX(t.cx);
    LONG cy = mapY(t.cy);
    if (!(style & WS_CHILD)) {
        // A popup dialog is placed from its owner's client area (DS_ABSALIGN: the screen).
        if (parent && !(style & DS_ABSALIGN)) {
            POINT origin{0, 0};
            ClientToScreen(parent, &origin);
            x += origin.x;
            y += origin.y;
        }
        if (style & DS_CENTER) {
            RECT area{0, 0, SD_SCREEN_WIDTH, SD_SCREEN_HEIGHT};
            if (parent) GetWindowRect(GetAncestor(parent, GA_ROOT), &area);
            x = area.left + (area.right - area.left - cx) / 2;
            y = area.top + (area.bottom - area.top - cy) / 2;
        }
    }
    const char* className = t.className.empty() ? "#32770" : t.className.c_str();
    HWND dialog =
        CreateWindowExA(t.exStyle, className, t.caption.c_str(), style & ~WS_VISIBLE, int(x),
                        int(y), int(cx), int(cy), parent, nullptr, instance, nullptr);
    if (!dialog) return nullptr;
    {
        std::lock_guard<std::recursive_mutex> lock(dialogs().mutex);
        DialogInfo& info = dialogs().info[dialog];
        info = DialogInfo{};
        info.modal = modal;
    }
    SetWindowLongPtrA(dialog, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(proc));

    WORD defId = 0;
    for (const TemplateItem& item : t.items) {
        // A static's picture named by number: "#id", as its WM_CREATE loads it.
        std::string text = !item.textIsOrdinal ? item.text
                           : strcasecmp(item.className.c_str(), "Static") == 0
                               ? "#" + std::to_string(item.textOrdinal)
                               : "";
        HWND control = CreateWindowExA(item.exStyle, item.className.c_str(), text.c_str(),
                                       item.style | WS_CHILD, int(mapX(item.x)), int(mapY(item.y)),
                                       int(mapX(item.cx)), int(mapY(item.cy)), dialog,
                                       reinterpret_cast<HMENU>(UINT_PTR(item.id)), instance,
                                       const_cast<BYTE*>(item.creationData));
        if (!control) {
            if (style & DS_NOFAILCREATE) continue;
            DWORD error = GetLastError();
            DestroyWindow(dialog);
            SetLastError(error ? error : ERROR_CANNOT_FIND_WND_CLASS);
            return nullptr;
        }
        // Template order is z-order: each control goes below the ones before it.
        SetWindowPos(control, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        if (!defId && strcasecmp(item.className.c_str(), "Button") == 0 &&
            (item.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
            defId = WORD(item.id);
    }
    withDialog(dialog, [defId](DialogInfo& d) { d.defId = defId; });

    HWND first = GetNextDlgTabItem(dialog, nullptr, FALSE);
    LRESULT setFocus =
        SendMessageA(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), initParam);
    if (!IsWindow(dialog)) return nullptr;
    if (setFocus && first && IsWindow(first)) focusControl(dialog, first);
    if ((style & WS_VISIBLE) && IsWindow(dialog)) ShowWindow(dialog, SW_SHOWNORMAL);
    return IsWindow(dialog) ? dialog : nullptr;
}

std::optional<DialogTemplateData> loadTemplate(HINSTANCE instance, LPCSTR name, int* templateId) {
    HRSRC found = FindResourceA(instance, name, RT_DIALOG);
    if (!found) return std::nullopt;
    HGLOBAL data = LoadResource(instance, found);
    DWORD size = SizeofResource(instance, found);
    std::string error;
    auto t = readDialogTemplate(static_cast<const BYTE*>(LockResource(data)), size, &error);
    if (!t) {
        std::fprintf(stderr, "dialog template: %s\n", error.c_str());
        SetLastError(ERROR_INVALID_DATA);
    }
    if (IS_INTRESOURCE(name))
        *templateId = int(reinterpret_cast<UINT_PTR>(name));
    else if (name[0] == '#')
        *templateId = std::atoi(name + 1);
    return t;
}

INT_PTR runModal(HINSTANCE instance, const DialogTemplateData& t, int templateId, HWND parent,
                 DLGPROC proc, LPARAM initParam) {
    HWND owner = parent ? GetAncestor(parent, GA_ROOT) : nullptr;
    bool ownerWasEnabled = owner && IsWindowEnabled(owner);
    DialogTemplateData shown = t;
    shown.style |= WS_VISIBLE;
    HWND dialog = makeDialog(instance, shown, parent, proc, initParam, true);
    if (!dialog) return -1;
    if (ownerWasEnabled) EnableWindow(owner, FALSE);

    char className[64] = {};
    GetClassNameA(dialog, className, sizeof className);
    auto ended = [dialog] {
        bool done = true;
        withDialog(dialog, [&done](DialogInfo& d) { done = d.ended; });
        return done || !IsWindow(dialog);
    };
    const char* failure = nullptr;
    if (!ended() && !SdRunModalDialogScript(dialog, templateId, className))
        EndDialog(dialog, IDCANCEL);
    while (!ended()) {
        int idleBefore = SdIdleQuitCount();
        MSG msg{};
        if (GetMessageA(&msg, nullptr, 0, 0) <= 0) {
            // Nothing can end the dialog any more: it is cancelled. A real quit goes on.
            if (SdIdleQuitCount() == idleBefore) PostQuitMessage(int(msg.wParam));
            failure = "the script left the dialog open";
            EndDialog(dialog, IDCANCEL);
            break;
        }
        if (!IsDialogMessageA(dialog, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    INT_PTR result = IDCANCEL;
    withDialog(dialog, [&result](DialogInfo& d) { result = d.result; });
    SdFinishModalDialog(dialog, result, failure);
    if (ownerWasEnabled) EnableWindow(owner, TRUE);
    if (IsWindow(dialog)) DestroyWindow(dialog);
    return result;
}

LRESULT dialogDefaults(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CLOSE: {
        HWND cancel = GetDlgItem(dialog, IDCANCEL);
        if (!cancel || IsWindowEnabled(cancel))
            PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                         reinterpret_cast<LPARAM>(cancel));
        return 0;
    }
    case DM_GETDEFID: {
        WORD id = 0;
        withDialog(dialog, [&id](DialogInfo& d) { id = d.defId; });
        return id ? LRESULT(MAKELONG(id, DC_HASDEFID)) : 0;
    }
    case DM_SETDEFID: {
        WORD old = 0;
        withDialog(dialog, [&old, wParam](DialogInfo& d) {
            old = d.defId;
            d.defId = WORD(wParam);
        });
        auto restyle = [dialog](WORD id, DWORD kind) {
            HWND button = id ? GetDlgItem(dialog, id) : nullptr;
            if (!button) return;
            LRESULT code = SendMessageA(button, WM_GETDLGCODE, 0, 0);
            if (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON))
                SendMessageA(button, BM_SETSTYLE, kind, TRUE);
        };
        if (old != WORD(wParam)) restyle(old, BS_PUSHBUTTON);
        restyle(WORD(wParam), BS_DEFPUSHBUTTON);
        return TRUE;
    }
    case WM_NEXTDLGCTL: {
        HWND target = LOWORD(lParam)
                          ? reinterpret_cast<HWND>(wParam)
                          : GetNextDlgTabItem(dialog, GetFocus(), wParam != 0 ? TRUE : FALSE);
        if (target && IsChild(dialog, target)) focusControl(dialog, target);
        return 0;
    }
    case WM_SETFOCUS: {
        HWND saved = nullptr;
        withDialog(dialog, [&saved](DialogInfo& d) { saved = d.savedFocus; });
        if (!saved || !IsChild(dialog, saved) || !IsWindowEnabled(saved))
            saved = GetNextDlgTabItem(dialog, nullptr, FALSE);
        if (saved) focusControl(dialog, saved);
        return 0;
    }
    case WM_ERASEBKGND: {
        // The brush the dialog answers WM_CTLCOLORDLG with (the face colour by default).
        HDC dc = reinterpret_cast<HDC>(wParam);
        const SdLookPainters* look = SdLookPaintersInstalled();
        if (!dc || !look || !look->erase) return 1;
        auto brush = reinterpret_cast<HBRUSH>(
            SendMessageA(dialog, WM_CTLCOLORDLG, wParam, reinterpret_cast<LPARAM>(dialog)));
        look->erase(dialog, dc, brush);
        return 1;
    }
    case WM_NCDESTROY: {
        std::lock_guard<std::recursive_mutex> lock(dialogs().mutex);
        dialogs().info.erase(dialog);
        return DefWindowProcA(dialog, msg, wParam, lParam);
    }
    default:
        return DefWindowProcA(dialog, msg, wParam, lParam);
    }
}

} // namespace

} // namespace sddlg

using namespace sddlg;

namespace sdctl {

LRESULT CALLBACK dialogClassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefDlgProcA(hwnd, msg, wParam, lParam);
}

} // namespace sdctl

LRESULT DefDlgProcA(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto proc = reinterpret_cast<DLGPROC>(GetWindowLongPtrA(dialog, DWLP_DLGPROC));
    if (proc) {
        SetWindowLongPtrA(dialog, DWLP_MSGRESULT, 0);
        INT_PTR handled = proc(dialog, msg, wParam, lParam);
        if (!IsWindow(dialog)) return handled;
        if (handled) {
            switch (msg) {
            case WM_INITDIALOG:
            case WM_CTLCOLORMSGBOX:
            case WM_CTLCOLOREDIT:
            case WM_CTLCOLORLISTBOX:
            case WM_CTLCOLORBTN:
            case WM_CTLCOLORDLG:
            case WM_CTLCOLORSCROLLBAR:
            case WM_CTLCOLORSTATIC:
            case WM_COMPAREITEM:
            case WM_VKEYTOITEM:
            case WM_CHARTOITEM:
            case WM_QUERYDRAGICON:
                return handled;
            default:
                return GetWindowLongPtrA(dialog, DWLP_MSGRESULT);
            }
        }
        // FALSE: the procedure placed the focus itself.
        if (msg == WM_INITDIALOG) return FALSE;
    }
    if (msg == WM_INITDIALOG) return TRUE; // no procedure: the first control takes the focus
    return dialogDefaults(dialog, msg, wParam, lParam);
}

HWND CreateDialogIndirectParamA(HINSTANCE instance, LPCDLGTEMPLATEA dialogTemplate, HWND parent,
                                DLGPROC dialogProc, LPARAM initParam) {
    std::string error;
    auto t =
        readDialogTemplate(reinterpret_cast<const BYTE*>(dialogTemplate), SIZE_MAX / 2, &error);
    if (!t) {
        SetLastError(ERROR_INVALID_DATA);
        return nullptr;
    }
    return makeDialog(instance, *t, parent, dialogProc, initParam, false);
}

HWND CreateDialogParamA(HINSTANCE instance, LPCSTR templateName, HWND parent, DLGPROC dialogProc,
                        LPARAM initParam) {
    int id = 0;
    auto t = loadTemplate(instance, templateName, &id);
    return t ? makeDialog(instance, *t, parent, dialogProc, initParam, false) : nullptr;
}

INT_PTR DialogBoxIndirectParamA(HINSTANCE instance, LPCDLGTEMPLATEA dialogTemplate, HWND parent,
                                DLGPROC dialogProc, LPARAM initParam) {
    std::string error;
    auto t =
        readDialogTemplate(reinterpret_cast<const BYTE*>(dialogTemplate), SIZE_MAX / 2, &error);
    if (!t) {
        SetLastError(ERROR_INVALID_DATA);
        return -1;
    }
    return runModal(instance, *t, 0, parent, dialogProc, initParam);
}

INT_PTR DialogBoxParamA(HINSTANCE instance, LPCSTR templateName, HWND parent, DLGPROC dialogProc,
                        LPARAM initParam) {
    int id = 0;
    auto t = loadTemplate(instance, templateName, &id);
    return t ? runModal(instance, *t, id, parent, dialogProc, initParam) : -1;
}

BOOL EndDialog(HWND dialog, INT_PTR result) {
    bool known = withDialog(dialog, [result](DialogInfo& d) {
        d.ended = true;
        d.result = result;
    });
    if (!known) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    ShowWindow(dialog, SW_HIDE);
    return TRUE;
}
