#include <doc/SignClipboard.h>
#include <model/CUndoStep.h>
#include <win32/clipboard.h>

#include "SignDocTestSupport.h"

namespace {

class SignDocClipboardTest : public SignDocTest {
protected:
    void SetUp() override {
        SignDocTest::SetUp();
        SignDocSettings::EnableWPF = SignDocSettings::EnableDIB = TRUE;
        SignDocSettings::DPI = 300;
    }
    void TearDown() override {
        if (::OpenClipboard(nullptr)) {
            ::EmptyClipboard();
            ::CloseClipboard();
        }
        SignDocSettings::EnableWPF = SignDocSettings::EnableDIB = TRUE;
        SignDocTest::TearDown();
    }
    // The design with its first object selected and the baseline taken.
    void Start(CSignDoc& doc) {
        doc.OnNewDocument();
        BuildDesign(doc);
        doc.m_sheet.GetObj(0)->Select();
        doc.RecalcBounds();
        doc.RecordStep("Design");
    }
};

TEST_F(SignDocClipboardTest, PasteInPlaceDuplicatesAsOneStep) {
    CSignDoc doc;
    Start(doc);
    CSignObj* original = doc.m_sheet.GetObj(0);
    ASSERT_TRUE(CopySelection(doc, nullptr));
    EXPECT_TRUE(CanPaste());
    EXPECT_TRUE(::IsClipboardFormatAvailable(CF_DIB));
    const int steps = doc.GetStepCount();
    ASSERT_TRUE(PasteFormat(doc, 0));
    ASSERT_EQ(doc.m_sheet.GetSize(), 4);
    auto* pasted = static_cast<CPathObj*>(doc.m_sheet.GetObj(3));
    EXPECT_TRUE(pasted->m_bSelected);
    EXPECT_FALSE(original->m_bSelected);
    EXPECT_EQ(doc.m_sheet.m_nSelected, 1u);
    EXPECT_NE(pasted->m_nSerial, original->m_nSerial);
    EXPECT_EQ(std::memcmp(pasted->GetBBox(), original->GetBBox(), sizeof(floatBBox)), 0);
    EXPECT_NE(pasted->m_pFill, nullptr); // the own format keeps the fill
    ASSERT_EQ(doc.GetStepCount(), steps + 1);
    EXPECT_STREQ(LPCSTR(doc.GetStep(steps)->m_strName), "Paste");
    doc.Undo();
    EXPECT_EQ(doc.m_sheet.GetSize(), 3);
}

TEST_F(SignDocClipboardTest, SwitchesOffLeaveOnlyTheOwnFormat) {
    SignDocSettings::EnableWPF = SignDocSettings::EnableDIB = FALSE;
    CSignDoc doc;
    Start(doc);
    ASSERT_TRUE(CopySelection(doc, nullptr));
    EXPECT_TRUE(::IsClipboardFormatAvailable(SignClipboardFormats::Native()));
    EXPECT_FALSE(::IsClipboardFormatAvailable(SignClipboardFormats::Wpf()));
    EXPECT_FALSE(::IsClipboardFormatAvailable(CF_DIB));
}

TEST_F(SignDocClipboardTest, PasteSpecialWpfIgnoresTheOwnFormat) {
    CSignDoc doc;
    Start(doc);
    ASSERT_TRUE(CopySelection(doc, nullptr));
    ASSERT_TRUE(PasteFormat(doc, SignClipboardFormats::Wpf()));
    ASSERT_EQ(doc.m_sheet.GetSize(), 4);
    CSignObj* pasted = doc.m_sheet.GetObj(3);
    EXPECT_TRUE(pasted->m_bSelected);
    EXPECT_EQ(pasted->m_pFill, nullptr); // text paths carry no fills
    EXPECT_NEAR(pasted->GetBBox()->left, 10, 1e-3);
    EXPECT_NEAR(pasted->GetBBox()->right, 60, 1e-3);
}

TEST_F(SignDocClipboardTest, CutRemovesTheSelectionAsOneStep) {
    CSignDoc doc;
    Start(doc);
    const int steps = doc.GetStepCount();
    CutSelection(doc, nullptr);
    EXPECT_EQ(doc.m_sheet.GetSize(), 2);
    ASSERT_EQ(doc.GetStepCount(), steps + 1);
    EXPECT_STREQ(LPCSTR(doc.GetStep(steps)->m_strName), "Cut");
    EXPECT_TRUE(PasteFormat(doc, 0));
    EXPECT_EQ(doc.m_sheet.GetSize(), 3);
}

TEST_F(SignDocClipboardTest, NothingToPasteChangesNothing) {
    CSignDoc doc;
    Start(doc);
    const int steps = doc.GetStepCount();
    EXPECT_FALSE(CanPaste());
    EXPECT_FALSE(PasteFormat(doc, 0));
    EXPECT_FALSE(PasteFormat(doc, CF_ENHMETAFILE));
    EXPECT_EQ(doc.m_sheet.GetSize(), 3);
    EXPECT_EQ(doc.GetStepCount(), steps);
}

TEST(ClipboardSizes, BitmapAndMetafileScales) {
    const struct {
        floatBBox box;
        int dpi, width, height;
    } bitmaps[] = {
        {floatBBox(0, 0, 5000, 1000), 300, 3000, 600}, // 5 m wide: the larger side capped
        {floatBBox(0, 0, 25.4f, 12.7f), 300, 300, 150},
        {floatBBox(0, 0, 50, 0), 300, 591, 1}, // a side of zero length: one pixel
        {floatBBox(0, 0, 0, 0), 300, 1, 1},
    };
    for (const auto& c : bitmaps) {
        int w = 0, h = 0;
        CopyBitmapSize(c.box, c.dpi, w, h);
        EXPECT_EQ(w, c.width);
        EXPECT_EQ(h, c.height);
    }
    const floatBBox wide(0, 0, 640, 10), edge(0, 0, 100, 320), tall(0, 0, 10, 800);
    EXPECT_FLOAT_EQ(MetafileScaleFactor(&wide), 0.5f);
    EXPECT_FLOAT_EQ(MetafileScaleFactor(&edge), 1.0f);
    EXPECT_FLOAT_EQ(MetafileScaleFactor(&tall), 0.4f);
}

} // namespace
