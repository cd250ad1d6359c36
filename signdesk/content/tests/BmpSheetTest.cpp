// The bitmap sheet worked through its pages: previews, Apply with undo, and the edge cases of
// each page.
#include <gtest/gtest.h>

#include <content/CBitmapObj.h>
#include <content/CBmpSheet.h>
#include <mfc/CArchive.h>
#include <mfc/CWinApp.h>
#include <model/CSign.h>
#include <model/CUndoStep.h>
#include <model/UndoList.h>
#include <testing/DialogDriver.h>
#include <testing/PlatformTest.h>
#include <win32/controls.h>
#include <win32/module.h>

namespace {

// The view's side: a design with undo.
class SheetDoc : public UndoList, public BmpSheetHost {
public:
    CSign& GetUndoSign() override { return sign; }
    void SerializeUndoSettings(CArchive&) override {}
    DWORD GetUndoStateHash() override { return 0; }
    void InvalidateUndoBox(const floatBBox*) override {}
    void SetUndoModified() override {}
    CSign& GetSheetSign() override { return sign; }
    UndoList& GetSheetUndo() override { return *this; }
    void UpdateSelectedObjects() override { ++redraws; }
    CSign sign;
    int redraws = 0;
};

HGLOBAL Gradient(int w, int h, int bits) {
    CDib dib;
    EXPECT_TRUE(dib.Create(w, h, bits));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            unsigned v = bits == 24 ? unsigned((x * 255 / w) << 16 | (y * 255 / h) << 8 | 40)
                                    : unsigned(x + y) % (1u << bits);
            dib.SetPixel(x, y, v);
        }
    if (bits <= 8)
        for (int i = 0; i < (1 << bits); ++i)
            dib.GetColorTab()[i] = RGBQUAD{BYTE(i * 7), BYTE(200 - i), BYTE(i * 3), 0};
    return static_cast<HGLOBAL>(dib.ChangeToDIB());
}

std::vector<BYTE> DibBytes(const CDib& dib) {
    const BYTE* p = reinterpret_cast<const BYTE*>(dib.GetInfo());
    return std::vector<BYTE>(p, p + 40 + dib.GetPaletteSize() + dib.GetTotalBytes());
}

// The colours, row by row (padding aside).
std::vector<BYTE> Colours(CDib& dib) {
    std::vector<BYTE> out;
    for (int y = 0; y < dib.GetHeight(); ++y)
        for (int x = 0; x < dib.GetWidth(); ++x) {
            BYTE c[3];
            dib.GetRGB(x, y, c);
            out.insert(out.end(), c, c + 3);
        }
    return out;
}

class BmpSheetTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        module = ::LoadLibraryA(SIGNDESK_RES);
        ASSERT_NE(module, nullptr);
        previous = AfxGetResourceHandle();
        AfxSetResourceHandle(module);
    }
    void TearDown() override {
        AfxSetResourceHandle(previous);
        if (module) ::FreeLibrary(module);
        PlatformTest::TearDown();
    }
    // A design of a selected bitmap object and an unselected duplicate of it.
    CBitmapObj* Design(HGLOBAL picture) {
        auto* obj = new CBitmapObj(picture, nullptr);
        doc.sign.Add(obj);
        doc.sign.Add(obj->Duplicate());
        obj->m_bSelected = 1;
        doc.RecordStep("start");
        return obj;
    }
    HWND Page(CBmpSheet& sheet, int index) {
        EXPECT_TRUE(sheet.SetActivePage(index));
        return sheet.GetPage(index)->m_hWnd;
    }
    CWinApp app{"bitmap sheet"};
    HMODULE module = nullptr;
    HINSTANCE previous = nullptr;
    SheetDoc doc;
};

} // namespace

