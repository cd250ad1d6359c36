// The sheet frame: units and their rulers, the position display, drag routing, the
// out-of-memory question, busy prompts, the rulers' graduations and the frame's picture.

#include <algorithm>
#include <cstring>

#include <gtest/gtest.h>

#include <guardalloc/Guardalloc.h>
#include <mfc/CClientDC.h>
#include <settings/CUnit.h>
#include <sheet/SheetIds.h>
#include <shell/BusyIndicator.h>
#include <shell/PrivateMessages.h>
#include <testing/DibCanvas.h>
#include <testing/InputDriver.h>
#include <win32/GdiTesting.h>
#include <win32/UserTesting.h>

#include "SheetTestApp.h"

namespace {

// A window that logs the drag messages and unit changes it gets.
class Recorder : public CWnd {
public:
    BOOL Make(CWnd* parent, const CRect& r) {
        return CreateEx(0, AfxRegisterWndClass(0), "", WS_CHILD | WS_VISIBLE, r, parent, 0);
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message >= WM_CTRLDROP && message <= WM_CTRLDRAGENTER) {
            static const char* names[] = {"drop", "over", "leave", "enter"};
            log.push_back(names[message - WM_CTRLDROP]);
            sources.push_back(HWND(lParam));
        }
        if (message == WM_COMMAND && LOWORD(wParam) == ID_UNIT_CHANGED) log.push_back("unit");
        return CWnd::WindowProc(message, wParam, lParam);
    }
    std::vector<std::string> log;
    std::vector<HWND> sources;
};

class SheetFrameTest : public SheetTest {
protected:
    // The drag message from a source at a screen point of the frame's client area.
    void DragAt(UINT message, int x, int y, HWND source) {
        CPoint p(x, y);
        frame->ClientToScreen(&p);
        ::SetCursorPos(p.x, p.y);
        frame->SendMessage(message, MK_LBUTTON, LPARAM(source));
    }
};

} // namespace

TEST_F(SheetFrameTest, UnitsSetTheRulersScaleThePaneAndTellEveryWindow) {
    StartApp();
    Recorder panel, control;
    ASSERT_TRUE(panel.Make(frame, CRect(0, 0, 10, 10)));
    ASSERT_TRUE(control.Make(&panel, CRect(0, 0, 5, 5)));
    struct {
        UINT command;
        int decade;
        float step;
        const char* name;
    } cases[] = {{ID_UNIT_INCH, 100, 0.254f, "inch"},
                 {ID_UNIT_CM, 100, 0.1f, "cm"},
                 {ID_UNIT_PIXELS, 1, 0.16933334f, "pixels"},
                 {ID_UNIT_MM, 10, 0.1f, "mm"}};
    for (const auto& c : cases) {
        Command(c.command);
        for (COleRuler* ruler : {&frame->horizontalRuler, &frame->verticalRuler}) {
            EXPECT_EQ(ruler->rulerDivisor, c.decade) << c.name;
            EXPECT_FLOAT_EQ(ruler->rulerStep, c.step) << c.name;
        }
        EXPECT_EQ(frame->statusBar.GetPaneText(2), CString(c.name));
    }
    EXPECT_EQ(std::count(control.log.begin(), control.log.end(), "unit"), 4);
    // The unit menu: the built-in units, the current one checked.
    Command(ID_UNIT_INCH);
    CMenu menu;
    ASSERT_TRUE(frame->BuildUnitsMenu(&menu));
    CMenu* units = menu.GetSubMenu(0);
    ASSERT_EQ(units->GetMenuItemCount(), 4);
    EXPECT_EQ(units->GetMenuState(ID_UNIT_INCH, MF_BYCOMMAND) & MF_CHECKED, UINT(MF_CHECKED));
    EXPECT_EQ(units->GetMenuState(ID_UNIT_MM, MF_BYCOMMAND) & MF_CHECKED, 0u);
    menu.DestroyMenu();
}

