// Pair kerning by the font's metrics and table and by outline contact, and the touch tests.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "LetteringTestSupport.h"
#include "SquarePath.h"
#include "text/CTextObj.h"
#include "text/FontCache.h"
#include "text/GeneralFont.h"
#include "text/KernPair.h"

namespace {

Path Squares(std::initializer_list<floatBBox> boxes) {
    Path p;
    for (const floatBBox& b : boxes)
        AddSquare(p, b.left, b.bottom, b.right - b.left);
    p.Prepare();
    return p;
}

TEST(KerningTouchTest, OutlinesTouchWhereTheyMeetOrCross) {
    // A ring (a square with a square hole) and what lies about it.
    Path ring;
    AddSquare(ring, 0, 0, 10);
    Path hole;
    AddSquare(hole, 3, 3, 4);
    hole.Prepare();
    ring.Concat(hole);
    ring.Prepare();
    struct Case {
        const char* what;
        floatBBox other;
        int touch;
    };
    const Case cases[] = {
        {"apart", floatBBox(12, 0, 14, 2), 0},
        {"sharing an edge", floatBBox(10, 2, 12, 4), 1},
        {"corner to corner", floatBBox(10, 10, 12, 12), 1},
        {"crossing", floatBBox(8, 8, 12, 12), 1},
        {"inside the hole, boxes overlapping", floatBBox(4, 4, 6, 6), 0},
        {"on the hole's edge", floatBBox(4, 4, 7, 6), 1},
    };
    for (const Case& c : cases) {
        Path other = Squares({c.other});
        EXPECT_EQ(c.touch, PathsTouch(ring, other)) << c.what;
        EXPECT_EQ(c.touch, PathsTouch(other, ring)) << c.what;
        // The intersection lists are left empty.
        for (const SubPath& sp : ring.subPaths)
            EXPECT_EQ(0, sp.intersections.Filled()) << c.what;
    }
}

TEST(KerningTouchTest, TheBarIsTheMiddleFifthFromAQuarterPitchBelowTheBaseline) {
    Path p = Squares({floatBBox(0, 0, 10, 30)});
    AddKerningBar(p, 20);
    ASSERT_EQ(2, p.subPaths.Filled());
    floatBBox bar;
    for (const SubPath& sp : p.subPaths)
        if (sp.accBox.right - sp.accBox.left < 5) bar = sp.accBox;
    EXPECT_FLOAT_EQ(4, bar.left);
    EXPECT_FLOAT_EQ(6, bar.right);
    EXPECT_FLOAT_EQ(-5, bar.bottom);
    EXPECT_FLOAT_EQ(16, bar.top);
}

class KernPairTest : public LetteringTest {
protected:
    void SetUp() override {
        LetteringTest::SetUp();
        text_.m_fontNames.Add("Fixture Sans");
        line_ = new CTextLine(0, 0, nullptr, 0, 0);
        text_.m_children.Add(line_);
        // The fixture face kerns M before H by -0.125 em in its table.
        GeneralFont table;
        table.fontName = "Fixture Sans";
        table.SetKerningPair('M', 'H', -0.125f);
        table.WriteKerningFile();
    }
    // The pair's characters on the line, laid out; returns the first one's kerning.
    float Kern(std::uint16_t a, std::uint16_t b, BYTE autoKerning, BYTE customKerning,
               float bSize = 25) {
        line_->m_children.Truncate(0);
        line_->m_bAutoKerning = autoKerning;
        line_->m_bCustomKerning = customKerning;
        CCharacter* first = Fixture(a);
        first->m_style.kerning = 0.3f;
        first->m_style.charSpacing = 0.3f;
        line_->m_children.Add(first);
        CCharacter* second = Fixture(b);
        second->m_style.size = bSize;
        if (b == ' ' || b == '\t') second->m_fWidth = 8;
        line_->m_children.Add(second);
        line_->Layout(text_.m_fontNames, cache_, nullptr);
        KernPair(line_, 1, &text_, cache_);
        EXPECT_EQ(0.3f, first->m_style.charSpacing); // the user's spacing stays
        return first->m_style.kerning;
    }
    CTextObj text_;
    CTextLine* line_ = nullptr;
    CFontCache cache_;
};

TEST_F(KernPairTest, TheCasesOfThePairKerning) {
    struct Case {
        const char* what;
        std::uint16_t a, b;
        BYTE autoKerning, customKerning;
        float bSize;
        float kerning;
        float tolerance;
    };
    const Case cases[] = {
        {"a space in the pair", 'M', ' ', 1, 1, 25, 0, 0},
        {"a tab in the pair", '\t', 'M', 1, 1, 25, 0, 0},
        {"both flags off", 'M', 'H', 0, 0, 25, 0, 0},
        {"sizes differ, custom only: no table", 'M', 'H', 0, 1, 30, 0, 0},
        {"table entry", 'M', 'H', 0, 1, 25, -0.125f, 0},
        {"no entry: the advance less the width", 'M', 'M', 0, 1, 25, 0.2f, 1e-6f},
        // Boxes that touch edge to edge at kerning 0 move out in steps of 0.5 em and come back.
        {"sizes differ: outline contact", 'M', 'H', 1, 1, 30, 0, 0.001f},
        {"outline contact of boxes", 'M', 'M', 1, 0, 25, 0, 0.001f},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(c.kerning, Kern(c.a, c.b, c.autoKerning, c.customKerning, c.bSize), c.tolerance)
            << c.what;
}

TEST_F(KernPairTest, GlyphsThatOverlapMoveApartUntilTheyJustTouch) {
    // Side bearings kept (schema 2): J reaches 5 mm back under the M, a fifth of the size;
    // the search steps out by half an em and bisects back to where they just touch.
    line_->m_nSchema = 2;
    EXPECT_NEAR(0.2f, Kern('M', 'J', 1, 0), 0.001f);
}

TEST_F(KernPairTest, APairThatNeverTouchesTakesTheClosestProbeWithoutContact) {
    line_->m_children.Truncate(0);
    line_->m_bAutoKerning = 1;
    line_->m_bCustomKerning = 0;
    CCharacter* first = Fixture('M');
    CCharacter* second = Fixture('M');
    second->m_style.baselineShift = 3; // far above the first and its bar
    line_->m_children.Add(first);
    line_->m_children.Add(second);
    line_->Layout(text_.m_fontNames, cache_, nullptr);
    KernPair(line_, 1, &text_, cache_);
    // Each probe moves a fifth of the remaining distance closer: after ten probes the
    // distance is 0.8^9 of the width (20 mm).
    const float expected = (std::pow(0.8f, 9.0f) - 1) * 20 / 25;
    EXPECT_NEAR(expected, first->m_style.kerning, 1e-5);
    EXPECT_GT(first->m_style.kerning, -0.8f); // never past the second glyph's start
}

} // namespace
