#include "BmpIntake.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include <guardalloc/Guardalloc.h>
#include <mfc/CFile.h>
#include <win32/kernel.h>

namespace {

using u64 = std::uint64_t;

std::uint32_t U32(const BYTE* p) {
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}
std::uint16_t U16(const BYTE* p) {
    return std::uint16_t(p[0] | (p[1] << 8));
}

u64 Stride(u64 width, unsigned bits) {
    return ((width * bits + 31) >> 3) & ~u64(3);
}

// One colour channel described by a bit mask, scaled to 0..255.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint64_t max = 0;

    explicit Channel(std::uint32_t m) : mask(m) {
        if (!m) return;
        while (!((m >> shift) & 1))
            ++shift;
        max = m >> shift; // the gaps of a non-contiguous mask count as bits
    }
    BYTE Get(std::uint32_t pixel) const {
        if (!max) return 0;
        const u64 v = (pixel & mask) >> shift;
        return BYTE((v * 255 + max / 2) / max);
    }
};

struct Header {
    unsigned size = 0;
    std::int64_t width = 0;
    std::int64_t height = 0; // negative: top-down
    unsigned bits = 0;
    std::uint32_t compression = BI_RGB;
    std::uint32_t colorsUsed = 0;
    LONG xPels = 0, yPels = 0;
    std::uint32_t masks[3] = {0, 0, 0}; // red, green, blue
    bool core = false;
};

bool KnownHeaderSize(unsigned size) {
    return size == 12 || size == 16 || size == 40 || size == 52 || size == 56 || size == 64 ||
           size == 108 || size == 124;
}

void PutNibble(BYTE* row, u64 x, unsigned v) {
    BYTE& b = row[x >> 1];
    b = (x & 1) ? BYTE((b & 0xF0) | (v & 0x0F)) : BYTE((b & 0x0F) | ((v & 0x0F) << 4));
}

// Decodes RLE8 (nibbles false) or RLE4 data into bottom-up rows of the block. Returns the
// cause of a refusal, or LoadOk; `used` receives the bytes consumed.
// Some writers encode the row's padding too: pixels there are dropped, and only a run past the
// padded row is refused.
CDib::LoadError DecodeRle(const std::vector<BYTE>& d, bool nibbles, BYTE* bits, u64 stride, u64 w,
                          u64 h, u64& used) {
    u64 pos = 0, x = 0, y = 0;
    const u64 n = d.size();
    const u64 limit = nibbles ? 2 * stride : stride;
    auto put = [&](u64 px, unsigned v) {
        if (px >= w) return;
        BYTE* row = bits + y * stride;
        if (nibbles)
            PutNibble(row, px, v);
        else
            row[px] = BYTE(v);
    };
    while (pos < n) {
        if (pos + 2 > n) return CDib::Truncated;
        const unsigned a = d[pos], b = d[pos + 1];
        pos += 2;
        if (a > 0) { // a pixels of b
            if (y >= h || x + a > limit) return CDib::Compression;
            for (unsigned k = 0; k < a; ++k)
                put(x + k, nibbles ? ((k & 1) ? (b & 0x0F) : (b >> 4)) : b);
            x += a;
        } else if (b == 0) { // end of line
            x = 0;
            ++y;
            if (y > h) return CDib::Compression;
        } else if (b == 1) { // end of bitmap
            used = pos;
            return CDib::LoadOk;
        } else if (b == 2) { // move right and up
            if (pos + 2 > n) return CDib::Truncated;
            x += d[pos];
            y += d[pos + 1];
            pos += 2;
            if (x > limit || y > h) return CDib::Compression;
        } else { // b literal pixels, padded to a 16-bit boundary
            const u64 bytes = nibbles ? (b + 1) / 2 : b;
            if (pos + bytes > n) return CDib::Truncated;
            if (y >= h || x + b > limit) return CDib::Compression;
            for (unsigned k = 0; k < b; ++k) {
                const unsigned byte = d[pos + (nibbles ? k / 2 : k)];
                put(x + k, nibbles ? ((k & 1) ? (byte & 0x0F) : (byte >> 4)) : byte);
            }
            x += b;
            pos += bytes + (bytes & 1);
            if (pos > n) pos = n; // the last pad byte may be missing
        }
    }
    used = pos; // no end-of-bitmap mark: the data simply end
    return CDib::LoadOk;
}

} // namespace

