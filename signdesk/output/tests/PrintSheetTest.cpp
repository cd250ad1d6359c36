// The output sheet run as the view's output command, and print-and-cut through its cut page.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include <mfc/CPrintDialog.h>
#include <mfc/CPropertySheet.h>
#include <plot/PlotIni.h>
#include <plot/Plotter.h>
#include <settings/ProgramFolders.h>
#include <testing/DialogDriver.h>
#include <testing/FakeSpooler.h>
#include <win32/user.h>

#include "OutputFixture.h"
#include "output/CCutPage.h"
#include "output/CPrintSheet.h"
#include "output/OutputIds.h"

namespace {

class PrintSheetTest : public OutputTest {
protected:
    void SetUp() override {
        OutputTest::SetUp();
        saved = DRV;
        output = (DataFolder() / "cut.plt").string();
        WriteDevices("[Test HP-GL]\nDriver=cutdrv-coral.dll\nDevice=" + output +
                     "\nStepSize=0.025\nMaxX=5000\nMaxY=610\nAbsoluteCoords=1\nInitialize=IN;\n"
                     "CutInit=SP1;\nEnd=PU;SP0;\nMoveRel=PU#,#;\nLineRel=PD#,#;\nOrigoPos=0\n");
        std::ofstream(std::string(GetPlotIni())) << "[Plotter]\nCurrentPlotter=Test HP-GL\n";
        // The worked example's layout, the design marked for cutting.
        Options(10, 5, 1, 1);
        Set("General", "EnablePrintAndCut", "1");
        design.AddRect(0, 0, 80, 40, RGB(0, 0, 0), true);
        design.x = design.y = 10;
        design.copies = 2;
        design.gap = 5;
    }
    void TearDown() override {
        DRV.Detach();
        DRV = saved;
        OutputTest::TearDown();
    }
    void WriteDevices(const std::string& text) {
        std::ofstream(std::string(GetDataFilePath("Devices.ini"))) << text;
    }
    std::string Cutfile() {
        std::ifstream in(output);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    static CPropertySheet* Sheet(HWND d) {
        return static_cast<CPropertySheet*>(CWnd::FromHandle(d));
    }
    // Runs the sheet; the script gets the sheet and ends it.
    void Run(std::function<void(HWND, CPropertySheet*)> script) {
        SetDialogScriptForClass("CPrintSheet", [&](HWND d) {
            script(d, Sheet(d));
            if (::IsWindow(d)) Sheet(d)->EndDialog(IDCANCEL);
        });
        RunPrintSheet(nullptr, &design, *engine);
    }
    std::string Text(UINT id) {
        CString s;
        s.LoadString(id);
        return std::string(s);
    }
    Plotter saved;
    std::string output;
    FakeSpooler spooler;
};

} // namespace

TEST_F(PrintSheetTest, AnUnchangedLayoutLeavesTheDocumentAlone) {
    int pages = 0;
    Run([&](HWND, CPropertySheet* sheet) {
        pages = sheet->GetPageCount();
        for (int i = 0; i < 4; ++i)
            EXPECT_TRUE(sheet->SetActivePage(i));
    });
    EXPECT_EQ(pages, 5);
    EXPECT_EQ(design.setCalls, 0);
    EXPECT_EQ(engine->source, nullptr);
    EXPECT_EQ(engine->outlinePaths, nullptr);
}

TEST_F(PrintSheetTest, ChangedCopiesAreStoredWhateverClosesTheSheet) {
    Run([&](HWND, CPropertySheet* sheet) {
        HWND page = sheet->GetActivePage()->m_hWnd;
        sdtest::Type(page, 2605, "3");
        EXPECT_EQ(engine->copies, 3);
        // Enter does not close the sheet: it moves on, and from the last page to the first.
        sheet->SetActivePage(4);
        ::SendMessageA(sheet->m_hWnd, WM_COMMAND, IDOK, 0);
        EXPECT_EQ(sheet->GetActiveIndex(), 0);
    });
    EXPECT_EQ(design.setCalls, 1);
    EXPECT_EQ(design.copies, 3);
}

TEST_F(PrintSheetTest, TheCutPageRefusesATiledLayout) {
    design.paths.clear();
    design.AddRect(0, 0, 400, 250, RGB(0, 0, 0), true);
    PushMessageBoxAnswer(IDOK);
    Run([&](HWND, CPropertySheet* sheet) {
        EXPECT_FALSE(sheet->SetActivePage(4));
        EXPECT_NE(sheet->GetActiveIndex(), 4);
    });
    ASSERT_EQ(MessageBoxLog().size(), 1u);
    EXPECT_EQ(MessageBoxLog()[0].text, Text(IDS_OUT_TILED_NO_CUT));
}

TEST_F(PrintSheetTest, PrintAndCutThroughTheCutPage) {
    PushMessageBoxAnswer(IDOK); // finished
    Run([&](HWND, CPropertySheet* sheet) {
        ASSERT_TRUE(sheet->SetActivePage(4));
        HWND page = sheet->GetActivePage()->m_hWnd;
        EXPECT_EQ(sdtest::TextOf(page, 2720), "Test HP-GL");
        EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(page, 2709))); // not calibrated yet
        sdtest::Click(page, 2705);                                 // accept the marks
        ASSERT_TRUE(::IsWindowEnabled(::GetDlgItem(page, 2709)));
        sdtest::Click(page, 2709);
    });
    ASSERT_EQ(MessageBoxLog().size(), 1u);
    EXPECT_EQ(MessageBoxLog()[0].text, Text(IDS_OUT_CUT_FINISHED));
    std::string cut = Cutfile();
    // Both copies, uncalibrated, each cut from its top-left corner: (15, 15) and (110, 15) are
    // (600, 600) and (4400, 600) steps; the cutter's X is the plot library's second coordinate.
    EXPECT_NE(cut.find("PU600,600;"), std::string::npos) << cut;
    EXPECT_NE(cut.find("PU600,4400;"), std::string::npos) << cut;
}

