// Creation and destruction of windows.

#include <algorithm>

#include "WindowTable.h"
#include "win32/kernel.h"
#include "win32/menu.h"

using namespace sduser;

namespace {

constexpr LONG coordinateLimit = 1 << 27;

LONG clampCoordinate(int v) {
    return std::clamp<LONG>(v, -coordinateLimit, coordinateLimit);
}
LONG clampExtent(int v) {
    return std::clamp<LONG>(v, 0, coordinateLimit);
}

HWND rootOf(HWND hwnd) {
    Window* w = findWindow(hwnd);
    while (w && (w->style & WS_CHILD)) {
        Window* parent = findWindow(w->parent);
        if (!parent || parent->handle == userState().desktop) break;
        w = parent;
    }
    return w ? w->handle : nullptr;
}

// Removes a window whose procedure has had WM_NCDESTROY (or never ran).
void release(HWND hwnd) {
    UserLock lock = lockUser();
    UserState& state = userState();
    Window* w = findWindow(hwnd);
    if (!w) return;
    removeTimersOf(hwnd);
    removePostedFor(hwnd);
    if (state.focus == hwnd) state.focus = nullptr;
    if (state.capture == hwnd) state.capture = nullptr;
    if (Window* parent = findWindow(w->parent)) std::erase(parent->children, hwnd);
    for (auto& [key, other] : state.windows)
        if (other->owner == hwnd) other->owner = nullptr;
    if (w->windowClass) --w->windowClass->windowCount;
    state.windows.erase(reinterpret_cast<UINT_PTR>(hwnd));
}

void destroyTree(HWND hwnd, bool sendDestroy) {
    std::vector<HWND> owned;
    HWND lostFocus = nullptr;
    HWND lostCapture = nullptr;
    {
        UserLock lock = lockUser();
        UserState& state = userState();
        Window* w = findWindow(hwnd);
        if (!w) return;
        w->destroying = true;
        for (auto& [key, other] : state.windows)
            if (other->owner == hwnd && !other->destroying) owned.push_back(other->handle);
    }
    for (HWND o : owned)
        DestroyWindow(o);
    {
        UserLock lock = lockUser();
        UserState& state = userState();
        Window* w = findWindow(hwnd);
        if (!w) return;
        if (state.focus && isDescendant(w, state.focus)) {
            lostFocus = state.focus;
            state.focus = nullptr;
        }
        if (state.capture && isDescendant(w, state.capture)) {
            lostCapture = state.capture;
            state.capture = nullptr;
        }
        w->style &= ~WS_VISIBLE;
    }
    if (lostFocus) callProc(lostFocus, WM_KILLFOCUS, 0, 0);
    if (lostCapture) callProc(lostCapture, WM_CAPTURECHANGED, 0, 0);
    if (sendDestroy) callProc(hwnd, WM_DESTROY, 0, 0);
    // Children made while the window was going away are destroyed as well.
    for (int round = 0; round < 100; ++round) {
        std::vector<HWND> children;
        {
            UserLock lock = lockUser();
            Window* w = findWindow(hwnd);
            if (!w) return;
            for (HWND c : w->children) {
                Window* child = findWindow(c);
                if (child && !child->destroying) children.push_back(c);
            }
        }
        if (children.empty()) break;
        for (HWND c : children) {
            bool pending;
            {
                UserLock lock = lockUser();
                Window* child = findWindow(c);
                pending = child && !child->destroying;
            }
            if (pending) destroyTree(c, true);
        }
    }
    callProc(hwnd, WM_NCDESTROY, 0, 0);
    release(hwnd);
}

} // namespace

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     LPVOID param) {
    HWND hwnd = nullptr;
    CREATESTRUCTA cs{};
    {
        UserLock lock = lockUser();
        UserState& state = userState();
        WindowClass* windowClass = findClass(className);
        if (!windowClass) {
            SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
            return nullptr;
        }
        Window* parentWindow = nullptr;
        if (parent) {
            parentWindow = findWindow(parent);
            if (!parentWindow) {
                SetLastError(ERROR_INVALID_WINDOW_HANDLE);
                return nullptr;
            }
        }
        bool child = style & WS_CHILD;
        if (child && !parentWindow) {
            SetLastError(ERROR_TLW_WITH_WSCHILD);
            return nullptr;
        }

        auto w = std::make_unique<Window>();
        hwnd = reinterpret_cast<HWND>(state.nextHandle);
        state.nextHandle += 4;
        w->handle = hwnd;
        w->windowClass = windowClass;
        w->proc = windowClass->proc;
        w->instance = instance;
        w->style = style & ~(WS_VISIBLE | WS_MINIMIZE | WS_MAXIMIZE);
        w->exStyle = exStyle;
        w->extra.assign(size_t(windowClass->windowExtra), 0);
        Window* desktop = desktopWindow();
        if (child) {
            w->parent = parent;
            w->id = reinterpret_cast<LONG_PTR>(menu);
        } else {
            w->parent = desktop->handle;
            if (parentWindow && parentWindow != desktop) w->owner = rootOf(parent);
        }

        // CW_USEDEFAULT means something only for overlapped windows.
        bool overlapped = !(style & (WS_CHILD | WS_POPUP));
        if (x == CW_USEDEFAULT) {
            x = overlapped ? SD_SCREEN_WIDTH / 16 : 0;
            y = overlapped ? SD_SCREEN_HEIGHT / 16 : 0;
        }
        if (width == CW_USEDEFAULT) {
            width = overlapped ? SD_SCREEN_WIDTH * 3 / 4 : 0;
            height = overlapped ? SD_SCREEN_HEIGHT * 3 / 4 : 0;
        }
        if (height == CW_USEDEFAULT) height = 0;
        LONG left = clampCoordinate(x);
        LONG top = clampCoordinate(y);
        w->rect = RECT{left, top, left + clampExtent(width), top + clampExtent(height)};
        w->normalRect = w->rect;

        Window* parentOfWindow = findWindow(w->parent);
        parentOfWindow->children.insert(parentOfWindow->children.begin(), hwnd);
        ++windowClass->windowCount;

        cs.lpCreateParams = param;
        cs.hInstance = instance;
        cs.hMenu = menu;
        cs.hwndParent = parent;
        cs.cx = int(w->rect.right - w->rect.left);
        cs.cy = int(w->rect.bottom - w->rect.top);
        cs.x = int(left);
        cs.y = int(top);
        cs.style = LONG(style);
        cs.lpszName = windowName;
        cs.lpszClass = className;
        cs.dwExStyle = exStyle;
        state.windows.emplace(reinterpret_cast<UINT_PTR>(hwnd), std::move(w));
    }

    // A top-level window's menu is its menu bar from the start.
    if (menu && !(style & WS_CHILD) && IsMenu(menu)) SetMenu(hwnd, menu);
    LPARAM create = reinterpret_cast<LPARAM>(&cs);
    if (!callProc(hwnd, WM_NCCREATE, 0, create)) {
        if (IsWindow(hwnd)) destroyTree(hwnd, false);
        return nullptr;
    }
    if (!IsWindow(hwnd)) return nullptr;
    {
        RECT r{};
        {
            UserLock lock = lockUser();
            if (Window* w = findWindow(hwnd)) r = w->rect;
        }
        askClientArea(hwnd, r, r, nullptr);
    }
    if (!IsWindow(hwnd)) return nullptr;
    if (callProc(hwnd, WM_CREATE, 0, create) == -1) {
        if (IsWindow(hwnd)) destroyTree(hwnd, true);
        return nullptr;
    }
    if (!IsWindow(hwnd)) return nullptr;

    RECT client{};
    LONG left = 0;
    LONG top = 0;
    {
        UserLock lock = lockUser();
        Window* w = findWindow(hwnd);
        if (!w) return nullptr;
        client = clientRect(w);
        left = w->rect.left;
        top = w->rect.top;
    }
    callProc(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(WORD(client.right), WORD(client.bottom)));
    callProc(hwnd, WM_MOVE, 0, MAKELPARAM(WORD(left), WORD(top)));
    if (style & WS_MINIMIZE)
        setShowState(hwnd, ShowState::Minimized, 0);
    else if (style & WS_MAXIMIZE)
        setShowState(hwnd, ShowState::Maximized, 0);
    if ((style & WS_VISIBLE) && IsWindow(hwnd)) ShowWindow(hwnd, SW_SHOWNA);
    return IsWindow(hwnd) ? hwnd : nullptr;
}

