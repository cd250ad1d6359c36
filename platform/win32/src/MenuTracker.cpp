// Working a window's menu bar with keys and mouse. F10 (or Alt with an item's mnemonic, or
// a click on the bar) starts it: the bar item is highlighted and, when opened, its popup is a
// window of the menu class ("#32768") beside it. While it runs, a window of that class holds
// the focus and takes the keys: arrows move along the bar and the popups, Enter or a
// mnemonic opens a submenu or chooses a command (posted to the owner as WM_COMMAND), Escape
// closes one level, F10 ends it. The owner hears WM_INITMENU when it starts and
// WM_INITMENUPOPUP before each popup opens. No modal loop: each key is handled as it comes.

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "ControlSupport.h"
#include "WindowTable.h"
#include "win32/NonClient.h"
#include "win32/WindowLook.h"
#include "win32/menu.h"

namespace {

constexpr UINT MN_GETHMENU = 0x01E1;

struct Level {
    HMENU menu = nullptr;
    int item = -1;
    HWND window = nullptr;
};

struct Tracking {
    HWND owner = nullptr;
    HMENU bar = nullptr;
    int barItem = -1;
    HWND tracker = nullptr; // holds the focus while no popup is open
    HWND savedFocus = nullptr;
    std::vector<Level> popups;
};

Tracking& tracking() {
    static Tracking t;
    return t;
}

bool active() {
    return tracking().owner != nullptr;
}

UINT menuState(HMENU menu, int i) {
    return GetMenuState(menu, UINT(i), MF_BYPOSITION);
}

bool selectable(HMENU menu, int i) {
    const UINT s = menuState(menu, i);
    return s != UINT(-1) && ((s & MF_POPUP) || !(s & MF_SEPARATOR));
}

// The item whose text has "&" before the character, or -1.
int mnemonicItem(HMENU menu, char ch) {
    const int count = std::max(0, GetMenuItemCount(menu));
    for (int i = 0; i < count; ++i) {
        char text[256] = {};
        GetMenuStringA(menu, UINT(i), text, sizeof text, MF_BYPOSITION);
        for (const char* p = text; *p; ++p) {
            if (*p != '&') continue;
            if (p[1] == '&') {
                ++p;
                continue;
            }
            if (std::tolower(static_cast<unsigned char>(p[1])) ==
                std::tolower(static_cast<unsigned char>(ch)))
                return i;
            break;
        }
    }
    return -1;
}

// The next selectable item from `from` in the direction, wrapping; -1 when there is none.
int step(HMENU menu, int from, int direction) {
    const int count = std::max(0, GetMenuItemCount(menu));
    for (int k = 1; k <= count; ++k) {
        const int i = ((from + direction * k) % count + count) % count;
        if (selectable(menu, i)) return i;
    }
    return -1;
}

void redrawBar() {
    Tracking& t = tracking();
    if (t.owner && IsWindow(t.owner)) InvalidateRect(t.owner, nullptr, FALSE);
}

// Puts the focus on the window that takes the keys: the deepest popup, else the tracker.
void focusKeys() {
    Tracking& t = tracking();
    HWND target = t.popups.empty() ? t.tracker : t.popups.back().window;
    if (target && GetFocus() != target) sduser::setFocusTo(target);
}

void closeFrom(std::size_t level) {
    Tracking& t = tracking();
    while (t.popups.size() > level) {
        HWND w = t.popups.back().window;
        t.popups.pop_back();
        if (w && IsWindow(w)) DestroyWindow(w);
    }
}

void end() {
    Tracking& t = tracking();
    if (!active()) return;
    closeFrom(0);
    HWND tracker = t.tracker, saved = t.savedFocus, owner = t.owner;
    t = Tracking{};
    if (saved && IsWindow(saved))
        sduser::setFocusTo(saved);
    else if (owner && IsWindow(owner))
        sduser::setFocusTo(owner);
    if (tracker && IsWindow(tracker)) DestroyWindow(tracker);
    if (owner && IsWindow(owner)) InvalidateRect(owner, nullptr, FALSE);
}

// Opens the popup of `item` of the menu at `level - 1` (the bar for level 0).
void open(std::size_t level, int item, bool selectFirst) {
    Tracking& t = tracking();
    closeFrom(level);
    HMENU parent = level == 0 ? t.bar : t.popups[level - 1].menu;
    HMENU menu = GetSubMenu(parent, item);
    if (!menu) return;
    SendMessageA(t.owner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu),
                 MAKELPARAM(WORD(item), 0));
    if (!active()) return;
    // Where it opens: below the bar item, or right of the item that holds it.
    const SdLookPainters* look = SdLookPaintersInstalled();
    SIZE size{0, 0};
    if (look && look->popupMenuSize) size = look->popupMenuSize(menu);
    POINT at{0, 0};
    if (level == 0) {
        RECT r =
            look && look->menuBarItemRect ? look->menuBarItemRect(t.owner, item) : RECT{0, 0, 0, 0};
        RECT window{};
        GetWindowRect(t.owner, &window);
        at = POINT{window.left + r.left, window.top + r.bottom};
    } else {
        const Level& up = t.popups[level - 1];
        RECT r = look && look->popupMenuItemRect ? look->popupMenuItemRect(up.menu, item)
                                                 : RECT{0, 0, 0, 0};
        RECT window{};
        GetWindowRect(up.window, &window);
        at = POINT{window.left + r.right, window.top + r.top};
    }
    HWND w = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, "#32768", "", WS_POPUP | WS_VISIBLE,
                             int(at.x), int(at.y), int(size.cx), int(size.cy), t.owner, nullptr,
                             nullptr, menu);
    if (!w) return;
    Level l;
    l.menu = menu;
    l.item = selectFirst ? step(menu, -1, 1) : -1;
    l.window = w;
    t.popups.push_back(l);
    if (level == 0) t.barItem = item;
    redrawBar();
    focusKeys();
}

