// Position, size, z-order, show state and placement of windows.

#include <algorithm>
#include <cstdint>

#include "WindowTable.h"
#include "win32/kernel.h"

using namespace sduser;

namespace {

// Coordinates from callers and stored placements are held well inside LONG so that sums of
// nested offsets cannot overflow.
constexpr LONG coordinateLimit = 1 << 27;
constexpr LONG minimizedWidth = 160;
constexpr LONG minimizedHeight = 24;

LONG clampCoordinate(std::int64_t v) {
    return LONG(std::clamp<std::int64_t>(v, -coordinateLimit, coordinateLimit));
}
LONG clampExtent(std::int64_t v) {
    return LONG(std::clamp<std::int64_t>(v, 0, coordinateLimit));
}
LONG clampLong(std::int64_t v) {
    return LONG(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
}

RECT normalized(const RECT& r) {
    LONG left = clampCoordinate(r.left);
    LONG top = clampCoordinate(r.top);
    return RECT{left, top, left + clampExtent(std::int64_t(r.right) - r.left),
                top + clampExtent(std::int64_t(r.bottom) - r.top)};
}

Window* lookup(HWND hwnd) {
    Window* w = findWindow(hwnd);
    if (!w) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return w;
}

void placeInZOrder(Window* w, HWND insertAfter) {
    Window* parent = findWindow(w->parent);
    if (!parent) return;
    std::vector<HWND>& siblings = parent->children;
    if (insertAfter == w->handle) return;
    std::erase(siblings, w->handle);
    if (insertAfter == HWND_BOTTOM) {
        siblings.push_back(w->handle);
        return;
    }
    auto after = std::find(siblings.begin(), siblings.end(), insertAfter);
    if (after == siblings.end()) // HWND_TOP, HWND_TOPMOST, HWND_NOTOPMOST or not a sibling
        siblings.insert(siblings.begin(), w->handle);
    else
        siblings.insert(after + 1, w->handle);
}

RECT maximizedRect(const Window* w) {
    Window* parent = findWindow(w->parent);
    if (!parent || parent->handle == userState().desktop)
        return RECT{0, 0, SD_SCREEN_WIDTH, SD_SCREEN_HEIGHT};
    return clientRect(parent);
}

RECT minimizedRect(const Window* w) {
    POINT at = w->minPosition;
    if (at.x == -1 && at.y == -1) {
        Window* parent = findWindow(w->parent);
        if (!parent || parent->handle == userState().desktop)
            at = POINT{-32000, -32000}; // off screen, as minimised top-level windows are
        else
            at = POINT{0, std::max<LONG>(0, clientRect(parent).bottom - minimizedHeight)};
    }
    return RECT{at.x, at.y, at.x + minimizedWidth, at.y + minimizedHeight};
}

void hideFocusIn(HWND hwnd) {
    bool lose;
    {
        UserLock lock = lockUser();
        UserState& state = userState();
        Window* w = findWindow(hwnd);
        lose = w && state.focus && isDescendant(w, state.focus);
    }
    if (lose) setFocusTo(nullptr);
}

ShowState showStateOf(const Window* window) {
    if (window->style & WS_MINIMIZE) return ShowState::Minimized;
    if (window->style & WS_MAXIMIZE) return ShowState::Maximized;
    return ShowState::Normal;
}

BOOL setWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags,
                  bool stateChanged) {
    WINDOWPOS pos{hwnd, insertAfter, x, y, cx, cy, flags};
    {
        UserLock lock = lockUser();
        Window* w = lookup(hwnd);
        if (!w) return FALSE;
        if (hwnd == userState().desktop) {
            SetLastError(ERROR_ACCESS_DENIED);
            return FALSE;
        }
        if (flags & SWP_NOMOVE) {
            pos.x = int(w->rect.left);
            pos.y = int(w->rect.top);
        }
        if (flags & SWP_NOSIZE) {
            pos.cx = int(w->rect.right - w->rect.left);
            pos.cy = int(w->rect.bottom - w->rect.top);
        }
    }
    if (!(flags & SWP_NOSENDCHANGING))
        callProc(hwnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos));

