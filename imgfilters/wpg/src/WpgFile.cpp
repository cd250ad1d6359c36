// imgflt-wpg: WPG 1 files. A 16-byte header (FF 'W' 'P' 'C', byte 10 the version 1), then
// records: a type byte and a length byte (0xFF: a 16-bit length follows; its top bit set: a
// second word follows and the length is (first & 0x7FFF) << 16 | second). Read: colour maps
// (14: first index, count, RGB triplets; entries past 255 dropped) and the first bitmap (11, or
// 20 after 10 bytes of its own): width, height, depth, x and y resolution, then rows of whole
// bytes, top first, run-length coded per byte n:
//   n & 0x80, n != 0x80   the next byte (n & 0x7F) times
//   0x80 c                c bytes 0xFF
//   0 c                   the row before repeated c times
//   other                 n bytes as they stand
// Depths 1, 2 (loaded at 4), 4 and 8. Written at 1, 4 and 8 bits with a colour map.
#include <imaging/ImagingToolkit.h>
#include <imaging/KovaFilter.h>
#include <imgfilter/FilterEntry.h>
#include <imgfilter/FilterRows.h>
#include <imgfilter/SavedPicture.h>
#include <win32/module.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

constexpr BYTE kMagic[4] = {0xFF, 'W', 'P', 'C'};
constexpr int kFileHeader = 16;

struct Image {
    int width = 0, height = 0, depth = 0, xDpi = 0, yDpi = 0;
    long dataStart = 0;
    std::uint64_t dataLength = 0;
    RGBQUAD palette[256] = {};
    bool mapped[256] = {}; // set by a colour map
    long fileSize = 0;
    int LoadBits() const { return depth == 2 ? 4 : depth; }
    std::uint64_t RowBytes() const { return (std::uint64_t(width) * unsigned(depth) + 7) / 8; }
};

int ReadExact(int file, void* buffer, DWORD count) {
    const int n = KovaFltRead(file, buffer, count);
    return n < 0 ? -1 : n == int(count) ? 1 : 0;
}

