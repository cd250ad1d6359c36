// Metafile import: figures from recorded EMF and WMF drawings, the mended faults, conversion.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "pathkit/EMFReader.h"
#include "pathkit/WMFReader.h"

namespace {

struct Figure {
    char kind;        // O output, S stroke, F fill, B stroke and fill
    floatBBox box;    // in the records' coordinates
    floatBBox mapped; // through the matrix
    bool closed;
    unsigned long brush = 0, pen = 0;
    float penWidth = 0;
};

floatBBox boxOf(Path& p, const floatTMatrix* m) {
    Path copy(p);
    if (m) copy.Transform(*m);
    copy.RefreshBBoxes();
    return copy.accBox;
}

bool closedOf(const Path& p) {
    for (std::uint16_t i = 0; i < p.subPaths.Filled(); ++i)
        if (!p.subPaths[i].IsClosed()) return false;
    return p.subPaths.Filled() > 0;
}

class Collector : public EMFReader {
public:
    using EMFReader::EMFReader;
    std::vector<Figure> figures;
    int PreProcess(HDC, HANDLETABLE*, const ENHMETARECORD*, int) override { return 1; }
    void add(char k, floatTMatrix& m, Path& p) {
        figures.push_back({k, boxOf(p, nullptr), boxOf(p, &m), closedOf(p)});
    }
    void Output(floatTMatrix& m, Path& p) override { add('O', m, p); }
    void Stroke(floatTMatrix& m, Path& p) override { add('S', m, p); }
    void Fill(floatTMatrix& m, Path& p) override { add('F', m, p); }
    void StrokeAndFill(floatTMatrix& m, Path& p) override { add('B', m, p); }
    // Feeds one hand-made record to the converter.
    void feed(const std::vector<BYTE>& rec) {
        Convert(reinterpret_cast<const ENHMETARECORD*>(rec.data()));
    }
    int level() const { return clipLevel; }
};

class WCollector : public WMFReader {
public:
    using WMFReader::WMFReader;
    std::vector<Figure> figures;
    void Output(floatTMatrix& m, Path& p, unsigned long brush, unsigned long pen,
                float width) override {
        Figure f{'O', boxOf(p, nullptr), boxOf(p, &m), closedOf(p)};
        f.brush = brush;
        f.pen = pen;
        f.penWidth = width;
        figures.push_back(f);
    }
    void feed(const std::vector<BYTE>& rec, int objects) {
        Convert(reinterpret_cast<const METARECORD*>(rec.data()), objects);
    }
};

void expectBox(const floatBBox& b, float l, float t, float r, float bt, float tol = 0.01f) {
    EXPECT_NEAR(std::fmin(b.left, b.right), l, tol);
    EXPECT_NEAR(std::fmax(b.left, b.right), r, tol);
    EXPECT_NEAR(std::fmin(b.top, b.bottom), t, tol);
    EXPECT_NEAR(std::fmax(b.top, b.bottom), bt, tol);
}

HENHMETAFILE recordDrawing() {
    HDC dc = CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowExtEx(dc, 200, 200, nullptr);
    SetViewportExtEx(dc, 100, 100, nullptr);
    POINT poly[] = {{0, 0}, {50, 0}, {50, 30}};
    Polygon(dc, poly, 3); // O closed
    POINT line[] = {{0, 100}, {80, 120}};
    Polyline(dc, line, 2);                        // S open
    Ellipse(dc, 100, 100, 140, 110);              // O 40 × 10
    Rectangle(dc, 10, 150, 30, 170);              // O
    RoundRect(dc, 40, 150, 80, 170, 8, 6);        // O
    Arc(dc, 100, 0, 140, 40, 140, 20, 100, 20);   // held (no flush)
    Chord(dc, 150, 0, 190, 40, 190, 20, 150, 20); // flushes the arc (O), then O closed
    Pie(dc, 150, 50, 190, 90, 190, 70, 170, 50);  // O closed
    MoveToEx(dc, 100, 150, nullptr);
    AngleArc(dc, 120, 150, 20, 0, 90); // held
    BeginPath(dc);                     // the held figure goes nowhere...
    POINT tri[] = {{0, 200}, {40, 200}, {20, 240}};
    Polygon(dc, tri, 3);
    EndPath(dc);
    FillPath(dc); // F
    BeginPath(dc);
    MoveToEx(dc, 50, 200, nullptr);
    LineTo(dc, 90, 240);
    EndPath(dc);
    StrokePath(dc); // S
    SaveDC(dc);
    BeginPath(dc);
    Rectangle(dc, 100, 200, 120, 220);
    EndPath(dc);
    SelectClipPath(dc, RGN_AND);
    Rectangle(dc, 110, 210, 140, 240); // O clipped to 110..120
    RestoreDC(dc, -1);
    Rectangle(dc, 110, 210, 140, 240); // O unclipped
    return CloseEnhMetaFile(dc);
}

TEST(MetafileReader, RecordedDrawingGivesTheFigures) {
    HENHMETAFILE e = recordDrawing();
    ASSERT_NE(e, nullptr);
    Collector reader(e, 0);
    EXPECT_TRUE(reader.Process());
    std::string kinds;
    for (const Figure& f : reader.figures)
        kinds += f.kind;
    EXPECT_EQ(kinds, "OSOOOOOOFSOO");
    ASSERT_EQ(kinds.size(), 12u);
    const auto& f = reader.figures;
    EXPECT_TRUE(f[0].closed);
    EXPECT_FALSE(f[1].closed);
    expectBox(f[2].box, 100, 100, 140, 110, 0.001f); // the ellipse spans exactly 40 × 10
    EXPECT_TRUE(f[2].closed);
    expectBox(f[3].box, 10, 150, 30, 170);
    expectBox(f[4].box, 40, 150, 80, 170);
    EXPECT_FALSE(f[5].closed); // the arc, flushed by the chord
    expectBox(f[5].box, 100, 0, 140, 20, 0.05f);
    EXPECT_TRUE(f[6].closed);                        // chord
    EXPECT_TRUE(f[7].closed);                        // pie
    expectBox(f[8].box, 0, 200, 40, 240);            // filled path
    expectBox(f[9].box, 50, 200, 90, 240);           // stroked path
    expectBox(f[10].box, 110, 210, 120, 220, 0.05f); // clipped
    expectBox(f[11].box, 110, 210, 140, 240);        // after RESTOREDC: whole
    // The matrix maps the records' units onto the header's bounds (half size here).
    ENHMETAHEADER h{};
    GetEnhMetaFileHeader(e, sizeof h, &h);
    expectBox(f[11].mapped, 55, 105, 70, 120);
    for (const Figure& g : f) {
        EXPECT_GE(std::fmin(g.mapped.left, g.mapped.right), h.rclBounds.left - 1.0f);
        EXPECT_LE(std::fmax(g.mapped.left, g.mapped.right), h.rclBounds.right + 1.0f);
        EXPECT_LE(std::fmax(g.mapped.top, g.mapped.bottom), h.rclBounds.bottom + 1.0f);
    }
    DeleteEnhMetaFile(e);
}

TEST(MetafileReader, AngleArcFollowsThePlayer) {
    // 90 degrees counter-clockwise on screen from angle 0: from (r, 0) to (0, -r) about the centre.
    HDC dc = CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
    MoveToEx(dc, 120, 100, nullptr);
    AngleArc(dc, 100, 100, 20, 0, 90);
    StrokePath(dc);
    POINT end[] = {{0, 0}, {1, 1}};
    Polyline(dc, end, 2);
    HENHMETAFILE e = CloseEnhMetaFile(dc);
    Collector reader(e, 0);
    reader.Process();
    ASSERT_GE(reader.figures.size(), 1u);
    // The held arc is flushed by the POLYLINE's start: it lies above the centre, right of it.
    expectBox(reader.figures[0].box, 100, 80, 120, 100, 0.05f);
    DeleteEnhMetaFile(e);
}

TEST(MetafileReader, WindowsMetafileGivesColoursAndNoBrushForPolylines) {
    HDC dc = CreateMetaFileA(nullptr);
    HPEN pen = CreatePen(PS_SOLID, 4, RGB(10, 20, 30));
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    SelectObject(dc, pen);
    SelectObject(dc, brush);
    POINT line[] = {{0, 0}, {100, 50}};
    Polyline(dc, line, 2);
    Ellipse(dc, 0, 0, 40, 10);
    HMETAFILE w = CloseMetaFile(dc);
    DeleteObject(pen);
    DeleteObject(brush);
    WCollector reader(w, 1, 1, 0);
    EXPECT_TRUE(reader.Process());
    ASSERT_EQ(reader.figures.size(), 2u);
    EXPECT_EQ(reader.figures[0].brush, 0xFFFFFFFFul);
    EXPECT_EQ(reader.figures[0].pen, RGB(10, 20, 30));
    EXPECT_EQ(reader.figures[0].penWidth, 4.0f);
    EXPECT_EQ(reader.figures[1].brush, RGB(1, 2, 3));
    expectBox(reader.figures[1].box, 0, 0, 40, 10, 0.001f);
    DeleteMetaFile(w);
}

TEST(MetafileReader, ConversionKeepsTheFigures) {
    HDC dc = CreateMetaFileA(nullptr);
    POINT poly[] = {{0, 0}, {50, 0}, {50, 30}};
    Polygon(dc, poly, 3);
    Rectangle(dc, 10, 150, 30, 170);
    Ellipse(dc, 100, 100, 140, 110);
    HMETAFILE w = CloseMetaFile(dc);
    HENHMETAFILE e = ConvertWMFtoEMF(w);
    ASSERT_NE(e, nullptr);
    HMETAFILE w2 = ConvertEMFtoWMF(nullptr, e);
    ASSERT_NE(w2, nullptr);
    WCollector a(w, 1, 1, 0), b(w2, 1, 1, 0);
    Collector c(e, 0);
    EXPECT_TRUE(a.Process());
    EXPECT_TRUE(b.Process());
    EXPECT_TRUE(c.Process());
    ASSERT_EQ(a.figures.size(), 3u);
    ASSERT_EQ(b.figures.size(), 3u);
    ASSERT_EQ(c.figures.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        expectBox(b.figures[i].box, a.figures[i].box.left,
                  std::fmin(a.figures[i].box.top, a.figures[i].box.bottom), a.figures[i].box.right,
                  std::fmax(a.figures[i].box.top, a.figures[i].box.bottom));
        expectBox(c.figures[i].box, a.figures[i].box.left,
                  std::fmin(a.figures[i].box.top, a.figures[i].box.bottom), a.figures[i].box.right,
                  std::fmax(a.figures[i].box.top, a.figures[i].box.bottom));
    }
    DeleteMetaFile(w);
    DeleteMetaFile(w2);
    DeleteEnhMetaFile(e);
}

std::vector<BYTE> emr(DWORD type, std::vector<LONG> args, DWORD sizeOverride = 0) {
    std::vector<BYTE> b;
    auto put = [&](DWORD v) {
        for (int i = 0; i < 4; ++i)
            b.push_back(BYTE(v >> (8 * i)));
    };
    put(type);
    put(sizeOverride ? sizeOverride : DWORD(8 + 4 * args.size()));
    for (LONG a : args)
        put(DWORD(a));
    return b;
}

std::vector<BYTE> wmr(WORD fn, std::vector<short> args) {
    std::vector<BYTE> b;
    DWORD words = DWORD(3 + args.size());
    for (int i = 0; i < 4; ++i)
        b.push_back(BYTE(words >> (8 * i)));
    b.push_back(BYTE(fn));
    b.push_back(BYTE(fn >> 8));
    for (short a : args) {
        b.push_back(BYTE(a));
        b.push_back(BYTE(WORD(a) >> 8));
    }
    return b;
}

// Faults of the record converters, as one table of hand-made records.
TEST(MetafileReader, MalformedAndDegenerateRecordsAreSkipped) {
    HDC dc = CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
    HENHMETAFILE e = CloseEnhMetaFile(dc);
    struct Case {
        const char* what;
        std::vector<BYTE> record;
        unsigned skipped;
        std::size_t figures;
    };
    const Case cases[] = {
        {"poly count beyond the record", emr(EMR_POLYGON16, {0, 0, 0, 0, 1000, 1, 1}), 1, 0},
        {"polypoly counts beyond", emr(EMR_POLYPOLYGON16, {0, 0, 0, 0, 2, 6, 3, 3, 0}), 1, 0},
        {"polypoly total disagrees", emr(EMR_POLYPOLYGON, {0, 0, 0, 0, 1, 5, 3, 0, 0, 1, 1, 2, 0}),
         1, 0},
        {"stretchdibits offsets", emr(EMR_STRETCHDIBITS, std::vector<LONG>(18, 0x7FFFFFF0)), 1, 0},
        {"exttextout offset",
         emr(EMR_EXTTEXTOUTA, {0, 0, 0, 0, 1, 0, 0, 0, 0, 50, 900, 0, 0, 0, 0, 0, 0}), 1, 0},
        {"zero-width arc", emr(EMR_ARC, {10, 10, 10, 30, 10, 20, 10, 20}), 1, 0},
        {"zero-width pie", emr(EMR_PIE, {10, 10, 10, 30, 10, 20, 10, 20}), 1, 0},
        {"zero-corner round rectangle", emr(EMR_ROUNDRECT, {0, 0, 20, 10, 0, 5}), 0, 1},
    };
    for (const Case& c : cases) {
        Collector r(e, 0);
        r.feed(c.record);
        EXPECT_EQ(r.SkippedRecords(), c.skipped) << c.what;
        EXPECT_EQ(r.figures.size(), c.figures) << c.what;
    }
    {
        Collector r(e, 0);
        r.feed(emr(EMR_ROUNDRECT, {0, 0, 20, 10, 0, 5}));
        ASSERT_EQ(r.figures.size(), 1u);
        expectBox(r.figures[0].box, 0, 0, 20, 10);
    }
    // 60 SAVEDC then 70 RESTOREDC: the stack holds, the level never goes below 0.
    {
        Collector r(e, 0);
        for (int i = 0; i < 60; ++i)
            r.feed(emr(EMR_SAVEDC, {}));
        EXPECT_EQ(r.level(), EMFReader::ClipLevels - 1);
        for (int i = 0; i < 11; ++i)
            r.feed(emr(EMR_RESTOREDC, {-1}));
        EXPECT_EQ(r.level(), EMFReader::ClipLevels - 1); // the excess saves are matched first
        for (int i = 0; i < 59; ++i)
            r.feed(emr(EMR_RESTOREDC, {-1}));
        EXPECT_EQ(r.level(), 0);
        r.feed(emr(EMR_RECTANGLE, {0, 0, 5, 5}));
        EXPECT_EQ(r.figures.size(), 1u);
    }
    DeleteEnhMetaFile(e);

    // WMF: an overfull object table, indexes outside it, counts beyond the record.
    HDC wdc = CreateMetaFileA(nullptr);
    HMETAFILE w = CloseMetaFile(wdc);
    WCollector r(w, 1, 1, 0);
    r.feed(wmr(META_CREATEPENINDIRECT, {0, 2, 0, 0x00FF, 0}), 2);
    r.feed(wmr(META_CREATEBRUSHINDIRECT, {0, 0x1234, 0, 0}), 2);
    EXPECT_EQ(r.FindEmpty(), -1);
    r.feed(wmr(META_CREATEPENINDIRECT, {0, 9, 0, 0x0077, 0}), 2); // no entry: not made
    r.feed(wmr(META_SELECTOBJECT, {0}), 2);
    r.feed(wmr(META_SELECTOBJECT, {40}), 2); // outside: ignored
    r.feed(wmr(META_DELETEOBJECT, {-3}), 2);
    r.feed(wmr(META_RECTANGLE, {10, 10, 0, 0}), 2);
    ASSERT_EQ(r.figures.size(), 1u);
    EXPECT_EQ(r.figures[0].pen, 0xFFul);
    EXPECT_EQ(r.figures[0].penWidth, 2.0f);
    r.feed(wmr(META_POLYLINE, {500, 1, 2}), 2);
    r.feed(wmr(META_POLYPOLYGON, {2, 3, 300, 0, 0}), 2);
    r.feed(wmr(META_ARC, {0, 0, 0, 0, 10, 5, 0, 5}), 2);
    EXPECT_EQ(r.Malformed(), 3u);
    EXPECT_EQ(r.figures.size(), 1u);
    DeleteMetaFile(w);
}

TEST(MetafileReader, ProcessReportsAnEnumerationThatStopped) {
    HDC dc = CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
    Rectangle(dc, 0, 0, 10, 10);
    Rectangle(dc, 20, 20, 30, 30);
    HENHMETAFILE e = CloseEnhMetaFile(dc);
    struct StopAtSecond : Collector {
        using Collector::Collector;
        int seen = 0;
        int PreProcess(HDC, HANDLETABLE*, const ENHMETARECORD* r, int) override {
            return r->iType == EMR_RECTANGLE && ++seen == 2 ? 0 : 1;
        }
    } reader(e, 0);
    EXPECT_FALSE(reader.Process());
    EXPECT_EQ(reader.figures.size(), 1u); // what came before stays delivered
    // The base reader's PreProcess ends the enumeration at once.
    EMFReader base(e, 0);
    EXPECT_FALSE(base.Process());
    expectBox(base.GetBBox(), base.GetBBox().left,
              std::fmin(base.GetBBox().top, base.GetBBox().bottom), base.GetBBox().right,
              std::fmax(base.GetBBox().top, base.GetBBox().bottom));
    EXPECT_EQ(base.GetRect().right, 1000);
    DeleteEnhMetaFile(e);
}

// Every file under tests/data/emf and tests/data/wmf (seeds and inputs the fuzzers reported):
// loaded or refused, and read without harm.
TEST(MetafileReader, FixtureFilesReadSafely) {
    const std::filesystem::path folder = SD_TEST_DATA_DIR;
    int loaded = 0;
    for (const char* kind : {"emf", "wmf"}) {
        for (const auto& entry : std::filesystem::directory_iterator(folder / kind)) {
            std::ifstream f(entry.path(), std::ios::binary);
            std::vector<BYTE> b((std::istreambuf_iterator<char>(f)),
                                std::istreambuf_iterator<char>());
            if (std::string(kind) == "emf") {
                HENHMETAFILE e = SetEnhMetaFileBits(UINT(b.size()), b.data());
                if (!e) continue;
                ++loaded;
                Collector r(e, 0);
                r.Process();
                if (HMETAFILE w = ConvertEMFtoWMF(nullptr, e)) DeleteMetaFile(w);
                DeleteEnhMetaFile(e);
            } else {
                UINT skip = SdPlaceableHeaderSize(b.data(), UINT(b.size()));
                HMETAFILE w = SetMetaFileBitsEx(UINT(b.size() - skip), b.data() + skip);
                if (!w) continue;
                ++loaded;
                WCollector r(w, 100, 100, 0);
                r.Process();
                if (HENHMETAFILE e = ConvertWMFtoEMF(w)) DeleteEnhMetaFile(e);
                DeleteMetaFile(w);
            }
        }
    }
    EXPECT_GE(loaded, 3); // the three seeds load
}

TEST(MetafileReader, TextReachesTheTextOutput) {
    struct Texts : Collector {
        using Collector::Collector;
        std::vector<std::string> seen;
        void TextOutA(unsigned, float, float, int x, int y, int count, const char* text, int* dx,
                      int wide, unsigned, int, int, int, int) override {
            seen.push_back(std::to_string(x) + "," + std::to_string(y) + ":" +
                           std::string(text, std::size_t(count)) +
                           (dx ? "+dx" + std::to_string(dx[count - 1]) : "") + (wide ? "W" : ""));
        }
    };
    HDC dc = CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
    TextOutA(dc, 5, 7, "sign", 4);
    INT dx[] = {3, 4, 5};
    ExtTextOutA(dc, 1, 2, 0, nullptr, "abc", 3, dx);
    HENHMETAFILE e = CloseEnhMetaFile(dc);
    Texts reader(e, 0);
    EXPECT_TRUE(reader.Process());
    EXPECT_EQ(reader.seen, (std::vector<std::string>{"5,7:sign", "1,2:abc+dx5"}));
    DeleteEnhMetaFile(e);
}

// The outputs read the playback context's pen and font: extended pens, fonts and brushes of
// their records.
TEST(MetafileReader, OutputsSeeThePenFontAndBrushOfTheRecords) {
    struct State : Collector {
        using Collector::Collector;
        std::vector<std::string> seen;
        void Stroke(floatTMatrix&, Path&) override {
            EXTLOGPEN ep{};
            LOGPEN lp{};
            bool ext = GetCurrentPen(ep), plain = GetCurrentPen(lp);
            seen.push_back("S " + std::to_string(ext) + " " + std::to_string(ep.elpWidth) + " " +
                           std::to_string(ep.elpPenStyle & PS_ENDCAP_MASK) + " " +
                           std::to_string(plain) + " " + std::to_string(lp.lopnWidth.x));
        }
        void Output(floatTMatrix&, Path&) override {
            LOGBRUSH lb{};
            GetCurrentBrush(lb);
            seen.push_back("O " + std::to_string(lb.lbStyle) + " " + std::to_string(lb.lbColor));
        }
        void TextOutA(unsigned, float, float, int, int, int count, const char* text, int*, int,
                      unsigned, int, int, int, int) override {
            LOGFONTA lf{};
            GetCurrentFont(lf);
            seen.push_back("T " + std::string(text, std::size_t(count)) + " " + lf.lfFaceName +
                           " " + std::to_string(lf.lfHeight) + " " +
                           std::to_string(GetTextColor()));
        }
    };
    HDC dc = CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
    LOGBRUSH solid{BS_SOLID, RGB(0, 0, 255), 0};
    HPEN ext = ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_FLAT, 12, &solid, 0, nullptr);
    HPEN plain = CreatePen(PS_SOLID, 3, 0);
    HBRUSH hatch = CreateHatchBrush(HS_CROSS, RGB(5, 6, 7));
    LOGFONTA lf{};
    lf.lfHeight = -40;
    std::strcpy(lf.lfFaceName, "Sign Serif");
    HFONT font = CreateFontIndirectA(&lf);
    SelectObject(dc, ext);
    POINT line[] = {{0, 0}, {30, 10}};
    Polyline(dc, line, 2);
    SelectObject(dc, plain);
    Polyline(dc, line, 2);
    SelectObject(dc, hatch);
    Rectangle(dc, 0, 0, 10, 10);
    SelectObject(dc, font);
    SetTextColor(dc, RGB(1, 2, 3));
    TextOutA(dc, 0, 0, "ab", 2);
    HENHMETAFILE e = CloseEnhMetaFile(dc);
    State reader(e, 0);
    EXPECT_TRUE(reader.Process());
    EXPECT_EQ(reader.seen,
              (std::vector<std::string>{"S 1 12 " + std::to_string(PS_ENDCAP_FLAT) + " 1 12",
                                        "S 0 0 0 1 3", "O 2 " + std::to_string(RGB(5, 6, 7)),
                                        "T ab Sign Serif -40 " + std::to_string(RGB(1, 2, 3))}));
    DeleteEnhMetaFile(e);
    for (HGDIOBJ o : std::initializer_list<HGDIOBJ>{ext, plain, hatch, font})
        DeleteObject(o);
}

