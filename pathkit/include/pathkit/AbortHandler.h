#pragma once
// Progress and cancel interface polled by the library's long operations.

#include "pathkit/export.h"

class PATHKIT_API AbortHandler {
public:
    // Names the current stage and the part of the whole range (percent) it covers. The
    // default keeps the range and ignores the text.
    virtual void SetStage(const char* text, float from, float to);
    // Progress within the current stage, in percent. The default does nothing.
    virtual void SetProgress(float percent);
    // The poll; a handler cancels by throwing AbortedError, or by setting aborted where its
    // caller reads the flag afterwards (the tracer ends its pass with what it has). The
    // default does nothing.
    virtual void CheckAbort();
    virtual ~AbortHandler();

    // Non-zero once the user asked to stop.
    int aborted = 0;
    // The part of the overall progress (percent) that the current stage covers.
    float from = 0.0f;
    float to = 100.0f;
};

// The handler in force; null when there is none. Installed and restored by callers,
// never changed by the library.
PATHKIT_API extern AbortHandler* DefAbortHandler;

// Polls DefAbortHandler when there is one.
PATHKIT_API void DefAbortProc();
