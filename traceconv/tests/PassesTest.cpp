// Colour passes, progress and abort, exhausted stores, parameters and bad bitmaps.

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <limits>
#include <map>

#include <pathkit/AbortHandler.h>
#include <pathkit/Path.h>
#include <traceconv/TraceConv.h>
#include <traceconv/TraceTesting.h>
#include <win32/kernel.h>

#include "TraceTestUtil.h"

namespace {

const COLORREF White = RGB(255, 255, 255), Red = RGB(255, 0, 0), Blue = RGB(0, 0, 255);

void NoFitting() {
    SetTraceParam(nullptr, 0, 0, 0, 0);
    SetExtTraceParam(1, 1, 1, 1, 1, 1, 5, 5, 0);
}

// Sub-path areas by the low byte of their attribute words.
std::map<int, double> AreaByPass(const Path& path) {
    std::map<int, double> areas;
    for (const SubPath& sp : path.subPaths) {
        Path one;
        SubPath copy(sp);
        one.AddSubPath(copy);
        areas[sp.state & 0xFF] += PolygonArea(one);
    }
    return areas;
}

// Index picture: a red ring (indices 1 and 5, both red) around a blue square, on white.
Pixels RingPicture() {
    Pixels p(12, 10);
    for (int y = 1; y < 9; ++y)
        for (int x = 1; x < 11; ++x) p.at(x, y) = x < 6 ? 1 : 5;
    for (int y = 3; y < 7; ++y)
        for (int x = 4; x < 8; ++x) p.at(x, y) = 3;
    return p;
}

const std::vector<COLORREF> RingPalette{White, Red, RGB(0, 255, 0), Blue, RGB(9, 9, 9), Red};

TEST(PassesTest, OneColourUnderTwoIndicesIsOnePassAndPassesFollowTheIndices) {
    NoFitting();
    for (int bits : {4, 8}) {
        HDIB dib = MakeIndexedDib(bits, RingPicture(), RingPalette);
        ASSERT_EQ(PrepareTracing(dib), 3) << bits;
        const COLORREF* palette = GetPassPalette();
        EXPECT_EQ(palette[0], White);
        EXPECT_EQ(palette[1], Red);
        EXPECT_EQ(palette[2], Blue);
        Path out;
        TraceAll(dib, out);
        GlobalFree(dib);
        // White: the frame around the ring (its hole dropped); red: the ring without its
        // hole, as one outline although two indices make it; blue: the square.
        std::map<int, double> areas = AreaByPass(out);
        EXPECT_EQ(areas[0], 120.0) << bits;
        EXPECT_EQ(areas[1], 80.0) << bits;
        EXPECT_EQ(areas[2], 16.0) << bits;
        int red = 0;
        for (const SubPath& sp : out.subPaths) {
            EXPECT_EQ(sp.state & 0xFF00, 0x0700);
            red += (sp.state & 0xFF) == 1;
        }
        EXPECT_EQ(red, 1);
    }
}

TEST(PassesTest, TraceKeepsHolesOnlyAfterAOneBitPreparation) {
    NoFitting();
    HDIB colour = MakeIndexedDib(8, RingPicture(), RingPalette);
    ASSERT_EQ(PrepareTracing(colour), 3);
    Path all;
    TraceAll(colour, all);
    COLORREF red = Red;
    Path out;
    Trace(colour, &red, 1, out);
    ASSERT_EQ(out.subPaths.Filled(), 1);
    EXPECT_EQ(PolygonArea(out), 80.0); // hole dropped: the outer ring alone
    // The pass byte is the pass count of the last TraceAll.
    EXPECT_EQ(out.subPaths[0].state & 0xFF, 3);

    // After a 1-bit preparation (one pass) the same trace keeps the hole.
    Pixels mono(4, 4);
    HDIB oneBit = MakeMonoDib(mono);
    std::vector<COLORREF> before(GetPassPalette(), GetPassPalette() + 3);
    ASSERT_EQ(PrepareTracing(oneBit), 1);
    EXPECT_EQ(std::vector<COLORREF>(GetPassPalette(), GetPassPalette() + 3), before);
    Path withHole;
    Trace(colour, &red, 1, withHole);
    EXPECT_EQ(withHole.subPaths.Filled(), 2);
    EXPECT_EQ(PolygonArea(withHole), 64.0);
    GlobalFree(colour);
    GlobalFree(oneBit);
}

TEST(PassesTest, TraceWithoutColoursTracesNothingAndEmptiesThePath) {
    NoFitting();
    HDIB dib = MakeIndexedDib(8, RingPicture(), RingPalette);
    PrepareTracing(dib);
    Path out;
    TraceAll(dib, out);
    ASSERT_GT(out.subPaths.Filled(), 0);
    COLORREF red = Red;
    Trace(dib, &red, 0, out);
    EXPECT_EQ(out.subPaths.Filled(), 0);
    TraceAll(dib, out);
    Trace(dib, nullptr, 3, out);
    EXPECT_EQ(out.subPaths.Filled(), 0);
    Trace(dib, &red, -2, out);
    EXPECT_EQ(out.subPaths.Filled(), 0);
    GlobalFree(dib);
}

class RecordingHandler : public AbortHandler {
public:
    explicit RecordingHandler(int stopAfter) : stopAfter(stopAfter) {}
    void SetStage(const char*, float, float) override { ++stages; }
    void SetProgress(float percent) override { progress.push_back(percent); }
    void CheckAbort() override {
        if (++checks > stopAfter) aborted = 1;
    }
    int stopAfter;
    int checks = 0;
    int stages = 0;
    std::vector<float> progress;
};

TEST(PassesTest, AbortAfterTenRowsEndsWithRisingProgressAndNothingFromLaterRows) {
    // Forty rows of short bars, each row its own outline.
    Pixels p(8, 40);
    for (int y = 0; y < 40; y += 2)
        for (int x = 1; x < 7; ++x) p.at(x, y) = 1;
    RecordingHandler handler(10);
    SetTraceParam(&handler, 0, 0, 0, 0);
    HDIB dib = MakeMonoDib(p);
    ASSERT_EQ(PrepareTracing(dib), 1);
    Path out;
    TraceAll(dib, out);
    GlobalFree(dib);
    ASSERT_EQ(handler.progress.size(), 10u);
    for (std::size_t i = 0; i < handler.progress.size(); ++i)
        EXPECT_FLOAT_EQ(handler.progress[i], float(i * 100.0 / 40));
    EXPECT_EQ(handler.stages, 0);
    // Rows 0 to 9: the bars of rows 0, 2, 4, 6 and 8, all handed over.
    EXPECT_EQ(out.subPaths.Filled(), 5);
    for (const SubPath& sp : out.subPaths)
        for (const PathMember& m : sp.members) EXPECT_LE(m.start.y, 20.0f);
    // Without the flag the whole bitmap is traced.
    RecordingHandler patient(INT_MAX);
    SetTraceParam(&patient, 0, 0, 0, 0);
    dib = MakeMonoDib(p);
    PrepareTracing(dib);
    TraceAll(dib, out);
    GlobalFree(dib);
    EXPECT_EQ(out.subPaths.Filled(), 20);
    EXPECT_EQ(patient.progress.size(), 40u);
    SetTraceParam(nullptr, 0, 0, 0, 0);
}

// A checkerboard: every pixel an outline kept back for its corners until the pass ends.
Pixels Board(int n) {
    Pixels p(n, n);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) p.at(x, y) = (x + y) & 1;
    return p;
}

