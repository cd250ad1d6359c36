// The temporary tools over a recording mode, what the view hands the current mode, the
// cross-hair and guide lines dragged out of the rulers.

#include <cmath>
#include <set>

#include <gtest/gtest.h>

#include <sheet/FrameworkModes.h>
#include <sheet/SheetIds.h>
#include <sheet/SheetSettings.h>
#include <shell/PrivateMessages.h>
#include <testing/InputDriver.h>
#include <win32/GdiTesting.h>
#include <win32/KernelTesting.h>
#include <win32/UserTesting.h>

#include "SheetTestApp.h"

namespace {

class SheetModesTest : public SheetTest {
protected:
    // The pixels in which two pictures differ.
    static std::set<std::pair<int, int>> Differences(const SdGdiImage& a, const SdGdiImage& b) {
        std::set<std::pair<int, int>> out;
        for (int y = 0; y < a.height; ++y)
            for (int x = 0; x < a.width; ++x)
                if (a.at(x, y) != b.at(x, y)) out.insert({x, y});
        return out;
    }
    void Repaint() {
        view->Invalidate(TRUE);
        view->UpdateWindow();
    }
};

const std::vector<std::string> kBackAgain = {"SetView FALSE", "Activate"};

// A zoom tool that logs its end.
class LoggingZoomMode : public COleZoomMode {
    DECLARE_DYNCREATE(LoggingZoomMode)
public:
    ~LoggingZoomMode() override { g_modeLog.push_back("zoom deleted"); }
};
IMPLEMENT_DYNCREATE(LoggingZoomMode, COleZoomMode)

} // namespace

TEST_F(SheetModesTest, AZoomBandZoomsAndGivesTheRecordingModeBackUntouched) {
    StartApp();
    RecordingMode* r = InstallRecordingMode();
    const UINT arrow = SdCursorId(view->cursor);
    Command(ID_ZOOM_TOOL);
    ASSERT_TRUE(view->mode->IsKindOf(RUNTIME_CLASS(COleZoomMode)));
    EXPECT_EQ(SdCursorId(view->cursor), UINT(IDC_ZOOM_CURSOR));
    Command(ID_ZOOM_TOOL); // already current: nothing
    EXPECT_TRUE(g_modeLog.empty());
    sdtest::Drag(view->m_hWnd, {200, 150}, {400, 300});
    EXPECT_EQ(view->zoomKind, ZOOM_FREE);
    EXPECT_EQ(view->mode, r);
    EXPECT_EQ(g_modeLog, kBackAgain);
    EXPECT_EQ(SdCursorId(view->cursor), arrow);
    EXPECT_EQ(::GetCapture(), nullptr);
}

TEST_F(SheetModesTest, AZoomClickZoomsByHalfAgainOrByTwoThirdsWithAlt) {
    StartApp();
    InstallRecordingMode();
    const float fit = view->worldToDevice.m11;
    Command(ID_ZOOM_TOOL);
    sdtest::Click(view->m_hWnd, 400, 300);
    EXPECT_NEAR(view->worldToDevice.m11, fit * 1.5f, 1e-4);
    Command(ID_ZOOM_TOOL);
    sdtest::KeyDown(VK_MENU);
    sdtest::Click(view->m_hWnd, 420, 300);
    sdtest::KeyUp(VK_MENU);
    EXPECT_NEAR(view->worldToDevice.m11, fit, 1e-4);
    EXPECT_EQ(view->zoomTop, 1);
    // A straight drag has no area: a click at its left end.
    Command(ID_ZOOM_TOOL);
    sdtest::Drag(view->m_hWnd, {500, 200}, {300, 200});
    EXPECT_NEAR(view->worldToDevice.m11, fit * 1.5f, 1e-4);
    EXPECT_EQ(view->zoomTop, 2);
}

