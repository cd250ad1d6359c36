#pragma once
// Loadable modules. A module "X.dll" (or control "X.ocx") is the shared object "X.so": a name
// without a folder is looked for in the program folder (the folder of the running program), a name
// with one
// ('/' or '\' both separate) is taken as a path. A name without an extension gets ".so";
// any other extension is kept. Where the exact file is missing, a file whose name differs
// only in case is taken, as names stored in settings may be written in any case.

#include "win32/base.h"

using FARPROC = LONG_PTR (*)();

// Failure: NULL with ERROR_MOD_NOT_FOUND. The same file loaded twice gives the same handle;
// each load needs its FreeLibrary. Module handles are never 32 or less.
WIN32_API HMODULE LoadLibraryA(LPCSTR fileName);
WIN32_API BOOL FreeLibrary(HMODULE module);
// Only symbols defined in the module itself are found, not those of libraries it uses.
// An ordinal (a MAKEINTRESOURCE value) is looked up in the module's ordinal table below.
WIN32_API FARPROC GetProcAddress(HMODULE module, LPCSTR procName);

// A module that serves entries by ordinal exports, with C linkage, the array
//   extern "C" const SdOrdinalEntry SdOrdinalTable[] = {{1, entry}, ..., {0, nullptr}};
// ended by ordinal 0 (at most 65535 entries are read). The first entry of an ordinal counts.
struct SdOrdinalEntry {
    WORD ordinal;
    FARPROC entry;
};
#define SD_ORDINAL_TABLE_SYMBOL "SdOrdinalTable"
// NULL: the program. A name finds a module already loaded, matched on its file name.
WIN32_API HMODULE GetModuleHandleA(LPCSTR moduleName);
// The full path. A buffer too small gets size - 1 characters and a NUL; the result is then
// size, with ERROR_INSUFFICIENT_BUFFER.
WIN32_API DWORD GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size);

inline HMODULE LoadLibrary(LPCSTR f) {
    return LoadLibraryA(f);
}
inline HMODULE GetModuleHandle(LPCSTR m) {
    return GetModuleHandleA(m);
}
inline DWORD GetModuleFileName(HMODULE m, LPSTR f, DWORD n) {
    return GetModuleFileNameA(m, f, n);
}
