// The application object: its profile and the current thread and main window.

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "TestSupport.h"
#include "win32/UserTesting.h"

TEST(CWinAppTest, ProfileThroughThePrivateProfileFile) {
    TempFolder folder;
    CWinApp app("signdesk");
    const std::string ini = folder.file("Application.ini");
    app.m_pszProfileName = strdup(ini.c_str());

    EXPECT_TRUE(app.WriteProfileInt("Settings", "DefaultLayer", -5));
    EXPECT_EQ(int(app.GetProfileInt("Settings", "DefaultLayer", 0)), -5);
    EXPECT_EQ(int(app.GetProfileInt("Settings", "Missing", -7)), -7);
    EXPECT_TRUE(app.WriteProfileString("Settings", "ImportPath", "C:\\Designs"));
    EXPECT_EQ(app.GetProfileString("settings", "importpath"), CString("C:\\Designs"));
    EXPECT_EQ(app.GetProfileString("Settings", "Missing", "dflt"), CString("dflt"));
    EXPECT_TRUE(app.GetProfileString("Settings", "Missing").IsEmpty());
    const std::string longValue(3000, 'v');
    EXPECT_TRUE(app.WriteProfileStringA("Settings", "Long", longValue.c_str()));
    EXPECT_EQ(app.GetProfileStringA("Settings", "Long").GetLength(), 3000);
    EXPECT_TRUE(app.WriteProfileString(nullptr, nullptr, nullptr)); // flush
    EXPECT_TRUE(app.WriteProfileString("Settings", "ImportPath", nullptr));
    EXPECT_EQ(app.GetProfileString("Settings", "ImportPath", "gone"), CString("gone"));
}

TEST(CWinAppTest, WithoutAProfileReadsGiveDefaults) {
    CWinApp app;
    EXPECT_EQ(app.GetProfileString("S", "K", "d"), CString("d"));
    EXPECT_EQ(int(app.GetProfileInt("S", "K", -3)), -3);
    EXPECT_FALSE(app.WriteProfileInt("S", "K", 1));
}

TEST(CWinAppTest, CurrentThreadAndMainWindow) {
    EXPECT_EQ(AfxGetApp(), nullptr);
    EXPECT_EQ(AfxGetThread(), nullptr);
    EXPECT_EQ(AfxGetMainWnd(), nullptr);
    {
        CWinApp app("signdesk");
        EXPECT_STREQ(app.m_pszAppName, "signdesk");
        EXPECT_EQ(AfxGetApp(), &app);
        EXPECT_EQ(AfxGetThread(), &app);
        EXPECT_EQ(AfxGetMainWnd(), nullptr);
        CWnd frame;
        frame.m_hWnd = reinterpret_cast<HWND>(0x1234);
        app.m_pMainWnd = &frame;
        EXPECT_EQ(AfxGetMainWnd(), &frame);
        EXPECT_EQ(AfxGetMainWnd()->GetSafeHwnd(), frame.m_hWnd);

        CWinThread other;
        EXPECT_EQ(SdSetCurrentThread(&other), &app);
        EXPECT_EQ(AfxGetThread(), &other);
        EXPECT_EQ(AfxGetMainWnd(), nullptr);
        EXPECT_EQ(AfxGetApp(), &app);
        SdSetCurrentThread(&app);
    }
    EXPECT_EQ(AfxGetApp(), nullptr);
    EXPECT_EQ(AfxGetThread(), nullptr);
}

TEST(CWinAppTest, ExceptionsReportThroughTheApplicationsMessageBox) {
    CWinApp app("signdesk");
    SdClearMessageBoxes();
    SdPushMessageBoxAnswer(IDOK);
    CArchiveException error(CArchiveException::badSchema, "doc.wtp");
    EXPECT_EQ(error.ReportError(), IDOK);
    SdPushMessageBoxAnswer(IDNO);
    EXPECT_EQ(AfxMessageBox("Save?", MB_YESNO), IDNO);
    const std::vector<SdMessageBoxRecord> log = SdMessageBoxLog();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_NE(log[0].text.find("doc.wtp"), std::string::npos) << log[0].text;
    EXPECT_EQ(log[0].caption, "signdesk");
    EXPECT_EQ(log[0].style, MB_OK | MB_ICONEXCLAMATION);
    EXPECT_EQ(log[1].style, MB_YESNO | MB_ICONQUESTION);
    SdClearMessageBoxes();
}
