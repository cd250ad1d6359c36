// The general page of the object properties worked by script: the apply boxes by selection,
// typed sizes and scales, and what OK writes to the selected objects.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include <dialogs/CGeneralPage.h>
#include <dialogs/GeneralPageIds.h>
#include <doc/CSignDoc.h>
#include <mfc/CWinApp.h>
#include <model/CPathObj.h>
#include <testing/DialogDriver.h>
#include <testing/PlatformTest.h>
#include <win32/KernelTesting.h>
#include <win32/UserTesting.h>
#include <win32/module.h>

namespace {

class PageTestApp : public CWinApp {
public:
    PageTestApp() : CWinApp("Page Test") {}
};

CPathObj* Rect(float x0, float y0, float x1, float y1, signed char layer) {
    auto* obj = new CPathObj;
    obj->m_path.MoveTo({x0, y0});
    obj->m_path.LineTo({x1, y0});
    obj->m_path.LineTo({x1, y1});
    obj->m_path.LineTo({x0, y1});
    obj->m_path.LineTo({x0, y0});
    obj->m_path.ClosePath();
    obj->SetLayer(char(layer), 0);
    obj->RefreshBBox();
    return obj;
}

class GeneralPageTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        app_ = std::make_unique<PageTestApp>();
        resources_ = LoadLibraryA("signdesk.dll");
        ASSERT_NE(nullptr, resources_);
        previous_ = AfxGetResourceHandle();
        AfxSetResourceHandle(resources_);
    }
    void TearDown() override {
        if (sheet_.m_hWnd) sheet_.DestroyWindow();
        page_.reset();
        AfxSetResourceHandle(previous_);
        if (resources_) FreeLibrary(resources_);
        app_.reset();
        PlatformTest::TearDown();
    }

    // The objects added and selected, then the sheet shown with the page.
    HWND Open(std::initializer_list<CPathObj*> objects) {
        for (CPathObj* o : objects) {
            o->Select();
            doc_.m_sheet.Add(o);
        }
        doc_.RecalcBounds();
        page_ = std::make_unique<CGeneralPage>(&doc_);
        sheet_.AddPage(page_.get());
        EXPECT_TRUE(sheet_.Create(nullptr));
        return page_->m_hWnd;
    }
    bool Checked(int id) { return ::IsDlgButtonChecked(page_->m_hWnd, id) == BST_CHECKED; }
    bool Enabled(int id) { return ::IsWindowEnabled(::GetDlgItem(page_->m_hWnd, id)) != 0; }
    void Ok() { EXPECT_TRUE(sheet_.PressButton(PSBTN_OK)); }

    std::unique_ptr<PageTestApp> app_;
    HMODULE resources_ = nullptr;
    HINSTANCE previous_ = nullptr;
    CSignDoc doc_;
    CPropertySheet sheet_{"Properties"};
    std::unique_ptr<CGeneralPage> page_;
};

} // namespace

TEST_F(GeneralPageTest, OneObjectTicksTheDisabledApplyBoxes) {
    HWND page = Open({Rect(10, 20, 40, 35, 3)});
    for (int id :
         {IDC_GP_APPLY_LAYER, IDC_GP_APPLY_WIDTH, IDC_GP_APPLY_FLAGS, IDC_GP_APPLY_TRANSPARENCY}) {
        SCOPED_TRACE(id);
        EXPECT_TRUE(Checked(id));
        EXPECT_FALSE(Enabled(id));
    }
    EXPECT_EQ("10", sdtest::TextOf(page, IDC_GP_POS_X));
    EXPECT_EQ("20", sdtest::TextOf(page, IDC_GP_POS_Y));
    EXPECT_EQ("30", sdtest::TextOf(page, IDC_GP_SIZE_X));
    EXPECT_EQ("15", sdtest::TextOf(page, IDC_GP_SIZE_Y));
    EXPECT_EQ("3", sdtest::TextOf(page, IDC_GP_LAYER));
    EXPECT_TRUE(Checked(IDC_GP_KEEP_PROPORTIONS));

    // Keeping the proportions, a width of 60 doubles the height; a new layer and width go
    // to the object.
    ::SetDlgItemTextA(page, IDC_GP_SIZE_X, "60");
    EXPECT_EQ("30", sdtest::TextOf(page, IDC_GP_SIZE_Y));
    EXPECT_EQ("2", sdtest::TextOf(page, IDC_GP_SCALE));
    ::SetDlgItemTextA(page, IDC_GP_LAYER, "5");
    ::SetDlgItemTextA(page, IDC_GP_OUTLINE_WIDTH, "0.5");
    Ok();
    CSignObj* o = doc_.m_sheet.GetObj(0);
    const floatBBox& box = *o->GetBBox();
    EXPECT_FLOAT_EQ(10, box.left);
    EXPECT_FLOAT_EQ(20, box.bottom);
    EXPECT_FLOAT_EQ(70, box.right);
    EXPECT_FLOAT_EQ(50, box.top);
    EXPECT_EQ(5, o->GetLayer());
    EXPECT_FLOAT_EQ(0.5f, o->m_fOutlineWidth);
}

