#pragma once
// Test hooks of the kernel services: refused memory requests and a fake clock.
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
