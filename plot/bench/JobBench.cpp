// Preparing a cut job, from Cut to the last byte in the file: the README's banner (1,500 x
// 400 mm in three panels on 610 mm media) with lines of DejaVu Sans lettering on it, cut
// through the cut run into a file on the default HP-GL section. Reported: the preparation
// time (least of 5), and the knife-up travel, feed and feed reversals of the job as built,
// read back from its HP-GL; beside them the same design cut untiled in file order (a section
// wide enough to take it whole) and a greedy nearest-neighbour order of it. BM_Preparation
// runs 25 to 400 lines for the growth of the time with the lines.

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <pathkit/ColorPath.h>
#include <settings/CIniFile.h>
#include <win32/UserTesting.h>
#include <win32/kernel.h>

#include "CutRun.h"
#include "DataFolder.h"
#include "PlotJob.h"
#include "PlotSettings.h"
#include "TextLines.h"
#include "plot/PlotIni.h"
#include "plot/PlotPath.h"
#include "plot/Plottable.h"
#include "plot/Plotter.h"

namespace {

constexpr const char* kSection = "Generic HP-GL Cutter";

class Host : public Plottable {
public:
    explicit Host(int lines) {
        banner_.colour = 0xFF;
        banner_.MoveTo(floatPoint(0, 0));
        for (auto p :
             {floatPoint(1500, 0), floatPoint(1500, 400), floatPoint(0, 400), floatPoint(0, 0)})
            banner_.LineTo(p);
        banner_.ClosePath();
        Path text = benchtext::TextLines(lines);
        // The lettering on the banner, scaled into it when there is more of it than fits.
        text.Validate(SP_ALL_INVALID);
        const float h = text.accBox.top - text.accBox.bottom;
        const float f = h > 380 ? 380 / h : 1;
        floatTMatrix m(f, 0, 0, f, 10, 10 - text.accBox.bottom * f);
        text.Transform(m);
        text_ << text;
        paths_[0] = &banner_;
        paths_[1] = &text_;
    }
    void getPlottingPaths(ColorPath*** out, int& count) override {
        *out = paths_;
        count = 2;
    }
    const Path& Text() const { return text_; }

private:
    ColorPath banner_, text_;
    ColorPath* paths_[2];
};

std::filesystem::path Folder() {
    static std::filesystem::path folder = [] {
        std::filesystem::path f = std::filesystem::temp_directory_path() / "signdesk-job-bench";
        std::filesystem::remove_all(f);
        std::filesystem::create_directories(f);
        setenv("XDG_CONFIG_HOME", f.c_str(), 1);
        return f;
    }();
    return folder;
}

std::string Output() {
    return (Folder() / "job.plt").string();
}

// The media and the section's width: 610 mm for panels, 2,000 mm to take the banner whole.
void Settings(float width, int optimise) {
    Folder();
    std::string devices = std::string(GetDevicesIni());
    WritePrivateProfileStringA(kSection, "Device", Output().c_str(), devices.c_str());
    WritePrivateProfileStringA(kSection, "MaxY", std::to_string(int(width)).c_str(),
                               devices.c_str());
    std::ofstream(std::string(GetPlotIni()), std::ios::binary | std::ios::trunc)
        << "[General]\nCurrentPlotter=" << kSection << "\nHeadPos=0\nOvercutting=0\n"
        << "Optimization=" << optimise << "\npanelMarkers=1\npanelMarkLength=10\n"
        << "panelMarkWidth=5\noverlapX=20\noverlapY=5\nweedBox=0\n[Vinil]\nwidth=" << width
        << "\nheight=5000\n";
}

// One Cut into the file; the seconds it took.
double CutOnce(Host& host) {
    TileTable tiles;
    PlotJob job(tiles);
    job.SetDesign(&host);
    CutSettings settings;
    settings.Load();
    CutRunHost quiet;
    CutRun run(job, settings, quiet);
    SdPushMessageBoxAnswer(IDOK); // "finished"
    auto start = std::chrono::steady_clock::now();
    run.Cut();
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    SdClearMessageBoxes();
    return seconds;
}

// Knife-up moves of an HP-GL job of the default section, in millimetres along (X) and
// across (Y) the media.
benchtext::KnifeUp Read(const std::string& hpgl) {
    benchtext::KnifeUp t;
    std::stringstream in(hpgl);
    std::string command;
    int lastDirection = 0;
    while (std::getline(in, command, ';')) {
        if (command.rfind("PU", 0) != 0 || command.size() <= 2) continue;
        long dx = 0, dy = 0;
        char comma;
        std::stringstream(command.substr(2)) >> dx >> comma >> dy;
        const double along = dx / 40.0, across = dy / 40.0;
        t.travel += std::hypot(along, across);
        t.feed += std::fabs(along);
        int direction = along > 1e-3 ? 1 : (along < -1e-3 ? -1 : 0);
        if (direction) {
            if (lastDirection && direction != lastDirection) ++t.reversals;
            lastDirection = direction;
        }
    }
    return t;
}

std::string ReadOutput() {
    std::ifstream in(Output(), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void Report(benchmark::State& state, const benchtext::KnifeUp& t) {
    state.counters["travel_mm"] = t.travel;
    state.counters["feed_mm"] = t.feed;
    state.counters["feed_reversals"] = t.reversals;
}

void BM_BannerInPanels(benchmark::State& state) {
    Host host(200);
    Settings(610, 1);
    double best = 1e9;
    for (auto _ : state)
        best = std::min(best, CutOnce(host));
    state.counters["least_s"] = best;
    Report(state, Read(ReadOutput()));
}

void BM_UntiledFileOrder(benchmark::State& state) {
    Host host(200);
    Settings(2000, 0);
    double best = 1e9;
    for (auto _ : state)
        best = std::min(best, CutOnce(host));
    state.counters["least_s"] = best;
    Report(state, Read(ReadOutput()));
}

void BM_GreedyNearestNeighbour(benchmark::State& state) {
    Host host(200);
    Path design(host.Text());
    Path ordered;
    for (auto _ : state) {
        Path result = benchtext::Greedy(design);
        ordered = result;
    }
    // The lettering alone, in the banner's millimetres; the knife starts at the origin.
    benchtext::KnifeUp t = benchtext::Travel(ordered);
    // Travel counts x across and y along: the same axes as the HP-GL read back.
    Report(state, t);
}

void BM_Preparation(benchmark::State& state) {
    Host host(int(state.range(0)));
    Settings(610, 1);
    double best = 1e9;
    for (auto _ : state)
        best = std::min(best, CutOnce(host));
    state.counters["least_s"] = best;
}

BENCHMARK(BM_BannerInPanels)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_UntiledFileOrder)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_GreedyNearestNeighbour)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_Preparation)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->RangeMultiplier(2)
    ->Range(25, 400);

} // namespace

BENCHMARK_MAIN();
