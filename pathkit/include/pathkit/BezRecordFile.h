#pragma once
// The Bezier record file, exchanged with the import converters and the outline manager: 9-byte
// records without a header. Byte 0 is a PathCmd (1 start of a sub-path, 2 line to, 3 first
// control point of a cubic, 0 its second control point and then its end point), bytes 1-4 x and
// bytes 5-8 y as little-endian IEEE single floats. A command byte 0xFF or the end of the file
// ends the data; the writer emits no end record.

#include <cstddef>

#include "pathkit/PathCmd.h"
#include "pathkit/Point.h"
#include "pathkit/export.h"

class OutStream;
class Path;

constexpr std::size_t BezRecordSize = 9;
constexpr unsigned char BezEndCommand = 0xFF;

// Feeds records one by one into a path through Path::Append, holding the points of a cubic
// until its third record.
//
// A command with bit 0x4 set is skipped. Of the others the two low bits count: 1 and 2 drop a
// half-read cubic; a 0 that follows neither a 3 nor a first 0 is ignored. A record whose
// coordinates (after the factors) are not finite or lie beyond MaxCoord is dropped together
// with a half-read cubic, so that no such number reaches the path, and counted (Dropped).
class PATHKIT_API BezRecordReader {
public:
    static constexpr double MaxCoord = 100000;

    BezRecordReader(Path& path, float xFactor, float yFactor);
    BezRecordReader(const BezRecordReader&) = delete;
    BezRecordReader& operator=(const BezRecordReader&) = delete;

    // Takes one record; false for the end record, which takes nothing.
    bool Record(const unsigned char* record);
    // Closes the path's current sub-path (Path::ClosePath); a half-read cubic is dropped.
    void Finish();
    // Records dropped for their coordinates so far.
    unsigned long Dropped() const { return dropped_; }

private:
    Path& path_;
    float xFactor_;
    float yFactor_;
    int held_; // points of a cubic held: 0, 1 (first control point) or 2 (both)
    floatPoint ctrl1_;
    floatPoint ctrl2_;
    unsigned long dropped_ = 0;
};

// Writes records one by one, coordinates multiplied by the factors, handing them to the stream
// a block at a time (and at Flush and destruction).
class PATHKIT_API BezRecordWriter {
public:
    BezRecordWriter(OutStream& out, float xFactor, float yFactor);
    BezRecordWriter(const BezRecordWriter&) = delete;
    BezRecordWriter& operator=(const BezRecordWriter&) = delete;
    ~BezRecordWriter();

    void Put(PathCmd cmd, float x, float y);
    void Put(PathCmd cmd, const floatPoint& p) { Put(cmd, p.x, p.y); }
    // Hands the held records to the stream: 0, or -1 when the stream has failed to take every
    // byte, now or at an earlier block (records after a failure are not written).
    int Flush();
    bool Failed() const { return failed_; }
    // Records put so far.
    unsigned long Count() const { return count_; }

private:
    OutStream& out_;
    float xFactor_;
    float yFactor_;
    unsigned char* block_;
    std::size_t used_ = 0;
    unsigned long count_ = 0;
    bool failed_ = false;
};

// Appends the records of the bytes to the path up to an end record or the end of the bytes (a
// trailing incomplete record is dropped), then closes the current sub-path. Returns the number
// of records dropped for coordinates that are not finite or out of range (0 for clean data).
PATHKIT_API unsigned long ReadBezRecords(const unsigned char* data, std::size_t size, Path& path,
                                         float xFactor, float yFactor);
// The same from a file; a file that is missing or cannot be read reads as empty.
PATHKIT_API unsigned long ReadBezFile(const char* fileName, Path& path, float xFactor,
                                      float yFactor);

// Writes every finished sub-path with members, coordinates multiplied by the factors:
// (1, first start), then per member (3, first control point), (0, second control point),
// (0, end) for a cubic and (2, end) for a line. Returns 0, or -1 when the stream did not take
// every byte.
PATHKIT_API int WriteBezRecords(OutStream& out, const Path& path, float xFactor, float yFactor);
// The same into a file (created or truncated); -1 also when it cannot be created or closed.
PATHKIT_API int WriteBezFile(const char* fileName, const Path& path, float xFactor, float yFactor);
