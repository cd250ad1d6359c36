// The size and bounds rules of enhanced metafiles, in one place for the loader, the player
// and the path library's reader: how records follow each other in a file, what each record
// type holds (the table below), and what a bitmap inside a record may claim.
//
// A malformed record makes the whole file unloadable. A bitmap claiming more than its record
// gives it is a fault of that record alone: playing it fails, and playback goes on.
//
// A row gives the fixed part (the bytes every record of the type has, type and size
// included) and at most two variable parts, each named by where its counts or offsets lie:
//
//   Items       u32 count at `field`, items of `unit` bytes from `at`
//   Items16     the same with a u16 count
//   Polys       u32 polygon count at `field`, u32 point total after it, one u32 size per
//               polygon from `at` (summing to the total), then the points of `unit` bytes
//   Region      u32 byte count at `field` of an RGNDATA from `at`, at least its 32-byte header
//   Dib         u32 offBmi, cbBmi, offBits, cbBits from `field`: a header, when there is one,
//               is a whole BITMAPINFOHEADER inside the record; the bits lie inside it
//   DibRequired the same, and the header must be there
//   Text        one EMRTEXT at `at`: nChars characters of `unit` bytes at offString, and at
//               offDx (0: none) nChars u32 spacings
//   Texts       u32 count at `field` of EMRTEXTs from `at`, each as Text
//
// Every offset is counted from the record's start, and an empty part's offset must still lie
// inside the record.

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "MetaFileObjects.h"
#include "MetaRecorder.h"
#include "win32/EnhMetaRecords.h"