// Walks the records to the first bitmap: 1, 0 for another format, or a failure code.
int Scan(int file, Image& image) {
    BYTE h[kFileHeader];
    if (KovaFltSeek(file, 0, 0) != 0) return FLT_ERR_READ;
    const int got = KovaFltRead(file, h, kFileHeader);
    if (got < 0) return FLT_ERR_READ;
    if (got < kFileHeader || std::memcmp(h, kMagic, 4) != 0 || h[10] != 1) return 0;
    image.fileSize = KovaFltSeek(file, 0, 2);
    if (image.fileSize < 0) return FLT_ERR_READ;
    long at = kFileHeader;
    while (at < image.fileSize) {
        BYTE head[2];
        if (KovaFltSeek(file, at, 0) != at) return FLT_ERR_READ;
        if (int r = ReadExact(file, head, 2); r <= 0) return r < 0 ? FLT_ERR_READ : FLT_ERR_FORMAT;
        at += 2;
        std::uint64_t length = head[1];
        if (head[1] == 0xFF) {
            BYTE w[2];
            if (int r = ReadExact(file, w, 2); r <= 0) return r < 0 ? FLT_ERR_READ : FLT_ERR_FORMAT;
            at += 2;
            length = unsigned(w[0] | w[1] << 8);
            if (length & 0x8000) {
                BYTE w2[2];
                if (int r = ReadExact(file, w2, 2); r <= 0)
                    return r < 0 ? FLT_ERR_READ : FLT_ERR_FORMAT;
                at += 2;
                length = (length & 0x7FFF) << 16 | unsigned(w2[0] | w2[1] << 8);
            }
        }
        if (std::uint64_t(at) + length > std::uint64_t(image.fileSize)) return FLT_ERR_FORMAT;
        const BYTE type = head[0];
        if (type == 16) return FLT_ERR_FORMAT; // the end before a bitmap
        if (type == 14) {
            BYTE m[4 + 3 * 256];
            if (length < 4) return FLT_ERR_FORMAT;
            const DWORD take = DWORD(length < sizeof m ? length : sizeof m);
            if (ReadExact(file, m, take) <= 0) return FLT_ERR_READ;
            const int first = m[0] | m[1] << 8, count = m[2] | m[3] << 8;
            if (std::uint64_t(4) + 3u * unsigned(count) > length) return FLT_ERR_FORMAT;
            for (int i = 0; i < count && first + i < 256; ++i) {
                if (4 + 3 * i + 2 >= int(take)) break;
                const BYTE* c = m + 4 + 3 * i;
                image.palette[first + i] = RGBQUAD{c[2], c[1], c[0], 0};
                image.mapped[first + i] = true;
            }
        } else if (type == 11 || type == 20) {
            const std::uint64_t skip = type == 20 ? 10 : 0;
            BYTE b[20];
            if (length < skip + 10) return FLT_ERR_FORMAT;
            if (ReadExact(file, b, DWORD(skip + 10)) <= 0) return FLT_ERR_READ;
            const BYTE* p = b + skip;
            image.width = p[0] | p[1] << 8;
            image.height = p[2] | p[3] << 8;
            image.depth = p[4] | p[5] << 8;
            image.xDpi = p[6] | p[7] << 8;
            image.yDpi = p[8] | p[9] << 8;
            image.dataStart = long(at + long(skip) + 10);
            image.dataLength = length - skip - 10;
            if (image.depth != 1 && image.depth != 2 && image.depth != 4 && image.depth != 8)
                return FLT_ERR_BITS;
            if (image.width < 1 || image.height < 1 ||
                std::uint64_t(image.width) * std::uint64_t(image.height) > IMG_MAX_PIXELS)
                return FLT_ERR_FORMAT;
            // A row repeat stands for at most 255 rows in 2 bytes; 127 bytes need 2 bytes.
            const std::uint64_t raw = image.RowBytes() * unsigned(image.height);
            if (raw >
                (image.dataLength + 2) * 127 + image.RowBytes() * 255 * (image.dataLength / 2 + 1))
                return FLT_ERR_FORMAT;
            if (image.dataLength == 0) return FLT_ERR_FORMAT;
            return 1;
        }
        at = long(std::uint64_t(at) + length);
    }
    return FLT_ERR_FORMAT;
}

int FltInfo(KOVAFLTINFOREQUEST* request) {
    if (request == nullptr || request->info == nullptr) return IMG_ERR_PARAM;
    Image image;
    const int r = Scan(request->file, image);
    if (r != 1) return r;
    KOVAFLTINFO& info = *request->info;
    std::memset(&info, 0, sizeof info);
    info.format = IMG_WPG;
    info.width = image.width;
    info.height = image.height;
    info.bitsPerPixel = image.LoadBits();
    info.sizeBytes = PaddedStride(image.width, info.bitsPerPixel) * DWORD(image.height);
    info.perspective = 2;
    std::strcpy(info.compression, "Run Length");
    info.pages = 1;
    info.xResolution = image.xDpi;
    info.yResolution = image.yDpi;
    return 1;
}

struct Buffers {
    int file = -1;
    BYTE* data = nullptr;
    BYTE* raw = nullptr;
    BYTE* row = nullptr;
    ~Buffers() {
        KovaFltFree(data);
        KovaFltFree(raw);
        KovaFltFree(row);
        if (file >= 0) KovaFltClose(file);
    }
};

