// imgflt-wfx: fax files. Each page is a 128-byte header and its coded rows; the next page's
// header follows the page's data. The header (little-endian):
//   0     0x0B, '#'
//   2     'd' (0xC8 read as well)
//   3     coding: 0 Group 3 1-D, 1 Group 3 2-D, 2 Group 4
//   4     width, 16 bits      6  height, 16 bits
//   8     data length, 32 bits
//   12    data offset from the header's start, 32 bits (at least 128)
//   16..  zero
// Pages are 204 x 196 dots per inch. Files of others read only where their headers agree with
// this. Saving reduces the picture to 1 bit: one output row per source row, grey levels 0 .. 30
// from the kernel's table, error diffusion 7, 3, 5, 1 of 16 and the threshold 15.
#include <imaging/ImagingToolkit.h>
#include <imaging/KovaFilter.h>
#include <imgfilter/FilterEntry.h>
#include <imgfilter/FilterRows.h>
#include <imgfilter/SavedPicture.h>
#include <win32/module.h>

#include <cstdint>
#include <cstring>

namespace {

constexpr int kHeader = 128;
constexpr int kMaxPages = 10000;

std::uint32_t Le32(const BYTE* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}
void PutLe32(BYTE* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = BYTE(v >> (8 * i));
}

struct Page {
    long start = 0;
    int coding = 0; // KOVA_FAX_*
    int width = 0, height = 0;
    std::uint32_t dataLength = 0, dataOffset = 0;
};

// Reads the page header at `start`: 1, 0 when it is not one, or a failure code.
int ReadPage(int file, long start, long fileSize, Page& page) {
    BYTE h[kHeader];
    if (KovaFltSeek(file, start, 0) != start) return FLT_ERR_READ;
    const int n = KovaFltRead(file, h, kHeader);
    if (n < 0) return FLT_ERR_READ;
    if (n < kHeader || h[0] != 0x0B || h[1] != '#' || (h[2] != 'd' && h[2] != 0xC8)) return 0;
    if (h[3] > 2) return FLT_ERR_FORMAT;
    page.start = start;
    page.coding = h[3] + 1;
    page.width = h[4] | h[5] << 8;
    page.height = h[6] | h[7] << 8;
    page.dataLength = Le32(h + 8);
    page.dataOffset = Le32(h + 12);
    if (page.width < 1 || page.height < 1 ||
        std::uint64_t(page.width) * std::uint64_t(page.height) > IMG_MAX_PIXELS)
        return FLT_ERR_FORMAT;
    if (page.dataOffset < kHeader ||
        std::uint64_t(start) + page.dataOffset + page.dataLength > std::uint64_t(fileSize))
        return FLT_ERR_FORMAT;
    // Every row takes a bit at least.
    if (std::uint64_t(page.height) > (std::uint64_t(page.dataLength) + 64) * 8)
        return FLT_ERR_FORMAT;
    return 1;
}

// Walks the pages: the count, and `wanted` filled when it exists. 1 or a failure code.
int Walk(int file, int wantedIndex, Page* wanted, int* count) {
    const long fileSize = KovaFltSeek(file, 0, 2);
    if (fileSize < 0) return FLT_ERR_READ;
    long start = 0;
    int pages = 0;
    while (start < fileSize) {
        Page page;
        const int r = ReadPage(file, start, fileSize, page);
        if (r != 1) return pages == 0 ? r : FLT_ERR_FORMAT;
        if (pages == wantedIndex && wanted != nullptr) *wanted = page;
        if (++pages > kMaxPages) return FLT_ERR_FORMAT;
        start = long(std::uint64_t(start) + page.dataOffset + page.dataLength); // strictly rising
    }
    *count = pages;
    return pages > 0 ? 1 : 0;
}

int FltInfo(KOVAFLTINFOREQUEST* request) {
    if (request == nullptr || request->info == nullptr) return IMG_ERR_PARAM;
    Page first;
    int count = 0;
    if (const int r = Walk(request->file, 0, &first, &count); r != 1) return r;
    KOVAFLTINFO& info = *request->info;
    std::memset(&info, 0, sizeof info);
    const bool g4 = first.coding == KOVA_FAX_G4;
    info.format = g4 ? IMG_WFX_G4 : IMG_WFX_G3;
    info.width = first.width;
    info.height = first.height;
    info.bitsPerPixel = 1;
    info.sizeBytes = PaddedStride(first.width) * DWORD(first.height);
    info.perspective = 2;
    std::strcpy(info.compression, g4 ? "CCITT Group 4 Fax" : "CCITT Group 3 Fax");
    info.pages = count;
    info.xResolution = 204;
    info.yResolution = 196;
    info.flags = 0x40;
    return 1;
}

struct Buffers {
    int file = -1;
    BYTE* data = nullptr;
    BYTE* rows = nullptr;
    ~Buffers() {
        KovaFltFree(data);
        KovaFltFree(rows);
        if (file >= 0) KovaFltClose(file);
    }
};

int FltLoad(KOVAFLTLOADREQUEST* request) {
    if (request == nullptr || request->bitmap == nullptr || request->callback == nullptr ||
        request->page < 0)
        return IMG_ERR_PARAM;
    Buffers b;
    b.file = KovaFltOpen(request->path, 0, 0);
    if (b.file < 0) return FLT_ERR_OPEN;
    Page page;
    int count = 0;
    if (const int r = Walk(b.file, request->page, &page, &count); r != 1)
        return r == 0 ? FLT_ERR_FORMAT : r;
    if (request->page >= count) return FLT_ERR_FORMAT;
    const DWORD stride = PaddedStride(page.width);
    const std::uint64_t rowsSize = std::uint64_t(stride) * unsigned(page.height);
    if (rowsSize > 0x7FFF0000u || page.dataLength > 0x7FFF0000u) return IMG_ERR_MEMORY;
    b.data = static_cast<BYTE*>(KovaFltAlloc(page.dataLength));
    b.rows = static_cast<BYTE*>(KovaFltAlloc(DWORD(rowsSize)));
    if (b.data == nullptr || b.rows == nullptr) return IMG_ERR_MEMORY;
    std::memset(b.rows, 0, size_t(rowsSize));
    const long at = long(std::uint64_t(page.start) + page.dataOffset);
    if (KovaFltSeek(b.file, at, 0) != at) return FLT_ERR_READ;
    if (KovaFltRead(b.file, b.data, page.dataLength) != int(page.dataLength)) return FLT_ERR_READ;
    if (KovaFaxDecode(b.data, page.dataLength, page.width, page.height, page.coding, b.rows,
                      stride) != IMG_SUCCESS)
        return FLT_ERR_FORMAT;
    KOVAFLTBITMAP* bitmap = request->bitmap;
    if (const int r = KovaFltAllocBitmap(bitmap, page.width, page.height, 1); r != IMG_SUCCESS)
        return r == IMG_ERR_TOO_LARGE ? FLT_ERR_FORMAT : r;
    const RGBQUAD bw[2] = {{255, 255, 255, 0}, {0, 0, 0, 0}};
    KovaFltCreatePalette(bitmap, bw, 2);
    bitmap->perspective = 2;
    for (int y = 0; y < page.height; ++y) {
        const int r = DeliverRow(request, bitmap, b.rows + std::uint64_t(stride) * unsigned(y), y,
                                 page.height);
        if (r != 1) return r;
    }
    return 1;
}

// ---- saving ----

struct SaveBuffers {
    int file = -1;
    BYTE* rows = nullptr;
    BYTE* coded = nullptr;
    int* errors = nullptr;
    ~SaveBuffers() {
        KovaFltFree(rows);
        KovaFltFree(coded);
        KovaFltFree(errors);
        if (file >= 0) KovaFltClose(file);
    }
};

int FltSave(KOVAFLTSAVEREQUEST* request) {
    if (request == nullptr || (request->format != IMG_WFX_G3 && request->format != IMG_WFX_G4))
        return IMG_ERR_PARAM;
    const SavedPicture picture(request);
    if (!picture.Locked()) return IMG_ERR_PARAM;
    const BITMAPINFOHEADER& bih = picture.header;
    SaveBuffers s;
    const int bits = picture.bits;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24) return FLT_ERR_BITS;
    const int width = picture.width, height = picture.height;
    if (width < 1 || height < 1 || width > 65535 || height > 65535) return IMG_ERR_PARAM;
    const RGBQUAD* table = picture.Table();
    const BYTE* pixels = picture.Pixels();
    const DWORD inStride = DWORD((std::uint64_t(width) * unsigned(bits) + 31) / 32 * 4);
    const DWORD stride = DWORD((width + 7) / 8);
    const std::uint64_t size = std::uint64_t(stride) * unsigned(height);
    if (size > 0x7FFF0000u) return IMG_ERR_MEMORY;
    s.rows = static_cast<BYTE*>(KovaFltAlloc(DWORD(size)));
    s.errors = static_cast<int*>(KovaFltAlloc(DWORD(sizeof(int) * 2 * DWORD(width + 2))));
    if (s.rows == nullptr || s.errors == nullptr) return IMG_ERR_MEMORY;
    std::memset(s.rows, 0, size_t(size));
    std::memset(s.errors, 0, sizeof(int) * 2 * size_t(width + 2));
    const BYTE* grey = KovaFltGreyTable();
    // Error diffusion over levels 0 .. 30, one output row per source row.
    for (int y = 0; y < height; ++y) {
        int* cur = s.errors + (y & 1) * (width + 2) + 1;
        int* next = s.errors + ((y + 1) & 1) * (width + 2) + 1;
        std::memset(next - 1, 0, sizeof(int) * size_t(width + 2));
        const BYTE* in =
            pixels + std::uint64_t(inStride) * unsigned(bih.biHeight < 0 ? y : height - 1 - y);
        BYTE* out = s.rows + std::uint64_t(stride) * unsigned(y);
        for (int x = 0; x < width; ++x) {
            BYTE r, g, b;
            if (bits == 24) {
                b = in[3 * x], g = in[3 * x + 1], r = in[3 * x + 2];
            } else {
                const int i = bits == 8   ? in[x]
                              : bits == 4 ? (in[x >> 1] >> ((x & 1) ? 0 : 4)) & 15
                                          : (in[x >> 3] >> (7 - (x & 7))) & 1;
                r = table[i].rgbRed, g = table[i].rgbGreen, b = table[i].rgbBlue;
            }
            const int level = grey[(30 * r + 59 * g + 11 * b + 50) / 100] * 16 + cur[x];
            const bool black = level < 15 * 16;
            if (black) out[x >> 3] |= BYTE(0x80 >> (x & 7));
            const int error = level - (black ? 0 : 30 * 16);
            cur[x + 1] += error * 7 / 16;
            next[x - 1] += error * 3 / 16;
            next[x] += error * 5 / 16;
            next[x + 1] += error / 16;
        }
    }
    DWORD codedSize = 0;
    const int coding = request->format == IMG_WFX_G4 ? KOVA_FAX_G4 : KOVA_FAX_G3_1D;
    if (const int r = KovaFaxEncode(s.rows, stride, width, height, coding, &s.coded, &codedSize);
        r != IMG_SUCCESS)
        return r;
    BYTE header[kHeader] = {0x0B,         '#',
                            'd',          BYTE(coding - 1),
                            BYTE(width),  BYTE(width >> 8),
                            BYTE(height), BYTE(height >> 8)};
    PutLe32(header + 8, codedSize);
    PutLe32(header + 12, kHeader);
    s.file = KovaFltOpen(request->path, 1, 0);
    if (s.file < 0) return FLT_ERR_CREATE;
    if (KovaFltWrite(s.file, header, kHeader) != kHeader) return IMG_ERR_WRITE;
    if (KovaFltWrite(s.file, s.coded, codedSize) != int(codedSize)) return IMG_ERR_WRITE;
    const int file = s.file;
    s.file = -1;
    return KovaFltClose(file) == 0 ? 1 : IMG_ERR_WRITE;
}

} // namespace

IMGFILTER_ORDINAL_TABLE(FltInfo, FltLoad, FltSave)
