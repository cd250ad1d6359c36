// Window and screen contexts: GetDC and BeginPaint draw into a surface of the window's
// client area, kept per window so that tests read back what was painted. At screen depth 8
// the surfaces are palette surfaces with the system palette.

#include <algorithm>
#include <map>
#include <vector>
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

// Moves pixels within the area, reading every source pixel before any is overwritten.
void scroll(HWND hwnd, int dx, int dy, const RECT& area, const RECT& clip) {
    auto surface = windowSurface(hwnd, false);
    if (!surface) return;
    const int left = std::max<int>(0, area.left), top = std::max<int>(0, area.top);
    const int right = std::min<int>(surface->width(), area.right);
    const int bottom = std::min<int>(surface->height(), area.bottom);
    if (right <= left || bottom <= top) return;
    const int w = right - left, h = bottom - top;
    std::vector<std::uint32_t> copy(std::size_t(w) * std::size_t(h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) copy[std::size_t(y) * std::size_t(w) + std::size_t(x)] = surface->get(left + x, top + y);
    const int cl = std::max<int>(left, clip.left), ct = std::max<int>(top, clip.top);
    const int cr = std::min<int>(right, clip.right), cb = std::min<int>(bottom, clip.bottom);
    for (int y = 0; y < h; ++y) {
        const int ty = top + y + dy;
        if (ty < ct || ty >= cb) continue;
        for (int x = 0; x < w; ++x) {
            const int tx = left + x + dx;
            if (tx >= cl && tx < cr) surface->set(tx, ty, copy[std::size_t(y) * std::size_t(w) + std::size_t(x)]);
        }
    }
}

struct Installer {
    Installer() {
        SdSetWindowDcProvider(acquire, release);
        SdSetWindowSurfaceScroll(scroll);
    }
} installer;

} // namespace

} // namespace sdgdi
