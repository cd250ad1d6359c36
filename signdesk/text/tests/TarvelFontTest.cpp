#include <gtest/gtest.h>

#include <memory>

#include "TextTestSupport.h"
#include "text/TarvelFont.h"
#include "text/WftFormat.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// 0 510 hsbw 0 vmoveto 500 hlineto 500 vlineto -500 hlineto -500 vlineto closepath endchar
const Bytes Square = {139, 248, 146, 13,  139, 4,   248, 136, 6, 248,
                      136, 7,   252, 136, 6,   252, 136, 7,   9, 14};

// An M-like glyph 700 units high: a single triangle (0,0) (600,0) (300,700).
const Bytes Peak = {139, 248, 246, 13, 139, 4, 248, 236, 6, 251, 192, 249, 80, 5, 9, 14};

class TarvelFontTest : public TextTest {
protected:
    // A font file in the font folder with the given slots.
    void MakeFont(const char* file, const char* name, std::uint32_t magic,
                  std::initializer_list<std::pair<int, Bytes>> slots,
                  std::int16_t unitsPerEm = 1000) {
        WftFontImage image(name);
        image.header.magic = magic;
        image.header.unitsPerEm = unitsPerEm;
        for (const auto& [slot, program] : slots)
            image.SetProgram(slot, program);
        WriteBytes(Fonts() / file, image.Bytes());
    }
    std::unique_ptr<GeneralFont> Create(const char* name) {
        return std::unique_ptr<GeneralFont>(CreateFontByName(name));
    }
};

floatBBox boxOf(Path& p) {
    p.RefreshBBoxes();
    return p.accBox;
}

TEST_F(TarvelFontTest, ListsFontsByHeaderNameFirstFileWins) {
    MakeFont("b.wft", "Shared", WftMagic, {{'M', Peak}});
    MakeFont("a.wft", "Shared", WftMagic, {{'M', Square}});
    MakeFont("c.WFT", "Other", WftMagic, {});
    WriteBytes(Fonts() / "d.wft", {1, 2, 3}); // too short to hold a name
    WriteText(Fonts() / "e.txt", "not a font");
    EnumWftFonts(FontDirectory);
    ASSERT_EQ(2, NativeFontNames.GetSize());
    EXPECT_STREQ("Shared", NativeFontNames[0]);
    EXPECT_STREQ("Other", NativeFontNames[1]);
    EXPECT_EQ(std::string(FontDirectory) + "\\a.wft", std::string(NativeFontPaths[0]));

    // The first file's glyph is the one drawn: the square, 500 high.
    auto font = Create("Shared");
    ASSERT_NE(nullptr, font);
    EXPECT_TRUE(font->IsKindOf(RUNTIME_CLASS(TarvelFont)));
    Path m;
    EXPECT_EQ(1, font->GetCharPath('M', m));
    EXPECT_FLOAT_EQ(500, boxOf(m).top);
    EXPECT_EQ(nullptr, Create("Nobody"));
}

TEST_F(TarvelFontTest, LoadNormalisesToTheTopOfM) {
    MakeFont("peak.wft", "Peak", WftMagic, {{'M', Peak}, {'A', Square}});
    EnumWftFonts(FontDirectory);
    auto font = Create("Peak");
    ASSERT_NE(nullptr, font);
    Path m;
    ASSERT_EQ(1, font->GetCharPath('M', m));
    m.Transform(font->glyphMatrix);
    EXPECT_NEAR(1.0, boxOf(m).top, 1e-6);
    EXPECT_FLOAT_EQ(0.0f, font->GetCharWidth('M'));
    EXPECT_FLOAT_EQ(0.0f, font->GetKerning('A', 'V'));
    // A second Load reports the state and changes nothing.
    EXPECT_EQ(1, font->Load());
}

