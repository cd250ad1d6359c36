#pragma once
// Test hooks of the module loader: modules that are absent, another program folder, and
// the loader's message for the last failure.

#include <string>

#include "win32/base.h"

// While marked missing, LoadLibraryA fails for a module of that file name ("x.dll",
// "x.so" and "x" name the same module; case does not matter) as if it were not there.
WIN32_API void SdSetModuleMissing(LPCSTR fileName, bool missing);
// Folder where names without a folder are looked for; NULL returns to the real one.
WIN32_API void SdSetProgramFolder(LPCSTR folder);
WIN32_API std::string SdProgramFolder();
// The dynamic loader's text for the last failed LoadLibraryA; empty after a success.
WIN32_API std::string SdLastLoadError();
// Forgets missing modules and the program-folder override, and makes the program the
// current resource module again. Loaded modules stay loaded.
WIN32_API void SdResetModuleTesting();
