#include <cstdlib>
#include <filesystem>
#include <gtest/gtest-spi.h>
#include <string>

#include "testing/PlatformTest.h"
#include "win32/kernel.h"
#include "win32/user.h"

namespace {

using UserMessageBoxTest = PlatformTest;

TEST_F(UserMessageBoxTest, UnscriptedBoxesTakeTheDefaultButton) {
    AllowUnscriptedMessageBoxes();
    struct Case {
        UINT style;
        int answer;
    };
    const Case cases[] = {
        {MB_OK, IDOK},
        {MB_OK | MB_DEFBUTTON2, IDOK}, // no second button: the first
        {MB_OKCANCEL, IDOK},
        {MB_OKCANCEL | MB_DEFBUTTON2, IDCANCEL},
        {MB_ABORTRETRYIGNORE, IDABORT},
        {MB_ABORTRETRYIGNORE | MB_DEFBUTTON2, IDRETRY},
        {MB_ABORTRETRYIGNORE | MB_DEFBUTTON3, IDIGNORE},
        {MB_YESNOCANCEL | MB_ICONQUESTION, IDYES},
        {MB_YESNOCANCEL | MB_DEFBUTTON3, IDCANCEL},
        {MB_YESNO | MB_DEFBUTTON2 | MB_ICONEXCLAMATION, IDNO},
        {MB_RETRYCANCEL | MB_ICONHAND, IDRETRY},
        {MB_RETRYCANCEL | MB_DEFBUTTON2, IDCANCEL},
        {MB_YESNO | MB_DEFBUTTON4, IDYES},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.style);
        EXPECT_EQ(MessageBoxA(nullptr, "text", "caption", c.style), c.answer);
    }
    EXPECT_EQ(SdUnscriptedMessageBoxCount(), int(std::size(cases)));

    // An unknown set of buttons is refused, and no box is shown.
    SdClearMessageBoxes();
    EXPECT_EQ(MessageBoxA(nullptr, "text", "caption", 7), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_MSGBOX_STYLE);
    EXPECT_TRUE(MessageBoxLog().empty());
}

TEST_F(UserMessageBoxTest, ScriptedAnswersAreUsedInOrderAndLogged) {
    HWND owner = reinterpret_cast<HWND>(0x1234);
    PushMessageBoxAnswer(IDNO);
    PushMessageBoxAnswer(IDRETRY);
    EXPECT_EQ(SdPendingMessageBoxAnswers(), 2);
    EXPECT_EQ(MessageBox(owner, "Save changes?", "Sign", MB_YESNOCANCEL | MB_ICONQUESTION), IDNO);
    EXPECT_EQ(MessageBoxA(nullptr, nullptr, nullptr, MB_RETRYCANCEL), IDRETRY);
    EXPECT_EQ(SdPendingMessageBoxAnswers(), 0);

    std::vector<SdMessageBoxRecord> log = MessageBoxLog();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].owner, owner);
    EXPECT_EQ(log[0].text, "Save changes?");
    EXPECT_EQ(log[0].caption, "Sign");
    EXPECT_EQ(log[0].style, MB_YESNOCANCEL | MB_ICONQUESTION);
    EXPECT_EQ(log[0].answer, IDNO);
    EXPECT_TRUE(log[0].scripted);
    EXPECT_EQ(log[1].text, "");
    EXPECT_EQ(log[1].caption, "Error"); // the default caption
    EXPECT_EQ(SdUnscriptedMessageBoxCount(), 0);
}

// The fixture itself: a box nobody answered, or an answer nobody used, fails the test.
class FixtureProbe : public PlatformTest {
public:
    void TestBody() override {}
    void Begin() { SetUp(); }
    void End() { TearDown(); }
    std::filesystem::path DataFolderForProbe() const { return DataFolder(); }
};

TEST(UserMessageBoxFixtureTest, UnansweredBoxesAndUnusedAnswersFailTheTest) {
    EXPECT_NONFATAL_FAILURE(
        {
            FixtureProbe probe;
            probe.Begin();
            MessageBoxA(nullptr, "Unexpected", "Oops", MB_OK);
            probe.End();
        },
        "without a scripted answer");
    EXPECT_NONFATAL_FAILURE(
        {
            FixtureProbe probe;
            probe.Begin();
            SdPushMessageBoxAnswer(IDOK);
            probe.End();
        },
        "unused");
    EXPECT_EQ(SdPendingMessageBoxAnswers(), 0); // the reset cleared the script
}

TEST(UserMessageBoxFixtureTest, DataFolderAndConfigHomeLastForOneTest) {
    const char* before = std::getenv("XDG_CONFIG_HOME");
    std::string saved = before ? before : "<unset>";
    std::filesystem::path folder;
    {
        FixtureProbe probe;
        probe.Begin();
        folder = probe.DataFolderForProbe();
        EXPECT_TRUE(std::filesystem::is_directory(folder));
        EXPECT_EQ(std::string(std::getenv("XDG_CONFIG_HOME")), folder.string());
        HWND hwnd = CreateWindowA("NoClass", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
        EXPECT_EQ(hwnd, nullptr);
        PostQuitMessage(1);
        probe.End();
    }
    EXPECT_FALSE(std::filesystem::exists(folder));
    const char* after = std::getenv("XDG_CONFIG_HOME");
    EXPECT_EQ(after ? std::string(after) : std::string("<unset>"), saved);
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)); // the quit was reset too
}

TEST_F(UserMessageBoxTest, BeepsAreCounted) {
    SdResetBeeps();
    EXPECT_TRUE(MessageBeep(MB_ICONEXCLAMATION));
    EXPECT_TRUE(MessageBeep(0xFFFFFFFF));
    EXPECT_EQ(SdBeepCount(), 2);
    EXPECT_EQ(SdLastBeepType(), 0xFFFFFFFFu);
    SdResetBeeps();
    EXPECT_EQ(SdBeepCount(), 0);
}

} // namespace
