// Text frames: fitting (fill, stretch, place), transforms, welding, the record of every
// version and the cases that leave no room or no text.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "LetteringTestSupport.h"
#include "ObjectArchive.h"
#include "mfc/CWnd.h"
#include "shell/GeometryRecords.h"
#include "text/CTextFrame.h"
#include "text/TextResourceIds.h"
#include "win32/KernelTesting.h"

namespace {

struct FrameSetup {
    const char* text = "MH";
    DWORD fit = CTextFrame::Fill;
    float charSpacing = 0.05f;
    float margin = 0;
    BYTE placeMode = 1;
    BYTE weld = 0;
    floatBBox box = floatBBox(0, 0, 100, 50);
    const char* font = "Fixture Sans";
};

std::unique_ptr<CTextFrame> MakeFrame(const FrameSetup& s) {
    return std::make_unique<CTextFrame>(s.box, s.text, s.font, s.fit, 0, 1, s.charSpacing, 0.4f,
                                        1.0f, 0, 0, 1.2f, 0, s.placeMode, s.weld, s.margin,
                                        s.margin, s.margin, s.margin, 1, 0);
}

floatBBox Outlines(CTextFrame& f) {
    f.m_path.RefreshBBoxes();
    return f.m_path.accBox;
}

void ExpectBox(const floatBBox& want, const floatBBox& got, float tolerance) {
    EXPECT_NEAR(want.left, got.left, tolerance);
    EXPECT_NEAR(want.right, got.right, tolerance);
    EXPECT_NEAR(want.bottom, got.bottom, tolerance);
    EXPECT_NEAR(want.top, got.top, tolerance);
}

class TextFrameTest : public LetteringTest {};

TEST_F(TextFrameTest, ANewFrameIsItsRectangleOnly) {
    CTextFrame frame;
    EXPECT_EQ(CTextFrame::Stretch, frame.m_nFitMode);
    EXPECT_EQ(0, frame.m_path.subPaths.Filled());
    ASSERT_NE(nullptr, frame.GetBBox());
    ExpectBox(floatBBox(0, 0, 100, 50), *frame.GetBBox(), 0);
    EXPECT_EQ(1, frame.m_framePath.subPaths.Filled());
    EXPECT_EQ(FALSE, frame.CanDistort());
}

TEST_F(TextFrameTest, FillStretchAndPlaceFitTheTextBox) {
    const floatBBox inner(5, 5, 95, 45);
    struct Case {
        const char* what;
        FrameSetup setup;
        floatBBox want; // the outlines' box; 1 % of the box's size allowed
    };
    FrameSetup three;
    three.text = "MHM\nHo\nMMMM";
    three.margin = 5;
    FrameSetup one;
    one.margin = 5;
    FrameSetup noSpacing = one; // the spacing sum must be found again after it was 0
    noSpacing.charSpacing = 0;
    FrameSetup stretch = three;
    stretch.fit = CTextFrame::Stretch;
    FrameSetup place = one;
    place.fit = CTextFrame::Place;
    place.text = "MMMM";
    place.box = floatBBox(0, 0, 100, 100);
    FrameSetup topLeft = place, bottomRight = place;
    topLeft.placeMode = 0;
    bottomRight.placeMode = 2;
    // "MMMM" is 4 x 20 wide with three gaps of the font's advance less the glyph (5) and the
    // spacing (1.25), and 25 high: fitted to 90 wide it is 22.78 high.
    const float h = 90 * 25 / 98.75f;
    const Case cases[] = {
        {"fill, three lines", three, inner},
        {"fill, one line", one, inner},
        {"fill, no spacing", noSpacing, inner},
        {"stretch", stretch, inner},
        {"place centred", place, floatBBox(5, 50 - h / 2, 95, 50 + h / 2)},
        {"place top left", topLeft, floatBBox(5, 95 - h, 95, 95)},
        {"place bottom right", bottomRight, floatBBox(5, 5, 95, 5 + h)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto frame = MakeFrame(c.setup);
        ASSERT_GT(frame->m_path.subPaths.Filled(), 0);
        const float tol = 0.01f * std::max(c.want.right - c.want.left, c.want.top - c.want.bottom);
        ExpectBox(c.want, Outlines(*frame), tol);
    }
}

TEST_F(TextFrameTest, ScalingRelaysTheFitModesAndStretchesStretchedText) {
    for (DWORD fit :
         {DWORD(CTextFrame::Fill), DWORD(CTextFrame::Place), DWORD(CTextFrame::Stretch)}) {
        FrameSetup setup;
        setup.fit = fit;
        setup.text = "MH\nHM";
        auto frame = MakeFrame(setup);
        const floatBBox before = Outlines(*frame);
        frame->Transform(floatTMatrix(2, 0, 0, 1, 0, 0));
        EXPECT_TRUE(frame->m_frameMatrix.IsIdentMatrix()) << fit;
        ExpectBox(floatBBox(0, 0, 200, 50), *frame->GetBBox(), 1e-4);
        const floatBBox after = Outlines(*frame);
        if (fit == CTextFrame::Stretch) {
            ExpectBox(floatBBox(2 * before.left, before.bottom, 2 * before.right, before.top),
                      after, 1e-3);
        } else if (fit == CTextFrame::Fill) {
            ExpectBox(floatBBox(0, 0, 200, 50), after, 2); // filled afresh
        } else {
            EXPECT_NEAR(100, (after.left + after.right) / 2, 0.5); // placed afresh
            EXPECT_NEAR(50, after.top - after.bottom, 0.5);
        }
    }
    // A uniform scale moves the rectangle and the outlines without a new layout.
    auto frame = MakeFrame(FrameSetup());
    const floatBBox before = Outlines(*frame);
    frame->Transform(floatTMatrix(2, 0, 0, 2, 10, 0));
    EXPECT_TRUE(frame->m_frameMatrix.IsIdentMatrix());
    ExpectBox(floatBBox(10, 0, 210, 100), frame->m_frameBox, 1e-4);
    ExpectBox(
        floatBBox(2 * before.left + 10, 2 * before.bottom, 2 * before.right + 10, 2 * before.top),
        Outlines(*frame), 1e-3);
}

TEST_F(TextFrameTest, ARotationGoesIntoTheFrameMatrix) {
    auto frame = MakeFrame(FrameSetup());
    const floatBBox before = Outlines(*frame);
    floatTMatrix turn;
    turn.Rotate(1.5707963267948966f);
    frame->Transform(turn);
    EXPECT_FALSE(frame->m_frameMatrix.IsIdentMatrix());
    EXPECT_NEAR(1, frame->m_frameMatrix.m12, 1e-6);
    ExpectBox(floatBBox(0, 0, 100, 50), frame->m_frameBox, 0);
    ExpectBox(floatBBox(-50, 0, 0, 100), *frame->GetBBox(), 1e-4);
    // A layout afterwards keeps the rotation.
    frame->Layout();
    ExpectBox(floatBBox(-before.top, before.left, -before.bottom, before.right), Outlines(*frame),
              1e-3);
    ExpectBox(floatBBox(-50, 0, 0, 100), *frame->GetBBox(), 1e-4);
}

TEST_F(TextFrameTest, WeldedFramesHoldOneShape) {
    FrameSetup setup;
    setup.text = "MMM";
    setup.charSpacing = -0.2f;
    setup.fit = CTextFrame::Stretch;
    auto apart = MakeFrame(setup);
    setup.weld = 1;
    auto welded = MakeFrame(setup);
    EXPECT_EQ(3, apart->m_path.subPaths.Filled());
    EXPECT_EQ(1, welded->m_path.subPaths.Filled());
    ExpectBox(Outlines(*apart), Outlines(*welded), 1e-3);
}

TEST_F(TextFrameTest, NoRoomOrNoTextLeavesNoOutlines) {
    struct Case {
        const char* what;
        const char* text;
        DWORD fit;
        float margin;
    };
    const Case cases[] = {
        {"only spaces, fill", "   ", CTextFrame::Fill, 0},
        {"only spaces, place", "  \n ", CTextFrame::Place, 0},
        {"only spaces, stretch", "   ", CTextFrame::Stretch, 0},
        {"margins wider than the frame, fill", "MH", CTextFrame::Fill, 30},
        {"margins wider than the frame, place", "MH", CTextFrame::Place, 30},
        {"margins wider than the frame, stretch", "MH", CTextFrame::Stretch, 30},
    };
    for (const Case& c : cases) {
        FrameSetup setup;
        setup.text = c.text;
        setup.fit = c.fit;
        setup.margin = c.margin;
        auto frame = MakeFrame(setup);
        EXPECT_EQ(0, frame->m_path.subPaths.Filled()) << c.what;
        ExpectBox(floatBBox(0, 0, 100, 50), *frame->GetBBox(), 0);
    }
    // A text deleted takes its outlines with it; the rectangle follows the box.
    auto frame = MakeFrame(FrameSetup());
    ASSERT_GT(frame->m_path.subPaths.Filled(), 0);
    frame->m_text.Empty();
    frame->m_frameBox = floatBBox(0, 0, 30, 30);
    frame->Layout();
    EXPECT_EQ(0, frame->m_path.subPaths.Filled());
    ExpectBox(floatBBox(0, 0, 30, 30), *frame->GetBBox(), 0);
}

TEST_F(TextFrameTest, VerticalTextStandsInColumns) {
    auto frame = std::make_unique<CTextFrame>(floatBBox(0, 0, 40, 100), "MH\nHo", "Fixture Sans",
                                              CTextFrame::Stretch, 0, 1, 0.05f, 0.4f, 1.0f, 1, 0,
                                              1.2f, 0, 1, 0, 0, 0, 0, 0, 1, 0);
    EXPECT_EQ(5, frame->m_path.subPaths.Filled());
    ExpectBox(floatBBox(0, 0, 40, 100), Outlines(*frame), 1e-3);
}

TEST_F(TextFrameTest, TheToolsAttributesComeBackWhenALayoutFails) {
    DefaultFont = "Other";
    CCharacter::DefaultStyle.size = 77;
    CCharacter::WordSpacingFactor = 0.5f;
    auto frame = MakeFrame(FrameSetup());
    // The allocator asks whether to try again; the answer is no.
    PushMessageBoxAnswer(IDCANCEL);
    SdFailHeapRequests(1000, 0);
    EXPECT_ANY_THROW(frame->Layout());
    SdFailHeapRequests(0, 0);
    EXPECT_STREQ("Other", DefaultFont);
    EXPECT_EQ(77, CCharacter::DefaultStyle.size);
    EXPECT_EQ(0.5f, CCharacter::WordSpacingFactor);
}

TEST_F(TextFrameTest, AMissingFontStandsInOnce) {
    FrameSetup setup;
    setup.font = "Gone Frame Sans";
    PushMessageBoxAnswer(IDOK);
    auto frame = MakeFrame(setup);
    EXPECT_GT(frame->m_path.subPaths.Filled(), 0);
    frame->Layout();
    EXPECT_EQ(1u, MessageBoxLog().size());
    EXPECT_STREQ("Gone Frame Sans", frame->m_fontName);
}

// The record: the object part, version, colour, layer, flags, matrix, box, text, font, fit,
// kerning flags, spacings, aspect, frame path, vertical, reversed; then version 2's line
// spacing, margins (left, top, right, bottom), alignment, place mode, weld; version 3's
// character alignment; version 4's auto baseline shift.
TEST_F(TextFrameTest, RecordsOfEveryVersion) {
    auto frame =
        std::make_unique<CTextFrame>(floatBBox(0, 0, 100, 50), "MH", "Fixture Sans", 2, 1, 0, 0.1f,
                                     0.5f, 0.9f, 0, 1, 1.5f, 2, 0, 1, 1, 2, 3, 4, 2, 1);
    frame->m_path.colour = 0x0000FF;
    frame->m_path.pathFlags = 0x10;
    const Bytes stored = StoreObj([&](CArchive& ar) { frame->Serialize(ar); });
    ByteWriter head;
    SignObjPart(head, frame->m_nSerial);
    const Bytes framePath = StoreObj([&](CArchive& ar) { ar << frame->m_framePath; });
    ByteWriter v1;
    v1.append(head.bytes).u16(4).u32(0x0000FF).u16(1).u16(0x10);        // colour, layer, flags
    v1.f32(1).f32(0).f32(0).f32(1).f32(0).f32(0);                       // the matrix
    v1.f32(0).f32(100).f32(0).f32(50);                                  // the box
    v1.u8(2).text("MH").u8(12).text("Fixture Sans").u32(2).u8(1).u8(0); // fit, kerning
    v1.f32(0.1f).f32(0.5f).f32(0.9f).append(framePath).u8(0).u8(1);
    const std::size_t v1Size = v1.bytes.size();
    ByteWriter v3(v1);
    v3.f32(1.5f).f32(1).f32(2).f32(3).f32(4).u8(2).u8(0).u8(1).u8(2);
    const Bytes expected = ByteWriter(v3).u8(1).bytes;
    EXPECT_EQ(expected, stored);

    struct Case {
        WORD version;
        std::size_t size;
        float lineSpacing, marginTop;
        BYTE placeMode, weld, charAlignment, autoShift;
    };
    const Case cases[] = {
        {1, v1Size, 1.2f, 0, 1, 0, 1, 0},
        {2, v3.bytes.size() - 1, 1.5f, 2, 0, 1, 1, 0},
        {3, v3.bytes.size(), 1.5f, 2, 0, 1, 2, 0},
        {4, expected.size(), 1.5f, 2, 0, 1, 2, 1},
    };
    const std::size_t versionAt = head.bytes.size();
    for (const Case& c : cases) {
        Bytes old(expected.begin(), expected.begin() + std::ptrdiff_t(c.size));
        old[versionAt] = BYTE(c.version);
        CTextFrame loaded;
        LoadObj(loaded, old);
        EXPECT_EQ(c.lineSpacing, loaded.m_fLineSpacing) << c.version;
        EXPECT_EQ(c.marginTop, loaded.m_fMarginTop) << c.version;
        EXPECT_EQ(c.placeMode, loaded.m_nPlaceMode) << c.version;
        EXPECT_EQ(c.weld, loaded.m_bWeld) << c.version;
        EXPECT_EQ(c.charAlignment, loaded.m_nCharAlignment) << c.version;
        EXPECT_EQ(c.autoShift, loaded.m_bAutoBaselineShift) << c.version;
        EXPECT_STREQ("MH", loaded.m_text);
        EXPECT_GT(loaded.m_path.subPaths.Filled(), 0) << c.version; // laid out
    }
    Bytes newer = expected;
    newer[versionAt] = 5;
    CTextFrame refused;
    EXPECT_EQ(CArchiveException::badSchema, ArchiveCause([&] { LoadObj(refused, newer); }));
    ExpectEveryCutEndsTheFile<CTextFrame>(expected);

    CTextFrame reloaded;
    {
        KeepSerials keep;
        LoadObj(reloaded, stored);
    }
    EXPECT_EQ(stored, StoreObj([&](CArchive& ar) { reloaded.Serialize(ar); }));
    // The undo snapshot carries the same fields and lays nothing out.
    const Bytes state = StoreState(*frame);
    CTextFrame restored;
    LoadState(restored, state);
    EXPECT_EQ(frame->m_path.subPaths.Filled(), restored.m_path.subPaths.Filled());
    EXPECT_EQ(frame->m_fMarginBottom, restored.m_fMarginBottom);
    EXPECT_EQ(frame->StoreStamp(), restored.StoreStamp());
    restored.m_bWeld = 0;
    EXPECT_NE(frame->StoreStamp(), restored.StoreStamp());
}

TEST_F(TextFrameTest, CopiesAndEditing) {
    auto frame = MakeFrame(FrameSetup());
    frame->Transform(floatTMatrix(0, 1, -1, 0, 0, 0));
    std::unique_ptr<CTextFrame> copy(static_cast<CTextFrame*>(frame->Duplicate()));
    EXPECT_EQ(frame->m_frameMatrix, copy->m_frameMatrix);
    EXPECT_EQ(frame->m_path.subPaths.Filled(), copy->m_path.subPaths.Filled());
    ExpectBox(*frame->GetBBox(), *copy->GetBBox(), 0);
    EXPECT_STREQ("MH", copy->m_text);
    std::unique_ptr<CSignObj> editable(frame->GetEditablePath());
    EXPECT_STREQ("CPathObj", editable->GetRuntimeClass()->m_lpszClassName);
    EXPECT_EQ(frame->m_path.subPaths.Filled(), editable->GetPath()->subPaths.Filled());

    EXPECT_EQ(std::vector<WPARAM>({ID_TEXT_TOOL, ID_TOOL_PROPERTY_CHANGE}),
              CommandsPostedByEdit(*frame));
}

} // namespace