TEST_F(BmpSheetTest, EffectsPreviewApplyAndUndo) {
    CBitmapObj* obj = Design(Gradient(40, 20, 24));
    auto* other = static_cast<CBitmapObj*>(doc.sign.GetAt(1));
    CSharedBmp* original = obj->bitmap;
    const std::vector<BYTE> pixels = DibBytes(original->image);
    CBmpSheet sheet(&doc);
    ASSERT_TRUE(sheet.Create(nullptr));
    sheet.UpdateFromSelection();
    EXPECT_EQ(sheet.target, original);
    HWND page = Page(sheet, 0);

    // The default of a neutral row leaves the preview as its source.
    EXPECT_EQ(sdtest::TextOf(page, IDC_BMP_RANGE), "Value: -100...100 steps");
    ASSERT_FALSE(sheet.previewSource.IsEmpty());
    EXPECT_EQ(Colours(sheet.previewResult), Colours(sheet.previewSource));
    // A row without a range: no text and a disabled slider.
    sdtest::Select(page, IDC_BMP_EFFECTS, "Invert");
    EXPECT_EQ(sdtest::TextOf(page, IDC_BMP_RANGE), "");
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(page, IDC_BMP_SLIDER)));
    // Brightness moved, then another row: its own default again, not the old position.
    sdtest::Select(page, IDC_BMP_EFFECTS, "Brightness");
    ::SendDlgItemMessage(page, IDC_BMP_SLIDER, TBM_SETPOS, TRUE, 50);
    ::SendMessage(page, WM_HSCROLL, SB_THUMBPOSITION, LPARAM(::GetDlgItem(page, IDC_BMP_SLIDER)));
    EXPECT_EQ(sheet.effectsPage.value, 50);
    EXPECT_NE(Colours(sheet.previewResult), Colours(sheet.previewSource));
    sdtest::Select(page, IDC_BMP_EFFECTS, "Contrast");
    EXPECT_EQ(sheet.effectsPage.value, 0);
    EXPECT_EQ(Colours(sheet.previewResult), Colours(sheet.previewSource));

    // Grey: red, green and blue equal in the preview; two Applies are two steps.
    sdtest::Select(page, IDC_BMP_EFFECTS, "Grey");
    BYTE c[3];
    sheet.previewResult.GetRGB(3, 3, c);
    EXPECT_TRUE(c[0] == c[1] && c[1] == c[2]);
    const int steps = doc.GetStepCount();
    sdtest::Click(page, IDC_BMP_APPLY);
    sdtest::Click(page, IDC_BMP_APPLY);
    ASSERT_EQ(doc.GetStepCount(), steps + 2);
    EXPECT_STREQ(doc.GetStep(doc.GetStepCount() - 1)->m_strName, "Bitmap effect");
    EXPECT_STREQ(doc.GetStep(doc.GetStepCount() - 2)->m_strName, "Bitmap effect");
    EXPECT_NE(obj->bitmap, original);
    obj->bitmap->image.GetRGB(10, 10, c);
    EXPECT_TRUE(c[0] == c[1] && c[1] == c[2]);
    // The duplicate keeps the picture it shared.
    EXPECT_EQ(other->bitmap, original);
    EXPECT_EQ(DibBytes(original->image), pixels);
    // Undo twice: the object has its first picture again.
    doc.Undo();
    doc.Undo();
    EXPECT_EQ(obj->bitmap, original);
    // Closing the sheet (its close box hides it) frees both previews; so does destroying it.
    sdtest::Select(page, IDC_BMP_EFFECTS, "Invert");
    ASSERT_FALSE(sheet.previewSource.IsEmpty());
    ASSERT_FALSE(sheet.previewResult.IsEmpty());
    ::SendMessage(sheet.m_hWnd, WM_CLOSE, 0, 0);
    PumpMessages();
    EXPECT_FALSE(::IsWindowVisible(sheet.m_hWnd));
    EXPECT_TRUE(sheet.previewSource.IsEmpty());
    EXPECT_TRUE(sheet.previewResult.IsEmpty());
    sheet.ShowWindow(SW_SHOW);
    sheet.UpdateFromSelection();
    sheet.PreparePreview(RECT{0, 0, 40, 40});
    ASSERT_FALSE(sheet.previewSource.IsEmpty());
    sheet.DestroyWindow();
    EXPECT_TRUE(sheet.previewSource.IsEmpty());
}

