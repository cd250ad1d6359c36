#pragma once
// Primitive drawing device that the caller implements; segments, sub-paths and paths emit
// their outlines into it.

#include "geomkit/WPont.h"
#include "geomkit/export.h"
#include "win32/base.h"

class GEOMKIT_API WAbsPrimDrawingDevice {
public:
    virtual ~WAbsPrimDrawingDevice();

    // Asked with 0.9 before a curve is flattened; the answer is the flatness tolerance in path
    // units and should be positive.
    virtual double ConvertLength(double length) = 0;
    virtual void MoveTo(double x, double y) = 0;
    virtual void LineTo(double x, double y) = 0;
    virtual void DrawBox(double x, double y, COLORREF colour, int style) = 0;
    // After all segments of one sub-path.
    virtual void EndOutline() = 0;
    // After the last piece of each curve segment, followed by CurveDone(0).
    virtual void EndCurve() = 0;
    virtual void CurveDone(int state) = 0;

    void MoveTo(const WPont<float>& p) { MoveTo(double(p.x), double(p.y)); }
    void LineTo(const WPont<float>& p) { LineTo(double(p.x), double(p.y)); }
    void MoveTo(const WPont<double>& p) { MoveTo(p.x, p.y); }
    void LineTo(const WPont<double>& p) { LineTo(p.x, p.y); }
    // A grey box at p.
    void DrawBox(const WPont<float>& p) { DrawBox(p.x, p.y, 0x808080, 0); }

protected:
    WAbsPrimDrawingDevice() = default;
    WAbsPrimDrawingDevice(const WAbsPrimDrawingDevice&) = default;
    WAbsPrimDrawingDevice& operator=(const WAbsPrimDrawingDevice&) = default;
};
