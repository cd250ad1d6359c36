#include "output/CTilePage.h"

#include <cmath>

#include <settings/CUnit.h>
#include <win32/controls.h>
#include <win32/user.h>

#include "output/CPrintEngine.h"
#include "output/CTileLayout.h"

namespace {
enum : int {
    IDC_MODE0 = 2640,
    IDC_TILE_W = 2600,
    IDC_TILE_H = 2601,
    IDC_OVERLAP_X = 2602,
    IDC_OVERLAP_Y = 2603,
    IDC_STATUS = 1259,
    IDC_RERUN = 2700,
    IDC_ALL = 2701,
    IDC_NONE = 2702,
    IDC_INVERT = 2703,
};
} // namespace

CTilePage::CTilePage(CPrintEngine& e) : CPreviewPage(IDD, e) {}

BOOL CTilePage::OnInitDialog() {
    CPreviewPage::OnInitDialog();
    ShowFields();
    return TRUE;
}

BOOL CTilePage::OnSetActive() {
    BOOL ok = CPreviewPage::OnSetActive();
    ShowFields();
    return ok;
}

void CTilePage::ShowFields() {
    CTileLayout& t = engine.tiles;
    showing_ = true;
    CheckRadioButton(IDC_MODE0, IDC_MODE0 + 3, IDC_MODE0 + std::clamp(t.mode, 0, 3));
    float m = t.marksFlag ? t.markMargin : 0;
    CString text;
    text.Format("%g", MmToCurrentUnit(t.tileWidth + 2 * m));
    SetDlgItemText(IDC_TILE_W, text);
    text.Format("%g", MmToCurrentUnit(t.tileHeight + 2 * m));
    SetDlgItemText(IDC_TILE_H, text);
    text.Format("%g", MmToCurrentUnit(t.overlapX));
    SetDlgItemText(IDC_OVERLAP_X, text);
    text.Format("%g", MmToCurrentUnit(t.overlapY));
    SetDlgItemText(IDC_OVERLAP_Y, text);
    for (int id : {IDC_TILE_W, IDC_TILE_H})
        if (CWnd* w = GetDlgItem(id)) w->EnableWindow(t.mode != 0);
    showing_ = false;
    ShowStatus();
}

void CTilePage::ShowStatus() {
    CString text;
    text.Format("%d/%d tiles selected", engine.tiles.selectedCount, engine.tiles.tileCount);
    SetDlgItemText(IDC_STATUS, text);
}

void CTilePage::RerunLayout() {
    engine.tiles.SetTileSize(engine.mediaWidth - engine.leftMargin - engine.rightMargin,
                             engine.mediaHeight - engine.topMargin - engine.bottomMargin);
    engine.UpdateLayout(1);
    RepaintPreview();
    ShowStatus();
}

