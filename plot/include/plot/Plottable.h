#pragma once
// What a host hands to Plot: its coloured paths and a few names. The slot order is the one
// hosts are built against.

#include "plot/export.h"

class CString;
class ColorPath;

struct PLOT_API Plottable {
    Plottable() = default;
    // Copying copies nothing: the interface has no data.
    Plottable(const Plottable&) {}
    Plottable& operator=(const Plottable&) { return *this; }
    virtual ~Plottable();

    // The host's array of paths and their number; the base leaves both unchanged. The array
    // and the paths stay the host's: they are read during a call to Plot only.
    virtual void getPlottingPaths(ColorPath*** out, int& count);
    // Non-zero when the design may be cut; the base allows it.
    virtual int isCutAllowed();
    virtual const char* getJobName();
    virtual void getLayerName(CString& out, int layer);
    // The host program's name.
    virtual const char* getPlottableName();

    Plottable& This() { return *this; }
};
