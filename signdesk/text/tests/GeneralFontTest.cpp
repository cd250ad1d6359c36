#include <gtest/gtest.h>

#include "TextTestSupport.h"
#include "mfc/CArchive.h"
#include "mfc/CArchiveException.h"
#include "mfc/CMemFile.h"
#include "text/GeneralFont.h"
#include "text/TarvelFont.h"

namespace {

class GeneralFontTest : public TextTest {};

std::vector<BYTE> store(GeneralFont& font) {
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        font.Serialize(ar);
        ar.Close();
    }
    std::vector<BYTE> bytes(size_t(file.GetLength()));
    file.SeekToBegin();
    file.Read(bytes.data(), UINT(bytes.size()));
    return bytes;
}

TEST_F(GeneralFontTest, ArchiveHoldsVersionAndName) {
    TarvelFont font;
    font.fontName = "Sign";
    std::vector<BYTE> bytes = store(font);
    EXPECT_EQ((std::vector<BYTE>{1, 0, 4, 'S', 'i', 'g', 'n'}), bytes);

    CMemFile in(bytes.data(), UINT(bytes.size()));
    CArchive ar(&in, CArchive::load);
    GeneralFont back;
    back.Serialize(ar);
    EXPECT_STREQ("Sign", back.fontName);

    std::vector<BYTE> newer = {2, 0, 4, 'S', 'i', 'g', 'n'};
    CMemFile in2(newer.data(), UINT(newer.size()));
    CArchive ar2(&in2, CArchive::load);
    try {
        back.Serialize(ar2);
        FAIL() << "version 2 was read";
    } catch (CArchiveException* e) {
        EXPECT_EQ(CArchiveException::badIndex, e->m_cause);
        e->Delete();
    }
}

TEST_F(GeneralFontTest, PairsAndShiftsFindSetRemove) {
    GeneralFont font;
    font.SetKerningPair('A', 'V', -0.1f);
    font.SetKerningPair('A', 'V', -0.2f); // found and replaced
    font.SetKerningPair('V', 'A', 0.3f);
    EXPECT_EQ(2, font.kerningPairs.Filled());
    EXPECT_FLOAT_EQ(-0.2f, font.FindKerningPair('A', 'V')->value);
    EXPECT_EQ(nullptr, font.FindKerningPair('A', 'W'));
    EXPECT_FLOAT_EQ(0.0f, font.GetKerning('A', 'V'));

    font.SetBaselineShift('x', 0, 0.25f);
    EXPECT_NE(nullptr, font.FindBaselineShift('x', 0));
    EXPECT_EQ(nullptr, font.FindBaselineShift('x', 1));
    EXPECT_EQ(nullptr, font.FindBaselineShift('x', 2));
    font.SetBaselineShift('x', 1, 0.5f);
    EXPECT_EQ(2, font.baselineShifts.Filled());

    EXPECT_THROW(font.RemoveKerningPairs(1, 2), KerningPairDynArr::RangeCheck);
    EXPECT_EQ(2, font.kerningPairs.Filled());
    font.RemoveKerningPairs(0, 1);
    EXPECT_EQ('V', font.kerningPairs[0].first);
    EXPECT_THROW(font.RemoveBaselineShifts(2, 1), CustomBLShiftDynArr::RangeCheck);
    font.RemoveBaselineShifts(0, 2);
    EXPECT_EQ(0, font.baselineShifts.Filled());

    font.Unload(); // empties the pairs only
    font.SetBaselineShift('y', 0, 1);
    font.Unload();
    EXPECT_EQ(0, font.kerningPairs.Filled());
    EXPECT_EQ(1, font.baselineShifts.Filled());
}

TEST_F(GeneralFontTest, PairPastTheLimitThrowsAndChangesNothing) {
    GeneralFont font;
    for (int i = 0; i < 65534; ++i)
        font.kerningPairs.Append(KerningPair{std::uint16_t(i), 1, 0.5f});
    EXPECT_THROW(font.SetKerningPair(0xFFFF, 2, 1.0f), KerningPairDynArr::LimitCheck);
    EXPECT_EQ(65534, font.kerningPairs.Filled());
    EXPECT_EQ(nullptr, font.FindKerningPair(0xFFFF, 2));
    // An existing pair can still be changed.
    EXPECT_FLOAT_EQ(2.0f, font.SetKerningPair(7, 1, 2.0f)->value);
}

TEST_F(GeneralFontTest, BaseKindDrawsNothing) {
    GeneralFont font;
    Path p;
    EXPECT_EQ(0, font.Load());
    EXPECT_EQ(0, font.GetCharPath('A', p));
    EXPECT_EQ(0, p.subPaths.Filled());
    EXPECT_FLOAT_EQ(0.0f, font.GetCharWidth('A'));
    EXPECT_TRUE(font.glyphMatrix.IsIdentMatrix());
    std::unique_ptr<CObject> made(RUNTIME_CLASS(TarvelFont)->CreateObject());
    EXPECT_TRUE(made->IsKindOf(RUNTIME_CLASS(GeneralFont)));
}

} // namespace
