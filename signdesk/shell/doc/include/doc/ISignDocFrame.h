#pragma once
// What the document asks of the main frame: the autosave timer and its busy count, the
// status text. The application's frame implements it.

#include <win32/base.h>

class ISignDocFrame {
public:
    virtual ~ISignDocFrame() = default;
    // minutes < 0: re-arm from the "AutoSave" setting.
    virtual void SetAutoSaveTimer(int minutes) = 0;
    // While non-zero the timer posts nothing.
    virtual void RaiseAutoSaveBusy() = 0;
    virtual void LowerAutoSaveBusy() = 0;
    virtual void ShowStatusText(LPCSTR text) = 0;
    // The colour chosen in the palette bar.
    virtual COLORREF GetPaletteColor() = 0;
    // Posts a command to the frame.
    virtual void PostFrameCommand(UINT nID) = 0;
};
