// Window data, relations, text and enabled state.

#include <algorithm>
#include <cstring>

#include "WindowTable.h"
#include "win32/kernel.h"

using namespace sduser;

namespace {

Window* lookup(HWND hwnd) {
    Window* w = findWindow(hwnd);
    if (!w) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return w;
}

// Reads or writes `size` bytes of the window's extra bytes at `index`.
bool extraBytes(Window* w, int index, void* value, size_t size, bool write) {
    if (index < 0 || size_t(index) > w->extra.size() || w->extra.size() - size_t(index) < size) {
        SetLastError(ERROR_INVALID_INDEX);
        return false;
    }
    if (write)
        std::memcpy(w->extra.data() + index, value, size);
    else
        std::memcpy(value, w->extra.data() + index, size);
    return true;
}

bool isChildWindow(const Window* w) {
    return w->style & WS_CHILD;
}

} // namespace

LONG_PTR GetWindowLongPtrA(HWND hwnd, int index) {
    UserLock lock = lockUser();
    Window* w = lookup(hwnd);
    if (!w) return 0;
    switch (index) {
    case GWLP_WNDPROC:
        return reinterpret_cast<LONG_PTR>(w->proc);
    case GWLP_HINSTANCE:
        return reinterpret_cast<LONG_PTR>(w->instance);
    case GWLP_HWNDPARENT:
        return reinterpret_cast<LONG_PTR>(isChildWindow(w) ? w->parent : w->owner);
    case GWLP_ID:
        return w->id;
    case GWL_STYLE:
        return LONG(w->style);
    case GWL_EXSTYLE:
        return LONG(w->exStyle);
    case GWLP_USERDATA:
        return w->userData;
    default: {
        LONG_PTR value = 0;
        extraBytes(w, index, &value, sizeof value, false);
        return value;
    }
    }
}

LONG_PTR SetWindowLongPtrA(HWND hwnd, int index, LONG_PTR value) {
    UserLock lock = lockUser();
    Window* w = lookup(hwnd);
    if (!w) return 0;
    SetLastError(ERROR_SUCCESS); // a previous value of 0 is then told apart from failure
    LONG_PTR previous = 0;
    switch (index) {
    case GWLP_WNDPROC:
        previous = reinterpret_cast<LONG_PTR>(w->proc);
        w->proc = reinterpret_cast<WNDPROC>(value);
        return previous;
    case GWLP_HINSTANCE:
        previous = reinterpret_cast<LONG_PTR>(w->instance);
        w->instance = reinterpret_cast<HINSTANCE>(value);
        return previous;
    case GWLP_HWNDPARENT: {
        // Changes the owner of a top-level window.
        if (isChildWindow(w)) return reinterpret_cast<LONG_PTR>(w->parent);
        HWND owner = reinterpret_cast<HWND>(value);
        if (owner && !findWindow(owner)) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return 0;
        }
        for (Window* o = findWindow(owner); o; o = findWindow(o->owner)) {
            if (o == w || isDescendant(w, o->handle)) { // no owner cycles
                SetLastError(ERROR_INVALID_PARAMETER);
                return 0;
            }
        }
        previous = reinterpret_cast<LONG_PTR>(w->owner);
        w->owner = owner == userState().desktop ? nullptr : owner;
        return previous;
    }
    case GWLP_ID:
        previous = w->id;
        w->id = value;
        return previous;
    case GWL_STYLE:
        previous = LONG(w->style);
        w->style = DWORD(value);
        return previous;
    case GWL_EXSTYLE:
        previous = LONG(w->exStyle);
        w->exStyle = DWORD(value);
        return previous;
    case GWLP_USERDATA:
        previous = w->userData;
        w->userData = value;
        return previous;
    default:
        if (!extraBytes(w, index, &previous, sizeof previous, false)) return 0;
        extraBytes(w, index, &value, sizeof value, true);
        return previous;
    }
}

// The LONG forms read and write 32 bits of the extra bytes; other values are truncated.
LONG GetWindowLongA(HWND hwnd, int index) {
    if (index >= 0) {
        UserLock lock = lockUser();
        Window* w = lookup(hwnd);
        LONG value = 0;
        if (w) extraBytes(w, index, &value, sizeof value, false);
        return value;
    }
    return LONG(GetWindowLongPtrA(hwnd, index));
}

LONG SetWindowLongA(HWND hwnd, int index, LONG value) {
    if (index >= 0) {
        UserLock lock = lockUser();
        Window* w = lookup(hwnd);
        LONG previous = 0;
        if (!w || !extraBytes(w, index, &previous, sizeof previous, false)) return 0;
        SetLastError(ERROR_SUCCESS);
        extraBytes(w, index, &value, sizeof value, true);
        return previous;
    }
    return LONG(SetWindowLongPtrA(hwnd, index, value));
}

HWND GetParent(HWND hwnd) {
    UserLock lock = lockUser();
    Window* w = lookup(hwnd);
    if (!w) return nullptr;
    if (isChildWindow(w)) return w->parent;
    return (w->style & WS_POPUP) ? w->owner : nullptr;
}

