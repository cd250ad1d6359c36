#pragma once
// The one intake of outside bitmaps. It reads a bitmap information header (12-byte core,
// OS/2 2.x of 16 or 64 bytes, or 40/52/56/108/124-byte forms), the colour table and the bits from a
// byte source, checks every count and offset against the bytes there before allocating, and builds
// a canonical packed block: 40-byte header, the depth's full colour table, bottom-up uncompressed
// rows of 1, 4, 8 or 24 bits. Top-down rows are turned, RLE8/RLE4 decoded, 16- and 32-bit pixels
// (plain or with bit fields) become 24-bit. Anything else is refused with its cause.

#include <cstddef>
#include <cstdint>

#include "rasterkit/CDib.h"

// Bytes at positions 0 .. Size() - 1.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual std::uint64_t Size() const = 0;
    // False when fewer than n bytes are there at pos.
    virtual bool Read(std::uint64_t pos, void* out, std::size_t n) = 0;
};

class MemorySource : public ByteSource {
public:
    MemorySource(const void* data, std::uint64_t size)
        : m_data(static_cast<const BYTE*>(data)), m_size(size) {}
    std::uint64_t Size() const override { return m_size; }
    bool Read(std::uint64_t pos, void* out, std::size_t n) override;

private:
    const BYTE* m_data;
    std::uint64_t m_size;
};

// The rest of a file from its current position; file errors pass as CFileException.
class FileSource : public ByteSource {
public:
    explicit FileSource(CFile& file);
    std::uint64_t Size() const override { return m_size; }
    bool Read(std::uint64_t pos, void* out, std::size_t n) override;
    std::uint64_t Base() const { return m_base; }

private:
    CFile& m_file;
    std::uint64_t m_base;
    std::uint64_t m_size;
};

struct IntakeResult {
    HGLOBAL block = nullptr; // locked nowhere; the caller owns it
    CDib::LoadError error = CDib::LoadOk;
    std::uint64_t end = 0; // the position after the bits read
};

// The largest canonical block made (it must fit the allocator's 32-bit size).
constexpr std::uint64_t kMaxDibBlock = 0x7FFF0000u;

// headerPos: where the information header starts. bitsPos: where the bits start, or -1 for
// the packed form, whose bits follow the colour table (of colours-used entries).
IntakeResult ReadDib(ByteSource& src, std::uint64_t headerPos, std::int64_t bitsPos);

// True when the packed bitmap of `size` bytes is canonical already (see above).
bool IsCanonicalDib(const void* packed, std::uint64_t size);
