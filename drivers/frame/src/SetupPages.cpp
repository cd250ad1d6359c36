#include "driverframe/SetupPages.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstring>

#include <mfc/CControls.h>
#include <mfc/CDC.h>
#include <mfc/CDataExchange.h>
#include <mfc/CStringArray.h>
#include <mfc/CWinApp.h>
#include <win32/kernel.h>
#include <win32/user.h>

#include "DeviceLine.h"
#include "driverframe/AxisTransform.h"
#include "driverframe/PrinterNames.h"
#include "driverframe/SetupStrings.h"

IMPLEMENT_DYNAMIC(CGeneralPage, CSetupPage)
IMPLEMENT_DYNAMIC(CCommandPage, CSetupPage)
IMPLEMENT_DYNAMIC(CCommPage, CSetupPage)
IMPLEMENT_DYNAMIC(CoordinatePage, CSetupPage)

namespace {

using Bind = CSetupPage::Bind;

const char* const kPortNames[] = {"LPT1:", "LPT2:", "COM1:", "COM2:", "COM3:",    "COM4:",
                                  "COM5:", "COM6:", "COM7:", "COM8:", "LPT1.DOS", "LPT2.DOS"};

CComboBox* Combo(CWnd* page, int id) {
    return static_cast<CComboBox*>(page->GetDlgItem(id));
}

void AddItems(CWnd* page, int id, std::initializer_list<const char*> items) {
    if (CWnd* combo = page->GetDlgItem(id))
        for (const char* item : items)
            combo->SendMessage(CB_ADDSTRING, 0, LPARAM(item));
}

// The largest length in millimetres whose steps still fit in 32 bits at this step size.
double StepLimit(const SetupValues& values) {
    const SetupValues::Field* step = values.Find("StepSize");
    double size = step && step->real > 0 ? step->real : 0.025;
    return double(INT_MAX) * size;
}

} // namespace

// ---- general page ----

CGeneralPage::CGeneralPage(SetupValues& values, const SetupVariant& variant, const char* unitName)
    : CSetupPage(201, values), variant_(variant), unitName_(unitName ? unitName : "") {
    m_name = values.Section().c_str();
    auto limit = [this] { return StepLimit(values_); };
    AddBinding({1001, "Device", Bind::Combo, 0, 0, 256});
    // The step size first: the lengths' limits depend on it.
    AddBinding({1006, "StepSize", Bind::Float, 0.0001, 1});
    AddBinding({1005, "PageSize", Bind::Float, 0, 1000000, 0, limit});
    AddBinding({1007, "NumberOfPens", Bind::Int, 1, 32});
    AddBinding({1003, "MaxX", Bind::Float, 10, 1000000, 0, limit});
    AddBinding({1004, "MaxY", Bind::Float, 10, 10000, 0, limit});
    AddBinding({1028, "AbsoluteCoords", Bind::Check});
    AddBinding({1024, "Accuracy", Bind::Float, 1, 500});
    AddBinding({1027, "CutSpeed", Bind::Int, 10, 2000});
    AddBinding({1026, "PlotSpeed", Bind::Int, 10, 2000});
    AddBinding({1025, "ToolOffset", Bind::Float, 0, 1});
    AddBinding({IDC_PAUSE, "Pause", Bind::Int, 0, 60000});
    AddBinding({IDC_FORCE, "Force", Bind::Int, 0, 99999});
    AddBinding({IDC_ACCELERATION, "Acceleration", Bind::Combo, 0, 0, 20});
}

const CString& CGeneralPage::PortText() const {
    if (m_hWnd) {
        CString text;
        if (CWnd* device = GetDlgItem(1001)) device->GetWindowText(text);
        portText_ = text;
    } else if (const SetupValues::Field* f = values_.Find("Device")) {
        portText_ = f->text;
    }
    return portText_;
}

