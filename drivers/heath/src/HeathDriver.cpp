#include "HeathDriver.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <settings/CIniFile.h>
#include <win32/user.h>

#include <driverframe/DriverResources.h>
#include <driverframe/Saturate.h>

#include "HeathStrings.h"
#include "UsbDiscovery.h"

namespace {

constexpr unsigned kRequestTimeout = 200; // milliseconds
constexpr unsigned kReplyTimeout = 500;
constexpr unsigned kCalibrateRequestTimeout = 5000;
constexpr unsigned kCalibrateReplyTimeout = 60000;
constexpr int kDefaultTimeOut = 25000; // milliseconds

// A model family: its USB ids and the pieces of its commands, each sent with ETX after it.
struct Model {
    const char* productId;
    const char* usbId; // written to WindowsUSBID
    const char* pressure; // the last piece of the speed/pressure command
    const char* end;
};

const Model kCC100 = {"vid_0b4d&pid_110a",
                      "vid_0b4d&pid_110a{a5dcbf10-6530-11d2-901f-00c04fb951ed}", "*0,%d",
                      "&1,1,1,TB50,0\\3FO0\\3!10\\3*0,3\\3"};
const Model kCC200 = {kCC100.productId, kCC100.usbId, "FX%d,0", "&1,1,1,TB50,0\\3FO0\\3!10\\3"};
const Model kCC300 = {"vid_0b4d&pid_111c", "vid_0b4d&pid_111c", kCC200.pressure, kCC200.end};

const Model& ModelOf(const std::string& type) {
    if (type == "CC100") return kCC100;
    if (type == "CC300") return kCC300;
    return kCC200;
}

// The speed/pressure command as a stored template (ETX written "\3").
std::string SpeedCommand(const Model& model, long speed, long pressure) {
    char last[40];
    std::snprintf(last, sizeof last, model.pressure, int(Saturate32(pressure)));
    return "FM1\\3TB50,0\\3L0,\\3!" + std::to_string(Saturate32(speed)) + "\\3" + last + "\\3";
}

// The number at `text`, when one stands there.
bool NumberAt(const char* text, long& value) {
    char* end = nullptr;
    long long v = std::strtoll(text, &end, 10);
    if (end == text) return false;
    value = long(Saturate32(v));
    return true;
}

} // namespace

HeathDriver::HeathDriver(const DriverResources& texts) : TemplateEmitter(texts, [] {
    EmitterSwitches s;
    s.transform = false;
    s.splitRelative = false;
    s.polyLines = false;
    s.compensation = false;
    s.blankForEmptyEnd = false;
    s.gpgl = false;
    s.syncBlock = false;
    s.autoCalibrate = false;
    return s;
}()) {
    stepSize = 0.025f;
    productId_ = kCC100.productId;
}

void HeathDriver::SectionLoaded(CIniFile& ini) {
    TemplateEmitter::SectionLoaded(ini);
    const char* s = SectionName().c_str();
    DeviceSection& d = section_;
    auto steps = [&](const char* key, double def) {
        return DeviceSection::ToSteps(ini.GetFloat(s, key, def), StepSize);
    };
    d.stepSize = StepSize;
    d.maxX = steps("MaxX", 3000);
    d.maxY = steps("MaxY", 1200);
    d.pageSize = steps("PageSize", 0);
    d.accuracy = steps("Accuracy", 0.2);
    if (d.accuracy <= 1) d.accuracy = 2;
    d.numberOfPens = 1;
    d.absoluteCoords = 1;
    d.isGPGL = 0;
    d.device = "USB";
    d.plotSpeed = int(ini.GetInt(s, "PlotSpeed", 10));
    d.cutSpeed = int(ini.GetInt(s, "CutSpeed", 3));
    const long plotPressure = long(int(ini.GetInt(s, "PlotPressure", 1)));
    const long cutPressure = long(int(ini.GetInt(s, "CutPressure", 3)));
    int timeOut = int(ini.GetInt(s, "TimeOut", kDefaultTimeOut));
    PortPolicy policy = port_.Policy();
    policy.fixedTimeOut = timeOut > 0 ? timeOut : kDefaultTimeOut;
    port_.SetPolicy(policy);

    const Model& model =
        ModelOf(static_cast<const char*>(ini.GetCString(s, "Type", "CC100")));
    productId_ = model.productId;
    d.windowsUSBID = model.usbId;
    // The port library finds the cutter by this key.
    ini.WriteString(s, "WindowsUSBID", model.usbId);
    if (static_cast<const char*>(ini.GetCString(s, "Device", ""))[0] == '\0')
        ini.WriteString(s, "Device", "USB");
    ini.Flush();

    for (int i = 0; i < int(Cmd::Count); ++i) d.templates[i].Set("");
    d[Cmd::CutInit].Set(SpeedCommand(model, d.cutSpeed, cutPressure));
    d[Cmd::PlotInit].Set(SpeedCommand(model, d.plotSpeed, plotPressure));
    d[Cmd::Reset].Set("FM1\\3TB50,0\\3L0,\\3M0,0\\3");
    d[Cmd::End].Set(model.end);
    d[Cmd::MoveRel].Set("M#,#\\3");
    d[Cmd::LineRel].Set("D#,#\\3");
    d[Cmd::GetPlottingArea].Set("U");
    d[Cmd::GetHeadPos].Set("G");
}