// 13 copies lie 2 x 5 on a sheet: the user picks the second sheet, which cuts its three
// copies in the first three cells after its marks are accepted anew.
TEST_F(PrintSheetTest, TheCutPageCutsTheSheetTheUserPicks) {
    design.copies = 13;
    PushMessageBoxAnswer(IDOK); // finished
    std::string sheetText;
    Run([&](HWND, CPropertySheet* sheet) {
        ASSERT_TRUE(sheet->SetActivePage(4));
        HWND page = sheet->GetActivePage()->m_hWnd;
        EXPECT_EQ(sdtest::TextOf(page, 2605), "1");
        EXPECT_EQ(sdtest::TextOf(page, 2621), "of 2");
        sdtest::Click(page, 2705);
        sdtest::Type(page, 2605, "3"); // no third sheet
        EXPECT_EQ(engine->sheetIndex, 0);
        EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(page, 2709)));
        sdtest::Type(page, 2605, "2");
        EXPECT_EQ(engine->sheetIndex, 1);
        // Another sheet on the cutter: its marks are measured or accepted again.
        EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(page, 2709)));
        sdtest::Click(page, 2705);
        sdtest::Click(page, 2709);
        sheetText = std::string(DRV.sheetText);
        // Fewer copies leave one sheet: the pick follows.
        ASSERT_TRUE(sheet->SetActivePage(0));
        sdtest::Type(sheet->GetActivePage()->m_hWnd, 2605, "5");
        EXPECT_EQ(engine->sheetIndex, 0);
    });
    ASSERT_EQ(MessageBoxLog().size(), 1u);
    EXPECT_EQ(MessageBoxLog()[0].text, Text(IDS_OUT_CUT_FINISHED));
    EXPECT_EQ(sheetText, "2/2");
    std::string cut = Cutfile();
    // Cells (15, 15), (110, 15), (15, 70) are cut; (110, 70) holds no copy on this sheet.
    EXPECT_NE(cut.find("PU600,600;"), std::string::npos) << cut;
    EXPECT_NE(cut.find("PU600,4400;"), std::string::npos) << cut;
    EXPECT_NE(cut.find("PU2800,600;"), std::string::npos) << cut;
    EXPECT_EQ(cut.find("PU2800,4400;"), std::string::npos) << cut;
}