TEST_F(TarvelFontTest, ReferenceGlyphWithoutHeightFallsBackToTheEm) {
    // M lies entirely below the baseline: top -100.
    const Bytes below = {139, 248, 246, 13, 251, 92, 4, 249, 236, 6, 239, 7, 9, 14};
    MakeFont("low.wft", "Low", WftMagic, {{'M', below}}, 2000);
    MakeFont("bad.wft", "BadEm", WftMagic, {}, -5);
    EnumWftFonts(FontDirectory);
    auto low = Create("Low");
    ASSERT_NE(nullptr, low);
    EXPECT_FLOAT_EQ(1.0f / 2000, low->glyphMatrix.m11);
    EXPECT_FLOAT_EQ(1.0f / 2000, low->glyphMatrix.m22);
    // No M and no usable em: the box of side 1000 and a scale of 1/1000.
    auto bad = Create("BadEm");
    ASSERT_NE(nullptr, bad);
    EXPECT_FLOAT_EQ(1.0f / 1000, bad->glyphMatrix.m11);
}

TEST_F(TarvelFontTest, SlotsOfOemAndAnsiFiles) {
    const Bytes e = {139, 248, 146, 13, 139, 4, 248, 136, 6, 239, 7, 9, 14}; // a triangle 100 high
    MakeFont("oem.wft", "Oem", WftMagicOem, {{0x82, Square}, {0x41, e}});
    MakeFont("ansi.wft", "Ansi", WftMagic, {{0xE9, Square}});
    EnumWftFonts(FontDirectory);
    auto oem = Create("Oem");
    auto ansi = Create("Ansi");
    ASSERT_NE(nullptr, oem);
    ASSERT_NE(nullptr, ansi);
    Path p;
    EXPECT_EQ(1, oem->GetCharPath(0xE9, p));
    EXPECT_FLOAT_EQ(500, boxOf(p).top);
    Path a;
    EXPECT_EQ(1, oem->GetCharPath(0x41, a));
    Path q;
    EXPECT_EQ(1, ansi->GetCharPath(0xE9, q));
    EXPECT_FLOAT_EQ(500, boxOf(q).top);

    EXPECT_EQ(0x82, TarvelFont::MapToOemCode(0xE9));
    EXPECT_EQ(0xE4, TarvelFont::MapToOemCode(0xF1));
    EXPECT_EQ(0x41, TarvelFont::MapToOemCode(0x41));
    EXPECT_EQ(0, TarvelFont::MapToOemCode(0x4100));
    EXPECT_EQ(0x87, TarvelFont::MapToOemCode(0xE7)); // c cedilla through CharToOemA
}

TEST_F(TarvelFontTest, MissingGlyphsAndUnloadedFonts) {
    MakeFont("f.wft", "F", WftMagic, {{'M', Square}}, 800);
    EnumWftFonts(FontDirectory);
    auto font = Create("F");
    ASSERT_NE(nullptr, font);
    struct Case {
        std::uint16_t code;
        int result;
        float side;
    } cases[] = {{0x141, 0, 800}, {'Z', 0, 800}, {' ', 0, 800}};
    for (const Case& c : cases) {
        Path p;
        EXPECT_EQ(c.result, font->GetCharPath(c.code, p)) << c.code;
        ASSERT_EQ(1, p.subPaths.Filled()) << c.code;
        EXPECT_TRUE(p.subPaths[0].IsClosed());
        floatBBox b = boxOf(p);
        EXPECT_FLOAT_EQ(0, b.left);
        EXPECT_FLOAT_EQ(c.side, b.right);
        EXPECT_FLOAT_EQ(c.side, b.top);
    }
    // A font whose file went away: not ready, boxes of side 1.
    NativeFontPaths[0] = (std::string(FontDirectory) + "\\gone.wft").c_str();
    TarvelFont gone;
    gone.fontName = "F";
    EXPECT_EQ(0, gone.Load());
    Path p;
    EXPECT_EQ(0, gone.GetCharPath('M', p));
    EXPECT_FLOAT_EQ(1.0f, boxOf(p).top);
}

