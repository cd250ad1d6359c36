#include "guardalloc/Guardalloc.h"

#include <mfc/afx.h>
#include <win32/kernel.h>
#include <win32/user.h>

void* hErrorHandlerWnd = nullptr;

namespace {

// The private heap lives as long as the library is loaded.
struct PrivateHeap {
    HANDLE handle = HeapCreate(0, 8192, 0);
    ~PrivateHeap() {
        if (handle) HeapDestroy(handle);
    }
};

PrivateHeap& Heap() {
    static PrivateHeap heap;
    return heap;
}

[[gnu::constructor]] void CreateHeapAtLoad() { Heap(); }

// Asks whether a refused request should be tried again: the registered error
// window answers when there is one, otherwise the user does.
bool RetryAfterFailure() {
    if (hErrorHandlerWnd) {
        return SendMessage(static_cast<HWND>(hErrorHandlerWnd), WM_ALLOCFAILED, 0, 0) != 0;
    }
    HWND owner = nullptr;
    if (CWinThread* thread = AfxGetThread()) {
        if (CWnd* main = thread->GetMainWnd()) owner = main->GetSafeHwnd();
    }
    return MessageBox(owner, "No memory", "Error", MB_RETRYCANCEL | MB_ICONEXCLAMATION) == IDRETRY;
}

template <class Request> auto WithRetry(Request request) {
    for (;;) {
        if (auto result = request()) return result;
        if (!RetryAfterFailure()) return decltype(request())(nullptr);
    }
}

} // namespace

char* SafeAlloc(unsigned int size) {
    return WithRetry([&] {
        // Without a heap, requests fail into the retry protocol.
        HANDLE heap = Heap().handle;
        return static_cast<char*>(heap ? HeapAlloc(heap, 0, size) : nullptr);
    });
}

char* SafeReAlloc(char* block, unsigned int size) {
    return WithRetry([&] {
        HANDLE heap = Heap().handle;
        if (!heap) return static_cast<char*>(nullptr);
        HeapCompact(heap, 0);
        return static_cast<char*>(HeapReAlloc(heap, 0, block, size));
    });
}

void SafeFree(void* block) {
    HANDLE heap = Heap().handle;
    if (!heap) return;
    HeapFree(heap, 0, block);
    HeapCompact(heap, 0);
}

void* SafeGAlloc(unsigned int flags, unsigned int size) {
    return WithRetry([&] { return static_cast<void*>(GlobalAlloc(flags, size)); });
}
