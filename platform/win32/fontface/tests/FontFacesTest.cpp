#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "fontface/FontFaces.h"
#include "testing/PlatformTest.h"
#include "testing/ScopedCodePage.h"
#include "testing/SfntWriter.h"

namespace {

using fontface::Face;
using fontface::ScaledFace;

// A closed square contour, counter-clockwise.
std::vector<SfntPoint> square(int x0, int y0, int x1, int y1) {
    return {{x0, y0, true}, {x1, y0, true}, {x1, y1, true}, {x0, y1, true}};
}

class FontFacesTest : public PlatformTest {
protected:
    void TearDown() override {
        fontface::UseSystemFonts();
        PlatformTest::TearDown();
    }
    std::string Write(const SfntWriter& w, const std::string& name) {
        std::string path = (DataFolder() / name).string();
        EXPECT_TRUE(w.Write(path));
        return path;
    }
    static LOGFONTA Logical(const char* face, LONG height, LONG weight = FW_NORMAL,
                            BYTE italic = 0) {
        LOGFONTA lf{};
        lf.lfHeight = height;
        lf.lfWeight = weight;
        lf.lfItalic = italic;
        std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
        return lf;
    }
    // The records of a GGO_NATIVE outline as (type, points) per contour, points in 16.16.
    struct Record {
        WORD type;
        std::vector<std::pair<std::int32_t, std::int32_t>> points;
    };
    struct Contour {
        std::pair<std::int32_t, std::int32_t> start;
        std::vector<Record> records;
    };
    static std::int32_t Fixed(const FIXED& f) {
        return std::int32_t(std::uint32_t(std::uint16_t(f.value)) << 16 | f.fract);
    }
    static std::vector<Contour> Outline(ScaledFace& face, UINT code) {
        std::vector<Contour> out;
        DWORD size = face.GlyphOutline(code, GGO_NATIVE, nullptr, 0, nullptr, nullptr);
        EXPECT_NE(GDI_ERROR, size);
        if (size == GDI_ERROR || size == 0) return out;
        std::vector<std::uint8_t> buf(size);
        GLYPHMETRICS gm;
        EXPECT_EQ(size, face.GlyphOutline(code, GGO_NATIVE, &gm, size, buf.data(), nullptr));
        std::size_t at = 0;
        while (at + sizeof(TTPOLYGONHEADER) <= size) {
            TTPOLYGONHEADER h;
            std::memcpy(&h, buf.data() + at, sizeof h);
            EXPECT_EQ(TT_POLYGON_TYPE, h.dwType);
            Contour c{{Fixed(h.pfxStart.x), Fixed(h.pfxStart.y)}, {}};
            std::size_t p = at + sizeof h;
            while (p < at + h.cb) {
                WORD type, count;
                std::memcpy(&type, buf.data() + p, 2);
                std::memcpy(&count, buf.data() + p + 2, 2);
                Record r{type, {}};
                for (WORD i = 0; i < count; ++i) {
                    POINTFX fx;
                    std::memcpy(&fx, buf.data() + p + 4 + 8 * i, 8);
                    r.points.emplace_back(Fixed(fx.x), Fixed(fx.y));
                }
                c.records.push_back(r);
                p += 4 + 8 * std::size_t(count);
            }
            out.push_back(c);
            at += h.cb;
        }
        return out;
    }
};

constexpr std::int32_t F(int v) {
    return v * 65536;
}

TEST_F(FontFacesTest, FacesAreNamedAndOrderedAsGdiGroupsThem) {
    SfntWriter regular("Fixture Sans", "Regular"), bold("Fixture Sans", "Bold"),
        italic("Fixture Sans", "Italic");
    bold.weight = 700;
    italic.italic = true;
    SfntWriter alpha("alpha Serif", "Regular"), symbols("Fixture Symbols", "Regular"),
        japanese("Fixture Mincho", "Regular");
    symbols.symbol = true;
    symbols.codePages = 1u << 31;
    japanese.codePages = 1u << 17;
    std::string broken = (DataFolder() / "broken.ttf").string();
    std::ofstream(broken) << "not a font";
    fontface::UseFontFiles({Write(bold, "b.ttf"), Write(italic, "i.ttf"), Write(regular, "r.ttf"),
                            broken, Write(alpha, "a.ttf"), Write(symbols, "s.ttf"),
                            Write(japanese, "j.ttf")});
    std::vector<Face> faces = fontface::ListFaces();
    std::vector<std::string> names;
    for (const Face& f : faces)
        names.push_back(std::string(f.elf.elfLogFont.lfFaceName) + "/" +
                        reinterpret_cast<const char*>(f.elf.elfStyle));
    EXPECT_EQ((std::vector<std::string>{"alpha Serif/Regular", "Fixture Mincho/Regular",
                                        "Fixture Sans/Regular", "Fixture Sans/Italic",
                                        "Fixture Sans/Bold", "Fixture Symbols/Regular"}),
              names);
    EXPECT_EQ(TRUETYPE_FONTTYPE, faces[2].fontType);
    EXPECT_EQ(ANSI_CHARSET, faces[2].elf.elfLogFont.lfCharSet);
    EXPECT_EQ(SHIFTJIS_CHARSET, faces[1].elf.elfLogFont.lfCharSet);
    EXPECT_EQ(SYMBOL_CHARSET, faces[5].elf.elfLogFont.lfCharSet);
    EXPECT_EQ(700, faces[4].elf.elfLogFont.lfWeight);
    EXPECT_EQ(1, faces[3].elf.elfLogFont.lfItalic);
    EXPECT_EQ(1000u, faces[2].ntm.ntmSizeEM);
    EXPECT_EQ(1000u, faces[2].ntm.ntmCellHeight);

    // Matching takes the name without case and the nearest style.
    auto match = fontface::MatchFace(Logical("FIXTURE sans", 10, 700));
    ASSERT_TRUE(match);
    EXPECT_STREQ("Bold", reinterpret_cast<const char*>(match->elf.elfStyle));
    match = fontface::MatchFace(Logical("Fixture Sans", 10, 400, 1));
    EXPECT_STREQ("Italic", reinterpret_cast<const char*>(match->elf.elfStyle));
}

TEST_F(FontFacesTest, InstalledFacesKeepTheirLegacyNamesAndKinds) {
    std::vector<Face> faces = fontface::ListFaces();
    const Face* dejavu = nullptr;
    const Face* nimbus = nullptr;
    int nimbusRegulars = 0;
    for (const Face& f : faces) {
        std::string family = f.elf.elfLogFont.lfFaceName,
                    style = reinterpret_cast<const char*>(f.elf.elfStyle);
        if (family == "DejaVu Sans" && style == "Book") dejavu = &f;
        if (family == "Nimbus Sans" && style == "Regular") nimbus = &f, ++nimbusRegulars;
    }
    ASSERT_NE(nullptr, dejavu) << "fonts-dejavu-core is installed by the setup";
    EXPECT_EQ(TRUETYPE_FONTTYPE, dejavu->fontType);
    EXPECT_EQ(2048u, dejavu->ntm.ntmSizeEM);
    ASSERT_NE(nullptr, nimbus) << "fonts-urw-base35 is installed by the setup";
    EXPECT_EQ(1, nimbusRegulars); // the OpenType face, not its Type 1 twin
    EXPECT_EQ(fontface::FaceKind::Cff, nimbus->kind);
    EXPECT_EQ(NTM_PS_OPENTYPE, nimbus->ntm.ntmFlags & NTM_PS_OPENTYPE);
    for (std::size_t i = 1; i < faces.size(); ++i)
        EXPECT_LE(
            strcasecmp(faces[i - 1].elf.elfLogFont.lfFaceName, faces[i].elf.elfLogFont.lfFaceName),
            0);

    // A CFF face's O is made of cubic records.
    auto face = ScaledFace::Open(Logical("Nimbus Sans", -1000));
    ASSERT_TRUE(face);
    auto o = Outline(*face, 'O');
    ASSERT_EQ(2u, o.size());
    bool cubic = false;
    for (const auto& c : o)
        for (const auto& r : c.records) {
            cubic = cubic || r.type == TT_PRIM_CSPLINE;
            EXPECT_NE(TT_PRIM_QSPLINE, r.type);
            if (r.type == TT_PRIM_CSPLINE) {
                EXPECT_EQ(0u, r.points.size() % 3);
            }
        }
    EXPECT_TRUE(cubic);
}

class FixtureFaceTest : public FontFacesTest {
protected:
    void SetUp() override {
        FontFacesTest::SetUp();
        SfntWriter w("Fixture Sans", "Regular");
        w.winAscent = 900;
        w.winDescent = 300;
        // A: one quadratic record B0 (100, 0), B1 (300, 400) to P (500, 0), closed by a line.
        w.AddGlyph('A', {{{0, 0, true}, {100, 0, false}, {300, 400, false}, {500, 0, true}}}, 600);
        // B: a point at 403 and at -1 font units.
        w.AddGlyph('B', {{{-1, 0, true}, {403, 0, true}, {403, 403, true}}}, 600);
        // C: every point off-curve: the contour starts at the midpoint of the last and first.
        w.AddGlyph('C', {{{200, 0, false}, {400, 200, false}, {200, 400, false}, {0, 200, false}}},
                   600);
        // D: first point off-curve, last on: the contour starts at the last point.
        w.AddGlyph('D', {{{100, 100, false}, {200, 0, true}, {0, 0, true}}}, 600);
        // E: ABC widths -5, 1000, 10.
        w.AddGlyph('E', {square(-5, 0, 995, 700)}, 1005);
        w.AddGlyph(' ', {}, 500);
        w.AddGlyph(0x3042, {square(0, 0, 100, 100)}, 1000); // hiragana a
        fontface::UseFontFiles({Write(w, "fixture.ttf")});
    }
};

TEST_F(FixtureFaceTest, QuadraticRecordsKeepTheRawControlPoints) {
    auto face = ScaledFace::Open(Logical("Fixture Sans", 1200)); // cell height 900 + 300: scale 1
    ASSERT_TRUE(face);
    auto a = Outline(*face, 'A');
    ASSERT_EQ(1u, a.size());
    EXPECT_EQ(std::make_pair(0, 0), a[0].start);
    ASSERT_EQ(2u, a[0].records.size());
    EXPECT_EQ(TT_PRIM_QSPLINE, a[0].records[0].type);
    using P = std::pair<std::int32_t, std::int32_t>;
    EXPECT_EQ((std::vector<P>{{F(100), 0}, {F(300), F(400)}, {F(500), 0}}), a[0].records[0].points);
    EXPECT_EQ(TT_PRIM_LINE, a[0].records[1].type); // back to pfxStart
    EXPECT_EQ((std::vector<P>{{0, 0}}), a[0].records[1].points);

    // The em scale: 2400 high at lfHeight -2000 on a 1000-unit em.
    auto big = ScaledFace::Open(Logical("Fixture Sans", -2000));
    auto a2 = Outline(*big, 'A');
    ASSERT_EQ(1u, a2.size());
    EXPECT_EQ(F(1000), a2[0].records[0].points[2].first);
}

TEST_F(FixtureFaceTest, FixedPointsRoundToNearestAndKeepTheirFloor) {
    auto face = ScaledFace::Open(Logical("Fixture Sans", -250)); // 0.25 per unit
    ASSERT_TRUE(face);
    DWORD size = face->GlyphOutline('B', GGO_NATIVE, nullptr, 0, nullptr, nullptr);
    std::vector<std::uint8_t> buf(size);
    ASSERT_EQ(size, face->GlyphOutline('B', GGO_NATIVE, nullptr, size, buf.data(), nullptr));
    TTPOLYGONHEADER h;
    std::memcpy(&h, buf.data(), sizeof h);
    EXPECT_EQ(-1, h.pfxStart.x.value); // -0.25
    EXPECT_EQ(0xC000, h.pfxStart.x.fract);
    POINTFX p;
    std::memcpy(&p, buf.data() + sizeof h + 4, sizeof p);
    EXPECT_EQ(100, p.x.value); // 100.75
    EXPECT_EQ(0xC000, p.x.fract);
    // A buffer too small fails.
    EXPECT_EQ(GDI_ERROR,
              face->GlyphOutline('B', GGO_NATIVE, nullptr, size - 1, buf.data(), nullptr));
}

TEST_F(FixtureFaceTest, OffCurveStarts) {
    auto face = ScaledFace::Open(Logical("Fixture Sans", -1000));
    auto c = Outline(*face, 'C');
    ASSERT_EQ(1u, c.size());
    EXPECT_EQ(std::make_pair(F(100), F(100)), c[0].start); // between (0, 200) and (200, 0)
    ASSERT_EQ(1u, c[0].records.size());
    EXPECT_EQ(TT_PRIM_QSPLINE, c[0].records[0].type);
    ASSERT_EQ(5u, c[0].records[0].points.size()); // four control points, then back to the start
    EXPECT_EQ(std::make_pair(F(100), F(100)), c[0].records[0].points[4]);

    auto d = Outline(*face, 'D');
    ASSERT_EQ(1u, d.size());
    EXPECT_EQ(std::make_pair(0, 0), d[0].start);
    ASSERT_EQ(2u, d[0].records.size());
    EXPECT_EQ(TT_PRIM_QSPLINE, d[0].records[0].type);
    EXPECT_EQ(TT_PRIM_LINE, d[0].records[1].type);
    EXPECT_EQ(std::make_pair(0, 0), d[0].records[1].points.back());
}

TEST_F(FixtureFaceTest, BlanksUnmappedCodesAndWidths) {
    auto face = ScaledFace::Open(Logical("Fixture Sans", -1000));
    GLYPHMETRICS gm;
    EXPECT_EQ(0u, face->GlyphOutline(' ', GGO_NATIVE, &gm, 0, nullptr, nullptr));
    EXPECT_EQ(500, gm.gmCellIncX);
    EXPECT_EQ(GDI_ERROR, face->GlyphOutline('Z', GGO_NATIVE, &gm, 0, nullptr, nullptr));
    EXPECT_EQ(GDI_ERROR, face->GlyphOutline('A', GGO_BEZIER, &gm, 0, nullptr, nullptr));
    EXPECT_EQ(GDI_ERROR,
              face->GlyphOutline(0x82A0, GGO_NATIVE, &gm, 0, nullptr, nullptr)); // not under 1252

    ABC abc[2];
    ASSERT_TRUE(face->CharABCWidths('E', 'E', abc));
    EXPECT_EQ(-5, abc[0].abcA);
    EXPECT_EQ(1000u, abc[0].abcB);
    EXPECT_EQ(10, abc[0].abcC);
    auto twice = ScaledFace::Open(Logical("Fixture Sans", -2000));
    ASSERT_TRUE(twice->CharABCWidths('E', 'E', abc));
    EXPECT_EQ(-10, abc[0].abcA);
    EXPECT_EQ(2010, abc[0].abcA + int(abc[0].abcB) + abc[0].abcC);
    EXPECT_FALSE(face->CharABCWidths('F', 'E', abc));
}

TEST_F(FixtureFaceTest, DoubleByteCodesPassThroughCodePage932) {
    ScopedCodePage japanese(932);
    auto face = ScaledFace::Open(Logical("Fixture Sans", -1000));
    auto a = Outline(*face, 0x82A0);
    EXPECT_EQ(1u, a.size());
}

TEST_F(FontFacesTest, SymbolFontsMapThroughF000) {
    SfntWriter w("Fixture Symbols", "Regular");
    w.symbol = true;
    w.codePages = 1u << 31;
    w.AddGlyph(0xF041, {square(0, 0, 100, 100)}, 200);
    fontface::UseFontFiles({Write(w, "sym.ttf")});
    auto face = ScaledFace::Open(Logical("Fixture Symbols", -1000));
    ASSERT_TRUE(face);
    EXPECT_EQ(1u, Outline(*face, 0x41).size());
}

} // namespace
