#pragma once
// The tracer: palette bitmaps (1, 4 or 8 bits per pixel) into closed outlines, one set per
// colour. One tracer per process; the functions are not re-entrant.
//
// Coordinates of the outlines are integers in half-pixel units in storage order: pixel
// column x spans 2x to 2x + 2 and scan line y (y = 0 the first line of the bits) spans 2y to
// 2y + 2. Scaling them is the caller's business.
//
// Calling order: SetTraceParam, SetExtTraceParam, PrepareTracing, then TraceAll, or
// GetPassPalette and Trace for chosen colours. The caller keeps the bitmap block. A
// bitmap that cannot be read safely gives no pass and an empty path. sLinkBankFull,
// NoMemory and exceptions thrown by the handler reach the caller; the caller's path is then
// left as it was and the next trace starts afresh.

#include <win32/base.h>

#include "traceconv/DIB.h"
#include "traceconv/export.h"
#include "traceconv/sLinkBankFull.h"

class AbortHandler;
class Path;

extern "C" {
// a: bump width, b: step length, c: minimum size (pixels; negative counts as 0), f: the
// curve-fitting tolerance (pixels; 0, negative or not finite: no fitting).
TRACECONV_API void SetTraceParam(AbortHandler* handler, int a, int b, int c, float f);
// The six post-processing switches and the connection and snap angles in degrees.
TRACECONV_API void SetExtTraceParam(int smooth, int straighten, int corners, int snapVertical,
                                    int snapHorizontal, int connectionTypes, float angle1,
                                    float angle2, int spare);
// Analyses the bitmap; returns the number of colour passes.
TRACECONV_API int PrepareTracing(HDIB dib);
// 256 COLORREF values; entry i is the colour of pass i.
TRACECONV_API COLORREF* GetPassPalette();
// Traces every pass of the last PrepareTracing into out (its sub-paths are replaced).
TRACECONV_API void TraceAll(HDIB dib, Path& out);
// One pass tracing every pixel whose colour is one of the count colours.
TRACECONV_API void Trace(HDIB dib, COLORREF* colors, int count, Path& out);
}
