#pragma once
// What a driver may call back in the plot library: the binding object behind
// PlotterDriver::owner. The plot library's Plotter derives from this class first, so its
// virtual table starts with these five slots and its fields start with these, in this order.
// A driver calls the slots and writes only the aborted flag, the home offset and the head
// position; it never reads or writes the rest.

#include <win32/base.h>

class PlotterDriver;

class DriverOwner {
public:
    // Slot 0: non-zero once the job is aborted; may let the user interface run meanwhile.
    virtual int IsAborted() = 0;
    // Slots 1 and 2: millimetres to and from the plot library's current unit.
    virtual float MMToUnit(float mm) = 0;
    virtual float UnitToMM(float value) = 0;
    // Slot 3: the name of the current unit.
    virtual const char* UnitName() = 0;
    // Slot 4: the size of the plotting area.
    virtual void GetPlotSize(float& width, float& height) = 0;

    HMODULE driverLibrary = nullptr;
    PlotterDriver* driver = nullptr;
    unsigned currentPen = unsigned(-1);
    float stepSize = 0.025f; // millimetres per step
    LONG maxX = 0;           // steps, across the media
    LONG maxY = 0;           // steps, along the media
    LONG pageSize = 0;       // steps; above 0 for a paging device
    int numberOfPens = 1;
    LONG homeX = 0; // origin offset, steps
    LONG homeY = 0;
    LONG headX = 0; // where the job's (0, 0) lies on the device, steps
    LONG headY = 0;
    int pagedDistance = 0; // steps fed by paging on this sheet
    int aborted = 0;

protected:
    DriverOwner() = default;
    DriverOwner(const DriverOwner&) = default;
    DriverOwner& operator=(const DriverOwner&) = default;
    ~DriverOwner() = default;
};
