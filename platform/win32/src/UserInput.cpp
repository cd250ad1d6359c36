// Focus, capture, the cursor position and the key state.

#include <cstring>

#include "WindowTable.h"
#include "win32/UserTesting.h"
#include "win32/kernel.h"
#include "win32/resource.h"

using namespace sduser;

namespace {

constexpr BYTE keyDown = 0x80;
constexpr BYTE keyToggled = 0x01;

bool validKey(int vk) {
    return vk >= 0 && vk < 256;
}

} // namespace

namespace sduser {

HWND setFocusTo(HWND hwnd) {
    HWND previous;
    {
        UserLock lock = lockUser();
        UserState& state = userState();
        previous = state.focus;
        if (previous == hwnd) return previous;
        if (!hwnd) state.focus = nullptr;
    }
    if (previous) SendMessageA(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
    if (!hwnd) return previous;
    {
        UserLock lock = lockUser();
        if (!findWindow(hwnd)) return previous; // destroyed while the old focus let go
        userState().focus = hwnd;
    }
    SendMessageA(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
    return previous;
}

// The thread's key state and the cursor follow the input messages taken from the queue.
void noteInputMessage(const MSG& msg) {
    UserState& state = userState();
    auto press = [&](int vk, bool down) {
        if (!validKey(vk)) return;
        BYTE& key = state.keyState[vk];
        if (down && !(key & keyDown)) key ^= keyToggled;
        key = down ? BYTE(key | keyDown) : BYTE(key & ~keyDown);
    };
    switch (msg.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        press(int(msg.wParam & 0xFF), true);
        return;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        press(int(msg.wParam & 0xFF), false);
        return;
    case WM_LBUTTONDOWN:
        press(VK_LBUTTON, true);
        break;
    case WM_LBUTTONUP:
        press(VK_LBUTTON, false);
        break;
    case WM_RBUTTONDOWN:
        press(VK_RBUTTON, true);
        break;
    case WM_RBUTTONUP:
        press(VK_RBUTTON, false);
        break;
    case WM_MBUTTONDOWN:
        press(VK_MBUTTON, true);
        break;
    case WM_MBUTTONUP:
        press(VK_MBUTTON, false);
        break;
    default:
        break;
    }
    if (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST) state.cursor = msg.pt;
}

void resetKeys() {
    UserState& state = userState();
    std::memset(state.keyState, 0, sizeof state.keyState);
    std::memset(state.asyncKeyDown, 0, sizeof state.asyncKeyDown);
    state.cursor = POINT{0, 0};
    state.shownCursor = nullptr;
}

} // namespace sduser

HWND SetFocus(HWND hwnd) {
    if (hwnd && !IsWindow(hwnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    return setFocusTo(hwnd);
}

HWND GetFocus() {
    UserLock lock = lockUser();
    return userState().focus;
}

namespace {

// A window's own scroll bar held by its thumb lets go when the window loses the mouse.
void endScrollDrags(Window* w) {
    if (!w) return;
    for (WindowScrollBar& bar : w->scrollBars)
        bar.dragging = false;
}

} // namespace

HWND SetCapture(HWND hwnd) {
    HWND previous;
    {
        UserLock lock = lockUser();
        UserState& state = userState();
        if (!findWindow(hwnd)) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return nullptr;
        }
        previous = state.capture;
        state.capture = hwnd;
        if (previous != hwnd) endScrollDrags(findWindow(previous));
    }
    if (previous && previous != hwnd)
        SendMessageA(previous, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hwnd));
    return previous;
}

HWND GetCapture() {
    UserLock lock = lockUser();
    return userState().capture;
}

BOOL ReleaseCapture() {
    HWND previous;
    {
        UserLock lock = lockUser();
        previous = userState().capture;
        userState().capture = nullptr;
        endScrollDrags(findWindow(previous));
    }
    if (previous) SendMessageA(previous, WM_CAPTURECHANGED, 0, 0);
    return TRUE;
}

BOOL GetCursorPos(LPPOINT point) {
    if (!point) return FALSE;
    UserLock lock = lockUser();
    *point = userState().cursor;
    return TRUE;
}

BOOL SetCursorPos(int x, int y) {
    UserLock lock = lockUser();
    userState().cursor = POINT{x, y};
    return TRUE;
}

SHORT GetKeyState(int virtualKey) {
    if (!validKey(virtualKey)) return 0;
    UserLock lock = lockUser();
    BYTE key = userState().keyState[virtualKey];
    return SHORT(((key & keyDown) ? 0x8000 : 0) | (key & keyToggled));
}

SHORT GetAsyncKeyState(int virtualKey) {
    if (!validKey(virtualKey)) return 0;
    UserLock lock = lockUser();
    return SHORT(userState().asyncKeyDown[virtualKey] ? 0x8000 : 0);
}

BOOL GetKeyboardState(BYTE* keyState) {
    if (!keyState) return FALSE;
    UserLock lock = lockUser();
    std::memcpy(keyState, userState().keyState, 256);
    return TRUE;
}

void SdSetKeyDown(int virtualKey, bool down) {
    if (!validKey(virtualKey)) return;
    UserLock lock = lockUser();
    UserState& state = userState();
    BYTE& key = state.keyState[virtualKey];
    key = down ? BYTE(key | keyDown) : BYTE(key & ~keyDown);
    state.asyncKeyDown[virtualKey] = down;
}

void SdSetKeyToggled(int virtualKey, bool toggled) {
    if (!validKey(virtualKey)) return;
    UserLock lock = lockUser();
    BYTE& key = userState().keyState[virtualKey];
    key = toggled ? BYTE(key | keyToggled) : BYTE(key & ~keyToggled);
}

void SdResetKeyState() {
    UserLock lock = lockUser();
    resetKeys();
}

HCURSOR SetCursor(HCURSOR cursor) {
    UserLock lock = lockUser();
    HCURSOR previous = userState().shownCursor;
    userState().shownCursor = cursor;
    return previous;
}

HCURSOR GetCursor() {
    UserLock lock = lockUser();
    return userState().shownCursor;
}