    WINDOWPOS changed{};
    RECT oldRect{}, oldClient{};
    bool askClient = false;
    {
        UserLock lock = lockUser();
        Window* w = lookup(hwnd);
        if (!w) return FALSE;
        UINT f = pos.flags;
        RECT old = w->rect;
        RECT now = old;
        oldRect = old;
        {
            const RECT c = clientRect(w);
            const POINT at = clientOffset(w);
            oldClient = RECT{old.left + at.x, old.top + at.y, old.left + at.x + c.right,
                             old.top + at.y + c.bottom};
        }
        if (!(f & SWP_NOMOVE)) {
            LONG width = old.right - old.left;
            LONG height = old.bottom - old.top;
            now.left = clampCoordinate(pos.x);
            now.top = clampCoordinate(pos.y);
            now.right = now.left + width;
            now.bottom = now.top + height;
        }
        if (!(f & SWP_NOSIZE)) {
            now.right = now.left + clampExtent(pos.cx);
            now.bottom = now.top + clampExtent(pos.cy);
        }
        bool moved = now.left != old.left || now.top != old.top;
        bool sized = (now.right - now.left) != (old.right - old.left) ||
                     (now.bottom - now.top) != (old.bottom - old.top);
        w->rect = now;
        askClient = sized || stateChanged || (f & SWP_FRAMECHANGED);
        if (showStateOf(w) == ShowState::Normal) w->normalRect = now;
        if (!(f & SWP_NOZORDER)) placeInZOrder(w, pos.hwndInsertAfter);

        bool wasVisible = w->style & WS_VISIBLE;
        if (f & SWP_SHOWWINDOW) w->style |= WS_VISIBLE;
        if (f & SWP_HIDEWINDOW) w->style &= ~WS_VISIBLE;
        bool shown = !wasVisible && (w->style & WS_VISIBLE);
        if (!(f & SWP_NOREDRAW) && (sized || shown || stateChanged || (f & SWP_FRAMECHANGED)))
            invalidateWhole(w, true);
        if (!(w->style & WS_VISIBLE)) {
            w->hasUpdate = false;
            w->erasePending = false;
        }

        changed = WINDOWPOS{hwnd,
                            pos.hwndInsertAfter,
                            int(now.left),
                            int(now.top),
                            int(now.right - now.left),
                            int(now.bottom - now.top),
                            f};
        if (!moved) changed.flags |= SWP_NOMOVE;
        if (!sized && !stateChanged) changed.flags |= SWP_NOSIZE;
        if (sized || stateChanged) changed.flags &= ~SWP_NOSIZE;
        if (moved) changed.flags &= ~SWP_NOMOVE;
    }
    // The window procedure's own non-client area, which may differ at the new size.
    if (askClient && askClientArea(hwnd, oldRect, oldClient, &pos) && !(flags & SWP_NOREDRAW)) {
        UserLock lock = lockUser();
        if (Window* w = lookup(hwnd); w && (w->style & WS_VISIBLE)) invalidateWhole(w, true);
    }
    if (flags & SWP_HIDEWINDOW) hideFocusIn(hwnd);
    callProc(hwnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&changed));
    return TRUE;
}

} // namespace

