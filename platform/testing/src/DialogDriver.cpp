#include "testing/DialogDriver.h"

#include <gtest/gtest.h>

namespace sdtest {

namespace {

HWND control(HWND dialog, int id, const char* action) {
    HWND item = GetDlgItem(dialog, id);
    if (!item) {
        ADD_FAILURE() << action << ": the dialog has no control " << id;
        return nullptr;
    }
    if (!(GetWindowLongA(item, GWL_STYLE) & WS_VISIBLE) || !IsWindowEnabled(item)) {
        ADD_FAILURE() << action << ": control " << id << " is hidden or disabled";
        SdLogDialogAction(dialog, std::string(action) + " " + std::to_string(id) + " refused");
        return nullptr;
    }
    return item;
}

// The window that takes keys for a control: a combo box's field, else itself.
HWND keyTarget(HWND item) {
    HWND field = GetDlgItem(item, SD_COMBO_EDIT_ID);
    return field ? field : item;
}

void postKey(HWND target, int vk) {
    PostMessageA(target, WM_KEYDOWN, WPARAM(vk), 1);
    PostMessageA(target, WM_KEYUP, WPARAM(vk), LPARAM(0xC0000001u));
}

} // namespace

int PumpDialog(int limit) {
    MSG msg;
    int count = 0;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(int(msg.wParam));
            break;
        }
        if (++count > limit) {
            ADD_FAILURE() << "the message queue did not run dry after " << limit << " messages";
            break;
        }
        SdHandleDialogMessage(msg);
    }
    return count;
}

bool FocusControl(HWND dialog, int id) {
    HWND item = control(dialog, id, "focus");
    if (!item) return false;
    SdLogDialogAction(dialog, "focus " + std::to_string(id));
    SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(item), TRUE);
    return true;
}

bool ClickAt(HWND dialog, int id, int x, int y) {
    HWND item = control(dialog, id, "click");
    if (!item) return false;
    SdLogDialogAction(dialog, "click " + std::to_string(id));
    PostMessageA(item, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(WORD(x), WORD(y)));
    PostMessageA(item, WM_LBUTTONUP, 0, MAKELPARAM(WORD(x), WORD(y)));
    PumpDialog();
    return true;
}

bool Click(HWND dialog, int id) {
    HWND item = GetDlgItem(dialog, id);
    RECT r{};
    if (item) GetClientRect(item, &r);
    return ClickAt(dialog, id, int(r.right / 2), int(r.bottom / 2));
}

bool Type(HWND dialog, int id, const std::string& text) {
    HWND item = control(dialog, id, "type");
    if (!item) return false;
    SdLogDialogAction(dialog, "type " + std::to_string(id) + " \"" + text + "\"");
    SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(item), TRUE);
    HWND target = keyTarget(item);
    SendMessageA(target, EM_SETSEL, 0, -1);
    for (char c : text) {
        switch (c) {
        case '\r':
            postKey(target, VK_RETURN);
            break;
        case '\b':
            postKey(target, VK_BACK);
            break;
        case '\t':
            postKey(target, VK_TAB);
            break;
        case '\x1b':
            postKey(target, VK_ESCAPE);
            break;
        default:
            PostMessageA(target, WM_CHAR, WPARAM(static_cast<unsigned char>(c)), 1);
            break;
        }
        PumpDialog();
        target = GetFocus() ? GetFocus() : target;
    }
    return true;
}

void PressKey(HWND dialog, int virtualKey) {
    SdLogDialogAction(dialog, "key " + std::to_string(virtualKey));
    HWND focus = GetFocus();
    postKey(focus ? focus : dialog, virtualKey);
    PumpDialog();
}

bool Select(HWND dialog, int id, const std::string& text) {
    HWND item = control(dialog, id, "select");
    if (!item) return false;
    char name[32] = {};
    GetClassNameA(item, name, sizeof name);
    bool combo = std::string(name) == "ComboBox";
    LRESULT index = SendMessageA(item, combo ? CB_FINDSTRINGEXACT : LB_FINDSTRINGEXACT, WPARAM(-1),
                                 reinterpret_cast<LPARAM>(text.c_str()));
    if (index < 0) {
        ADD_FAILURE() << "select: control " << id << " has no item \"" << text << "\"";
        return false;
    }
    SdLogDialogAction(dialog, "select " + std::to_string(id) + " \"" + text + "\"");
    if (combo) {
        SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(item), TRUE);
        SendMessageA(item, CB_SHOWDROPDOWN, TRUE, 0);
        SendMessageA(item, SD_CBM_PICKITEM, WPARAM(index), 0);
    } else {
        RECT r{};
        SendMessageA(item, LB_SETTOPINDEX, WPARAM(index), 0);
        SendMessageA(item, LB_GETITEMRECT, WPARAM(index), reinterpret_cast<LPARAM>(&r));
        PostMessageA(item, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(WORD(r.left + 1), WORD(r.top + 1)));
        PostMessageA(item, WM_LBUTTONUP, 0, MAKELPARAM(WORD(r.left + 1), WORD(r.top + 1)));
    }
    PumpDialog();
    return true;
}

std::string TextOf(HWND dialog, int id) {
    char text[1024] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

} // namespace sdtest
