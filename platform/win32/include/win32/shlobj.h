#pragma once
// Special folders. The user's application data is $XDG_CONFIG_HOME (else ~/.config); the
// shared one is the first entry of $XDG_CONFIG_DIRS (else /etc/xdg).

#include "win32/base.h"

constexpr int CSIDL_APPDATA = 0x001a;
constexpr int CSIDL_COMMON_APPDATA = 0x0023;
constexpr int CSIDL_FLAG_CREATE = 0x8000;

// The folder without a trailing '/' into path (MAX_PATH characters). FALSE for another
// folder, for a user without $XDG_CONFIG_HOME and $HOME, or a folder name too long; with
// create, a missing folder is made (FALSE when that fails).
WIN32_API BOOL SHGetSpecialFolderPathA(HWND owner, LPSTR path, int csidl, BOOL create);
