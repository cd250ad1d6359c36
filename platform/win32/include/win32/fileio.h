#pragma once
// Kernel file and device handles over file descriptors, overlapped reads and writes, and
// events that signal their completion. Every wait is measured by the layer's clock (the
// fake clock of KernelTesting.h included).
//
// A device path "\\?\usb#vid_XXXX&pid_XXXX#instance#{class}" from SetupAPI opens the
// device's node; a terminal is made raw. Other names are file paths ('\\' read as '/').
//
// Overlapped operations (a handle opened with FILE_FLAG_OVERLAPPED): a read completes as
// soon as at least one byte (or the end of the file) arrives, a write when every byte has
// gone. An operation that cannot complete at once returns FALSE with ERROR_IO_PENDING and
// resets the OVERLAPPED's event; it progresses whenever the handle or the event is waited
// on, and sets the event when it completes. An OVERLAPPED still in flight cannot start
// another operation (ERROR_INVALID_PARAMETER). Internal holds the operation's error code
// (ERROR_IO_PENDING while in flight), InternalHigh the bytes moved.

#include "win32/base.h"

constexpr DWORD GENERIC_READ = 0x80000000u;
constexpr DWORD GENERIC_WRITE = 0x40000000u;
constexpr DWORD FILE_SHARE_READ = 0x00000001;
constexpr DWORD FILE_SHARE_WRITE = 0x00000002;
constexpr DWORD CREATE_NEW = 1;
constexpr DWORD CREATE_ALWAYS = 2;
constexpr DWORD OPEN_EXISTING = 3;
constexpr DWORD OPEN_ALWAYS = 4;
constexpr DWORD TRUNCATE_EXISTING = 5;
// Also defined by win32/findfile.h.
#ifndef SD_FILE_ATTRIBUTE_NORMAL_DEFINED
#define SD_FILE_ATTRIBUTE_NORMAL_DEFINED
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;
#endif
constexpr DWORD FILE_FLAG_OVERLAPPED = 0x40000000;

constexpr DWORD WAIT_OBJECT_0 = 0;
constexpr DWORD WAIT_TIMEOUT = 258;
constexpr DWORD WAIT_FAILED = 0xFFFFFFFFu;

constexpr DWORD ERROR_HANDLE_EOF = 38;
constexpr DWORD ERROR_NO_MORE_ITEMS = 259;
constexpr DWORD ERROR_OPERATION_ABORTED = 995;
constexpr DWORD ERROR_IO_INCOMPLETE = 996;
constexpr DWORD ERROR_IO_PENDING = 997;

struct SECURITY_ATTRIBUTES {
    DWORD nLength;
    LPVOID lpSecurityDescriptor;
    BOOL bInheritHandle;
};
using LPSECURITY_ATTRIBUTES = SECURITY_ATTRIBUTES*;

struct OVERLAPPED {
    ULONG_PTR Internal;
    ULONG_PTR InternalHigh;
    DWORD Offset;
    DWORD OffsetHigh;
    HANDLE hEvent;
};
using LPOVERLAPPED = OVERLAPPED*;

WIN32_API HANDLE CreateFileA(LPCSTR fileName, DWORD desiredAccess, DWORD shareMode,
                             LPSECURITY_ATTRIBUTES security, DWORD creationDisposition,
                             DWORD flagsAndAttributes, HANDLE templateFile);
WIN32_API BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD toRead, LPDWORD read,
                        LPOVERLAPPED overlapped);
WIN32_API BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD toWrite, LPDWORD written,
                         LPOVERLAPPED overlapped);
// Without `wait`, an operation still in flight gives FALSE with ERROR_IO_INCOMPLETE; with it,
// the call waits until the operation completes or is cancelled.
WIN32_API BOOL GetOverlappedResult(HANDLE file, LPOVERLAPPED overlapped, LPDWORD transferred,
                                   BOOL wait);
// Ends every operation in flight on the handle with ERROR_OPERATION_ABORTED (bytes already
// moved stay counted) and sets their events.
WIN32_API BOOL CancelIo(HANDLE file);
WIN32_API HANDLE CreateEventA(LPSECURITY_ATTRIBUTES security, BOOL manualReset, BOOL initialState,
                              LPCSTR name);
// An event is signalled when set; a file handle when nothing is in flight on it. Waiting on
// an unsignalled event that no operation will set fails at once under INFINITE.
WIN32_API DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds);
WIN32_API BOOL CloseHandle(HANDLE handle);

// For the stand-ins of outside libraries that hand out kernel file handles over a line they
// opened themselves (the USB pipe library): a handle over the descriptor `fd`, which it owns
// from then on (CloseHandle closes it). The descriptor is made non-blocking. Not a Win32
// function; INVALID_HANDLE_VALUE for a descriptor that is not open.
WIN32_API HANDLE SdFileHandleFromDescriptor(int fd, BOOL overlapped);

// Replaces a whole file in one step, as the profile functions do: the bytes go to a new file
// beside it, are flushed and renamed over it, so that the file is always the old or the new
// content (its mode kept; a file without write permission refused). Not a Win32 function;
// FALSE with the last error.
WIN32_API BOOL SdReplaceFileContent(LPCSTR fileName, LPCVOID bytes, DWORD size);

inline HANDLE CreateFile(LPCSTR f, DWORD a, DWORD s, LPSECURITY_ATTRIBUTES sa, DWORD c, DWORD fl,
                         HANDLE t) {
    return CreateFileA(f, a, s, sa, c, fl, t);
}
inline HANDLE CreateEvent(LPSECURITY_ATTRIBUTES sa, BOOL m, BOOL i, LPCSTR n) {
    return CreateEventA(sa, m, i, n);
}
