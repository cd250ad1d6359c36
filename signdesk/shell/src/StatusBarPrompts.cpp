#include "shell/StatusBarPrompts.h"

#include <mfc/CString.h>

namespace {

int busySteps = 0;

void ShowText(StatusBarFrame& frame, const CString& text) {
    CStatusBar* bar = frame.GetStatusBar();
    if (bar == nullptr || bar->m_hWnd == nullptr) return;
    bar->SetPaneText(0, text, TRUE);
    bar->UpdateWindow();
}

} // namespace

void ShowStatusBarPrompt(StatusBarFrame& frame, UINT stringId) {
    CString text;
    text.LoadString(stringId);
    ShowText(frame, text);
}

void StartStatusBarBusy(StatusBarFrame& frame) {
    busySteps = 0;
    ShowStatusBarPrompt(frame, IDS_BUSY);
}

void StepStatusBarBusy(StatusBarFrame& frame) {
    CStatusBar* bar = frame.GetStatusBar();
    if (busySteps % 60 == 0 || bar == nullptr) {
        ShowStatusBarPrompt(frame, IDS_BUSY);
    } else {
        ShowText(frame, bar->GetPaneText(0) + "=");
    }
    // Wraps to 0 instead of overflowing; 0 shows the prompt afresh as well.
    busySteps = busySteps == 0x7FFFFFFF ? 0 : busySteps + 1;
}
