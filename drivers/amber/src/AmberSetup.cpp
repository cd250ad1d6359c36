// The record-language driver's setup sheet: general (dialog 132), commands (131) and serial
// (129) pages. Lengths are shown in the plot library's unit through the owner; templates
// absent from the section show the built-in ones in the file's escapes, and stay absent
// unless edited.

#include <cmath>
#include <string>

#include <driverframe/CSetupPage.h>
#include <driverframe/CSetupSheet.h>
#include <driverframe/DriverResources.h>
#include <driverframe/SetupPages.h>
#include <mfc/CDataExchange.h>
#include <mfc/CWinApp.h>
#include <plotterdriver/DriverOwner.h>
#include <settings/CIniFile.h>
#include <settings/NumberFields.h>
#include <win32/user.h>

#include "AmberDriver.h"
#include "AmberStrings.h"

namespace amber {

class CGeneralPage : public CSetupPage {
public:
    CGeneralPage(SetupValues& values, const LengthUnit& unit, const std::string& section)
        : CSetupPage(132, values), name_(section.c_str()) {
        SetLengthUnit(&unit);
        AddBinding({1001, "Device", Bind::Combo, 0, 0, 256});
        AddBinding({1006, "StepSize", Bind::Float, 0.0001, 1});
        AddBinding({1005, "PhysicalPageSize", Bind::Length, 0, 50000});
        AddBinding({1003, "MaxX", Bind::Length, 10, 50000});
        AddBinding({1004, "MaxY", Bind::Length, 10, 5000});
        AddBinding({1024, "Accuracy", Bind::Float, 1, 50});
        AddBinding({1025, "HeadPosDelay", Bind::Int, 0, 60000});
        AddBinding({1008, "ConvertToSpline", Bind::Radio});
        SetupValues::Field* page = values.Find("PageSize");
        paged_ = page && page->real != 0;
    }

protected:
    void FillLists() override {
        if (CWnd* device = GetDlgItem(1001))
            for (const char* port :
                 {"LPT1:", "LPT2:", "COM1:", "COM2:", "COM3:", "COM4:", "LPT1.DOS", "LPT2.DOS"})
                device->SendMessage(CB_ADDSTRING, 0, LPARAM(port));
    }
    void DoDataExchange(CDataExchange* pDX) override {
        // The name is shown only: the keys always go to the attached section.
        DDX_Text(pDX, 1002, name_);
        CSetupPage::DoDataExchange(pDX);
        int paging = paged_ ? 0 : 1;
        DDX_Radio(pDX, 1011, paging);
        if (!pDX->m_bSaveAndValidate || paging < 0) return;
        SetupValues::Field* page = values_.Find("PageSize");
        SetupValues::Field* physical = values_.Find("PhysicalPageSize");
        if (!page || !physical) return;
        const bool paged = paging == 0;
        // A paging choice the user left alone keeps the page size the section has.
        if (paged != paged_ || (paged && page->real == 0)) page->real = paged ? physical->real : 0;
        paged_ = paged;
    }

private:
    CString name_;
    bool paged_ = false;
};

class CCommandPage : public CSetupPage {
public:
    explicit CCommandPage(SetupValues& values) : CSetupPage(131, values) {
        static const std::pair<int, const char*> kControls[] = {
            {1027, "Reset"},   {1024, "Start"},  {1017, "Continue"},     {1011, "End"},
            {1014, "Flush"},   {1015, "Flush2"}, {1008, "HeadPosStart"}, {1032, "HeadPosEnd"},
            {1010, "LineTo"},  {1013, "MoveTo"}, {1009, "SplineTo"},     {1018, "NewPage1"},
            {1019, "NewPage2"}};
        for (auto [control, key] : kControls)
            AddBinding({control, key, Bind::Template});
        // A text the driver would refuse: longer than a command, or a segment over 255 bytes.
        SetTemplateCheck([](const std::string& text) {
            if (text.size() > BinaryString::MaxLength) return false;
            try {
                RecordTemplate("check", "").Parse(text);
            } catch (const BinaryString::Error&) {
                return false;
            }
            return true;
        });
    }
};

} // namespace amber

