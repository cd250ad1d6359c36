// The folder chooser on its template, driven by a script.

#include <gtest/gtest.h>

#include <filesystem>

#include <mfc/afx.h>
#include <win32/module.h>

#include "settings/PathNames.h"
#include "shell/CFolderDialog.h"
#include "testing/DialogDriver.h"
#include "testing/PlatformTest.h"

namespace {

class FolderDialogTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        module = ::LoadLibraryA(SIGNDESK_RES); // the program's resource library
        ASSERT_NE(module, nullptr);
        previous = AfxGetResourceHandle();
        AfxSetResourceHandle(module);
        root = DataFolder() / "media";
        std::filesystem::create_directories(root / "vinyl");
        std::filesystem::create_directories(root / "paper");
    }
    void TearDown() override {
        AfxSetResourceHandle(previous);
        if (module) ::FreeLibrary(module);
        PlatformTest::TearDown();
    }
    HMODULE module = nullptr;
    HINSTANCE previous = nullptr;
    std::filesystem::path root;
};

} // namespace

TEST_F(FolderDialogTest, ChoosesAFolderWithTheFileControlsHidden) {
    CFolderDialog dialog;
    EXPECT_EQ(dialog.m_ofn.Flags & 0xFF, 0x56u);
    EXPECT_FALSE(dialog.m_bOpenFileDialog);
    const std::string start = root.string();
    dialog.m_ofn.lpstrInitialDir = start.c_str();
    LRESULT selectedBeforePaint = -2;
    LRESULT selectedAfterPaint = -2;
    SetDialogScript(CFolderDialog::TemplateId, [&](HWND hwnd) {
        for (int hidden : {1089, 1090, 1120, 1136, 1152})
            EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(hwnd, hidden))) << hidden;
        EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(hwnd, 1121)));
        EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(hwnd, 1038))) << "help is shown";
        EXPECT_EQ(sdtest::TextOf(hwnd, 1152), "Junk");
        EXPECT_EQ(::GetDlgCtrlID(::GetFocus()), 1121);
        selectedBeforePaint = ::SendDlgItemMessageA(hwnd, 1121, LB_GETCURSEL, 0, 0);
        sdtest::PumpDialog();
        selectedAfterPaint = ::SendDlgItemMessageA(hwnd, 1121, LB_GETCURSEL, 0, 0);
        // A later selection is not taken back by further paints.
        sdtest::Select(hwnd, 1121, "vinyl");
        ::SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(1121, LBN_DBLCLK),
                       reinterpret_cast<LPARAM>(::GetDlgItem(hwnd, 1121)));
        ::InvalidateRect(hwnd, nullptr, TRUE);
        sdtest::PumpDialog();
        EXPECT_NE(::SendDlgItemMessageA(hwnd, 1121, LB_GETCURSEL, 0, 0), 0);
        sdtest::Click(hwnd, IDOK);
    });
    ASSERT_EQ(dialog.DoModal(), IDOK);
    EXPECT_NE(selectedBeforePaint, 0) << "the file dialog marks the current folder";
    EXPECT_EQ(selectedAfterPaint, 0);
    EXPECT_EQ(std::string(GetPathDirectory(dialog.GetPathName())), (root / "vinyl").string());
    auto log = DialogLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].templateId, int(CFolderDialog::TemplateId));
}
