#pragma once
// Path-building commands; also the command byte of the Bezier record file.

enum PathCmd : int {
    PC_CURVEPOINT = 0, // second control point, then end point of a cubic
    PC_MOVETO = 1,     // starts a new sub-path
    PC_LINETO = 2,
    PC_CURVETO = 3, // first control point of a cubic
};
