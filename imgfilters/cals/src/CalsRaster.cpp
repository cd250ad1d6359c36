// imgflt-cals: CALS type 1 raster. The header is a run of 128-byte text records "keyword: value"
// filling 2048 bytes; Group 4 data follow. "rpelcnt" gives pels per line and lines, "rdensty"
// the resolution, "rorient" the pel path's angle (counter-clockwise): the picture is turned by
// it to stand upright. Written at 1 bit with "rorient: 000,270".
#include <imaging/ImagingToolkit.h>
#include <imaging/KovaFilter.h>
#include <imgfilter/FilterEntry.h>
#include <imgfilter/FilterRows.h>
#include <imgfilter/SavedPicture.h>
#include <win32/module.h>

#include <strings.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iterator>

namespace {

constexpr int kRecord = 128;
constexpr int kHeader = 2048;
constexpr const char* kKeywords[] = {"srcdocid", "dstdocid", "txtfilid", "figid",
                                     "srcgph",   "doccls",   "rtype",    "rorient",
                                     "rpelcnt",  "rdensty",  "rdensity", "notes"};

struct Header {
    int width = 0, height = 0; // as stored: pels per line, lines
    int orientation = 0;       // 0, 90, 180 or 270
    int dpi = 0;
    long fileSize = 0;
    int UprightWidth() const { return orientation % 180 ? height : width; }
    int UprightHeight() const { return orientation % 180 ? width : height; }
};

bool Separator(char c) {
    return c == ',' || c == ':' || c == ';' || c == '\t' || c == '\n' || c == '\r' || c == ' ';
}

// The numbers of a value (square brackets ignored); their count.
int Numbers(const char* p, const char* end, long* out, int most) {
    int n = 0;
    while (p < end && n < most) {
        while (p < end && (Separator(*p) || *p == '[' || *p == ']'))
            ++p;
        if (p >= end || *p < '0' || *p > '9') break;
        long v = 0;
        while (p < end && *p >= '0' && *p <= '9') {
            if (v < 10000000) v = v * 10 + (*p - '0');
            ++p;
        }
        out[n++] = v;
    }
    return n;
}

// Reads and checks the header: 1, 0 for another format, or the module's failure code.
int ReadHeader(int file, Header& h) {
    char text[kHeader];
    if (KovaFltSeek(file, 0, 0) != 0) return FLT_ERR_READ;
    const int got = KovaFltRead(file, text, kHeader);
    if (got < 0) return FLT_ERR_READ;
    bool pelcnt = false, any = false;
    for (int r = 0; r * kRecord < got; ++r) {
        const char* p = text + r * kRecord;
        const char* end = p + std::min(kRecord, got - r * kRecord);
        while (p < end && (*p == ' ' || *p == '\0' || *p == '\n' || *p == '\r'))
            ++p;
        if (p == end) continue; // a blank record
        const char* colon = static_cast<const char*>(std::memchr(p, ':', size_t(end - p)));
        int keyword = -1;
        if (colon != nullptr)
            for (int k = 0; k < int(std::size(kKeywords)); ++k)
                if (size_t(colon - p) == std::strlen(kKeywords[k]) &&
                    strncasecmp(p, kKeywords[k], size_t(colon - p)) == 0)
                    keyword = k;
        if (keyword < 0) {
            if (r == 0) return 0;
            if (r < 9) return FLT_ERR_FORMAT;
            continue;
        }
        any = true;
        long v[2] = {0, 0};
        const int n = Numbers(colon + 1, end, v, 2);
        switch (keyword) {
        case 6: // rtype
            if (n < 1 || v[0] != 1) return FLT_ERR_FORMAT;
            break;
        case 7: // rorient
            if (n < 1 || v[0] % 90 != 0 || v[0] >= 360) return FLT_ERR_FORMAT;
            h.orientation = int(v[0]);
            break;
        case 8: // rpelcnt
            if (n < 2 || v[0] < 1 || v[1] < 1 || v[0] > 65535 || v[1] > 65535)
                return FLT_ERR_FORMAT;
            h.width = int(v[0]);
            h.height = int(v[1]);
            pelcnt = true;
            break;
        case 9:
        case 10: // rdensty
            if (n >= 1 && v[0] > 0 && v[0] < 100000) h.dpi = int(v[0]);
            break;
        default:
            break;
        }
    }
    if (!any) return 0;
    if (!pelcnt) return FLT_ERR_FORMAT;
    if (std::uint64_t(h.width) * std::uint64_t(h.height) > IMG_MAX_PIXELS) return FLT_ERR_FORMAT;
    h.fileSize = KovaFltSeek(file, 0, 2);
    if (h.fileSize < 0) return FLT_ERR_READ;
    // Group 4 rows take a bit at least.
    if (h.fileSize <= kHeader ||
        std::uint64_t(h.height) > (std::uint64_t(h.fileSize - kHeader) + 64) * 8)
        return FLT_ERR_FORMAT;
    return 1;
}

int FltInfo(KOVAFLTINFOREQUEST* request) {
    if (request == nullptr || request->info == nullptr) return IMG_ERR_PARAM;
    Header h;
    const int r = ReadHeader(request->file, h);
    if (r != 1) return r;
    KOVAFLTINFO& info = *request->info;
    std::memset(&info, 0, sizeof info);
    info.format = IMG_CALS;
    info.width = h.UprightWidth();
    info.height = h.UprightHeight();
    info.bitsPerPixel = 1;
    info.sizeBytes = PaddedStride(info.width) * DWORD(info.height);
    info.perspective = 2;
    std::strcpy(info.compression, "CALS Raster");
    info.pages = 1;
    info.xResolution = info.yResolution = h.dpi;
    info.flags = 0x40;
    return 1;
}

struct Buffers {
    int file = -1;
    BYTE* data = nullptr;
    BYTE* rows = nullptr;
    BYTE* turned = nullptr;
    ~Buffers() {
        KovaFltFree(data);
        KovaFltFree(rows);
        KovaFltFree(turned);
        if (file >= 0) KovaFltClose(file);
    }
};

int Bit(const BYTE* rows, DWORD stride, int x, int y) {
    return (rows[stride * DWORD(y) + DWORD(x >> 3)] >> (7 - (x & 7))) & 1;
}

int FltLoad(KOVAFLTLOADREQUEST* request) {
    if (request == nullptr || request->bitmap == nullptr || request->callback == nullptr)
        return IMG_ERR_PARAM;
    Buffers b;
    b.file = KovaFltOpen(request->path, 0, 0);
    if (b.file < 0) return FLT_ERR_OPEN;
    Header h;
    if (const int r = ReadHeader(b.file, h); r != 1) return r == 0 ? FLT_ERR_FORMAT : r;
    const std::uint64_t dataSize = std::uint64_t(h.fileSize - kHeader);
    const DWORD stride = PaddedStride(h.width);
    const std::uint64_t rowsSize = std::uint64_t(stride) * std::uint64_t(h.height);
    if (dataSize > 0x7FFF0000u || rowsSize > 0x7FFF0000u) return IMG_ERR_MEMORY;
    b.data = static_cast<BYTE*>(KovaFltAlloc(DWORD(dataSize)));
    b.rows = static_cast<BYTE*>(KovaFltAlloc(DWORD(rowsSize)));
    if (b.data == nullptr || b.rows == nullptr) return IMG_ERR_MEMORY;
    std::memset(b.rows, 0, size_t(rowsSize));
    if (KovaFltSeek(b.file, kHeader, 0) != kHeader) return FLT_ERR_READ;
    if (KovaFltRead(b.file, b.data, DWORD(dataSize)) != int(dataSize)) return FLT_ERR_READ;
    if (KovaFaxDecode(b.data, DWORD(dataSize), h.width, h.height, KOVA_FAX_G4, b.rows, stride) !=
        IMG_SUCCESS)
        return FLT_ERR_FORMAT;

    // Turned upright: counter-clockwise by the pel path's angle.
    const int w = h.UprightWidth(), ht = h.UprightHeight();
    const DWORD outStride = PaddedStride(w);
    const BYTE* out = b.rows;
    if (h.orientation != 0) {
        const std::uint64_t size = std::uint64_t(outStride) * std::uint64_t(ht);
        b.turned = static_cast<BYTE*>(KovaFltAlloc(DWORD(size)));
        if (b.turned == nullptr) return IMG_ERR_MEMORY;
        std::memset(b.turned, 0, size_t(size));
        for (int y = 0; y < ht; ++y)
            for (int x = 0; x < w; ++x) {
                int sx, sy;
                if (h.orientation == 90) {
                    sx = h.width - 1 - y, sy = x;
                } else if (h.orientation == 180) {
                    sx = h.width - 1 - x, sy = h.height - 1 - y;
                } else {
                    sx = y, sy = h.height - 1 - x;
                }
                if (Bit(b.rows, stride, sx, sy))
                    b.turned[outStride * DWORD(y) + DWORD(x >> 3)] |= BYTE(0x80 >> (x & 7));
            }
        out = b.turned;
    }

    KOVAFLTBITMAP* bitmap = request->bitmap;
    if (const int r = KovaFltAllocBitmap(bitmap, w, ht, 1); r != IMG_SUCCESS)
        return r == IMG_ERR_TOO_LARGE ? FLT_ERR_FORMAT : r;
    const RGBQUAD bw[2] = {{255, 255, 255, 0}, {0, 0, 0, 0}};
    KovaFltCreatePalette(bitmap, bw, 2);
    bitmap->perspective = 2;
    bitmap->colorOrder = 0;
    for (int y = 0; y < ht; ++y) {
        const int r =
            DeliverRow(request, bitmap, out + std::uint64_t(outStride) * unsigned(y), y, ht);
        if (r != 1) return r;
    }
    return 1;
}

// ---- saving ----

struct SaveBuffers {
    int file = -1;
    BYTE* rows = nullptr;
    BYTE* coded = nullptr;
    ~SaveBuffers() {
        KovaFltFree(rows);
        KovaFltFree(coded);
        if (file >= 0) KovaFltClose(file);
    }
};

int FltSave(KOVAFLTSAVEREQUEST* request) {
    const SavedPicture picture(request);
    if (!picture.Locked()) return IMG_ERR_PARAM;
    const BITMAPINFOHEADER& bih = picture.header;
    SaveBuffers s;
    if (picture.bits != 1) return FLT_ERR_BITS;
    const int width = picture.width, height = picture.height;
    if (width < 1 || height < 1 || width > 999999 || height > 999999) return IMG_ERR_PARAM;
    const RGBQUAD* table = picture.Table();
    const BYTE* pixels = picture.Pixels();
    const DWORD stride = PaddedStride(width);
    // Ink is the darker entry.
    auto grey = [](const RGBQUAD& q) { return 30 * q.rgbRed + 59 * q.rgbGreen + 11 * q.rgbBlue; };
    const bool invert = grey(table[0]) < grey(table[1]);
    const std::uint64_t size = std::uint64_t(stride) * unsigned(height);
    if (size > 0x7FFF0000u) return IMG_ERR_MEMORY;
    s.rows = static_cast<BYTE*>(KovaFltAlloc(DWORD(size)));
    if (s.rows == nullptr) return IMG_ERR_MEMORY;
    for (int y = 0; y < height; ++y) {
        const BYTE* in =
            pixels + std::uint64_t(stride) * unsigned(bih.biHeight < 0 ? y : height - 1 - y);
        BYTE* out = s.rows + std::uint64_t(stride) * unsigned(y);
        for (DWORD i = 0; i < stride; ++i)
            out[i] = invert ? BYTE(~in[i]) : in[i];
    }
    DWORD codedSize = 0;
    if (const int r =
            KovaFaxEncode(s.rows, stride, width, height, KOVA_FAX_G4, &s.coded, &codedSize);
        r != IMG_SUCCESS)
        return r;

    char header[kHeader];
    std::memset(header, ' ', sizeof header);
    const int dpi = request->bitmap->xResolution > 0 ? request->bitmap->xResolution : 200;
    char pelcnt[64], density[64];
    std::snprintf(pelcnt, sizeof pelcnt, "rpelcnt: %06d,%06d", width, height);
    std::snprintf(density, sizeof density, "rdensty: %04d", dpi);
    const char* records[] = {"srcdocid: NONE", "dstdocid: NONE",   "txtfilid: NONE",
                             "figid: NONE",    "srcgph: NONE",     "doccls: UNCLASS",
                             "rtype: 1",       "rorient: 000,270", pelcnt,
                             density,          "notes: NONE"};
    for (int i = 0; i < int(std::size(records)); ++i)
        std::memcpy(header + i * kRecord, records[i], std::strlen(records[i]));
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
