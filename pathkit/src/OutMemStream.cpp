#include "pathkit/OutMemStream.h"

#include <climits>
#include <cstring>
#include <win32/kernel.h>

#include "StreamSeek.h"

OutMemStream::OutMemStream(unsigned step) : step_(step ? step : 1024) {}

OutMemStream::~OutMemStream() {
    Release();
}

void OutMemStream::Release() {
    if (handle_) {
        if (data_) GlobalUnlock(handle_);
        GlobalFree(handle_);
    }
    handle_ = nullptr;
    data_ = nullptr;
    pos_ = length_ = 0;
    size_ = 0;
}

// Adds step bytes to the block (or makes the first one). On failure the block, its contents
// and the lock stay as they were.
bool OutMemStream::Grow() {
    // Positions are longs; the block never outgrows them.
    if (size_ > static_cast<SIZE_T>(LONG_MAX) - step_) return false;
    SIZE_T newSize = size_ + step_;
    if (!handle_) {
        HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, newSize);
        if (!mem) return false;
        auto* p = static_cast<char*>(GlobalLock(mem));
        if (!p) {
            GlobalFree(mem);
            return false;
        }
        handle_ = mem;
        data_ = p;
    } else {
        GlobalUnlock(handle_);
        data_ = nullptr;
        HGLOBAL mem = GlobalReAlloc(handle_, newSize, GMEM_MOVEABLE);
        if (mem) handle_ = mem;
        data_ = static_cast<char*>(GlobalLock(handle_));
        if (!mem || !data_) return false;
    }
    // The slack past the written bytes travels with a detached block; keep it clean.
    std::memset(data_ + size_, 0, step_);
    size_ = newSize;
    return true;
}

int OutMemStream::Good() {
    return pos_ >= 0 && pos_ < length_;
}

int OutMemStream::Put(char c) {
    if (handle_ && !data_) {
        // A failed grow could not lock the block again; retry before writing.
        data_ = static_cast<char*>(GlobalLock(handle_));
        if (!data_) return -1;
    }
    if (static_cast<SIZE_T>(pos_) >= size_ && !Grow()) return -1;
    data_[pos_++] = c;
    if (pos_ > length_) length_ = pos_;
    return 0;
}

long OutMemStream::TellP() {
    return pos_;
}

int OutMemStream::SeekP(long offset, int whence) {
    long target = SeekTarget(pos_, length_, offset, whence);
    if (target < 0) return -1;
    pos_ = target;
    return 0;
}

HGLOBAL OutMemStream::Detach() {
    HGLOBAL mem = handle_;
    if (mem && data_) GlobalUnlock(mem);
    handle_ = nullptr;
    data_ = nullptr;
    pos_ = length_ = 0;
    size_ = 0;
    return mem;
}
