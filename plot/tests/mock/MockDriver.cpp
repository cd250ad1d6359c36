// A driver plug-in that records every call. Init opens the file its Device key names (when
// it names one that can be opened) and Write appends to it, as a file-output driver does.

#include <cstdio>
#include <stdexcept>
#include <string>

#include <plotterdriver/PlotterDriver.h>
#include <win32/kernel.h>

#include "MockControl.h"

namespace {

MockControl control;

std::string Line(const char* name, std::initializer_list<long> values) {
    std::string line = name;
    for (long v : values)
        line += " " + std::to_string(v);
    return line;
}

class MockDriver : public PlotterDriver {
public:
    ~MockDriver() { Close(); }

    int Setup(CWnd*) override {
        Record("Setup", {});
        return 1;
    }
    void Release() override { Record("Release", {}); }
    void Reset() override { Record("Reset", {}); }
    void Abort() override { Record("Abort", {}); }
    void Init() override {
        Record("Init", {});
        if (control.throwInInit) throw std::runtime_error("the port cannot be opened");
        char device[512];
        GetPrivateProfileStringA(control.attachedSection.c_str(), "Device", "LPT1", device,
                                 sizeof device, control.attachedIni.c_str());
        control.openedDevice = device;
        Close();
        if (control.openedDevice.find('/') != std::string::npos)
            file_ = std::fopen(control.openedDevice.c_str(), "wb");
    }
    void Exit() override {
        Record("Exit", {});
        Close();
    }
    void HPStart() override { Record("HPStart", {}); }
    void HPEnd() override { Record("HPEnd", {}); }
    int Start(int cut) override {
        Record("Start", {cut});
        return 0;
    }
    void SetOrigin(LONG x, LONG y) override { Record("SetOrigin", {x, y}); }
    void End() override { Record("End", {}); }
    void SelectPen(unsigned pen) override { Record("SelectPen", {long(pen)}); }
    void SetSpeed(int speed) override { Record("SetSpeed", {speed}); }
    void MoveTo(LONG x, LONG y) override {
        Record("MoveTo", {x, y});
        headX = x;
        headY = y;
    }
    void LineTo(LONG x, LONG y) override {
        Record("LineTo", {x, y});
        headX = x;
        headY = y;
    }
    void CurveTo(LONG x1, LONG y1, LONG x2, LONG y2, LONG x3, LONG y3, LONG x4, LONG y4) override {
        Record("CurveTo", {x1, y1, x2, y2, x3, y3, x4, y4});
        headX = x4;
        headY = y4;
    }
    void GetHeadPos(LONG& x, LONG& y) override {
        Record("GetHeadPos", {});
        PlotterDriver::GetHeadPos(x, y);
    }
    void SetHeadPos(LONG& x, LONG& y) override {
        Record("SetHeadPos", {x, y});
        PlotterDriver::SetHeadPos(x, y);
    }
    int ReadSheetSize() override {
        Record("ReadSheetSize", {});
        if (!control.readSheetSize) return 0;
        maxX = control.sheetX;
        maxY = control.sheetY;
        return 1;
    }
    int ReadHeadPos() override {
        Record("ReadHeadPos", {});
        if (!control.readHeadPos) return 0;
        headX = control.replyX;
        headY = control.replyY;
        return 1;
    }
    int GetOrientation() override {
        Record("GetOrientation", {});
        return 1;
    }
    const char* GetDeviceName() override { return control.deviceName.c_str(); }
    void Write(const char* data, int length) override {
        std::string bytes = length < 0 ? std::string(data) : std::string(data, size_t(length));
        Record("Write", {long(bytes.size())});
        if (file_) std::fwrite(bytes.data(), 1, bytes.size(), file_);
    }
    int CanAutoCalibrate() override {
        Record("CanAutoCalibrate", {});
        return 1;
    }
    int AutoCalibrate(LONG a1, LONG a2, LONG a3, LONG a4, LONG a5, LONG a6, LONG& r1, LONG& r2,
                      LONG& r3, LONG& r4, LONG& r5, LONG& r6) override {
        Record("AutoCalibrate", {a1, a2, a3, a4, a5, a6});
        r1 = a6, r2 = a5, r3 = a4, r4 = a3, r5 = a2, r6 = a1;
        return 1;
    }

    void Bind() {
        stepSize = control.stepSize;
        maxX = control.maxX;
        maxY = control.maxY;
        pageSize = control.pageSize;
        numberOfPens = control.numberOfPens;
        plotSpeed = control.plotSpeed;
        cutSpeed = control.cutSpeed;
        headPosDelay = control.headPosDelay;
        headX = headY = 0;
    }

private:
    void Record(const char* name, std::initializer_list<long> values) {
        control.calls.push_back(Line(name, values));
    }
    void Close() {
        if (file_) std::fclose(file_);
        file_ = nullptr;
    }

    std::FILE* file_ = nullptr;
};

MockDriver driver;

} // namespace

extern "C" __attribute__((visibility("default"))) PlotterDriver* Attach(const char* deviceName,
                                                                        const char* iniPath) {
    control.calls.push_back(std::string("Attach ") + deviceName);
    control.attachedSection = deviceName;
    control.attachedIni = iniPath;
    if (control.attachReturnsNull) return nullptr;
    driver.Bind();
    return &driver;
}

extern "C" __attribute__((visibility("default"))) MockControl* MockControlBlock() {
    return &control;
}
