// imgflt-ras: Sun raster files. A 32-byte big-endian header (magic 59 A6 6A 95, width, height,
// depth, length, type, map type, map length), an RGB colour map as three planes, then rows
// padded to 16 bits. Type 2 codes runs: 0x80 0 is the byte 0x80, 0x80 n v is n + 1 bytes v.
// Type 3 keeps pixels of 24 and 32 bits in R, G, B order; the others in B, G, R (32 bits: a
// pad byte first). Depths 1, 4, 8, 16 (x-5-5-5, R first), 24 and 32 are read; 16 and 32 load
// at 24 bits. Writes the standard type at 1, 8 (4-bit pictures too) and 24 bits.
#include <imaging/ImagingToolkit.h>
#include <imaging/KovaFilter.h>
#include <imgfilter/FilterEntry.h>
#include <imgfilter/FilterRows.h>
#include <imgfilter/SavedPicture.h>
#include <win32/module.h>

#include <cstdint>
#include <cstring>

namespace {

constexpr BYTE kMagic[4] = {0x59, 0xA6, 0x6A, 0x95};
constexpr int kTypeOld = 0, kTypeStandard = 1, kTypeRle = 2, kTypeRgb = 3, kTypeTiff = 4,
              kTypeIff = 5;
constexpr std::uint64_t kRleExpansion = 86; // 256 bytes from a 3-byte run

std::uint32_t Be32(const BYTE* p) {
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}
void PutBe32(BYTE* p, std::uint32_t v) {
    p[0] = BYTE(v >> 24);
    p[1] = BYTE(v >> 16);
    p[2] = BYTE(v >> 8);
    p[3] = BYTE(v);
}

struct Header {
    int width, height, depth, type, mapType, mapLength;
    long fileSize;
    std::uint64_t SunStride() const {
        return (std::uint64_t(width) * unsigned(depth) + 15) / 16 * 2;
    }
    int LoadBits() const { return depth > 8 ? 24 : depth; }
    long DataOffset() const { return 32 + mapLength; }
};

// Reads the header and checks it against the file: 1, or the module's failure code.
int ReadHeader(int file, Header& h) {
    BYTE b[32];
    if (KovaFltSeek(file, 0, 0) != 0) return FLT_ERR_READ;
    const int n = KovaFltRead(file, b, 32);
    if (n < 0) return FLT_ERR_READ;
    if (n < 32 || std::memcmp(b, kMagic, 4) != 0) return 0;
    h.width = int(Be32(b + 4) & 0xFFFF);
    h.height = int(Be32(b + 8) & 0xFFFF);
    h.depth = int(Be32(b + 12) & 0xFFFF);
    const std::uint32_t type = Be32(b + 20), mapType = Be32(b + 24), mapLength = Be32(b + 28);
    h.fileSize = KovaFltSeek(file, 0, 2);
    if (h.fileSize < 0) return FLT_ERR_READ;
    if (type > kTypeIff || mapType > 1) return FLT_ERR_FORMAT;
    if (mapLength > 768 || mapLength % 3 != 0 || (mapType == 0) != (mapLength == 0))
        return FLT_ERR_FORMAT;
    h.type = int(type);
    h.mapType = int(mapType);
    h.mapLength = int(mapLength);
    if (h.depth != 1 && h.depth != 4 && h.depth != 8 && h.depth != 16 && h.depth != 24 &&
        h.depth != 32)
        return FLT_ERR_BITS;
    if (h.width < 1 || h.height < 1 ||
        std::uint64_t(h.width) * std::uint64_t(h.height) > IMG_MAX_PIXELS)
        return FLT_ERR_FORMAT;
    if (h.type == kTypeTiff || h.type == kTypeIff) return 1;
    // The data must be able to fill the rows.
    if (h.fileSize < h.DataOffset()) return FLT_ERR_FORMAT;
    const std::uint64_t data = std::uint64_t(h.fileSize - h.DataOffset());
    const std::uint64_t raw = h.SunStride() * std::uint64_t(h.height);
    if (h.type == kTypeRle ? raw > (data + 2) * kRleExpansion : raw > data) return FLT_ERR_FORMAT;
    return 1;
}

const char* CompressionName(int type) {
    switch (type) {
    case kTypeRle:
        return "Run Length";
    case kTypeTiff:
        return "Embedded TIFF";
    case kTypeIff:
        return "Embedded IFF";
    default:
        return "None";
    }
}

int FltInfo(KOVAFLTINFOREQUEST* request) {
    if (request == nullptr || request->info == nullptr) return IMG_ERR_PARAM;
    Header h;
    const int r = ReadHeader(request->file, h);
    if (r != 1) return r;
    KOVAFLTINFO& info = *request->info;
    std::memset(&info, 0, sizeof info);
    info.format = IMG_SUN;
    info.width = h.width;
    info.height = h.height;
    info.bitsPerPixel = h.LoadBits();
    info.sizeBytes = PaddedStride(h.width, info.bitsPerPixel) * DWORD(h.height);
    info.perspective = 2;
    info.colorOrder = h.depth >= 9 ? 1 : 0;
    std::strcpy(info.compression, CompressionName(h.type));
    info.pages = 1;
    return 1;
}

// Owns what the load allocates through the services.
struct Buffers {
    int file = -1;
    BYTE* raw = nullptr;
    BYTE* row = nullptr;
    ~Buffers() {
        KovaFltFree(raw);
        KovaFltFree(row);
        if (file >= 0) KovaFltClose(file);
    }
};

// Expands run-length data into `out` (size bytes); false when the data end first.
bool Unrun(const BYTE* in, std::uint64_t inSize, BYTE* out, std::uint64_t size) {
    std::uint64_t i = 0, o = 0;
    while (o < size) {
        if (i >= inSize) return false;
        const BYTE c = in[i++];
        if (c != 0x80) {
            out[o++] = c;
            continue;
        }
        if (i >= inSize) return false;
        const unsigned n = in[i++];
        if (n == 0) {
            out[o++] = 0x80;
            continue;
        }
        if (i >= inSize) return false;
        const BYTE v = in[i++];
        for (unsigned k = 0; k <= n && o < size; ++k)
            out[o++] = v;
    }
    return true;
}

void ConvertRow(const Header& h, const BYTE* in, BYTE* out) {
    switch (h.depth) {
    case 1:
    case 4:
    case 8:
        std::memcpy(out, in, (std::uint64_t(h.width) * unsigned(h.depth) + 7) / 8);
        break;
    case 16:
        for (int x = 0; x < h.width; ++x) {
            const unsigned v = unsigned(in[2 * x] << 8 | in[2 * x + 1]);
            const unsigned c[3] = {(v >> 10) & 31, (v >> 5) & 31, v & 31};
            for (int k = 0; k < 3; ++k)
                out[3 * x + k] = BYTE(c[k] << 3 | c[k] >> 2);
        }
        break;
    default: { // out: R, G, B
        const int size = h.depth / 8;
        const int skip = size - 3;
        for (int x = 0; x < h.width; ++x) {
            const BYTE* p = in + size * x + skip;
            if (h.type == kTypeRgb) {
                out[3 * x] = p[0], out[3 * x + 1] = p[1], out[3 * x + 2] = p[2];
            } else {
                out[3 * x] = p[2], out[3 * x + 1] = p[1], out[3 * x + 2] = p[0];
            }
        }
    }
    }
}

int FltLoad(KOVAFLTLOADREQUEST* request) {
    if (request == nullptr || request->bitmap == nullptr || request->callback == nullptr)
        return IMG_ERR_PARAM;
    Buffers b;
    b.file = KovaFltOpen(request->path, 0, 0);
    if (b.file < 0) return FLT_ERR_OPEN;
    Header h;
    if (const int r = ReadHeader(b.file, h); r != 1) return r;
    if (h.type == kTypeTiff || h.type == kTypeIff) return FLT_ERR_FORMAT;
    KOVAFLTBITMAP* bitmap = request->bitmap;
    const int bits = h.LoadBits();

    // The colour map: three planes; without one black on white or a grey ramp.
    RGBQUAD quads[256] = {};
    int colours = 0;
    if (KovaFltSeek(b.file, 32, 0) != 32) return FLT_ERR_READ;
    if (h.mapLength > 0) {
        BYTE map[768];
        if (KovaFltRead(b.file, map, DWORD(h.mapLength)) != h.mapLength) return FLT_ERR_READ;
        colours = h.mapLength / 3;
        for (int i = 0; i < colours; ++i)
            quads[i] = RGBQUAD{map[2 * colours + i], map[colours + i], map[i], 0};
    } else if (bits == 1) {
        quads[0] = RGBQUAD{255, 255, 255, 0};
        colours = 2;
    } else if (bits <= 8) {
        colours = 1 << bits;
        for (int i = 0; i < colours; ++i) {
            const BYTE v = BYTE(i * 255 / (colours - 1));
            quads[i] = RGBQUAD{v, v, v, 0};
        }
    }

    const std::uint64_t sunStride = h.SunStride();
    const std::uint64_t rawSize = sunStride * std::uint64_t(h.height);
    const std::uint64_t dataSize = std::uint64_t(h.fileSize - h.DataOffset());
    const std::uint64_t readSize = h.type == kTypeRle ? dataSize : rawSize;
    if (rawSize > 0x7FFF0000u || readSize > 0x7FFF0000u) return IMG_ERR_MEMORY;
    const DWORD outStride = PaddedStride(h.width, bits);
    b.raw = static_cast<BYTE*>(KovaFltAlloc(DWORD(rawSize)));
    b.row = static_cast<BYTE*>(KovaFltAlloc(outStride));
    if (b.raw == nullptr || b.row == nullptr) return IMG_ERR_MEMORY;
    if (h.type == kTypeRle) {
        BYTE* packed = static_cast<BYTE*>(KovaFltAlloc(DWORD(readSize)));
        if (packed == nullptr) return IMG_ERR_MEMORY;
        const int n = KovaFltRead(b.file, packed, DWORD(readSize));
        const bool ok = n == int(readSize) && Unrun(packed, readSize, b.raw, rawSize);
        KovaFltFree(packed);
        if (n != int(readSize)) return FLT_ERR_READ;
        if (!ok) return FLT_ERR_FORMAT;
    } else if (KovaFltRead(b.file, b.raw, DWORD(rawSize)) != int(rawSize)) {
        return FLT_ERR_READ;
    }

    if (const int r = KovaFltAllocBitmap(bitmap, h.width, h.height, bits); r != IMG_SUCCESS)
        return r == IMG_ERR_TOO_LARGE ? FLT_ERR_FORMAT : r;
    if (colours > 0) KovaFltCreatePalette(bitmap, quads, colours);
    bitmap->perspective = 2;
    bitmap->colorOrder = bits == 24 ? 1 : 0;
    for (int y = 0; y < h.height; ++y) {
        std::memset(b.row, 0, outStride);
        ConvertRow(h, b.raw + sunStride * std::uint64_t(y), b.row);
        const int r = DeliverRow(request, bitmap, b.row, y, h.height);
        if (r != 1) return r;
    }
    return 1;
}

// ---- saving ----

struct SaveBuffers {
    int file = -1;
    BYTE* row = nullptr;
    ~SaveBuffers() {
        KovaFltFree(row);
        if (file >= 0) KovaFltClose(file);
    }
};

int FltSave(KOVAFLTSAVEREQUEST* request) {
    const SavedPicture picture(request);
    if (!picture.Locked()) return IMG_ERR_PARAM;
    const BITMAPINFOHEADER& bih = picture.header;
    SaveBuffers s;
    const int bits = picture.bits;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24) return FLT_ERR_BITS;
    const int width = picture.width, height = picture.height;
    if (width < 1 || height < 1) return IMG_ERR_PARAM;
    const int entries = bits <= 8 ? 1 << bits : 0;
    const RGBQUAD* table = picture.Table();
    const BYTE* pixels = picture.Pixels();
    const DWORD stride = PaddedStride(width, bits);

