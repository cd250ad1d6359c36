// The "ComboBox" class: a list with a field. CBS_DROPDOWNLIST shows the selected item;
// CBS_DROPDOWN and CBS_SIMPLE have an "Edit" child (id SD_COMBO_EDIT_ID) whose
// notifications come out as CBN_EDITUPDATE / CBN_EDITCHANGE. The open list, opened and
// closed by CB_SHOWDROPDOWN, F4 or a click, is a popup window of the "ComboLBox" class below
// the box (up to 8 items high) that shows the items and picks the one clicked; tests pick
// with SD_CBM_PICKITEM.

#include <algorithm>

#include "ControlSupport.h"
#include "ListItems.h"

namespace sdctl {

namespace {

constexpr int defaultItemHeight = 16;

struct ComboState {
    ListItems list;
    HWND edit = nullptr;
    bool dropped = false;
    bool settingEdit = false; // the field follows the list: no CBN_EDITCHANGE
    int itemHeight = defaultItemHeight;
    HFONT font = nullptr;
    HWND dropList = nullptr; // the open list's window
};

DWORD kindOf(HWND hwnd) {
    return styleOf(hwnd) & 3;
}

// A drop-down box's own height: its field.
int fieldHeight(const ComboState& s) {
    return std::max(s.itemHeight, defaultItemHeight) + 6;
}

void showSelection(ComboState& s) {
    if (!s.edit) return;
    s.settingEdit = true;
    SetWindowTextA(s.edit, s.list.valid(WPARAM(s.list.current)) && s.list.hasStrings
                               ? s.list.items[size_t(s.list.current)].text.c_str()
                               : "");
    SendMessageA(s.edit, EM_SETSEL, 0, -1);
    s.settingEdit = false;
}

void select(HWND hwnd, ComboState& s, int index) {
    s.list.current = index;
    showSelection(s);
    InvalidateRect(hwnd, nullptr, FALSE);
}

void setDropped(HWND hwnd, ComboState& s, bool dropped) {
    if (s.dropped == dropped || kindOf(hwnd) == CBS_SIMPLE) return;
    if (dropped) {
        notifyCommand(hwnd, CBN_DROPDOWN);
        s.dropped = true;
        RECT r{};
        GetWindowRect(hwnd, &r);
        const int rows = std::clamp(s.list.count(), 1, 8);
        s.dropList = CreateWindowExA(WS_EX_TOOLWINDOW, "ComboLBox", "", WS_POPUP | WS_VISIBLE,
                                     int(r.left), int(r.bottom), int(r.right - r.left), rows * s.itemHeight + 2,
                                     hwnd, nullptr, nullptr, hwnd);
    } else {
        s.dropped = false;
        if (s.dropList) {
            HWND list = s.dropList;
            s.dropList = nullptr;
            DestroyWindow(list);
        }
        notifyCommand(hwnd, CBN_CLOSEUP);
    }
}

// What the user picks: the selection moves and the parent hears it.
void userPick(HWND hwnd, ComboState& s, int index) {
    if (!s.list.valid(WPARAM(index))) return;
    bool change = index != s.list.current;
    select(hwnd, s, index);
    notifyCommand(hwnd, CBN_SELENDOK);
    setDropped(hwnd, s, false);
    if (change) notifyCommand(hwnd, CBN_SELCHANGE);
}

void paintOwnerDrawn(HWND hwnd, const ComboState& s) {
    PAINTSTRUCT ps{};
    HDC dc = BeginPaint(hwnd, &ps);
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_COMBOBOX;
    item.CtlID = UINT(GetDlgCtrlID(hwnd));
    item.itemID = UINT(s.list.current);
    item.itemAction = ODA_DRAWENTIRE;
    item.itemState = ODS_COMBOBOXEDIT | (GetFocus() == hwnd ? ODS_FOCUS | ODS_SELECTED : 0) |
                     (IsWindowEnabled(hwnd) ? 0 : ODS_DISABLED);
    item.hwndItem = hwnd;
    item.hDC = dc;
    GetClientRect(hwnd, &item.rcItem);
    item.itemData = s.list.valid(WPARAM(s.list.current)) ? DWORD_PTR(s.list.items[size_t(s.list.current)].data) : 0;
    if (HWND parent = GetParent(hwnd))
        SendMessageA(parent, WM_DRAWITEM, WPARAM(item.CtlID), reinterpret_cast<LPARAM>(&item));
    EndPaint(hwnd, &ps);
}

LRESULT onKeyDown(HWND hwnd, ComboState& s, WPARAM key) {
    int n = s.list.count();
    int at = s.list.current;
    switch (key) {
    case VK_F4:
        setDropped(hwnd, s, !s.dropped);
        return 0;
    case VK_RETURN:
        if (s.dropped) {
            notifyCommand(hwnd, CBN_SELENDOK);
            setDropped(hwnd, s, false);
        }
        return 0;
    case VK_ESCAPE:
        if (s.dropped) {
            notifyCommand(hwnd, CBN_SELENDCANCEL);
            setDropped(hwnd, s, false);
        }
        return 0;
    case VK_UP:
        at = at <= 0 ? 0 : at - 1;
        break;
    case VK_DOWN:
        if (GetKeyState(VK_MENU) < 0) {
            setDropped(hwnd, s, !s.dropped);
            return 0;
        }
        at = at < 0 ? 0 : std::min(at + 1, n - 1);
        break;
    case VK_HOME:
        at = 0;
        break;
    case VK_END:
        at = n - 1;
        break;
    default:
        return 0;
    }
    if (n == 0 || at == s.list.current) return 0;
    select(hwnd, s, at);
    if (!s.dropped) notifyCommand(hwnd, CBN_SELENDOK);
    notifyCommand(hwnd, CBN_SELCHANGE);
    return 0;
}

} // namespace

static LRESULT comboBoxMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

LRESULT CALLBACK comboBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return handleAndInvalidate(hwnd, msg, wParam, lParam, comboBoxMessage,
                               {{WM_LBUTTONDOWN},
                                {WM_LBUTTONUP},
                                {WM_KEYDOWN},
                                {WM_CHAR},
                                {CB_ADDSTRING},
                                {CB_INSERTSTRING},
                                {CB_DELETESTRING},
                                {CB_RESETCONTENT},
                                {CB_SETCURSEL},
                                {CB_SELECTSTRING},
                                {CB_SHOWDROPDOWN},
                                {CB_SETITEMHEIGHT},
                                {SD_CBM_PICKITEM}});
}