std::string AmberDriver::BuiltInTemplate(const char* key) const {
    for (const RecordTemplate& t : templates_)
        if (std::string(t.Key()) == key) return t.BuiltIn();
    return {};
}

int AmberDriver::Setup(CWnd* parent) {
    if (!texts_.IsLoaded()) {
        std::string text = "Unable to find " + texts_.ModuleFile();
        AfxMessageBox(text.c_str(), MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }
    HINSTANCE previous = AfxGetResourceHandle();
    AfxSetResourceHandle(texts_.Module());

    // Lengths in the plot library's unit; millimetres without an owner.
    LengthUnit unit{[this](double mm) { return owner ? double(owner->MMToUnit(float(mm))) : mm; },
                    [this](double v) { return owner ? double(owner->UnitToMM(float(v))) : v; }};
    SetupValues values(iniPath_, section_);
    {
        CIniFile ini(iniPath_.c_str());
        const char* s = section_.c_str();
        values.AddFixed(ini, "Driver", "cutdrv-amber.dll");
        values.AddInt(ini, "ConvertToSpline", 0);
        values.AddFloat(ini, "PageSize", 0).length = true;
        values.AddFloat(ini, "PhysicalPageSize", 1600).length = true;
        values.AddText(ini, "Device", "COM1");
        SetupValues::Field& step = values.AddFloat(ini, "StepSize", 0.05);
        if (!(step.real > 0)) {
            texts_.Show(IDS_AMBER_BAD_STEP_SIZE, MB_OK, s);
            step.real = step.loadedReal = 0.05f;
        }
        values.AddFloat(ini, "MaxX", 1600).length = true;
        values.AddFloat(ini, "MaxY", 451).length = true;
        values.AddFloat(ini, "Accuracy", 0.2, 100);
        values.AddInt(ini, "HeadPosDelay", 20);
        for (const char* key :
             {"Start", "Continue", "Flush", "Reset", "End", "MoveTo", "LineTo", "SplineTo",
              "HeadPosStart", "HeadPosEnd", "Flush2", "NewPage1", "NewPage2"})
            values.AddText(ini, key, BuiltInTemplate(key).c_str());
        values.AddInt(ini, "BaudRate", 4);
        values.AddInt(ini, "Bits", 1);
        values.AddInt(ini, "DTR/DSR", 0);
        int flow = int(ini.GetInt(s, "FlowCtrl", 1));
        SetupValues::Field& rts = values.AddInt(ini, "RTS/CTS", flow & 1);
        SetupValues::Field& xon = values.AddInt(ini, "XON/XOFF", (flow & 2) ? 1 : 0);
        rts.number = rts.loadedNumber = rts.loadedNumber != 0;
        xon.number = xon.loadedNumber = xon.loadedNumber != 0;
        rts.partner = "XON/XOFF";
        xon.partner = "RTS/CTS";
        values.AddInt(ini, "StopBits", 1);
        values.AddInt(ini, "Parity", 0);
    }

    int result = 0;
    {
        std::string caption = texts_.Text(IDS_AMBER_CAPTION, section_.c_str());
        CSetupSheet sheet(caption.c_str(), parent, values);
        amber::CGeneralPage general(values, unit, section_);
        amber::CCommandPage commands(values);
        CCommPage serial(values, {}, 129);
        sheet.AddPage(&general);
        sheet.AddPage(&commands);
        sheet.AddPage(&serial);
        INT_PTR answer = sheet.DoModal();
        if (sheet.Saved()) ReloadSettings();
        result = answer == IDOK && sheet.Saved() ? 1 : 0;
    }
    AfxSetResourceHandle(previous);
    return result;
}
