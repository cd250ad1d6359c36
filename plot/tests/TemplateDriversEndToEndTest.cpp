// The template-language driver variants cut one design through DRV and PlotPath, each from
// its default section of the shipped Devices.ini: into a file, and over a serial line to
// the fake cutter. Every stream is worked out by hand below.
//
// The design: a square of 10 mm from (5, 5) and an arch over a base of 3 mm from (28, 5)
// back to (25, 5). Plot's first coordinate (the design's x, across the media) is the
// driver's y, its second the driver's x; none of these drivers transforms, so a design
// point (x, y) is the driver's (y, x) in steps, and the knife starts at (0, 0).
//
// At 0.025 mm (flint, garnet: 40 steps a millimetre) the square runs (200, 200) → (200, 600)
// → (600, 600) → (600, 200) → back; the base from (200, 1000) to (200, 1120). The arch is
// flattened fourfold with the tolerance Accuracy 0.1 mm = 4: eight lines to the points at
// t = k / 8, rising 5, 9, 11, 12, 11, 9, 5, 0 steps, each 15 steps back along y.
// At 0.1 mm (dune's GP-GL unit, tolerance 0.1 mm = 1 step, raised to 2) the arch in fourfold
// steps runs (200, 1120) over (216, 1080), (216, 1040) to (200, 1000): split twice, each
// quarter within the tolerance is output as its halves, ending (fourfold, then / 4 rounded
// down) at (204, 1105) (51, 276), (209, 1090) (52, 272), (210, 1075) (52, 268), (212, 1060)
// (53, 265), (210, 1045) (52, 261), (209, 1030) (52, 257), (204, 1015) (51, 253), (200, 1000)
// (50, 250).

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include <gtest/gtest.h>
#include <pathkit/ColorPath.h>
#include <pathkit/ColorWPFReader.h>
#include <pathkit/InStrStream.h>
#include <pathkit/TMatrix.h>
#include <plot/PlotPath.h>
#include <plot/Plotter.h>
#include <testing/FakeCutter.h>
#include <testing/FakePort.h>
#include <testing/FakeSpooler.h>
#include <testing/PlatformTest.h>
#include <win32/kernel.h>

#include "DataFolder.h"
#include "PlotSettings.h"