// Damaged glyph programs and slots: defined results, nothing read outside the image.
TEST_F(TarvelFontTest, DamagedFilesGiveDefinedResults) {
    Bytes thirty;
    for (int i = 0; i < 30; ++i)
        thirty.push_back(140);
    thirty.push_back(5);
    thirty.push_back(14);
    struct Case {
        const char* what;
        Bytes program;
        int result;
        int subPaths; // finished sub-paths appended
    } cases[] = {
        {"no endchar", {139, 4, 248, 136, 6, 248, 136, 7, 9}, 1, 1},
        {"number cut off", {139, 4, 248}, 1, 0},
        {"30 operands", thirty, 1, 0},
        {"escape 0", {139, 4, 248, 136, 6, 9, 12, 0, 139, 4, 9, 14}, 1, 1},
        {"escape 16", {12, 16, 139, 4, 9, 14}, 1, 0},
        {"escape 17", {12, 17}, 1, 0},
        {"escape 6 then on", {12, 6, 139, 4, 248, 136, 6, 248, 136, 7, 9, 14}, 1, 1},
        {"missing operands", {4, 6, 7, 5, 8, 30, 31, 9, 14}, 1, 1},
        {"lone escape", {12}, 1, 0},
    };
    int slot = 'a';
    WftFontImage image("Damaged");
    for (const Case& c : cases)
        image.SetProgram(slot++, c.program);
    Bytes file = image.Bytes();
    // A slot pointing outside the image and one with a length but no offset.
    auto setSlot = [&file](int s, std::uint16_t length, std::uint32_t offset) {
        std::uint8_t* e = file.data() + WftSlotTable + 6 * s;
        e[0] = std::uint8_t(length), e[1] = std::uint8_t(length >> 8);
        for (int i = 0; i < 4; ++i)
            e[2 + i] = std::uint8_t(offset >> (8 * i));
    };
    setSlot('X', 40, std::uint32_t(file.size()) - 10);
    setSlot('Y', 5, 0xFFFFFFF0u);
    setSlot('Z', 5, 0);
    WriteBytes(Fonts() / "damaged.wft", file);
    EnumWftFonts(FontDirectory);
    auto font = Create("Damaged");
    ASSERT_NE(nullptr, font);
    slot = 'a';
    for (const Case& c : cases) {
        Path p;
        EXPECT_EQ(c.result, font->GetCharPath(std::uint16_t(slot++), p)) << c.what;
        EXPECT_EQ(c.subPaths, p.subPaths.Filled()) << c.what;
    }
    for (int s : {'X', 'Y'}) {
        Path p;
        EXPECT_EQ(0, font->GetCharPath(std::uint16_t(s), p)) << char(s);
        EXPECT_FLOAT_EQ(1000, boxOf(p).top);
    }
    Path z;
    EXPECT_EQ(-1, font->GetCharPath('Z', z));
    EXPECT_EQ(0, z.subPaths.Filled());
}

TEST_F(TarvelFontTest, TruncatedHeaderLoadsAsNotReady) {
    Bytes file = WftFontImage("Short").Bytes();
    file.resize(200);
    WriteBytes(Fonts() / "short.wft", file);
    EnumWftFonts(FontDirectory);
    ASSERT_EQ(1, NativeFontNames.GetSize());
    auto font = Create("Short");
    ASSERT_NE(nullptr, font);
    EXPECT_EQ(0, font->Load());
    Path p;
    EXPECT_EQ(0, font->GetCharPath('A', p));
}

TEST_F(TarvelFontTest, FontNameReaderIsBounded) {
    WriteBytes(Fonts() / "n.bin", {'x', 'x', 'x', 'x', 'N', 'a', 'm', 'e', ' ', ' ', 0, 'z'});
    std::string path = (Fonts() / "n.bin").string();
    EXPECT_STREQ("Name", ReadFontFileName(path.c_str(), 4, 8));
    EXPECT_STREQ("", ReadFontFileName(path.c_str(), 4, 64));
    EXPECT_STREQ("", ReadFontFileName((path + "x").c_str(), 4, 8));
}

} // namespace