TEST_F(GeneralPageTest, TwoLayersLeaveTheLayerOff) {
    Open({Rect(0, 0, 10, 10, 1), Rect(20, 0, 30, 10, 2)});
    EXPECT_FALSE(Checked(IDC_GP_APPLY_LAYER));
    EXPECT_TRUE(Enabled(IDC_GP_APPLY_LAYER));
    EXPECT_FALSE(Enabled(IDC_GP_LAYER));
    EXPECT_EQ("0", sdtest::TextOf(page_->m_hWnd, IDC_GP_LAYER));
    // Widths and flags are shared: their boxes stay ticked and enabled.
    EXPECT_TRUE(Checked(IDC_GP_APPLY_WIDTH));
    EXPECT_TRUE(Enabled(IDC_GP_APPLY_WIDTH));
    Ok();
    EXPECT_EQ(1, doc_.m_sheet.GetObj(0)->GetLayer());
    EXPECT_EQ(2, doc_.m_sheet.GetObj(1)->GetLayer());
}

TEST_F(GeneralPageTest, OutOfRangeTypingIsAnsweredAndSetToZero) {
    HWND page = Open({Rect(0, 0, 10, 10, 0)});
    struct Case {
        int id;
        const char* text;
        UINT message;
    } cases[] = {
        {IDC_GP_SIZE_X, "0.005", IDS_GP_BAD_SIZE},
        {IDC_GP_SIZE_Y, "100000", IDS_GP_BAD_SIZE},
        {IDC_GP_SCALE, "100", IDS_GP_BAD_SCALE},
    };
    CString expected;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        SdClearMessageBoxes();
        PushMessageBoxAnswer(IDOK);
        ::SetDlgItemTextA(page, c.id, c.text);
        const auto log = MessageBoxLog();
        ASSERT_EQ(1u, log.size());
        expected.LoadString(c.message);
        EXPECT_EQ(std::string(LPCSTR(expected)), log[0].text);
        EXPECT_EQ("0", sdtest::TextOf(page, c.id));
    }
}

// A vertical line has no width: a typed width leaves its scale at 1 (with a beep) and a typed
// position still moves it; nothing becomes infinite or NaN.
TEST_F(GeneralPageTest, ALineWithoutWidthMovesAndStaysFinite) {
    CPathObj* line = new CPathObj;
    line->m_path.MoveTo({5, 0});
    line->m_path.LineTo({5, 20});
    line->m_path.ClosePath();
    line->RefreshBBox();
    HWND page = Open({line});
    EXPECT_FALSE(Checked(IDC_GP_KEEP_PROPORTIONS));
    ::SetDlgItemTextA(page, IDC_GP_POS_X, "8");
    ::SetDlgItemTextA(page, IDC_GP_SIZE_X, "30");
    ::SetDlgItemTextA(page, IDC_GP_SIZE_Y, "40");
    const int beeps = SdBeepCount();
    Ok();
    EXPECT_GT(SdBeepCount(), beeps);
    const floatBBox& box = *line->GetBBox();
    EXPECT_FLOAT_EQ(8, box.left);
    EXPECT_FLOAT_EQ(8, box.right);
    EXPECT_FLOAT_EQ(0, box.bottom);
    EXPECT_FLOAT_EQ(40, box.top);
}
