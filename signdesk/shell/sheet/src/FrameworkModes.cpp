#include "sheet/FrameworkModes.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include <mfc/CString.h>
#include <mfc/CWinApp.h>

#include "sheet/COleRuler.h"
#include "sheet/COleSheetFrame.h"
#include "sheet/COleSheetView.h"
#include "sheet/SheetIds.h"

IMPLEMENT_DYNCREATE(COleNoOperationMode, COleOperatingMode)
IMPLEMENT_DYNAMIC(COleTemporaryMode, COleOperatingMode)
IMPLEMENT_DYNCREATE(COleZoomMode, COleTemporaryMode)
IMPLEMENT_DYNCREATE(COlePanMode, COleTemporaryMode)
IMPLEMENT_DYNCREATE(COleCHSettingMode, COleTemporaryMode)

namespace {

constexpr double kPi = 3.14159265358979323846;

HCURSOR ResourceCursor(UINT id) {
    return ::LoadCursorA(AfxGetResourceHandle(), MAKEINTRESOURCEA(id));
}

// The status bar's first pane shows string 40020 with the angle, painted at once.
void ShowAngle(COleSheetView* view, double degrees) {
    COleSheetFrame* frame = view ? view->GetSheetFrame() : nullptr;
    if (frame == nullptr || frame->statusBar.m_hWnd == nullptr) return;
    CString format;
    format.LoadString(IDS_CROSSHAIR_ANGLE);
    char text[256];
    std::snprintf(text, sizeof text, format, degrees);
    frame->statusBar.SetPaneText(0, text, TRUE);
    frame->statusBar.UpdateWindow();
}

} // namespace

double FoldCrossHairAngle(double radians) {
    if (radians > kPi / 4) return radians - kPi / 2;
    if (radians < -kPi / 4) return radians + kPi / 2;
    return radians;
}

// ---- COleTemporaryMode ----

COleTemporaryMode::~COleTemporaryMode() {
    delete previous;
}

void COleTemporaryMode::Deactivate(COleOperatingMode* next) {
    if (view == nullptr) return;
    view->mode = next;
    view->cursor = savedCursor;
}

void COleTemporaryMode::TakeCursor(UINT resourceId, bool setNow) {
    if (view == nullptr) return;
    savedCursor = view->cursor;
    view->cursor = ResourceCursor(resourceId);
    if (setNow) ::SetCursor(view->cursor);
}

void COleTemporaryMode::ReturnToPreviousMode() {
    COleSheetView* sheetView = view;
    if (sheetView == nullptr || previous == nullptr) return;
    sheetView->SetFocus();
    Deactivate(previous);
    sheetView->mode = previous;
    previous->SetView(sheetView, FALSE);
    previous->Activate();
    if (COleSheetFrame* frame = sheetView->GetSheetFrame()) frame->OnModeChanged();
    previous = nullptr;
    sheetView->RetireMode(this);
}

void COleTemporaryMode::Cancel() {
    if (ViewHasCapture()) {
        if (bandDrawn) DrawRubberBand();
        ::ReleaseCapture();
        captured = FALSE;
    }
    if (view) view->cursor = savedCursor;
    ReturnToPreviousMode();
}

// ---- COleZoomMode ----

void COleZoomMode::Activate() {
    TakeCursor(IDC_ZOOM_CURSOR, false);
    if (view) view->SetFocus();
}

void COleZoomMode::OnTrackRect(UINT, const CRect* rect) {
    if (view == nullptr) return;
    if (!rect->IsRectEmpty()) {
        view->cursor = savedCursor;
        if (bandDrawn) DrawRubberBand();
        view->ZoomToRect(rect);
    } else {
        // A straight drag leaves a band of no area on the screen.
        if (bandDrawn) DrawRubberBand();
        const float factor = (::GetKeyState(VK_MENU) & 0x8000) ? 0.6666667f : 1.5f;
        const CPoint at(rect->left, rect->top);
        view->ZoomAt(factor, &at);
    }
    ReturnToPreviousMode();
}

void COleZoomMode::OnChar(UINT nChar, UINT, UINT) {
    if (nChar == 27) Cancel();
}

void COleZoomMode::OnDrawContent(CDC* dc, const floatTMatrix* matrix) {
    if (previous)
        previous->OnDrawContent(dc, matrix);
    else
        COleTemporaryMode::OnDrawContent(dc, matrix);
}

void COleZoomMode::DrawFeedback(CDC* dc, const floatTMatrix* matrix) {
    if (previous) previous->DrawFeedback(dc, matrix);
    COleTemporaryMode::DrawFeedback(dc, matrix);
}

// ---- COlePanMode ----

void COlePanMode::Activate() {
    TakeCursor(IDC_HAND_OPEN, false);
    if (view) view->SetFocus();
}

