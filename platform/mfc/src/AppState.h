#pragma once
// Process-wide state of the application object and the current thread object.

#include <atomic>

class CWinApp;
class CWinThread;

namespace appstate {
extern std::atomic<CWinThread*> currentThread;
extern std::atomic<CWinApp*> app;
} // namespace appstate
