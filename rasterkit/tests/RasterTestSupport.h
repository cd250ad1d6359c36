#pragma once
// Helpers of the raster tests: pictures from PPM files, bitmaps from pixel lists, files in
// memory.

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "mfc/CMemFile.h"
#include "rasterkit/CDib.h"

using Bytes = std::vector<BYTE>;

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<BYTE> rgb; // red, green, blue per pixel, top row first
};

// A binary PPM (P6, maxval 255) from the test data folder's path.
Picture ReadPpm(const std::string& path);

// Every pixel of the bitmap equals the picture's (read with GetPixel as red, green, blue).
::testing::AssertionResult SamePixels(DIBInterface& dib, const Picture& pic);

// A 24-bit bitmap of the picture.
void Make24(CDib& dib, const Picture& pic);

// Every byte written to the memory file.
Bytes Contents(CFile& file);
// A memory file holding the bytes, positioned at the start.
void Fill(CMemFile& file, const Bytes& bytes);

Bytes ReadFileBytes(const std::string& path);

inline void Put16(Bytes& b, std::size_t at, unsigned v) {
    b[at] = BYTE(v);
    b[at + 1] = BYTE(v >> 8);
}
inline void Put32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = BYTE(v >> (8 * i));
}

// A pixel value of a 24-bit bitmap from red, green, blue.
inline unsigned Bgr(BYTE r, BYTE g, BYTE b) {
    return unsigned(b) | (unsigned(g) << 8) | (unsigned(r) << 16);
}
