#include "sheet/SheetSettings.h"

#include <cmath>

#include <mfc/CWinApp.h>
#include <shell/ProfileSettings.h>

namespace {

constexpr const char* kSection = "SheetSettings";

int ReadInt(const char* key, int def) {
    CWinApp* app = AfxGetApp();
    return app ? int(app->GetProfileInt(kSection, key, def)) : def;
}

void WriteInt(const char* key, int value) {
    if (CWinApp* app = AfxGetApp()) app->WriteProfileInt(kSection, key, value);
}

} // namespace

float SheetSettings::UsableSpacing(float spacing) {
    return std::isfinite(spacing) && spacing > 0 ? spacing : 25.0f;
}

int SheetSettings::UsableMouseSens() {
    return MouseSens < 1 ? 1 : MouseSens;
}

BOOL SheetSettings::Load() {
    const auto finite = [](float v) { return std::isfinite(v) ? v : 0.0f; };
    GridOffs.x = finite(GetProfileFloat(kSection, "GridOffs.x", 0));
    GridOffs.y = finite(GetProfileFloat(kSection, "GridOffs.y", 0));
    GridDens.x = UsableSpacing(GetProfileFloat(kSection, "GridDens.x", 25));
    GridDens.y = UsableSpacing(GetProfileFloat(kSection, "GridDens.y", 25));
    Grid = ReadInt("Grid", 0);
    LineGrid = ReadInt("LineGrid", 0);
    const BOOL guideLines = ReadInt("GuideLines", 1);
    SnapToGrid = ReadInt("SnapToGrid", 0);
    MouseSens = ReadInt("MouseSens", 3);
    SnapProximity = ReadInt("SnapProximity", 8);
    BGColor = COLORREF(ReadInt("BGColor", 16777215));
    GridColor = COLORREF(ReadInt("GridColor", 12632256));
    return guideLines;
}

void SheetSettings::Save(BOOL guideLines) {
    WriteProfileFloat(kSection, "GridOffs.x", GridOffs.x);
    WriteProfileFloat(kSection, "GridOffs.y", GridOffs.y);
    WriteProfileFloat(kSection, "GridDens.x", GridDens.x);
    WriteProfileFloat(kSection, "GridDens.y", GridDens.y);
    WriteInt("Grid", Grid);
    WriteInt("LineGrid", LineGrid);
    WriteInt("GuideLines", guideLines);
    WriteInt("SnapToGrid", SnapToGrid);
    WriteInt("MouseSens", MouseSens);
    WriteInt("SnapProximity", SnapProximity);
    WriteInt("BGColor", int(BGColor));
    WriteInt("GridColor", int(GridColor));
    if (CWinApp* app = AfxGetApp()) app->WriteProfileString(nullptr, nullptr, nullptr);
}
