#include "testing/PostScriptPrinterTest.h"

#include "win32/GdiTesting.h"
#include "win32/SpoolerTesting.h"

void PostScriptPrinterTest::SetUp() {
    PlatformTest::SetUp();
    SdInstallFakeSpooler();
    SdAddFakePrinter("PS");
    SdGdiDescribePrinter("PS", SdPrinterKind::PostScript);
    ASSERT_TRUE(dc.CreateDC(nullptr, "PS", nullptr, nullptr));
    ASSERT_GT(dc.StartDoc("job"), 0);
}

void PostScriptPrinterTest::TearDown() {
    dc.DeleteDC();
    SdRemoveFakeSpooler();
    PlatformTest::TearDown();
}

std::string PostScriptPrinterTest::Captured() {
    dc.EndDoc();
    auto jobs = SdSpooledJobs();
    return jobs.empty() ? std::string() : jobs.back().bytes;
}
