// The "ListBox" class: single, multiple and extended selection; notifications only with
// LBS_NOTIFY, and only for what the user did (never for messages that set the selection).

#include <algorithm>

#include "ControlSupport.h"
#include "ListItems.h"

namespace sdctl {

namespace {

constexpr int defaultItemHeight = 16;

struct ListBoxState {
    ListItems list;
    int top = 0;
    int itemHeight = defaultItemHeight;
    HFONT font = nullptr;
};

bool multiple(HWND hwnd) {
    return styleOf(hwnd) & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL);
}

void notify(HWND hwnd, WORD code) {
    if (styleOf(hwnd) & LBS_NOTIFY) notifyCommand(hwnd, code);
}

// The user picks an item (mouse or keys).
void userSelect(HWND hwnd, ListBoxState& s, int index) {
    if (index < 0 || index >= s.list.count() || (styleOf(hwnd) & LBS_NOSEL)) return;
    if (multiple(hwnd)) {
        if (styleOf(hwnd) & LBS_MULTIPLESEL) {
            s.list.items[size_t(index)].selected = !s.list.items[size_t(index)].selected;
        } else {
            for (ListItem& item : s.list.items)
                item.selected = false;
            s.list.items[size_t(index)].selected = true;
        }
        s.list.current = index;
        notify(hwnd, LBN_SELCHANGE);
        return;
    }
    if (s.list.current == index) return;
    s.list.current = index;
    InvalidateRect(hwnd, nullptr, FALSE);
    notify(hwnd, LBN_SELCHANGE);
}

int itemAt(const ListBoxState& s, LPARAM lParam) {
    int y = GET_Y_LPARAM(lParam);
    if (y < 0) return -1;
    int index = s.top + y / std::max(1, s.itemHeight);
    return index < s.list.count() ? index : -1;
}

} // namespace

static LRESULT listBoxMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

LRESULT CALLBACK listBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return handleAndInvalidate(hwnd, msg, wParam, lParam, listBoxMessage,
                               {{WM_LBUTTONDOWN},
                                {WM_LBUTTONDBLCLK},
                                {WM_MOUSEMOVE, Redraw::IfDragging},
                                {WM_KEYDOWN},
                                {WM_CHAR},
                                {WM_VSCROLL},
                                {WM_HSCROLL},
                                {WM_MOUSEWHEEL},
                                {LB_ADDSTRING},
                                {LB_INSERTSTRING},
                                {LB_DELETESTRING},
                                {LB_RESETCONTENT},
                                {LB_SETCURSEL},
                                {LB_SETSEL},
                                {LB_SELECTSTRING},
                                {LB_SETTOPINDEX},
                                {LB_SETCARETINDEX},
                                {LB_SETITEMHEIGHT}});
}

