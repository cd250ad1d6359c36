#pragma once
// A job of the plot library over a host of plain paths: the recording driver bound to DRV,
// Plot.ini and Devices.ini written by the test, and a job object with a tiling of its own.

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <pathkit/ColorPath.h>

#include "PlotJob.h"
#include "PlotTest.h"
#include "plot/PlotIni.h"
#include "plot/PlotPath.h"
#include "plot/Plottable.h"

// A host that hands out the paths it holds.
class PathHost : public Plottable {
public:
    ColorPath& Add(std::uint32_t colour = 0) {
        owned_.push_back(std::make_unique<ColorPath>());
        owned_.back()->colour = colour;
        pointers_.push_back(owned_.back().get());
        return *owned_.back();
    }
    void getPlottingPaths(ColorPath*** out, int& count) override {
        *out = pointers_.data();
        count = int(pointers_.size());
    }

private:
    std::vector<std::unique_ptr<ColorPath>> owned_;
    std::vector<ColorPath*> pointers_;
};

// A closed rectangle as a path (counter-clockwise).
inline void AddRectangle(Path& p, float l, float b, float r, float t) {
    p.MoveTo(floatPoint(l, b));
    p.LineTo(floatPoint(r, b));
    p.LineTo(floatPoint(r, t));
    p.LineTo(floatPoint(l, t));
    p.LineTo(floatPoint(l, b));
    p.ClosePath();
}

class JobTest : public PlotTest {
protected:
    void SetUp() override {
        PlotTest::SetUp();
        savedOptimization_ = Optimization;
        savedOvercut_ = OverCutting;
    }
    void TearDown() override {
        DRV.Detach();
        Optimization = savedOptimization_;
        OverCutting = savedOvercut_;
        PlotTest::TearDown();
    }

    // The mock cutter's limits in millimetres (step 0.025).
    void Media(float width, float length, const std::string& general, float pageSize = 0) {
        mock_->maxY = LONG(width * 40);
        mock_->maxX = LONG(length * 40);
        std::ostringstream devices, plot;
        devices << "[" << Device << "]\nDriver=" << MockDriverFile
                << "\nDevice=out.plt\nMaxY=" << width << "\nMaxX=" << length
                << "\nPageSize=" << pageSize << "\n";
        WriteDevicesIni(devices.str());
        plot << "[General]\nCurrentPlotter=" << Device << "\n"
             << general << "[Vinil]\nwidth=" << width << "\nheight=" << length << "\n";
        std::ofstream(std::string(GetPlotIni()), std::ios::binary | std::ios::trunc) << plot.str();
    }

    void AttachDrv() {
        ASSERT_EQ(DRV.Attach(MockDriverFile, Device, DevicesIni().c_str(), nullptr), 0);
        DRV.headX = DRV.headY = DRV.homeX = DRV.homeY = 0;
        mock_->calls.clear();
    }

    // The clip box of the attached device, steps.
    floatBBox DeviceClip() const {
        return floatBBox(0, 0, float(DRV.GetMaxXStep()), float(DRV.GetMaxYStep()));
    }

    int savedOptimization_ = 1;
    float savedOvercut_ = 0;
    TileTable tiles_;
    PlotJob job_{tiles_};
    PathHost host_;
};

// The points the driver was given, in its own axes and steps.
struct DriverPoint {
    long x, y;
    bool operator<(const DriverPoint& o) const { return x != o.x ? x < o.x : y < o.y; }
};
inline std::vector<DriverPoint> MovesAndLines(const std::vector<std::string>& calls) {
    std::vector<DriverPoint> points;
    for (const std::string& c : calls) {
        std::istringstream in(c);
        std::string name;
        in >> name;
        if (name != "MoveTo" && name != "LineTo" && name != "CurveTo") continue;
        long x, y;
        while (in >> x >> y)
            points.push_back({x, y});
    }
    return points;
}
