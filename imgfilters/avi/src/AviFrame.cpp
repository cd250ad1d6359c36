// imgflt-avi: one frame of an AVI file through our RIFF reader. The first video stream's "strh"
// (scale, rate) and "strf" (a bitmap information header and its colour table) are read, and the
// stream's frames are found by walking "movi" (chunks "NNdb" and "NNdc", also inside "rec "
// lists). Uncompressed frames of 8, 16 (5-5-5), 24 and 32 bits are read; other codings give -9.
// The frame delay is the time of one sample (scale / rate seconds), 0 when either is 0.
#include <imaging/ImagingToolkit.h>
#include <imaging/KovaFilter.h>
#include <imgfilter/FilterEntry.h>
#include <imgfilter/FilterRows.h>
#include <win32/module.h>

#include <cstdint>
#include <cstring>

namespace {

constexpr int kMaxFrames = 1 << 20;
constexpr int kMaxDepth = 64; // nested lists

std::uint32_t Le32(const BYTE* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}
bool Is(const BYTE* p, const char* id) {
    return std::memcmp(p, id, 4) == 0;
}

struct Video {
    bool found = false;
    int stream = -1; // the video stream's number
    std::uint32_t scale = 0, rate = 0;
    BYTE format[40 + 1024] = {}; // the bitmap information header and its table
    std::uint32_t formatSize = 0;
    long moviStart = -1, moviEnd = -1;
    int frames = 0;
    long frameAt = -1; // the wanted frame's data
    std::uint32_t frameSize = 0;
    int width = 0, height = 0, bits = 0;
    std::uint32_t compression = 0;
    bool topDown = false;
    long fileSize = 0;
};

int ReadAt(int file, long at, void* buffer, DWORD count) {
    if (KovaFltSeek(file, at, 0) != at) return -1;
    const int n = KovaFltRead(file, buffer, count);
    return n < 0 ? -1 : n == int(count) ? 1 : 0;
}

// Walks the chunks of [start, end): 1, or a failure code.
int Walk(int file, long start, long end, Video& v, int depth, int stream, int wanted) {
    if (depth > kMaxDepth) return FLT_ERR_FORMAT;
    long at = start;
    while (at + 8 <= end) {
        BYTE h[12];
        if (const int r = ReadAt(file, at, h, 8); r <= 0)
            return r < 0 ? FLT_ERR_READ : FLT_ERR_FORMAT;
        const std::uint32_t size = Le32(h + 4);
        const long data = at + 8;
        if (std::uint64_t(data) + size > std::uint64_t(end)) return FLT_ERR_FORMAT;
        if (Is(h, "LIST")) {
            if (size < 4 || ReadAt(file, data, h + 8, 4) <= 0) return FLT_ERR_FORMAT;
            const BYTE* kind = h + 8;
            if (Is(kind, "movi")) {
                if (v.moviStart < 0) {
                    v.moviStart = data + 4;
                    v.moviEnd = long(data + size);
                }
            } else if (Is(kind, "strl")) {
                if (const int r =
                        Walk(file, data + 4, long(data + size), v, depth + 1, stream + 1, wanted);
                    r != 1)
                    return r;
            } else if (Is(kind, "hdrl") || Is(kind, "rec ")) {
                // strl lists count the streams
                int streams = 0;
                long inner = data + 4;
                const long innerEnd = long(data + size);
                if (Is(kind, "rec ")) {
                    if (const int r = Walk(file, inner, innerEnd, v, depth + 1, stream, wanted);
                        r != 1)
                        return r;
                } else {
                    while (inner + 12 <= innerEnd) {
                        BYTE c[12];
                        if (ReadAt(file, inner, c, 12) <= 0) return FLT_ERR_FORMAT;
                        const std::uint32_t s = Le32(c + 4);
                        if (std::uint64_t(inner) + 8 + s > std::uint64_t(innerEnd))
                            return FLT_ERR_FORMAT;
                        if (Is(c, "LIST") && Is(c + 8, "strl")) {
                            if (const int r = Walk(file, inner + 12, long(inner + 8 + s), v,
                                                   depth + 1, streams, wanted);
                                r != 1)
                                return r;
                            ++streams;
                        }
                        inner = long(std::uint64_t(inner) + 8 + s + (s & 1));
                    }
                }
            }
        } else if (Is(h, "strh") && !v.found) {
            BYTE s[36];
            if (size < 36 || ReadAt(file, data, s, 36) <= 0) return FLT_ERR_FORMAT;
            if (Is(s, "vids")) {
                v.found = true;
                v.stream = stream;
                v.scale = Le32(s + 20);
                v.rate = Le32(s + 24);
            }
        } else if (Is(h, "strf") && v.found && v.stream == stream && v.formatSize == 0) {
            if (size < 40) return FLT_ERR_FORMAT;
            v.formatSize = size < sizeof v.format ? size : std::uint32_t(sizeof v.format);
            if (ReadAt(file, data, v.format, v.formatSize) <= 0) return FLT_ERR_FORMAT;
        } else if (v.found && v.moviStart >= 0 && data > v.moviStart && data <= v.moviEnd &&
                   h[0] == '0' + v.stream / 10 && h[1] == '0' + v.stream % 10 && h[2] == 'd' &&
                   (h[3] == 'b' || h[3] == 'c')) {
            if (v.frames == wanted) {
                v.frameAt = data;
                v.frameSize = size;
            }
            if (++v.frames > kMaxFrames) return FLT_ERR_FORMAT;
        }
        at = long(std::uint64_t(data) + size + (size & 1));
    }
    return 1;
}

// Reads the headers and finds frame `wanted` (clamped to the frames there): 1, 0 or a code.
int Open(int file, int wanted, Video& v) {
    BYTE h[12];
    const int r = ReadAt(file, 0, h, 12);
    if (r < 0) return FLT_ERR_READ;
    if (r == 0 || !Is(h, "RIFF") || !Is(h + 8, "AVI ")) return 0;
    v.fileSize = KovaFltSeek(file, 0, 2);
    if (v.fileSize < 12) return FLT_ERR_READ;
    const std::uint64_t riffEnd = std::uint64_t(Le32(h + 4)) + 8;
    const long end =
        long(riffEnd < std::uint64_t(v.fileSize) ? riffEnd : std::uint64_t(v.fileSize));
    // Headers first, then the frames of movi.
    if (const int w = Walk(file, 12, end, v, 0, -1, -1); w != 1) return w;
    if (!v.found || v.formatSize < 40 || v.moviStart < 0) return FLT_ERR_FORMAT;
    v.frames = 0;
    if (const int w = Walk(file, v.moviStart, v.moviEnd, v, 1, -1, wanted); w != 1) return w;
    if (v.frames == 0) return FLT_ERR_FORMAT;
    if (wanted >= v.frames) {
        const int last = v.frames - 1;
        v.frames = 0;
        if (const int w = Walk(file, v.moviStart, v.moviEnd, v, 1, -1, last); w != 1) return w;
    }
    const BYTE* f = v.format;
    const std::int32_t height = std::int32_t(Le32(f + 8));
    v.width = int(std::int32_t(Le32(f + 4)));
    v.topDown = height < 0;
    v.height = height < 0 ? (height == INT32_MIN ? 0 : -height) : height;
    v.bits = f[14] | f[15] << 8;
    v.compression = Le32(f + 16);
    if (v.width < 1 || v.height < 1 ||
        std::uint64_t(v.width) * std::uint64_t(v.height) > IMG_MAX_PIXELS)
        return FLT_ERR_FORMAT;
    return 1;
}

int DpiFromMeter(std::uint32_t perMeter) {
    return perMeter > 100000000u ? 0 : int((std::uint64_t(perMeter) * 254 + 5000) / 10000);
}

int LoadBits(int bits) {
    return bits > 8 ? 24 : bits;
}

int FltInfo(KOVAFLTINFOREQUEST* request) {
    if (request == nullptr || request->info == nullptr) return IMG_ERR_PARAM;
    Video v;
    const int r = Open(request->file, 0, v);
    if (r != 1) return r;
    KOVAFLTINFO& info = *request->info;
    std::memset(&info, 0, sizeof info);
    info.format = IMG_AVI;
    info.width = v.width;
    info.height = v.height;
    info.bitsPerPixel = LoadBits(v.bits);
    info.sizeBytes = PaddedStride(v.width, info.bitsPerPixel) * DWORD(v.height);
    info.perspective = 2;
    info.colorOrder = v.bits > 8 ? 1 : 0;
    std::strcpy(info.compression, v.compression == 0 || v.compression == 3 ? "None" : "Run Length");
    info.pages = v.frames;
    info.xResolution = DpiFromMeter(Le32(v.format + 24));
    info.yResolution = DpiFromMeter(Le32(v.format + 28));
    return 1;
}

struct Buffers {
    int file = -1;
    BYTE* frame = nullptr;
    BYTE* row = nullptr;
    ~Buffers() {
        KovaFltFree(frame);
        KovaFltFree(row);
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
    Video v;
    if (const int r = Open(b.file, request->page, v); r != 1) return r == 0 ? FLT_ERR_FORMAT : r;
    if (v.compression != 0) return FLT_ERR_FORMAT; // only uncompressed frames so far
    if (v.bits != 8 && v.bits != 16 && v.bits != 24 && v.bits != 32) return FLT_ERR_FORMAT;
    const std::uint64_t inStride = PaddedStride(v.width, v.bits);
    if (std::uint64_t(v.frameSize) < inStride * unsigned(v.height)) return FLT_ERR_FORMAT;
    const int bits = LoadBits(v.bits);
    const DWORD outStride = PaddedStride(v.width, bits);
    const std::uint64_t need = inStride * unsigned(v.height);
    if (need > 0x7FFF0000u) return IMG_ERR_MEMORY;
    b.frame = static_cast<BYTE*>(KovaFltAlloc(DWORD(need)));
    b.row = static_cast<BYTE*>(KovaFltAlloc(outStride));
    if (b.frame == nullptr || b.row == nullptr) return IMG_ERR_MEMORY;
    if (const int r = ReadAt(b.file, v.frameAt, b.frame, DWORD(need)); r <= 0)
        return r < 0 ? FLT_ERR_READ : FLT_ERR_FORMAT;

    KOVAFLTBITMAP* bitmap = request->bitmap;
    if (const int r = KovaFltAllocBitmap(bitmap, v.width, v.height, bits); r != IMG_SUCCESS)
        return r == IMG_ERR_TOO_LARGE ? FLT_ERR_FORMAT : r;
    if (bits == 8) {
        RGBQUAD table[256] = {};
        const std::uint32_t header = Le32(v.format) < 40 ? 40 : Le32(v.format);
        const std::uint32_t used = Le32(v.format + 32);
        const std::uint32_t count = used == 0 || used > 256 ? 256 : used;
        for (std::uint32_t i = 0;
             i < count && std::uint64_t(header) + 4 * i + 4 <= std::uint64_t(v.formatSize); ++i)
            std::memcpy(&table[i], v.format + header + 4 * i, 4);
        KovaFltCreatePalette(bitmap, table, 256);
    }
    bitmap->perspective = 2;
    bitmap->colorOrder = 0;
    bitmap->frameDelay =
        v.scale == 0 || v.rate == 0 ? 0 : int(std::uint64_t(v.scale) * 1000 / v.rate);
    // The whole frame in one call, top row first.
    const std::uint64_t total = std::uint64_t(outStride) * unsigned(v.height);
    BYTE* out = static_cast<BYTE*>(KovaFltAlloc(DWORD(total)));
    if (out == nullptr) return IMG_ERR_MEMORY;
    std::memset(out, 0, size_t(total));
    for (int y = 0; y < v.height; ++y) {
        const BYTE* in = b.frame + inStride * unsigned(v.topDown ? y : v.height - 1 - y);
        BYTE* o = out + std::uint64_t(outStride) * unsigned(y);
        if (v.bits == 8 || v.bits == 24) {
            std::memcpy(o, in, size_t(std::uint64_t(v.width) * unsigned(v.bits) / 8));
        } else if (v.bits == 32) {
            for (int x = 0; x < v.width; ++x)
                std::memcpy(o + 3 * x, in + 4 * x, 3);
        } else {
            for (int x = 0; x < v.width; ++x) {
                const unsigned p = unsigned(in[2 * x] | in[2 * x + 1] << 8);
                const unsigned c[3] = {p & 31, (p >> 5) & 31, (p >> 10) & 31}; // B, G, R
                for (int k = 0; k < 3; ++k)
                    o[3 * x + k] = BYTE(c[k] << 3 | c[k] >> 2);
            }
        }
    }
    const int r = request->callback(request->user, bitmap, out, 15, 0, v.height, request->page);
    KovaFltFree(out);
    return r;
}

int FltSave(KOVAFLTSAVEREQUEST*) {
    return FLT_ERR_NO_SAVE;
}

} // namespace

IMGFILTER_ORDINAL_TABLE(FltInfo, FltLoad, FltSave)
