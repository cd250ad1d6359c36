#pragma once
// The program's settings in the profile ("Settings", "DimensionalLine", "ColorCalibration"):
// every value with its default, read at start-up and written at exit. Floats go through the
// profile's float functions (always a '.' as decimal point); byte settings keep their low
// byte.

#include <mfc/CString.h>
#include <win32/base.h>

struct AppSettings {
    // "Settings"
    COLORREF DefaultOutlineColor = 0;
    COLORREF DefaultFillColor = 0;
    float DefaultWidth = 0.0f;
    CString ImportPath, ExportPath, TexturePath, WMPPath, VectSettings, Plotman, SpoolDirectory;
    int ClippathOnly = 0;
    int AutoCut = 1;
    float DupDx = 10.0f, DupDy = 10.0f;
    int MouseSens = 3;
    int MaxUndoMem = 4000;
    int MinUndoSteps = 1;
    int WorkMemSize = 4096;
    int EnableWPF = 1, EnableWMF = 0, EnableDIB = 1, EnableEMF = 1;
    int DPI = 150;
    int ColourDepth = 2;
    float NudgeSmall = 1.0f, NudgeLarge = 10.0f;
    int DefaultLayer = 1;
    COLORREF LineColor = 0, CurveColor = 0x7F7F7F, SelectionColor = 0xFF0000,
             TraceBGColor = 0xFFFFFF;
    int AutoSave = 5;
    int CutPenStyle = 2;
    COLORREF CutPenColor = 0xFF0000;
    int CornerMarkers = 1, SyncMarkers = 1;
    float CropMarkWidth = 0.2f, SynchMarkWidth = 0.2f;
    CString FontDirectory, KerningDirectory;
    CString DefaultFont;
    float CharSize = 100.0f, AspectRatio = 1.0f, BaseLineShift = 0.0f, CharSpacing = 0.08f,
          ItalicAngle = 0.0f;
    int Slant = 0;
    BYTE ChrAlign = 1;
    float WordSpacing = 40.0f, LineSpacing = 140.0f;
    BYTE DefAlign = 0, DefAutoKerning = 1, DefCustomKerning = 1, DefAutoBLShift = 0;
    int DefReversedLine = 0;
    BYTE Detail = 2;
    int Unit = 0, FlatLook = 1, SnapToObject = 1, SnapToCorners = 1, SnapToGuideLines = 1,
        AdvPrinting = 1;
    // "DimensionalLine"
    float ArrowSize = 20.0f;
    BYTE ArrowType = 1;
    float LetterSize = 20.0f;
    CString FontName, Prefix, Suffix;
    float UnitPerMM = 1.0f;
    BYTE Precision = 2, TextPos = 1, Align = 1;
    // "ColorCalibration"
    CString WCLPath, WCLProfile;
    int EnableWCL = 1;

    // Section "Settings" from DefaultOutlineColor to SynchMarkWidth, in the table's order.
    void ReadFirstSettings();
    // A font or kerning folder as stored: without its trailing path separators.
    static CString WithoutTrailingSeparator(const CString& path);
    // DefaultFont to AdvPrinting, "DimensionalLine" (FontName's default given), then
    // "ColorCalibration" (WCLPath's default given; EnableCorrection read and not used).
    void ReadLastSettings(LPCSTR defaultDimensionFont, LPCSTR defaultWclPath);
    // Every key, in the exit order; EnableCorrection is written as 0.
    void Write() const;
};

// The program's settings (the values the other parts of the program read).
AppSettings& Settings();
