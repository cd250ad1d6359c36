#pragma once
// PostScript text of the objects' printing: colour, line width, points, paths and colour
// images, written into an output stream with a matrix from document to PostScript
// coordinates. Every finished line ends in CR LF.

#include <cstdint>

#include "pathkit/TMatrix.h"
#include "win32/base.h"

class OutStream;
class Path;
class floatBBox;

// What the image writer reads: the bitmap's size (0 x 0 without one), the source's own size
// and its pixels as blue, green, red, unused.
class PSImageSource {
public:
    virtual ~PSImageSource() = default;
    virtual int BitmapWidth() = 0;
    virtual int BitmapHeight() = 0;
    virtual int SourceWidth() = 0;
    virtual int SourceHeight() = 0;
    virtual void GetPixel(int x, int y, BYTE out[4]) = 0;
};

struct PSWriter {
    OutStream& stream;
    floatTMatrix matrix;
    std::int32_t imageWidth = 0;
    std::int32_t imageHeight = 0;

    PSWriter(OutStream& out, const floatTMatrix& m) : stream(out), matrix(m) {}

    // "r g b setrgbcolor", each byte as a number 0..1.
    void WritePSColor(COLORREF color);
    // The width's transformed length, then "setlinewidth".
    void WritePSLineWidth(float width);
    // The transformed point, each number followed by a blank.
    void WritePSPoint(float x, float y);
    // "newpath" and moveto, lineto and curveto lines of the qualifying sub-paths (closed ones
    // only, open ones only, or all); no closepath. 1 when anything was written, else 0.
    int WritePSPath(Path& path, int closedOnly, int openOnly);
    // The three bytes as raw characters.
    void WritePSRGB(BYTE a, BYTE b, BYTE c);
    // A complete "colorimage" of the source over the box, pixels as raw red, green, blue.
    void WritePSImage(PSImageSource& image, const floatBBox& box);
};
