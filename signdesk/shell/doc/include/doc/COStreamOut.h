#pragma once
// The path library's output stream over a file opened for binary writing (created or
// truncated); it closes the file when destroyed.

#include <cstdio>

#include <pathkit/OutStream.h>

class COStreamOut : public OutStream {
public:
    explicit COStreamOut(const char* path);
    COStreamOut(const COStreamOut&) = delete;
    COStreamOut& operator=(const COStreamOut&) = delete;
    ~COStreamOut() override;

    int Good() override;
    int Put(char c) override;
    long TellP() override;
    // Clears the stream state first.
    int SeekP(long offset, int whence) override;
    int Write(const void* data, int n) override;
    int Flush() override;
    // Flushes the file to the disk and closes it; 0, or -1 when anything failed.
    int Close();

private:
    std::FILE* file_;
    bool failed_ = false;
};
