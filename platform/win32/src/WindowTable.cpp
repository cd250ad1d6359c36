#include "WindowTable.h"

#include <algorithm>
#include <cstring>
#include <strings.h>

#include "win32/controls.h"
#include "win32/kernel.h"
#include "win32/nls.h"

namespace sduser {

UserState& userState() {
    static auto* state = new UserState; // outlives static destructors of other modules
    return *state;
}

UserLock lockUser() {
    return UserLock(userState().mutex);
}

Window* desktopWindow() {
    UserState& state = userState();
    if (!state.desktop) {
        auto desktop = std::make_unique<Window>();
        desktop->handle = reinterpret_cast<HWND>(state.nextHandle);
        state.nextHandle += 4;
        desktop->proc = DefWindowProcA;
        desktop->style = WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN;
        desktop->rect = {0, 0, SD_SCREEN_WIDTH, SD_SCREEN_HEIGHT};
        desktop->normalRect = desktop->rect;
        state.desktop = desktop->handle;
        state.windows.emplace(reinterpret_cast<UINT_PTR>(desktop->handle), std::move(desktop));
    }
    return state.windows.at(reinterpret_cast<UINT_PTR>(state.desktop)).get();
}

Window* findWindow(HWND hwnd) {
    UserState& state = userState();
    if (!hwnd) return nullptr;
    if (!state.desktop) desktopWindow();
    auto it = state.windows.find(reinterpret_cast<UINT_PTR>(hwnd));
    return it == state.windows.end() ? nullptr : it->second.get();
}

bool isAtom(LPCSTR name) {
    return reinterpret_cast<UINT_PTR>(name) < 0x10000;
}

WindowClass* findClass(LPCSTR name) {
    UserState& state = userState();
    if (!name) return nullptr;
    if (isAtom(name)) {
        auto it = state.classes.find(ATOM(reinterpret_cast<UINT_PTR>(name)));
        return it == state.classes.end() ? registerSystemClass(name) : it->second.get();
    }
    for (auto& [atom, windowClass] : state.classes)
        if (strcasecmp(windowClass->name.c_str(), name) == 0) return windowClass.get();
    return registerSystemClass(name);
}

bool isDescendant(const Window* ancestor, HWND hwnd) {
    for (Window* w = findWindow(hwnd); w; w = findWindow(w->parent))
        if (w == ancestor) return true;
    return false;
}

std::vector<HWND> subtree(HWND root) {
    std::vector<HWND> order;
    std::vector<HWND> pending{root};
    while (!pending.empty()) {
        HWND hwnd = pending.back();
        pending.pop_back();
        Window* w = findWindow(hwnd);
        if (!w) continue;
        order.push_back(hwnd);
        pending.insert(pending.end(), w->children.rbegin(), w->children.rend());
    }
    return order;
}

bool visibleChain(const Window* window) {
    for (const Window* w = window; w; w = findWindow(w->parent))
        if (!(w->style & WS_VISIBLE)) return false;
    return window != nullptr;
}

RECT clientRect(const Window* window) {
    if (window->style & WS_MINIMIZE) return RECT{0, 0, 0, 0};
    LONG width = window->rect.right - window->rect.left;
    LONG height = window->rect.bottom - window->rect.top;
    if (window->style & WS_VSCROLL) width = std::max<LONG>(0, width - systemMetric(SM_CXVSCROLL));
    if (window->style & WS_HSCROLL) height = std::max<LONG>(0, height - systemMetric(SM_CYHSCROLL));
    return RECT{0, 0, width, height};
}

RECT scrollBarStrip(const Window* window, int bar) {
    const DWORD bit = bar == SB_HORZ ? WS_HSCROLL : WS_VSCROLL;
    if ((window->style & WS_MINIMIZE) || !(window->style & bit)) return RECT{0, 0, 0, 0};
    RECT client = clientRect(window);
    LONG width = window->rect.right - window->rect.left;
    LONG height = window->rect.bottom - window->rect.top;
    if (bar == SB_HORZ) return RECT{0, client.bottom, client.right, height};
    return RECT{client.right, 0, width, client.bottom};
}

POINT clientOriginOnScreen(const Window* window) {
    std::int64_t x = 0;
    std::int64_t y = 0;
    for (const Window* w = window; w; w = findWindow(w->parent)) {
        x += w->rect.left;
        y += w->rect.top;
    }
    auto clamp = [](std::int64_t v) {
        return LONG(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
    };
    return POINT{clamp(x), clamp(y)};
}

void invalidateWhole(Window* window, bool erase) {
    RECT client = clientRect(window);
    if (client.right <= client.left || client.bottom <= client.top) return;
    window->update = client;
    window->hasUpdate = true;
    window->erasePending = window->erasePending || erase;
}

LRESULT callProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    WNDPROC proc;
    {
        UserLock lock = lockUser();
        Window* w = findWindow(hwnd);
        if (!w) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return 0;
        }
        proc = w->proc ? w->proc : DefWindowProcA;
    }
    return proc(hwnd, msg, wParam, lParam);
}

} // namespace sduser
