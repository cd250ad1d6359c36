#pragma once
// The one seam between the window layer and a display. Headless (the default) no display
// exists; a program's entry may ask to connect, and then the backend library
// "libsdxcb.so" is loaded from the program folder. Nothing else in the tree knows how
// windows reach a screen: the layer asks SdDisplayActive() and pumps through here.

#include <cstddef>

#include "win32/user.h"

// What a backend library offers. The layer calls it from the thread that runs the message
// loop, except wake().
class SdDisplayBackend {
public:
    virtual ~SdDisplayBackend() = default;
    // Shows what changed in the visible top-level windows, feeds the display's events into
    // the input router and waits at most timeout ms (INFINITE: until an event or a wake).
    // Returns false once the connection is lost.
    virtual bool pump(DWORD timeout) = 0;
    // Ends a wait in pump; safe from any thread.
    virtual void wake() = 0;
    // The process put new data on the clipboard: the display's clipboard is now ours.
    virtual void clipboardOwned() {}
    // The clipboard was opened: when another program owns the display's clipboard, its data
    // replaces the layer's (SdClipboardReplaceForeign).
    virtual void clipboardImport() {}
};

// The backend library's one entry: connects to the display named (NULL: $DISPLAY). On
// failure returns NULL and writes the reason (one line) into reason.
#define SD_DISPLAY_BACKEND_ENTRY "SdCreateDisplayBackend"
extern "C" typedef SdDisplayBackend* (*SdCreateDisplayBackendProc)(const char* display,
                                                                   char* reason, size_t reasonSize);

// Connects; only a program's entry calls this. FALSE with the reason on failure (no display
// named, the library missing, the server refused or unusable).
WIN32_API BOOL SdConnectDisplay(const char* display, char* reason, size_t reasonSize);
// Back to headless; the windows stay.
WIN32_API void SdDisconnectDisplay();
// The loop's side: see SdDisplayBackend::pump and ::wake. Both do nothing headless; pump
// returns FALSE when no display is (or remains) connected.
WIN32_API BOOL SdDisplayPump(DWORD timeout);
WIN32_API void SdDisplayWake();
// The clipboard's side (do nothing headless).
WIN32_API void SdDisplayClipboardOwned();
WIN32_API void SdDisplayClipboardImport();
// For a backend importing another program's clipboard, while the clipboard is open: frees
// what the clipboard holds and puts each mems[i] (global memory, the clipboard's from then)
// in formats[i]; the clipboard has no owner window.
WIN32_API void SdClipboardReplaceForeign(const UINT* formats, const HANDLE* mems, int count);

// When the connection is lost the layer writes one line to standard error naming the display
// and turns headless; once a window is registered here it then sends it WM_COMMAND command,
// runs the exit processing and exits with 4 (a watchdog ends the process 10 s later if that
// hangs). Static destructors do not run.
WIN32_API void SdSetDisplayLostCommand(HWND hwnd, UINT command);
// The exit processing of the program's run (the framework's), run on that path after the
// command; null for none.
using SdDisplayLostExitProc = void (*)();
WIN32_API void SdSetDisplayLostExit(SdDisplayLostExitProc proc);
