// Icons: the system's (one object per IDI_ id) and those of resource modules (one shared object
// per module, resource and size, made on first load; LoadImage without LR_SHARED makes one
// per call). A handle is the object's address.

#include <cctype>
#include <cstdlib>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <tuple>

#include "WindowTable.h"
#include "win32/icon.h"
#include "win32/kernel.h"
#include "win32/resource.h"

namespace {

struct IconObject {
    HMODULE module = nullptr; // null for the system's
    UINT id = 0;              // 0 for an icon with a name
    std::string name;
    int cx = 0, cy = 0;
};

IconObject systemIcons[] = {{nullptr, 32512, {}, 0, 0}, {nullptr, 32513, {}, 0, 0},
                            {nullptr, 32514, {}, 0, 0}, {nullptr, 32515, {}, 0, 0},
                            {nullptr, 32516, {}, 0, 0}, {nullptr, 32517, {}, 0, 0}};

// Module, "#id" or the upper-case name, size.
using IconKey = std::tuple<HMODULE, std::string, int, int>;

std::map<IconKey, std::unique_ptr<IconObject>>& sharedIcons() {
    static auto* icons = new std::map<IconKey, std::unique_ptr<IconObject>>;
    return *icons;
}

std::set<IconObject*>& ownIcons() {
    static auto* icons = new std::set<IconObject*>;
    return *icons;
}

HICON handleOf(IconObject* object) {
    return reinterpret_cast<HICON>(object);
}

// The object of a handle; the user lock is held.
IconObject* objectOf(HICON icon) {
    if (!icon) return nullptr;
    for (IconObject& c : systemIcons)
        if (handleOf(&c) == icon) return &c;
    auto* object = reinterpret_cast<IconObject*>(icon);
    if (ownIcons().count(object)) return object;
    for (const auto& [key, shared] : sharedIcons())
        if (shared.get() == object) return object;
    return nullptr;
}

HICON systemIcon(LPCSTR name) {
    if (IS_INTRESOURCE(name))
        for (IconObject& c : systemIcons)
            if (c.id == reinterpret_cast<UINT_PTR>(name)) return handleOf(&c);
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
}

} // namespace

HICON SdLoadIconImage(HINSTANCE instance, LPCSTR name, int cx, int cy, BOOL shared) {
    if (!instance) return systemIcon(name);
    if (!name || (!FindResourceA(instance, name, RT_GROUP_ICON) &&
                  !FindResourceA(instance, name, RT_ICON))) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    IconObject icon{instance, 0, {}, cx < 0 ? 0 : cx, cy < 0 ? 0 : cy};
    std::string key;
    if (IS_INTRESOURCE(name) || (name[0] == '#' && std::isdigit((unsigned char)name[1]))) {
        icon.id = IS_INTRESOURCE(name) ? UINT(reinterpret_cast<ULONG_PTR>(name))
                                       : UINT(std::strtoul(name + 1, nullptr, 10));
        key = "#" + std::to_string(icon.id);
    } else {
        for (const char* p = name; *p; ++p)
            icon.name += char(toupper(static_cast<unsigned char>(*p)));
        key = icon.name;
    }
    sduser::UserLock lock = sduser::lockUser();
    if (!shared) {
        auto* object = new IconObject(icon);
        ownIcons().insert(object);
        return handleOf(object);
    }
    auto& slot = sharedIcons()[{instance, key, icon.cx, icon.cy}];
    if (!slot) slot = std::make_unique<IconObject>(icon);
    return handleOf(slot.get());
}

HICON LoadIconA(HINSTANCE instance, LPCSTR name) {
    return SdLoadIconImage(instance, name, 0, 0, TRUE);
}

BOOL DestroyIcon(HICON icon) {
    sduser::UserLock lock = sduser::lockUser();
    IconObject* object = objectOf(icon);
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (ownIcons().erase(object)) delete object;
    return TRUE;
}

UINT SdIconId(HICON icon) {
    sduser::UserLock lock = sduser::lockUser();
    const IconObject* object = objectOf(icon);
    return object ? object->id : 0;
}

BOOL SdIconSourceOf(HICON icon, SdIconSource* source) {
    sduser::UserLock lock = sduser::lockUser();
    const IconObject* object = objectOf(icon);
    if (!object || !source) return FALSE;
    source->module = object->module;
    source->id = object->id;
    source->name = object->name.empty() ? nullptr : object->name.c_str();
    source->cx = object->cx;
    source->cy = object->cy;
    return TRUE;
}