TEST_F(SheetModesTest, EscapeMidBandLeavesTheSurfaceAsItWas) {
    StartApp();
    RecordingMode* r = InstallRecordingMode();
    Command(ID_ZOOM_TOOL);
    const SdGdiImage before = ViewPicture();
    sdtest::MouseEvent(view->m_hWnd, WM_LBUTTONDOWN, 200, 150);
    sdtest::MouseMove(view->m_hWnd, 300, 250);
    EXPECT_FALSE(Differences(before, ViewPicture()).empty()); // the band shows
    sdtest::PressKey(VK_ESCAPE);
    EXPECT_TRUE(Differences(before, ViewPicture()).empty());
    EXPECT_EQ(view->mode, r);
    EXPECT_EQ(view->zoomKind, ZOOM_FIT_PAGE);
    EXPECT_EQ(::GetCapture(), nullptr);
    sdtest::MouseEvent(view->m_hWnd, WM_LBUTTONUP, 300, 250);
    EXPECT_EQ(view->zoomKind, ZOOM_FIT_PAGE);
}

TEST_F(SheetModesTest, ACommandTheModeListsNeverReachesTheView) {
    StartApp();
    InstallRecordingMode();
    Command(ID_GRID);
    EXPECT_EQ(g_modeLog, std::vector<std::string>{"grid command"});
    EXPECT_FALSE(SheetSettings::Grid);
    Command(ID_CROSSHAIR); // not listed: the view's
    EXPECT_TRUE(view->crossHairOn);
}

TEST_F(SheetModesTest, ARightClickTheModeRefusesShowsTheViewsContextMenu) {
    StartApp();
    RecordingMode* r = InstallRecordingMode();
    sdtest::Click(view->m_hWnd, 50, 60, true);
    const SdPopupMenuRecord menu = sdtest::LastPopupMenu();
    EXPECT_EQ(menu.owner, frame->m_hWnd);
    EXPECT_EQ(menu.at.x, sdtest::ScreenPoint(view->m_hWnd, 50, 60).x);
    ASSERT_FALSE(menu.items.empty());
    EXPECT_EQ(menu.items[0].id, UINT(ID_ZOOM_TOOL));
    r->rightClickTaken = TRUE;
    sdtest::Click(view->m_hWnd, 150, 160, true);
    EXPECT_EQ(SdPopupMenuLog().size(), 1u);
    EXPECT_EQ(g_modeLog, (std::vector<std::string>{"RButtonDown", "RButtonDown"}));
}

TEST_F(SheetModesTest, ACapturedDragOutsideAFreeZoomScrollsAndTheTimerGoesOn) {
    SYSTEMTIME time{};
    time.wYear = 2026;
    time.wMonth = 1;
    time.wDay = 1;
    SdInstallFakeClock(1000, time);
    StartApp();
    const CPoint centre(400, 300);
    view->ZoomAt(4, &centre);
    RecordingMode* r = InstallRecordingMode();
    sdtest::PumpInput();
    const CPoint start = view->GetDeviceScrollPosition();
    CRect client;
    view->GetClientRect(&client);
    sdtest::MouseEvent(view->m_hWnd, WM_LBUTTONDOWN, 400, 300);
    sdtest::MouseMove(view->m_hWnd, client.right + 10, 300); // 11 px past the edge
    CPoint now = view->GetDeviceScrollPosition();
    EXPECT_EQ(now.x - start.x, 11);
    EXPECT_EQ(r->bandStart.x, 400 - 11);
    SdAdvanceFakeClock(200);
    sdtest::PumpInput();
    EXPECT_EQ(view->GetDeviceScrollPosition().x - start.x, 22);
    EXPECT_EQ(r->bandStart.x, 400 - 22);
    // A timer of the mode's own reaches it; the auto-scroll timer never does.
    view->SetTimer(7, 50);
    SdAdvanceFakeClock(200);
    sdtest::PumpInput();
    view->KillTimer(7);
    sdtest::MouseEvent(view->m_hWnd, WM_LBUTTONUP, client.right + 10, 300);
    SdAdvanceFakeClock(200);
    sdtest::PumpInput();
    EXPECT_EQ(view->autoScrollTimer, 0u);
    for (const std::string& entry : g_modeLog)
        EXPECT_NE(entry, "timer 54243");
    EXPECT_NE(std::find(g_modeLog.begin(), g_modeLog.end(), "timer 7"), g_modeLog.end());
    SdRemoveFakeClock();
}

