// LoadLibrary and friends on top of the dynamic loader.

#include "ModuleTable.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstring>
#include <dirent.h>
#include <dlfcn.h>
#include <link.h>
#include <map>
#include <set>
#include <string>
#include <unistd.h>

#include "win32/ModuleTesting.h"
#include "win32/kernel.h"
#include "win32/module.h"
#include "win32/resource.h"

namespace {

constexpr UINT_PTR firstHandle = 0x10000000;
constexpr UINT_PTR handleStep = 0x10000; // the low 16 bits number a module's resources
constexpr std::uint32_t maxResourceEntries = 0xFFFE;

struct Module {
    void* dl = nullptr;
    std::string path;
    int references = 0;
    bool pinned = false; // the program, and modules loaded by the system loader
    bool resourcesChecked = false;
    const SdResourceDirectory* resources = nullptr;
};

struct ModuleState {
    std::recursive_mutex mutex;
    std::map<UINT_PTR, Module> modules;
    UINT_PTR nextHandle = firstHandle;
    UINT_PTR program = 0;
    std::set<std::string> missing;
    bool folderOverridden = false;
    std::string folderOverride;
    std::string lastError;
    HMODULE currentResources = nullptr; // null: the program
};

ModuleState& moduleState() {
    static auto* state = new ModuleState; // outlives static destructors of other modules
    return *state;
}

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}

std::string executablePath() {
    char buffer[4096];
    ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    return n > 0 ? std::string(buffer, size_t(n)) : std::string();
}

std::string realFolder() {
    std::string exe = executablePath();
    size_t slash = exe.rfind('/');
    return slash == std::string::npos ? std::string(".") : exe.substr(0, slash);
}

// "dir\X.DLL" -> "dir/X.so" (".ocx" controls likewise); "X" -> "X.so"; "X." -> "X"; other
// extensions stay.
std::string mapFileName(const char* name) {
    std::string s(name);
    std::replace(s.begin(), s.end(), '\\', '/');
    size_t start = s.rfind('/');
    start = start == std::string::npos ? 0 : start + 1;
    size_t dot = s.rfind('.');
    if (dot == std::string::npos || dot < start)
        s += ".so";
    else if (dot + 1 == s.size())
        s.pop_back();
    else if (lower(s.substr(dot)) == ".dll" || lower(s.substr(dot)) == ".ocx")
        s.replace(dot, std::string::npos, ".so");
    return s;
}

std::string baseName(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool hasFolder(const std::string& mapped) {
    return mapped.find('/') != std::string::npos;
}

std::string programFolder() {
    ModuleState& state = moduleState();
    return state.folderOverridden ? state.folderOverride : realFolder();
}

// The path to load: in the program folder unless a folder is given; a name differing only
// in case stands in for a missing exact one.
std::string resolvePath(const std::string& mapped) {
    std::string path = hasFolder(mapped) ? mapped : programFolder() + "/" + mapped;
    if (access(path.c_str(), F_OK) == 0) return path;
    size_t slash = path.rfind('/');
    std::string folder = slash == 0 ? "/" : path.substr(0, slash);
    std::string wanted = path.substr(slash + 1);
    if (DIR* dir = opendir(folder.c_str())) {
        while (dirent* entry = readdir(dir)) {
            if (strcasecmp(entry->d_name, wanted.c_str()) == 0) {
                path = folder + "/" + entry->d_name;
                break;
            }
        }
        closedir(dir);
    }
    return path;
}

Module* findModule(HMODULE module) {
    auto it = moduleState().modules.find(reinterpret_cast<UINT_PTR>(module));
    return it == moduleState().modules.end() ? nullptr : &it->second;
}

HMODULE addModule(Module module) {
    ModuleState& state = moduleState();
    UINT_PTR handle = state.nextHandle;
    state.nextHandle += handleStep;
    state.modules.emplace(handle, std::move(module));
    return reinterpret_cast<HMODULE>(handle);
}

HMODULE programModule() {
    ModuleState& state = moduleState();
    if (!state.program) {
        Module program;
        program.dl = dlopen(nullptr, RTLD_NOW);
        program.path = executablePath();
        program.pinned = true;
        state.program = reinterpret_cast<UINT_PTR>(addModule(std::move(program)));
    }
    return reinterpret_cast<HMODULE>(state.program);
}

// dlsym searches a module's dependencies too; only the module's own symbols count here.
void* ownSymbol(const Module& module, const char* name) {
    dlerror();
    void* symbol = dlsym(module.dl, name);
    if (!symbol || reinterpret_cast<UINT_PTR>(module.dl) ==
                       reinterpret_cast<UINT_PTR>(findModule(programModule())->dl))
        return symbol;
    link_map* own = nullptr;
    link_map* holder = nullptr;
    Dl_info info{};
    if (dlinfo(module.dl, RTLD_DI_LINKMAP, &own) != 0 ||
        !dladdr1(symbol, &info, reinterpret_cast<void**>(&holder), RTLD_DL_LINKMAP) ||
        holder != own)
        return nullptr;
    return symbol;
}

std::string pathOf(void* dl) {
    link_map* map = nullptr;
    if (dlinfo(dl, RTLD_DI_LINKMAP, &map) == 0 && map && map->l_name && *map->l_name)
        return map->l_name;
    return {};
}

void fail(DWORD error, std::string message) {
    moduleState().lastError = std::move(message);
    SetLastError(error);
}

} // namespace

