// Printing the design: the print matrix, raster bands, PostScript pass-through or image bands,
// the preview, the cut lines over the page and the outline print.

#include <algorithm>
#include <cmath>
#include <regex>

#include <app/AppSettings.h>
#include <content/CBitmapObj.h>
#include <mfc/CPreviewDC.h>
#include <mfc/CPrintInfo.h>
#include <mfc/FrameworkIds.h>
#include <model/CGroupObj.h>
#include <model/ViewHooks.h>
#include <pathkit/Path.h>
#include <rasterkit/CDib.h>
#include <testing/DibCanvas.h>
#include <win32/SpoolerTesting.h>

#include "SignViewTestSupport.h"
#include "view/PrintColorCorrection.h"
#include "view/SignViewHooks.h"
#include "view/SignViewIds.h"

namespace {

// Records how it was painted.
class WatchingObj : public CSignObj {
public:
    signed char GetLayer() override { return NO_LAYER; }
    void Paint(CDC* dc, const floatTMatrix&, int, int, int) override {
        previews.push_back(IsPrintPreview());
        printing.push_back(dc->IsPrinting());
        if (auto* f = dynamic_cast<CSignFrame*>(AfxGetMainWnd())) frames.push_back(f->printing);
    }
    std::vector<BOOL> previews, printing;
    std::vector<int> frames;
};

class SignViewPrintTest : public SignViewTest {
protected:
    void SetUp() override {
        SignViewTest::SetUp();
        StartPrinters();
    }

    // One page on the printer, as the framework's print command runs it. The printer's call
    // log is kept.
    void Print(const char* printer) {
        CDC dc;
        ASSERT_TRUE(dc.CreateDC(nullptr, printer, nullptr, nullptr));
        dc.m_bPrinting = TRUE;
        SdGdiSetLogging(dc.m_hDC, true);
        SdGdiClearPrintedPages();
        CPrintInfo info;
        view->OnBeginPrinting(&dc, &info);
        EXPECT_EQ(info.GetMaxPage(), 1u);
        ASSERT_GT(dc.StartDoc("design"), 0);
        dc.StartPage();
        view->OnPrepareDC(&dc, &info);
        if (info.m_bContinuePrinting) view->OnPrint(&dc, &info);
        printerLog = SdGdiCallLog(dc.m_hDC);
        dc.EndPage();
        dc.EndDoc();
        view->OnEndPrinting(&dc, &info);
    }

    std::string Spooled() const {
        const auto jobs = SdSpooledJobs();
        return jobs.empty() ? std::string() : jobs.back().bytes;
    }

    SdGdiImage Page() const {
        const auto pages = SdGdiPrintedPages();
        return pages.empty() ? SdGdiImage{} : pages.back().image;
    }

    CPoint OnPaper(float x, float y) const {
        view->printMatrix.Transform(x, y);
        return CPoint(int(std::floor(x + 0.5f)), int(std::floor(y + 0.5f)));
    }

    // Pixels of the colour within r of p.
    static int Near(const SdGdiImage& img, CPoint p, int r, COLORREF colour) {
        int n = 0;
        for (int y = p.y - r; y <= p.y + r; ++y)
            for (int x = p.x - r; x <= p.x + r; ++x)
                if (x >= 0 && y >= 0 && x < img.width && y < img.height && img.at(x, y) == colour)
                    ++n;
        return n;
    }

    int Count(const std::string& prefix) const {
        return int(std::count_if(printerLog.begin(), printerLog.end(),
                                 [&](const std::string& s) { return s.rfind(prefix, 0) == 0; }));
    }

