#pragma once

// The signed angle in radians (-pi..pi) from vector a to vector b; 0 when either has
// length 0.
double VectAngle(double ax, double ay, double bx, double by);
