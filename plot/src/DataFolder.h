#pragma once
// The plot library's own build of the data-folder helpers. Settings files live in the user's
// data folder, $XDG_CONFIG_HOME/signdesk (default ~/.config/signdesk), and are copied there
// from the program folder the first time they are asked for.

#include <mfc/CString.h>

// The folder of the running program, with a trailing '/'.
CString GetProgramDir();
// The path of a settings file in the data folder. The folder is made when it is missing, and
// a copy of the program folder's file of that name is put there when the data folder has
// none. Without any data folder (no XDG_CONFIG_HOME and no HOME) the program folder's path.
CString GetDataFilePath(const char* name);

inline CString GetDevicesIni() {
    return GetDataFilePath("Devices.ini");
}
