// The program's small controls, worked by messages through the framework's pump.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include <mfc/afx.h>
#include <win32/GdiTesting.h>

#include "shell/CColorSwatch.h"
#include "shell/CCommitSpinCtrl.h"
#include "shell/CDragButton.h"
#include "shell/CDragSlider.h"
#include "shell/CFilterEdit.h"
#include "shell/CMouseEventButton.h"
#include "testing/PlatformTest.h"

namespace {

// Records the commands and drag messages it receives.
class Target : public CWnd {
public:
    std::vector<std::string> log;
    BOOL Make(CWnd* parent = nullptr) {
        return CreateEx(0, nullptr, "target", parent ? WS_CHILD : WS_OVERLAPPED, 0, 0, 300, 200,
                        parent ? parent->m_hWnd : nullptr, nullptr);
    }

protected:
    // Commands and clicks (code 0); the edits' change notifications are not of interest.
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
        if (HIWORD(DWORD(wParam)) != 0) return CWnd::OnCommand(wParam, lParam);
        std::string from = lParam == 0 ? "0" : lParam == LPARAM(watched) ? "ctrl" : "other";
        log.push_back("command " + std::to_string(LOWORD(DWORD(wParam))) + " " + from);
        return TRUE;
    }
    LRESULT OnDragOver(WPARAM flags, LPARAM source) { return Note("over", flags, source); }
    LRESULT OnDrop(WPARAM flags, LPARAM source) { return Note("drop", flags, source); }
    DECLARE_MESSAGE_MAP()

private:
    LRESULT Note(const char* what, WPARAM flags, LPARAM source) {
        log.push_back(std::string(what) + " " + std::to_string(flags) +
                      (source_ && source == reinterpret_cast<LPARAM>(source_->m_hWnd) ? " source" : " ?"));
        return 0;
    }

public:
    HWND watched = nullptr;  // the control whose handle a command may carry
    CWnd* source_ = nullptr; // the control whose handle drag messages carry
};

BEGIN_MESSAGE_MAP(Target, CWnd)
    ON_MESSAGE(WM_CTRLDRAGOVER, OnDragOver)
    ON_MESSAGE(WM_CTRLDROP, OnDrop)
END_MESSAGE_MAP()

class ControlsTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        SdResetBeeps();
        ASSERT_TRUE(parent.Make());
        app.m_pMainWnd = &parent;
    }
    void TearDown() override {
        app.m_pMainWnd = nullptr;
        PlatformTest::TearDown();
    }
    // The main loop as the program runs it: pre-translation first.
    void Pump() {
        MSG msg;
        for (int n = 0; n < 1000 && ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE); ++n)
            app.PumpMessage();
    }
    static void Mouse(CWnd& w, UINT message, WPARAM keys, int x, int y) {
        w.PostMessage(message, keys, MAKELPARAM(x, y));
    }

    CWinApp app{"controls"};
    Target parent;
};

} // namespace

TEST_F(ControlsTest, FilterEditTakesOnlyItsCharactersAndCommitsOnEnter) {
    CFilterEdit edit;
    ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 80, 20), &parent, 5));
    EXPECT_TRUE(edit.GetExStyle() & WS_EX_CLIENTEDGE);
    edit.allowedChars = "0123456789.";
    parent.watched = edit.m_hWnd;
    edit.SetFocus();

    struct Step {
        UINT ch;
        const char* text;
        int beeps;
    };
    const Step steps[] = {{'a', "", 1},   {'5', "5", 1},  {'.', "5.", 1},
                          {'x', "5.", 2}, {'\b', "5", 2}, {' ', "5", 3}};
    for (const Step& s : steps) {
        SCOPED_TRACE(int(s.ch));
        edit.PostMessage(WM_CHAR, s.ch, 0);
        Pump();
        CString text;
        edit.GetWindowText(text);
        EXPECT_EQ(std::string(text), s.text);
        EXPECT_EQ(SdBeepCount(), s.beeps);
    }
    EXPECT_TRUE(parent.log.empty());

    edit.PostMessage(WM_KEYDOWN, VK_RETURN, 0);
    Pump();
    EXPECT_EQ(parent.log, (std::vector<std::string>{"command 5 ctrl"}));

    // Any character passes an empty filter; the commit goes to the notify window.
    Target other;
    ASSERT_TRUE(other.Make());
    other.watched = edit.m_hWnd;
    edit.notifyWnd = &other;
    edit.allowedChars.Empty();
    edit.PostMessage(WM_CHAR, 'z', 0);
    edit.PostMessage(WM_KEYDOWN, VK_RETURN, 0);
    Pump();
    CString text;
    edit.GetWindowText(text);
    EXPECT_EQ(std::string(text), "5z");
    EXPECT_EQ(other.log, (std::vector<std::string>{"command 5 ctrl"}));
    EXPECT_EQ(parent.log.size(), 1u);
    EXPECT_EQ(SdBeepCount(), 3);
}

