#pragma once
// The tracer behind the six exports: colour analysis and passes, row classification,
// progress and abort polling, the point sink with the curve fitter, and the
// post-processing of every finished sub-path.

#include <cstdint>
#include <vector>

#include <pathkit/Path.h>
#include <pathkit/PathFitter.h>
#include <win32/base.h>

#include "OutlineTracer.h"
#include "traceconv/DIB.h"

class AbortHandler;

class TraceEngine : public OutlineTracer {
public:
    TraceEngine();

    void SetTraceParam(AbortHandler* handler, int a, int b, int c, float f);
    void SetExtTraceParam(int smooth, int straighten, int corners, int snapVertical,
                          int snapHorizontal, int connectionTypes, float angle1, float angle2,
                          int spare);
    int PrepareTracing(HDIB handle);
    COLORREF* GetPassPalette() { return passPalette; }
    void TraceAll(HDIB handle, Path& out);
    void Trace(HDIB handle, const COLORREF* colors, int count, Path& out);

    // Read by the tests through the exports' results only; kept public for the fuzz target.
    float fitTolerance = 1.0f;
    int passIndex = 0;

protected:
    void Output(int kind, float x, float y) override;

private:
    // Loads bit count, size and colour table of a locked, checked bitmap.
    void ReadBitmap(const DIB& dib);
    void ClassifyPassRow(const DIB& dib, int y);
    void ClassifySelectionRow(const DIB& dib, int y);
    void RowStep(int y);
    void PostProcess(SubPath& sp, float t);
    void HandOver(Path& out);
    // After an exception: no outline, no fitter run and no sub-path is left behind.
    void Abandon();

    Path path;
    PathFitter fitter;
    AbortHandler* handler = nullptr;
    int rowCounter = 0;
    float lastX = 0, lastY = 0;
    std::vector<char> rowText;
    int selection[256] = {};
    COLORREF colorTable[256] = {};
    COLORREF passPalette[256] = {};
    int width = 0, height = 0, bitCount = 0;
    int totalWork = 0;
    unsigned subPathsBefore = 0;
    std::uint8_t smooth = 1, straighten = 1, corners = 1, snapVertical = 1, snapHorizontal = 1,
                 connectionTypes = 1;
    float connectionAngle = 0.08726646f;
    float snapAngle = 0.08726646f;
    std::uint8_t spare = 0; // kept; nothing reads it
};
