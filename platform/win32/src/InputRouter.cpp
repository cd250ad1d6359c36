// Where mouse and keyboard input goes: capture, the window under the point, the focus.

#include <cstdlib>
#include <deque>

#include "KeyCharacters.h"
#include "WindowTable.h"
#include "win32/InputRouter.h"
#include "win32/UserTesting.h"
#include "win32/kernel.h"
#include "win32/nls.h"

using namespace sduser;

namespace {

struct LastPress {
    HWND hwnd = nullptr;
    UINT message = 0;
    DWORD time = 0;
    POINT screen{0, 0};
    bool valid = false;
};

LastPress& lastPress() {
    static LastPress press;
    return press;
}

bool contains(const RECT& r, POINT p) {
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

RECT screenRectOf(const Window* w) {
    const Window* parent = findWindow(w->parent);
    POINT origin = parent ? clientOriginOnScreen(parent) : POINT{0, 0};
    return RECT{w->rect.left + origin.x, w->rect.top + origin.y, w->rect.right + origin.x,
                w->rect.bottom + origin.y};
}

// The deepest visible, enabled descendant of w under the screen point (w itself when none
// of its children is). The lock is held.
HWND deepest(Window* w, POINT screen) {
    const RECT client = clientRect(w);
    const POINT origin = clientOriginOnScreen(w);
    const POINT local{screen.x - origin.x, screen.y - origin.y};
    if (!contains(client, local)) return w->handle;
    for (HWND childHandle : w->children) {
        Window* child = findWindow(childHandle);
        if (!child || !(child->style & WS_VISIBLE) || (child->style & WS_DISABLED)) continue;
        if (contains(screenRectOf(child), screen)) return deepest(child, screen);
    }
    return w->handle;
}

bool isDown(UINT m) {
    return m == WM_LBUTTONDOWN || m == WM_RBUTTONDOWN || m == WM_MBUTTONDOWN;
}

int buttonKey(UINT m) {
    switch (m) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
        return VK_LBUTTON;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
        return VK_RBUTTON;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
        return VK_MBUTTON;
    default:
        return 0;
    }
}

// The physical state; the thread's state follows when the message leaves the queue.
void setPhysicalKey(int vk, bool down) {
    if (vk <= 0 || vk > 255) return;
    UserLock lock = lockUser();
    userState().asyncKeyDown[vk] = down;
}

WPARAM keyFlags() {
    WPARAM flags = 0;
    if (GetAsyncKeyState(VK_LBUTTON) < 0) flags |= MK_LBUTTON;
    if (GetAsyncKeyState(VK_RBUTTON) < 0) flags |= MK_RBUTTON;
    if (GetAsyncKeyState(VK_MBUTTON) < 0) flags |= MK_MBUTTON;
    if (GetAsyncKeyState(VK_SHIFT) < 0) flags |= MK_SHIFT;
    if (GetAsyncKeyState(VK_CONTROL) < 0) flags |= MK_CONTROL;
    return flags;
}

bool doubleClicks(HWND hwnd) {
    UserLock lock = lockUser();
    Window* w = findWindow(hwnd);
    return w && w->windowClass && (w->windowClass->style & CS_DBLCLKS);
}

// The press becomes a double click when it repeats the last one.
UINT pressMessage(HWND hwnd, UINT message, POINT screen) {
    LastPress& last = lastPress();
    const DWORD now = GetTickCount();
    const bool repeat =
        last.valid && last.hwnd == hwnd && last.message == message &&
        DWORD(now - last.time) <= GetDoubleClickTime() &&
        std::abs(screen.x - last.screen.x) <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
        std::abs(screen.y - last.screen.y) <= GetSystemMetrics(SM_CYDOUBLECLK) / 2;
    if (repeat && doubleClicks(hwnd)) {
        last.valid = false; // a third press starts afresh
        return message + (WM_LBUTTONDBLCLK - WM_LBUTTONDOWN);
    }
    last = LastPress{hwnd, message, now, screen, true};
    return message;
}

struct KeyCharacter {
    MSG key;
    int character;
};

// Bounded: keys a loop never translates fall out.
std::deque<KeyCharacter>& keyCharacters() {
    static std::deque<KeyCharacter> pending;
    return pending;
}

} // namespace

