// Window classes: one process-wide name space, names compared without case.

#include <algorithm>
#include <cstring>

#include "WindowTable.h"
#include "win32/kernel.h"

using namespace sduser;

namespace {

constexpr int maxExtraBytes = 0x10000;

ATOM freeAtom(UserState& state) {
    for (unsigned tries = 0; tries < 0x4000; ++tries) {
        ATOM atom = state.nextAtom;
        state.nextAtom = state.nextAtom == 0xFFFF ? 0xC000 : ATOM(state.nextAtom + 1);
        if (!state.classes.count(atom)) return atom;
    }
    return 0;
}

int copyText(const std::string& text, LPSTR buffer, int size) {
    if (!buffer || size <= 0) return 0;
    size_t count = std::min(text.size(), size_t(size - 1));
    std::memcpy(buffer, text.data(), count);
    buffer[count] = '\0';
    return int(count);
}

} // namespace

ATOM RegisterClassA(const WNDCLASSA* wndClass) {
    if (!wndClass || !wndClass->lpszClassName || isAtom(wndClass->lpszClassName) ||
        !wndClass->lpfnWndProc || wndClass->cbClsExtra < 0 || wndClass->cbWndExtra < 0 ||
        wndClass->cbClsExtra > maxExtraBytes || wndClass->cbWndExtra > maxExtraBytes) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    UserLock lock = lockUser();
    UserState& state = userState();
    if (findClass(wndClass->lpszClassName)) {
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    ATOM atom = freeAtom(state);
    if (!atom) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
    auto entry = std::make_unique<WindowClass>();
    entry->name = wndClass->lpszClassName;
    entry->atom = atom;
    entry->style = wndClass->style;
    entry->proc = wndClass->lpfnWndProc;
    entry->classExtra = wndClass->cbClsExtra;
    entry->windowExtra = wndClass->cbWndExtra;
    entry->instance = wndClass->hInstance;
    entry->icon = wndClass->hIcon;
    entry->cursor = wndClass->hCursor;
    entry->background = wndClass->hbrBackground;
    if (isAtom(wndClass->lpszMenuName))
        entry->menuNameAtom = wndClass->lpszMenuName;
    else
        entry->menuName = wndClass->lpszMenuName;
    state.classes.emplace(atom, std::move(entry));
    return atom;
}

BOOL UnregisterClassA(LPCSTR className, HINSTANCE) {
    UserLock lock = lockUser();
    WindowClass* windowClass = findClass(className);
    if (!windowClass) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    if (windowClass->windowCount > 0) {
        SetLastError(ERROR_CLASS_HAS_WINDOWS);
        return FALSE;
    }
    userState().classes.erase(windowClass->atom);
    return TRUE;
}

BOOL GetClassInfoA(HINSTANCE, LPCSTR className, WNDCLASSA* wndClass) {
    UserLock lock = lockUser();
    WindowClass* entry = findClass(className);
    if (!entry || !wndClass) {
        SetLastError(entry ? ERROR_INVALID_PARAMETER : ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    wndClass->style = entry->style;
    wndClass->lpfnWndProc = entry->proc;
    wndClass->cbClsExtra = entry->classExtra;
    wndClass->cbWndExtra = entry->windowExtra;
    wndClass->hInstance = entry->instance;
    wndClass->hIcon = entry->icon;
    wndClass->hCursor = entry->cursor;
    wndClass->hbrBackground = entry->background;
    wndClass->lpszMenuName = entry->menuNameAtom       ? entry->menuNameAtom
                             : entry->menuName.empty() ? nullptr
                                                       : entry->menuName.c_str();
    wndClass->lpszClassName = entry->name.c_str();
    return TRUE;
}

int GetClassNameA(HWND hwnd, LPSTR className, int maxCount) {
    UserLock lock = lockUser();
    Window* w = findWindow(hwnd);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    return copyText(w->windowClass ? w->windowClass->name : std::string("#32769"), className,
                    maxCount);
}
