#pragma once
// The synchronisation block: section "Sync" of Plot.ini, the plot settings file in the same
// folder as Devices.ini. Lengths are converted at a fixed 40 units per millimetre.

#include <string>

class SyncBlock {
public:
    // xs, ys, xd, yd and XNum, in the order the SetSyncData template takes them.
    long values[5] = {};

    // True when Type is 5 and every value lies in its range; otherwise nothing is sent.
    bool Read(const char* plotIniPath);

    // Plot.ini in the folder of the given Devices.ini path ('/' or '\' separate folders).
    static std::string PlotIniBeside(const std::string& devicesIniPath);
};