TEST_F(SheetModesTest, AutoScrollStepsAtTheEdges) {
    StartApp();
    const CPoint centre(400, 300);
    view->ZoomAt(4, &centre);
    const CPoint start = view->GetDeviceScrollPosition();
    CRect client;
    view->GetClientRect(&client);
    view->AutoScrollStep(client.right, 300); // on the right edge: one pixel
    EXPECT_EQ(view->GetDeviceScrollPosition().x - start.x, 1);
    view->AutoScrollStep(-1, 300); // left - 1: nothing horizontally
    EXPECT_EQ(view->GetDeviceScrollPosition().x - start.x, 1);
    view->StopAutoScroll();
}

TEST_F(SheetModesTest, PanDragsTheSheetAndZoomInterruptsIt) {
    StartApp();
    RecordingMode* r = InstallRecordingMode();
    Command(ID_PAN_TOOL); // disabled in fit page
    EXPECT_EQ(view->mode, r);
    const CPoint centre(400, 300);
    view->ZoomAt(4, &centre);
    Command(ID_PAN_TOOL);
    auto* pan = DYNAMIC_DOWNCAST(COlePanMode, view->mode);
    ASSERT_NE(pan, nullptr);
    EXPECT_EQ(SdCursorId(view->cursor), UINT(IDC_HAND_OPEN));
    const CPoint start = view->GetDeviceScrollPosition();
    sdtest::Drag(view->m_hWnd, {400, 300}, {350, 260});
    EXPECT_EQ(view->GetDeviceScrollPosition().x - start.x, 50);
    EXPECT_EQ(view->GetDeviceScrollPosition().y - start.y, 40);
    EXPECT_EQ(view->mode, pan);
    Command(ID_ZOOM_TOOL);
    EXPECT_TRUE(view->mode->IsKindOf(RUNTIME_CLASS(COleZoomMode)));
    sdtest::Click(view->m_hWnd, 420, 320);
    EXPECT_EQ(view->mode, pan);
    sdtest::PressKey(VK_SPACE);
    EXPECT_EQ(view->mode, r);
}

TEST_F(SheetModesTest, TheCrossHairAngleToolFoldsDragsAndTypedDegrees) {
    StartApp();
    RecordingMode* r = InstallRecordingMode();
    Command(ID_CROSSHAIR_ANGLE);
    EXPECT_TRUE(view->crossHairOn);
    sdtest::MouseEvent(view->m_hWnd, WM_LBUTTONDOWN, 300, 300);
    sdtest::MouseMove(view->m_hWnd, 300, 200); // straight up: 90°, folded to 0
    EXPECT_NEAR(view->crossHairAngle, 0, 1e-9);
    sdtest::MouseMove(view->m_hWnd, 400, 200); // 45° up and right
    EXPECT_NEAR(view->crossHairAngle, M_PI / 4, 1e-9);
    sdtest::MouseEvent(view->m_hWnd, WM_LBUTTONUP, 400, 200);
    EXPECT_EQ(view->mode, r);
    Command(ID_CROSSHAIR_RESET);
    EXPECT_EQ(view->crossHairAngle, 0);

    Command(ID_CROSSHAIR_ANGLE);
    sdtest::PressKey('9');
    sdtest::PressKey('0');
    EXPECT_NE(frame->statusBar.GetPaneText(0).Find("90"), -1);
    EXPECT_NEAR(view->crossHairAngle, 0, 1e-9);
    sdtest::PressKey('5');
    sdtest::PressKey('5'); // a fourth digit beeps
    EXPECT_EQ(SdBeepCount(), 1);
    for (int i = 0; i < 4; ++i)
        sdtest::PressKey(VK_BACK); // the fourth beeps
    EXPECT_EQ(SdBeepCount(), 2);
    EXPECT_EQ(view->crossHairAngle, 0);
    sdtest::KeyDown(VK_CONTROL);
    sdtest::PressKey(VK_LEFT);
    sdtest::KeyUp(VK_CONTROL);
    EXPECT_NEAR(view->crossHairAngle * 180 / M_PI, 5, 1e-9);
    sdtest::PressKey(VK_RETURN);
    EXPECT_EQ(view->mode, r);
    EXPECT_TRUE(view->crossHairOn);
}

