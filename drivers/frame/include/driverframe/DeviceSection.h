#pragma once
// The keys of one device section of Devices.ini as the template-language drivers read them.
// Lengths are given in millimetres and kept in steps: floor(mm / step size + 0.5).

#include <string>

#include <win32/base.h>

#include "driverframe/CommandTemplate.h"

class CIniFile;

// The command templates, in the order of the section.
enum class Cmd {
    SelectPen,
    Initialize,
    CutInit,
    PlotInit,
    Reset,
    SetDepth,
    End,
    MoveRel,
    LineRel,
    Bezier,
    SetOrigin,
    SetSpeed,
    GetPlottingArea,
    GetHeadPos, // sent as stored, never converted
    FindSynchMarkers,
    GetSynchMarkers,
    StartLine,
    ContinueLine,
    EndLine,
    SetSyncData,
    StartSyncProc,
    Count
};

class DeviceSection {
public:
    static constexpr float DefaultStepSize = 0.025f;

    // Reads every key of the section; absent keys take their defaults. Returns false when
    // StepSize was not above 0 (the default step size is then used).
    bool Load(CIniFile& ini, const char* section, double defaultToolOffset = 0.5,
              const char* defaultDevice = "LPT1");

    // Converts every template except GetHeadPos from its stored text; with dollarIsText each
    // "$" becomes the place of the command's text argument.
    void ConvertTemplates(bool dollarIsText = false);

    CommandTemplate& operator[](Cmd c) { return templates[int(c)]; }
    const CommandTemplate& operator[](Cmd c) const { return templates[int(c)]; }

    // Steps of a length in millimetres at the given step size; saturates, NaN gives 0.
    static LONG ToSteps(double mm, float stepSize);

    std::string device = "LPT1";
    int isGPGL = 0;
    int swapXY = 0;
    int origoPos = 0;
    int mirrorToX = 0;
    int mirrorToY = 0;
    float stepSize = DefaultStepSize; // millimetres per step
    std::string windowsUSBID;
    LONG maxX = 0; // steps
    LONG maxY = 0;
    LONG paperWidth = 0;
    LONG paperHeight = 0;
    LONG pageSize = 0;
    int numberOfPens = 1;
    int absoluteCoords = 0;
    LONG accuracy = 2;   // flattening tolerance in steps, at least 2
    LONG toolOffset = 0; // steps; 0 or less: no drag-knife compensation
    int plotSpeed = 40;  // the key's value / 10
    int cutSpeed = 20;
    int muliplePoints = 0;
    int baudRate = 4;
    int bits = 1;
    int flowCtrl = 1;
    int stopBits = 1;
    int parity = 0;
    int timeOut = 60; // seconds; 0 or less (or not a number) is taken as 60
    int autoSyncCaps = 0;
    std::string autoSyncName;
    int useAutoSync = 0;

    CommandTemplate templates[int(Cmd::Count)];
};
