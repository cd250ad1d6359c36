// The handle table of objects and contexts.

#include <mutex>
#include <unordered_map>

#include "DeviceContext.h"

namespace sdgdi {

namespace {

struct Table {
    std::mutex lock;
    std::uintptr_t next = 0x10000;
    std::unordered_map<std::uintptr_t, std::shared_ptr<GdiObject>> objects;
    std::unordered_map<std::uintptr_t, std::shared_ptr<DeviceContext>> dcs;
};

Table& table() {
    static Table* t = new Table; // lives to the end of the process
    return *t;
}

void* nextHandle(Table& t) {
    t.next += 16;
    return reinterpret_cast<void*>(t.next);
}

} // namespace

void* registerObject(std::shared_ptr<GdiObject> object) {
    Table& t = table();
    std::lock_guard<std::mutex> guard(t.lock);
    void* h = nextHandle(t);
    object->handle = h;
    t.objects.emplace(reinterpret_cast<std::uintptr_t>(h), std::move(object));
    return h;
}

void* registerDc(std::shared_ptr<DeviceContext> dc) {
    Table& t = table();
    std::lock_guard<std::mutex> guard(t.lock);
    void* h = nextHandle(t);
    dc->handle = static_cast<HDC>(h);
    t.dcs.emplace(reinterpret_cast<std::uintptr_t>(h), std::move(dc));
    return h;
}

std::shared_ptr<GdiObject> findObject(const void* handle) {
    Table& t = table();
    std::lock_guard<std::mutex> guard(t.lock);
    auto it = t.objects.find(reinterpret_cast<std::uintptr_t>(handle));
    if (it == t.objects.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return it->second;
}

std::shared_ptr<DeviceContext> findDc(HDC handle) {
    Table& t = table();
    std::lock_guard<std::mutex> guard(t.lock);
    auto it = t.dcs.find(reinterpret_cast<std::uintptr_t>(handle));
    if (it == t.dcs.end()) return nullptr;
    return it->second;
}

std::shared_ptr<DeviceContext> dcOf(HDC dc) {
    std::shared_ptr<DeviceContext> d = findDc(dc);
    if (!d) SetLastError(ERROR_INVALID_HANDLE);
    return d;
}

bool removeHandle(const void* handle) {
    Table& t = table();
    std::lock_guard<std::mutex> guard(t.lock);
    auto key = reinterpret_cast<std::uintptr_t>(handle);
    return t.objects.erase(key) + t.dcs.erase(key) > 0;
}

std::shared_ptr<GdiObject> stockObject(int index) {
    static std::shared_ptr<GdiObject>* stock = [] {
        auto* s = new std::shared_ptr<GdiObject>[18];
        auto brush = [](COLORREF c, UINT style) {
            auto b = std::make_shared<BrushObject>();
            b->color = c;
            b->style = style;
            return b;
        };
        auto pen = [](COLORREF c, UINT style) {
            auto p = std::make_shared<PenObject>();
            p->color = c;
            p->style = style;
            return p;
        };
        s[WHITE_BRUSH] = brush(RGB(255, 255, 255), BS_SOLID);
        s[LTGRAY_BRUSH] = brush(RGB(192, 192, 192), BS_SOLID);
        s[GRAY_BRUSH] = brush(RGB(128, 128, 128), BS_SOLID);
        s[DKGRAY_BRUSH] = brush(RGB(64, 64, 64), BS_SOLID);
        s[BLACK_BRUSH] = brush(RGB(0, 0, 0), BS_SOLID);
        s[NULL_BRUSH] = brush(0, BS_NULL);
        s[WHITE_PEN] = pen(RGB(255, 255, 255), PS_SOLID);
        s[BLACK_PEN] = pen(RGB(0, 0, 0), PS_SOLID);
        s[NULL_PEN] = pen(0, PS_NULL);
        // The user-interface fonts: a sans-serif face at the size whose average character is
        // 6 x 13 pixels, the dialog base units (fonts-dejavu-extra; the default face without it).
        for (int f : {ANSI_VAR_FONT, SYSTEM_FONT, DEVICE_DEFAULT_FONT, DEFAULT_GUI_FONT}) {
            auto font = std::make_shared<FontObject>();
            font->face = "DejaVu Sans Condensed";
            font->height = -11;
            s[f] = font;
        }
        for (int f : {OEM_FIXED_FONT, ANSI_FIXED_FONT, SYSTEM_FIXED_FONT}) {
            auto font = std::make_shared<FontObject>();
            font->face = "DejaVu Sans Mono";
            font->height = -11;
            s[f] = font;
        }
        auto pal = std::make_shared<PaletteObject>();
        for (const RGBQUAD& q : systemStaticColors())
            pal->entries.push_back(PALETTEENTRY{q.rgbRed, q.rgbGreen, q.rgbBlue, 0});
        s[DEFAULT_PALETTE] = pal;
        for (int i = 0; i < 18; ++i)
            if (s[i]) {
                s[i]->stock = true;
                registerObject(s[i]);
            }
        return s;
    }();
    if (index < 0 || index >= 18 || !stock[index]) return nullptr;
    return stock[index];
}

std::shared_ptr<BitmapObject> stockBitmap() {
    static std::shared_ptr<BitmapObject> bitmap = [] {
        auto b = std::make_shared<BitmapObject>();
        b->surface = Surface::create(1, 1, 1, true);
        b->surface->monoDdb = true;
        b->stock = true;
        registerObject(b);
        return b;
    }();
    return bitmap;
}

} // namespace sdgdi
