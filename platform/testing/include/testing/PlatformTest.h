#pragma once
// The fixture of tests that drive the platform layer. Each test gets a data folder of its
// own, with XDG_CONFIG_HOME pointing at it; after the test every window is destroyed and
// the window, module and message-box state is reset.
//
// Message boxes: a test that expects boxes pushes their answers. TearDown fails the test
// when a box was shown without a scripted answer or when pushed answers were left unused,
// unless the test allowed it.
//
// Modal dialogs: a test that opens one registers a script for it (by template id or class
// name). TearDown fails the test when a modal dialog ran without a script, or its script
// failed or left it open, unless the test allowed unscripted dialogs.

#include <filesystem>
#include <gtest/gtest.h>
#include <vector>

#include "win32/DialogTesting.h"
#include "win32/UserTesting.h"

class PlatformTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    const std::filesystem::path& DataFolder() const { return dataFolder_; }

    void PushMessageBoxAnswer(int answer);
    std::vector<SdMessageBoxRecord> MessageBoxLog() const;
    void AllowUnscriptedMessageBoxes() { allowUnscripted_ = true; }
    void AllowUnusedMessageBoxAnswers() { allowUnused_ = true; }

    void SetDialogScript(int templateId, SdDialogScript script);
    void SetDialogScriptForClass(const std::string& className, SdDialogScript script);
    std::vector<SdDialogRecord> DialogLog() const;
    void AllowUnscriptedDialogs() { allowUnscriptedDialogs_ = true; }

    // Dispatches messages until none is left; returns how many. Stops after `limit`
    // messages with a test failure, so a window that keeps posting cannot hang the test.
    int PumpMessages(int limit = 10000);

    // The next `count` heap (global memory) requests fail, after `after` more succeed.
    void FailHeapRequests(int count, int after = 0);
    void FailGlobalRequests(int count, int after = 0);

private:
    std::filesystem::path dataFolder_;
    bool hadConfigHome_ = false;
    std::string savedConfigHome_;
    bool allowUnscripted_ = false;
    bool allowUnused_ = false;
    bool allowUnscriptedDialogs_ = false;
};
