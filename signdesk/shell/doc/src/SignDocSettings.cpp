#include "doc/SignDocSettings.h"

#include <mfc/CWinApp.h>
#include <model/ViewColors.h>

namespace {

constexpr const char* kSection = "Settings";

int ReadInt(const char* key, int def) {
    CWinApp* app = AfxGetApp();
    return app ? int(app->GetProfileInt(kSection, key, def)) : def;
}

CString ReadText(const char* key) {
    CWinApp* app = AfxGetApp();
    return app ? app->GetProfileString(kSection, key, "") : CString();
}

void WriteInt(const char* key, int v) {
    if (CWinApp* app = AfxGetApp()) app->WriteProfileInt(kSection, key, v);
}

void WriteText(const char* key, const CString& v) {
    if (CWinApp* app = AfxGetApp()) app->WriteProfileString(kSection, key, v);
}

} // namespace

void SignDocSettings::Load() {
    WMPPath = ReadText("WMPPath");
    SpoolDirectory = ReadText("SpoolDirectory");
    Plotman = ReadText("Plotman");
    AutoCut = ReadInt("AutoCut", 1);
    ClippathOnly = ReadInt("ClippathOnly", 0);
    AutoSave = ReadInt("AutoSave", 0);
    Detail = ReadInt("Detail", 2);
    if (Detail < 0 || Detail > 3) Detail = 2;
    SelectionColor = COLORREF(ReadInt("SelectionColor", int(SelectionColor)));
    GetViewColors().LineColor = COLORREF(ReadInt("LineColor", int(GetViewColors().LineColor)));
    GetViewColors().CurveColor = COLORREF(ReadInt("CurveColor", int(GetViewColors().CurveColor)));
    GetViewColors().TraceBGColor =
        COLORREF(ReadInt("TraceBGColor", int(GetViewColors().TraceBGColor)));
    SnapToObject = ReadInt("SnapToObject", 0) != 0;
    SnapToCorners = ReadInt("SnapToCorners", 0) != 0;
    SnapToGuideLines = ReadInt("SnapToGuideLines", 0) != 0;
    EnableWPF = ReadInt("EnableWPF", 1) != 0;
    EnableWMF = ReadInt("EnableWMF", 1) != 0;
    EnableEMF = ReadInt("EnableEMF", 1) != 0;
    EnableDIB = ReadInt("EnableDIB", 1) != 0;
    DPI = ReadInt("DPI", 300);
    ColourDepth = ReadInt("ColourDepth", 2);
}

void SignDocSettings::Save() {
    WriteText("WMPPath", WMPPath);
    WriteText("Plotman", Plotman);
    WriteText("SpoolDirectory", SpoolDirectory);
    WriteInt("ClippathOnly", ClippathOnly);
    WriteInt("AutoCut", AutoCut);
    WriteInt("EnableWPF", EnableWPF);
    WriteInt("EnableWMF", EnableWMF);
    WriteInt("EnableEMF", EnableEMF);
    WriteInt("EnableDIB", EnableDIB);
    WriteInt("DPI", DPI);
    WriteInt("ColourDepth", ColourDepth);
    WriteInt("AutoSave", AutoSave);
    WriteInt("LineColor", int(GetViewColors().LineColor));
    WriteInt("CurveColor", int(GetViewColors().CurveColor));
    WriteInt("SelectionColor", int(SelectionColor));
    WriteInt("TraceBGColor", int(GetViewColors().TraceBGColor));
    WriteInt("Detail", Detail);
    WriteInt("SnapToObject", SnapToObject);
    WriteInt("SnapToCorners", SnapToCorners);
    WriteInt("SnapToGuideLines", SnapToGuideLines);
}
