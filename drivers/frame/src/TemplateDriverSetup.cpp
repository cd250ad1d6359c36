// The template-language drivers' setup sheet: the section's keys loaded as the driver reads
// them, the variant's pages, and the reload after OK.

#include <memory>

#include <mfc/CWinApp.h>
#include <plotterdriver/DriverOwner.h>
#include <settings/CIniFile.h>
#include <win32/user.h>

#include "driverframe/CSetupSheet.h"
#include "driverframe/DriverResources.h"
#include "driverframe/DriverStrings.h"
#include "driverframe/SetupPages.h"
#include "driverframe/TemplateDriver.h"

namespace {

// The framework's resource source switched to the driver's library, restored on every path.
class ResourceSource {
public:
    explicit ResourceSource(HINSTANCE module) : previous_(AfxGetResourceHandle()) {
        AfxSetResourceHandle(module);
    }
    ~ResourceSource() { AfxSetResourceHandle(previous_); }
    ResourceSource(const ResourceSource&) = delete;
    ResourceSource& operator=(const ResourceSource&) = delete;

private:
    HINSTANCE previous_;
};

// "cutdrv-coral-res.DLL" gives "cutdrv-coral.dll".
std::string DriverFileOf(const std::string& resourceModule) {
    std::string name = resourceModule;
    std::string::size_type res = name.rfind("-res.");
    if (res != std::string::npos) name.erase(res);
    return name + ".dll";
}

const char* const kTemplates[] = {
    "PlotInit", "CutInit",   "MoveRel",    "LineRel", "Reset",           "SetOrigin", "SetDepth",
    "SetSpeed", "SelectPen", "Initialize", "End",     "GetPlottingArea", "Bezier",    "GetHeadPos"};

void LoadKeys(SetupValues& v, CIniFile& ini, const SetupVariant& variant,
              const DriverResources& texts) {
    const char* s = v.Section().c_str();
    v.AddFixed(ini, "Driver", variant.driverFile.c_str());
    v.AddText(ini, "Device", variant.defaultDevice.c_str());
    SetupValues::Field& step = v.AddFloat(ini, "StepSize", 0.025);
    if (!(step.real > 0)) {
        texts.Show(IDS_BAD_STEP_SIZE, MB_OK | MB_ICONEXCLAMATION, s);
        // The driver uses the default: that is what it reads now.
        step.real = step.loadedReal = 0.025f;
    }
    v.AddFloat(ini, "MaxX", 3000);
    v.AddFloat(ini, "MaxY", 1200);
    v.AddFloat(ini, "PageSize", 0);
    v.AddInt(ini, "NumberOfPens", 1);
    v.AddInt(ini, "AbsoluteCoords", 0);
    v.AddFloat(ini, "Accuracy", 0.2, 100);
    if (variant.toolOffset) v.AddFloat(ini, "ToolOffset", variant.defaultToolOffset);
    v.AddInt(ini, "PlotSpeed", 400);
    v.AddInt(ini, "CutSpeed", 200);
    for (const char* key : kTemplates)
        v.AddText(ini, key, "");
    if (variant.linePoints) {
        v.AddInt(ini, "MuliplePoints", 0);
        v.AddText(ini, "StartLine", "PD#,#");
        v.AddText(ini, "ContinueLine", ",#,#");
        v.AddText(ini, "EndLine", ";");
    }
    if (variant.gpgl) v.AddInt(ini, "isGPGL", 0);
    if (variant.serial) {
        v.AddInt(ini, "BaudRate", 4);
        v.AddInt(ini, "Bits", 1);
        v.AddInt(ini, "Parity", 0);
        v.AddInt(ini, "StopBits", 1);
        v.AddInt(ini, "DTR/DSR", 0);
        // Without their keys the boxes show what FlowCtrl means to the port library.
        int flow = int(ini.GetInt(s, "FlowCtrl", 1));
        SetupValues::Field& rts = v.AddInt(ini, "RTS/CTS", flow & 1);
        SetupValues::Field& xon = v.AddInt(ini, "XON/XOFF", (flow & 2) ? 1 : 0);
        rts.number = rts.loadedNumber = rts.loadedNumber != 0;
        xon.number = xon.loadedNumber = xon.loadedNumber != 0;
        rts.partner = "XON/XOFF";
        xon.partner = "RTS/CTS";
    }
    if (variant.serial && variant.timeOut) {
        SetupValues::Field& timeOut = v.AddInt(ini, "TimeOut", 60);
        // The loader takes 0 or less as 60.
        if (timeOut.number <= 0) timeOut.number = timeOut.loadedNumber = 60;
    }
    if (variant.transform)
        for (const char* key : {"SwapXY", "OrigoPos", "MirrorToX", "MirrorToY"})
            v.AddInt(ini, key, 0);
    if (variant.pause) v.AddInt(ini, "Pause", 500);
    if (variant.force) {
        v.AddInt(ini, "Force", 1);
        v.AddText(ini, "ForceCmd", "");
    }
    if (variant.acceleration) {
        v.AddText(ini, "Acceleration", "0.7");
        v.AddText(ini, "SetAcceleration", "");
    }
}

} // namespace

int TemplateDriver::Setup(CWnd* parent) {
    if (!texts_.IsLoaded()) {
        std::string text = "Unable to find " + texts_.ModuleFile();
        AfxMessageBox(text.c_str(), MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }
    ResourceSource source(texts_.Module());
    SetupVariant variant = setup_;
    if (variant.driverFile.empty()) variant.driverFile = DriverFileOf(texts_.ModuleFile());
    variant.defaultDevice = defaultDevice_;
    variant.defaultToolOffset = defaultToolOffset_;
    variant.dollarIsText = dollarIsText_;
    variant.timeOut = port_.Policy().fixedTimeOut < 0;

    SetupValues values(iniPath_, sectionName_);
    std::string usbId;
    {
        CIniFile ini(iniPath_.c_str());
        LoadKeys(values, ini, variant, texts_);
        if (variant.gpgl)
            usbId =
                static_cast<const char*>(ini.GetCString(sectionName_.c_str(), "WindowsUSBID", ""));
    }

    CSetupSheet sheet(texts_.Text(IDS_SETUP_CAPTION).c_str(), parent, values);
    CGeneralPage general(values, variant, owner ? owner->UnitName() : "mm");
    general.m_windowsUSBID = usbId;
    CCommandPage command(values, variant);
    std::unique_ptr<CCommPage> serial;
    std::unique_ptr<CoordinatePage> coordinates;
    sheet.AddPage(&general);
    sheet.AddPage(&command);
    if (variant.serial) {
        serial = std::make_unique<CCommPage>(values, [&general] {
            return std::string(static_cast<const char*>(general.PortText()));
        });
        sheet.AddPage(serial.get());
    }
    if (variant.transform) {
        coordinates = std::make_unique<CoordinatePage>(values);
        sheet.AddPage(coordinates.get());
    }
    sheet.SetTargetName(&general.m_name);
    INT_PTR result = sheet.DoModal();
    // The driver goes on with the section it was attached with, as the file now holds it.
    if (sheet.Saved()) LoadSection();
    return result == IDOK && sheet.Saved() ? 1 : 0;
}
