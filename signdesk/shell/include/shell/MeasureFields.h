#pragma once
// Numbers and lengths in edit fields and in dialog data exchange. Lengths are held in
// millimetres and shown in the current unit (CUnit). Numbers are read and written with '.'
// as decimal point whatever the locale, and shown with "%g".

#include <win32/base.h>

class CDataExchange;
class CWnd;

// The number rule of the measure fields: blanks and tabs around one decimal number
// ([sign] digits [. digits] [e [sign] digits]) that is finite as a float. A zero is taken
// only when the number is written with a leading '0' (".0" and "-0" are refused).
bool ParseFloatText(const char* text, float& value);

// Shows the value (the window is enabled for the moment of the change) and repaints it at
// once; the result is the repaint's.
BOOL SetWindowFloat(CWnd* wnd, float value);
// FALSE, value unchanged, for an empty text or one the number rule refuses.
BOOL GetWindowFloat(CWnd* wnd, float& value);
// The length brought to thousandths of a millimetre, shown in the current unit.
BOOL SetWindowMeasure(CWnd* wnd, float mm);
// The field's number in the current unit, as millimetres.
BOOL GetWindowMeasure(CWnd* wnd, float& mm);

// A refused text shows the prompt AFX_IDP_PARSE_REAL and fails the exchange (focus back on
// the control, value unchanged).
void DDX_Float(CDataExchange* pDX, int nIDC, float& value);
// A length exchanged in the current unit, both ways to the nearest 0.000001.
void DDX_Measure(CDataExchange* pDX, int nIDC, float& mm);
// While saving, a value outside min..max shows AFX_IDP_PARSE_REAL_RANGE with the bounds and
// fails the exchange; while loading it passes.
void DDV_Float(CDataExchange* pDX, float& value, float minVal, float maxVal);
// The same for a length, compared in thousandths of a millimetre; the prompt names the
// bounds in the current unit.
void DDV_Measure(CDataExchange* pDX, float& mm, float minMM, float maxMM);
