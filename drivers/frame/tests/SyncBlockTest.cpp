#include <gtest/gtest.h>
#include <string>

#include <driverframe/SyncBlock.h>

#include "FrameTest.h"

namespace {

class SyncBlockTest : public FrameTest {};

TEST_F(SyncBlockTest, ValuesAreCheckedInUnitsOf40PerMillimetre) {
    const std::string valid = "Type=5\nXSize=2\nYSize=3\nXDist=100\nYDist=200\nXNum=4\n";
    struct Case {
        const char* change;
        bool sent;
    } cases[] = {
        {"", true},
        {"Type=4\n", false},
        {"XSize=1.2\n", true},   // 48
        {"XSize=1.19\n", true},  // 47.6 rounds to 48
        {"XSize=1.18\n", false}, // 47
        {"XSize=10\n", true},    // 400
        {"XSize=10.02\n", false},
        {"YSize=1.18\n", false},
        {"YSize=nan\n", false},
        {"XDist=30\n", true}, // 1200
        {"XDist=29.98\n", false},
        {"XDist=1300\n", true}, // 52000
        {"XDist=1300.02\n", false},
        {"YDist=1600\n", true}, // 64000
        {"YDist=1600.02\n", false},
        {"YDist=1e300\n", false},
        {"XNum=1\n", false},
        {"XNum=2\n", true},
        {"XNum=40h\n", true}, // 64
        {"XNum=65\n", false},
    };
    for (const Case& c : cases) {
        // The first entry of a key wins, so the change goes before the valid values.
        std::string ini = WriteFile("Plot.ini", std::string("[Sync]\n") + c.change + valid);
        SyncBlock sync;
        EXPECT_EQ(sync.Read(ini.c_str()), c.sent) << c.change;
    }
    SyncBlock sync;
    ASSERT_TRUE(sync.Read(WriteFile("Plot.ini", "[Sync]\n" + valid).c_str()));
    const long expected[] = {80, 120, 4000, 8000, 4};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(sync.values[i], expected[i]);
    EXPECT_FALSE(sync.Read(Path("missing.ini").c_str()));
}

TEST_F(SyncBlockTest, PlotIniLiesBesideDevicesIni) {
    EXPECT_EQ(SyncBlock::PlotIniBeside("/a/b/Devices.ini"), "/a/b/Plot.ini");
    EXPECT_EQ(SyncBlock::PlotIniBeside("C:\\data\\Devices.ini"), "C:\\data\\Plot.ini");
    EXPECT_EQ(SyncBlock::PlotIniBeside("Devices.ini"), "Plot.ini");
}

TEST_F(SyncBlockTest, SentWhenThePortOpens) {
    std::string out = Path("out.plt");
    WriteFile("Plot.ini", "[Sync]\nType=5\nXSize=1.2\nYSize=2\nXDist=50\nYDist=100\nXNum=3\n");
    std::string ini = WriteFile("Devices.ini", "[Cutter]\nDevice=" + out +
                                                   "\nUseAutoSync=1\nSetSyncData=SY#,#,#,#,#;\n"
                                                   "StartSyncProc=GO;\n[Off]\nDevice=" +
                                                   out + "\nSetSyncData=SY#;\n");
    TestDriver& d = MakeDriver();
    d.Bind("Cutter", ini.c_str());
    d.Init();
    d.Exit();
    EXPECT_EQ(ReadFile(out), "SY48,80,2000,4000,3;GO;");

    d.Bind("Off", ini.c_str()); // UseAutoSync 0
    d.Init();
    d.Exit();
    EXPECT_EQ(ReadFile(out), "");
}

} // namespace
