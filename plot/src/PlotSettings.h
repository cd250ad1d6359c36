#pragma once
// The plot library's options in its two profile files. Plot.ini holds the cut page's options
// in [General] (the main program's own cut page keeps its copy in [Plotter]) and the media in
// [Vinil]; Devices.ini holds one section per device, of which the plot library reads the
// keys below. Every writer leaves the file flushed. Values that are no number (or infinite)
// count as missing.

#include <mfc/CString.h>
#include <mfc/CStringArray.h>

class AbortHandler;

// Plot.ini [General], the cut page's part. Load also sets OverCutting, Optimization and the
// spool fields of DRV; Save writes them back.
class CutSettings {
public:
    void Load();
    void Save() const;

    CString currentPlotter; // section of Devices.ini
    int headPos = 3;        // where the head is left after the job, 0..5
    int plotMode = 0;       // 0 cut, else plot
};

// What a job reads: media, weeding, marks and tiling. Lengths in millimetres. The lengths
// that the pages write with "%g" are read back as floats, fraction included.
class JobSettings {
public:
    // Media width := min(Vinil width, device MaxY), length := min(Vinil height, device
    // MaxX); 470 and 800 where that is not above 0. Page length from the device's PageSize.
    void Load();
    // The settings page's keys, the tile page's keys, and the layout page's media size (in
    // [Vinil], and as PaperWidth and PaperHeight of the current device).
    void SaveMarks() const;
    void SaveTiling() const;
    void SaveMedia(float width, float height) const;

    float mediaWidth = 470;
    float mediaLength = 800;
    float pageLength = 0; // 0: roll
    int weedBox = 1;
    float weedDx = 1;
    float weedDy = 1;
    int registrationMarkers = 0;
    float markerSize = 10;
    int panelMarkers = 1;
    float panelMarkLength = 10;
    float panelMarkWidth = 5;
    float overlapX = 5;
    float overlapY = 5;
    int manualFeed = 0; // non-zero: tiles go one direction only
};

// One device section of Devices.ini.
class DeviceSettings {
public:
    explicit DeviceSettings(const char* name) : name_(name) {}

    CString Driver() const; // "cutdrv-dune.dll" when missing
    CString Device() const; // "LPT1:" when missing
    int DisableLeaveHeadAt() const;
    // Usable media width (MaxY) and length (MaxX) in millimetres; callers give the default.
    float MaxY(float def) const;
    float MaxX(float def) const;
    float PageSize() const;
    void WritePaperSize(float width, float height) const;
    // Removes the section.
    void Remove() const;

    // The sections of Devices.ini in file order.
    static void GetDeviceNames(CStringArray& names);

private:
    CString name_;
};

// Plot.ini's CurrentPlotter.
CString CurrentDevice();

// Binds DRV to a device: its Driver key names the plug-in. Returns Plotter::Attach's result.
int AttachSelectedDevice(const char* device, AbortHandler* handler);