    std::vector<std::string> printerLog;
};

int Occurrences(const std::string& text, const std::string& what) {
    int n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

} // namespace

TEST_F(SignViewPrintTest, PrintMatrixFitsTheObjectsUpsideDownWithSquareMillimetres) {
    StartApp();
    AddSquare(10, 10, 50, RGB(255, 0, 0));
    AddSquare(100, 20, 40, RGB(0, 0, 255));
    CDC dc;
    ASSERT_TRUE(dc.CreateDC(nullptr, "Raster", nullptr, nullptr));
    dc.m_bPrinting = TRUE;
    CPrintInfo info;
    view->OnPrepareDC(&dc, &info);
    const int hr = dc.GetDeviceCaps(HORZRES), vr = dc.GetDeviceCaps(VERTRES);
    const double pxPerMmX = double(hr - 1) / dc.GetDeviceCaps(HORZSIZE);
    const double pxPerMmY = double(vr - 1) / dc.GetDeviceCaps(VERTSIZE);
    // The objects' box (10, 10)-(140, 60) across the paper's width, centred on its height;
    // y grows downwards.
    const floatTMatrix& m = view->printMatrix;
    float x0 = 10, y0 = 60, x1 = 140, y1 = 10;
    m.Transform(x0, y0);
    m.Transform(x1, y1);
    EXPECT_NEAR(x0, 0, 0.5);
    EXPECT_NEAR(x1, hr - 1, 0.5);
    EXPECT_GT(y1, y0);
    EXPECT_NEAR((y0 + y1) / 2, (vr - 1) / 2.0, 2);
    const double scaleX = (x1 - x0) / 130.0, scaleY = (y1 - y0) / 50.0;
    EXPECT_NEAR(scaleX / pxPerMmX, scaleY / pxPerMmY, 1e-4);
}

TEST_F(SignViewPrintTest, RasterPrintingDrawsOnlyBandsThatAreNotWhite) {
    StartApp();
    AddSquare(10, 10, 50, RGB(255, 0, 0));
    AddSquare(100, 20, 40, RGB(0, 0, 255));
    auto* watching = new WatchingObj;
    doc->m_sheet.Add(watching);
    doc->m_sheet.CountLayerObjects();
    Print("Raster");

    CDC dc;
    ASSERT_TRUE(dc.CreateDC(nullptr, "Raster", nullptr, nullptr));
    const int hr = dc.GetDeviceCaps(HORZRES), vr = dc.GetDeviceCaps(VERTRES);
    const int rows = CSignView::BandRows(hr, vr);
    const int bands = (vr + rows - 1) / rows;
    const int drawn = Count("SetDIBitsToDevice") + Count("StretchDIBits");
    // The objects fill the paper's width and 50 / 130 of it in height.
    const int expected = (int(std::ceil((hr - 1) * 50.0 / 130.0)) + rows - 1) / rows;
    EXPECT_GE(drawn, 1);
    EXPECT_LE(drawn, expected + 1);
    EXPECT_LT(drawn, bands);

    const SdGdiImage page = Page();
    ASSERT_GT(page.width, 0);
    const CPoint red = OnPaper(35, 35), blue = OnPaper(120, 40), empty = OnPaper(80, 40);
    EXPECT_EQ(page.at(red.x, red.y), RGB(255, 0, 0));
    EXPECT_EQ(page.at(blue.x, blue.y), RGB(0, 0, 255));
    EXPECT_EQ(page.at(empty.x, empty.y), RGB(255, 255, 255));
    EXPECT_EQ(page.at(hr / 2, vr - 10), RGB(255, 255, 255));
    // Painted for the printer, not as a preview, while the frame counted the print.
    ASSERT_FALSE(watching->printing.empty());
    EXPECT_TRUE(std::all_of(watching->printing.begin(), watching->printing.end(),
                            [](BOOL b) { return b; }));
    EXPECT_TRUE(std::none_of(watching->previews.begin(), watching->previews.end(),
                             [](BOOL b) { return b; }));
    EXPECT_TRUE(std::all_of(watching->frames.begin(), watching->frames.end(),
                            [](int n) { return n == 1; }));
    EXPECT_EQ(frame->printing, 0);
}

TEST_F(SignViewPrintTest, CutLinesOverThePage) {
    StartApp();
    Settings().CutPenStyle = PS_SOLID;
    Settings().CutPenColor = RGB(0, 0, 255);
    // Two touching cut contours, one cut line of its own, one object not cut; none is filled.
    CPathObj* a = AddSquare(10, 10, 50, NO_COLOR);
    CPathObj* b = AddSquare(60, 10, 50, NO_COLOR);
    CPathObj* alone = AddSquare(10, 80, 30, NO_COLOR);
    CPathObj* uncut = AddSquare(60, 80, 30, NO_COLOR);
    a->m_bFlag1 = b->m_bFlag1 = alone->m_bFlag1 = 1;
    a->m_bFlag2 = b->m_bFlag2 = 1;
    alone->m_bFlag2 = 0;
    uncut->m_bFlag1 = 0;
    Print("Raster");
    const SdGdiImage page = Page();
    ASSERT_GT(page.width, 0);
    const COLORREF cut = RGB(0, 0, 255);
    EXPECT_GT(Near(page, OnPaper(10, 35), 2, cut), 0);
    EXPECT_GT(Near(page, OnPaper(110, 35), 2, cut), 0);
    EXPECT_GT(Near(page, OnPaper(85, 10), 2, cut), 0);
    // One outline: the edge the two squares share is not cut.
    EXPECT_EQ(Near(page, OnPaper(60, 35), 2, cut), 0);
    EXPECT_GT(Near(page, OnPaper(10, 95), 2, cut), 0);
    EXPECT_EQ(Near(page, OnPaper(90, 95), 2, cut), 0);
}

TEST_F(SignViewPrintTest, CutPathsOutsideThePrintableAreaAreClipped) {
    StartApp();
    HDC recording = SdCreateRecordingDC(200, 100);
    CDC dc;
    dc.Attach(recording);
    const floatTMatrix identity;
    auto square = [](float x, float y, float s) {
        Path p;
        p.MoveTo({x, y});
        p.LineTo({x + s, y});
        p.LineTo({x + s, y + s});
        p.LineTo({x, y + s});
        p.LineTo({x, y});
        p.ClosePath();
        p.Prepare();
        return p;
    };
    auto drawnPoints = [&] {
        std::vector<CPoint> points;
        const std::regex number(R"(-?\d+)");
        for (const std::string& line : SdGdiCallLog(recording)) {
            if (line.rfind("MoveTo", 0) != 0 && line.rfind("LineTo", 0) != 0 &&
                line.rfind("Poly", 0) != 0)
                continue;
            std::vector<int> v;
            for (std::sregex_iterator it(line.begin(), line.end(), number), end; it != end; ++it)
                v.push_back(std::stoi(it->str()));
            for (std::size_t i = line.rfind("Poly", 0) == 0 ? 1 : 0; i + 1 < v.size(); i += 2)
                points.emplace_back(v[i], v[i + 1]);
        }
        return points;
    };

    Path outside = square(300, 20, 50);
    SdGdiClearCallLog(recording);
    view->DrawCutPath(&dc, &outside, identity);
    EXPECT_TRUE(drawnPoints().empty());

    Path crossing = square(150, 20, 50);
    SdGdiClearCallLog(recording);
    view->DrawCutPath(&dc, &crossing, identity);
    const std::vector<CPoint> points = drawnPoints();
    ASSERT_FALSE(points.empty());
    int maxX = 0;
    for (const CPoint& p : points)
        maxX = std::max(maxX, int(p.x));
    EXPECT_EQ(maxX, 199);

    Path inside = square(20, 20, 50);
    SdGdiClearCallLog(recording);
    view->DrawCutPath(&dc, &inside, identity);
    EXPECT_FALSE(drawnPoints().empty());
    dc.Detach();
    ::DeleteDC(recording);

    // An open cut line crossing the border stops there as well.
    HDC device = SdCreateRecordingDC(200, 100);
    ASSERT_EQ(::GetDeviceCaps(device, HORZRES), 200);
    dc.Attach(device);
    Path line;
    line.MoveTo({100, 50});
    line.LineTo({300, 50});
    line.ClosePath();
    line.Prepare();
    view->DrawCutPath(&dc, &line, identity);
    const std::vector<std::string> log = SdGdiCallLog(device);
    dc.Detach();
    ::DeleteDC(device);
    bool clipped = false, drawn = false;
    for (const std::string& entry : log) {
        clipped = clipped || entry == "IntersectClipRect(1,1,199,99)";
        drawn =
            drawn || (clipped && (entry.rfind("LineTo", 0) == 0 || entry.rfind("Poly", 0) == 0));
    }
    EXPECT_TRUE(drawn) << ::testing::PrintToString(log);
}

TEST_F(SignViewPrintTest, OutlinePrintLeavesTheDesignAsItWas) {
    StartApp();
    CPathObj* framed = AddSquare(10, 10, 50, RGB(255, 0, 0));
    framed->m_fOutlineWidth = 1.5f;
    framed->SetOutlineColor(RGB(0, 0, 0));
    AddSquare(100, 20, 40, RGB(0, 0, 255), 2);
    auto* group = new CGroupObj;
    auto* child = new CPathObj;
    child->m_path.MoveTo({200, 10});
    child->m_path.LineTo({240, 10});
    child->m_path.LineTo({220, 50});
    child->m_path.LineTo({200, 10});
    child->m_path.ClosePath();
    child->SetColor(RGB(0, 128, 0));
    child->RefreshBBox();
    group->m_children.Add(child);
    group->RefreshBBox();
    doc->AddObject(group, FALSE, -1);
    // A bitmap object, printed by its contour.
    CDib picture;
    ASSERT_TRUE(picture.Create(8, 8, 24));
    picture.Fill(200, 100, 0, 0, 0, 0, 0);
    auto* bitmap = new CBitmapObj(static_cast<HGLOBAL>(picture.ChangeToDIB()), nullptr);
    floatTMatrix place;
    place.Translate(150, 80);
    bitmap->Transform(place);
    doc->AddObject(bitmap, FALSE, -1);
    const int contours = bitmap->m_path.subPaths.Filled();
    ASSERT_GT(contours, 0);
    const std::vector<BYTE> before = StoredBytes();
    CSignDoc::OutlinePrint = TRUE;
    for (float distance : {0.0f, 2.0f}) {
        SCOPED_TRACE(distance);
        CSignDoc::OutlineDistance = distance;
        Print("Raster");
        EXPECT_EQ(StoredBytes(), before);
        EXPECT_EQ(framed->m_path.subPaths.Filled(), 1);
        EXPECT_EQ(bitmap->m_path.subPaths.Filled(), contours);
    }
}

TEST_F(SignViewPrintTest, PostScriptPrinterGetsTheObjectsPostScript) {
    StartApp();
    AddSquare(10, 10, 50, RGB(255, 0, 0));
    Print("PS");
    const std::string ps = Spooled();
    EXPECT_NE(ps.find("eofill"), std::string::npos);
    EXPECT_NE(ps.find("1 0 0 setrgbcolor"), std::string::npos);
    EXPECT_EQ(ps.find("colorimage"), std::string::npos);
    EXPECT_FALSE(CSignView::PostScriptFlag);
    EXPECT_TRUE(MessageBoxLog().empty());
}

TEST_F(SignViewPrintTest, DesignNeedingRasterAsksWhetherToSendImages) {
    StartApp();
    AddSquare(10, 10, 50, RGB(255, 0, 0));
    CPathObj* veiled = AddSquare(30, 30, 50, RGB(0, 0, 255));
    veiled->m_fTransparency = 0.5f;
    CString question;
    question.LoadString(SignViewIds::PrintAsImageQuestion);
    ASSERT_FALSE(question.IsEmpty());

    PushMessageBoxAnswer(IDYES);
    Print("PS");
    std::string ps = Spooled();
    // Image bands for the rows the objects cover; the white ones are not sent.
    CDC printer;
    ASSERT_TRUE(printer.CreateDC(nullptr, "PS", nullptr, nullptr));
    const int hr = printer.GetDeviceCaps(HORZRES), vr = printer.GetDeviceCaps(VERTRES);
    const int rows = CSignView::BandRows(hr, vr);
    EXPECT_GE(Occurrences(ps, "colorimage"), 1);
    EXPECT_LT(Occurrences(ps, "colorimage"), (vr + rows - 1) / rows);
    EXPECT_EQ(ps.find("eofill"), std::string::npos);

    PushMessageBoxAnswer(IDNO);
    Print("PS");
    ps = Spooled();
    EXPECT_EQ(ps.find("colorimage"), std::string::npos);
    EXPECT_NE(ps.find("eofill"), std::string::npos);

    const auto boxes = MessageBoxLog();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, std::string(LPCSTR(question)));
    EXPECT_FALSE(CSignView::PostScriptFlag);
}

