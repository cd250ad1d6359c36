#pragma once
// The abort handler of the tools' long operations: installed as DefAbortHandler for its
// lifetime; Escape pressed meanwhile beeps, sets aborted and throws AbortedError at the
// next poll. Other keys pressed during the operation are dropped.

#include <pathkit/AbortHandler.h>

class CEscapeAbortHandler : public AbortHandler {
public:
    CEscapeAbortHandler();
    ~CEscapeAbortHandler() override;
    CEscapeAbortHandler(const CEscapeAbortHandler&) = delete;
    CEscapeAbortHandler& operator=(const CEscapeAbortHandler&) = delete;

    void CheckAbort() override;

protected:
    // Beeps and sets the flag.
    void NoteEscape();

    AbortHandler* previous;
};
