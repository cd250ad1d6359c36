#include <algorithm>
#include <cstring>
#include <mutex>
#include <unordered_map>
#include <unordered_set>

#include "AllocationFaults.h"
#include "KernelMemory.h"
#include "win32/KernelTesting.h"
#include "win32/kernel.h"

namespace {

// A private heap: the blocks it handed out and their sizes. The handle is the object's
// address, but every call checks it against the set of live heaps first, so a destroyed or
// foreign handle is refused rather than followed.
struct Heap {
    SIZE_T maximumSize = 0; // 0: no limit
    SIZE_T initialSize = 0;
    SIZE_T used = 0;
    std::unordered_map<void*, SIZE_T> blocks;

    bool fits(SIZE_T oldBytes, SIZE_T newBytes) const {
        if (maximumSize == 0) return true;
        SIZE_T others = used - oldBytes;
        return newBytes <= maximumSize && others <= maximumSize - newBytes;
    }
};

// One lock serialises every heap; HEAP_NO_SERIALIZE is accepted and ignored.
std::mutex& heapsMutex() {
    static std::mutex mutex;
    return mutex;
}

std::unordered_set<Heap*>& liveHeaps() {
    static auto* heaps = new std::unordered_set<Heap*>; // outlives static destructors
    return *heaps;
}

Heap* findHeap(HANDLE handle) {
    auto& heaps = liveHeaps();
    auto it = heaps.find(static_cast<Heap*>(handle));
    return it == heaps.end() ? nullptr : *it;
}

void* refuse() {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
}

} // namespace

HANDLE HeapCreate(DWORD /*options*/, SIZE_T initialSize, SIZE_T maximumSize) {
    if (maximumSize != 0 && initialSize > maximumSize) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto* heap = new Heap;
    heap->maximumSize = maximumSize;
    heap->initialSize = initialSize;
    std::lock_guard lock(heapsMutex());
    liveHeaps().insert(heap);
    return heap;
}

BOOL HeapDestroy(HANDLE handle) {
    Heap* heap;
    {
        std::lock_guard lock(heapsMutex());
        heap = findHeap(handle);
        if (!heap) {
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
        liveHeaps().erase(heap);
    }
    for (auto& [block, size] : heap->blocks)
        std::free(block);
    delete heap;
    return TRUE;
}

LPVOID HeapAlloc(HANDLE handle, DWORD flags, SIZE_T bytes) {
    std::lock_guard lock(heapsMutex());
    Heap* heap = findHeap(handle);
    if (!heap) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (!heapFaults().admit()) return refuse();
    void* block = heap->fits(0, bytes) ? allocateBlock(bytes, flags & HEAP_ZERO_MEMORY) : nullptr;
    if (!block) {
        heapFaults().noteRefused();
        return refuse();
    }
    heap->blocks.emplace(block, bytes);
    heap->used += bytes;
    return block;
}

LPVOID HeapReAlloc(HANDLE handle, DWORD flags, LPVOID block, SIZE_T bytes) {
    std::lock_guard lock(heapsMutex());
    Heap* heap = findHeap(handle);
    if (!heap) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    auto it = heap->blocks.find(block);
    if (it == heap->blocks.end()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (!heapFaults().admit()) return refuse();
    SIZE_T oldBytes = it->second;
    if (!heap->fits(oldBytes, bytes)) {
        heapFaults().noteRefused();
        return refuse();
    }
    if (flags & HEAP_REALLOC_IN_PLACE_ONLY) {
        // Blocks cannot grow where they lie; shrinking keeps the address.
        if (bytes > oldBytes) {
            heapFaults().noteRefused();
            return refuse();
        }
        heap->used = heap->used - oldBytes + bytes;
        it->second = bytes;
        return block;
    }
    // Grown in place where the allocator can: the arrays grow by fixed steps, and a copy at
    // every step would make their growth quadratic.
    void* grown = reallocateBlock(block, oldBytes, bytes, flags & HEAP_ZERO_MEMORY);
    if (!grown) {
        heapFaults().noteRefused();
        return refuse();
    }
    heap->blocks.erase(it);
    heap->blocks.emplace(grown, bytes);
    heap->used = heap->used - oldBytes + bytes;
    return grown;
}

BOOL HeapFree(HANDLE handle, DWORD /*flags*/, LPVOID block) {
    std::lock_guard lock(heapsMutex());
    Heap* heap = findHeap(handle);
    if (!heap) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!block) return TRUE;
    auto it = heap->blocks.find(block);
    if (it == heap->blocks.end()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    heap->used -= it->second;
    heap->blocks.erase(it);
    std::free(block);
    return TRUE;
}

SIZE_T HeapSize(HANDLE handle, DWORD /*flags*/, LPCVOID block) {
    std::lock_guard lock(heapsMutex());
    Heap* heap = findHeap(handle);
    if (!heap) {
        SetLastError(ERROR_INVALID_HANDLE);
        return SIZE_T(-1);
    }
    auto it = heap->blocks.find(const_cast<void*>(block));
    if (it == heap->blocks.end()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return SIZE_T(-1);
    }
    return it->second;
}

SIZE_T HeapCompact(HANDLE handle, DWORD /*flags*/) {
    std::lock_guard lock(heapsMutex());
    Heap* heap = findHeap(handle);
    if (!heap) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    // The largest block that could still be had: what is left under the limit, else a
    // nominal figure for a heap that grows on demand.
    if (heap->maximumSize != 0) {
        SIZE_T left = heap->maximumSize - heap->used;
        if (left == 0) SetLastError(ERROR_SUCCESS);
        return left;
    }
    return std::max<SIZE_T>(heap->initialSize, 0x10000);
}

SIZE_T SdLiveHeapBlockCount(HANDLE handle) {
    std::lock_guard lock(heapsMutex());
    Heap* heap = findHeap(handle);
    return heap ? heap->blocks.size() : 0;
}