TEST_F(BmpSheetTest, ColourDepthPage) {
    Design(Gradient(64, 8, 24));
    CBmpSheet sheet(&doc);
    ASSERT_TRUE(sheet.Create(nullptr));
    sheet.UpdateFromSelection();
    HWND page = Page(sheet, 1);
    EXPECT_EQ(::IsDlgButtonChecked(page, IDC_BMP_DEPTH_24), 1u);
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(page, IDC_BMP_DITHER_NONE)));
    sdtest::Click(page, IDC_BMP_DEPTH_4);
    EXPECT_EQ(sdtest::TextOf(page, IDC_BMP_COLORS), "16");
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(page, IDC_BMP_DITHER_NONE)));
    ::SetDlgItemText(page, IDC_BMP_COLORS, "300");
    EXPECT_EQ(sdtest::TextOf(page, IDC_BMP_COLORS), "16");
    EXPECT_EQ(sheet.colorResPage.colorCount, 16);
    EXPECT_EQ(sheet.previewResult.GetBitsPerPixel(), 4);
    sdtest::Type(page, IDC_BMP_COLORS, "1"); // fewer than 2 count as 2
    sdtest::Click(page, IDC_BMP_APPLY);
    EXPECT_EQ(sheet.target->image.GetBitsPerPixel(), 4);
    sheet.DestroyWindow();
}

TEST_F(BmpSheetTest, ResizePage) {
    CBitmapObj* obj = Design(Gradient(200, 100, 1));
    const RGBQUAD one = obj->bitmap->image.GetColorTab()[1];
    CBmpSheet sheet(&doc);
    ASSERT_TRUE(sheet.Create(nullptr));
    sheet.UpdateFromSelection();
    HWND page = Page(sheet, 2);
    EXPECT_EQ(sdtest::TextOf(page, IDC_BMP_WIDTH), "200");
    EXPECT_EQ(sdtest::TextOf(page, IDC_BMP_BITS_TEXT), "1");
    sdtest::Type(page, IDC_BMP_WIDTH, "50");
    EXPECT_EQ(sdtest::TextOf(page, IDC_BMP_HEIGHT), "25");
    EXPECT_EQ(sdtest::TextOf(page, IDC_BMP_WIDTH_PERCENT), "25");
    EXPECT_EQ(sdtest::TextOf(page, IDC_BMP_HEIGHT_PERCENT), "25");
    EXPECT_EQ(sdtest::TextOf(page, IDC_BMP_MEMORY_TEXT), "200"); // two words a row, 25 rows
    const int steps = doc.GetStepCount();
    sdtest::Click(page, IDC_BMP_APPLY);
    EXPECT_EQ(doc.GetStepCount(), steps + 1);
    EXPECT_EQ(obj->bitmap->image.GetWidth(), 50);
    EXPECT_EQ(obj->bitmap->image.GetHeight(), 25);
    EXPECT_EQ(obj->bitmap->image.GetBitsPerPixel(), 1);
    EXPECT_EQ(std::memcmp(&obj->bitmap->image.GetColorTab()[1], &one, sizeof one), 0);
    // A size of nothing keeps a pixel.
    sdtest::Type(page, IDC_BMP_WIDTH, "0");
    sdtest::Click(page, IDC_BMP_APPLY);
    EXPECT_EQ(obj->bitmap->image.GetWidth(), 1);
    EXPECT_EQ(obj->bitmap->image.GetHeight(), 1);
    sheet.DestroyWindow();
}

TEST_F(BmpSheetTest, NoSingleBitmapDisablesThePages) {
    CBitmapObj* obj = Design(Gradient(10, 10, 24));
    obj->m_bSelected = 0;
    CBmpSheet sheet(&doc);
    ASSERT_TRUE(sheet.Create(nullptr));
    sheet.UpdateFromSelection();
    EXPECT_EQ(sheet.target, nullptr);
    HWND page = Page(sheet, 0);
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(page, IDC_BMP_APPLY)));
    sheet.DestroyWindow();
}

TEST_F(BmpSheetTest, SliderDialog) {
    CSliderValueDlg dialog(30);
    SetDialogScript(IDD_SLIDER_VALUE, [](HWND hwnd) {
        EXPECT_EQ(::SendDlgItemMessage(hwnd, IDC_BMP_SLIDER, TBM_GETPOS, 0, 0), 30);
        ::SendDlgItemMessage(hwnd, IDC_BMP_SLIDER, TBM_SETPOS, TRUE, 75);
        sdtest::Click(hwnd, IDOK);
    });
    ASSERT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.value, 75);
}
