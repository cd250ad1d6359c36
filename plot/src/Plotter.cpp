#include "plot/Plotter.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include <mfc/CWinApp.h>
#include <pathkit/AbortHandler.h>
#include <plotterdriver/DeviceFile.h>
#include <plotterdriver/PlotterDriver.h>
#include <settings/CIniFile.h>
#include <win32/kernel.h>
#include <win32/module.h>
#include <win32/user.h>

#include "DataFolder.h"
#include "DriverAxes.h"
#include "JobSheetResources.h"
#include "JobSheetStrings.h"
#include "PlotUnit.h"
#include "SpoolJobFile.h"

namespace {

// Library handles of 32 or less are failures.
bool IsLoaded(HMODULE module) {
    return reinterpret_cast<UINT_PTR>(module) > 32;
}

LONG StepsOf(float mm, float step) {
    return LONG(std::floor(mm / step + 0.5f));
}

// Limits in force when no driver could be attached: 470 mm across, 2500 mm along the media.
constexpr float kFallbackStep = 0.025f;
const LONG kFallbackMaxX = StepsOf(470.0f, kFallbackStep);
const LONG kFallbackMaxY = StepsOf(2500.0f, kFallbackStep);

// Whether the settings file has a section of that name (names match without case).
bool SectionExists(const std::string& ini, const std::string& section) {
    char names[32768];
    DWORD n = GetPrivateProfileSectionNamesA(names, sizeof names, ini.c_str());
    for (const char* name = names; name < names + n && *name; name += std::strlen(name) + 1) {
        if (std::strlen(name) == section.size() &&
            std::equal(section.begin(), section.end(), name, [](char a, char b) {
                return std::tolower(static_cast<unsigned char>(a)) ==
                       std::tolower(static_cast<unsigned char>(b));
            }))
            return true;
    }
    // A list cut short at the buffer's end may have left the section out: ask for its keys.
    if (n + 2 >= sizeof names) {
        char keys[8];
        return GetPrivateProfileStringA(section.c_str(), nullptr, "", keys, sizeof keys,
                                        ini.c_str()) > 0;
    }
    return false;
}

const char* const kPortNames[] = {
    "LPT1",  "LPT2",  "LPT3",  "LPT4",  "COM1",  "COM2",  "COM3",  "COM4",
    "LPT1:", "LPT2:", "LPT3:", "LPT4:", "COM1:", "COM2:", "COM3:", "COM4:"};

} // namespace

Plotter::Plotter() = default;

Plotter::Plotter(const Plotter& other)
    : DriverOwner(other), abortHandler(other.abortHandler), reserved1(other.reserved1),
      reserved2(other.reserved2), useSpooler(other.useSpooler),
      spoolDirectory(other.spoolDirectory), jobName(other.jobName), media(other.media),
      color(other.color), deviceName(other.deviceName), savedDevice(other.savedDevice),
      sheetText(other.sheetText), sheetSizeText(other.sheetSizeText), copies(other.copies),
      spoolFile(other.spoolFile), ownsBinding_(false) {}

Plotter& Plotter::operator=(const Plotter& other) {
    if (this == &other) return *this;
    // A binding of our own that the other does not share would be lost: release it first.
    bool keepsOwnBinding = ownsBinding_ && driverLibrary == other.driverLibrary;
    if (ownsBinding_ && !keepsOwnBinding) Detach();
    DriverOwner::operator=(other);
    abortHandler = other.abortHandler;
    reserved1 = other.reserved1;
    reserved2 = other.reserved2;
    useSpooler = other.useSpooler;
    spoolDirectory = other.spoolDirectory;
    jobName = other.jobName;
    media = other.media;
    color = other.color;
    deviceName = other.deviceName;
    savedDevice = other.savedDevice;
    sheetText = other.sheetText;
    sheetSizeText = other.sheetSizeText;
    copies = other.copies;
    spoolFile = other.spoolFile;
    ownsBinding_ = keepsOwnBinding;
    return *this;
}

Plotter::~Plotter() {
    Detach();
}

// ---- virtual slots ----

int Plotter::IsAborted() {
    if (aborted) return aborted;
    if (abortHandler) {
        abortHandler->CheckAbort();
    } else {
        // One waiting message, if any; a quit message stays for the main loop.
        MSG msg;
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE) && msg.message != WM_QUIT &&
            PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return aborted;
}

float Plotter::MMToUnit(float mm) {
    return float(PlotUnit.FromMM(mm));
}

float Plotter::UnitToMM(float value) {
    return float(PlotUnit.ToMM(value));
}

const char* Plotter::UnitName() {
    return PlotUnit.GetName();
}

void Plotter::GetPlotSize(float& width, float& height) {
    width = height = 1000;
}

