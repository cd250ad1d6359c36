#pragma once
// Output into a growing block of movable global memory, e.g. for the clipboard.

#include <win32/base.h>

#include "pathkit/OutStream.h"

class PATHKIT_API OutMemStream : public OutStream {
public:
    // The block grows by step bytes (0 means the default).
    explicit OutMemStream(unsigned step = 1024);
    OutMemStream(const OutMemStream&) = delete;
    OutMemStream& operator=(const OutMemStream&) = delete;
    ~OutMemStream() override;

    int Good() override;
    // -1 when the block cannot be made or grown; the bytes written stay.
    int Put(char c) override;
    long TellP() override;
    // As InStrStream::SeekG, relative to the written length.
    int SeekP(long offset, int whence) override;

    // The locked block, null before the first byte.
    char* GetBuffer() { return data_; }
    // Hands the unlocked block to the caller and empties the stream; null if nothing written.
    HGLOBAL Detach();

private:
    bool Grow();
    void Release();

    HGLOBAL handle_ = nullptr;
    char* data_ = nullptr;
    long pos_ = 0;
    long length_ = 0; // highest position written
    SIZE_T size_ = 0; // allocated
    unsigned step_;
};