BOOL COlePanMode::OnLButtonDown(UINT, int x, int y) {
    bandStart = bandEnd = CPoint(x, y);
    if (view == nullptr) return TRUE;
    view->SetCapture();
    captured = TRUE;
    view->cursor = ResourceCursor(IDC_HAND_CLOSED);
    ::SetCursor(view->cursor);
    return TRUE;
}

void COlePanMode::OnMouseMove(UINT, int x, int y) {
    if (!ViewHasCapture()) return;
    const CPoint before = view->GetScrollPosition();
    view->ScrollToPosition(CPoint(before.x + bandStart.x - x, before.y + bandStart.y - y));
    const CPoint after = view->GetScrollPosition();
    COleRuler* horizontal = view->GetRuler(true);
    if (horizontal && horizontal->m_hWnd && after.x != before.x) {
        horizontal->HideMarker();
        // By what the view really scrolled: at the ends of the range that is less.
        horizontal->ScrollWindow(before.x - after.x, 0);
        horizontal->ShowMarker();
    }
    COleRuler* vertical = view->GetRuler(false);
    if (vertical && vertical->m_hWnd && after.y != before.y) {
        vertical->HideMarker();
        vertical->ScrollWindow(0, before.y - after.y);
        vertical->ShowMarker();
    }
    bandStart = CPoint(x, y);
    ::SetCursor(view->cursor);
}

BOOL COlePanMode::OnLButtonUp(UINT, int, int) {
    if (view == nullptr) return TRUE;
    view->cursor = ResourceCursor(IDC_HAND_OPEN);
    ::SetCursor(view->cursor);
    ::ReleaseCapture();
    captured = FALSE;
    view->UpdateWindow();
    return TRUE;
}

void COlePanMode::OnChar(UINT nChar, UINT, UINT) {
    if (nChar == ' ') Cancel();
}

// ---- COleCHSettingMode ----

void COleCHSettingMode::Activate() {
    if (view == nullptr) return;
    startAngle = view->crossHairAngle;
    TakeCursor(IDC_CROSSHAIR_ANGLE_CURSOR, true);
    digits[0] = 0;
    digitCount = 0;
}

BOOL COleCHSettingMode::OnLButtonDown(UINT, int x, int y) {
    bandStart = bandEnd = CPoint(x, y);
    if (view) view->SetCapture();
    captured = TRUE;
    return TRUE;
}

void COleCHSettingMode::OnMouseMove(UINT, int x, int y) {
    if (!ViewHasCapture()) return;
    const double dx = x - bandStart.x, dy = y - bandStart.y;
    double angle = 0;
    if (dx != 0)
        angle = std::atan(-dy / dx);
    else if (dy != 0)
        angle = dy < 0 ? kPi / 2 : -kPi / 2;
    angle = FoldCrossHairAngle(angle);
    ShowAngle(view, angle * 180 / kPi);
    // The view erases the cross-hair before this move and draws it after.
    view->crossHairAngle = angle;
}

BOOL COleCHSettingMode::OnLButtonUp(UINT, int x, int y) {
    bandEnd = CPoint(x, y);
    const bool hadCapture = ViewHasCapture();
    ::ReleaseCapture();
    captured = FALSE;
    if (hadCapture) {
        view->cursor = savedCursor;
        ReturnToPreviousMode();
    }
    return TRUE;
}

void COleCHSettingMode::OnKeyDown(UINT nChar, UINT, UINT) {
    if (view == nullptr) return;
    double value = view->crossHairAngle * 180 / kPi;
    const double step = (::GetKeyState(VK_CONTROL) & 0x8000) ? 5 : 1;
    switch (nChar) {
    case VK_BACK:
        if (digitCount == 0)
            ::MessageBeep(0);
        else
            digits[--digitCount] = 0;
        value = std::atoi(digits);
        break;
    case VK_RETURN:
        view->cursor = savedCursor;
        ::SetCursor(view->cursor);
        ReturnToPreviousMode();
        return;
    case VK_LEFT:
    case VK_UP:
        value += step;
        break;
    case VK_RIGHT:
    case VK_DOWN:
        value -= step;
        break;
    default:
        if (nChar >= '0' && nChar <= '9') {
            if (digitCount < 3) {
                digits[digitCount++] = char(nChar);
                digits[digitCount] = 0;
            } else {
                ::MessageBeep(0);
            }
            value = std::atoi(digits);
            break;
        }
        return;
    }
    if (std::fabs(value) < 0.001) value = 0;
    ApplyDegrees(value);
}

void COleCHSettingMode::ApplyDegrees(double degrees) {
    ShowAngle(view, degrees);
    view->EraseCrossHair();
    if (degrees > 45)
        degrees -= 90;
    else if (degrees < -45)
        degrees += 90;
    view->crossHairAngle = degrees * kPi / 180;
    view->ShowCrossHair();
}

void COleCHSettingMode::DrawFeedback(CDC* dc, const floatTMatrix* matrix) {
    if (previous) previous->DrawFeedback(dc, matrix);
}
