// The HTML help control's one entry, served by ordinal 14 (the ANSI help function). Each
// request goes into the layer's help log; with a display connected, a request to show the
// file (its default topic or a context) opens it with the desktop's viewer, xdg-open.

#include <spawn.h>
#include <sys/types.h>
#include <sys/wait.h>

#include <cerrno>
#include <string>

#include <win32/help.h>
#include <win32/module.h>
#include <win32/user.h>

extern char** environ;

namespace {

// The file part of "file.chm::/topic.htm".
std::string HelpFileOf(LPCSTR file) {
    std::string path = file != nullptr ? file : "";
    const std::size_t topic = path.find("::");
    if (topic != std::string::npos) path.erase(topic);
    return path;
}

// The shell puts the viewer in the background and ends at once, so no child is left to reap
// and a viewer that stays open never holds the program up.
void OpenWithViewer(const std::string& file) {
    const char* argv[] = {"/bin/sh", "-c",         "xdg-open \"$1\" </dev/null >/dev/null 2>&1 &",
                          "sh",      file.c_str(), nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, "/bin/sh", nullptr, nullptr, const_cast<char**>(argv), environ) != 0)
        return;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
}

HWND HtmlHelpEntry(HWND caller, LPCSTR file, UINT command, DWORD_PTR data) {
    ::HtmlHelpA(caller, file, command, data);
    if ((command == HH_DISPLAY_TOPIC || command == HH_HELP_CONTEXT) && ::SdDisplayActive()) {
        const std::string path = HelpFileOf(file);
        if (!path.empty()) OpenWithViewer(path);
    }
    // The viewer is another program: there is no help window of ours.
    return nullptr;
}

} // namespace

extern "C" {
__attribute__((visibility("default"))) extern const SdOrdinalEntry SdOrdinalTable[];
const SdOrdinalEntry SdOrdinalTable[] = {
    {14, reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&HtmlHelpEntry))},
    {0, nullptr},
};
} // extern "C"