TEST_F(SignViewPrintTest, PreviewPaintsThroughThePreviewMappingAndWritesNoPostScript) {
    StartApp();
    AddSquare(10, 10, 50, RGB(255, 0, 0));
    auto* watching = new WatchingObj;
    doc->m_sheet.Add(watching);
    doc->m_sheet.CountLayerObjects();
    CDC printer;
    ASSERT_TRUE(printer.CreateDC(nullptr, "PS", nullptr, nullptr));
    printer.m_bPrinting = TRUE;
    ASSERT_GT(printer.StartDoc("preview"), 0);
    CPrintInfo info;
    info.m_bPreview = TRUE;
    view->OnBeginPrinting(&printer, &info);
    EXPECT_TRUE(CSignView::PrintPreviewFlag);
    EXPECT_FALSE(CSignView::PostScriptFlag);

    DibCanvas screen(400, 600);
    screen.Clear(RGB(128, 128, 128));
    // The page's picture on the screen, as the preview window shows it.
    const int pageHeight = printer.GetDeviceCaps(VERTRES) * 380 / printer.GetDeviceCaps(HORZRES);
    ::IntersectClipRect(screen.dc.m_hDC, 10, 10, 390, 10 + pageHeight);
    CPreviewDC dc;
    dc.m_bPrinting = TRUE;
    dc.SetAttribDC(printer.m_hDC);
    dc.SetOutputDC(screen.dc.m_hDC);
    const int pageWidth = printer.GetDeviceCaps(HORZRES);
    dc.SetScaleRatio(380, pageWidth);
    dc.SetTopLeftOffset(CSize(10, 10));
    view->OnPrepareDC(&dc, &info);
    view->OnPrint(&dc, &info);
    const floatTMatrix printMatrix = view->printMatrix;
    dc.ReleaseOutputDC();
    dc.ReleaseAttribDC();
    view->OnEndPrinting(&printer, &info);
    printer.EndDoc();

    float x = 35, y = 35;
    printMatrix.Transform(x, y);
    POINT p{int(x), int(y)};
    dc.PrinterDPtoScreenDP(&p);
    EXPECT_EQ(screen.Read().at(p.x, p.y), RGB(255, 0, 0));
    EXPECT_EQ(screen.Read().at(5, 5), RGB(128, 128, 128));
    EXPECT_EQ(Spooled().find("setrgbcolor"), std::string::npos);
    EXPECT_EQ(Spooled().find("colorimage"), std::string::npos);
    ASSERT_FALSE(watching->previews.empty());
    EXPECT_TRUE(std::all_of(watching->previews.begin(), watching->previews.end(),
                            [](BOOL b) { return b; }));
    EXPECT_FALSE(CSignView::PrintPreviewFlag);
    EXPECT_FALSE(CSignView::PostScriptFlag);
    EXPECT_FALSE(IsPrintPreview());
}

