#pragma once
// Byte streams over files, opened in binary mode by name and closed with the object.

#include <cstdio>

#include "pathkit/InStream.h"
#include "pathkit/OutStream.h"
#include "pathkit/export.h"

// Reads through a buffer of its own and counts its position, so that Get and TellG cost no
// call of the C library.
class PATHKIT_API FileInStream : public InStream {
public:
    explicit FileInStream(const char* fileName);
    FileInStream(const FileInStream&) = delete;
    FileInStream& operator=(const FileInStream&) = delete;
    ~FileInStream() override;

    bool IsOpen() const { return file_ != nullptr; }
    // The file's size in bytes, measured by seeking to its end (the position is kept);
    // -1 when it is not open or cannot be measured.
    long Size();

    // False once a read ran past the end or failed, until the next seek.
    int Good() override;
    int Get() override;
    // Steps back one byte; -1 at the start.
    int UnGet() override;
    // whence 0 from the start, 1 from the position, 2 back from the end (as the memory
    // streams). 0, or -1 when refused.
    int SeekG(long offset, int whence) override;
    long TellG() override;
    int Read(void* buffer, int n) override;

private:
    bool Fill();

    static constexpr int BufferSize = 1 << 16;
    std::FILE* file_;
    unsigned char* buffer_;
    long bufferStart_ = 0; // file position of buffer_[0]
    int length_ = 0;
    int pos_ = 0;
    bool failed_ = false;
};

// Writes through the C library's buffer. Created or truncated.
class PATHKIT_API FileOutStream : public OutStream {
public:
    explicit FileOutStream(const char* fileName);
    FileOutStream(const FileOutStream&) = delete;
    FileOutStream& operator=(const FileOutStream&) = delete;
    // Closes the file; a failure then goes unreported: call Close to learn of it.
    ~FileOutStream() override;

    bool IsOpen() const { return file_ != nullptr; }
    // Flushes and closes; 0, or -1 when a write failed at any time or the file was not open.
    int Close();

    int Good() override;
    int Put(char c) override;
    long TellP() override;
    int SeekP(long offset, int whence) override;
    int Write(const void* data, int n) override;
    int Flush() override; // 0, or -1 once a write has failed

private:
    std::FILE* file_;
    bool failed_ = false;
};
