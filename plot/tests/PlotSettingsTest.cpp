// Plot.ini and Devices.ini: where they lie, what is read with which default, what is written.

#include <cmath>

#include <mfc/CStringArray.h>
#include <settings/CIniFile.h>

#include "PlotSettings.h"
#include "PlotTest.h"
#include "plot/PlotIni.h"
#include "plot/PlotPath.h"

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class PlotSettingsTest : public PlotTest {
protected:
    void SetUp() override {
        PlotTest::SetUp();
        saved_ = DRV;
        savedOvercut_ = OverCutting;
        savedOptimization_ = Optimization;
    }
    void TearDown() override {
        DRV.Detach();
        DRV = saved_;
        OverCutting = savedOvercut_;
        Optimization = savedOptimization_;
        PlotTest::TearDown();
    }

    void WritePlotIni(const std::string& text) const {
        std::ofstream(std::string(GetPlotIni()), std::ios::binary | std::ios::trunc) << text;
    }

    Plotter saved_;
    float savedOvercut_ = 0;
    int savedOptimization_ = 1;
};

TEST_F(PlotSettingsTest, TheFilesLieInTheDataFolderAndStartAsTheProgramsDefaults) {
    std::string plotIni = std::string(GetPlotIni());
    EXPECT_EQ(plotIni, (DataFolder() / "signdesk" / "Plot.ini").string());
    EXPECT_EQ(ReadFile(plotIni), ReadFile(std::string(GetProgramDir()) + "Plot.ini"));
    EXPECT_EQ(DevicesIni(), (DataFolder() / "signdesk" / "Devices.ini").string());
}

TEST_F(PlotSettingsTest, JobSettingsReadTheMediaWithinTheDevicesLimits) {
    struct Case {
        const char* name;
        const char* plotIni;
        const char* device; // the section's keys
        float width, length, page;
    };
    const Case cases[] = {
        {"WidthLimitedByMaxY", "[Vinil]\nwidth=600\nheight=300\n", "MaxY=470\nMaxX=2000\n", 470,
         300, 0},
        {"ZerosGiveDefaults", "[Vinil]\nwidth=0\nheight=0\n", "MaxY=0\nMaxX=0\n", 470, 800, 0},
        {"MissingSection", "[Vinil]\nwidth=1000\nheight=20000\n", nullptr, 470, 10000, 0},
        {"PageSize", "[Vinil]\nwidth=300\nheight=900\n", "MaxY=610\nMaxX=1200\nPageSize=297\n", 300,
         900, 297},
        {"NoNumbers", "[Vinil]\nwidth=nan\nheight=-5\n", "MaxY=inf\nMaxX=1e99\n", 470, 800, 0},
    };
    for (const Case& c : cases) {
        std::string devices = "[Other]\nMaxY=100\n";
        if (c.device) devices += std::string("[") + Device + "]\n" + c.device;
        WriteDevicesIni(devices);
        WritePlotIni(std::string("[General]\nCurrentPlotter=") + Device + "\n" + c.plotIni);
        JobSettings job;
        job.Load();
        EXPECT_EQ(job.mediaWidth, c.width) << c.name;
        EXPECT_EQ(job.mediaLength, c.length) << c.name;
        EXPECT_EQ(job.pageLength, c.page) << c.name;
    }
}

TEST_F(PlotSettingsTest, JobSettingsKeepTheFractionOfLengthsWrittenAsFloats) {
    WritePlotIni("[General]\nweedBox=0\nweedDx=2.5\nweedDy=nan\nregistrationMarkers=1\n"
                 "markerSize=12.5\npanelMarkers=0\npanelMarkLength=7.5\npanelMarkWidth=2\n"
                 "overlapX=3.25\noverlapY=0\nmanualFeed=1\n");
    JobSettings job;
    job.Load();
    EXPECT_EQ(job.weedBox, 0);
    EXPECT_EQ(job.weedDx, 2.5f);
    EXPECT_EQ(job.weedDy, 1.0f);
    EXPECT_EQ(job.registrationMarkers, 1);
    EXPECT_EQ(job.markerSize, 12.5f);
    EXPECT_EQ(job.panelMarkers, 0);
    EXPECT_EQ(job.panelMarkLength, 7.5f);
    EXPECT_EQ(job.panelMarkWidth, 2.0f);
    EXPECT_EQ(job.overlapX, 3.25f);
    EXPECT_EQ(job.overlapY, 0.0f);
    EXPECT_EQ(job.manualFeed, 1);

    // Missing keys take the defaults.
    WritePlotIni("");
    JobSettings defaults;
    defaults.markerSize = 99;
    defaults.Load();
    EXPECT_EQ(defaults.weedBox, 1);
    EXPECT_EQ(defaults.weedDx, 1.0f);
    EXPECT_EQ(defaults.markerSize, 10.0f);
    EXPECT_EQ(defaults.panelMarkers, 1);
    EXPECT_EQ(defaults.panelMarkLength, 10.0f);
    EXPECT_EQ(defaults.panelMarkWidth, 5.0f);
    EXPECT_EQ(defaults.overlapX, 5.0f);
    EXPECT_EQ(defaults.manualFeed, 0);

    // What the pages write is read back unchanged.
    job.markerSize = 17.75f;
    job.overlapY = 0.5f;
    job.SaveMarks();
    job.SaveTiling();
    JobSettings again;
    again.Load();
    EXPECT_EQ(again.markerSize, 17.75f);
    EXPECT_EQ(again.overlapY, 0.5f);
    EXPECT_EQ(again.manualFeed, 1);
}

