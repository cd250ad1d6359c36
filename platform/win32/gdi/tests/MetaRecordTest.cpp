// Metafile records of objects, blits, regions, fonts and palettes: recorded, played back and
// checked.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "GdiFixture.h"
#include "testing/PlatformTest.h"
#include "testing/SfntWriter.h"
#include "win32/FontTesting.h"
#include "win32/gdifont.h"
#include "win32/wingdi_meta.h"

namespace {

using Bytes = std::vector<BYTE>;

void u32(Bytes& b, DWORD v) {
    for (int i = 0; i < 4; ++i)
        b.push_back(BYTE(v >> (8 * i)));
}
void u16(Bytes& b, WORD v) {
    b.push_back(BYTE(v));
    b.push_back(BYTE(v >> 8));
}

class MetaRecordTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        SfntWriter w("Fixture Sans", "Regular");
        w.winAscent = 800;
        w.winDescent = 200;
        w.AddGlyph('H', {{{100, 0, true}, {500, 0, true}, {500, 700, true}, {100, 700, true}}},
                   600);
        std::string file = (DataFolder() / "f.ttf").string();
        ASSERT_TRUE(w.Write(file));
        SdUseFontFiles({file});
    }
    void TearDown() override {
        SdUseSystemFonts();
        PlatformTest::TearDown();
    }
};

