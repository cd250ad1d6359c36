#include "app/AppSettings.h"

#include <cmath>
#include <cstring>
#include <string>

#include <mfc/CWinApp.h>
#include <settings/NumericText.h>
#include <win32/ProfileTransaction.h>
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
void writeInt(ProfileTransaction& t, const char* section, const char* key, int value) {
    t.WriteString(section, key, std::to_string(value).c_str());
}
void writeFloat(ProfileTransaction& t, const char* section, const char* key, float value) {
    t.WriteString(section, key, FormatProfileDouble(value).c_str());
}
void writeString(ProfileTransaction& t, const char* section, const char* key,
                 const CString& value) {
    // The file cannot hold a line break; such a value is refused alone, not the whole write.
    if (std::strpbrk(value, "\r\n") != nullptr) return;
    t.WriteString(section, key, value);
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
    // One replacement of the file for all keys rather than one (with its sync) per key.
    const CWinApp* a = AfxGetApp();
    if (a == nullptr || a->m_pszProfileName == nullptr) return;
    ProfileTransaction t(a->m_pszProfileName);
    writeInt(t, kSettings, "DefaultOutlineColor", int(DefaultOutlineColor));
    writeInt(t, kSettings, "DefaultFillColor", int(DefaultFillColor));
    writeFloat(t, kSettings, "DefaultWidth", DefaultWidth);
    writeString(t, kSettings, "ImportPath", ImportPath);
    writeString(t, kSettings, "ExportPath", ExportPath);
    writeString(t, kSettings, "TexturePath", TexturePath);
    writeString(t, kSettings, "WMPPath", WMPPath);
    writeString(t, kSettings, "VectSettings", VectSettings);
    writeString(t, kSettings, "Plotman", Plotman);
    writeString(t, kSettings, "SpoolDirectory", SpoolDirectory);
    writeInt(t, kSettings, "ClippathOnly", ClippathOnly);
    writeInt(t, kSettings, "AutoCut", AutoCut);
    writeFloat(t, kSettings, "DupDx", DupDx);
    writeFloat(t, kSettings, "DupDy", DupDy);
    writeInt(t, kSettings, "MouseSens", MouseSens);
    writeInt(t, kSettings, "MaxUndoMem", MaxUndoMem);
    writeInt(t, kSettings, "MinUndoSteps", MinUndoSteps);
    writeInt(t, kSettings, "EnableWPF", EnableWPF);
    writeInt(t, kSettings, "EnableWMF", EnableWMF);
    writeInt(t, kSettings, "EnableEMF", EnableEMF);
    writeInt(t, kSettings, "EnableDIB", EnableDIB);
    writeInt(t, kSettings, "DPI", DPI);
    writeInt(t, kSettings, "ColourDepth", ColourDepth);
    writeInt(t, kSettings, "WorkMemSize", WorkMemSize);
    writeFloat(t, kSettings, "NudgeSmall", NudgeSmall);
    writeFloat(t, kSettings, "NudgeLarge", NudgeLarge);
    writeInt(t, kSettings, "DefaultLayer", DefaultLayer);
    writeInt(t, kSettings, "LineColor", int(LineColor));
    writeInt(t, kSettings, "CurveColor", int(CurveColor));
    writeInt(t, kSettings, "SelectionColor", int(SelectionColor));
    writeInt(t, kSettings, "TraceBGColor", int(TraceBGColor));
    writeInt(t, kSettings, "AutoSave", AutoSave);
    writeInt(t, kSettings, "CutPenStyle", CutPenStyle);
    writeInt(t, kSettings, "CutPenColor", int(CutPenColor));
    writeInt(t, kSettings, "CornerMarkers", CornerMarkers);
    writeInt(t, kSettings, "SyncMarkers", SyncMarkers);
    writeString(t, kSettings, "FontDirectory", FontDirectory);
    writeString(t, kSettings, "KerningDirectory", KerningDirectory);
    writeString(t, kSettings, "DefaultFont", DefaultFont);
    writeFloat(t, kSettings, "CharSize", CharSize);
    writeFloat(t, kSettings, "AspectRatio", AspectRatio);
    writeFloat(t, kSettings, "BaseLineShift", BaseLineShift);
    writeFloat(t, kSettings, "CharSpacing", CharSpacing);
    writeFloat(t, kSettings, "ItalicAngle", ItalicAngle);
    writeInt(t, kSettings, "Slant", Slant);
    writeInt(t, kSettings, "ChrAlign", ChrAlign);
    writeFloat(t, kSettings, "WordSpacing", WordSpacing);
    writeFloat(t, kSettings, "LineSpacing", LineSpacing);
    writeInt(t, kSettings, "DefAlign", DefAlign);
    writeInt(t, kSettings, "DefAutoKerning", DefAutoKerning);
    writeInt(t, kSettings, "DefCustomKerning", DefCustomKerning);
    writeInt(t, kSettings, "DefAutoBLShift", DefAutoBLShift);
    writeInt(t, kSettings, "DefReversedLine", DefReversedLine);
    writeInt(t, kSettings, "Detail", Detail);
    writeInt(t, kSettings, "Unit", Unit);
    writeInt(t, kSettings, "FlatLook", FlatLook);
    writeInt(t, kSettings, "SnapToObject", SnapToObject);
    writeInt(t, kSettings, "SnapToCorners", SnapToCorners);
    writeInt(t, kSettings, "SnapToGuideLines", SnapToGuideLines);
    writeInt(t, kSettings, "AdvPrinting", AdvPrinting);
    writeFloat(t, kSettings, "CropMarkWidth", CropMarkWidth);
    writeFloat(t, kSettings, "SynchMarkWidth", SynchMarkWidth);
    writeInt(t, kDim, "ArrowSize", int(ArrowSize));
    writeInt(t, kDim, "ArrowType", ArrowType);
    writeFloat(t, kDim, "LetterSize", LetterSize);
    writeString(t, kDim, "FontName", FontName);
    writeString(t, kDim, "Prefix", Prefix);
    writeString(t, kDim, "Suffix", Suffix);
    writeFloat(t, kDim, "UnitPerMM", UnitPerMM);
    writeInt(t, kDim, "Precision", Precision);
    writeInt(t, kDim, "TextPos", TextPos);
    writeInt(t, kDim, "Align", Align);
    writeString(t, kCal, "WCLPath", WCLPath);
    writeString(t, kCal, "WCLProfile", WCLProfile);
    writeInt(t, kCal, "EnableWCL", EnableWCL);
    writeInt(t, kCal, "EnableCorrection", 0);
    t.Commit();
}