namespace {

enum class Part : std::uint8_t { None, Items, Items16, Polys, Region, Dib, DibRequired, Text, Texts };

struct Span {
    Part part = Part::None;
    std::uint8_t field = 0;
    std::uint8_t at = 0;
    std::uint8_t unit = 0;
};

struct Rule {
    DWORD type;
    std::uint8_t fixed;
    Span first{};
    Span second{};
};

constexpr Span points(std::uint8_t unit) {
    return Span{Part::Items, 24, 28, unit};
}
constexpr Span polys(std::uint8_t unit) {
    return Span{Part::Polys, 24, 32, unit};
}

constexpr Rule kRules[] = {
    {EMR_POLYBEZIER, 28, points(8)},
    {EMR_POLYGON, 28, points(8)},
    {EMR_POLYLINE, 28, points(8)},
    {EMR_POLYBEZIERTO, 28, points(8)},
    {EMR_POLYLINETO, 28, points(8)},
    {EMR_POLYPOLYLINE, 32, polys(8)},
    {EMR_POLYPOLYGON, 32, polys(8)},
    {EMR_SETWINDOWEXTEX, 16},
    {EMR_SETWINDOWORGEX, 16},
    {EMR_SETVIEWPORTEXTEX, 16},
    {EMR_SETVIEWPORTORGEX, 16},
    {EMR_SETBRUSHORGEX, 16},
    {EMR_EOF, 20},
    {EMR_SETMAPMODE, 12},
    {EMR_SETBKMODE, 12},
    {EMR_SETPOLYFILLMODE, 12},
    {EMR_SETROP2, 12},
    {EMR_SETSTRETCHBLTMODE, 12},
    {EMR_SETTEXTALIGN, 12},
    {EMR_SETTEXTCOLOR, 12},
    {EMR_SETBKCOLOR, 12},
    {EMR_OFFSETCLIPRGN, 16},
    {EMR_MOVETOEX, 16},
    {EMR_EXCLUDECLIPRECT, 24},
    {EMR_INTERSECTCLIPRECT, 24},
    {EMR_RESTOREDC, 12},
    {EMR_SETWORLDTRANSFORM, 32},
    {EMR_MODIFYWORLDTRANSFORM, 36},
    {EMR_SELECTOBJECT, 12},
    {EMR_CREATEPEN, 28},
    {EMR_CREATEBRUSHINDIRECT, 24},
    {EMR_DELETEOBJECT, 12},
    {EMR_ANGLEARC, 28},
    {EMR_ELLIPSE, 24},
    {EMR_RECTANGLE, 24},
    {EMR_ROUNDRECT, 32},
    {EMR_ARC, 40},
    {EMR_CHORD, 40},
    {EMR_PIE, 40},
    {EMR_SELECTPALETTE, 12},
    {EMR_CREATEPALETTE, 16, {Part::Items16, 14, 16, 4}},
    {EMR_LINETO, 16},
    {EMR_ARCTO, 40},
    {EMR_POLYDRAW, 28, points(9)}, // a point and its type byte
    {EMR_SETARCDIRECTION, 12},
    {EMR_FILLPATH, 24},
    {EMR_STROKEANDFILLPATH, 24},
    {EMR_STROKEPATH, 24},
    {EMR_SELECTCLIPPATH, 12},
    {EMR_GDICOMMENT, 12, {Part::Items, 8, 12, 1}},
    {EMR_FILLRGN, 32, {Part::Region, 24, 32}},
    {EMR_FRAMERGN, 40, {Part::Region, 24, 40}},
    {EMR_INVERTRGN, 28, {Part::Region, 24, 28}},
    {EMR_PAINTRGN, 28, {Part::Region, 24, 28}},
    {EMR_EXTSELECTCLIPRGN, 16, {Part::Items, 8, 16, 1}},
    {EMR_BITBLT, 100, {Part::Dib, 84}},
    {EMR_STRETCHBLT, 108, {Part::Dib, 84}},
    {EMR_SETDIBITSTODEVICE, 76, {Part::Dib, 48}},
    {EMR_STRETCHDIBITS, 80, {Part::Dib, 48}},
    {EMR_EXTCREATEFONTINDIRECTW, 104},
    {EMR_EXTTEXTOUTA, 76, {Part::Text, 0, 36, 1}},
    {EMR_EXTTEXTOUTW, 76, {Part::Text, 0, 36, 2}},
    {EMR_POLYBEZIER16, 28, points(4)},
    {EMR_POLYGON16, 28, points(4)},
    {EMR_POLYLINE16, 28, points(4)},
    {EMR_POLYBEZIERTO16, 28, points(4)},
    {EMR_POLYLINETO16, 28, points(4)},
    {EMR_POLYPOLYLINE16, 32, polys(4)},
    {EMR_POLYPOLYGON16, 32, polys(4)},
    {EMR_POLYDRAW16, 28, points(5)},
    {EMR_CREATEMONOBRUSH, 32, {Part::DibRequired, 16}},
    {EMR_CREATEDIBPATTERNBRUSHPT, 32, {Part::DibRequired, 16}},
    {EMR_EXTCREATEPEN, 52, {Part::Dib, 12}, {Part::Items, 48, 52, 4}}, // the style entries
    {EMR_POLYTEXTOUTA, 40, {Part::Texts, 36, 40, 1}},
    {EMR_POLYTEXTOUTW, 40, {Part::Texts, 36, 40, 2}},
};

constexpr DWORD kEmrtextBytes = 40;

bool inside(DWORD size, std::uint64_t offset, std::uint64_t bytes) {
    return offset <= size && bytes <= size - offset;
}

// One EMRTEXT at `at`, its characters of `unit` bytes.
bool textFits(const BYTE* r, DWORD size, std::uint64_t at, unsigned unit) {
    if (!inside(size, at, kEmrtextBytes)) return false;
    const BYTE* t = r + at;
    std::uint64_t chars = sdgdi::getU32(t + 8), offString = sdgdi::getU32(t + 12),
                  offDx = sdgdi::getU32(t + 36);
    // Counts are handed on as int.
    if (chars > 0x7FFFFFFF || !inside(size, offString, chars * unit)) return false;
    return offDx == 0 || inside(size, offDx, chars * 4);
}

bool spanFits(const BYTE* r, DWORD size, const Span& s) {
    using sdgdi::getU16;
    using sdgdi::getU32;
    switch (s.part) {
    case Part::None:
        return true;
    case Part::Items:
        return inside(size, s.at, std::uint64_t(getU32(r + s.field)) * s.unit);
    case Part::Items16:
        return inside(size, s.at, std::uint64_t(getU16(r + s.field)) * s.unit);
    case Part::Polys: {
        std::uint64_t count = getU32(r + s.field), total = getU32(r + s.field + 4);
        if (!inside(size, s.at, count * 4)) return false;
        std::uint64_t sum = 0;
        for (std::uint64_t i = 0; i < count; ++i)
            sum += getU32(r + s.at + 4 * i);
        return sum == total && inside(size, s.at + count * 4, total * s.unit);
    }
    case Part::Region: {
        DWORD bytes = getU32(r + s.field);
        return bytes >= 32 && inside(size, s.at, bytes);
    }
    case Part::Dib:
    case Part::DibRequired: {
        DWORD offBmi = getU32(r + s.field), cbBmi = getU32(r + s.field + 4),
              offBits = getU32(r + s.field + 8), cbBits = getU32(r + s.field + 12);
        bool header = cbBmi != 0 || s.part == Part::DibRequired;
        if (header && (cbBmi < sizeof(BITMAPINFOHEADER) || !inside(size, offBmi, cbBmi)))
            return false;
        return inside(size, offBits, cbBits);
    }
    case Part::Text:
        return textFits(r, size, s.at, s.unit);
    case Part::Texts: {
        std::uint64_t count = getU32(r + s.field);
        if (!inside(size, s.at, count * kEmrtextBytes)) return false;
        for (std::uint64_t i = 0; i < count; ++i)
            if (!textFits(r, size, s.at + i * kEmrtextBytes, s.unit)) return false;
        return true;
    }
    }
    return false;
}

// Row of each type, -1 for none.
constexpr std::size_t kTypes = 128;
constexpr std::array<std::int16_t, kTypes> kRowOf = [] {
    std::array<std::int16_t, kTypes> rows{};
    rows.fill(-1);
    for (std::size_t i = 0; i < std::size(kRules); ++i)
        rows[kRules[i].type] = std::int16_t(i);
    return rows;
}();

} // namespace

