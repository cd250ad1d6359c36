#include <gtest/gtest.h>

#include <stdexcept>

#include "mfc/CCmdTarget.h"
#include "mfc/CWaitCursor.h"

TEST(WaitCursorTest, CountsNestedShowsAndSurvivesExceptions) {
    const int base = SdWaitCursorCount();
    CCmdTarget target;
    target.BeginWaitCursor();
    EXPECT_EQ(SdWaitCursorCount(), base + 1);
    try {
        CWaitCursor wait;
        EXPECT_EQ(SdWaitCursorCount(), base + 2);
        wait.Restore();
        EXPECT_EQ(SdWaitCursorCount(), base + 2);
        throw std::runtime_error("stop");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(SdWaitCursorCount(), base + 1);
    target.EndWaitCursor();
    EXPECT_EQ(SdWaitCursorCount(), base);
    // An unmatched end never takes the count below zero.
    for (int i = 0; i <= base; ++i)
        target.EndWaitCursor();
    EXPECT_EQ(SdWaitCursorCount(), 0);
}
