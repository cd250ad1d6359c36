#pragma once
// The driver object as the plot library sees it: the fields it reads and writes, and the
// virtual operations in slot order. Slot order and field order are the contract between the
// plot library and every driver plug-in; never insert, remove or reorder either.
//
// Coordinates are device steps in the driver's axes: x is the first argument, limited by
// maxX, y the second, limited by maxY. The base operations do nothing and answer neutrally.

#include <win32/base.h>

class CWnd;
class Plotter;

class PlotterDriver {
public:
    PlotterDriver(const PlotterDriver&) = delete;
    PlotterDriver& operator=(const PlotterDriver&) = delete;

    virtual int Setup(CWnd* parent);        // 0
    virtual void Release();                 // 1
    virtual void Reset();                   // 2
    virtual void Abort();                   // 3
    virtual void Init();                    // 4
    virtual void Exit();                    // 5
    virtual void HPStart();                 // 6
    virtual void HPEnd();                   // 7
    virtual int Start(int cut);             // 8
    virtual void SetOrigin(LONG x, LONG y); // 9
    virtual void End();                     // 10
    virtual void SelectPen(unsigned pen);   // 11
    virtual void SetSpeed(int speed);       // 12
    virtual void MoveTo(LONG x, LONG y);    // 13
    virtual void LineTo(LONG x, LONG y);    // 14
    virtual void CurveTo(LONG x1, LONG y1, LONG x2, LONG y2, LONG x3, LONG y3, LONG x4,
                         LONG y4);                    // 15
    virtual void GetHeadPos(LONG& x, LONG& y);        // 16
    virtual void SetHeadPos(LONG& x, LONG& y);        // 17
    virtual int ReadSheetSize();                      // 18
    virtual int ReadHeadPos();                        // 19
    virtual int GetOrientation();                     // 20
    virtual const char* GetDeviceName();              // 21
    virtual void Write(const char* data, int length); // 22
    virtual int CanAutoCalibrate();                   // 23
    virtual int AutoCalibrate(LONG a1, LONG a2, LONG a3, LONG a4, LONG a5, LONG a6, LONG& r1,
                              LONG& r2, LONG& r3, LONG& r4, LONG& r5, LONG& r6); // 24
    // Only drivers that talk back to the device answer these; the plot library never calls
    // them. A negative length means up to the terminating zero.
    virtual int ReadWithTimeout(char* buffer, int size, unsigned milliseconds,
                                const char* terminators);                              // 25
    virtual int WriteWithTimeout(unsigned milliseconds, const char* data, int length); // 26

    Plotter* owner = nullptr; // set by the plot library right after Attach
    LONG headX = 0;           // steps
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