namespace sdmodule {

ModuleLock lockModules() {
    return ModuleLock(moduleState().mutex);
}

HMODULE resourceModule(HMODULE module) {
    if (module) return module;
    HMODULE current = moduleState().currentResources;
    return current ? current : programModule();
}

void setCurrentResourceModule(HMODULE module) {
    moduleState().currentResources = module;
}

const SdResourceDirectory* resourceDirectory(HMODULE module) {
    Module* m = findModule(resourceModule(module));
    if (!m) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (!m->resourcesChecked) {
        m->resourcesChecked = true;
        auto* table =
            static_cast<const SdResourceDirectory*>(ownSymbol(*m, SD_RESOURCE_TABLE_SYMBOL));
        if (table && table->magic == SD_RESOURCE_MAGIC && table->version == SD_RESOURCE_VERSION &&
            table->count <= maxResourceEntries && (table->entries || table->count == 0))
            m->resources = table;
    }
    if (!m->resources) SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
    return m->resources;
}

} // namespace sdmodule

using namespace sdmodule;

HMODULE LoadLibraryA(LPCSTR fileName) {
    if (!fileName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    ModuleLock lock = lockModules();
    ModuleState& state = moduleState();
    std::string mapped = mapFileName(fileName);
    std::string given(fileName);
    if (given.empty() || given.back() == '/' || given.back() == '\\') {
        fail(ERROR_MOD_NOT_FOUND, std::string("no module name in \"") + fileName + "\"");
        return nullptr;
    }
    if (state.missing.count(lower(baseName(mapped)))) {
        fail(ERROR_MOD_NOT_FOUND, baseName(mapped) + ": marked missing");
        return nullptr;
    }
    std::string path = resolvePath(mapped);
    char canonical[PATH_MAX];
    if (!realpath(path.c_str(), canonical)) {
        fail(ERROR_MOD_NOT_FOUND, path + ": " + std::strerror(errno));
        return nullptr;
    }
    for (auto& [handle, module] : state.modules) {
        if (module.path == canonical && handle != state.program) {
            ++module.references;
            state.lastError.clear();
            return reinterpret_cast<HMODULE>(handle);
        }
    }
    dlerror();
    void* dl = dlopen(canonical, RTLD_NOW | RTLD_LOCAL);
    if (!dl) {
        const char* error = dlerror();
        fail(ERROR_MOD_NOT_FOUND, error ? error : path + ": cannot be loaded");
        return nullptr;
    }
    state.lastError.clear();
    for (auto& [handle, module] : state.modules) {
        if (module.dl == dl) { // the same file under another name
            dlclose(dl);
            ++module.references;
            return reinterpret_cast<HMODULE>(handle);
        }
    }
    Module module;
    module.dl = dl;
    module.path = canonical;
    module.references = 1;
    return addModule(std::move(module));
}

BOOL FreeLibrary(HMODULE handle) {
    ModuleLock lock = lockModules();
    ModuleState& state = moduleState();
    Module* module = findModule(handle);
    if (!module) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (module->pinned) return TRUE;
    if (--module->references > 0) return TRUE;
    void* dl = module->dl;
    state.modules.erase(reinterpret_cast<UINT_PTR>(handle));
    if (state.currentResources == handle) state.currentResources = nullptr;
    dlclose(dl);
    return TRUE;
}

FARPROC GetProcAddress(HMODULE handle, LPCSTR procName) {
    ModuleLock lock = lockModules();
    Module* module = findModule(handle ? handle : programModule());
    if (!module) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (procName && IS_INTRESOURCE(procName)) {
        WORD ordinal = WORD(reinterpret_cast<UINT_PTR>(procName));
        auto* table =
            static_cast<const SdOrdinalEntry*>(ownSymbol(*module, SD_ORDINAL_TABLE_SYMBOL));
        for (int i = 0; table && ordinal != 0 && i < 65535 && table[i].ordinal != 0; ++i)
            if (table[i].ordinal == ordinal && table[i].entry) return table[i].entry;
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    if (!procName) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    void* symbol = ownSymbol(*module, procName);
    if (!symbol) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    return reinterpret_cast<FARPROC>(symbol);
}

HMODULE GetModuleHandleA(LPCSTR moduleName) {
    ModuleLock lock = lockModules();
    ModuleState& state = moduleState();
    if (!moduleName) return programModule();
    std::string mapped = mapFileName(moduleName);
    std::string wanted = lower(baseName(mapped));
    std::string path;
    if (hasFolder(mapped)) {
        char canonical[PATH_MAX];
        if (!realpath(resolvePath(mapped).c_str(), canonical)) {
            SetLastError(ERROR_MOD_NOT_FOUND);
            return nullptr;
        }
        path = canonical;
    }
    for (auto& [handle, module] : state.modules) {
        if (handle == state.program) continue;
        if (hasFolder(mapped) ? module.path == path : lower(baseName(module.path)) == wanted)
            return reinterpret_cast<HMODULE>(handle);
    }
    // A module the system loader brought in with the program.
    std::string candidates[] = {hasFolder(mapped) ? path : resolvePath(mapped), mapped};
    for (const std::string& candidate : candidates) {
        if (candidate.empty()) continue;
        if (void* dl = dlopen(candidate.c_str(), RTLD_NOW | RTLD_NOLOAD)) {
            for (auto& [handle, module] : state.modules) {
                if (module.dl == dl) {
                    dlclose(dl);
                    return reinterpret_cast<HMODULE>(handle);
                }
            }
            Module module;
            module.dl = dl;
            module.path = pathOf(dl);
            module.pinned = true;
            return addModule(std::move(module));
        }
    }
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
}

DWORD GetModuleFileNameA(HMODULE handle, LPSTR fileName, DWORD size) {
    ModuleLock lock = lockModules();
    Module* module = findModule(handle ? handle : programModule());
    if (!module) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return 0;
    }
    if (!fileName || size == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    const std::string& path = module->path;
    if (path.size() < size) {
        std::memcpy(fileName, path.c_str(), path.size() + 1);
        return DWORD(path.size());
    }
    std::memcpy(fileName, path.data(), size - 1);
    fileName[size - 1] = '\0';
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return size;
}

void SdSetModuleMissing(LPCSTR fileName, bool missing) {
    if (!fileName) return;
    ModuleLock lock = lockModules();
    std::string key = lower(baseName(mapFileName(fileName)));
    if (missing)
        moduleState().missing.insert(key);
    else
        moduleState().missing.erase(key);
}

void SdSetProgramFolder(LPCSTR folder) {
    ModuleLock lock = lockModules();
    ModuleState& state = moduleState();
    state.folderOverridden = folder != nullptr;
    state.folderOverride = folder ? folder : "";
}

std::string SdProgramFolder() {
    ModuleLock lock = lockModules();
    return programFolder();
}

std::string SdLastLoadError() {
    ModuleLock lock = lockModules();
    return moduleState().lastError;
}

void SdResetModuleTesting() {
    ModuleLock lock = lockModules();
    ModuleState& state = moduleState();
    state.missing.clear();
    state.folderOverridden = false;
    state.folderOverride.clear();
    state.lastError.clear();
    state.currentResources = nullptr;
}