bool SdEnhMetaRecordFits(const BYTE* record, DWORD size) {
    if (!record || size < 8) return false;
    DWORD type = sdgdi::getU32(record);
    if (type >= kTypes || kRowOf[type] < 0) return true;
    const Rule& rule = kRules[kRowOf[type]];
    return size >= rule.fixed && spanFits(record, size, rule.first) &&
           spanFits(record, size, rule.second);
}

bool SdEnhMetaDibFits(const BYTE* header, DWORD cbBmi, DWORD cbBits, UINT usage, UINT start,
                      std::int64_t scans) {
    if (!header || cbBmi < sizeof(BITMAPINFOHEADER)) return false;
    BITMAPINFOHEADER h;
    std::memcpy(&h, header, sizeof h);
    if (h.biWidth <= 0 || h.biHeight == 0) return false;
    std::uint64_t height = std::uint64_t(std::abs(std::int64_t(h.biHeight)));
    std::uint64_t rows = scans < 0       ? height
                         : start < height ? std::min<std::uint64_t>(std::uint64_t(scans), height - start)
                                          : 0;
    return sdgdi::dibHeaderBytes(h, usage) <= cbBmi && sdgdi::dibBitsBytes(h, rows) <= cbBits;
}

namespace sdgdi {

std::uint64_t dibHeaderBytes(const BITMAPINFOHEADER& h, UINT usage) {
    std::uint64_t colours = h.biClrUsed ? h.biClrUsed : h.biBitCount <= 8 ? (1u << h.biBitCount) : 0;
    return std::uint64_t(h.biSize) + colours * (usage == DIB_PAL_COLORS ? 2 : 4) +
           (h.biCompression == BI_BITFIELDS && h.biSize == sizeof(BITMAPINFOHEADER) ? 12 : 0);
}

std::uint64_t dibBitsBytes(const BITMAPINFOHEADER& h, std::uint64_t rows) {
    if (h.biCompression != BI_RGB && h.biCompression != BI_BITFIELDS) return h.biSizeImage;
    std::uint64_t stride = ((std::uint64_t(std::max<LONG>(h.biWidth, 0)) * h.biBitCount + 31) / 32) * 4;
    return stride * rows;
}

DWORD packedDibHeaderBytes(const BYTE* dib, std::uint64_t size, UINT usage) {
    if (size < sizeof(BITMAPINFOHEADER)) return 0;
    BITMAPINFOHEADER h;
    std::memcpy(&h, dib, sizeof h);
    if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biSize > size) return 0;
    std::uint64_t n = dibHeaderBytes(h, usage);
    return n <= size ? DWORD(n) : 0;
}

bool validEnhanced(const BYTE* data, std::size_t size) {
    if (!data || size < 88 || size > 0xFFFFFFFFu) return false;
    if (getU32(data) != EMR_HEADER || getU32(data + 40) != ENHMETA_SIGNATURE) return false;
    DWORD headerSize = getU32(data + 4);
    if (headerSize < 88 || headerSize % 4 || headerSize > size) return false;
    DWORD bytes = getU32(data + 48), nRecords = getU32(data + 52);
    // Bytes after the stated size (padding some writers add) are not part of the metafile.
    if (bytes > size || bytes < headerSize) return false;
    size = bytes;
    DWORD nDesc = getU32(data + 60), offDesc = getU32(data + 64);
    if (nDesc && !inside(headerSize, offDesc, std::uint64_t(nDesc) * 2)) return false;
    std::size_t at = 0;
    DWORD count = 0;
    bool sawEof = false;
    while (at < size) {
        DWORD recSize = enhRecordAt(data, size, at);
        if (!recSize || !SdEnhMetaRecordFits(data + at, recSize)) return false;
        ++count;
        if (getU32(data + at) == EMR_EOF) {
            sawEof = true;
            at += recSize;
            break;
        }
        at += recSize;
    }
    return sawEof && at == size && count == nRecords;
}

DWORD enhRecordAt(const BYTE* data, std::size_t size, std::size_t at) {
    if (at > size || size - at < 8) return 0;
    DWORD recordSize = getU32(data + at + 4);
    if (recordSize < 8 || recordSize % 4 || recordSize > size - at) return 0;
    return recordSize;
}

} // namespace sdgdi
