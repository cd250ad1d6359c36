#pragma once
// What the controls the user drags from (CDragButton, CDragSlider) keep and how they record
// a press or release: the drag flag, the key flags with the button, the points, the double
// click, and the window that gets the drag messages (null: the parent).

#include <cstdint>

#include <mfc/CWnd.h>

#include "shell/PrivateMessages.h"

class CtrlDragSource {
public:
    // Set once a drag has started.
    std::int32_t dragged = 0;
    // Key flags of the last press or release, with MK_LBUTTON or MK_RBUTTON.
    std::uint32_t dragFlags = 0;
    POINT pressPoint{0, 0};
    // The last release or double click.
    POINT releasePoint{0, 0};
    std::int32_t dblClicked = 0;
    // Receives the drag messages and the commands; null means the parent.
    CWnd* targetWnd = nullptr;

protected:
    CWnd* DragTarget(const CWnd& self) const;
    // Sends the drag message with the flags and the source's window handle.
    void SendToTarget(CWnd& self, UINT message);
    // A press: the point, no drag yet, the flags with the button (MK_LBUTTON, MK_RBUTTON).
    void RecordPress(UINT flags, CPoint point, UINT button);
    // A release: the point, no double click, the flags with the button.
    void RecordRelease(UINT flags, CPoint point, UINT button);
};
