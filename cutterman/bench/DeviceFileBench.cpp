// Adding and removing 50 sections of a device file of 2,000 sections, as the maintenance
// dialog's Update does it: time, and bytes written per update.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "Installer.h"
#include "InstallerFiles.h"

namespace {

std::string sections(int first, int count) {
    std::string text;
    for (int i = first; i < first + count; ++i)
        text += "[Cutter " + std::to_string(i) +
                "]\r\nDriver=cutdrv-coral.dll\r\nDevice=COM1\r\n"
                "MaxX=5000\r\nMaxY=610\r\nCutInit=PR;SP1;\r\n";
    return text;
}

void AddAndRemoveFifty(benchmark::State& state) {
    char pattern[] = "/tmp/cutterman-bench-XXXXXX";
    std::string folder = std::string(::mkdtemp(pattern)) + "/";
    ReplaceWholeFile(folder + "Devices.mst", sections(0, 2050));
    ReplaceWholeFile(folder + "Devices.ini", sections(0, 2000));
    Installer in;
    in.setup = true;
    in.programFolder = folder;
    std::vector<std::string> base;
    for (int i = 0; i < 2000; ++i)
        base.push_back("Cutter " + std::to_string(i));
    std::uintmax_t written = 0;
    for (auto _ : state) {
        // Add 2000..2049.
        in.baseline = base;
        in.installed = base;
        for (int i = 2000; i < 2050; ++i)
            in.installed.push_back("Cutter " + std::to_string(i));
        in.UpdateDeviceFile(folder, false);
        written += std::filesystem::file_size(folder + "Devices.ini");
        // Remove them again.
        in.baseline = in.installed;
        in.installed = base;
        in.UpdateDeviceFile(folder, false);
        written += std::filesystem::file_size(folder + "Devices.ini") +
                   std::filesystem::file_size(folder + "Devices.old");
    }
    state.counters["bytes_per_round"] =
        benchmark::Counter(double(written), benchmark::Counter::kAvgIterations);
    std::filesystem::remove_all(folder);
}
BENCHMARK(AddAndRemoveFifty)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
