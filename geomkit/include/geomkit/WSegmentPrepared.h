#pragma once
// A segment with its power-form coefficients: x(t) = ((ax·t + bx)·t + cx)·t + dx.

#include "geomkit/WSegment.h"

class GEOMKIT_API WSegmentPrepared : public WSegment {
public:
    WSegmentPrepared() { Prepare(); }
    explicit WSegmentPrepared(const WSegment& s) : WSegment(s) { Prepare(); }
    ~WSegmentPrepared() override;

    // From the current fields, whether or not the curve bit is set.
    void Prepare();
    // Power form and its derivative; a line follows its cubic form.
    WPont<float> CoordAtParamIfPrepared(double t) const;
    WVektor<float> GradientAtParamIfPrepared(double t) const;

    double ax = 0, bx = 0, cx = 0, dx = 0;
    double ay = 0, by = 0, cy = 0, dy = 0;
};
