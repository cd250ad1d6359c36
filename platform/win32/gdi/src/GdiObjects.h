#pragma once
// Drawing objects and the handle table. Handles are never reused: a deleted handle stays
// stale for the life of the process, and every function given one fails with
// ERROR_INVALID_HANDLE. Objects are shared: a context keeps what it has selected alive after
// its handle is deleted.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <pixman.h>

#include "Surface.h"
#include "win32/wingdi.h"

namespace sdgdi {

class DeviceContext;

class GdiObject {
public:
    explicit GdiObject(DWORD type) : type(type) {}
    virtual ~GdiObject() = default;
    const DWORD type;
    void* handle = nullptr;
    bool stock = false;
};

class PenObject : public GdiObject {
public:
    PenObject() : GdiObject(OBJ_PEN) {}
    UINT style = PS_SOLID; // full style word: type, caps, joins, dash style
    int width = 0;         // logical units; 0 and 1 are one pixel
    COLORREF color = 0;
    // ExtCreatePen: the pen answers as an EXTLOGPEN, with its brush's style and hatch.
    bool extended = false;
    UINT brushStyle = BS_SOLID;
    DWORD hatch = 0;
    UINT dash() const { return style & PS_STYLE_MASK; }
};

class BrushObject : public GdiObject {
public:
    BrushObject() : GdiObject(OBJ_BRUSH) {}
    UINT style = BS_SOLID;
    COLORREF color = 0;
    int hatch = 0;
    std::shared_ptr<Surface> pattern; // a copy of the pattern bitmap
};

class BitmapObject : public GdiObject {
public:
    BitmapObject() : GdiObject(OBJ_BITMAP) {}
    std::shared_ptr<Surface> surface;
    bool dibSection = false;
    DeviceContext* selectedIn = nullptr;
};

class RegionObject : public GdiObject {
public:
    RegionObject() : GdiObject(OBJ_REGION) { pixman_region32_init(&region); }
    ~RegionObject() override { pixman_region32_fini(&region); }
    RegionObject(const RegionObject&) = delete;
    RegionObject& operator=(const RegionObject&) = delete;
    pixman_region32_t region;
};

class PaletteObject : public GdiObject {
public:
    PaletteObject() : GdiObject(OBJ_PAL) {}
    std::vector<PALETTEENTRY> entries;
};

// Fonts are filled in by the text layer; here they are only selectable.
class FontObject : public GdiObject {
public:
    FontObject() : GdiObject(OBJ_FONT) {}
    std::string face;
    int height = 0;
};

// ---- handle table
void* registerObject(std::shared_ptr<GdiObject> object);
void* registerDc(std::shared_ptr<DeviceContext> dc);
// Looks up a live handle; sets ERROR_INVALID_HANDLE and returns null otherwise.
std::shared_ptr<GdiObject> findObject(const void* handle);
template <class T> std::shared_ptr<T> findAs(const void* handle, DWORD type) {
    std::shared_ptr<GdiObject> o = findObject(handle);
    if (!o || o->type != type) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return std::static_pointer_cast<T>(o);
}
std::shared_ptr<DeviceContext> findDc(HDC dc);
bool removeHandle(const void* handle);
std::shared_ptr<GdiObject> stockObject(int index);
// The 1×1 monochrome bitmap of a fresh memory context.
std::shared_ptr<BitmapObject> stockBitmap();

// Helpers for the API functions: the last error and a result.
inline BOOL failWith(DWORD error) {
    SetLastError(error);
    return FALSE;
}

} // namespace sdgdi
