#pragma once
// The size limits of every reader, in one place. A picture is refused before anything is
// allocated when it is larger than these, or when the bytes there cannot hold it even at its
// coding's greatest expansion.

#include <cstdint>

namespace imaging {

#ifdef SD_IMAGING_FUZZ
constexpr std::uint64_t kMaxPixels = std::uint64_t(1) << 22; // fuzzing finds faults, not sizes
#else
constexpr std::uint64_t kMaxPixels = std::uint64_t(1) << 28;
#endif
constexpr long kMaxSide = 65535;

// Greatest expansions: deflate about 1032:1 (bytes of rows per byte of data); a JPEG block
// of a component takes at least 2 bits; a run of PackBits, PCX, Targa or a bitmap RLE at most
// 128, 63, 128 and 255 pixels per 2 bytes.
constexpr std::uint64_t kDeflateExpansion = 1032;
constexpr std::uint64_t kJpegBlocksPerByte = 4;
constexpr std::uint64_t kMaxJpegScans = 1000;

// Width and height within the limits.
inline bool SizeAllowed(std::int64_t width, std::int64_t height) {
    return width >= 1 && height >= 1 && width <= kMaxSide && height <= kMaxSide &&
           std::uint64_t(width) * std::uint64_t(height) <= kMaxPixels;
}

// Bytes of the unpacked rows, at `bits` per pixel (rows padded to whole bytes).
inline std::uint64_t RawBytes(std::int64_t width, std::int64_t height, int bits) {
    return (std::uint64_t(width) * std::uint64_t(bits) + 7) / 8 * std::uint64_t(height);
}

// True when `dataBytes` bytes can fill `rawBytes` bytes at `expansion` times at most (a small
// allowance covers headers and end codes).
inline bool CanFill(std::uint64_t rawBytes, std::uint64_t dataBytes, std::uint64_t expansion) {
    return rawBytes <= (dataBytes + 64) * expansion;
}

} // namespace imaging
