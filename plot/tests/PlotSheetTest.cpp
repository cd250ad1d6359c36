// The plot sheet run by Plot, worked as a user would by dialog scripts: the overlap typed on
// the tile page, Cut pressed on the cut page, the job read back from the file it went to.

#include <filesystem>
#include <fstream>
#include <sstream>

#include <mfc/CPropertySheet.h>
#include <mfc/CWnd.h>
#include <testing/DialogDriver.h>
#include <testing/FakeSpooler.h>
#include <win32/ModuleTesting.h>
#include <win32/kernel.h>
#include <win32/user.h>

#include "JobTest.h"
#include "plot/Plot.h"

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

} // namespace
