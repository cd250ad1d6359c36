// The installed definitions as the plot library uses them: the active cutter of Plot.ini is
// bound through Plotter::Attach, and a square is cut into a file.

#include <gtest/gtest.h>

#include <pathkit/ColorPath.h>
#include <pathkit/ColorWPFReader.h>
#include <pathkit/InStrStream.h>
#include <pathkit/TMatrix.h>
#include <plot/PlotPath.h>
#include <plot/Plotter.h>
#include <testing/FakeCutter.h>
#include <testing/FakeSpooler.h>
#include <win32/kernel.h>

#include "Installer.h"
#include "InstallerTree.h"

namespace {

using namespace sdtest;

constexpr const char* kSection = "Generic HP-GL Cutter";
constexpr const char* kSquare = "Path Layer=1 Color=R0G0B0\r\n"
                                "SubPath 5 5\r\n L 15 5\r\n L 15 15\r\n L 5 15\r\n L 5 5\r\n"
                                "EndSubPath\r\nEndPath\r\n";

class CutAfterInstallTest : public InstallerTree {
protected:
    void SetUp() override {
        InstallerTree::SetUp();
        WriteMaster(*Read(SHIPPED_DEVICES_INI));
        spooler_ = std::make_unique<FakeSpooler>(); // no printers: Device is a file
        saved_ = DRV;
    }
    void TearDown() override {
        DRV.Detach();
        DRV = saved_;
        spooler_.reset();
        InstallerTree::TearDown();
    }

    static std::string Key(const std::string& ini, const std::string& section, const char* key) {
        char value[512];
        GetPrivateProfileStringA(section.c_str(), key, "", value, sizeof value, ini.c_str());
        return value;
    }

    // The section of `ini` cut into `out`; false when no driver was bound.
    bool Cut(const std::string& ini, const std::string& section, const std::string& out) {
        WritePrivateProfileStringA(section.c_str(), "Device", out.c_str(), ini.c_str());
        if (DRV.Attach(Key(ini, section, "Driver").c_str(), section.c_str(), ini.c_str(),
                       nullptr) != 0)
            return false;
        InStrStream in(kSquare, long(std::strlen(kSquare)));
        ColorWPFReader reader(in, 0);
        ColorPath design;
        EXPECT_TRUE(reader.Read(design));
        design.Prepare();
        DRV.headX = DRV.headY = 0;
        DRV.Init(1);
        DRV.HPStart();
        DRV.HPEnd();
        DRV.Start(1);
        DRV.SetSpeed(1);
        floatTMatrix toDevice;
        toDevice.Scale(1 / DRV.GetStepSize(), 1 / DRV.GetStepSize());
        floatBBox clip(0, 0, float(DRV.GetMaxXStep()), float(DRV.GetMaxYStep()));
        PlotPath(DRV, design, toDevice, clip, 0, 0, 0, 0, nullptr);
        DRV.Home();
        DRV.End();
        DRV.Exit();
        DRV.Detach();
        return true;
    }

    std::unique_ptr<FakeSpooler> spooler_;
    Plotter saved_;
};

TEST_F(CutAfterInstallTest, TheActiveCutterCutsAsTheShippedSectionAndIsGoneAfterRemoval) {
    Write(Program() + "Devices.ini", "");
    RunSetup([](HWND d) {
        Select(d, IDC_MASTER_LIST, kSection);
        Click(d, IDC_ADD);
        Click(d, IDC_NEXT);
    });
    const std::string installed = Program() + "Devices.ini";
    const std::string active = Key(Program() + "Plot.ini", "General", "CurrentPlotter");
    ASSERT_EQ(active, kSection);
    ASSERT_TRUE(Cut(installed, active, DataFolder().string() + "/installed.plt"));

    const std::string shipped = DataFolder().string() + "/shipped.ini";
    Write(shipped, *Read(SHIPPED_DEVICES_INI));
    ASSERT_TRUE(Cut(shipped, kSection, DataFolder().string() + "/shipped.plt"));
    const auto cut = Read(DataFolder().string() + "/installed.plt");
    ASSERT_TRUE(cut && !cut->empty());
    EXPECT_EQ(cut, Read(DataFolder().string() + "/shipped.plt"));

    // Removed: the section has no driver any more, and binding it fails naming it.
    Installer in;
    in.setup = true;
    in.programFolder = Program();
    in.baseline = {kSection};
    ASSERT_TRUE(in.UpdateDeviceFile(Program(), false));
    EXPECT_EQ(Key(installed, active, "Driver"), "");
    PushMessageBoxAnswer(IDOK);
    EXPECT_FALSE(Cut(installed, active, DataFolder().string() + "/removed.plt"));
    bool named = false;
    for (const auto& box : MessageBoxLog())
        named = named || box.text.find(kSection) != std::string::npos;
    EXPECT_TRUE(named);
}

TEST_F(CutAfterInstallTest, AChangedDefinitionReachesTheCutterOnceReinstalled) {
    Write(Program() + "Devices.ini", "");
    RunSetup([](HWND d) {
        Select(d, IDC_MASTER_LIST, kSection);
        Click(d, IDC_ADD);
        Click(d, IDC_NEXT);
    });
    std::string master = *Read(SHIPPED_DEVICES_INI);
    const std::size_t init = master.find("CutInit=PR;SP1;"), baud = master.find("BaudRate=6");
    ASSERT_NE(init, std::string::npos);
    ASSERT_NE(baud, std::string::npos);
    ASSERT_LT(baud, init); // both in the first section
    master.replace(init, 15, "CutInit=PR;SP2;");
    master.replace(baud, 10, "BaudRate=8");
    WriteMaster(master);

    Installer in;
    in.setup = true;
    in.programFolder = Program();
    in.baseline = {kSection};
    ASSERT_TRUE(in.UpdateDeviceFile(Program(), false)); // removed
    in.installed = {kSection};
    ASSERT_TRUE(in.UpdateDeviceFile(Program(), false)); // added again from the master list

    FakeCutter cutter;
    ASSERT_TRUE(cutter.IsOpen());
    ASSERT_TRUE(Cut(Program() + "Devices.ini", kSection, cutter.PortPath()));
    EXPECT_TRUE(cutter.WaitForReceived("PU;SP0;"));
    EXPECT_EQ(cutter.Received().rfind("IN;PR;SP2;", 0), 0u) << cutter.Received();
    EXPECT_EQ(cutter.LineSettings().baudRate, 19200u);
}

} // namespace
