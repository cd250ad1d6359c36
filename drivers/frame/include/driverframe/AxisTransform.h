#pragma once
// The transform between the driver's axes and the device's, in steps. OrigoPos tells where
// the device's origin lies: 0 at the driver's origin, 1 at the far end of the second axis,
// 2 in the middle of the paper (the mirror flags then choose the sense of each axis).
// SwapXY exchanges the axes last. Results beyond the 32-bit range saturate.

#include <win32/base.h>

class AxisTransform {
public:
    void Set(int swapXY, int origoPos, int mirrorToX, int mirrorToY, LONG paperWidth,
             LONG paperHeight);

    // Driver axes to device axes.
    void Forward(LONG& x, LONG& y) const;
    // Device axes to driver axes; the exact inverse of Forward.
    void Reverse(LONG& x, LONG& y) const;

private:
    bool swap_ = false;
    int origoPos_ = 0;
    bool p_ = false; // sense of the second axis with OrigoPos 2
    bool q_ = false; // sense of the first axis with OrigoPos 2
    LONG paperWidth_ = 0;
    LONG paperHeight_ = 0;
};
