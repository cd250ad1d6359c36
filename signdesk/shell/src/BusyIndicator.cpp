#include "shell/BusyIndicator.h"

namespace {

BusyIndicator* installed = nullptr;

} // namespace

void SetBusyIndicator(BusyIndicator* indicator) {
    installed = indicator;
}

void StartBusyIndicator() {
    if (installed) installed->StartBusyIndicator();
}

void ShowBusyPrompt() {
    if (installed) installed->ShowBusyPrompt();
}

void StepBusyIndicator() {
    if (installed) installed->StepBusyIndicator();
}

void EndBusyIndicator() {
    if (installed) installed->EndBusyIndicator();
}
