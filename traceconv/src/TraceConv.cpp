#include "traceconv/TraceConv.h"

#include "TraceEngine.h"
#include "traceconv/TraceTesting.h"

namespace {
// The one tracer of the process, alive from load to unload.
TraceEngine engine;
} // namespace

void SetTraceParam(AbortHandler* handler, int a, int b, int c, float f) {
    engine.SetTraceParam(handler, a, b, c, f);
}

void SetExtTraceParam(int smooth, int straighten, int corners, int snapVertical,
                      int snapHorizontal, int connectionTypes, float angle1, float angle2,
                      int spare) {
    engine.SetExtTraceParam(smooth, straighten, corners, snapVertical, snapHorizontal,
                            connectionTypes, angle1, angle2, spare);
}

int PrepareTracing(HDIB dib) {
    return engine.PrepareTracing(dib);
}

COLORREF* GetPassPalette() {
    return engine.GetPassPalette();
}

void TraceAll(HDIB dib, Path& out) {
    engine.TraceAll(dib, out);
}

void Trace(HDIB dib, COLORREF* colors, int count, Path& out) {
    engine.Trace(dib, colors, count, out);
}

void TraceSetStoreLimits(int pointBlocks, int referenceBlocks, int outlineBlocks) {
    auto limit = [](int n) { return n > 0 ? unsigned(n) : 0u; };
    engine.SetStoreLimits(limit(pointBlocks), limit(referenceBlocks), limit(outlineBlocks));
}
