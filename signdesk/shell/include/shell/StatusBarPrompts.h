#pragma once
// The busy prompts in the first pane of a frame's status bar: a prompt of the resource
// library, and while an operation runs a row of "=" that grows by one at every step and
// starts afresh with the prompt at every sixtieth. The step counter is one for the process.
// Each change is painted at once.

#include "shell/CStatusBarProgress.h"

constexpr UINT IDS_BUSY_CANCELLED = 40021; // shown when a long operation was cancelled
constexpr UINT IDS_BUSY = 40022;           // the busy prompt
constexpr UINT IDS_BUSY_DONE = 40023;      // shown after a long operation

// The string in pane 0, painted at once; nothing without a status bar.
void ShowStatusBarPrompt(StatusBarFrame& frame, UINT stringId);
// The busy prompt; the counter starts at 0.
void StartStatusBarBusy(StatusBarFrame& frame);
// The busy prompt afresh at steps 0, 60, 120 ..., otherwise the pane's text and one "=".
void StepStatusBarBusy(StatusBarFrame& frame);