// ---- binding ----

int Plotter::Attach(const char* driverFile, const char* device, const char* iniPath,
                    AbortHandler* handler) {
    Detach();
    deviceName = device;
    abortHandler = handler;
    aborted = 0;

    // Every failure is told, naming the section and its file, before anything else happens.
    const std::string ini = iniPath ? iniPath : "";
    const std::string section = device ? device : "";
    const std::string sectionInFile = "\"" + section + "\" (" + ini + ")";
    auto tell = [](UINT id, const char* fallback, const std::string& first,
                   const std::string& second = {}) {
        AfxMessageBox(JobSheetText(id, fallback, first.c_str(), second.c_str()),
                      MB_OK | MB_ICONEXCLAMATION);
    };
    bool known = true;
    if (section.empty()) {
        tell(IDS_NO_DEVICE_CHOSEN,
             "No cutter is chosen. Please choose one of the cutters defined in %s.", ini);
        known = false;
    } else if (!ini.empty() && !SectionExists(ini, section)) {
        tell(IDS_DEVICE_NOT_DEFINED, "The cutter \"%s\" is not defined in %s.", section, ini);
        known = false;
    }

    driverLibrary = known && driverFile ? LoadLibraryA(driverFile) : nullptr;
    ownsBinding_ = IsLoaded(driverLibrary);
    PlotterDriver* attached = nullptr;
    if (known && !ownsBinding_) {
        tell(IDS_DRIVER_NOT_LOADED, "The driver %s cannot be loaded for the cutter %s.",
             driverFile ? driverFile : "", sectionInFile);
    }
    if (ownsBinding_) {
        if (FARPROC entry = GetProcAddress(driverLibrary, AttachEntryName)) {
            attached = reinterpret_cast<AttachProc>(reinterpret_cast<void (*)()>(entry))(
                section.c_str(), ini.c_str());
            if (!attached)
                tell(IDS_DRIVER_REFUSED, "The driver %s could not be started for the cutter %s.",
                     driverFile, sectionInFile);
        } else {
            CString text = JobSheetText(IDS_DRIVER_WITHOUT_ATTACH,
                                        "The driver %s has no Attach entry; the device %s "
                                        "cannot be used.",
                                        driverFile, device);
            AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
        }
    }

    if (!attached) {
        stepSize = kFallbackStep;
        maxX = kFallbackMaxX;
        maxY = kFallbackMaxY;
        pageSize = 0;
        numberOfPens = 1;
        return -1;
    }
    driver = attached;
    driver->owner = this;
    stepSize = driver->stepSize;
    DriverAxes::TakeLimits(*this, *driver);
    pageSize = driver->pageSize;
    numberOfPens = driver->numberOfPens;
    return 0;
}

void Plotter::Detach() {
    if (ownsBinding_ && IsLoaded(driverLibrary)) {
        if (driver) {
            driver->Release();
            if (driver->owner == this) driver->owner = nullptr;
        }
        FreeLibrary(driverLibrary);
    }
    ownsBinding_ = false;
    driver = nullptr;
    driverLibrary = nullptr;
    abortHandler = nullptr;
}

LONG Plotter::InSteps(float mm) const {
    double steps = double(mm) / double(stepSize) + 0.5;
    if (std::isnan(steps)) return 0;
    return DriverAxes::Saturate(std::int64_t(std::clamp(std::trunc(steps), -4e18, 4e18)));
}

// ---- forwarders ----

int Plotter::Setup(CWnd* parent) {
    if (!driver) return 0;
    int result = driver->Setup(parent);
    // The driver reloaded its section: the next cut takes its step and limits as attaching
    // does, not the ones it had before.
    if (result) {
        stepSize = driver->stepSize;
        DriverAxes::TakeLimits(*this, *driver);
        pageSize = driver->pageSize;
        numberOfPens = driver->numberOfPens;
    }
    return result;
}

void Plotter::Reset() {
    if (driver) {
        driver->Reset();
        GetHeadPos();
    }
    pagedDistance = 0;
}

void Plotter::Abort() {
    aborted = 1;
    if (driver) driver->Abort();
}

void Plotter::Init(int setHead) {
    if (!driver) return;
    if (useSpooler) {
        CIniFile ini(GetDevicesIni());
        savedDevice = ini.GetCString(deviceName, "Device", "LPT1:");
        SYSTEMTIME now;
        GetLocalTime(&now);
        CString file = SpoolJobFile::FileName(spoolDirectory, jobName, now, sheetText);
        spoolFile = file;
        // Device goes back to its saved value however this block is left.
        DeviceRedirect redirect(ini, deviceName, savedDevice, file);
        driver->Init();
        SpoolJobFile::WriteHeader(*driver,
                                  SpoolJobFile::HeaderText(jobName, deviceName, media, color,
                                                           sheetSizeText, sheetText, copies));
    } else {
        driver->Init();
    }
    if (setHead) SetHeadPos();
}

