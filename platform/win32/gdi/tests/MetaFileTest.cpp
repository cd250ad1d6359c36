// Metafiles: byte formats, loading, validation, enumeration and playback.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

#include "GdiFixture.h"
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

// Header (88 bytes), POLYGON16 of a triangle, end record.
Bytes minimalEmf() {
    Bytes b;
    u32(b, 1);
    u32(b, 88);
    for (LONG v : {10, 20, 30, 40})
        u32(b, DWORD(v)); // bounds
    for (LONG v : {0, 0, 1000, 1000})
        u32(b, DWORD(v)); // frame
    u32(b, 0x464D4520);
    u32(b, 0x10000);
    u32(b, 88 + 40 + 20);
    u32(b, 3);
    u16(b, 1);
    u16(b, 0);
    u32(b, 0);
    u32(b, 0);
    u32(b, 0);
    for (LONG v : {800, 600, 200, 150})
        u32(b, DWORD(v));
    // POLYGON16: bounds, 3 points
    u32(b, 86);
    u32(b, 40);
    for (LONG v : {10, 20, 30, 40})
        u32(b, DWORD(v));
    u32(b, 3);
    for (short v : {10, 20, 30, 20, 20, 40})
        u16(b, WORD(v));
    u32(b, 14);
    u32(b, 20);
    u32(b, 0);
    u32(b, 16);
    u32(b, 20);
    return b;
}

// Header, POLYLINE of two points, end record.
Bytes minimalWmf() {
    Bytes b;
    u16(b, 1);
    u16(b, 9);
    u16(b, 0x300);
    u32(b, 9 + 8 + 3);
    u16(b, 0);
    u32(b, 8);
    u16(b, 0);
    u32(b, 8);
    u16(b, 0x0325);
    for (short v : {2, 1, 2, 30, 40})
        u16(b, WORD(v));
    u32(b, 3);
    u16(b, 0);
    return b;
}

struct Seen {
    std::vector<DWORD> types;
};

int collectEmf(HDC, HANDLETABLE*, const ENHMETARECORD* r, int, LPARAM data) {
    reinterpret_cast<Seen*>(data)->types.push_back(r->iType);
    return 1;
}
int collectWmf(HDC, HANDLETABLE*, METARECORD* r, int, LPARAM data) {
    reinterpret_cast<Seen*>(data)->types.push_back(r->rdFunction);
    return 1;
}

TEST(MetaFile, MinimalFilesEnumerateAndComeBackUnchanged) {
    Bytes emf = minimalEmf();
    HENHMETAFILE e = SetEnhMetaFileBits(UINT(emf.size()), emf.data());
    ASSERT_NE(e, nullptr);
    Seen seen;
    EXPECT_TRUE(EnumEnhMetaFile(nullptr, e, collectEmf, &seen, nullptr));
    EXPECT_EQ(seen.types, (std::vector<DWORD>{EMR_HEADER, EMR_POLYGON16, EMR_EOF}));
    Bytes back(GetEnhMetaFileBits(e, 0, nullptr));
    EXPECT_EQ(GetEnhMetaFileBits(e, UINT(back.size()), back.data()), emf.size());
    EXPECT_EQ(back, emf);
    ENHMETAHEADER h{};
    EXPECT_EQ(GetEnhMetaFileHeader(e, sizeof h, &h), 88u);
    EXPECT_EQ(h.rclBounds.right, 30);
    EXPECT_EQ(h.nRecords, 3u);
    EXPECT_TRUE(DeleteEnhMetaFile(e));
    EXPECT_FALSE(DeleteEnhMetaFile(e));

    Bytes wmf = minimalWmf();
    HMETAFILE w = SetMetaFileBitsEx(UINT(wmf.size()), wmf.data());
    ASSERT_NE(w, nullptr);
    Seen ws;
    EXPECT_TRUE(EnumMetaFile(nullptr, w, collectWmf, reinterpret_cast<LPARAM>(&ws)));
    EXPECT_EQ(ws.types, (std::vector<DWORD>{META_POLYLINE, META_EOF}));
    Bytes wback(GetMetaFileBitsEx(w, 0, nullptr));
    GetMetaFileBitsEx(w, UINT(wback.size()), wback.data());
    EXPECT_EQ(wback, wmf);
    DeleteMetaFile(w);
}

