#pragma once
// Test hooks of the dialog manager: scripts that drive modal dialogs, and the log of the
// modal dialogs that ran. A script is registered per template id (resource dialogs) or per
// class name (the dialog's window class, or the name a framework passes for its dialog
// class); the template id wins. It gets the live dialog after WM_INITDIALOG and works it
// by messages; the dialog then runs until EndDialog. Scripts stay until cleared.

#include <functional>
#include <string>
#include <vector>

#include "win32/dialog.h"

using SdDialogScript = std::function<void(HWND dialog)>;

struct SdDialogRecord {
    HWND dialog;
    int templateId; // 0 for a template without an id
    std::string className;
    std::string caption;
    bool scripted;  // false: nobody drove it and it was cancelled
    INT_PTR result; // -1 while the dialog runs
    std::vector<std::string> actions;
    std::string failure; // what went wrong with the script, if anything
};

WIN32_API void SdSetDialogScript(int templateId, SdDialogScript script);
WIN32_API void SdSetDialogScriptForClass(const std::string& className, SdDialogScript script);
// Forgets the scripts and the log.
WIN32_API void SdClearDialogScripts();

// For modal loops (the dialog manager's and a framework's): records the dialog and runs its
// script. false when there is none (or it threw): the caller then ends the dialog with
// IDCANCEL; the dialog is logged to standard error and counted as unscripted.
WIN32_API bool SdRunModalDialogScript(HWND dialog, int templateId, const char* className);
// Records a modal dialog's result, and a failure such as a script leaving it open.
WIN32_API void SdFinishModalDialog(HWND dialog, INT_PTR result, const char* failure);
// Adds a line to the log of the running modal dialog that holds `window`.
WIN32_API void SdLogDialogAction(HWND window, const std::string& action);

WIN32_API std::vector<SdDialogRecord> SdDialogLog();
// Modal dialogs without a script, or whose script failed or left them open.
WIN32_API int SdUnscriptedDialogCount();

// The test drivers (platform/testing) pump the queue as a modal loop would. A framework
// whose loop filters messages first (pre-translation) registers that step here; it returns
// true for a message it consumed. An empty function removes it.
using SdDialogMessageFilter = std::function<bool(MSG& msg)>;
WIN32_API void SdSetDialogMessageFilter(SdDialogMessageFilter filter);
// One message as a modal loop handles it: the filter, then IsDialogMessage for the dialog
// that holds the message's window, else translation and dispatch.
WIN32_API void SdHandleDialogMessage(MSG& msg);
