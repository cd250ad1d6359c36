#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "testing/PlatformTest.h"
#include "testing/SfntWriter.h"
#include "win32/FontTesting.h"
#include "win32/gdifont.h"
#include "win32/wingdi.h"

namespace {

std::vector<SfntPoint> square(int x0, int y0, int x1, int y1) {
    return {{x0, y0, true}, {x1, y0, true}, {x1, y1, true}, {x0, y1, true}};
}

class GdiFontTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        SfntWriter regular("Fixture Sans", "Regular"), bold("Fixture Sans", "Bold"),
            other("Other Face", "Book");
        bold.weight = 700;
        for (SfntWriter* w : {&regular, &bold, &other}) {
            w->winAscent = 800;
            w->winDescent = 200;
            w->AddGlyph('H', {square(100, 0, 500, 700)}, 600);
            w->AddGlyph('i', {square(50, 0, 150, 500)}, 200);
            w->AddGlyph(' ', {}, 250);
        }
        std::vector<std::string> files;
        int n = 0;
        for (SfntWriter* w : {&other, &bold, &regular}) {
            files.push_back((DataFolder() / ("f" + std::to_string(n++) + ".ttf")).string());
            ASSERT_TRUE(w->Write(files.back()));
        }
        SdUseFontFiles(files);
        dc = CreateCompatibleDC(nullptr);
    }
    void TearDown() override {
        DeleteDC(dc);
        SdUseSystemFonts();
        PlatformTest::TearDown();
    }
    HFONT Font(const char* face, LONG height, LONG weight = FW_NORMAL) {
        LOGFONTA lf{};
        lf.lfHeight = height;
        lf.lfWeight = weight;
        std::strcpy(lf.lfFaceName, face);
        return CreateFontIndirectA(&lf);
    }
    HDC dc = nullptr;
};

struct EnumeratedFaces {
    std::vector<std::string> names;
    int stopAfter = 1000;
};

int collect(const LOGFONTA* lf, const TEXTMETRICA* tm, DWORD type, LPARAM lParam) {
    auto* seen = reinterpret_cast<EnumeratedFaces*>(lParam);
    const auto* elf = reinterpret_cast<const ENUMLOGFONTA*>(lf);
    const auto* ntm = reinterpret_cast<const NEWTEXTMETRICA*>(tm);
    EXPECT_EQ(TRUETYPE_FONTTYPE, type);
    EXPECT_EQ(1000u, ntm->ntmSizeEM);
    seen->names.push_back(std::string(lf->lfFaceName) + "/" +
                          reinterpret_cast<const char*>(elf->elfStyle));
    return int(seen->names.size()) < seen->stopAfter ? 1 : 0;
}

TEST_F(GdiFontTest, EnumerationGivesFamiliesThenStyles) {
    EnumeratedFaces families;
    EXPECT_EQ(1, EnumFontFamiliesA(dc, nullptr, collect, reinterpret_cast<LPARAM>(&families)));
    EXPECT_EQ((std::vector<std::string>{"Fixture Sans/Regular", "Other Face/Book"}),
              families.names);
    EnumeratedFaces styles;
    EnumFontFamiliesA(dc, "fixture SANS", collect, reinterpret_cast<LPARAM>(&styles));
    EXPECT_EQ((std::vector<std::string>{"Fixture Sans/Regular", "Fixture Sans/Bold"}),
              styles.names);
    EnumeratedFaces stopped;
    stopped.stopAfter = 1;
    EXPECT_EQ(0, EnumFontFamiliesA(dc, nullptr, collect, reinterpret_cast<LPARAM>(&stopped)));
    EXPECT_EQ(1u, stopped.names.size());
    EXPECT_EQ(0, EnumFontFamiliesA(nullptr, nullptr, collect, 0));
}

