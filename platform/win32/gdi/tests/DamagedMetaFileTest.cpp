// Damaged metafiles kept as fixtures: each plays, converts and records again without harm, and
// each fault ends as designed: the record refused while playback goes on, or the value
// clamped to the device range.

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "GdiFixture.h"
#include "win32/wingdi_meta.h"

namespace {

using Bytes = std::vector<BYTE>;

const char* const kFixtures[] = {"emf-stretchdibits-header-size.emf",
                                 "emf-setdibitstodevice-header-size.emf",
                                 "emf-bitblt-corner.emf",
                                 "emf-frame-width.emf",
                                 "emf-anglearc-radius.emf",
                                 "emf-pen-width-world-zoom.emf"};

Bytes fixture(const std::string& name) {
    std::ifstream f(std::string(SD_TEST_DATA) + "/" + name, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}

Bytes bitsOf(HENHMETAFILE e) {
    Bytes b(GetEnhMetaFileBits(e, 0, nullptr));
    GetEnhMetaFileBits(e, UINT(b.size()), b.data());
    return b;
}

DWORD u32At(const Bytes& b, std::size_t at) {
    DWORD v;
    std::memcpy(&v, &b[at], 4);
    return v;
}

LONG i32At(const Bytes& b, std::size_t at) {
    return LONG(u32At(b, at));
}

// Offset of the first record of the type in an EMF's bytes, 0 when there is none.
std::size_t findRecord(const Bytes& b, DWORD type) {
    for (std::size_t at = u32At(b, 4); at + 8 <= b.size(); at += u32At(b, at + 4)) {
        if (u32At(b, at) == type) return at;
        if (u32At(b, at + 4) == 0) break;
    }
    return 0;
}

// The metafile played into a new EMF context whose units are the fixtures' pixels (a frame
// of 10 mm on 100 pixels).
Bytes recordedAgain(HENHMETAFILE e) {
    HDC mdc = CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
    RECT r{0, 0, 100, 100};
    EXPECT_TRUE(PlayEnhMetaFile(mdc, e, &r));
    HENHMETAFILE again = CloseEnhMetaFile(mdc);
    Bytes b = bitsOf(again);
    DeleteEnhMetaFile(again);
    return b;
}

struct Played {
    DWORD type;
    BOOL ok;
    DWORD error;
};

int playAndNote(HDC dc, HANDLETABLE* table, const ENHMETARECORD* r, int handles, LPARAM data) {
    SetLastError(0);
    BOOL ok = PlayEnhMetaFileRecord(dc, table, r, UINT(handles));
    reinterpret_cast<std::vector<Played>*>(data)->push_back({r->iType, ok, GetLastError()});
    return 1;
}

TEST(DamagedMetaFile, EveryFixturePlaysConvertsAndRecordsAgain) {
    for (const char* name : kFixtures) {
        SCOPED_TRACE(name);
        HENHMETAFILE e = GetEnhMetaFileA((std::string(SD_TEST_DATA) + "/" + name).c_str());
        ASSERT_NE(e, nullptr);
        DibCanvas canvas(100, 100);
        RECT r{0, 0, 100, 100};
        EXPECT_TRUE(PlayEnhMetaFile(canvas.dc, e, &r));
        EXPECT_GT(GetWinMetaFileBits(e, 0, nullptr, MM_TEXT, nullptr), 18u);
        // What the recorder wrote loads again.
        Bytes again = recordedAgain(e);
        HENHMETAFILE back = SetEnhMetaFileBits(UINT(again.size()), again.data());
        EXPECT_NE(back, nullptr);
        DeleteEnhMetaFile(back);
        DeleteEnhMetaFile(e);
    }
}

// The records hold a 40-byte header whose size field claims 8,488 bytes.
TEST(DamagedMetaFile, ABitmapHeaderClaimingMoreThanItsRecordIsRefused) {
    struct Case {
        const char* file;
        DWORD type;
        WORD wmfFunction;
        std::size_t biSizeAt; // the header's size field in the file
    };
    const Case cases[] = {
        {"emf-stretchdibits-header-size.emf", EMR_STRETCHDIBITS, META_STRETCHDIB, 0xA8},
        {"emf-setdibitstodevice-header-size.emf", EMR_SETDIBITSTODEVICE, META_SETDIBTODEV, 0xA4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        for (DWORD biSize : {DWORD(8488), DWORD(sizeof(BITMAPINFOHEADER))}) {
            const bool damaged = biSize != sizeof(BITMAPINFOHEADER);
            Bytes b = fixture(c.file);
            ASSERT_EQ(u32At(b, c.biSizeAt), 8488u);
            std::memcpy(&b[c.biSizeAt], &biSize, 4);
            HENHMETAFILE e = SetEnhMetaFileBits(UINT(b.size()), b.data());
            ASSERT_NE(e, nullptr);

            // The record fails with bad data; the records after it are still played.
            DibCanvas canvas(100, 100);
            std::vector<Played> played;
            RECT r{0, 0, 100, 100};
            EXPECT_TRUE(EnumEnhMetaFile(canvas.dc, e, playAndNote, &played, &r));
            ASSERT_GE(played.size(), 3u);
            EXPECT_EQ(played[1].type, c.type);
            EXPECT_EQ(played[1].ok, !damaged);
            if (damaged) {
                EXPECT_EQ(played[1].error, DWORD(ERROR_INVALID_DATA));
            }
            EXPECT_EQ(played.back().type, DWORD(EMR_EOF));

            // Recording it again, as an EMF or a WMF, copies it only when whole.
            EXPECT_EQ(findRecord(recordedAgain(e), c.type) != 0, !damaged);
            Bytes wmf(GetWinMetaFileBits(e, 0, nullptr, MM_TEXT, nullptr));
            ASSERT_GT(wmf.size(), 18u);
            GetWinMetaFileBits(e, UINT(wmf.size()), wmf.data(), MM_TEXT, nullptr);
            bool found = false;
            for (std::size_t at = 18; at + 6 <= wmf.size(); at += 2 * std::size_t(u32At(wmf, at)))
                found = found || (wmf[at + 4] | wmf[at + 5] << 8) == c.wmfFunction;
            EXPECT_EQ(found, !damaged);
            DeleteEnhMetaFile(e);
        }
    }
}

// A blit and an angle arc whose corner passes the device range: recorded with their own
// values, their bounds clamped at the range's end.
TEST(DamagedMetaFile, CornersPastTheDeviceRangeAreClampedInTheBounds) {
    {
        HENHMETAFILE e = GetEnhMetaFileA(SD_TEST_DATA "/emf-bitblt-corner.emf");
        ASSERT_NE(e, nullptr);
        Bytes b = recordedAgain(e);
        std::size_t at = findRecord(b, EMR_BITBLT);
        ASSERT_NE(at, 0u);
        EXPECT_EQ(i32At(b, at + 8), 2147483000);  // bounds left
        EXPECT_EQ(i32At(b, at + 16), INT32_MAX);  // bounds right: x + 100,000 clamped
        EXPECT_EQ(i32At(b, at + 24), 2147483000); // x
        EXPECT_EQ(i32At(b, at + 32), 100000);     // width
        EXPECT_EQ(i32At(b, 16), INT32_MAX);       // the header's bounds
        DeleteEnhMetaFile(e);
    }
    {
        HENHMETAFILE e = GetEnhMetaFileA(SD_TEST_DATA "/emf-anglearc-radius.emf");
        ASSERT_NE(e, nullptr);
        Bytes b = recordedAgain(e);
        std::size_t at = findRecord(b, EMR_ANGLEARC);
        ASSERT_NE(at, 0u);
        EXPECT_EQ(i32At(b, at + 8), 2000000000);  // centre
        EXPECT_EQ(u32At(b, at + 16), 0x70000000u); // radius
        // Header bounds: the centre ± the radius, the right edge clamped.
        EXPECT_EQ(i32At(b, 8), 2000000000 - 0x70000000);
        EXPECT_EQ(i32At(b, 12), 10 - 0x70000000);
        EXPECT_EQ(i32At(b, 16), INT32_MAX);
        EXPECT_EQ(i32At(b, 20), 10 + 0x70000000);
        DeleteEnhMetaFile(e);
    }
}

int noteWindow(HDC dc, HANDLETABLE*, const ENHMETARECORD* r, int, LPARAM data) {
    if (r->iType == EMR_RECTANGLE) {
        auto* out = reinterpret_cast<std::pair<POINT, SIZE>*>(data);
        GetWindowOrgEx(dc, &out->first);
        GetWindowExtEx(dc, &out->second);
    }
    return 1;
}

// A frame from -2·10⁹ to 2·10⁹ (0.01 mm at one pixel per 0.01 mm): its width is clamped.
TEST(DamagedMetaFile, AFrameWiderThanTheDeviceRangeIsClamped) {
    HENHMETAFILE e = GetEnhMetaFileA(SD_TEST_DATA "/emf-frame-width.emf");
    ASSERT_NE(e, nullptr);
    DibCanvas canvas(100, 100);
    std::pair<POINT, SIZE> window{};
    RECT r{0, 0, 100, 100};
    EXPECT_TRUE(EnumEnhMetaFile(canvas.dc, e, noteWindow, &window, &r));
    EXPECT_EQ(window.first.x, -2000000000);
    EXPECT_EQ(window.second.cx, INT32_MAX);
    EXPECT_EQ(window.second.cy, 1000);
    DeleteEnhMetaFile(e);
}

} // namespace
