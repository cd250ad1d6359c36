#pragma once
// Output into a fixed buffer the caller keeps; nothing is appended as a terminator.

#include "pathkit/OutStream.h"

class PATHKIT_API OutStrStream : public OutStream {
public:
    OutStrStream(char* buffer, long size);
    void Attach(char* buffer, long size);

    int Good() override;
    int Put(char c) override;
    long TellP() override;
    // As InStrStream::SeekG, relative to the buffer size.
    int SeekP(long offset, int whence) override;

private:
    long pos_ = 0;
    char* buffer_ = nullptr;
    long size_ = 0;
};
