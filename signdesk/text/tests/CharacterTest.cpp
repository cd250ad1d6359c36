// Characters: codes, the record, glyph building (also for vertical lines) and transforms.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

#include "LetteringTestSupport.h"
#include "ObjectArchive.h"
#include "testing/ScopedCodePage.h"
#include "text/CharCodes.h"
#include "text/FontCache.h"

namespace {

constexpr float NaN = std::numeric_limits<float>::quiet_NaN();
constexpr float Inf = std::numeric_limits<float>::infinity();

class CharacterTest : public LetteringTest {
protected:
    void SetUp() override {
        LetteringTest::SetUp();
        names_.Add("Fixture Sans");
    }
    // The character's glyph built in the fixture face.
    std::unique_ptr<CCharacter> Built(std::uint16_t code, int leftAlign = 0, float aspect = 1) {
        std::unique_ptr<CCharacter> ch(Fixture(code));
        ch->m_style.aspect = aspect;
        ch->BuildGlyph(names_, cache_, leftAlign);
        return ch;
    }
    CStringArray names_;
    CFontCache cache_;
};

void ExpectBox(Path& p, float left, float bottom, float right, float top) {
    const floatBBox b = BoxOf(p);
    EXPECT_NEAR(left, b.left, 1e-4);
    EXPECT_NEAR(bottom, b.bottom, 1e-4);
    EXPECT_NEAR(right, b.right, 1e-4);
    EXPECT_NEAR(top, b.top, 1e-4);
}

TEST(CharCodesTest, CodesAndStringsOnSingleAndDoubleByteSystems) {
    struct Case {
        UINT codePage;
        const char* text;
        std::vector<std::uint16_t> codes;
    };
    const Case cases[] = {
        {1252,
         "A\x82\xA0"
         "B",
         {'A', 0x82, 0xA0, 'B'}},
        {932,
         "A\x82\xA0"
         "B",
         {'A', 0x82A0, 'B'}},
        // A first byte at the very end stands alone: nothing past the end is read.
        {932, "A\x82", {'A', 0x82}},
        {932, "", {}},
    };
    for (const Case& c : cases) {
        ScopedCodePage page(c.codePage);
        const CString s(c.text);
        std::vector<std::uint16_t> codes;
        int pos = 0;
        while (std::uint16_t code = GetNextCharCode(s, pos))
            codes.push_back(code);
        EXPECT_EQ(c.codes, codes) << c.codePage << " " << c.text;
        EXPECT_EQ(s.GetLength(), pos);
        EXPECT_EQ(0, GetNextCharCode(s, pos));
        EXPECT_EQ(s.GetLength(), pos);
    }
    CString out;
    AppendCharCode(out, 0);
    AppendCharCode(out, 0x82A0); // the low byte only on a single-byte system
    EXPECT_STREQ("\xA0", out);
    ScopedCodePage japanese(932);
    AppendCharCode(out, 0x82A0);
    AppendCharCode(out, 'x');
    EXPECT_STREQ("\xA0\x82\xA0x", out);
}

TEST_F(CharacterTest, RecordIsStoredAsSpecifiedAndOlderRecordsTakeInitialValues) {
    CCharacter ch;
    ch.m_path.colour = 0x00112233;
    ch.SetLayer(-5, 0);
    ch.m_nCode = 'Q';
    ch.m_fWidth = 12.5f;
    ch.m_nFontIndex = 2;
    const CharStyle style{30.0f, 0.75f, 0.125f, 0.25f, -0.0625f, 12.0f, 1, 2};
    ch.m_style = style;
    const Bytes stored = StoreObj([&](CArchive& ar) { ch.Serialize(ar); });
    ByteWriter head;
    SignObjPart(head, ch.m_nSerial);
    ByteWriter record(head);
    // The layer word holds the layer -5 in its low byte only.
    const Bytes expected = CharacterFields(record, 0x00112233, 0x00FB, 'Q', 12.5f, 2, style).bytes;
    EXPECT_EQ(expected, stored);

    // The tool's current attributes never reach what a file gives or lacks.
    CCharacter::DefaultStyle.charAlign = 0;
    CCharacter loaded;
    {
        KeepSerials keep;
        LoadObj(loaded, stored);
    }
    EXPECT_EQ(stored, StoreObj([&](CArchive& ar) { loaded.Serialize(ar); }));
    EXPECT_EQ(-5, loaded.GetLayer());

    Bytes schema1(expected.begin(), expected.end() - 1);
    schema1[head.bytes.size()] = 1;
    CCharacter old;
    LoadObj(old, schema1);
    EXPECT_EQ(1, old.m_style.charAlign);
    EXPECT_EQ('Q', old.m_nCode);

    Bytes schema3 = expected;
    schema3[head.bytes.size()] = 3;
    CCharacter newer;
    EXPECT_EQ(CArchiveException::badSchema, ArchiveCause([&] { LoadObj(newer, schema3); }));
    ExpectEveryCutEndsTheFile<CCharacter>(expected);
}

TEST_F(CharacterTest, GlyphsAreBuiltToSizeWithTheirSideBearingsOrLeftAligned) {
    auto m = Built('M');
    ExpectBox(m->m_path, 0, 0, 20, 25);
    EXPECT_FLOAT_EQ(20, m->m_fWidth);
    EXPECT_FLOAT_EQ(25, m->m_fTop);
    EXPECT_FLOAT_EQ(0, m->m_fBottom);

    auto h = Built('H');
    ExpectBox(h->m_path, 2, 0, 18, 25);
    EXPECT_FLOAT_EQ(18, h->m_fWidth);
    auto left = Built('H', 1);
    ExpectBox(left->m_path, 0, 0, 16, 25);
    EXPECT_FLOAT_EQ(16, left->m_fWidth);
    auto wide = Built('J', 1, 2);
    ExpectBox(wide->m_path, 0, 0, 30, 25);

    auto o = Built('o');
    EXPECT_EQ(2, o->m_path.subPaths.Filled());
    // A glyph's outline width is the character's own, not scaled by the glyph matrix.
    auto outlined = std::unique_ptr<CCharacter>(Fixture('M'));
    outlined->m_fOutlineWidth = 0.5f;
    outlined->BuildGlyph(names_, cache_, 0);
    EXPECT_FLOAT_EQ(0.5f, outlined->m_fOutlineWidth);
}

TEST_F(CharacterTest, BlanksMissingGlyphsAndUnusableStyles) {
    // Space and tab: no outline, the width as it was.
    for (std::uint16_t code : {std::uint16_t(' '), std::uint16_t('\t')}) {
        std::unique_ptr<CCharacter> ch(Fixture(code));
        ch->m_fWidth = 7;
        ch->BuildGlyph(names_, cache_, 0);
        EXPECT_EQ(0, ch->m_path.subPaths.Filled());
        EXPECT_FLOAT_EQ(7, ch->m_fWidth);
    }
    // A blank glyph is set as a space at the font's advance, not cut as a box.
    auto blank = Built(0xA0, 0, 2);
    EXPECT_EQ(0, blank->m_path.subPaths.Filled());
    EXPECT_FLOAT_EQ(16, blank->m_fWidth);
    // Codes the face or the code page lacks get the missing-glyph box of one em.
    for (std::uint16_t code : {std::uint16_t('Z'), std::uint16_t(0x81)}) {
        auto box = Built(code);
        ASSERT_EQ(1, box->m_path.subPaths.Filled()) << code;
        ExpectBox(box->m_path, 0, 0, 25, 25);
    }

    struct Case {
        float size, aspect, spacing;
    };
    for (const Case& c : {Case{0, 1, 0}, Case{-5, 1, 0}, Case{NaN, 1, 0}, Case{Inf, 1, 0},
                          Case{25, 0, 0}, Case{25, NaN, 0}, Case{25, 1, NaN}}) {
        std::unique_ptr<CCharacter> ch(Fixture('M'));
        ch->m_style.size = c.size;
        ch->m_style.aspect = c.aspect;
        ch->m_style.charSpacing = c.spacing;
        ch->m_fWidth = 3;
        ch->BuildGlyph(names_, cache_, 0);
        EXPECT_EQ(0, ch->m_path.subPaths.Filled()) << c.size << " " << c.aspect;
        EXPECT_EQ(0, ch->m_fWidth);
        EXPECT_EQ(0, ch->Gap());
    }
}

TEST_F(CharacterTest, VerticalWritingTurnsAndAlignsGlyphsAcrossTheLine) {
    ScopedCodePage japanese(932);
    struct Case {
        std::uint16_t code;
        std::uint32_t slant;
        std::uint16_t align;
        floatBBox box; // left, bottom, right, top
    };
    const Case cases[] = {
        // Without slant no table is consulted.
        {0x8175, 0, 1, floatBBox(0, 0, 10, 25)},
        // Upright on the line and moved half the size across it (a shift code before a
        // small one).
        {0x8175, 1, 1, floatBBox(0, -12.5f, 10, 12.5f)},
        // Other glyphs turn a quarter and align by the character alignment.
        {'M', 1, 0, floatBBox(0, 0, 25, 20)},
        {'M', 1, 1, floatBBox(0, -10, 25, 10)},
        {'M', 1, 2, floatBBox(0, -20, 25, 0)},
        {'M', 1, 3, floatBBox(-25, 0, 0, 20)},
    };
    for (const Case& c : cases) {
        std::unique_ptr<CCharacter> ch(Fixture(c.code));
        ch->m_style.slant = c.slant;
        ch->m_style.charAlign = c.align;
        ch->BuildGlyph(names_, cache_, 0);
        SCOPED_TRACE(::testing::Message()
                     << std::hex << c.code << " slant " << c.slant << " align " << c.align);
        ExpectBox(ch->m_path, c.box.left, c.box.bottom, c.box.right, c.box.top);
    }
}

TEST_F(CharacterTest, TransformsScaleTheExtentsByTheLengthOfTheImageOfX) {
    const double q = 1.5707963267948966;
    struct Case {
        const char* what;
        floatTMatrix m;
        float factor;
    };
    floatTMatrix rotated;
    rotated.Rotate(float(q));
    floatTMatrix turnedAndScaled;
    turnedAndScaled.Rotate(float(q / 3));
    turnedAndScaled.Scale(2, 2);
    const Case cases[] = {
        {"scale 2", floatTMatrix(2, 0, 0, 2, 5, 5), 2},
        {"quarter turn", rotated, 1},
        {"turn and scale", turnedAndScaled, 2},
        {"mirror in x", floatTMatrix(-1, 0, 0, 1, 0, 0), 1},
        {"mirror in y", floatTMatrix(1, 0, 0, -1, 0, 0), 1},
    };
    for (const Case& c : cases) {
        auto ch = Built('M');
        ch->m_fBottom = -3;
        ch->m_fTop = 7;
        ch->m_fWidth = 11;
        ch->Transform(c.m);
        EXPECT_NEAR(-3 * c.factor, ch->m_fBottom, 1e-5) << c.what;
        EXPECT_NEAR(7 * c.factor, ch->m_fTop, 1e-5) << c.what;
        EXPECT_EQ(11, ch->m_fWidth) << c.what; // the text scales widths
    }
}

TEST_F(CharacterTest, DuplicatesKeepEverythingButTheBaselineShiftOfTheFont) {
    auto ch = Built('H', 1);
    ch->m_path.colour = 0x123456;
    ch->SetLayer(3, 0);
    ch->m_nFontIndex = 1;
    ch->m_style.kerning = 0.125f;
    ch->m_fCustomBLShift = 0.5f;
    ch->m_fOutlineWidth = 0.25f;
    CCharacter::DefaultStyle.size = 99;
    std::unique_ptr<CCharacter> copy(static_cast<CCharacter*>(ch->Duplicate()));
    EXPECT_EQ(ch->m_nCode, copy->m_nCode);
    EXPECT_EQ(ch->m_fWidth, copy->m_fWidth);
    EXPECT_EQ(ch->m_fTop, copy->m_fTop);
    EXPECT_EQ(25, copy->m_style.size);
    EXPECT_EQ(0.125f, copy->m_style.kerning);
    EXPECT_EQ(1, copy->m_nFontIndex);
    EXPECT_EQ(0x123456u, copy->GetColor());
    EXPECT_EQ(3, copy->GetLayer());
    EXPECT_EQ(0.25f, copy->m_fOutlineWidth);
    EXPECT_EQ(0, copy->m_fCustomBLShift);
    ExpectBox(copy->m_path, 0, 0, 16, 25);

    const DWORD stamp = ch->StoreStamp();
    EXPECT_EQ(stamp, ch->StoreStamp());
    ch->m_style.kerning = 0.25f;
    EXPECT_NE(stamp, ch->StoreStamp());
}

} // namespace