// Calls beyond lines and shapes; `windows` leaves out what the WMF format cannot express.
void moreDrawing(HDC dc, bool windows) {
    HBRUSH red = CreateSolidBrush(RGB(220, 30, 30));
    HBRUSH hatch = CreateHatchBrush(HS_DIAGCROSS, RGB(0, 120, 0));
    RECT r1{5, 5, 40, 25}, r2{45, 5, 80, 25}, r3{10, 10, 30, 20};
    FillRect(dc, &r1, red);
    FrameRect(dc, &r2, red);
    InvertRect(dc, &r3);
    HGDIOBJ oldBrush = SelectObject(dc, hatch);
    PatBlt(dc, 85, 5, 30, 20, PATCOPY);

    // A small picture copied and stretched.
    DibCanvas src(8, 8);
    src.Clear(RGB(255, 255, 255));
    for (int i = 0; i < 8; ++i) {
        SetPixel(src.dc, i, i, RGB(0, 0, 255));
        SetPixel(src.dc, 7 - i, i, RGB(255, 0, 0));
    }
    BitBlt(dc, 5, 30, 8, 8, src.dc, 0, 0, SRCCOPY);
    StretchBlt(dc, 18, 30, 16, 12, src.dc, 0, 0, 8, 8, SRCINVERT);

    // Regions painted four ways.
    HRGN a = CreateRectRgn(40, 30, 60, 50), b = CreateRectRgn(50, 40, 75, 60);
    CombineRgn(a, a, b, RGN_OR);
    FillRgn(dc, a, red);
    FrameRgn(dc, a, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)), 2, 1);
    HRGN c = CreateRectRgn(5, 45, 30, 60);
    PaintRgn(dc, c);
    HRGN d = CreateRectRgn(20, 50, 35, 65);
    InvertRgn(dc, d);

    // A clip region, changed and moved.
    SaveDC(dc);
    HRGN clip = CreateEllipticRgn(80, 30, 115, 62);
    SelectClipRgn(dc, clip);
    Rectangle(dc, 75, 25, 120, 65);
    if (!windows) {
        HRGN hole = CreateRectRgn(90, 40, 100, 50);
        ExtSelectClipRgn(dc, hole, RGN_DIFF);
        DeleteObject(hole);
    }
    OffsetClipRgn(dc, 4, 3);
    SelectObject(dc, red);
    Ellipse(dc, 78, 28, 118, 66);
    RestoreDC(dc, -1);

    // An extended pen with flat ends and mitred joins, a pattern brush.
    LOGBRUSH lb{BS_SOLID, RGB(0, 0, 200), 0};
    HPEN ext = ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_FLAT | PS_JOIN_MITER, 5, &lb, 0,
                            nullptr);
    HGDIOBJ oldPen = SelectObject(dc, ext);
    POINT zig[] = {{40, 70}, {55, 90}, {70, 70}, {85, 90}};
    Polyline(dc, zig, 4);
    DibCanvas tile(4, 4);
    tile.Clear(RGB(250, 200, 0));
    SetPixel(tile.dc, 0, 0, RGB(0, 0, 0));
    SetPixel(tile.dc, 2, 2, RGB(0, 90, 90));
    HBITMAP tileBitmap = CreateBitmap(4, 4, 1, 24, nullptr);
    HDC tileDc = CreateCompatibleDC(nullptr);
    HGDIOBJ oldTile = SelectObject(tileDc, tileBitmap);
    BitBlt(tileDc, 0, 0, 4, 4, tile.dc, 0, 0, SRCCOPY);
    SelectObject(tileDc, oldTile);
    DeleteDC(tileDc);
    HBRUSH pattern = CreatePatternBrush(tileBitmap);
    if (!windows) SetBrushOrgEx(dc, 1, 2, nullptr); // no such WMF record
    SelectObject(dc, pattern);
    SelectObject(dc, GetStockObject(NULL_PEN));
    Rectangle(dc, 90, 68, 118, 96);

    // Text in a font of its own.
    LOGFONTA lf{};
    lf.lfHeight = 20;
    std::strcpy(lf.lfFaceName, "Fixture Sans");
    HFONT font = CreateFontIndirectA(&lf);
    HGDIOBJ oldFont = SelectObject(dc, font);
    SetTextColor(dc, RGB(120, 0, 120));
    SetBkMode(dc, TRANSPARENT);
    TextOutA(dc, 5, 70, "HH", 2);

    // A palette selected and realised.
    struct {
        WORD version, count;
        PALETTEENTRY e[3];
    } lp{0x300, 3, {{255, 0, 0, 0}, {0, 255, 0, 0}, {0, 0, 255, 0}}};
    HPALETTE pal = CreatePalette(reinterpret_cast<const LOGPALETTE*>(&lp));
    HPALETTE oldPal = SelectPalette(dc, pal, FALSE);
    RealizePalette(dc);
    SelectPalette(dc, oldPal, FALSE);

    // A stretched picture of bits.
    DibInfo info = dibInfo(2, 2, 24);
    const BYTE bits[16] = {0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 255, 255, 255, 0, 0};
    StretchDIBits(dc, 60, 95, 20, 4, 0, 0, 2, 2, bits, info.info(), DIB_RGB_COLORS, SRCCOPY);
    // The upper scan of the picture, pixel for pixel.
    SetDIBitsToDevice(dc, 85, 97, 2, 1, 0, 1, 1, 1, bits + 8, info.info(), DIB_RGB_COLORS);
    if (!windows) {
        // A flattened curve.
        BeginPath(dc);
        MoveToEx(dc, 2, 98, nullptr);
        POINT curve[] = {{10, 80}, {30, 110}, {40, 90}};
        PolyBezierTo(dc, curve, 3);
        EndPath(dc);
        FlattenPath(dc);
        StrokePath(dc);
    }

    SelectObject(dc, oldFont);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    for (HGDIOBJ o : std::initializer_list<HGDIOBJ>{red, hatch, a, b, c, d, clip, ext, pattern,
                                                    tileBitmap, font, pal})
        DeleteObject(o);
}

RECT frameRect(HENHMETAFILE e) {
    ENHMETAHEADER h{};
    GetEnhMetaFileHeader(e, sizeof h, &h);
    auto px = [](LONG v, LONG mm, LONG dev) {
        return LONG(std::lround(double(v) * dev / (100.0 * mm)));
    };
    return RECT{px(h.rclFrame.left, h.szlMillimeters.cx, h.szlDevice.cx),
                px(h.rclFrame.top, h.szlMillimeters.cy, h.szlDevice.cy),
                px(h.rclFrame.right, h.szlMillimeters.cx, h.szlDevice.cx),
                px(h.rclFrame.bottom, h.szlMillimeters.cy, h.szlDevice.cy)};
}