TEST(PassesTest, ExhaustedStoresThrowAndLeaveTheCallerAndTheNextTraceSound) {
    NoFitting();
    Pixels board = Board(64);
    HDIB dib = MakeMonoDib(board);
    SIZE_T size = GlobalSize(dib);
    std::vector<char> original(size);
    std::memcpy(original.data(), GlobalLock(dib), size);
    GlobalUnlock(dib);

    Path out;
    BuildBox(floatBBox(0, 0, 1, 1), out);
    ASSERT_EQ(PrepareTracing(dib), 1);
    TraceSetStoreLimits(0, 0, 1); // 200 outlines
    EXPECT_THROW(TraceAll(dib, out), sLinkBankFull);
    EXPECT_THROW(TraceAll(dib, out), NoMemory);
    EXPECT_THROW(TraceAll(dib, out), RuntimeError);
    TraceSetStoreLimits(0, 1, 0); // 200 references
    EXPECT_THROW(TraceAll(dib, out), sLinkBankFull);
    TraceSetStoreLimits(1, 0, 0); // 5,000 points
    EXPECT_THROW(TraceAll(dib, out), sLinkBankFull);
    // The caller's path and block are as they were, and the block is not left locked.
    EXPECT_EQ(out.subPaths.Filled(), 1);
    EXPECT_EQ(GlobalFlags(dib) & GMEM_LOCKCOUNT, 0u);
    ASSERT_EQ(GlobalSize(dib), size);
    EXPECT_EQ(std::memcmp(original.data(), GlobalLock(dib), size), 0);
    GlobalUnlock(dib);

    TraceSetStoreLimits(0, 0, 0);
    TraceAll(dib, out);
    Pixels back = Rasterise(out, board.w, board.h);
    EXPECT_EQ(XorCount(back, board), 0);
    EXPECT_EQ(PolygonArea(out), double(board.Count()));
    GlobalFree(dib);
}

