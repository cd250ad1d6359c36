#pragma once
// Helpers of the editing tools that objects and fills use for their handles.

#include <pathkit/Point.h>

class CDC;

// Turns the vector from (cx, cy) to p onto the nearest of the directions angle + k * 90
// degrees (angle in radians), keeping its length.
void RotatePointAbout(float cx, float cy, floatPoint& p, double angle);
// A Rectangle or an Ellipse from (x - s, y - s) to (x + s, y + s) with the current pen and brush.
void DrawSquareMarker(CDC* pDC, int x, int y, int s);
void DrawRoundMarker(CDC* pDC, int x, int y, int s);
