#include <algorithm>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <unordered_set>
#include <vector>

#include "AllocationFaults.h"
#include "KernelMemory.h"
#include "win32/KernelTesting.h"
#include "win32/kernel.h"

namespace {

// The blocks of one heap and their sizes: open addressing with linear probing, so that a
// block costs no allocation of its own. Null marks a free slot (blocks are never null).
class BlockTable {
public:
    SIZE_T* find(void* block) {
        if (!block || slots_.empty()) return nullptr;
        for (std::size_t i = home(block);; i = (i + 1) & mask()) {
            if (slots_[i].block == block) return &slots_[i].size;
            if (!slots_[i].block) return nullptr;
        }
    }
    // The block must not be in the table.
    void insert(void* block, SIZE_T size) {
        if ((count_ + 1) * 2 > slots_.size()) grow();
        std::size_t i = home(block);
        while (slots_[i].block)
            i = (i + 1) & mask();
        slots_[i] = {block, size};
        ++count_;
    }
    // Removes the block (which must be in the table), shifting back the entries after it.
    void erase(void* block) {
        std::size_t i = home(block);
        while (slots_[i].block != block)
            i = (i + 1) & mask();
        for (std::size_t j = (i + 1) & mask(); slots_[j].block; j = (j + 1) & mask()) {
            std::size_t h = home(slots_[j].block);
            // Entry j may fill the hole at i unless its home lies cyclically in (i, j].
            bool stays = i <= j ? (i < h && h <= j) : (i < h || h <= j);
            if (stays) continue;
            slots_[i] = slots_[j];
            i = j;
        }
        slots_[i] = {};
        --count_;
    }
    std::size_t size() const { return count_; }
    template <class F> void forEach(F&& f) const {
        for (const Slot& s : slots_)
            if (s.block) f(s.block);
    }

private:
    struct Slot {
        void* block = nullptr;
        SIZE_T size = 0;
    };
    std::size_t mask() const { return slots_.size() - 1; }
    std::size_t home(void* block) const {
        auto key = std::uint64_t(reinterpret_cast<std::uintptr_t>(block)) * 0x9E3779B97F4A7C15ull;
        return std::size_t(key >> (64 - bits_));
    }
    void grow() {
        std::vector<Slot> old;
        old.swap(slots_);
        bits_ = old.empty() ? 6 : bits_ + 1;
        slots_.assign(std::size_t(1) << bits_, Slot{});
        count_ = 0;
        for (const Slot& s : old)
            if (s.block) insert(s.block, s.size);
    }

    std::vector<Slot> slots_;
    unsigned bits_ = 0;
    std::size_t count_ = 0;
};

// A private heap: the blocks it handed out and their sizes. The handle is the object's
// address, but every call checks it against the set of live heaps first, so a destroyed or
// foreign handle is refused rather than followed.
struct Heap {
    SIZE_T maximumSize = 0; // 0: no limit
    SIZE_T initialSize = 0;
    SIZE_T used = 0;
    BlockTable blocks;

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

// The heap found last, live while it is set (HeapDestroy clears it); most calls name it again.
Heap* lastFound = nullptr;

Heap* findHeap(HANDLE handle) {
    if (handle && handle == lastFound) return lastFound;
    auto& heaps = liveHeaps();
    auto it = heaps.find(static_cast<Heap*>(handle));
    if (it == heaps.end()) return nullptr;
    lastFound = *it;
    return lastFound;
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
        if (lastFound == heap) lastFound = nullptr;
    }
    heap->blocks.forEach([](void* block) { std::free(block); });
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
    heap->blocks.insert(block, bytes);
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
    SIZE_T* size = heap->blocks.find(block);
    if (!size) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (!heapFaults().admit()) return refuse();
    SIZE_T oldBytes = *size;
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
        *size = bytes;
        return block;
    }
    // Grown in place where the allocator can: the arrays grow by fixed steps, and a copy at
    // every step would make their growth quadratic.
    void* grown = reallocateBlock(block, oldBytes, bytes, flags & HEAP_ZERO_MEMORY);
    if (!grown) {
        heapFaults().noteRefused();
        return refuse();
    }
    if (grown == block) {
        *size = bytes;
    } else {
        heap->blocks.erase(block);
        heap->blocks.insert(grown, bytes);
    }
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
    SIZE_T* size = heap->blocks.find(block);
    if (!size) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    heap->used -= *size;
    heap->blocks.erase(block);
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
    SIZE_T* size = heap->blocks.find(const_cast<void*>(block));
    if (!size) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return SIZE_T(-1);
    }
    return *size;
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