TEST_F(SheetFrameTest, TableUnitsFillTheMenuAndATinyUnitKeepsDecadeOne) {
    StartApp();
    AddUnitToTable("foot", 304.8f);
    AddUnitToTable("tenth", 0.05f);
    Command(ID_UNIT_TABLE_FIRST + 1);
    EXPECT_EQ(frame->horizontalRuler.rulerDivisor, 1);
    EXPECT_FLOAT_EQ(frame->horizontalRuler.rulerStep, 0.05f);
    Command(ID_UNIT_TABLE_FIRST);
    EXPECT_EQ(frame->horizontalRuler.rulerDivisor, 1000);
    CMenu menu;
    ASSERT_TRUE(frame->BuildUnitsMenu(&menu));
    CMenu* units = menu.GetSubMenu(0);
    ASSERT_EQ(units->GetMenuItemCount(), 2);
    EXPECT_EQ(units->GetMenuItemID(1), UINT(ID_UNIT_TABLE_FIRST + 1));
    EXPECT_EQ(units->GetMenuState(ID_UNIT_TABLE_FIRST, MF_BYCOMMAND) & MF_CHECKED,
              UINT(MF_CHECKED));
    menu.DestroyMenu();
    LoadUnitTable((DataFolder() / "none.cfg").c_str());
    AppUnit.unit = CUnit::MM;
}

TEST_F(SheetFrameTest, ThePositionShowsMoreDecimalsForLargerUnits) {
    StartApp();
    struct {
        int unit;
        const char* text;
    } cases[] = {{CUnit::MM, " 12.35 , 6.70  "},
                 {CUnit::CM, " 1.23  , 0.67  "},
                 {CUnit::PIXELS, " 72.9  , 39.6  "}};
    for (const auto& c : cases) {
        AppUnit.unit = std::uint32_t(c.unit);
        frame->ShowPosition(12.345f, 6.7f);
        EXPECT_EQ(frame->statusBar.GetPaneText(1), CString(c.text)) << c.unit;
    }
    AppUnit.unit = CUnit::MM;
    // The four-pane bar shows no position.
    frame->extendedStatusBar = FALSE;
    frame->SetupStatusBar();
    EXPECT_EQ(frame->statusBar.GetCount(), 4);
    frame->ShowPosition(1, 2);
}

TEST_F(SheetFrameTest, DragsGoToTheTargetUnderTheCursorAndADropOnlyToIt) {
    StartApp();
    Recorder a, b, source;
    ASSERT_TRUE(a.Make(frame, CRect(100, 100, 300, 300)));
    ASSERT_TRUE(b.Make(frame, CRect(200, 200, 400, 400)));
    ASSERT_TRUE(source.Make(frame, CRect(0, 0, 5, 5)));
    frame->AddDropTarget(&a);
    frame->AddDropTarget(&b); // later: wins where they overlap
    DragAt(WM_CTRLDRAGOVER, 150, 150, source.m_hWnd);
    DragAt(WM_CTRLDRAGOVER, 160, 150, source.m_hWnd);
    DragAt(WM_CTRLDRAGOVER, 250, 250, source.m_hWnd);
    DragAt(WM_CTRLDROP, 250, 250, source.m_hWnd);
    EXPECT_EQ(a.log, (std::vector<std::string>{"enter", "over", "leave"}));
    EXPECT_EQ(b.log, (std::vector<std::string>{"enter", "drop"}));
    for (HWND h : b.sources)
        EXPECT_EQ(h, source.m_hWnd);
    EXPECT_EQ(frame->currentTarget, nullptr);
    // A drop over the earlier window alone, without a drag over it first.
    DragAt(WM_CTRLDROP, 150, 150, source.m_hWnd);
    EXPECT_EQ(a.log.back(), "drop");
    EXPECT_EQ(b.log.size(), 2u);
    frame->RemoveDropTarget(&a);
    frame->RemoveDropTarget(&b);
}

TEST_F(SheetFrameTest, AFailedAllocationAsksAndRetryTakesTheNextTry) {
    StartApp();
    EXPECT_EQ(hErrorHandlerWnd, frame->m_hWnd);
    FailHeapRequests(1);
    PushMessageBoxAnswer(IDRETRY);
    char* block = SafeAlloc(64);
    EXPECT_NE(block, nullptr);
    SafeFree(block);
    FailHeapRequests(1);
    PushMessageBoxAnswer(IDCANCEL);
    EXPECT_EQ(SafeAlloc(64), nullptr);
    const auto log = MessageBoxLog();
    ASSERT_EQ(log.size(), 2u);
    CString question;
    question.LoadString(IDS_OUT_OF_MEMORY);
    EXPECT_EQ(log[0].text, std::string(question));
    EXPECT_EQ(log[0].caption, "");
    EXPECT_EQ(log[0].style, UINT(MB_RETRYCANCEL | MB_ICONEXCLAMATION));
}

