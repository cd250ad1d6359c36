#pragma once
// Kernel services: private heaps, global memory, temporary files, private-profile
// (INI) files, tick count and local time. Modules live in win32/module.h.

#include "win32/base.h"

// ---- private heaps ----
// A heap knows its blocks: HeapDestroy frees those still held, and a block or heap it does not
// know is refused, never followed. Every heap is serialised; HEAP_GENERATE_EXCEPTIONS is
// accepted but failures always return null with ERROR_NOT_ENOUGH_MEMORY.
constexpr DWORD HEAP_NO_SERIALIZE = 0x00000001;
constexpr DWORD HEAP_GENERATE_EXCEPTIONS = 0x00000004;
constexpr DWORD HEAP_ZERO_MEMORY = 0x00000008;
constexpr DWORD HEAP_REALLOC_IN_PLACE_ONLY = 0x00000010;

WIN32_API HANDLE HeapCreate(DWORD options, SIZE_T initialSize, SIZE_T maximumSize);
WIN32_API BOOL HeapDestroy(HANDLE heap);
WIN32_API LPVOID HeapAlloc(HANDLE heap, DWORD flags, SIZE_T bytes);
WIN32_API LPVOID HeapReAlloc(HANDLE heap, DWORD flags, LPVOID block, SIZE_T bytes);
WIN32_API BOOL HeapFree(HANDLE heap, DWORD flags, LPVOID block);
WIN32_API SIZE_T HeapSize(HANDLE heap, DWORD flags, LPCVOID block);
WIN32_API SIZE_T HeapCompact(HANDLE heap, DWORD flags);

// ---- global memory ----
// A moveable object's handle is not an address; GlobalLock gives the address. A fixed or
// locked object is moved by GlobalReAlloc only when GMEM_MOVEABLE is passed, else it can only
// shrink. Unknown handles fail cleanly.
constexpr UINT GMEM_FIXED = 0x0000;
constexpr UINT GMEM_MOVEABLE = 0x0002;
constexpr UINT GMEM_ZEROINIT = 0x0040;
constexpr UINT GMEM_MODIFY = 0x0080;
constexpr UINT GMEM_DDESHARE = 0x2000;
constexpr UINT GMEM_SHARE = 0x2000;
constexpr UINT GHND = GMEM_MOVEABLE | GMEM_ZEROINIT;
constexpr UINT GPTR = GMEM_FIXED | GMEM_ZEROINIT;
// GlobalFlags: the lock count is in the low byte; an unknown handle gives GMEM_INVALID_HANDLE.
constexpr UINT GMEM_LOCKCOUNT = 0x00FF;
constexpr UINT GMEM_INVALID_HANDLE = 0x8000;

WIN32_API HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes);
WIN32_API HGLOBAL GlobalReAlloc(HGLOBAL mem, SIZE_T bytes, UINT flags);
WIN32_API LPVOID GlobalLock(HGLOBAL mem);
WIN32_API BOOL GlobalUnlock(HGLOBAL mem);
WIN32_API SIZE_T GlobalSize(HGLOBAL mem);
WIN32_API UINT GlobalFlags(HGLOBAL mem);
WIN32_API HGLOBAL GlobalHandle(LPCVOID pointer);
WIN32_API HGLOBAL GlobalFree(HGLOBAL mem);

// ---- errors ----
WIN32_API DWORD GetLastError();
WIN32_API void SetLastError(DWORD code);
// The words an outside service gave for the last error (the print service's reason a job
// failed), kept with its code until the next SetLastError; "" when it gave none.
WIN32_API void SdSetLastErrorText(DWORD code, LPCSTR text);
WIN32_API LPCSTR SdGetLastErrorText();
constexpr DWORD ERROR_SUCCESS = 0;
constexpr DWORD NO_ERROR = 0;
constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
constexpr DWORD ERROR_PATH_NOT_FOUND = 3;
constexpr DWORD ERROR_ACCESS_DENIED = 5;
constexpr DWORD ERROR_INVALID_HANDLE = 6;
constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
constexpr DWORD ERROR_INVALID_DATA = 13;
constexpr DWORD ERROR_WRITE_FAULT = 29;
constexpr DWORD ERROR_LOCK_VIOLATION = 33;
constexpr DWORD ERROR_FILE_EXISTS = 80;
constexpr DWORD ERROR_INVALID_PARAMETER = 87;
constexpr DWORD ERROR_BUFFER_OVERFLOW = 111;
constexpr DWORD ERROR_DISK_FULL = 112;
constexpr DWORD ERROR_MOD_NOT_FOUND = 126;
constexpr DWORD ERROR_PROC_NOT_FOUND = 127;
constexpr DWORD ERROR_NOT_LOCKED = 158;
constexpr DWORD ERROR_ALREADY_EXISTS = 183;
constexpr DWORD ERROR_FILENAME_EXCED_RANGE = 206;
constexpr DWORD ERROR_NOT_FOUND = 1168;