TEST_F(SignViewPrintTest, PrinterWithoutAPageEndsTheJobWithAMessage) {
    StartApp();
    AddSquare(10, 10, 50, RGB(255, 0, 0));
    const floatTMatrix before = view->printMatrix;
    // A device of a single pixel: no page to fit the design on.
    HDC device = SdCreateRecordingDC(1, 1);
    CDC dc;
    dc.Attach(device);
    dc.m_bPrinting = TRUE;
    CPrintInfo info;
    PushMessageBoxAnswer(IDOK);
    view->OnPrepareDC(&dc, &info);
    EXPECT_FALSE(info.m_bContinuePrinting);
    EXPECT_TRUE(view->printMatrix == before);
    const auto boxes = MessageBoxLog();
    ASSERT_EQ(boxes.size(), 1u);
    CString text;
    text.LoadString(SignViewIds::PrinterUnusable);
    EXPECT_EQ(boxes[0].text, std::string(LPCSTR(text)));
    dc.Detach();
    ::DeleteDC(device);
}

TEST_F(SignViewPrintTest, WithoutCalibrationPlainDesignsPrintDirectly) {
    StartApp();
    Settings().EnableWCL = 0;
    AddSquare(10, 10, 50, RGB(255, 0, 0));
    Print("Raster");
    EXPECT_EQ(Count("SetDIBitsToDevice") + Count("StretchDIBits"), 0);
    const CPoint red = OnPaper(35, 35);
    EXPECT_EQ(Page().at(red.x, red.y), RGB(255, 0, 0));

    // A transparent object needs the bands again.
    AddSquare(100, 20, 40, RGB(0, 0, 255))->m_fTransparency = 0.5f;
    Print("Raster");
    EXPECT_GE(Count("SetDIBitsToDevice") + Count("StretchDIBits"), 1);
}

