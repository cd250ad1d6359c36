#pragma once
// The abort handler with a progress bar: while it lives the main frame's status bar shows
// a bar in pane 0 and the stage text in pane 1. Escape sets aborted (no exception); the
// operation that polls must look at the flag and stop. Each poll takes at most one input
// message or paint from the queue: Escape aborts, mouse moves show the wait cursor, paints
// are carried out, other input is dropped. Posted commands, timers and WM_QUIT stay for
// the main loop.

#include <cstdint>

#include <mfc/CStatusBar.h>

#include "shell/CEscapeAbortHandler.h"

// What the handler needs of the main frame.
class StatusBarFrame {
public:
    virtual ~StatusBarFrame() = default;
    virtual CStatusBar* GetStatusBar() = 0;
    // The panes flag: the six panes with position and unit, or the four without.
    virtual BOOL GetExtendedStatusBar() const = 0;
    virtual void SetExtendedStatusBar(BOOL extended) = 0;
    // Rebuilds the panes after the flag.
    virtual void SetupStatusBar() = 0;
};

class CStatusBarProgress : public CEscapeAbortHandler {
public:
    explicit CStatusBarProgress(StatusBarFrame& frame);
    // Gives the frame its panes back, then uninstalls.
    ~CStatusBarProgress() override;

    void SetStage(const char* text, float from, float to) override;
    // Fills pane 0 from its left edge to the overall percentage; draws only when the bar's
    // width changed.
    void SetProgress(float percent) override;
    void CheckAbort() override;

    StatusBarFrame& frame;
    // Width in pixels of the bar drawn last.
    std::int32_t lastWidth = 0;
    BOOL savedPanesFlag;
};
