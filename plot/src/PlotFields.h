#pragma once
// Lengths in the plot sheet's fields: held in millimetres, shown and typed in Plot's current
// unit, numbers with '.' whatever the locale and shown with "%g".

class CDataExchange;
class CWnd;

// False for an empty or unreadable text; the value is then unchanged.
bool ReadNumber(CWnd* field, float& value);
// A length typed in the current unit, as millimetres.
bool ReadLength(CWnd* field, float& mm);
void ShowNumber(CWnd* field, float value);
void ShowLength(CWnd* field, float mm);

// Exchange of a length; a refused text fails the exchange with the framework's prompt.
void DDX_Length(CDataExchange* pDX, int id, float& mm);
// While saving, a length outside lo..hi (mm) fails with the range prompt in the current unit.
void DDV_Length(CDataExchange* pDX, float mm, float lo, float hi);
