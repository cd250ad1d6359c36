#include "DataFolder.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include <win32/module.h>

namespace fs = std::filesystem;

namespace {

std::string DataFolder() {
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config)
        return std::string(config) + "/signdesk";
    if (const char* home = std::getenv("HOME"); home && *home)
        return std::string(home) + "/.config/signdesk";
    return {};
}

} // namespace

CString GetProgramDir() {
    char path[4096];
    DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder = n > 0 && n < sizeof path ? std::string(path, n) : std::string();
    std::string::size_type slash = folder.find_last_of("/\\");
    folder = slash == std::string::npos ? std::string(".") : folder.substr(0, slash);
    return CString((folder + "/").c_str());
}

CString GetDataFilePath(const char* name) {
    std::string file = name ? name : "";
    std::string programCopy = std::string(GetProgramDir()) + file;
    std::string folder = DataFolder();
    if (folder.empty()) return CString(programCopy.c_str());

    std::error_code error;
    fs::create_directories(folder, error);
    std::string path = folder + "/" + file;
    // A failed copy leaves the reader with its defaults, as a missing file does.
    if (!fs::exists(path, error) && fs::is_regular_file(programCopy, error))
        fs::copy_file(programCopy, path, error);
    return CString(path.c_str());
}
