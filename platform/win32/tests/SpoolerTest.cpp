#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "testing/FakeSpooler.h"
#include "testing/PlatformTest.h"
#include "win32/winspool.h"

namespace {

using SpoolerTest = PlatformTest;

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

// Opens the printer and starts a raw document with one page; null when a step fails.
HANDLE StartRawJob(const char* printer, const char* document) {
    HANDLE handle = nullptr;
    if (!OpenPrinterA(printer, &handle, nullptr)) return nullptr;
    DOC_INFO_1A info{const_cast<LPSTR>(document), nullptr, const_cast<LPSTR>("RAW")};
    if (!StartDocPrinterA(handle, 1, reinterpret_cast<LPBYTE>(&info)) ||
        !StartPagePrinter(handle)) {
        ClosePrinter(handle);
        return nullptr;
    }
    return handle;
}

std::string FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST_F(SpoolerTest, FakePrintersAreListedInOrderAtLevelFive) {
    FakeSpooler spooler;
    EXPECT_TRUE(PrinterNames().empty());
    spooler.AddPrinter("Vinyl Cutter");
    spooler.AddPrinter("Office Laser");
    spooler.AddPrinter("");
    EXPECT_EQ(PrinterNames(), (std::vector<std::string>{"Vinyl Cutter", "Office Laser", ""}));

    DWORD needed = 0;
    DWORD count = 7;
    std::vector<BYTE> small(sizeof(PRINTER_INFO_5A) * 3);
    SetLastError(0);
    EXPECT_FALSE(EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 5, small.data(), DWORD(small.size()),
                               &needed, &count));
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(needed, 3 * sizeof(PRINTER_INFO_5A) + 13 + 13 + 1 + 3);
    EXPECT_EQ(count, 0u);

    std::vector<BYTE> buffer(needed);
    ASSERT_TRUE(EnumPrintersA(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 5,
                              buffer.data(), needed, &needed, &count));
    ASSERT_EQ(count, 3u);
    const auto* entries = reinterpret_cast<const PRINTER_INFO_5A*>(buffer.data());
    for (DWORD i = 0; i < count; ++i) {
        // Every text lies inside the caller's buffer.
        for (const char* text : {entries[i].pPrinterName, entries[i].pPortName}) {
            EXPECT_GE(reinterpret_cast<const BYTE*>(text), buffer.data() + 3 * sizeof *entries);
            EXPECT_LT(reinterpret_cast<const BYTE*>(text), buffer.data() + buffer.size());
        }
        EXPECT_EQ(entries[i].Attributes, PRINTER_ATTRIBUTE_LOCAL);
    }

    EXPECT_FALSE(
        EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, buffer.data(), needed, &needed, &count));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_LEVEL);
    EXPECT_FALSE(EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 5, nullptr, 0, nullptr, &count));
    EXPECT_TRUE(EnumPrintersA(0, nullptr, 5, nullptr, 0, &needed, &count));
    EXPECT_EQ(count, 0u);
}

TEST_F(SpoolerTest, ARawJobIsCapturedByteForByte) {
    const std::string folder = DataFolder().string();
    FakeSpooler spooler(folder);
    spooler.AddPrinter("Cutter");

    HANDLE printer = StartRawJob("cutter", "Sign 1"); // names match without case
    ASSERT_NE(printer, nullptr);
    EXPECT_EQ(SdOpenPrinterCount(), 1);
    std::string bytes = "IN;PU0,0;PD100,0;\r\n";
    for (int b = 0; b < 256; ++b)
        bytes += char(b);
    DWORD written = 0;
    ASSERT_TRUE(WritePrinter(printer, bytes.data(), 10, &written));
    EXPECT_EQ(written, 10u);
    ASSERT_TRUE(WritePrinter(printer, bytes.data() + 10, DWORD(bytes.size() - 10), &written));
    ASSERT_TRUE(WritePrinter(printer, bytes.data(), 0, &written));
    ASSERT_TRUE(EndPagePrinter(printer));
    ASSERT_TRUE(EndDocPrinter(printer));
    ASSERT_TRUE(ClosePrinter(printer));
    EXPECT_EQ(SdOpenPrinterCount(), 0);

    auto jobs = spooler.Jobs();
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(jobs[0].printer, "Cutter");
    EXPECT_EQ(jobs[0].document, "Sign 1");
    EXPECT_EQ(jobs[0].datatype, "RAW");
    EXPECT_EQ(jobs[0].pages, 1);
    EXPECT_TRUE(jobs[0].ended);
    EXPECT_EQ(jobs[0].bytes, bytes);
    EXPECT_EQ(jobs[0].file, folder + "/job-" + std::to_string(jobs[0].jobId) + ".prn");
    EXPECT_EQ(FileBytes(jobs[0].file), bytes);
}