HENHMETAFILE recordEnhanced(bool windowsSubset) {
    HDC ref = CreateCompatibleDC(nullptr);
    int mmX = GetDeviceCaps(ref, HORZSIZE), pxX = GetDeviceCaps(ref, HORZRES);
    int mmY = GetDeviceCaps(ref, VERTSIZE), pxY = GetDeviceCaps(ref, VERTRES);
    DeleteDC(ref);
    RECT frame{0, 0, 120 * mmX * 100 / pxX, 100 * mmY * 100 / pxY};
    HDC mdc = CreateEnhMetaFileA(nullptr, nullptr, &frame, nullptr);
    moreDrawing(mdc, windowsSubset);
    return CloseEnhMetaFile(mdc);
}

int differing(const SdGdiImage& a, const SdGdiImage& b) {
    int n = 0;
    for (std::size_t i = 0; i < a.pixels.size(); ++i)
        n += a.pixels[i] != b.pixels[i];
    return n;
}

int collectEmf(HDC, HANDLETABLE*, const ENHMETARECORD* r, int, LPARAM data) {
    reinterpret_cast<std::vector<DWORD>*>(data)->push_back(r->iType);
    return 1;
}
int collectWmf(HDC, HANDLETABLE*, METARECORD* r, int, LPARAM data) {
    reinterpret_cast<std::vector<DWORD>*>(data)->push_back(r->rdFunction);
    return 1;
}

TEST_F(MetaRecordTest, EnhancedRecordsPlayBackAsDrawn) {
    HENHMETAFILE e = recordEnhanced(false);
    ASSERT_NE(e, nullptr);
    std::vector<DWORD> types;
    ASSERT_TRUE(EnumEnhMetaFile(nullptr, e, collectEmf, &types, nullptr));
    for (DWORD t : {EMR_BITBLT, EMR_STRETCHBLT, EMR_FILLRGN, EMR_FRAMERGN, EMR_INVERTRGN,
                    EMR_PAINTRGN, EMR_EXTSELECTCLIPRGN, EMR_OFFSETCLIPRGN, EMR_EXTCREATEPEN,
                    EMR_CREATEDIBPATTERNBRUSHPT, EMR_EXTCREATEFONTINDIRECTW, EMR_CREATEPALETTE,
                    EMR_SELECTPALETTE, EMR_REALIZEPALETTE, EMR_STRETCHDIBITS,
                    EMR_SETDIBITSTODEVICE, EMR_SETBRUSHORGEX, EMR_FLATTENPATH})
        EXPECT_NE(std::find(types.begin(), types.end(), t), types.end()) << t;
    SdEnhMetaSkippedRecords(true);
    DibCanvas direct(120, 100), played(120, 100);
    direct.Clear(RGB(255, 255, 255));
    played.Clear(RGB(255, 255, 255));
    moreDrawing(direct.dc, false);
    RECT fr = frameRect(e);
    ASSERT_TRUE(PlayEnhMetaFile(played.dc, e, &fr));
    EXPECT_EQ(SdEnhMetaSkippedRecords(true), 0u);
    EXPECT_EQ(differing(direct.Read(), played.Read()), 0);
    // The text and the pattern are really there.
    EXPECT_GT(countColor(direct.Read(), RGB(120, 0, 120)), 50);
    EXPECT_GT(countColor(direct.Read(), RGB(0, 90, 90)), 10);
    DeleteEnhMetaFile(e);
}

