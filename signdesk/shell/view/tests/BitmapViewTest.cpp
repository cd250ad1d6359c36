// Bitmap objects through the view: the bitmap sheet following the document (undo with the
// sheet open) and pictures pasted from the clipboard.

#include <algorithm>

#include <content/CBitmapObj.h>
#include <content/CBmpSheet.h>
#include <mfc/CCmdUI.h>
#include <model/CUndoStep.h>
#include <testing/DialogDriver.h>
#include <win32/UserTesting.h>
#include <win32/clipboard.h>
#include <win32/controls.h>

#include "SignViewTestSupport.h"
#include "view/BitmapSheetWindow.h"
#include "view/SignViewHooks.h"
#include "view/SignViewIds.h"

namespace {

using namespace SignViewIds;

// A 24-bit picture whose red and green differ everywhere.
void MakeColourfulPicture(CDib& dib, int w, int h) {
    ASSERT_TRUE(dib.Create(w, h, 24));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            unsigned v = unsigned((200 - x) << 16 | (20 + y) << 8 | 90);
            dib.SetPixel(x, y, v);
        }
}

class BitmapViewTest : public SignViewTest {
protected:
    void SetUp() override {
        SignViewTest::SetUp();
        ViewHooks() = SignViewHooks{};
        ViewHooks().bitmapSheet = MakeBitmapSheetWindow;
    }
    void TearDown() override {
        if (::OpenClipboard(nullptr)) {
            ::EmptyClipboard();
            ::CloseClipboard();
        }
        ViewHooks() = SignViewHooks{};
        SignViewTest::TearDown();
    }
    void Command(UINT id) {
        frame->SendMessage(WM_COMMAND, id, 0);
        PumpMessages();
    }
    bool Enabled(UINT id) {
        CTestCmdUI ui;
        ui.m_nID = id;
        view->OnCmdMsg(id, CN_UPDATE_COMMAND_UI, &ui, nullptr);
        return ui.m_bEnabled;
    }
    static void Offer(UINT format, HANDLE data) {
        ASSERT_TRUE(::OpenClipboard(nullptr));
        ::EmptyClipboard();
        ::SetClipboardData(format, data);
        ::CloseClipboard();
    }
    // The open sheet's window object.
    CBmpSheet* Sheet() {
        CBmpSheet* found = nullptr;
        for (HWND w = ::GetWindow(::GetDesktopWindow(), GW_CHILD); w != nullptr && !found;
             w = ::GetWindow(w, GW_HWNDNEXT))
            found = dynamic_cast<CBmpSheet*>(CWnd::FromHandlePermanent(w));
        return found;
    }
    std::vector<std::string> StepNames() {
        std::vector<std::string> out;
        for (int i = 0; i < doc->GetStepCount(); ++i)
            out.push_back(LPCSTR(doc->GetStep(i)->m_strName));
        return out;
    }
};

} // namespace

TEST_F(BitmapViewTest, UndoWithTheSheetOpenGivesItTheRestoredPicture) {
    StartApp();
    CDib picture;
    MakeColourfulPicture(picture, 60, 30);
    auto* obj = new CBitmapObj(static_cast<HGLOBAL>(picture.Copy()), nullptr);
    doc->AddObject(obj, TRUE, -1);
    doc->RecordStep("Add");
    Command(BitmapSheet);
    CBmpSheet* sheet = Sheet();
    ASSERT_NE(sheet, nullptr);
    ASSERT_EQ(sheet->target, obj->bitmap);

    // Grey applied: the object holds a fresh clone that only it references.
    ASSERT_TRUE(sheet->SetActivePage(0));
    HWND page = sheet->GetPage(0)->m_hWnd;
    sdtest::Select(page, IDC_BMP_EFFECTS, "Grey");
    sdtest::Click(page, IDC_BMP_APPLY);
    ASSERT_EQ(StepNames().back(), "Bitmap effect");
    BYTE c[3];
    obj->bitmap->image.GetRGB(4, 4, c);
    ASSERT_TRUE(c[0] == c[1] && c[1] == c[2]);

    // Undo frees that clone; the sheet is told before any message is pumped, so turning to
    // the pages that read the picture works on the restored one.
    doc->Undo();
    CBitmapObj* restored = dynamic_cast<CBitmapObj*>(doc->m_sheet.GetObj(0));
    ASSERT_NE(restored, nullptr);
    EXPECT_EQ(sheet->target, restored->bitmap);
    ASSERT_TRUE(sheet->SetActivePage(1));
    ASSERT_TRUE(sheet->SetActivePage(2));
    EXPECT_EQ(sheet->resizePage.widthPixels, 60u);
    sheet->PreparePreview(RECT{0, 0, 60, 30});
    ASSERT_FALSE(sheet->previewSource.IsEmpty());
    sheet->previewSource.GetRGB(10, 10, c);
    EXPECT_NE(c[1], c[2]); // coloured again, not the grey of the undone step

    // Deleting the object empties the sheet at once.
    doc->DeleteSelection();
    EXPECT_EQ(sheet->target, nullptr);
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(sheet->GetPage(2)->m_hWnd, IDC_BMP_APPLY)));
    PumpMessages();
    EXPECT_EQ(sheet->target, nullptr);
}

