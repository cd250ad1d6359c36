#include <doc/SignClipboard.h>
#include <mfc/CMetaFileDC.h>
#include <mfc/COlePasteSpecialDialog.h>
#include <model/CUndoStep.h>
#include <testing/DialogDriver.h>
#include <win32/clipboard.h>
#include <win32/module.h>

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
        SignDocSettings::EnableWMF = SignDocSettings::EnableEMF = TRUE;
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

int CollectWmfRecord(HDC, HANDLETABLE*, METARECORD* record, int, LPARAM data) {
    reinterpret_cast<std::vector<WORD>*>(data)->push_back(record->rdFunction);
    return 1;
}

// A selection 640 mm wide: both metafiles at half scale, holding the drawing.
TEST_F(SignDocClipboardTest, MetafilesOfALargeSelectionAtHalfScale) {
    SignDocSettings::EnableWPF = SignDocSettings::EnableDIB = FALSE;
    CSignDoc doc;
    doc.OnNewDocument();
    doc.m_sheet.Add(Square(0, 0, 640, RGB(255, 0, 0)));
    doc.m_sheet.GetObj(0)->Select();
    doc.RecalcBounds();
    ASSERT_TRUE(CopySelection(doc, nullptr));
    ASSERT_TRUE(::OpenClipboard(nullptr));

    HANDLE mem = ::GetClipboardData(CF_METAFILEPICT);
    ASSERT_NE(mem, nullptr);
    const auto* pict = static_cast<const METAFILEPICT*>(::GlobalLock(mem));
    ASSERT_NE(pict, nullptr);
    EXPECT_EQ(pict->mm, MM_ANISOTROPIC);
    EXPECT_EQ(pict->xExt, 32000);
    EXPECT_EQ(pict->yExt, 32000);
    std::vector<WORD> wmfRecords;
    EnumMetaFile(nullptr, pict->hMF, CollectWmfRecord, LPARAM(&wmfRecords));
    ::GlobalUnlock(mem);
    const bool polygon = std::any_of(wmfRecords.begin(), wmfRecords.end(), [](WORD f) {
        return f == META_POLYGON || f == META_POLYPOLYGON;
    });
    EXPECT_TRUE(polygon) << wmfRecords.size() << " records";

    auto emf = static_cast<HENHMETAFILE>(::GetClipboardData(CF_ENHMETAFILE));
    ASSERT_NE(emf, nullptr);
    ENHMETAHEADER h{};
    ASSERT_NE(GetEnhMetaFileHeader(emf, sizeof h, &h), 0u);
    ::CloseClipboard();
    EXPECT_EQ(h.rclFrame.right - h.rclFrame.left, 32000);
    EXPECT_EQ(h.rclFrame.bottom - h.rclFrame.top, 32000);
    // 320 mm of the reference device; the clipped fill rectangle reaches 100 of the 32000
    // frame units past the square.
    const double px = 320.0 * h.szlDevice.cx / h.szlMillimeters.cx, margin = px * 100 / 32000;
    EXPECT_NEAR(h.rclBounds.left, -margin, 1);
    EXPECT_NEAR(h.rclBounds.right, px + margin, 2);
    EXPECT_NEAR(h.rclBounds.bottom - h.rclBounds.top, h.rclBounds.right - h.rclBounds.left, 2);
}

TEST_F(SignDocClipboardTest, MetafileSwitchesOff) {
    SignDocSettings::EnableWMF = SignDocSettings::EnableEMF = FALSE;
    CSignDoc doc;
    Start(doc);
    const bool copied = CopySelection(doc, nullptr);
    SignDocSettings::EnableWMF = SignDocSettings::EnableEMF = TRUE;
    ASSERT_TRUE(copied);
    EXPECT_FALSE(::IsClipboardFormatAvailable(CF_METAFILEPICT));
    EXPECT_FALSE(::IsClipboardFormatAvailable(CF_ENHMETAFILE));
    ASSERT_TRUE(CopySelection(doc, nullptr));
    EXPECT_TRUE(::IsClipboardFormatAvailable(CF_METAFILEPICT));
    EXPECT_TRUE(::IsClipboardFormatAvailable(CF_ENHMETAFILE));
}