static LRESULT comboBoxMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        ComboState* s = attachState<ComboState>(hwnd);
        auto* cs = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        DWORD style = cs ? DWORD(cs->style) : 0;
        s->list.sorted = style & CBS_SORT;
        s->list.hasStrings =
            !(style & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE)) || (style & CBS_HASSTRINGS);
        // The scroll bars a template gives belong to the list, not to the box.
        if (style & (WS_VSCROLL | WS_HSCROLL))
            SetWindowLongPtrA(hwnd, GWL_STYLE, LONG_PTR(style & ~DWORD(WS_VSCROLL | WS_HSCROLL)));
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
    ComboState* s = stateOf<ComboState>(hwnd);
    if (!s) return DefWindowProcA(hwnd, msg, wParam, lParam);
    ListItems& list = s->list;
    switch (msg) {
    case WM_CREATE: {
        auto* cs = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        if (kindOf(hwnd) != CBS_DROPDOWNLIST) {
            DWORD editStyle = WS_CHILD | WS_VISIBLE | ES_LEFT;
            DWORD style = styleOf(hwnd);
            if (style & CBS_AUTOHSCROLL) editStyle |= ES_AUTOHSCROLL;
            if (style & CBS_UPPERCASE) editStyle |= ES_UPPERCASE;
            if (style & CBS_LOWERCASE) editStyle |= ES_LOWERCASE;
            RECT client{};
            GetClientRect(hwnd, &client);
            s->edit = CreateWindowExA(0, "Edit", cs ? cs->lpszName : nullptr, editStyle, 0, 0,
                                      int(client.right), defaultItemHeight + 4, hwnd,
                                      reinterpret_cast<HMENU>(UINT_PTR(SD_COMBO_EDIT_ID)),
                                      nullptr, nullptr);
            if (!s->edit) return -1;
        }
        if (kindOf(hwnd) != CBS_SIMPLE) {
            // The height given is the open list's; the box itself is one field high.
            RECT r{};
            GetWindowRect(hwnd, &r);
            SetWindowPos(hwnd, nullptr, 0, 0, int(r.right - r.left), fieldHeight(*s),
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        if (styleOf(hwnd) & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE)) {
            HWND parent = GetParent(hwnd);
            for (UINT item : {UINT(-1), 0u}) {
                MEASUREITEMSTRUCT m{ODT_COMBOBOX, UINT(GetDlgCtrlID(hwnd)), item, 0, UINT(defaultItemHeight), 0};
                if (parent) SendMessageA(parent, WM_MEASUREITEM, m.CtlID, reinterpret_cast<LPARAM>(&m));
                if (item == 0 && m.itemHeight > 0) s->itemHeight = int(m.itemHeight);
            }
        }
        return 0;
    }
    case WM_WINDOWPOSCHANGING:
        if (kindOf(hwnd) != CBS_SIMPLE) {
            auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
            if (pos && !(pos->flags & SWP_NOSIZE)) pos->cy = fieldHeight(*s);
        }
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    case WM_NCDESTROY:
        if (s->dropList && IsWindow(s->dropList)) DestroyWindow(s->dropList);
        detachState<ComboState>(hwnd);
        return 0;
    case WM_COMMAND:
        if (s->edit && reinterpret_cast<HWND>(lParam) == s->edit) {
            switch (HIWORD(wParam)) {
            case EN_CHANGE:
                if (!s->settingEdit) notifyCommand(hwnd, CBN_EDITCHANGE);
                break;
            case EN_UPDATE:
                if (!s->settingEdit) notifyCommand(hwnd, CBN_EDITUPDATE);
                break;
            case EN_SETFOCUS:
                notifyCommand(hwnd, CBN_SETFOCUS);
                break;
            case EN_KILLFOCUS:
                setDropped(hwnd, *s, false);
                notifyCommand(hwnd, CBN_KILLFOCUS);
                break;
            case EN_MAXTEXT:
                break;
            }
        }
        return 0;
    case WM_GETDLGCODE: {
        LRESULT code = DLGC_WANTARROWS | DLGC_WANTCHARS;
        auto* m = reinterpret_cast<const MSG*>(lParam);
        // An open list takes Enter and Escape for itself.
        if (s->dropped && m && m->message == WM_KEYDOWN &&
            (m->wParam == WPARAM(VK_RETURN) || m->wParam == WPARAM(VK_ESCAPE)))
            code |= DLGC_WANTMESSAGE;
        return code;
    }
    case WM_SETFONT:
        s->font = reinterpret_cast<HFONT>(wParam);
        if (s->edit) SendMessageA(s->edit, WM_SETFONT, wParam, lParam);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(s->font);
    case WM_SETFOCUS:
        if (s->edit) {
            SetFocus(s->edit);
            SendMessageA(s->edit, EM_SETSEL, 0, -1);
        } else {
            InvalidateRect(hwnd, nullptr, FALSE);
            notifyCommand(hwnd, CBN_SETFOCUS);
        }
        return 0;
    case WM_KILLFOCUS:
        if (!s->edit || reinterpret_cast<HWND>(wParam) != s->edit) {
            setDropped(hwnd, *s, false);
            if (!s->edit) notifyCommand(hwnd, CBN_KILLFOCUS);
        }
        return 0;
    case WM_PAINT:
        if (styleOf(hwnd) & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE)) {
            paintOwnerDrawn(hwnd, *s);
            return 0;
        }
        SdPaintControl(hwnd, SdLookState{});
        return 0;
    case WM_LBUTTONDOWN:
        if (!IsWindowEnabled(hwnd)) return 0;
        if (GetFocus() != hwnd && GetFocus() != s->edit) SetFocus(hwnd);
        setDropped(hwnd, *s, !s->dropped);
        return 0;
    case WM_KEYDOWN:
        return onKeyDown(hwnd, *s, wParam);
    case WM_CHAR: {
        if (s->edit) return SendMessageA(s->edit, msg, wParam, lParam);
        if (wParam < 0x20 || !list.hasStrings) return 0;
        const char text[2] = {char(wParam), 0};
        int at = list.find(list.current, reinterpret_cast<LPARAM>(text), false);
        if (at >= 0 && at != list.current) {
            select(hwnd, *s, at);
            if (!s->dropped) notifyCommand(hwnd, CBN_SELENDOK);
            notifyCommand(hwnd, CBN_SELCHANGE);
        }
        return 0;
    }
    case WM_SETTEXT: {
        if (s->edit) return SendMessageA(s->edit, msg, wParam, lParam);
        int at = list.find(-1, lParam, true);
        if (at < 0) return CB_ERR;
        select(hwnd, *s, at);
        return TRUE;
    }
    case WM_GETTEXT:
        if (s->edit) return SendMessageA(s->edit, msg, wParam, lParam);
        return copyOut(list.valid(WPARAM(list.current)) ? list.items[size_t(list.current)].text : std::string(),
                       wParam, lParam);
    case WM_GETTEXTLENGTH:
        if (s->edit) return SendMessageA(s->edit, msg, wParam, lParam);
        return list.valid(WPARAM(list.current)) ? LRESULT(list.items[size_t(list.current)].text.size()) : 0;
    case WM_ENABLE:
        if (s->edit) EnableWindow(s->edit, BOOL(wParam));
        return 0;
    case CB_ADDSTRING:
        return list.add(lParam);
    case CB_INSERTSTRING:
        return list.insert(LONG_PTR(int(wParam)), lParam);
    case CB_DELETESTRING:
        return list.remove(wParam) < 0 ? CB_ERR : list.count();
    case CB_RESETCONTENT:
        list.items.clear();
        list.current = -1;
        showSelection(*s);
        return CB_OKAY;
    case CB_GETCOUNT:
        return list.count();
    case CB_GETCURSEL:
        return list.current;
    case CB_SETCURSEL:
        if (!list.valid(wParam)) {
            select(hwnd, *s, -1);
            return CB_ERR;
        }
        select(hwnd, *s, int(wParam));
        return list.current;
    case CB_GETLBTEXT:
        return list.getText(wParam, lParam);
    case CB_GETLBTEXTLEN:
        return list.getTextLength(wParam);
    case CB_GETITEMDATA:
        return list.getData(wParam);
    case CB_SETITEMDATA:
        return list.setData(wParam, lParam);
    case CB_FINDSTRING:
    case CB_FINDSTRINGEXACT:
        return list.find(LONG_PTR(int(wParam)), lParam, msg == CB_FINDSTRINGEXACT);
    case CB_SELECTSTRING: {
        int at = list.find(LONG_PTR(int(wParam)), lParam, false);
        if (at >= 0) select(hwnd, *s, at);
        return at;
    }
    case CB_SHOWDROPDOWN:
        setDropped(hwnd, *s, wParam != 0);
        return TRUE;
    case CB_GETDROPPEDSTATE:
        return s->dropped;
    case CB_LIMITTEXT:
        if (!s->edit) return FALSE;
        SendMessageA(s->edit, EM_LIMITTEXT, wParam, 0);
        return TRUE;
    case CB_GETEDITSEL:
        return s->edit ? SendMessageA(s->edit, EM_GETSEL, wParam, lParam) : CB_ERR;
    case CB_SETEDITSEL:
        if (!s->edit) return CB_ERR;
        SendMessageA(s->edit, EM_SETSEL, WPARAM(SHORT(LOWORD(lParam))), LPARAM(SHORT(HIWORD(lParam))));
        return TRUE;
    case CB_GETITEMHEIGHT:
        return s->itemHeight;
    case CB_SETITEMHEIGHT:
        if (lParam <= 0 || lParam > 255) return CB_ERR;
        s->itemHeight = int(lParam);
        return 0;
    case SD_CBM_PICKITEM:
        userPick(hwnd, *s, int(wParam));
        return list.current;
    default:
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

// The open list: it answers the list box's questions from its combo box, so that it paints
// as a list box does, and a click picks the item under it.
LRESULT CALLBACK comboListProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(hwnd, 0, cs ? reinterpret_cast<LONG_PTR>(cs->lpCreateParams) : 0);
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
    auto combo = reinterpret_cast<HWND>(GetWindowLongPtrA(hwnd, 0));
    if (!combo || !IsWindow(combo)) return DefWindowProcA(hwnd, msg, wParam, lParam);
    switch (msg) {
    case WM_PAINT:
        SdPaintControl(hwnd, SdLookState{});
        return 0;
    case WM_GETFONT:
        return SendMessageA(combo, WM_GETFONT, 0, 0);
    case LB_GETCOUNT:
        return SendMessageA(combo, CB_GETCOUNT, 0, 0);
    case LB_GETTEXT:
        return SendMessageA(combo, CB_GETLBTEXT, wParam, lParam);
    case LB_GETTEXTLEN:
        return SendMessageA(combo, CB_GETLBTEXTLEN, wParam, lParam);
    case LB_GETITEMDATA:
        return SendMessageA(combo, CB_GETITEMDATA, wParam, lParam);
    case LB_GETCURSEL:
    case LB_GETCARETINDEX:
        return SendMessageA(combo, CB_GETCURSEL, 0, 0);
    case LB_GETSEL:
        return LRESULT(SendMessageA(combo, CB_GETCURSEL, 0, 0) == LRESULT(wParam));
    case LB_GETTOPINDEX:
        return 0;
    case LB_GETITEMHEIGHT:
        return SendMessageA(combo, CB_GETITEMHEIGHT, 0, 0);
    case WM_LBUTTONUP: {
        const int height = std::max<int>(1, int(SendMessageA(combo, CB_GETITEMHEIGHT, 0, 0)));
        const int item = GET_Y_LPARAM(lParam) / height;
        if (item >= 0 && item < int(SendMessageA(combo, CB_GETCOUNT, 0, 0)))
            SendMessageA(combo, SD_CBM_PICKITEM, WPARAM(item), 0);
        return 0;
    }
    default:
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

} // namespace sdctl