TEST(PassesTest, ParametersOutOfRangeAreBoundedAndBadTolerancesMeanNoFitting) {
    Pixels disc(30, 30);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x) disc.at(x, y) = std::hypot(x - 14.5, y - 14.5) < 12;
    HDIB dib = MakeMonoDib(disc);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    for (float f : {-1.0f, nan, inf, -inf, std::numeric_limits<float>::max()}) {
        SetTraceParam(nullptr, -5, INT_MIN, -1, f);
        SetExtTraceParam(1, 1, 1, 1, 1, 1, nan, inf, 0);
        PrepareTracing(dib);
        Path out;
        TraceAll(dib, out);
        ASSERT_EQ(out.subPaths.Filled(), 1) << f;
        for (const PathMember& m : out.subPaths[0].members) EXPECT_FALSE(m.IsCurve()) << f;
        EXPECT_EQ(XorCount(Rasterise(out, 30, 30), disc), 0) << f;
    }
    // The largest parameters do not overflow: a bump or step as wide as anything, and a
    // minimum size that drops everything.
    SetTraceParam(nullptr, INT_MAX, INT_MAX, INT_MAX, 0);
    PrepareTracing(dib);
    Path out;
    TraceAll(dib, out);
    EXPECT_EQ(out.subPaths.Filled(), 0);
    GlobalFree(dib);
}

// ---- bad bitmaps

struct RawBitmap {
    std::vector<std::uint8_t> bytes;
};

// An 8 x 4 bitmap, a 4 x 2 square of index 0 in its middle (1-bit: 0 bits are traced).
RawBitmap Raw(int headerSize, int bits, LONG width, LONG height, DWORD compression = BI_RGB,
              DWORD clrUsed = 0, long cut = 0) {
    RawBitmap r;
    long long w = width < 0 ? -(long long)width : width, h = height < 0 ? -(long long)height : height;
    int entries = clrUsed ? int(clrUsed) : (bits <= 8 ? 1 << bits : 0);
    int entry = headerSize == 12 ? 3 : 4;
    long long stride = ((bits * w + 31) / 32) * 4;
    long long rows = std::min<long long>(stride * h, 1 << 20);
    r.bytes.assign(std::size_t(headerSize + entries * entry + rows), 0);
    if (headerSize == 12) {
        BITMAPCOREHEADER c{12, WORD(width), WORD(height), 1, WORD(bits)};
        std::memcpy(r.bytes.data(), &c, sizeof c);
    } else {
        BITMAPINFOHEADER bi{};
        bi.biSize = DWORD(headerSize);
        bi.biWidth = width;
        bi.biHeight = height;
        bi.biPlanes = 1;
        bi.biBitCount = WORD(bits);
        bi.biCompression = compression;
        bi.biClrUsed = clrUsed;
        std::memcpy(r.bytes.data(), &bi, sizeof bi);
    }
    std::uint8_t* table = r.bytes.data() + headerSize;
    for (int i = 0; i < entries && i < 256; ++i) {
        std::uint8_t v = i == 0 ? 0 : 255;
        table[i * entry] = table[i * entry + 1] = table[i * entry + 2] = v;
    }
    std::uint8_t* px = table + entries * entry;
    if (bits <= 8 && w <= 64 && h <= 64) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                bool ink = x >= 2 && x < 6 && y >= 1 && y < 3;
                std::uint8_t* row = px + y * stride;
                if (bits == 1 && !ink) row[x / 8] |= std::uint8_t(0x80 >> (x & 7));
                if (bits == 4 && !ink) row[x / 2] |= std::uint8_t((x & 1) ? 0x01 : 0x10);
                if (bits == 8 && !ink) row[x] = 1;
            }
    }
    if (cut) r.bytes.resize(r.bytes.size() - std::size_t(cut));
    return r;
}

