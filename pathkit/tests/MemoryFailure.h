#pragma once
// Refuses the guarded allocator's next heap requests for the length of a test. Each refused
// request raises the allocator's retry prompt once; the scope answers it with Cancel, so the
// request ends in null.

#include <gtest/gtest.h>

#include <guardalloc/Guardalloc.h>
#include <win32/KernelTesting.h>
#include <win32/UserTesting.h>
#include <win32/user.h>

class MemoryFailureScope {
public:
    MemoryFailureScope() { Clear(); }
    ~MemoryFailureScope() {
        EXPECT_EQ(SdPendingMessageBoxAnswers(), 0) << "a refusal was never reached";
        EXPECT_EQ(SdUnscriptedMessageBoxCount(), 0) << "more requests were refused than expected";
        Clear();
    }
    MemoryFailureScope(const MemoryFailureScope&) = delete;
    MemoryFailureScope& operator=(const MemoryFailureScope&) = delete;

    // After `after` requests have been served, the next `requests` are refused.
    void Refuse(int requests, int after = 0) {
        SdFailHeapRequests(requests, after);
        for (int i = 0; i < requests; ++i)
            SdPushMessageBoxAnswer(IDCANCEL);
    }

private:
    static void Clear() {
        SdResetMemoryTesting();
        SdClearMessageBoxes();
    }
};
