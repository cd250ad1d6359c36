#pragma once
// The host's binding to one output device: loads the driver plug-in named by the device
// section, keeps the driver object and the limits copied from it, and forwards every
// plotting call to it with the head offset added. Coordinates are device steps; a job
// point (x, y) reaches the driver as (y + headY - homeY, x + headX - homeX).
//
// Driver plug-ins call back only through the five virtual slots and write the aborted flag,
// the home offset and the head position directly; the field order is part of that contract.

#include <mfc/CString.h>
#include <win32/base.h>

#include "plot/export.h"

class AbortHandler;
class CWnd;
class PlotterDriver;

class PLOT_API Plotter {
public:
    Plotter();
    Plotter(const Plotter& other);
    Plotter& operator=(const Plotter& other);
    ~Plotter();

    // Slot 0: the aborted flag when set; otherwise polls the abort handler, or without one
    // lets the message pump process one waiting message, and returns the flag.
    virtual int IsAborted();
    // Slots 1 and 2: millimetres to and from the plot library's current unit.
    virtual float MMToUnit(float mm);
    virtual float UnitToMM(float value);
    // Slot 3: the name of the current unit.
    virtual const char* UnitName();
    // Slot 4: both set to 1000.
    virtual void GetPlotSize(float& width, float& height);

    // Binding. Attach returns 0 when the plug-in gave a driver object, -1 otherwise (the
    // fallback limits are then in force).
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
    LONG InSteps(float mm) const;

    // Forwarders to the driver object.
    int Setup(CWnd* parent);
    void Reset();
    void Abort();
    void Init(int flag);
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
    void SetJobName(const char* name);
    void Home();
    int isPlotFile();

    HMODULE driverLibrary = nullptr;
    PlotterDriver* driver = nullptr;
    unsigned currentPen = unsigned(-1);
    float stepSize = 0.025f; // millimetres per step
    LONG maxX = 0;           // steps
    LONG maxY = 0;
    LONG pageSize = 0; // steps; above 0 for a paging device
    int numberOfPens = 1;
    LONG homeX = 0; // origin offset, steps
    LONG homeY = 0;
    LONG headX = 0; // where the job's (0, 0) lies on the device, steps
    LONG headY = 0;
    int pagedDistance = 0;
    int aborted = 0;
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
};

// The shared binding of the whole system.
PLOT_API extern Plotter DRV;