void start(HWND owner, int barItem, bool openIt) {
    if (active()) end();
    HMENU bar = GetMenu(owner);
    if (!bar || GetMenuItemCount(bar) <= 0) return;
    Tracking& t = tracking();
    t.owner = owner;
    t.bar = bar;
    t.savedFocus = GetFocus();
    SendMessageA(owner, WM_INITMENU, reinterpret_cast<WPARAM>(bar), 0);
    if (!active()) return;
    t.tracker = CreateWindowExA(WS_EX_TOOLWINDOW, "#32768", "", WS_POPUP, 0, 0, 0, 0, owner,
                                nullptr, nullptr, nullptr);
    t.barItem = barItem >= 0 ? barItem : step(bar, -1, 1);
    redrawBar();
    focusKeys();
    if (openIt && (menuState(bar, t.barItem) & MF_POPUP)) open(0, t.barItem, true);
}

void choose(HMENU menu, int item) {
    const UINT s = menuState(menu, item);
    if (s == UINT(-1) || (s & (MF_GRAYED | MF_DISABLED))) return;
    if (s & MF_POPUP) {
        Tracking& t = tracking();
        std::size_t level = 0;
        while (level < t.popups.size() && t.popups[level].menu != menu)
            ++level;
        if (menu == t.bar)
            open(0, item, true);
        else if (level < t.popups.size())
            open(level + 1, item, true);
        return;
    }
    const UINT id = GetMenuItemID(menu, item);
    HWND owner = tracking().owner;
    end();
    if (owner && IsWindow(owner)) PostMessageA(owner, WM_COMMAND, MAKEWPARAM(WORD(id), 0), 0);
}

void key(int vk) {
    Tracking& t = tracking();
    const bool inPopup = !t.popups.empty();
    Level* top = inPopup ? &t.popups.back() : nullptr;
    switch (vk) {
    case VK_ESCAPE:
        if (!inPopup)
            end();
        else
            closeFrom(t.popups.size() - 1), focusKeys(), redrawBar();
        return;
    case VK_F10:
    case VK_MENU:
        end();
        return;
    case VK_LEFT:
    case VK_RIGHT: {
        // Right on an item holding a submenu opens it; left closes a submenu.
        if (inPopup && vk == VK_RIGHT && top->item >= 0 &&
            (menuState(top->menu, top->item) & MF_POPUP)) {
            open(t.popups.size(), top->item, true);
            return;
        }
        if (t.popups.size() > 1 && vk == VK_LEFT) {
            closeFrom(t.popups.size() - 1);
            focusKeys();
            return;
        }
        const int next = step(t.bar, t.barItem, vk == VK_RIGHT ? 1 : -1);
        if (next < 0) return;
        t.barItem = next;
        if (inPopup) open(0, next, true);
        redrawBar();
        return;
    }
    case VK_UP:
    case VK_DOWN:
        if (!inPopup) {
            open(0, t.barItem, true);
            return;
        }
        top->item =
            step(top->menu, top->item < 0 && vk == VK_UP ? 0 : top->item, vk == VK_DOWN ? 1 : -1);
        InvalidateRect(top->window, nullptr, FALSE);
        return;
    case VK_RETURN:
        if (!inPopup)
            open(0, t.barItem, true);
        else if (top->item >= 0)
            choose(top->menu, top->item);
        return;
    default:
        return;
    }
}