TEST_F(MetaRecordTest, WindowsRecordsPlayBackAsDrawn) {
    HDC mdc = CreateMetaFileA(nullptr);
    moreDrawing(mdc, true);
    HMETAFILE w = CloseMetaFile(mdc);
    ASSERT_NE(w, nullptr);
    std::vector<DWORD> functions;
    ASSERT_TRUE(EnumMetaFile(nullptr, w, collectWmf, reinterpret_cast<LPARAM>(&functions)));
    for (WORD f : {META_PATBLT, META_DIBBITBLT, META_DIBSTRETCHBLT, META_CREATEREGION,
                   META_FILLREGION, META_FRAMEREGION, META_INVERTREGION, META_PAINTREGION,
                   META_SELECTCLIPREGION, META_OFFSETCLIPRGN, META_CREATEFONTINDIRECT,
                   META_DIBCREATEPATTERNBRUSH, META_CREATEPALETTE, META_SELECTPALETTE,
                   META_REALIZEPALETTE, META_STRETCHDIB, META_SETDIBTODEV})
        EXPECT_NE(std::find(functions.begin(), functions.end(), f), functions.end()) << f;
    DibCanvas direct(120, 100), played(120, 100);
    direct.Clear(RGB(255, 255, 255));
    played.Clear(RGB(255, 255, 255));
    moreDrawing(direct.dc, true);
    ASSERT_TRUE(PlayMetaFile(played.dc, w));
    EXPECT_EQ(differing(direct.Read(), played.Read()), 0);

    // Through an enhanced metafile and back, the picture stays.
    Bytes bits(GetMetaFileBitsEx(w, 0, nullptr));
    GetMetaFileBitsEx(w, UINT(bits.size()), bits.data());
    HENHMETAFILE e = SetWinMetaFileBits(UINT(bits.size()), bits.data(), nullptr, nullptr);
    ASSERT_NE(e, nullptr);
    UINT n = GetWinMetaFileBits(e, 0, nullptr, MM_TEXT, nullptr);
    Bytes back(n);
    ASSERT_EQ(GetWinMetaFileBits(e, n, back.data(), MM_TEXT, nullptr), n);
    HMETAFILE w2 = SetMetaFileBitsEx(n, back.data());
    ASSERT_NE(w2, nullptr);
    DibCanvas again(120, 100);
    again.Clear(RGB(255, 255, 255));
    ASSERT_TRUE(PlayMetaFile(again.dc, w2));
    EXPECT_EQ(differing(direct.Read(), again.Read()), 0);
    DeleteMetaFile(w2);
    DeleteEnhMetaFile(e);
    DeleteMetaFile(w);
}

TEST_F(MetaRecordTest, WindowsContextsRefuseWhatTheFormatLacks) {
    HDC mdc = CreateMetaFileA(nullptr);
    HRGN rgn = CreateRectRgn(0, 0, 10, 10);
    EXPECT_EQ(ExtSelectClipRgn(mdc, rgn, RGN_AND), ERROR);
    EXPECT_EQ(SelectClipRgn(mdc, nullptr), ERROR);
    EXPECT_NE(SelectClipRgn(mdc, rgn), ERROR);
    LOGFONTA lf{};
    lf.lfHeight = 40000;
    std::strcpy(lf.lfFaceName, "Fixture Sans");
    HFONT big = CreateFontIndirectA(&lf);
    EXPECT_EQ(SelectObject(mdc, big), nullptr);
    EXPECT_FALSE(PatBlt(mdc, 0, 0, 70000, 5, PATCOPY));
    HMETAFILE w = CloseMetaFile(mdc);
    std::vector<DWORD> functions;
    EnumMetaFile(nullptr, w, collectWmf, reinterpret_cast<LPARAM>(&functions));
    EXPECT_EQ(functions, (std::vector<DWORD>{META_CREATEREGION, META_SELECTCLIPREGION, META_EOF}));
    DeleteMetaFile(w);
    DeleteObject(big);
    DeleteObject(rgn);
}

