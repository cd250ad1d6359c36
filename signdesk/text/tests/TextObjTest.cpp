// Texts: the record and its older forms, transforms, conversion to paths, caret numbering,
// text outlines for other parts of the program and fonts that are gone.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

#include "LetteringTestSupport.h"
#include "ObjectArchive.h"
#include "mfc/CMenu.h"
#include "mfc/CWnd.h"
#include "model/CFountainFill.h"
#include "text/CTextObj.h"
#include "text/FontCache.h"
#include "text/TextResourceIds.h"
#include "win32/CodePageTesting.h"
#include "win32/KernelTesting.h"

namespace {

constexpr float NaN = std::numeric_limits<float>::quiet_NaN();

class TextObjTest : public LetteringTest {
protected:
    // A text of lines in the fixture face, size 25, spacing 0, laid out.
    std::unique_ptr<CTextObj> Text(std::initializer_list<const char*> lines) {
        std::unique_ptr<CTextObj> text(new CTextObj);
        text->m_fontNames.Add("Fixture Sans");
        for (const char* l : lines) {
            auto* line = new CTextLine(0, 0, nullptr, 0, 0);
            for (const char* c = l; *c; ++c) {
                CCharacter* ch = Fixture(std::uint16_t(*c));
                if (ch->IsBlank()) ch->m_fWidth = 8;
                line->m_children.Add(ch);
            }
            text->m_children.Add(line);
        }
        text->LayoutText(0);
        return text;
    }
};

TEST_F(TextObjTest, RecordOfAOneLetterTextAndItsOlderForms) {
    auto text = Text({"M"});
    CCharacter* m = text->GetLine(0)->GetChar(0);
    const Bytes stored = StoreObj([&](CArchive& ar) { text->Serialize(ar); });

    // One line holding one character (its style: size 25, spacing 0, the rest initial).
    ByteWriter lines;
    lines.u16(1).newClass("CTextLine", 0).u16(1).newClass("CCharacter", 0);
    SignObjPart(lines, m->m_nSerial);
    CharStyle style;
    style.charSpacing = 0;
    CharacterFields(lines, 0xFFFFFFFF, 1, 'M', 20, 0, style);
    FreeBaseline(lines.u16(4), 0, 0);
    LineFields(lines, 0, 35, 0, 0, 0, 1, 1, 0, 0);
    lines.u16(1).u8(12).text("Fixture Sans");
    ByteWriter objectPart;
    SignObjPart(objectPart, text->m_nSerial);
    const Bytes expected = ByteWriter(lines).u16(4).append(objectPart.bytes).u8(0).bytes;
    EXPECT_EQ(expected, stored);

    CTextObj loaded;
    {
        KeepSerials keep;
        LoadObj(loaded, stored);
    }
    EXPECT_EQ(stored, StoreObj([&](CArchive& ar) { loaded.Serialize(ar); }));
    EXPECT_EQ(1, loaded.GetLine(0)->GetChar(0)->m_path.subPaths.Filled()); // laid out

    // Older forms: schema 1 has no object part, 2 a matrix that is skipped, 3 no direction.
    SdSetUserDefaultLangID(0x0401);
    const Bytes matrix = ByteWriter().f32(2).f32(0).f32(0).f32(2).f32(7).f32(7).bytes;
    struct Case {
        WORD schema;
        Bytes tail;
    };
    const Case cases[] = {
        {1, {}},
        {2, ByteWriter().append(objectPart.bytes).append(matrix).bytes},
        {3, objectPart.bytes},
    };
    for (const Case& c : cases) {
        const Bytes old = ByteWriter(lines).u16(c.schema).append(c.tail).bytes;
        CTextObj back;
        LoadObj(back, old);
        EXPECT_EQ(0, back.m_bRightToLeft) << c.schema;
        ASSERT_EQ(1, back.GetLineCount());
        EXPECT_EQ(1, back.GetLine(0)->GetChar(0)->m_path.subPaths.Filled()) << c.schema;
    }
    SdSetUserDefaultLangID(0);

    const Bytes newer = ByteWriter(lines).u16(5).append(objectPart.bytes).u8(0).bytes;
    CTextObj refused;
    EXPECT_EQ(CArchiveException::badSchema, ArchiveCause([&] { LoadObj(refused, newer); }));
    ExpectEveryCutEndsTheFile<CTextObj>(expected);
    const Bytes foreign = ByteWriter().u16(1).newClass("CCharacter", 0).bytes;
    CTextObj wrong;
    EXPECT_EQ(CArchiveException::badClass, ArchiveCause([&] { LoadObj(wrong, foreign); }));
}

TEST_F(TextObjTest, TheTransformsATextAccepts) {
    const float c = std::cos(0.5f), s = std::sin(0.5f);
    struct Case {
        const char* what;
        floatTMatrix m;
        BOOL accepted;
    };
    const Case cases[] = {
        {"scale 1.04 by 1", floatTMatrix(1.04f, 0, 0, 1, 0, 0), 1},
        {"scale 1.1 by 1", floatTMatrix(1.1f, 0, 0, 1, 0, 0), 0},
        {"rotation with a scale", floatTMatrix(2 * c, 2 * s, -2 * s, 2 * c, 5, 5), 1},
        {"mirror in x, y scaled 3", floatTMatrix(-1, 0, 0, 3, 0, 0), 1},
        {"mirror in y", floatTMatrix(1, 0, 0, -1, 0, 0), 1},
        {"shear", floatTMatrix(1, 0, 0.3f, 1, 0, 0), 0},
        {"zero", floatTMatrix(0, 0, 0, 0, 0, 0), 0},
        {"mirror in x onto a line", floatTMatrix(-1, 0, 0, 0, 0, 0), 0},
        {"not a number", floatTMatrix(NaN, 0, 0, NaN, 0, 0), 0},
    };
    auto text = Text({"M"});
    for (const Case& k : cases)
        EXPECT_EQ(k.accepted, text->AcceptsTransform(k.m)) << k.what;
}

TEST_F(TextObjTest, ScalingScalesSizesWidthsAndPitchesWithoutALayout) {
    auto text = Text({"MH", "o"});
    CCharacter* h = text->GetLine(0)->GetChar(1);
    const floatBBox before = BoxOf(h->m_path);
    text->Transform(floatTMatrix(2, 0, 0, 2, 0, 0));
    EXPECT_EQ(50, h->m_style.size);
    EXPECT_EQ(32, h->m_fWidth);
    EXPECT_EQ(70, text->GetLine(1)->m_fPitch);
    const floatBBox after = BoxOf(h->m_path);
    EXPECT_FLOAT_EQ(2 * before.left, after.left);
    EXPECT_FLOAT_EQ(2 * before.top, after.top);
    EXPECT_FLOAT_EQ(50, text->m_bbox.top);
}

TEST_F(TextObjTest, ConversionToPaths) {
    struct Case {
        std::initializer_list<const char*> lines;
        int paths;  // the answer's leaves
        int groups; // groups directly in the answer (-1: the answer is a single path)
    };
    const Case cases[] = {
        {{"M"}, 1, -1},       {{"M H"}, 2, 0},        {{"MHM"}, 3, 0},
        {{"MH", "HM"}, 4, 2}, {{"M", "", "H"}, 2, 0}, {{"MH", " ", "o"}, 3, 1},
    };
    for (const Case& c : cases) {
        auto text = Text(c.lines);
        std::unique_ptr<CSignObj> paths(text->ConvertToPaths());
        ASSERT_NE(nullptr, paths);
        if (c.groups < 0) {
            EXPECT_STREQ("CPathObj", paths->GetRuntimeClass()->m_lpszClassName);
            continue;
        }
        auto* group = static_cast<CGroupObj*>(paths.get());
        ASSERT_STREQ("CGroupObj", paths->GetRuntimeClass()->m_lpszClassName);
        int groups = 0, leaves = 0;
        for (int i = 0; i < group->m_children.GetSize(); ++i) {
            CSignObj* child = group->GetChild(i);
            if (child->IsGroup()) {
                ++groups;
                leaves += static_cast<CGroupObj*>(child)->m_children.GetSize();
            } else {
                ++leaves;
            }
        }
        EXPECT_EQ(c.groups, groups);
        EXPECT_EQ(c.paths, leaves);
        EXPECT_NE(nullptr, group->GetBBox());
    }
    auto blank = Text({"  ", ""});
    EXPECT_EQ(nullptr, blank->ConvertToPaths());
}

TEST_F(TextObjTest, CaretNumberingRoundTripsInBothDirections) {
    auto text = Text({"MHM", "", "oM"});
    for (BYTE rtl : {BYTE(0), BYTE(1)}) {
        text->m_bRightToLeft = rtl;
        int index = 0;
        for (int line = 0; line < 3; ++line) {
            for (int pos = 0; pos <= text->GetLine(line)->GetCount(); ++pos) {
                text->m_nCaretLine = line;
                text->m_nCaretPos = pos;
                const int i = text->GetCaretTextIndex();
                int l = -1, p = -1;
                text->TextIndexToCaret(i, l, p);
                EXPECT_EQ(line, l) << int(rtl) << " " << line << ":" << pos;
                EXPECT_EQ(pos, p) << int(rtl) << " " << line << ":" << pos;
                ++index;
            }
        }
        int l = -1, p = -1;
        text->TextIndexToCaret(index, l, p); // beyond the text: nothing set
        EXPECT_EQ(-1, l);
        text->m_nCaretLine = 0;
        text->m_nCaretPos = 0;
        EXPECT_EQ(rtl ? 3 : 0, text->GetCaretTextIndex());
    }
    text->m_nCaretLine = 2;
    text->m_nCaretPos = 2;
    EXPECT_EQ(0, text->CaretRight());
    EXPECT_EQ(0, text->CaretDown());
    EXPECT_EQ(1, text->CaretUp());
    EXPECT_EQ(0, text->m_nCaretPos); // the empty line
    text->m_nCaretLine = 0;
    text->m_nCaretPos = 0;
    EXPECT_EQ(0, text->CaretLeft());
    EXPECT_EQ(0, text->CaretUp());

    SdSetUserDefaultLangID(0x0C01);
    EXPECT_EQ(1, CTextObj().m_bRightToLeft);
    SdSetUserDefaultLangID(0);
    EXPECT_EQ(0, CTextObj().m_bRightToLeft);
}

TEST_F(TextObjTest, FillsReachEveryLineAndCharacterAndFollowTransforms) {
    auto text = Text({"MH", "o"});
    text->SetFill(new CFountainFill(floatBBox(0, 0, 40, 25), RGB(0, 0, 0), RGB(255, 255, 255)));
    CFillObj* fill = text->m_pFill;
    ASSERT_NE(nullptr, fill);
    CCharacter* o = text->GetLine(1)->GetChar(0);
    EXPECT_EQ(fill, text->GetLine(1)->m_pFill);
    EXPECT_EQ(fill, o->m_pFill);
    o->SetFill(nullptr); // a character of its own fill keeps it
    text->Transform(floatTMatrix(2, 0, 0, 2, 0, 0));
    EXPECT_NE(fill, text->m_pFill);
    EXPECT_EQ(text->m_pFill, text->GetLine(0)->GetChar(1)->m_pFill);
    EXPECT_EQ(text->m_pFill, text->GetLine(1)->m_pFill);
    EXPECT_EQ(nullptr, o->m_pFill);
}

TEST_F(TextObjTest, ColoursMenusAndEditing) {
    auto text = Text({"M H"});
    EXPECT_EQ(1, text->SetColor(0x00FF00));
    EXPECT_EQ(0x00FF00u, text->GetLine(0)->GetChar(0)->GetColor());
    EXPECT_EQ(NO_COLOR, text->GetLine(0)->GetChar(1)->GetColor()); // the space stays clear

    floatPoint inside(10, 12);
    EXPECT_EQ(text.get(), text->HitTest(inside, 1, 0.5f, 2, 1));
    floatPoint again(10, 12);
    EXPECT_EQ(text->GetLine(0)->GetChar(0), text->HitTest(again, 1, 0.5f, 2, 2));
    floatPoint outside(100, 100);
    EXPECT_EQ(nullptr, text->HitTest(outside, 1, 0.5f, 2, 2));

    CMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    text->ExtendContextMenu(&menu);
    ASSERT_EQ(2, menu.GetMenuItemCount());
    EXPECT_EQ(32869u, menu.GetMenuItemID(1));
    CString label;
    menu.GetMenuString(32869, label, MF_BYCOMMAND);
    EXPECT_STREQ("&Edit Text", label);

    EXPECT_EQ(std::vector<WPARAM>({ID_TEXT_TOOL}), CommandsPostedByEdit(*text));
}

TEST_F(TextObjTest, TextOutlinesForOtherPartsOfTheProgram) {
    CCharacter::DefaultStyle.baselineShift = 0.5f; // as the tool left it
    DefaultFont = "Other";
    Path out;
    TextToPath(out, "MH\r\no\n", "Fixture Sans", 25, 1, 0, 0.3f, 0, 1, 1.5f, 0);
    // Two lines, the carriage return dropped, nothing after the last line feed.
    EXPECT_EQ(4, out.subPaths.Filled());
    EXPECT_NEAR(-37.5f + 12.5f, out.accBox.bottom, 1e-4); // second line, shifted by the tool's 0.5
    EXPECT_STREQ("Other", DefaultFont);
    EXPECT_EQ(0.5f, CCharacter::DefaultStyle.baselineShift);
    EXPECT_EQ(25, CCharacter::DefaultStyle.size);

    Path merged;
    TextToPath(merged, "MM", "Fixture Sans", 25, 1, -0.1f, 0.3f, 0, 1, 1.5f, 1);
    EXPECT_EQ(1, merged.subPaths.Filled()); // overlapping glyphs united
    EXPECT_NEAR(37.5f, merged.accBox.right, 1e-3);

    // Sizes that make no glyph give no outline and no number that is none.
    for (float size : {0.0f, -5.0f, NaN}) {
        Path none;
        TextToPath(none, "MH", "Fixture Sans", size, 1, 0, 0.3f, 0, 1, 1.5f, 1);
        EXPECT_EQ(0, none.subPaths.Filled()) << size;
    }

    // The defaults come back when the work fails half way.
    // The allocator asks whether to try again; the answer is no.
    PushMessageBoxAnswer(IDCANCEL);
    SdFailHeapRequests(1000, 0);
    Path failed;
    EXPECT_ANY_THROW(TextToPath(failed, "MHo", "Fixture Sans", 40, 2, 0.5f, 0.9f, 1, 2, 2, 0));
    SdFailHeapRequests(0, 0);
    EXPECT_STREQ("Other", DefaultFont);
    EXPECT_EQ(25, CCharacter::DefaultStyle.size);
    EXPECT_EQ(1, CCharacter::DefaultStyle.aspect);
    EXPECT_EQ(InitialWordSpacingFactor, CCharacter::WordSpacingFactor);
}

TEST_F(TextObjTest, AFontThatIsGoneIsStoodInForOnceAndKeptByName) {
    auto text = Text({"MH"});
    text->m_fontNames.SetAt(0, "Nonexistent Sans");
    const Bytes original = StoreObj([&](CArchive& ar) { text->Serialize(ar); });

    PushMessageBoxAnswer(IDOK);
    CTextObj loaded;
    {
        KeepSerials keep;
        LoadObj(loaded, original);
    }
    auto log = MessageBoxLog();
    ASSERT_EQ(1u, log.size());
    EXPECT_NE(std::string::npos, log[0].text.find("\"Nonexistent Sans\""));
    EXPECT_NE(std::string::npos, log[0].text.find("\"DejaVu Sans Book\""));
    // Drawn in the stand-in...
    CCharacter* m = loaded.GetLine(0)->GetChar(0);
    EXPECT_EQ(1, m->m_path.subPaths.Filled());
    EXPECT_NEAR(25, m->m_fTop, 0.01);
    // ... kept by name, codes and styles; later layouts and loads are silent.
    EXPECT_STREQ("Nonexistent Sans", loaded.m_fontNames[0]);
    loaded.LayoutText(0);
    CTextObj again;
    LoadObj(again, original);
    EXPECT_EQ(1u, MessageBoxLog().size());
    const Bytes saved = StoreObj([&](CArchive& ar) { loaded.Serialize(ar); });
    EXPECT_EQ(original.size(), saved.size());
    for (int k = 0; k < 2; ++k) {
        const CCharacter* a = text->GetLine(0)->GetChar(k);
        const CCharacter* b = loaded.GetLine(0)->GetChar(k);
        EXPECT_EQ(a->m_nCode, b->m_nCode);
        EXPECT_EQ(0, std::memcmp(&a->m_style, &b->m_style, CharStyleBytes));
        EXPECT_EQ(a->m_nFontIndex, b->m_nFontIndex);
    }

    // An index past the names lays out in the stand-in and is kept; nothing to tell.
    loaded.GetLine(0)->GetChar(1)->m_nFontIndex = 3;
    loaded.LayoutText(0);
    EXPECT_EQ(1, loaded.GetLine(0)->GetChar(1)->m_path.subPaths.Filled());
    EXPECT_EQ(3, loaded.GetLine(0)->GetChar(1)->m_nFontIndex);
    EXPECT_EQ(1u, MessageBoxLog().size());
}

} // namespace
