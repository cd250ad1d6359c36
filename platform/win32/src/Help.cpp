#include <mutex>

#include "win32/help.h"

namespace {
struct HelpLog {
    std::mutex mutex;
    std::vector<SdHelpRecord> records;
};

HelpLog& helpLog() {
    static auto* log = new HelpLog;
    return *log;
}

void record(const char* viewer, LPCSTR file, UINT command, ULONG_PTR data) {
    HelpLog& log = helpLog();
    std::lock_guard lock(log.mutex);
    log.records.push_back({viewer, file != nullptr ? file : "", command, data});
}
} // namespace

BOOL WinHelpA(HWND, LPCSTR file, UINT command, ULONG_PTR data) {
    record("WinHelp", file, command, data);
    return TRUE;
}

HWND HtmlHelpA(HWND, LPCSTR file, UINT command, DWORD_PTR data) {
    record("HtmlHelp", file, command, data);
    return nullptr;
}

std::vector<SdHelpRecord> SdHelpLog() {
    HelpLog& log = helpLog();
    std::lock_guard lock(log.mutex);
    return log.records;
}

void SdClearHelpLog() {
    HelpLog& log = helpLog();
    std::lock_guard lock(log.mutex);
    log.records.clear();
}
