#include "model/ViewHooks.h"

namespace {
KeyHintsReceiver g_receiver = nullptr;
KeyHints g_lastHints;
BOOL g_bPrintPreview = 0;
} // namespace

void ShowKeyHints(BOOL shift, BOOL ctrl, BOOL shiftCtrl, BOOL alt) {
    g_lastHints = KeyHints{shift ? 1 : 0, ctrl ? 1 : 0, shiftCtrl ? 1 : 0, alt ? 1 : 0};
    if (g_receiver != nullptr) g_receiver(g_lastHints);
}

void SetKeyHintsReceiver(KeyHintsReceiver receiver) {
    g_receiver = receiver;
}

KeyHints GetLastKeyHints() {
    return g_lastHints;
}

void SetPrintPreview(BOOL bPreview) {
    g_bPrintPreview = bPreview ? 1 : 0;
}

BOOL IsPrintPreview() {
    return g_bPrintPreview;
}