// The byte layout of the object records.
TEST_F(MetaRecordTest, ObjectRecordsHaveThePublicLayout) {
    HDC mdc = CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
    LOGBRUSH lb{BS_SOLID, RGB(1, 2, 3), 0};
    HPEN ext = ExtCreatePen(PS_GEOMETRIC | PS_DASH | PS_ENDCAP_SQUARE, 9, &lb, 0, nullptr);
    SelectObject(mdc, ext);
    LOGFONTA lf{};
    lf.lfHeight = -33;
    lf.lfWeight = 700;
    lf.lfItalic = 1;
    std::strcpy(lf.lfFaceName, "Fixture Sans");
    HFONT font = CreateFontIndirectA(&lf);
    SelectObject(mdc, font);
    HENHMETAFILE e = CloseEnhMetaFile(mdc);
    Bytes b(GetEnhMetaFileBits(e, 0, nullptr));
    GetEnhMetaFileBits(e, UINT(b.size()), b.data());
    auto at32 = [&](std::size_t i) {
        DWORD v;
        std::memcpy(&v, &b[i], 4);
        return v;
    };
    std::size_t pen = at32(4); // after the header
    EXPECT_EQ(at32(pen), EMR_EXTCREATEPEN);
    EXPECT_EQ(at32(pen + 4), 52u);
    EXPECT_EQ(at32(pen + 8), 1u); // object index
    EXPECT_EQ(at32(pen + 28), PS_GEOMETRIC | PS_DASH | PS_ENDCAP_SQUARE);
    EXPECT_EQ(at32(pen + 32), 9u);
    EXPECT_EQ(at32(pen + 40), RGB(1, 2, 3));
    std::size_t font0 = pen + 52 + 12; // after the pen's SELECTOBJECT
    EXPECT_EQ(at32(font0), EMR_EXTCREATEFONTINDIRECTW);
    EXPECT_EQ(at32(font0 + 4), 104u);
    EXPECT_EQ(LONG(at32(font0 + 12)), -33);
    EXPECT_EQ(at32(font0 + 28), 700u);
    EXPECT_EQ(b[font0 + 32], 1); // italic
    EXPECT_EQ(b[font0 + 40], 'F');
    EXPECT_EQ(b[font0 + 41], 0); // UTF-16
    DeleteEnhMetaFile(e);

    HDC wdc = CreateMetaFileA(nullptr);
    SelectObject(wdc, font);
    HMETAFILE w = CloseMetaFile(wdc);
    Bytes wb(GetMetaFileBitsEx(w, 0, nullptr));
    GetMetaFileBitsEx(w, UINT(wb.size()), wb.data());
    // Header, then CREATEFONTINDIRECT: 3 + 5 + 4 + 16 words.
    DWORD words;
    std::memcpy(&words, &wb[18], 4);
    EXPECT_EQ(words, 28u);
    EXPECT_EQ(wb[22] | wb[23] << 8, META_CREATEFONTINDIRECT);
    EXPECT_EQ(short(wb[24] | wb[25] << 8), -33);
    EXPECT_EQ(wb[34], 1);                                     // italic
    EXPECT_EQ(std::string(reinterpret_cast<char*>(&wb[42])), "Fixture Sans");
    DeleteMetaFile(w);
    DeleteObject(ext);
    DeleteObject(font);
}

struct StateSeen {
    EXTLOGPEN pen{};
    int penBytes = 0;
    LOGPEN plain{};
    int plainBytes = 0;
    LOGFONTA font{};
    int fontBytes = 0;
};

int stateDuring(HDC dc, HANDLETABLE* t, const ENHMETARECORD* r, int n, LPARAM data) {
    PlayEnhMetaFileRecord(dc, t, r, UINT(n));
    if (r->iType == EMR_POLYLINE16) {
        auto* s = reinterpret_cast<StateSeen*>(data);
        HGDIOBJ pen = GetCurrentObject(dc, OBJ_PEN);
        s->penBytes = GetObjectA(pen, 28, &s->pen);
        s->plainBytes = GetObjectA(pen, 16, &s->plain);
        s->fontBytes = GetObjectA(GetCurrentObject(dc, OBJ_FONT), 60, &s->font);
    }
    return 1;
}

