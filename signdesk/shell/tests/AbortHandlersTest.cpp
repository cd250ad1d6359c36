#include <gtest/gtest.h>

#include <pathkit/Exceptions.h>
#include <win32/user.h>

#include "shell/BusyIndicator.h"
#include "shell/CEscapeAbortHandler.h"
#include "shell/CStatusBarProgress.h"
#include "shell/StatusBarPrompts.h"
#include "testing/PlatformTest.h"

#include <mfc/afx.h>
#include <set>
#include <win32/GdiTesting.h>
#include <win32/KernelTesting.h>
#include <win32/module.h>

namespace {

class CountingIndicator : public BusyIndicator {
public:
    void StartBusyIndicator() override { ++starts; }
    void ShowBusyPrompt() override { ++prompts; }
    void StepBusyIndicator() override { ++steps; }
    void EndBusyIndicator() override { ++ends; }
    int starts = 0, prompts = 0, steps = 0, ends = 0;
};

class AbortHandlersTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        SetBusyIndicator(&indicator);
        SdResetBeeps();
    }
    void TearDown() override {
        SetBusyIndicator(nullptr);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
        PlatformTest::TearDown();
    }
    static void PostKey(int key) { PostMessageA(nullptr, WM_KEYDOWN, key, 0); }

    CountingIndicator indicator;
};

TEST_F(AbortHandlersTest, NestedHandlersRestoreInStackOrder) {
    AbortHandler* before = DefAbortHandler;
    {
        CEscapeAbortHandler outer;
        EXPECT_EQ(DefAbortHandler, &outer);
        {
            CEscapeAbortHandler inner;
            EXPECT_EQ(DefAbortHandler, &inner);
            DefAbortProc();
        }
        EXPECT_EQ(DefAbortHandler, &outer);
        EXPECT_EQ(indicator.ends, 1);
    }
    EXPECT_EQ(DefAbortHandler, before);
    EXPECT_EQ(indicator.steps, 1);
    EXPECT_EQ(indicator.ends, 2);
}

TEST_F(AbortHandlersTest, EscapeAfterALetterAbortsAndOtherMessagesStay) {
    PostMessageA(nullptr, WM_COMMAND, 4711, 0);
    PostKey('A');
    PostKey(VK_ESCAPE);
    int polls = 0;
    int flag = 0;
    auto longOperation = [&] {
        CEscapeAbortHandler handler;
        try {
            for (; polls < 100; ++polls)
                DefAbortProc();
        } catch (...) {
            flag = handler.aborted;
            throw;
        }
    };
    EXPECT_THROW(longOperation(), AbortedError);
    EXPECT_EQ(polls, 0);
    EXPECT_EQ(flag, 1);
    EXPECT_EQ(SdBeepCount(), 1);
    EXPECT_EQ(SdLastBeepType(), 0u);
    EXPECT_EQ(DefAbortHandler, nullptr);
    EXPECT_EQ(indicator.ends, 1);

    // The letter is gone; the posted command is still there for the main loop.
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_NOREMOVE));
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, UINT(WM_COMMAND));
    EXPECT_EQ(msg.wParam, 4711u);
}

TEST_F(AbortHandlersTest, WithoutEscapeThePollReturns) {
    PostKey('B');
    CEscapeAbortHandler handler;
    EXPECT_NO_THROW(DefAbortProc());
    EXPECT_EQ(handler.aborted, 0);
    EXPECT_EQ(SdBeepCount(), 0);
}

// A main frame with a status bar of six panes, or four without the extended panes.
class ProgressFrame : public CWnd, public StatusBarFrame {
public:
    bool Make() {
        if (!CreateEx(0, nullptr, "frame", WS_OVERLAPPED | WS_VISIBLE, 0, 0, 400, 300, nullptr,
                      nullptr) ||
            !bar.Create(this))
            return false;
        SetupStatusBar();
        setups = 0;
        UpdateWindow();
        bar.UpdateWindow();
        return true;
    }
    CStatusBar* GetStatusBar() override { return &bar; }
    BOOL GetExtendedStatusBar() const override { return extended; }
    void SetExtendedStatusBar(BOOL e) override { extended = e; }
    void SetupStatusBar() override {
        ++setups;
        static const UINT panes[6] = {};
        bar.SetIndicators(panes, extended ? 6 : 4);
    }
    CStatusBar bar;
    BOOL extended = TRUE;
    int setups = 0;
};

constexpr COLORREF Black = RGB(0, 0, 0);