void character(char ch) {
    Tracking& t = tracking();
    HMENU menu = t.popups.empty() ? t.bar : t.popups.back().menu;
    const int item = mnemonicItem(menu, ch);
    if (item >= 0) choose(menu, item);
}

// The item of a popup under a client point, or -1.
int popupItemAt(HMENU menu, POINT p) {
    const SdLookPainters* look = SdLookPaintersInstalled();
    if (!look || !look->popupMenuItemRect) return -1;
    const int count = std::max(0, GetMenuItemCount(menu));
    for (int i = 0; i < count; ++i) {
        const RECT r = look->popupMenuItemRect(menu, i);
        if (p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom) return i;
    }
    return -1;
}

} // namespace

namespace sdctl {

LRESULT CALLBACK menuWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Tracking& t = tracking();
    Level* level = nullptr;
    for (Level& l : t.popups)
        if (l.window == hwnd) level = &l;
    switch (msg) {
    case WM_NCCREATE: {
        auto* cs = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(hwnd, 0, cs ? reinterpret_cast<LONG_PTR>(cs->lpCreateParams) : 0);
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
    case MN_GETHMENU:
        return GetWindowLongPtrA(hwnd, 0);
    case WM_PAINT: {
        SdLookState look;
        look.pressed = level ? level->item + 1 : 0;
        SdPaintControl(hwnd, look);
        return 0;
    }
    case WM_GETDLGCODE:
        return DLGC_WANTALLKEYS;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (active()) key(int(wParam));
        return 0;
    case WM_CHAR:
    case WM_SYSCHAR:
        if (active()) character(char(wParam));
        return 0;
    case WM_MOUSEMOVE:
        if (level) {
            const int item =
                popupItemAt(level->menu, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
            if (item >= 0 && item != level->item && selectable(level->menu, item)) {
                level->item = item;
                InvalidateRect(hwnd, nullptr, FALSE);
            }
        }
        return 0;
    case WM_LBUTTONUP:
        if (level) {
            const int item =
                popupItemAt(level->menu, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
            if (item >= 0) {
                level->item = item;
                choose(level->menu, item);
            }
        }
        return 0;
    case WM_LBUTTONDOWN:
        return 0;
    default:
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

// The default handling of the keys and clicks that start working the menu bar.
bool menuBarInput(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    HWND top = GetAncestor(hwnd, GA_ROOT);
    if (!top || !GetMenu(top)) return false;
    switch (msg) {
    case WM_SYSKEYDOWN:
        if (wParam != WPARAM(VK_F10)) return false;
        if (active())
            end();
        else
            start(top, -1, false);
        return true;
    case WM_SYSCHAR: {
        const int item = mnemonicItem(GetMenu(top), char(wParam));
        if (item < 0) return false;
        start(top, item, true);
        if (active() && !(menuState(GetMenu(top), item) & MF_POPUP)) choose(GetMenu(top), item);
        return true;
    }
    case WM_NCLBUTTONDOWN: {
        if (wParam != WPARAM(HTMENU) || hwnd != top) return false;
        const SdLookPainters* look = SdLookPaintersInstalled();
        if (!look || !look->menuBarItemRect) return true;
        RECT window{};
        GetWindowRect(top, &window);
        const POINT p{GET_X_LPARAM(lParam) - window.left, GET_Y_LPARAM(lParam) - window.top};
        const int count = std::max(0, GetMenuItemCount(GetMenu(top)));
        for (int i = 0; i < count; ++i) {
            const RECT r = look->menuBarItemRect(top, i);
            if (p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom) {
                if (active() && tracking().barItem == i && !tracking().popups.empty())
                    end();
                else
                    start(top, i, true);
                break;
            }
        }
        return true;
    }
    default:
        return false;
    }
}

} // namespace sdctl

int SdMenuBarHighlight(HWND hwnd) {
    const Tracking& t = tracking();
    return t.owner == hwnd ? t.barItem : -1;
}

void SdEndMenuTracking() {
    end();
}
