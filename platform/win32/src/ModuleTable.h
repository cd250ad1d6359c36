#pragma once
// Loaded modules by handle. Handles are ids (multiples of 0x10000 from 0x10000000), never
// reused, so a stale or made-up handle is simply not found.

#include <mutex>

#include "win32/ResourceTable.h"
#include "win32/base.h"

namespace sdmodule {

using ModuleLock = std::unique_lock<std::recursive_mutex>;
ModuleLock lockModules();

// The lock must be held for these. A null module is the current resource module.
HMODULE resourceModule(HMODULE module);
void setCurrentResourceModule(HMODULE module); // null: the program
// The module's validated resource directory; null for an unknown module or one without
// a valid table (ERROR_INVALID_HANDLE or ERROR_RESOURCE_DATA_NOT_FOUND is set).
const SdResourceDirectory* resourceDirectory(HMODULE module);

} // namespace sdmodule
