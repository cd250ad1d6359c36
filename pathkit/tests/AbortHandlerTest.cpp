#include <gtest/gtest.h>
#include <stdexcept>

#include "pathkit/AbortHandler.h"

namespace {

// Installs itself for its lifetime and puts the previous handler back, as callers do.
class ScopedHandler : public AbortHandler {
public:
    explicit ScopedHandler(bool throws = false) : previous_(DefAbortHandler), throws_(throws) {
        DefAbortHandler = this;
    }
    ~ScopedHandler() override { DefAbortHandler = previous_; }

    void SetStage(const char*, float, float) override {}
    void SetProgress(float) override {}
    void CheckAbort() override {
        ++polls;
        if (throws_) throw std::runtime_error("aborted");
    }

    int polls = 0;

private:
    AbortHandler* previous_;
    bool throws_;
};

TEST(AbortHandler, WithoutHandlerPollReturns) {
    ASSERT_EQ(DefAbortHandler, nullptr);
    DefAbortProc();
    EXPECT_EQ(DefAbortHandler, nullptr);
}

TEST(AbortHandler, NestedHandlersRestoreInStackOrder) {
    ScopedHandler outer;
    {
        ScopedHandler inner;
        DefAbortProc();
        DefAbortProc();
        EXPECT_EQ(inner.polls, 2);
        EXPECT_EQ(outer.polls, 0);
    }
    EXPECT_EQ(DefAbortHandler, &outer);
    DefAbortProc();
    EXPECT_EQ(outer.polls, 1);
}

TEST(AbortHandler, ThrowingHandlerUnwindsThroughPoll) {
    ScopedHandler outer;
    auto longOperation = [] {
        ScopedHandler cancelling(true);
        for (int step = 0; step < 100; ++step)
            DefAbortProc();
        ADD_FAILURE() << "the poll did not throw";
    };
    EXPECT_THROW(longOperation(), std::runtime_error);
    EXPECT_EQ(DefAbortHandler, &outer);
    EXPECT_EQ(outer.polls, 0);
}

} // namespace

namespace {

TEST(AbortHandler, DefaultOperationsKeepTheStageRange) {
    AbortHandler plain;
    EXPECT_EQ(plain.aborted, 0);
    EXPECT_EQ(plain.from, 0.0f);
    EXPECT_EQ(plain.to, 100.0f);
    plain.SetStage("ignored", 25.0f, 75.0f);
    plain.SetProgress(50.0f);
    plain.CheckAbort();
    EXPECT_EQ(plain.from, 25.0f);
    EXPECT_EQ(plain.to, 75.0f);
    EXPECT_EQ(plain.aborted, 0);
}

} // namespace
