// The view's output side: the cut commands through the plot library's own sheet into a file,
// the job and layer names, the print source the output sheet and the print engine read.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include <mfc/CDC.h>
#include <mfc/CPropertySheet.h>
#include <output/CPrintEngine.h>
#include <output/CTileLayout.h>
#include <output/PrintRun.h>
#include <pathkit/ColorPath.h>
#include <pathkit/Path.h>
#include <plot/PlotIni.h>
#include <plot/Plotter.h>
#include <settings/ProgramFolders.h>
#include <testing/DialogDriver.h>
#include <win32/SpoolerTesting.h>
#include <win32/user.h>

#include "SignViewTestSupport.h"
#include "view/SignViewHooks.h"
#include "view/SignViewOutput.h"

namespace {

class SignViewOutputTest : public SignViewTest {
protected:
    void SetUp() override {
        SignViewTest::SetUp();
        saved = DRV;
        output = (DataFolder() / "cut.plt").string();
        std::ofstream(std::string(GetDataFilePath("Devices.ini")))
            << "[Test HP-GL]\nDriver=cutdrv-coral.dll\nDevice=" << output
            << "\nStepSize=0.025\nMaxX=40000\nMaxY=40000\nAbsoluteCoords=1\nInitialize=IN;\n"
               "CutInit=SP1;\nEnd=PU;SP0;\nMoveRel=PU#,#;\nLineRel=PD#,#;\nOrigoPos=0\n";
        std::ofstream(std::string(GetPlotIni()))
            << "[General]\nCurrentPlotter=Test HP-GL\nHeadPos=0\n"
            << "Overcutting=0\nOptimization=0\n";
        StartApp();
        BindOutputHooks();
    }
    void TearDown() override {
        DRV.Detach();
        DRV = saved;
        SignViewTest::TearDown();
    }
    // Runs a cut command; the plot sheet's script records the table and cuts into the file.
    std::vector<std::pair<int, std::uint32_t>> Cut(bool selection) {
        std::vector<std::pair<int, std::uint32_t>> seen;
        SetDialogScriptForClass("CPlotSheet", [&](HWND sheet) {
            PlotPathTable& t = ThePlotPathTable();
            for (int i = 0; i < t.count; ++i)
                seen.emplace_back(t.paths[i]->layer, t.paths[i]->colour);
            auto* s = static_cast<CPropertySheet*>(CWnd::FromHandlePermanent(sheet));
            s->SetActivePage(3);
            sdtest::PumpDialog();
            PushMessageBoxAnswer(IDOK); // finished
            sdtest::Click(s->GetActivePage()->m_hWnd, 1020);
            sdtest::PumpDialog();
            s->EndDialog(IDCANCEL);
        });
        view->SendMessage(WM_COMMAND, selection ? 33139 : 33138, 0);
        return seen;
    }
    std::string Cutfile() {
        std::ifstream in(output);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    Plotter saved;
    std::string output;
};

} // namespace

TEST_F(SignViewOutputTest, CutWholeDesignGoesLayerByLayerThroughPlot) {
    AddSquare(10, 10, 20, RGB(255, 0, 0), 3);
    AddSquare(40, 10, 20, RGB(0, 255, 0), -5);
    AddSquare(70, 10, 20, RGB(0, 0, 255), 3);
    auto* empty = new CPathObj; // no sub-path: never handed over
    doc->AddObject(empty, FALSE, -1);
    auto seen = Cut(false);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0], std::make_pair(-5, std::uint32_t(RGB(0, 255, 0))));
    EXPECT_EQ(seen[1], std::make_pair(3, std::uint32_t(RGB(255, 0, 0))));
    EXPECT_EQ(seen[2], std::make_pair(3, std::uint32_t(RGB(0, 0, 255))));
    // The table is empty again, and the job went to the file.
    EXPECT_EQ(ThePlotPathTable().count, 0);
    EXPECT_EQ(ThePlotPathTable().paths, nullptr);
    EXPECT_NE(Cutfile().find("PD"), std::string::npos);
}

TEST_F(SignViewOutputTest, CutSelectionKeepsDocumentOrder) {
    CPathObj* a = AddSquare(10, 10, 20, RGB(255, 0, 0), 3);
    AddSquare(40, 10, 20, RGB(0, 255, 0), -5);
    CPathObj* c = AddSquare(70, 10, 20, RGB(0, 0, 255), -7);
    a->Select();
    c->Select();
    doc->m_sheet.m_nSelected = 2;
    auto seen = Cut(true);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].first, 3);
    EXPECT_EQ(seen[1].first, -7);
    EXPECT_EQ(ThePlotPathTable().count, 0);
}

TEST_F(SignViewOutputTest, JobAndLayerNames) {
    Plottable* plottable = view;
    EXPECT_STREQ(plottable->getJobName(), ""); // untitled
    doc->m_strFilePath = "/signs/shop.front.wtp";
    EXPECT_STREQ(plottable->getJobName(), "shop.front");
    EXPECT_STREQ(plottable->getJobName(), "shop.front"); // asked again: the same
    doc->m_strFilePath = "/signs/other.wtp";
    EXPECT_STREQ(plottable->getJobName(), "other");
    CString name = "x";
    plottable->getLayerName(name, -127);
    EXPECT_TRUE(name.IsEmpty());
    name = "x";
    plottable->getLayerName(name, 127);
    EXPECT_TRUE(name.IsEmpty());
    EXPECT_EQ(plottable->isCutAllowed(), 1);
}

