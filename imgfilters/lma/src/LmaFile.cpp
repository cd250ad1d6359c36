// imgflt-lma: the toolkit's own 1-bit format ("KOVA Proprietary", version 1), read only. The
// coding is written down in BilevelCoder.h. Rows go to the host two at a time.
#include <imaging/ImagingToolkit.h>
#include <imaging/KovaFilter.h>
#include <imgfilter/FilterEntry.h>
#include <imgfilter/FilterRows.h>

#include <cstdint>
#include <cstring>

#include "BilevelCoder.h"

namespace {

// 1 with the header read, 0 for another format, or a failure code. Sizes are checked against
// the limits and against the bytes there: every row takes at least one bit.
int ReadHeader(int file, bilevel::Header& h) {
    std::uint8_t bytes[bilevel::kHeaderBytes];
    if (KovaFltSeek(file, 0, 0) != 0) return FLT_ERR_READ;
    const int n = KovaFltRead(file, bytes, sizeof bytes);
    if (n < 0) return FLT_ERR_READ;
    if (!bilevel::ParseHeader(bytes, std::size_t(n), h)) return 0;
    if (h.width < 1 || h.height < 1 ||
        std::uint64_t(h.width) * std::uint64_t(h.height) > IMG_MAX_PIXELS)
        return FLT_ERR_FORMAT;
    const long end = KovaFltSeek(file, 0, 2);
    if (end < long(bilevel::kHeaderBytes)) return FLT_ERR_READ;
    if (std::uint64_t(h.height) > (std::uint64_t(end) - bilevel::kHeaderBytes) * 8)
        return FLT_ERR_FORMAT;
    return KovaFltSeek(file, long(bilevel::kHeaderBytes), 0) == long(bilevel::kHeaderBytes)
               ? 1
               : FLT_ERR_READ;
}

int FltInfo(KOVAFLTINFOREQUEST* request) {
    if (request == nullptr || request->info == nullptr) return IMG_ERR_PARAM;
    bilevel::Header h;
    if (const int r = ReadHeader(request->file, h); r != 1) return r;
    KOVAFLTINFO& info = *request->info;
    std::memset(&info, 0, sizeof info);
    info.format = IMG_CMP_KOVA1;
    info.width = h.width;
    info.height = h.height;
    info.bitsPerPixel = 1;
    info.sizeBytes = PaddedStride(h.width) * DWORD(h.height);
    info.perspective = h.bottomUp ? 0 : 2;
    std::strcpy(info.compression, "KOVA Proprietary");
    info.pages = 1;
    return 1;
}

void* Alloc(std::size_t bytes) {
    return bytes > 0x7FFF0000u ? nullptr : KovaFltAlloc(DWORD(bytes));
}

int Fill(void* user, std::uint8_t* buffer, int capacity) {
    return KovaFltRead(*static_cast<int*>(user), buffer, DWORD(capacity));
}

struct Buffers {
    int file = -1;
    BYTE* rows = nullptr; // three unpacked rows for the cleaning and its result
    BYTE* out = nullptr;  // two packed rows
    ~Buffers() {
        KovaFltFree(rows);
        KovaFltFree(out);
        if (file >= 0) KovaFltClose(file);
    }
};

int FltLoad(KOVAFLTLOADREQUEST* request) {
    if (request == nullptr || request->bitmap == nullptr || request->callback == nullptr)
        return IMG_ERR_PARAM;
    Buffers b;
    b.file = KovaFltOpen(request->path, 0, 0);
    if (b.file < 0) return FLT_ERR_OPEN;
    bilevel::Header h;
    if (const int r = ReadHeader(b.file, h); r != 1) return r == 0 ? FLT_ERR_FORMAT : r;
    const std::size_t width = std::size_t(h.width);
    const DWORD stride = PaddedStride(h.width);
    b.rows = static_cast<BYTE*>(KovaFltAlloc(DWORD(4 * width)));
    b.out = static_cast<BYTE*>(KovaFltAlloc(2 * stride));
    if (b.rows == nullptr || b.out == nullptr) return IMG_ERR_MEMORY;
    bilevel::Decoder decoder(Alloc, KovaFltFree);
    if (const int r = decoder.Start(h.width, request->bufferSize, Fill, &b.file); r != bilevel::kOk)
        return r;

    KOVAFLTBITMAP* bitmap = request->bitmap;
    if (const int r = KovaFltAllocBitmap(bitmap, h.width, h.height, 1); r != IMG_SUCCESS)
        return r == IMG_ERR_TOO_LARGE ? FLT_ERR_FORMAT : r;
    const RGBQUAD black{0, 0, 0, 0}, white{255, 255, 255, 0};
    const RGBQUAD table[2] = {h.indexZeroWhite ? white : black, h.indexZeroWhite ? black : white};
    KovaFltCreatePalette(bitmap, table, 2);
    bitmap->perspective = h.bottomUp ? 0 : 2;
    bitmap->colorOrder = 0;

    auto row = [&](int y) { return b.rows + width * std::size_t(y % 3); };
    BYTE* cleaned = b.rows + 3 * width;
    // Row y is final once the row after it is decoded (the cleaning looks at both neighbours).
    auto emit = [&](int y) {
        BYTE* packed = b.out + stride * DWORD(y % 2);
        const BYTE* pixels = row(y);
        if (h.clean) {
            bilevel::CleanRow(y > 0 ? row(y - 1) : nullptr, pixels,
                              y + 1 < h.height ? row(y + 1) : nullptr, h.width, cleaned);
            pixels = cleaned;
        }
        std::memset(packed, 0, stride);
        for (int x = 0; x < h.width; ++x)
            if (pixels[x]) packed[x / 8] |= BYTE(0x80 >> (x % 8));
        if (y % 2 == 0 && y + 1 < h.height) return 1;
        const int first = y - y % 2;
        const int flags = 3 | (first == 0 ? 4 : 0) | (y == h.height - 1 ? 8 : 0);
        return request->callback(request->user, bitmap, b.out, flags, first, y - first + 1,
                                 request->page);
    };
    for (int y = 0; y < h.height; ++y) {
        if (const int r = decoder.Row(row(y)); r != bilevel::kOk) return r;
        if (y > 0)
            if (const int r = emit(y - 1); r != 1) return r;
    }
    return emit(h.height - 1);
}

} // namespace

IMGFILTER_ORDINAL_TABLE_READ_ONLY(FltInfo, FltLoad)
