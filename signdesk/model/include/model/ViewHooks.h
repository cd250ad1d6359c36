#pragma once
// State of the frame and the view that design objects and fills read while the frame and the
// view are being built: the status bar's key hints and the print-preview flag.

#include <win32/base.h>

struct KeyHints {
    BOOL shift = 0;
    BOOL ctrl = 0;
    BOOL shiftCtrl = 0;
    BOOL alt = 0;
};

// Marks which modifier keys the current drag honours ("Sh", "Ct", "Sh+Ct", "Alt"); the
// others are cleared. The frame installs the receiver that shows them; the last hints are
// kept either way.
using KeyHintsReceiver = void (*)(const KeyHints& hints);
void ShowKeyHints(BOOL shift, BOOL ctrl, BOOL shiftCtrl, BOOL alt);
void SetKeyHintsReceiver(KeyHintsReceiver receiver);
KeyHints GetLastKeyHints();

// Set by the view while it draws a print preview: objects then draw as on the screen
// instead of asking the printer for PostScript.
void SetPrintPreview(BOOL bPreview);
BOOL IsPrintPreview();