TEST_F(SignViewPrintTest, ColourCorrectionOnPrintedBandsNotOnPreviews) {
    StartApp();
    AddSquare(10, 10, 50, RGB(255, 0, 0));
    for (int i = 0; i < 256; ++i)
        PrintColorCorrection::M[i] = BYTE(i / 2);
    Print("Raster");
    const CPoint red = OnPaper(35, 35);
    const SdGdiImage page = Page();
    EXPECT_EQ(page.at(red.x, red.y), RGB(255, 128, 0));
    EXPECT_EQ(page.at(page.width / 2, page.height - 10), RGB(255, 255, 255));

    CDC printer;
    ASSERT_TRUE(printer.CreateDC(nullptr, "Raster", nullptr, nullptr));
    printer.m_bPrinting = TRUE;
    CPrintInfo info;
    info.m_bPreview = TRUE;
    view->OnBeginPrinting(&printer, &info);
    DibCanvas screen(400, 600);
    screen.Clear(RGB(128, 128, 128));
    CPreviewDC dc;
    dc.m_bPrinting = TRUE;
    dc.SetAttribDC(printer.m_hDC);
    dc.SetOutputDC(screen.dc.m_hDC);
    dc.SetScaleRatio(380, printer.GetDeviceCaps(HORZRES));
    dc.SetTopLeftOffset(CSize(10, 10));
    view->OnPrepareDC(&dc, &info);
    view->OnPrint(&dc, &info);
    float x = 35, y = 35;
    view->printMatrix.Transform(x, y);
    POINT p{int(x), int(y)};
    dc.PrinterDPtoScreenDP(&p);
    dc.ReleaseOutputDC();
    dc.ReleaseAttribDC();
    view->OnEndPrinting(&printer, &info);
    EXPECT_EQ(screen.Read().at(p.x, p.y), RGB(255, 0, 0));
}

