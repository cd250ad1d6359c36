#pragma once
// A program folder of its own (the resource module and the default palette) and an
// application object started and ended in the test's data folder.

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include <app/AppSettings.h>
#include <app/CSignApp.h>
#include <app/CSignFrame.h>
#include <app/CSplashWnd.h>
#include <mfc/CWinApp.h>
#include <settings/ProgramFolders.h>
#include <settings/ProgramFoldersTesting.h>
#include <testing/PlatformTest.h>
#include <win32/module.h>

class SignAppTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        programDir = DataFolder() / "program";
        std::filesystem::create_directories(programDir);
        std::filesystem::create_symlink(SIGNDESK_RES, programDir / "signdesk.so");
        std::filesystem::copy(APP_DATA_DIR, programDir, std::filesystem::copy_options::recursive);
        SdSetShellProgramDir((programDir.string() + "/").c_str());
        Settings() = AppSettings{};
        COleSheetFrame::framesCreated = 0;
        previousResources = AfxGetResourceHandle();
        app = std::make_unique<CSignApp>();
        app->m_pszExeName = strdup("signdesk");
    }
    void TearDown() override {
        PlatformTest::TearDown();
        HINSTANCE resources = app != nullptr ? app->m_hResources : nullptr;
        app.reset();
        AfxSetResourceHandle(previousResources);
        if (resources != nullptr) ::FreeLibrary(resources);
        SdSetShellProgramDir(nullptr);
    }

    std::filesystem::path Profile() const {
        return std::filesystem::path(std::string(GetDataFolder())) / "Application.ini";
    }
    void WriteProfile(const std::string& text) const {
        std::ofstream(Profile(), std::ios::binary) << text;
    }
    std::string ReadProfile() const {
        std::ifstream in(Profile(), std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    CSignFrame* Frame() const { return dynamic_cast<CSignFrame*>(app->m_pMainWnd); }
    // Start-up as the program runs it; TRUE when it completed.
    // The start-up picture, which would take the first click, is closed as its timer would.
    BOOL Start() {
        const BOOL started = app->InitInstance();
        if (CSplashWnd* splash = CurrentSplash()) splash->SendMessage(WM_TIMER, 1);
        return started;
    }
    // The user closes the main window; then the exit processing.
    int Exit() {
        if (app->m_pMainWnd != nullptr) app->m_pMainWnd->SendMessage(WM_CLOSE);
        PumpMessages();
        return app->ExitInstance();
    }

    std::filesystem::path programDir;
    HINSTANCE previousResources = nullptr;
    std::unique_ptr<CSignApp> app;
};
