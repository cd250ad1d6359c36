#pragma once
// Abstract byte input with tokenising and number reading.

#include <string>

#include "pathkit/StreamArgs.h"
#include "pathkit/export.h"

class PATHKIT_API InStream {
public:
    InStream() = default;
    InStream(const InStream&) = default;
    InStream& operator=(const InStream&) = default;

    virtual int Good() = 0;
    // Next byte as 0..255, or -1 at the end.
    virtual int Get() = 0;
    virtual int UnGet() = 0;
    // whence: 0 from the start, 1 from the position, 2 back from the end. 0, or -1 if refused.
    virtual int SeekG(long offset, int whence) = 0;
    virtual long TellG() = 0;
    // Reads up to n bytes; returns the count.
    virtual int Read(void* buffer, int n);
    virtual ~InStream();

    // Reads up to len - 1 bytes, stopping after a byte of stops (consumed, not stored).
    // Always terminates the buffer when len > 0. Returns the count, or -1 when the input
    // ended before any byte was read.
    int GetString(char* buffer, int len, const char* stops);
    // Skips bytes outside set, then stores up to len - 1 bytes of set. Returns the count,
    // or -1 when the input ended before a byte of set.
    int Collect(char* buffer, int len, const char* set);

    InStream& operator>>(char& c);
    InStream& operator>>(unsigned char& c);
    // A token of at most the maximum token length - 1 bytes, up to a delimiter.
    InStream& operator>>(char* token);
    InStream& operator>>(unsigned char* token);
    // Integers in the number base, upper-case letters, an optional '-' right before the
    // digits. The target is unchanged when no digit is found; out-of-range values saturate.
    InStream& operator>>(long& value);
    InStream& operator>>(int& value);
    InStream& operator>>(unsigned long& value);
    InStream& operator>>(unsigned int& value);
    // Decimal numbers with '.' as the point; overflow saturates to the largest finite value.
    InStream& operator>>(double& value);
    InStream& operator>>(float& value);
    // Sets the delimiter set and skips delimiters.
    InStream& operator>>(WhiteSpace delimiters);
    InStream& operator>>(MaxLen maxLen);
    InStream& operator>>(NumBase base);

    int GetBase() const { return base_; }

private:
    int CollectInteger(char* buffer, bool negativeAllowed);

    int base_ = 10;
    std::string delimiters_ = " \t";
    int maxLen_ = 0;
};
