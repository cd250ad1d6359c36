#pragma once
// The native font file: a 1655-byte little-endian header with 256 glyph slots, followed by
// the glyph programs in ascending slot order.

#include <cstddef>
#include <cstdint>
#include <vector>

class Path;

constexpr std::uint32_t WftMagic = 0x1220F400;    // slots by ANSI code
constexpr std::uint32_t WftMagicOem = 0x1220F3FF; // slots by OEM code (older files)
constexpr std::size_t WftHeaderSize = 1655;
constexpr std::size_t WftNameSize = 60;
constexpr int WftSlotCount = 256;
constexpr std::size_t WftSlotTable = 119; // file offset of the slot table

struct WftGlyphEntry {
    std::uint16_t length; // bytes of the program; 0: no glyph
    std::uint32_t offset; // file position of its first byte
};

struct WftHeader {
    std::uint32_t magic = WftMagic;
    char fontName[WftNameSize] = {};
    float fontMatrix[6] = {0.001f, 0, 0, 0.001f, 0, 0};
    std::uint16_t field88 = 0; // written as given, not interpreted
    std::uint16_t field90 = 1000;
    std::uint16_t field92 = 500;
    std::uint16_t field94 = 0;
    std::int16_t unitsPerEm = 1000;
    std::uint8_t field98 = 0;
    std::uint8_t reserved[20] = {};
    WftGlyphEntry glyphs[WftSlotCount] = {};

    // A new font's header; the name is cut to 59 bytes.
    static WftHeader New(const char* name);
    // Byte-exact form.
    void Write(std::uint8_t out[WftHeaderSize]) const;
    // False when fewer than WftHeaderSize bytes are given.
    bool Read(const std::uint8_t* data, std::size_t size);
};

// Encodes an outline in em units into a glyph program of the given units per em. Returns
// false, and leaves program empty, when the advance width is 10 units or less (or not a
// number) or the program would exceed 65535 bytes.
bool EncodeWftGlyph(const Path& outline, std::int16_t unitsPerEm,
                    std::vector<std::uint8_t>& program);

// Appends one charstring number in its shortest form.
void EncodeCharstringNumber(std::int32_t v, std::vector<std::uint8_t>& out);

// A whole font file held in memory: the header plus one program per slot, laid out in slot
// order when written.
class WftFontImage {
public:
    explicit WftFontImage(const char* name) : header(WftHeader::New(name)) {}
    // Encodes the outline into the slot; false leaves the slot empty.
    bool SetGlyph(int slot, const Path& outline);
    // Stores a raw program (tests and tools); programs over 65535 bytes are refused.
    bool SetProgram(int slot, const std::vector<std::uint8_t>& program);
    // The file's bytes, offsets and lengths filled in.
    std::vector<std::uint8_t> Bytes() const;

    WftHeader header;

private:
    std::vector<std::uint8_t> programs[WftSlotCount];
};
