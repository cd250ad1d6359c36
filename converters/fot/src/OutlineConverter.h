#pragma once
// The outline record file and its conversion into Bezier records.
//
// Outline record: flags (1 byte), x, y (signed 16-bit, big-endian). Flags 0x80 ends the data;
// of the others only 0x01 (smooth), 0x04 (a smooth point that starts a new curve run) and
// 0x08 (start of a three-point arc) count. x = y = 0xFFFF ends a contour.

class AbortHandler;
class InStream;
class OutStream;

namespace outline {

enum : unsigned char {
    Smooth = 0x01,
    NewRun = 0x04,
    ArcStart = 0x08,
    UsedFlags = 0x0D,
    EndOfData = 0x80,
};

constexpr int RecordSize = 5;

// Results of Convert.
constexpr int Converted = 0;
constexpr int FileFailure = -1;    // source not readable or target not written
constexpr int NotFinite = 16390;   // 0x4006: a value to write was not a finite number
constexpr int NoMemoryCode = 16384; // 0x4000
constexpr int LimitCode = 16395;   // 0x400B: an array reached its largest size

struct Tolerances {
    float angle = 15;  // degrees; 0 switches the end alignment off
    float merge = 1.0; // used as merge * 0.1; 0 switches the merge off
};

// Reads outline records from in (size: its length in bytes, for the progress) and writes the
// contours to out as Bezier records, coordinates unchanged. Progress after every tenth record
// read: CheckAbort, then SetProgress.
int ConvertOutline(InStream& in, long size, OutStream& out, AbortHandler* progress,
                   const Tolerances& tolerances = {});

} // namespace outline