int sduser::takeKeyCharacter(const MSG& key) {
    UserLock lock = lockUser();
    auto& pending = keyCharacters();
    for (auto it = pending.begin(); it != pending.end(); ++it)
        if (it->key.hwnd == key.hwnd && it->key.message == key.message &&
            it->key.wParam == key.wParam && it->key.lParam == key.lParam &&
            it->key.time == key.time) {
            const int character = it->character;
            pending.erase(it);
            return character < 0 ? -2 : character;
        }
    return -1;
}

HWND WindowFromPoint(POINT point) {
    UserLock lock = lockUser();
    for (HWND top : desktopWindow()->children) {
        Window* w = findWindow(top);
        if (!w || !(w->style & WS_VISIBLE) || (w->style & WS_DISABLED)) continue;
        if (contains(screenRectOf(w), point)) return deepest(w, point);
    }
    return nullptr;
}

HWND ChildWindowFromPoint(HWND parent, POINT point) {
    UserLock lock = lockUser();
    Window* w = findWindow(parent);
    if (!w) return nullptr;
    if (!contains(clientRect(w), point)) return nullptr;
    for (HWND childHandle : w->children) {
        Window* child = findWindow(childHandle);
        if (child && contains(child->rect, point)) return childHandle;
    }
    return parent;
}

UINT GetDoubleClickTime() {
    return 500;
}

void SdResetDoubleClick() {
    lastPress().valid = false;
}

HWND SdRouteMouse(UINT message, POINT screen) {
    SetCursorPos(screen.x, screen.y);
    if (int vk = buttonKey(message)) setPhysicalKey(vk, isDown(message));
    HWND capture = GetCapture();
    HWND target = capture ? capture : WindowFromPoint(screen);
    if (!target) return nullptr;
    // A window's own scroll bar dragged by its thumb keeps the mouse as non-client input.
    const int dragged = capture ? draggedScrollBar(capture) : -1;
    const LRESULT hit = dragged >= 0 ? (dragged == SB_HORZ ? HTHSCROLL : HTVSCROLL)
                        : capture    ? HTCLIENT
                                     : SendMessageA(target, WM_NCHITTEST, 0,
                                                    MAKELPARAM(WORD(screen.x), WORD(screen.y)));
    if (!capture)
        SendMessageA(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(target),
                     MAKELPARAM(WORD(hit), WORD(message)));
    if (!IsWindow(target)) return nullptr;
    if (isDown(message)) message = pressMessage(target, message, screen);
    if (hit != HTCLIENT && hit > HTNOWHERE) {
        // The non-client messages carry the hit test and the screen point.
        PostMessageA(target, message + (WM_NCMOUSEMOVE - WM_MOUSEMOVE), WPARAM(hit),
                     MAKELPARAM(WORD(screen.x), WORD(screen.y)));
        return target;
    }
    POINT client = screen;
    ScreenToClient(target, &client);
    PostMessageA(target, message, keyFlags(), MAKELPARAM(WORD(client.x), WORD(client.y)));
    return target;
}

HWND SdRouteKey(UINT message, int virtualKey) {
    // F10 and keys pressed with Alt held are the system's keys.
    if ((message == WM_KEYDOWN || message == WM_KEYUP) &&
        (virtualKey == VK_F10 || (virtualKey != VK_MENU && GetAsyncKeyState(VK_MENU) < 0)))
        message = message == WM_KEYDOWN ? WM_SYSKEYDOWN : WM_SYSKEYUP;
    const bool down = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
    setPhysicalKey(virtualKey, down);
    HWND target = GetFocus();
    if (!target) return nullptr;
    // Repeat count 1; a release has the previous-state and transition bits.
    const LPARAM flags = down ? 1 : LPARAM(0xC0000001u);
    PostMessageA(target, message, WPARAM(virtualKey), flags);
    return target;
}

HWND SdRouteDisplayKey(UINT message, int virtualKey, LPARAM flags, int character) {
    const bool down = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
    setPhysicalKey(virtualKey, down);
    UserLock lock = lockUser();
    HWND target = GetFocus();
    if (!target) return nullptr;
    if (!PostMessageA(target, message, WPARAM(virtualKey), flags)) return nullptr;
    if (down) {
        auto& pending = keyCharacters();
        if (pending.size() >= 64) pending.pop_front();
        pending.push_back(KeyCharacter{userState().posted.back(), character});
    }
    return target;
}
