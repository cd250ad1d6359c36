#pragma once
// Base of the framework classes that receive commands.

#include "mfc/CObject.h"

class MFC_API CCmdTarget : public CObject {
    DECLARE_DYNAMIC(CCmdTarget)
public:
    CCmdTarget() = default;
    ~CCmdTarget() override;

    // The wait cursor (see CWaitCursor.h).
    void BeginWaitCursor();
    void EndWaitCursor();
    void RestoreWaitCursor();
};
