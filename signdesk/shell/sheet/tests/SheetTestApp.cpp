#include "SheetTestApp.h"

#include <cstdlib>
#include <cstring>

#include <settings/CUnit.h>
#include <sheet/SheetIds.h>
#include <sheet/SheetSettings.h>
#include <shell/ProfileSettings.h>
#include <testing/InputDriver.h>
#include <win32/GdiTesting.h>

std::vector<std::string> g_modeLog;

IMPLEMENT_DYNCREATE(RecordingMode, COleOperatingMode)
BEGIN_MESSAGE_MAP(RecordingMode, COleOperatingMode)
ON_COMMAND(ID_GRID, OnGrid)
END_MESSAGE_MAP()

RecordingMode::~RecordingMode() {
    g_modeLog.push_back("deleted");
}

void RecordingMode::Activate() {
    g_modeLog.push_back("Activate");
}

void RecordingMode::Deactivate(COleOperatingMode*) {
    g_modeLog.push_back("Deactivate");
}

void RecordingMode::SetView(COleSheetView* sheetView, BOOL fresh) {
    COleOperatingMode::SetView(sheetView, fresh);
    g_modeLog.push_back(fresh ? "SetView TRUE" : "SetView FALSE");
}

BOOL RecordingMode::OnRButtonDown(UINT, int, int) {
    g_modeLog.push_back("RButtonDown");
    return rightClickTaken;
}

void RecordingMode::OnTimer(UINT id) {
    g_modeLog.push_back("timer " + std::to_string(id));
}

void RecordingMode::OnDocumentChanged() {
    g_modeLog.push_back("document changed");
}

void RecordingMode::OnTrackRect(UINT flags, const CRect* rect) {
    COleOperatingMode::OnTrackRect(flags, rect);
    g_modeLog.push_back("track " + std::to_string(rect->left) + "," + std::to_string(rect->top) +
                        "," + std::to_string(rect->right) + "," + std::to_string(rect->bottom));
}

void RecordingMode::OnGrid() {
    g_modeLog.push_back("grid command");
}

IMPLEMENT_DYNCREATE(GuideDoc, COleSheetDoc)

BOOL GuideDoc::AddGuideLine(const floatPoint* p, double angle) {
    guides.push_back({*p, angle});
    return TRUE;
}

IMPLEMENT_DYNCREATE(SheetTestFrame, COleSheetFrame)
BEGIN_MESSAGE_MAP(SheetTestFrame, COleSheetFrame)
ON_WM_CREATE()
END_MESSAGE_MAP()

int SheetTestFrame::OnCreate(CREATESTRUCT* cs) {
    if (COleSheetFrame::OnCreate(cs) == -1) return -1;
    if (!toolBar.Create(this, WS_CHILD | WS_VISIBLE | CBRS_TOP, ID_VIEW_SHEET_TOOLBAR) ||
        !CreateFrameToolBar())
        return -1;
    if (!statusBar.Create(this)) return -1;
    SetupStatusBar();
    if (!CreateRulers()) return -1;
    return 0;
}

void SheetTest::SetUp() {
    PlatformTest::SetUp();
    g_modeLog.clear();
    COleSheetView::initialisedViews = 0;
    COleSheetFrame::framesCreated = 0;
    AppUnit.unit = CUnit::MM;
    SheetSettings::Grid = FALSE;
    SheetSettings::SnapToGrid = FALSE;
    resources = ::LoadLibraryA(SIGNDESK_RES);
    ASSERT_NE(resources, nullptr);
    previousResources = AfxGetResourceHandle();
    AfxSetResourceHandle(resources);
}

void SheetTest::StartApp(float docWidth, float docHeight, CRuntimeClass* docClass) {
    app = std::make_unique<SheetTestApp>();
    app->m_pszProfileName = strdup((DataFolder() / "Application.ini").c_str());
    WriteProfileFloat("Settings", "DocWidth", docWidth);
    WriteProfileFloat("Settings", "DocHeight", docHeight);
    app->AddDocTemplate(new CSingleDocTemplate(
        IDR_SHEET_MENU, docClass, RUNTIME_CLASS(SheetTestFrame), RUNTIME_CLASS(COleSheetView)));
    app->OnFileNew();
    frame = DYNAMIC_DOWNCAST(SheetTestFrame, app->m_pMainWnd);
    ASSERT_NE(frame, nullptr);
    view = DYNAMIC_DOWNCAST(COleSheetView, frame->GetActiveView());
    ASSERT_NE(view, nullptr);
    doc = view->GetSheetDoc();
    ASSERT_NE(doc, nullptr);
    SizeView(800, 600);
}

void SheetTest::TearDown() {
    PlatformTest::TearDown(); // destroys the frame; the view and the document go with it
    app.reset();
    AfxSetResourceHandle(previousResources);
    if (resources != nullptr) ::FreeLibrary(resources);
}

void SheetTest::SizeView(int width, int height) {
    frame->MoveWindow(0, 0, 1000, 800);
    CRect client;
    view->GetClientRect(&client);
    frame->MoveWindow(0, 0, 1000 + width - client.Width(), 800 + height - client.Height());
    sdtest::PumpInput();
    view->UpdateWindow();
}

void SheetTest::Command(UINT id) {
    frame->SendMessage(WM_COMMAND, id, 0);
    sdtest::PumpInput();
}

SdGdiImage SheetTest::ViewPicture() {
    view->UpdateWindow();
    return SdGdiReadWindow(view->m_hWnd);
}

RecordingMode* SheetTest::InstallRecordingMode() {
    auto* mode = new RecordingMode;
    view->InstallMode(mode);
    g_modeLog.clear();
    return mode;
}
