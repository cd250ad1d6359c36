// Scripts and log of modal dialogs.

#include "win32/DialogTesting.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>

namespace {

struct DialogScripts {
    std::recursive_mutex mutex;
    std::map<int, SdDialogScript> byId;
    std::map<std::string, SdDialogScript> byClass;
    std::vector<SdDialogRecord> log;
    int unscripted = 0;
};

DialogScripts& scripts() {
    static auto* state = new DialogScripts;
    return *state;
}

using Lock = std::lock_guard<std::recursive_mutex>;

SdDialogRecord* openRecord(HWND window) {
    DialogScripts& s = scripts();
    HWND root = GetAncestor(window, GA_ROOT);
    for (auto it = s.log.rbegin(); it != s.log.rend(); ++it)
        if (it->result == -1 && (it->dialog == window || it->dialog == root)) return &*it;
    for (auto it = s.log.rbegin(); it != s.log.rend(); ++it)
        if (it->result == -1 && IsChild(it->dialog, window)) return &*it;
    return nullptr;
}

void reportUnscripted(const SdDialogRecord& record, const std::string& why) {
    std::fprintf(stderr, "modal dialog \"%s\" (template %d, class %s): %s\n",
                 record.caption.c_str(), record.templateId, record.className.c_str(), why.c_str());
}

} // namespace

void SdSetDialogScript(int templateId, SdDialogScript script) {
    Lock lock(scripts().mutex);
    scripts().byId[templateId] = std::move(script);
}

void SdSetDialogScriptForClass(const std::string& className, SdDialogScript script) {
    Lock lock(scripts().mutex);
    scripts().byClass[className] = std::move(script);
}

void SdClearDialogScripts() {
    Lock lock(scripts().mutex);
    scripts().byId.clear();
    scripts().byClass.clear();
    scripts().log.clear();
    scripts().unscripted = 0;
}

bool SdRunModalDialogScript(HWND dialog, int templateId, const char* className) {
    SdDialogScript script;
    {
        Lock lock(scripts().mutex);
        DialogScripts& s = scripts();
        SdDialogRecord record{dialog, templateId, className ? className : "", "", false, -1,
                              {},     {}};
        char caption[256] = {};
        GetWindowTextA(dialog, caption, sizeof caption);
        record.caption = caption;
        if (templateId != 0 && s.byId.count(templateId))
            script = s.byId[templateId];
        else if (className && s.byClass.count(className))
            script = s.byClass[className];
        record.scripted = bool(script);
        s.log.push_back(record);
        // With a display the user works the dialog.
        if (!script && SdDisplayActive()) return true;
        if (!script) {
            ++s.unscripted;
            reportUnscripted(record, "no script and no display, cancelled");
            return false;
        }
    }
    try {
        script(dialog);
    } catch (const std::exception& e) {
        Lock lock(scripts().mutex);
        if (SdDialogRecord* record = openRecord(dialog)) {
            record->failure = std::string("script threw: ") + e.what();
            reportUnscripted(*record, record->failure);
        }
        ++scripts().unscripted;
        return false;
    }
    return true;
}

void SdFinishModalDialog(HWND dialog, INT_PTR result, const char* failure) {
    Lock lock(scripts().mutex);
    DialogScripts& s = scripts();
    for (auto it = s.log.rbegin(); it != s.log.rend(); ++it) {
        if (it->dialog != dialog || it->result != -1) continue;
        it->result = result;
        if (failure && *failure) {
            it->failure = failure;
            ++s.unscripted;
            reportUnscripted(*it, failure);
        }
        return;
    }
}

void SdLogDialogAction(HWND window, const std::string& action) {
    Lock lock(scripts().mutex);
    if (SdDialogRecord* record = openRecord(window)) record->actions.push_back(action);
}

std::vector<SdDialogRecord> SdDialogLog() {
    Lock lock(scripts().mutex);
    return scripts().log;
}

int SdUnscriptedDialogCount() {
    Lock lock(scripts().mutex);
    return scripts().unscripted;
}

namespace {

SdDialogMessageFilter& messageFilter() {
    static auto* filter = new SdDialogMessageFilter;
    return *filter;
}

} // namespace

void SdSetDialogMessageFilter(SdDialogMessageFilter filter) {
    Lock lock(scripts().mutex);
    messageFilter() = std::move(filter);
}

void SdHandleDialogMessage(MSG& msg) {
    SdDialogMessageFilter filter;
    {
        Lock lock(scripts().mutex);
        filter = messageFilter();
    }
    if (filter && filter(msg)) return;
    HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    // Dialog navigation only inside dialogs: a frame's keys (Escape, Enter, arrows) are
    // its views' own, as in the application's loop.
    char rootClass[16] = "";
    if (root) GetClassNameA(root, rootClass, int(sizeof rootClass));
    const bool dialog = root && (std::strcmp(rootClass, "#32770") == 0 ||
                                 GetWindowLongPtrA(root, DWLP_DLGPROC) != 0);
    if (dialog && IsDialogMessageA(root, &msg)) return;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
}
