#include "SignViewTestSupport.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

#include <app/AppIds.h>
#include <app/AppSettings.h>
#include <mfc/CDocTemplate.h>
#include <mfc/CException.h>
#include <mfc/CWaitCursor.h>
#include <model/ViewHooks.h>
#include <sheet/SheetSettings.h>
#include <shell/ProfileSettings.h>
#include <testing/InputDriver.h>
#include <win32/SpoolerTesting.h>
#include <win32/module.h>

#include "view/PrintColorCorrection.h"
#include "view/SignViewHooks.h"

void LoggingMode::Activate() {
    log_.push_back("Activate");
    if (throwOnActivate > 0) {
        --throwOnActivate;
        AfxThrowMemoryException();
    }
}

void LoggingMode::OnDrawContent(CDC* dc, const floatTMatrix* matrix) {
    CRect clip;
    dc->GetClipBox(&clip);
    bands.push_back(clip);
    waitCursors.push_back(SdWaitCursorCount());
    COleOperatingMode::OnDrawContent(dc, matrix);
}

void SignViewTest::SetUp() {
    PlatformTest::SetUp();
    Settings() = AppSettings{};
    COleSheetView::initialisedViews = 0;
    COleSheetFrame::framesCreated = 0;
    SheetSettings::Grid = FALSE;
    SheetSettings::BGColor = RGB(255, 255, 255);
    SheetSettings::GridColor = RGB(192, 192, 192);
    SheetSettings::MouseSens = 3;
    CSignDoc::OwnPage = FALSE;
    CSignDoc::OutlinePrint = FALSE;
    CSignDoc::OutlineDistance = 0;
    CSignView::SmoothBitmapPaint = FALSE;
    CSignView::PrintPreviewFlag = FALSE;
    CSignView::PostScriptFlag = FALSE;
    PrintColorCorrection::Reset();
    SetPrintPreview(FALSE);
    ViewHooks() = SignViewHooks{};
    resources = ::LoadLibraryA(SIGNDESK_RES);
    ASSERT_NE(resources, nullptr);
    previousResources = AfxGetResourceHandle();
    AfxSetResourceHandle(resources);
}

void SignViewTest::TearDown() {
    ViewHooks() = SignViewHooks{};
    PlatformTest::TearDown(); // destroys the frame; the view and the document go with it
    app.reset();
    if (printers) SdRemoveFakeSpooler();
    SdResetKeyState();
    AfxSetResourceHandle(previousResources);
    if (resources != nullptr) ::FreeLibrary(resources);
}

void SignViewTest::StartApp(float pageWidth, float pageHeight) {
    app = std::make_unique<ViewTestApp>();
    app->m_pszProfileName = strdup((DataFolder() / "Application.ini").c_str());
    WriteProfileFloat("Settings", "DocWidth", pageWidth);
    WriteProfileFloat("Settings", "DocHeight", pageHeight);
    app->AddDocTemplate(new CSingleDocTemplate(IDR_MAINFRAME, RUNTIME_CLASS(CSignDoc),
                                               RUNTIME_CLASS(CSignFrame),
                                               RUNTIME_CLASS(CSignView)));
    app->OnFileNew();
    frame = DYNAMIC_DOWNCAST(CSignFrame, app->m_pMainWnd);
    ASSERT_NE(frame, nullptr);
    view = DYNAMIC_DOWNCAST(CSignView, frame->GetActiveView());
    ASSERT_NE(view, nullptr);
    doc = view->GetSignDoc();
    ASSERT_NE(doc, nullptr);
    frame->ShowWindow(SW_SHOW);
    SizeView(800, 600);
}

void SignViewTest::SizeView(int width, int height) {
    frame->MoveWindow(0, 0, 1200, 900);
    CRect client;
    view->GetClientRect(&client);
    frame->MoveWindow(0, 0, 1200 + width - client.Width(), 900 + height - client.Height());
    sdtest::PumpInput();
    view->UpdateWindow();
}

CPathObj* SignViewTest::AddSquare(float x, float y, float side, COLORREF colour, int layer) {
    auto* obj = new CPathObj;
    obj->m_path.MoveTo({x, y});
    obj->m_path.LineTo({x + side, y});
    obj->m_path.LineTo({x + side, y + side});
    obj->m_path.LineTo({x, y + side});
    obj->m_path.LineTo({x, y});
    obj->m_path.ClosePath();
    obj->SetColor(colour);
    obj->SetLayer(char(layer), 1);
    obj->RefreshBBox();
    doc->AddObject(obj, FALSE, -1);
    return obj;
}

SdGdiImage SignViewTest::Picture() {
    view->Invalidate(TRUE);
    view->UpdateWindow();
    return SdGdiReadWindow(view->m_hWnd);
}

CPoint SignViewTest::Client(float x, float y) const {
    CPoint p;
    view->WorldToClient(x, y, p);
    return p;
}

LoggingMode* SignViewTest::InstallLoggingMode() {
    auto* mode = new LoggingMode(modeLog);
    view->InstallMode(mode);
    modeLog.clear();
    return mode;
}

std::vector<BYTE> SignViewTest::StoredBytes() {
    const std::filesystem::path file = DataFolder() / "stored.wtp";
    EXPECT_TRUE(doc->OnSaveDocument(file.c_str()));
    std::ifstream in(file, std::ios::binary);
    return std::vector<BYTE>(std::istreambuf_iterator<char>(in), {});
}

void SignViewTest::StartPrinters() {
    SdInstallFakeSpooler();
    SdAddFakePrinter("Raster");
    SdGdiDescribePrinter("Raster", SdPrinterKind::Raster);
    SdAddFakePrinter("PS");
    SdGdiDescribePrinter("PS", SdPrinterKind::PostScript);
    SdGdiClearPrintedPages();
    printers = true;
}