TEST_F(PlotSettingsTest, CutSettingsLoadIntoThePageTheGlobalsAndTheBinding) {
    WritePlotIni("[General]\nCurrentPlotter=Mock Cutter\nOvercutting=0.75\nHeadPos=5\n"
                 "PlotMode=1\nUseSpooler=1\nSpoolDirectory=/var/spool/signs\nMedia=Vinyl\n"
                 "Color=Blue\n");
    Optimization = 0;
    CutSettings page;
    page.Load();
    EXPECT_EQ(page.currentPlotter, "Mock Cutter");
    EXPECT_EQ(OverCutting, 0.75f);
    EXPECT_EQ(Optimization, 1); // missing means on
    EXPECT_EQ(page.headPos, 5);
    EXPECT_EQ(page.plotMode, 1);
    EXPECT_EQ(DRV.useSpooler, 1);
    EXPECT_EQ(DRV.spoolDirectory, "/var/spool/signs");
    EXPECT_EQ(DRV.media, "Vinyl");
    EXPECT_EQ(DRV.color, "Blue");

    WritePlotIni("");
    page.Load();
    EXPECT_EQ(page.currentPlotter, "");
    EXPECT_EQ(OverCutting, 0.0f);
    EXPECT_EQ(page.headPos, 3);
    EXPECT_EQ(page.plotMode, 0);
    EXPECT_EQ(DRV.useSpooler, 0);
}

TEST_F(PlotSettingsTest, CutSettingsAreSavedInTheirOrder) {
    WritePlotIni("");
    CutSettings page;
    page.currentPlotter = "Mock Cutter";
    page.headPos = 2;
    page.plotMode = 0;
    OverCutting = 1.5f;
    Optimization = 0;
    DRV.useSpooler = 1;
    DRV.spoolDirectory = "/spool";
    DRV.media = "Flex";
    DRV.color = "";
    page.Save();
    EXPECT_EQ(ReadFile(std::string(GetPlotIni())),
              "[General]\r\nCurrentPlotter=Mock Cutter\r\nOvercutting=1.5\r\nOptimization=0\r\n"
              "PlotMode=0\r\nHeadPos=2\r\nUseSpooler=1\r\nSpoolDirectory=/spool\r\n"
              "Media=Flex\r\nColor=\r\n");
}

TEST_F(PlotSettingsTest, TheLayoutPagesMediaSizeGoesToBothFiles) {
    WritePlotIni(std::string("[General]\nCurrentPlotter=") + Device + "\n");
    JobSettings().SaveMedia(610, 1250.5f);
    CIniFile plot(GetPlotIni());
    EXPECT_EQ(plot.GetFloat("Vinil", "width", 0), 610);
    EXPECT_EQ(plot.GetFloat("Vinil", "height", 0), 1250.5);
    CIniFile devices(GetDevicesIni());
    EXPECT_EQ(devices.GetFloat(Device, "PaperWidth", 0), 610);
    EXPECT_EQ(devices.GetFloat(Device, "PaperHeight", 0), 1250.5);
}

TEST_F(PlotSettingsTest, DeviceSectionsAreListedReadAndRemoved) {
    WriteDevicesIni(std::string("[Zeta]\nDriver=cutdrv-coral.dll\nDevice=COM3\n"
                                "DisableLeaveHeadAt=1\n[Alpha]\n[") +
                    Device + "]\nDriver=" + MockDriverFile + "\n");
    CStringArray names;
    DeviceSettings::GetDeviceNames(names);
    ASSERT_EQ(names.GetSize(), 3);
    EXPECT_EQ(names[0], "Zeta");
    EXPECT_EQ(names[1], "Alpha");
    EXPECT_EQ(DeviceSettings("Zeta").Driver(), "cutdrv-coral.dll");
    EXPECT_EQ(DeviceSettings("Zeta").Device(), "COM3");
    EXPECT_EQ(DeviceSettings("Zeta").DisableLeaveHeadAt(), 1);
    EXPECT_EQ(DeviceSettings("Alpha").Driver(), "cutdrv-dune.dll");
    EXPECT_EQ(DeviceSettings("Alpha").Device(), "LPT1:");
    EXPECT_EQ(DeviceSettings("Alpha").DisableLeaveHeadAt(), 0);

    DeviceSettings("Zeta").Remove();
    names.RemoveAll();
    DeviceSettings::GetDeviceNames(names);
    ASSERT_EQ(names.GetSize(), 2);
    EXPECT_EQ(names[0], "Alpha");
}

TEST_F(PlotSettingsTest, AttachSelectedDeviceBindsTheSharedPlotterToTheDevicesDriver) {
    EXPECT_EQ(AttachSelectedDevice(Device, nullptr), 0);
    EXPECT_NE(DRV.driver, nullptr);
    EXPECT_EQ(mock_->attachedSection, Device);
    EXPECT_EQ(mock_->attachedIni, DevicesIni());
    DRV.Detach();

    // A driver that is not installed is reported and leaves the fallback limits.
    WriteDevicesIni("[Plain]\nDriver=plot-nosuchdriver.dll\n");
    PushMessageBoxAnswer(IDOK);
    EXPECT_EQ(AttachSelectedDevice("Plain", nullptr), -1);
    ASSERT_EQ(MessageBoxLog().size(), 1u);
    EXPECT_NE(MessageBoxLog()[0].text.find("plot-nosuchdriver.dll"), std::string::npos);
    EXPECT_EQ(DRV.driver, nullptr);
    EXPECT_EQ(DRV.GetMaxXStep(), 18800);
}

} // namespace