HWND SetParent(HWND child, HWND newParent) {
    UserLock lock = lockUser();
    UserState& state = userState();
    Window* w = lookup(child);
    if (!w) return nullptr;
    Window* parent = newParent ? lookup(newParent) : desktopWindow();
    if (!parent) return nullptr;
    if (child == state.desktop || isDescendant(w, parent->handle)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    HWND previous = w->parent;
    if (Window* old = findWindow(previous)) std::erase(old->children, child);
    parent->children.insert(parent->children.begin(), child);
    w->parent = parent->handle;
    return previous;
}

HWND GetWindow(HWND hwnd, UINT relation) {
    UserLock lock = lockUser();
    Window* w = lookup(hwnd);
    if (!w) return nullptr;
    if (relation == GW_OWNER) return w->owner;
    if (relation == GW_CHILD) return w->children.empty() ? nullptr : w->children.front();
    Window* parent = findWindow(w->parent);
    if (!parent) return nullptr;
    const std::vector<HWND>& siblings = parent->children;
    auto it = std::find(siblings.begin(), siblings.end(), hwnd);
    switch (relation) {
    case GW_HWNDFIRST:
        return siblings.front();
    case GW_HWNDLAST:
        return siblings.back();
    case GW_HWNDNEXT:
        return it != siblings.end() && it + 1 != siblings.end() ? *(it + 1) : nullptr;
    case GW_HWNDPREV:
        return it != siblings.end() && it != siblings.begin() ? *(it - 1) : nullptr;
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
}

HWND GetAncestor(HWND hwnd, UINT flags) {
    UserLock lock = lockUser();
    UserState& state = userState();
    Window* w = lookup(hwnd);
    if (!w || hwnd == state.desktop) return nullptr;
    if (flags == GA_PARENT) return w->parent;
    if (flags != GA_ROOT && flags != GA_ROOTOWNER) return nullptr;
    while (w->parent != state.desktop) {
        Window* parent = findWindow(w->parent);
        if (!parent) break;
        w = parent;
    }
    if (flags == GA_ROOTOWNER) {
        size_t steps = state.windows.size(); // owner chains are kept free of cycles; be sure
        while (Window* owner = findWindow(w->owner)) {
            if (steps-- == 0) break;
            w = owner;
        }
    }
    return w->handle;
}

BOOL IsChild(HWND parent, HWND hwnd) {
    UserLock lock = lockUser();
    Window* w = findWindow(hwnd);
    while (w && isChildWindow(w)) {
        if (w->parent == parent) return TRUE;
        w = findWindow(w->parent);
    }
    return FALSE;
}

int GetDlgCtrlID(HWND hwnd) {
    UserLock lock = lockUser();
    Window* w = lookup(hwnd);
    return w && isChildWindow(w) ? int(w->id) : 0;
}

HWND GetDlgItem(HWND dialog, int id) {
    UserLock lock = lockUser();
    Window* w = lookup(dialog);
    if (!w) return nullptr;
    for (HWND c : w->children) {
        Window* child = findWindow(c);
        if (child && int(child->id) == id) return c;
    }
    SetLastError(ERROR_CONTROL_ID_NOT_FOUND);
    return nullptr;
}

BOOL SetWindowTextA(HWND hwnd, LPCSTR text) {
    if (!IsWindow(hwnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    return SendMessageA(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) ? TRUE : FALSE;
}

int GetWindowTextA(HWND hwnd, LPSTR text, int maxCount) {
    if (!text || maxCount <= 0) return 0;
    text[0] = '\0';
    if (!IsWindow(hwnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    LRESULT copied =
        SendMessageA(hwnd, WM_GETTEXT, WPARAM(maxCount), reinterpret_cast<LPARAM>(text));
    return int(std::clamp<LRESULT>(copied, 0, maxCount - 1));
}

int GetWindowTextLengthA(HWND hwnd) {
    if (!IsWindow(hwnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    return int(SendMessageA(hwnd, WM_GETTEXTLENGTH, 0, 0));
}

BOOL EnableWindow(HWND hwnd, BOOL enable) {
    bool wasDisabled;
    bool loseFocus = false;
    {
        UserLock lock = lockUser();
        Window* w = lookup(hwnd);
        if (!w) return FALSE;
        wasDisabled = w->style & WS_DISABLED;
        if (wasDisabled == !enable) return wasDisabled;
        if (enable) {
            w->style &= ~WS_DISABLED;
        } else {
            w->style |= WS_DISABLED;
            UserState& state = userState();
            loseFocus = state.focus && isDescendant(w, state.focus);
        }
    }
    if (loseFocus) setFocusTo(nullptr);
    SendMessageA(hwnd, WM_ENABLE, enable ? TRUE : FALSE, 0);
    return wasDisabled;
}

BOOL IsWindowEnabled(HWND hwnd) {
    UserLock lock = lockUser();
    Window* w = findWindow(hwnd);
    return w && !(w->style & WS_DISABLED);
}
