#pragma once
// The Lzss compressor of stored designs: LZSS with a 4 KB window (flag bytes whose bits, low
// first, mark a literal byte (1) or a match of two bytes (0): 12 bits of window position and
// 4 bits of length - 3, lengths 3 to 18; the window starts filled with spaces and its first
// byte is written at position 4078).

#include <mfc/CArchive.h>

#define COMPRESSOR_API __attribute__((visibility("default")))

class COMPRESSOR_API ArchiveCompressor {
public:
    // Writes the compressed form of size bytes to ar; returns its length in bytes.
    static unsigned long Compress(const void* data, unsigned long size, CArchive& ar);
    // Reads exactly compressedSize bytes from ar and writes what they expand to into dest,
    // never more than destSize bytes; returns the bytes written. Data that end inside a
    // match or expand past destSize are cut there (the caller compares the count with the
    // size it expected). An archive that ends first throws its end-of-file exception.
    static unsigned long Decompress(CArchive& ar, unsigned long compressedSize, void* dest,
                                    unsigned long destSize);
    // The most bytes compressedSize bytes can expand to (a flag byte and eight matches of 2
    // bytes give 8 x 18 bytes).
    static unsigned long long MaxExpandedSize(unsigned long compressedSize) {
        return (unsigned long long)compressedSize * 144 / 17 + 144;
    }
};