TEST_F(SheetModesTest, OneCrossHairThroughTheLastPointAfterMovesScrollAndRepaint) {
    StartApp();
    const CPoint centre(400, 300);
    view->ZoomAt(3, &centre);
    sdtest::PumpInput();
    Repaint();
    Command(ID_CROSSHAIR);
    for (int i = 0; i < 20; ++i)
        sdtest::MouseMove(view->m_hWnd, 30 + i * 17, 40 + i * 11);
    view->SendMessage(WM_VSCROLL, SB_LINEDOWN);
    view->SendMessage(WM_HSCROLL, SB_LINEDOWN);
    sdtest::PumpInput();
    Repaint();
    const SdGdiImage on = ViewPicture();
    Command(ID_CROSSHAIR);
    const SdGdiImage off = ViewPicture();
    Repaint();
    EXPECT_TRUE(Differences(off, ViewPicture()).empty()); // nothing left behind
    const int x0 = 30 + 19 * 17, y0 = 40 + 19 * 11;
    const auto diff = Differences(on, off);
    CRect client;
    view->GetClientRect(&client);
    // Both lines invert the pixel where they cross: it shows unchanged.
    for (int x = 0; x < client.right; ++x)
        EXPECT_EQ(diff.count({x, y0}), x == x0 ? 0u : 1u) << x;
    for (int y = 1; y < client.bottom; ++y)
        EXPECT_EQ(diff.count({x0, y}), y == y0 ? 0u : 1u) << y;
    for (const auto& [x, y] : diff)
        EXPECT_TRUE(x == x0 || y == y0) << x << "," << y;
}

TEST_F(SheetModesTest, ADragFromTheTopRulerAddsOneSnappedHorizontalGuideLine) {
    StartApp(210, 297, RUNTIME_CLASS(GuideDoc));
    auto* guides = static_cast<GuideDoc*>(doc);
    SheetSettings::SnapToGrid = TRUE;
    SheetSettings::GridDens = floatPoint(25, 25);
    COleRuler& ruler = frame->horizontalRuler;
    CPoint over(300, 200); // view client point
    view->ClientToScreen(&over);
    ruler.ScreenToClient(&over);
    sdtest::MouseEvent(ruler.m_hWnd, WM_LBUTTONDOWN, 300, 10);
    sdtest::MouseMove(ruler.m_hWnd, over.x, over.y);
    EXPECT_TRUE(view->dragGuideDrawn);
    EXPECT_EQ(SdCursorId(view->cursor), 32645u); // IDC_SIZENS
    sdtest::MouseEvent(ruler.m_hWnd, WM_LBUTTONUP, over.x, over.y);
    ASSERT_EQ(guides->guides.size(), 1u);
    EXPECT_EQ(guides->guides[0].angle, 0);
    floatPoint world;
    view->ClientToWorld(300, 200, world);
    EXPECT_FLOAT_EQ(guides->guides[0].p.y, std::floor(world.y / 25 + 0.5f) * 25);
    EXPECT_FALSE(view->dragGuideDrawn);

    // From the left ruler: a vertical line and the west-east cursor.
    CPoint side(300, 200);
    view->ClientToScreen(&side);
    frame->verticalRuler.ScreenToClient(&side);
    sdtest::MouseEvent(frame->verticalRuler.m_hWnd, WM_LBUTTONDOWN, 10, 200);
    sdtest::MouseMove(frame->verticalRuler.m_hWnd, side.x, side.y);
    EXPECT_EQ(SdCursorId(view->cursor), 32644u); // IDC_SIZEWE
    sdtest::MouseEvent(frame->verticalRuler.m_hWnd, WM_LBUTTONUP, side.x, side.y);
    ASSERT_EQ(guides->guides.size(), 2u);
    EXPECT_NEAR(guides->guides[1].angle, M_PI / 2, 1e-12);
}

