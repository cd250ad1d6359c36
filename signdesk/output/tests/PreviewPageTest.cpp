// The output pages' preview: painting, zoom, scrolling and the design dragged on it.
#include <gtest/gtest.h>

#include <mfc/CPropertySheet.h>
#include <settings/CUnit.h>
#include <testing/DialogDriver.h>
#include <win32/UserTesting.h>
#include <win32/user.h>

#include "OutputFixture.h"
#include "output/CPreviewPage.h"
#include "output/CPrintSheet.h"

namespace {

class PreviewPageTest : public OutputTest {
protected:
    void SetUp() override {
        OutputTest::SetUp();
        AppUnit.unit = CUnit::MM;
        Options(10, 5, 1, 0);
        design.AddRect(0, 0, 80, 40, RGB(0, 0, 0));
        design.x = design.y = 10;
    }
    void Run(std::function<void(CPropertySheet*)> script) {
        SetDialogScriptForClass("CPrintSheet", [&](HWND d) {
            auto* sheet = static_cast<CPropertySheet*>(CWnd::FromHandle(d));
            script(sheet);
            if (::IsWindow(d)) sheet->EndDialog(IDCANCEL);
        });
        RunPrintSheet(nullptr, &design, *engine);
    }
    static void Mouse(HWND control, UINT message, int x, int y, WPARAM keys = 0) {
        ::SendMessageA(control, message, keys, MAKELPARAM(x, y));
    }
};

} // namespace

TEST_F(PreviewPageTest, PaintsThePageAndDragsTheDesignWithinTheMargins) {
    Run([&](CPropertySheet* sheet) {
        HWND page = sheet->GetActivePage()->m_hWnd;
        HWND preview = ::GetDlgItem(page, 2770);
        ::UpdateWindow(preview);
        ::InvalidateRect(preview, nullptr, TRUE);
        ::UpdateWindow(preview);
        sdtest::PumpDialog();
        SdGdiImage img = SdGdiReadWindow(preview);
        ASSERT_GT(img.width, 0);
        EXPECT_EQ(img.at(1, 1), RGB(128, 128, 128)); // the grey round the page
        RECT d = engine->designRect;
        ASSERT_LT(d.left, d.right);
        EXPECT_EQ(img.at(int(engine->pageRect.left + 2), int(engine->pageRect.top + 2)),
                  RGB(255, 255, 255));
        EXPECT_EQ(img.at(int((d.left + d.right) / 2 + 3), int((d.top + d.bottom) / 2 + 3)),
                  RGB(0, 0, 0));
        // Drag the move handle far up-left: the block stops at the margins.
        int cx = (d.left + d.right) / 2, cy = (d.top + d.bottom) / 2;
        Mouse(preview, WM_LBUTTONDOWN, cx, cy, MK_LBUTTON);
        Mouse(preview, WM_MOUSEMOVE, cx - 500, cy - 500, MK_LBUTTON);
        Mouse(preview, WM_LBUTTONUP, cx - 500, cy - 500);
        EXPECT_FLOAT_EQ(engine->xPosition, 10);
        EXPECT_FLOAT_EQ(engine->yPosition, 10);
        Mouse(preview, WM_LBUTTONDOWN, cx, cy, MK_LBUTTON);
        Mouse(preview, WM_MOUSEMOVE, cx + 20, cy + 10, MK_LBUTTON);
        Mouse(preview, WM_LBUTTONUP, cx + 20, cy + 10);
        EXPECT_GT(engine->xPosition, 10);
        EXPECT_GT(engine->yPosition, 10);
        // The fields follow the drag.
        EXPECT_NE(sdtest::TextOf(page, 2603), "10");
    });
    EXPECT_EQ(design.setCalls, 1); // the moved layout is stored
}

TEST_F(PreviewPageTest, ZoomAndScrolling) {
    Run([&](CPropertySheet* sheet) {
        HWND page = sheet->GetActivePage()->m_hWnd;
        engine->scrollX = 50;
        engine->scrollY = 50;
        sdtest::Click(page, 1026);
        sdtest::Click(page, 1026);
        EXPECT_NEAR(engine->zoom, 1.44, 1e-5);
        EXPECT_EQ(engine->scrollX, 72); // 50 x 1.2 = 60, x 1.2 = 72
        sdtest::Click(page, 1027);
        sdtest::Click(page, 1027);
        EXPECT_NEAR(engine->zoom, 1.0, 1e-5);
        // Truncated on the way: 72 / 1.2 in floats is 59.99..., so 59 and then 49.
        EXPECT_EQ(engine->scrollX, 49);
        // Zoomed in, the page is larger than the preview: lines scroll until the maximum.
        for (int i = 0; i < 6; ++i)
            sdtest::Click(page, 1026);
        int max = engine->MaxScrollX();
        ASSERT_GT(max, 40);
        engine->scrollX = 0;
        ::SendMessageA(page, WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 17),
                       LPARAM(::GetDlgItem(page, 1002)));
        EXPECT_EQ(engine->scrollX, 17);
        for (int i = 0; i < 1000 && engine->scrollX < max; ++i)
            ::SendMessageA(page, WM_HSCROLL, SB_LINERIGHT, LPARAM(::GetDlgItem(page, 1002)));
        EXPECT_EQ(engine->scrollX, max);
        ::SendMessageA(page, WM_HSCROLL, SB_LEFT, LPARAM(::GetDlgItem(page, 1002)));
        EXPECT_EQ(engine->scrollX, 0);
        sdtest::Click(page, 2708);
        EXPECT_FLOAT_EQ(engine->zoom, 1.0f);
    });
}

TEST_F(PreviewPageTest, TheTilePageShowsTilesAndPansButDoesNotMoveTheDesign) {
    design.paths.clear();
    design.AddRect(0, 0, 400, 250, RGB(0, 0, 0));
    Run([&](CPropertySheet* sheet) {
        ASSERT_TRUE(sheet->SetActivePage(1));
        HWND page = sheet->GetActivePage()->m_hWnd;
        EXPECT_EQ(sdtest::TextOf(page, 1259), "3/3 tiles selected");
        HWND preview = ::GetDlgItem(page, 2770);
        ::InvalidateRect(preview, nullptr, TRUE);
        ::UpdateWindow(preview);
        RECT d = engine->designRect;
        int cx = (d.left + d.right) / 2, cy = (d.top + d.bottom) / 2;
        float x = engine->xPosition;
        Mouse(preview, WM_LBUTTONDOWN, cx, cy, MK_LBUTTON);
        Mouse(preview, WM_MOUSEMOVE, cx + 30, cy, MK_LBUTTON);
        Mouse(preview, WM_LBUTTONUP, cx + 30, cy);
        EXPECT_FLOAT_EQ(engine->xPosition, x);
        EXPECT_EQ(sdtest::TextOf(page, 1259), "1/3 tiles selected"); // the click chose one tile
        sdtest::Click(page, 2703);
        EXPECT_EQ(sdtest::TextOf(page, 1259), "2/3 tiles selected");
        // With tiles the position counts from the paper's corner: the margins are added.
        POINT origin = engine->PageToPreview(floatPoint(0, 0));
        Mouse(preview, WM_MOUSEMOVE, origin.x, origin.y);
        EXPECT_EQ(sdtest::TextOf(page, 1065), "x=10");
        EXPECT_EQ(sdtest::TextOf(page, 1067), "y=10");
    });
}
