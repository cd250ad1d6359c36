#include "pathkit/AbortHandler.h"

AbortHandler* DefAbortHandler = nullptr;

AbortHandler::~AbortHandler() = default;

void DefAbortProc() {
    if (DefAbortHandler) DefAbortHandler->CheckAbort();
}
