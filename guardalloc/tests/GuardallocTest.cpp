#include "guardalloc/Guardalloc.h"

#include <mfc/afx.h>
#include <win32/KernelTesting.h>
#include <win32/UserTesting.h>
#include <win32/kernel.h>
#include <win32/user.h>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

// The error window of the main program: answers WM_ALLOCFAILED from a script.
std::vector<LRESULT> g_answers;
int g_allocFailedMessages = 0;

LRESULT CALLBACK ErrorWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_ALLOCFAILED) {
        EXPECT_EQ(wParam, 0u);
        EXPECT_EQ(lParam, 0);
        LRESULT answer = g_answers.empty() ? 0 : g_answers.front();
        if (!g_answers.empty()) g_answers.erase(g_answers.begin());
        ++g_allocFailedMessages;
        return answer;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

class GuardallocTest : public ::testing::Test {
protected:
    void SetUp() override {
        hErrorHandlerWnd = nullptr;
        g_answers.clear();
        g_allocFailedMessages = 0;
        SdResetMemoryTesting();
        SdClearMessageBoxes();
    }
    void TearDown() override {
        hErrorHandlerWnd = nullptr;
        SdResetMemoryTesting();
        SdResetUserState();
    }
    HWND CreateErrorWindow() {
        WNDCLASSA wc{};
        wc.lpfnWndProc = ErrorWindowProc;
        wc.lpszClassName = "GuardallocErrorWindow";
        RegisterClassA(&wc);
        HWND hwnd = CreateWindowExA(0, "GuardallocErrorWindow", "frame", 0, 0, 0, 100, 100,
                                    nullptr, nullptr, nullptr, nullptr);
        EXPECT_NE(hwnd, nullptr);
        return hwnd;
    }
};

TEST_F(GuardallocTest, AllocatesResizesAndFreesFromItsHeap) {
    char* block = SafeAlloc(16);
    ASSERT_NE(block, nullptr);
    std::memcpy(block, "0123456789abcdef", 16);
    block = SafeReAlloc(block, 100000);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(std::memcmp(block, "0123456789abcdef", 16), 0);
    SafeFree(block);
    EXPECT_TRUE(SdMessageBoxLog().empty());
}

TEST_F(GuardallocTest, WithoutWindowCancelGivesNullAfterExactlyOneBox) {
    SdFailHeapRequests(1000);
    SdPushMessageBoxAnswer(IDCANCEL);
    EXPECT_EQ(SafeAlloc(64), nullptr);
    auto log = SdMessageBoxLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].text, "No memory");
    EXPECT_EQ(log[0].caption, "Error");
    EXPECT_EQ(log[0].style, 0x35u);
    EXPECT_EQ(log[0].owner, nullptr);
    EXPECT_EQ(SdHeapRequestCount(), 1);
}

TEST_F(GuardallocTest, RetryInTheBoxRepeatsTheRequest) {
    SdFailHeapRequests(2);
    SdPushMessageBoxAnswer(IDRETRY);
    SdPushMessageBoxAnswer(IDRETRY);
    char* block = SafeAlloc(64);
    EXPECT_NE(block, nullptr);
    EXPECT_EQ(SdMessageBoxLog().size(), 2u);
    EXPECT_EQ(SdHeapRequestCount(), 3);
    SafeFree(block);
}

TEST_F(GuardallocTest, BoxIsOwnedByTheThreadsMainWindow) {
    CWinApp app("GuardallocTest");
    CWnd main;
    main.m_hWnd = CreateErrorWindow();
    app.m_pMainWnd = &main;
    SdFailHeapRequests(1);
    SdPushMessageBoxAnswer(IDCANCEL);
    EXPECT_EQ(SafeAlloc(8), nullptr);
    auto log = SdMessageBoxLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].owner, main.m_hWnd);
    app.m_pMainWnd = nullptr;
    main.m_hWnd = nullptr;
}

TEST_F(GuardallocTest, RegisteredWindowAnswersInsteadOfTheBox) {
    hErrorHandlerWnd = CreateErrorWindow();
    g_answers = {1, 0};
    SdFailHeapRequests(1000);
    EXPECT_EQ(SafeAlloc(64), nullptr);
    EXPECT_EQ(SdHeapRequestCount(), 2);
    EXPECT_EQ(g_allocFailedMessages, 2);
    EXPECT_TRUE(SdMessageBoxLog().empty());
}

TEST_F(GuardallocTest, WindowRegisteredAfterFailuresTakesOver) {
    SdFailHeapRequests(1000);
    SdPushMessageBoxAnswer(IDCANCEL);
    EXPECT_EQ(SafeAlloc(8), nullptr);
    EXPECT_EQ(SdMessageBoxLog().size(), 1u);

    hErrorHandlerWnd = CreateErrorWindow();
    g_answers = {0};
    EXPECT_EQ(SafeAlloc(8), nullptr);
    EXPECT_EQ(g_allocFailedMessages, 1);
    EXPECT_EQ(SdMessageBoxLog().size(), 1u);
}

TEST_F(GuardallocTest, DeclinedReAllocLeavesTheBlockUntouched) {
    char* block = SafeAlloc(8);
    ASSERT_NE(block, nullptr);
    std::memcpy(block, "abcdefg", 8);
    SdFailHeapRequests(1000);
    SdPushMessageBoxAnswer(IDCANCEL);
    EXPECT_EQ(SafeReAlloc(block, 1 << 20), nullptr);
    SdResetMemoryTesting();
    EXPECT_STREQ(block, "abcdefg");
    SafeFree(block);
}

TEST_F(GuardallocTest, GlobalAllocPassesTheFlagsThrough) {
    void* handle = SafeGAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 32);
    ASSERT_NE(handle, nullptr);
    char* p = static_cast<char*>(GlobalLock(handle));
    ASSERT_NE(p, nullptr);
    EXPECT_NE(static_cast<void*>(p), handle); // a movable block is reached through its handle
    EXPECT_EQ(p[31], 0);
    GlobalUnlock(handle);
    EXPECT_EQ(GlobalSize(handle), 32u);
    EXPECT_EQ(GlobalFree(handle), nullptr);

    SdFailGlobalRequests(1);
    SdPushMessageBoxAnswer(IDRETRY);
    handle = SafeGAlloc(GMEM_FIXED, 4);
    EXPECT_NE(handle, nullptr);
    EXPECT_EQ(SdMessageBoxLog().size(), 1u);
    GlobalFree(handle);
}

} // namespace