TEST_F(SignViewOutputTest, TheOutputSheetGetsThePrintSourceAndStoresOnlyAChange) {
    AddSquare(10, 10, 40, RGB(0, 0, 0), 1);
    doc->SetModifiedFlag(FALSE);
    PrintSource* seen = nullptr;
    SetDialogScriptForClass("CPrintSheet", [&](HWND sheet) {
        seen = ThePrintEngine().source;
        static_cast<CPropertySheet*>(CWnd::FromHandlePermanent(sheet))->EndDialog(IDCANCEL);
    });
    view->SendMessage(WM_COMMAND, 32940, 0);
    EXPECT_EQ(seen, static_cast<PrintSource*>(view));
    EXPECT_NE(static_cast<void*>(seen), static_cast<void*>(static_cast<Plottable*>(view)));
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(doc->m_bHasPlotLayout, 0u);
    SetDialogScriptForClass("CPrintSheet", [&](HWND sheet) {
        ThePrintEngine().copies = 4;
        static_cast<CPropertySheet*>(CWnd::FromHandlePermanent(sheet))->EndDialog(IDCANCEL);
    });
    view->SendMessage(WM_COMMAND, 33140, 0);
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(doc->m_bHasPlotLayout, 1u);
    int copies = 0, mirror = 0, rotation = 0;
    float x = 0, y = 0, scale = 0, gap = 0;
    view->GetPrintSettings(x, y, scale, gap, copies, mirror, rotation);
    EXPECT_EQ(copies, 4);
}

TEST_F(SignViewOutputTest, PassThroughIsDecidedAfreshAndClearedAtTheEnd) {
    StartPrinters();
    AddSquare(10, 10, 40, RGB(0, 0, 0), 1);
    PrintSource* source = view;
    for (const char* printer : {"PS", "Raster"}) {
        HDC h = ::CreateDCA(nullptr, printer, nullptr, nullptr);
        CDC dc;
        dc.Attach(h);
        dc.m_bPrinting = TRUE;
        CSignView::PostScriptFlag = TRUE; // left by an earlier printer
        EXPECT_TRUE(source->BeginPrinting(&dc));
        EXPECT_EQ(CSignView::PostScriptFlag, std::string(printer) == "PS") << printer;
        source->EndPrinting(&dc);
        EXPECT_FALSE(CSignView::PostScriptFlag);
        ::DeleteDC(dc.Detach());
    }
}

TEST_F(SignViewOutputTest, CutContoursUniteOuterOutlinesAndKeepLines) {
    CPathObj* a = AddSquare(10, 10, 20, RGB(0, 0, 0), 1);
    CPathObj* b = AddSquare(20, 20, 20, RGB(0, 0, 0), 1);
    CPathObj* line = AddSquare(60, 10, 10, RGB(0, 0, 0), 1);
    AddSquare(80, 10, 10, RGB(0, 0, 0), 1); // not for cutting
    a->m_bFlag1 = b->m_bFlag1 = line->m_bFlag1 = 1;
    line->m_bFlag2 = 0;
    Path outlines(0), lines(0);
    view->GetCutContours(outlines, lines);
    EXPECT_EQ(outlines.subPaths.Filled(), 1); // the overlapping squares, one contour
    EXPECT_EQ(lines.subPaths.Filled(), 1);
}

TEST_F(SignViewOutputTest, TheEnginePrintsTheViewsDesignWithoutItsCutLines) {
    StartPrinters();
    CPathObj* square = AddSquare(0, 0, 40, RGB(255, 0, 0), 1);
    square->m_bFlag1 = 1;
    CTileLayout tiles;
    CPrintEngine engine(tiles);
    Path outlines(0), lines(0);
    view->GetCutContours(outlines, lines);
    engine.outlinePaths = &outlines;
    engine.linePaths = &lines;
    engine.Attach(view);
    engine.xPosition = engine.yPosition = 20;
    engine.UpdateLayout(1);
    HDC h = ::CreateDCA(nullptr, "Raster", nullptr, nullptr);
    CDC dc;
    dc.Attach(h);
    dc.m_bPrinting = TRUE;
    ASSERT_EQ(PrintPages(dc, engine, "Raster", "view", false), PrintRunResult::Printed);
    ::DeleteDC(dc.Detach());
    auto pages = SdGdiPrintedPages();
    ASSERT_EQ(pages.size(), 1u);
    const SdGdiImage& img = pages[0].image;
    const double px = img.width / 210.0;
    EXPECT_EQ(img.at(int(40 * px), int(40 * px)),
              RGB(255, 0, 0)); // the square at (20, 20)-(60, 60)
    EXPECT_EQ(img.at(int(70 * px), int(40 * px)), RGB(255, 255, 255));
    // Without print-and-cut nothing but the square: the view's own cut lines stay off.
    int other = 0;
    for (int y = 0; y < img.height; y += 2)
        for (int x = 0; x < img.width; x += 2) {
            COLORREF c = img.at(x, y);
            if (c != RGB(255, 255, 255) && c != RGB(255, 0, 0)) ++other;
        }
    EXPECT_EQ(other, 0);
}
