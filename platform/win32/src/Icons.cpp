// Icons of resource modules: one object per module and resource, made on first load; a handle
// is the object's address.

#include <cctype>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>

#include "WindowTable.h"
#include "win32/icon.h"
#include "win32/kernel.h"
#include "win32/resource.h"

namespace {

struct IconObject {
    HMODULE module = nullptr;
    UINT id = 0; // 0 for an icon with a name
    std::string name;
};

using IconKey = std::pair<HMODULE, std::string>; // "#id" or the upper-case name

std::map<IconKey, std::unique_ptr<IconObject>>& moduleIcons() {
    static std::map<IconKey, std::unique_ptr<IconObject>> icons;
    return icons;
}

} // namespace

HICON LoadIconA(HINSTANCE instance, LPCSTR name) {
    if (!instance || !name ||
        (!FindResourceA(instance, name, RT_GROUP_ICON) &&
         !FindResourceA(instance, name, RT_ICON))) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    IconObject icon{instance, 0, {}};
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
    auto& slot = moduleIcons()[{instance, key}];
    if (!slot) slot = std::make_unique<IconObject>(icon);
    return reinterpret_cast<HICON>(slot.get());
}

UINT SdIconId(HICON icon) {
    if (!icon) return 0;
    sduser::UserLock lock = sduser::lockUser();
    for (const auto& [key, object] : moduleIcons())
        if (reinterpret_cast<HICON>(object.get()) == icon) return object->id;
    return 0;
}