void CGeneralPage::FillLists() {
    CStringArray printers;
    GetPrinterNames(printers);
    if (CWnd* device = GetDlgItem(1001)) {
        for (int i = 0; i < printers.GetSize(); ++i)
            device->SendMessage(CB_ADDSTRING, 0, LPARAM(static_cast<const char*>(printers[i])));
        if (!m_windowsUSBID.empty()) device->SendMessage(CB_ADDSTRING, 0, LPARAM("USB"));
        for (const char* port : kPortNames)
            device->SendMessage(CB_ADDSTRING, 0, LPARAM(port));
        for (const std::string& file : PresentDeviceFiles())
            device->SendMessage(CB_ADDSTRING, 0, LPARAM(file.c_str()));
    }
    AddItems(this, IDC_ACCELERATION, {"0.7", "1.4", "2.1", "2.8", "3.5", "4.2"});
    std::string perSecond = unitName_ + "/sec";
    SetDlgItemText(1030, perSecond.c_str());
    SetDlgItemText(1031, perSecond.c_str());
}

void CGeneralPage::DoDataExchange(CDataExchange* pDX) {
    DDX_Text(pDX, 1002, m_name);
    DDV_MaxChars(pDX, m_name, 80);
    if (pDX->m_bSaveAndValidate) {
        std::string name = static_cast<const char*>(m_name);
        std::string trimmed = name;
        trimmed.erase(0, trimmed.find_first_not_of(" \t"));
        trimmed.erase(trimmed.find_last_not_of(" \t") + 1);
        UINT refusal = 0;
        if (trimmed.empty())
            refusal = IDS_SETUP_NAME_EMPTY;
        else if (trimmed.find_first_of("]=\r\n") != std::string::npos || trimmed[0] == '[' ||
                 trimmed[0] == ';')
            refusal = IDS_SETUP_NAME_INVALID;
        else if (!SameName(trimmed, values_.Section()) && SectionExists(values_.IniPath(), trimmed))
            refusal = IDS_SETUP_NAME_TAKEN;
        if (refusal) {
            AfxMessageBox(refusal, MB_OK | MB_ICONEXCLAMATION);
            pDX->PrepareEditCtrl(1002);
            pDX->Fail();
        }
    }
    CSetupPage::DoDataExchange(pDX);
    if (!pDX->m_bSaveAndValidate) UpdateDeviceLine();
}

void CGeneralPage::ControlChanged(int control, int code) {
    if (control == 1001 && (code == CBN_EDITCHANGE || code == CBN_SELCHANGE)) {
        if (code == CBN_SELCHANGE) {
            // The list's choice reaches the edit field after this notification.
            CComboBox* device = Combo(this, 1001);
            int index = device ? device->GetCurSel() : -1;
            if (index >= 0) {
                CString text;
                device->GetLBText(index, text);
                device->SetWindowText(text);
            }
        }
        UpdateDeviceLine();
    }
}

void CGeneralPage::UpdateDeviceLine() {
    std::string line =
        DescribeDevice(static_cast<const char*>(PortText()), m_windowsUSBID, variant_);
    SetDlgItemText(IDC_DEVICE_LINE, line.c_str());
}

// ---- command page ----

CCommandPage::CCommandPage(SetupValues& values, const SetupVariant& variant)
    : CSetupPage(204, values), variant_(variant) {
    static const std::pair<int, const char*> kTemplates[] = {
        {1008, "PlotInit"},
        {1009, "CutInit"},
        {1010, "MoveRel"},
        {1011, "LineRel"},
        {1013, "Reset"},
        {1014, "SetOrigin"},
        {1015, "SetDepth"},
        {1016, "SetSpeed"},
        {1017, "SelectPen"},
        {1024, "Initialize"},
        {1027, "End"},
        {1032, "GetPlottingArea"},
        {1033, "Bezier"},
        {1034, "GetHeadPos"},
        {1018, "StartLine"},
        {1019, "ContinueLine"},
        {1020, "EndLine"},
        {IDC_FORCE_CMD, "ForceCmd"},
        {IDC_SET_ACCELERATION, "SetAcceleration"}};
    for (auto [control, key] : kTemplates)
        AddBinding({control, key, Bind::Template});
    AddBinding({1035, "MuliplePoints", Bind::Check});
    if (variant.dollarIsText)
        SetDollarText([this] {
            const SetupValues::Field* f = values_.Find("Acceleration");
            return f ? std::string(static_cast<const char*>(f->text)) : std::string();
        });
}

