#pragma once
// What the recording driver plug-in shares with the tests: the calls it received, in order,
// and the switches that make it misbehave. The tests reach it through the plug-in's
// MockControl entry.

#include <string>
#include <vector>

#include <win32/base.h>

struct MockControl {
    // One line per driver call, e.g. "MoveTo 207 105".
    std::vector<std::string> calls;

    // Copied into the driver object by Attach.
    float stepSize = 0.025f;
    LONG maxX = 80000; // the driver's x: along the media
    LONG maxY = 18800; // the driver's y: across the media
    LONG pageSize = 0;
    int numberOfPens = 1;
    int plotSpeed = 11;
    int cutSpeed = 22;
    int headPosDelay = 0;

    // Answers of ReadSheetSize and ReadHeadPos (0: failed), and what they then report.
    int readSheetSize = 0;
    LONG sheetX = 0, sheetY = 0;
    int readHeadPos = 0;
    LONG replyX = 0, replyY = 0;

    bool attachReturnsNull = false;
    bool throwInInit = false;
    std::string deviceName = "LPT1:"; // what GetDeviceName answers

    // The section and profile Attach was given; the Device key Init found there.
    std::string attachedSection, attachedIni, openedDevice;

    void Reset() { *this = MockControl(); }
};

using MockControlProc = MockControl* (*)();
