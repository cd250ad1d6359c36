#pragma once
// The installer's three dialogs, built from in-memory templates. Each has a window class of
// its own, so that test scripts find it by class name.

#include <string>
#include <vector>

#include <win32/dialog.h>

#include "CutterTexts.h"

struct Installer;

inline constexpr const char* kSetupDialogClass = "CuttermanSetup";
inline constexpr const char* kMaintenanceDialogClass = "CuttermanMaintenance";
inline constexpr const char* kSelectProgramClass = "CuttermanSelectProgram";

// The main dialogs' icon in the installer's resource module "cutterman-res".
inline constexpr WORD kIconId = 1001;

enum InstallerControl {
    IDC_MASTER_LIST = 100,
    IDC_INSTALLED_LIST = 101,
    IDC_ADD = 102,
    IDC_REMOVE = 103,
    IDC_UPDATE = 104,
    IDC_QUIT = 105,
    IDC_ACTIVE_CUTTER = 106,
    IDC_ACTIVE = 111,
    IDC_NEXT = 112,
    IDC_MASTER_LABEL = 120,
    IDC_INSTALLED_LABEL = 121,
    IDC_ACTIVE_LABEL = 122,
    IDC_HINT = 124,
    IDC_PROGRAM_LIST = 127,
    IDC_PROGRAM_LABEL = 128,
    IDC_PROGRAM_NEXT = 129,
};

// The set-up or maintenance dialog of the run, modal; its result.
INT_PTR RunInstallerDialog(Installer& installer);
// The program the user picks among the names; the first one when the dialog is closed
// another way.
std::string SelectProgram(HWND owner, const std::vector<std::string>& names,
                          const CutterTexts& texts);