TEST_F(MetaRecordTest, ExtendedPensAndFontsAnswerDuringEnumeration) {
    HDC mdc = CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
    LOGBRUSH lb{BS_SOLID, RGB(9, 8, 7), 0};
    HPEN ext = ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_JOIN_BEVEL, 6, &lb, 0, nullptr);
    LOGFONTA lf{};
    lf.lfHeight = 25;
    std::strcpy(lf.lfFaceName, "Fixture Sans");
    HFONT font = CreateFontIndirectA(&lf);
    SelectObject(mdc, ext);
    SelectObject(mdc, font);
    POINT line[] = {{0, 0}, {50, 20}};
    Polyline(mdc, line, 2);
    HENHMETAFILE e = CloseEnhMetaFile(mdc);
    DibCanvas canvas(60, 60);
    RECT r{0, 0, 60, 60};
    StateSeen seen;
    ASSERT_TRUE(EnumEnhMetaFile(canvas.dc, e, stateDuring, &seen, &r));
    EXPECT_EQ(seen.penBytes, 28);
    EXPECT_EQ(seen.pen.elpPenStyle, PS_GEOMETRIC | PS_SOLID | PS_JOIN_BEVEL);
    EXPECT_EQ(seen.pen.elpWidth, 6u);
    EXPECT_EQ(seen.pen.elpBrushStyle, BS_SOLID);
    EXPECT_EQ(seen.pen.elpColor, RGB(9, 8, 7));
    EXPECT_EQ(seen.plainBytes, 16);
    EXPECT_EQ(seen.plain.lopnWidth.x, 6);
    EXPECT_EQ(seen.fontBytes, 60);
    EXPECT_EQ(seen.font.lfHeight, 25);
    EXPECT_STREQ(seen.font.lfFaceName, "Fixture Sans");
    // A plain pen answers as a LOGPEN only.
    HPEN plain = CreatePen(PS_SOLID, 2, 0);
    EXTLOGPEN elp{};
    EXPECT_EQ(GetObjectA(plain, sizeof elp, &elp), int(sizeof(LOGPEN)));
    DeleteObject(plain);
    DeleteEnhMetaFile(e);
    DeleteObject(ext);
    DeleteObject(font);
}