TEST_F(SheetFrameTest, BusyPromptsGrowAndStartAfreshEverySixtySteps) {
    StartApp();
    CString busy, done;
    busy.LoadString(40022);
    done.LoadString(40023);
    StartBusyIndicator();
    EXPECT_EQ(frame->statusBar.GetPaneText(0), busy);
    for (int i = 0; i < 60; ++i)
        StepBusyIndicator();
    EXPECT_EQ(frame->statusBar.GetPaneText(0), busy + CString(std::string(59, '=').c_str()));
    StepBusyIndicator(); // the 61st: afresh
    EXPECT_EQ(frame->statusBar.GetPaneText(0), busy);
    EndBusyIndicator();
    EXPECT_EQ(frame->statusBar.GetPaneText(0), done);
}

TEST_F(SheetFrameTest, RulerGraduationsFollowTheScale) {
    struct {
        double pixels;
        int major, minor, perMajor;
    } cases[] = {{0.4, 100, 10, 10}, {31, 1, 1, 1}, {7, 5, 1, 5}, {0.001, 10000, 10000, 1}};
    for (const auto& c : cases) {
        const COleRuler::TickSteps s = COleRuler::TickStepsFor(c.pixels);
        EXPECT_EQ(s.major, c.major) << c.pixels;
        EXPECT_EQ(s.minor, c.minor) << c.pixels;
        EXPECT_EQ(s.perMajor, c.perMajor) << c.pixels;
    }
    // 4 px per mm in mm: labels 0, 10, 20 ... every 40 px from the page's left edge.
    StartApp();
    view->zoomKind = ZOOM_FREE;
    view->worldToDevice = floatTMatrix(4, 0, 0, -4, 0, 4 * 297);
    view->UpdateScrollSizes();
    sdtest::PumpInput();
    COleRuler& ruler = frame->horizontalRuler;
    const COleRuler::TickSteps s = ruler.ComputeTickSteps();
    EXPECT_EQ(s.major, 100);
    EXPECT_EQ(s.minor, 10);
    CClientDC dc(&ruler);
    SdGdiSetLogging(dc.m_hDC, true);
    ruler.DoPaint(&dc);
    std::vector<std::pair<int, std::string>> labels;
    for (const std::string& line : SdGdiCallLog(dc.m_hDC)) {
        if (line.rfind("ExtTextOutA(", 0) != 0) continue;
        const int x = std::stoi(line.substr(12));
        const auto open = line.find('"'), close = line.find('"', open + 1);
        labels.push_back({x, line.substr(open + 1, close - open - 1)});
    }
    ASSERT_GE(labels.size(), 3u);
    CPoint origin;
    ruler.WorldToRuler(0, 0, reinterpret_cast<POINT&>(origin));
    EXPECT_EQ(labels[0], std::make_pair(origin.x + 2, std::string("0")));
    EXPECT_EQ(labels[1], std::make_pair(origin.x + 42, std::string("10")));
    EXPECT_EQ(labels[2], std::make_pair(origin.x + 82, std::string("20")));
}

TEST_F(SheetFrameTest, ThePictureOfTheFrameShowsEachBarAndTheViewInItsPlace) {
    StartApp();
    sdtest::IdlePass();
    frame->UpdateWindow();
    CRect window;
    frame->GetWindowRect(&window);
    DibCanvas canvas(window.Width(), window.Height());
    ASSERT_TRUE(::PrintWindow(frame->m_hWnd, canvas.dc.m_hDC, 0));
    const SdGdiImage picture = canvas.Read();
    CWnd* parts[] = {&frame->toolBar, &frame->statusBar, &frame->horizontalRuler,
                     &frame->verticalRuler, view};
    for (CWnd* part : parts) {
        part->UpdateWindow();
        const SdGdiImage own = SdGdiReadWindow(part->m_hWnd);
        CPoint at(0, 0);
        part->ClientToScreen(&at);
        at.Offset(-window.left, -window.top);
        CRect client;
        part->GetClientRect(&client);
        ASSERT_GT(client.Width(), 0);
        int mismatches = 0;
        for (int y = 0; y < client.Height(); ++y)
            for (int x = 0; x < client.Width(); ++x)
                mismatches += own.at(x, y) != picture.at(at.x + x, at.y + y);
        EXPECT_EQ(mismatches, 0) << part->GetDlgCtrlID();
    }
}

