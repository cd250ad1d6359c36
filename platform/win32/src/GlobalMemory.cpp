#include <algorithm>
#include <cstring>
#include <mutex>
#include <unordered_map>

#include "AllocationFaults.h"
#include "KernelMemory.h"
#include "win32/KernelTesting.h"
#include "win32/kernel.h"

// A fixed object's handle is its address. A moveable object's handle is a number in the
// non-canonical address range, so it never equals a block's address and faults if it is used
// as one without GlobalLock.

namespace {

struct GlobalBlock {
    void* data = nullptr;
    SIZE_T size = 0;
    bool moveable = false;
    UINT shareFlags = 0;
    unsigned lockCount = 0; // moveable objects only
};

constexpr std::uintptr_t kMoveableTag = 0xDEAD000000000000u;

class GlobalTable {
public:
    std::mutex mutex;

    GlobalBlock* find(HGLOBAL handle) {
        auto it = blocks_.find(handle);
        return it == blocks_.end() ? nullptr : &it->second;
    }

    HGLOBAL handleOf(const void* data) const {
        auto it = owners_.find(data);
        return it == owners_.end() ? nullptr : it->second;
    }

    HGLOBAL add(const GlobalBlock& block) {
        HGLOBAL handle = block.moveable ? newMoveableHandle() : block.data;
        blocks_.emplace(handle, block);
        owners_.emplace(block.data, handle);
        return handle;
    }

    // The block of `handle` now lives at `data`; returns its (possibly new) handle.
    HGLOBAL move(HGLOBAL handle, void* data, bool moveable) {
        GlobalBlock block = blocks_.at(handle);
        remove(handle);
        block.data = data;
        if (moveable && !block.moveable) block.lockCount = 0;
        bool keepHandle = block.moveable && moveable;
        block.moveable = moveable;
        if (!keepHandle) return add(block);
        blocks_.emplace(handle, block);
        owners_.emplace(data, handle);
        return handle;
    }

    void remove(HGLOBAL handle) {
        auto it = blocks_.find(handle);
        owners_.erase(it->second.data);
        blocks_.erase(it);
    }

    SIZE_T count() const { return blocks_.size(); }

private:
    HGLOBAL newMoveableHandle() {
        return reinterpret_cast<HGLOBAL>(kMoveableTag | (++nextId_ << 4));
    }

    std::unordered_map<HGLOBAL, GlobalBlock> blocks_;
    std::unordered_map<const void*, HGLOBAL> owners_;
    std::uintptr_t nextId_ = 0;
};

GlobalTable& table() {
    static auto* instance = new GlobalTable; // outlives static destructors
    return *instance;
}

HGLOBAL refuse() {
    globalFaults().noteRefused();
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
}

HGLOBAL badHandle() {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
}

} // namespace

HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes) {
    if (!globalFaults().admit()) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    void* data = allocateBlock(bytes, flags & GMEM_ZEROINIT);
    if (!data) return refuse();
    GlobalBlock block;
    block.data = data;
    block.size = bytes;
    block.moveable = flags & GMEM_MOVEABLE;
    block.shareFlags = flags & GMEM_DDESHARE;
    std::lock_guard lock(table().mutex);
    return table().add(block);
}

HGLOBAL GlobalReAlloc(HGLOBAL mem, SIZE_T bytes, UINT flags) {
    GlobalTable& t = table();
    std::lock_guard lock(t.mutex);
    GlobalBlock* block = t.find(mem);
    if (!block) return badHandle();

    if (flags & GMEM_MODIFY) {
        // Only fixed -> moveable is a change of kind; the block stays where it is.
        if ((flags & GMEM_MOVEABLE) && !block->moveable) return t.move(mem, block->data, true);
        return mem;
    }

    if (!globalFaults().admit()) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    // A fixed or locked object moves only when the caller allows it; blocks never grow where
    // they lie, so such an object can only shrink.
    bool mayMove = (flags & GMEM_MOVEABLE) || (block->moveable && block->lockCount == 0);
    if (!mayMove) {
        if (bytes > block->size) return refuse();
        block->size = bytes;
        return mem;
    }
    void* data = allocateBlock(bytes, false);
    if (!data) return refuse();
    std::memcpy(data, block->data, std::min(block->size, bytes));
    if (bytes > block->size && (flags & GMEM_ZEROINIT))
        std::memset(static_cast<char*>(data) + block->size, 0, bytes - block->size);
    std::free(block->data);
    block->size = bytes;
    return t.move(mem, data, block->moveable);
}

LPVOID GlobalLock(HGLOBAL mem) {
    std::lock_guard lock(table().mutex);
    GlobalBlock* block = table().find(mem);
    if (!block) return badHandle();
    if (block->moveable) ++block->lockCount;
    return block->data;
}

BOOL GlobalUnlock(HGLOBAL mem) {
    std::lock_guard lock(table().mutex);
    GlobalBlock* block = table().find(mem);
    if (!block) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!block->moveable) return TRUE; // fixed objects have no lock count
    if (block->lockCount == 0) {
        SetLastError(ERROR_NOT_LOCKED);
        return FALSE;
    }
    if (--block->lockCount > 0) return TRUE;
    SetLastError(NO_ERROR);
    return FALSE;
}

SIZE_T GlobalSize(HGLOBAL mem) {
    std::lock_guard lock(table().mutex);
    GlobalBlock* block = table().find(mem);
    if (!block) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    return block->size;
}

UINT GlobalFlags(HGLOBAL mem) {
    std::lock_guard lock(table().mutex);
    GlobalBlock* block = table().find(mem);
    if (!block) {
        SetLastError(ERROR_INVALID_HANDLE);
        return GMEM_INVALID_HANDLE;
    }
    return std::min<UINT>(block->lockCount, GMEM_LOCKCOUNT) | block->shareFlags;
}

HGLOBAL GlobalHandle(LPCVOID pointer) {
    std::lock_guard lock(table().mutex);
    HGLOBAL handle = table().handleOf(pointer);
    return handle ? handle : badHandle();
}

HGLOBAL GlobalFree(HGLOBAL mem) {
    if (!mem) return nullptr;
    std::lock_guard lock(table().mutex);
    GlobalBlock* block = table().find(mem);
    if (!block) {
        SetLastError(ERROR_INVALID_HANDLE);
        return mem;
    }
    // Freed even while locked, as the system's callers expect.
    std::free(block->data);
    table().remove(mem);
    return nullptr;
}

SIZE_T SdLiveGlobalCount() {
    std::lock_guard lock(table().mutex);
    return table().count();
}
