// Resources of resource modules: strings and generic entries.

#include <cstdlib>
#include <cstring>
#include <strings.h>

#include "ModuleTable.h"
#include "win32/kernel.h"
#include "win32/resource.h"

using namespace sdmodule;

namespace {

constexpr std::uint32_t stringType = 6;
constexpr UINT_PTR resourceIndexMask = 0xFFFF;

// A resource type or name: a number (MAKEINTRESOURCE or "#123") or a name.
struct ResourceKey {
    bool numeric = false;
    std::uint32_t number = 0;
    const char* name = nullptr;
};

ResourceKey keyOf(LPCSTR value) {
    ResourceKey key;
    if (IS_INTRESOURCE(value)) {
        key.numeric = true;
        key.number = std::uint32_t(reinterpret_cast<UINT_PTR>(value));
        return key;
    }
    if (value[0] == '#' && value[1] &&
        std::strspn(value + 1, "0123456789") == std::strlen(value + 1) &&
        std::strlen(value + 1) <= 5) {
        unsigned long n = std::strtoul(value + 1, nullptr, 10);
        if (n <= 0xFFFF) {
            key.numeric = true;
            key.number = std::uint32_t(n);
            return key;
        }
    }
    key.name = value;
    return key;
}

bool matches(const SdResourceEntry& entry, const ResourceKey& id) {
    if (id.numeric) return !entry.name && entry.id == id.number;
    return entry.name && strcasecmp(entry.name, id.name) == 0;
}

const SdResourceEntry* findEntry(const SdResourceDirectory* table, std::uint32_t type,
                                 const ResourceKey& id, std::uint32_t* index) {
    for (std::uint32_t i = 0; i < table->count; ++i) {
        if (table->entries[i].type == type && matches(table->entries[i], id)) {
            if (index) *index = i;
            return &table->entries[i];
        }
    }
    return nullptr;
}

// An HRSRC is the module handle with the entry's index + 1 in the low 16 bits.
const SdResourceEntry* entryOf(HRSRC resource) {
    UINT_PTR value = reinterpret_cast<UINT_PTR>(resource);
    UINT_PTR index = value & resourceIndexMask;
    HMODULE module = reinterpret_cast<HMODULE>(value & ~resourceIndexMask);
    if (!module || index == 0) return nullptr;
    const SdResourceDirectory* table = resourceDirectory(module);
    if (!table || index > table->count) return nullptr;
    return &table->entries[index - 1];
}

} // namespace

int LoadStringA(HINSTANCE instance, UINT id, LPSTR buffer, int size) {
    if (!buffer || size <= 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    buffer[0] = '\0';
    ModuleLock lock = lockModules();
    const SdResourceDirectory* table = resourceDirectory(instance);
    if (!table) return 0;
    const SdResourceEntry* entry =
        id <= 0xFFFF ? findEntry(table, stringType, ResourceKey{true, id, nullptr}, nullptr)
                     : nullptr;
    if (!entry || !entry->data) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return 0;
    }
    size_t count = std::min<size_t>(entry->size, size_t(size) - 1);
    std::memcpy(buffer, entry->data, count);
    buffer[count] = '\0';
    return int(count);
}

HRSRC FindResourceA(HMODULE module, LPCSTR name, LPCSTR type) {
    if (!name || !type) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    ModuleLock lock = lockModules();
    HMODULE owner = resourceModule(module);
    const SdResourceDirectory* table = resourceDirectory(owner);
    if (!table) return nullptr;
    ResourceKey typeKey = keyOf(type);
    if (!typeKey.numeric) { // resource types are numbers only
        SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
        return nullptr;
    }
    std::uint32_t index = 0;
    if (!findEntry(table, typeKey.number, keyOf(name), &index)) {
        bool typeKnown = false;
        for (std::uint32_t i = 0; i < table->count; ++i)
            typeKnown = typeKnown || table->entries[i].type == typeKey.number;
        SetLastError(typeKnown ? ERROR_RESOURCE_NAME_NOT_FOUND : ERROR_RESOURCE_TYPE_NOT_FOUND);
        return nullptr;
    }
    return reinterpret_cast<HRSRC>(reinterpret_cast<UINT_PTR>(owner) | (index + 1));
}

HGLOBAL LoadResource(HMODULE, HRSRC resource) {
    static const char empty = 0;
    ModuleLock lock = lockModules();
    const SdResourceEntry* entry = entryOf(resource);
    if (!entry) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return const_cast<void*>(entry->data ? entry->data : &empty);
}

LPVOID LockResource(HGLOBAL resourceData) {
    return resourceData;
}

DWORD SizeofResource(HMODULE, HRSRC resource) {
    ModuleLock lock = lockModules();
    const SdResourceEntry* entry = entryOf(resource);
    if (!entry) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    return entry->size;
}

BOOL FreeResource(HGLOBAL) {
    return FALSE;
}

void SdSetResourceModule(HINSTANCE module) {
    ModuleLock lock = lockModules();
    setCurrentResourceModule(module);
}

HINSTANCE SdGetResourceModule() {
    ModuleLock lock = lockModules();
    return resourceModule(nullptr);
}
