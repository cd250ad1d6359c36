#include "testing/PlatformTest.h"

#include <cstdlib>
#include <string>
#include <system_error>
#include <unistd.h>

#include "win32/ClipboardTesting.h"
#include "win32/DialogTesting.h"
#include "win32/GdiTesting.h"
#include "win32/KernelTesting.h"
#include "win32/ModuleTesting.h"
#include "win32/user.h"

void PlatformTest::SetUp() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/sdtest-XXXXXX";
    if (!mkdtemp(pattern.data())) FAIL() << "cannot make a data folder from " << pattern;
    dataFolder_ = pattern;
    if (const char* home = std::getenv("XDG_CONFIG_HOME")) {
        hadConfigHome_ = true;
        savedConfigHome_ = home;
    }
    setenv("XDG_CONFIG_HOME", dataFolder_.c_str(), 1);
    SdClearMessageBoxes();
    SdClearDialogScripts();
}

void PlatformTest::TearDown() {
    if (!allowUnscripted_) {
        for (const SdMessageBoxRecord& box : SdMessageBoxLog())
            if (!box.scripted)
                ADD_FAILURE() << "message box shown without a scripted answer: \"" << box.caption
                              << "\": " << box.text;
    }
    if (!allowUnscriptedDialogs_) {
        for (const SdDialogRecord& dialog : SdDialogLog())
            if (!dialog.scripted || !dialog.failure.empty())
                ADD_FAILURE() << "modal dialog \"" << dialog.caption << "\" (template "
                              << dialog.templateId << ", class " << dialog.className << ") "
                              << (dialog.scripted ? dialog.failure : "ran without a script");
    }
    if (!allowUnused_ && SdPendingMessageBoxAnswers() > 0)
        ADD_FAILURE() << SdPendingMessageBoxAnswers() << " scripted message-box answer(s) unused";

    SdResetClipboard();
    SdResetUserState();
    SdResetModuleTesting();
    SdResetMemoryTesting();
    SdGdiResetTesting();
    if (SdFakeClockInstalled()) SdRemoveFakeClock();

    if (hadConfigHome_)
        setenv("XDG_CONFIG_HOME", savedConfigHome_.c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
    std::error_code ignored;
    if (!dataFolder_.empty()) std::filesystem::remove_all(dataFolder_, ignored);
}

void PlatformTest::PushMessageBoxAnswer(int answer) {
    SdPushMessageBoxAnswer(answer);
}

std::vector<SdMessageBoxRecord> PlatformTest::MessageBoxLog() const {
    return SdMessageBoxLog();
}

int PlatformTest::PumpMessages(int limit) {
    MSG msg;
    int count = 0;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(int(msg.wParam)); // leave it for the loop that should see it
            break;
        }
        if (++count > limit) {
            ADD_FAILURE() << "the message queue did not run dry after " << limit << " messages";
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return count;
}

void PlatformTest::FailHeapRequests(int count, int after) {
    SdFailHeapRequests(count, after);
}

void PlatformTest::FailGlobalRequests(int count, int after) {
    SdFailGlobalRequests(count, after);
}

void PlatformTest::SetDialogScript(int templateId, SdDialogScript script) {
    SdSetDialogScript(templateId, std::move(script));
}

void PlatformTest::SetDialogScriptForClass(const std::string& className, SdDialogScript script) {
    SdSetDialogScriptForClass(className, std::move(script));
}

std::vector<SdDialogRecord> PlatformTest::DialogLog() const {
    return SdDialogLog();
}
