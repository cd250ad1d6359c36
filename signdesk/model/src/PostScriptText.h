#pragma once
// PostScript text of the fills: colours, paths and images written through a matrix into an
// output stream, each operator line ended by CR LF.

#include <pathkit/BBox.h>
#include <pathkit/TMatrix.h>
#include <win32/base.h>

class OutStream;
class Path;
class DIBInterface;

// "r g b setrgbcolor", each component byte / 255.
void WritePSColor(OutStream& out, COLORREF color);
// "newpath" and every non-empty sub-path as "moveto", "lineto" and "curveto" lines; 0 and
// nothing written for a path without sub-paths.
int WritePSPath(OutStream& out, const floatTMatrix& m, Path& path);
// A colour image of the bitmap placed into the box (document units through m).
void WritePSImage(OutStream& out, const floatTMatrix& m, DIBInterface& image, const floatBBox& box);
