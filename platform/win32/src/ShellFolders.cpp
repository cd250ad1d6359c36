#include "win32/shlobj.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

BOOL SHGetSpecialFolderPathA(HWND, LPSTR path, int csidl, BOOL create) {
    if (!path) return FALSE;
    std::string folder;
    switch (csidl & ~CSIDL_FLAG_CREATE) {
    case CSIDL_APPDATA:
        if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config)
            folder = config;
        else if (const char* home = std::getenv("HOME"); home && *home)
            folder = std::string(home) + "/.config";
        break;
    case CSIDL_COMMON_APPDATA: {
        const char* dirs = std::getenv("XDG_CONFIG_DIRS");
        folder = dirs ? std::string(dirs).substr(0, std::string(dirs).find(':')) : std::string();
        if (folder.empty()) folder = "/etc/xdg";
        break;
    }
    default:
        break;
    }
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    if (folder.empty() || folder.size() >= std::size_t(MAX_PATH)) return FALSE;
    if (create || (csidl & CSIDL_FLAG_CREATE)) {
        std::error_code error;
        std::filesystem::create_directories(folder, error);
        if (!std::filesystem::is_directory(folder, error)) return FALSE;
    }
    std::memcpy(path, folder.c_str(), folder.size() + 1);
    return TRUE;
}

struct ITEMIDLIST {
    std::string path;
};

HRESULT SHGetSpecialFolderLocation(HWND owner, int csidl, LPITEMIDLIST* list) {
    if (!list) return E_INVALIDARG;
    *list = nullptr;
    char path[MAX_PATH];
    if (!SHGetSpecialFolderPathA(owner, path, csidl, FALSE)) return E_FAIL;
    *list = new ITEMIDLIST{path};
    return S_OK;
}

BOOL SHGetPathFromIDListA(LPCITEMIDLIST list, LPSTR path) {
    if (!path) return FALSE;
    path[0] = '\0';
    if (!list || list->path.size() >= std::size_t(MAX_PATH)) return FALSE;
    std::memcpy(path, list->path.c_str(), list->path.size() + 1);
    return TRUE;
}

void ILFree(LPITEMIDLIST list) {
    delete list;
}
