#pragma once
// The framework's own modes: the mode a view starts with, and the three temporary tools
// (zoom, pan, cross-hair angle) that interrupt the current mode and give control back to it
// when they end.

#include <win32/user.h>

#include "sheet/COleOperatingMode.h"

// Every default: the left button drags a band that does nothing.
class COleNoOperationMode : public COleOperatingMode {
    DECLARE_DYNCREATE(COleNoOperationMode)
public:
    COleNoOperationMode() = default;
};

// What the temporary tools share: the interrupted mode (owned while held) and the view's
// cursor when the tool started.
class COleTemporaryMode : public COleOperatingMode {
    DECLARE_DYNAMIC(COleTemporaryMode)
public:
    // Deletes the interrupted mode when it is still held.
    ~COleTemporaryMode() override;
    // Makes the interrupted mode current again and puts the cursor back.
    void Deactivate(COleOperatingMode* next) override;
    // Gives control back to the interrupted mode; this mode is deleted once the view's
    // handler that called it has returned. Nothing may touch the mode afterwards.
    void ReturnToPreviousMode();

    COleOperatingMode* previous = nullptr;
    HCURSOR savedCursor = nullptr;

protected:
    COleTemporaryMode() = default;
    // Sets the view's cursor, remembering the old one.
    void TakeCursor(UINT resourceId, bool setNow);
    // Releases the capture (erasing the band) and restores the cursor, then returns.
    void Cancel();
};

// Zoom to a dragged rectangle, or by 1.5 about a clicked point (2/3 with Alt).
class COleZoomMode : public COleTemporaryMode {
    DECLARE_DYNCREATE(COleZoomMode)
public:
    void Activate() override;
    void OnTrackRect(UINT flags, const CRect* rect) override;
    // Escape cancels.
    void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags) override;
    void OnDrawContent(CDC* dc, const floatTMatrix* matrix) override;
    void DrawFeedback(CDC* dc, const floatTMatrix* matrix) override;
};

// Drag the sheet with the hand; the space bar ends the tool.
class COlePanMode : public COleTemporaryMode {
    DECLARE_DYNCREATE(COlePanMode)
public:
    void Activate() override;
    BOOL OnLButtonDown(UINT flags, int x, int y) override;
    void OnMouseMove(UINT flags, int x, int y) override;
    BOOL OnLButtonUp(UINT flags, int x, int y) override;
    void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags) override;
};

// Sets the cross-hair's angle by a drag, the arrow keys or typed degrees.
class COleCHSettingMode : public COleTemporaryMode {
    DECLARE_DYNCREATE(COleCHSettingMode)
public:
    void Activate() override;
    BOOL OnLButtonDown(UINT flags, int x, int y) override;
    void OnMouseMove(UINT flags, int x, int y) override;
    BOOL OnLButtonUp(UINT flags, int x, int y) override;
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags) override;
    void DrawFeedback(CDC* dc, const floatTMatrix* matrix) override;

    double startAngle = 0;
    char digits[4] = {0, 0, 0, 0};
    int digitCount = 0;

private:
    // Shows degrees in the status bar and turns the cross-hair to them, folded to ±45°.
    void ApplyDegrees(double degrees);
};

// An angle in radians folded once into -45°..45° by a quarter turn.
double FoldCrossHairAngle(double radians);