static LRESULT listBoxMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        ListBoxState* s = attachState<ListBoxState>(hwnd);
        auto* cs = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        DWORD style = cs ? DWORD(cs->style) : 0;
        s->list.sorted = style & LBS_SORT;
        s->list.hasStrings = !(style & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) || (style & LBS_HASSTRINGS);
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
    ListBoxState* s = stateOf<ListBoxState>(hwnd);
    if (!s) return DefWindowProcA(hwnd, msg, wParam, lParam);
    ListItems& list = s->list;
    switch (msg) {
    case WM_PAINT:
        SdPaintControl(hwnd, SdLookState{});
        return 0;
    case WM_NCDESTROY:
        detachState<ListBoxState>(hwnd);
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETFONT:
        s->font = reinterpret_cast<HFONT>(wParam);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(s->font);
    case WM_SETFOCUS:
        notify(hwnd, LBN_SETFOCUS);
        return 0;
    case WM_KILLFOCUS:
        notify(hwnd, LBN_KILLFOCUS);
        return 0;
    case WM_LBUTTONDOWN:
        if (GetFocus() != hwnd) SetFocus(hwnd);
        userSelect(hwnd, *s, itemAt(*s, lParam));
        return 0;
    case WM_LBUTTONDBLCLK:
        if (itemAt(*s, lParam) >= 0) notify(hwnd, LBN_DBLCLK);
        return 0;
    case WM_KEYDOWN: {
        int n = list.count();
        if (n == 0) return 0;
        int at = list.current;
        switch (wParam) {
        case VK_UP:
            at = at <= 0 ? 0 : at - 1;
            break;
        case VK_DOWN:
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
        userSelect(hwnd, *s, at);
        return 0;
    }
    case WM_CHAR: {
        if (wParam < 0x20 || !list.hasStrings) return 0;
        int at = list.find(list.current, reinterpret_cast<LPARAM>(std::string(1, char(wParam)).c_str()), false);
        if (at >= 0) userSelect(hwnd, *s, at);
        return 0;
    }
    case LB_ADDSTRING:
        return list.add(lParam);
    case LB_INSERTSTRING:
        return list.insert(LONG_PTR(int(wParam)), lParam);
    case LB_DELETESTRING:
        return list.remove(wParam) < 0 ? LB_ERR : list.count();
    case LB_RESETCONTENT:
        list.items.clear();
        list.current = -1;
        s->top = 0;
        return 0;
    case LB_GETCOUNT:
        return list.count();
    case LB_GETTEXT:
        return list.getText(wParam, lParam);
    case LB_GETTEXTLEN:
        return list.getTextLength(wParam);
    case LB_GETITEMDATA:
        return list.getData(wParam);
    case LB_SETITEMDATA:
        return list.setData(wParam, lParam);
    case LB_SETCURSEL:
        if (multiple(hwnd)) return LB_ERR;
        if (!list.valid(wParam)) {
            list.current = -1;
            return LONG_PTR(int(wParam)) == -1 ? 0 : LB_ERR;
        }
        list.current = int(wParam);
        return list.current;
    case LB_GETCURSEL:
        return list.current;
    case LB_SETSEL: {
        if (!multiple(hwnd)) return LB_ERR;
        LONG_PTR index = LONG_PTR(int(lParam));
        if (index == -1) {
            for (ListItem& item : list.items)
                item.selected = wParam != 0;
            return 0;
        }
        if (!list.valid(WPARAM(index))) return LB_ERR;
        list.items[size_t(index)].selected = wParam != 0;
        list.current = int(index);
        return 0;
    }
    case LB_GETSEL:
        if (!list.valid(wParam)) return LB_ERR;
        return multiple(hwnd) ? list.items[wParam].selected : int(wParam) == list.current;
    case LB_GETSELCOUNT:
        if (!multiple(hwnd)) return LB_ERR;
        return std::count_if(list.items.begin(), list.items.end(), [](const ListItem& i) { return i.selected; });
    case LB_GETSELITEMS: {
        if (!multiple(hwnd)) return LB_ERR;
        auto* out = reinterpret_cast<int*>(lParam);
        int written = 0;
        for (int i = 0; i < list.count() && WPARAM(written) < wParam && out; ++i)
            if (list.items[size_t(i)].selected) out[written++] = i;
        return written;
    }
    case LB_FINDSTRING:
    case LB_FINDSTRINGEXACT:
        return list.find(LONG_PTR(int(wParam)), lParam, msg == LB_FINDSTRINGEXACT);
    case LB_SELECTSTRING: {
        if (multiple(hwnd)) return LB_ERR;
        int at = list.find(LONG_PTR(int(wParam)), lParam, false);
        if (at >= 0) list.current = at;
        return at;
    }
    case LB_GETTOPINDEX:
        return s->top;
    case LB_SETTOPINDEX:
        if (!list.valid(wParam) && wParam != 0) return LB_ERR;
        s->top = int(wParam);
        return 0;
    case LB_SETCARETINDEX:
        if (!list.valid(wParam)) return LB_ERR;
        list.current = int(wParam);
        return 0;
    case LB_GETCARETINDEX:
        return list.current < 0 ? 0 : list.current;
    case LB_GETITEMHEIGHT:
        return s->itemHeight;
    case LB_SETITEMHEIGHT:
        if (LOWORD(lParam) == 0 || LOWORD(lParam) > 255) return LB_ERR;
        s->itemHeight = LOWORD(lParam);
        return 0;
    case LB_GETITEMRECT: {
        auto* r = reinterpret_cast<RECT*>(lParam);
        if (!r || !list.valid(wParam)) return LB_ERR;
        RECT client{};
        GetClientRect(hwnd, &client);
        LONG y = LONG((int(wParam) - s->top) * s->itemHeight);
        *r = RECT{0, y, client.right, y + s->itemHeight};
        return 1;
    }
    default:
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

} // namespace sdctl
