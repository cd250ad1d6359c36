#pragma once
// The busy prompts of the main frame's status bar, reached through the frame's
// implementation; without one they do nothing.

class BusyIndicator {
public:
    virtual ~BusyIndicator() = default;
    virtual void StartBusyIndicator() = 0;
    virtual void ShowBusyPrompt() = 0;
    virtual void StepBusyIndicator() = 0;
    virtual void EndBusyIndicator() = 0;
};

// The frame installs itself; null removes it.
void SetBusyIndicator(BusyIndicator* indicator);

void StartBusyIndicator();
void ShowBusyPrompt();
void StepBusyIndicator();
void EndBusyIndicator();
