#pragma once
// The guarded allocator: a private heap whose failed requests are retried
// through a registered error window or a retry/cancel prompt.

#include <win32/base.h>

#define GUARDALLOC_API __attribute__((visibility("default")))

// Sent synchronously to hErrorHandlerWnd when a request fails; non-zero answer = retry.
constexpr UINT WM_ALLOCFAILED = 0x4FF;

// Plain linkage names, as the callers bind them.
extern "C" {
GUARDALLOC_API extern void* hErrorHandlerWnd;

GUARDALLOC_API char* SafeAlloc(unsigned int size);
GUARDALLOC_API char* SafeReAlloc(char* block, unsigned int size);
GUARDALLOC_API void SafeFree(void* block);
GUARDALLOC_API void* SafeGAlloc(unsigned int flags, unsigned int size);
}
