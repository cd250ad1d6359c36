#pragma once
// Abstract byte output with number formatting.

#include <string>

#include "pathkit/StreamArgs.h"
#include "pathkit/export.h"

class PATHKIT_API OutStream {
public:
    OutStream() = default;
    OutStream(const OutStream&) = default;
    OutStream& operator=(const OutStream&) = default;

    virtual int Good() = 0;
    // 0 on success, -1 on failure.
    virtual int Put(char c) = 0;
    virtual long TellP() = 0;
    virtual int SeekP(long offset, int whence) = 0;
    // Writes up to n bytes, stopping at the first failure; returns the count written.
    virtual int Write(const void* data, int n);
    // Hands buffered bytes on; 0 here, a stream's own result where it sends them.
    virtual int Flush();
    virtual ~OutStream();

    // The bytes without the terminator.
    OutStream& operator<<(const char* text);
    OutStream& operator<<(const unsigned char* text);
    OutStream& operator<<(char c);
    OutStream& operator<<(unsigned char c);
    // In the number base (2..36, lower-case letters); only base 10 writes a sign.
    OutStream& operator<<(long value);
    OutStream& operator<<(int value);
    OutStream& operator<<(unsigned long value);
    OutStream& operator<<(unsigned int value);
    // With the number format, '.' as the point, at most 79 characters.
    OutStream& operator<<(double value);
    OutStream& operator<<(float value);
    OutStream& operator<<(EndLine);
    OutStream& operator<<(Format format);
    OutStream& operator<<(NumBase base);
    OutStream& operator<<(Repeat repeat);

    const char* GetFormat() const { return format_.c_str(); }
    int GetBase() const { return base_; }

private:
    int base_ = 10;
    std::string format_ = "%g";
};
