#pragma once
// The one read-modify-write cycle of a profile file, shared by WritePrivateProfileString and
// ProfileTransaction: under the process's mutex and the file's lock, the file is read afresh,
// edited, and replaced once (temporary file, fsync, rename) when the edit changed it.

#include <functional>
#include <mutex>
#include <string>

#include "IniDocument.h"
#include "win32/base.h"

// The mutex that serialises the profile functions of the process.
std::mutex& profileMutex();

// `edit` gets the fresh document and whether the file existed; it returns 0 to go on, or a
// Win32 error that ends the cycle with nothing written. Returns 0 or a Win32 error.
DWORD updateProfile(const std::string& path, DWORD lockTimeout,
                    const std::function<DWORD(IniDocument& document, bool found)>& edit);
