#pragma once
// DXF drawings into Bezier records.
//
// Read: LINE, ARC, CIRCLE, POLYLINE and LWPOLYLINE (with bulges) anywhere outside the BLOCKS
// section; other entities are passed over and counted. Names count only as values of group
// code 0, "$LUNITS" only as a value of code 9. Output: x·f·10, y·f·(-10) with the unit factor f
// 254 (one drawing unit = 25.4 mm on import), or by "$LUNITS" 1: 1, 2: 10, 3: 25.4.

class AbortHandler;
class InStream;
class OutStream;

namespace dxf {

struct Stats {
    long entitiesRead = 0;
    long entitiesPassedOver = 0; // entities of kinds not read (outside BLOCKS)
    // A value where a number belongs was none, or it (or a point made from it) did not fit a
    // float: the scan stopped there.
    bool badNumber = false;
};

// 0, or -1 when the source ends before "EOF", nothing was written, a number was bad (see
// Stats; records written before it may be in the stream, which Convert then empties), or the
// output failed.
// Progress for every pair the scan examines: SetProgress when the whole percent changed,
// then CheckAbort.
int ConvertDxf(InStream& in, long size, OutStream& out, AbortHandler* progress,
               Stats* stats = nullptr);

} // namespace dxf
