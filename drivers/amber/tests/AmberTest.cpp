// The record-language driver loaded as the plot library loads it, its jobs written into a
// file. Expected streams are built from the records by hand: a move is the break record
// 00 FF FF FF FF and a corner record 00 b a, a line the corner record 00 b a (a, b the
// device steps, 16 bits big-endian, the second coordinate first), the built-in Start the
// 24-byte job header, and End (like NewPage1) up to its "#": 00 FF FF FF FF 80 04 00.

#include <functional>
#include <gtest/gtest.h>
#include <set>
#include <string>

#include <testing/FakeCutter.h>
#include <testing/FakePort.h>
#include <win32/kernel.h>
#include <win32/user.h>

#include "AmberDriver.h"
#include "PluginTest.h"

namespace {

std::string Word(long v) {
    return {char((v >> 8) & 0xFF), char(v & 0xFF)};
}
std::string Move(long a, long b) {
    return std::string("\0\xFF\xFF\xFF\xFF\0", 6) + Word(b) + Word(a);
}
std::string Line(long a, long b) {
    return std::string(1, '\0') + Word(b) + Word(a);
}
const std::string S("\3\4\0\0\0\0\0\1\0\1\0\0\0\0\6\0\0\x7F\xFF\0\0\x7F\xFF\1", 24);
const std::string E("\0\xFF\xFF\xFF\xFF\x80\4\0", 8);
const std::string kHeadPosEnd("\x80\x05", 2);
const std::string kHeadPosStart("\x01", 1);

std::string Substituted(std::string bytes) {
    for (char& c : bytes)
        c = char(AmberDriver::Substitute(std::uint8_t(c)));
    return bytes;
}

TEST(AmberSubstitutionTest, IsAPermutationOfTheByteValues) {
    std::set<int> values;
    for (int b = 0; b < 256; ++b)
        values.insert(AmberDriver::Substitute(std::uint8_t(b)));
    EXPECT_EQ(values.size(), 256u);
}

class AmberTest : public PluginTest {
protected:
    AmberTest() : PluginTest("cutdrv-amber.dll") {}

    PlotterDriver* AttachSection(const std::string& section, const std::string& keys) {
        ini_ = Path("Devices.ini");
        std::ofstream(ini_, std::ios::binary) << "[" << section << "]\n" << keys << "\n";
        return Bind(section.c_str());
    }
    static AmberDriver* Amber(PlotterDriver* d) { return static_cast<AmberDriver*>(d); }
};

TEST_F(AmberTest, TheLoaderFillsWhatTheSectionLeavesOut) {
    const struct {
        const char* section;
        const char* keys;
        float internalStep;
        LONG maxX, maxY, pageSize, tolerance;
        int quality, substitute, pageMatch;
        const char* device;
        int messages; // the step size message
    } cases[] = {
        // A bare section: 0.05 / 16 mm, 1600 mm, 451 mm, 0.2 mm = 64, 20 hundredths.
        {"Cutter", "", 0.003125f, 512000, 144320, 0, 64, 5, 0, 0, "COM1", 0},
        // 0.01 mm is 3.2 units, rounded to 3: 0.9375 hundredths.
        {"Cutter", "StepSize=0.05\nAccuracy=0.01", 0.003125f, 512000, 144320, 0, 3, 8, 0, 0, "COM1",
         0},
        {"Cutter", "Accuracy=0.001", 0.003125f, 512000, 144320, 0, 2, 8, 0, 0, "COM1", 0},
        {"Big (R) Cutter", "Device=lpt1.dos\nAccuracy=0.5", 0.003125f, 512000, 144320, 0, 160, 1, 1,
         0, "lpt1.dos", 0},
        {"Cutter", "StepSize=0\nPageSize=1600", 0.003125f, 512000, 144320, 512000, 64, 5, 0, 1,
         "COM1", 1},
        {"Cutter", "StepSize=0.1\nMaxX=100\nPhysicalPageSize=50\nPageSize=50", 0.00625f, 16000,
         72160, 8000, 32, 5, 0, 1, "COM1", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.section) + " / " + c.keys);
        if (c.messages) PushMessageBoxAnswer(IDOK);
        PlotterDriver* d = AttachSection(c.section, c.keys);
        ASSERT_NE(d, nullptr);
        const AmberDriver::State s = Amber(d)->Snapshot();
        EXPECT_FLOAT_EQ(s.internalStep, c.internalStep);
        EXPECT_FLOAT_EQ(d->stepSize, c.internalStep);
        EXPECT_EQ(d->maxX, c.maxX);
        EXPECT_EQ(d->maxY, c.maxY);
        EXPECT_EQ(d->pageSize, c.pageSize);
        EXPECT_EQ(s.tolerance, c.tolerance);
        EXPECT_EQ(s.splineQuality, c.quality);
        EXPECT_EQ(s.substitute, c.substitute);
        EXPECT_EQ(s.pageMatch, c.pageMatch);
        EXPECT_EQ(d->numberOfPens, 1);
        EXPECT_EQ(d->headPosDelay, 20);
        EXPECT_EQ(s.blockBudget, 1047552 - 200);
        EXPECT_EQ(Amber(d)->LoadedDevice(), c.device);
        EXPECT_STREQ(d->GetDeviceName(), c.device);
    }
    ASSERT_EQ(MessageBoxLog().size(), 1u);
    EXPECT_NE(MessageBoxLog()[0].text.find("0.05 mm is used"), std::string::npos);
}

