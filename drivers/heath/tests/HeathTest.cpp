#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

#include <settings/CIniFile.h>
#include <testing/FakeCutter.h>
#include <testing/FakeUsbTree.h>
#include <win32/kernel.h>
#include <win32/user.h>

#include "PluginTest.h"

namespace {

const std::string kUsbClass = "{a5dcbf10-6530-11d2-901f-00c04fb951ed}";

class HeathTest : public PluginTest {
protected:
    HeathTest() : PluginTest("cutdrv-heath.dll") {}

    // Section [Cutter] with the keys as given (no Device key: the driver's "USB").
    PlotterDriver* AttachKeys(const std::string& keys) {
        ini_ = Path("Devices.ini");
        std::ofstream(ini_, std::ios::binary) << "[Cutter]\nDriver=cutdrv-heath.dll\n" << keys
                                              << "\n";
        return Bind("Cutter");
    }

    std::string Key(const char* key) {
        char value[256];
        GetPrivateProfileStringA("Cutter", key, "", value, sizeof value, ini_.c_str());
        return value;
    }

    static void SmallJob(PlotterDriver* d) {
        d->MoveTo(100, 200);
        d->LineTo(300, 200);
    }
};

TEST_F(HeathTest, EachTypeHasItsCommandsIdsAndFixedStep) {
    const struct {
        const char* type;
        std::string usbId, cutInit, end;
    } cases[] = {
        {"CC100", "vid_0b4d&pid_110a" + kUsbClass, "FM1\3TB50,0\3L0,\3!5\3*0,7\3",
         "&1,1,1,TB50,0\3FO0\3!10\3*0,3\3"},
        {"CC200", "vid_0b4d&pid_110a" + kUsbClass, "FM1\3TB50,0\3L0,\3!5\3FX7,0\3",
         "&1,1,1,TB50,0\3FO0\3!10\3"},
        {"CC250", "vid_0b4d&pid_110a" + kUsbClass, "FM1\3TB50,0\3L0,\3!5\3FX7,0\3",
         "&1,1,1,TB50,0\3FO0\3!10\3"},
        {"CC300", "vid_0b4d&pid_111c", "FM1\3TB50,0\3L0,\3!5\3FX7,0\3",
         "&1,1,1,TB50,0\3FO0\3!10\3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        // StepSize and the template keys are not read; the speed is used undivided.
        PlotterDriver* d = Attach(std::string("Type=") + c.type +
                                  "\nCutSpeed=5\nCutPressure=7\nStepSize=0.1\nMoveRel=X\n"
                                  "WindowsUSBID=stale\nAbsoluteCoords=0");
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(Key("WindowsUSBID"), c.usbId);
        EXPECT_FLOAT_EQ(d->stepSize, 0.05f);
        EXPECT_EQ(d->maxX, 60000);
        EXPECT_EQ(d->maxY, 24000);
        EXPECT_EQ(d->pageSize, 0);
        EXPECT_EQ(d->numberOfPens, 1);
        EXPECT_EQ(d->cutSpeed, 5);
        EXPECT_EQ(d->GetOrientation(), -1);
        EXPECT_STREQ(d->GetDeviceName(), "USB");
        EXPECT_EQ(d->CanAutoCalibrate(), 1);
        EXPECT_EQ(JobOutput(d, SmallJob), c.cutInit + "M100,200\3D300,200\3" + c.end);
    }
    // A plot job takes the plot speed and pressure; Reset has its own pieces.
    PlotterDriver* d = Attach("Type=CC100\nPlotSpeed=8\nPlotPressure=2");
    d->Init();
    d->Reset();
    d->Exit();
    EXPECT_EQ(ReadFile(Out()), "FM1\3TB50,0\3L0,\3M0,0\3");
    EXPECT_EQ(JobOutput(d, SmallJob, 0),
              "FM1\3TB50,0\3L0,\3!8\3*0,2\3M100,200\3D300,200\3&1,1,1,TB50,0\3FO0\3!10\3*0,3\3");
}

TEST_F(HeathTest, DiscoveryFindsTheCutterOfTheTypeByItsIds) {
    FakeCutter first, second;
    if (!first.IsOpen() || !second.IsOpen()) GTEST_SKIP() << "no pseudo-terminal";
    struct Device {
        const char* name;
        const char* vendor;
        const char* product;
        int cutter; // 0: no node, 1: first, 2: second
    };
    const struct {
        const char* title;
        const char* type;
        std::vector<Device> devices;
        int receiving; // 0: not found
    } cases[] = {
        {"CC300 ids", "CC300", {{"1-1", "0b4d", "111c", 1}}, 1},
        {"CC100 ids", "CC100", {{"1-1", "0b4d", "110a", 2}}, 2},
        {"wrong id", "CC100", {{"1-1", "0b4d", "111c", 1}}, 0},
        {"none", "CC200", {}, 0},
        {"junk id file", "CC200", {{"1-1", "0b4d", "11 0a", 1}}, 0},
        {"a device without a node", "CC200", {{"1-1", "0b4d", "110a", 0}}, 0},
        {"two devices, the one of the type", "CC300",
         {{"1-1", "0b4d", "110a", 1}, {"1-2", "0b4d", "111c", 2}}, 2},
        {"two of the type: the first", "CC100",
         {{"1-1", "0b4d", "110a", 1}, {"1-2", "0b4d", "110a", 2}}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        FakeUsbTree tree(DataFolder() / "usb");
        for (const Device& device : c.devices)
            tree.AddDevice(device.name, device.vendor, device.product,
                           device.cutter == 0   ? std::string()
                           : device.cutter == 1 ? first.PortPath()
                                                : second.PortPath());
        first.ClearReceived();
        second.ClearReceived();
        SdClearMessageBoxes();
        plotter_.aborted = 0;
        PlotterDriver* d = AttachKeys(std::string("Device=USB\nType=") + c.type);
        ASSERT_NE(d, nullptr);
        if (c.receiving == 0) PushMessageBoxAnswer(IDOK);
        Job(d, SmallJob);
        if (c.receiving == 0) {
            // Not found: reported and the job aborted, nothing sent anywhere.
            EXPECT_EQ(plotter_.aborted, 1);
            auto log = MessageBoxLog();
            ASSERT_EQ(log.size(), 1u);
            EXPECT_NE(log[0].text.find("No cutter with the USB ids vid_0b4d&pid_11"),
                      std::string::npos)
                << log[0].text;
            EXPECT_EQ(first.Received(), "");
            EXPECT_EQ(second.Received(), "");
            continue;
        }
        EXPECT_EQ(plotter_.aborted, 0);
        FakeCutter& cutter = c.receiving == 1 ? first : second;
        FakeCutter& other = c.receiving == 1 ? second : first;
        // The whole end piece: CC100's cut init ends in "*0,3" too.
        const std::string end = std::string("&1,1,1,TB50,0\3FO0\3!10\3") +
                                (std::string(c.type) == "CC100" ? "*0,3\3" : "");
        ASSERT_TRUE(cutter.WaitForReceived(end));
        EXPECT_EQ(cutter.Received().substr(0, 7), "FM1\3TB5");
        EXPECT_NE(cutter.Received().find("M100,200\3D300,200\3"), std::string::npos)
            << cutter.Received();
        EXPECT_EQ(other.Received(), "");
    }
}

TEST_F(HeathTest, RepliesSetTheAreaHeadAndCalibrationOnlyWhenTheyMakeSense) {
    FakeCutter cutter;
    if (!cutter.IsOpen()) GTEST_SKIP() << "no pseudo-terminal";
    FakeUsbTree tree(DataFolder() / "usb");
    tree.AddDevice("1-1", "0b4d", "110a", cutter.PortPath());
    PlotterDriver* d = AttachKeys("Device=USB\nType=CC200");
    ASSERT_NE(d, nullptr);

    const struct {
        const char* reply; // to "U"
        int result;
        LONG maxX, maxY;
    } areas[] = {
        {" 20000,9000\3", 1, 20000, 9000},
        {"", 0, 20000, 9000},           // no reply keeps the values
        {"xx,-5\3", 0, 20000, 9000},    // garbled: no limit set
        {" 0,0\3", 0, 20000, 9000},
        {"+30000\3", 1, 30000, 9000},
    };
    for (const auto& a : areas) {
        SCOPED_TRACE(a.reply);
        cutter.SetReply("U", a.reply);
        EXPECT_EQ(d->ReadSheetSize(), a.result);
        EXPECT_EQ(d->maxX, a.maxX);
        EXPECT_EQ(d->maxY, a.maxY);
    }
    cutter.SetReply("G", "150,250\3");
    d->headX = d->headY = 7;
    EXPECT_EQ(d->ReadHeadPos(), 1);
    EXPECT_EQ(d->headX, 150);
    EXPECT_EQ(d->headY, 250);
    cutter.SetReply("G", "");
    EXPECT_EQ(d->ReadHeadPos(), 0);
    EXPECT_EQ(d->headX, 150);

    // Calibration: a reply holding "0" succeeds.
    const struct {
        const char* reply;
        int result;
    } calibrations[] = {{"0\3", 1}, {"1\3", 0}, {"E1\3", 0}};
    for (const auto& c : calibrations) {
        SCOPED_TRACE(c.reply);
        cutter.ClearReceived();
        cutter.SetReply("TB23,", c.reply);
        d->headX = d->headY = 5;
        LONG r[6] = {9, 9, 9, 9, 9, 9};
        EXPECT_EQ(d->AutoCalibrate(1, 4000, 300, 1000, 2300, 6, r[0], r[1], r[2], r[3], r[4], r[5]),
                  c.result);
        EXPECT_TRUE(cutter.WaitForReceived("TB99,TB55,1,TB23,3000,2000"));
        if (c.result) {
            EXPECT_EQ(std::vector<LONG>(r, r + 6), (std::vector<LONG>{0, 3000, 0, 0, 2000, 0}));
            EXPECT_EQ(d->headX, 0);
        } else {
            EXPECT_EQ(r[1], 9);
            EXPECT_EQ(d->headX, 5);
        }
    }
}

} // namespace
