// The painters of the windows' look, installed by the drawing layer.

#include <atomic>

#include "win32/WindowLook.h"
#include "win32/user.h"

namespace {

std::atomic<const SdLookPainters*> installed{nullptr};

} // namespace

void SdSetLookPainters(const SdLookPainters* painters) {
    installed = painters;
}

const SdLookPainters* SdLookPaintersInstalled() {
    return installed.load();
}

void SdPaintControl(HWND hwnd, const SdLookState& state) {
    PAINTSTRUCT ps{};
    HDC dc = BeginPaint(hwnd, &ps);
    const SdLookPainters* painters = installed.load();
    if (dc && painters && painters->paintControl) painters->paintControl(hwnd, dc, state);
    EndPaint(hwnd, &ps);
}
