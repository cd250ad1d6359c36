#pragma once
// Cutting printed copies: the registration points of the layout, the head readings and jog
// steps of the calibration, the checks of a measurement and the cut of every copy of a
// sheet through the calibration matrix.
#include <pathkit/BBox.h>
#include <pathkit/Point.h>
#include <pathkit/TMatrix.h>
#include <win32/base.h>

class CPrintEngine;
class Plotter;

// Where the marks of the printed block are: bottom-left, top-left, top-right.
void DefaultRegistrationPoints(CPrintEngine& engine, floatPoint points[3]);

// 10 mm in steps, divided by 10 with Ctrl and again with Shift (truncating).
int JogStep(float stepMM, bool ctrl, bool shift);
// A new head coordinate: never below 0 nor past the limit.
LONG JogTo(LONG head, LONG delta, LONG limit);
// The position a head reading stands for, in mm (the laser pointer's with the offsets).
floatPoint HeadReading(LONG headX, LONG headY, float stepMM, bool useLaser, double laserX,
                       double laserY);

// 0 when the measurement may be taken; else the message that refuses or asks:
// 381 a point outside the sheet (or never recorded), 380 a degenerate triangle or fit,
// 382 distances that differ by more than 3 % (the caller asks; Yes accepts).
int CheckCalibration(const floatPoint targets[3], const floatPoint measured[3], bool useLaser,
                     double laserX, double laserY);
// The ratio of the shorter to the longer of two distances (1 for two zero distances).
float DistanceRatio(const floatPoint& a1, const floatPoint& a2, const floatPoint& b1,
                    const floatPoint& b2);

// The matrix of one copy from design coordinates to device steps.
floatTMatrix CopyCutMatrix(CPrintEngine& engine, const floatTMatrix& copyPlacement,
                           const floatTMatrix& calibration, float stepMM);

enum class CutResult { Done, Aborted, NothingCut };
struct CutReport {
    CutResult result = CutResult::Done;
    int copiesCut = 0;
    int copiesOnSheet = 0;
};
// Cuts the lines, then the outlines, of every copy of the sheet through the plotter, clipped to
// its limits. askWhenClipped: contours reaching past the cutter's area are asked about first
// (No cuts nothing). The plotter must be bound and initialised.
CutReport CutSheetCopies(Plotter& plotter, CPrintEngine& engine, const floatTMatrix& calibration,
                         int sheetIndex, bool askWhenClipped);
