// Beeps are counted, not heard.

#include <mutex>

#include "win32/UserTesting.h"

namespace {

struct BeepCounter {
    std::mutex mutex;
    int count = 0;
    UINT lastType = 0;
};

BeepCounter& beeps() {
    static auto* counter = new BeepCounter;
    return *counter;
}

} // namespace

BOOL MessageBeep(UINT type) {
    BeepCounter& b = beeps();
    std::lock_guard lock(b.mutex);
    ++b.count;
    b.lastType = type;
    return TRUE;
}

int SdBeepCount() {
    BeepCounter& b = beeps();
    std::lock_guard lock(b.mutex);
    return b.count;
}

UINT SdLastBeepType() {
    BeepCounter& b = beeps();
    std::lock_guard lock(b.mutex);
    return b.lastType;
}

void SdResetBeeps() {
    BeepCounter& b = beeps();
    std::lock_guard lock(b.mutex);
    b.count = 0;
    b.lastType = 0;
}
