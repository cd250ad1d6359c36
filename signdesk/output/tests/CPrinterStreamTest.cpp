// The PostScript stream on the fake PostScript printer.

#include <gtest/gtest.h>

#include <string>

#include "mfc/CDC.h"
#include "output/CPrinterStream.h"
#include "testing/PostScriptPrinterTest.h"
#include "win32/GdiTesting.h"
#include "win32/SpoolerTesting.h"

namespace {

class PrinterStreamTest : public PostScriptPrinterTest {
protected:
    void SetUp() override {
        PostScriptPrinterTest::SetUp();
        SdAddFakePrinter("Raster");
        SdGdiClearCallLog(dc.m_hDC);
    }
    // Escapes sent so far, as "6" and "4115:<count>".
    std::vector<std::string> Escapes() {
        std::vector<std::string> out;
        for (const std::string& line : SdGdiCallLog(dc.m_hDC))
            if (line.rfind("Escape(", 0) == 0) {
                int code = 0, size = 0;
                std::sscanf(line.c_str(), "Escape(%d,%d)", &code, &size);
                out.push_back(code == FLUSHOUTPUT
                                  ? "6"
                                  : std::to_string(code) + ":" + std::to_string(size - 2));
            }
        return out;
    }
};

TEST_F(PrinterStreamTest, BlocksLeaveOnlyWhenFull) {
    CPrinterStream ps(&dc, 16382);
    std::string sent;
    for (int i = 0; i < 16382; ++i) {
        char c = char('a' + i % 26);
        ASSERT_EQ(ps.Put(c), 0);
        sent += c;
    }
    EXPECT_TRUE(Escapes().empty());
    ASSERT_EQ(ps.Put('Z'), 0);
    sent += 'Z';
    EXPECT_EQ(Escapes(), (std::vector<std::string>{"6", "4115:16382"}));
    EXPECT_EQ(ps.Pending(), 1);
    EXPECT_GT(ps.Flush(), 0);
    EXPECT_EQ(Captured(), sent);
}

TEST_F(PrinterStreamTest, EmptyFlushStillSendsBothEscapes) {
    CPrinterStream ps(&dc, 16382);
    EXPECT_GT(ps.Flush(), 0);
    EXPECT_EQ(Escapes(), (std::vector<std::string>{"6", "4115:0"}));
    EXPECT_EQ(ps.TellP(), -1);
    EXPECT_EQ(ps.SeekP(0, 0), -1);
    EXPECT_EQ(ps.Write("abc", 3), -1);
    EXPECT_EQ(ps.Pending(), 0);
}

TEST_F(PrinterStreamTest, WritersOfThePathLibraryReachThePrinter) {
    CPrinterStream ps(&dc, 16382);
    ps << "save" << EndLine() << 12 << ' ' << 2.5 << " moveto" << EndLine() << "restore"
       << EndLine();
    ps.Flush();
    EXPECT_EQ(Captured(), "save\r\n12 2.5 moveto\r\nrestore\r\n");
}

TEST_F(PrinterStreamTest, OddAndTinyCapacitiesStayInsideTheBuffer) {
    for (std::uint16_t capacity : {0, 1, 3, 7}) {
        CPrinterStream ps(&dc, capacity);
        for (char c : std::string("abcdefghij"))
            ASSERT_EQ(ps.Put(c), 0);
        EXPECT_LE(ps.Pending(), capacity < 2 ? 2 : capacity & ~1);
        ps.Flush();
    }
    EXPECT_EQ(Captured(), std::string("abcdefghij") + "abcdefghij" + "abcdefghij" + "abcdefghij");
}

TEST_F(PrinterStreamTest, AFailedFlushIsReported) {
    CDC raster;
    ASSERT_TRUE(raster.CreateDC(nullptr, "Raster", nullptr, nullptr));
    CPrinterStream ps(&raster, 4);
    EXPECT_EQ(ps.Good(), 1);
    for (char c : std::string("abcd"))
        ASSERT_EQ(ps.Put(c), 0);
    // The raster printer takes no pass-through: the flush fails, Put says so.
    EXPECT_EQ(ps.Put('e'), -1);
    EXPECT_EQ(ps.Good(), 0);
    CPrinterStream none(nullptr, 16382);
    EXPECT_EQ(none.Good(), 0);
}

} // namespace