void HeathDriver::Init() {
    std::string device;
    {
        CIniFile ini(IniPath().c_str());
        device = static_cast<const char*>(ini.GetCString(SectionName().c_str(), "Device", "USB"));
    }
    if (device == "USB" && maxX > 0 && maxY > 0 && !FindUsbCutter(productId_)) {
        port_.Close();
        texts_.Show(IDS_CUTTER_NOT_FOUND, MB_OK | MB_ICONEXCLAMATION, productId_.c_str());
        Abort();
        return;
    }
    TemplateEmitter::Init();
}

int HeathDriver::Exchange(const char* request, unsigned requestTimeout, char* reply, int size,
                          unsigned replyTimeout) {
    const bool openedHere = !port_.IsOpen();
    if (openedHere) Init();
    int n = 0;
    if (port_.IsOpen() && WriteWithTimeout(requestTimeout, request, -1))
        n = ReadWithTimeout(reply, size, replyTimeout, nullptr);
    if (openedHere) Exit();
    if (n < 0) n = 0;
    reply[n] = '\0';
    return n;
}

int HeathDriver::ReadSheetSize() {
    char reply[80];
    if (Exchange("U", kRequestTimeout, reply, 79, kReplyTimeout) == 0) return 0;
    // A garbled reply sets no limit: only positive numbers are taken.
    bool took = false;
    long value = 0;
    if (NumberAt(reply + 1, value) && value > 0) maxX = LONG(value), took = true;
    const char* comma = std::strchr(reply, ',');
    if (comma && NumberAt(comma + 1, value) && value > 0) maxY = LONG(value), took = true;
    return took;
}

int HeathDriver::ReadHeadPos() {
    char reply[80];
    if (Exchange("G", kRequestTimeout, reply, 79, kReplyTimeout) == 0) return 0;
    long value = 0;
    if (NumberAt(reply, value)) headX = LONG(value);
    const char* comma = std::strchr(reply + 1, ',');
    if (comma && NumberAt(comma + 1, value)) headY = LONG(value);
    return 1;
}

int HeathDriver::GetOrientation() {
    return -1;
}

const char* HeathDriver::GetDeviceName() {
    return "USB";
}

int HeathDriver::CanAutoCalibrate() {
    return 1;
}

int HeathDriver::AutoCalibrate(LONG, LONG a2, LONG a3, LONG a4, LONG a5, LONG, LONG& r1, LONG& r2,
                               LONG& r3, LONG& r4, LONG& r5, LONG& r6) {
    const LONG dx = Saturate32(std::int64_t(a2) - a4);
    const LONG dy = Saturate32(std::int64_t(a5) - a3);
    char request[64];
    std::snprintf(request, sizeof request, "TB99,TB55,1,TB23,%d,%d", int(dx), int(dy));
    char reply[81];
    const bool openedHere = !port_.IsOpen();
    if (openedHere) Init();
    int n = 0;
    if (port_.IsOpen() && WriteWithTimeout(kCalibrateRequestTimeout, request, -1))
        n = ReadWithTimeout(reply, 80, kCalibrateReplyTimeout, "\x03\r\n");
    if (openedHere) Exit();
    if (n <= 0 || !std::memchr(reply, '0', std::size_t(n))) return 0;
    r1 = 0;
    r2 = dx;
    r3 = 0;
    r4 = 0;
    r5 = dy;
    r6 = 0;
    headX = 0;
    headY = 0;
    return 1;
}
