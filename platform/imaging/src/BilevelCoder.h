#pragma once
// The toolkit's own 1-bit format ("KOVA Proprietary", version 1). Compiled into the stand-in
// (the encoder of code 26) and into imgflt-lma (the decoder); it needs nothing but the
// standard library, and the decoder takes its memory and bytes from its caller.
//
// File: a 24-byte header, then the coded rows as one bit stream, most significant bit first.
//   0  "KOVA"
//   4  12 bytes of 0
//   16 width, 18 height (little-endian words, both above 0)
//   20 version 1
//   21 flags: (flags & 0x30) >= 0x20 rows bottom-up, else top-down; flags & 0x0F zero: index 0
//      black and 1 white, else index 0 white and 1 black
//   22 a little-endian word: 1 = isolated pixels are cleaned against the neighbouring rows
//
// Rows are coded against the row before them (the first against a row of 0), the way two-
// dimensional fax coding does it: a0 is the position reached in the row (before the first
// pixel at its start, colour 0), a1 the next change of colour after a0, b1 the first change
// of the reference row after a0 into the colour opposite a0's, b2 the change after b1.
// Modes, one symbol each:
//   0..6  a1 = b1 + 0, +1, -1, +2, -2, +3, -3; a0 = a1, the colour flips
//   7     pass: b2 lies before a1; a0 = b2
//   8     the rest of the row keeps a0's colour
//   9     two runs follow (a0..a1 and a1..a2); a0 = a2
//   10    mode 0, 2 + n times; n (0..63) follows from the repeat model
// Symbols come from adaptive Huffman trees (each leaf weighs its uses; a leaf heavier than the
// node above it in the order trades places with the heaviest node of its old weight; a tree
// weighing 0x9000 halves its leaves and is rebuilt). A tree starts empty; its escape leaf
// precedes a literal of the symbol (8 bits for runs, 4 for modes, 6 for repeats), which then
// joins the tree. Models: nine of modes, by the mode before (row start; 0; 1-2; 3-4; 5-6; 7;
// 8; 9; 10), one of repeat counts, and twelve of runs, by colour and by the bucket of the
// last run of that colour (0, 1-2, 3-8, 9-32, 33-128, more). A run symbol below 180 is the
// run; 180 + k (k 0..7) is followed by run - 180 in 9 + k bits.
// A mode above 10, a run symbol above 187 or an escape naming a known symbol is damage.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace bilevel {

constexpr std::size_t kHeaderBytes = 24;

enum Result : int {
    kOk = 1,
    kBadSymbol = 0, // a mode above 10
    kNoMemory = -1,
    kReadError = -7,
    kDamaged = -9,
};

struct Header {
    int width = 0, height = 0;
    bool bottomUp = false;
    bool indexZeroWhite = false;
    bool clean = false;
};
// False when the bytes are not a version 1 file (magic or version differ).
bool ParseHeader(const std::uint8_t* bytes, std::size_t size, Header& header);

// Pixel at x of an interior row flipped when all eight neighbours differ from it; `out` gets
// the row. Border pixels stay, so cleaning a cleaned picture changes nothing.
void CleanRow(const std::uint8_t* above, const std::uint8_t* row, const std::uint8_t* below,
              int width, std::uint8_t* out);

struct EncodeOptions {
    bool bottomUp = false;
    bool indexZeroWhite = false; // only written into the header; pixels go as they stand
    bool invert = false;         // stores 1 - pixel and the other polarity
    bool clean = false;
};
// Rows by `row(user, y, pixels)`, y counted from the top, one byte 0/1 per pixel.
using RowSource = void (*)(void* user, int y, std::uint8_t* pixels);
// The whole file; false for a size outside 1..65535.
bool Encode(int width, int height, RowSource row, void* user, const EncodeOptions& options,
            std::vector<std::uint8_t>& out);

struct Models;

// Decodes rows one at a time from bytes pulled by `fill` (bytes given, 0 at the end, negative
// on a read failure). Memory comes from the caller's allocator and goes back in the destructor.
class Decoder {
public:
    using Fill = int (*)(void* user, std::uint8_t* buffer, int capacity);
    using Alloc = void* (*)(std::size_t bytes);
    using Free = void (*)(void* block);

    Decoder(Alloc alloc, Free free) : alloc_(alloc), free_(free) {}
    ~Decoder();
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;

    // kOk or kNoMemory. `buffer` bytes are read at a time.
    int Start(int width, int buffer, Fill fill, void* user);
    // The next row (width bytes of 0/1, in file order): kOk, kBadSymbol, kDamaged, kReadError.
    int Row(std::uint8_t* pixels);

private:
    int Bit();
    int Bits(int count, std::uint32_t& value);
    int Symbol(int model, int& symbol);
    int Run(int colour, int& run);

    Alloc alloc_;
    Free free_;
    Fill fill_ = nullptr;
    void* user_ = nullptr;
    Models* models_ = nullptr;
    std::uint8_t* buffer_ = nullptr;
    int capacity_ = 0, size_ = 0, at_ = 0, bit_ = 0;
    int readError_ = 0;
    int width_ = 0;
    int* ref_ = nullptr; // changes of the reference row, then sentinels
    int* cur_ = nullptr;
    int lastRun_[2] = {0, 0};
};

} // namespace bilevel
