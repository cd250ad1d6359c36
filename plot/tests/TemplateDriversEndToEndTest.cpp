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
//
// The record-language driver works in sixteenths of its StepSize 0.05 mm (320 units a
// millimetre) and sends device steps of 0.05 mm (a unit / 16, rounded): the square runs
// (100, 100) → (100, 300) → (300, 300) → (300, 100) → back, the base (100, 500) to
// (100, 560). The arch, (1600, 8960) over (1728, 8640), (1728, 8320) to (1600, 8000) in
// units, is flattened unscaled with Accuracy 0.2 mm = 64 units: split once (deviation 96),
// each half is within the tolerance (24) and goes out as its halves, ending at (1672, 8720)
// (105, 545), (1696, 8480) (106, 530), (1672, 8240) (105, 515), (1600, 8000) (100, 500).
// Records: a move is 00 FF FF FF FF 00 b a, a line 00 b a (16 bits big-endian, the second
// coordinate first), between the 24-byte job header and End's 00 FF FF FF FF 80 04 00.

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

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

#include <GpglCheck.h>

#include "DataFolder.h"
#include "PlotEndToEndTest.h"
#include "PlotSettings.h"

namespace {

const std::string kGPGLCutInit = "FM1\3TB50,0\3L0,\3!3\3FX3,0\3";
const std::string kGPGLEnd = "&1,1,1,TB50,0\3FO0\3!10\3";

// How the driver reaches the fake cutter: the serial port COM1, "USB" through the maker's
// library, which sends the job when the cutter says "E", or "USB" through the pipe library.
enum class Line { Serial, MakersLibrary, Pipes };

std::string Word(long v) {
    return {char((v >> 8) & 0xFF), char(v & 0xFF)};
}
std::string MoveRecord(long a, long b) {
    return std::string("\0\xFF\xFF\xFF\xFF\0", 6) + Word(b) + Word(a);
}
std::string LineRecord(long a, long b) {
    return std::string(1, '\0') + Word(b) + Word(a);
}
const std::string kRecordStart("\3\4\0\0\0\0\0\1\0\1\0\0\0\0\6\0\0\x7F\xFF\0\0\x7F\xFF\1", 24);
const std::string kRecordEnd("\0\xFF\xFF\xFF\xFF\x80\4\0", 8);

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
    // As garnet without the acceleration, through the pipes.
    {"USB Pipe Cutter", 24400, 200000,
     "IN;PR;SP1;VS20;PU200,200;PD0,400;PD400,0;PD0,-400;PD-400,0;PU0,800;PD0,120;"
     "PD5,-15;PD4,-15;PD2,-15;PD1,-15;PD-1,-15;PD-2,-15;PD-4,-15;PD-5,-15;PU-200,-1000;"
     "PU;SP0;",
     Line::Pipes},
    // Binary records through the port library's Transmit.
    {"Record-Language Cutter", 144320, 512000,
     kRecordStart + MoveRecord(100, 100) + LineRecord(100, 300) + LineRecord(300, 300) +
         LineRecord(300, 100) + LineRecord(100, 100) + MoveRecord(100, 500) + LineRecord(100, 560) +
         LineRecord(105, 545) + LineRecord(106, 530) + LineRecord(105, 515) + LineRecord(100, 500) +
         MoveRecord(0, 0) + kRecordEnd},
};

class TemplateDriversEndToEndTest : public PlotEndToEndTest {
protected:
    // One job as the cut run drives it.
    void Cut(const DriverCase& c) {
        ColorPath design = ReadDesign(kSquareAndArch);
        ASSERT_TRUE(CutJob(c.section, {&design}));
        EXPECT_EQ(across_, c.across);
        EXPECT_EQ(along_, c.along);
    }
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
    WritePrivateProfileStringA("summausb", "Device", cutter.PortPath().c_str(),
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

// A spooled job of the record-language driver, whose section names COM1, goes into the spool
// file behind its header, and nothing reaches the cutter on COM1.
TEST_F(TemplateDriversEndToEndTest, ASpooledRecordJobLandsInTheSpoolFile) {
    FakeCutter cutter;
    if (!cutter.IsOpen()) GTEST_SKIP() << "no pseudo-terminal";
    FakePort port("COM1", cutter.PortPath());
    const DriverCase& c = kDrivers[std::size(kDrivers) - 1];
    ASSERT_STREQ(c.section, "Record-Language Cutter");
    const std::filesystem::path spool = DataFolder() / "spool";
    std::filesystem::create_directories(spool);
    DRV.useSpooler = 1;
    DRV.spoolDirectory = spool.c_str();
    DRV.jobName = "Sign";
    DRV.sheetText = "1/1";
    Cut(c);
    DRV.useSpooler = 0;
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(spool))
        files.push_back(entry.path());
    ASSERT_EQ(files.size(), 1u);
    const std::string file = ReadFile(files[0]);
    ASSERT_GE(file.size(), 8 + c.expected.size());
    const std::uint32_t length = std::uint8_t(file[0]) | std::uint8_t(file[1]) << 8 |
                                 std::uint8_t(file[2]) << 16 |
                                 std::uint32_t(std::uint8_t(file[3])) << 24;
    EXPECT_NE(file.find("Device=Record-Language Cutter"), std::string::npos);
    EXPECT_EQ(file.substr(8 + length), c.expected);
    EXPECT_EQ(Key(c.section, "Device"), "COM1");
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(cutter.Received(), "");
}

// The GP-GL default section's stream read back as a cutter reads it, by a reader that shares
// nothing with the drivers: whole, its init and end pieces those of the section, and the
// cut lines on the design within the accuracy (0.1 mm) and a step.
TEST_F(TemplateDriversEndToEndTest, TheGPGLSectionsStreamReadsBackAsTheDesign) {
    const DriverCase& c = kDrivers[0];
    ASSERT_STREQ(c.section, "Generic GP-GL Cutter");
    const std::string out = (DataFolder() / "cut.gpgl").string();
    ASSERT_TRUE(WritePrivateProfileStringA(c.section, "Device", out.c_str(), ini_.c_str()));
    Cut(c);
    gpglcheck::Stream read = gpglcheck::Read(ReadFile(out), 0.1);
    // Within the accuracy and a step.
    ExpectSquareAndArchRead(read, {"FM1", "TB50,0", "L0,", "!3", "FX3,0"},
                            {"&1,1,1,TB50,0", "FO0", "!10"}, 0.1 + 0.1);
    ASSERT_EQ(read.cuts.size(), 2u);
    EXPECT_EQ(read.cuts[1].size(), 10u);
}

} // namespace
