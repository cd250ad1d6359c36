#pragma once
// Lets the caller break off a long drawing.

#include "geomkit/export.h"

class GEOMKIT_API WInterruptHandler {
public:
    virtual ~WInterruptHandler();
    // Non-zero asks the drawing to stop.
    virtual int CheckInterrupt() = 0;

protected:
    WInterruptHandler() = default;
    WInterruptHandler(const WInterruptHandler&) = default;
    WInterruptHandler& operator=(const WInterruptHandler&) = default;
};
