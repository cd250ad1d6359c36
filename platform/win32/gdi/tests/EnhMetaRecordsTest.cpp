// The size and bounds rules of EMF records and of the bitmaps they carry.

#include <gtest/gtest.h>

#include <vector>

#include "GdiFixture.h"
#include "win32/EnhMetaRecords.h"

namespace {

// A record of the type with the given 32-bit values after its type and size; `extra` bytes
// of zeros follow.
std::vector<BYTE> record(DWORD type, std::vector<DWORD> values, std::size_t extra = 0) {
    std::vector<BYTE> b;
    auto put = [&](DWORD v) {
        for (int i = 0; i < 4; ++i)
            b.push_back(BYTE(v >> (8 * i)));
    };
    put(type);
    put(DWORD(8 + 4 * values.size() + extra));
    for (DWORD v : values)
        put(v);
    b.resize(b.size() + extra, 0);
    return b;
}

std::vector<DWORD> zeros(std::size_t n) {
    return std::vector<DWORD>(n, 0);
}

// A STRETCHDIBITS record (80 bytes) with a header of cbBmi bytes at 80 and cbBits of bits
// after it; `extra` bytes follow the fixed part.
std::vector<BYTE> picture(DWORD cbBmi, DWORD cbBits, std::size_t extra) {
    std::vector<DWORD> v = zeros(18);
    v[10] = 80;
    v[11] = cbBmi;
    v[12] = 80 + cbBmi;
    v[13] = cbBits;
    return record(EMR_STRETCHDIBITS, v, extra);
}

// An EMRTEXT at 36: reference point, characters, string offset, options, rectangle, dx offset.
std::vector<DWORD> text(DWORD chars, DWORD offString, DWORD offDx) {
    std::vector<DWORD> v = zeros(7); // bounds, graphics mode, scales
    for (DWORD x : {0u, 0u, chars, offString, 0u, 0u, 0u, 0u, 0u, offDx})
        v.push_back(x);
    return v;
}

TEST(EnhMetaRecords, EachPartOfARecordLiesInsideIt) {
    struct Case {
        const char* what;
        std::vector<BYTE> record;
        bool fits;
    };
    std::vector<DWORD> polyText = zeros(7);
    polyText.push_back(2); // two EMRTEXTs at 40, the second one's string past the end
    for (DWORD offString : {120u, 200u})
        for (DWORD x : {0u, 0u, 4u, offString, 0u, 0u, 0u, 0u, 0u, 0u})
            polyText.push_back(x);
    const Case cases[] = {
        {"fixed part", record(EMR_RECTANGLE, zeros(4)), true},
        {"fixed part short", record(EMR_RECTANGLE, zeros(3)), false},
        {"type and size only", record(EMR_RECTANGLE, {}), false},
        {"a type without a rule", record(200, {}), true},
        {"16-bit points", record(EMR_POLYLINE16, {0, 0, 0, 0, 2, 0, 0}), true},
        {"16-bit points beyond", record(EMR_POLYLINE16, {0, 0, 0, 0, 3, 0, 0}), false},
        {"32-bit points beyond", record(EMR_POLYLINE, {0, 0, 0, 0, 2, 0, 0}), false},
        {"point types", record(EMR_POLYDRAW16, {0, 0, 0, 0, 2, 0, 0}, 2), true},
        {"point types beyond", record(EMR_POLYDRAW16, {0, 0, 0, 0, 2, 0, 0}, 1), false},
        {"polygons", record(EMR_POLYPOLYGON16, {0, 0, 0, 0, 2, 3, 1, 2, 0, 0, 0}), true},
        {"polygon sizes disagree", record(EMR_POLYPOLYGON16, {0, 0, 0, 0, 2, 4, 1, 2, 0, 0, 0}),
         false},
        {"polygon sizes beyond", record(EMR_POLYPOLYGON, {0, 0, 0, 0, 9, 0, 0}), false},
        {"palette entries", record(EMR_CREATEPALETTE, {1, 0x00030300, 0, 0, 0}), true},
        {"palette entries beyond", record(EMR_CREATEPALETTE, {1, 0x00040300, 0, 0, 0}), false},
        {"region", record(EMR_PAINTRGN, {0, 0, 0, 0, 32}, 32), true},
        {"region without its header", record(EMR_PAINTRGN, {0, 0, 0, 0, 16}, 16), false},
        {"region beyond", record(EMR_PAINTRGN, {0, 0, 0, 0, 48}, 32), false},
        {"comment", record(EMR_GDICOMMENT, {4, 0}), true},
        {"comment beyond", record(EMR_GDICOMMENT, {5, 0}), false},
        {"picture", picture(40, 4, 44), true},
        {"no picture, bits inside", record(EMR_STRETCHDIBITS, zeros(18)), true},
        {"picture header short", picture(20, 0, 20), false},
        {"picture bits beyond", picture(40, 8, 44), false},
        {"a brush needs its picture", record(EMR_CREATEMONOBRUSH, zeros(6)), false},
        {"pen style entries", record(EMR_EXTCREATEPEN, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}, 4), true},
        {"pen style entries beyond", record(EMR_EXTCREATEPEN, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2}, 4),
         false},
        {"text", record(EMR_EXTTEXTOUTW, text(2, 76, 80), 12), true},
        {"text string beyond", record(EMR_EXTTEXTOUTW, text(3, 76, 0), 4), false},
        {"text spacing beyond", record(EMR_EXTTEXTOUTA, text(2, 76, 80), 4), false},
        {"texts", record(EMR_POLYTEXTOUTA, polyText, 84), true},
        {"second text beyond", record(EMR_POLYTEXTOUTA, polyText, 8), false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SdEnhMetaRecordFits(c.record.data(), DWORD(c.record.size())), c.fits) << c.what;
    EXPECT_FALSE(SdEnhMetaRecordFits(nullptr, 24));
}

