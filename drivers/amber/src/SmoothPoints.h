#pragma once
// Smooth points along a cubic Bezier curve, for cutters that fit the curve themselves:
// points spaced so that neighbouring chords grow and shrink evenly with the parameter.

#include <vector>

struct SmoothPoint {
    double x = 0, y = 0; // millimetres
};

// The parameters chosen by the spline quality (1 to 8) and the device step.
struct SplineParameters {
    double baseTolerance = 0.35;
    double smallestInterval = 0.0001;
    double firstStep = 0.01;
    double firstThreshold = 0.0025; // squared millimetres
    double largestStep = 0.08;
    double toleranceDivisor = 100.0;
    double deviceStep = 0.05; // millimetres

    static SplineParameters ForQuality(int quality, double deviceStep);
};

// The points from B(0) to B(1) of the curve p[0..3] (millimetres). With a scale factor f of
// 3 or more, the end points are first put on the grid of f device steps and the parameter
// step is at most 1 / (12.5 f).
std::vector<SmoothPoint> SmoothPoints(const SmoothPoint p[4], const SplineParameters& parameters,
                                      int scaleFactor);

// The spline quality of a tolerance in hundredths of a millimetre.
int SplineQuality(double hundredths);
