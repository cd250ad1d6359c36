// Invalidation and painting. The update region of a window is kept as one rectangle, the
// bounding box of everything invalidated: painting a little more than needed is harmless.

#include <algorithm>
#include <atomic>
#include <cstring>

#include "WindowTable.h"
#include "win32/WindowDc.h"
#include "win32/kernel.h"

using namespace sduser;

namespace {

std::atomic<SdWindowDcAcquire> dcAcquire{nullptr};
std::atomic<SdWindowDcRelease> dcRelease{nullptr};

bool emptyRect(const RECT& r) {
    return r.right <= r.left || r.bottom <= r.top;
}

RECT intersection(const RECT& a, const RECT& b) {
    RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
           std::min(a.bottom, b.bottom)};
    return emptyRect(r) ? RECT{0, 0, 0, 0} : r;
}

RECT bounds(const RECT& a, const RECT& b) {
    return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

Window* lookup(HWND hwnd) {
    Window* w = findWindow(hwnd);
    if (!w) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return w;
}

void invalidate(Window* w, const RECT* rect, bool erase) {
    if (!rect) {
        invalidateWhole(w, erase);
        return;
    }
    RECT r = intersection(*rect, clientRect(w));
    if (emptyRect(r)) return;
    w->update = w->hasUpdate ? bounds(w->update, r) : r;
    w->hasUpdate = true;
    w->erasePending = w->erasePending || erase;
}

// Removes `r` from the update rectangle where the rest is still a rectangle.
void validate(Window* w, const RECT& r) {
    if (!w->hasUpdate) return;
    RECT& u = w->update;
    bool coversX = r.left <= u.left && r.right >= u.right;
    bool coversY = r.top <= u.top && r.bottom >= u.bottom;
    if (coversX && coversY) {
        w->hasUpdate = false;
        w->erasePending = false;
        u = RECT{0, 0, 0, 0};
        return;
    }
    if (coversX && r.top <= u.top && r.bottom > u.top)
        u.top = r.bottom;
    else if (coversX && r.bottom >= u.bottom && r.top < u.bottom)
        u.bottom = r.top;
    else if (coversY && r.left <= u.left && r.right > u.left)
        u.left = r.right;
    else if (coversY && r.right >= u.right && r.left < u.right)
        u.right = r.left;
}

HDC acquireDc(HWND hwnd) {
    SdWindowDcAcquire acquire = dcAcquire.load();
    return acquire ? acquire(hwnd) : nullptr;
}

} // namespace

void SdSetWindowDcProvider(SdWindowDcAcquire acquire, SdWindowDcRelease release) {
    dcAcquire = acquire;
    dcRelease = release;
}

BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase) {
    UserLock lock = lockUser();
    if (!hwnd) {
        for (auto& [key, w] : userState().windows)
            if (w->handle != userState().desktop) invalidateWhole(w.get(), erase);
        return TRUE;
    }
    Window* w = lookup(hwnd);
    if (!w) return FALSE;
    invalidate(w, rect, erase);
    return TRUE;
}

BOOL ValidateRect(HWND hwnd, const RECT* rect) {
    UserLock lock = lockUser();
    Window* w = lookup(hwnd);
    if (!w) return FALSE;
    validate(w, rect ? *rect : clientRect(w));
    if (!rect) w->hasUpdate = false;
    return TRUE;
}

BOOL GetUpdateRect(HWND hwnd, LPRECT rect, BOOL erase) {
    bool sendErase = false;
    BOOL result;
    {
        UserLock lock = lockUser();
        Window* w = lookup(hwnd);
        if (!w) return FALSE;
        if (rect) *rect = w->hasUpdate ? w->update : RECT{0, 0, 0, 0};
        result = w->hasUpdate;
        sendErase = erase && w->hasUpdate && w->erasePending;
    }
    if (sendErase) {
        HDC dc = acquireDc(hwnd);
        LRESULT erased = SendMessageA(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
        if (dc) ReleaseDC(hwnd, dc);
        UserLock lock = lockUser();
        if (Window* w = findWindow(hwnd); w && erased) w->erasePending = false;
    }
    return result;
}

BOOL UpdateWindow(HWND hwnd) {
    bool paint;
    {
        UserLock lock = lockUser();
        Window* w = lookup(hwnd);
        if (!w) return FALSE;
        paint = w->hasUpdate && visibleChain(w);
    }
    if (paint) SendMessageA(hwnd, WM_PAINT, 0, 0);
    return TRUE;
}

HDC BeginPaint(HWND hwnd, LPPAINTSTRUCT ps) {
    RECT paint{};
    bool erase;
    {
        UserLock lock = lockUser();
        Window* w = lookup(hwnd);
        if (!w || !ps) return nullptr;
        paint = w->hasUpdate ? w->update : RECT{0, 0, 0, 0};
        erase = w->hasUpdate && w->erasePending;
        w->hasUpdate = false;
        w->erasePending = false;
        w->update = RECT{0, 0, 0, 0};
    }
    std::memset(ps, 0, sizeof *ps);
    ps->hdc = acquireDc(hwnd);
    ps->rcPaint = paint;
    // fErase tells the window to erase the background itself: WM_ERASEBKGND did not.
    ps->fErase = erase && !SendMessageA(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(ps->hdc), 0);
    return ps->hdc;
}

BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* ps) {
    if (ps && ps->hdc) ReleaseDC(hwnd, ps->hdc);
    return TRUE;
}

HDC GetDC(HWND hwnd) {
    if (hwnd && !IsWindow(hwnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    return acquireDc(hwnd);
}

int ReleaseDC(HWND hwnd, HDC dc) {
    SdWindowDcRelease release = dcRelease.load();
    return release && dc ? release(hwnd, dc) : 0;
}
