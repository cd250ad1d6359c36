#pragma once
// The print-and-cut settings the application keeps for the output pages: the print-and-cut
// choice, the mark colour and the colour calibration profile.
#include <mfc/CString.h>
#include <win32/base.h>

struct PrintOptions {
    int printAndCutChoice = 0; // 0..4
    COLORREF markColor = 0;
    int enableWCL = 0;
    CString wclProfile;
    CString wclPath;
};

// The program's one record.
PrintOptions& ThePrintOptions();
