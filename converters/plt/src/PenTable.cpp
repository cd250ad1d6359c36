#include "PenTable.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>

#include "win32/kernel.h"
#include "win32/module.h"
#include "win32/shlobj.h"

namespace {

constexpr const char* PenFileName = "PLTPENS.INI";

bool IsFile(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

} // namespace

std::string PenTable::DefaultFile() {
    char appData[MAX_PATH];
    if (SHGetSpecialFolderPathA(nullptr, appData, CSIDL_APPDATA, FALSE)) {
        std::string settings = std::string(appData) + "/signdesk/" + PenFileName;
        if (IsFile(settings)) return settings;
    }

    char program[4096];
    DWORD n = GetModuleFileNameA(nullptr, program, sizeof program);
    std::string folder = n > 0 && n < sizeof program ? std::string(program, n) : std::string();
    std::string::size_type slash = folder.find_last_of("/\\");
    folder = slash == std::string::npos ? std::string(".") : folder.substr(0, slash);
    return folder + "/" + PenFileName;
}

std::string PenTable::Colour(long pen) const {
    char key[32];
    std::snprintf(key, sizeof key, "Pen%ld", pen);
    char colour[20];
    GetPrivateProfileStringA("HPGL Pens", key, "R0G0B0", colour, sizeof colour, file_.c_str());
    return colour;
}
