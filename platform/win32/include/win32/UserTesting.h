#pragma once
// Test hooks of the window layer: scripted message-box answers and the log of boxes shown,
// the beep counter, the physical key state, and a reset of all window state.

#include <string>
#include <vector>

#include "win32/user.h"

// ---- message boxes ----
struct SdMessageBoxRecord {
    HWND owner;
    std::string text;
    std::string caption;
    UINT style;
    int answer;
    bool scripted; // false: nobody answered and the default button was taken
};

// Answers are used in the order pushed, one per box, whatever the box's buttons.
WIN32_API void SdPushMessageBoxAnswer(int answer);
WIN32_API int SdPendingMessageBoxAnswers();
WIN32_API std::vector<SdMessageBoxRecord> SdMessageBoxLog();
WIN32_API int SdUnscriptedMessageBoxCount();
// Clears the pending answers and the log.
WIN32_API void SdClearMessageBoxes();

// ---- beeps ----
WIN32_API int SdBeepCount();
WIN32_API UINT SdLastBeepType();
WIN32_API void SdResetBeeps();

// ---- keys ----
// Sets the physical state (GetAsyncKeyState) and the thread's state (GetKeyState) of a key.
WIN32_API void SdSetKeyDown(int virtualKey, bool down);
WIN32_API void SdSetKeyToggled(int virtualKey, bool toggled);
WIN32_API void SdResetKeyState();

// ---- cursors ----
// The id a cursor was loaded by: IDC_ value of a system cursor or the resource id; 0 for
// NULL, a named resource or an unknown handle.
WIN32_API UINT SdCursorId(HCURSOR cursor);
// SdCursorId of the cursor shown now (SetCursor).
WIN32_API UINT SdShownCursorId();

// ---- queue ----
// How often GetMessage ended a loop because no message could ever arrive.
WIN32_API int SdIdleQuitCount();
WIN32_API int SdPostedMessageCount();

// Destroys every window (with the usual messages), unregisters every class, and clears the
// queue, the quit request, timers, focus, capture, cursor, key state, message boxes, beeps
// dialog scripts and menus.
WIN32_API void SdResetUserState();
