// imgflt-avi: one frame of an AVI file through our RIFF reader. The first video stream's "strh"
// (scale, rate) and "strf" (a bitmap information header and its colour table or masks) are
// read; the stream's frames come from "idx1" when it points at them, else from walking "movi"
// (chunks "NNdb" and "NNdc", also inside "rec " lists). Codings read: uncompressed 8, 16
// (5-5-5), 24 and 32 bits; bit fields of 16 and 32 bits; RLE8 and RLE4, whose frames after a
// key frame hold only changes and are applied in turn from the key frame before the one
// wanted; Motion JPEG through the stand-in's JPEG decoder (libjpeg-turbo takes the standard
// Huffman tables for a frame without its own). Other codings give -9 and a cause
// naming their four-character code. The frame delay is the time of one sample (scale / rate
// seconds), 0 when either is 0.
#include <imaging/ImagingToolkit.h>
#include <imaging/KovaFile.h>
#include <imaging/KovaFilter.h>
#include <imaging/KovaKern.h>
#include <imgfilter/FilterEntry.h>
#include <imgfilter/FilterRows.h>
#include <win32/module.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <initializer_list>

namespace {

constexpr int kMaxFrames = 1 << 20;
constexpr int kMaxDepth = 64; // nested lists
constexpr std::uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3;
constexpr std::uint32_t kKeyFrame = 0x10; // idx1 flag

std::uint32_t Le32(const BYTE* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}
bool Is(const BYTE* p, const char* id) {
    return std::memcmp(p, id, 4) == 0;
}
bool IsMjpeg(std::uint32_t c) {
    return c == 0x47504A4D || c == 0x67706A6D; // "MJPG", "mjpg"
}

// Sees the stream's frames in order; false stops the walk.
struct FrameVisitor {
    virtual bool Visit(int index, long at, std::uint32_t size, bool key) = 0;
};

struct Video {
    bool found = false;
    int stream = -1; // the video stream's number
    std::uint32_t scale = 0, rate = 0;
    BYTE format[40 + 1024] = {}; // the bitmap information header and its table
    std::uint32_t formatSize = 0;
    long moviStart = -1, moviEnd = -1;
    long indexAt = -1; // idx1's entries
    std::uint32_t indexSize = 0;
    int frames = 0;
    int width = 0, height = 0, bits = 0;
    std::uint32_t compression = 0;
    bool topDown = false;
    long fileSize = 0;
    bool IsFrame(const BYTE* id) const {
        return id[0] == '0' + stream / 10 && id[1] == '0' + stream % 10 && id[2] == 'd' &&
               (id[3] == 'b' || id[3] == 'c');
    }
};

int ReadAt(int file, long at, void* buffer, DWORD count) {
    if (KovaFltSeek(file, at, 0) != at) return -1;
    const int n = KovaFltRead(file, buffer, count);
    return n < 0 ? -1 : n == int(count) ? 1 : 0;
}

constexpr int kStopped = 2;

// Walks the chunks of [start, end): 1, kStopped when the visitor stopped it, or a failure code.
int Walk(int file, long start, long end, Video& v, int depth, int stream, FrameVisitor* visitor) {
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
            } else if (Is(kind, "rec ")) {
                if (const int r =
                        Walk(file, data + 4, long(data + size), v, depth + 1, stream, visitor);
                    r != 1)
                    return r;
            } else if (Is(kind, "hdrl")) {
                // strl lists count the streams
                int streams = 0;
                long inner = data + 4;
                const long innerEnd = long(data + size);
                while (inner + 12 <= innerEnd) {
                    BYTE c[12];
                    if (ReadAt(file, inner, c, 12) <= 0) return FLT_ERR_FORMAT;
                    const std::uint32_t s = Le32(c + 4);
                    if (std::uint64_t(inner) + 8 + s > std::uint64_t(innerEnd))
                        return FLT_ERR_FORMAT;
                    if (Is(c, "LIST") && Is(c + 8, "strl")) {
                        if (const int r = Walk(file, inner + 12, long(inner + 8 + s), v, depth + 1,
                                               streams, nullptr);
                            r != 1)
                            return r;
                        ++streams;
                    }
                    inner = long(std::uint64_t(inner) + 8 + s + (s & 1));
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
        } else if (Is(h, "idx1") && depth == 0 && v.indexAt < 0) {
            v.indexAt = data;
            v.indexSize = size;
        } else if (visitor != nullptr && v.found && data > v.moviStart && data <= v.moviEnd &&
                   v.IsFrame(h)) {
            if (v.frames >= kMaxFrames) return FLT_ERR_FORMAT;
            const int index = v.frames++;
            if (!visitor->Visit(index, data, size, index == 0)) return kStopped;
        }
        at = long(std::uint64_t(data) + size + (size & 1));
    }
    return 1;
}

