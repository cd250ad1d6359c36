#include "app/AppSettings.h"

#include <cmath>

#include <mfc/CWinApp.h>
#include <shell/ProfileSettings.h>

namespace {
constexpr const char* kSettings = "Settings";
constexpr const char* kDim = "DimensionalLine";
constexpr const char* kCal = "ColorCalibration";

CWinApp& app() {
    return *AfxGetApp();
}
int profileInt(const char* section, const char* key, int def) {
    return int(app().GetProfileInt(section, key, def));
}
void readInt(const char* section, const char* key, int& value) {
    value = profileInt(section, key, value);
}
void readColor(const char* key, COLORREF& value) {
    value = COLORREF(profileInt(kSettings, key, int(value)));
}
void readByte(const char* section, const char* key, BYTE& value) {
    value = BYTE(profileInt(section, key, value));
}
// A value that is no finite number (junk such as "1e999") keeps the default.
void readFloat(const char* section, const char* key, float& value) {
    const float read = GetProfileFloat(section, key, value);
    if (std::isfinite(read)) value = read;
}
void readString(const char* section, const char* key, CString& value, LPCSTR def = "") {
    value = app().GetProfileString(section, key, def);
}
void writeInt(const char* section, const char* key, int value) {
    app().WriteProfileInt(section, key, value);
}
void writeFloat(const char* section, const char* key, float value) {
    WriteProfileFloat(section, key, value);
}
void writeString(const char* section, const char* key, const CString& value) {
    app().WriteProfileString(section, key, value);
}
} // namespace

AppSettings& Settings() {
    static AppSettings settings;
    return settings;
}

CString AppSettings::WithoutTrailingSeparator(const CString& path) {
    CString out = path;
    while (out.GetLength() > 1 &&
           (out[out.GetLength() - 1] == '\\' || out[out.GetLength() - 1] == '/'))
        out = out.Left(out.GetLength() - 1);
    return out;
}

void AppSettings::ReadFirstSettings() {
    readColor("DefaultOutlineColor", DefaultOutlineColor);
    readColor("DefaultFillColor", DefaultFillColor);
    readFloat(kSettings, "DefaultWidth", DefaultWidth);
    if (DefaultWidth < 0) DefaultWidth = -DefaultWidth;
    readString(kSettings, "ImportPath", ImportPath);
    readString(kSettings, "ExportPath", ExportPath);
    readString(kSettings, "TexturePath", TexturePath);
    readString(kSettings, "WMPPath", WMPPath);
    readString(kSettings, "VectSettings", VectSettings);
    readString(kSettings, "Plotman", Plotman);
    readString(kSettings, "SpoolDirectory", SpoolDirectory);
    readInt(kSettings, "ClippathOnly", ClippathOnly);
    readInt(kSettings, "AutoCut", AutoCut);
    readFloat(kSettings, "DupDx", DupDx);
    readFloat(kSettings, "DupDy", DupDy);
    readInt(kSettings, "MouseSens", MouseSens);
    readInt(kSettings, "MaxUndoMem", MaxUndoMem);
    readInt(kSettings, "MinUndoSteps", MinUndoSteps);
    readInt(kSettings, "WorkMemSize", WorkMemSize);
    readInt(kSettings, "EnableWPF", EnableWPF);
    readInt(kSettings, "EnableWMF", EnableWMF);
    readInt(kSettings, "EnableDIB", EnableDIB);
    readInt(kSettings, "EnableEMF", EnableEMF);
    readInt(kSettings, "DPI", DPI);
    if (DPI <= 75) DPI = 75;
    readInt(kSettings, "ColourDepth", ColourDepth);
    readFloat(kSettings, "NudgeSmall", NudgeSmall);
    readFloat(kSettings, "NudgeLarge", NudgeLarge);
    readInt(kSettings, "DefaultLayer", DefaultLayer);
    readColor("LineColor", LineColor);
    readColor("CurveColor", CurveColor);
    readColor("SelectionColor", SelectionColor);
    readColor("TraceBGColor", TraceBGColor);
    readInt(kSettings, "AutoSave", AutoSave);
    readInt(kSettings, "CutPenStyle", CutPenStyle);
    readColor("CutPenColor", CutPenColor);
    readInt(kSettings, "CornerMarkers", CornerMarkers);
    readInt(kSettings, "SyncMarkers", SyncMarkers);
    readFloat(kSettings, "CropMarkWidth", CropMarkWidth);
    readFloat(kSettings, "SynchMarkWidth", SynchMarkWidth);
    readString(kSettings, "FontDirectory", FontDirectory);
    readString(kSettings, "KerningDirectory", KerningDirectory);
}

