#pragma once
// Output tests: an application with a profile in the test's folder, the program's texts, the
// fake spooler with a raster printer "Raster" and a PostScript printer "PS" (A4, 300 dpi),
// and a fresh engine over a stand-in design.
#include <memory>
#include <string>

#include <mfc/afx.h>
#include <win32/GdiTesting.h>
#include <win32/SpoolerTesting.h>
#include <win32/kernel.h>
#include <win32/module.h>

#include "PathSource.h"
#include "output/CPrintEngine.h"
#include "output/CTileLayout.h"
#include "testing/PlatformTest.h"

// True where a page pixel is not white.
inline bool Ink(COLORREF c) {
    return c != RGB(255, 255, 255);
}

class OutputTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        SdInstallFakeSpooler();
        SdAddFakePrinter("Raster");
        SdAddFakePrinter("PS");
        SdGdiDescribePrinter("PS", SdPrinterKind::PostScript);
        // A4 at 100 dpi, for tests that read whole pages.
        SdAddFakePrinter("Draft");
        SdGdiDescribePrinter("Draft", SdPrinterKind::Raster, SdPrinterPage{2100, 2970, 100, false});
        module = ::LoadLibraryA(SIGNDESK_RES);
        ASSERT_NE(module, nullptr);
        previous = AfxGetResourceHandle();
        AfxSetResourceHandle(module);
        profile = (DataFolder() / "Application.ini").string();
        profileName = profile;
        app.m_pszProfileName = profileName.c_str();
        tiles = std::make_unique<CTileLayout>();
        engine = std::make_unique<CPrintEngine>(*tiles);
    }
    void TearDown() override {
        engine.reset();
        tiles.reset();
        app.m_pszProfileName = nullptr;
        AfxSetResourceHandle(previous);
        if (module) ::FreeLibrary(module);
        SdGdiResetTesting();
        SdRemoveFakeSpooler();
        PlatformTest::TearDown();
    }
    void Set(const char* section, const char* key, const char* value) {
        ::WritePrivateProfileStringA(section, key, value, profile.c_str());
    }
    // Margins, mark distance and the mark switches in section "General".
    void Options(float margin, float markerDist, int crop, int sync) {
        for (const char* k : {"leftMargin", "topMargin", "rightMargin", "bottomMargin"})
            Set("General", k, std::to_string(margin).c_str());
        Set("General", "MarkerDist", std::to_string(markerDist).c_str());
        Set("General", "CropMarks", std::to_string(crop).c_str());
        Set("General", "SyncMarks", std::to_string(sync).c_str());
    }
    // A printer context of a fake printer, as the print dialog makes it.
    CDC& Printer(const char* name) {
        HDC h = ::CreateDCA(nullptr, name, nullptr, nullptr);
        EXPECT_NE(h, nullptr);
        printerDC.Attach(h);
        printerDC.m_bPrinting = TRUE;
        return printerDC;
    }
    void ReleasePrinter() {
        if (printerDC.m_hDC) ::DeleteDC(printerDC.Detach());
    }

    CWinApp app{"signdesk"};
    HMODULE module = nullptr;
    HINSTANCE previous = nullptr;
    std::string profile;
    std::string profileName;
    std::unique_ptr<CTileLayout> tiles;
    std::unique_ptr<CPrintEngine> engine;
    PathSource design;
    CDC printerDC;
};