// Frames of 100 units a millimetre under the cap, mapped onto the device, described as ours.
TEST(ObjectsMetafile, FrameScaleAndDescription) {
    const struct {
        floatBBox box;
        float scale;
        LONG width, height;
    } cases[] = {
        {floatBBox(0, 0, 300, 100), 1.0f, 30000, 10000},
        {floatBBox(50, -20, 1050, 230), 0.32f, 32000, 8000},
    };
    for (const auto& c : cases) {
        CMetaFileDC dc;
        float s = 1.0f;
        ASSERT_EQ(CreateObjectsMetafile(&dc, nullptr, nullptr, &c.box, &s), 1);
        EXPECT_FLOAT_EQ(s, c.scale);
        // A rectangle over the whole frame reaches the mapped device extent.
        dc.Rectangle(0, 0, int(c.width), int(c.height));
        HENHMETAFILE emf = dc.CloseEnhanced();
        ASSERT_NE(emf, nullptr);
        ENHMETAHEADER h{};
        ASSERT_NE(GetEnhMetaFileHeader(emf, sizeof h, &h), 0u);
        char text[64] = {};
        const UINT n = GetEnhMetaFileDescriptionA(emf, sizeof text, text);
        DeleteEnhMetaFile(emf);
        EXPECT_EQ(h.rclFrame.right - h.rclFrame.left, c.width);
        EXPECT_EQ(h.rclFrame.bottom - h.rclFrame.top, c.height);
        EXPECT_EQ(n, 19u);
        EXPECT_STREQ(text, "HasClippedContour");
        const double w = double(c.box.right) - c.box.left;
        EXPECT_NEAR(h.rclBounds.right, w * c.scale * h.szlDevice.cx / h.szlMillimeters.cx, 2);
    }
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

namespace {

TEST_F(SignDocClipboardTest, CopiedBitmapTakesTheChosenDepth) {
    const struct {
        int index;
        int bits;
    } cases[] = {{0, 1}, {1, 4}, {2, 8}, {3, 24}, {7, 24}, {-1, 24}};
    CSignDoc doc;
    Start(doc);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.index);
        SignDocSettings::ColourDepth = c.index;
        ASSERT_TRUE(CopySelection(doc, nullptr));
        ASSERT_TRUE(::OpenClipboard(nullptr));
        HANDLE mem = ::GetClipboardData(CF_DIB);
        ASSERT_NE(mem, nullptr);
        const auto* header = static_cast<const BITMAPINFOHEADER*>(::GlobalLock(mem));
        ASSERT_NE(header, nullptr);
        EXPECT_EQ(header->biBitCount, c.bits);
        // 50 mm at 300 dpi.
        EXPECT_EQ(header->biWidth, 591);
        ::GlobalUnlock(mem);
        ::CloseClipboard();
    }
    SignDocSettings::ColourDepth = 2;
}

class PasteSpecialTest : public SignDocClipboardTest {
protected:
    void SetUp() override {
        SignDocClipboardTest::SetUp();
        module = ::LoadLibraryA(SIGNDESK_RES);
        ASSERT_NE(module, nullptr);
        previous = AfxGetResourceHandle();
        AfxSetResourceHandle(module);
    }
    void TearDown() override {
        AfxSetResourceHandle(previous);
        if (module) ::FreeLibrary(module);
        SignDocClipboardTest::TearDown();
    }
    HMODULE module = nullptr;
    HINSTANCE previous = nullptr;
};

TEST_F(PasteSpecialTest, ChoosingTextPathsIgnoresTheOwnFormat) {
    CSignDoc doc;
    Start(doc);
    ASSERT_TRUE(CopySelection(doc, nullptr));
    std::vector<std::string> listed;
    SetDialogScriptForClass("COlePasteSpecialDialog", [&](HWND hwnd) {
        const int n = int(::SendDlgItemMessageA(hwnd, SD_PS_LIST, LB_GETCOUNT, 0, 0));
        for (int i = 0; i < n; ++i) {
            char text[128] = {};
            ::SendDlgItemMessageA(hwnd, SD_PS_LIST, LB_GETTEXT, WPARAM(i), LPARAM(text));
            listed.push_back(text);
        }
        ASSERT_TRUE(sdtest::Select(hwnd, SD_PS_LIST, "Text paths"));
        sdtest::Click(hwnd, IDOK);
    });
    ASSERT_TRUE(PasteSpecial(doc));
    ASSERT_GE(listed.size(), 4u);
    EXPECT_EQ(listed[0], "Sign objects");
    EXPECT_EQ(listed[1], "Text paths");
    EXPECT_EQ(listed.back(), "Enhanced metafile");
    ASSERT_EQ(doc.m_sheet.GetSize(), 4);
    EXPECT_EQ(doc.m_sheet.GetObj(3)->m_pFill, nullptr); // text paths carry no fills

    // Cancelled: nothing pasted, no step.
    const int steps = doc.GetStepCount();
    SetDialogScriptForClass("COlePasteSpecialDialog",
                            [&](HWND hwnd) { sdtest::Click(hwnd, IDCANCEL); });
    EXPECT_FALSE(PasteSpecial(doc));
    EXPECT_EQ(doc.m_sheet.GetSize(), 4);
    EXPECT_EQ(doc.GetStepCount(), steps);
}

} // namespace
