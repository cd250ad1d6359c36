#include "Installer.h"

#include <algorithm>
#include <dirent.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

#include <win32/ProfileLock.h>
#include <win32/controls.h>
#include <win32/dialog.h>
#include <win32/kernel.h>
#include <win32/shlobj.h>

#include "DeviceText.h"
#include "InstallerDialogs.h"
#include "InstallerFiles.h"

namespace {

std::string upper(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    return text;
}

void fillBox(HWND dialog, int id, const std::vector<std::string>& names) {
    for (const std::string& name : names)
        SendDlgItemMessageA(dialog, id, LB_ADDSTRING, 0, LPARAM(name.c_str()));
}

} // namespace

bool ContainsName(const std::vector<std::string>& names, const std::string& name) {
    return std::any_of(names.begin(), names.end(),
                       [&](const std::string& known) { return DeviceText::SameName(known, name); });
}

void RemoveName(std::vector<std::string>& names, const std::string& name) {
    std::erase_if(names,
                  [&](const std::string& known) { return DeviceText::SameName(known, name); });
}

std::vector<std::string> ProgramCandidates(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return names;
    while (dirent* entry = ::readdir(dir)) {
        std::string name = entry->d_name;
        std::string path = folder + name;
        struct stat st;
        if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || ::access(path.c_str(), X_OK))
            continue;
        std::string key = upper(name);
        if (key.find("PLOT") != std::string::npos || key.find("CUTTER") != std::string::npos ||
            key.find("SPOOL") != std::string::npos)
            continue;
        // A program of the suite loads its resource module from beside itself.
        if (!FileExists(path + ".so")) continue;
        names.push_back(name);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

void Installer::ShowError(HWND owner, int text) {
    MessageBoxA(owner, texts[text].c_str(), texts[CutterTexts::ErrorTitle].c_str(), MB_OK);
}

void Installer::Fail(const std::string& why) {
    failed = true;
    if (!failure.empty()) failure += "; ";
    failure += why;
}

std::string Installer::FindDataFolder(HWND owner) {
    if (programName.empty()) {
        std::vector<std::string> candidates = ProgramCandidates(programFolder);
        if (candidates.size() == 1)
            programName = candidates.front();
        else if (candidates.empty())
            programName = "signdesk"; // nothing to choose from: the suite's own folder
        else
            programName = SelectProgram(owner, candidates, texts);
    }
    const int csidl =
        FileExists(FilePath(programFolder, "CommonDir")) ? CSIDL_COMMON_APPDATA : CSIDL_APPDATA;
    LPITEMIDLIST list = nullptr;
    char base[MAX_PATH];
    bool known =
        SHGetSpecialFolderLocation(owner, csidl, &list) == S_OK && SHGetPathFromIDListA(list, base);
    ILFree(list);
    if (!known) return programFolder;
    return std::string(base) + "/" + programName + "/";
}

std::string Installer::DeviceFolder(HWND owner) {
    if (setup) return programFolder;
    std::string folder = FindDataFolder(owner);
    // As the plot library does on first use: the user's copy starts as the shipped file.
    std::string device = FilePath(folder, "Devices.ini");
    std::string shipped = FilePath(programFolder, "Devices.ini");
    if (!FileExists(device) && FileExists(shipped) && device != shipped) {
        std::string bytes;
        if (ReadWholeFile(shipped, bytes) && !ReplaceWholeFile(device, bytes))
            Fail("cannot copy " + shipped + " to " + device);
    }
    return folder;
}

bool Installer::FillLists(HWND dialog) {
    SendDlgItemMessageA(dialog, 100, LB_RESETCONTENT, 0, 0);
    SendDlgItemMessageA(dialog, 101, LB_RESETCONTENT, 0, 0);
    installed.clear();
    baseline.clear();

    std::string master = FilePath(programFolder, "Devices.mst");
    std::string bytes;
    if (!FileExists(master) || !ReadWholeFile(master, bytes)) {
        std::string text =
            texts[CutterTexts::DefinitionMissing] + "\r\n" + texts[CutterTexts::WillClose];
        MessageBoxA(dialog, text.c_str(), texts[CutterTexts::ErrorTitle].c_str(), MB_OK);
        return false;
    }
    fillBox(dialog, 100, DeviceText(bytes).ListedNames());

    std::string device = FilePath(DeviceFolder(dialog), "Devices.ini");
    if (!FileExists(device) || !ReadWholeFile(device, bytes)) {
        // The dialog stays open with an empty list, so the message does not say it closes.
        MessageBoxA(dialog, texts[CutterTexts::DefinitionMissing].c_str(),
                    texts[CutterTexts::ErrorTitle].c_str(), MB_OK);
        return true;
    }
    installed = DeviceText(bytes).ListedNames();
    baseline = installed;
    fillBox(dialog, 101, installed);
    return true;
}

bool Installer::UpdateDeviceFile(const std::string& folder, bool sizeOverride) {
    const std::string path = FilePath(folder, "Devices.ini");
    const std::string backup = FilePath(folder, "Devices.old");
    // The lock every writer of the file takes, the main program's profile writes included.
    ProfileLock lock(path.c_str());
    if (!lock.Held()) {
        Fail("cannot lock " + path);
        ShowError(nullptr, CutterTexts::WriteFailed);
        return false;
    }
    RemoveLeftoverTemporaries(path);
    RemoveLeftoverTemporaries(backup);

    std::string bytes;
    const bool exists = !lock.Created();
    if (!ReadWholeFile(path, bytes)) {
        Fail("cannot read " + path);
        ShowError(nullptr, CutterTexts::WriteFailed);
        return false;
    }
    DeviceText file(bytes);

    std::vector<std::string> remove, add;
    for (const std::string& name : file.ListedNames())
        if (ContainsName(baseline, name) && !ContainsName(installed, name)) remove.push_back(name);
    for (const std::string& name : installed)
        if (!file.HasSection(name)) add.push_back(name);
    if (remove.empty() && add.empty()) return true;

    // The backup is a copy: the device file itself is only ever replaced whole.
    if (exists && (!backupMade || !remove.empty())) {
        if (!ReplaceWholeFile(backup, bytes)) {
            Fail("cannot write " + backup);
            ShowError(nullptr, CutterTexts::WriteFailed);
            return false;
        }
        backupMade = true;
    }

    file.RemoveSections(remove);
    std::string masterBytes;
    ReadWholeFile(FilePath(programFolder, "Devices.mst"), masterBytes);
    DeviceText master(masterBytes);
    const bool override = sizeOverride && texts.Number(CutterTexts::MediaWidth) != 0;
    for (const std::string& name : add) {
        std::vector<DeviceLine> section = master.SectionLines(name);
        if (section.empty()) continue;
        if (override) {
            for (std::size_t i = 1; i < section.size(); ++i) {
                std::string key = DeviceText::KeyName(section[i].raw);
                if (DeviceText::SameName(key, "MaxX"))
                    section[i].raw =
                        "MaxX=" + std::to_string(texts.Number(CutterTexts::MediaHeight));
                else if (DeviceText::SameName(key, "MaxY"))
                    section[i].raw =
                        "MaxY=" + std::to_string(texts.Number(CutterTexts::MediaWidth));
            }
        }
        file.AppendSection(std::move(section));
    }
    if (!ReplaceWholeFile(path, file.Text())) {
        Fail("cannot write " + path);
        ShowError(nullptr, CutterTexts::WriteFailed);
        return false;
    }
    baseline = file.ListedNames();
    return true;
}
