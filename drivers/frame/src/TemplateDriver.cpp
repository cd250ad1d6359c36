#include "driverframe/TemplateDriver.h"

#include <algorithm>
#include <cstdint>

#include <plotterdriver/DriverOwner.h>
#include <settings/CIniFile.h>
#include <win32/user.h>

#include "driverframe/DriverResources.h"
#include "driverframe/DriverStrings.h"
#include "driverframe/SyncBlock.h"

TemplateDriver::TemplateDriver(const DriverResources& texts, const PortPolicy& policy)
    : SaturatingBez3Base(2), port_(*this, texts), texts_(texts) {
    port_.SetPolicy(policy);
    port_.BindPortLibrary();
}

void TemplateDriver::SectionLoaded(CIniFile&) {}

void TemplateDriver::TemplatesConverted() {}

TemplateDriver::~TemplateDriver() = default;

bool TemplateDriver::CanAttach() const {
    return texts_.IsLoaded();
}

void TemplateDriver::Bind(const char* deviceName, const char* iniPath) {
    sectionName_ = deviceName ? deviceName : "";
    iniPath_ = iniPath ? iniPath : "";
    LoadSection();
}

void TemplateDriver::LoadSection() {
    CIniFile ini(iniPath_.c_str());
    section_ = DeviceSection();
    if (!section_.Load(ini, sectionName_.c_str(), defaultToolOffset_, defaultDevice_))
        texts_.Show(IDS_BAD_STEP_SIZE, MB_OK | MB_ICONEXCLAMATION, sectionName_.c_str());
    SectionLoaded(ini);
    stepSize = section_.stepSize;
    maxX = section_.maxX;
    maxY = section_.maxY;
    pageSize = section_.pageSize;
    numberOfPens = section_.numberOfPens;
    plotSpeed = section_.plotSpeed;
    cutSpeed = section_.cutSpeed;
    SetErrorTolerance(section_.accuracy);
    UpdateTransform();
    std::int64_t timeOut = std::max(section_.timeOut, 0) * std::int64_t(1000);
    port_.SetTimeOut(unsigned(std::min<std::int64_t>(timeOut, 0xFFFFFFFFu)));
}

void TemplateDriver::UpdateTransform() {
    transform_.Set(section_.swapXY, section_.origoPos, section_.mirrorToX, section_.mirrorToY,
                   section_.paperWidth != 0 ? section_.paperWidth : maxY,
                   section_.paperHeight != 0 ? section_.paperHeight : maxX);
}

void TemplateDriver::Abort() {
    // The driver's own refusal: the job ends without its end sequence.
    port_.Refuse();
    if (owner) owner->aborted = 1;
}

void TemplateDriver::Init() {
    commandTooLongReported_ = false;
    outsideReported_ = false;
    // Limits that are no lengths (0, negative, not a number) would clip every job to nothing:
    // the job is refused, naming the key, before the port is opened.
    if (const char* key = maxX <= 0 ? "MaxX" : maxY <= 0 ? "MaxY" : nullptr) {
        port_.Close();
        std::string where =
            std::string(key) + " of the device section \"" + sectionName_ + "\" (" + iniPath_ + ")";
        texts_.Show(IDS_BAD_CUTTING_AREA, MB_OK | MB_ICONEXCLAMATION, where.c_str());
        Abort();
        return;
    }
    std::string device;
    {
        CIniFile ini(iniPath_.c_str());
        device = static_cast<const char*>(
            ini.GetCString(sectionName_.c_str(), "Device", defaultDevice_));
    }
    bool opened =
        port_.Open(device, section_.windowsUSBID, iniPath_, sectionName_, jobName ? jobName : "");
    section_.ConvertTemplates(dollarIsText_);
    TemplatesConverted();
    if (opened) SendSyncBlock();
}

void TemplateDriver::Exit() {
    port_.Close();
}

const char* TemplateDriver::GetDeviceName() {
    return section_.device.c_str();
}

void TemplateDriver::Write(const char* data, int length) {
    port_.Write(data, length);
}

int TemplateDriver::ReadWithTimeout(char* buffer, int size, unsigned milliseconds,
                                    const char* terminators) {
    return port_.ReadWithTimeout(buffer, size, milliseconds, terminators);
}

int TemplateDriver::WriteWithTimeout(unsigned milliseconds, const char* data, int length) {
    return port_.WriteWithTimeout(milliseconds, data, length);
}

bool TemplateDriver::Send(Cmd command, std::initializer_list<long> numbers) {
    return Send(section_[command], numbers);
}

bool TemplateDriver::Send(const CommandTemplate& command, std::initializer_list<long> numbers,
                          const char* argument) {
    char text[CommandTemplate::MaxCommandLength + 1];
    if (!command.Format(text, numbers.begin(), int(numbers.size()), argument)) {
        if (!commandTooLongReported_) {
            commandTooLongReported_ = true;
            texts_.Show(IDS_COMMAND_TOO_LONG, MB_OK | MB_ICONEXCLAMATION, sectionName_.c_str());
            Abort();
        }
        return false;
    }
    Write(text, -1);
    return true;
}

void TemplateDriver::ReportOutsideOnce() {
    if (outsideReported_) return;
    outsideReported_ = true;
    texts_.Show(IDS_NEGATIVE_COORDINATE, MB_OK);
}

void TemplateDriver::SendSyncBlock() {
    if (!section_.useAutoSync || section_[Cmd::SetSyncData].IsEmpty()) return;
    SyncBlock sync;
    if (!sync.Read(SyncBlock::PlotIniBeside(iniPath_).c_str())) return;
    const long* v = sync.values;
    Send(Cmd::SetSyncData, {v[0], v[1], v[2], v[3], v[4]});
    Send(Cmd::StartSyncProc);
}