TEST_F(ControlsTest, CommitSpinPostsEnterToItsBuddy) {
    CFilterEdit edit;
    ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 80, 20), &parent, 5));
    CCommitSpinCtrl spin;
    ASSERT_TRUE(
        spin.Create(WS_CHILD | WS_VISIBLE | UDS_SETBUDDYINT, CRect(80, 0, 96, 20), &parent, 6));
    spin.SetBuddy(&edit);
    spin.SetRange(0, 10);
    parent.watched = edit.m_hWnd;

    Mouse(spin, WM_LBUTTONDOWN, MK_LBUTTON, 8, 3);
    Mouse(spin, WM_LBUTTONUP, 0, 8, 3);
    Pump();
    ASSERT_FALSE(parent.log.empty());
    EXPECT_EQ(parent.log.back(), "command 5 ctrl");
    EXPECT_EQ(std::count(parent.log.begin(), parent.log.end(), "command 5 ctrl"), 1);
}

TEST_F(ControlsTest, DragButtonClicksAndDrags) {
    struct Case {
        const char* name;
        UINT down, up;
        WPARAM button;
        int moves;
        std::vector<std::string> log;
    };
    const Case cases[] = {
        // A right click without moving: the command, posted to the target.
        {"right click", WM_RBUTTONDOWN, WM_RBUTTONUP, MK_RBUTTON, 0, {"command 9 0"}},
        // A right drag: one drag-over per move, one drop, no command.
        {"right drag",
         WM_RBUTTONDOWN,
         WM_RBUTTONUP,
         MK_RBUTTON,
         3,
         {"over 2 source", "over 2 source", "over 2 source", "drop 2 source"}},
        // A left click is the button's own click.
        {"left click", WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON, 0, {"command 9 ctrl"}},
        // A left drag that ends outside: drag-overs and the drop.
        {"left drag",
         WM_LBUTTONDOWN,
         WM_LBUTTONUP,
         MK_LBUTTON,
         2,
         {"over 1 source", "over 1 source", "drop 1 source"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CDragButton button;
        ASSERT_TRUE(button.Create("Drag", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON,
                                  CRect(10, 10, 60, 30), &parent, 9));
        parent.log.clear();
        parent.watched = button.m_hWnd;
        parent.source_ = &button;
        Mouse(button, c.down, c.button, 5, 5);
        for (int i = 1; i <= c.moves; ++i)
            Mouse(button, WM_MOUSEMOVE, c.button, 5 + 40 * i, 5);
        const int end = c.moves ? 5 + 40 * c.moves : 5;
        Mouse(button, c.up, 0, end, 5);
        Pump();
        EXPECT_EQ(parent.log, c.log);
        EXPECT_EQ(button.dragged, 0);
        EXPECT_EQ(button.dragFlags, c.button);
        EXPECT_EQ(button.pressPoint.x, 5);
        EXPECT_EQ(button.releasePoint.x, end);
        EXPECT_EQ(::GetCapture(), nullptr);
    }
}

TEST_F(ControlsTest, DragButtonTalksToItsTargetAndNotesDoubleClicks) {
    Target other;
    ASSERT_TRUE(other.Make());
    CDragButton button;
    ASSERT_TRUE(button.Create("Drag", WS_CHILD | WS_VISIBLE, CRect(10, 10, 60, 30), &parent, 9));
    button.targetWnd = &other;
    other.source_ = &button;
    Mouse(button, WM_RBUTTONDOWN, MK_RBUTTON | MK_SHIFT, 5, 5);
    Mouse(button, WM_MOUSEMOVE, MK_RBUTTON | MK_SHIFT, 80, 5);
    Mouse(button, WM_RBUTTONUP, MK_SHIFT, 80, 5);
    Mouse(button, WM_RBUTTONDOWN, MK_RBUTTON, 5, 5);
    Mouse(button, WM_RBUTTONUP, 0, 5, 5);
    Pump();
    const std::string shifted = std::to_string(MK_RBUTTON | MK_SHIFT);
    EXPECT_EQ(other.log, (std::vector<std::string>{"over " + shifted + " source",
                                                   "drop " + shifted + " source", "command 9 0"}));
    EXPECT_TRUE(parent.log.empty());

    Mouse(button, WM_LBUTTONDBLCLK, MK_LBUTTON, 7, 8);
    Pump();
    EXPECT_EQ(button.dblClicked, 1);
    EXPECT_EQ(button.pressPoint.y, 8);
    EXPECT_EQ(button.releasePoint.y, 8);
    Mouse(button, WM_LBUTTONUP, 0, 7, 8);
    Pump();
    EXPECT_EQ(button.dblClicked, 0);
}

TEST_F(ControlsTest, MouseEventButtonReportsEveryEvent) {
    CMouseEventButton button;
    ASSERT_TRUE(button.Create("Pick", WS_CHILD | WS_VISIBLE, CRect(10, 10, 60, 30), &parent, 4));
    struct Step {
        UINT message;
        int x;
        int kind;
        int captured;
        bool holdsCapture;
    };
    const Step steps[] = {
        {WM_MOUSEMOVE, 1, CMouseEventButton::MouseMove, 0, false},
        {WM_LBUTTONDOWN, 2, CMouseEventButton::LeftDown, 0, true},
        {WM_MOUSEMOVE, 90, CMouseEventButton::MouseMove, 1, true},
        {WM_LBUTTONUP, 91, CMouseEventButton::LeftUp, 0, false},
        {WM_RBUTTONDOWN, 3, CMouseEventButton::RightDown, 0, true},
        {WM_RBUTTONUP, 4, CMouseEventButton::RightUp, 0, false},
    };
    int commands = 0;
    for (const Step& s : steps) {
        SCOPED_TRACE(s.message);
        button.SendMessage(s.message, MK_CONTROL, MAKELPARAM(s.x, 6));
        EXPECT_EQ(button.eventKind, s.kind);
        EXPECT_EQ(button.eventPoint.x, s.x);
        EXPECT_EQ(button.eventFlags, UINT(MK_CONTROL));
        EXPECT_EQ(button.eventCaptured, s.captured);
        EXPECT_EQ(::GetCapture() == button.m_hWnd, s.holdsCapture);
        EXPECT_EQ(parent.log.size(), std::size_t(++commands)) << "sent at once";
        EXPECT_EQ(parent.log.back(), "command 4 0");
    }
    EXPECT_NE(::GetFocus(), button.m_hWnd);
    EXPECT_EQ(button.SendMessage(BM_GETSTATE) & BST_PUSHED, 0);

    // Without a parent nobody is told.
    CMouseEventButton lonely;
    ASSERT_TRUE(lonely.CreateEx(0, "BUTTON", "x", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    lonely.SendMessage(WM_LBUTTONDOWN, 0, 0);
    EXPECT_EQ(lonely.eventKind, CMouseEventButton::LeftDown);
    lonely.SendMessage(WM_LBUTTONUP, 0, 0);
}

namespace {

struct Canvas {
    CDC dc;
    CBitmap bitmap;
    CBitmap* old = nullptr;
    Canvas(int w, int h) {
        dc.CreateCompatibleDC(nullptr);
        CClientDC screen(nullptr);
        bitmap.CreateCompatibleBitmap(&screen, w, h);
        old = dc.SelectObject(&bitmap);
        CRect r(0, 0, w, h);
        dc.FillSolidRect(&r, RGB(1, 2, 3));
    }
    ~Canvas() { dc.SelectObject(old); }
    COLORREF at(int x, int y) { return SdGdiReadDC(dc.m_hDC).at(x, y); }
};

constexpr COLORREF Face = RGB(192, 192, 192);
constexpr COLORREF Light = RGB(255, 255, 255);
constexpr COLORREF Shadow = RGB(128, 128, 128);
constexpr COLORREF Green = RGB(10, 200, 30);

} // namespace

TEST(ColorCell, FillAndEdges) {
    struct Case {
        int edge;
        COLORREF topLeft;
        COLORREF bottomRight;
    };
    for (const Case& c : {Case{1, Light, Shadow}, Case{-1, Shadow, Light}}) {
        SCOPED_TRACE(c.edge);
        Canvas canvas(20, 20);
        DrawColorCell(&canvas.dc, RECT{2, 2, 18, 18}, c.edge, Green);
        EXPECT_EQ(canvas.at(10, 10), Green);
        EXPECT_EQ(canvas.at(3, 3), Green);
        EXPECT_EQ(canvas.at(2, 10), c.topLeft);
        EXPECT_EQ(canvas.at(10, 2), c.topLeft);
        EXPECT_EQ(canvas.at(17, 10), c.bottomRight);
        EXPECT_EQ(canvas.at(10, 17), c.bottomRight);
        EXPECT_EQ(canvas.at(1, 1), RGB(1, 2, 3)) << "nothing outside the cell";
        EXPECT_EQ(canvas.at(18, 18), RGB(1, 2, 3));
    }
}

TEST(ColorSwatch, ColourNoColourAndDisabled) {
    struct Case {
        COLORREF color;
        UINT state;
        COLORREF centre;
        COLORREF left;
    };
    const Case cases[] = {
        {Green, 0, Green, Shadow},                          // a sunken cell
        {CColorSwatch::NoColor, 0, Face, RGB(0, 0, 0)},     // dotted black frame
        {Green, ODS_DISABLED, Face, RGB(0x7F, 0x7F, 0x7F)}, // grey frame
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.state);
        Canvas canvas(20, 20);
        CColorSwatch swatch;
        swatch.color = c.color;
        DRAWITEMSTRUCT item{};
        item.CtlType = ODT_BUTTON;
        item.itemState = c.state;
        item.hDC = canvas.dc.m_hDC;
        item.rcItem = RECT{0, 0, 20, 20};
        swatch.DrawItem(&item);
        EXPECT_EQ(canvas.at(10, 10), c.centre);
        EXPECT_EQ(canvas.at(0, 0), c.left);
        if (c.color == CColorSwatch::NoColor) {
            int gaps = 0;
            for (int y = 0; y < 20; ++y)
                gaps += canvas.at(0, y) != RGB(0, 0, 0);
            EXPECT_GT(gaps, 0) << "the frame is dotted";
        }
    }
}

TEST_F(ControlsTest, DragSliderSlidesInsideAndDragsOutside) {
    struct Case {
        const char* name;
        UINT down, up;
        WPARAM button;
        std::vector<int> moves; // x of each move, the slider 100 wide
        int position;           // -1: unchanged
        std::vector<std::string> log;
    };
    const Case cases[] = {
        {"left click", WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON, {}, -2, {"command 12 ctrl"}},
        {"right click", WM_RBUTTONDOWN, WM_RBUTTONUP, MK_RBUTTON, {}, -1, {"command 12 0"}},
        // Inside the slider the thumb follows; no drag message.
        {"slide", WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON, {60, 90}, -2, {"command 12 ctrl"}},
        // Outside it: one drag-over per move there, then the drop, no command.
        {"drag out", WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON, {50, 150, 190}, -2,
         {"over 1 source", "over 1 source", "drop 1 source"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CDragSlider slider;
        ASSERT_TRUE(slider.Create(WS_CHILD | WS_VISIBLE | TBS_HORZ, CRect(10, 10, 110, 30), &parent, 12));
        slider.SetRange(0, 100);
        slider.SetPos(0);
        parent.log.clear();
        parent.watched = slider.m_hWnd;
        parent.source_ = &slider;
        Mouse(slider, c.down, c.button, 10, 5);
        Pump();
        const int afterPress = slider.GetPos();
        int x = 10;
        for (int m : c.moves) {
            x = m;
            Mouse(slider, WM_MOUSEMOVE, c.button, x, 5);
            Pump();
        }
        const int afterMoves = slider.GetPos();
        Mouse(slider, c.up, 0, x, 5);
        Pump();
        EXPECT_EQ(parent.log, c.log);
        EXPECT_EQ(slider.dragged, 0);
        EXPECT_EQ(slider.dragFlags, c.button);
        if (c.moves.size() == 2) {
            EXPECT_GT(afterMoves, afterPress); // the thumb followed
        }
        if (c.position == -1) {
            EXPECT_EQ(slider.GetPos(), 0);
        }
        EXPECT_EQ(::GetCapture(), nullptr);
    }
}