bool MemorySource::Read(std::uint64_t pos, void* out, std::size_t n) {
    if (pos > m_size || n > m_size - pos) return false;
    if (n) std::memcpy(out, m_data + pos, n);
    return true;
}

FileSource::FileSource(CFile& file) : m_file(file) {
    m_base = file.GetPosition();
    const u64 length = file.GetLength();
    m_size = length > m_base ? length - m_base : 0;
}

bool FileSource::Read(std::uint64_t pos, void* out, std::size_t n) {
    if (pos > m_size || n > m_size - pos) return false;
    m_file.Seek(std::int64_t(m_base + pos), CFile::begin);
    BYTE* p = static_cast<BYTE*>(out);
    while (n > 0) {
        const UINT chunk = UINT(n > 0x40000000u ? 0x40000000u : n);
        const UINT got = m_file.Read(p, chunk);
        if (got == 0) return false;
        p += got;
        n -= got;
    }
    return true;
}

bool IsCanonicalDib(const void* packed, std::uint64_t size) {
    if (size < 40) return false;
    const BYTE* p = static_cast<const BYTE*>(packed);
    const std::int32_t width = std::int32_t(U32(p + 4)), height = std::int32_t(U32(p + 8));
    const unsigned bits = U16(p + 14);
    const std::uint32_t used = U32(p + 32);
    if (U32(p) != 40 || U32(p + 16) != BI_RGB || width <= 0 || height <= 0) return false;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24) return false;
    const u64 entries = bits <= 8 ? (u64(1) << bits) : 0;
    if (used != 0 && used != entries) return false;
    const u64 need = 40 + entries * 4 + Stride(u64(width), bits) * u64(height);
    return need <= size && need <= kMaxDibBlock;
}