void CCommandPage::UpdateEnabling() {
    if (variant_.linePoints) {
        bool multiple = Checked(1035);
        Enable(1011, !multiple);
        for (int id : {1018, 1019, 1020})
            Enable(id, multiple);
    }
    const SetupValues::Field* gpgl = values_.Find("isGPGL");
    bool isGPGL = variant_.gpgl && gpgl && gpgl->number != 0;
    Enable(1032, !isGPGL);
    Enable(1034, !isGPGL);
}

void CCommandPage::ControlChanged(int control, int code) {
    if (control == 1035 && code == BN_CLICKED) UpdateEnabling();
}

// ---- serial page ----

CCommPage::CCommPage(SetupValues& values, std::function<std::string()> portText, UINT templateId)
    : CSetupPage(templateId, values), portText_(std::move(portText)) {
    AddBinding({1019, "BaudRate", Bind::Index});
    AddBinding({1020, "Bits", Bind::Index});
    AddBinding({1021, "Parity", Bind::Index});
    AddBinding({1022, "StopBits", Bind::Index});
    AddBinding({549, "DTR/DSR", Bind::Check});
    AddBinding({550, "RTS/CTS", Bind::Check});
    AddBinding({551, "XON/XOFF", Bind::Check});
    AddBinding({1036, "TimeOut", Bind::Int, 1, 3600});
}

void CCommPage::FillLists() {
    AddItems(this, 1019,
             {"110", "300", "600", "1200", "2400", "4800", "9600", "14400", "19200", "38400",
              "56000", "128000", "256000"});
    AddItems(this, 1020, {"7", "8"});
    if (CWnd* parity = GetDlgItem(1021)) {
        // Resource strings 8 to 12 of the driver's library, the current resource source.
        for (UINT id = 8; id <= 12; ++id) {
            CString text;
            text.LoadString(id);
            parity->SendMessage(CB_ADDSTRING, 0, LPARAM(static_cast<const char*>(text)));
        }
    }
    AddItems(this, 1022, {"1", "1.5", "2"});
}

bool CCommPage::UsesSerialSettings(const std::string& port) {
    std::string name;
    for (char c : port)
        name += char(std::toupper(static_cast<unsigned char>(c)));
    if (!name.empty() && name.back() == ':') name.pop_back();
    if (name.size() == 4 && name.compare(0, 3, "COM") == 0 && name[3] >= '1' && name[3] <= '8')
        return true;
    return DeviceReachesTerminal(port);
}

void CCommPage::UpdateEnabling() {
    bool serial = !portText_ || UsesSerialSettings(portText_());
    for (int id : {1019, 1020, 1021, 1022, 549, 550, 551})
        Enable(id, serial);
}

// ---- coordinate page ----

CoordinatePage::CoordinatePage(SetupValues& values) : CSetupPage(209, values) {
    AddBinding({1039, "SwapXY", Bind::Check});
    AddBinding({1042, "OrigoPos", Bind::Index});
    AddBinding({1043, "MirrorToX", Bind::Check});
    AddBinding({1044, "MirrorToY", Bind::Check});
}

void CoordinatePage::FillLists() {
    AddItems(this, 1042, {"0", "1", "2"});
}

void CoordinatePage::UpdateEnabling() {
    CComboBox* origo = Combo(this, 1042);
    bool middle = origo && origo->GetCurSel() == 2;
    Enable(1043, middle);
    Enable(1044, middle);
    if (CWnd* preview = GetDlgItem(IDC_PREVIEW)) preview->Invalidate();
}

void CoordinatePage::ControlChanged(int control, int code) {
    if ((control == 1042 && code == CBN_SELCHANGE) ||
        ((control == 1039 || control == 1043 || control == 1044) && code == BN_CLICKED))
        UpdateEnabling();
}

AxisTransform CoordinatePage::Transform(long width, long height) const {
    CComboBox* origo = Combo(const_cast<CoordinatePage*>(this), 1042);
    AxisTransform transform;
    transform.Set(Checked(1039), origo ? std::max(origo->GetCurSel(), 0) : 0, Checked(1043),
                  Checked(1044), LONG(width), LONG(height));
    return transform;
}

LRESULT CoordinatePage::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DRAWITEM && wParam == IDC_PREVIEW) {
        DrawPreview(*reinterpret_cast<DRAWITEMSTRUCT*>(lParam), Transform(1000, 1000));
        return TRUE;
    }
    return CSetupPage::WindowProc(message, wParam, lParam);
}