HDIB ToBlock(const RawBitmap& r) {
    HDIB h = GlobalAlloc(GMEM_MOVEABLE, r.bytes.size());
    std::memcpy(GlobalLock(h), r.bytes.data(), r.bytes.size());
    GlobalUnlock(h);
    return h;
}

struct BadCase {
    const char* name;
    RawBitmap raw;
    int passes;
    int subPaths;
};

TEST(PassesTest, BadBitmapsGiveNoPassAndAnEmptyPathOthersTrace) {
    NoFitting();
    const BadCase cases[] = {
        {"info header", Raw(40, 1, 8, 4), 1, 1},
        {"core header", Raw(12, 1, 8, 4), 1, 1},
        {"64-byte header", Raw(64, 1, 8, 4), 1, 1},
        {"108-byte header", Raw(108, 4, 8, 4), 2, 2},
        {"124-byte header", Raw(124, 8, 8, 4), 2, 2},
        {"colours used 300", Raw(40, 8, 8, 4, BI_RGB, 300), 2, 2},
        {"colours used 300, table cut", Raw(40, 8, 8, 4, BI_RGB, 300, 40), 0, 0},
        {"truncated rows", Raw(40, 1, 8, 4, BI_RGB, 0, 1), 0, 0},
        {"header only", Raw(40, 1, 8, 4, BI_RGB, 0, 16), 0, 0},
        {"block shorter than its header", Raw(124, 8, 8, 4, BI_RGB, 0, 1100), 0, 0},
        {"header size 20", Raw(20, 1, 8, 4), 0, 0},
        {"24 bits", Raw(40, 24, 8, 4), 0, 0},
        {"bit count 3", Raw(40, 3, 8, 4), 0, 0},
        {"RLE8", Raw(40, 8, 8, 4, BI_RLE8), 0, 0},
        {"top-down", Raw(40, 8, 8, -4), 0, 0},
        {"width 0", Raw(40, 8, 0, 4), 0, 0},
        {"width 40,000", Raw(40, 1, 40000, 4), 0, 0},
        {"height 40,000", Raw(40, 1, 8, 40000), 0, 0},
        {"core width 40,000", Raw(12, 1, 40000, 2), 0, 0},
    };
    for (const BadCase& c : cases) {
        HDIB dib = ToBlock(c.raw);
        Path out;
        BuildBox(floatBBox(0, 0, 1, 1), out);
        EXPECT_EQ(PrepareTracing(dib), c.passes) << c.name;
        TraceAll(dib, out);
        EXPECT_EQ(out.subPaths.Filled(), c.subPaths) << c.name;
        COLORREF black = RGB(0, 0, 0);
        Path one;
        Trace(dib, &black, 1, one);
        EXPECT_EQ(one.subPaths.Filled(), c.passes ? 1 : 0) << c.name;
        EXPECT_EQ(GlobalFlags(dib) & GMEM_LOCKCOUNT, 0u) << c.name;
        GlobalFree(dib);
    }
}

} // namespace
