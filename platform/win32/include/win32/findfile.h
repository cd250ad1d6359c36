#pragma once
// Directory search: FindFirstFileA / FindNextFileA / FindClose over one folder with a '*' and
// '?' pattern that matches names without regard to case. Either slash separates folders.
// Names come back in the ANSI code page, in the order the file system lists them; names
// that the code page cannot hold are not returned.

#include "win32/base.h"
#include "win32/kernel.h"

#ifndef SD_FILETIME_DEFINED
#define SD_FILETIME_DEFINED
struct FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
};
#endif

constexpr DWORD ERROR_NO_MORE_FILES = 18;

constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x01;
constexpr DWORD FILE_ATTRIBUTE_HIDDEN = 0x02;
constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
constexpr DWORD FILE_ATTRIBUTE_ARCHIVE = 0x20;
// Also defined by win32/fileio.h.
#ifndef SD_FILE_ATTRIBUTE_NORMAL_DEFINED
#define SD_FILE_ATTRIBUTE_NORMAL_DEFINED
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;
#endif

struct WIN32_FIND_DATAA {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    DWORD dwReserved0;
    DWORD dwReserved1;
    CHAR cFileName[MAX_PATH];
    CHAR cAlternateFileName[14];
};
using LPWIN32_FIND_DATAA = WIN32_FIND_DATAA*;

// INVALID_HANDLE_VALUE with ERROR_FILE_NOT_FOUND (nothing matches) or ERROR_PATH_NOT_FOUND.
WIN32_API HANDLE FindFirstFileA(LPCSTR fileName, LPWIN32_FIND_DATAA findData);
// FALSE with ERROR_NO_MORE_FILES after the last name.
WIN32_API BOOL FindNextFileA(HANDLE findFile, LPWIN32_FIND_DATAA findData);
WIN32_API BOOL FindClose(HANDLE findFile);