void AppSettings::ReadLastSettings(LPCSTR defaultDimensionFont, LPCSTR defaultWclPath) {
    readString(kSettings, "DefaultFont", DefaultFont);
    readFloat(kSettings, "CharSize", CharSize);
    readFloat(kSettings, "AspectRatio", AspectRatio);
    readFloat(kSettings, "BaseLineShift", BaseLineShift);
    readFloat(kSettings, "CharSpacing", CharSpacing);
    readFloat(kSettings, "ItalicAngle", ItalicAngle);
    readInt(kSettings, "Slant", Slant);
    readByte(kSettings, "ChrAlign", ChrAlign);
    readFloat(kSettings, "WordSpacing", WordSpacing);
    readFloat(kSettings, "LineSpacing", LineSpacing);
    readByte(kSettings, "DefAlign", DefAlign);
    readByte(kSettings, "DefAutoKerning", DefAutoKerning);
    readByte(kSettings, "DefCustomKerning", DefCustomKerning);
    readByte(kSettings, "DefAutoBLShift", DefAutoBLShift);
    readInt(kSettings, "DefReversedLine", DefReversedLine);
    readByte(kSettings, "Detail", Detail);
    readInt(kSettings, "Unit", Unit);
    readInt(kSettings, "FlatLook", FlatLook);
    readInt(kSettings, "SnapToObject", SnapToObject);
    readInt(kSettings, "SnapToCorners", SnapToCorners);
    readInt(kSettings, "SnapToGuideLines", SnapToGuideLines);
    readInt(kSettings, "AdvPrinting", AdvPrinting);
    // Held as a float, stored as an integer.
    ArrowSize = float(profileInt(kDim, "ArrowSize", int(ArrowSize)));
    readByte(kDim, "ArrowType", ArrowType);
    readFloat(kDim, "LetterSize", LetterSize);
    readString(kDim, "FontName", FontName, defaultDimensionFont);
    readString(kDim, "Prefix", Prefix);
    readString(kDim, "Suffix", Suffix);
    readFloat(kDim, "UnitPerMM", UnitPerMM);
    readByte(kDim, "Precision", Precision);
    readByte(kDim, "TextPos", TextPos);
    readByte(kDim, "Align", Align);
    readString(kCal, "WCLPath", WCLPath, defaultWclPath);
    readString(kCal, "WCLProfile", WCLProfile);
    readInt(kCal, "EnableWCL", EnableWCL);
    (void)profileInt(kCal, "EnableCorrection", 0);
}

