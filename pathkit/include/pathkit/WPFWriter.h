#pragma once
// Writes paths in the text path format: one item a line, lines ended by CR LF, numbers in the
// output stream's number format.

#include "pathkit/export.h"

class ColorPath;
class OutStream;
class Path;
class PathGroup;
class PathMember;
class SubPath;
class floatPoint;

class PATHKIT_API WPFWriter {
public:
    // grid != 0: every coordinate is rounded to the nearest multiple of grid first.
    WPFWriter(OutStream& out, float grid);
    WPFWriter(const WPFWriter&) = delete;
    WPFWriter& operator=(const WPFWriter&) = delete;

    // "SubPath" header, one line per member, "EndSubPath"; nothing for an empty sub-path.
    virtual void Write(SubPath& sp);
    // One member line without its leading space and line end.
    virtual void Write(PathMember& member);
    // "BeginGroup", each path, "EndGroup".
    virtual void Write(PathGroup& group);
    // Header, each sub-path, "EndPath"; nothing for a path without members.
    virtual void Write(Path& path);
    virtual void WriteHeader(Path& path);
    virtual void WriteHeader(SubPath& sp);
    virtual ~WPFWriter();

    // Write(Path&) with the colour, layer and flags of path at hand for the header.
    void Write(ColorPath& path);

    WPFWriter& operator<<(Path& path);
    WPFWriter& operator<<(ColorPath& path);
    WPFWriter& operator<<(PathGroup& group);

protected:
    // The path being written when it was given as a ColorPath, else null.
    const ColorPath* ColorPathOf(const Path& path) const;
    // A coordinate, grid-rounded.
    void WriteCoord(float v);
    // x, one space, y.
    void WritePoint(const floatPoint& p);
    // A number in the stream's format; NaN is written as 0 and infinities as the largest
    // finite values, so that a reader finds a number where one belongs.
    void WriteNumber(double v);
    // A decimal integer, whatever the stream's number base.
    void WriteDecimal(long v);

    OutStream& out;
    float grid;

private:
    const ColorPath* colorPath_ = nullptr;
};
