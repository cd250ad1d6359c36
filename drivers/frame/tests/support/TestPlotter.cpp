#include "TestPlotter.h"

int TestPlotter::IsAborted() {
    ++polls;
    if (abortAtPoll > 0 && polls >= abortAtPoll) aborted = 1;
    return aborted;
}
