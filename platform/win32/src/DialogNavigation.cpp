// The dialog keyboard interface and the item functions.

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "ControlSupport.h"
#include "DialogManager.h"
#include "win32/kernel.h"

using namespace sddlg;

namespace {

bool takesPart(HWND hwnd) {
    DWORD style = sdctl::styleOf(hwnd);
    return (style & WS_VISIBLE) && !(style & WS_DISABLED);
}

// The dialog's controls in tab order: z-order, entering children that hold controls of
// their own (WS_EX_CONTROLPARENT), as property pages do.
void collect(HWND parent, std::vector<HWND>& out) {
    for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        if ((GetWindowLongA(c, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) && takesPart(c))
            collect(c, out);
        else
            out.push_back(c);
    }
}

HWND nextOf(const std::vector<HWND>& order, HWND from, bool previous,
            const std::function<bool(HWND)>& accept) {
    if (order.empty()) return nullptr;
    auto at = std::find(order.begin(), order.end(), from);
    long n = long(order.size());
    long start = at == order.end() ? (previous ? 0 : -1) : long(at - order.begin());
    for (long k = 1; k <= n; ++k) {
        long i = ((start + (previous ? -k : k)) % n + n) % n;
        if (accept(order[size_t(i)])) return order[size_t(i)];
    }
    return nullptr;
}

HWND dialogItem(HWND dialog, int id) {
    HWND item = GetDlgItem(dialog, id);
    if (!item) SetLastError(ERROR_CONTROL_ID_NOT_FOUND);
    return item;
}

bool isAutoRadio(HWND hwnd) {
    char name[16] = {};
    GetClassNameA(hwnd, name, sizeof name);
    return std::string(name) == "Button" && (sdctl::styleOf(hwnd) & BS_TYPEMASK) == BS_AUTORADIOBUTTON;
}

// Enter: the focused push button, else the default one, else IDOK.
void pressDefault(HWND dialog, HWND focus, LRESULT focusCode) {
    int id = IDOK;
    if (focus && (focusCode & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON))) {
        id = GetDlgCtrlID(focus);
    } else {
        LRESULT def = SendMessageA(dialog, DM_GETDEFID, 0, 0);
        if (HIWORD(def) == DC_HASDEFID) id = LOWORD(def);
    }
    HWND button = GetDlgItem(dialog, id);
    if (button && !IsWindowEnabled(button)) {
        MessageBeep(MB_OK);
        return;
    }
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(WORD(id), BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

} // namespace

HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous) {
    if (!IsWindow(dialog)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    std::vector<HWND> order;
    collect(dialog, order);
    HWND found = nextOf(order, control, previous, [](HWND c) {
        return takesPart(c) && (sdctl::styleOf(c) & WS_TABSTOP);
    });
    return found ? found : control;
}

HWND GetNextDlgGroupItem(HWND dialog, HWND control, BOOL previous) {
    if (!IsWindow(dialog) || !control || !IsChild(dialog, control)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::vector<HWND> group = sdctl::groupOf(control);
    HWND found = nextOf(group, control, previous, takesPart);
    return found ? found : control;
}

BOOL IsDialogMessageA(HWND dialog, LPMSG msg) {
    if (!msg || !IsWindow(dialog)) return FALSE;
    if (msg->hwnd != dialog && !IsChild(dialog, msg->hwnd)) return FALSE;
    HWND focus = GetFocus();
    if (msg->message == WM_KEYDOWN) {
        LRESULT code = SendMessageA(msg->hwnd, WM_GETDLGCODE, msg->wParam, reinterpret_cast<LPARAM>(msg));
        // The focus of a combo box lies in its field: the combo box decides.
        HWND parent = GetParent(msg->hwnd);
        if (parent && parent != dialog && IsChild(dialog, parent))
            code |= SendMessageA(parent, WM_GETDLGCODE, msg->wParam, reinterpret_cast<LPARAM>(msg)) & DLGC_WANTMESSAGE;
        bool wantsAll = code & (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE);
        bool shift = GetKeyState(VK_SHIFT) < 0;
        switch (msg->wParam) {
        case VK_TAB:
            if (wantsAll || (code & DLGC_WANTTAB)) break;
            SendMessageA(dialog, WM_NEXTDLGCTL, shift ? 1 : 0, 0);
            return TRUE;
        case VK_LEFT:
        case VK_UP:
        case VK_RIGHT:
        case VK_DOWN: {
            if (wantsAll || (code & DLGC_WANTARROWS) || !focus || !IsChild(dialog, focus)) break;
            bool back = msg->wParam == WPARAM(VK_LEFT) || msg->wParam == WPARAM(VK_UP);
            HWND next = GetNextDlgGroupItem(dialog, focus, back ? TRUE : FALSE);
            if (next && next != focus) {
                focusControl(dialog, next);
                if (isAutoRadio(next)) SendMessageA(next, BM_CLICK, 0, 0);
            }
            return TRUE;
        }
        case VK_RETURN:
            if (wantsAll) break;
            pressDefault(dialog, focus && IsChild(dialog, focus) ? focus : nullptr,
                         focus ? SendMessageA(focus, WM_GETDLGCODE, 0, 0) : 0);
            return TRUE;
        case VK_ESCAPE: {
            if (wantsAll) break;
            HWND cancel = GetDlgItem(dialog, IDCANCEL);
            if (cancel && !IsWindowEnabled(cancel)) return TRUE;
            SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(cancel));
            return TRUE;
        }
        default:
            break;
        }
    }
    TranslateMessage(msg);
    DispatchMessageA(msg);
    return TRUE;
}

BOOL MapDialogRect(HWND dialog, LPRECT rect) {
    if (!rect || !IsWindow(dialog)) {
        SetLastError(rect ? ERROR_INVALID_WINDOW_HANDLE : ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    rect->left = mapX(rect->left);
    rect->right = mapX(rect->right);
    rect->top = mapY(rect->top);
    rect->bottom = mapY(rect->bottom);
    return TRUE;
}

BOOL SetDlgItemTextA(HWND dialog, int id, LPCSTR text) {
    HWND item = dialogItem(dialog, id);
    return item ? SetWindowTextA(item, text) : FALSE;
}

UINT GetDlgItemTextA(HWND dialog, int id, LPSTR text, int maxCount) {
    if (text && maxCount > 0) text[0] = '\0';
    HWND item = dialogItem(dialog, id);
    return item ? UINT(GetWindowTextA(item, text, maxCount)) : 0;
}

UINT GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL isSigned) {
    if (translated) *translated = FALSE;
    HWND item = dialogItem(dialog, id);
    if (!item) return 0;
    int length = GetWindowTextLengthA(item);
    std::string text(size_t(length) + 1, '\0');
    GetWindowTextA(item, text.data(), length + 1);
    text.resize(std::strlen(text.c_str()));
    size_t at = text.find_first_not_of(" \t");
    size_t end = text.find_last_not_of(" \t");
    if (at == std::string::npos) return 0;
    std::string number = text.substr(at, end - at + 1);
    bool negative = !number.empty() && number[0] == '-';
    std::string digits = negative ? number.substr(1) : number;
    if (digits.empty() || !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return 0;
    if (negative && !isSigned) return 0;
    errno = 0;
    long long value = std::strtoll(number.c_str(), nullptr, 10);
    if (errno == ERANGE) return 0;
    if (isSigned ? (value < INT_MIN || value > INT_MAX) : (value > (long long)UINT_MAX)) return 0;
    if (translated) *translated = TRUE;
    return isSigned ? UINT(int(value)) : UINT(value);
}

BOOL SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned) {
    std::string text = isSigned ? std::to_string(int(value)) : std::to_string(value);
    return SetDlgItemTextA(dialog, id, text.c_str());
}

BOOL CheckDlgButton(HWND dialog, int id, UINT check) {
    HWND item = dialogItem(dialog, id);
    if (!item) return FALSE;
    SendMessageA(item, BM_SETCHECK, check, 0);
    return TRUE;
}

UINT IsDlgButtonChecked(HWND dialog, int id) {
    HWND item = dialogItem(dialog, id);
    return item ? UINT(SendMessageA(item, BM_GETCHECK, 0, 0)) : 0;
}

BOOL CheckRadioButton(HWND dialog, int firstId, int lastId, int checkId) {
    if (!IsWindow(dialog) || firstId > lastId) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    for (int id = firstId; id <= lastId; ++id)
        if (HWND item = GetDlgItem(dialog, id))
            SendMessageA(item, BM_SETCHECK, id == checkId ? BST_CHECKED : BST_UNCHECKED, 0);
    return TRUE;
}

LRESULT SendDlgItemMessageA(HWND dialog, int id, UINT msg, WPARAM wParam, LPARAM lParam) {
    HWND item = dialogItem(dialog, id);
    return item ? SendMessageA(item, msg, wParam, lParam) : 0;
}
