#pragma once
// The pages of the template-language drivers' setup sheet (dialogs 201, 204, 203 and 209 of
// every driver's resource library) and the ids of their controls.

#include "driverframe/CSetupPage.h"
#include "driverframe/SetupVariant.h"

class AxisTransform;

// Controls of ours besides the ones every sheet has.
constexpr int IDC_DEVICE_LINE = 1050; // what the Device text reaches
constexpr int IDC_PAUSE = 1051;
constexpr int IDC_FORCE = 1052;
constexpr int IDC_ACCELERATION = 1053;
constexpr int IDC_FORCE_CMD = 1054;
constexpr int IDC_SET_ACCELERATION = 1055;
constexpr int IDC_PREVIEW = 1045;

class CGeneralPage : public CSetupPage {
    DECLARE_DYNAMIC(CGeneralPage)
public:
    CGeneralPage(SetupValues& values, const SetupVariant& variant, const char* unitName);

    // The section name as edited (control 1002).
    CString m_name;
    // The section's WindowsUSBID: "USB" is offered when it is set.
    std::string m_windowsUSBID;
    // The Device text as the page shows it now, for the serial page.
    const CString& PortText() const;
    // Shows what the Device text reaches, below the list.
    void UpdateDeviceLine();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void FillLists() override;
    void ControlChanged(int control, int code) override;

private:
    const SetupVariant& variant_;
    std::string unitName_;
    mutable CString portText_;
};

class CCommandPage : public CSetupPage {
    DECLARE_DYNAMIC(CCommandPage)
public:
    CCommandPage(SetupValues& values, const SetupVariant& variant);

protected:
    void UpdateEnabling() override;
    void ControlChanged(int control, int code) override;

private:
    const SetupVariant& variant_;
};

class CCommPage : public CSetupPage {
    DECLARE_DYNAMIC(CCommPage)
public:
    // portText gives the port the general page shows; without it every control is enabled.
    CCommPage(SetupValues& values, std::function<std::string()> portText, UINT templateId = 203);

    // Whether the port uses the serial settings: "COM1" … "COM8" (with or without a colon,
    // any case), or a device file that is a terminal.
    static bool UsesSerialSettings(const std::string& port);

protected:
    void FillLists() override;
    void UpdateEnabling() override;

private:
    std::function<std::string()> portText_;
};

class CoordinatePage : public CSetupPage {
    DECLARE_DYNAMIC(CoordinatePage)
public:
    explicit CoordinatePage(SetupValues& values);

    // The transform the controls stand for now, over the given media.
    AxisTransform Transform(long width, long height) const;

protected:
    void FillLists() override;
    void UpdateEnabling() override;
    void ControlChanged(int control, int code) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};
