#include "shell/PSWriter.h"

#include <cmath>

#include "pathkit/BBox.h"
#include "pathkit/OutStream.h"
#include "pathkit/Path.h"
#include "pathkit/StreamArgs.h"
#include "shell/BoxTransforms.h"

namespace {

bool StartsAtEnd(const SubPath& sp) {
    const floatPoint& s = sp.members.first()->start;
    const floatPoint& e = sp.members.last()->end;
    return s.x == e.x && s.y == e.y;
}

bool Qualifies(const SubPath& sp, int closedOnly, int openOnly) {
    const bool empty = sp.members.Filled() == 0;
    if (closedOnly && (empty || !StartsAtEnd(sp))) return false;
    if (openOnly && !empty && StartsAtEnd(sp)) return false;
    return true;
}

} // namespace

void PSWriter::WritePSColor(COLORREF color) {
    constexpr double Scale = 0.00392156862745098;
    stream << double(color & 0xFF) * Scale << ' ' << double((color >> 8) & 0xFF) * Scale << ' '
           << double((color >> 16) & 0xFF) * Scale << " setrgbcolor" << EndLine();
}

void PSWriter::WritePSLineWidth(float width) {
    float x = width, y = 0;
    matrix.dTransform(x, y);
    stream << double(std::fabs(x)) << " setlinewidth" << EndLine();
}

void PSWriter::WritePSPoint(float x, float y) {
    matrix.Transform(x, y);
    stream << double(x) << ' ' << double(y) << ' ';
}

int PSWriter::WritePSPath(Path& path, int closedOnly, int openOnly) {
    int count = 0;
    for (const SubPath& sp : path.subPaths)
        if (Qualifies(sp, closedOnly, openOnly)) ++count;
    if (count == 0) return 0;
    stream << "newpath" << EndLine();
    for (const SubPath& sp : path.subPaths) {
        if (!Qualifies(sp, closedOnly, openOnly) || sp.members.Filled() == 0) continue;
        const PathMember& first = *sp.members.first();
        WritePSPoint(first.start.x, first.start.y);
        stream << "moveto" << EndLine();
        for (const PathMember& pm : sp.members) {
            if (pm.flags & PM_CURVE) {
                WritePSPoint(pm.ctrl1.x, pm.ctrl1.y);
                WritePSPoint(pm.ctrl2.x, pm.ctrl2.y);
                WritePSPoint(pm.end.x, pm.end.y);
                stream << "curveto" << EndLine();
            } else {
                WritePSPoint(pm.end.x, pm.end.y);
                stream << "lineto" << EndLine();
            }
        }
    }
    return 1;
}

void PSWriter::WritePSRGB(BYTE a, BYTE b, BYTE c) {
    stream.Put(char(a));
    stream.Put(char(b));
    stream.Put(char(c));
}

void PSWriter::WritePSImage(PSImageSource& image, const floatBBox& box) {
    floatBBox b = box;
    TransformBBox(matrix, b);
    imageWidth = image.BitmapWidth();
    imageHeight = image.BitmapHeight();
    const long w = imageWidth, h = imageHeight;
    stream << "gsave" << EndLine();
    stream << double(b.left) << ' ' << double(b.bottom) << " translate "
           << double(b.right - b.left) << ' ' << double(b.top - b.bottom) << " scale" << EndLine();
    stream << "/buf " << w << " string def" << EndLine();
    stream << w << ' ' << h << " 8 [" << w << " 0 0 " << h << " 0 " << 0L << "]"
           << " { currentfile buf readstring pop } false 3 colorimage" << EndLine();
    const int sw = image.SourceWidth(), sh = image.SourceHeight();
    BYTE pixel[4] = {0, 0, 0, 0};
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (x < sw && y < sh) image.GetPixel(x, y, pixel);
            WritePSRGB(pixel[2], pixel[1], pixel[0]);
        }
    }
    stream << "grestore" << EndLine();
}