// Expands the coded rows; false when the data end first or a repeat has no row before it.
bool Expand(const BYTE* in, std::uint64_t size, BYTE* out, std::uint64_t rowBytes,
            std::uint64_t total) {
    std::uint64_t i = 0, o = 0;
    while (o < total) {
        if (i >= size) return false;
        const BYTE n = in[i++];
        if (n & 0x80) {
            if (i >= size) return false;
            const unsigned count = n == 0x80 ? in[i] : n & 0x7Fu;
            const BYTE v = n == 0x80 ? 0xFF : in[i];
            ++i;
            for (unsigned k = 0; k < count && o < total; ++k)
                out[o++] = v;
        } else if (n == 0) {
            if (i >= size) return false;
            const unsigned count = in[i++];
            if (o % rowBytes != 0 || o < rowBytes) return false;
            for (unsigned k = 0; k < count && o < total; ++k, o += rowBytes)
                std::memcpy(out + o, out + o - rowBytes, size_t(rowBytes));
        } else {
            if (size - i < n) return false;
            for (unsigned k = 0; k < n && o < total; ++k)
                out[o++] = in[i + k];
            i += n;
        }
    }
    return true;
}

int FltLoad(KOVAFLTLOADREQUEST* request) {
    if (request == nullptr || request->bitmap == nullptr || request->callback == nullptr)
        return IMG_ERR_PARAM;
    Buffers b;
    b.file = KovaFltOpen(request->path, 0, 0);
    if (b.file < 0) return FLT_ERR_OPEN;
    Image image;
    if (const int r = Scan(b.file, image); r != 1) return r == 0 ? FLT_ERR_FORMAT : r;
    const std::uint64_t rowBytes = image.RowBytes();
    const std::uint64_t total = rowBytes * unsigned(image.height);
    const int bits = image.LoadBits();
    const DWORD outStride = PaddedStride(image.width, bits);
    if (total > 0x7FFF0000u || image.dataLength > 0x7FFF0000u) return IMG_ERR_MEMORY;
    b.data = static_cast<BYTE*>(KovaFltAlloc(DWORD(image.dataLength)));
    b.raw = static_cast<BYTE*>(KovaFltAlloc(DWORD(total)));
    b.row = static_cast<BYTE*>(KovaFltAlloc(outStride));
    if (b.data == nullptr || b.raw == nullptr || b.row == nullptr) return IMG_ERR_MEMORY;
    if (KovaFltSeek(b.file, image.dataStart, 0) != image.dataStart) return FLT_ERR_READ;
    if (ReadExact(b.file, b.data, DWORD(image.dataLength)) <= 0) return FLT_ERR_READ;
    if (!Expand(b.data, image.dataLength, b.raw, rowBytes, total)) return FLT_ERR_FORMAT;

    KOVAFLTBITMAP* bitmap = request->bitmap;
    if (const int r = KovaFltAllocBitmap(bitmap, image.width, image.height, bits); r != IMG_SUCCESS)
        return r == IMG_ERR_TOO_LARGE ? FLT_ERR_FORMAT : r;
    RGBQUAD palette[256];
    const int entries = 1 << bits;
    for (int i = 0; i < entries; ++i) {
        if (image.mapped[i]) {
            palette[i] = image.palette[i];
        } else {
            const int top = (1 << image.depth) - 1;
            const BYTE v = BYTE(i > top ? 0 : i * 255 / top);
            palette[i] = RGBQUAD{v, v, v, 0};
        }
    }
    KovaFltCreatePalette(bitmap, palette, entries);
    bitmap->perspective = 2;
    for (int y = 0; y < image.height; ++y) {
        std::memset(b.row, 0, outStride);
        const BYTE* in = b.raw + rowBytes * unsigned(y);
        if (image.depth == 2) {
            for (int x = 0; x < image.width; ++x) {
                const int v = (in[x >> 2] >> (6 - 2 * (x & 3))) & 3;
                b.row[x >> 1] |= BYTE(v << ((x & 1) ? 0 : 4));
            }
        } else {
            std::memcpy(b.row, in, size_t(rowBytes));
        }
        const int r = DeliverRow(request, bitmap, b.row, y, image.height);
        if (r != 1) return r;
    }
    return 1;
}

// ---- saving ----