// The frames through idx1: 1, kStopped, 0 when the index does not point at the stream's
// chunks (the caller walks movi then), or a failure code. Offsets count from the "movi" tag
// or, in some writers' files, from the file's start.
int IndexFrames(int file, Video& v, FrameVisitor* visitor) {
    if (v.indexAt < 0 || v.indexSize < 16) return 0;
    const std::uint32_t entries = v.indexSize / 16;
    long base = -1;
    BYTE e[16 * 64];
    for (std::uint32_t i = 0; i < entries;) {
        const std::uint32_t n = entries - i < 64 ? entries - i : 64;
        if (ReadAt(file, long(v.indexAt + 16 * i), e, 16 * n) <= 0) return FLT_ERR_FORMAT;
        for (std::uint32_t k = 0; k < n; ++k) {
            const BYTE* entry = e + 16 * k;
            if (!v.IsFrame(entry)) continue;
            const std::uint32_t offset = Le32(entry + 8), size = Le32(entry + 12);
            if (base < 0) {
                for (const long candidate : {v.moviStart - 4, 0L}) {
                    BYTE c[8];
                    const std::uint64_t head = std::uint64_t(candidate) + offset;
                    if (head + 8 <= std::uint64_t(v.moviEnd) &&
                        head >= std::uint64_t(v.moviStart) && ReadAt(file, long(head), c, 8) > 0 &&
                        std::memcmp(c, entry, 4) == 0 && Le32(c + 4) == size) {
                        base = candidate;
                        break;
                    }
                }
                if (base < 0) return 0;
            }
            const std::uint64_t data = std::uint64_t(base) + offset + 8;
            if (data + size > std::uint64_t(v.moviEnd) || data < std::uint64_t(v.moviStart))
                return FLT_ERR_FORMAT;
            if (v.frames >= kMaxFrames) return FLT_ERR_FORMAT;
            const int index = v.frames++;
            if (!visitor->Visit(index, long(data), size, (Le32(entry + 4) & kKeyFrame) != 0))
                return kStopped;
        }
        i += n;
    }
    return v.frames > 0 ? 1 : 0;
}

// Every frame of the stream to the visitor, in order: 1 or a failure code.
int EachFrame(int file, Video& v, FrameVisitor& visitor) {
    v.frames = 0;
    int r = IndexFrames(file, v, &visitor);
    if (r == 0) {
        v.frames = 0;
        r = Walk(file, v.moviStart, v.moviEnd, v, 1, -1, &visitor);
    }
    return r == kStopped ? 1 : r;
}

struct Counter : FrameVisitor {
    bool Visit(int, long, std::uint32_t, bool) override { return true; }
};