void CTilePage::OnPreviewMouse() {
    CTileLayout& t = engine.tiles;
    floatPoint p = engine.PreviewToPage(preview.eventPoint);
    float x = p.x - engine.leftMargin, y = p.y - engine.topMargin;
    switch (preview.eventKind) {
    case CMouseEventButton::LeftDown:
        t.HitTestBorder(x, y, engine.PreviewLengthToPage(3));
        if (t.hitTile >= 0) {
            t.dragState = 3;
        } else if (t.hitLine >= 0) {
            t.dragState = 2;
        } else if (t.SelectOnly(x, y)) {
            // The headless button reports no double click: a click off the borders chooses
            // the tile under the pointer alone.
            RepaintPreview();
            ShowStatus();
        }
        dragFrom_ = p;
        break;
    case CMouseEventButton::MouseMove:
        if (t.dragState == 2 || t.dragState == 3) {
            bool columns = t.mode == 3;
            bool lineBorder = t.dragState == 2;
            bool alongX = lineBorder ? columns : !columns;
            float delta = alongX ? p.x - dragFrom_.x : p.y - dragFrom_.y;
            int index = lineBorder ? t.hitLine : t.hitTile;
            int moved = t.DragBorder(lineBorder, t.hitLine, index, delta);
            if (lineBorder)
                t.hitLine = moved;
            else
                t.hitTile = moved;
            dragFrom_ = p;
            RepaintPreview();
            ShowStatus();
            ShowCursorPosition();
            return;
        }
        if (!preview.eventCaptured) {
            t.HitTestBorder(x, y, engine.PreviewLengthToPage(3));
            bool columns = t.mode == 3;
            LPCSTR shape = IDC_ARROW;
            if (t.hitTile >= 0)
                shape = columns ? IDC_SIZENS : IDC_SIZEWE;
            else if (t.hitLine >= 0)
                shape = columns ? IDC_SIZEWE : IDC_SIZENS;
            ::SetCursor(::LoadCursorA(nullptr, shape));
            ShowCursorPosition();
            return;
        }
        break;
    case CMouseEventButton::LeftUp:
        t.dragState = 0;
        ::SetCursor(::LoadCursorA(nullptr, IDC_ARROW));
        break;
    default:
        break;
    }
    CPreviewPage::OnPreviewMouse();
}

BOOL CTilePage::OnCommand(WPARAM wParam, LPARAM lParam) {
    int id = LOWORD(wParam);
    int code = HIWORD(wParam);
    CTileLayout& t = engine.tiles;
    if (code == BN_CLICKED && id >= IDC_MODE0 && id <= IDC_MODE0 + 3) {
        t.mode = id - IDC_MODE0;
        t.SetTileSize(engine.mediaWidth - engine.leftMargin - engine.rightMargin,
                      engine.mediaHeight - engine.topMargin - engine.bottomMargin);
        ShowFields();
        RerunLayout();
        return TRUE;
    }
    if (code == EN_CHANGE && !showing_) {
        float v;
        if (!ReadNumber(id, v)) return TRUE;
        float mm = float(CurrentUnitToMm(v));
        float m = t.marksFlag ? t.markMargin : 0;
        switch (id) {
        case IDC_TILE_W:
        case IDC_TILE_H: {
            // Sizes under 40 mm wait until the user has finished typing.
            if (mm < 40) return TRUE;
            bool width = id == IDC_TILE_W;
            float limit = width ? engine.mediaWidth - engine.leftMargin - engine.rightMargin
                                : engine.mediaHeight - engine.topMargin - engine.bottomMargin;
            if (mm > limit) return TRUE;
            float shown = (width ? t.tileWidth : t.tileHeight) + 2 * m;
            if (std::fabs(mm - shown) < 0.005f) mm = shown;
            if (width) {
                if (t.mode != 0 && mm < shown) t.tileWidth = mm - 2 * m;
            } else {
                if (t.mode != 0 && mm < shown) t.tileHeight = mm - 2 * m;
            }
            engine.UpdateLayout(1);
            RepaintPreview();
            ShowStatus();
            return TRUE;
        }
        case IDC_OVERLAP_X:
        case IDC_OVERLAP_Y:
            if (mm < 0 || mm > 50) return TRUE;
            (id == IDC_OVERLAP_X ? t.overlapX : t.overlapY) = mm;
            engine.UpdateLayout(1);
            RepaintPreview();
            ShowStatus();
            return TRUE;
        default:
            break;
        }
    }
    if (code == BN_CLICKED) {
        switch (id) {
        case IDC_RERUN:
            RerunLayout();
            return TRUE;
        case IDC_ALL:
            t.SetSelection(1);
            break;
        case IDC_NONE:
            t.SetSelection(0);
            break;
        case IDC_INVERT:
            t.SetSelection(2);
            break;
        default:
            return CPreviewPage::OnCommand(wParam, lParam);
        }
        RepaintPreview();
        ShowStatus();
        return TRUE;
    }
    return CPreviewPage::OnCommand(wParam, lParam);
}
