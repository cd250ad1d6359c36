#pragma once
// Numbers and lengths in edit fields and in dialog data exchange. Lengths are held in
// millimetres and shown in the current unit (CUnit). Numbers are read and written with '.'
// as decimal point whatever the locale, and shown with "%g".

#include <win32/base.h>

#include "settings/NumberFields.h" // the number rule, DDX_Float and DDV_Float

class CDataExchange;
class CWnd;

// Shows the value (the window is enabled for the moment of the change) and repaints it at
// once; the result is the repaint's.
BOOL SetWindowFloat(CWnd* wnd, float value);
// FALSE, value unchanged, for an empty text or one the number rule refuses.
BOOL GetWindowFloat(CWnd* wnd, float& value);
// The length brought to thousandths of a millimetre, shown in the current unit.
BOOL SetWindowMeasure(CWnd* wnd, float mm);
// The field's number in the current unit, as millimetres.
BOOL GetWindowMeasure(CWnd* wnd, float& mm);

// A length exchanged in the current unit, both ways to the nearest 0.000001.
void DDX_Measure(CDataExchange* pDX, int nIDC, float& mm);
// The range of a length, compared in thousandths of a millimetre; the prompt names the
// bounds in the current unit.
void DDV_Measure(CDataExchange* pDX, float& mm, float minMM, float maxMM);
