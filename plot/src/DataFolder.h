#pragma once
// The plot library's settings files, in the shared data folder.

#include <mfc/CFileException.h>
#include <settings/ProgramFolders.h>

// The data folder's file; when the first-use copy fails, the reader gets its defaults from
// the missing file.
inline CString GetPlotDataFile(const char* name) {
    try {
        return GetDataFilePath(name);
    } catch (CFileException* e) {
        e->Delete();
        return GetDataFolder() + name;
    }
}

inline CString GetDevicesIni() {
    return GetPlotDataFile("Devices.ini");
}
