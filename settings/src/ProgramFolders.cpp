#include "settings/ProgramFolders.h"
#include "settings/ProgramFoldersTesting.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <unistd.h>

#include <mfc/CFile.h>
#include <mfc/CFileException.h>
#include <mfc/CWinApp.h>
#include <win32/fileio.h>
#include <win32/kernel.h>
#include <win32/module.h>
#include <win32/shlobj.h>

namespace fs = std::filesystem;

namespace {

std::string Native(const char* path) {
    std::string p = path ? path : "";
    for (char& c : p)
        if (c == '\\') c = '/';
    return p;
}

bool Readable(const std::string& path) {
    return ::access(path.c_str(), R_OK) == 0;
}

std::string ModulePath() {
    char path[4096];
    DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    return n > 0 && n < sizeof path ? std::string(path, n) : std::string();
}

std::string& ProgramDirOverride() {
    static std::string folder;
    return folder;
}

} // namespace

void SdSetShellProgramDir(const char* folder) {
    ProgramDirOverride() = folder ? folder : "";
    if (folder && !ProgramDirOverride().empty() && ProgramDirOverride().back() != '/')
        ProgramDirOverride() += '/';
}

CString GetProgramDir() {
    if (!ProgramDirOverride().empty()) return CString(ProgramDirOverride().c_str());
    std::string folder = ModulePath();
    std::string::size_type slash = folder.find_last_of('/');
    folder = slash == std::string::npos ? std::string(".") : folder.substr(0, slash);
    return CString((folder + "/").c_str());
}

CString GetProgramFileName() {
    std::string name = fs::path(ModulePath()).filename().string();
    std::string::size_type dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0) name.resize(dot);
    return CString(name.c_str());
}

CString GetDataFolder() {
    const int csidl =
        Readable(std::string(GetProgramDir()) + "CommonDir") ? CSIDL_COMMON_APPDATA : CSIDL_APPDATA;
    char base[MAX_PATH];
    if (!SHGetSpecialFolderPathA(nullptr, base, csidl, FALSE)) return GetProgramDir();
    std::string folder = std::string(base) + "/signdesk/";
    MakeDirectories(folder.c_str());
    return CString(folder.c_str());
}

CString GetDataFilePath(const char* name) {
    std::string file = Native(name);
    std::string path = std::string(GetDataFolder()) + file;
    if (!Readable(path))
        CopyProgramFileToData((std::string(GetProgramDir()) + file).c_str(), path.c_str());
    return CString(path.c_str());
}

void CopyProgramFileToData(const char* source, const char* destination) {
    std::string from = Native(source);
    std::string to = Native(destination);
    if (from == to || !Readable(from)) return;
    CFile in(from.c_str(), CFile::modeRead);
    std::string bytes;
    char block[8192];
    for (;;) {
        UINT n = in.Read(block, sizeof block);
        bytes.append(block, n);
        if (n < sizeof block) break;
    }
    in.Close();
    // Through a file beside the copy, renamed over it once complete: a copy cut short must
    // never be taken for the user's file.
    if (!SdReplaceFileContent(to.c_str(), bytes.data(), DWORD(bytes.size())))
        CFileException::ThrowOsError(LONG(GetLastError()), to.c_str());
}

CString EnsureDefaultFolder(const char* name) {
    std::string sub = Native(name);
    std::string path = std::string(GetDataFolder()) + sub;
    if (!Readable(path)) {
        MakeDirectories(path.c_str());
        std::error_code error;
        fs::path source = std::string(GetProgramDir()) + sub;
        if (fs::is_directory(source, error))
            fs::copy(source, path, fs::copy_options::recursive | fs::copy_options::skip_existing,
                     error);
    }
    return CString((path + "/").c_str());
}

void MakeDirectories(const char* path) {
    std::error_code error;
    std::string p = Native(path);
    if (!p.empty()) fs::create_directories(p, error);
}

CString MakeTempFileName(const char* prefix) {
    char folder[MAX_PATH];
    DWORD n = GetTempPathA(sizeof folder, folder);
    if (n == 0 || n >= sizeof folder) return CString();
    char file[MAX_PATH];
    if (GetTempFileNameA(folder, prefix ? prefix : "", 0, file) == 0) return CString();
    return CString(file);
}

CString GetProfileFileName() {
    CWinApp* app = AfxGetApp();
    return CString(app && app->m_pszProfileName ? app->m_pszProfileName : "");
}
