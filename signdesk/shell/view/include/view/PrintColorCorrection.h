#pragma once
// The colour correction of printed images: four transfer tables (cyan, magenta, yellow,
// black), one set for the whole program, identity until a calibration profile fills them.

#include <win32/base.h>

class DIBInterface;

struct PrintColorCorrection {
    static BYTE C[256];
    static BYTE M[256];
    static BYTE Y[256];
    static BYTE K[256];
    // Every table back to identity.
    static void Reset();
    // Passes a 24-bit image through the tables.
    static void Apply(DIBInterface& image);
};
