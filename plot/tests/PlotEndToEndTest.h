#pragma once
// The fixture of the end-to-end cut tests: a fake spooler, DRV and the cut settings saved and
// put back, the default Devices.ini, and one job driven as the cut run drives it.

#include <algorithm>
#include <cmath>
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
#include <testing/FakeSpooler.h>
#include <testing/PlatformTest.h>
#include <win32/KernelTesting.h>

#include "PlotSettings.h"

// A square of 10 mm, counter-clockwise from its lower left corner, and beside it an arch over
// a straight base of 3 mm: the base goes out along x, the curve comes back.
inline constexpr const char* kSquareAndArch = "Path Layer=1 Color=R0G0B0\r\n"
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

inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// A design as the text path reader gives it, prepared.
inline ColorPath ReadDesign(const std::string& text) {
    InStrStream in(text.data(), long(text.size()));
    ColorWPFReader reader(in, 0);
    ColorPath design;
    EXPECT_TRUE(reader.Read(design));
    design.Prepare();
    return design;
}

// A GP-GL stream of kSquareAndArch read back as a cutter reads it (x along the media, the
// design's y; y across it): whole, init and end around the two cuts, the square exact, the
// arch from (5, 28) over (5.4, 27), (5.4, 26) to (5, 25) with every point within tolerance.
inline void ExpectSquareAndArchRead(const gpglcheck::Stream& read,
                                    const std::vector<std::string>& init,
                                    const std::vector<std::string>& end, double tolerance) {
    ASSERT_TRUE(read.ok) << read.error;
    ASSERT_GE(read.pieces.size(), init.size() + end.size());
    EXPECT_EQ(
        std::vector<std::string>(read.pieces.begin(), read.pieces.begin() + long(init.size())),
        init);
    EXPECT_EQ(std::vector<std::string>(read.pieces.end() - long(end.size()), read.pieces.end()),
              end);
    ASSERT_EQ(read.cuts.size(), 2u);
    const std::vector<std::pair<double, double>> square = {
        {5, 5}, {5, 15}, {15, 15}, {15, 5}, {5, 5}};
    ASSERT_EQ(read.cuts[0].size(), square.size());
    for (std::size_t i = 0; i < square.size(); ++i) {
        EXPECT_NEAR(read.cuts[0][i].x, square[i].first, 1e-9);
        EXPECT_NEAR(read.cuts[0][i].y, square[i].second, 1e-9);
    }
    const auto& arch = read.cuts[1];
    ASSERT_GE(arch.size(), 4u);
    EXPECT_NEAR(arch.front().y, 25, 1e-9);
    EXPECT_NEAR(arch[1].y, 28, 1e-9);
    EXPECT_NEAR(arch.back().x, 5, 1e-9);
    EXPECT_NEAR(arch.back().y, 25, 1e-9);
    for (std::size_t i = 2; i < arch.size(); ++i) {
        double best = 1e9;
        for (int k = 0; k <= 4000; ++k) {
            const double t = k / 4000.0, u = 1 - t;
            const double x =
                u * u * u * 5 + 3 * u * u * t * 5.4 + 3 * u * t * t * 5.4 + t * t * t * 5;
            const double y =
                u * u * u * 28 + 3 * u * u * t * 27 + 3 * u * t * t * 26 + t * t * t * 25;
            best = std::min(best, std::hypot(x - arch[i].x, y - arch[i].y));
        }
        EXPECT_LE(best, tolerance) << "point " << i;
    }
}

class PlotEndToEndTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        // No printers: a Device value can only be taken as a file or a port.
        spooler_ = std::make_unique<FakeSpooler>();
        saved_ = DRV;
        savedOvercut_ = OverCutting;
        savedOptimization_ = Optimization;
        OverCutting = 0;
        Optimization = 0;
        // The first request copies the default Devices.ini from the program folder.
        ini_ = std::string(GetDevicesIni());
    }

    void TearDown() override {
        if (SdFakeClockInstalled()) SdRemoveFakeClock();
        DRV.Detach();
        DRV = saved_;
        OverCutting = savedOvercut_;
        Optimization = savedOptimization_;
        spooler_.reset();
        PlatformTest::TearDown();
    }

    std::string Key(const char* section, const char* key) const {
        char value[512];
        GetPrivateProfileStringA(section, key, "<missing>", value, sizeof value, ini_.c_str());
        return value;
    }

    // One job through DRV, attached to section with its Driver: initialise, start, every path
    // through PlotPath into the device's box, home, end. False when the driver is not bound.
    // The device's box in steps is kept in across_ and along_.
    bool CutJob(const char* section, const std::vector<Path*>& design) {
        if (DRV.Attach(Key(section, "Driver").c_str(), section, ini_.c_str(), nullptr) != 0)
            return false;
        across_ = DRV.GetMaxXStep();
        along_ = DRV.GetMaxYStep();
        DRV.headX = DRV.headY = 0;
        DRV.Init(1);
        DRV.HPStart();
        DRV.HPEnd();
        DRV.Start(1);
        DRV.SetSpeed(1);
        floatTMatrix toDevice;
        toDevice.Scale(1 / DRV.GetStepSize(), 1 / DRV.GetStepSize());
        floatBBox clip(0, 0, float(DRV.GetMaxXStep()), float(DRV.GetMaxYStep()));
        for (Path* path : design)
            PlotPath(DRV, *path, toDevice, clip, 0, 0, 0, 0, nullptr);
        DRV.Home();
        DRV.End();
        EXPECT_EQ(DRV.aborted, 0);
        // The driver followed every relative move back to the origin.
        EXPECT_EQ(DRV.headX, 0);
        EXPECT_EQ(DRV.headY, 0);
        DRV.Exit();
        DRV.Detach();
        return true;
    }

    std::unique_ptr<FakeSpooler> spooler_;
    Plotter saved_;
    float savedOvercut_ = 0;
    int savedOptimization_ = 1;
    std::string ini_;
    int across_ = 0;
    int along_ = 0;
};
