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

RECT nonClientInsets(DWORD style, DWORD exStyle, bool menuBar) {
    RECT in{0, 0, 0, 0};
    auto add = [&in](LONG by) {
        in.left += by;
        in.top += by;
        in.right += by;
        in.bottom += by;
    };
    if (style & WS_CHILD) {
        if (style & WS_THICKFRAME)
            add(systemMetric(SM_CXFRAME));
        else if ((style & WS_DLGFRAME) || (exStyle & WS_EX_DLGMODALFRAME))
            add(systemMetric(SM_CXDLGFRAME));
        else if (style & WS_BORDER)
            add(systemMetric(SM_CXBORDER));
        if ((style & WS_CAPTION) == WS_CAPTION)
            in.top += systemMetric((exStyle & WS_EX_TOOLWINDOW) ? SM_CYSMCAPTION : SM_CYCAPTION);
    } else if (menuBar) {
        in.top += systemMetric(SM_CYMENU);
    }
    if (exStyle & WS_EX_CLIENTEDGE) add(systemMetric(SM_CXEDGE));
    if (exStyle & WS_EX_STATICEDGE) add(systemMetric(SM_CXBORDER));
    return in;
}

RECT nonClientInsets(const Window* window) {
    if (window->style & WS_MINIMIZE) return RECT{0, 0, 0, 0};
    return nonClientInsets(window->style, window->exStyle,
                           window->menuBar && !(window->style & WS_CHILD));
}

RECT clientRect(const Window* window) {
    if (window->style & WS_MINIMIZE) return RECT{0, 0, 0, 0};
    if (window->ownClient) {
        const RECT& in = window->ownInsets;
        return RECT{0, 0,
                    std::max<LONG>(0, window->rect.right - window->rect.left - in.left - in.right),
                    std::max<LONG>(0, window->rect.bottom - window->rect.top - in.top - in.bottom)};
    }
    const RECT in = nonClientInsets(window);
    LONG width = std::max<LONG>(0, window->rect.right - window->rect.left - in.left - in.right);
    LONG height = std::max<LONG>(0, window->rect.bottom - window->rect.top - in.top - in.bottom);
    if (window->style & WS_VSCROLL) width = std::max<LONG>(0, width - systemMetric(SM_CXVSCROLL));
    if (window->style & WS_HSCROLL) height = std::max<LONG>(0, height - systemMetric(SM_CYHSCROLL));
    return RECT{0, 0, width, height};
}

POINT clientOffset(const Window* window) {
    if (window->ownClient && !(window->style & WS_MINIMIZE))
        return POINT{window->ownInsets.left, window->ownInsets.top};
    const RECT in = nonClientInsets(window);
    return POINT{in.left, in.top};
}

RECT scrollBarStrip(const Window* window, int bar) {
    const DWORD bit = bar == SB_HORZ ? WS_HSCROLL : WS_VSCROLL;
    if ((window->style & WS_MINIMIZE) || !(window->style & bit)) return RECT{0, 0, 0, 0};
    const RECT client = clientRect(window);
    const POINT at = clientOffset(window);
    if (bar == SB_HORZ)
        return RECT{at.x, at.y + client.bottom, at.x + client.right,
                    at.y + client.bottom + systemMetric(SM_CYHSCROLL)};
    return RECT{at.x + client.right, at.y, at.x + client.right + systemMetric(SM_CXVSCROLL),
                at.y + client.bottom};
}

POINT windowOriginOnScreen(const Window* window) {
    std::int64_t x = window->rect.left;
    std::int64_t y = window->rect.top;
    // Each ancestor adds its position and the offset of its client area.
    for (const Window* w = findWindow(window->parent); w; w = findWindow(w->parent)) {
        const POINT offset = clientOffset(w);
        x += std::int64_t(w->rect.left) + offset.x;
        y += std::int64_t(w->rect.top) + offset.y;
    }
    auto clamp = [](std::int64_t v) {
        return LONG(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
    };
    return POINT{clamp(x), clamp(y)};
}

POINT clientOriginOnScreen(const Window* window) {
    const POINT origin = windowOriginOnScreen(window);
    const POINT offset = clientOffset(window);
    auto clamp = [](std::int64_t v) {
        return LONG(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
    };
    return POINT{clamp(std::int64_t(origin.x) + offset.x),
                 clamp(std::int64_t(origin.y) + offset.y)};
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
