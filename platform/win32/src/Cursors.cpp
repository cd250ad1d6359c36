// Cursors: the system's (one object per IDC_ id) and those of resource modules (one object
// per module and resource, made on first load). A handle is the object's address; headless
// the cursor shown is only remembered, and tests read back which one it is.

#include <map>
#include <memory>
#include <string>
#include <strings.h>

#include "WindowTable.h"
#include "win32/UserTesting.h"
#include "win32/kernel.h"
#include "win32/resource.h"

namespace {

struct CursorObject {
    HMODULE module = nullptr; // null for the system's
    UINT id = 0;              // 0 for a cursor with a name
    std::string name;
};

CursorObject systemCursors[] = {{nullptr, 32512, {}}, {nullptr, 32513, {}}, {nullptr, 32514, {}},
                                {nullptr, 32515, {}}, {nullptr, 32516, {}}, {nullptr, 32642, {}},
                                {nullptr, 32643, {}}, {nullptr, 32644, {}}, {nullptr, 32645, {}},
                                {nullptr, 32646, {}}, {nullptr, 32648, {}}, {nullptr, 32649, {}},
                                {nullptr, 32650, {}}};

struct ModuleCursorKey {
    HMODULE module;
    UINT id;
    std::string name; // upper case
    bool operator<(const ModuleCursorKey& o) const {
        if (module != o.module) return module < o.module;
        if (id != o.id) return id < o.id;
        return name < o.name;
    }
};

std::map<ModuleCursorKey, std::unique_ptr<CursorObject>>& moduleCursors() {
    static auto* cursors = new std::map<ModuleCursorKey, std::unique_ptr<CursorObject>>;
    return *cursors;
}

const CursorObject* objectOf(HCURSOR cursor) {
    if (!cursor) return nullptr;
    for (const CursorObject& c : systemCursors)
        if (reinterpret_cast<HCURSOR>(const_cast<CursorObject*>(&c)) == cursor) return &c;
    sduser::UserLock lock = sduser::lockUser();
    for (const auto& [key, c] : moduleCursors())
        if (reinterpret_cast<HCURSOR>(c.get()) == cursor) return c.get();
    return nullptr;
}

} // namespace

HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name) {
    if (instance == nullptr) {
        const ULONG_PTR id = reinterpret_cast<ULONG_PTR>(name);
        if (IS_INTRESOURCE(name))
            for (CursorObject& c : systemCursors)
                if (c.id == id) return reinterpret_cast<HCURSOR>(&c);
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    if (!FindResourceA(instance, name, RT_GROUP_CURSOR) && !FindResourceA(instance, name, RT_CURSOR)) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    ModuleCursorKey key{instance, 0, {}};
    if (IS_INTRESOURCE(name)) {
        key.id = UINT(reinterpret_cast<ULONG_PTR>(name));
    } else {
        key.name = name;
        for (char& ch : key.name) ch = char(toupper(static_cast<unsigned char>(ch)));
    }
    sduser::UserLock lock = sduser::lockUser();
    auto& slot = moduleCursors()[key];
    if (!slot) slot = std::make_unique<CursorObject>(CursorObject{instance, key.id, key.name});
    return reinterpret_cast<HCURSOR>(slot.get());
}

UINT SdCursorId(HCURSOR cursor) {
    const CursorObject* c = objectOf(cursor);
    return c ? c->id : 0;
}

UINT SdShownCursorId() {
    return SdCursorId(GetCursor());
}
