// The GP-GL USB driver cuts one design through DRV and PlotPath from its default sections:
// through the spooler into a spool file, and over a temporary sysfs tree to the fake cutter.
//
// The design: a square of 10 mm from (5, 5) and an arch over a base of 3 mm from (28, 5)
// back to (25, 5). Plot's first coordinate is the driver's y, its second the driver's x;
// at 0.05 mm (20 steps a millimetre) the square runs (100, 100) → (100, 300) → (300, 300)
// → (300, 100) → back, the base from (100, 500) to (100, 560). The arch, fourfold, runs
// (400, 2240) over (432, 2160), (432, 2080) to (400, 2000), flattened with the tolerance
// Accuracy 0.2 mm = 4: split twice, each quarter is within the tolerance (deviation 1) and
// goes out as its halves, ending (fourfold, then / 4 rounded down) at (410, 2210) (102, 552),
// (418, 2180) (104, 545), (422, 2150) (105, 537), (424, 2120) (106, 530), (422, 2090)
// (105, 522), (418, 2060) (104, 515), (410, 2030) (102, 507), (400, 2000) (100, 500).

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <GpglCheck.h>
#include <gtest/gtest.h>
#include <pathkit/ColorPath.h>
#include <pathkit/ColorWPFReader.h>
#include <pathkit/InStrStream.h>
#include <pathkit/TMatrix.h>
#include <plot/PlotPath.h>
#include <plot/Plotter.h>
#include <testing/FakeCutter.h>
#include <testing/FakeSpooler.h>
#include <testing/FakeUsbTree.h>
#include <testing/PlatformTest.h>
#include <win32/KernelTesting.h>
#include <win32/kernel.h>

#include "DataFolder.h"
#include "PlotEndToEndTest.h"
#include "PlotSettings.h"

namespace {

const std::string kBody = "M100,100\3D100,300\3D300,300\3D300,100\3D100,100\3"
                          "M100,500\3D100,560\3"
                          "D102,552\3D104,545\3D105,537\3D106,530\3D105,522\3D104,515\3D102,507\3"
                          "D100,500\3"
                          "M0,0\3";

struct TypeCase {
    const char* section;
    std::vector<std::string> cutInit, end; // the pieces
};

const TypeCase kTypes[] = {
    {"USB Desktop GP-GL Cutter CC100",
     {"FM1", "TB50,0", "L0,", "!3", "*0,3"},
     {"&1,1,1,TB50,0", "FO0", "!10", "*0,3"}},
    {"USB Desktop GP-GL Cutter CC200",
     {"FM1", "TB50,0", "L0,", "!3", "FX3,0"},
     {"&1,1,1,TB50,0", "FO0", "!10"}},
    {"USB Desktop GP-GL Cutter CC300",
     {"FM1", "TB50,0", "L0,", "!3", "FX3,0"},
     {"&1,1,1,TB50,0", "FO0", "!10"}},
};

std::string Joined(const std::vector<std::string>& pieces) {
    std::string bytes;
    for (const std::string& p : pieces)
        bytes += p + '\3';
    return bytes;
}

// The commands of a spool file: what follows the length word, the header, its checksum
// line and the zero word.
std::string SpooledCommands(const std::string& file) {
    if (file.size() < 8) return {};
    std::uint32_t length = std::uint8_t(file[0]) | std::uint8_t(file[1]) << 8 |
                           std::uint8_t(file[2]) << 16 | std::uint32_t(std::uint8_t(file[3])) << 24;
    return file.size() < 8 + length ? std::string() : file.substr(8 + length);
}

class HeathEndToEndTest : public PlotEndToEndTest {
protected:
    void Cut(const char* section) {
        ColorPath design = ReadDesign(kSquareAndArch);
        ASSERT_TRUE(CutJob(section, {&design}));
        EXPECT_EQ(across_, 24000);
        EXPECT_EQ(along_, 60000);
    }
};

TEST_F(HeathEndToEndTest, EachTypeCutsThroughTheSpoolerIntoTheSpoolFileNotTheCutter) {
    // The cutter is plugged in, yet a spooled job goes to the spool file only.
    FakeCutter cutter;
    if (!cutter.IsOpen()) GTEST_SKIP() << "no pseudo-terminal";
    FakeUsbTree tree(DataFolder() / "usb");
    tree.AddDevice("1-1", "0b4d", "110a", cutter.PortPath());
    tree.AddDevice("1-2", "0b4d", "111c", cutter.PortPath());
    const std::filesystem::path spool = DataFolder() / "spool";
    SYSTEMTIME at{};
    at.wHour = 9;
    SdInstallFakeClock(1000, at);
    for (const TypeCase& c : kTypes) {
        SCOPED_TRACE(c.section);
        std::filesystem::remove_all(spool);
        std::filesystem::create_directories(spool);
        DRV.useSpooler = 1;
        DRV.spoolDirectory = spool.c_str();
        DRV.jobName = "Sign";
        DRV.sheetText = "1/1";
        Cut(c.section);
        DRV.useSpooler = 0;
        std::vector<std::filesystem::path> files;
        for (const auto& entry : std::filesystem::directory_iterator(spool))
            files.push_back(entry.path());
        ASSERT_EQ(files.size(), 1u);
        const std::string file = ReadFile(files[0]);
        EXPECT_NE(file.find("Device=" + std::string(c.section)), std::string::npos);
        const std::string stream = SpooledCommands(file);
        EXPECT_EQ(stream, Joined(c.cutInit) + kBody + Joined(c.end));

        // The stream read back as a cutter reads it.
        gpglcheck::Stream read = gpglcheck::Read(stream, 0.05);
        ExpectSquareAndArchRead(read, c.cutInit, c.end, 0.2);
    }
    EXPECT_EQ(cutter.Received(), "");
}

TEST_F(HeathEndToEndTest, TheCutterFoundInSysfsTakesTheJob) {
    FakeCutter cutter;
    if (!cutter.IsOpen()) GTEST_SKIP() << "no pseudo-terminal";
    FakeUsbTree tree(DataFolder() / "usb");
    tree.AddDevice("3-1", "0b4d", "111c", cutter.PortPath());
    Cut(kTypes[2].section);
    const std::string expected = Joined(kTypes[2].cutInit) + kBody + Joined(kTypes[2].end);
    EXPECT_TRUE(cutter.WaitForReceived(expected));
    EXPECT_EQ(cutter.Received(), expected);
}

} // namespace
