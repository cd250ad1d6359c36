#include <gtest/gtest.h>

#include <memory>

#include "TextTestSupport.h"
#include "testing/ScopedCodePage.h"
#include "testing/SfntWriter.h"
#include "text/TarvelFont.h"
#include "text/TrueTypeFont.h"
#include "text/WftFormat.h"
#include "win32/FontTesting.h"

namespace {

std::vector<SfntPoint> box(int x0, int y0, int x1, int y1) {
    return {{x0, y0, true}, {x1, y0, true}, {x1, y1, true}, {x0, y1, true}};
}

class TrueTypeFontTest : public TextTest {
protected:
    void TearDown() override {
        SdUseSystemFonts();
        TextTest::TearDown();
    }
    // Fixture Sans: a 2048-unit em whose cell is 2048 high, so GDI units are font units.
    void UseFixtures() {
        SfntWriter regular("Fixture Sans", "Regular", 2048), bold("Fixture Sans", "Bold", 2048);
        bold.weight = 700;
        for (SfntWriter* w : {&regular, &bold}) {
            w->winAscent = 1600;
            w->winDescent = 448;
            w->AddGlyph('M', {box(0, 0, 1000, 1400)}, 1200);
            // A quadratic record B0 (100, 0), B1 (300, 400), P (500, 0).
            w->AddGlyph('Q', {{{0, 0, true}, {100, 0, false}, {300, 400, false}, {500, 0, true}}},
                        600);
            w->AddGlyph('E', {box(-5, 0, 995, 700)}, 1005);
            w->AddGlyph(' ', {}, 500);
        }
        SfntWriter vertical("@Fixture Gothic", "Regular", 2048);
        vertical.AddGlyph('M', {box(0, 0, 1000, 1400)}, 1200);
        std::string r = (DataFolder() / "r.ttf").string(), b = (DataFolder() / "b.ttf").string(),
                    v = (DataFolder() / "v.ttf").string();
        ASSERT_TRUE(regular.Write(r) && bold.Write(b) && vertical.Write(v));
        SdUseFontFiles({b, r, v});
    }
    std::unique_ptr<GeneralFont> Create(const char* name) {
        return std::unique_ptr<GeneralFont>(CreateFontByName(name));
    }
};

floatBBox boxOf(Path& p) {
    p.RefreshBBoxes();
    return p.accBox;
}

TEST_F(TrueTypeFontTest, FaceNamesFollowTheStyleRule) {
    UseFixtures();
    EnumTrueTypeFonts();
    ASSERT_EQ(3, TrueTypeFaceNames.GetSize());
    EXPECT_STREQ("@Fixture Gothic", TrueTypeFaceNames[0]);
    EXPECT_STREQ("Fixture Sans", TrueTypeFaceNames[1]);
    EXPECT_STREQ("Fixture Sans Bold", TrueTypeFaceNames[2]);
    EXPECT_STREQ("@Fixture Gothic", GetFirstTrueTypeFace());
    EXPECT_EQ(0, FindTrueTypeFace("Fixture Sans Bold"));
    EXPECT_EQ(700, CurrentFaceLogFont.lfWeight);
    EXPECT_EQ(-1, FindTrueTypeFace("fixture sans")); // exact, with case

    // On a double-byte system vertical faces are neither listed nor found.
    ScopedCodePage japanese(932);
    EnumTrueTypeFonts();
    EXPECT_EQ(2, TrueTypeFaceNames.GetSize());
    EXPECT_EQ(-1, FindTrueTypeFace("@Fixture Gothic"));

    LOGFONTA wanted{};
    wanted.lfWeight = 700;
    std::strcpy(wanted.lfFaceName, "Fixture");
    CString name;
    NEWTEXTMETRICA ntm{};
    EXPECT_EQ(0, FindTrueTypeFaceByLogFont(&wanted, name, &ntm));
    EXPECT_STREQ("Fixture Sans Bold", name);
    EXPECT_EQ(2048u, ntm.ntmSizeEM);
}

TEST_F(TrueTypeFontTest, GlyphOutlinesBecomeCubicsInGdiUnits) {
    UseFixtures();
    auto font = Create("Fixture Sans");
    ASSERT_NE(nullptr, font);
    ASSERT_TRUE(font->IsKindOf(RUNTIME_CLASS(TrueTypeFont)));
    // M is 1400 high: the glyph matrix makes it 1.0.
    EXPECT_FLOAT_EQ(1.0f / 1400, font->glyphMatrix.m11);
    Path q;
    ASSERT_EQ(1, font->GetCharPath('Q', q));
    ASSERT_EQ(1, q.subPaths.Filled());
    const SubPath& sp = q.subPaths[0];
    ASSERT_EQ(3, sp.members.Filled()); // two cubics and the closing line
    const PathMember& c1 = sp.members[0];
    EXPECT_TRUE(c1.IsCurve());
    EXPECT_FLOAT_EQ(200, c1.end.x); // the midpoint of B0 and B1
    EXPECT_FLOAT_EQ(200, c1.end.y);
    EXPECT_FLOAT_EQ(66, c1.ctrl1.x);  // trunc(0/3 + 2*100/3)
    EXPECT_FLOAT_EQ(133, c1.ctrl2.x); // trunc(200/3 + 200/3)
    const PathMember& c2 = sp.members[1];
    EXPECT_TRUE(c2.IsCurve());
    EXPECT_FLOAT_EQ(500, c2.end.x);
    EXPECT_FLOAT_EQ(0, c2.end.y);
    EXPECT_FALSE(sp.members[2].IsCurve());
    EXPECT_TRUE(sp.IsClosed());

    // ABC -5, 1000, 10: 1005 units through the glyph matrix.
    EXPECT_FLOAT_EQ(1005.0f / 1400, font->GetCharWidth('E'));
    // A blank glyph has no contours; a code the face lacks is the box of side 1 / m11, 1.0
    // em after the glyph matrix.
    Path blank;
    EXPECT_EQ(1, font->GetCharPath(' ', blank));
    EXPECT_EQ(0, blank.subPaths.Filled());
    Path missing;
    EXPECT_EQ(0, font->GetCharPath('Z', missing));
    EXPECT_FLOAT_EQ(1400, boxOf(missing).top);
    EXPECT_EQ(nullptr, Create("Fixture Serif"));
}

TEST_F(TrueTypeFontTest, FixedPointsKeepTheirFloor) {
    UseFixtures();
    HFONT font;
    {
        LOGFONTA lf{};
        lf.lfHeight = -512; // 0.25 GDI units per font unit
        std::strcpy(lf.lfFaceName, "Fixture Sans");
        font = CreateFontIndirectA(&lf);
    }
    Path p;
    ASSERT_EQ(1, GlyphOutlineToPath(font, 'E', p, nullptr));
    p.RefreshBBoxes();
    EXPECT_FLOAT_EQ(-2, p.accBox.left);   // -1.25 keeps its floor
    EXPECT_FLOAT_EQ(248, p.accBox.right); // 248.75
    Path none;
    EXPECT_EQ(-1, GlyphOutlineToPath(nullptr, 'E', none, nullptr));
    DeleteObject(font);
}

TEST_F(TrueTypeFontTest, InstalledFontsLoadNormalised) {
    auto dejavu = Create("DejaVu Sans Book");
    ASSERT_NE(nullptr, dejavu) << "fonts-dejavu-core is installed by the setup";
    ASSERT_TRUE(dejavu->IsKindOf(RUNTIME_CLASS(TrueTypeFont)));
    Path m;
    ASSERT_EQ(1, dejavu->GetCharPath('M', m));
    m.Transform(dejavu->glyphMatrix);
    EXPECT_NEAR(1.0, boxOf(m).top, 1e-5);

    Path o;
    ASSERT_EQ(1, dejavu->GetCharPath('O', o));
    o.Prepare();
    ASSERT_EQ(2, o.subPaths.Filled());
    // The hole first (deepest), clockwise; then the outer contour, counter-clockwise.
    EXPECT_TRUE(o.subPaths[0].IsHole());
    EXPECT_LT(ContourArea(o.subPaths[0]), 0);
    EXPECT_GT(ContourArea(o.subPaths[1]), 0);
    EXPECT_GT(ContourArea(o.subPaths[1]), -ContourArea(o.subPaths[0]));
    EXPECT_GT(dejavu->GetCharWidth('O'), 0.5f);

    auto nimbus = Create("Nimbus Sans");
    ASSERT_NE(nullptr, nimbus) << "fonts-urw-base35 is installed by the setup";
    Path c;
    ASSERT_EQ(1, nimbus->GetCharPath('O', c));
    int curves = 0;
    for (const SubPath& sp : c.subPaths)
        for (const PathMember& pm : sp.members)
            curves += pm.IsCurve() ? 1 : 0;
    EXPECT_GT(curves, 4);
    c.Transform(nimbus->glyphMatrix);
    EXPECT_GT(boxOf(c).top, 0.9f);
}

TEST_F(TrueTypeFontTest, NativeFontsWinOverInstalledFacesOfTheSameName) {
    WftFontImage image("DejaVu Sans Book");
    image.SetProgram('M', {139, 248, 146, 13, 139, 4, 248, 136, 6, 248, 136, 7, 9, 14});
    std::vector<std::uint8_t> bytes = image.Bytes();
    WriteBytes(Fonts() / "d.wft", bytes);
    EnumWftFonts(FontDirectory);
    auto font = Create("DejaVu Sans Book");
    ASSERT_NE(nullptr, font);
    EXPECT_TRUE(font->IsKindOf(RUNTIME_CLASS(TarvelFont)));
}

TEST_F(TrueTypeFontTest, BoundToALogicalFont) {
    UseFixtures();
    LOGFONTA lf{};
    lf.lfHeight = -1000;
    lf.lfWeight = 700;
    std::strcpy(lf.lfFaceName, "Fixture Sans");
    TrueTypeFont font;
    font.SetKerningPair('A', 'V', 0.5f);
    font.CreateFromLogFont(&lf);
    ASSERT_NE(nullptr, font.hFont);
    EXPECT_STREQ("Fixture Sans", font.fontName);
    EXPECT_EQ(0, font.kerningPairs.Filled()); // unloaded first; the files are not read
    EXPECT_EQ(2048u, CurrentFaceTextMetric.ntmSizeEM);
    Path m;
    ASSERT_EQ(1, font.GetCharPath('M', m));
    m.Transform(font.glyphMatrix);
    EXPECT_NEAR(1.0, boxOf(m).top, 1e-6);
}

TEST_F(TrueTypeFontTest, MissingFaceLoadsAsNotReady) {
    TrueTypeFont font;
    font.fontName = "No Such Face";
    EXPECT_EQ(0, font.Load());
    Path p;
    EXPECT_EQ(0, font.GetCharPath('A', p));
    EXPECT_FLOAT_EQ(1.0f, boxOf(p).top);
    EXPECT_FLOAT_EQ(0.0f, font.GetCharWidth('A'));
}

} // namespace