TEST_F(SignViewPrintTest, PrintCommandsRunThroughTheView) {
    StartApp();
    AddSquare(10, 10, 50, RGB(255, 0, 0));
    frame->SendMessage(WM_COMMAND, SignViewIds::FilePrintDirect, 0);
    PumpMessages();
    const auto jobs = SdSpooledJobs();
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(jobs[0].pages, 1);
    EXPECT_TRUE(jobs[0].ended);
    EXPECT_EQ(jobs[0].printer, "Raster");
    const CPoint red = OnPaper(35, 35);
    EXPECT_EQ(Page().at(red.x, red.y), RGB(255, 0, 0));
    EXPECT_FALSE(CSignView::PostScriptFlag);
    EXPECT_EQ(frame->printing, 0);

    // The preview shows the page and prints nothing.
    frame->SendMessage(WM_COMMAND, SignViewIds::FilePrintPreview, 0);
    PumpMessages();
    CWnd* preview = view->GetPrintPreview();
    ASSERT_NE(preview, nullptr);
    EXPECT_TRUE(CSignView::PrintPreviewFlag);
    preview->UpdateWindow();
    const SdGdiImage shown = SdGdiReadWindow(preview->m_hWnd);
    int reds = 0;
    for (COLORREF c : shown.pixels)
        reds += c == RGB(255, 0, 0);
    EXPECT_GT(reds, 100);
    EXPECT_FALSE(IsPrintPreview());
    preview->SendMessage(WM_COMMAND, AFX_ID_PREVIEW_CLOSE, 0);
    PumpMessages();
    EXPECT_EQ(SdSpooledJobs().size(), 1u);
    EXPECT_FALSE(CSignView::PrintPreviewFlag);
}