// Plot mode starts a plot job (the section's plot set-up and speed), cutting a cut job.
TEST_F(PrintSheetTest, PlotModeStartsAPlotJob) {
    for (int plotMode : {0, 1}) {
        SCOPED_TRACE(plotMode);
        WriteDevices("[Test HP-GL]\nDriver=cutdrv-coral.dll\nDevice=" + output +
                     "\nStepSize=0.025\nMaxX=5000\nMaxY=610\nAbsoluteCoords=1\nInitialize=IN;\n"
                     "PlotInit=PLOT;\nCutInit=CUT;\nSetSpeed=VS#;\nPlotSpeed=400\nCutSpeed=200\n"
                     "End=PU;SP0;\nMoveRel=PU#,#;\nLineRel=PD#,#;\nOrigoPos=0\n");
        std::ofstream(std::string(GetPlotIni()))
            << "[Plotter]\nCurrentPlotter=Test HP-GL\nPlotMode=" << plotMode << "\n";
        PushMessageBoxAnswer(IDOK);
        Run([&](HWND, CPropertySheet* sheet) {
            ASSERT_TRUE(sheet->SetActivePage(4));
            HWND page = sheet->GetActivePage()->m_hWnd;
            EXPECT_EQ(::IsDlgButtonChecked(page, 2661), UINT(plotMode));
            sdtest::Click(page, 2705);
            sdtest::Click(page, 2709);
        });
        std::string cut = Cutfile();
        EXPECT_NE(cut.find(plotMode ? "PLOT;" : "CUT;"), std::string::npos) << cut;
        EXPECT_EQ(cut.find(plotMode ? "CUT;" : "PLOT;"), std::string::npos) << cut;
    }
}

