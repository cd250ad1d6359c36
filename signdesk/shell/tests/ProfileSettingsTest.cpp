#include "shell/ProfileSettings.h"

#include <mfc/afx.h>
#include <win32/UserTesting.h>
#include <win32/kernel.h>
#include <win32/user.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class ProfileSettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("profile-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir);
        profile = (dir / "Application.ini").string();
        app.m_pszProfileName = strdup(profile.c_str());
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.lpszClassName = "PlacementTestWindow";
        RegisterClassA(&wc);
    }
    void TearDown() override {
        app.m_pMainWnd = nullptr;
        SdResetUserState();
        fs::remove_all(dir);
    }
    HWND NewWindow() {
        return CreateWindowExA(0, "PlacementTestWindow", "w", WS_OVERLAPPEDWINDOW, 10, 20, 300,
                               200, nullptr, nullptr, nullptr, nullptr);
    }
    CString Stored(const char* name) { return app.GetProfileString(name, "WindowPos", ""); }

    CWinApp app{"ProfileSettingsTest"};
    fs::path dir;
    std::string profile;
};

TEST_F(ProfileSettingsTest, FloatsRoundTripWithDefaults) {
    EXPECT_EQ(GetProfileFloat("Settings", "Zoom", 1.5f), 1.5f);
    EXPECT_TRUE(WriteProfileFloat("Settings", "Zoom", 0.25f));
    EXPECT_STREQ(Stored("x"), "");
    EXPECT_STREQ(app.GetProfileString("Settings", "Zoom", ""), "0.25");
    EXPECT_EQ(GetProfileFloat("Settings", "Zoom", 1.5f), 0.25f);
    app.WriteProfileString("Settings", "Empty", "");
    EXPECT_EQ(GetProfileFloat("Settings", "Empty", 3.0f), 3.0f);
}

TEST_F(ProfileSettingsTest, PlacementRoundTripsNormalAndMaximised) {
    CWnd first;
    first.m_hWnd = NewWindow();
    ASSERT_TRUE(SaveWindowPlacement("MainFrame", &first));
    EXPECT_STREQ(Stored("MainFrame"), "0,1,-1,-1,-1,-1,10,20,310,220")
        << "flags, show command, minimised and maximised positions, normal rectangle";

    CWnd second;
    second.m_hWnd = NewWindow();
    MoveWindow(second.m_hWnd, 0, 0, 50, 50, FALSE);
    ASSERT_TRUE(RestoreWindowPlacement("MainFrame", &second));
    RECT r;
    GetWindowRect(second.m_hWnd, &r);
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.bottom, 220);

    ShowWindow(first.m_hWnd, SW_SHOWMAXIMIZED);
    ASSERT_TRUE(SaveWindowPlacement("MainFrame", &first));
    EXPECT_EQ(std::strncmp(Stored("MainFrame"), "2,3,", 4), 0) << static_cast<const char*>(Stored("MainFrame"));
    ASSERT_TRUE(RestoreWindowPlacement("MainFrame", &second));
    EXPECT_TRUE(IsZoomed(second.m_hWnd));
}

TEST_F(ProfileSettingsTest, MinimisedWindowLeavesTheStoredValue) {
    CWnd wnd;
    wnd.m_hWnd = NewWindow();
    app.WriteProfileString("ColourEditor", "WindowPos", "0,1,0,0,0,0,1,2,3,4");
    ShowWindow(wnd.m_hWnd, SW_MINIMIZE);
    EXPECT_TRUE(SaveWindowPlacement("ColourEditor", &wnd));
    EXPECT_STREQ(Stored("ColourEditor"), "0,1,0,0,0,0,1,2,3,4");
}

TEST_F(ProfileSettingsTest, RestoreRefusesBadValuesAndChangesNothing) {
    CWnd wnd;
    wnd.m_hWnd = NewWindow();
    const char* bad[] = {"", "0,1,0,0,0,0,1,2,3", "0,1,0,0,0,0,1,2,3,4,5", "garbage",
                         "0,1,0,0,0,0,1,2,3,x"};
    for (const char* value : bad) {
        app.WriteProfileString("LayerDisplay", "WindowPos", value);
        EXPECT_FALSE(RestoreWindowPlacement("LayerDisplay", &wnd)) << value;
        RECT r;
        GetWindowRect(wnd.m_hWnd, &r);
        EXPECT_EQ(r.left, 10) << value;
        EXPECT_EQ(r.right, 310) << value;
    }
}

TEST_F(ProfileSettingsTest, NullWindowMeansTheMainWindowAndABadHandleFails) {
    EXPECT_FALSE(SaveWindowPlacement("MainFrame", nullptr)); // no main window yet
    CWnd main;
    main.m_hWnd = NewWindow();
    app.m_pMainWnd = &main;
    EXPECT_TRUE(SaveWindowPlacement("MainFrame", nullptr));
    EXPECT_FALSE(Stored("MainFrame").IsEmpty());
    EXPECT_TRUE(RestoreWindowPlacement("MainFrame", nullptr));

    CWnd gone;
    gone.m_hWnd = NewWindow();
    DestroyWindow(gone.m_hWnd);
    EXPECT_FALSE(SaveWindowPlacement("PaletteEditor", &gone));
    EXPECT_FALSE(RestoreWindowPlacement("MainFrame", &gone));
    gone.m_hWnd = nullptr;
}

} // namespace