    const int depth = bits == 4 ? 8 : bits;
    const DWORD sunStride = DWORD((std::uint64_t(width) * unsigned(depth) + 15) / 16 * 2);
    const int mapLength = bits <= 8 ? 3 * entries : 0;
    BYTE head[32 + 768] = {};
    std::memcpy(head, kMagic, 4);
    PutBe32(head + 4, std::uint32_t(width));
    PutBe32(head + 8, std::uint32_t(height));
    PutBe32(head + 12, std::uint32_t(depth));
    PutBe32(head + 16, sunStride * std::uint32_t(height));
    PutBe32(head + 20, kTypeStandard);
    PutBe32(head + 24, mapLength > 0 ? 1 : 0);
    PutBe32(head + 28, std::uint32_t(mapLength));
    for (int i = 0; i < entries; ++i) {
        head[32 + i] = table[i].rgbRed;
        head[32 + entries + i] = table[i].rgbGreen;
        head[32 + 2 * entries + i] = table[i].rgbBlue;
    }
    s.row = static_cast<BYTE*>(KovaFltAlloc(sunStride));
    if (s.row == nullptr) return IMG_ERR_MEMORY;
    s.file = KovaFltOpen(request->path, 1, 0);
    if (s.file < 0) return FLT_ERR_CREATE;
    if (KovaFltWrite(s.file, head, DWORD(32 + mapLength)) != 32 + mapLength) return IMG_ERR_WRITE;
    for (int y = 0; y < height; ++y) {
        const BYTE* in =
            pixels + std::uint64_t(stride) * unsigned(bih.biHeight < 0 ? y : height - 1 - y);
        std::memset(s.row, 0, sunStride);
        if (bits == 4) {
            for (int x = 0; x < width; ++x)
                s.row[x] = BYTE((in[x >> 1] >> ((x & 1) ? 0 : 4)) & 15);
        } else if (bits == 24) {
            std::memcpy(s.row, in, std::uint64_t(width) * 3); // B, G, R as the standard type keeps
        } else {
            std::memcpy(s.row, in, (std::uint64_t(width) * unsigned(bits) + 7) / 8);
        }
        if (KovaFltWrite(s.file, s.row, sunStride) != int(sunStride)) return IMG_ERR_WRITE;
    }
    const int file = s.file;
    s.file = -1;
    return KovaFltClose(file) == 0 ? 1 : IMG_ERR_WRITE;
}

} // namespace

IMGFILTER_ORDINAL_TABLE(FltInfo, FltLoad, FltSave)