namespace sduser {

void setShowState(HWND hwnd, ShowState target, UINT extraFlags) {
    RECT r{};
    {
        UserLock lock = lockUser();
        Window* w = findWindow(hwnd);
        if (!w || hwnd == userState().desktop) return;
        ShowState current = showStateOf(w);
        if (current == target) {
            lock.unlock();
            if (extraFlags)
                setWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                             extraFlags | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE,
                             false);
            return;
        }
        if (current == ShowState::Normal) w->normalRect = w->rect;
        if (target == ShowState::Minimized) w->restoreToMaximized = current == ShowState::Maximized;
        switch (target) {
        case ShowState::Normal:
            r = w->normalRect;
            break;
        case ShowState::Maximized:
            r = maximizedRect(w);
            break;
        case ShowState::Minimized:
            r = minimizedRect(w);
            break;
        }
        w->style &= ~(WS_MINIMIZE | WS_MAXIMIZE);
        if (target == ShowState::Minimized) w->style |= WS_MINIMIZE;
        if (target == ShowState::Maximized) w->style |= WS_MAXIMIZE;
    }
    setWindowPos(hwnd, nullptr, int(r.left), int(r.top), int(r.right - r.left),
                 int(r.bottom - r.top), extraFlags | SWP_NOZORDER | SWP_NOACTIVATE, true);
}

} // namespace sduser

BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
    return setWindowPos(hwnd, insertAfter, x, y, cx, cy, flags, false);
}

BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint) {
    return setWindowPos(hwnd, nullptr, x, y, width, height,
                        SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW), false);
}

BOOL GetWindowRect(HWND hwnd, LPRECT rect) {
    UserLock lock = lockUser();
    Window* w = lookup(hwnd);
    if (!w) return FALSE;
    if (!rect) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    Window* parent = findWindow(w->parent);
    POINT origin = parent ? clientOriginOnScreen(parent) : POINT{0, 0};
    *rect = RECT{clampLong(std::int64_t(w->rect.left) + origin.x),
                 clampLong(std::int64_t(w->rect.top) + origin.y),
                 clampLong(std::int64_t(w->rect.right) + origin.x),
                 clampLong(std::int64_t(w->rect.bottom) + origin.y)};
    return TRUE;
}

BOOL GetClientRect(HWND hwnd, LPRECT rect) {
    UserLock lock = lockUser();
    Window* w = lookup(hwnd);
    if (!w) return FALSE;
    if (!rect) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *rect = clientRect(w);
    return TRUE;
}

BOOL ClientToScreen(HWND hwnd, LPPOINT point) {
    UserLock lock = lockUser();
    Window* w = lookup(hwnd);
    if (!w || !point) return FALSE;
    POINT origin = clientOriginOnScreen(w);
    point->x = clampLong(std::int64_t(point->x) + origin.x);
    point->y = clampLong(std::int64_t(point->y) + origin.y);
    return TRUE;
}

BOOL ScreenToClient(HWND hwnd, LPPOINT point) {
    UserLock lock = lockUser();
    Window* w = lookup(hwnd);
    if (!w || !point) return FALSE;
    POINT origin = clientOriginOnScreen(w);
    point->x = clampLong(std::int64_t(point->x) - origin.x);
    point->y = clampLong(std::int64_t(point->y) - origin.y);
    return TRUE;
}

BOOL ShowWindow(HWND hwnd, int cmdShow) {
    bool wasVisible;
    ShowState current;
    bool restoreToMaximized;
    {
        UserLock lock = lockUser();
        Window* w = lookup(hwnd);
        if (!w) return FALSE;
        if (cmdShow < SW_HIDE || cmdShow > SW_FORCEMINIMIZE) {
            SetLastError(ERROR_INVALID_SHOWWIN_COMMAND);
            return FALSE;
        }
        if (hwnd == userState().desktop) return TRUE;
        wasVisible = w->style & WS_VISIBLE;
        current = showStateOf(w);
        restoreToMaximized = w->restoreToMaximized;
    }
    if (cmdShow == SW_HIDE) {
        if (wasVisible) {
            SendMessageA(hwnd, WM_SHOWWINDOW, FALSE, 0);
            setWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                         SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE,
                         false);
        }
        return wasVisible;
    }
    ShowState target = current;
    switch (cmdShow) {
    case SW_SHOWNORMAL:
    case SW_SHOWNOACTIVATE:
    case SW_SHOWDEFAULT:
        target = ShowState::Normal;
        break;
    case SW_RESTORE:
        target = current == ShowState::Minimized && restoreToMaximized ? ShowState::Maximized
                                                                       : ShowState::Normal;
        break;
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE:
    case SW_FORCEMINIMIZE:
        target = ShowState::Minimized;
        break;
    case SW_SHOWMAXIMIZED:
        target = ShowState::Maximized;
        break;
    default: // SW_SHOW, SW_SHOWNA
        break;
    }
    if (!wasVisible) SendMessageA(hwnd, WM_SHOWWINDOW, TRUE, 0);
    setShowState(hwnd, target, wasVisible ? 0 : SWP_SHOWWINDOW);
    return wasVisible;
}