TEST_F(AbortHandlersTest, ProgressShowsTheStageAndFillsPaneZero) {
    ProgressFrame frame;
    ASSERT_TRUE(frame.Make());
    {
        CStatusBarProgress progress(frame);
        EXPECT_EQ(DefAbortHandler, &progress);
        EXPECT_FALSE(frame.extended);
        ASSERT_EQ(frame.bar.GetCount(), 2);
        UINT id = 1, style = 1;
        int width = 0;
        frame.bar.GetPaneInfo(1, id, style, width);
        EXPECT_EQ(id, 0u);
        EXPECT_EQ(style & ~SBPS_STRETCH, SBPS_NORMAL);
        EXPECT_EQ(width, 100);

        progress.SetStage("Tracing", 50, 100);
        EXPECT_EQ(std::string(frame.bar.GetPaneText(1)), "Tracing");
        EXPECT_EQ(progress.from, 50.0f);
        progress.SetProgress(50);

        RECT pane{};
        frame.bar.GetItemRect(0, &pane);
        const int w = int(pane.right - pane.left);
        ASSERT_GT(w, 8);
        const int x = int(pane.left) + w * 3 / 4; // three quarters, truncated
        const int y = int(pane.top + pane.bottom) / 2;
        EXPECT_EQ(progress.lastWidth, x - int(pane.left));
        SdGdiImage image = SdGdiReadWindow(frame.bar.m_hWnd);
        EXPECT_EQ(image.at(int(pane.left) + 1, y), Black);
        EXPECT_EQ(image.at(x - 1, y), Black);
        EXPECT_NE(image.at(x + 1, y), Black);

        // The same value draws nothing: a wiped bar stays wiped; a new width draws again.
        {
            CClientDC dc(&frame.bar);
            dc.FillSolidRect(&pane, RGB(255, 255, 255));
        }
        progress.SetProgress(50);
        EXPECT_NE(SdGdiReadWindow(frame.bar.m_hWnd).at(int(pane.left) + 1, y), Black);
        progress.SetProgress(60);
        EXPECT_EQ(SdGdiReadWindow(frame.bar.m_hWnd).at(int(pane.left) + 1, y), Black);
        EXPECT_EQ(progress.lastWidth, int(w * 0.8));
    }
    EXPECT_TRUE(frame.extended);
    EXPECT_EQ(frame.setups, 1);
    EXPECT_EQ(frame.bar.GetCount(), 6);
    EXPECT_EQ(DefAbortHandler, nullptr);
    EXPECT_EQ(indicator.ends, 1);
}

// One input message or paint per poll; Escape only sets the flag; what the main loop needs
// stays queued.
TEST_F(AbortHandlersTest, ProgressPollTakesInputAndPaintsOnly) {
    ProgressFrame frame;
    ASSERT_TRUE(frame.Make());
    SdInstallFakeClock(1000, SYSTEMTIME{2024, 1, 1, 1, 12, 0, 0, 0});
    frame.SetTimer(7, 10);
    SdAdvanceFakeClock(50);
    frame.PostMessage(WM_COMMAND, 4711, 0);
    CStatusBarProgress progress(frame);
    PostKey('A');
    frame.PostMessage(WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    PostKey(VK_ESCAPE);
    frame.PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    frame.bar.Invalidate();
    RECT dirty{};
    ASSERT_TRUE(::GetUpdateRect(frame.bar.m_hWnd, &dirty, FALSE));

    struct Poll {
        int aborted;
        bool waitCursor;
        bool barValid;
    };
    const Poll polls[] = {{0, false, false}, {1, false, false}, {1, true, false},
                          {1, true, false},  {1, true, true},   {1, true, true}};
    int n = 0;
    for (const Poll& p : polls) {
        SCOPED_TRACE(++n);
        EXPECT_NO_THROW(DefAbortProc());
        EXPECT_EQ(progress.aborted, p.aborted);
        EXPECT_EQ(::GetCursor() == ::LoadCursorA(nullptr, IDC_WAIT), p.waitCursor);
        EXPECT_EQ(!::GetUpdateRect(frame.bar.m_hWnd, &dirty, FALSE), p.barValid);
    }
    EXPECT_EQ(SdBeepCount(), 1);
    EXPECT_EQ(indicator.steps, 0) << "no busy prompt steps";

    // A quit request outlives the polls, which then take nothing more.
    ::PostQuitMessage(3);
    PostKey('B');
    DefAbortProc();
    frame.bar.Invalidate();
    DefAbortProc();
    DefAbortProc();

    std::set<UINT> left;
    MSG msg;
    for (int n = 0; n < 10 && ::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++n) {
        left.insert(msg.message);
        ::DispatchMessageA(&msg);
    }
    EXPECT_EQ(left, (std::set<UINT>{WM_COMMAND, WM_TIMER, WM_QUIT, WM_PAINT}));
    frame.KillTimer(7);
    SdRemoveFakeClock();
}

TEST_F(AbortHandlersTest, BusyPromptsGrowARowOfStepsAndStartAfreshEverySixty) {
    ProgressFrame frame;
    ASSERT_TRUE(frame.Make());
    HMODULE module = ::LoadLibraryA(SIGNDESK_RES); // the program's texts
    ASSERT_NE(module, nullptr);
    HINSTANCE previous = AfxGetResourceHandle();
    AfxSetResourceHandle(module);
    CString busy, done, cancelled;
    busy.LoadString(IDS_BUSY);
    done.LoadString(IDS_BUSY_DONE);
    cancelled.LoadString(IDS_BUSY_CANCELLED);
    ASSERT_FALSE(busy.IsEmpty());

    StartStatusBarBusy(frame);
    EXPECT_EQ(frame.bar.GetPaneText(0), busy);
    std::vector<CString> shown;
    for (int step = 1; step <= 61; ++step) {
        StepStatusBarBusy(frame);
        shown.push_back(frame.bar.GetPaneText(0));
    }
    EXPECT_EQ(shown[0], busy);
    EXPECT_EQ(shown[1], busy + "=");
    EXPECT_EQ(shown[59], busy + CString('=', 59));
    EXPECT_EQ(shown[60], busy);
    // Painted at once: the pane is valid again.
    RECT dirty{};
    EXPECT_FALSE(::GetUpdateRect(frame.bar.m_hWnd, &dirty, FALSE));
    ShowStatusBarPrompt(frame, IDS_BUSY_CANCELLED);
    EXPECT_EQ(frame.bar.GetPaneText(0), cancelled);
    ShowStatusBarPrompt(frame, IDS_BUSY_DONE);
    EXPECT_EQ(frame.bar.GetPaneText(0), done);
    AfxSetResourceHandle(previous);
    ::FreeLibrary(module);
}

} // namespace
