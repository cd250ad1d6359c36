#pragma once
// The driver object as the plot library sees it: the fields it reads and writes, and the
// virtual operations in slot order. Slot order and field order are the contract between the
// plot library and every driver plug-in; never insert, remove or reorder either.
//
// Coordinates are device steps in the driver's axes: x is the first argument, limited by
// maxX, y the second, limited by maxY. The base operations do nothing and answer neutrally.
// They are defined here, so that neither side links the other to know the class.

#include <win32/base.h>

class CWnd;
class DriverOwner;

class PlotterDriver {
public:
    PlotterDriver(const PlotterDriver&) = delete;
    PlotterDriver& operator=(const PlotterDriver&) = delete;

    virtual int Setup(CWnd*) { return 0; }                                  // 0
    virtual void Release() {}                                               // 1
    virtual void Reset() {}                                                 // 2
    virtual void Abort() {}                                                 // 3
    virtual void Init() {}                                                  // 4
    virtual void Exit() {}                                                  // 5
    virtual void HPStart() {}                                               // 6
    virtual void HPEnd() {}                                                 // 7
    virtual int Start(int) { return 0; }                                    // 8
    virtual void SetOrigin(LONG, LONG) {}                                   // 9
    virtual void End() {}                                                   // 10
    virtual void SelectPen(unsigned) {}                                     // 11
    virtual void SetSpeed(int) {}                                           // 12
    virtual void MoveTo(LONG, LONG) {}                                      // 13
    virtual void LineTo(LONG, LONG) {}                                      // 14
    virtual void CurveTo(LONG, LONG, LONG, LONG, LONG, LONG, LONG, LONG) {} // 15
    virtual void GetHeadPos(LONG& x, LONG& y) {                             // 16
        x = headX;
        y = headY;
    }
    virtual void SetHeadPos(LONG& x, LONG& y) { // 17
        headX = x;
        headY = y;
    }
    virtual int ReadSheetSize() { return 0; }          // 18
    virtual int ReadHeadPos() { return 0; }            // 19
    virtual int GetOrientation() { return 1; }         // 20
    virtual const char* GetDeviceName() { return ""; } // 21
    virtual void Write(const char*, int) {}            // 22
    virtual int CanAutoCalibrate() { return 0; }       // 23
    virtual int AutoCalibrate(LONG, LONG, LONG, LONG, LONG, LONG, LONG&, LONG&, LONG&, LONG&, LONG&,
                              LONG&) { // 24
        return 0;
    }
    // Only drivers that talk back to the device answer these; the plot library never calls
    // them. A negative length means up to the terminating zero.
    virtual int ReadWithTimeout(char*, int, unsigned, const char*) { return -1; } // 25
    virtual int WriteWithTimeout(unsigned, const char*, int) { return 0; }        // 26

    DriverOwner* owner = nullptr; // set by the plot library right after Attach
    LONG headX = 0;               // steps
    LONG headY = 0;
    float stepSize = 0.025f; // millimetres per step
    LONG maxX = 6000;        // steps
    LONG maxY = 5600;
    LONG pageSize = 4000; // steps; 0 = continuous media
    int numberOfPens = 8;
    int plotSpeed = 20;
    int cutSpeed = 20;
    int headPosDelay = 0;
    const char* jobName = ""; // spooler document name, set by the plot library

protected:
    PlotterDriver() = default;
    // The driver object is a global of its plug-in, never deleted through this class.
    ~PlotterDriver() = default;
};

// The plug-in's one entry, exported with C linkage under the name "Attach": binds the
// plug-in's driver object to section deviceName of the profile file iniPath and returns it,
// or null when the plug-in cannot serve (it has said why itself).
constexpr const char* AttachEntryName = "Attach";
using AttachProc = PlotterDriver* (*)(const char* deviceName, const char* iniPath);