TEST(MetafileReader, PicturesReachTheBitmapOutput) {
    struct Pictures : Collector {
        using Collector::Collector;
        std::vector<std::string> seen;
        void MakeBitmap(int x, int y, int cx, int cy, int xs, int ys, int cxs, int cys, void* bits,
                        BITMAPINFO* info, unsigned usage, unsigned rop) override {
            const BYTE* b = static_cast<const BYTE*>(bits);
            seen.push_back(std::to_string(x) + " " + std::to_string(y) + " " + std::to_string(cx) +
                           " " + std::to_string(cy) + " " + std::to_string(xs) + " " +
                           std::to_string(ys) + " " + std::to_string(cxs) + " " +
                           std::to_string(cys) + " w" + std::to_string(info->bmiHeader.biWidth) +
                           " " + std::to_string(b[2]) + " " + std::to_string(usage) + " " +
                           std::to_string(rop == SRCCOPY));
        }
    };
    BITMAPINFO info{};
    info.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 2, 2, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    const BYTE bits[16] = {0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 255, 255, 255, 0, 0};
    HDC dc = CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
    StretchDIBits(dc, 10, 20, 30, 40, 0, 0, 2, 2, bits, &info, DIB_RGB_COLORS, SRCCOPY);
    HENHMETAFILE e = CloseEnhMetaFile(dc);
    Pictures reader(e, 0);
    EXPECT_TRUE(reader.Process());
    EXPECT_EQ(reader.seen, (std::vector<std::string>{"10 20 30 40 0 0 2 2 w2 255 0 1"}));
    DeleteEnhMetaFile(e);

    // A header claiming 8,488 bytes in a record that holds 40: the picture is skipped.
    e = GetEnhMetaFileA(SD_TEST_DATA_DIR "/emf/emf-stretchdibits-header-size.emf");
    ASSERT_NE(e, nullptr);
    Pictures damaged(e, 0);
    EXPECT_FALSE(damaged.Process());
    EXPECT_EQ(damaged.SkippedRecords(), 1u);
    EXPECT_TRUE(damaged.seen.empty());
    DeleteEnhMetaFile(e);
}

} // namespace
