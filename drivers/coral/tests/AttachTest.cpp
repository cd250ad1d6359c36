#include <gtest/gtest.h>

#include <testing/DialogDriver.h>
#include <win32/ModuleTesting.h>
#include <win32/user.h>

#include "CoralTest.h"

namespace {

class AttachTest : public CoralTest {};

TEST_F(AttachTest, AttachRebindsTheOneDriverObject) {
    ini_ = Path("Devices.ini");
    std::ofstream(ini_) << "[First]\nDevice=COM2\nMaxX=2000\nNumberOfPens=3\nInitialize=IN;\n"
                        << "[Second]\nMaxY=470\n";
    PlotterDriver* first = Bind("First");
    ASSERT_NE(first, nullptr);
    EXPECT_STREQ(first->GetDeviceName(), "COM2");
    EXPECT_EQ(first->maxX, 80000);
    EXPECT_EQ(first->numberOfPens, 3);

    PlotterDriver* second = Bind("Second");
    EXPECT_EQ(second, first);
    EXPECT_STREQ(second->GetDeviceName(), "LPT1");
    EXPECT_EQ(second->maxX, 120000);
    EXPECT_EQ(second->maxY, 18800);
    EXPECT_EQ(second->numberOfPens, 1);
    EXPECT_EQ(second->pageSize, 0);
    EXPECT_FLOAT_EQ(second->stepSize, 0.025f);
    EXPECT_EQ(second->headPosDelay, 0);
    EXPECT_EQ(second->GetOrientation(), 1);
    // Setup opens the sheet over the bound section; Cancel gives 0.
    SetDialogScriptForClass("CSetupSheet", [](HWND sheet) { sdtest::Click(sheet, IDCANCEL); });
    EXPECT_EQ(second->Setup(nullptr), 0);

    // The first section's templates are gone: a job sends only the blank of End.
    std::ofstream(ini_, std::ios::app) << "Device=" << Out() << "\n";
    second = Bind("Second");
    EXPECT_EQ(JobOutput(second, [](PlotterDriver* d) { d->MoveTo(10, 10); }), " ");
}

TEST_F(AttachTest, OnlyAttachIsExported) {
    for (const char* name :
         {"GetPrinterNames", "VectAngle", "Mask", "_ZN12SaturatingBez3Base4MaskE"})
        EXPECT_EQ(GetProcAddress(plugin_, name), nullptr) << name;
}

// A plug-in whose resource library is missing reports it once and attaches nothing.
class MissingResourcesTest : public PlatformTest {};

TEST_F(MissingResourcesTest, AttachReturnsNull) {
    ASSERT_EQ(GetModuleHandleA("cutdrv-coral.so"), nullptr) << "the plug-in is still loaded";
    SdSetModuleMissing("cutdrv-coral-res.dll", true);
    PushMessageBoxAnswer(IDOK);
    HMODULE plugin = LoadLibraryA("cutdrv-coral.dll");
    ASSERT_NE(plugin, nullptr);
    auto attach = reinterpret_cast<AttachProc>(
        reinterpret_cast<void (*)()>(GetProcAddress(plugin, "Attach")));
    ASSERT_NE(attach, nullptr);
    EXPECT_EQ(attach("Cutter", (DataFolder() / "Devices.ini").c_str()), nullptr);
    ASSERT_EQ(MessageBoxLog().size(), 1u);
    EXPECT_EQ(MessageBoxLog()[0].text, "Unable to find cutdrv-coral-res.DLL");
    FreeLibrary(plugin);
}

} // namespace