TEST_F(SheetModesTest, LockedGuideLinesLeaveTheSurfaceAlone) {
    StartApp(210, 297, RUNTIME_CLASS(GuideDoc));
    view->guideLinesLocked = TRUE;
    const SdGdiImage before = ViewPicture();
    COleRuler& ruler = frame->horizontalRuler;
    EXPECT_EQ(view->SendMessage(WM_CTRLDRAGENTER, MK_LBUTTON, LPARAM(ruler.m_hWnd)), 0);
    CPoint over(300, 200);
    view->ClientToScreen(&over);
    ruler.ScreenToClient(&over);
    sdtest::MouseEvent(ruler.m_hWnd, WM_LBUTTONDOWN, 300, 10);
    sdtest::MouseMove(ruler.m_hWnd, over.x, over.y);
    sdtest::MouseEvent(ruler.m_hWnd, WM_LBUTTONUP, over.x, over.y);
    EXPECT_TRUE(static_cast<GuideDoc*>(doc)->guides.empty());
    EXPECT_TRUE(Differences(before, ViewPicture()).empty());
}

TEST_F(SheetModesTest, TheFrameworkDocumentRefusesGuideLinesWithABeep) {
    StartApp();
    const SdGdiImage before = ViewPicture();
    COleRuler& ruler = frame->horizontalRuler;
    CPoint over(300, 200);
    view->ClientToScreen(&over);
    ruler.ScreenToClient(&over);
    sdtest::MouseEvent(ruler.m_hWnd, WM_LBUTTONDOWN, 300, 10);
    sdtest::MouseMove(ruler.m_hWnd, over.x, over.y);
    sdtest::MouseEvent(ruler.m_hWnd, WM_LBUTTONUP, over.x, over.y);
    EXPECT_EQ(SdBeepCount(), 1);
    EXPECT_TRUE(Differences(before, ViewPicture()).empty());
}

TEST_F(SheetModesTest, TheBandComesNormalisedHoweverItWasDragged) {
    StartApp();
    InstallRecordingMode();
    sdtest::Drag(view->m_hWnd, {300, 250}, {120, 90});
    EXPECT_EQ(g_modeLog, std::vector<std::string>{"track 120,90,300,250"});
    EXPECT_EQ(::GetCapture(), nullptr);
}

TEST_F(SheetModesTest, ATemporaryToolIsDeletedOnceItsHandlerReturned) {
    StartApp();
    InstallRecordingMode();
    view->StartTemporaryMode(RUNTIME_CLASS(LoggingZoomMode));
    sdtest::Click(view->m_hWnd, 400, 300); // ends itself inside OnLButtonUp
    EXPECT_EQ(g_modeLog, (std::vector<std::string>{"SetView FALSE", "Activate", "zoom deleted"}));
    // Closing while a temporary tool runs deletes the interrupted mode with it.
    g_modeLog.clear();
    view->StartTemporaryMode(RUNTIME_CLASS(LoggingZoomMode));
    frame->DestroyWindow();
    EXPECT_EQ(g_modeLog, (std::vector<std::string>{"zoom deleted", "deleted"}));
}

TEST_F(SheetModesTest, InstallingAModeDeactivatesAndDeletesTheOldOne) {
    StartApp();
    InstallRecordingMode();
    view->InstallMode(new COleNoOperationMode);
    EXPECT_EQ(g_modeLog, (std::vector<std::string>{"Deactivate", "deleted"}));
    EXPECT_TRUE(view->mode->IsKindOf(RUNTIME_CLASS(COleNoOperationMode)));
}
