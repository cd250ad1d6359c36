#pragma once
// Input from a memory buffer the caller keeps.

#include "pathkit/InStream.h"

class PATHKIT_API InStrStream : public InStream {
public:
    InStrStream(const char* data, long length);
    void Attach(const char* data, long length);

    int Good() override;
    int Get() override;
    int UnGet() override;
    // 0 and 1 land in [0, length - 1]; 2 sets length - offset for 0 <= offset <= length.
    int SeekG(long offset, int whence) override;
    long TellG() override;

private:
    long pos_ = 0;
    const unsigned char* data_ = nullptr;
    long length_ = 0;
};
