#pragma once
// Test hooks of the kernel services: refused memory requests, file operations that fail or
// kill the process, and a fake clock.
// All state is process-wide and shared by every module loaded in the process.

#include "win32/base.h"

// ---- memory failure injection ----
// After `after` more requests have been served, the next `count` requests are refused: they
// return null with ERROR_NOT_ENOUGH_MEMORY and leave any block passed in untouched.
// Heap requests are HeapAlloc and HeapReAlloc; global requests are GlobalAlloc and
// GlobalReAlloc (a GMEM_MODIFY call allocates nothing and is not a request).
WIN32_API void SdFailHeapRequests(int count, int after = 0);
WIN32_API void SdFailGlobalRequests(int count, int after = 0);

// Requests made, and requests refused (injected or for lack of memory), since the last reset.
WIN32_API int SdHeapRequestCount();
WIN32_API int SdHeapRefusedCount();
WIN32_API int SdGlobalRequestCount();
WIN32_API int SdGlobalRefusedCount();

// Clears pending failures and both pairs of counters.
WIN32_API void SdResetMemoryTesting();

// Blocks still held in heaps that have not been destroyed, and live global memory objects.
WIN32_API SIZE_T SdLiveHeapBlockCount(HANDLE heap);
WIN32_API SIZE_T SdLiveGlobalCount();

// ---- fake clock ----
// While installed, GetTickCount answers the fake tick count, GetLocalTime the fake local time,
// and Sleep(n) adds n to the tick count and returns at once. The local time stays as set.
WIN32_API void SdInstallFakeClock(DWORD tickCount, const SYSTEMTIME& localTime);
WIN32_API void SdRemoveFakeClock();
WIN32_API bool SdFakeClockInstalled();
WIN32_API void SdAdvanceFakeClock(DWORD milliseconds);
WIN32_API void SdSetFakeLocalTime(const SYSTEMTIME& localTime);

// ---- file operations of profile writes ----
// The writes, fsyncs and renames by which a profile file (or any file the kernel services
// replace) gets its new content. Counting starts at the last reset; the n-th operation of a
// kind is number n (1-based).
enum SdFileOperation { SD_FILE_WRITE, SD_FILE_FSYNC, SD_FILE_RENAME };

// The process dies (SIGKILL) at the `nth` operation of `kind` from now: a write dies after
// writing the first half of its bytes, an fsync or a rename before it is made. Meant for a
// forked child whose parent then checks what is on disk.
WIN32_API void SdKillAtFileOperation(SdFileOperation kind, int nth);
// The `nth` operation of `kind` from now fails with the errno value `error` (ENOSPC, EIO, ...)
// and does nothing.
WIN32_API void SdFailFileOperation(SdFileOperation kind, int nth, int error);
// Operations of `kind` made since the last reset.
WIN32_API int SdFileOperationCount(SdFileOperation kind);
// Clears pending kills and failures and the counters.
WIN32_API void SdResetFileOperationTesting();
