// Window and screen contexts: GetDC and BeginPaint draw into a surface of the window's
// client area, kept per window so that tests read back what was painted. At screen depth 8
// the surfaces are palette surfaces with the system palette.

#include <map>
#include <mutex>

#include "GdiSettings.h"
#include "win32/WindowDc.h"
#include "win32/user.h"

namespace sdgdi {

namespace {

std::mutex surfacesLock;
std::map<HWND, std::shared_ptr<Surface>>& surfaces() {
    static auto* m = new std::map<HWND, std::shared_ptr<Surface>>;
    return *m;
}

} // namespace

std::shared_ptr<Surface> windowSurface(HWND hwnd, bool create) {
    int w = screenWidth(), h = screenHeight();
    if (hwnd) {
        RECT r{};
        if (!GetClientRect(hwnd, &r)) return nullptr;
        w = std::max<LONG>(1, r.right - r.left);
        h = std::max<LONG>(1, r.bottom - r.top);
    }
    int bpp = screenDepth() <= 8 ? 8 : 32;
    std::lock_guard<std::mutex> guard(surfacesLock);
    auto& s = surfaces()[hwnd];
    if (!create) return s;
    if (!s || s->width() != w || s->height() != h || s->bitsPerPixel() != bpp) {
        auto fresh = Surface::create(w, h, bpp, true);
        if (!fresh) return nullptr;
        fresh->fill(fresh->rawFromColor(RGB(255, 255, 255)));
        if (s && s->bitsPerPixel() == bpp) {
            // Keep what was painted where the sizes overlap.
            for (int y = 0; y < std::min(h, s->height()); ++y)
                for (int x = 0; x < std::min(w, s->width()); ++x) fresh->set(x, y, s->get(x, y));
        }
        s = fresh;
    }
    return s;
}

void resetWindowSurfaces() {
    std::lock_guard<std::mutex> guard(surfacesLock);
    surfaces().clear();
}

namespace {

HDC acquire(HWND hwnd) {
    auto surface = windowSurface(hwnd, true);
    if (!surface) return nullptr;
    auto dc = newDc(hwnd ? DcKind::Window : DcKind::Screen);
    dc->ownSurface = surface;
    dc->window = hwnd;
    dc->width = surface->width();
    dc->height = surface->height();
    return static_cast<HDC>(registerDc(dc));
}

int release(HWND, HDC dc) {
    auto d = findDc(dc);
    if (!d || (d->kind != DcKind::Window && d->kind != DcKind::Screen)) return 0;
    return DeleteDC(dc);
}

struct Installer {
    Installer() { SdSetWindowDcProvider(acquire, release); }
} installer;

} // namespace

} // namespace sdgdi