TEST_F(SpoolerTest, UnknownPrintersAndRefusedStepsFailCleanly) {
    FakeSpooler spooler;
    spooler.AddPrinter("Plotter");
    spooler.AddPrinter("Locked", SD_REFUSE_OPEN);
    spooler.AddPrinter("Busy", SD_REFUSE_START_DOC);
    spooler.AddPrinter("Jammed", SD_REFUSE_WRITE);

    HANDLE printer = reinterpret_cast<HANDLE>(1);
    EXPECT_FALSE(OpenPrinterA("No such printer", &printer, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PRINTER_NAME);
    EXPECT_EQ(printer, nullptr);
    EXPECT_FALSE(OpenPrinterA("", &printer, nullptr));
    EXPECT_FALSE(OpenPrinterA(nullptr, &printer, nullptr));
    EXPECT_FALSE(OpenPrinterA("Plotter", nullptr, nullptr));
    EXPECT_FALSE(OpenPrinterA("Locked", &printer, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_EQ(StartRawJob("Busy", "Job"), nullptr);

    HANDLE jammed = StartRawJob("Jammed", "Job");
    ASSERT_NE(jammed, nullptr);
    DWORD written = 99;
    EXPECT_FALSE(WritePrinter(jammed, const_cast<char*>("PU;"), 3, &written));
    EXPECT_EQ(written, 0u);
    EXPECT_TRUE(ClosePrinter(jammed));
    EXPECT_EQ(SdOpenPrinterCount(), 0);

    HANDLE stale = jammed;
    EXPECT_FALSE(ClosePrinter(stale));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(WritePrinter(stale, const_cast<char*>("x"), 1, &written));
    EXPECT_EQ(StartDocPrinterA(nullptr, 1, nullptr), 0u);
}

TEST_F(SpoolerTest, StepsOutOfOrderAreRefused) {
    FakeSpooler spooler;
    spooler.AddPrinter("Plotter");
    HANDLE printer = nullptr;
    ASSERT_TRUE(OpenPrinterA("Plotter", &printer, nullptr));
    DWORD written = 0;

    EXPECT_FALSE(WritePrinter(printer, const_cast<char*>("x"), 1, &written));
    EXPECT_EQ(GetLastError(), ERROR_SPL_NO_STARTDOC);
    EXPECT_FALSE(StartPagePrinter(printer));
    EXPECT_FALSE(EndPagePrinter(printer));
    EXPECT_FALSE(EndDocPrinter(printer));

    const struct {
        DWORD level;
        const char* datatype;
        const char* outputFile;
        DWORD error;
    } refused[] = {
        {2, "RAW", nullptr, ERROR_INVALID_LEVEL},
        {1, "EMF", nullptr, ERROR_INVALID_DATATYPE},
        {1, "TEXT", nullptr, ERROR_INVALID_DATATYPE},
        {1, "RAW", "/tmp/out.prn", ERROR_INVALID_PARAMETER},
    };
    for (const auto& r : refused) {
        DOC_INFO_1A info{const_cast<LPSTR>("Doc"), const_cast<LPSTR>(r.outputFile),
                         const_cast<LPSTR>(r.datatype)};
        EXPECT_EQ(StartDocPrinterA(printer, r.level, reinterpret_cast<LPBYTE>(&info)), 0u);
        EXPECT_EQ(GetLastError(), r.error) << r.datatype;
    }

    DOC_INFO_1A info{const_cast<LPSTR>("Doc"), nullptr, nullptr}; // no data type: raw
    DWORD job = StartDocPrinterA(printer, 1, reinterpret_cast<LPBYTE>(&info));
    ASSERT_NE(job, 0u);
    EXPECT_EQ(StartDocPrinterA(printer, 1, reinterpret_cast<LPBYTE>(&info)), 0u);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PRINTER_STATE);
    EXPECT_TRUE(WritePrinter(printer, const_cast<char*>("before the page"), 15, &written));
    EXPECT_FALSE(EndPagePrinter(printer));
    EXPECT_TRUE(StartPagePrinter(printer));
    EXPECT_FALSE(StartPagePrinter(printer));
    EXPECT_TRUE(EndPagePrinter(printer));
    EXPECT_TRUE(StartPagePrinter(printer));
    EXPECT_FALSE(WritePrinter(printer, nullptr, 4, &written));
    EXPECT_TRUE(WritePrinter(printer, const_cast<char*>("!"), 1, nullptr));
    EXPECT_TRUE(EndDocPrinter(printer)); // ends the open page too
    EXPECT_FALSE(EndPagePrinter(printer));

    // A second document on the same handle, closed without its end: cancelled.
    DWORD second = StartDocPrinterA(printer, 1, reinterpret_cast<LPBYTE>(&info));
    EXPECT_GT(second, job);
    EXPECT_TRUE(WritePrinter(printer, const_cast<char*>("lost"), 4, &written));
    EXPECT_TRUE(ClosePrinter(printer));

    auto jobs = spooler.Jobs();
    ASSERT_EQ(jobs.size(), 2u);
    EXPECT_EQ(jobs[0].bytes, "before the page!");
    EXPECT_EQ(jobs[0].pages, 2);
    EXPECT_TRUE(jobs[0].ended);
    EXPECT_FALSE(jobs[1].ended);
    EXPECT_TRUE(jobs[1].file.empty());
}

} // namespace
