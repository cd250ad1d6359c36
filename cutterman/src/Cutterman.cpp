#include "Cutterman.h"

#include <cstdio>

#include <settings/ProgramFolders.h>
#include <win32/DialogTesting.h>
#include <win32/kernel.h>
#include <win32/module.h>
#include <win32/shlobj.h>
#include <win32/user.h>

#include "Installer.h"
#include "InstallerDialogs.h"
#include "InstallerFiles.h"

namespace {

std::string trimRight(std::string text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.pop_back();
    return text;
}

std::string native(std::string path) {
    for (char& c : path)
        if (c == '\\') c = '/';
    return path;
}

std::string withSlash(std::string folder) {
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

void loadTexts(Installer& in) {
    std::string bytes;
    std::string path = FilePath(in.programFolder, "Cutters.txt");
    if (!FileExists(path) || !ReadWholeFile(path, bytes)) {
        MessageBoxA(nullptr, "Text definition file missing\n The program will now use default text",
                    "Missing File", MB_OK);
        return;
    }
    in.texts.Parse(bytes);
}

// The lock of the run: in the user's settings folder, so that tests with folders of their own
// do not meet.
std::string runLockPath(const std::string& fallback) {
    char base[MAX_PATH];
    if (SHGetSpecialFolderPathA(nullptr, base, CSIDL_APPDATA, FALSE))
        return std::string(base) + "/signdesk/cutterman.lock";
    return fallback + "cutterman.lock";
}

} // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine line;
    if (arguments.empty()) return line;
    line.setup = true;
    if (arguments.size() == 2) {
        line.folder = arguments[0];
        line.word = arguments[1];
    } else if (arguments.size() == 1) {
        const std::string& text = arguments[0];
        const bool windows = text.find('\\') != std::string::npos;
        std::size_t slash = windows ? text.find('/') : text.rfind('/');
        if (slash == std::string::npos) {
            line.valid = false;
            return line;
        }
        line.folder = trimRight(text.substr(0, slash));
        line.word = text.substr(slash + 1);
        if (windows) {
            line.word = line.word.substr(0, line.word.find('/'));
            if (line.folder.size() >= 2 && line.folder[1] == ':') line.folder.erase(0, 2);
        }
        if (!windows && line.folder.empty() && slash == 0) line.folder.push_back('/');
    } else {
        line.valid = false;
        return line;
    }
    line.folder = native(line.folder);
    line.valid = !line.folder.empty() && !line.word.empty() &&
                 line.word.find('/') == std::string::npos &&
                 line.word.find('\\') == std::string::npos;
    return line;
}

int RunCutterman(const std::vector<std::string>& arguments) {
    CommandLine line = ParseCommandLine(arguments);
    if (!line.valid) {
        std::fprintf(stderr, "cutterman: bad command line; use: cutterman [FOLDER/WORD]\n");
        return 1;
    }
    Installer in;
    in.setup = line.setup;
    in.word = line.word;
    char windows[MAX_PATH];
    UINT n = GetWindowsDirectoryA(windows, sizeof windows);
    in.windowsFolder = withSlash(n > 0 && n < sizeof windows ? windows : ".");
    if (in.setup) {
        if (!SetCurrentDirectoryA(line.folder.c_str())) {
            std::fprintf(stderr, "cutterman: bad command line: cannot change to the folder %s\n",
                         line.folder.c_str());
            return 1;
        }
        char current[4096];
        DWORD length = GetCurrentDirectoryA(sizeof current, current);
        in.programFolder = withSlash(length > 0 && length < sizeof current ? current : ".");
    } else {
        in.programFolder = std::string(GetProgramDir());
    }

    RunLock lock(runLockPath(in.programFolder));
    if (!lock.Held()) {
        std::fprintf(stderr, "cutterman: another cutterman run is in progress\n");
        return 1;
    }

    loadTexts(in);
    // The icon lies in the installer's resource module, beside the program itself.
    in.resources = LoadLibraryA("cutterman-res.dll");
    const int unanswered = SdUnscriptedDialogCount();
    RunInstallerDialog(in);
    const bool nobody = !SdDisplayActive() && SdUnscriptedDialogCount() > unanswered;
    in.RefreshSpoolerDevices();

    if (in.resources) FreeLibrary(in.resources);
    if (in.failed) {
        std::fprintf(stderr, "cutterman: %s\n", in.failure.c_str());
        return 1;
    }
    if (nobody) {
        std::fprintf(stderr, "cutterman: no display and no dialog script: nothing was changed\n");
        return 3;
    }
    return 0;
}