TEST_F(GdiFontTest, OutlinesWidthsAndMetricsOfTheSelectedFont) {
    HFONT font = Font("Fixture Sans", 100); // cell 1000 units: 0.1 per unit
    ASSERT_NE(nullptr, font);
    HGDIOBJ old = SelectObject(dc, font);
    GLYPHMETRICS gm;
    const MAT2 identity{{0, 1}, {0, 0}, {0, 0}, {0, 1}};
    DWORD size = GetGlyphOutlineA(dc, 'H', GGO_NATIVE, &gm, 0, nullptr, &identity);
    ASSERT_NE(GDI_ERROR, size);
    std::vector<std::uint8_t> buf(size);
    ASSERT_EQ(size, GetGlyphOutlineA(dc, 'H', GGO_NATIVE, &gm, size, buf.data(), &identity));
    TTPOLYGONHEADER h;
    std::memcpy(&h, buf.data(), sizeof h);
    EXPECT_EQ(size, h.cb);
    EXPECT_EQ(10, h.pfxStart.x.value);
    EXPECT_EQ(60, gm.gmCellIncX);
    EXPECT_EQ(GDI_ERROR, GetGlyphOutlineA(dc, 'Q', GGO_NATIVE, &gm, 0, nullptr, &identity));
    EXPECT_EQ(0u, GetGlyphOutlineA(dc, ' ', GGO_NATIVE, &gm, 0, nullptr, &identity));

    ABC abc[2];
    ASSERT_TRUE(GetCharABCWidthsA(dc, 'H', 'H', abc));
    EXPECT_EQ(10, abc[0].abcA);
    EXPECT_EQ(40u, abc[0].abcB);
    EXPECT_EQ(10, abc[0].abcC);

    SIZE extent;
    ASSERT_TRUE(GetTextExtentPoint32A(dc, "Hi H", 4, &extent));
    EXPECT_EQ(60 + 20 + 25 + 60, extent.cx);
    EXPECT_EQ(100, extent.cy);
    TEXTMETRICA tm;
    ASSERT_TRUE(GetTextMetricsA(dc, &tm));
    EXPECT_EQ(80, tm.tmAscent);
    EXPECT_EQ(20, tm.tmDescent);
    OUTLINETEXTMETRICA otm;
    EXPECT_EQ(sizeof otm, GetOutlineTextMetricsA(dc, sizeof otm, &otm));
    EXPECT_EQ(1000u, otm.otmEMSquare);
    EXPECT_EQ(0u, GetKerningPairsA(dc, 0, nullptr)); // the fixture has no kerning table

    SelectObject(dc, old);
    EXPECT_TRUE(DeleteObject(font));
    EXPECT_EQ(nullptr, CreateFontIndirectA(nullptr));
}

TEST_F(GdiFontTest, StockFontsTakeTheDefaultFace) {
    // A new context holds the system font; its name is no installed face.
    SIZE extent{};
    ASSERT_TRUE(GetTextExtentPoint32A(dc, "HH", 2, &extent));
    EXPECT_GT(extent.cx, 0);
    EXPECT_GT(extent.cy, 0);
    HGDIOBJ old = SelectObject(dc, GetStockObject(ANSI_VAR_FONT));
    GLYPHMETRICS gm;
    EXPECT_NE(GDI_ERROR, GetGlyphOutlineA(dc, 'H', GGO_NATIVE, &gm, 0, nullptr, nullptr));
    SelectObject(dc, old);
}

TEST_F(GdiFontTest, InstalledKerningPairs) {
    SdUseSystemFonts();
    HFONT font = Font("DejaVu Sans", -2048);
    HGDIOBJ old = SelectObject(dc, font);
    DWORD n = GetKerningPairsA(dc, 0, nullptr);
    EXPECT_GT(n, 100u);
    std::vector<KERNINGPAIR> pairs(n);
    EXPECT_EQ(n, GetKerningPairsA(dc, n, pairs.data()));
    bool av = false;
    for (const KERNINGPAIR& p : pairs)
        av = av || (p.wFirst == 'A' && p.wSecond == 'V' && p.iKernAmount < 0);
    EXPECT_TRUE(av);
    SelectObject(dc, old);
    DeleteObject(font);
}

} // namespace
