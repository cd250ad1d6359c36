#pragma once
// The host's binding to one output device: loads the driver plug-in named by the device
// section, keeps the driver object and the limits copied from it, and forwards every
// plotting call to it with the head offset added. Coordinates are device steps in the plot
// library's axes: the first (x) runs across the media, the second (y) along it. The driver
// has them the other way round; the table of the two lives in src/DriverAxes.h.
//
// What driver plug-ins may call back, and the fields in front that they rely on, are the
// driver contract's DriverOwner: its five virtual slots and its fields come first.

#include <mfc/CString.h>
#include <plotterdriver/DriverOwner.h>
#include <win32/base.h>

#include "plot/export.h"

class AbortHandler;
class CWnd;

class PLOT_API Plotter : public DriverOwner {
public:
    Plotter();
    // A copy shares the binding (library and driver) without owning it: destroying or
    // detaching the copy leaves the driver of the source loaded.
    Plotter(const Plotter& other);
    Plotter& operator=(const Plotter& other);
    // Detach. Not virtual: the five slots below are the whole table the drivers know.
    ~Plotter();

    // Slot 0: the aborted flag when set; otherwise polls the abort handler, or without one
    // lets the message pump process one waiting message, and returns the flag.
    int IsAborted() override;
    // Slots 1 and 2: millimetres to and from the plot library's current unit.
    float MMToUnit(float mm) override;
    float UnitToMM(float value) override;
    // Slot 3: the name of the current unit.
    const char* UnitName() override;
    // Slot 4: both set to 1000.
    void GetPlotSize(float& width, float& height) override;

    // Binding. Attach returns 0 when the plug-in gave a driver object, -1 otherwise (the
    // fallback limits are then in force and no driver is called). A binding already held is
    // detached first.
    int Attach(const char* driverFile, const char* deviceName, const char* iniPath,
               AbortHandler* handler);
    void Detach();

    float GetStepSize() const { return stepSize; }
    float GetMaxX() const { return float(maxX) * stepSize; }
    float GetMaxY() const { return float(maxY) * stepSize; }
    LONG GetMaxXStep() const { return maxX; }
    LONG GetMaxYStep() const { return maxY; }
    int GetNumberOfPens() const { return numberOfPens; }
    LONG GetPageSize() const { return pageSize; }
    int IsPagingPlotter() const { return pageSize > 0; }
    // (mm / step + 0.5) truncated toward zero; saturates, and 0 for a value that is no number.
    LONG InSteps(float mm) const;

    // Forwarders to the driver object. Without a driver they do nothing and answer 0 (an
    // empty device name).
    int Setup(CWnd* parent);
    void Reset();
    void Abort();
    // Opens the job; with spooling the output goes to a new spool job file.
    void Init(int setHead);
    void Exit();
    void HPStart();
    void HPEnd();
    void Start(int cut);
    void SetOrigin(LONG x, LONG y);
    void End();
    void SelectPen(unsigned pen);
    void SetSpeed(int fast);
    void MoveTo(LONG x, LONG y);
    void LineTo(LONG x, LONG y);
    void CurveTo(LONG x1, LONG y1, LONG x2, LONG y2, LONG x3, LONG y3, LONG x4, LONG y4);
    void GetHeadPos();
    void SetHeadPos();
    int ReadSheetSize();
    int ReadHeadPos();
    int GetOrientation();
    const char* GetDeviceName();
    void Write(const char* data, int length);
    int CanAutoCalibrate();
    int AutoCalibrate(LONG a1, LONG a2, LONG a3, LONG a4, LONG a5, LONG a6, LONG& r1, LONG& r2,
                      LONG& r3, LONG& r4, LONG& r5, LONG& r6);
    int HeadPosDelay();
    // The driver keeps the pointer (the spooler document name); the text must outlive the job.
    void SetJobName(const char* name);
    // Moves to the device origin; afterwards job coordinates reach the driver unshifted.
    void Home();
    // 0 when the output is a port (LPT1..4, COM1..4, with or without ':'), else 1.
    int isPlotFile();

    // Behind the fields of DriverOwner (library, driver, pen, limits, home, head, paged
    // distance, aborted flag):
    AbortHandler* abortHandler = nullptr;
    DWORD reserved1 = 0;
    DWORD reserved2 = 0;
    int useSpooler = 0;
    CString spoolDirectory;
    CString jobName;
    CString media;
    CString color;
    CString deviceName;
    CString savedDevice;
    CString sheetText;     // copy and panel, "%d/%d"
    CString sheetSizeText; // "%d x %d"
    int copies = 1;
    // The spool job file the open job writes; empty when not spooling.
    CString spoolFile;

private:
    // Set while this object holds the library reference it must free; never in a copy.
    bool ownsBinding_ = false;
};

// The shared binding of the whole system.
PLOT_API extern Plotter DRV;
