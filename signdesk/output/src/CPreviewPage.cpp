#include "output/CPreviewPage.h"

#include <algorithm>

#include <mfc/CControls.h>
#include <mfc/CDC.h>
#include <mfc/CGdiObject.h>
#include <rasterkit/CDibDC.h>
#include <settings/CUnit.h>
#include <settings/NumberFields.h>
#include <win32/controls.h>
#include <win32/user.h>

#include "output/CPrintEngine.h"
#include "output/CTileLayout.h"

namespace {
constexpr int IDC_HSCROLL = 1002;
constexpr int IDC_VSCROLL = 1258;
constexpr int IDC_POS_X = 1065;
constexpr int IDC_POS_Y = 1067;
constexpr int IDC_ZOOM_IN = 1026;
constexpr int IDC_ZOOM_OUT = 1027;
constexpr int IDC_ZOOM_RESET = 2708;
} // namespace

BEGIN_MESSAGE_MAP(CPreviewPage, CPropertyPage)
ON_WM_DRAWITEM()
ON_WM_HSCROLL()
ON_WM_VSCROLL()
END_MESSAGE_MAP()

CPreviewPage::CPreviewPage(UINT templateId, CPrintEngine& e)
    : CPropertyPage(templateId), engine(e) {}

BOOL CPreviewPage::OnInitDialog() {
    CPropertyPage::OnInitDialog();
    preview.SubclassDlgItem(IDC_PREVIEW, this);
    return TRUE;
}

BOOL CPreviewPage::OnSetActive() {
    if (CWnd* w = GetDlgItem(IDC_PREVIEW)) {
        RECT r;
        w->GetClientRect(&r);
        engine.SetPreviewRect(r);
    }
    return CPropertyPage::OnSetActive();
}

void CPreviewPage::PaintPreview(CDC* dc, const RECT& rect) {
    engine.PaintPreview(dc, rect);
}

void CPreviewPage::OnDrawItem(int id, LPDRAWITEMSTRUCT item) {
    if (id != IDC_PREVIEW || !item) {
        CPropertyPage::OnDrawItem(id, item);
        return;
    }
    CDC target;
    target.Attach(item->hDC);
    {
        CDibDC bitmap(&target, item->rcItem);
        if (bitmap.IsValid()) {
            CBrush grey(RGB(128, 128, 128));
            bitmap.FillRect(&item->rcItem, &grey);
            PaintPreview(&bitmap, item->rcItem);
            RECT src{0, 0, item->rcItem.right - item->rcItem.left,
                     item->rcItem.bottom - item->rcItem.top};
            bitmap.m_DIB.Paint(&target, src, item->rcItem, 2);
        }
    }
    target.Detach();
}

void CPreviewPage::RepaintPreview() {
    if (CWnd* w = GetDlgItem(IDC_PREVIEW)) w->Invalidate(TRUE);
}

void CPreviewPage::UpdateScrollBars() {
    if (CWnd* h = GetDlgItem(IDC_HSCROLL)) {
        ::SetScrollRange(h->m_hWnd, SB_CTL, 0, engine.MaxScrollX(), TRUE);
        ::SetScrollPos(h->m_hWnd, SB_CTL, engine.scrollX, TRUE);
    }
    if (CWnd* v = GetDlgItem(IDC_VSCROLL)) {
        ::SetScrollRange(v->m_hWnd, SB_CTL, 0, engine.MaxScrollY(), TRUE);
        ::SetScrollPos(v->m_hWnd, SB_CTL, engine.scrollY, TRUE);
    }
}

void CPreviewPage::ShowCursorPosition() {
    floatPoint p = engine.PreviewToPage(preview.eventPoint);
    // Tiled, the preview's page starts at the tiles; positions count from the paper's corner.
    if (engine.tiles.IsTiled()) {
        p.x += engine.leftMargin;
        p.y += engine.topMargin;
    }
    CString text;
    if (CWnd* w = GetDlgItem(IDC_POS_X)) {
        text.Format("x=%g", MmToCurrentUnit(p.x));
        w->SetWindowText(text);
    }
    if (CWnd* w = GetDlgItem(IDC_POS_Y)) {
        text.Format("y=%g", MmToCurrentUnit(p.y));
        w->SetWindowText(text);
    }
}

