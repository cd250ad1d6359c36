#pragma once
// The glyph program interpreter of native fonts: Type 1 charstring numbers and the plain
// command subset the native font format uses, read from a bounded byte range.

#include <cstdint>

class Path;

struct CharstringState {
    static constexpr int StackSize = 25;
    // Filled from the last slot towards the first: sp addresses the value pushed last, and
    // stack + StackSize when the stack is empty.
    std::int32_t stack[StackSize];
    std::int32_t* sp;
    const std::uint8_t* pos; // the next byte to read
    const std::uint8_t* end; // one past the glyph's last byte
    // Set when a number ran past `end` or a push found the stack full.
    bool overrun;

    CharstringState(const std::uint8_t* begin, const std::uint8_t* limit)
        : stack{}, sp(stack + StackSize), pos(begin), end(limit), overrun(false) {}
    int Depth() const { return int(stack + StackSize - sp); }
    void Clear() { sp = stack + StackSize; }
};

// Decodes the number whose first byte v (32 to 255) was just read and pushes it: v - 139;
// (v - 247) * 256 + w + 108; -(v - 251) * 256 - w - 108; or four bytes big-endian after 255.
// A number cut off by the end of the glyph, or a push onto a full stack, sets `overrun` and
// pushes nothing.
void DecodeCharstringNumber(CharstringState& state, int v);

// Runs a glyph program over [begin, end), appending to path from the current point (0, 0).
// 0: ended by endchar. -1: ended by the escapes 0, 16 or 17, by running past the end, or by
// more than 25 operands; what was appended stays. Missing operands count 0.
int InterpretCharstring(const std::uint8_t* begin, const std::uint8_t* end, Path& path);
