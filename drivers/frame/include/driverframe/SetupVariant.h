#pragma once
// What a template-language driver's setup sheet holds: the keys the driver reads, with the
// defaults it applies, and its pages. Each driver variant fills one.

#include <string>

struct SetupVariant {
    std::string driverFile; // written to Driver: "cutdrv-coral.dll"
    std::string defaultDevice = "LPT1";
    bool toolOffset = true;         // ToolOffset, drag-knife compensation
    double defaultToolOffset = 0.5; // millimetres
    bool linePoints = true;         // MuliplePoints, StartLine, ContinueLine, EndLine
    bool gpgl = true;               // isGPGL (disables the two request templates)
    bool serial = true;             // the serial keys and page
    bool timeOut = true;            // TimeOut (not read by drivers with a fixed time-out)
    bool transform = false;         // the coordinate keys and page
    bool syncKeys = true;           // FindSynchMarkers, GetSynchMarkers
    // Own keys of the variants.
    bool pause = false;        // Pause, milliseconds, 500
    bool force = false;        // Force (1) and ForceCmd
    bool acceleration = false; // Acceleration ("0.7") and SetAcceleration
    bool dollarIsText = false; // "$" in a template stands for the Acceleration text
    std::string usbLibrary;    // "USB" goes through this maker's library (Ports.ini)
};
