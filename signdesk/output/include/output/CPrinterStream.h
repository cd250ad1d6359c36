#pragma once
// PostScript text for a printer, handed to its driver in blocks through the
// POSTSCRIPT_PASSTHROUGH escape. The buffer holds a 16-bit count followed by the data bytes,
// the layout that escape takes. Nothing is sent before the buffer is full or Flush is called;
// the owner flushes before deleting the stream, since deleting sends nothing.

#include <cstdint>
#include <vector>

#include "pathkit/OutStream.h"

class CDC;

class CPrinterStream : public OutStream {
public:
    // Every caller passes 16382. The data capacity is the given one rounded down to an even
    // number, at least 2.
    CPrinterStream(CDC* printer, std::uint16_t capacity);

    // Non-zero while the context has an output handle and no flush has failed.
    int Good() override;
    // Flushes first when the buffer is full; -1 (and Good turns 0) when that flush fails.
    int Put(char c) override;
    long TellP() override { return -1; }
    int SeekP(long, int) override { return -1; }
    int Write(const void*, int) override { return -1; }
    // FLUSHOUTPUT on the attribute handle, then the buffer through POSTSCRIPT_PASSTHROUGH;
    // the count starts again at 0. Returns the second escape's result.
    int Flush() override;

    // Data bytes waiting in the buffer.
    std::uint16_t Pending() const;

private:
    CDC* dc_;
    std::uint16_t capacity_;
    std::vector<char> buffer_;
    bool failed_ = false;
};
