// The "Button" class: push buttons, check boxes (two and three states), radio buttons, group
// boxes and owner-drawn buttons. A click is a press and a release inside the button (mouse
// or space bar); it toggles the automatic kinds, then sends BN_CLICKED.

#include "ControlSupport.h"

namespace sdctl {

namespace {

struct ButtonState {
    WPARAM check = BST_UNCHECKED;
    bool pushed = false;
    bool focused = false;
    bool spaceDown = false;
    HANDLE image = nullptr;
    HFONT font = nullptr;
};

DWORD kindOf(HWND hwnd) {
    return styleOf(hwnd) & BS_TYPEMASK;
}

bool isRadio(DWORD kind) {
    return kind == BS_RADIOBUTTON || kind == BS_AUTORADIOBUTTON;
}

bool isCheckKind(DWORD kind) {
    return kind == BS_CHECKBOX || kind == BS_AUTOCHECKBOX || kind == BS_3STATE ||
           kind == BS_AUTO3STATE || isRadio(kind);
}

void paintOwnerDrawn(HWND hwnd, const ButtonState& s) {
    PAINTSTRUCT ps{};
    HDC dc = BeginPaint(hwnd, &ps);
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_BUTTON;
    item.CtlID = UINT(GetDlgCtrlID(hwnd));
    item.itemAction = ODA_DRAWENTIRE;
    item.itemState = (s.pushed ? ODS_SELECTED : 0) | (s.focused ? ODS_FOCUS : 0) |
                     (IsWindowEnabled(hwnd) ? 0 : ODS_DISABLED);
    item.hwndItem = hwnd;
    item.hDC = dc;
    GetClientRect(hwnd, &item.rcItem);
    if (HWND parent = GetParent(hwnd))
        SendMessageA(parent, WM_DRAWITEM, WPARAM(item.CtlID), reinterpret_cast<LPARAM>(&item));
    EndPaint(hwnd, &ps);
}

void setPushed(HWND hwnd, ButtonState& s, bool pushed) {
    if (s.pushed == pushed) return;
    s.pushed = pushed;
    InvalidateRect(hwnd, nullptr, FALSE);
}

// The click itself: automatic kinds change their check, then the parent hears BN_CLICKED.
void click(HWND hwnd, ButtonState& s) {
    switch (kindOf(hwnd)) {
    case BS_AUTOCHECKBOX:
        s.check = s.check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
        break;
    case BS_AUTO3STATE:
        s.check = s.check == BST_UNCHECKED ? BST_CHECKED
                  : s.check == BST_CHECKED ? BST_INDETERMINATE
                                           : BST_UNCHECKED;
        break;
    case BS_AUTORADIOBUTTON:
        for (HWND other : groupOf(hwnd)) {
            if (other == hwnd) continue;
            char name[16] = {};
            GetClassNameA(other, name, sizeof name);
            if (std::string(name) == "Button" && (styleOf(other) & BS_TYPEMASK) == BS_AUTORADIOBUTTON)
                SendMessageA(other, BM_SETCHECK, BST_UNCHECKED, 0);
        }
        SendMessageA(hwnd, BM_SETCHECK, BST_CHECKED, 0);
        break;
    default:
        break;
    }
    notifyCommand(hwnd, BN_CLICKED);
}

} // namespace

static LRESULT buttonMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

LRESULT CALLBACK buttonProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return handleAndInvalidate(hwnd, msg, wParam, lParam, buttonMessage,
                               {{BM_SETCHECK}, {BM_SETIMAGE}});
}