// Reads the headers and counts the frames: 1, 0 for another format, or a code.
int Open(int file, Video& v) {
    BYTE h[12];
    const int r = ReadAt(file, 0, h, 12);
    if (r < 0) return FLT_ERR_READ;
    if (r == 0 || !Is(h, "RIFF") || !Is(h + 8, "AVI ")) return 0;
    v.fileSize = KovaFltSeek(file, 0, 2);
    if (v.fileSize < 12) return FLT_ERR_READ;
    const std::uint64_t riffEnd = std::uint64_t(Le32(h + 4)) + 8;
    const long end =
        long(riffEnd < std::uint64_t(v.fileSize) ? riffEnd : std::uint64_t(v.fileSize));
    if (const int w = Walk(file, 12, end, v, 0, -1, nullptr); w != 1) return w;
    if (!v.found || v.formatSize < 40 || v.moviStart < 0) return FLT_ERR_FORMAT;
    Counter counter;
    if (const int w = EachFrame(file, v, counter); w != 1) return w;
    if (v.frames == 0) return FLT_ERR_FORMAT;
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

// The depth a frame loads at: palette depths as they are, the others at 24 bits.
int LoadBits(const Video& v) {
    if (IsMjpeg(v.compression)) return 24;
    return v.bits > 8 ? 24 : v.bits;
}

// True for the codings read, with the depths they come in.
bool Readable(const Video& v) {
    switch (v.compression) {
    case kRgb:
        return v.bits == 8 || v.bits == 16 || v.bits == 24 || v.bits == 32;
    case kBitFields:
        return v.bits == 16 || v.bits == 32;
    case kRle8:
        return v.bits == 8;
    case kRle4:
        return v.bits == 4;
    default:
        return IsMjpeg(v.compression);
    }
}

int FltInfo(KOVAFLTINFOREQUEST* request) {
    if (request == nullptr || request->info == nullptr) return IMG_ERR_PARAM;
    Video v;
    const int r = Open(request->file, v);
    if (r != 1) return r;
    KOVAFLTINFO& info = *request->info;
    std::memset(&info, 0, sizeof info);
    info.format = IMG_AVI;
    info.width = v.width;
    info.height = v.height;
    info.bitsPerPixel = LoadBits(v);
    info.sizeBytes = PaddedStride(v.width, info.bitsPerPixel) * DWORD(v.height);
    info.perspective = 2;
    info.colorOrder = v.bits > 8 ? 1 : 0;
    std::strcpy(info.compression,
                v.compression == kRgb || v.compression == kBitFields ? "None" : "Run Length");
    info.pages = v.frames;
    info.xResolution = DpiFromMeter(Le32(v.format + 24));
    info.yResolution = DpiFromMeter(Le32(v.format + 28));
    return 1;
}

struct Buffers {
    int file = -1;
    BYTE* frame = nullptr;  // one frame's data
    BYTE* pixels = nullptr; // RLE: one byte a pixel, bottom row first
    BYTE* out = nullptr;    // the rows handed over
    ~Buffers() {
        KovaFltFree(frame);
        KovaFltFree(pixels);
        KovaFltFree(out);
        if (file >= 0) KovaFltClose(file);
    }
};

// Where the frames to decode lie: the frame wanted (or, for a dropped one, the last frame
// before it with data) and, for RLE, the key frame it builds on.
struct Finder : FrameVisitor {
    int wanted = 0;
    int key = 0;
    int last = -1; // the last frame with data up to wanted
    long lastAt = -1;
    std::uint32_t lastSize = 0;
    bool Visit(int index, long at, std::uint32_t size, bool isKey) override {
        if (index > wanted) return false;
        if (isKey) key = index;
        if (size > 0) {
            last = index;
            lastAt = at;
            lastSize = size;
        }
        return true;
    }
};

// Applies one RLE8 or RLE4 frame: runs, literals, ends of line, moves; pixels past the
// picture are dropped, and the data may end without the end code.
int ApplyRle(const BYTE* d, std::uint32_t n, bool four, BYTE* px, int w, int h) {
    long x = 0, y = 0;
    std::uint32_t i = 0;
    auto put = [&](BYTE value) {
        if (x < w && y < h) px[std::size_t(y) * std::size_t(w) + std::size_t(x)] = value;
        ++x;
    };
    while (i + 1 < n && y < h) {
        const BYTE a = d[i], b = d[i + 1];
        i += 2;
        if (a > 0) {
            for (int k = 0; k < a; ++k)
                put(four ? BYTE(k % 2 == 0 ? b >> 4 : b & 15) : b);
        } else if (b == 0) {
            x = 0;
            ++y;
        } else if (b == 1) {
            break;
        } else if (b == 2) {
            if (i + 1 >= n) return FLT_ERR_FORMAT;
            x += d[i];
            y += d[i + 1];
            i += 2;
        } else {
            const std::uint32_t bytes = four ? (b + 1u) / 2u : b;
            if (i + bytes > n) return FLT_ERR_FORMAT;
            for (int k = 0; k < b; ++k)
                put(four ? BYTE((d[i + k / 2] >> (k % 2 ? 0 : 4)) & 15) : d[i + k]);
            i += bytes + (bytes & 1);
        }
    }
    return 1;
}

struct RleFrames : FrameVisitor {
    int from = 0, to = 0;
    int file = -1;
    const Video* video = nullptr;
    BYTE* data = nullptr; // a buffer of capacity bytes
    std::uint32_t capacity = 0;
    BYTE* pixels = nullptr;
    int result = 1;
    bool Visit(int index, long at, std::uint32_t size, bool) override {
        if (index < from) return true;
        if (index > to) return false;
        if (size > capacity) {
            result = FLT_ERR_FORMAT;
            return false;
        }
        if (size > 0) {
            if (const int r = ReadAt(file, at, data, size); r <= 0) {
                result = r < 0 ? FLT_ERR_READ : FLT_ERR_FORMAT;
                return false;
            }
            result = ApplyRle(data, size, video->compression == kRle4, pixels, video->width,
                              video->height);
            if (result != 1) return false;
        }
        return index < to;
    }
};

// Scales a masked field to 0..255.
BYTE Field(std::uint32_t pixel, std::uint32_t mask) {
    if (mask == 0) return 0;
    int shift = 0;
    while (!(mask >> shift & 1))
        ++shift;
    const std::uint64_t top = mask >> shift;
    return BYTE(std::uint64_t((pixel & mask) >> shift) * 255 / top);
}

// A Motion JPEG frame through the stand-in's decoder, into `out` (24 bits, top row first).
int DecodeMjpeg(const BYTE* data, std::uint32_t size, const Video& v, BYTE* out, DWORD stride) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    if (block == nullptr) return IMG_ERR_MEMORY;
    std::memcpy(GlobalLock(block), data, size);
    GlobalUnlock(block);
    KOVABITMAP bitmap;
    KovaInitBitmap(&bitmap, 1, 1, 1);
    const int r = KovaLoadMemory(block, &bitmap, 24, 0, 0, nullptr, nullptr, size);
    GlobalFree(block);
    if (r != IMG_SUCCESS) return r == IMG_ERR_MEMORY ? r : FLT_ERR_FORMAT;
    HGLOBAL dib = KovaDibFromBitmap(&bitmap);
    const BYTE* p = dib != nullptr ? static_cast<const BYTE*>(GlobalLock(dib)) : nullptr;
    int result = FLT_ERR_FORMAT;
    if (p != nullptr) {
        BITMAPINFOHEADER h;
        std::memcpy(&h, p, sizeof h);
        if (h.biWidth == v.width && h.biHeight == v.height && h.biBitCount == 24) {
            const BYTE* rows = p + h.biSize;
            for (int y = 0; y < v.height; ++y)
                std::memcpy(out + std::size_t(stride) * std::size_t(y),
                            rows + std::size_t(stride) * std::size_t(v.height - 1 - y), stride);
            result = 1;
        }
        GlobalUnlock(dib);
    }
    if (dib != nullptr) GlobalFree(dib);
    return result;
}