namespace {

const char* const kSquareAndArch = "Path Layer=1 Color=R0G0B0\r\n"
                                   "SubPath 5 5\r\n"
                                   " L 15 5\r\n"
                                   " L 15 15\r\n"
                                   " L 5 15\r\n"
                                   " L 5 5\r\n"
                                   "EndSubPath\r\n"
                                   "SubPath 25 5\r\n"
                                   " L 28 5\r\n"
                                   " C 27 5.4 26 5.4 25 5\r\n"
                                   "EndSubPath\r\n"
                                   "EndPath\r\n";

const std::string kGPGLCutInit = "FM1\3TB50,0\3L0,\3!3\3FX3,0\3";
const std::string kGPGLEnd = "&1,1,1,TB50,0\3FO0\3!10\3";

// How the driver reaches the fake cutter: the serial port COM1, or "USB" through the
// maker's library, which sends the job when the cutter says "E".
enum class Line { Serial, MakersLibrary };

struct DriverCase {
    const char* section;
    LONG across, along; // the cutting area in steps, as Plot sees it
    std::string expected;
    Line line = Line::Serial;
};

const DriverCase kDrivers[] = {
    {"Generic GP-GL Cutter", 6000, 50000,
     kGPGLCutInit + "M50,50\3D50,150\3D150,150\3D150,50\3D50,50\3" + "M50,250\3D50,280\3" +
         "D51,276\3D52,272\3D52,268\3D53,265\3D52,261\3D52,257\3D51,253\3D50,250\3" + "M0,0\3" +
         kGPGLEnd},
    // Relative, sent (y, x), unsplit; the force command ends the init.
    {"Cutter with Force Setting", 24400, 200000,
     "IN;PR;SP1;FS80;VS20;PU200,200;PD400,0;PD0,400;PD-400,0;PD0,-400;PU800,0;PD120,0;"
     "PD-15,5;PD-15,4;PD-15,2;PD-15,1;PD-15,-1;PD-15,-2;PD-15,-4;PD-15,-5;PU-1000,-200;"
     "PU;SP0;"},
    // Relative (x, y); the acceleration follows the init.
    {"Cutter with Acceleration Setting", 24400, 200000,
     "IN;PR;SP1;AC0.7;VS20;PU200,200;PD0,400;PD400,0;PD0,-400;PD-400,0;PU0,800;PD0,120;"
     "PD5,-15;PD4,-15;PD2,-15;PD1,-15;PD-1,-15;PD-2,-15;PD-4,-15;PD-5,-15;PU-200,-1000;"
     "PU;SP0;"},
    // With the transform of the HP-GL default (OrigoPos 1 on the media width, 24400 steps):
    // (X, Y) = (x, 24400 - y), relative, so every step across is negated.
    {"Cutter through the Maker's Library", 24400, 200000,
     "IN;PR;SP1;VS20;PU200,24200;PD0,-400;PD400,0;PD0,400;PD-400,0;PU0,-800;PD0,-120;"
     "PD5,15;PD4,15;PD2,15;PD1,15;PD-1,15;PD-2,15;PD-4,15;PD-5,15;PU-200,1000;PU;SP0;",
     Line::MakersLibrary},
};

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class TemplateDriversEndToEndTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        spooler_ = std::make_unique<FakeSpooler>();
        saved_ = DRV;
        savedOvercut_ = OverCutting;
        savedOptimization_ = Optimization;
        OverCutting = 0;
        Optimization = 0;
        ini_ = std::string(GetDevicesIni());
    }

    void TearDown() override {
        DRV.Detach();
        DRV = saved_;
        OverCutting = savedOvercut_;
        Optimization = savedOptimization_;
        spooler_.reset();
        PlatformTest::TearDown();
    }

    std::string Key(const char* section, const char* key) const {
        char value[512];
        GetPrivateProfileStringA(section, key, "", value, sizeof value, ini_.c_str());
        return value;
    }

    ColorPath Design() {
        std::string bytes = kSquareAndArch;
        InStrStream in(bytes.data(), long(bytes.size()));
        ColorWPFReader reader(in, 0);
        ColorPath design;
        EXPECT_TRUE(reader.Read(design));
        design.Prepare();
        return design;
    }

    // One job as the cut run drives it.
    void Cut(const DriverCase& c) {
        ASSERT_EQ(DRV.Attach(Key(c.section, "Driver").c_str(), c.section, ini_.c_str(), nullptr),
                  0);
        EXPECT_EQ(DRV.GetMaxXStep(), c.across);
        EXPECT_EQ(DRV.GetMaxYStep(), c.along);
        DRV.headX = DRV.headY = 0;
        DRV.Init(1);
        DRV.HPStart();
        DRV.HPEnd();
        DRV.Start(1);
        DRV.SetSpeed(1);
        floatTMatrix toDevice;
        toDevice.Scale(1 / DRV.GetStepSize(), 1 / DRV.GetStepSize());
        floatBBox clip(0, 0, float(DRV.GetMaxXStep()), float(DRV.GetMaxYStep()));
        ColorPath design = Design();
        PlotPath(DRV, design, toDevice, clip, 0, 0, 0, 0, nullptr);
        DRV.Home();
        DRV.End();
        EXPECT_EQ(DRV.aborted, 0);
        DRV.Exit();
        DRV.Detach();
    }

    std::unique_ptr<FakeSpooler> spooler_;
    Plotter saved_;
    float savedOvercut_ = 0;
    int savedOptimization_ = 1;
    std::string ini_;
};

TEST_F(TemplateDriversEndToEndTest, EachDefaultSectionCutsTheDesignIntoAFile) {
    for (const DriverCase& c : kDrivers) {
        SCOPED_TRACE(c.section);
        const std::string out = (DataFolder() / "cut.plt").string();
        std::filesystem::remove(out);
        ASSERT_TRUE(WritePrivateProfileStringA(c.section, "Device", out.c_str(), ini_.c_str()));
        Cut(c);
        EXPECT_EQ(ReadFile(out), c.expected);
    }
}

TEST_F(TemplateDriversEndToEndTest, EachDefaultSectionCutsTheDesignOverTheSerialLine) {
    FakeCutter cutter;
    if (!cutter.IsOpen()) GTEST_SKIP() << "no pseudo-terminal";
    FakePort port("COM1", cutter.PortPath());
    WritePrivateProfileStringA("PcutLib", "Device", cutter.PortPath().c_str(),
                               FakePort::TableFile().c_str());
    for (const DriverCase& c : kDrivers) {
        SCOPED_TRACE(c.section);
        ASSERT_EQ(Key(c.section, "Device"), c.line == Line::Serial ? "COM1" : "USB");
        cutter.SetReadyByte(c.line == Line::MakersLibrary ? "E" : "");
        cutter.ClearReceived();
        Cut(c);
        EXPECT_TRUE(cutter.WaitForReceived(c.expected));
        EXPECT_EQ(cutter.Received(), c.expected);
    }
}

} // namespace