struct JobCase {
    const char* name;
    const char* section;
    std::string keys;
    std::function<void(PlotterDriver*)> body;
    std::string expected;
    int pauses = 0; // questions between blocks, answered OK
};

std::vector<JobCase> JobCases() {
    auto square = [](PlotterDriver* d) {
        d->MoveTo(1600, 3200);
        d->LineTo(3200, 3200);
    };
    std::string overflow = S + Move(100, 100);
    for (int i = 1; i <= 20; ++i) {
        if (i == 14) overflow += S + Move(100, 100); // Continue, then the last move again
        overflow += Line(100 + i, 100);
    }
    overflow += E;
    return {
        // Driver units (1600, 3200) are device steps (100, 200): 00 FF FF FF FF 00 00 C8 00 64.
        {"move bytes", "Cutter", "", square,
         S + std::string("\0\xFF\xFF\xFF\xFF\0\0\xC8\0\x64", 10) + Line(200, 200) + E},
        // Escapes in Start; a LineTo with two "#" has a flag byte, copied forward from each
        // new line and set to the move's (0, none) when a plain command follows.
        {"escapes and accessors", "Cutter",
         R"(Start=\65\66\1000\)"
         "\n"
         R"(LineTo=\2##)",
         [](PlotterDriver* d) {
             d->MoveTo(1600, 1600);
             d->LineTo(3200, 1600);
             d->LineTo(3200, 3200);
         },
         std::string("AB\xE8\0", 4) + Move(100, 100) + std::string("\x02\0\x64\0\xC8", 5) +
             std::string("\0\0\xC8\0\xC8", 5) + E},
        // 300 bytes leave a budget of 100: the 14th line would pass it. The pending line goes,
        // the cutter is paused, and the block starts again with Continue and the move.
        {"maxblocklen 300", "Cutter", "maxblocklen=300",
         [](PlotterDriver* d) {
             d->MoveTo(1600, 1600);
             for (int i = 1; i <= 20; ++i)
                 d->LineTo(1600 + 16 * i, 1600);
         },
         overflow, 1},
        {"(R)", "Cutter (R)", "", square, Substituted(S + Move(100, 200) + Line(200, 200) + E)},
        // No job header: the file is a plain record stream.
        {".fot", "Cutter", "Device=" + std::string("OUT.FOT"), square,
         Move(100, 200) + Line(200, 200) + E},
    };
}

TEST_F(AmberTest, JobsSendTheRecordsAsWorkedOut) {
    for (const JobCase& c : JobCases()) {
        SCOPED_TRACE(c.name);
        std::string keys = c.keys;
        const bool fot = keys.find("OUT.FOT") != std::string::npos;
        const std::string out = fot ? Path("out.FOT") : Out();
        if (fot) keys = "Device=" + out;
        std::filesystem::remove(out);
        PlotterDriver* d = AttachSection(c.section, keys + "\nDevice=" + Out());
        for (int i = 0; i < c.pauses; ++i)
            PushMessageBoxAnswer(IDOK);
        Job(d, c.body);
        EXPECT_EQ(plotter_.aborted, 0);
        EXPECT_EQ(ReadFile(out), c.expected);
        EXPECT_EQ(MessageBoxLog().size(), std::size_t(c.pauses));
        SdClearMessageBoxes();
    }
}

TEST_F(AmberTest, HeadPositioningClosesTheBlockBehindItsMove) {
    PlotterDriver* d = AttachSection("Cutter", "Device=" + Out());
    d->Init();
    d->HPStart();
    d->MoveTo(1600, 1600);
    d->HPEnd();
    d->Start(1);
    d->MoveTo(3200, 3200);
    d->End();
    d->Exit();
    EXPECT_EQ(ReadFile(Out()),
              S + Move(100, 100) + kHeadPosEnd + kHeadPosStart + E + S + Move(200, 200) + E);
}

