// The one-page setup sheet of the GP-GL driver: the lengths, accuracy, speeds and pressures
// it reads, the pressure range by the model family, and the fixed keys written when absent
// or different. No Apply.

#include <climits>
#include <string>

#include <driverframe/CSetupPage.h>
#include <driverframe/CSetupSheet.h>
#include <driverframe/DriverResources.h>
#include <driverframe/DriverStrings.h>
#include <mfc/CWinApp.h>
#include <plotterdriver/DriverOwner.h>
#include <settings/CIniFile.h>
#include <win32/user.h>

#include "HeathDriver.h"

namespace heath {

// The highest pressure a model family takes.
int MaxPressure(const std::string& type) {
    if (type == "CC300") return 33;
    if (type == "CC200") return 30;
    return 3;
}

class CGeneralPage : public CSetupPage {
public:
    CGeneralPage(SetupValues& values, int maxPressure, const char* unitName)
        : CSetupPage(201, values), unitName_(unitName ? unitName : "") {
        AddBinding({1003, "MaxX", Bind::Float, 10, 1000000, 0,
                    [] { return double(INT_MAX) * HeathDriver::StepSize; }});
        AddBinding({1004, "MaxY", Bind::Float, 10, 10000});
        AddBinding({1024, "Accuracy", Bind::Float, 1, 500});
        AddBinding({1026, "PlotSpeed", Bind::Int, 1, 10});
        AddBinding({1027, "CutSpeed", Bind::Int, 1, 10});
        AddBinding({1034, "PlotPressure", Bind::Int, 1, double(maxPressure)});
        AddBinding({1035, "CutPressure", Bind::Int, 1, double(maxPressure)});
    }

protected:
    void FillLists() override {
        std::string perSecond = unitName_ + "/sec";
        SetDlgItemText(1030, perSecond.c_str());
        SetDlgItemText(1031, perSecond.c_str());
    }

private:
    std::string unitName_;
};

} // namespace heath

int HeathDriver::Setup(CWnd* parent) {
    if (!texts_.IsLoaded()) {
        std::string text = "Unable to find " + texts_.ModuleFile();
        AfxMessageBox(text.c_str(), MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }
    HINSTANCE previous = AfxGetResourceHandle();
    AfxSetResourceHandle(texts_.Module());

    SetupValues values(IniPath(), SectionName());
    std::string type;
    {
        CIniFile ini(IniPath().c_str());
        const char* s = SectionName().c_str();
        type = static_cast<const char*>(ini.GetCString(s, "Type", "CC100"));
        values.AddFixed(ini, "Driver", "cutdrv-heath.dll");
        values.AddFixed(ini, "Device", "USB");
        values.AddFixed(ini, "StepSize", "0.05");
        values.AddFloat(ini, "MaxX", 3000);
        values.AddFloat(ini, "MaxY", 1200);
        values.AddFixed(ini, "PageSize", "0");
        values.AddFloat(ini, "Accuracy", 0.2, 100);
        values.AddFixed(ini, "NumberOfPens", "1");
        values.AddInt(ini, "PlotSpeed", 10);
        values.AddInt(ini, "CutSpeed", 3);
        values.AddInt(ini, "PlotPressure", 1);
        values.AddInt(ini, "CutPressure", 3);
        values.AddFixed(ini, "AbsoluteCoords", "1");
    }

    int result = 0;
    {
        CSetupSheet sheet(texts_.Text(IDS_SETUP_CAPTION).c_str(), parent, values);
        sheet.m_psh.dwFlags |= PSH_NOAPPLYNOW;
        heath::CGeneralPage general(values, heath::MaxPressure(type),
                                    owner ? owner->UnitName() : "mm");
        sheet.AddPage(&general);
        INT_PTR answer = sheet.DoModal();
        if (sheet.Saved()) LoadSection();
        result = answer == IDOK && sheet.Saved() ? 1 : 0;
    }
    AfxSetResourceHandle(previous);
    return result;
}
