// Whether a user can see the windows: the one switch between headless and a display.

#include <dlfcn.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "win32/DisplayBackend.h"
#include "win32/module.h"

namespace {

struct DisplayState {
    SdDisplayBackend* backend = nullptr;
    void* library = nullptr;
    std::string name;
    HWND lostWindow = nullptr;
    UINT lostCommand = 0;
    SdDisplayLostExitProc lostExit = nullptr;
};

DisplayState& displayState() {
    static DisplayState state;
    return state;
}

// Read by other threads (wake) while the loop's thread connects or drops.
std::atomic<SdDisplayBackend*> liveBackend{nullptr};

void reasonText(char* reason, size_t size, const std::string& text) {
    if (reason && size) std::snprintf(reason, size, "%s", text.c_str());
}

std::string programFolderOfLayer() {
    char buffer[MAX_PATH] = {};
    DWORD n = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
    std::string path(buffer, n);
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

void connectionLost() {
    DisplayState& state = displayState();
    std::fprintf(stderr, "signdesk: the connection to display %s was lost\n",
                 state.name.empty() ? "(none)" : state.name.c_str());
    std::fflush(stderr);
    SdDisconnectDisplay();
    if (!state.lostWindow) return;
    std::thread([] {
        std::this_thread::sleep_for(std::chrono::seconds(10));
        std::_Exit(4);
    }).detach();
    if (IsWindow(state.lostWindow))
        SendMessageA(state.lostWindow, WM_COMMAND, WPARAM(state.lostCommand), 0);
    if (state.lostExit) state.lostExit();
    // Not exit(): static destructors would close the open documents, and closing one deletes
    // the copy the command has just saved.
    std::fflush(nullptr);
    std::_Exit(4);
}

} // namespace

BOOL SdDisplayActive() {
    return liveBackend.load() ? TRUE : FALSE;
}

BOOL SdConnectDisplay(const char* display, char* reason, size_t reasonSize) {
    DisplayState& state = displayState();
    if (state.backend) return TRUE;
    const char* name = display && *display ? display : std::getenv("DISPLAY");
    if (!name || !*name) {
        reasonText(reason, reasonSize, "DISPLAY is not set");
        return FALSE;
    }
    const std::string path = programFolderOfLayer() + "/libsdxcb.so";
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        reasonText(reason, reasonSize, std::string("DISPLAY=") + name + ": " + dlerror());
        return FALSE;
    }
    auto create =
        reinterpret_cast<SdCreateDisplayBackendProc>(dlsym(library, SD_DISPLAY_BACKEND_ENTRY));
    char why[512] = {};
    SdDisplayBackend* backend = create ? create(name, why, sizeof why) : nullptr;
    if (!backend) {
        reasonText(reason, reasonSize,
                   std::string("DISPLAY=") + name + ": " +
                       (create ? why : "not a display backend"));
        dlclose(library);
        return FALSE;
    }
    // A lost connection is reported by the backend, never by a signal.
    std::signal(SIGPIPE, SIG_IGN);
    state.backend = backend;
    state.library = library;
    state.name = name;
    liveBackend.store(backend);
    return TRUE;
}

void SdDisconnectDisplay() {
    DisplayState& state = displayState();
    if (!state.backend) return;
    liveBackend.store(nullptr);
    delete state.backend;
    state.backend = nullptr;
    // The library stays loaded: its code may still be on another thread's stack in wake().
}

BOOL SdDisplayPump(DWORD timeout) {
    SdDisplayBackend* backend = displayState().backend;
    if (!backend) return FALSE;
    if (backend->pump(timeout)) return TRUE;
    connectionLost();
    return FALSE;
}

void SdDisplayWake() {
    if (SdDisplayBackend* backend = liveBackend.load()) backend->wake();
}

void SdSetDisplayLostCommand(HWND hwnd, UINT command) {
    displayState().lostWindow = hwnd;
    displayState().lostCommand = command;
}

void SdSetDisplayLostExit(SdDisplayLostExitProc proc) {
    displayState().lostExit = proc;
}

void SdDisplayClipboardOwned() {
    if (SdDisplayBackend* backend = displayState().backend) backend->clipboardOwned();
}

void SdDisplayClipboardImport() {
    if (SdDisplayBackend* backend = displayState().backend) backend->clipboardImport();
}