void AppSettings::Write() const {
    writeInt(kSettings, "DefaultOutlineColor", int(DefaultOutlineColor));
    writeInt(kSettings, "DefaultFillColor", int(DefaultFillColor));
    writeFloat(kSettings, "DefaultWidth", DefaultWidth);
    writeString(kSettings, "ImportPath", ImportPath);
    writeString(kSettings, "ExportPath", ExportPath);
    writeString(kSettings, "TexturePath", TexturePath);
    writeString(kSettings, "WMPPath", WMPPath);
    writeString(kSettings, "VectSettings", VectSettings);
    writeString(kSettings, "Plotman", Plotman);
    writeString(kSettings, "SpoolDirectory", SpoolDirectory);
    writeInt(kSettings, "ClippathOnly", ClippathOnly);
    writeInt(kSettings, "AutoCut", AutoCut);
    writeFloat(kSettings, "DupDx", DupDx);
    writeFloat(kSettings, "DupDy", DupDy);
    writeInt(kSettings, "MouseSens", MouseSens);
    writeInt(kSettings, "MaxUndoMem", MaxUndoMem);
    writeInt(kSettings, "MinUndoSteps", MinUndoSteps);
    writeInt(kSettings, "EnableWPF", EnableWPF);
    writeInt(kSettings, "EnableWMF", EnableWMF);
    writeInt(kSettings, "EnableEMF", EnableEMF);
    writeInt(kSettings, "EnableDIB", EnableDIB);
    writeInt(kSettings, "DPI", DPI);
    writeInt(kSettings, "ColourDepth", ColourDepth);
    writeInt(kSettings, "WorkMemSize", WorkMemSize);
    writeFloat(kSettings, "NudgeSmall", NudgeSmall);
    writeFloat(kSettings, "NudgeLarge", NudgeLarge);
    writeInt(kSettings, "DefaultLayer", DefaultLayer);
    writeInt(kSettings, "LineColor", int(LineColor));
    writeInt(kSettings, "CurveColor", int(CurveColor));
    writeInt(kSettings, "SelectionColor", int(SelectionColor));
    writeInt(kSettings, "TraceBGColor", int(TraceBGColor));
    writeInt(kSettings, "AutoSave", AutoSave);
    writeInt(kSettings, "CutPenStyle", CutPenStyle);
    writeInt(kSettings, "CutPenColor", int(CutPenColor));
    writeInt(kSettings, "CornerMarkers", CornerMarkers);
    writeInt(kSettings, "SyncMarkers", SyncMarkers);
    writeString(kSettings, "FontDirectory", FontDirectory);
    writeString(kSettings, "KerningDirectory", KerningDirectory);
    writeString(kSettings, "DefaultFont", DefaultFont);
    writeFloat(kSettings, "CharSize", CharSize);
    writeFloat(kSettings, "AspectRatio", AspectRatio);
    writeFloat(kSettings, "BaseLineShift", BaseLineShift);
    writeFloat(kSettings, "CharSpacing", CharSpacing);
    writeFloat(kSettings, "ItalicAngle", ItalicAngle);
    writeInt(kSettings, "Slant", Slant);
    writeInt(kSettings, "ChrAlign", ChrAlign);
    writeFloat(kSettings, "WordSpacing", WordSpacing);
    writeFloat(kSettings, "LineSpacing", LineSpacing);
    writeInt(kSettings, "DefAlign", DefAlign);
    writeInt(kSettings, "DefAutoKerning", DefAutoKerning);
    writeInt(kSettings, "DefCustomKerning", DefCustomKerning);
    writeInt(kSettings, "DefAutoBLShift", DefAutoBLShift);
    writeInt(kSettings, "DefReversedLine", DefReversedLine);
    writeInt(kSettings, "Detail", Detail);
    writeInt(kSettings, "Unit", Unit);
    writeInt(kSettings, "FlatLook", FlatLook);
    writeInt(kSettings, "SnapToObject", SnapToObject);
    writeInt(kSettings, "SnapToCorners", SnapToCorners);
    writeInt(kSettings, "SnapToGuideLines", SnapToGuideLines);
    writeInt(kSettings, "AdvPrinting", AdvPrinting);
    writeFloat(kSettings, "CropMarkWidth", CropMarkWidth);
    writeFloat(kSettings, "SynchMarkWidth", SynchMarkWidth);
    writeInt(kDim, "ArrowSize", int(ArrowSize));
    writeInt(kDim, "ArrowType", ArrowType);
    writeFloat(kDim, "LetterSize", LetterSize);
    writeString(kDim, "FontName", FontName);
    writeString(kDim, "Prefix", Prefix);
    writeString(kDim, "Suffix", Suffix);
    writeFloat(kDim, "UnitPerMM", UnitPerMM);
    writeInt(kDim, "Precision", Precision);
    writeInt(kDim, "TextPos", TextPos);
    writeInt(kDim, "Align", Align);
    writeString(kCal, "WCLPath", WCLPath);
    writeString(kCal, "WCLProfile", WCLProfile);
    writeInt(kCal, "EnableWCL", EnableWCL);
    writeInt(kCal, "EnableCorrection", 0);
}
