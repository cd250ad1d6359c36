#pragma once
// Writes paths as Illustrator 3 style PostScript. Coordinates are millimetres, written in
// points times the scale factor; every line ends with CR LF.

#include "pathkit/export.h"

class floatBBox;
class OutStream;
class Path;
class SubPath;

class PATHKIT_API AIWriter {
public:
    static constexpr double PointsPerMM = 2.8346456692913384; // 72 / 25.4
    // The prolog copied into every header, looked for beside the program.
    static constexpr const char* PrologFile = "Adobe4.hdr";

    AIWriter(OutStream& out, float factor);
    AIWriter(const AIWriter&) = delete;
    AIWriter& operator=(const AIWriter&) = delete;

    // The header comments with the box rounded up to whole points, then the prolog file's
    // bytes (nothing when it cannot be opened).
    void WriteHeader(const floatBBox& box);
    // A Windows colour reference (red in the low byte) as CMYK with "k" or "K".
    void SetFillColor(long colour);
    void SetStrokeColor(long colour);
    // Millimetres; the scale factor is not applied.
    void SetLineWidth(float width);
    // "m", then "c" or "l" per member, lower case when the node at the member's end is
    // smooth. No paint operator.
    AIWriter& operator<<(const SubPath& sp);
    // Every finished sub-path in order.
    AIWriter& operator<<(const Path& path);
    // "f" when f is non-zero, else "b".
    void Fill(int f);
    void Stroke();
    void WriteEndSequence();
    OutStream& GetStream() { return out_; }

private:
    void WriteCoord(float v);
    void WriteColour(long colour);
    void WritePrologFile();

    OutStream& out_;
    float factor_;
};
