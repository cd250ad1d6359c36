#pragma once
// A headless program around the sign view: the program's document, main frame and view in a
// single-document template, the program's resource library, a profile in the test's data
// folder, and small designs of square path objects. Printing tests get a fake spooler with a
// raster printer "Raster" and a PostScript printer "PS".

#include <memory>
#include <string>
#include <vector>

#include <app/CSignFrame.h>
#include <doc/CSignDoc.h>
#include <mfc/CWinApp.h>
#include <model/CPathObj.h>
#include <sheet/COleOperatingMode.h>
#include <testing/PlatformTest.h>
#include <win32/GdiTesting.h>

#include "view/CSignView.h"

class ViewTestApp : public CWinApp {
public:
    ViewTestApp() : CWinApp("View Test") {}
};

// Logs what reaches it, as the program's tools would be told.
class LoggingMode : public COleOperatingMode {
public:
    explicit LoggingMode(std::vector<std::string>& log) : log_(log) {}
    ~LoggingMode() override { log_.push_back("deleted"); }
    void Activate() override;
    void Deactivate(COleOperatingMode*) override { log_.push_back("Deactivate"); }
    void OnDrawContent(CDC* dc, const floatTMatrix* matrix) override;
    void OnDocumentChanged() override { log_.push_back("document changed"); }
    // The clip boxes of the content paints (the bands), and the wait cursor's count then.
    std::vector<CRect> bands;
    std::vector<int> waitCursors;
    // Activate throws this many times more.
    int throwOnActivate = 0;

private:
    std::vector<std::string>& log_;
};

class SignViewTest : public PlatformTest {
protected:
    void SetUp() override;
    void TearDown() override;
    // The program's window with a new document of the page size; the view 800 x 600.
    void StartApp(float pageWidth = 1000, float pageHeight = 600);
    void SizeView(int width, int height);
    // A square path object of the colour on the layer, added to the document.
    CPathObj* AddSquare(float x, float y, float side, COLORREF colour, int layer = 1);
    // The view's client picture after a full repaint.
    SdGdiImage Picture();
    CPoint Client(float x, float y) const;
    LoggingMode* InstallLoggingMode();
    // The bytes of the document saved as a file.
    std::vector<BYTE> StoredBytes();
    void StartPrinters();

    std::unique_ptr<ViewTestApp> app;
    HMODULE resources = nullptr;
    HINSTANCE previousResources = nullptr;
    CSignFrame* frame = nullptr;
    CSignView* view = nullptr;
    CSignDoc* doc = nullptr;
    std::vector<std::string> modeLog;
    bool printers = false;
};
