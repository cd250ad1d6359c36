#pragma once
// Reads Illustrator 3 style PostScript into coloured paths, one per painted shape.

#include <cstdint>

#include "pathkit/AIParser.h"
#include "pathkit/ColorPath.h"
#include "pathkit/export.h"

class PATHKIT_API AIReader : public AIParser {
public:
    explicit AIReader(InStream& in);

    // Moves the next painted shape into target, whose sub-paths are freed; the first call
    // reads the header. At "%%Trailer" or the end of input the target is left untouched and
    // the reader tests false. Throws Eof inside an unterminated string, and the array limit
    // errors for a shape beyond them.
    AIReader& operator>>(ColorPath& target);
    // True when the last extraction delivered a shape.
    explicit operator bool() const { return delivered_; }

    // Clears the stroke and fill flags and runs the parser.
    int ProcessScript();

    int UnImplemented() override;
    int Creator() override;
    int BoundingBox(const floatBBox& box) override;
    // "*u": a compound path begins.
    int BeginGroup(int clipGroup) override;
    // "*U": the compound path is complete (returns 0); other groups are ignored.
    int EndGroup(int clipGroup) override;
    // colour = r + 256 g + 65536 b, each component times 255 truncated to a byte.
    int SetFillColor(float r, float g, float b) override;
    int SetStrokeColor(float r, float g, float b) override;
    int SetLineWidth(float width) override;
    int MoveTo(const floatPoint& p) override;
    // A member starting at a smooth node gets PM_SMOOTH.
    int LineTo(const floatPoint& p, int smooth) override;
    int CurveTo(const floatPoint& p1, const floatPoint& p2, const floatPoint& p3,
                int smooth) override;
    int Fill(int close) override;
    int Stroke(int close) override;
    int FillAndStroke(int close) override;
    int SectionWithClipPath() override;

    ColorPath path;             // the shape being built; its colour is the fill colour
    std::uint32_t strokeColour; // 0x00BBGGRR
    float lineWidth;            // millimetres
    int pendingSmooth;          // the end of the last segment is a smooth node
    int headerDone;
    int inCompound;
    int stroke; // the last shape is stroked
    int fill;   // the last shape is filled

private:
    // Finishes the sub-path being built; when it ends where it began, a smooth end node
    // makes its first member smooth.
    void FinishSubPath();
    void MarkAppended(unsigned before, int smooth);

    bool delivered_ = false;
};
