#pragma once
// Fixture of the frame tests: the test resource library, a fake spooler without printers, a
// driver on the frame whose port library is the scripted fake of tests/fakeport, and files
// in the test's data folder.

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include <driverframe/DriverResources.h>
#include <driverframe/TemplateDriver.h>
#include <testing/PlatformTest.h>
#include <win32/ModuleTesting.h>
#include <win32/SpoolerTesting.h>
#include <win32/module.h>

#include "FakeComm32.h"
#include "TestPlotter.h"

// The frame with its protected parts opened to the tests.
class TestDriver : public TemplateDriver {
public:
    explicit TestDriver(const DriverResources& texts) : TemplateDriver(texts) {}
    using TemplateDriver::Forward;
    using TemplateDriver::port_;
    using TemplateDriver::Reverse;
    using TemplateDriver::section_;
    using TemplateDriver::Send;
};

class FrameTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        SdInstallFakeSpooler();
        resources_ = std::make_unique<DriverResources>("driverframe-test-res.dll");
        ASSERT_TRUE(resources_->IsLoaded());
        fake_ = LoadLibraryA(FAKE_PORT_FOLDER "/COMM32.so");
        ASSERT_NE(fake_, nullptr);
        Bind(reset_, "FakePortReset");
        Bind(configure_, "FakePortConfigure");
        Bind(setReply_, "FakePortSetReply");
        Bind(written_, "FakePortWritten");
        Bind(openCount_, "FakePortOpenCount");
        Bind(lastSection_, "FakePortLastSection");
        Bind(lastMode_, "FakePortLastMode");
        Bind(isOpen_, "FakePortIsOpen");
        Bind(setError_, "FakePortSetError");
        reset_();
    }

    void TearDown() override {
        driver_.reset();
        resources_.reset();
        if (fake_) FreeLibrary(fake_);
        SdRemoveFakeSpooler();
        PlatformTest::TearDown();
    }

    // A driver bound to the fake port library, or to none when portLibrary is false (the
    // missing library is then reported once, with the answer OK).
    TestDriver& MakeDriver(bool portLibrary = true) {
        if (portLibrary) {
            SdSetProgramFolder(FAKE_PORT_FOLDER);
        } else {
            SdSetModuleMissing("COMM32.DLL", true);
            PushMessageBoxAnswer(IDOK);
        }
        driver_ = std::make_unique<TestDriver>(*resources_);
        SdSetProgramFolder(nullptr);
        SdSetModuleMissing("COMM32.DLL", false);
        driver_->owner = &plotter_;
        return *driver_;
    }

    std::string Path(const std::string& name) const { return (DataFolder() / name).string(); }

    std::string WriteFile(const std::string& name, const std::string& text) {
        std::ofstream(Path(name), std::ios::binary) << text;
        return Path(name);
    }

    static std::string ReadFile(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    std::string FakeWritten() {
        std::string text(std::size_t(written_(nullptr, 0)), '\0');
        written_(text.data(), int(text.size()));
        return text;
    }

    template <class Proc> void Bind(Proc& proc, const char* name) {
        proc = reinterpret_cast<Proc>(reinterpret_cast<void (*)()>(GetProcAddress(fake_, name)));
        ASSERT_NE(proc, nullptr) << name;
    }

    TestPlotter plotter_;
    std::unique_ptr<DriverResources> resources_;
    std::unique_ptr<TestDriver> driver_;
    HMODULE fake_ = nullptr;
    FakePortResetProc reset_ = nullptr;
    FakePortConfigureProc configure_ = nullptr;
    FakePortSetReplyProc setReply_ = nullptr;
    FakePortWrittenProc written_ = nullptr;
    FakePortOpenCountProc openCount_ = nullptr;
    FakePortLastSectionProc lastSection_ = nullptr;
    FakePortLastModeProc lastMode_ = nullptr;
    FakePortIsOpenProc isOpen_ = nullptr;
    FakePortSetErrorProc setError_ = nullptr;
};
