#pragma once
// The fixture of the plot library's tests: a data folder of its own, the recording driver
// plug-in loaded and its control block cleared, and a Plotter to bind it to.

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <plot/Plotter.h>
#include <testing/PlatformTest.h>
#include <win32/module.h>

#include "DataFolder.h"
#include "MockControl.h"

class PlotTest : public PlatformTest {
protected:
    static constexpr const char* MockDriverFile = "plot-mockdrv.dll";
    static constexpr const char* Device = "Mock Cutter";

    void SetUp() override {
        PlatformTest::SetUp();
        plugin_ = LoadLibraryA(MockDriverFile);
        ASSERT_NE(plugin_, nullptr) << "the recording driver is not built";
        auto entry = reinterpret_cast<MockControlProc>(
            reinterpret_cast<void (*)()>(GetProcAddress(plugin_, "MockControlBlock")));
        ASSERT_NE(entry, nullptr);
        mock_ = entry();
        mock_->Reset();
        WriteDevicesIni(std::string("[") + Device + "]\nDriver=" + MockDriverFile +
                        "\nDevice=COM2\n");
    }

    void TearDown() override {
        plotter_.Detach();
        if (plugin_) FreeLibrary(plugin_);
        PlatformTest::TearDown();
    }

    std::string DevicesIni() const { return std::string(GetDevicesIni()); }

    void WriteDevicesIni(const std::string& text) const {
        std::ofstream(DevicesIni(), std::ios::binary | std::ios::trunc) << text;
    }

    // Attaches the recording driver and forgets the calls made so far.
    void AttachMock() {
        ASSERT_EQ(plotter_.Attach(MockDriverFile, Device, DevicesIni().c_str(), nullptr), 0);
        mock_->calls.clear();
    }

    std::vector<std::string> TakeCalls() {
        std::vector<std::string> calls;
        calls.swap(mock_->calls);
        return calls;
    }

    HMODULE plugin_ = nullptr;
    MockControl* mock_ = nullptr;
    Plotter plotter_;
};

using Calls = std::vector<std::string>;