// Registration points placed by hand snap onto a copy's corner within 6 preview pixels.
TEST_F(PrintSheetTest, APointDroppedNearACopyCornerSnapsOntoIt) {
    PushMessageBoxAnswer(IDYES); // place the marks by hand
    int beeps = 0;
    floatPoint dropped(-1, -1);
    Run([&](HWND, CPropertySheet* sheet) {
        ASSERT_TRUE(sheet->SetActivePage(4));
        auto* page = static_cast<CCutPage*>(sheet->GetActivePage());
        HWND preview = ::GetDlgItem(page->m_hWnd, 2770);
        ::InvalidateRect(preview, nullptr, TRUE);
        ::UpdateWindow(preview);
        sdtest::Click(page->m_hWnd, 2660);
        ASSERT_EQ(page->editPoints, 1);
        // Point 2 (the block's top-left mark) dragged to 5 pixels right of the second copy's
        // top-left corner, page (110, 15).
        POINT from = engine->PageToPreview(page->points[1]);
        POINT corner = engine->PageToPreview(floatPoint(110, 15));
        int before = SdBeepCount();
        ::SendMessageA(preview, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
        // Dragged, the point shows its own cursor.
        HCURSOR dragged = ::LoadCursorA(module, MAKEINTRESOURCE(209));
        EXPECT_NE(dragged, nullptr);
        EXPECT_EQ(::GetCursor(), dragged);
        ::SendMessageA(preview, WM_LBUTTONUP, 0, MAKELPARAM(corner.x + 5, corner.y));
        beeps = SdBeepCount() - before;
        dropped = page->points[1];
    });
    EXPECT_EQ(beeps, 1);
    EXPECT_NEAR(dropped.x, 110, 1e-3);
    EXPECT_NEAR(dropped.y, 15, 1e-3);
}

// The preview shows each registration point as its icon, the icon's red dot on the point.
TEST_F(PrintSheetTest, TheCutPreviewShowsEachPointAsItsIcon) {
    Run([&](HWND, CPropertySheet* sheet) {
        ASSERT_TRUE(sheet->SetActivePage(4));
        auto* page = static_cast<CCutPage*>(sheet->GetActivePage());
        HWND preview = ::GetDlgItem(page->m_hWnd, 2770);
        ::InvalidateRect(preview, nullptr, TRUE);
        ::UpdateWindow(preview);
        HDC dc = ::GetDC(preview);
        SdGdiImage img = SdGdiReadDC(dc);
        ::ReleaseDC(preview, dc);
        ASSERT_GT(img.width, 0);
        for (int i = 0; i < 3; ++i) {
            POINT p = engine->PageToPreview(page->points[i]);
            ASSERT_TRUE(p.x >= 0 && p.y >= 0 && p.x < img.width && p.y < img.height) << i;
            EXPECT_EQ(img.at(p.x, p.y), RGB(220, 0, 0)) << i;
        }
    });
}

TEST_F(PrintSheetTest, DeviceListOvercutAndSpooledCutCancelled) {
    WriteDevices("[First]\nDriver=cutdrv-coral.dll\nDevice=" + output +
                 "\n[Test HP-GL]\nDriver=cutdrv-coral.dll\nDevice=" + output +
                 "\nStepSize=0.025\nMaxX=5000\nMaxY=610\nMoveRel=PU#,#;\nLineRel=PD#,#;\n");
    std::ofstream(std::string(GetPlotIni()))
        << "[Plotter]\nCurrentPlotter=Test HP-GL\nUseSpooler=1\n";
    PushMessageBoxAnswer(IDOK);  // the overcut's range
    PushMessageBoxAnswer(IDYES); // delete "Test HP-GL"?
    Run([&](HWND, CPropertySheet* sheet) {
        ASSERT_TRUE(sheet->SetActivePage(4));
        HWND page = sheet->GetActivePage()->m_hWnd;
        sdtest::Click(page, 2705);
        // A spooled cut shows the job's settings first; Cancel sends nothing.
        SetDialogScript(1544, [](HWND d) { sdtest::Click(d, IDCANCEL); });
        sdtest::Click(page, 2709);
        EXPECT_EQ(DialogLog().back().templateId, 1544);
        // 12 mm of overcut is past the page's 10.
        sdtest::Type(page, 2600, "12");
        sdtest::Click(page, 2709);
        sdtest::Type(page, 2600, "0");
        // The last entry deleted: the one before it is chosen.
        sdtest::Click(page, 2701);
        EXPECT_EQ(sdtest::TextOf(page, 2720), "First");
    });
    EXPECT_FALSE(std::ifstream(output).good());
    char text[64];
    ::GetPrivateProfileStringA("Test HP-GL", "Driver", "", text, sizeof text,
                               std::string(GetDataFilePath("Devices.ini")).c_str());
    EXPECT_STREQ(text, "");
    ::GetPrivateProfileStringA("Plotter", "CurrentPlotter", "", text, sizeof text,
                               std::string(GetPlotIni()).c_str());
    EXPECT_STREQ(text, "First");
    ASSERT_EQ(MessageBoxLog().size(), 2u);
    EXPECT_NE(MessageBoxLog()[1].text.find("\"Test HP-GL\""), std::string::npos);
}

TEST_F(PrintSheetTest, EscapeMidCutSaysWhereItStopped) {
    PushMessageBoxAnswer(IDYES); // stop cutting?
    PushMessageBoxAnswer(IDOK);  // where it stopped
    Run([&](HWND, CPropertySheet* sheet) {
        ASSERT_TRUE(sheet->SetActivePage(4));
        HWND page = sheet->GetActivePage()->m_hWnd;
        sdtest::Click(page, 2705);
        // Escape waits in the queue while the cut runs inside the click.
        ::PostMessageA(page, WM_KEYDOWN, VK_ESCAPE, 0);
        ::SendMessageA(page, WM_COMMAND, MAKEWPARAM(2709, BN_CLICKED),
                       LPARAM(::GetDlgItem(page, 2709)));
    });
    ASSERT_EQ(MessageBoxLog().size(), 2u);
    EXPECT_EQ(MessageBoxLog()[0].text, Text(IDS_OUT_STOP_CUTTING));
    EXPECT_NE(MessageBoxLog()[1].text.find("after 0 of 2"), std::string::npos)
        << MessageBoxLog()[1].text;
    EXPECT_EQ(Cutfile().find("PD"), std::string::npos);
}

TEST_F(PrintSheetTest, ACutterWithoutDriverIsNamedAndNothingIsSent) {
    WriteDevices("[Broken]\nDriver=cutdrv-missing.dll\nDevice=" + output + "\n");
    std::ofstream(std::string(GetPlotIni())) << "[Plotter]\nCurrentPlotter=Broken\n";
    AllowUnscriptedMessageBoxes();
    Run([&](HWND, CPropertySheet* sheet) {
        ASSERT_TRUE(sheet->SetActivePage(4));
        HWND page = sheet->GetActivePage()->m_hWnd;
        sdtest::Click(page, 2705);
        sdtest::Click(page, 2709);
    });
    ASSERT_FALSE(MessageBoxLog().empty());
    EXPECT_NE(MessageBoxLog().back().text.find("\"Broken\" has no working driver"),
              std::string::npos);
    for (const auto& box : MessageBoxLog())
        EXPECT_EQ(box.text.find("finished"), std::string::npos);
    EXPECT_FALSE(std::ifstream(output).good());
}

TEST_F(PrintSheetTest, AnEmptyDeviceListBindsNothingAndSaysSo) {
    WriteDevices("");
    std::ofstream(std::string(GetPlotIni())) << "[Plotter]\n";
    PushMessageBoxAnswer(IDOK);
    Run([&](HWND, CPropertySheet* sheet) {
        ASSERT_TRUE(sheet->SetActivePage(4));
        HWND page = sheet->GetActivePage()->m_hWnd;
        EXPECT_EQ(::SendMessageA(::GetDlgItem(page, 2720), CB_GETCOUNT, 0, 0), 0);
        sdtest::Click(page, 2705);
        sdtest::Click(page, 2709);
    });
    ASSERT_EQ(MessageBoxLog().size(), 1u);
    EXPECT_NE(MessageBoxLog()[0].text.find("No cutter is chosen"), std::string::npos);
    EXPECT_FALSE(std::ifstream(output).good());
}

TEST_F(PrintSheetTest, PrinterSetupStartsOnTheProgramsPrinterAndKeepsItsChoice) {
    HGLOBAL mode = nullptr, names = nullptr;
    ASSERT_TRUE(AfxMakePrinterSetup("Draft", &mode, &names));
    app.SelectPrinter(names, mode);
    std::string shown;
    float media[2] = {};
    Run([&](HWND, CPropertySheet* sheet) {
        ASSERT_TRUE(sheet->SetActivePage(2));
        SetDialogScriptForClass("CPrintDialog", [&](HWND d) {
            shown = sdtest::TextOf(d, SD_PRINT_PRINTER);
            sdtest::Select(d, SD_PRINT_PAPER, "A3");
            sdtest::Click(d, IDOK);
        });
        ASSERT_TRUE(sdtest::Click(sheet->GetActivePage()->m_hWnd, 2702));
        media[0] = engine->mediaWidth;
        media[1] = engine->mediaHeight;
    });
    EXPECT_EQ(shown, "Draft");
    // The fake printer's A3 has no margins.
    EXPECT_NEAR(media[0], 297.0f, 0.5f);
    EXPECT_NEAR(media[1], 420.0f, 0.5f);
    CPrintDialog kept(TRUE);
    ASSERT_TRUE(app.GetPrinterDeviceDefaults(&kept.m_pd));
    EXPECT_EQ(std::string(kept.GetDeviceName()), "Draft");
    const DEVMODEA* dm = kept.GetDevMode();
    ASSERT_NE(dm, nullptr);
    EXPECT_EQ(dm->dmPaperSize, DMPAPER_A3);
    ::GlobalUnlock(kept.m_pd.hDevMode);
}