BOOL IsWindowVisible(HWND hwnd) {
    UserLock lock = lockUser();
    return visibleChain(findWindow(hwnd));
}

BOOL IsIconic(HWND hwnd) {
    UserLock lock = lockUser();
    Window* w = findWindow(hwnd);
    return w && (w->style & WS_MINIMIZE);
}

BOOL IsZoomed(HWND hwnd) {
    UserLock lock = lockUser();
    Window* w = findWindow(hwnd);
    return w && (w->style & WS_MAXIMIZE);
}

BOOL GetWindowPlacement(HWND hwnd, WINDOWPLACEMENT* placement) {
    UserLock lock = lockUser();
    Window* w = lookup(hwnd);
    if (!w) return FALSE;
    if (!placement) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    ShowState state = showStateOf(w);
    placement->length = sizeof(WINDOWPLACEMENT);
    placement->flags =
        state == ShowState::Minimized && w->restoreToMaximized ? WPF_RESTORETOMAXIMIZED : 0;
    placement->showCmd = state == ShowState::Minimized   ? SW_SHOWMINIMIZED
                         : state == ShowState::Maximized ? SW_SHOWMAXIMIZED
                                                         : SW_SHOWNORMAL;
    placement->ptMinPosition =
        state == ShowState::Minimized ? POINT{w->rect.left, w->rect.top} : w->minPosition;
    placement->ptMaxPosition = w->maxPosition;
    placement->rcNormalPosition = state == ShowState::Normal ? w->rect : w->normalRect;
    return TRUE;
}

BOOL SetWindowPlacement(HWND hwnd, const WINDOWPLACEMENT* placement) {
    // Placements come back from settings files: check everything before changing anything.
    if (!placement || placement->length != sizeof(WINDOWPLACEMENT) ||
        placement->showCmd > UINT(SW_FORCEMINIMIZE)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    RECT normal = normalized(placement->rcNormalPosition);
    bool normalNow;
    {
        UserLock lock = lockUser();
        Window* w = lookup(hwnd);
        if (!w) return FALSE;
        if (hwnd == userState().desktop) {
            SetLastError(ERROR_ACCESS_DENIED);
            return FALSE;
        }
        if (placement->flags & WPF_SETMINPOSITION)
            w->minPosition = POINT{clampCoordinate(placement->ptMinPosition.x),
                                   clampCoordinate(placement->ptMinPosition.y)};
        w->maxPosition = POINT{clampCoordinate(placement->ptMaxPosition.x),
                               clampCoordinate(placement->ptMaxPosition.y)};
        w->normalRect = normal;
        normalNow = showStateOf(w) == ShowState::Normal;
    }
    if (normalNow)
        setWindowPos(hwnd, nullptr, int(normal.left), int(normal.top),
                     int(normal.right - normal.left), int(normal.bottom - normal.top),
                     SWP_NOZORDER | SWP_NOACTIVATE, false);
    int cmd = int(placement->showCmd);
    ShowWindow(hwnd, cmd);
    bool minimizing = cmd == SW_SHOWMINIMIZED || cmd == SW_MINIMIZE || cmd == SW_SHOWMINNOACTIVE ||
                      cmd == SW_FORCEMINIMIZE;
    if (minimizing && (placement->flags & WPF_RESTORETOMAXIMIZED)) {
        UserLock lock = lockUser();
        if (Window* w = findWindow(hwnd)) w->restoreToMaximized = true;
    }
    return TRUE;
}
