#pragma once
// One run of the cutter installer: its mode, folders, texts and the installed list, and the
// operations its dialogs start.

#include <string>
#include <vector>

#include <win32/user.h>

#include "CutterTexts.h"

struct Installer {
    // Set-up mode: the command line named the installed suite's folder and the word; else
    // maintenance mode on the user's data folder.
    bool setup = false;
    std::string word;          // names the main program's settings file
    std::string programFolder; // every folder ends with '/'
    std::string windowsFolder;
    std::string programName; // found once per run (FindDataFolder)
    CutterTexts texts;
    HINSTANCE resources = nullptr; // the installer's own: its icon

    // The installed list: the device file's sections as read, plus those added, minus those
    // removed, in order.
    std::vector<std::string> installed;
    // The device file's sections when the lists were last filled: an update removes only
    // those of them that the user removed, never sections that appeared meanwhile.
    std::vector<std::string> baseline;
    bool backupMade = false; // Devices.old written in this run
    bool failed = false;     // a file was not written (exit status 1)
    std::string failure;     // why, for standard error

    // The folder of the device file this run edits.
    std::string DeviceFolder(HWND owner);
    // The data folder: the user's (or with "CommonDir" the shared) application-data folder
    // + the program name + '/'; the program folder when the special folder is unknown.
    std::string FindDataFolder(HWND owner);

    // Fills the list boxes (ids 100, 101) and the installed list; false when the master list
    // is missing (the caller closes its dialog).
    bool FillLists(HWND dialog);
    // Brings the device file of `folder` in step with the installed list.
    bool UpdateDeviceFile(const std::string& folder, bool sizeOverride);

    void WritePlotSettings(const std::string& activeCutter);
    void WriteProgramSettings();
    void WriteSpoolerSettings(const std::string& activeCutter);
    void RefreshSpoolerDevices();

    // Modal error box with the title text 17.
    void ShowError(HWND owner, int text);
    void Fail(const std::string& why);
};

// The installed list helpers: whole names, without case.
bool ContainsName(const std::vector<std::string>& names, const std::string& name);
void RemoveName(std::vector<std::string>& names, const std::string& name);

// The program candidates of a folder: executable regular files with their resource module
// ("NAME.so") beside them, names containing PLOT, CUTTER or SPOOL (any case) passed over;
// sorted.
std::vector<std::string> ProgramCandidates(const std::string& folder);
