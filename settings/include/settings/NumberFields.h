#pragma once
// Numbers and lengths in dialog fields, shared by the program's measure fields and the
// drivers' setup pages: one number rule, one exchange. Numbers are read and written with '.'
// as decimal point whatever the locale, and shown with "%g". A length is held in millimetres
// and shown in a unit the caller names by its two conversions.

#include <functional>
#include <string>

class CDataExchange;

// The number rule: blanks and tabs around one decimal number ([sign] digits [. digits]
// [e [sign] digits]) that is finite as a float. A zero is taken only when the number is
// written with a leading '0' (".0" and "-0" are refused).
bool ParseFloatText(const char* text, float& value);

// The shortest "%g" text (6 to 9 significant digits) that reads back as the same float.
std::string FormatShortestFloat(float value);

// A length brought to thousandths of a millimetre, as length fields check it.
float RoundToThousandths(float mm);
// v brought to the nearest multiple of step (halves up).
double RoundToStep(double v, double step);

// The unit a length field shows: millimetres to the unit and back.
struct LengthUnit {
    std::function<double(double mm)> fromMM;
    std::function<double(double value)> toMM;
};

// Shown as FormatShortestFloat gives it, so that an untouched field reads back the same
// value. A refused text shows the prompt AFX_IDP_PARSE_REAL and fails the exchange (focus
// back on the control, value unchanged).
void DDX_Float(CDataExchange* pDX, int nIDC, float& value);
// While saving, a value outside min..max shows AFX_IDP_PARSE_REAL_RANGE with the bounds
// ("%g") and fails the exchange; while loading it passes.
void DDV_Float(CDataExchange* pDX, float& value, float minVal, float maxVal);
// A length exchanged in `unit`, both ways to the nearest 0.000001.
void DDX_Length(CDataExchange* pDX, int nIDC, float& mm, const LengthUnit& unit);
// The range of a length, compared in thousandths of a millimetre; the prompt names the
// bounds in `unit`.
void DDV_Length(CDataExchange* pDX, float& mm, float minMM, float maxMM, const LengthUnit& unit);
