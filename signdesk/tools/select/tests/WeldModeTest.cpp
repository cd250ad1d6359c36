// The weld tool in the headless program: clicks through the view combine into the object
// clicked with one undo step, refused clicks beep and say why, the tool bar's commands set
// the kind and the switches, the cursor shows what a click would take.
#include <gtest/gtest.h>

#include <doc/CSignDoc.h>
#include <model/CPathObj.h>
#include <model/CUndoStep.h>
#include <pathkit/AbortHandler.h>
#include <select/WeldMode.h>
#include <testing/InputDriver.h>
#include <win32/UserTesting.h>

#include "SheetTestApp.h"

namespace {

CPathObj* Square(float x, float y, float s) {
    auto* obj = new CPathObj;
    obj->m_path.MoveTo({x, y});
    obj->m_path.LineTo({x + s, y});
    obj->m_path.LineTo({x + s, y + s});
    obj->m_path.LineTo({x, y + s});
    obj->m_path.LineTo({x, y});
    obj->m_path.ClosePath();
    obj->m_path.Prepare();
    obj->RefreshBBox();
    return obj;
}

class WeldModeTest : public SheetTest {
protected:
    void SetUp() override {
        SheetTest::SetUp();
        StartApp(210, 297, RUNTIME_CLASS(CSignDoc));
        signDoc = dynamic_cast<CSignDoc*>(doc);
        ASSERT_NE(nullptr, signDoc);
        WeldMode::KeepSources = WeldMode::KeepTarget = 0;
    }
    void TearDown() override {
        WeldMode::KeepSources = WeldMode::KeepTarget = 0;
        SheetTest::TearDown();
    }
    // Target at (20, 20), a square overlapping its right quarter selected.
    void TwoSquares(bool selectSource = true) {
        target = Square(20, 20, 40);
        source = Square(50, 20, 40);
        signDoc->m_sheet.Add(target);
        signDoc->m_sheet.Add(source);
        if (selectSource) source->Select();
        signDoc->RecalcBounds();
        signDoc->RecordStep("Open");
    }
    WeldMode* Install(DWORD kind) {
        auto* mode = new WeldMode(kind);
        view->InstallMode(mode);
        sdtest::PumpInput();
        return mode;
    }
    CPoint At(float x, float y) {
        CPoint p;
        view->WorldToClient(x, y, p);
        return p;
    }
    std::string StatusText() { return std::string(LPCSTR(frame->GetStatusBar()->GetPaneText(0))); }

    CSignDoc* signDoc = nullptr;
    CPathObj* target = nullptr;
    CPathObj* source = nullptr;
};

} // namespace

TEST_F(WeldModeTest, AClickWeldsTheSelectionIntoTheObjectClicked) {
    TwoSquares();
    Install(1);
    const CPoint p = At(20, 40); // on the target's left edge, away from the source
    const int steps = signDoc->GetStepCount();
    sdtest::Click(view->m_hWnd, p.x, p.y);
    CSign& sheet = signDoc->m_sheet;
    ASSERT_EQ(1, sheet.GetSize());
    const floatBBox& box = *sheet.GetObj(0)->GetBBox();
    EXPECT_FLOAT_EQ(20, box.left);
    EXPECT_FLOAT_EQ(90, box.right);
    EXPECT_TRUE(sheet.GetObj(0)->m_bSelected);
    ASSERT_EQ(steps + 1, signDoc->GetStepCount());
    EXPECT_STREQ("Weld", LPCSTR(signDoc->GetStep(steps)->m_strName));
    signDoc->Undo();
    EXPECT_EQ(2, sheet.GetSize());
}

TEST_F(WeldModeTest, ARefusedClickBeepsAndSaysWhy) {
    TwoSquares(false);
    Install(1);
    const int beeps = SdBeepCount();
    const int steps = signDoc->GetStepCount();
    const CPoint p = At(20, 40);
    sdtest::Click(view->m_hWnd, p.x, p.y);
    EXPECT_EQ(beeps + 1, SdBeepCount());
    CString expected;
    expected.LoadString(WeldIds::NeedsOthers);
    EXPECT_EQ(std::string(LPCSTR(expected)), StatusText());
    EXPECT_EQ(2, signDoc->m_sheet.GetSize());
    EXPECT_FALSE(target->m_bSelected);
    EXPECT_EQ(steps, signDoc->GetStepCount());

    // A click on empty ground: nothing at all.
    const CPoint empty = At(150, 200);
    sdtest::Click(view->m_hWnd, empty.x, empty.y);
    EXPECT_EQ(beeps + 1, SdBeepCount());
    EXPECT_EQ(steps, signDoc->GetStepCount());
}

TEST_F(WeldModeTest, CommandsSetTheKindAndTheSwitches) {
    TwoSquares();
    WeldMode* mode = Install(1);
    Command(WeldIds::Subtract);
    EXPECT_EQ(3u, mode->kind);
    Command(WeldIds::KeepTarget);
    EXPECT_EQ(1, WeldMode::KeepTarget);
    const CPoint p = At(20, 40);
    sdtest::Click(view->m_hWnd, p.x, p.y);
    CSign& sheet = signDoc->m_sheet;
    ASSERT_EQ(2, sheet.GetSize()); // the target, and above it the difference
    EXPECT_EQ(target, sheet.GetObj(0));
    const floatBBox& box = *sheet.GetObj(1)->GetBBox();
    EXPECT_FLOAT_EQ(20, box.left);
    EXPECT_FLOAT_EQ(50, box.right);
    EXPECT_STREQ("Subtract", LPCSTR(signDoc->GetStep(signDoc->GetStepCount() - 1)->m_strName));
    Command(WeldIds::KeepTarget);
    EXPECT_EQ(0, WeldMode::KeepTarget);
}

TEST_F(WeldModeTest, TheCursorShowsWhatAClickWouldTake) {
    TwoSquares();
    Install(1);
    const CPoint on = At(20, 40), off = At(150, 200);
    sdtest::MouseMove(view->m_hWnd, on.x, on.y);
    EXPECT_EQ(LoadCursor(nullptr, IDC_CROSS), GetCursor());
    sdtest::MouseMove(view->m_hWnd, off.x, off.y);
    EXPECT_EQ(LoadCursor(nullptr, IDC_ARROW), GetCursor());
}

// Escape waiting in the queue stops the weld at its first poll: the design stays as it was,
// no step, the status says so and the previous abort handler is back.
TEST_F(WeldModeTest, EscapeStopsTheWeldAndChangesNothing) {
    TwoSquares();
    Install(1);
    const int steps = signDoc->GetStepCount();
    AbortHandler* before = DefAbortHandler;
    const CPoint p = At(20, 40);
    ::PostMessageA(view->m_hWnd, WM_KEYDOWN, VK_ESCAPE, 1);
    view->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    view->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
    EXPECT_EQ(2, signDoc->m_sheet.GetSize());
    EXPECT_EQ(steps, signDoc->GetStepCount());
    EXPECT_EQ(before, DefAbortHandler);
    CString expected;
    expected.LoadString(WeldIds::Cancelled);
    EXPECT_EQ(std::string(LPCSTR(expected)), StatusText());
    EXPECT_TRUE(source->m_bSelected);
}
