#include "pathkit/AbortHandler.h"

AbortHandler* DefAbortHandler = nullptr;

void AbortHandler::SetStage(const char*, float stageFrom, float stageTo) {
    from = stageFrom;
    to = stageTo;
}

void AbortHandler::SetProgress(float) {}

void AbortHandler::CheckAbort() {}

AbortHandler::~AbortHandler() = default;

void DefAbortProc() {
    if (DefAbortHandler) DefAbortHandler->CheckAbort();
}