TEST(EnhMetaRecords, APictureClaimsNoMoreThanItsRecordGives) {
    DibInfo eight = dibInfo(3, 2, 8);
    const DWORD eightHeader = 40 + 256 * 4, eightBits = 2 * 4;
    DibInfo claims = dibInfo(2, 2, 24);
    claims.header.biSize = 8488;
    DibInfo packed = dibInfo(2, 2, 8);
    packed.header.biCompression = BI_RLE8;
    packed.header.biSizeImage = 20;
    struct Case {
        const char* what;
        const DibInfo& dib;
        DWORD cbBmi, cbBits;
        UINT usage, start;
        std::int64_t scans;
        bool fits;
    };
    const Case cases[] = {
        {"whole", eight, eightHeader, eightBits, DIB_RGB_COLORS, 0, -1, true},
        {"colour table cut", eight, eightHeader - 1, eightBits, DIB_RGB_COLORS, 0, -1, false},
        {"palette indexes", eight, 40 + 256 * 2, eightBits, DIB_PAL_COLORS, 0, -1, true},
        {"bits cut", eight, eightHeader, eightBits - 1, DIB_RGB_COLORS, 0, -1, false},
        {"one scan given", eight, eightHeader, 4, DIB_RGB_COLORS, 1, 5, true},
        {"two scans given", eight, eightHeader, 4, DIB_RGB_COLORS, 0, 2, false},
        {"scans past the picture", eight, eightHeader, 0, DIB_RGB_COLORS, 2, 5, true},
        {"header claiming more", claims, 40, 16, DIB_RGB_COLORS, 0, -1, false},
        {"header short", claims, 39, 16, DIB_RGB_COLORS, 0, -1, false},
        {"compressed", packed, 40 + 256 * 4, 20, DIB_RGB_COLORS, 0, -1, true},
        {"compressed image cut", packed, 40 + 256 * 4, 19, DIB_RGB_COLORS, 0, -1, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SdEnhMetaDibFits(reinterpret_cast<const BYTE*>(&c.dib), c.cbBmi, c.cbBits, c.usage,
                                   c.start, c.scans),
                  c.fits)
            << c.what;
}

} // namespace