static LRESULT buttonMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        attachState<ButtonState>(hwnd);
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
    ButtonState* s = stateOf<ButtonState>(hwnd);
    if (!s) return DefWindowProcA(hwnd, msg, wParam, lParam);
    DWORD kind = kindOf(hwnd);
    switch (msg) {
    case WM_NCDESTROY:
        detachState<ButtonState>(hwnd);
        return 0;
    case WM_GETDLGCODE:
        switch (kind) {
        case BS_DEFPUSHBUTTON:
            return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
        case BS_PUSHBUTTON:
        case BS_OWNERDRAW:
        case BS_PUSHBOX:
        case BS_USERBUTTON:
            return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON:
            return DLGC_BUTTON | DLGC_RADIOBUTTON;
        case BS_GROUPBOX:
            return DLGC_STATIC;
        default:
            return DLGC_BUTTON;
        }
    case WM_SETFONT:
        s->font = reinterpret_cast<HFONT>(wParam);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(s->font);
    case WM_PAINT:
        if (kind == BS_OWNERDRAW) {
            paintOwnerDrawn(hwnd, *s);
            return 0;
        }
        SdPaintControl(hwnd, SdLookState{});
        return 0;
    case WM_SETFOCUS:
        s->focused = true;
        InvalidateRect(hwnd, nullptr, FALSE);
        if (styleOf(hwnd) & BS_NOTIFY) notifyCommand(hwnd, BN_SETFOCUS);
        return 0;
    case WM_KILLFOCUS:
        s->focused = false;
        if (s->pushed) {
            setPushed(hwnd, *s, false);
            if (GetCapture() == hwnd) ReleaseCapture();
        }
        InvalidateRect(hwnd, nullptr, FALSE);
        if (styleOf(hwnd) & BS_NOTIFY) notifyCommand(hwnd, BN_KILLFOCUS);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (kind == BS_GROUPBOX || !IsWindowEnabled(hwnd)) return 0;
        SetCapture(hwnd);
        if (GetFocus() != hwnd) SetFocus(hwnd);
        setPushed(hwnd, *s, true);
        if (msg == WM_LBUTTONDBLCLK && (kind == BS_OWNERDRAW || isRadio(kind) || (styleOf(hwnd) & BS_NOTIFY)))
            notifyCommand(hwnd, BN_DOUBLECLICKED);
        return 0;
    case WM_MOUSEMOVE:
        if (GetCapture() == hwnd) setPushed(hwnd, *s, pointInside(hwnd, lParam));
        return 0;
    case WM_LBUTTONUP: {
        if (GetCapture() != hwnd) return 0;
        bool inside = pointInside(hwnd, lParam);
        setPushed(hwnd, *s, false);
        ReleaseCapture();
        if (inside) click(hwnd, *s);
        return 0;
    }
    case WM_KEYDOWN:
        if (wParam == WPARAM(VK_SPACE) && kind != BS_GROUPBOX && IsWindowEnabled(hwnd)) {
            s->spaceDown = true;
            setPushed(hwnd, *s, true);
        }
        return 0;
    case WM_KEYUP:
        if (wParam == WPARAM(VK_SPACE) && s->spaceDown) {
            s->spaceDown = false;
            setPushed(hwnd, *s, false);
            click(hwnd, *s);
        }
        return 0;
    case WM_CHAR:
        return 0;
    case BM_CLICK:
        if (kind == BS_GROUPBOX || !IsWindowEnabled(hwnd)) return 0;
        SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, centreOf(hwnd));
        SendMessageA(hwnd, WM_LBUTTONUP, 0, centreOf(hwnd));
        return 0;
    case BM_GETCHECK:
        return isCheckKind(kind) ? LRESULT(s->check) : 0;
    case BM_SETCHECK:
        if (!isCheckKind(kind)) return 0;
        s->check = wParam == BST_INDETERMINATE && (kind == BS_3STATE || kind == BS_AUTO3STATE)
                       ? BST_INDETERMINATE
                   : wParam == BST_UNCHECKED ? BST_UNCHECKED
                                             : BST_CHECKED;
        if (isRadio(kind)) {
            // A checked radio button is the group's tab stop.
            LONG style = GetWindowLongA(hwnd, GWL_STYLE);
            SetWindowLongA(hwnd, GWL_STYLE,
                           s->check == BST_CHECKED ? style | LONG(WS_TABSTOP) : style & ~LONG(WS_TABSTOP));
        }
        InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    case BM_GETSTATE:
        return LRESULT((isCheckKind(kind) ? s->check : 0) | (s->pushed ? BST_PUSHED : 0) |
                       (s->focused ? BST_FOCUS : 0));
    case BM_SETSTATE:
        setPushed(hwnd, *s, wParam != 0);
        return 0;
    case BM_SETSTYLE: {
        DWORD style = styleOf(hwnd);
        SetWindowLongA(hwnd, GWL_STYLE, LONG((style & 0xFFFF0000u) | (DWORD(wParam) & 0xFFFF)));
        if (LOWORD(lParam)) InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    }
    case BM_SETIMAGE: {
        HANDLE previous = s->image;
        s->image = reinterpret_cast<HANDLE>(lParam);
        return reinterpret_cast<LRESULT>(previous);
    }
    case BM_GETIMAGE:
        return reinterpret_cast<LRESULT>(s->image);
    case WM_ENABLE:
        InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    default:
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

} // namespace sdctl