// A fixed drawing; the same calls go to a metafile context and straight to a canvas.
void fixedDrawing(HDC dc) {
    HPEN pen = CreatePen(PS_SOLID, 3, RGB(200, 0, 0));
    HBRUSH brush = CreateSolidBrush(RGB(0, 0, 180));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    POINT tri[] = {{10, 10}, {60, 15}, {30, 50}};
    Polygon(dc, tri, 3);
    SetROP2(dc, R2_XORPEN);
    Rectangle(dc, 40, 40, 90, 70);
    SetROP2(dc, R2_COPYPEN);
    SaveDC(dc);
    IntersectClipRect(dc, 0, 0, 70, 100);
    Ellipse(dc, 50, 60, 110, 90);
    RestoreDC(dc, -1);
    POINT line[] = {{5, 95}, {100, 80}};
    Polyline(dc, line, 2);
    RoundRect(dc, 70, 5, 110, 35, 10, 8);
    Pie(dc, 5, 55, 45, 95, 45, 75, 25, 55);
    TextOutA(dc, 60, 60, "Ab", 2);
    SetPixel(dc, 3, 3, RGB(0, 200, 0));
    SetTextAlign(dc, TA_TOP);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(pen);
    DeleteObject(brush);
}

// 96 dpi reference (the screen) so that the frame maps back onto whole pixels.
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

TEST(MetaFile, EnhancedPlaybackEqualsDirectDrawing) {
    HDC ref = CreateCompatibleDC(nullptr);
    int mmX = GetDeviceCaps(ref, HORZSIZE), pxX = GetDeviceCaps(ref, HORZRES);
    int mmY = GetDeviceCaps(ref, VERTSIZE), pxY = GetDeviceCaps(ref, VERTRES);
    DeleteDC(ref);
    // A frame of exactly 120 × 100 device pixels from the origin.
    RECT frame{0, 0, 120 * mmX * 100 / pxX, 100 * mmY * 100 / pxY};
    HDC mdc = CreateEnhMetaFileA(nullptr, nullptr, &frame, "signdesk\0test\0\0");
    ASSERT_NE(mdc, nullptr);
    fixedDrawing(mdc);
    HENHMETAFILE e = CloseEnhMetaFile(mdc);
    ASSERT_NE(e, nullptr);
    RECT fr = frameRect(e);

    DibCanvas direct(120, 100), played(120, 100);
    direct.Clear(RGB(255, 255, 255));
    played.Clear(RGB(255, 255, 255));
    fixedDrawing(direct.dc);
    ASSERT_TRUE(PlayEnhMetaFile(played.dc, e, &fr));
    SdGdiImage a = direct.Read(), b = played.Read();
    int differ = 0;
    for (std::size_t i = 0; i < a.pixels.size(); ++i)
        differ += a.pixels[i] != b.pixels[i];
    EXPECT_EQ(differ, 0);

    // Into half the rectangle: nothing is painted beyond it.
    DibCanvas half(120, 100);
    half.Clear(RGB(255, 255, 255));
    RECT hr{fr.left / 2, fr.top / 2, fr.right / 2, fr.bottom / 2};
    ASSERT_TRUE(PlayEnhMetaFile(half.dc, e, &hr));
    SdGdiImage c = half.Read();
    int inside = 0, outside = 0;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 120; ++x) {
            if (c.at(x, y) == RGB(255, 255, 255)) continue;
            (x <= 61 && y <= 51 ? inside : outside)++;
        }
    EXPECT_GT(inside, 100);
    EXPECT_EQ(outside, 0);

    char desc[64]{};
    EXPECT_EQ(GetEnhMetaFileDescriptionA(e, sizeof desc, desc), 15u);
    EXPECT_STREQ(desc, "signdesk");
    EXPECT_STREQ(desc + 9, "test");
    DeleteEnhMetaFile(e);
}