// ---- temporary files ----
// The temporary folder is $TMPDIR, else /tmp, always with a trailing '/'.
WIN32_API DWORD GetTempPathA(DWORD bufferLength, LPSTR buffer);
WIN32_API UINT GetTempFileNameA(LPCSTR pathName, LPCSTR prefix, UINT unique, LPSTR tempFileName);

// ---- files ----
// Removes the file ('\\' read as '/'); FALSE with the last error when it is missing
// (ERROR_FILE_NOT_FOUND), a folder or not removable (ERROR_ACCESS_DENIED).
WIN32_API BOOL DeleteFileA(LPCSTR fileName);
inline BOOL DeleteFile(LPCSTR f) {
    return DeleteFileA(f);
}


// ---- folders and whole files ----
// The Windows folder is the all-users settings folder: the first entry of $XDG_CONFIG_DIRS
// (else /etc/xdg) + "/signdesk", without a trailing '/'. Like the other folder queries it
// returns the length without the NUL, or the size needed (NUL included) when the buffer is
// too small; 0 on failure.
WIN32_API UINT GetWindowsDirectoryA(LPSTR buffer, UINT size);
WIN32_API DWORD GetCurrentDirectoryA(DWORD size, LPSTR buffer);
WIN32_API BOOL SetCurrentDirectoryA(LPCSTR path);

constexpr DWORD MOVEFILE_REPLACE_EXISTING = 0x00000001;
constexpr DWORD MOVEFILE_COPY_ALLOWED = 0x00000002;
constexpr DWORD MOVEFILE_WRITE_THROUGH = 0x00000008;
// Renames in one step. Without MOVEFILE_REPLACE_EXISTING an existing target is refused
// (ERROR_ALREADY_EXISTS); a move to another file system needs MOVEFILE_COPY_ALLOWED and
// then copies and removes. With MOVEFILE_WRITE_THROUGH the call returns once the file and
// the folder entries are on the disk.
WIN32_API BOOL MoveFileExA(LPCSTR existing, LPCSTR target, DWORD flags);
// Copies the bytes (and the mode) to a new file beside the target, flushed, and renames it
// over the target, so that the target is always the old file or the whole copy. With
// failIfExists an existing target is refused (ERROR_FILE_EXISTS).
WIN32_API BOOL CopyFileA(LPCSTR existing, LPCSTR target, BOOL failIfExists);
inline UINT GetWindowsDirectory(LPSTR b, UINT n) {
    return GetWindowsDirectoryA(b, n);
}
inline DWORD GetCurrentDirectory(DWORD n, LPSTR b) {
    return GetCurrentDirectoryA(n, b);
}
inline BOOL SetCurrentDirectory(LPCSTR p) {
    return SetCurrentDirectoryA(p);
}
inline BOOL MoveFileEx(LPCSTR e, LPCSTR t, DWORD f) {
    return MoveFileExA(e, t, f);
}
inline BOOL CopyFile(LPCSTR e, LPCSTR t, BOOL f) {
    return CopyFileA(e, t, f);
}

// ---- private-profile (INI) files ----
// A file name without a folder is taken relative to the current directory; '\\' in file
// names is read as '/'. New lines are written with CR LF unless the file already uses LF.
WIN32_API DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultValue,
                                         LPSTR returned, DWORD size, LPCSTR fileName);
WIN32_API UINT GetPrivateProfileIntA(LPCSTR section, LPCSTR key, INT defaultValue, LPCSTR fileName);
WIN32_API BOOL WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value,
                                          LPCSTR fileName);
WIN32_API DWORD GetPrivateProfileSectionNamesA(LPSTR returned, DWORD size, LPCSTR fileName);
inline DWORD GetPrivateProfileString(LPCSTR s, LPCSTR k, LPCSTR d, LPSTR r, DWORD n, LPCSTR f) {
    return GetPrivateProfileStringA(s, k, d, r, n, f);
}
inline UINT GetPrivateProfileInt(LPCSTR s, LPCSTR k, INT d, LPCSTR f) {
    return GetPrivateProfileIntA(s, k, d, f);
}
inline BOOL WritePrivateProfileString(LPCSTR s, LPCSTR k, LPCSTR v, LPCSTR f) {
    return WritePrivateProfileStringA(s, k, v, f);
}

// ---- time ----
// A system of the NT family (high bit clear): version 5.1, build 2600.
WIN32_API DWORD GetVersion();

WIN32_API DWORD GetTickCount();
WIN32_API void Sleep(DWORD milliseconds);
WIN32_API void GetLocalTime(SYSTEMTIME* time);