// Records whose counts, offsets or sizes run past their bytes are refused by the player and
// by the loader, with ERROR_INVALID_DATA.
TEST_F(MetaRecordTest, DamagedObjectAndRegionRecordsAreRefused) {
    auto emr = [](DWORD type, std::vector<DWORD> words) {
        Bytes b;
        u32(b, type);
        u32(b, DWORD(8 + 4 * words.size()));
        for (DWORD w : words)
            u32(b, w);
        return b;
    };
    std::vector<DWORD> bitblt(23, 0);
    bitblt[19] = 100; // offBmiSrc
    bitblt[20] = 40;  // cbBmiSrc beyond the record
    std::vector<DWORD> brush{1, 0, 32, 40, 72, 4000};
    brush.resize(6 + 10 + 1, 0);
    brush[6] = 40;
    brush[7] = 4; // 4 × 4 pixels, 24 bits: 48 bytes of bits wanted, 4 given
    brush[8] = 4;
    brush[9] = 1 | 24 << 16;
    brush[5] = 4;
    // SETDIBITSTODEVICE of a 4 × 4 24-bit picture, 3 scans wanted, 4 bytes of bits given.
    std::vector<DWORD> setbits(4 + 6 + 7, 0);
    setbits[10] = 76;                // offBmi
    setbits[11] = 40;                // cbBmi
    setbits[12] = 116;               // offBits
    setbits[13] = 4;                 // cbBits
    setbits[15] = 0;                 // first scan
    setbits[16] = 3;                 // scans
    std::vector<DWORD> header{40, 4, 4, 1 | 24 << 16, 0, 0, 0, 0, 0, 0, 0};
    setbits.insert(setbits.end(), header.begin(), header.end());
    // STRETCHDIBITS of a 4 × 4 picture with colour masks, 4 bytes of its 64 given.
    std::vector<DWORD> masked(18, 0);
    masked[10] = 80;  // offBmi
    masked[11] = 52;  // cbBmi with the masks
    masked[12] = 132; // offBits
    masked[13] = 4;   // cbBits
    masked[15] = SRCCOPY;
    masked[8] = masked[9] = masked[16] = masked[17] = 4;
    for (DWORD v : {40u, 4u, 4u, 1u | 32u << 16, DWORD(BI_BITFIELDS), 0u, 0u, 0u, 0u, 0u,
                    0xFF0000u, 0xFF00u, 0xFFu, 0u})
        masked.push_back(v);
    const struct {
        const char* what;
        Bytes record;
    } emfCases[] = {
        {"scans beyond the bits", emr(EMR_SETDIBITSTODEVICE, setbits)},
        {"masked picture short of its rows", emr(EMR_STRETCHDIBITS, masked)},
        {"region count beyond the data",
         emr(EMR_FILLRGN, {0, 0, 0, 0, 48, 0x80000000 | WHITE_BRUSH, 32, 1, 5, 16, 0, 0, 0, 0, 0, 0, 0, 0})},
        {"region data beyond the record",
         emr(EMR_PAINTRGN, {0, 0, 0, 0, 400, 32, 1, 0, 16})},
        {"clip region beyond the record", emr(EMR_EXTSELECTCLIPRGN, {64, RGN_COPY, 32, 1})},
        {"blit bitmap beyond the record", emr(EMR_BITBLT, bitblt)},
        {"pattern bits short of the rows", emr(EMR_CREATEDIBPATTERNBRUSHPT, brush)},
        {"pen style entries beyond", emr(EMR_EXTCREATEPEN, {1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 50})},
        {"palette entries beyond", emr(EMR_CREATEPALETTE, {1, 0x300 | 9u << 16, 0})},
        {"font record short", emr(EMR_EXTCREATEFONTINDIRECTW, {1, 20, 0, 0})},
    };
    DibCanvas canvas(20, 20);
    std::vector<HGDIOBJ> table(4, nullptr);
    auto* ht = reinterpret_cast<HANDLETABLE*>(table.data());
    for (const auto& c : emfCases) {
        SetLastError(0);
        EXPECT_FALSE(PlayEnhMetaFileRecord(
            canvas.dc, ht, reinterpret_cast<const ENHMETARECORD*>(c.record.data()), 4))
            << c.what;
        EXPECT_EQ(GetLastError(), ERROR_INVALID_DATA) << c.what;
    }
    for (HGDIOBJ h : table)
        if (h) DeleteObject(h);

    auto wmr = [](WORD fn, std::vector<WORD> params) {
        Bytes b;
        u32(b, DWORD(3 + params.size()));
        u16(b, fn);
        for (WORD p : params)
            u16(b, p);
        return b;
    };
    const struct {
        const char* what;
        Bytes record;
    } wmfCases[] = {
        {"region scans beyond", wmr(META_CREATEREGION, {0, 6, 0, 0, 40, 3, 1, 0, 0, 9, 9, 2, 0, 5})},
        {"odd scan count", wmr(META_CREATEREGION, {0, 6, 0, 0, 40, 1, 1, 0, 0, 9, 9, 1, 0, 5, 1, 1})},
        {"blit bitmap header beyond", wmr(META_DIBBITBLT, {0x20, 0xCC, 0, 0, 4, 4, 0, 0, 40, 0, 4})},
        {"pattern header beyond", wmr(META_DIBCREATEPATTERNBRUSH, {6, 0, 40, 0})},
        {"scans header beyond", wmr(META_SETDIBTODEV, {0, 1, 0, 0, 0, 1, 1, 0, 0, 40, 0})},
        {"palette entries beyond", wmr(META_CREATEPALETTE, {0x300, 5, 0, 0})},
        {"font record short", wmr(META_CREATEFONTINDIRECT, {20, 0, 0})},
        {"region call without its object", wmr(META_FILLREGION, {0, 1})},
    };
    std::vector<HGDIOBJ> wtable(4, nullptr);
    auto* wht = reinterpret_cast<HANDLETABLE*>(wtable.data());
    for (const auto& c : wmfCases) {
        SetLastError(0);
        Bytes rec = c.record;
        EXPECT_FALSE(
            PlayMetaFileRecord(canvas.dc, wht, reinterpret_cast<METARECORD*>(rec.data()), 4))
            << c.what;
        EXPECT_EQ(GetLastError(), ERROR_INVALID_DATA) << c.what;
        // The loader refuses a metafile holding it.
        Bytes file;
        u16(file, 1);
        u16(file, 9);
        u16(file, 0x300);
        u32(file, DWORD(9 + rec.size() / 2 + 3));
        u16(file, 4);
        u32(file, DWORD(rec.size() / 2));
        u16(file, 0);
        file.insert(file.end(), rec.begin(), rec.end());
        u32(file, 3);
        u16(file, 0);
        if (std::string(c.what) != "region call without its object") {
            EXPECT_EQ(SetMetaFileBitsEx(UINT(file.size()), file.data()), nullptr) << c.what;
        }
    }
    for (HGDIOBJ h : wtable)
        if (h) DeleteObject(h);
}

} // namespace
