#include "driverframe/DeviceSection.h"

#include <cmath>

#include <settings/CIniFile.h>

#include "driverframe/Saturate.h"

namespace {

struct TemplateKey {
    Cmd command;
    const char* key;
    const char* def;
};

// Key names as every file writes them ("MuliplePoints" included).
const TemplateKey kTemplateKeys[] = {
    {Cmd::SelectPen, "SelectPen", ""},
    {Cmd::Initialize, "Initialize", ""},
    {Cmd::CutInit, "CutInit", ""},
    {Cmd::PlotInit, "PlotInit", ""},
    {Cmd::Reset, "Reset", ""},
    {Cmd::SetDepth, "SetDepth", ""},
    {Cmd::End, "End", ""},
    {Cmd::MoveRel, "MoveRel", ""},
    {Cmd::LineRel, "LineRel", ""},
    {Cmd::Bezier, "Bezier", ""},
    {Cmd::SetOrigin, "SetOrigin", ""},
    {Cmd::SetSpeed, "SetSpeed", ""},
    {Cmd::GetPlottingArea, "GetPlottingArea", ""},
    {Cmd::GetHeadPos, "GetHeadPos", ""},
    {Cmd::FindSynchMarkers, "FindSynchMarkers", ""},
    {Cmd::GetSynchMarkers, "GetSynchMarkers", ""},
};

const TemplateKey kLineKeys[] = {
    {Cmd::StartLine, "StartLine", "PD#,#"},
    {Cmd::ContinueLine, "ContinueLine", ",#,#"},
    {Cmd::EndLine, "EndLine", ";"},
};

const TemplateKey kSyncKeys[] = {
    {Cmd::SetSyncData, "SetSyncData", ""},
    {Cmd::StartSyncProc, "StartSyncProc", ""},
};

int Int(CIniFile& ini, const char* section, const char* key, int def) {
    return int(ini.GetInt(section, key, unsigned(def)));
}

std::string Text(CIniFile& ini, const char* section, const char* key, const char* def) {
    return std::string(static_cast<const char*>(ini.GetCString(section, key, def)));
}

} // namespace

LONG DeviceSection::ToSteps(double mm, float step) {
    return RoundToInt32(mm / double(step));
}

bool DeviceSection::Load(CIniFile& ini, const char* s, double defaultToolOffset,
                         const char* defaultDevice) {
    auto readTemplates = [&](const auto& keys) {
        for (const TemplateKey& k : keys)
            templates[int(k.command)].Set(Text(ini, s, k.key, k.def));
    };
    // Millimetre keys are kept as single-precision values, as the step size is.
    auto mm = [&](const char* key, double def) { return NarrowToFloat(ini.GetFloat(s, key, def)); };

    device = Text(ini, s, "Device", defaultDevice);
    isGPGL = Int(ini, s, "isGPGL", 0);
    swapXY = Int(ini, s, "SwapXY", 0);
    origoPos = Int(ini, s, "OrigoPos", 0);
    mirrorToX = Int(ini, s, "MirrorToX", 0);
    mirrorToY = Int(ini, s, "MirrorToY", 0);
    stepSize = mm("StepSize", DefaultStepSize);
    bool stepSizeValid = stepSize > 0 && std::isfinite(stepSize);
    if (!stepSizeValid) stepSize = DefaultStepSize;
    windowsUSBID = Text(ini, s, "WindowsUSBID", "");
    maxX = ToSteps(mm("MaxX", 3000), stepSize);
    maxY = ToSteps(mm("MaxY", 1200), stepSize);
    paperWidth = ToSteps(mm("PaperWidth", 1200), stepSize);
    paperHeight = ToSteps(mm("PaperHeight", 3000), stepSize);
    pageSize = ToSteps(mm("PageSize", 0), stepSize);
    numberOfPens = Int(ini, s, "NumberOfPens", 1);
    absoluteCoords = Int(ini, s, "AbsoluteCoords", 0);
    accuracy = ToSteps(mm("Accuracy", 0.2), stepSize);
    if (accuracy <= 1) accuracy = 2;
    toolOffset = ToSteps(mm("ToolOffset", defaultToolOffset), stepSize);
    plotSpeed = Int(ini, s, "PlotSpeed", 400) / 10;
    cutSpeed = Int(ini, s, "CutSpeed", 200) / 10;
    readTemplates(kTemplateKeys);
    muliplePoints = Int(ini, s, "MuliplePoints", 0);
    readTemplates(kLineKeys);
    baudRate = Int(ini, s, "BaudRate", 4);
    bits = Int(ini, s, "Bits", 1);
    flowCtrl = Int(ini, s, "FlowCtrl", 1);
    stopBits = Int(ini, s, "StopBits", 1);
    parity = Int(ini, s, "Parity", 0);
    timeOut = Int(ini, s, "TimeOut", 60);
    // 0 or text that is no number would ask the time-out question at every pass.
    if (timeOut <= 0) timeOut = 60;
    autoSyncCaps = Int(ini, s, "AutoSyncCaps", 0);
    autoSyncName = Text(ini, s, "AutoSyncName", "");
    readTemplates(kSyncKeys);
    useAutoSync = Int(ini, s, "UseAutoSync", 0);
    return stepSizeValid;
}

void DeviceSection::ConvertTemplates(bool dollarIsText) {
    for (int i = 0; i < int(Cmd::Count); ++i)
        if (Cmd(i) != Cmd::GetHeadPos) templates[i].Convert(dollarIsText);
}
