#pragma once
// Colour balance: shifts shadows, midtones and highlights separately along the cyan-red,
// magenta-green and yellow-blue axes, through three 256-entry look-up tables.

#include <win32/base.h>
#include "rasterkit/export.h"

// The six fixed transfer curves: T0 highlights (amount > 0), T1 midtones (> 0), T2 shadows
// (> 0), T3 highlights (<= 0), T4 midtones (<= 0), T5 shadows (<= 0).
class RASTERKIT_API ColorTransfer {
public:
    ColorTransfer();
    double T[6][256];
};

class RASTERKIT_API ColorBalance {
public:
    ColorBalance() { Reset(); }

    // All amounts 0, keep-lightness off, tables rebuilt.
    void Reset();
    // Builds the three tables and the has-effect flag from the amounts.
    void CreateLUT();
    int HasEffect() const { return m_bHasEffect; }
    void CalcBalance(BYTE& r, BYTE& g, BYTE& b) const;
    // rgb[0] red, rgb[1] green, rgb[2] blue.
    void CalcBalance(int rgb[3]) const;

    static ColorTransfer CT;

    BYTE m_lutRed[256];
    BYTE m_lutGreen[256];
    BYTE m_lutBlue[256];
    int m_bHasEffect = 0;
    // Positive amounts move toward red, green, blue.
    double m_redShadows = 0;
    double m_redMidtones = 0;
    double m_redHighlights = 0;
    double m_greenShadows = 0;
    double m_greenMidtones = 0;
    double m_greenHighlights = 0;
    double m_blueShadows = 0;
    double m_blueMidtones = 0;
    double m_blueHighlights = 0;
    int m_bKeepLightness = 0;
};
