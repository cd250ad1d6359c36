// The plot sheet run by Plot, worked as a user would by dialog scripts: the overlap typed on
// the tile page, Cut pressed on the cut page, the job read back from the file it went to.

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <mfc/CPropertySheet.h>
#include <mfc/CWnd.h>
#include <testing/DialogDriver.h>
#include <testing/FakeSpooler.h>
#include <win32/ModuleTesting.h>
#include <win32/UserTesting.h>
#include <win32/controls.h>
#include <win32/kernel.h>
#include <win32/user.h>

#include "JobTest.h"
#include "plot/Plot.h"
#include <settings/CUnit.h>

namespace {

constexpr const char* kSection = "Generic HP-GL Cutter";

std::string Slurp(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class PlotSheetTest : public JobTest {
protected:
    void SetUp() override {
        JobTest::SetUp();
        spooler_ = std::make_unique<FakeSpooler>();
        savedDrv_ = DRV;
        std::filesystem::remove(DevicesIni());
        ini_ = std::string(GetDevicesIni());
        out_ = (DataFolder() / "sheet.plt").string();
        WritePrivateProfileStringA(kSection, "Device", out_.c_str(), ini_.c_str());
        std::ofstream(std::string(GetPlotIni()), std::ios::binary | std::ios::trunc)
            << "[General]\nCurrentPlotter=" << kSection << "\nHeadPos=0\nOvercutting=0\n"
            << "Optimization=0\npanelMarkers=1\npanelMarkLength=10\npanelMarkWidth=5\n"
            << "overlapX=5\noverlapY=5\nweedBox=0\n[Vinil]\nwidth=610\nheight=2000\n";
    }
    void TearDown() override {
        DRV.Detach();
        DRV = savedDrv_;
        spooler_.reset();
        JobTest::TearDown();
    }

    // The sheet's page at index, made active.
    static HWND Page(HWND sheet, int index) {
        auto* s = static_cast<CPropertySheet*>(CWnd::FromHandlePermanent(sheet));
        if (!s) return nullptr;
        s->SetActivePage(index);
        sdtest::PumpDialog();
        CPropertyPage* page = s->GetActivePage();
        return page ? page->m_hWnd : nullptr;
    }

    static void Close(HWND sheet) {
        if (auto* s = static_cast<CPropertySheet*>(CWnd::FromHandlePermanent(sheet)))
            s->EndDialog(IDCANCEL);
    }

    std::unique_ptr<FakeSpooler> spooler_;
    Plotter savedDrv_;
    std::string ini_, out_;
};

TEST_F(PlotSheetTest, TheBannerIsCutFromTheSheetWithTheOverlapTypedOnTheTilePage) {
    ColorPath& banner = host_.Add(0xFF);
    AddRectangle(banner, 0, 0, 1500, 400);
    AddRectangle(banner, 100, 100, 1400, 300);
    std::string tileCount, overlapShown;
    SetDialogScriptForClass("CPlotSheet", [&](HWND sheet) {
        HWND tiles = Page(sheet, 2);
        ASSERT_NE(tiles, nullptr);
        overlapShown = sdtest::TextOf(tiles, 1082);
        ASSERT_TRUE(sdtest::Type(tiles, 1082, "20"));
        sdtest::PumpDialog();
        tileCount = sdtest::TextOf(tiles, 1259);
        HWND cut = Page(sheet, 3);
        ASSERT_NE(cut, nullptr);
        PushMessageBoxAnswer(IDOK); // finished
        ASSERT_TRUE(sdtest::Click(cut, 1020));
        sdtest::PumpDialog();
        Close(sheet);
    });
    Plot(nullptr, &host_, 0);
    EXPECT_EQ(overlapShown, "5");
    EXPECT_EQ(tileCount, "3/3 tiles selected");
    std::vector<std::string> texts;
    for (const auto& m : MessageBoxLog())
        texts.push_back(m.text);
    EXPECT_EQ(texts, std::vector<std::string>{"The job is finished."});
    // The three panels' rectangles reached the file: X runs along the media, 40 steps a mm.
    const std::string file = Slurp(out_);
    ASSERT_FALSE(file.empty());
    EXPECT_EQ(file.substr(file.size() - 7), "PU;SP0;");
    // The overlap typed is written for the next job.
    char value[32];
    GetPrivateProfileStringA("General", "overlapX", "", value, sizeof value,
                             std::string(GetPlotIni()).c_str());
    EXPECT_STREQ(value, "20");
}

TEST_F(PlotSheetTest, EnterStepsThroughThePagesAndNeverClosesTheSheet) {
    AddRectangle(host_.Add(), 0, 0, 100, 100);
    std::vector<int> active;
    SetDialogScriptForClass("CPlotSheet", [&](HWND sheet) {
        auto* s = static_cast<CPropertySheet*>(CWnd::FromHandlePermanent(sheet));
        ASSERT_NE(s, nullptr);
        for (int i = 0; i < 5; ++i) {
            s->SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            sdtest::PumpDialog();
            active.push_back(s->GetActiveIndex());
        }
        Close(sheet);
    });
    Plot(nullptr, &host_, 0);
    EXPECT_EQ(active, (std::vector<int>{1, 2, 3, 0, 1}));
}

TEST_F(PlotSheetTest, WithoutItsResourceModulePlotSaysSoAndShowsNothing) {
    AddRectangle(host_.Add(), 0, 0, 100, 100);
    SdSetModuleMissing("jobsheet-res.DLL", true);
    PushMessageBoxAnswer(IDOK);
    Plot(nullptr, &host_, 0);
    SdSetModuleMissing("jobsheet-res.DLL", false);
    ASSERT_EQ(MessageBoxLog().size(), 1u);
    EXPECT_EQ(MessageBoxLog()[0].text, "Unable to find jobsheet-res.DLL");
    EXPECT_TRUE(DialogLog().empty());
}

bool Enabled(HWND page, int id) {
    return IsWindowEnabled(GetDlgItem(page, id)) != FALSE;
}

TEST_F(PlotSheetTest, ManualFeedTakesTheColumnModeAndLocksTheOthers) {
    AddRectangle(host_.Add(), 0, 0, 1500, 400);
    bool radiosBefore = false, radiosAfter = true, overlapYAfter = true, columns = false;
    std::string overlapY, count;
    SetDialogScriptForClass("CPlotSheet", [&](HWND sheet) {
        HWND tiles = Page(sheet, 2);
        ASSERT_NE(tiles, nullptr);
        ASSERT_TRUE(sdtest::Click(tiles, 1002)); // lines alike
        sdtest::PumpDialog();
        radiosBefore = Enabled(tiles, 1001);
        ASSERT_TRUE(sdtest::Click(tiles, 1060)); // manual feed
        sdtest::PumpDialog();
        radiosAfter = Enabled(tiles, 1001) || Enabled(tiles, 1002) || Enabled(tiles, 1003);
        overlapYAfter = Enabled(tiles, 1083);
        overlapY = sdtest::TextOf(tiles, 1083);
        columns = SendMessageA(GetDlgItem(tiles, 1004), BM_GETCHECK, 0, 0) == BST_CHECKED;
        ASSERT_TRUE(sdtest::Click(tiles, 1022)); // select none
        count = sdtest::TextOf(tiles, 1259);
        Close(sheet);
    });
    Plot(nullptr, &host_, 0);
    EXPECT_TRUE(radiosBefore);
    EXPECT_FALSE(radiosAfter);
    EXPECT_FALSE(overlapYAfter);
    EXPECT_EQ(overlapY, "0");
    EXPECT_TRUE(columns);
    EXPECT_EQ(count, "0/3 tiles selected");
}

TEST_F(PlotSheetTest, TheLayoutPageSizesTheTurnedDesignAndGuardsTheMedia) {
    AddRectangle(host_.Add(), 0, 0, 100, 50);
    std::string first, second, scale, media;
    int beeps = 0;
    bool centreEnabled = false;
    SetDialogScriptForClass("CPlotSheet", [&](HWND sheet) {
        HWND layout = Page(sheet, 0);
        ASSERT_NE(layout, nullptr);
        ASSERT_TRUE(sdtest::Click(layout, 1021)); // a quarter turn
        sdtest::PumpDialog();
        ASSERT_TRUE(sdtest::Type(layout, 1080, "200")); // the height now
        sdtest::PumpDialog();
        first = sdtest::TextOf(layout, 1080);
        second = sdtest::TextOf(layout, 1081);
        scale = sdtest::TextOf(layout, 1082);
        centreEnabled = Enabled(layout, 1023);
        // Below 100 mm the media field is not taken.
        ASSERT_TRUE(sdtest::Type(layout, 1087, "80"));
        sdtest::PumpDialog();
        SdResetBeeps();
        // Beyond the device's width: a beep, and the device's width.
        ASSERT_TRUE(sdtest::Type(layout, 1087, "12000"));
        sdtest::PumpDialog();
        beeps = SdBeepCount();
        media = sdtest::TextOf(layout, 1087);
        Close(sheet);
    });
    Plot(nullptr, &host_, 0);
    // Turned a quarter, the first field is the height.
    EXPECT_EQ(first, "200");
    EXPECT_EQ(second, "400");
    EXPECT_EQ(scale, "4");
    EXPECT_TRUE(centreEnabled);
    EXPECT_EQ(std::stof(media), 610);
    EXPECT_GE(beeps, 1);
    char width[32];
    GetPrivateProfileStringA("Vinil", "width", "", width, sizeof width,
                             std::string(GetPlotIni()).c_str());
    EXPECT_STREQ(width, "610");
}

TEST_F(PlotSheetTest, LayersAboveTheRangeAreListedAsTheTopLayer) {
    ColorPath& p = host_.Add();
    AddRectangle(p, 0, 0, 100, 100);
    p.layer = 300;
    std::vector<std::string> entries;
    SetDialogScriptForClass("CPlotSheet", [&](HWND sheet) {
        HWND settings = Page(sheet, 1);
        ASSERT_NE(settings, nullptr);
        HWND combo = GetDlgItem(settings, 1051);
        int n = int(SendMessageA(combo, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < n; ++i) {
            char text[64] = "";
            SendMessageA(combo, CB_GETLBTEXT, WPARAM(i), LPARAM(text));
            entries.push_back(text);
        }
        ASSERT_TRUE(sdtest::Select(settings, 1051, "Layer 127"));
        sdtest::PumpDialog();
        Close(sheet);
    });
    Plot(nullptr, &host_, 0);
    EXPECT_EQ(entries, (std::vector<std::string>{"All layers", "Layer 127"}));
}

TEST_F(PlotSheetTest, AnOvercutPastTenMillimetresKeepsTheCutPageOpen) {
    AddRectangle(host_.Add(), 0, 0, 100, 100);
    SetDialogScriptForClass("CPlotSheet", [&](HWND sheet) {
        HWND cut = Page(sheet, 3);
        ASSERT_NE(cut, nullptr);
        ASSERT_TRUE(sdtest::Type(cut, 1080, "10.5"));
        PushMessageBoxAnswer(IDOK); // the range message
        ASSERT_TRUE(sdtest::Click(cut, 1020));
        sdtest::PumpDialog();
        ASSERT_TRUE(sdtest::Type(cut, 1080, "0"));
        Close(sheet);
    });
    Plot(nullptr, &host_, 0);
    ASSERT_EQ(MessageBoxLog().size(), 1u);
    EXPECT_NE(MessageBoxLog()[0].text.find("10"), std::string::npos) << MessageBoxLog()[0].text;
    EXPECT_FALSE(std::filesystem::exists(out_));
}

TEST_F(PlotSheetTest, TheReadOutShowsTheHostsUnit) {
    AddRectangle(host_.Add(), 0, 0, 100, 100);
    std::string x;
    SetDialogScriptForClass("CPlotSheet", [&](HWND sheet) {
        HWND cut = Page(sheet, 3);
        ASSERT_NE(cut, nullptr);
        SendMessageA(GetDlgItem(cut, 1200), WM_MOUSEMOVE, 0, MAKELPARAM(200, 100));
        x = sdtest::TextOf(cut, 1255);
        Close(sheet);
    });
    Plot(nullptr, &host_, 0);
    ASSERT_EQ(x.substr(0, 2), "x=");
    const double mm = std::stod(x.substr(2));
    EXPECT_GT(mm, 0);
    CUnit inches;
    inches.unit = CUnit::INCH;
    Plot(nullptr, &host_, &inches);
    ASSERT_EQ(x.substr(0, 2), "x=");
    EXPECT_NEAR(std::stod(x.substr(2)) * 25.4, mm, 0.01);
}

TEST_F(PlotSheetTest, AnEmptyDesignLetsThePagesGoAndCutSaysThereIsNothing) {
    SetDialogScriptForClass("CPlotSheet", [&](HWND sheet) {
        for (int page : {1, 2, 3, 0})
            ASSERT_NE(Page(sheet, page), nullptr);
        HWND cut = Page(sheet, 3);
        ASSERT_NE(cut, nullptr);
        PushMessageBoxAnswer(IDOK);
        ASSERT_TRUE(sdtest::Click(cut, 1020));
        sdtest::PumpDialog();
        Close(sheet);
    });
    Plot(nullptr, &host_, 0);
    ASSERT_EQ(MessageBoxLog().size(), 1u);
    EXPECT_NE(MessageBoxLog()[0].text.find("nothing to cut"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(out_));
}

TEST_F(PlotSheetTest, TheSpoolDialogNamesAnUntitledJobAndItsCancelCutsNothing) {
    AddRectangle(host_.Add(), 0, 0, 100, 100);
    WritePrivateProfileStringA("General", "UseSpooler", "1", std::string(GetPlotIni()).c_str());
    std::string name;
    SetDialogScript(1544, [&](HWND dialog) {
        name = sdtest::TextOf(dialog, 1080);
        sdtest::Click(dialog, IDCANCEL);
    });
    SetDialogScriptForClass("CPlotSheet", [&](HWND sheet) {
        HWND cut = Page(sheet, 3);
        ASSERT_NE(cut, nullptr);
        ASSERT_TRUE(sdtest::Click(cut, 1020));
        sdtest::PumpDialog();
        Close(sheet);
    });
    Plot(nullptr, &host_, 0);
    EXPECT_EQ(name, "Untitled");
    EXPECT_TRUE(MessageBoxLog().empty());
    EXPECT_FALSE(std::filesystem::exists(out_));
}

TEST_F(PlotSheetTest, TheCutOffAsksACountFromOneToEighty) {
    AddRectangle(host_.Add(), 0, 0, 100, 100);
    std::vector<bool> open;
    SetDialogScript(1545, [&](HWND dialog) {
        for (const char* count : {"0", "81", "40"}) {
            SetDlgItemTextA(dialog, 1081, count);
            if (std::string(count) != "40") PushMessageBoxAnswer(IDOK);
            SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            sdtest::PumpDialog();
            open.push_back(IsWindow(dialog) && IsWindowVisible(dialog));
        }
    });
    SetDialogScriptForClass("CPlotSheet", [&](HWND sheet) {
        HWND cut = Page(sheet, 3);
        ASSERT_NE(cut, nullptr);
        ASSERT_TRUE(sdtest::Click(cut, 1029));
        sdtest::PumpDialog();
        Close(sheet);
    });
    Plot(nullptr, &host_, 0);
    ASSERT_EQ(open.size(), 3u);
    EXPECT_TRUE(open[0]);
    EXPECT_TRUE(open[1]);
    EXPECT_EQ(MessageBoxLog().size(), 2u);
    // The cut-off went to the file: a line across at the sheet's length.
    EXPECT_TRUE(std::filesystem::exists(out_));
}

TEST_F(PlotSheetTest, TheTilePageRefusesAnOverlapThatLeavesNoPanel) {
    // Square: the turn an earlier sheet left on the job does not matter.
    AddRectangle(host_.Add(), 0, 0, 1500, 1500);
    std::string count;
    SetDialogScriptForClass("CPlotSheet", [&](HWND sheet) {
        HWND tiles = Page(sheet, 2);
        ASSERT_NE(tiles, nullptr);
        ASSERT_TRUE(sdtest::Click(tiles, 1003)); // tiles edited freely
        sdtest::PumpDialog();
        ASSERT_TRUE(sdtest::Type(tiles, 1080, "45")); // 25 mm inside the marks
        sdtest::PumpDialog();
        PushMessageBoxAnswer(IDOK);
        ASSERT_TRUE(sdtest::Type(tiles, 1082, "30"));
        sdtest::PumpDialog();
        ASSERT_TRUE(sdtest::Type(tiles, 1082, "5"));
        sdtest::PumpDialog();
        count = sdtest::TextOf(tiles, 1259);
        Close(sheet);
    });
    Plot(nullptr, &host_, 0);
    ASSERT_EQ(MessageBoxLog().size(), 1u);
    EXPECT_NE(MessageBoxLog()[0].text.find("cannot be cut in panels"), std::string::npos)
        << MessageBoxLog()[0].text;
    // 1,500 mm on panels of 25 with 5 overlap: 75 columns of one row.
    EXPECT_EQ(count, "75/75 tiles selected");
}

TEST_F(PlotSheetTest, RemovingTheCurrentCutterAsksAndChoosesTheNext) {
    AddRectangle(host_.Add(), 0, 0, 100, 100);
    std::string before, after;
    SetDialogScriptForClass("CPlotSheet", [&](HWND sheet) {
        HWND cut = Page(sheet, 3);
        ASSERT_NE(cut, nullptr);
        before = sdtest::TextOf(cut, 1051);
        PushMessageBoxAnswer(IDNO);
        ASSERT_TRUE(sdtest::Click(cut, 1025));
        sdtest::PumpDialog();
        PushMessageBoxAnswer(IDYES);
        ASSERT_TRUE(sdtest::Click(cut, 1025));
        sdtest::PumpDialog();
        after = sdtest::TextOf(cut, 1051);
        Close(sheet);
    });
    Plot(nullptr, &host_, 0);
    EXPECT_EQ(before, kSection);
    ASSERT_EQ(MessageBoxLog().size(), 2u);
    EXPECT_NE(MessageBoxLog()[0].text.find(std::string("\"") + kSection + "\""), std::string::npos);
    EXPECT_NE(after, kSection);
    EXPECT_FALSE(after.empty());
    char driver[64];
    GetPrivateProfileStringA(kSection, "Driver", "<gone>", driver, sizeof driver, ini_.c_str());
    EXPECT_STREQ(driver, "<gone>");
    char current[128];
    GetPrivateProfileStringA("General", "CurrentPlotter", "", current, sizeof current,
                             std::string(GetPlotIni()).c_str());
    EXPECT_EQ(after, current);
}

} // namespace