TEST_F(SheetFrameTest, PreviewHidesTheRulersAndShowsThemAgainAsTheyWere) {
    StartApp();
    Command(ID_VIEW_VRULER); // the vertical ruler hidden by the user
    EXPECT_FALSE(frame->verticalRuler.IsVisible());
    CPrintPreviewState state;
    frame->OnSetPreviewMode(TRUE, &state);
    EXPECT_FALSE(frame->horizontalRuler.IsVisible());
    frame->OnSetPreviewMode(FALSE, &state);
    EXPECT_TRUE(frame->horizontalRuler.IsVisible());
    EXPECT_FALSE(frame->verticalRuler.IsVisible());
}

TEST_F(SheetFrameTest, TheFrameworkToolBarHasTheZoomButtons) {
    StartApp();
    ASSERT_EQ(frame->toolBar.GetCount(), 5);
    const UINT ids[] = {ID_ZOOM_TOOL, ID_ZOOM_BACK, ID_FIT_PAGE, ID_SMALLER_PAGE, ID_REAL_SIZE};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(frame->toolBar.GetItemID(i), ids[i]);
    // The bar state and placement are saved when the frame closes.
    frame->DestroyWindow();
    const std::string ini = (DataFolder() / "Application.ini").string();
    EXPECT_GT(::GetPrivateProfileIntA("General-Summary", "Bars", 0, ini.c_str()), 0);
    char placement[64];
    EXPECT_GT(::GetPrivateProfileStringA("MainFrame", "WindowPos", "", placement, 64, ini.c_str()),
              0u);
}

TEST_F(SheetFrameTest, RulersScrollWithTheViewAndMatchAFreshRepaint) {
    StartApp();
    const CPoint centre(400, 300);
    view->ZoomAt(4, &centre);
    sdtest::PumpInput();
    frame->UpdateWindow();
    sdtest::MouseMove(view->m_hWnd, 350, 250); // markers drawn
    COleRuler* rulers[] = {&frame->horizontalRuler, &frame->verticalRuler};
    auto matchesRepaint = [&](const char* step) {
        for (COleRuler* ruler : rulers) {
            ruler->UpdateWindow();
            const SdGdiImage scrolled = SdGdiReadWindow(ruler->m_hWnd);
            ruler->Invalidate(TRUE);
            ruler->UpdateWindow();
            const SdGdiImage fresh = SdGdiReadWindow(ruler->m_hWnd);
            int mismatches = 0;
            for (std::size_t i = 0; i < fresh.pixels.size(); ++i)
                mismatches += fresh.pixels[i] != scrolled.pixels[i];
            EXPECT_EQ(mismatches, 0) << step << " " << ruler->GetDlgCtrlID();
        }
    };
    view->SendMessage(WM_HSCROLL, SB_LINEDOWN);
    view->SendMessage(WM_VSCROLL, SB_PAGEDOWN);
    sdtest::PumpInput();
    matchesRepaint("scroll bars");
    Command(ID_PAN_TOOL);
    sdtest::Drag(view->m_hWnd, {400, 300}, {330, 250});
    matchesRepaint("pan");
}

TEST_F(SheetFrameTest, ARightClickOnARulerOffersTheUnitsAndTheChoiceReachesTheFrame) {
    StartApp();
    sdtest::ChooseFromPopupMenus({ID_UNIT_CM});
    sdtest::Click(frame->verticalRuler.m_hWnd, 10, 100, true);
    const SdPopupMenuRecord menu = sdtest::LastPopupMenu();
    EXPECT_EQ(menu.owner, frame->m_hWnd);
    ASSERT_EQ(menu.items.size(), 4u);
    EXPECT_EQ(menu.items[0].state & MF_CHECKED, UINT(MF_CHECKED)); // mm, current
    sdtest::PumpInput();
    EXPECT_EQ(AppUnit.unit, std::uint32_t(CUnit::CM));
    EXPECT_EQ(frame->verticalRuler.rulerDivisor, 100);
    AppUnit.unit = CUnit::MM;
}