TEST_F(AmberTest, AFullBlockInsideTheOverflowStillEnds) {
    // A budget below what the overflow itself sends is raised to hold it: Continue, the move
    // and the record that overflowed.
    PlotterDriver* d = AttachSection("Cutter", "maxblocklen=1\nDevice=" + Out());
    EXPECT_EQ(Amber(d)->Snapshot().blockBudget, 2 * 24 + 24);
    for (int i = 0; i < 100; ++i)
        PushMessageBoxAnswer(IDOK);
    AllowUnusedMessageBoxAnswers();
    Job(d, [](PlotterDriver* d) {
        d->MoveTo(1600, 1600);
        for (int i = 1; i <= 40; ++i)
            d->LineTo(1600 + 16 * i, 1600);
    });
    EXPECT_EQ(plotter_.aborted, 0);
    const std::string out = ReadFile(Out());
    EXPECT_GT(MessageBoxLog().size(), 1u);
    for (int i = 1; i <= 40; ++i)
        EXPECT_NE(out.find(Line(100 + i, 100)), std::string::npos) << i;
    EXPECT_EQ(out.substr(out.size() - 13), Line(140, 100) + E);
}

TEST_F(AmberTest, TheDeviceIsReadAtEveryJobAndAnAbortLastsOneJob) {
    // As the plot library's spool redirection leaves it: the section named COM1 when it was
    // attached, a spool file when the job opens.
    PlotterDriver* d = AttachSection("Cutter", "Device=COM1");
    ASSERT_TRUE(WritePrivateProfileStringA("Cutter", "Device", Out().c_str(), ini_.c_str()));
    const std::string job = S + Move(100, 200) + Line(200, 200) + E;
    auto square = [](PlotterDriver* d) {
        d->MoveTo(1600, 3200);
        d->LineTo(3200, 3200);
    };
    EXPECT_EQ(JobOutput(d, square), job);

    Job(d, [](PlotterDriver* d) {
        d->MoveTo(1600, 3200);
        d->Abort();
        d->LineTo(3200, 3200);
    });
    EXPECT_EQ(plotter_.aborted, 1);
    plotter_.aborted = 0;
    EXPECT_EQ(JobOutput(d, square), job);
}

TEST_F(AmberTest, ADosPortNameInLowerCaseGoesToThePortLibrary) {
    FakeCutter cutter;
    if (!cutter.IsOpen()) GTEST_SKIP() << "no pseudo-terminal";
    FakePort port("LPT1", cutter.PortPath());
    PlotterDriver* d = AttachSection("Cutter", "Device=lpt1.dos");
    Job(d, [](PlotterDriver* d) { d->MoveTo(1600, 3200); });
    const std::string expected = S + Move(100, 200) + E;
    EXPECT_TRUE(cutter.WaitForReceivedCount(expected.size()));
    EXPECT_EQ(cutter.Received(), expected);
    EXPECT_EQ(plotter_.aborted, 0);
}

TEST_F(AmberTest, TheContractsSlots20To22KeepTheirMeaning) {
    PlotterDriver* d = AttachSection("Cutter (R)", "Device=" + Out() + "\nNumberOfPens=3");
    EXPECT_EQ(d->GetOrientation(), 1);
    EXPECT_EQ(std::string(d->GetDeviceName()), Out());
    // A spool header goes out as it is, in pieces, without reloading the section.
    WritePrivateProfileStringA("Cutter (R)", "NumberOfPens", "5", ini_.c_str());
    std::string header(600, 'h');
    header[300] = '\0';
    d->Init();
    d->Write(header.data(), int(header.size()));
    d->Exit();
    EXPECT_EQ(ReadFile(Out()).substr(0, 600), header);
    EXPECT_EQ(d->numberOfPens, 3);
}

TEST_F(AmberTest, ATemplateThatCannotBeACommandAbortsTheJob) {
    // A key past 255 characters would be cut off somewhere inside a command.
    PlotterDriver* d =
        AttachSection("Cutter", "Start=" + std::string(256, 'x') + "\nDevice=" + Out());
    PushMessageBoxAnswer(IDOK);
    Job(d, [](PlotterDriver* d) { d->MoveTo(1600, 3200); });
    EXPECT_EQ(plotter_.aborted, 1);
    ASSERT_EQ(MessageBoxLog().size(), 1u);
    EXPECT_NE(MessageBoxLog()[0].text.find("longer than 255 bytes"), std::string::npos);
    EXPECT_EQ(ReadFile(Out()), "");
}

} // namespace