BOOL DestroyWindow(HWND hwnd) {
    {
        UserLock lock = lockUser();
        Window* w = findWindow(hwnd);
        if (!w) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        if (hwnd == userState().desktop) {
            SetLastError(ERROR_ACCESS_DENIED);
            return FALSE;
        }
        if (w->destroying) return FALSE; // already on its way
    }
    destroyTree(hwnd, true);
    return TRUE;
}

BOOL IsWindow(HWND hwnd) {
    UserLock lock = lockUser();
    return findWindow(hwnd) != nullptr;
}

HWND GetDesktopWindow() {
    UserLock lock = lockUser();
    return desktopWindow()->handle;
}

namespace sduser {

// Destroys every window but the desktop, then forgets the classes.
void destroyAllWindows() {
    for (int round = 0; round < 100; ++round) {
        std::vector<HWND> topLevel;
        {
            UserLock lock = lockUser();
            topLevel = desktopWindow()->children;
        }
        if (topLevel.empty()) break;
        for (HWND hwnd : topLevel)
            if (IsWindow(hwnd)) destroyTree(hwnd, true);
    }
    UserLock lock = lockUser();
    UserState& state = userState();
    // Windows that kept making windows while being destroyed are dropped without messages.
    while (!desktopWindow()->children.empty()) {
        for (HWND hwnd : subtree(desktopWindow()->children.front()))
            if (Window* w = findWindow(hwnd)) w->destroying = true;
        std::vector<HWND> all = subtree(desktopWindow()->children.front());
        for (auto it = all.rbegin(); it != all.rend(); ++it)
            release(*it);
    }
    state.classes.clear();
}

} // namespace sduser
