// Message boxes, answered headless from a script or by the default button; on a display
// by the user.

#include <cstdio>
#include <deque>
#include <mutex>

#include "MessageBoxWindow.h"
#include "win32/UserTesting.h"
#include "win32/kernel.h"

namespace {

struct MessageBoxScript {
    std::mutex mutex;
    std::deque<int> answers;
    std::vector<SdMessageBoxRecord> log;
};

MessageBoxScript& script() {
    static auto* instance = new MessageBoxScript;
    return *instance;
}

// The buttons of a box in their order on screen; empty for an unknown set.
std::vector<int> buttonsOf(UINT type) {
    switch (type & MB_TYPEMASK) {
    case MB_OK:
        return {IDOK};
    case MB_OKCANCEL:
        return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE:
        return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL:
        return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO:
        return {IDYES, IDNO};
    case MB_RETRYCANCEL:
        return {IDRETRY, IDCANCEL};
    case MB_CANCELTRYCONTINUE:
        return {IDCANCEL, IDTRYAGAIN, IDCONTINUE};
    default:
        return {};
    }
}

} // namespace

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    std::vector<int> buttons = buttonsOf(type);
    if (buttons.empty()) {
        SetLastError(ERROR_INVALID_MSGBOX_STYLE);
        return 0;
    }
    // A default button past the last one falls back to the first, as on Windows.
    size_t defaultIndex = (type & MB_DEFMASK) >> 8;
    int defaultAnswer = defaultIndex < buttons.size() ? buttons[defaultIndex] : buttons[0];

    SdMessageBoxRecord record{owner, text ? text : "", caption ? caption : "Error", type, 0, false};
    MessageBoxScript& s = script();
    {
        std::lock_guard lock(s.mutex);
        if (!s.answers.empty()) {
            record.answer = s.answers.front();
            record.scripted = true;
            s.answers.pop_front();
        } else if (!SdDisplayActive()) {
            // Nobody can answer: the default button.
            record.answer = defaultAnswer;
            std::fprintf(stderr, "[message box] %s: %s\n", record.caption.c_str(),
                         record.text.c_str());
        }
    }
    // On a display the user answers; the lock is not held, as the box's loop may show others.
    if (!record.scripted && SdDisplayActive()) {
        record.answer = sdctl::runMessageBoxWindow(owner, record.text, record.caption, buttons,
                                                   defaultIndex < buttons.size() ? defaultIndex : 0,
                                                   type & MB_ICONMASK);
        // A display lost while the box was up: nobody answered, the default stands.
        if (record.answer == 0) record.answer = defaultAnswer;
    }
    std::lock_guard lock(s.mutex);
    s.log.push_back(record);
    return record.answer;
}

void SdPushMessageBoxAnswer(int answer) {
    MessageBoxScript& s = script();
    std::lock_guard lock(s.mutex);
    s.answers.push_back(answer);
}

int SdPendingMessageBoxAnswers() {
    MessageBoxScript& s = script();
    std::lock_guard lock(s.mutex);
    return int(s.answers.size());
}

std::vector<SdMessageBoxRecord> SdMessageBoxLog() {
    MessageBoxScript& s = script();
    std::lock_guard lock(s.mutex);
    return s.log;
}

int SdUnscriptedMessageBoxCount() {
    MessageBoxScript& s = script();
    std::lock_guard lock(s.mutex);
    int count = 0;
    for (const SdMessageBoxRecord& r : s.log)
        count += r.scripted ? 0 : 1;
    return count;
}

void SdClearMessageBoxes() {
    MessageBoxScript& s = script();
    std::lock_guard lock(s.mutex);
    s.answers.clear();
    s.log.clear();
}