void PutRecord(std::vector<BYTE>& out, BYTE type, const std::vector<BYTE>& data) {
    out.push_back(type);
    const std::uint64_t n = data.size();
    if (n < 0xFF) {
        out.push_back(BYTE(n));
    } else if (n < 0x8000) {
        out.insert(out.end(), {0xFF, BYTE(n), BYTE(n >> 8)});
    } else {
        const unsigned high = unsigned(n >> 16) | 0x8000u;
        out.insert(out.end(), {0xFF, BYTE(high), BYTE(high >> 8), BYTE(n), BYTE(n >> 8)});
    }
    out.insert(out.end(), data.begin(), data.end());
}

void Put16(std::vector<BYTE>& v, unsigned x) {
    v.push_back(BYTE(x));
    v.push_back(BYTE(x >> 8));
}

// One row in runs of equal bytes and literal stretches.
void CodeRow(const BYTE* row, std::size_t n, std::vector<BYTE>& out) {
    std::size_t i = 0;
    while (i < n) {
        std::size_t run = 1;
        while (i + run < n && run < 127 && row[i + run] == row[i])
            ++run;
        if (run >= 2) {
            out.push_back(BYTE(0x80 | run));
            out.push_back(row[i]);
            i += run;
            continue;
        }
        std::size_t lit = 1;
        while (i + lit < n && lit < 127 && !(i + lit + 1 < n && row[i + lit] == row[i + lit + 1]))
            ++lit;
        out.push_back(BYTE(lit));
        out.insert(out.end(), row + i, row + i + lit);
        i += lit;
    }
}

int FltSave(KOVAFLTSAVEREQUEST* request) {
    const SavedPicture picture(request);
    if (!picture.Locked()) return IMG_ERR_PARAM;
    const BITMAPINFOHEADER& bih = picture.header;
    const int bits = picture.bits;
    const int width = picture.width, height = picture.height;
    if (bits != 1 && bits != 4 && bits != 8) return FLT_ERR_BITS;
    if (width < 1 || height < 1 || width > 65535 || height > 65535) return IMG_ERR_PARAM;
    const int entries = 1 << bits;
    const RGBQUAD* table = picture.Table();
    const BYTE* pixels = picture.Pixels();
    const DWORD stride = PaddedStride(width, bits);
    const std::size_t rowBytes = (std::size_t(width) * unsigned(bits) + 7) / 8;

    std::vector<BYTE> out(kMagic, kMagic + 4);
    out.insert(out.end(), {16, 0, 0, 0, 1, 0x16, 1, 0, 0, 0, 0, 0});
    std::vector<BYTE> start = {1, 0};
    Put16(start, unsigned(width));
    Put16(start, unsigned(height));
    PutRecord(out, 0x0F, start);
    std::vector<BYTE> map;
    Put16(map, 0);
    Put16(map, unsigned(entries));
    for (int i = 0; i < entries; ++i)
        map.insert(map.end(), {table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue});
    PutRecord(out, 14, map);
    std::vector<BYTE> bitmap;
    Put16(bitmap, unsigned(width));
    Put16(bitmap, unsigned(height));
    Put16(bitmap, unsigned(bits));
    const int dpi = request->bitmap->xResolution > 0 ? request->bitmap->xResolution : 75;
    Put16(bitmap, unsigned(dpi));
    Put16(bitmap, unsigned(request->bitmap->yResolution > 0 ? request->bitmap->yResolution : dpi));
    for (int y = 0; y < height; ++y)
        CodeRow(pixels + std::uint64_t(stride) * unsigned(bih.biHeight < 0 ? y : height - 1 - y),
                rowBytes, bitmap);
    if (bitmap.size() > 0x7FFFFFFFu) return IMG_ERR_MEMORY;
    PutRecord(out, 11, bitmap);
    PutRecord(out, 16, {});

    const int file = KovaFltOpen(request->path, 1, 0);
    if (file < 0) return FLT_ERR_CREATE;
    const bool written = KovaFltWrite(file, out.data(), DWORD(out.size())) == int(out.size());
    const bool closed = KovaFltClose(file) == 0;
    return written && closed ? 1 : IMG_ERR_WRITE;
}

} // namespace

IMGFILTER_ORDINAL_TABLE(FltInfo, FltLoad, FltSave)
