#pragma once
// The tools' fields on the frame's tool-options bar. A tool loads its buttons, leaves one
// button position for each label and each field, and places them here; after any change of
// the bar it lays the bar out again.

#include <win32/base.h>

class CToolBar;
class CStatic;
class CSpinButtonCtrl;
class CFilterEdit;

// Turns button `index` into a separator of labelWidth holding `label` (a bitmap static,
// showing resource bitmap labelBitmap mapped to the system colours when it is nonzero) and
// button index + 1 into one of editWidth holding `edit`, with `spin` (range 1 to 100) attached
// to it when given. Without a label the edit takes button `index`. The edit's allowed
// characters become `allowed` when given. FALSE when a control cannot be made.
BOOL AddToolBarEdit(CToolBar* bar, int index, CFilterEdit* edit, UINT editId, int editWidth,
                    CStatic* label = nullptr, UINT labelId = 0, int labelWidth = 0,
                    UINT labelBitmap = 0, CSpinButtonCtrl* spin = nullptr, UINT spinId = 0,
                    const char* allowed = nullptr);

// Lays out the bar and its frame after a tool changed the bar's buttons.
void RecalcModeToolBar(CToolBar* bar);
