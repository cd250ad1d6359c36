#pragma once
// A headless program on the sheet framework: an application with a single-document
// template (the sheet document, a frame with tool bar, status bar and rulers, the sheet
// view), the program's resource library, a profile in the test's data folder and a
// recording mode that logs what reaches it.

#include <memory>
#include <string>
#include <vector>

#include <mfc/afx.h>
#include <sheet/COleOperatingMode.h>
#include <sheet/COleSheetDoc.h>
#include <sheet/COleSheetFrame.h>
#include <sheet/COleSheetView.h>
#include <testing/PlatformTest.h>
#include <win32/GdiTesting.h>
#include <win32/module.h>

// What reached the recording modes, in order.
extern std::vector<std::string> g_modeLog;

// Logs its activation, its view changes, right clicks, timers and one command it lists
// (the grid command), which therefore never reaches the view.
class RecordingMode : public COleOperatingMode {
    DECLARE_DYNCREATE(RecordingMode)
public:
    ~RecordingMode() override;
    void Activate() override;
    void Deactivate(COleOperatingMode* next) override;
    void SetView(COleSheetView* sheetView, BOOL fresh) override;
    BOOL OnRButtonDown(UINT flags, int x, int y) override;
    void OnTimer(UINT id) override;
    void OnDocumentChanged() override;
    void OnTrackRect(UINT flags, const CRect* rect) override;
    BOOL rightClickTaken = FALSE;

protected:
    void OnGrid();
    DECLARE_MESSAGE_MAP()
};

// Takes every guide line and records it.
class GuideDoc : public COleSheetDoc {
    DECLARE_DYNCREATE(GuideDoc)
public:
    BOOL AddGuideLine(const floatPoint* p, double angle) override;
    struct Guide {
        floatPoint p;
        double angle;
    };
    std::vector<Guide> guides;
};

class SheetTestFrame : public COleSheetFrame {
    DECLARE_DYNCREATE(SheetTestFrame)
protected:
    int OnCreate(CREATESTRUCT* cs);
    DECLARE_MESSAGE_MAP()
};

class SheetTestApp : public CWinApp {
public:
    SheetTestApp() : CWinApp("Sheet Test") {}
};

class SheetTest : public PlatformTest {
protected:
    void SetUp() override;
    void TearDown() override;
    // Makes the application and its first document; the sheet size comes from the profile.
    void StartApp(float docWidth = 210, float docHeight = 297,
                  CRuntimeClass* docClass = RUNTIME_CLASS(COleSheetDoc));
    // Sizes the frame so that the view's client area is width x height.
    void SizeView(int width, int height);
    // Sends a command to the frame as a menu does and pumps.
    void Command(UINT id);
    // The view's client picture.
    SdGdiImage ViewPicture();
    // Installs a recording mode as the application's tools are installed.
    RecordingMode* InstallRecordingMode();

    std::unique_ptr<SheetTestApp> app;
    HMODULE resources = nullptr;
    HINSTANCE previousResources = nullptr;
    SheetTestFrame* frame = nullptr;
    COleSheetView* view = nullptr;
    COleSheetDoc* doc = nullptr;
};
