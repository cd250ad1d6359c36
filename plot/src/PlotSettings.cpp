#include "PlotSettings.h"

#include <algorithm>
#include <cmath>

#include <settings/CIniFile.h>

#include "DataFolder.h"
#include "plot/PlotIni.h"
#include "plot/PlotPath.h"
#include "plot/Plotter.h"

namespace {

const char* const General = "General";
const char* const Vinil = "Vinil";

float ReadFloat(CIniFile& ini, const char* section, const char* key, float def) {
    double v = ini.GetFloat(section, key, def);
    return std::isfinite(v) && std::fabs(v) <= 3.0e38 ? float(v) : def;
}

int ReadInt(CIniFile& ini, const char* section, const char* key, int def) {
    return int(ini.GetInt(section, key, unsigned(def)));
}

// min(a, b), where a value not above 0 counts as missing.
float MediaLength(float setting, float limit, float def) {
    float v = std::min(setting, limit);
    return v > 0 ? v : def;
}

} // namespace

void CutSettings::Load() {
    CIniFile ini(GetPlotIni());
    currentPlotter = ini.GetCString(General, "CurrentPlotter", "");
    OverCutting = ReadFloat(ini, General, "Overcutting", 0);
    Optimization = ReadInt(ini, General, "Optimization", 1);
    headPos = ReadInt(ini, General, "HeadPos", 3);
    plotMode = ReadInt(ini, General, "PlotMode", 0);
    DRV.useSpooler = ReadInt(ini, General, "UseSpooler", 0);
    DRV.spoolDirectory = ini.GetCString(General, "SpoolDirectory", "");
    DRV.media = ini.GetCString(General, "Media", "");
    DRV.color = ini.GetCString(General, "Color", "");
}

void CutSettings::Save() const {
    CIniFile ini(GetPlotIni());
    ini.WriteString(General, "CurrentPlotter", currentPlotter);
    ini.WriteFloat(General, "Overcutting", OverCutting);
    ini.WriteInt(General, "Optimization", Optimization);
    ini.WriteInt(General, "PlotMode", plotMode);
    ini.WriteInt(General, "HeadPos", headPos);
    ini.WriteInt(General, "UseSpooler", DRV.useSpooler);
    ini.WriteString(General, "SpoolDirectory", DRV.spoolDirectory);
    ini.WriteString(General, "Media", DRV.media);
    ini.WriteString(General, "Color", DRV.color);
    ini.Flush();
}

void JobSettings::Load() {
    CIniFile ini(GetPlotIni());
    float width = ReadFloat(ini, Vinil, "width", 0);
    float height = ReadFloat(ini, Vinil, "height", 0);
    DeviceSettings device(ini.GetCString(General, "CurrentPlotter", ""));
    mediaWidth = MediaLength(width, device.MaxY(470), 470);
    mediaLength = MediaLength(height, device.MaxX(10000), 800);
    pageLength = device.PageSize();

    weedBox = ReadInt(ini, General, "weedBox", 1);
    weedDx = ReadFloat(ini, General, "weedDx", 1);
    weedDy = ReadFloat(ini, General, "weedDy", 1);
    registrationMarkers = ReadInt(ini, General, "registrationMarkers", 0);
    markerSize = ReadFloat(ini, General, "markerSize", 10);
    panelMarkers = ReadInt(ini, General, "panelMarkers", 1);
    panelMarkLength = ReadFloat(ini, General, "panelMarkLength", 10);
    panelMarkWidth = ReadFloat(ini, General, "panelMarkWidth", 5);
    overlapX = ReadFloat(ini, General, "overlapX", 5);
    overlapY = ReadFloat(ini, General, "overlapY", 5);
    manualFeed = ReadInt(ini, General, "manualFeed", 0);
}

void JobSettings::SaveMarks() const {
    CIniFile ini(GetPlotIni());
    ini.WriteInt(General, "weedBox", weedBox);
    ini.WriteFloat(General, "weedDx", weedDx);
    ini.WriteFloat(General, "weedDy", weedDy);
    ini.WriteInt(General, "registrationMarkers", registrationMarkers);
    ini.WriteFloat(General, "markerSize", markerSize);
    ini.WriteInt(General, "panelMarkers", panelMarkers);
    ini.WriteFloat(General, "panelMarkLength", panelMarkLength);
    ini.WriteFloat(General, "panelMarkWidth", panelMarkWidth);
    ini.Flush();
}

void JobSettings::SaveTiling() const {
    CIniFile ini(GetPlotIni());
    ini.WriteFloat(General, "overlapX", overlapX);
    ini.WriteFloat(General, "overlapY", overlapY);
    ini.WriteInt(General, "manualFeed", manualFeed);
    ini.Flush();
}

void JobSettings::SaveMedia(float width, float height) const {
    CString device;
    {
        CIniFile ini(GetPlotIni());
        ini.WriteFloat(Vinil, "width", width);
        ini.WriteFloat(Vinil, "height", height);
        device = ini.GetCString(General, "CurrentPlotter", "");
        ini.Flush();
    }
    if (!device.IsEmpty()) DeviceSettings(device).WritePaperSize(width, height);
}

CString DeviceSettings::Driver() const {
    CIniFile ini(GetDevicesIni());
    return ini.GetCString(name_, "Driver", "cutdrv-dune.dll");
}

CString DeviceSettings::Device() const {
    CIniFile ini(GetDevicesIni());
    return ini.GetCString(name_, "Device", "LPT1:");
}

int DeviceSettings::DisableLeaveHeadAt() const {
    CIniFile ini(GetDevicesIni());
    return ReadInt(ini, name_, "DisableLeaveHeadAt", 0);
}

float DeviceSettings::MaxY(float def) const {
    CIniFile ini(GetDevicesIni());
    return ReadFloat(ini, name_, "MaxY", def);
}

float DeviceSettings::MaxX(float def) const {
    CIniFile ini(GetDevicesIni());
    return ReadFloat(ini, name_, "MaxX", def);
}

float DeviceSettings::PageSize() const {
    CIniFile ini(GetDevicesIni());
    return ReadFloat(ini, name_, "PageSize", 0);
}

void DeviceSettings::WritePaperSize(float width, float height) const {
    CIniFile ini(GetDevicesIni());
    ini.WriteFloat(name_, "PaperWidth", width);
    ini.WriteFloat(name_, "PaperHeight", height);
    ini.Flush();
}

void DeviceSettings::Remove() const {
    if (name_.IsEmpty()) return;
    CIniFile ini(GetDevicesIni());
    ini.WriteString(name_, nullptr, nullptr);
    ini.Flush();
}

void DeviceSettings::GetDeviceNames(CStringArray& names) {
    CIniFile ini(GetDevicesIni());
    ini.GetSectionNames(names);
}

CString CurrentDevice() {
    CIniFile ini(GetPlotIni());
    return ini.GetCString(General, "CurrentPlotter", "");
}

int AttachSelectedDevice(const char* device, AbortHandler* handler) {
    CString driver = DeviceSettings(device).Driver();
    return DRV.Attach(driver, device, GetDevicesIni(), handler);
}