TEST(MetaFile, WindowsPlaybackEqualsDirectDrawing) {
    HDC mdc = CreateMetaFileA(nullptr);
    ASSERT_NE(mdc, nullptr);
    fixedDrawing(mdc);
    // Paths and Béziers have no WMF form.
    EXPECT_FALSE(BeginPath(mdc));
    POINT bz[] = {{0, 0}, {1, 1}, {2, 2}, {3, 3}};
    EXPECT_FALSE(PolyBezier(mdc, bz, 4));
    HMETAFILE w = CloseMetaFile(mdc);
    ASSERT_NE(w, nullptr);
    DibCanvas direct(120, 100), played(120, 100);
    direct.Clear(RGB(255, 255, 255));
    played.Clear(RGB(255, 255, 255));
    fixedDrawing(direct.dc);
    ASSERT_TRUE(PlayMetaFile(played.dc, w));
    SdGdiImage a = direct.Read(), b = played.Read();
    int differ = 0;
    for (std::size_t i = 0; i < a.pixels.size(); ++i)
        differ += a.pixels[i] != b.pixels[i];
    EXPECT_EQ(differ, 0);
    DeleteMetaFile(w);
}

// The recorder's bytes for a fixed drawing: header fields, description, 16-bit forms.
TEST(MetaFile, RecorderWritesTheCommittedFixture) {
    HDC screen = CreateCompatibleDC(nullptr);
    RECT frame{0, 0, 2000, 1000};
    HDC mdc = CreateEnhMetaFileA(screen, nullptr, &frame, "app\0pic\0\0");
    DeleteDC(screen);
    MoveToEx(mdc, 1, 2, nullptr);
    LineTo(mdc, 30, 40);
    POINT pts[] = {{0, 0}, {100000, 5}, {7, 8}};
    Polygon(mdc, pts, 3); // 32-bit form
    POINT small[] = {{1, 1}, {2, 3}, {4, 1}};
    Polygon(mdc, small, 3); // 16-bit form
    HENHMETAFILE e = CloseEnhMetaFile(mdc);
    Bytes got(GetEnhMetaFileBits(e, 0, nullptr));
    GetEnhMetaFileBits(e, UINT(got.size()), got.data());
    DeleteEnhMetaFile(e);

    ENHMETAHEADER h;
    std::memcpy(&h, got.data(), sizeof h);
    EXPECT_EQ(h.nSize, 108u + 20u); // "app\0pic\0\0" is 9 UTF-16 characters, padded to 20 bytes
    EXPECT_EQ(h.nDescription, 9u);
    EXPECT_EQ(h.offDescription, 108u);
    EXPECT_EQ(h.nBytes, got.size());
    EXPECT_EQ(h.nRecords, 6u); // header, MOVETOEX, LINETO, POLYGON, POLYGON16, EOF
    EXPECT_EQ(h.rclFrame.right, 2000);
    EXPECT_EQ(h.rclBounds.left, 0);
    EXPECT_EQ(h.rclBounds.right, 100000);
    EXPECT_EQ(got.size() % 4, 0u);
    std::size_t at = h.nSize;
    std::vector<DWORD> types;
    while (at < got.size()) {
        DWORD t, s;
        std::memcpy(&t, &got[at], 4);
        std::memcpy(&s, &got[at + 4], 4);
        types.push_back(t);
        EXPECT_EQ(s % 4, 0u);
        at += s;
    }
    EXPECT_EQ(types,
              (std::vector<DWORD>{EMR_MOVETOEX, EMR_LINETO, EMR_POLYGON, EMR_POLYGON16, EMR_EOF}));

    std::ifstream f(std::string(SD_TEST_DATA) + "/recorded.emf", std::ios::binary);
    Bytes fixture((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    if (std::getenv("SD_WRITE_FIXTURES")) {
        std::ofstream o(std::string(SD_TEST_DATA) + "/recorded.emf", std::ios::binary);
        o.write(reinterpret_cast<const char*>(got.data()), std::streamsize(got.size()));
    }
    EXPECT_EQ(got, fixture);
}

TEST(MetaFile, FilesAndPlaceableHeaders) {
    char name[] = "/tmp/sdmetaXXXXXX";
    int fd = mkstemp(name);
    ASSERT_GE(fd, 0);
    close(fd);
    HDC mdc = CreateMetaFileA(name);
    Rectangle(mdc, 1, 2, 3, 4);
    HMETAFILE w = CloseMetaFile(mdc);
    ASSERT_NE(w, nullptr);
    HMETAFILE again = GetMetaFileA(name);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(GetMetaFileBitsEx(again, 0, nullptr), GetMetaFileBitsEx(w, 0, nullptr));
    // With a placeable header in front the file is refused.
    Bytes wmf = minimalWmf();
    SdPlaceableHeader ph{META_PLACEABLE_KEY, 0, 0, 0, 100, 100, 1440, 0, 0};
    ph.checksum = SdPlaceableChecksum(ph);
    Bytes placed(sizeof ph);
    std::memcpy(placed.data(), &ph, sizeof ph);
    EXPECT_EQ(SdPlaceableHeaderSize(placed.data(), UINT(placed.size())), 22u);
    placed.insert(placed.end(), wmf.begin(), wmf.end());
    {
        std::ofstream o(name, std::ios::binary);
        o.write(reinterpret_cast<const char*>(placed.data()), std::streamsize(placed.size()));
    }
    SetLastError(0);
    EXPECT_EQ(GetMetaFileA(name), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_DATA);
    HMETAFILE stripped = SetMetaFileBitsEx(UINT(placed.size() - 22), placed.data() + 22);
    EXPECT_NE(stripped, nullptr);
    ph.checksum ^= 1;
    std::memcpy(placed.data(), &ph, sizeof ph);
    EXPECT_EQ(SdPlaceableHeaderSize(placed.data(), UINT(placed.size())), 0u);
    DeleteMetaFile(w);
    DeleteMetaFile(again);
    DeleteMetaFile(stripped);
    std::remove(name);
}

int worldDuring(HDC dc, HANDLETABLE* t, const ENHMETARECORD* r, int n, LPARAM data) {
    PlayEnhMetaFileRecord(dc, t, r, UINT(n));
    if (r->iType == EMR_RECTANGLE) {
        auto* out = reinterpret_cast<std::vector<float>*>(data);
        XFORM x{};
        GetWorldTransform(dc, &x);
        out->assign({x.eM11, x.eM22, x.eDx, x.eDy});
        out->push_back(float(GetTextColor(dc)));
        HPEN pen = static_cast<HPEN>(GetCurrentObject(dc, OBJ_PEN));
        LOGPEN lp{};
        out->push_back(float(GetObjectA(pen, sizeof lp, &lp)));
        out->push_back(float(lp.lopnWidth.x));
    }
    return 1;
}

TEST(MetaFile, StateQueriesDuringEnumeration) {
    HDC mdc = CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
    SetMapMode(mdc, MM_ANISOTROPIC);
    SetWindowExtEx(mdc, 1000, 1000, nullptr);
    SetViewportExtEx(mdc, 100, 200, nullptr);
    SetWindowOrgEx(mdc, 40, 10, nullptr);
    OffsetWindowOrgEx(mdc, 10, -10, nullptr); // recorded as the origin it gives
    SetTextColor(mdc, RGB(1, 2, 3));
    HPEN pen = CreatePen(PS_SOLID, 7, 0);
    SelectObject(mdc, pen);
    Rectangle(mdc, 100, 100, 600, 400);
    HENHMETAFILE e = CloseEnhMetaFile(mdc);
    DeleteObject(pen);
    ENHMETAHEADER h{};
    GetEnhMetaFileHeader(e, sizeof h, &h);
    EXPECT_EQ(h.rclBounds.left, 5);
    EXPECT_EQ(h.rclBounds.bottom, 80);
    DibCanvas canvas(50, 50);
    RECT r{0, 0, 1000, 1000};
    std::vector<float> seen;
    EXPECT_TRUE(EnumEnhMetaFile(canvas.dc, e, worldDuring, &seen, &r));
    ASSERT_EQ(seen.size(), 7u);
    EXPECT_FLOAT_EQ(seen[0], 0.1f);
    EXPECT_FLOAT_EQ(seen[1], 0.2f);
    EXPECT_FLOAT_EQ(seen[2], -5.0f);
    EXPECT_FLOAT_EQ(seen[3], 0.0f);
    EXPECT_EQ(COLORREF(seen[4]), RGB(1, 2, 3));
    EXPECT_EQ(seen[5], float(sizeof(LOGPEN)));
    EXPECT_EQ(seen[6], 7.0f);
    // After the enumeration the context is as it was.
    XFORM x{};
    GetWorldTransform(canvas.dc, &x);
    EXPECT_EQ(x.eM11, 1.0f);
    EXPECT_EQ(GetMapMode(canvas.dc), MM_TEXT);
    DeleteEnhMetaFile(e);
}

// Damaged files: every truncation, bad record sizes, counts and offsets beyond the record.
TEST(MetaFile, DamagedDataIsRefused) {
    Bytes emf = minimalEmf();
    for (std::size_t n = 0; n < emf.size(); ++n) {
        SetLastError(0);
        EXPECT_EQ(SetEnhMetaFileBits(UINT(n), emf.data()), nullptr) << n;
        EXPECT_EQ(GetLastError(), ERROR_INVALID_DATA) << n;
    }
    Bytes wmf = minimalWmf();
    for (std::size_t n = 0; n < wmf.size(); ++n)
        EXPECT_EQ(SetMetaFileBitsEx(UINT(n), wmf.data()), nullptr) << n;
    // Bytes after the stated size are padding, not damage: loaded and dropped.
    {
        Bytes padded = emf;
        padded.resize(emf.size() + 6, 0);
        HENHMETAFILE e = SetEnhMetaFileBits(UINT(padded.size()), padded.data());
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(GetEnhMetaFileBits(e, 0, nullptr), emf.size());
        DeleteEnhMetaFile(e);
        padded = wmf;
        padded.resize(wmf.size() + 6, 0);
        HMETAFILE w = SetMetaFileBitsEx(UINT(padded.size()), padded.data());
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(GetMetaFileBitsEx(w, 0, nullptr), wmf.size());
        DeleteMetaFile(w);
    }

    struct Case {
        const char* what;
        std::size_t at;
        DWORD value;
    };
    // Offsets into minimalEmf(): POLYGON16 at 88, its size at 92, its count at 112.
    const Case cases[] = {
        {"record size 0", 92, 0},
        {"record size odd", 92, 41},
        {"size past the end", 92, 400},
        {"point count", 112, 4},
        {"huge point count", 112, 0x40000000},
        {"signature", 40, 0},
        {"stated bytes", 48, 200},
        {"record count", 52, 4},
        {"description", 60, 100},
    };
    for (const Case& c : cases) {
        Bytes b = emf;
        std::memcpy(&b[c.at], &c.value, 4);
        SetLastError(0);
        EXPECT_EQ(SetEnhMetaFileBits(UINT(b.size()), b.data()), nullptr) << c.what;
        EXPECT_EQ(GetLastError(), ERROR_INVALID_DATA) << c.what;
    }
    // WMF: the POLYLINE's point count beyond its record, record size past the end.
    for (auto [at, value] :
         {std::pair<std::size_t, WORD>{24, 3}, {24, 0x7FFF}, {18, 200}, {18, 0}}) {
        Bytes b = wmf;
        std::memcpy(&b[at], &value, 2);
        EXPECT_EQ(SetMetaFileBitsEx(UINT(b.size()), b.data()), nullptr) << at << " " << value;
    }
}

TEST(MetaFile, PlayerChecksRecordsAndTheObjectTable) {
    DibCanvas canvas(20, 20);
    // An overfull WMF object table: the third pen finds no free entry and is not made.
    std::vector<HGDIOBJ> table(2, nullptr);
    auto* ht = reinterpret_cast<HANDLETABLE*>(table.data());
    Bytes pen;
    u32(pen, 8);
    u16(pen, META_CREATEPENINDIRECT);
    for (WORD v : {0, 1, 0, 0, 0})
        u16(pen, v);
    auto* rec = reinterpret_cast<METARECORD*>(pen.data());
    EXPECT_TRUE(PlayMetaFileRecord(canvas.dc, ht, rec, 2));
    EXPECT_TRUE(PlayMetaFileRecord(canvas.dc, ht, rec, 2));
    HGDIOBJ first = table[0];
    EXPECT_FALSE(PlayMetaFileRecord(canvas.dc, ht, rec, 2));
    EXPECT_EQ(table[0], first);
    // Selecting or deleting outside the table is refused.
    Bytes sel;
    u32(sel, 4);
    u16(sel, META_SELECTOBJECT);
    u16(sel, 7);
    EXPECT_FALSE(PlayMetaFileRecord(canvas.dc, ht, reinterpret_cast<METARECORD*>(sel.data()), 2));
    for (HGDIOBJ h : table)
        DeleteObject(h);

    // An EMF poly record whose count runs past its size.
    Bytes poly;
    u32(poly, EMR_POLYLINE16);
    u32(poly, 32);
    for (int i = 0; i < 4; ++i)
        u32(poly, 0);
    u32(poly, 50);
    u32(poly, 0);
    EXPECT_FALSE(PlayEnhMetaFileRecord(canvas.dc, nullptr,
                                       reinterpret_cast<ENHMETARECORD*>(poly.data()), 1));
}

TEST(MetaFile, ConversionsKeepTheDrawing) {
    HDC mdc = CreateMetaFileA(nullptr);
    fixedDrawing(mdc);
    HMETAFILE w = CloseMetaFile(mdc);
    Bytes bits(GetMetaFileBitsEx(w, 0, nullptr));
    GetMetaFileBitsEx(w, UINT(bits.size()), bits.data());
    HENHMETAFILE e = SetWinMetaFileBits(UINT(bits.size()), bits.data(), nullptr, nullptr);
    ASSERT_NE(e, nullptr);
    Seen es;
    EnumEnhMetaFile(nullptr, e, collectEmf, &es, nullptr);
    EXPECT_EQ(std::count(es.types.begin(), es.types.end(), EMR_ELLIPSE), 1);
    EXPECT_EQ(std::count(es.types.begin(), es.types.end(), EMR_POLYGON16), 1);
    UINT n = GetWinMetaFileBits(e, 0, nullptr, MM_TEXT, nullptr);
    ASSERT_GT(n, 18u);
    Bytes back(n);
    EXPECT_EQ(GetWinMetaFileBits(e, n, back.data(), MM_TEXT, nullptr), n);
    HMETAFILE w2 = SetMetaFileBitsEx(n, back.data());
    ASSERT_NE(w2, nullptr);
    DibCanvas a(120, 100), b(120, 100);
    a.Clear(RGB(255, 255, 255));
    b.Clear(RGB(255, 255, 255));
    PlayMetaFile(a.dc, w);
    PlayMetaFile(b.dc, w2);
    EXPECT_EQ(a.Read().pixels, b.Read().pixels);
    DeleteMetaFile(w);
    DeleteMetaFile(w2);
    DeleteEnhMetaFile(e);
}

// Played into a recording context, the drawing gives the calls that drew it.
TEST(MetaFile, PlaybackIntoARecordingContextGivesTheSameCalls) {
    auto drawing = [](const std::vector<std::string>& log) {
        std::vector<std::string> out;
        for (const std::string& line : log)
            for (const char* name :
                 {"Polygon(", "Rectangle(", "Ellipse(", "Polyline(", "RoundRect(", "Pie(",
                  "SetROP2(", "IntersectClipRect(", "SelectObject(", "ExtTextOutA(", "TextOutA(",
                  "SetPixel(", "SetTextAlign(", "StretchDIBits("})
                if (line.rfind(name, 0) == 0) out.push_back(line);
        return out;
    };
    // A 2 × 2 picture stretched, then the fixed drawing.
    DibInfo info = dibInfo(2, 2, 24);
    const BYTE bits[16] = {0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 255, 255, 255, 0, 0};
    auto drawAll = [&](HDC dc) {
        StretchDIBits(dc, 80, 60, 30, 30, 0, 0, 2, 2, bits, info.info(), DIB_RGB_COLORS, SRCCOPY);
        fixedDrawing(dc);
    };
    HDC direct = SdCreateRecordingDC(120, 100);
    drawAll(direct);
    HDC mdc = CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
    drawAll(mdc);
    HENHMETAFILE e = CloseEnhMetaFile(mdc);
    HDC played = SdCreateRecordingDC(120, 100);
    RECT r = frameRect(e);
    ASSERT_TRUE(PlayEnhMetaFile(played, e, &r));
    std::vector<std::string> want = drawing(SdGdiCallLog(direct)),
                             got = drawing(SdGdiCallLog(played));
    EXPECT_EQ(got, want);
    ASSERT_FALSE(got.empty());
    EXPECT_EQ(got[0].rfind("StretchDIBits(", 0), 0u);
    // The picture's pixels too.
    DibCanvas a(120, 100), b(120, 100);
    drawAll(a.dc);
    ASSERT_TRUE(PlayEnhMetaFile(b.dc, e, &r));
    EXPECT_EQ(a.Read().pixels, b.Read().pixels);
    DeleteEnhMetaFile(e);
    DeleteDC(direct);
    DeleteDC(played);
}

} // namespace