TEST_F(SignViewPrintTest, OutlinePrintPaintsWhiteShapesGrownByTheDistance) {
    StartApp();
    AddSquare(20, 20, 40, RGB(255, 0, 0));
    // A foreign object: its hook gives the square it prints as.
    auto* foreign = new WatchingObj;
    doc->m_sheet.Add(foreign);
    doc->m_sheet.CountLayerObjects();
    ViewHooks().metafileOutline = [foreign](CSignObj* obj, OutlineObjects& out) {
        if (obj != foreign) return FALSE;
        auto* stand = new CPathObj;
        stand->m_path.MoveTo({100, 20});
        stand->m_path.LineTo({140, 20});
        stand->m_path.LineTo({140, 60});
        stand->m_path.LineTo({100, 60});
        stand->m_path.LineTo({100, 20});
        stand->m_path.ClosePath();
        stand->RefreshBBox();
        out.emplace_back(stand);
        return TRUE;
    };
    CSignDoc::OutlinePrint = TRUE;
    // One pixel a millimetre, y up; black paper shows the white outlines.
    const floatTMatrix m(1, 0, 0, -1, 0, 100);
    auto paint = [&](float distance) {
        CSignDoc::OutlineDistance = distance;
        DibCanvas canvas(200, 100);
        canvas.Clear(RGB(0, 0, 0));
        canvas.dc.m_bPrinting = TRUE;
        view->DrawSheetObjects(&canvas.dc, m, 0);
        return canvas.Read();
    };
    const COLORREF white = RGB(255, 255, 255);
    SdGdiImage pic = paint(0);
    EXPECT_EQ(pic.at(40, 60), white);  // the square, filled white
    EXPECT_EQ(pic.at(120, 60), white); // the foreign object's stand-in
    EXPECT_EQ(pic.at(18, 60), RGB(0, 0, 0));
    EXPECT_TRUE(foreign->previews.empty()); // printed only through its stand-in

    pic = paint(2);
    EXPECT_EQ(pic.at(40, 60), white);
    EXPECT_EQ(pic.at(18, 60), white); // grown by 2 mm
    EXPECT_EQ(pic.at(15, 60), RGB(0, 0, 0));
}
