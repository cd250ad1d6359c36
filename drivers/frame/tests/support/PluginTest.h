#pragma once
// Fixture of the driver plug-in tests: the plug-in loaded from the program folder as the
// plot library loads it, a fake spooler without printers, and device sections written into
// the test's data folder. Jobs run in the order the plot library drives a driver.

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include <plotterdriver/PlotterDriver.h>
#include <testing/FakeSpooler.h>
#include <testing/PlatformTest.h>
#include <win32/ModuleTesting.h>
#include <win32/module.h>

#include "TestPlotter.h"

using AttachProc = PlotterDriver* (*)(const char* deviceName, const char* iniPath);

class PluginTest : public PlatformTest {
protected:
    explicit PluginTest(const char* pluginFile) : pluginFile_(pluginFile) {}

    void SetUp() override {
        PlatformTest::SetUp();
        spooler_ = std::make_unique<FakeSpooler>();
        plugin_ = LoadLibraryA(pluginFile_);
        ASSERT_NE(plugin_, nullptr) << SdLastLoadError();
        attach_ = reinterpret_cast<AttachProc>(
            reinterpret_cast<void (*)()>(GetProcAddress(plugin_, "Attach")));
        ASSERT_NE(attach_, nullptr);
    }

    void TearDown() override {
        if (plugin_) FreeLibrary(plugin_);
        spooler_.reset();
        PlatformTest::TearDown();
    }

    std::string Path(const std::string& name) const { return (DataFolder() / name).string(); }

    static std::string ReadFile(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    // Attaches section [Cutter] with the given keys; the device is the file out.plt unless
    // the keys name another.
    PlotterDriver* Attach(const std::string& keys) {
        ini_ = Path("Devices.ini");
        std::ofstream(ini_, std::ios::binary) << "[Cutter]\n"
                                              << keys << "\nDevice=" << Out() << "\n";
        return Bind("Cutter");
    }

    PlotterDriver* Bind(const char* section) {
        PlotterDriver* d = attach_(section, ini_.c_str());
        if (d) d->owner = &plotter_;
        return d;
    }

    std::string Out() const { return Path("out.plt"); }

    // One job: Init, HPStart, HPEnd, Start, SetSpeed, the body, End (when not aborted).
    void Job(PlotterDriver* d, const std::function<void(PlotterDriver*)>& body, int cut = 1) {
        d->Init();
        d->HPStart();
        d->HPEnd();
        d->Start(cut);
        d->SetSpeed(cut ? d->cutSpeed : d->plotSpeed);
        body(d);
        if (!plotter_.aborted) d->End();
        d->Exit();
    }

    // A job's output on the file port.
    std::string JobOutput(PlotterDriver* d, const std::function<void(PlotterDriver*)>& body,
                          int cut = 1) {
        Job(d, body, cut);
        return ReadFile(Out());
    }

    const char* pluginFile_;
    TestPlotter plotter_;
    std::unique_ptr<FakeSpooler> spooler_;
    HMODULE plugin_ = nullptr;
    AttachProc attach_ = nullptr;
    std::string ini_;
};
