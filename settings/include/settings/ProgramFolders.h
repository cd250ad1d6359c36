#pragma once
// Where the programs find their files. The program folder holds the shipped defaults; the
// data folder ($XDG_CONFIG_HOME/signdesk/, or the first $XDG_CONFIG_DIRS entry's signdesk/
// when a readable "CommonDir" lies in the program folder) holds the user's copies, made
// from the defaults the first time a file is asked for.

#include <mfc/CString.h>

// Both folders end with '/'.
CString GetProgramDir();
// The program's file name without its folder and extension.
CString GetProgramFileName();
// Made, with every missing folder on the way, when it does not exist. The program folder
// when there is neither $XDG_CONFIG_HOME nor $HOME.
CString GetDataFolder();
// The data folder's file, copied from the program folder first when it is missing.
CString GetDataFilePath(const char* name);
// Copies source to destination when the source is readable; CFileException on a file
// error.
void CopyProgramFileToData(const char* source, const char* destination);
// The data folder's sub-folder, filled from the program folder's of that name (recursively,
// nothing overwritten) when it is missing; complete on return. Ends with '/'.
CString EnsureDefaultFolder(const char* name);
// Makes the folder and every missing one on the way; existing ones are passed through.
// The current directory is not touched.
void MakeDirectories(const char* path);
// A new, empty, uniquely named file in the temporary folder; empty when none could be made.
CString MakeTempFileName(const char* prefix);
// The application's profile file name; empty without an application object.
CString GetProfileFileName();
