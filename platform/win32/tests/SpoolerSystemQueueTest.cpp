// The spooler over the system's print service, with stand-in lpstat and lp commands first
// in PATH.

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "testing/PlatformTest.h"
#include "win32/SpoolerTesting.h"
#include "win32/winspool.h"

namespace {

namespace fs = std::filesystem;

class SpoolerSystemQueueTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        bin_ = DataFolder() / "bin";
        fs::create_directories(bin_);
        if (const char* path = std::getenv("PATH")) savedPath_ = path;
        setenv("PATH", bin_.c_str(), 1); // only the stand-ins are found
        tmp_ = DataFolder() / "tmp";
        fs::create_directories(tmp_);
        if (const char* tmp = std::getenv("TMPDIR")) savedTmp_ = tmp;
        setenv("TMPDIR", tmp_.c_str(), 1);
    }
    void TearDown() override {
        setenv("PATH", savedPath_.c_str(), 1);
        if (savedTmp_)
            setenv("TMPDIR", savedTmp_->c_str(), 1);
        else
            unsetenv("TMPDIR");
        SdSetSpoolerCommandTimeout(0);
        PlatformTest::TearDown();
    }

    void Command(const std::string& name, const std::string& script) {
        fs::path file = bin_ / name;
        // The scripts find the system's tools; the spooler finds only the stand-ins.
        std::ofstream(file) << "#!/bin/sh\nPATH=/usr/bin:/bin\n" << script;
        fs::permissions(file, fs::perms::owner_all);
    }
    std::string Read(const std::string& name) const {
        std::ifstream in(DataFolder() / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    std::string Folder() const { return DataFolder().string(); }

    fs::path bin_;
    fs::path tmp_;
    std::string savedPath_;
    std::optional<std::string> savedTmp_;
};

std::vector<std::string> PrinterNames() {
    DWORD needed = 0;
    DWORD count = 0;
    EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 5, nullptr, 0, &needed, &count);
    std::vector<BYTE> buffer(needed);
    if (!EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 5, buffer.data(), needed, &needed, &count))
        return {"<failed>"};
    std::vector<std::string> names;
    const auto* entries = reinterpret_cast<const PRINTER_INFO_5A*>(buffer.data());
    for (DWORD i = 0; i < count; ++i)
        names.push_back(entries[i].pPrinterName);
    return names;
}

TEST_F(SpoolerSystemQueueTest, WithoutAPrintServiceThereAreNoPrinters) {
    EXPECT_TRUE(PrinterNames().empty());
    HANDLE printer = nullptr;
    EXPECT_FALSE(OpenPrinterA("Cutter", &printer, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PRINTER_NAME);

    Command("lpstat", "echo 'lpstat: Scheduler is not running.' >&2\nexit 1\n");
    EXPECT_TRUE(PrinterNames().empty());
}

TEST_F(SpoolerSystemQueueTest, QueuesAreListedAndJobsHandedOverRaw) {
    Command("lpstat", "printf 'Cutter\\nOffice_Laser \\nCutter/fine\\n'\n");
    // lp keeps its arguments, one a line, and the file it was given.
    Command("lp", "for a in \"$@\"; do echo \"$a\"; done > '" + Folder() +
                      "/lp-args'\n"
                      "for a in \"$@\"; do f=\"$a\"; done\n"
                      "cat \"$f\" > '" +
                      Folder() + "/lp-data'\necho 'request id is Cutter-7 (1 file(s))'\n");
    EXPECT_EQ(PrinterNames(), (std::vector<std::string>{"Cutter", "Office_Laser", "Cutter/fine"}));

    HANDLE printer = nullptr;
    ASSERT_TRUE(OpenPrinterA("Cutter", &printer, nullptr));
    // A title that a shell would take apart goes through unharmed.
    DOC_INFO_1A info{const_cast<LPSTR>("Sign; rm -rf $HOME"), nullptr, const_cast<LPSTR>("RAW")};
    ASSERT_NE(StartDocPrinterA(printer, 1, reinterpret_cast<LPBYTE>(&info)), 0u);
    ASSERT_TRUE(StartPagePrinter(printer));
    const std::string bytes("IN;\0\xff;PU0,0;\r\n", 14);
    DWORD written = 0;
    ASSERT_TRUE(
        WritePrinter(printer, const_cast<char*>(bytes.data()), DWORD(bytes.size()), &written));
    EXPECT_EQ(written, bytes.size());
    ASSERT_TRUE(EndPagePrinter(printer));
    ASSERT_TRUE(EndDocPrinter(printer));
    ASSERT_TRUE(ClosePrinter(printer));

    EXPECT_EQ(Read("lp-data"), bytes);
    const std::string args = Read("lp-args");
    EXPECT_EQ(args.substr(0, args.find("--")), "-d\nCutter\n-o\nraw\n-t\nSign; rm -rf $HOME\n");
    EXPECT_TRUE(fs::is_empty(tmp_)) << "the spool file is removed";
}

TEST_F(SpoolerSystemQueueTest, AJobTheServiceRefusesFails) {
    Command("lpstat", "echo Cutter\n");
    Command("lp", "exit 1\n");
    HANDLE printer = nullptr;
    ASSERT_TRUE(OpenPrinterA("Cutter", &printer, nullptr));
    DOC_INFO_1A info{const_cast<LPSTR>("Job"), nullptr, const_cast<LPSTR>("RAW")};
    ASSERT_NE(StartDocPrinterA(printer, 1, reinterpret_cast<LPBYTE>(&info)), 0u);
    DWORD written = 0;
    ASSERT_TRUE(WritePrinter(printer, const_cast<char*>("PU;"), 3, &written));
    EXPECT_FALSE(EndDocPrinter(printer));
    EXPECT_EQ(GetLastError(), ERROR_WRITE_FAULT);
    EXPECT_TRUE(ClosePrinter(printer));
    EXPECT_TRUE(fs::is_empty(tmp_));

    // Closed without its end, a job is not handed over at all.
    Command("lp", "touch '" + Folder() + "/lp-ran'\n");
    ASSERT_TRUE(OpenPrinterA("Cutter", &printer, nullptr));
    ASSERT_NE(StartDocPrinterA(printer, 1, reinterpret_cast<LPBYTE>(&info)), 0u);
    ASSERT_TRUE(WritePrinter(printer, const_cast<char*>("PU;"), 3, &written));
    EXPECT_TRUE(ClosePrinter(printer));
    EXPECT_FALSE(fs::exists(DataFolder() / "lp-ran"));
    EXPECT_TRUE(fs::is_empty(tmp_));
}

TEST_F(SpoolerSystemQueueTest, AServiceThatDoesNotAnswerIsStopped) {
    SdSetSpoolerCommandTimeout(200);
    Command("lpstat", "echo Cutter\nexec sleep 30\n");
    const auto started = std::chrono::steady_clock::now();
    EXPECT_TRUE(PrinterNames().empty());
    HANDLE printer = nullptr;
    EXPECT_FALSE(OpenPrinterA("Cutter", &printer, nullptr));
    const auto waited = std::chrono::steady_clock::now() - started;
    EXPECT_GE(waited, std::chrono::milliseconds(500)) << "three commands, each stopped";
    EXPECT_LT(waited, std::chrono::seconds(3));
}

} // namespace
