#include "mfc/CWaitCursor.h"

#include "mfc/CCmdTarget.h"

namespace {
int g_waitCursorCount = 0;
}

void AfxDoWaitCursor(int nCode) {
    if (nCode > 0) {
        ++g_waitCursorCount;
    } else if (nCode < 0 && g_waitCursorCount > 0) {
        --g_waitCursorCount;
    }
}

int SdWaitCursorCount() {
    return g_waitCursorCount;
}

CWaitCursor::CWaitCursor() {
    AfxDoWaitCursor(1);
}

CWaitCursor::~CWaitCursor() {
    AfxDoWaitCursor(-1);
}

void CWaitCursor::Restore() {
    AfxDoWaitCursor(0);
}

void CCmdTarget::BeginWaitCursor() {
    AfxDoWaitCursor(1);
}

void CCmdTarget::EndWaitCursor() {
    AfxDoWaitCursor(-1);
}

void CCmdTarget::RestoreWaitCursor() {
    AfxDoWaitCursor(0);
}