int FltLoad(KOVAFLTLOADREQUEST* request) {
    if (request == nullptr || request->bitmap == nullptr || request->callback == nullptr ||
        request->page < 0)
        return IMG_ERR_PARAM;
    Buffers b;
    b.file = KovaFltOpen(request->path, 0, 0);
    if (b.file < 0) return FLT_ERR_OPEN;
    Video v;
    if (const int r = Open(b.file, v); r != 1) return r == 0 ? FLT_ERR_FORMAT : r;
    if (!Readable(v)) {
        const std::uint32_t c = v.compression;
        char cause[96];
        if (c > 0xFF) {
            char code[5] = {char(c), char(c >> 8), char(c >> 16), char(c >> 24), 0};
            for (char& ch : code)
                if (ch != 0 && (ch < 32 || ch > 126)) ch = '?';
            std::snprintf(cause, sizeof cause, "AVI frames coded as \"%s\" are not read", code);
        } else {
            std::snprintf(cause, sizeof cause,
                          "AVI frames of coding %u at %d bits per pixel are not read", c, v.bits);
        }
        KovaFltSetCause(cause);
        return FLT_ERR_FORMAT;
    }
    Finder finder;
    finder.wanted = request->page < v.frames ? request->page : v.frames - 1;
    if (const int r = EachFrame(b.file, v, finder); r != 1) return r;
    const int bits = LoadBits(v);
    const DWORD outStride = PaddedStride(v.width, bits);
    const std::uint64_t outBytes = std::uint64_t(outStride) * unsigned(v.height);
    const bool rle = v.compression == kRle8 || v.compression == kRle4;
    // The largest frame the coding can need: raw rows, or RLE's worst case (every
    // pixel in pairs of two bytes, with the ends of lines), or the JPEG data as they are.
    const std::uint64_t inStride = PaddedStride(v.width, v.bits);
    const std::uint64_t pixels = std::uint64_t(v.width) * unsigned(v.height);
    const std::uint64_t capacity = rle ? 2 * pixels + 4 * std::uint64_t(v.height) + 64
                                   : IsMjpeg(v.compression) ? finder.lastSize
                                                            : inStride * unsigned(v.height);
    if (capacity > 0x7FFF0000u || outBytes > 0x7FFF0000u) return IMG_ERR_MEMORY;
    if (!rle && finder.last < 0) return FLT_ERR_FORMAT; // only dropped frames
    if (!rle && !IsMjpeg(v.compression) && finder.lastSize < capacity) return FLT_ERR_FORMAT;

    b.frame = static_cast<BYTE*>(KovaFltAlloc(DWORD(capacity == 0 ? 1 : capacity)));
    b.out = static_cast<BYTE*>(KovaFltAlloc(DWORD(outBytes)));
    if (b.frame == nullptr || b.out == nullptr) return IMG_ERR_MEMORY;
    std::memset(b.out, 0, std::size_t(outBytes));
    if (rle) {
        b.pixels = static_cast<BYTE*>(KovaFltAlloc(DWORD(pixels)));
        if (b.pixels == nullptr) return IMG_ERR_MEMORY;
        std::memset(b.pixels, 0, std::size_t(pixels));
        RleFrames frames;
        frames.from = finder.key;
        frames.to = finder.wanted;
        frames.file = b.file;
        frames.video = &v;
        frames.data = b.frame;
        frames.capacity = std::uint32_t(capacity);
        frames.pixels = b.pixels;
        if (const int r = EachFrame(b.file, v, frames); r != 1) return r;
        if (frames.result != 1) return frames.result;
    } else if (const int r = ReadAt(b.file, finder.lastAt, b.frame, DWORD(capacity)); r <= 0) {
        return r < 0 ? FLT_ERR_READ : FLT_ERR_FORMAT;
    }

    KOVAFLTBITMAP* bitmap = request->bitmap;
    if (const int r = KovaFltAllocBitmap(bitmap, v.width, v.height, bits); r != IMG_SUCCESS)
        return r == IMG_ERR_TOO_LARGE ? FLT_ERR_FORMAT : r;
    if (bits <= 8) {
        RGBQUAD table[256] = {};
        const int entries = 1 << bits;
        const std::uint32_t header = Le32(v.format) < 40 ? 40 : Le32(v.format);
        const std::uint32_t used = Le32(v.format + 32);
        const std::uint32_t count = used == 0 || used > std::uint32_t(entries) ? entries : used;
        for (std::uint32_t i = 0;
             i < count && std::uint64_t(header) + 4 * i + 4 <= std::uint64_t(v.formatSize); ++i)
            std::memcpy(&table[i], v.format + header + 4 * i, 4);
        KovaFltCreatePalette(bitmap, table, entries);
    }
    bitmap->perspective = 2;
    bitmap->colorOrder = 0;
    bitmap->frameDelay =
        v.scale == 0 || v.rate == 0 ? 0 : int(std::uint64_t(v.scale) * 1000 / v.rate);

    if (IsMjpeg(v.compression)) {
        if (const int r = DecodeMjpeg(b.frame, finder.lastSize, v, b.out, outStride); r != 1)
            return r;
    } else {
        // Bit-field masks: after the 40-byte header, else 5-5-5 and 8-8-8.
        std::uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F};
        if (v.bits == 32) masks[0] = 0xFF0000, masks[1] = 0xFF00, masks[2] = 0xFF;
        if (v.compression == kBitFields && v.formatSize >= 52)
            for (int k = 0; k < 3; ++k)
                masks[k] = Le32(v.format + 40 + 4 * k);
        for (int y = 0; y < v.height; ++y) {
            const int source = v.topDown && !rle ? y : v.height - 1 - y;
            BYTE* o = b.out + std::uint64_t(outStride) * unsigned(y);
            if (rle) {
                const BYTE* in = b.pixels + std::size_t(source) * std::size_t(v.width);
                for (int x = 0; x < v.width; ++x)
                    o[bits == 4 ? x / 2 : x] |= BYTE(bits == 4 && x % 2 == 0 ? in[x] << 4 : in[x]);
                continue;
            }
            const BYTE* in = b.frame + inStride * unsigned(source);
            if (v.bits == 8 || v.bits == 24) {
                std::memcpy(o, in, size_t(std::uint64_t(v.width) * unsigned(v.bits) / 8));
            } else if (v.bits == 32 && v.compression == kRgb) {
                for (int x = 0; x < v.width; ++x)
                    std::memcpy(o + 3 * x, in + 4 * x, 3);
            } else {
                const int size = v.bits / 8;
                for (int x = 0; x < v.width; ++x) {
                    std::uint32_t p = 0;
                    for (int k = size - 1; k >= 0; --k)
                        p = p << 8 | in[size * x + k];
                    o[3 * x + 2] = Field(p, masks[0]);
                    o[3 * x + 1] = Field(p, masks[1]);
                    o[3 * x] = Field(p, masks[2]);
                }
            }
        }
    }
    // The whole frame in one call, top row first.
    return request->callback(request->user, bitmap, b.out, 15, 0, v.height, request->page);
}

int FltSave(KOVAFLTSAVEREQUEST*) {
    return FLT_ERR_NO_SAVE;
}

} // namespace

IMGFILTER_ORDINAL_TABLE(FltInfo, FltLoad, FltSave)
