#pragma once
// A colour-correction curve: increasing inputs with their outputs, evaluated piecewise
// linearly in both directions and stored in the correction files.

#include <settings/DynArrays.h>

class CArchive;

class CColorCurve {
public:
    CColorCurve() = default;
    CColorCurve(const CColorCurve& other) { *this = other; }
    CColorCurve& operator=(const CColorCurve& other);

    // Below the first input the first output; beyond the last input (or with one point) the
    // last output; a segment with equal inputs is skipped, so a step takes the value after it.
    double Evaluate(float x) const;
    // The same with inputs and outputs exchanged.
    double EvaluateInverse(float y) const;

    floatDynArr input;
    floatDynArr output;
};

// u32 version 1, u32 count, count pairs of f32 input and output. Reading empties the curve
// first and refuses a later version (badIndex) or a count past what the arrays hold.
CArchive& operator<<(CArchive& ar, const CColorCurve& curve);
CArchive& operator>>(CArchive& ar, CColorCurve& curve);