void Plotter::Exit() {
    if (driver) driver->Exit();
}

void Plotter::HPStart() {
    if (driver) driver->HPStart();
}

void Plotter::HPEnd() {
    if (driver) driver->HPEnd();
}

void Plotter::Start(int cut) {
    if (driver) driver->Start(cut);
}

void Plotter::SetOrigin(LONG x, LONG y) {
    if (!driver) return;
    DriverAxes::Point p = DriverAxes::Swap(x, y);
    driver->SetOrigin(p.x, p.y);
}

void Plotter::End() {
    if (!driver) return;
    driver->End();
    GetHeadPos();
}

void Plotter::SelectPen(unsigned pen) {
    if (driver && pen != currentPen && pen != unsigned(-1)) driver->SelectPen(pen);
    currentPen = pen;
}

void Plotter::SetSpeed(int fast) {
    if (driver) driver->SetSpeed(fast ? driver->cutSpeed : driver->plotSpeed);
}

void Plotter::MoveTo(LONG x, LONG y) {
    if (aborted || !driver) return;
    DriverAxes::Point p = DriverAxes::FromJob(*this, x, y);
    driver->MoveTo(p.x, p.y);
}

void Plotter::LineTo(LONG x, LONG y) {
    if (aborted || !driver) return;
    DriverAxes::Point p = DriverAxes::FromJob(*this, x, y);
    driver->LineTo(p.x, p.y);
}

void Plotter::CurveTo(LONG x1, LONG y1, LONG x2, LONG y2, LONG x3, LONG y3, LONG x4, LONG y4) {
    if (aborted || !driver) return;
    DriverAxes::Point p1 = DriverAxes::FromJob(*this, x1, y1);
    DriverAxes::Point p2 = DriverAxes::FromJob(*this, x2, y2);
    DriverAxes::Point p3 = DriverAxes::FromJob(*this, x3, y3);
    DriverAxes::Point p4 = DriverAxes::FromJob(*this, x4, y4);
    driver->CurveTo(p1.x, p1.y, p2.x, p2.y, p3.x, p3.y, p4.x, p4.y);
}

void Plotter::GetHeadPos() {
    if (!driver) return;
    LONG x = 0, y = 0;
    driver->GetHeadPos(x, y);
    DriverAxes::TakeHead(*this, x, y);
}

void Plotter::SetHeadPos() {
    if (!driver) return;
    DriverAxes::Point head = DriverAxes::GiveHead(*this);
    driver->SetHeadPos(head.x, head.y);
}

int Plotter::ReadSheetSize() {
    if (!driver || !driver->ReadSheetSize()) return 0;
    DriverAxes::TakeLimits(*this, *driver);
    return 1;
}

int Plotter::ReadHeadPos() {
    if (!driver || !driver->ReadHeadPos()) return 0;
    DriverAxes::TakeHead(*this, driver->headX, driver->headY);
    return 1;
}

int Plotter::GetOrientation() {
    return driver ? driver->GetOrientation() : 0;
}

const char* Plotter::GetDeviceName() {
    const char* name = driver ? driver->GetDeviceName() : nullptr;
    return name ? name : "";
}

void Plotter::Write(const char* data, int length) {
    if (driver && data) driver->Write(data, length);
}

int Plotter::CanAutoCalibrate() {
    return driver ? driver->CanAutoCalibrate() : 0;
}

int Plotter::AutoCalibrate(LONG a1, LONG a2, LONG a3, LONG a4, LONG a5, LONG a6, LONG& r1, LONG& r2,
                           LONG& r3, LONG& r4, LONG& r5, LONG& r6) {
    return driver ? driver->AutoCalibrate(a1, a2, a3, a4, a5, a6, r1, r2, r3, r4, r5, r6) : 0;
}

int Plotter::HeadPosDelay() {
    return driver ? driver->headPosDelay : 0;
}

void Plotter::SetJobName(const char* name) {
    if (driver) driver->jobName = name ? name : "";
}

void Plotter::Home() {
    MoveTo(DriverAxes::Saturate(std::int64_t(homeX) - headX),
           DriverAxes::Saturate(std::int64_t(homeY) - headY));
    headX = homeX;
    headY = homeY;
}

int Plotter::isPlotFile() {
    std::string name = GetDeviceName();
    if (IsDeviceFile(name)) return 0; // a device file named directly is a port
    for (char& c : name)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    for (const char* port : kPortNames)
        if (name == port) return 0;
    return 1;
}