IntakeResult ReadDib(ByteSource& src, std::uint64_t headerPos, std::int64_t bitsPos) {
    IntakeResult result;
    auto fail = [&](CDib::LoadError e) {
        result.error = e;
        return result;
    };

    BYTE raw[124];
    if (!src.Read(headerPos, raw, 4)) return fail(CDib::Truncated);
    Header hd;
    hd.size = U32(raw);
    if (!KnownHeaderSize(hd.size)) return fail(CDib::HeaderSize);
    if (!src.Read(headerPos, raw, hd.size)) return fail(CDib::Truncated);
    if (hd.size == 12) {
        hd.core = true;
        hd.width = U16(raw + 4);
        hd.height = U16(raw + 6);
        hd.bits = U16(raw + 10);
    } else if (hd.size == 16) { // OS/2 2.x, cut after the depth: the rest counts as 0
        hd.width = std::int32_t(U32(raw + 4));
        hd.height = std::int32_t(U32(raw + 8));
        hd.bits = U16(raw + 14);
    } else {
        hd.width = std::int32_t(U32(raw + 4));
        hd.height = std::int32_t(U32(raw + 8));
        hd.bits = U16(raw + 14);
        hd.compression = U32(raw + 16);
        // OS/2 2.x numbers its Huffman and 24-bit run codings 3 and 4: neither is read.
        if (hd.size == 64 && hd.compression > BI_RLE4) return fail(CDib::Compression);
        hd.xPels = LONG(U32(raw + 24));
        hd.yPels = LONG(U32(raw + 28));
        hd.colorsUsed = U32(raw + 32);
        if (hd.size >= 52 && hd.size != 64)
            for (int i = 0; i < 3; ++i)
                hd.masks[i] = U32(raw + 40 + 4 * i);
    }
    u64 tablePos = headerPos + hd.size;

    // Depth and compression.
    if (hd.compression > BI_BITFIELDS) return fail(CDib::Compression);
    unsigned outBits = hd.bits;
    switch (hd.bits) {
    case 1:
    case 24:
        if (hd.compression != BI_RGB) return fail(CDib::Compression);
        break;
    case 4:
        if (hd.compression != BI_RGB && hd.compression != BI_RLE4) return fail(CDib::Compression);
        break;
    case 8:
        if (hd.compression != BI_RGB && hd.compression != BI_RLE8) return fail(CDib::Compression);
        break;
    case 16:
    case 32:
        if (hd.compression != BI_RGB && hd.compression != BI_BITFIELDS)
            return fail(CDib::Compression);
        outBits = 24;
        if (hd.compression == BI_RGB) {
            if (hd.bits == 16) {
                hd.masks[0] = 0x7C00;
                hd.masks[1] = 0x03E0;
                hd.masks[2] = 0x001F;
            } else {
                hd.masks[0] = 0xFF0000;
                hd.masks[1] = 0x00FF00;
                hd.masks[2] = 0x0000FF;
            }
        } else if (hd.size == 40) { // the three masks follow the header
            BYTE m[12];
            if (!src.Read(tablePos, m, 12)) return fail(CDib::Truncated);
            for (int i = 0; i < 3; ++i)
                hd.masks[i] = U32(m + 4 * i);
            tablePos += 12;
        }
        break;
    default:
        return fail(CDib::ColorCount);
    }

    // Dimensions.
    const bool topDown = hd.height < 0;
    const u64 w = hd.width > 0 ? u64(hd.width) : 0;
    const u64 h = u64(std::llabs(hd.height));
    if (w == 0 || h == 0 || h > 0x7FFFFFFF) return fail(CDib::Dimensions);
    if (topDown && hd.compression != BI_RGB && hd.compression != BI_BITFIELDS)
        return fail(CDib::Compression);
    if (w > 0x7FFFFFFF) return fail(CDib::Dimensions);
    const u64 entries = outBits <= 8 ? (u64(1) << outBits) : 0;
    const u64 outStride = Stride(w, outBits);
    if (outStride > kMaxDibBlock / h) return fail(CDib::Dimensions);
    const u64 blockSize = 40 + entries * 4 + outStride * h;
    if (blockSize > kMaxDibBlock) return fail(CDib::Dimensions);

    // Colour table.
    if (hd.bits <= 8 && hd.colorsUsed > entries) return fail(CDib::ColorCount);
    const u64 tableCount = hd.bits <= 8 ? (hd.colorsUsed ? hd.colorsUsed : entries) : hd.colorsUsed;
    const unsigned entrySize = hd.core ? 3 : 4;
    u64 bits;
    if (bitsPos < 0) {
        bits = tablePos + tableCount * entrySize;
    } else {
        bits = u64(bitsPos);
        if (bits < tablePos) return fail(CDib::BitsPastEnd);
    }
    u64 readEntries = 0;
    if (hd.bits <= 8) {
        readEntries = tableCount;
        if (bits < tablePos + tableCount * entrySize) readEntries = (bits - tablePos) / entrySize;
    }
    std::vector<BYTE> table(std::size_t(readEntries * entrySize));
    if (!table.empty() && !src.Read(tablePos, table.data(), table.size()))
        return fail(CDib::Truncated);
    if (bits > src.Size()) return fail(CDib::BitsPastEnd);

    // The bits must be there before anything is allocated.
    const u64 srcStride = Stride(w, hd.bits);
    const u64 lastRow = (w * hd.bits + 7) / 8; // the last row's padding may be missing
    const bool rle = hd.compression == BI_RLE8 || hd.compression == BI_RLE4;
    u64 rleBytes = 0;
    if (rle) {
        rleBytes = src.Size() - bits;
        // Compressed data expand at most 512 times here; more is a damaged or hostile file.
        if (outStride * h > (u64(16) << 20) && outStride * h / 512 > rleBytes)
            return fail(CDib::Dimensions);
    } else if (srcStride * (h - 1) + lastRow > src.Size() - bits) {
        return fail(CDib::BitsPastEnd);
    }

    HGLOBAL block = SafeGAlloc(GMEM_MOVEABLE | (rle ? GMEM_ZEROINIT : 0), unsigned(blockSize));
    if (!block) return fail(CDib::NoMemory);
    BYTE* out = static_cast<BYTE*>(GlobalLock(block));
    auto release = [&](CDib::LoadError e) {
        GlobalUnlock(block);
        GlobalFree(block);
        return fail(e);
    };

    BITMAPINFOHEADER info{};
    info.biSize = 40;
    info.biWidth = LONG(w);
    info.biHeight = LONG(h);
    info.biPlanes = 1;
    info.biBitCount = WORD(outBits);
    info.biCompression = BI_RGB;
    info.biXPelsPerMeter = hd.xPels;
    info.biYPelsPerMeter = hd.yPels;
    std::memcpy(out, &info, 40);
    BYTE* colors = out + 40;
    std::memset(colors, 0, std::size_t(entries * 4));
    for (u64 i = 0; i < readEntries; ++i) {
        std::memcpy(colors + 4 * i, table.data() + i * entrySize, 3);
    }
    BYTE* outBitsPtr = colors + entries * 4;

    try {
        if (rle) {
            std::vector<BYTE> data(static_cast<std::size_t>(rleBytes));
            if (!src.Read(bits, data.data(), data.size())) return release(CDib::Truncated);
            u64 used = 0;
            const CDib::LoadError e =
                DecodeRle(data, hd.compression == BI_RLE4, outBitsPtr, outStride, w, h, used);
            if (e != CDib::LoadOk) return release(e);
            result.end = bits + used;
        } else if (outBits == hd.bits) {
            for (u64 i = 0; i < h; ++i) {
                BYTE* row = outBitsPtr + (topDown ? h - 1 - i : i) * outStride;
                // Row padding is zeroed, so a picture saves the same bytes however it came.
                if (!src.Read(bits + i * srcStride, row, std::size_t(lastRow)))
                    return release(CDib::BitsPastEnd);
                std::memset(row + lastRow, 0, std::size_t(outStride - lastRow));
            }
            result.end = std::min(bits + srcStride * h, src.Size());
        } else { // 16 or 32 bits to 24
            const Channel red(hd.masks[0]), green(hd.masks[1]), blue(hd.masks[2]);
            std::vector<BYTE> line(static_cast<std::size_t>(srcStride));
            const unsigned bytesPerPixel = hd.bits / 8;
            for (u64 i = 0; i < h; ++i) {
                if (!src.Read(bits + i * srcStride, line.data(), std::size_t(lastRow)))
                    return release(CDib::BitsPastEnd);
                BYTE* row = outBitsPtr + (topDown ? h - 1 - i : i) * outStride;
                for (u64 x = 0; x < w; ++x) {
                    const BYTE* p = line.data() + x * bytesPerPixel;
                    const std::uint32_t v = bytesPerPixel == 2 ? U16(p) : U32(p);
                    row[3 * x] = blue.Get(v);
                    row[3 * x + 1] = green.Get(v);
                    row[3 * x + 2] = red.Get(v);
                }
                std::memset(row + 3 * w, 0, std::size_t(outStride - 3 * w));
            }
            result.end = std::min(bits + srcStride * h, src.Size());
        }
    } catch (const std::bad_alloc&) {
        return release(CDib::NoMemory);
    } catch (...) {
        GlobalUnlock(block);
        GlobalFree(block);
        throw;
    }
    GlobalUnlock(block);
    result.block = block;
    return result;
}
