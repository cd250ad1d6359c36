#include <gtest/gtest.h>

#include <pathkit/Exceptions.h>
#include <win32/user.h>

#include "shell/BusyIndicator.h"
#include "shell/CEscapeAbortHandler.h"
#include "testing/PlatformTest.h"

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

} // namespace