TEST_F(BitmapViewTest, SheetFollowsTheSelection) {
    StartApp();
    CPathObj* square = AddSquare(100, 100, 10, RGB(0, 0, 0));
    CDib picture;
    MakeColourfulPicture(picture, 20, 10);
    auto* obj = new CBitmapObj(static_cast<HGLOBAL>(picture.Copy()), nullptr);
    doc->AddObject(obj, TRUE, -1);
    Command(BitmapSheet);
    CBmpSheet* sheet = Sheet();
    ASSERT_NE(sheet, nullptr);
    ASSERT_EQ(sheet->target, obj->bitmap);

    // As a tool changes the selection: the old one redrawn, the new one selected and redrawn.
    auto select = [&](std::initializer_list<CSignObj*> objects) {
        doc->UpdateSelectedObjects();
        doc->m_sheet.UnselectAll();
        for (CSignObj* o : objects)
            o->Select();
        doc->m_sheet.UpdateSelection();
        doc->UpdateSelectedObjects();
        PumpMessages();
    };
    select({square});
    EXPECT_EQ(sheet->target, nullptr);
    select({obj});
    EXPECT_EQ(sheet->target, obj->bitmap);
    select({obj, square}); // two objects: no single bitmap
    EXPECT_EQ(sheet->target, nullptr);
    select({obj});
    EXPECT_EQ(sheet->target, obj->bitmap);

    // Closed, the sheet is not asked.
    view->bitmapSheet->Destroy();
    select({square});
    EXPECT_EQ(sheet->target, obj->bitmap);
}

TEST_F(BitmapViewTest, PastedPictureBecomesOneSelectedBitmapObject) {
    StartApp();
    const int before = doc->GetStepCount();
    EXPECT_FALSE(Enabled(EditPaste));

    CDib picture;
    MakeColourfulPicture(picture, 150, 75);
    Offer(CF_DIB, picture.Copy());
    EXPECT_TRUE(Enabled(EditPaste));
    Command(EditPaste);
    ASSERT_EQ(doc->m_sheet.GetSize(), 1);
    auto* pasted = dynamic_cast<CBitmapObj*>(doc->m_sheet.GetObj(0));
    ASSERT_NE(pasted, nullptr);
    EXPECT_TRUE(pasted->m_bSelected);
    EXPECT_EQ(doc->m_sheet.m_nSelected, 1);
    EXPECT_NEAR(pasted->m_bbClip.right, 25.4f, 1e-4); // 150 pixels are an inch
    EXPECT_NEAR(pasted->m_bbClip.top, 12.7f, 1e-4);
    BYTE got[3], want[3];
    pasted->bitmap->image.GetRGB(7, 3, got);
    picture.GetRGB(7, 3, want);
    EXPECT_TRUE(std::equal(got, got + 3, want));
    ASSERT_EQ(doc->GetStepCount(), before + 1);
    EXPECT_EQ(StepNames().back(), "Paste");

    // A bitmap handle pastes too; the earlier object is no longer selected.
    HDC screen = ::GetDC(nullptr);
    HBITMAP handle = ::CreateCompatibleBitmap(screen, 40, 20);
    ::ReleaseDC(nullptr, screen);
    Offer(CF_BITMAP, handle);
    Command(EditPaste);
    ASSERT_EQ(doc->m_sheet.GetSize(), 2);
    auto* second = dynamic_cast<CBitmapObj*>(doc->m_sheet.GetObj(1));
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->bitmap->image.GetWidth(), 40);
    EXPECT_FALSE(pasted->m_bSelected);
    EXPECT_EQ(doc->GetStepCount(), before + 2);

    // Undo takes the paste back.
    doc->Undo();
    EXPECT_EQ(doc->m_sheet.GetSize(), 1);
}

TEST_F(BitmapViewTest, UnreadablePictureAddsNothing) {
    StartApp();
    const int before = doc->GetStepCount();
    const std::vector<BYTE> stored = StoredBytes();
    Offer(CF_DIB, ::GlobalAlloc(GMEM_MOVEABLE, 8));
    PushMessageBoxAnswer(IDOK);
    Command(EditPaste);
    ASSERT_FALSE(SdMessageBoxLog().empty());
    EXPECT_EQ(SdMessageBoxLog().back().text, "Unable to load bitmap");
    EXPECT_EQ(doc->m_sheet.GetSize(), 0);
    EXPECT_EQ(doc->GetStepCount(), before);
    EXPECT_EQ(StoredBytes(), stored);
}
