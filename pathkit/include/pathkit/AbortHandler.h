#pragma once
// Progress and cancel interface polled by the library's long operations.

#include "pathkit/export.h"

class PATHKIT_API AbortHandler {
public:
    // Names the current stage and the part of the whole range (percent) it covers.
    virtual void SetStage(const char* text, float from, float to) = 0;
    // Progress within the current stage, in percent.
    virtual void SetProgress(float percent) = 0;
    // The poll; a handler cancels by throwing, or by setting aborted where its caller
    // reads the flag afterwards (the tracer ends its pass with what it has).
    virtual void CheckAbort() = 0;
    virtual ~AbortHandler();

    // Non-zero once the user asked to stop.
    int aborted = 0;
};

// The handler in force; null when there is none. Installed and restored by callers,
// never changed by the library.
PATHKIT_API extern AbortHandler* DefAbortHandler;

// Polls DefAbortHandler when there is one.
PATHKIT_API void DefAbortProc();