void CPreviewPage::ZoomIn() {
    engine.zoom *= ZoomStep;
    engine.scrollX = int(float(engine.scrollX) * ZoomStep);
    engine.scrollY = int(float(engine.scrollY) * ZoomStep);
    RepaintPreview();
    UpdateScrollBars();
}

void CPreviewPage::ZoomOut() {
    engine.zoom /= ZoomStep;
    engine.scrollX = int(float(engine.scrollX) / ZoomStep);
    engine.scrollY = int(float(engine.scrollY) / ZoomStep);
    RepaintPreview();
    UpdateScrollBars();
}

void CPreviewPage::ZoomReset() {
    engine.zoom = 1.0f;
    engine.scrollX = engine.scrollY = 0;
    RepaintPreview();
    UpdateScrollBars();
}

void CPreviewPage::Scroll(bool vertical, UINT code, UINT pos) {
    int& offset = vertical ? engine.scrollY : engine.scrollX;
    int max = vertical ? engine.MaxScrollY() : engine.MaxScrollX();
    int page = vertical ? engine.previewRect.bottom - engine.previewRect.top
                        : engine.previewRect.right - engine.previewRect.left;
    switch (code) {
    case SB_LINELEFT:
        offset = std::max(0, offset - LineScroll);
        break;
    case SB_LINERIGHT:
        offset = std::min(max, offset + LineScroll);
        break;
    case SB_PAGELEFT:
        offset = std::max(0, offset - page);
        break;
    case SB_PAGERIGHT:
        offset = std::min(max, offset + page);
        break;
    case SB_THUMBTRACK:
        offset = std::clamp(int(pos), 0, max);
        break;
    case SB_LEFT:
        offset = 0;
        break;
    default:
        break;
    }
    RepaintPreview();
    UpdateScrollBars();
}

void CPreviewPage::OnHScroll(UINT code, UINT pos, CScrollBar*) {
    Scroll(false, code, pos);
}
void CPreviewPage::OnVScroll(UINT code, UINT pos, CScrollBar*) {
    Scroll(true, code, pos);
}

void CPreviewPage::OnPreviewMouse() {
    bool down = preview.eventCaptured != 0;
    if (IsLayoutEditable()) {
        switch (preview.eventKind) {
        case CMouseEventButton::LeftDown:
            engine.OnButtonDown(preview.eventPoint);
            break;
        case CMouseEventButton::LeftUp:
            engine.OnButtonUp();
            break;
        case CMouseEventButton::RightDown:
            engine.OnPanDown(preview.eventPoint);
            break;
        case CMouseEventButton::RightUp:
            engine.OnPanUp();
            break;
        case CMouseEventButton::MouseMove:
            if (engine.OnMouseMove(preview.eventPoint, down) && engine.trackingState != 0) {
                UpdateData(FALSE);
                RepaintPreview();
                UpdateScrollBars();
            }
            break;
        default:
            break;
        }
    } else {
        switch (preview.eventKind) {
        case CMouseEventButton::RightDown:
            engine.OnPanDown(preview.eventPoint);
            break;
        case CMouseEventButton::RightUp:
            engine.OnPanUp();
            break;
        case CMouseEventButton::MouseMove:
            if (down && engine.trackingState == 1) {
                if (engine.OnMouseMove(preview.eventPoint, true)) {
                    RepaintPreview();
                    UpdateScrollBars();
                }
            } else {
                engine.cursor = IDC_ARROW;
            }
            break;
        default:
            break;
        }
    }
    if (engine.cursor) ::SetCursor(::LoadCursorA(nullptr, engine.cursor));
    ShowCursorPosition();
}

BOOL CPreviewPage::OnCommand(WPARAM wParam, LPARAM lParam) {
    switch (LOWORD(wParam)) {
    case IDC_PREVIEW:
        OnPreviewMouse();
        return TRUE;
    case IDC_ZOOM_IN:
        ZoomIn();
        return TRUE;
    case IDC_ZOOM_OUT:
        ZoomOut();
        return TRUE;
    case IDC_ZOOM_RESET:
        ZoomReset();
        return TRUE;
    default:
        return CPropertyPage::OnCommand(wParam, lParam);
    }
}

bool CPreviewPage::ReadNumber(int id, float& out) {
    CString text;
    GetDlgItemText(id, text);
    return ParseFloatText(text, out);
}
