#include "PostScriptText.h"

#include <pathkit/OutStream.h>
#include <pathkit/Path.h>
#include <pathkit/StreamArgs.h>
#include <rasterkit/DIBInterface.h>
#include <shell/BoxTransforms.h>

namespace {

void WritePoint(OutStream& out, const floatTMatrix& m, floatPoint p) {
    m.Transform(p.x, p.y);
    out << double(p.x) << ' ' << double(p.y) << ' ';
}

} // namespace

void WritePSColor(OutStream& out, COLORREF color) {
    const double scale = 0.00392156862745098;
    out << GetRValue(color) * scale << ' ' << GetGValue(color) * scale << ' '
        << GetBValue(color) * scale << " setrgbcolor" << EndLine();
}

int WritePSPath(OutStream& out, const floatTMatrix& m, Path& path) {
    if (path.subPaths.Filled() == 0) return 0;
    out << "newpath" << EndLine();
    for (SubPath& sp : path.subPaths) {
        if (sp.members.Filled() == 0) continue;
        WritePoint(out, m, sp.members[0].start);
        out << "moveto" << EndLine();
        for (const PathMember& pm : sp.members) {
            if (pm.flags & 0x0004) {
                WritePoint(out, m, pm.ctrl1);
                WritePoint(out, m, pm.ctrl2);
                WritePoint(out, m, pm.end);
                out << "curveto" << EndLine();
            } else {
                WritePoint(out, m, pm.end);
                out << "lineto" << EndLine();
            }
        }
    }
    return 1;
}

void WritePSImage(OutStream& out, const floatTMatrix& m, DIBInterface& image, const floatBBox& box) {
    floatBBox b = box;
    TransformBBox(m, b);
    const int w = image.GetWidth(), h = image.GetHeight();
    out << "gsave" << EndLine();
    out << double(b.left) << ' ' << double(b.bottom) << " translate " << double(b.right - b.left)
        << ' ' << double(b.top - b.bottom) << " scale" << EndLine();
    out << "/buf " << w << " string def" << EndLine();
    out << w << ' ' << h << " 8 [" << w << " 0 0 " << h << " 0 " << 0 << "]"
        << " { currentfile buf readstring pop } false 3 colorimage" << EndLine();
    // The image matrix puts the first row at the bottom of the box: bottom row first.
    for (int y = h - 1; y >= 0; --y)
        for (int x = 0; x < w; ++x) {
            BYTE bgr[3] = {0, 0, 0};
            image.GetRGB(x, y, bgr);
            out.Put(char(bgr[2]));
            out.Put(char(bgr[1]));
            out.Put(char(bgr[0]));
        }
    out << "grestore" << EndLine();
}
