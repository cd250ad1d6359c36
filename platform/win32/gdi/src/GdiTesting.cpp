// Switches the tests drive, and pixel read-back.

#include "win32/GdiTesting.h"

#include <atomic>
#include <map>
#include <mutex>

#include "DeviceContext.h"
#include "GdiSettings.h"

namespace sdgdi {

namespace {

std::atomic<int> depth{24};
std::atomic<int> screenW{1280};
std::atomic<int> screenH{1024};
std::atomic<bool> paletteFailure{false};
std::atomic<bool> anyFailure{false};
std::mutex failLock;
std::map<std::string, int>& failures() {
    static auto* m = new std::map<std::string, int>;
    return *m;
}

} // namespace

int screenDepth() {
    return depth;
}
int screenWidth() {
    return screenW;
}
int screenHeight() {
    return screenH;
}
bool palettesFail() {
    return paletteFailure;
}

bool injectedFailure(const char* function) {
    if (!anyFailure) return false;
    std::lock_guard<std::mutex> guard(failLock);
    auto it = failures().find(function);
    if (it == failures().end() || it->second == 0) return false;
    if (it->second > 0) --it->second;
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return true;
}

SdGdiImage imageOf(const Surface* s) {
    SdGdiImage img;
    if (!s) return img;
    img.width = s->width();
    img.height = s->height();
    img.bitsPerPixel = s->bitsPerPixel();
    img.pixels.reserve(std::size_t(img.width) * std::size_t(img.height));
    img.raw.reserve(img.pixels.capacity());
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x) {
            std::uint32_t v = s->get(x, y);
            img.raw.push_back(v);
            img.pixels.push_back(s->colorFromRaw(v));
        }
    return img;
}

} // namespace sdgdi

using namespace sdgdi;

SdGdiImage SdGdiReadDC(HDC dc) {
    auto d = findDc(dc);
    return d ? imageOf(d->surface()) : SdGdiImage{};
}

SdGdiImage SdGdiReadBitmap(HBITMAP bitmap) {
    auto b = findAs<BitmapObject>(bitmap, OBJ_BITMAP);
    return b ? imageOf(b->surface.get()) : SdGdiImage{};
}

SdGdiImage SdGdiReadWindow(HWND hwnd) {
    return imageOf(windowSurface(hwnd, false).get());
}

void SdGdiSetScreenDepth(int bits) {
    depth = bits == 8 ? 8 : 24;
}

void SdGdiSetScreenSize(int width, int height) {
    if (width > 0 && height > 0) {
        screenW = width;
        screenH = height;
    }
}

void SdGdiFailCall(const char* function, int times) {
    std::lock_guard<std::mutex> guard(failLock);
    failures()[function ? function : ""] = times;
    anyFailure = true;
}

void SdGdiClearFailures() {
    std::lock_guard<std::mutex> guard(failLock);
    failures().clear();
    anyFailure = false;
}

void SdGdiFailPalettes(bool fail) {
    paletteFailure = fail;
}

std::vector<std::string> SdGdiCallLog(HDC dc) {
    auto d = findDc(dc);
    return d ? d->log : std::vector<std::string>{};
}

void SdGdiClearCallLog(HDC dc) {
    if (auto d = findDc(dc)) d->log.clear();
}

void SdGdiSetLogging(HDC dc, bool on) {
    if (auto d = findDc(dc)) d->logging = on;
}

HDC SdCreateRecordingDC(int width, int height) {
    auto dc = newDc(DcKind::Recording);
    dc->width = width > 0 ? width : 1;
    dc->height = height > 0 ? height : 1;
    dc->logging = true;
    return static_cast<HDC>(registerDc(dc));
}

void SdGdiResetTesting() {
    depth = 24;
    screenW = 1280;
    screenH = 1024;
    paletteFailure = false;
    SdGdiClearFailures();
    resetPrinterSettings();
    resetWindowSurfaces();
}
