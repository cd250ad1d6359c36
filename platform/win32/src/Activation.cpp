// The active top-level window and the messages that go with a change of it.

#include <vector>

#include "WindowTable.h"
#include "win32/kernel.h"

using namespace sduser;

namespace {

// The window's remembered focus when it is still a visible, enabled descendant; else the
// window itself.
HWND focusOnActivation(HWND top) {
    HWND last = nullptr;
    {
        UserLock lock = lockUser();
        if (Window* w = findWindow(top)) last = w->lastFocus;
    }
    if (last && IsWindow(last) && IsChild(top, last) && IsWindowVisible(last) &&
        IsWindowEnabled(last))
        return last;
    return top;
}

} // namespace

namespace sduser {

// Before a window is hidden or destroyed: when it (or a window inside it) is active, its
// owner becomes active if it can take input, else the program is inactive.
void activeWindowGoing(HWND hwnd) {
    HWND owner = nullptr;
    {
        UserLock lock = lockUser();
        UserState& state = userState();
        Window* w = findWindow(hwnd);
        if (!w || !state.active || !isDescendant(w, state.active)) return;
        if (Window* top = findWindow(state.active)) owner = top->owner;
    }
    if (owner && IsWindowVisible(owner) && IsWindowEnabled(owner))
        SetActiveWindow(owner);
    else
        SetActiveWindow(nullptr);
}

} // namespace sduser

HWND SetActiveWindow(HWND hwnd) {
    if (hwnd && !IsWindow(hwnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    if (hwnd) hwnd = GetAncestor(hwnd, GA_ROOT);
    HWND previous;
    std::vector<HWND> tops;
    {
        UserLock lock = lockUser();
        UserState& state = userState();
        previous = state.active;
        if (previous == hwnd) return previous;
        if (Window* old = findWindow(previous))
            if (state.focus && isDescendant(old, state.focus)) old->lastFocus = state.focus;
        state.active = hwnd;
        if (!previous || !hwnd)
            for (HWND top : desktopWindow()->children)
                tops.push_back(top);
    }
    if (previous && IsWindow(previous))
        SendMessageA(previous, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, IsIconic(previous) ? 1 : 0),
                     reinterpret_cast<LPARAM>(hwnd));
    for (HWND top : tops)
        if (IsWindow(top)) SendMessageA(top, WM_ACTIVATEAPP, WPARAM(hwnd != nullptr), 0);
    if (!hwnd) {
        setFocusTo(nullptr);
        return previous;
    }
    if (GetActiveWindow() != hwnd) return previous; // a handler activated another
    SendMessageA(hwnd, WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, IsIconic(hwnd) ? 1 : 0),
                 reinterpret_cast<LPARAM>(previous));
    if (GetActiveWindow() != hwnd || IsIconic(hwnd)) return previous;
    HWND focus = GetFocus();
    if (!focus || !(focus == hwnd || IsChild(hwnd, focus))) setFocusTo(focusOnActivation(hwnd));
    return previous;
}

HWND GetActiveWindow() {
    UserLock lock = lockUser();
    return userState().active;
}
